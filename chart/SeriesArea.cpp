#include "chart/SeriesArea.h"

#include "chart/ChMarks.h"
#include "platform/PublishedProps.h"

#include <algorithm>

const TIdentMap& MultiAreaIdents()
{
    static const TIdentMap Map = TIdentMap::Names({"maNone", "maStacked", "maStacked100"});
    return Map;
}

// ------------------------------------------------------------------ TAreaSeries

TAreaSeries::TAreaSeries(TComponent* AOwner) : TCustomSeries(AOwner)
{
    SetDrawArea(true);
    FunctionCentrePoint = false;
    Pointer()->SetVisible(false);
}

void TAreaSeries::Publish(TPublisher<TAreaSeries>& P)
{
    using S = TAreaSeries;
    P.Boolean("ColorEachLine", &S::ColorEachLine, &S::SetColorEachLine).Default(true);
    P.Object("Gradient", &S::Gradient);
    P.Enumeration("AreaBrush", &S::AreaBrush, &S::SetAreaBrushStyle, BrushStyleIdents()).Default(bsSolid);
    P.Object("AreaChartBrush", &S::AreaChartBrush);
    P.Integer("AreaColor", &S::AreaColor, &S::SetAreaColor).Idents(ColorIdents()).Default(clSeriesDefault);
    P.Object("AreaLinesPen", &S::AreaLinesPen);
    P.Boolean("ClickableLine", &S::ClickableLine, &S::SetClickableLine).Default(true);
    P.Boolean("Dark3D", &S::Dark3D, &S::SetDark3D).Default(true);
    // The constructor turns the area on; a form stores it against False.
    P.Boolean("DrawArea", &S::DrawArea, &S::SetDrawArea).Default(false);
    P.Boolean("InvertedStairs", &S::InvertedStairs, &S::SetInvertedStairs).Default(false);
    P.Object("LinePen", &S::LinePen);
    P.Enumeration("MultiArea", &S::MultiArea, &S::SetMultiArea, MultiAreaIdents()).Default(maNone);
    P.Object("Pointer", &S::Pointer);
    P.Boolean("Stairs", &S::Stairs, &S::SetStairs).Default(false);
    P.Integer("Transparency", &S::Transparency, &S::SetTransparency).Default(0);
    P.Boolean("UseYOrigin", &S::UseYOrigin, &S::SetUseYOrigin).Default(false);
    P.Float("YOrigin", &S::YOrigin, &S::SetYOrigin);
}

void TAreaSeries::Assign(TPersistent* Source)
{
    TCustomSeries::Assign(Source);
    SetDrawArea(true);
    SetJoinPoints(true);
    auto* S = dynamic_cast<TAreaSeries*>(Source);
    const bool Related = Source != nullptr && (Source->ClassType()->InheritsFrom(ClassType()) ||
                                               ClassType()->InheritsFrom(Source->ClassType()));
    if (S != nullptr && Related) {
        FUseYOrigin = S->FUseYOrigin;
        FYOrigin = S->FYOrigin;
    } else
        Pointer()->SetVisible(false);
}

TMultiArea TAreaSeries::MultiArea() const
{
    switch (Stacked()) {
    case cssStack: return maStacked;
    case cssStack100: return maStacked100;
    default: return maNone;
    }
}

void TAreaSeries::SetMultiArea(TMultiArea Value)
{
    if (Value == MultiArea())
        return;
    SetStacked(Value == maStacked ? cssStack : Value == maStacked100 ? cssStack100 : cssNone);
}

int TAreaSeries::GetOriginPos(int ValueIndex)
{
    if (FUseYOrigin)
        return CalcPosValue(FYOrigin);
    return TCustomSeries::GetOriginPos(ValueIndex);
}

double TAreaSeries::MaxYValue()
{
    const double Result = TCustomSeries::MaxYValue();
    return FUseYOrigin && !IsHorizontal() ? std::max(Result, FYOrigin) : Result;
}

double TAreaSeries::MinYValue()
{
    const double Result = TCustomSeries::MinYValue();
    return FUseYOrigin && !IsHorizontal() ? std::min(Result, FYOrigin) : Result;
}

double TAreaSeries::MaxXValue()
{
    const double Result = TCustomSeries::MaxXValue();
    return FUseYOrigin && IsHorizontal() ? std::max(Result, FYOrigin) : Result;
}

double TAreaSeries::MinXValue()
{
    const double Result = TCustomSeries::MinXValue();
    return FUseYOrigin && IsHorizontal() ? std::min(Result, FYOrigin) : Result;
}

bool TAreaSeries::DrawSeriesForward(int ValueIndex)
{
    if (MultiArea() != maNone)
        return MandatoryAxis() == nullptr || !MandatoryAxis()->Inverted();
    return TCustomSeries::DrawSeriesForward(ValueIndex);
}

void TAreaSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle)
{
    TCanvas3D* C = ParentChart()->ChartCanvas();
    BackColor = GetAreaBrushColor(C->Brush->Color());
    C->AssignVisiblePen(AreaLinesPen());
    BrushStyle = AreaChartBrush()->Style();
}

void TAreaSeries::DrawLegendShape(int ValueIndex, const TRect& Rect)
{
    if (Gradient()->Visible())
        Gradient()->Draw(ParentChart()->ChartCanvas(), Rect);
    else
        TCustomSeries::DrawLegendShape(ValueIndex, Rect);
}

void TAreaSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart)
{
    TCustomSeries::CreateSubGallery(AddSubChart);
    for (const std::string* Text : {&ChMsg_Stairs, &ChMsg_Marks, &ChMsg_Colors, &ChMsg_Hollow, &ChMsg_NoLines,
                                    &ChMsg_Stack, &ChMsg_Stack100, &ChMsg_Points, &ChMsg_Gradient})
        AddSubChart(*Text);
}

void TAreaSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 1: SetStairs(true); break;
    case 2: Marks()->SetVisible(true); break;
    case 3: SetColorEachPoint(true); break;
    case 4: SetAreaBrushStyle(bsClear); break;
    case 5: AreaLinesPen()->SetVisible(false); break;
    case 6: SetMultiArea(maStacked); break;
    case 7: SetMultiArea(maStacked100); break;
    case 8: Pointer()->SetVisible(true); break;
    case 9: Gradient()->SetVisible(true); break;
    default: break;
    }
}

void TAreaSeries::PrepareForGallery(bool IsEnabled)
{
    TCustomSeries::PrepareForGallery(IsEnabled);
    PrepareGalleryGradient();
}

void TAreaSeries::PrepareGalleryGradient()
{
    Gradient()->SetVisible(true);
    Gradient()->SetEndColor(SeriesColor());
}

// ------------------------------------------------------------------ THorizAreaSeries

THorizAreaSeries::THorizAreaSeries(TComponent* AOwner) : TAreaSeries(AOwner)
{
    SetHorizontal();
    XValues()->SetOrder(loNone);
    YValues()->SetOrder(loAscending);
    Gradient()->SetDirection(gdRightLeft);
}

void THorizAreaSeries::DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position)
{
    TMarksCallout* C = Marks()->Callout();
    const int L = C->Length() + C->Distance();
    const int A = Position->ArrowEnd.Y;
    Position->BoxTopLeft.Y = A - Position->BoxHeight / 2;
    Position->BoxTopLeft.X += L + Position->BoxWidth / 2;
    Position->ArrowEnd.X += L;
    Position->ArrowStart.Y = A;
    Position->ArrowStart.X += C->Distance();
    TAreaSeries::DrawMark(ValueIndex, Text, Position);
}
