// Bar drawing: one bar in its style in 2-D and 3-D, its gradient, bevel,
// transparency and tick lines; the marks beside bars, the hit test, the
// legend symbol and the gallery entries.
#include "chart/SeriesBar.h"

#include "chart/ChMarks.h"
#include "platform/ScopeGuard.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

bool IsBoxStyle(TBarStyle Style)
{
    return Style == bsRectangle || Style == bsRectGradient || Style == bsBevel;
}

// One channel of a relative gradient's end colour, kept in 0 .. 255.
int Channel(int Start, int Bar, double Fraction)
{
    return std::clamp(Start + ChRound(Fraction * (Bar - Start)), 0, 255);
}

// A bar in its own terms, placed on the screen by the series' orientation:
// positions along the value axis and across the bar's width. Upright bars
// run along y, bars lying across along x.
struct TBarFrame {
    bool Upright;
    TPoint At(int Along, int Across) const { return Upright ? TPoint{Across, Along} : TPoint{Along, Across}; }
    // The box from Along0 to Along1 and from Across0 to Across1.
    TRect Box(int Along0, int Along1, int Across0, int Across1) const
    {
        return Upright ? TRect{Across0, Along0, Across1, Along1} : TRect{Along0, Across0, Along1, Across1};
    }
};

} // namespace

// ------------------------------------------------------------------ common parts

void TCustomBarSeries::SetPenBrushBar(TColor Color)
{
    TCustomAxisPanel* Chart = ParentChart();
    Chart->ChartCanvas()->AssignVisiblePen(BarPen());
    const TColor Back = BarBrush()->Color() == clSeriesDefault ? Chart->Color() : BarBrush()->Color();
    Chart->SetBrushCanvas(Color, BarBrush(), Back);
}

void TCustomBarSeries::BarRectangle(TColor Color, int Left, int Top, int Right, int Bottom)
{
    TCanvas3D* C = ParentChart()->ChartCanvas();
    if (C->Brush->Style() == bsSolid) {
        const auto PenInBrushColour = [&] {
            C->Pen->SetColor(C->Brush->Color());
            if (C->Pen->Style() == psClear)
                C->Pen->SetStyle(psSolid);
        };
        if (Right == Left || Top == Bottom) {
            PenInBrushColour();
            C->Line(Left, Top, Right, Bottom);
        } else if (std::abs(Right - Left) < C->Pen->Width() || std::abs(Bottom - Top) < C->Pen->Width()) {
            PenInBrushColour();
            C->Brush->SetStyle(bsClear);
        }
    }
    C->Rectangle(Left, Top, Right, Bottom);
}

TColor TCustomBarSeries::CalcGradientColor(int ValueIndex)
{
    if (!FGradient->Relative())
        return FBarColor;
    TChartValueList* Values = MandatoryValueList();
    const double Low = FUseYOrigin ? FYOrigin : Values->MinValue();
    const double High = Values->MaxValue();
    // Values that do not spread have no share to show: the full colour.
    if (High == Low)
        return FBarColor;
    const double F = (Values->Value(ValueIndex) - Low) / (High - Low);
    const TColor Start = ColorToRGB(FGradient->StartColor());
    const TColor Bar = ColorToRGB(FBarColor);
    return RGB(Channel(GetRValue(Start), GetRValue(Bar), F), Channel(GetGValue(Start), GetGValue(Bar), F),
               Channel(GetBValue(Start), GetBValue(Bar), F));
}

void TCustomBarSeries::BarGradient(int ValueIndex, TRect R)
{
    TCustomAxisPanel* Chart = ParentChart();
    TCanvas3D* C = Chart->ChartCanvas();
    {
        // Taking the bar's colour is part of drawing, not a change.
        TValueRollback<bool> Quiet(Chart->RepaintOnChange, false);
        FGradient->SetEndColor(CalcGradientColor(ValueIndex));
    }
    const bool PenShown = BarPen()->Visible();
    const int W = PenShown ? BarPen()->Width() : 0;
    if (!Chart->View3D()) {
        if (PenShown) {
            R.Left += 1;
            R.Top += 1;
            R.Right -= W;
            R.Bottom -= W;
        }
        FGradient->Draw(C, R);
    } else if (!Chart->View3DOptions()->Orthogonal()) {
        if (PenShown)
            InflateRect(R, -W, -W);
        FGradient->Draw(C, C->FourPointsFromRect(R, StartZ));
    } else {
        if (PenShown) {
            R.Left += 1;
            R.Top += 1;
            R.Right -= W - 1;
            R.Bottom -= W - 1;
        }
        FGradient->Draw(C, C->CalcRect3D(R, StartZ));
    }
}

void TCustomBarSeries::DrawBevel()
{
    TCustomAxisPanel* Chart = ParentChart();
    const bool Is3D = Chart->View3D();
    if (Is3D && !Chart->View3DOptions()->Orthogonal())
        return;
    TRect R = OrientRectangle(FBarRect);
    if (BarPen()->Visible()) {
        const int W = BarPen()->Width();
        InflateRect(R, -W, -W);
        if (Is3D) {
            R.Right += 1;
            R.Bottom += 1;
        }
    }
    Chart->ChartCanvas()->Frame3D(R, ApplyBright(FBarColor, DarkerColorQuantity), ApplyDark(FBarColor, DarkColorQuantity),
                                  FBevelSize);
}

void TCustomBarSeries::DrawTickLines(int StartPos, int EndPos, TBarStyle Style)
{
    if (!FTickLines->Visible())
        return;
    ParentChart()->ChartCanvas()->AssignVisiblePen(FTickLines.get());
    for (int T : MandatoryAxis()->TickPixels())
        if (StartPos < T && T < EndPos)
            DrawTickLine(T, Style);
}

// Both orientations draw here. Pyramids, cones and arrows point up on an
// upright bar and to the right on one lying across; the diamond and the
// depth lines of the ticks go round the bar clockwise from its start end.
void TCustomBarSeries::DrawBar(int ValueIndex, int StartPos, int EndPos)
{
    TCustomAxisPanel* Chart = ParentChart();
    TCanvas3D* C = Chart->ChartCanvas();
    SetPenBrushBar(FBarColor);
    const TBarStyle Style = GetBarStyle(ValueIndex);
    const bool Upright = YMandatory();
    const TBarFrame F{Upright};
    const int Edge0 = Upright ? FBarRect.Left : FBarRect.Top;
    const int Edge1 = Upright ? FBarRect.Right : FBarRect.Bottom;
    const int Mid = (Edge0 + Edge1) / 2;
    const int Apex = Upright ? StartPos : EndPos;
    const int Foot = Upright ? EndPos : StartPos;
    const int Clockwise0 = Upright ? Edge1 : Edge0;
    const int Clockwise1 = Upright ? Edge0 : Edge1;
    const TRect R = F.Box(StartPos, EndPos, Edge0, Edge1);
    const bool Is3D = Chart->View3D();
    const auto Box = [&] {
        if (Is3D)
            C->Cube(R.Left, R.Right, R.Top, R.Bottom, StartZ, EndZ, Dark3D());
        else
            BarRectangle(FBarColor, R.Left, R.Top, R.Right, R.Bottom);
    };
    const auto Triangle = [&](TPoint A, TPoint B, TPoint D) {
        const TPoint P[3] = {A, B, D};
        C->Polygon(P, 3);
    };
    switch (Style) {
    case bsRectangle:
        Box();
        break;
    case bsPyramid:
        if (Is3D)
            C->Pyramid(Upright, R.Left, R.Top, R.Right, R.Bottom, StartZ, EndZ, Dark3D());
        else
            Triangle(F.At(Foot, Edge0), F.At(Apex, Mid), F.At(Foot, Edge1));
        break;
    case bsInvPyramid:
        if (Is3D) {
            const TRect Inv = F.Box(EndPos, StartPos, Edge0, Edge1);
            C->Pyramid(Upright, Inv.Left, Inv.Top, Inv.Right, Inv.Bottom, StartZ, EndZ, Dark3D());
        } else
            Triangle(F.At(Apex, Edge0), F.At(Foot, Mid), F.At(Apex, Edge1));
        break;
    case bsCilinder:
        if (Is3D)
            C->Cylinder(Upright, R.Left, R.Top, R.Right, R.Bottom, StartZ, EndZ, Dark3D());
        else
            BarRectangle(FBarColor, R.Left, R.Top, R.Right, R.Bottom);
        break;
    case bsEllipse:
        if (Is3D)
            C->EllipseWithZ(R.Left, R.Top, R.Right, R.Bottom, MiddleZ);
        else
            C->Ellipse(R.Left, R.Top, R.Right, R.Bottom);
        break;
    case bsArrow:
        C->Arrow(true, F.At(Foot, Mid), F.At(Apex, Mid), Edge1 - Edge0, (Edge1 - Edge0) / 2, MiddleZ);
        break;
    case bsRectGradient:
        Box();
        BarGradient(ValueIndex, R);
        break;
    case bsCone:
        if (Is3D)
            C->Cone(Upright, R.Left, R.Top, R.Right, R.Bottom, StartZ, EndZ, Dark3D(), ConePercent());
        else
            Triangle(F.At(Foot, Edge0), F.At(Apex, Mid), F.At(Foot, Edge1));
        break;
    case bsBevel:
        Box();
        DrawBevel();
        break;
    case bsSlantCube:
        if (Is3D) {
            TValueRollback<int> Sides(ChNumCylinderSides, 4);
            C->Cylinder(Upright, R.Left, R.Top, R.Right, R.Bottom, StartZ, EndZ, Dark3D());
        } else {
            BarRectangle(FBarColor, R.Left, R.Top, R.Right, R.Bottom);
            if (Upright)
                C->DoVertLine(Mid, StartPos, EndPos);
            else
                C->DoHorizLine(StartPos, EndPos, Mid);
        }
        break;
    case bsDiamond: {
        const int Half = (StartPos + EndPos) / 2;
        const TPoint P[4] = {F.At(StartPos, Mid), F.At(Half, Clockwise0), F.At(EndPos, Mid), F.At(Half, Clockwise1)};
        if (Is3D)
            C->PolygonWithZ(P, 4, MiddleZ);
        else
            C->Polygon(P, 4);
        break;
    }
    }
    DrawTickLines(StartPos, EndPos, Style);
}

void TCustomBarSeries::DrawTickLine(int Pos, TBarStyle Style)
{
    TCustomAxisPanel* Chart = ParentChart();
    TCanvas3D* C = Chart->ChartCanvas();
    const bool Upright = YMandatory();
    const TBarFrame F{Upright};
    const int Edge0 = Upright ? FBarRect.Left : FBarRect.Top;
    const int Edge1 = Upright ? FBarRect.Right : FBarRect.Bottom;
    const auto AcrossLine = [&](int From, int To, int Z) {
        if (Upright)
            C->HorizLine3D(From, To, Pos, Z);
        else
            C->VertLine3D(Pos, From, To, Z);
    };
    if (Style == bsArrow) {
        const int Q = (Edge1 - Edge0) / 4;
        AcrossLine(Edge0 + Q, Edge1 - Q, MiddleZ);
        return;
    }
    if (!IsBoxStyle(Style))
        return;
    AcrossLine(Edge0, Edge1, StartZ);
    if (!Chart->View3D())
        return;
    const int Along0 = Upright ? FBarRect.Top : FBarRect.Left;
    const int Along1 = Upright ? FBarRect.Bottom : FBarRect.Right;
    const int First = std::min(Along0, Along1), Last = std::max(Along0, Along1);
    const int Clockwise0 = Upright ? Edge1 : Edge0;
    const int Clockwise1 = Upright ? Edge0 : Edge1;
    // The side whose face is turned to the viewer carries the depth line.
    const auto Faces = [&](int Side) {
        const auto At = [&](int Along, int Z) {
            const TPoint P = F.At(Along, Side);
            return C->Calculate3DPosition(P.X, P.Y, Z);
        };
        return ChCull(At(First, StartZ), At(First, EndZ), At(Last, EndZ));
    };
    const auto DepthLine = [&](int Side) {
        const TPoint P = F.At(Pos, Side);
        C->ZLine3D(P.X, P.Y, StartZ, EndZ);
    };
    if (!Faces(Clockwise0))
        DepthLine(Clockwise0);
    else if (Faces(Clockwise1))
        DepthLine(Clockwise1);
}

void TCustomBarSeries::DrawBarBlended(int ValueIndex, int StartPos, int EndPos)
{
    TCanvas3D* C = ParentChart()->ChartCanvas();
    TChBlend* Blend = nullptr;
    if (FTransparency != 0) {
        TRect R = OrientRectangle(FBarRect);
        if (ParentChart()->View3D()) {
            const TRect Front = OrientRectangle(C->RectFromRectZ(R, StartZ));
            const TRect Back = OrientRectangle(C->RectFromRectZ(R, EndZ));
            UnionRect(R, Front, Back);
        }
        Blend = C->BeginBlending(R, FTransparency);
    }
    TScopeExit Finish([&] {
        if (Blend != nullptr)
            C->EndBlending(Blend);
    });
    DrawBar(ValueIndex, StartPos, EndPos);
}

// ------------------------------------------------------------------ hit test, legend, gallery

int TCustomBarSeries::Clicked(int X, int Y)
{
    if (FirstVisibleIndex < 0 || LastVisibleIndex < 0)
        return -1;
    const int Last = std::min(LastVisibleIndex, Count() - 1);
    for (int i = FirstVisibleIndex; i <= Last; ++i)
        if (InternalClicked(i, {X, Y}))
            return i;
    return -1;
}

void TCustomBarSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle)
{
    ParentChart()->ChartCanvas()->AssignVisiblePen(BarPen());
    BrushStyle = BarBrush()->Style();
    BackColor = BarBrush()->Color() == clSeriesDefault ? ParentChart()->Color() : BarBrush()->Color();
}

void TCustomBarSeries::DrawLegendShape(int ValueIndex, const TRect& Rect)
{
    TCanvas3D* C = ParentChart()->ChartCanvas();
    if (BarBrush()->HasImage())
        C->AssignBrushColor(BarBrush(), C->Brush->Color(), C->Brush->Color());
    TChartSeries::DrawLegendShape(ValueIndex, Rect);
}

void TCustomBarSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart)
{
    TChartSeries::CreateSubGallery(AddSubChart);
    for (const std::string* Text : {&ChMsg_Colors, &ChMsg_Pyramid, &ChMsg_Ellipse, &ChMsg_InvPyramid, &ChMsg_Gradient})
        AddSubChart(*Text);
    if (SubGalleryStack())
        for (const std::string* Text : {&ChMsg_Stack, &ChMsg_Stack100, &ChMsg_SelfStack})
            AddSubChart(*Text);
    AddSubChart(ChMsg_Sides);
    AddSubChart(ChMsg_SideAll);
}

void TCustomBarSeries::PrepareForGallery(bool IsEnabled)
{
    TChartSeries::PrepareForGallery(IsEnabled);
    SetBarWidthPercent(85);
    SetBarStyle(bsRectGradient);
    FGradient->SetVisible(true);
    SetMultiBar(mbNone);
}

// The entries from "Stack" on show two series; the second one of a
// gallery chart is made by the gallery (the series registry).
void TCustomBarSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 1: SetColorEachPoint(true); return;
    case 2: SetBarStyle(bsPyramid); return;
    case 3: SetBarStyle(bsEllipse); return;
    case 4: SetBarStyle(bsInvPyramid); return;
    case 5: SetBarStyle(bsRectGradient); return;
    default: break;
    }
    if (!SubGalleryStack())
        Index += 3;
    switch (Index) {
    case 6: SetMultiBar(mbStacked); break;
    case 7: SetMultiBar(mbStacked100); break;
    case 8: SetMultiBar(mbSelfStack); break;
    case 9: SetMultiBar(mbSide); break;
    case 10: SetMultiBar(mbSideAll); break;
    default: break;
    }
}

// ------------------------------------------------------------------ TBarSeries

void TBarSeries::DrawValue(int ValueIndex)
{
    FBarColor = GetValueColor(ValueIndex);
    if (FBarColor == clNone)
        return;
    const int Left = CalcXPos(ValueIndex);
    int Right = Left + BarPixels() + 1;
    if (BarWidthPercent() == 100 && CustomBarWidth() == 0) {
        const int Next = GetHorizAxis()->Inverted() ? ValueIndex - 1 : ValueIndex + 1;
        if (Next >= 0 && Next < Count())
            Right = CalcXPos(Next);
    }
    int Top = CalcYPos(ValueIndex);
    int Bottom = GetOriginPos(ValueIndex);
    if (!BarPen()->Visible()) {
        (Top > Bottom ? Top : Bottom) += 1;
        Right += 1;
    }
    FBarRect = {Left, Top, Right, Bottom};
    DrawBarBlended(ValueIndex, std::min(Top, Bottom), std::max(Top, Bottom));
}

void TBarSeries::DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position)
{
    TMarksCallout* Callout = Marks()->Callout();
    int L = Callout->Length() + Callout->Distance();
    const int H = BarPixels() / 2;
    if (GetOriginPos(ValueIndex) < Position->ArrowStart.Y) {
        // The bar hangs down: the mark goes below it.
        Position->ArrowStart.Y += Callout->Distance();
        L = -L - Position->BoxHeight;
    } else
        Position->ArrowStart.Y -= Callout->Distance();
    Position->BoxTopLeft.X += H;
    Position->BoxTopLeft.Y -= L;
    Position->ArrowEnd.X += H;
    Position->ArrowEnd.Y -= L;
    Position->ArrowStart.X += H;
    if (AutoMarkPosition())
        Marks()->AntiOverlap(FirstVisibleIndex, ValueIndex, Position);
    TCustomBarSeries::DrawMark(ValueIndex, Text, Position);
}

bool TBarSeries::InternalClicked(int ValueIndex, const TPoint& P)
{
    TCustomAxisPanel* Chart = ParentChart();
    TCanvas3D* C = Chart->ChartCanvas();
    const bool Is3D = Chart->View3D();
    const int X = CalcXPos(ValueIndex), W = BarPixels();
    if (!Is3D && (P.X < X || P.X > X + W))
        return false;
    int Y = CalcYPos(ValueIndex), O = GetOriginPos(ValueIndex);
    if (O < Y)
        std::swap(Y, O);
    const auto InTriangle = [&](int Base, int Apex) {
        if (!Is3D)
            return PointInTriangle(P, X, X + W, Base, Apex);
        return PointInPolygon(P, {C->Calculate3DPosition(X, Base, StartZ), C->Calculate3DPosition(X + W / 2, Apex, MiddleZ),
                                  C->Calculate3DPosition(X + W, Base, StartZ)});
    };
    switch (GetBarStyle(ValueIndex)) {
    case bsPyramid:
    case bsCone:
        return InTriangle(O, Y);
    case bsInvPyramid:
        return InTriangle(Y, O);
    default:
        break;
    }
    TPoint Q = P;
    if (Is3D) {
        C->Calculate2DPosition(Q.X, Q.Y, StartZ);
        if (Q.X < X || Q.X > X + W)
            return false;
    }
    if (GetBarStyle(ValueIndex) == bsEllipse)
        return PointInEllipse(Q, X, Y, X + W, O);
    return Y <= Q.Y && Q.Y <= O;
}

// ------------------------------------------------------------------ THorizBarSeries

void THorizBarSeries::DrawValue(int ValueIndex)
{
    FBarColor = GetValueColor(ValueIndex);
    if (FBarColor == clNone)
        return;
    const int Top = CalcYPos(ValueIndex);
    int Bottom = Top + BarPixels() + 1;
    if (BarWidthPercent() == 100 && CustomBarWidth() == 0) {
        const int Next = GetVertAxis()->Inverted() ? ValueIndex + 1 : ValueIndex - 1;
        if (Next >= 0 && Next < Count())
            Bottom = CalcYPos(Next);
    }
    int Right = CalcXPos(ValueIndex);
    int Left = GetOriginPos(ValueIndex);
    if (!BarPen()->Visible()) {
        if (Left >= Right) {
            ++Left;
            --Right;
        } else
            ++Right;
        ++Bottom;
    }
    FBarRect = {Left, Top, Right, Bottom};
    DrawBarBlended(ValueIndex, std::min(Left, Right), std::max(Left, Right));
}

void THorizBarSeries::DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position)
{
    TMarksCallout* Callout = Marks()->Callout();
    int L = Callout->Length() + Callout->Distance();
    const int H = BarPixels() / 2;
    const bool LeftOfOrigin = Position->ArrowStart.X < GetOriginPos(ValueIndex);
    if (LeftOfOrigin)
        L = -L - Position->BoxWidth;
    Position->BoxTopLeft.X += L + Position->BoxWidth / 2;
    Position->BoxTopLeft.Y += H + Position->BoxHeight / 2;
    Position->ArrowEnd.X += L;
    Position->ArrowEnd.Y += H;
    Position->ArrowStart.Y += H;
    Position->ArrowStart.X += LeftOfOrigin ? -Callout->Distance() : Callout->Distance();
    TCustomBarSeries::DrawMark(ValueIndex, Text, Position);
}

bool THorizBarSeries::InternalClicked(int ValueIndex, const TPoint& P)
{
    TCustomAxisPanel* Chart = ParentChart();
    TCanvas3D* C = Chart->ChartCanvas();
    const bool Is3D = Chart->View3D();
    const int Y = CalcYPos(ValueIndex), W = BarPixels();
    if (!Is3D && (P.Y < Y || P.Y > Y + W))
        return false;
    int X = CalcXPos(ValueIndex), O = GetOriginPos(ValueIndex);
    if (X < O)
        std::swap(X, O);
    const auto InTriangle = [&](int Base, int Apex) {
        if (!Is3D)
            return PointInHorizTriangle(P, Y, Y + W, Base, Apex);
        return PointInPolygon(P, {C->Calculate3DPosition(Base, Y, StartZ), C->Calculate3DPosition(Apex, Y + W / 2, MiddleZ),
                                  C->Calculate3DPosition(Base, Y + W, StartZ)});
    };
    switch (GetBarStyle(ValueIndex)) {
    case bsPyramid:
    case bsCone:
        return InTriangle(O, X);
    case bsInvPyramid:
        return InTriangle(X, O);
    default:
        break;
    }
    TPoint Q = P;
    if (Is3D) {
        C->Calculate2DPosition(Q.X, Q.Y, StartZ);
        if (Q.Y < Y || Q.Y > Y + W)
            return false;
    }
    if (GetBarStyle(ValueIndex) == bsEllipse)
        return PointInEllipse(Q, O, Y, X, Y + W);
    return O <= Q.X && Q.X <= X;
}
