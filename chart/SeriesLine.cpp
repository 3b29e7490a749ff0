#include "chart/SeriesLine.h"

#include "chart/ChMarks.h"
#include "platform/PublishedProps.h"

// ------------------------------------------------------------------ TLineSeries

TLineSeries::TLineSeries(TComponent* AOwner) : TCustomSeries(AOwner)
{
    SetJoinPoints(true);
    FunctionCentrePoint = false;
    Pointer()->SetVisible(false);
}

void TLineSeries::Publish(TPublisher<TLineSeries>& P)
{
    using S = TLineSeries;
    P.Object("Brush", &S::Brush);
    P.Boolean("ClickableLine", &S::ClickableLine, &S::SetClickableLine).Default(true);
    P.Boolean("ColorEachLine", &S::ColorEachLine, &S::SetColorEachLine).Default(true);
    P.Boolean("Dark3D", &S::Dark3D, &S::SetDark3D).Default(true);
    P.Boolean("InvertedStairs", &S::InvertedStairs, &S::SetInvertedStairs).Default(false);
    P.Enumeration("LineBrush", &S::LineBrush, &S::SetLineBrush, BrushStyleIdents()).Default(bsSolid);
    P.Integer("LineHeight", &S::LineHeight, &S::SetLineHeight).Default(0);
    P.Object("LinePen", &S::LinePen);
    P.Object("OutLine", &S::OutLine);
    P.Object("Pointer", &S::Pointer);
    P.Enumeration("Stacked", &S::Stacked, &S::SetStacked, CustomSeriesStackIdents()).Default(cssNone);
    P.Boolean("Stairs", &S::Stairs, &S::SetStairs).Default(false);
}

void TLineSeries::Assign(TPersistent* Source)
{
    TCustomSeries::Assign(Source);
    if (Source == nullptr || Source->ClassType() != ClassType())
        Pointer()->SetVisible(false);
    SetDrawArea(false);
    SetJoinPoints(true);
}

void TLineSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle)
{
    ParentChart()->ChartCanvas()->AssignVisiblePen(LinePen());
    BrushStyle = LineBrush();
}

void TLineSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart)
{
    TCustomSeries::CreateSubGallery(AddSubChart);
    for (const std::string* Text : {&ChMsg_Stairs, &ChMsg_Points, &ChMsg_Height, &ChMsg_Hollow, &ChMsg_Colors,
                                    &ChMsg_Marks, &ChMsg_NoBorder, &ChMsg_Outline})
        AddSubChart(*Text);
}

void TLineSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 1: SetStairs(true); break;
    case 2: Pointer()->SetVisible(true); break;
    case 3: SetLineHeight(5); break;
    case 4: SetLineBrush(bsClear); break;
    case 5: SetColorEachPoint(true); break;
    case 6: Marks()->SetVisible(true); break;
    case 7: LinePen()->SetVisible(false); break;
    case 8: OutLine()->SetVisible(true); break;
    default: break;
    }
}

// ------------------------------------------------------------------ THorizLineSeries

THorizLineSeries::THorizLineSeries(TComponent* AOwner) : TLineSeries(AOwner)
{
    SetHorizontal();
    CalcVisibleRange = false;
    XValues()->SetOrder(loNone);
    YValues()->SetOrder(loAscending);
}

void THorizLineSeries::DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position)
{
    TMarksCallout* C = Marks()->Callout();
    int L = C->Length() + C->Distance();
    const bool LeftOfOrigin = Position->ArrowStart.X < GetOriginPos(ValueIndex);
    if (LeftOfOrigin)
        L = -L - Position->BoxWidth;
    Position->BoxTopLeft.X += L + Position->BoxWidth / 2;
    Position->BoxTopLeft.Y += Position->BoxHeight / 2;
    Position->ArrowEnd.X += L;
    Position->ArrowStart.X += LeftOfOrigin ? -C->Distance() : C->Distance();
    TLineSeries::DrawMark(ValueIndex, Text, Position);
}

int THorizLineSeries::CalcMarkLength()
{
    return MaxMarkWidth();
}

// ------------------------------------------------------------------ TPointSeries

TPointSeries::TPointSeries(TComponent* AOwner) : TCustomSeries(AOwner)
{
    SetFixed();
    TMarksCallout* C = Marks()->Callout();
    C->SetLength(0);
    C->UnstoredLength = 0;
}

void TPointSeries::Publish(TPublisher<TPointSeries>& P)
{
    using S = TPointSeries;
    P.Boolean("ClickableLine", &S::ClickableLine, &S::SetClickableLine).Default(true);
    P.Object("Pointer", &S::Pointer);
    P.Enumeration("Stacked", &S::Stacked, &S::SetStacked, CustomSeriesStackIdents()).Default(cssNone);
    P.Integer("Transparency", &S::Transparency, &S::SetTransparency).Default(0);
}

void TPointSeries::SetFixed()
{
    Pointer()->SetVisible(true);
    SetDrawArea(false);
    SetJoinPoints(false);
    SetClickableLine(false);
}

void TPointSeries::Assign(TPersistent* Source)
{
    TCustomSeries::Assign(Source);
    SetFixed();
}

void TPointSeries::SetColorEachPoint(bool Value)
{
    TCustomSeries::SetColorEachPoint(Value);
    if (Value)
        Pointer()->SetColor(clSeriesDefault);
}

TChTransparency TPointSeries::GetTransparency()
{
    return Pointer()->Transparency();
}

void TPointSeries::SetTransparency(TChTransparency Value)
{
    Pointer()->SetTransparency(Value);
}

void TPointSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart)
{
    TCustomSeries::CreateSubGallery(AddSubChart);
    for (const std::string* Text : {&ChMsg_Colors, &ChMsg_Marks, &ChMsg_Hollow, &ChMsg_NoBorder, &ChMsg_Gradient})
        AddSubChart(*Text);
    if (!CanDoExtra())
        return;
    for (const std::string* Text : {&ChMsg_Point2D, &ChMsg_Triangle, &ChMsg_Star, &ChMsg_Circle, &ChMsg_DownTri,
                                    &ChMsg_Cross, &ChMsg_Diamond})
        AddSubChart(*Text);
}

void TPointSeries::SetSubGallery(int Index)
{
    TSeriesPointer* P = Pointer();
    switch (Index) {
    case 1: SetColorEachPoint(true); return;
    case 2: Marks()->SetVisible(true); return;
    case 3: P->Brush()->SetStyle(bsClear); return;
    case 4: P->Pen()->SetVisible(false); return;
    case 5: P->Gradient()->SetVisible(true); return;
    default: break;
    }
    if (!CanDoExtra())
        return;
    switch (Index) {
    case 6: P->SetDraw3D(false); break;
    case 7: P->SetStyle(psTriangle); break;
    case 8: P->SetStyle(psStar); break;
    case 9:
        P->SetStyle(psCircle);
        P->SetHorizSize(8);
        P->SetVertSize(8);
        break;
    case 10: P->SetStyle(psDownTriangle); break;
    case 11: P->SetStyle(psCross); break;
    case 12: P->SetStyle(psDiamond); break;
    default: break;
    }
}

void TPointSeries::PrepareForGallery(bool IsEnabled)
{
    TCustomSeries::PrepareForGallery(IsEnabled);
    PrepareGalleryPointer();
}

void TPointSeries::PrepareGalleryPointer()
{
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart == nullptr)
        return;
    const int Size = Chart->Width() > 49 ? 6 : 4;
    Pointer()->SetHorizSize(Size);
    Pointer()->SetVertSize(Size);
    if (Chart->SeriesCount() > 1 && Chart->Series(1) == this)
        Pointer()->SetStyle(psTriangle);
}
