#include "workbench/Loopfunctions.h"

#include "analyzer/Types.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/StdCtrls.h"
#include "workbench/Plotfunctions.h"

void TLoopPlotInfo::Attach(TChart* Chart, TFastLineSeries* Series1, TFastLineSeries* Series2,
                           TFastLineSeries* Series3, TFastLineSeries* Series4, TLabel* Title)
{
    FChart = Chart;
    FTitleLabel = Title;
    FSeries[0] = Series1;
    FSeries[1] = Series2;
    FSeries[2] = Series3;
    FSeries[3] = Series4;
    FActiveSeries = Series1;
    FRotation = 0;
    for (TFastLineSeries* S : FSeries) {
        if (!S)
            continue;
        S->SetAutoRepaint(false);
        S->SetFastPen(true);
        S->SetIgnoreNulls(false);
        // A loop goes back and forth in x: points stay in the order they came.
        S->XValues()->SetOrder(loNone);
    }
    Clear();
}

void TLoopPlotInfo::SetColours(TColor Active, TColor Shadow)
{
    FActiveColour = Active;
    if (Shadow != clNone)
        FShadowColour = Shadow;
}

bool TLoopPlotInfo::AddPoint(float X, float Y, bool NewLoop)
{
    if (!FChart || !FActiveSeries)
        return false;
    for (TFastLineSeries* S : FSeries)
        if (!S)
            return false;

    ++FPointsSinceRepaint;
    FActiveSeries->SetAutoRepaint(false);

    bool Result = false;
    if (NewLoop) {
        FActiveSeries->SetSeriesColor(FShadowColour);
        FRotation = (FRotation + 1) % 4;
        FActiveSeries = FSeries[FRotation];
        TChartSeriesList& List = FChart->SeriesList();
        if (List.Count() >= 4) {
            for (int i = 0; i < 3; ++i)
                List.Put(i, FSeries[(FRotation - 1 - i + 4) % 4]);
            List.Put(3, FActiveSeries);
        }
        FActiveSeries->SetAutoRepaint(true);
        FActiveSeries->SetSeriesColor(FActiveColour);
        FActiveSeries->Clear();
        // The previous loop's end; a gap after it stays a gap.
        for (int i = 4; i >= 0; --i)
            FActiveSeries->AddXY(FHistoryX[i], FHistoryY[i], "", FActiveColour);
        Result = FRotation == 0;
    }

    const bool Gap = X == NoValue || Y == NoValue;
    if (!Gap) {
        for (int i = 4; i > 0; --i) {
            FHistoryX[i] = FHistoryX[i - 1];
            FHistoryY[i] = FHistoryY[i - 1];
        }
        FHistoryX[0] = X;
        FHistoryY[0] = Y;
    }

    if (FPointsSinceRepaint >= 100) {
        FActiveSeries->SetAutoRepaint(true);
        FPointsSinceRepaint = 0;
    }

    // A loop that never closes keeps its newest points only.
    if (FActiveSeries->Count() >= MaxLoopPoints)
        FActiveSeries->Delete(0, LoopPointsDropped);

    // A gap keeps the last good point (the newest of the history).
    AddPointOrGap(*FActiveSeries, Gap ? FHistoryX[0] : X, Gap ? FHistoryY[0] : Y, Gap, FActiveColour, FInGap);
    return Result;
}

void TLoopPlotInfo::Clear()
{
    for (int i = 0; i < 5; ++i)
        FHistoryX[i] = FHistoryY[i] = 0;
    FInGap = false;
    for (TFastLineSeries* S : FSeries)
        if (S)
            S->Clear();
}

void TLoopPlotInfo::SetRanges(float X1, float Y1, float X2, float Y2, bool ClearPlot)
{
    if (Y1 == Y2 || X1 == X2)
        return;
    const float YLo = Y1 < Y2 ? Y1 : Y2;
    const float YHi = Y1 < Y2 ? Y2 : Y1;
    const float XLo = X1 < X2 ? X1 : X2;
    const float XHi = X1 < X2 ? X2 : X1;
    if (!FChart)
        return;
    const float MY = (YHi - YLo) * 0.05f;
    FChart->LeftAxis()->SetMinMax(YLo - MY, YHi + MY);
    const float MX = (XHi - XLo) * 0.05f;
    FChart->BottomAxis()->SetMinMax(XLo - MX, XHi + MX);
    if (ClearPlot)
        Clear();
}

void TLoopPlotInfo::SetTitle(const std::string& Text)
{
    if (FTitleLabel)
        FTitleLabel->SetCaption(Text);
}

void TLoopPlotInfo::SetBottomAxisTitle(const std::string& Text)
{
    if (FChart)
        FChart->BottomAxis()->Title()->SetCaption(Text);
}

void TLoopPlotInfo::SetLeftAxisTitle(const std::string& Text)
{
    if (FChart)
        FChart->LeftAxis()->Title()->SetCaption(Text);
}
