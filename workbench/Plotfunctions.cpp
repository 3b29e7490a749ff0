#include "workbench/Plotfunctions.h"

#include "chart/Series.h"

void AddPointOrGap(TFastLineSeries& Series, double X, double Y, bool Gap, TColor Colour, bool& InGap)
{
    if (Gap) {
        Series.AddXY(X, Y, "", clNone);
        InGap = true;
        return;
    }
    if (InGap) {
        Series.AddXY(X, Y, "", clNone);
        InGap = false;
    }
    Series.AddXY(X, Y, "", Colour);
}
