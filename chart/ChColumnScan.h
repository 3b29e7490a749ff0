#pragma once
// Points whose X values ascend, taken a pixel column at a time without
// working out every point's pixels.

#include "chart/ChAxis.h"
#include "chart/ChCanvas.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

// Whether ChScanColumns may take the points Start..Stop: both axes map
// their values linearly and the X values ascend (no NaN among them).
inline bool ChCanScanColumns(TChartAxis* Horiz, TChartAxis* Vert, const double* Xs, int Start, int Stop)
{
    double Edge;
    if (Start > Stop || !Horiz->PixelEdge(true, 0, Edge) || !Vert->PixelEdge(false, 0, Edge) || std::isnan(Xs[Start]))
        return false;
    bool Ascending = true;
    for (int k = Start + 1; k <= Stop; ++k)
        Ascending &= Xs[k] >= Xs[k - 1];
    return Ascending;
}

// For each pixel column the points Start..Stop fall into, in order, calls
// Column(X, First, Last, YFirst, YLast, Lo, Hi): the column, its points,
// the pixel rows of the first and last of them, and the rows a one-pixel
// path through them paints (each segment without its end; Lo > Hi for
// none). Only each column's edges and its lowest, highest and last Y value
// are turned into pixels. For points ChCanScanColumns takes.
template <class TColumn>
void ChScanColumns(TChartAxis* Horiz, TChartAxis* Vert, const double* Xs, const double* Ys, int Start, int Stop,
                   std::vector<int>& Scratch, TColumn&& Column)
{
    double Edge = 0;
    int First = Start;
    while (First <= Stop) {
        // The pixels of ascending values run one way: the column ends where
        // the first value past it lies, found near its edge value.
        const int X = Horiz->HorizPosValue(Xs[First]);
        Horiz->PixelEdge(true, X, Edge);
        int End = First + 1;
        while (End <= Stop && Xs[End] < Edge)
            ++End;
        while (End <= Stop && Horiz->HorizPosValue(Xs[End]) == X)
            ++End;
        while (End - 1 > First && Horiz->HorizPosValue(Xs[End - 1]) != X)
            --End;
        const int Last = End - 1;
        double YMin = Ys[First], YMax = Ys[First];
        bool NaN = std::isnan(YMin);
        for (int k = First + 1; k <= Last; ++k) {
            const double Y = Ys[k];
            YMin = Y < YMin ? Y : YMin;
            YMax = Y > YMax ? Y : YMax;
            NaN |= Y != Y;
        }
        int Lo = Vert->VertPosValue(YMin), Hi = Vert->VertPosValue(YMax);
        if (Lo > Hi)
            std::swap(Lo, Hi);
        int YFirst = Vert->VertPosValue(Ys[First]);
        int YLast = Vert->VertPosValue(Ys[Last]);
        // The path covers every row from the lowest to the highest but maybe
        // the last point's: that one is covered when a row beyond it is
        // visited, else it takes each point's row to tell.
        if (NaN || (Lo < Hi && (YLast == Lo || YLast == Hi))) {
            const int N = Last - First + 1;
            Scratch.resize(static_cast<size_t>(N));
            Vert->PosValues(false, Ys + First, N, Scratch.data());
            YFirst = Scratch[0];
            YLast = Scratch[N - 1];
            Lo = INT_MAX;
            Hi = INT_MIN;
            for (int k = 1; k < N; ++k) {
                int A, B;
                ChColumnSegmentRows(Scratch[k - 1], Scratch[k], A, B);
                if (A <= B) {
                    Lo = std::min(Lo, A);
                    Hi = std::max(Hi, B);
                }
            }
        } else if (Lo == Hi) {
            Lo = INT_MAX;
            Hi = INT_MIN;
        }
        Column(X, First, Last, YFirst, YLast, Lo, Hi);
        First = End;
    }
}
