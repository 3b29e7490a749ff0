#include "chart/Series.h"
#include "chart/ChColumnScan.h"

#include "chart/ChConst.h"
#include "chart/ChMarks.h"
#include "chart/ChProcs.h"

#include <algorithm>
#include <climits>

TFastLineSeries::TFastLineSeries(TComponent* AOwner) : TCustomLineSeries(AOwner)
{
    // A sweep leaving the axis on the right still draws its last segment;
    // an attached function puts its result at both ends.
    IncludeOuterPoint = true;
    FunctionCentrePoint = false;
}

void TFastLineSeries::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TFastLineSeries*>(Source)) {
        FAutoRepaint = S->FAutoRepaint;
        FDrawAllPoints = S->FDrawAllPoints;
        // The recolourable pen is always at hand here, so the copy can use it too.
        SetFastPen(S->FFastPen);
        FIgnoreNulls = S->FIgnoreNulls;
        FInvertedStairs = S->FInvertedStairs;
        FStairs = S->FStairs;
    }
    TCustomLineSeries::Assign(Source);
}

void TFastLineSeries::SetPen(TChartPen* Value)
{
    TCustomLineSeries::SetPen(Value);
    SetSeriesColor(LinePen()->Color());
}

void TFastLineSeries::SetSeriesColor(TColor Value)
{
    TCustomLineSeries::SetSeriesColor(Value);
    LinePen()->SetColor(Value);
}

void TFastLineSeries::SetFastPen(bool Value)
{
    if (ChSetDCPenColor != nullptr)
        FFastPen = Value;
}

// ------------------------------------------------------------------ positions and pens

void TFastLineSeries::CalcPosition(int ValueIndex, int& X, int& Y)
{
    X = GetHorizAxis()->HorizPosValue(XValues()->Value(ValueIndex));
    Y = GetVertAxis()->VertPosValue(YValues()->Value(ValueIndex));
}

void TFastLineSeries::DoMove(int X, int Y)
{
    TCanvas3D* C = ParentChart()->ChartCanvas();
    if (ParentChart()->View3D())
        C->MoveTo3D(X, Y, MiddleZ);
    else
        C->MoveTo(X, Y);
}

void TFastLineSeries::LineToPoint(int X, int Y)
{
    TCanvas3D* C = ParentChart()->ChartCanvas();
    if (ParentChart()->View3D())
        C->LineTo3D(X, Y, MiddleZ);
    else
        C->LineTo(X, Y);
}

void TFastLineSeries::PrepareCanvas()
{
    TCanvas3D* C = ParentChart()->ChartCanvas();
    C->AssignVisiblePen(LinePen());
    ParentChart()->CheckPenWidth(C->Pen);
    C->Brush->SetStyle(bsClear);
    C->SetBackMode(cbmTransparent);
}

void TFastLineSeries::SelectIncrementalPen()
{
    TCanvas3D* C = ParentChart()->ChartCanvas();
    if (!FFastPen) {
        C->AssignVisiblePen(LinePen());
        return;
    }
    TCanvas* DC = C->Handle();
    TPen* P = DC->Pen();
    P->SetStyle(psSolid);
    P->SetWidth(1);
    P->SetMode(pmCopy);
    ChSetDCPenColor(DC, LinePen()->Color());
}

bool TFastLineSeries::SegmentInsideChart(const TPoint& A, const TPoint& B) const
{
    // The pixels a full pass lets series draw on (inside the chart
    // rectangle's edges), less what a wide pen adds around the line.
    const TRect& R = ParentChart()->ChartRect;
    const int Half = FFastPen ? 0 : LinePen()->Width() / 2;
    const auto Inside = [&](const TPoint& P) {
        return P.X > R.Left + Half && P.X < R.Right - Half && P.Y > R.Top + Half && P.Y < R.Bottom - Half;
    };
    return Inside(A) && Inside(B);
}

// ------------------------------------------------------------------ drawing

void TFastLineSeries::NotifyNewValue(TChartSeries* Sender, int ValueIndex)
{
    if (FAutoRepaint) {
        TCustomLineSeries::NotifyNewValue(Sender, ValueIndex);
        return;
    }
    // Without a chart the point is only stored; a hidden series shows nothing.
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart == nullptr || GetHorizAxis() == nullptr || GetVertAxis() == nullptr || !Active())
        return;
    CalcPosition(ValueIndex > 0 ? ValueIndex - 1 : 0, FLastPoint.X, FLastPoint.Y);
    TPoint New;
    CalcPosition(ValueIndex, New.X, New.Y);
    if (FLastPoint.X == New.X && (!FDrawAllPoints || FLastPoint.Y == New.Y))
        return;

    TCanvas3D* C = Chart->ChartCanvas();
    SelectIncrementalPen();
    // A value beyond the axes must not draw over labels and panel: such a
    // segment is clipped as the next full pass will clip it.
    bool Clipped = false;
    if (!SegmentInsideChart(FLastPoint, New)) {
        Chart->ClipToSeriesArea();
        Clipped = true;
    }
    DoMove(FLastPoint.X, FLastPoint.Y);
    DrawValueTo(ValueIndex, New.X, New.Y);
    if (Clipped)
        C->UnClipRectangle();
}

void TFastLineSeries::DrawValue(int ValueIndex)
{
    int X, Y;
    CalcPosition(ValueIndex, X, Y);
    if (X == FLastPoint.X && (!FDrawAllPoints || Y == FLastPoint.Y))
        return;
    DrawValueTo(ValueIndex, X, Y);
}

void TFastLineSeries::DrawValueTo(int ValueIndex, int X, int Y)
{
    if (!FIgnoreNulls && GetValueColor(ValueIndex) == clNone)
        DoMove(X, Y);
    else {
        if (FStairs) {
            if (FInvertedStairs)
                LineToPoint(FLastPoint.X, Y);
            else
                LineToPoint(X, FLastPoint.Y);
        }
        LineToPoint(X, Y);
    }
    FLastPoint = {X, Y};
}

bool TFastLineSeries::CanDrawColumnRuns()
{
    TCustomAxisPanel* Chart = ParentChart();
    TCanvas3D* C = Chart->ChartCanvas();
    if (C->DrawEveryPoint || C->Metafiling || Chart->View3D() || FStairs || LastVisibleIndex - FirstVisibleIndex < 2)
        return false;
    // A null point moves the pen instead of drawing to it.
    if (!FIgnoreNulls && (HasValueColors() || SeriesColor() == clNone))
        return false;
    return ChThinSolidPen(C->Pen);
}

void TFastLineSeries::DrawAllValues()
{
    PrepareCanvas();
    const int First = FirstVisibleIndex;
    CalcPosition(First > 0 ? First - 1 : First, FLastPoint.X, FLastPoint.Y);
    DoMove(FLastPoint.X, FLastPoint.Y);
    if (!CanDrawColumnRuns()) {
        if (First > 0)
            DrawValue(First);
        for (int i = First + 1; i <= LastVisibleIndex; ++i)
            DrawValue(i);
        return;
    }
    // The segments that run down one column paint one unbroken span of its
    // rows: drawn as one line when the path leaves the column.
    TCanvas3D* C = ParentChart()->ChartCanvas();
    int Lo = INT_MAX, Hi = INT_MIN;
    const auto Flush = [&] {
        if (Lo > Hi)
            return;
        C->MoveTo(FLastPoint.X, Lo);
        C->LineTo(FLastPoint.X, Hi + 1);
        C->MoveTo(FLastPoint.X, FLastPoint.Y);
        Lo = INT_MAX;
        Hi = INT_MIN;
    };
    const auto Step = [&](int X, int Y) {
        if (X != FLastPoint.X) {
            Flush();
            C->LineTo(X, Y);
            FLastPoint = {X, Y};
        } else if (FDrawAllPoints && Y != FLastPoint.Y) {
            int A, B;
            ChColumnSegmentRows(FLastPoint.Y, Y, A, B);
            Lo = std::min(Lo, A);
            Hi = std::max(Hi, B);
            FLastPoint.Y = Y;
        }
    };
    const double* const Xs = XValues()->Values().data();
    const double* const Ys = YValues()->Values().data();
    TChartAxis* const Horiz = GetHorizAxis();
    TChartAxis* const Vert = GetVertAxis();
    // The points that go on down the column of the point before, one by one;
    // then, with ascending X values, a column at a time.
    int From = First > 0 ? First : First + 1;
    const bool Scan = ChCanScanColumns(Horiz, Vert, Xs, From, LastVisibleIndex);
    for (; From <= LastVisibleIndex; ++From) {
        const int X = Horiz->HorizPosValue(Xs[From]);
        if (X != FLastPoint.X)
            break;
        Step(X, Vert->VertPosValue(Ys[From]));
    }
    const auto Column = [&](int X, int, int, int YFirst, int YLast, int RunLo, int RunHi) {
        Flush();
        C->LineTo(X, YFirst);
        FLastPoint = {X, YFirst};
        if (FDrawAllPoints) {
            Lo = RunLo;
            Hi = RunHi;
            FLastPoint.Y = YLast;
        }
    };
    if (Scan && From <= LastVisibleIndex)
        ChScanColumns(Horiz, Vert, Xs, Ys, From, LastVisibleIndex, FPixels, Column);
    else if (From <= LastVisibleIndex) {
        const int Count = LastVisibleIndex - From + 1;
        FPixels.resize(static_cast<size_t>(2 * Count));
        int* const PX = FPixels.data();
        int* const PY = PX + Count;
        Horiz->PosValues(true, Xs + From, Count, PX);
        Vert->PosValues(false, Ys + From, Count, PY);
        for (int k = 0; k < Count; ++k)
            Step(PX[k], PY[k]);
    }
    Flush();
}

void TFastLineSeries::DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position)
{
    Marks()->ApplyArrowLength(Position);
    TCustomLineSeries::DrawMark(ValueIndex, Text, Position);
}

void TFastLineSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin)
{
    TCustomLineSeries::CalcHorizMargins(LeftMargin, RightMargin);
    const int W = LinePen()->Width();
    LeftMargin += W - (W - 2) / 2;
    RightMargin += W - (W - 2) / 2;
}

void TFastLineSeries::CalcVerticalMargins(int& TopMargin, int& BottomMargin)
{
    TCustomLineSeries::CalcVerticalMargins(TopMargin, BottomMargin);
    const int W = LinePen()->Width();
    TopMargin += W - (W - 2) / 2;
    BottomMargin += W - (W - 2) / 2;
}

void TFastLineSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle)
{
    PrepareCanvas();
}

void TFastLineSeries::DrawLegendShape(int ValueIndex, const TRect& Rect)
{
    ParentChart()->ChartCanvas()->DoHorizLine(Rect.Left, Rect.Right, (Rect.Top + Rect.Bottom) / 2);
}

int TFastLineSeries::Clicked(int X, int Y)
{
    if (FirstVisibleIndex < 0 || LastVisibleIndex < 0)
        return -1;
    if (ParentChart() != nullptr)
        ParentChart()->ChartCanvas()->Calculate2DPosition(X, Y, MiddleZ);
    const TPoint P{X, Y};
    int QX = 0, QY = 0;
    for (int i = FirstVisibleIndex; i <= LastVisibleIndex; ++i) {
        const int PX = CalcXPos(i);
        const int PY = CalcYPos(i);
        if (PX == X && PY == Y)
            return i;
        if (i > FirstVisibleIndex && PointInLine(P, PX, PY, QX, QY))
            return i - 1;
        QX = PX;
        QY = PY;
    }
    return -1;
}

// ------------------------------------------------------------------ gallery

void TFastLineSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart)
{
    TCustomLineSeries::CreateSubGallery(AddSubChart);
    AddSubChart(ChMsg_Marks);
    AddSubChart(ChMsg_Dotted);
    AddSubChart(ChMsg_Stairs);
}

void TFastLineSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 1:
        Marks()->SetVisible(true);
        break;
    case 2:
        LinePen()->SetSmallDots(true);
        break;
    case 3:
        SetStairs(true);
        break;
    default:
        break;
    }
}
