// Solids and curved shapes of the chart canvas, drawn as projected polygons:
// cubes, cones and cylinders, pyramids, ellipses in depth, arrows, pie
// slices, donuts and pictures laid onto a plane.
#include "chart/ChCanvas.h"

#include <algorithm>
#include <cmath>

namespace {

// (A - Origin) x (B - Origin), with a x b = a.x * b.y - b.x * a.y.
int64_t Cross(const TPoint& A, const TPoint& B, const TPoint& Origin)
{
    const int64_t AX = static_cast<int64_t>(A.X) - Origin.X, AY = static_cast<int64_t>(A.Y) - Origin.Y;
    const int64_t BX = static_cast<int64_t>(B.X) - Origin.X, BY = static_cast<int64_t>(B.Y) - Origin.Y;
    return AX * BY - BX * AY;
}

// The colour a solid darkens from: the brush colour of a solid brush, else
// the colour of the gaps of a hatched brush.
TColor BaseColorOf(TChCanvas* Canvas)
{
    return Canvas->Brush->Style() == bsSolid ? Canvas->Brush->Color() : Canvas->BackColor();
}

void RestoreBaseColor(TChCanvas* Canvas, TColor Base)
{
    if (Canvas->Brush->Style() == bsSolid)
        Canvas->Brush->SetColor(Base);
    else
        Canvas->SetBackColor(Base);
}

} // namespace

// ------------------------------------------------------------------ cube

void TChCanvas3D::Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides)
{
    const bool Clear = Brush->Style() == bsClear;
    const TColor Base = BaseColorOf(this);
    const TFourPoints& P = QuadPoints;
    auto Front = [&]() { return Cross(P[3], P[1], P[2]); };

    QuadPoints = FourPointsFromRect({Left, Top, Right, Bottom}, Z0);
    if (Clear || Front() > 0)
        PolygonFour();
    else {
        QuadPoints = FourPointsFromRect({Left, Top, Right, Bottom}, Z1);
        PolygonFour();
    }

    QuadPoints = {Calculate3DPosition(Right, Top, Z0), Calculate3DPosition(Right, Top, Z1),
                  Calculate3DPosition(Right, Bottom, Z1), Calculate3DPosition(Right, Bottom, Z0)};
    if (Clear || Front() > 0) {
        if (DarkSides)
            InternalDark(Base, DarkerColorQuantity);
        PolygonFour();
    }

    QuadPoints = {Calculate3DPosition(Left, Top, Z0), Calculate3DPosition(Left, Top, Z1),
                  Calculate3DPosition(Left, Bottom, Z1), Calculate3DPosition(Left, Bottom, Z0)};
    if (Clear || Cross(P[3], P[1], P[0]) > 0) {
        if (DarkSides)
            InternalDark(Base, DarkerColorQuantity);
        PolygonFour();
    }

    QuadPoints = {Calculate3DPosition(Left, Top, Z0), Calculate3DPosition(Right, Top, Z0),
                  Calculate3DPosition(Right, Top, Z1), Calculate3DPosition(Left, Top, Z1)};
    if (Clear || Cross(P[0], P[2], P[1]) > 0) {
        if (DarkSides)
            InternalDark(Base, DarkColorQuantity);
        PolygonFour();
    }

    QuadPoints = {Calculate3DPosition(Left, Bottom, Z0), Calculate3DPosition(Left, Bottom, Z1),
                  Calculate3DPosition(Right, Bottom, Z1), Calculate3DPosition(Right, Bottom, Z0)};
    if (Clear || Front() < 0) {
        if (DarkSides)
            InternalDark(Base, DarkColorQuantity);
        PolygonFour();
    }
}

// ------------------------------------------------------------------ cones and cylinders

void TChCanvas3D::Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool Dark3D)
{
    ConeImpl(Vertical, Left, Top, Right, Bottom, Z0, Z1, Dark3D, 100);
}

void TChCanvas3D::Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool Dark3D,
                       int ConePercent)
{
    ConeImpl(Vertical, Left, Top, Right, Bottom, Z0, Z1, Dark3D, ConePercent == 0 ? ChDefaultConePercent : ConePercent);
}

void TChCanvas3D::ConeImpl(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool Dark3D,
                           int ConePercent)
{
    const int N = std::max(ChNumCylinderSides, 3);
    const double Step = 2 * M_PI / N;
    const int RZ = (Z1 - Z0) / 2;
    const int ZC = (Z1 + Z0) / 2;
    const TColor Base = BaseColorOf(this);

    int R, C, H, NarrowAt, BaseAt;
    if (Vertical) {
        R = (Right - Left) / 2;
        C = (Right + Left) / 2;
        H = std::abs(Bottom - Top);
        NarrowAt = std::min(Top, Bottom);
        BaseAt = NarrowAt + H;
    } else {
        R = (Bottom - Top) / 2;
        C = (Bottom + Top) / 2;
        H = std::abs(Right - Left);
        NarrowAt = std::max(Left, Right);
        BaseAt = NarrowAt - H;
    }
    const int NarrowR = ChRound(R * ConePercent * 0.01);
    const int NarrowRZ = ChRound(RZ * ConePercent * 0.01);

    // Rim point I (1..N) at the given radii, at depth or position At.
    auto RimPoint = [&](int I, int Radius, int RadiusZ, int At) {
        const double A = (I - (Vertical ? 4 : 5)) * Step;
        const int Across = C + ChRound(Radius * std::sin(A));
        const int Z = ZC - ChRound(RadiusZ * std::cos(A));
        return Vertical ? TPoint3D{Across, At, Z} : TPoint3D{At, Across, Z};
    };
    auto BasePoint = [&](int I) { return Calculate3DPosition(RimPoint(I, R, RZ, BaseAt)); };
    auto NarrowPoint = [&](int I) { return Calculate3DPosition(RimPoint(I, NarrowR, NarrowRZ, NarrowAt)); };

    TPoint P0 = NarrowPoint(1);
    TPoint P1 = BasePoint(1);
    const uint8_t DarkStep = static_cast<uint8_t>(256 / (2 * N));
    for (int K = 2; K <= N; ++K) {
        const TPoint P2 = BasePoint(K);
        const TPoint P3 = NarrowPoint(K);
        if (!ChCull(P0, P1, P2)) {
            if (Dark3D)
                InternalDark(Base, static_cast<uint8_t>(DarkStep * (K - 2)));
            const TPoint Side[4] = {P0, P1, P2, P3};
            Polygon(Side, 4);
        }
        P0 = P3;
        P1 = P2;
    }
    if (ConePercent == 100) {
        const TPoint P2 = BasePoint(1);
        const TPoint P3 = NarrowPoint(1);
        if (!ChCull(P0, P1, P2)) {
            const TPoint Side[4] = {P0, P1, P2, P3};
            Polygon(Side, 4);
        }
    }

    // The cap at the narrow end; a horizontal solid whose end plane faces
    // away shows its cap at Left instead.
    int CapAt = NarrowAt;
    if (!Vertical && ChCull(Calculate3DPosition(0, 0, 0), Calculate3DPosition(0, 10, 0), Calculate3DPosition(0, 10, 10)))
        CapAt = Left;
    TPointArray Cap(static_cast<size_t>(N));
    for (int I = 1; I <= N; ++I)
        Cap[static_cast<size_t>(I - 1)] = Calculate3DPosition(RimPoint(I, NarrowR, NarrowRZ, CapAt));
    if (Dark3D)
        InternalDark(Base, DarkColorQuantity);
    Polygon(Cap);
}

// ------------------------------------------------------------------ pyramids

void TChCanvas3D::Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkSides)
{
    const int ZC = (Z0 + Z1) / 2;
    const int XC = (Left + Right) / 2;
    const TColor Base = BaseColorOf(this);
    auto Triangle = [this](const TPoint& A, const TPoint& B, const TPoint& C) {
        const TPoint P[3] = {A, B, C};
        Polygon(P, 3);
    };
    if (Vertical) {
        if (Top != Bottom) {
            const TPoint A = Calculate3DPosition(XC, Top, ZC);
            const TPoint B00 = Calculate3DPosition(Left, Bottom, Z0);
            const TPoint B10 = Calculate3DPosition(Right, Bottom, Z0);
            const TPoint B01 = Calculate3DPosition(Left, Bottom, Z1);
            const TPoint B11 = Calculate3DPosition(Right, Bottom, Z1);
            const bool Up = Top < Bottom;
            Triangle(B00, A, B10);
            if (ChCull(B00, A, B01) != Up)
                Triangle(B00, A, B01);
            if (DarkSides)
                InternalDark(Base, DarkerColorQuantity);
            if (ChCull(B10, A, B11) == Up)
                Triangle(B10, A, B11);
            if (Up && ChCull(A, B01, B11))
                Triangle(A, B01, B11);
            const bool BaseCull = ChCull(B00, B10, B01);
            if ((BaseCull && Up) || (!BaseCull && !Up)) {
                if (DarkSides)
                    InternalDark(Base, DarkColorQuantity);
                RectangleY(Left, Bottom, Right, Z0, Z1);
            }
        }
    } else if (Left != Right) {
        const TPoint A = Calculate3DPosition(Right, (Top + Bottom) / 2, ZC);
        const TPoint B00 = Calculate3DPosition(Left, Top, Z0);
        const TPoint B10 = Calculate3DPosition(Left, Bottom, Z0);
        const TPoint B01 = Calculate3DPosition(Left, Top, Z1);
        const TPoint B11 = Calculate3DPosition(Left, Bottom, Z1);
        const bool Fwd = Left < Right;
        Triangle(B00, A, B10);
        if (ChCull(B01, A, B11) != Fwd)
            Triangle(B01, A, B11);
        if (DarkSides)
            InternalDark(Base, DarkColorQuantity);
        if (ChCull(B00, A, B01) != Fwd)
            Triangle(B00, A, B01);
        if (ChCull(B11, A, B10) != Fwd)
            Triangle(B11, A, B10);
        const bool BaseCull = ChCull(B00, B10, B01);
        if ((BaseCull && Fwd) || (!BaseCull && !Fwd)) {
            if (DarkSides)
                InternalDark(Base, DarkerColorQuantity);
            RectangleZ(Left, Top, Bottom, Z0, Z1);
        }
    }
}

void TChCanvas3D::PyramidTrunc(const TRect& R, int StartZ, int EndZ, int TruncX, int TruncZ)
{
    const int XM = (R.Left + R.Right) / 2;
    const int ZM = (StartZ + EndZ) / 2;
    auto BaseFace = [&]() { RectangleY(R.Left, R.Bottom, R.Right, StartZ, EndZ); };
    auto TopFace = [&]() {
        if (TruncX != 0)
            RectangleY(XM - TruncX, R.Top, XM + TruncX, ZM - TruncZ, ZM + TruncZ);
    };
    if (R.Top < R.Bottom)
        BaseFace();
    else
        TopFace();

    // Back slanted face, between the top edge at ZM + TruncZ and the base at EndZ.
    TFourPoints Face = {TPoint{XM - TruncX, R.Top}, TPoint{XM + TruncX, R.Top}, TPoint{R.Right, R.Bottom},
                        TPoint{R.Left, R.Bottom}};
    auto SlantVisible = [&](int TopZ, int BaseZ) {
        const TPoint A = Calculate3DPositionFloat(Face[0].X, Face[0].Y, TopZ);
        const TPoint B = Calculate3DPositionFloat(Face[1].X, Face[1].Y, TopZ);
        const TPoint C = Calculate3DPositionFloat(Face[2].X, Face[2].Y, BaseZ);
        return ChCull(A, B, C) == (TopZ >= BaseZ);
    };
    if (SlantVisible(ZM + TruncZ, EndZ))
        PlaneFour3D(Face, ZM + TruncZ, EndZ);

    // Left face.
    {
        const TPoint P[4] = {Calculate3DPosition(XM - TruncX, R.Top, ZM - TruncZ),
                             Calculate3DPosition(XM - TruncX, R.Top, ZM + TruncZ),
                             Calculate3DPosition(R.Left, R.Bottom, EndZ), Calculate3DPosition(R.Left, R.Bottom, StartZ)};
        if (ChCull(P[3], P[2], P[1]))
            Polygon(P, 4);
    }

    // Front slanted face.
    Face = {TPoint{XM - TruncX, R.Top}, TPoint{XM + TruncX, R.Top}, TPoint{R.Right, R.Bottom}, TPoint{R.Left, R.Bottom}};
    if (SlantVisible(ZM - TruncZ, StartZ))
        PlaneFour3D(Face, ZM - TruncZ, StartZ);

    // Right face.
    {
        const TPoint P[4] = {Calculate3DPosition(XM + TruncX, R.Top, ZM - TruncZ),
                             Calculate3DPosition(XM + TruncX, R.Top, ZM + TruncZ),
                             Calculate3DPosition(R.Right, R.Bottom, EndZ), Calculate3DPosition(R.Right, R.Bottom, StartZ)};
        if (!ChCull(P[3], P[2], P[1]))
            Polygon(P, 4);
    }

    if (R.Top < R.Bottom)
        TopFace();
    else
        BaseFace();
}

// ------------------------------------------------------------------ ellipses and spheres

void TChCanvas3D::Sphere(int X, int Y, int Z, double Radius)
{
    const int R = ChRound(Radius);
    EllipseWithZ(X - R, Y - R, X + R, Y + R, Z);
}

void TChCanvas3D::EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z)
{
    if (UseOrthoProjection) {
        const TPoint A = Calculate3DPosition(X1, Y1, Z);
        const TPoint B = Calculate3DPosition(X2, Y2, Z);
        Ellipse(A.X, A.Y, B.X, B.Y);
        return;
    }
    if (!Mode3D) {
        Ellipse(X1, Y1, X2 + 1, Y2 + 1);
        return;
    }
    const int XC = (X1 + X2) / 2, YC = (Y1 + Y2) / 2;
    const int RX = (X2 - X1) / 2, RY = (Y2 - Y1) / 2;
    TPointArray Rim(64);
    Rim[0] = Calculate3DPosition(XC, Y2, Z);
    for (int I = 1; I < 64; ++I) {
        const double T = I * 2 * M_PI / 63;
        Rim[static_cast<size_t>(I)] = Calculate3DPositionFloat(XC + std::sin(T) * RX, YC + std::cos(T) * RY, Z);
    }
    if (Brush->Style() != bsClear) {
        const TPenStyle OldStyle = Pen->Style();
        Pen->SetStyle(psClear);
        const TPoint Centre = Calculate3DPosition(XC, YC, Z);
        for (size_t I = 0; I < 63; ++I) {
            const TPoint Fan[3] = {Centre, Rim[I], Rim[I + 1]};
            Polygon(Fan, 3);
        }
        Pen->SetStyle(OldStyle);
    }
    if (Pen->Style() != psClear)
        Polyline(Rim);
}

void TCanvas3D::RotatedEllipse(int Left, int Top, int Right, int Bottom, int Z, double Angle)
{
    const double CX = (Left + Right) / 2.0, CY = (Top + Bottom) / 2.0;
    const double RX = CX - Left, RY = CY - Top;
    const double A = Angle * ChPiStep;
    TPointArray P(64);
    for (int I = 0; I < 64; ++I) {
        const double T = I * 2 * M_PI / 63;
        const double U = std::sin(T) * RX, V = std::cos(T) * RY;
        P[static_cast<size_t>(I)] = {ChRound(std::cos(A) * U + std::sin(A) * V + CX),
                                     ChRound(-std::sin(A) * U + std::cos(A) * V + CY)};
    }
    if (Brush->Style() != bsClear) {
        const TPenStyle OldStyle = Pen->Style();
        Pen->SetStyle(psClear);
        const TPoint Centre{ChRound(CX), ChRound(CY)};
        for (size_t K = 0; K < 63; ++K) {
            const TPoint Fan[3] = {Centre, P[K], P[K + 1]};
            PolygonWithZ(Fan, 3, Z);
        }
        Pen->SetStyle(OldStyle);
    }
    if (Pen->Style() != psClear)
        Polyline(P, Z);
}

// ------------------------------------------------------------------ arrows

void TChCanvas3D::Arrow(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint, int HeadWidth, int HeadHeight,
                        int Z)
{
    const double DX = ToPoint.X - FromPoint.X;
    const double DY = FromPoint.Y - ToPoint.Y;
    const double Len = std::sqrt(DX * DX + DY * DY);
    if (Len == 0)
        return;
    const double L = std::min(HeadHeight, ChRound(Len));
    const double S = DY / Len, C = DX / Len;
    auto Along = [&](const TPoint& P) { return P.X * C - P.Y * S; };
    auto Across = [&](const TPoint& P) { return P.X * S + P.Y * C; };
    auto Back = [&](double A, double Q) {
        return Calculate3DPosition(ChRound(A * C + Q * S), ChRound(-A * S + Q * C), Z);
    };
    const double A1 = Along(ToPoint), Q = Across(ToPoint);
    const double Half = HeadWidth / 2.0;
    const TPoint To = Calculate3DPosition(ToPoint, Z);
    const TPoint Head1 = Back(A1 - L, Q - Half);
    const TPoint Head2 = Back(A1 - L, Q + Half);
    if (!Filled) {
        const TPoint From = Calculate3DPosition(FromPoint, Z);
        MoveTo(From.X, From.Y);
        LineTo(To.X, To.Y);
        LineTo(Head2.X, Head2.Y);
        MoveTo(To.X, To.Y);
        LineTo(Head1.X, Head1.Y);
        return;
    }
    const double W = HeadWidth / 4.0;
    const double A0 = Along(FromPoint);
    const TPoint P[7] = {Back(A0, Q + W), Back(A0, Q - W), Back(A1 - L, Q - W), Head1, To, Head2, Back(A1 - L, Q + W)};
    Polygon(P, 7);
}

// ------------------------------------------------------------------ pies and donuts

void TChCanvas3D::PolygonWithGradient(const TPointArray& Points, TCustomChGradient* Gradient)
{
    if (Gradient == nullptr) {
        Polygon(Points);
        return;
    }
    ClipPolygon(Points, static_cast<int>(Points.size()));
    Gradient->Draw(this, RectFromPolygon(Points.data(), static_cast<int>(Points.size())));
    UnClipRectangle();
    if (Pen->Style() != psClear) {
        const TBrushStyle OldStyle = Brush->Style();
        Brush->SetStyle(bsClear);
        Polygon(Points);
        Brush->SetStyle(OldStyle);
    }
}

void TChCanvas3D::Pie3D(int XCenter, int YCenter, int XRadius, int YRadius, int Z0, int Z1, double StartAngle,
                        double EndAngle, bool DarkSides, bool DrawSides, int DonutPercent,
                        TCustomChGradient* Gradient)
{
    const int N = std::min(ChRound(std::fabs(EndAngle - StartAngle) * 180.0 / M_PI / 2.0), 94) + 2;
    const double AngleStep = (EndAngle - StartAngle) / (N - 1);
    const double RXI = DonutPercent * XRadius * 0.01, RYI = DonutPercent * YRadius * 0.01;

    TPointArray Front(static_cast<size_t>(N)), Back(static_cast<size_t>(N));
    TPointArray InnerFront(static_cast<size_t>(N)), InnerBack(static_cast<size_t>(N));
    for (int I = 0; I < N; ++I) {
        const double A = StartAngle + I * AngleStep;
        const double X = XCenter + XRadius * std::cos(A), Y = YCenter - YRadius * std::sin(A);
        Front[static_cast<size_t>(I)] = Calculate3DPositionFloat(X, Y, Z1);
        Back[static_cast<size_t>(I)] = Calculate3DPositionFloat(X, Y, Z0);
        double IX = XCenter, IY = YCenter;
        if (DonutPercent > 0) {
            IX = XCenter + RXI * std::cos(A);
            IY = YCenter - ChRound(RYI * std::sin(A));
        }
        InnerFront[static_cast<size_t>(I)] = Calculate3DPositionFloat(IX, IY, Z1);
        InnerBack[static_cast<size_t>(I)] = Calculate3DPositionFloat(IX, IY, Z0);
    }
    const TColor Base = BaseColorOf(this);
    const size_t Last = static_cast<size_t>(N - 1);

    if (DonutPercent > 0) {
        TPointArray Wall;
        for (size_t I = N; I-- > 0;)
            Wall.push_back(InnerFront[I]);
        Wall.insert(Wall.end(), InnerBack.begin(), InnerBack.end());
        if (DarkSides)
            InternalDark(Base, 32);
        Polygon(Wall);
    }
    if (DrawSides) {
        auto Side = [&](size_t I) {
            if (DarkSides)
                InternalDark(Base, 32);
            const TPoint P[4] = {InnerFront[I], Front[I], Back[I], InnerBack[I]};
            Polygon(P, 4);
        };
        if (Front[Last].X < OriginX)
            Side(Last);
        if (Front[0].X > OriginX)
            Side(0);
    }
    RestoreBaseColor(this, Base);

    TPointArray Face;
    Face.push_back(InnerFront[0]);
    Face.insert(Face.end(), Front.begin(), Front.end());
    if (DonutPercent > 0)
        for (size_t I = N; I-- > 0;)
            Face.push_back(InnerFront[I]);
    PolygonWithGradient(Face, Gradient);

    // The outer wall shows where the rim runs to the right on the screen.
    auto WallPiece = [&](size_t From, size_t To) {
        TPointArray Wall(Front.begin() + static_cast<std::ptrdiff_t>(From), Front.begin() + static_cast<std::ptrdiff_t>(To) + 1);
        for (size_t I = To + 1; I-- > From;)
            Wall.push_back(Back[I]);
        if (DarkSides)
            InternalDark(Base, 32);
        PolygonWithGradient(Wall, Gradient);
    };
    size_t First = 1;
    while (First <= Last && Front[First].X <= Front[First - 1].X)
        ++First;
    if (First > Last)
        return;
    size_t End = First + 1;
    while (End <= Last && Front[End].X >= Front[End - 1].X)
        ++End;
    --End;
    WallPiece(First - 1, End);
    if (End < Last && Front[Last].X > Front[Last - 1].X) {
        size_t K = Last;
        while (K > 1 && Front[K].X > Front[K - 1].X)
            --K;
        WallPiece(K, Last);
    }
}

void TChCanvas3D::Donut(int XCenter, int YCenter, int XRadius, int YRadius, double StartAngle, double EndAngle,
                        double HolePercent)
{
    // The ring sector as one polygon: the outer arc counter-clockwise, then the
    // inner arc back, about one point per degree.
    const double RXI = HolePercent * XRadius * 0.01, RYI = HolePercent * YRadius * 0.01;
    const int Steps = std::clamp(static_cast<int>(std::ceil(std::fabs(EndAngle - StartAngle) * 180.0 / M_PI)), 1, 720);
    auto Outer = [&](double A) {
        return TPoint{XCenter + ChRound(XRadius * std::cos(A)), YCenter - ChRound(YRadius * std::sin(A))};
    };
    auto Inner = [&](double A) { return TPoint{XCenter + ChRound(RXI * std::cos(A)), YCenter - ChRound(RYI * std::sin(A))}; };
    TPointArray P;
    for (int I = 0; I <= Steps; ++I)
        P.push_back(Outer(StartAngle + (EndAngle - StartAngle) * I / Steps));
    if (Inner(EndAngle) == Inner(StartAngle) && RXI < 1 && RYI < 1)
        P.push_back(Inner(EndAngle));
    else
        for (int I = Steps; I >= 0; --I)
            P.push_back(Inner(StartAngle + (EndAngle - StartAngle) * I / Steps));
    Polygon(P);
}

// ------------------------------------------------------------------ pictures in depth

void TCanvas3D::StretchDraw(const TRect& R, TGraphic* Graphic, int Z)
{
    if (Graphic == nullptr || Graphic->Empty())
        return;
    Pen->SetStyle(psClear);
    TBitmap* Bitmap = dynamic_cast<TBitmap*>(Graphic);
    std::unique_ptr<TBitmap> Temporary;
    if (Bitmap == nullptr) {
        Temporary = std::make_unique<TBitmap>(Graphic->Width(), Graphic->Height());
        Graphic->Draw(Temporary->Canvas(), {0, 0, Graphic->Width(), Graphic->Height()});
        Bitmap = Temporary.get();
    }
    const double SY = static_cast<double>(R.Bottom - R.Top) / Bitmap->Height();
    const double SX = static_cast<double>(R.Right - R.Left) / Bitmap->Width();
    for (int J = 0; J < Bitmap->Height(); ++J) {
        const uint32_t* Line = Bitmap->ScanLine(J);
        const int Y0 = R.Top + ChRound(J * SY), Y1 = R.Top + ChRound((J + 1) * SY);
        for (int I = 0; I < Bitmap->Width(); ++I) {
            const int X0 = R.Left + ChRound(I * SX), X1 = R.Left + ChRound((I + 1) * SX);
            const uint32_t Pixel = Line[I];
            ChSetDCBrushColor(Handle(), RGB((Pixel >> 16) & 0xFF, (Pixel >> 8) & 0xFF, Pixel & 0xFF));
            const TPoint P[4] = {Calculate3DPosition(X0, Y0, Z), Calculate3DPosition(X1, Y0, Z),
                                 Calculate3DPosition(X1, Y1, Z), Calculate3DPosition(X0, Y1, Z)};
            Polygon(P, 4);
        }
    }
}
