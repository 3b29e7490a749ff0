// Framed chart elements: fill brush, outline pen, bevel, shadow, gradient,
// rounded corners, translucency and rotation.
#include "chart/ChProcs.h"

#include <cmath>
#include <numbers>

void RectToFourPoints(const TRect& R, double Angle, TFourPoints& Points)
{
    int Cx, Cy;
    RectCenter(R, Cx, Cy);
    const double Radians = Angle * std::numbers::pi / 180.0;
    const double S = std::sin(Radians);
    const double C = std::cos(Radians);
    const auto Turn = [&](int X, int Y) {
        const double Dx = X - Cx;
        const double Dy = Y - Cy;
        return TPoint{ChRound(Dx * C + Dy * S) + Cx, ChRound(-Dx * S + Dy * C) + Cy};
    };
    Points[0] = Turn(R.Left, R.Top);
    Points[1] = Turn(R.Right, R.Top);
    Points[2] = Turn(R.Right, R.Bottom);
    Points[3] = Turn(R.Left, R.Bottom);
}

// ------------------------------------------------------------------ brush and pen

TChCustomShapeBrushPen::TChCustomShapeBrushPen() : TChCustomShapeBrushPen(std::make_unique<TChartBrush>()) {}

TChCustomShapeBrushPen::TChCustomShapeBrushPen(std::unique_ptr<TChartBrush> ABrush)
    : FBrush(std::move(ABrush)), FPen(std::make_unique<TChartPen>())
{
    FBrush->SetColor(clDefault);
    FBrush->SetStyle(bsSolid);
    FBrush->OnChange = [this](TObject* Sender) { CanvasChanged(Sender); };
    FPen->OnChange = [this](TObject* Sender) { CanvasChanged(Sender); };
}

TChCustomShapeBrushPen::~TChCustomShapeBrushPen() = default;

void TChCustomShapeBrushPen::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TChCustomShapeBrushPen*>(Source);
    if (Other == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (Other == this)
        return;
    FBrush->Assign(Other->Brush());
    FPen->Assign(Other->Pen());
    FVisible = Other->FVisible;
}

void TChCustomShapeBrushPen::SetVisible(bool Value)
{
    if (FParent != nullptr)
        FParent->SetBooleanProperty(FVisible, Value);
    else
        FVisible = Value;
}

void TChCustomShapeBrushPen::Repaint()
{
    if (FParent != nullptr)
        FParent->Invalidate();
}

// ------------------------------------------------------------------ the shape

TChCustomShape::TChCustomShape(TCustomChPanel* Panel) : TChCustomShapeBrushPen()
{
    SetParent(Panel);
    Init();
}

TChCustomShape::TChCustomShape(TCustomChPanel* Panel, std::unique_ptr<TChartBrush> ABrush)
    : TChCustomShapeBrushPen(std::move(ABrush))
{
    SetParent(Panel);
    Init();
}

void TChCustomShape::Init()
{
    FFont = std::make_unique<TChFont>([this](TObject* Sender) { CanvasChanged(Sender); });
}

TChCustomShape::~TChCustomShape() = default;

std::unique_ptr<TChGradient> TChCustomShape::CreateGradient()
{
    return std::make_unique<TChGradient>();
}

void TChCustomShape::InitShadow(TChShadow* AShadow)
{
    AShadow->SetColor(clBlack);
    AShadow->SetSize(3);
    AShadow->DefaultColor = clBlack;
    AShadow->DefaultSize = 3;
}

TChShadow* TChCustomShape::Shadow()
{
    if (!FShadow) {
        FShadow = std::make_unique<TChShadow>();
        InitShadow(FShadow.get());
        FShadow->OnChange = [this](TObject* Sender) { CanvasChanged(Sender); };
    }
    return FShadow.get();
}

void TChCustomShape::SetShadow(TChShadow* Value)
{
    if (Value == nullptr)
        FShadow.reset();
    else if (Value != FShadow.get())
        Shadow()->Assign(Value);
}

TChGradient* TChCustomShape::Gradient()
{
    if (!FGradient) {
        FGradient = CreateGradient();
        FGradient->OnChange = [this](TObject* Sender) { CanvasChanged(Sender); };
    }
    return FGradient.get();
}

void TChCustomShape::SetGradient(TChGradient* Value)
{
    if (Value == nullptr)
        FGradient.reset();
    else if (Value != FGradient.get())
        Gradient()->Assign(Value);
}

void TChCustomShape::SetBevel(TBevelCut Value)
{
    if (FBevel != Value) {
        FBevel = Value;
        Repaint();
    }
}

void TChCustomShape::SetBevelWidth(int Value)
{
    if (FBevelWidth != Value) {
        FBevelWidth = Value;
        Repaint();
    }
}

void TChCustomShape::SetShapeStyle(TChartObjectShapeStyle Value)
{
    if (FShapeStyle != Value) {
        FShapeStyle = Value;
        Repaint();
    }
}

void TChCustomShape::SetTransparency(TChTransparency Value)
{
    if (FTransparency != Value) {
        FTransparency = Value;
        Repaint();
    }
}

void TChCustomShape::SetColor(TColor Value)
{
    if (Parent() != nullptr)
        Parent()->SetColorProperty(FColor, Value);
    else
        FColor = Value;
}

void TChCustomShape::SetTransparent(bool Value)
{
    if (Parent() != nullptr)
        Parent()->SetBooleanProperty(FTransparent, Value);
    else
        FTransparent = Value;
}

void TChCustomShape::Assign(TPersistent* Source)
{
    if (auto* Other = dynamic_cast<TChCustomShape*>(Source)) {
        if (Other == this)
            return;
        FBevel = Other->FBevel;
        FBevelWidth = Other->FBevelWidth;
        FColor = Other->FColor;
        FFont->Assign(Other->Font());
        SetGradient(Other->FGradient.get());
        FShapeStyle = Other->FShapeStyle;
        SetShadow(Other->FShadow.get());
        FTransparent = Other->FTransparent;
        FTransparency = Other->FTransparency;
    }
    TChCustomShapeBrushPen::Assign(Source);
}

void TChCustomShape::DrawOutline(TCanvas3D* C, const TRect& R, double Angle, int Z)
{
    if (Angle > 0) {
        TFourPoints P;
        RectToFourPoints(R, Angle, P);
        C->Polygon(P);
    } else if (C->SupportsFullRotation())
        C->RectangleWithZ(R, Z);
    else if (FShapeStyle == fosRectangle)
        C->Rectangle(R);
    else
        C->RoundRect(R, 16, 16);
}

void TChCustomShape::DrawRectRotated(const TRect& Rect, double Angle, int Z)
{
    if (FTransparent || Parent() == nullptr)
        return;
    TCanvas3D* C = Parent()->ChartCanvas();

    TChBlend* Blend = nullptr;
    if (FTransparency > 0) {
        TRect Area = Rect;
        if (Angle != 0) {
            TFourPoints P;
            RectToFourPoints(Rect, Angle, P);
            Area = RectFromPolygon(P.data(), 4);
        }
        Blend = C->BeginBlending(Area, FTransparency);
    }

    if (FShadow && FShadow->Size() != 0 && Brush()->Style() != bsClear) {
        if (Angle == 0 && FShapeStyle == fosRectangle) {
            const bool Front = !C->SupportsFullRotation();
            if (Front)
                C->FrontPlaneBegin();
            FShadow->Draw(C, Rect, Z);
            if (Front)
                C->FrontPlaneEnd();
        }
        if (FTransparency > 0) {
            int Dx = FShadow->HorizSize();
            int Dy = FShadow->VertSize();
            if (FShadow->Size() > 0 && Pen()->Visible()) {
                Dx += Pen()->Width();
                Dy += Pen()->Width();
            }
            C->Pen->SetStyle(psClear);
            C->Brush->SetStyle(bsSolid);
            C->Brush->SetColor(FShadow->Color());
            TRect Moved = Rect;
            OffsetRect(Moved, Dx, Dy);
            TChBlend* ShadowBlend = nullptr;
            if (FShadow->Transparency() > 0)
                ShadowBlend = C->BeginBlending(Moved, FShadow->Transparency());
            DrawOutline(C, Moved, Angle, Z);
            if (ShadowBlend != nullptr)
                C->EndBlending(ShadowBlend);
        }
    }

    if (FGradient && FGradient->Visible()) {
        if (Angle <= 0) {
            if (C->SupportsFullRotation()) {
                C->GradientZ = Z;
                FGradient->Draw(C, Rect);
                C->GradientZ = 0;
            } else
                FGradient->Draw(C, Rect, FShapeStyle == fosRoundRectangle ? 16 : 0);
        } else {
            TFourPoints P;
            RectToFourPoints(Rect, Angle, P);
            if (C->SupportsFullRotation())
                FGradient->Draw(C, P, Z);
            else
                FGradient->Draw(static_cast<TChCanvas*>(C), P);
        }
        C->Brush->SetStyle(bsClear);
    } else
        C->AssignBrush(Brush(), FColor);

    C->AssignVisiblePen(Pen());
    DrawOutline(C, Rect, Angle, Z);

    if (Angle == 0) {
        TRect R = Rect;
        DrawBevel(C, FBevel, R, FBevelWidth, 0);
    }
    if (Blend != nullptr)
        C->EndBlending(Blend);
}

// ------------------------------------------------------------------ frame width and positioned shapes

int ShapeFrameWidth(TChCustomShape* Shape, bool CheckDefaultColor)
{
    int F = 0;
    TChartPen* P = Shape->Pen();
    if (P->Visible() && !(CheckDefaultColor && P->Color() == clDefault))
        F = P->Width();
    if (Shape->Bevel() != bvNone)
        F = Shape->BevelWidth();
    return F;
}


void TChCustomShapePosition::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TChCustomShapePosition*>(Source)) {
        FCustomPosition = S->FCustomPosition;
        if (FCustomPosition) {
            const int W = ShapeBounds.Right - ShapeBounds.Left, H = ShapeBounds.Bottom - ShapeBounds.Top;
            ShapeBounds = {S->Left(), S->Top(), S->Left() + W, S->Top() + H};
        }
    }
    TChCustomShape::Assign(Source);
}

void TChCustomShapePosition::SetCustomPosition(bool Value)
{
    if (Parent() != nullptr)
        Parent()->SetBooleanProperty(FCustomPosition, Value);
    else
        FCustomPosition = Value;
}

void TChCustomShapePosition::SetLeft(int Value)
{
    FCustomPosition = true;
    if (Parent() != nullptr)
        Parent()->SetIntegerProperty(ShapeBounds.Left, Value);
    else
        ShapeBounds.Left = Value;
}

void TChCustomShapePosition::SetTop(int Value)
{
    FCustomPosition = true;
    if (Parent() != nullptr)
        Parent()->SetIntegerProperty(ShapeBounds.Top, Value);
    else
        ShapeBounds.Top = Value;
}

