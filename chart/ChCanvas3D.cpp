// The chart canvas over the platform canvas: state, 2-D primitives, the
// buffered drawing pass, clipping and the 3-D projection.
#include "chart/ChCanvas.h"

#include <algorithm>
#include <cmath>

TChCanvas3D::TChCanvas3D()
{
    FontZoomFactor = 100.0;
}

TChCanvas3D::~TChCanvas3D()
{
    DeleteBitmap();
}

// ------------------------------------------------------------------ state

TColor TChCanvas3D::BackColor()
{
    return ReferenceCanvas->BackgroundColor();
}

TCanvasBackMode TChCanvas3D::BackMode()
{
    return ReferenceCanvas->BackgroundMode() == bkOpaque ? cbmOpaque : cbmTransparent;
}

int TChCanvas3D::TextAlign()
{
    return static_cast<int>(ReferenceCanvas->TextAlign());
}

void TChCanvas3D::SetBackColor(TColor Color)
{
    ReferenceCanvas->SetBackgroundColor(ColorToRGB(Color));
}

void TChCanvas3D::SetBackMode(TCanvasBackMode Mode)
{
    // The device knows only the two modes; cbmNone leaves the mode alone.
    if (Mode == cbmTransparent)
        ReferenceCanvas->SetBackgroundMode(bkTransparent);
    else if (Mode == cbmOpaque)
        ReferenceCanvas->SetBackgroundMode(bkOpaque);
}

void TChCanvas3D::SetTextAlign(int Align)
{
    ReferenceCanvas->SetTextAlign(static_cast<unsigned>(Align));
}

TColor TChCanvas3D::GetPixel(int X, int Y)
{
    return ReferenceCanvas->Pixels(X, Y);
}

void TChCanvas3D::SetPixel(int X, int Y, TColor Color)
{
    ReferenceCanvas->SetPixels(X, Y, ColorToRGB(Color));
}

void TChCanvas3D::SetMonochrome(bool Value)
{
    if (MonochromeFlag == Value)
        return;
    MonochromeFlag = Value;
    BufferStale = true;
    if (View3DOptions != nullptr)
        View3DOptions->Repaint();
}

void TChCanvas3D::SetUseBuffer(bool Value)
{
    if (Buffered == Value)
        return;
    Buffered = Value;
    if (!Value && BufferBitmap) {
        DeleteBitmap();
        BufferStale = true;
    } else if (Value && BufferBitmap)
        SetCanvas(BufferBitmap->Canvas());
}

// ------------------------------------------------------------------ 2-D primitives

void TChCanvas3D::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4)
{
    ReferenceCanvas->Arc(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TChCanvas3D::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4)
{
    ReferenceCanvas->Pie(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TChCanvas3D::Draw(int X, int Y, TGraphic* Graphic)
{
    if (Graphic != nullptr && !Graphic->Empty())
        ReferenceCanvas->Draw(X, Y, Graphic);
}

void TChCanvas3D::StretchDraw(const TRect& R, TGraphic* Graphic)
{
    if (Graphic != nullptr)
        ReferenceCanvas->StretchDraw(R, Graphic);
}

void TChCanvas3D::Ellipse(int X1, int Y1, int X2, int Y2)
{
    ReferenceCanvas->Ellipse(X1, Y1, X2, Y2);
}

void TChCanvas3D::FillRect(const TRect& R)
{
    ReferenceCanvas->FillRect(R);
}

void TChCanvas3D::EraseBackground(const TRect& R)
{
    ReferenceCanvas->FillRect(R);
}

void TChCanvas3D::MoveTo(int X, int Y)
{
    ReferenceCanvas->MoveTo(X, Y);
}

void TChCanvas3D::LineTo(int X, int Y)
{
    ReferenceCanvas->LineTo(X, Y);
}

void TChCanvas3D::Line(int X0, int Y0, int X1, int Y1)
{
    ReferenceCanvas->MoveTo(X0, Y0);
    ReferenceCanvas->LineTo(X1, Y1);
}

void TChCanvas3D::DoHorizLine(int X0, int X1, int Y)
{
    Line(X0, Y, X1, Y);
}

void TChCanvas3D::DoVertLine(int X, int Y0, int Y1)
{
    Line(X, Y0, X, Y1);
}

void TChCanvas3D::Rectangle(int X0, int Y0, int X1, int Y1)
{
    ReferenceCanvas->Rectangle(X0, Y0, X1, Y1);
}

void TChCanvas3D::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3)
{
    ReferenceCanvas->RoundRect(X1, Y1, X2, Y2, X3, Y3);
}

void TChCanvas3D::Polyline(const TPoint* Points, int Count)
{
    ReferenceCanvas->Polyline(Points, Count);
}

void TChCanvas3D::Polygon(const TPoint* Points, int Count)
{
    ReferenceCanvas->Polygon(Points, Count);
}

void TChCanvas3D::ClipRectangle(const TRect& R)
{
    ClipCanvas(ReferenceCanvas, R);
}

void TChCanvas3D::UnClipRectangle()
{
    UnClipCanvas(ReferenceCanvas);
}

// ------------------------------------------------------------------ the drawing pass

TRect TChCanvas3D::InitWindow(TCanvas* DestCanvas, TView3DOptions* Options, TColor ABackColor,
                              bool Is3D, const TRect& UserRect)
{
    Bounds = UserRect;
    View3DOptions = Options;
    if (Options != nullptr)
        FontZoomFactor = Options->FontZoom();

    Mode3D = Is3D;
    UseOrthoProjection = false;
    ZoomScale = 1.0;
    if (Is3D) {
        if (Options != nullptr) {
            UseOrthoProjection = Options->Orthogonal();
            if (UseOrthoProjection) {
                int A = Options->OrthoAngle();
                if (A > 90) {
                    OrthoDX = -1;
                    A = 180 - A;
                } else
                    OrthoDX = 1;
                const double C = std::cos(A * ChPiStep);
                OrthoDY = C < 0.01 ? 1.0 : std::sin(A * ChPiStep) / C;
            }
            ZoomScale = Options->Zoom() * 0.01;
            ZoomFonts = Options->ZoomText();
        }
        if (!UseOrthoProjection)
            CalcTrigValues();
    }

    if (Buffered) {
        const int W = std::max(UserRect.Right - UserRect.Left, 0);
        const int H = std::max(UserRect.Bottom - UserRect.Top, 0);
        if (!BufferBitmap)
            BufferBitmap = std::make_unique<TBitmap>();
        BufferBitmap->SetSize(W, H);
        BufferBitmap->Canvas()->OnChange = nullptr;
        BufferBitmap->Canvas()->OnChanging = nullptr;
        SetCanvas(BufferBitmap->Canvas());
        return {0, 0, W, H};
    }
    SetCanvas(DestCanvas);
    return UserRect;
}

void TChCanvas3D::CalcTrigValues()
{
    const int E = View3DOptions != nullptr ? -View3DOptions->Elevation() : 0;
    const int R = View3DOptions != nullptr ? -View3DOptions->Rotation() : 0;
    const int T = View3DOptions != nullptr ? View3DOptions->Tilt() : 0;
    PerspectiveOn = false;
    PerspectiveScale = 0;
    SinElevation = std::sin(E * ChPiStep);
    CosElevation = std::cos(E * ChPiStep);
    SinRotation = std::sin(R * ChPiStep);
    CosRotation = std::cos(R * ChPiStep);
    SinTilt = std::sin(T * ChPiStep);
    CosTilt = std::cos(T * ChPiStep);
    TiltOn = T != 0;

    const double sE = SinElevation, cE = CosElevation, sR = SinRotation, cR = CosRotation;
    const double sT = SinTilt, cT = CosTilt;
    InverseK1 = cR * sT;
    InverseK2 = std::max(cR * cT, 0.00001);
    InverseK3 = std::max(sE * sR * sT + cE * cT, 0.00001);
    InverseK4 = cT * sE * sR - cE * sT;
    InverseK5 = cE * sR * sT - cT * sE;
    InverseK6 = cE * cT * sR + sE * sT;
}

void TChCanvas3D::Projection(int MaxDepth, const TRect& ABounds, const TRect& Rect)
{
    RectCenter(Rect, CentreX, CentreY);
    CentreX += ChRound(CentreOffset.X);
    CentreY += ChRound(CentreOffset.Y);
    CentreZ = ChRound(MaxDepth * 0.5 + CentreOffset.Z);
    OriginX = CentreX;
    OriginY = CentreY;
    if (View3DOptions != nullptr) {
        OriginX += View3DOptions->HorizOffset();
        OriginY += View3DOptions->VertOffset();
        const int Width = Rect.Right - Rect.Left;
        // An empty rectangle has no perspective (it would divide by zero).
        PerspectiveOn = View3DOptions->Perspective() > 0 && Width > 0;
        if (PerspectiveOn)
            PerspectiveScale = View3DOptions->Perspective() * ZoomScale * (1.0 / 150.0) / Width;
    }
}

void TChCanvas3D::ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& UserRect)
{
    if (Buffered && BufferBitmap) {
        TransferBitmap(UserRect.Left, UserRect.Top, DestCanvas);
        BufferStale = false;
    }
    SetCanvas(DefaultCanvas);
}

bool TChCanvas3D::ReDrawBitmap()
{
    if (BufferStale || !BufferBitmap)
        return false;
    TransferBitmap(0, 0, ReferenceCanvas);
    return true;
}

void TChCanvas3D::PolygonFour()
{
    ReferenceCanvas->Polygon(QuadPoints.data(), 4);
}

void TChCanvas3D::DeleteBitmap()
{
    if (!BufferBitmap)
        return;
    TCanvas* BitmapCanvas = BufferBitmap->Canvas();
    ChForgetSavedClip(BitmapCanvas);
    // Never leave the canvas bound to a surface that is gone.
    if (ReferenceCanvas == BitmapCanvas)
        SetCanvas(nullptr);
    BufferBitmap.reset();
}

void TChCanvas3D::TransferBitmap(int X, int Y, TCanvas* Canvas)
{
    if (BufferBitmap && Canvas != nullptr)
        Canvas->Draw(X, Y, BufferBitmap.get());
}

// ------------------------------------------------------------------ projection

TPoint TChCanvas3D::Calculate3DPosition(int X, int Y, int Z)
{
    if (!UseOrthoProjection && !Mode3D)
        return {X, Y};
    // Without tilt the rotated form gives the same numbers (cos 0 = 1, sin 0 = 0).
    return Calculate3DPositionFloat(X, Y, Z);
}

TPoint TChCanvas3D::Calculate3DPositionFloat(double X, double Y, int Z)
{
    if (UseOrthoProjection)
        return {ChRound(((X - CentreX) + Z * OrthoDX) * ZoomScale) + OriginX,
                ChRound(((Y - CentreY) - Z * OrthoDY) * ZoomScale) + OriginY};
    if (!Mode3D)
        return {ChRound(X), ChRound(Y)};
    const double XC = X - CentreX;
    const double YC = Y - CentreY;
    const double ZC = static_cast<double>(Z) - CentreZ;
    const double D = ZC * CosRotation - XC * SinRotation;
    double S = ZoomScale;
    if (PerspectiveOn)
        S = ZoomScale / ((CosElevation * D + YC * SinElevation) * PerspectiveScale + 1);
    const double A = XC * CosRotation + ZC * SinRotation;
    const double B = YC * CosElevation - SinElevation * D;
    return {ChRound((CosTilt * A - SinTilt * B) * S) + OriginX, ChRound((CosTilt * B + SinTilt * A) * S) + OriginY};
}

void TChCanvas3D::Calculate2DPosition(int& X, int& Y, int Z)
{
    if (ZoomScale == 0)
        return;
    const double Q = 1.0 / ZoomScale;
    const int X0 = X;
    const int Y0 = Y;
    if (UseOrthoProjection) {
        X = ChRound((X0 - OriginX) * Q - Z * OrthoDX) + CentreX;
        Y = ChRound((Y0 - OriginY) * Q + Z * OrthoDY) + CentreY;
    } else if (Mode3D) {
        const double ZC = static_cast<double>(Z) - CentreZ;
        X = ChRound(((X0 - OriginX) * Q - ZC * InverseK5 - (Y0 - CentreY) * InverseK1) / InverseK3) + CentreX;
        Y = ChRound(((Y0 - OriginY) * Q - ZC * InverseK6 - (X0 - CentreX) * InverseK4) / InverseK2) + CentreY;
    }
}

void TChCanvas3D::DisableRotation()
{
    SavedMode3D = Mode3D;
    Mode3D = false;
}

void TChCanvas3D::EnableRotation()
{
    Mode3D = SavedMode3D;
}

// ------------------------------------------------------------------ 3-D lines and planes

TColor TChCanvas3D::GetPixel3D(int X, int Y, int Z)
{
    const TPoint P = Calculate3DPosition(X, Y, Z);
    return GetPixel(P.X, P.Y);
}

void TChCanvas3D::SetPixel3D(int X, int Y, int Z, TColor Color)
{
    const TPoint P = Calculate3DPosition(X, Y, Z);
    if (Pen->Width() <= 1)
        SetPixel(P.X, P.Y, Color);
    else {
        // A dot as wide as the pen, in the pen's own colour (a line of no
        // length paints nothing on every device).
        const int W = Pen->Width();
        const TPenStyle OldPen = Pen->Style();
        const TColor OldColor = Brush->Color();
        const TBrushStyle OldStyle = Brush->Style();
        Brush->SetStyle(bsSolid);
        Brush->SetColor(Pen->Color());
        Pen->SetStyle(psClear);
        const int Left = P.X - W / 2, Top = P.Y - W / 2;
        ReferenceCanvas->Ellipse(Left, Top, Left + W, Top + W);
        Pen->SetStyle(OldPen);
        Brush->SetStyle(OldStyle);
        Brush->SetColor(OldColor);
    }
}

void TChCanvas3D::MoveTo3D(int X, int Y, int Z)
{
    const TPoint P = Calculate3DPosition(X, Y, Z);
    ReferenceCanvas->MoveTo(P.X, P.Y);
}

void TChCanvas3D::LineTo3D(int X, int Y, int Z)
{
    const TPoint P = Calculate3DPosition(X, Y, Z);
    ReferenceCanvas->LineTo(P.X, P.Y);
}

void TChCanvas3D::LineWithZ(int X0, int Y0, int X1, int Y1, int Z)
{
    MoveTo3D(X0, Y0, Z);
    LineTo3D(X1, Y1, Z);
}

void TChCanvas3D::HorizLine3D(int Left, int Right, int Y, int Z)
{
    MoveTo3D(Left, Y, Z);
    LineTo3D(Right, Y, Z);
}

void TChCanvas3D::VertLine3D(int X, int Top, int Bottom, int Z)
{
    MoveTo3D(X, Top, Z);
    LineTo3D(X, Bottom, Z);
}

void TChCanvas3D::ZLine3D(int X, int Y, int Z0, int Z1)
{
    MoveTo3D(X, Y, Z0);
    LineTo3D(X, Y, Z1);
}

void TChCanvas3D::RectangleWithZ(const TRect& R, int Z)
{
    QuadPoints = FourPointsFromRect(R, Z);
    PolygonFour();
}

void TChCanvas3D::RectangleY(int Left, int Y, int Right, int Z0, int Z1)
{
    QuadPoints = {Calculate3DPosition(Left, Y, Z0), Calculate3DPosition(Right, Y, Z0),
                  Calculate3DPosition(Right, Y, Z1), Calculate3DPosition(Left, Y, Z1)};
    PolygonFour();
}

void TChCanvas3D::RectangleZ(int X, int Top, int Bottom, int Z0, int Z1)
{
    QuadPoints = {Calculate3DPosition(X, Top, Z0), Calculate3DPosition(X, Top, Z1),
                  Calculate3DPosition(X, Bottom, Z1), Calculate3DPosition(X, Bottom, Z0)};
    PolygonFour();
}

void TChCanvas3D::PlaneWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, const TPoint& P4, int Z)
{
    QuadPoints = {Calculate3DPosition(P1, Z), Calculate3DPosition(P2, Z), Calculate3DPosition(P3, Z),
                  Calculate3DPosition(P4, Z)};
    PolygonFour();
}

void TChCanvas3D::Plane3D(const TPoint& A, const TPoint& B, int Z0, int Z1)
{
    QuadPoints = {Calculate3DPosition(A, Z0), Calculate3DPosition(B, Z0), Calculate3DPosition(B, Z1),
                  Calculate3DPosition(A, Z1)};
    PolygonFour();
}

void TChCanvas3D::PlaneFour3D(TFourPoints& Points, int Z0, int Z1)
{
    QuadPoints = {Calculate3DPositionFloat(Points[0].X, Points[0].Y, Z0),
                  Calculate3DPositionFloat(Points[1].X, Points[1].Y, Z0),
                  Calculate3DPositionFloat(Points[2].X, Points[2].Y, Z1),
                  Calculate3DPositionFloat(Points[3].X, Points[3].Y, Z1)};
    PolygonFour();
}

void TChCanvas3D::PolygonWithZ(const TPoint* Points, int Count, int Z)
{
    TPointArray Projected(static_cast<size_t>(std::max(Count, 0)));
    for (int I = 0; I < Count; ++I)
        Projected[static_cast<size_t>(I)] = Calculate3DPosition(Points[I], Z);
    Polygon(Projected);
}

void TChCanvas3D::Polyline(const TPoint* Points, int Count, int Z)
{
    TPointArray Projected(static_cast<size_t>(std::max(Count, 0)));
    for (int I = 0; I < Count; ++I)
        Projected[static_cast<size_t>(I)] = Calculate3DPosition(Points[I], Z);
    Polyline(Projected);
}

void TChCanvas3D::TriangleWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, int Z)
{
    const TPoint P[3] = {Calculate3DPosition(P1, Z), Calculate3DPosition(P2, Z), Calculate3DPosition(P3, Z)};
    Polygon(P, 3);
}

void TChCanvas3D::Triangle3D(const std::array<TPoint3D, 3>& Points, const std::array<TColor, 3>& Colors)
{
    const TPoint P[3] = {Calculate3DPosition(Points[0]), Calculate3DPosition(Points[1]),
                         Calculate3DPosition(Points[2])};
    if (Brush->Style() != bsClear)
        Brush->SetColor(Colors[0]);
    Polygon(P, 3);
}

void TChCanvas3D::ClipCube(const TRect& R, int MinZ, int MaxZ)
{
    if (!Mode3D) {
        ClipRectangle({R.Left + 1, R.Top + 1, R.Right, R.Bottom - 1});
        return;
    }
    TPointArray P = {Calculate3DPosition(R.Left, R.Bottom, MinZ), Calculate3DPosition(R.Left, R.Bottom, MaxZ),
                     Calculate3DPosition(R.Left, R.Top, MaxZ),    Calculate3DPosition(R.Right, R.Top, MaxZ),
                     Calculate3DPosition(R.Right, R.Top, MinZ),   Calculate3DPosition(R.Right, R.Bottom, MinZ),
                     Calculate3DPosition(R.Left, R.Top, MinZ),    Calculate3DPosition(R.Right, R.Bottom, MaxZ)};
    ConvexHull(P);
    ClipPolygon(P, static_cast<int>(P.size()));
}
