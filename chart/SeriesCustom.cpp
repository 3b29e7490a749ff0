// The line-and-area series base: settings, stacking, margins, marks, hit
// test and legend symbol. Its drawing is in SeriesCustomDraw.cpp.
#include "chart/SeriesCustom.h"

#include "chart/ChMarks.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

const TIdentMap& CustomSeriesStackIdents()
{
    static const TIdentMap Map = TIdentMap::Names({"cssNone", "cssOverlap", "cssStack", "cssStack100"});
    return Map;
}

// ------------------------------------------------------------------ life

TCustomSeries::TCustomSeries(TComponent* AOwner) : TCustomLineSeries(AOwner)
{
    IncludeOuterPoint = true;
    const auto Changed = [this](TObject* Sender) { CanvasChanged(Sender); };
    FPointer = std::make_unique<TSeriesPointer>(this);
    FAreaLinesPen = CreateChartPen();
    FOutLine = std::make_unique<TChartHiddenPen>(Changed);
    FShadow = std::make_unique<TChShadow>(Changed);
    FAreaChartBrush = std::make_unique<TChartBrush>(Changed);
    FGradient = std::make_unique<TChGradient>(Changed);
}

TCustomSeries::~TCustomSeries()
{
    FGradient.reset();
    FAreaChartBrush.reset();
    FAreaLinesPen.reset();
    FShadow.reset();
    FOutLine.reset();
    FPointer.reset();
}

void TCustomSeries::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TCustomSeries*>(Source)) {
        FClickableLine = S->FClickableLine;
        FAreaChartBrush->Assign(S->FAreaChartBrush.get());
        FAreaColor = S->FAreaColor;
        FAreaLinesPen->Assign(S->FAreaLinesPen.get());
        FColorEachLine = S->FColorEachLine;
        FDark3D = S->FDark3D;
        FDrawArea = S->FDrawArea;
        FJoinPoints = S->FJoinPoints;
        FInvertedStairs = S->FInvertedStairs;
        FLineHeight = S->FLineHeight;
        FPointer->Assign(S->FPointer.get());
        FStacked = S->FStacked;
        FStairs = S->FStairs;
        FOutLine->Assign(S->FOutLine.get());
        FShadow->Assign(S->FShadow.get());
        FTransparency = S->FTransparency;
        FGradient->Assign(S->FGradient.get());
    }
    TCustomLineSeries::Assign(Source);
}

void TCustomSeries::SetParentChart(TCustomAxisPanel* Value)
{
    TCustomLineSeries::SetParentChart(Value);
    FPointer->SetParent(Value);
}

void TCustomSeries::SetTransparency(TChTransparency Value)
{
    SetIntegerProperty(FTransparency, Value);
}

// ------------------------------------------------------------------ stacking

void TCustomSeries::SetStacked(TCustomSeriesStack Value)
{
    if (FStacked == Value)
        return;
    FStacked = Value;
    if (TCustomAxisPanel* Chart = ParentChart())
        for (int i = 0; i < Chart->SeriesCount(); ++i) {
            auto* S = dynamic_cast<TCustomSeries*>(Chart->Series(i));
            if (S != nullptr && S != this && ClassType()->InheritsFrom(S->ClassType()))
                S->FStacked = Value;
        }
    Repaint();
}

double TCustomSeries::PointOrigin(int ValueIndex, bool SumAll)
{
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart == nullptr)
        return 0;
    const bool Negative = MandatoryValueList()->Value(ValueIndex) < 0;
    double Result = 0;
    for (int i = 0; i < Chart->SeriesCount(); ++i) {
        TChartSeries* S = Chart->Series(i);
        if (!SumAll && S == this)
            break;
        if (!S->Active() || S->Count() <= ValueIndex || !dynamic_cast<TCustomSeries*>(S) || !SameClass(S))
            continue;
        const double V = S->GetOriginValue(ValueIndex);
        if (Negative ? V < 0 : V > 0)
            Result += V;
    }
    return Result;
}

int TCustomSeries::CalcStackedPos(int ValueIndex, double Value)
{
    TChartAxis* Axis = MandatoryAxis();
    if (FStacked == cssStack)
        return std::min(CalcPosValue(PointOrigin(ValueIndex, false) + Value), Axis->PixelEnd());
    const double Total = PointOrigin(ValueIndex, true);
    if (Total == 0)
        return Axis->PixelEnd();
    return CalcPosValue((PointOrigin(ValueIndex, false) + Value) * 100 / Total);
}

int TCustomSeries::CalcXPos(int ValueIndex)
{
    if (IsHorizontal() && IsStacked())
        return CalcStackedPos(ValueIndex, XValues()->Value(ValueIndex));
    return TCustomLineSeries::CalcXPos(ValueIndex);
}

int TCustomSeries::CalcYPos(int ValueIndex)
{
    if (!IsHorizontal() && IsStacked())
        return CalcStackedPos(ValueIndex, YValues()->Value(ValueIndex));
    return TCustomLineSeries::CalcYPos(ValueIndex);
}

int TCustomSeries::GetOriginPos(int ValueIndex)
{
    if (IsStacked())
        return CalcStackedPos(ValueIndex, 0);
    if (!IsHorizontal())
        return GetVertAxis()->Inverted() ? GetVertAxis()->PixelStart() : GetVertAxis()->PixelEnd();
    return GetHorizAxis()->Inverted() ? GetHorizAxis()->PixelEnd() : GetHorizAxis()->PixelStart();
}

double TCustomSeries::MaxYValue()
{
    double Result = TCustomLineSeries::MaxYValue();
    if (IsHorizontal())
        return Result;
    if (FStacked == cssStack100)
        return 100;
    if (FStacked == cssStack)
        for (int i = 0; i < Count(); ++i)
            Result = std::max(Result, PointOrigin(i, false) + YValues()->Value(i));
    return Result;
}

double TCustomSeries::MinYValue()
{
    double Result = TCustomLineSeries::MinYValue();
    if (IsHorizontal())
        return Result;
    if (FStacked == cssStack100)
        return 0;
    if (FStacked == cssStack)
        for (int i = 0; i < Count(); ++i)
            Result = std::min(Result, PointOrigin(i, false) + YValues()->Value(i));
    return Result;
}

double TCustomSeries::MaxXValue()
{
    double Result = TCustomLineSeries::MaxXValue();
    if (!IsHorizontal())
        return Result;
    if (FStacked == cssStack100)
        return 100;
    if (FStacked == cssStack)
        for (int i = 0; i < Count(); ++i)
            Result = std::max(Result, PointOrigin(i, false) + XValues()->Value(i));
    return Result;
}

// A horizontal stack's values run along X: its smallest stacked value
// widens the horizontal axis, as its largest does.
double TCustomSeries::MinXValue()
{
    double Result = TCustomLineSeries::MinXValue();
    if (!IsHorizontal())
        return Result;
    if (FStacked == cssStack100)
        return 0;
    if (FStacked == cssStack)
        for (int i = 0; i < Count(); ++i)
            Result = std::min(Result, PointOrigin(i, false) + XValues()->Value(i));
    return Result;
}

// Stacked series share one depth: the last one opened, or a new one when
// no series has taken a depth yet.
void TCustomSeries::CalcZOrder()
{
    TCustomAxisPanel* Chart = ParentChart();
    if (FStacked == cssNone || Chart->MaxZOrder < 0) {
        TCustomLineSeries::CalcZOrder();
        return;
    }
    ComputedZOrder = Chart->MaxZOrder;
}

// ------------------------------------------------------------------ margins and marks

int TCustomSeries::CalcMarkLength()
{
    TMarksCallout* C = Marks()->Callout();
    return C->Length() + C->Distance();
}

void TCustomSeries::InternalCalcMargin(bool CheckMarks, bool Horizontal, int& First, int& Second)
{
    if (Horizontal)
        FPointer->CalcHorizMargins(First, Second);
    else
        FPointer->CalcVerticalMargins(First, Second);
    if (FJoinPoints) {
        if (FStairs) {
            First = std::max(First, LinePen()->Width());
            Second = std::max(Second, LinePen()->Width());
        }
        if (FOutLine->Visible()) {
            First = std::max(First, FOutLine->Width());
            Second = std::max(Second, FOutLine->Width());
        }
    }
    if (CheckMarks && Marks()->Visible()) {
        // Marks stand above a vertical series' points, right of a horizontal one's.
        int& Far = IsHorizontal() ? Second : First;
        Far = std::max(Far, CalcMarkLength());
    }
}

void TCustomSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin)
{
    LeftMargin = RightMargin = 0;
    InternalCalcMargin(IsHorizontal(), true, LeftMargin, RightMargin);
}

void TCustomSeries::CalcVerticalMargins(int& TopMargin, int& BottomMargin)
{
    TopMargin = BottomMargin = 0;
    InternalCalcMargin(!IsHorizontal(), false, TopMargin, BottomMargin);
    if (FLineHeight > 0 && !FDrawArea && ParentChart() != nullptr && ParentChart()->View3D())
        BottomMargin = std::max(BottomMargin, FLineHeight);
}

void TCustomSeries::DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position)
{
    Marks()->ZPos = StartZ;
    if (!IsHorizontal())
        Marks()->ApplyArrowLength(Position);
    TCustomLineSeries::DrawMark(ValueIndex, Text, Position);
}

// ------------------------------------------------------------------ hit test

bool TCustomSeries::ClickedPointer(int ValueIndex, int PointX, int PointY, int X, int Y)
{
    PreparePointer(ValueIndex);
    const TSeriesPointerStyle Style = OnGetPointerStyle ? OnGetPointerStyle(this, ValueIndex) : FPointer->Style();
    return Style != psNothing && std::abs(X - PointX) < FPointer->HorizSize() &&
           std::abs(Y - PointY) < FPointer->VertSize();
}

int TCustomSeries::Clicked(int X, int Y)
{
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart != nullptr)
        Chart->ChartCanvas()->Calculate2DPosition(X, Y, StartZ);
    const int Base = TCustomLineSeries::Clicked(X, Y);
    if (Base != -1)
        return Base;
    if (FirstVisibleIndex < 0 || LastVisibleIndex < 0)
        return -1;
    const TPoint P{X, Y};
    const bool Is3D = Chart != nullptr && Chart->View3D();
    int QX = 0, QY = 0;
    for (int i = FirstVisibleIndex; i <= LastVisibleIndex && i < Count(); ++i) {
        const int PX = CalcXPos(i), PY = CalcYPos(i);
        if (FPointer->Visible() && ClickedPointer(i, PX, PY, X, Y)) {
            if (OnClickPointer)
                OnClickPointer(this, i, X, Y);
            return i;
        }
        if (PX == X && PY == Y)
            return i;
        if (i > FirstVisibleIndex && FClickableLine) {
            bool OnLine;
            if (Is3D) {
                const int DX = Chart->SeriesWidth3D, DY = Chart->SeriesHeight3D;
                OnLine = PointInPolygon(P, {{PX, PY}, {PX + DX, PY - DY}, {QX + DX, QY - DY}, {QX, QY}});
            } else if (FStairs) {
                if (FInvertedStairs)
                    OnLine = PointInLine(P, QX, QY, QX, PY) || PointInLine(P, QX, PY, PX, PY);
                else
                    OnLine = PointInLine(P, QX, QY, PX, QY) || PointInLine(P, PX, QY, PX, PY);
            } else
                OnLine = PointInLine(P, QX, QY, PX, PY);
            if (OnLine)
                return i - 1;
            if (FDrawArea) {
                const int O1 = GetOriginPos(i), O0 = GetOriginPos(i - 1);
                const std::vector<TPoint> Area = IsHorizontal()
                                                     ? std::vector<TPoint>{{QX, QY}, {PX, PY}, {O1, PY}, {O0, QY}}
                                                     : std::vector<TPoint>{{QX, QY}, {PX, PY}, {PX, O1}, {QX, O0}};
                if (PointInPolygon(P, Area))
                    return i - 1;
            }
        }
        QX = PX;
        QY = PY;
    }
    return -1;
}

// ------------------------------------------------------------------ legend

void TCustomSeries::DrawLegendShape(int ValueIndex, const TRect& Rect)
{
    TCustomAxisPanel* Chart = ParentChart();
    TCanvas3D* C = Chart->ChartCanvas();
    const TColor Color = ValueIndex == -1 ? SeriesColor() : LegendItemColor(ValueIndex);
    const int Middle = (Rect.Top + Rect.Bottom) / 2;
    const bool DefaultPen = Chart->LegendPen == nullptr;
    if (FPointer->Visible()) {
        if (FJoinPoints) {
            if (DefaultPen)
                LinePrepareCanvas(C, Color);
            C->DoHorizLine(Rect.Left, Rect.Right, Middle);
        }
        ChPointerDrawLegend(FPointer.get(), Color, Rect, LinePen()->Visible());
        return;
    }
    if (!FJoinPoints || FDrawArea) {
        TCustomLineSeries::DrawLegendShape(ValueIndex, Rect);
        return;
    }
    if (DefaultPen)
        LinePrepareCanvas(C, Color);
    if (Chart->View3D())
        C->Rectangle(Rect);
    else
        C->DoHorizLine(Rect.Left, Rect.Right, Middle);
}

void ChPointerDrawLegend(TSeriesPointer* Pointer, TColor AColor, const TRect& Rect, bool DrawPen)
{
    auto* Chart = dynamic_cast<TCustomAxisPanel*>(Pointer->Parent());
    if (Chart == nullptr)
        return;
    TCanvas3D* C = Chart->ChartCanvas();
    Pointer->PrepareCanvas(C, AColor);
    if (Chart->LegendPen != nullptr) {
        C->AssignVisiblePen(Chart->LegendPen);
        DrawPen = Chart->LegendPen->Visible();
    }
    const int W = Rect.Right - Rect.Left, H = Rect.Bottom - Rect.Top;
    int HorizSize = DrawPen ? W / 3 : W / 2 + 1;
    int VertSize = DrawPen ? H / 3 : H / 2 + 1;
    HorizSize = std::min(HorizSize, Pointer->HorizSize());
    VertSize = std::min(VertSize, Pointer->VertSize());
    Pointer->DrawPointer(C, false, (Rect.Left + Rect.Right) / 2, (Rect.Top + Rect.Bottom) / 2, HorizSize, VertSize,
                         AColor, Pointer->Style());
}
