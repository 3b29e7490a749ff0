#include "chart/ChSeriesPointer.h"

#include "chart/ChEngine.h"
#include "platform/PublishedProps.h"
#include "platform/ScopeGuard.h"

#include <algorithm>
#include <array>
#include <initializer_list>

const TIdentMap& SeriesPointerStyleIdents()
{
    static const TIdentMap Map = TIdentMap::Names({"psRectangle", "psCircle", "psTriangle", "psDownTriangle",
                                                   "psCross", "psDiagCross", "psStar", "psDiamond", "psSmallDot",
                                                   "psNothing", "psLeftTriangle", "psRightTriangle"});
    return Map;
}

TSeriesPointer::TSeriesPointer(TChartSeries* ASeries) : FSeries(ASeries)
{
    if (ASeries != nullptr)
        SetParent(ASeries->ParentChart());
    FGradient = std::make_unique<TChGradient>([this](TObject* Sender) { CanvasChanged(Sender); });
}

TSeriesPointer::~TSeriesPointer() = default;

void TSeriesPointer::Publish(TPublisher<TSeriesPointer>& P)
{
    P.Object("Brush", &TSeriesPointer::Brush);
    P.Boolean("Dark3D", &TSeriesPointer::Dark3D, &TSeriesPointer::SetDark3D).Default(true);
    P.Boolean("Draw3D", &TSeriesPointer::Draw3D, &TSeriesPointer::SetDraw3D).Default(true);
    P.Object("Gradient", &TSeriesPointer::Gradient);
    P.Integer("HorizSize", &TSeriesPointer::HorizSize, &TSeriesPointer::SetHorizSize).Default(4);
    P.Boolean("InflateMargins", &TSeriesPointer::InflateMargins, &TSeriesPointer::SetInflateMargins);
    P.Object("Pen", &TSeriesPointer::Pen);
    P.Enumeration("Style", &TSeriesPointer::Style, &TSeriesPointer::SetStyle, SeriesPointerStyleIdents());
    P.Integer("Transparency", &TSeriesPointer::Transparency, &TSeriesPointer::SetTransparency).Default(0);
    P.Integer("VertSize", &TSeriesPointer::VertSize, &TSeriesPointer::SetVertSize).Default(4);
    P.Boolean("Visible", &TSeriesPointer::Visible, &TSeriesPointer::SetVisible);
}

void TSeriesPointer::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TSeriesPointer*>(Source)) {
        FDark3D = S->FDark3D;
        FDraw3D = S->FDraw3D;
        FGradient->Assign(S->FGradient.get());
        FHorizSize = S->FHorizSize;
        FInflateMargins = S->FInflateMargins;
        FStyle = S->FStyle;
        FTransparency = S->FTransparency;
        FVertSize = S->FVertSize;
    }
    TChCustomShapeBrushPen::Assign(Source);
}

// ------------------------------------------------------------------ setters

void TSeriesPointer::SetBoolean(bool& Field, bool Value)
{
    if (Parent() != nullptr)
        Parent()->SetBooleanProperty(Field, Value);
    else
        Field = Value;
}

void TSeriesPointer::SetInteger(int& Field, int Value)
{
    if (Parent() != nullptr)
        Parent()->SetIntegerProperty(Field, Value);
    else
        Field = Value;
}

namespace {

void CheckPointerSize(int Value)
{
    if (Value <= 0)
        throw ChartException(ChMsg_CheckPointerSize);
}

} // namespace

void TSeriesPointer::SetHorizSize(int Value)
{
    CheckPointerSize(Value);
    SetInteger(FHorizSize, Value);
}

void TSeriesPointer::SetVertSize(int Value)
{
    CheckPointerSize(Value);
    SetInteger(FVertSize, Value);
}

void TSeriesPointer::SetStyle(TSeriesPointerStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    Repaint();
}

void TSeriesPointer::SetTransparency(TChTransparency Value)
{
    SetInteger(FTransparency, Value);
}

// ------------------------------------------------------------------ depth and margins

int TSeriesPointer::GetStartZ() const { return FSeries != nullptr ? FSeries->StartZ : 0; }
int TSeriesPointer::GetMiddleZ() const { return FSeries != nullptr ? FSeries->MiddleZ : 0; }
int TSeriesPointer::GetEndZ() const { return FSeries != nullptr ? FSeries->EndZ : 0; }

void TSeriesPointer::CalcHorizMargins(int& LeftMargin, int& RightMargin) const
{
    if (!Visible() || !FInflateMargins)
        return;
    LeftMargin = std::max(LeftMargin, FHorizSize + 1);
    RightMargin = std::max(RightMargin, FHorizSize + 1);
}

void TSeriesPointer::CalcVerticalMargins(int& TopMargin, int& BottomMargin) const
{
    if (!Visible() || !FInflateMargins)
        return;
    TopMargin = std::max(TopMargin, FVertSize + 1);
    BottomMargin = std::max(BottomMargin, FVertSize + 1);
}

// ------------------------------------------------------------------ drawing

void TSeriesPointer::PrepareCanvas(TCanvas3D* Canvas, TColor ColorValue)
{
    TChartPen* P = Pen();
    if (P->Visible()) {
        if (P->Color() == clSeriesDefault)
            Canvas->AssignVisiblePenColor(P, ColorValue);
        else
            Canvas->AssignVisiblePen(P);
    } else
        Canvas->Pen->SetStyle(psClear);
    TColor C = Brush()->Color();
    if (C == clSeriesDefault)
        C = Brush()->Style() == bsSolid ? ColorValue : clBlack;
    Canvas->AssignBrushColor(Brush(), C, ColorValue);
}

void TSeriesPointer::Prepare()
{
    if (Parent() != nullptr)
        PrepareCanvas(Parent()->ChartCanvas(), Color());
}

void TSeriesPointer::Draw(int X, int Y)
{
    Draw(X, Y, Color(), FStyle);
}

void TSeriesPointer::Draw(int X, int Y, TColor AColor, TSeriesPointerStyle AStyle)
{
    if (Parent() != nullptr)
        DrawPointer(Parent()->ChartCanvas(), Parent()->View3D(), X, Y, FHorizSize, FVertSize, AColor, AStyle);
}

void TSeriesPointer::DrawPointer(TCanvas3D* Canvas, bool Is3D, int X, int Y, int H, int V, TColor AColor,
                                 TSeriesPointerStyle AStyle)
{
    TChBlend* Blend = nullptr;
    if (FTransparency > 0) {
        TRect R{X - H, Y - V, X + H + 1, Y + V + 1};
        const bool Solid = Is3D && FDraw3D && Canvas->View3DOptions != nullptr &&
                           Canvas->View3DOptions->Orthogonal();
        if (AStyle == psRectangle && Solid) {
            const int Depth = GetEndZ() - GetStartZ();
            R.Right += Depth;
            R.Top -= Depth;
        }
        Blend = Canvas->BeginBlending(Canvas->RectFromRectZ(R, GetStartZ()), FTransparency);
    }
    TScopeExit Finish([&] {
        if (Blend != nullptr)
            Canvas->EndBlending(Blend);
    });
    DrawShape(Canvas, Is3D, X, Y, H, V, AStyle);
    if (FGradient->Visible())
        FillGradient(Canvas, Is3D, X, Y, H, V, AColor, AStyle);
}

void TSeriesPointer::DrawShape(TCanvas3D* Canvas, bool Is3D, int X, int Y, int H, int V, TSeriesPointerStyle AStyle)
{
    const int L = X - H, R = X + H, T = Y - V, B = Y + V;
    const int Z = GetStartZ();
    const auto Projected = [&](std::initializer_list<TPoint> Points) {
        Canvas->PolygonWithZ(Points.begin(), static_cast<int>(Points.size()), Z);
    };
    const auto Flat = [&](std::initializer_list<TPoint> Points) {
        Canvas->Polygon(Points.begin(), static_cast<int>(Points.size()));
    };
    const auto Cross = [&] {
        if (Is3D) {
            Canvas->VertLine3D(X, T, B + 1, Z);
            Canvas->HorizLine3D(L, R + 1, Y, Z);
        } else {
            Canvas->DoVertLine(X, T, B + 1);
            Canvas->DoHorizLine(L, R + 1, Y);
        }
    };
    const auto DiagCross = [&] {
        if (Is3D) {
            Canvas->LineWithZ(L, T, R + 1, B + 1, Z);
            Canvas->LineWithZ(R, T, L - 1, B + 1, Z);
        } else {
            Canvas->Line(L, T, R + 1, B + 1);
            Canvas->Line(R, T, L - 1, B + 1);
        }
    };

    switch (AStyle) {
    case psRectangle:
        if (!Is3D)
            Canvas->Rectangle(L, T, R + 1, B + 1);
        else if (FDraw3D)
            Canvas->Cube(L, R, T, B, Z, GetEndZ(), FDark3D);
        else
            Canvas->RectangleWithZ({L, T, R + 1, B + 1}, Z);
        break;
    case psCircle:
        if (!Is3D)
            Canvas->Ellipse(L, T, R, B);
        else if (FDraw3D && Canvas->SupportsFullRotation())
            Canvas->Sphere(X, Y, GetMiddleZ(), H);
        else
            Canvas->EllipseWithZ(L, T, R, B, Z);
        break;
    case psTriangle:
        if (!Is3D)
            Flat({{L, B}, {R, B}, {X, T}});
        else if (FDraw3D)
            Canvas->Pyramid(true, L, T, R, B, Z, GetEndZ(), FDark3D);
        else
            Projected({{L, B}, {R, B}, {X, T}});
        break;
    case psDownTriangle:
        if (!Is3D)
            Flat({{L, T}, {R, T}, {X, B}});
        else if (FDraw3D)
            Canvas->Pyramid(true, L, B, R, T, Z, GetEndZ(), FDark3D);
        else
            Projected({{L, T}, {R, T}, {X, B}});
        break;
    case psCross:
        Cross();
        break;
    case psDiagCross:
        DiagCross();
        break;
    case psStar:
        Cross();
        DiagCross();
        break;
    case psDiamond:
        if (Is3D)
            Projected({{L, Y}, {X, T}, {R, Y}, {X, B}});
        else
            Flat({{L, Y}, {X, T}, {R, Y}, {X, B}});
        break;
    case psSmallDot:
        if (Is3D)
            Canvas->SetPixel3D(X, Y, GetMiddleZ(), Canvas->Brush->Color());
        else
            Canvas->SetPixel(X, Y, Canvas->Brush->Color());
        break;
    case psNothing:
        break;
    case psLeftTriangle:
        if (Is3D)
            Projected({{L, Y}, {R, B}, {R, T}});
        else
            Flat({{L, Y}, {R, B}, {R, T}});
        break;
    case psRightTriangle:
        if (Is3D)
            Projected({{R, Y}, {L, B}, {L, T}});
        else
            Flat({{R, Y}, {L, B}, {L, T}});
        break;
    }
}

void TSeriesPointer::FillGradient(TCanvas3D* Canvas, bool Is3D, int X, int Y, int H, int V, TColor AColor,
                                  TSeriesPointerStyle AStyle)
{
    const int PenWidth = Pen()->Visible() ? Pen()->Width() : 0;
    TRect G{X - H + PenWidth, Y - V + PenWidth, X + H, Y + V};
    if (!FKeepGradientEnd) {
        // Taking the point's colour is part of drawing, not a change.
        if (Parent() != nullptr) {
            TValueRollback<bool> Quiet(Parent()->RepaintOnChange, false);
            FGradient->SetEndColor(AColor);
        } else
            FGradient->SetEndColor(AColor);
    }
    const int Z = GetStartZ();
    const bool Perspective = Is3D && Canvas->View3DOptions != nullptr && !Canvas->View3DOptions->Orthogonal();
    if (Perspective && AStyle == psRectangle) {
        G.Right -= PenWidth;
        G.Bottom -= PenWidth;
        FGradient->Draw(Canvas, Canvas->FourPointsFromRect(G, Z));
        return;
    }
    if (Is3D)
        G = Canvas->CalcRect3D(G, Z);
    const int L = X - H, R = X + H, T = Y - V, B = Y + V;
    const auto At = [&](int PX, int PY) { return Is3D ? Canvas->Calculate3DPosition(PX, PY, Z) : TPoint{PX, PY}; };
    const auto Triangle = [&](std::array<TPoint, 3> P) {
        for (TPoint& Q : P)
            Q = At(Q.X, Q.Y);
        Canvas->ClipPolygon(P.data(), 3);
        FGradient->Draw(Canvas, RectFromTriangle(P));
        Canvas->UnClipRectangle();
    };
    switch (AStyle) {
    case psRectangle:
        Canvas->ClipRectangle(G);
        FGradient->Draw(Canvas, G);
        Canvas->UnClipRectangle();
        break;
    case psCircle:
        Canvas->ClipEllipse(G);
        FGradient->Draw(Canvas, G);
        Canvas->UnClipRectangle();
        break;
    case psDiamond:
        FGradient->Draw(Canvas, TFourPoints{At(L, Y), At(X, T), At(R, Y), At(X, B)});
        break;
    case psLeftTriangle:
        Triangle({TPoint{L, Y}, TPoint{R, B}, TPoint{R, T}});
        break;
    case psRightTriangle:
        Triangle({TPoint{R, Y}, TPoint{L, B}, TPoint{L, T}});
        break;
    case psTriangle:
        if (!FDraw3D)
            Triangle({TPoint{L, B}, TPoint{R, B}, TPoint{X, T}});
        break;
    case psDownTriangle:
        if (!FDraw3D)
            Triangle({TPoint{L, T}, TPoint{R, T}, TPoint{X, B}});
        break;
    default:
        break;
    }
}
