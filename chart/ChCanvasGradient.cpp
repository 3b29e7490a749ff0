// Gradient settings and the canvas's gradient fill in all ten directions.
#include "chart/ChCanvas.h"

#include <algorithm>
#include <cmath>

namespace {

struct TComponents {
    int R, G, B;
};

TComponents ComponentsOf(TColor Color)
{
    const TColor C = ColorToRGB(Color);
    return {GetRValue(C), GetGValue(C), GetBValue(C)};
}

TColor GrayOf(TColor Color)
{
    const TComponents C = ComponentsOf(Color);
    const int G = (C.R + C.G + C.B) / 3;
    return RGB(G, G, G);
}

// Colour I of N between Start and End. Balance 50 is linear; other values
// bend the curve. N of 0 or less (no room for a second colour) is Start.
TColor BandColor(const TComponents& Start, const TComponents& End, int I, int N, int Balance)
{
    if (N <= 0)
        return RGB(Start.R, Start.G, Start.B);
    auto Mix = [&](int C0, int C1) {
        const int D = C1 - C0;
        if (Balance == 50)
            return C0 + D * I / N;
        const double F = std::exp(std::log((1.0 + I) / (1.0 + N)) * (Balance * 0.015 + 0.5));
        return C0 + ChRound(D * F);
    };
    return RGB(Mix(Start.R, End.R), Mix(Start.G, End.G), Mix(Start.B, End.B));
}

// Radial fill from Start in the centre to End at the rim of R.
void PaintRadial(TChCanvas* Canvas, const TRect& ARect, TColor StartColor, TColor EndColor, int Balance, int RadialX,
                 int RadialY)
{
    const TRect R = OrientRectangle(ARect);
    const int W = R.Right - R.Left, H = R.Bottom - R.Top;
    if (W <= 0 || H <= 0)
        return;
    Canvas->ClipRectangle(R);
    int N = std::min(255, std::max(W, H));
    const double HX = W / 2.0 / N, HY = H / 2.0 / N;
    const TComponents C0 = ComponentsOf(StartColor);
    const TComponents C1 = ComponentsOf(EndColor);
    const double DR = C1.R - C0.R, DG = C1.G - C0.G, DB = C1.B - C0.B;

    const TPenStyle OldPenStyle = Canvas->Pen->Style();
    const TColor OldBrushColor = Canvas->Brush->Color();
    const TBrushStyle OldBrushStyle = Canvas->Brush->Style();
    Canvas->Pen->SetStyle(psClear);
    Canvas->Brush->SetStyle(bsSolid);
    Canvas->Brush->SetColor(ColorToRGB(EndColor));
    Canvas->FillRect(R);

    const int Steps = N;
    if (W % 2 != 0 || H % 2 != 0)
        --N;
    const double CX = RadialX + 1 + (R.Left + R.Right) / 2.0;
    const double CY = RadialY + 1 + (R.Top + R.Bottom) / 2.0;
    for (int I = N; I >= 0; --I) {
        TColor Color;
        if (Balance == 50) {
            auto Part = [&](int C, double D) { return static_cast<uint8_t>(C + ChRound(I * D / Steps)); };
            Color = RGB(Part(C0.R, DR), Part(C0.G, DG), Part(C0.B, DB));
        } else {
            const double F = std::pow((1.0 + I) / (1.0 + N), Balance * 0.015 + 0.5);
            auto Part = [&](int C, double D) { return static_cast<uint8_t>(C + ChRound(F * D)); };
            Color = RGB(Part(C0.R, DR), Part(C0.G, DG), Part(C0.B, DB));
        }
        ChSetDCBrushColor(Canvas->Handle(), Color);
        Canvas->Ellipse(ChRound(CX - I * HX), ChRound(CY - I * HY), ChRound(CX + I * HX), ChRound(CY + I * HY));
    }
    Canvas->Pen->SetStyle(OldPenStyle);
    Canvas->Brush->SetStyle(OldBrushStyle);
    Canvas->Brush->SetColor(OldBrushColor);
    Canvas->UnClipRectangle();
}

} // namespace

// ------------------------------------------------------------------ gradient settings

TCustomChGradient::TCustomChGradient(TNotifyEvent AOnChange) : OnChange(std::move(AOnChange)) {}

void TCustomChGradient::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TCustomChGradient*>(Source);
    if (Other == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    FBalance = Other->FBalance;
    FDirection = Other->FDirection;
    FEndColor = Other->FEndColor;
    FMidColor = Other->FMidColor;
    FRadialX = Other->FRadialX;
    FRadialY = Other->FRadialY;
    FStartColor = Other->FStartColor;
    FVisible = Other->FVisible;
    FMidFlag = Other->FMidFlag;
}

void TCustomChGradient::Changed()
{
    if (OnChange)
        OnChange(this);
}

template <class T> void TCustomChGradient::SetAndNotify(T& Field, T Value)
{
    if (Field != Value) {
        Field = Value;
        Changed();
    }
}

void TCustomChGradient::SetBalance(int Value) { SetAndNotify(FBalance, Value); }
void TCustomChGradient::SetDirection(TGradientDirection Value) { SetAndNotify(FDirection, Value); }
void TCustomChGradient::SetEndColor(TColor Value) { SetAndNotify(FEndColor, Value); }
void TCustomChGradient::SetStartColor(TColor Value) { SetAndNotify(FStartColor, Value); }
void TCustomChGradient::SetRadialX(int Value) { SetAndNotify(FRadialX, Value); }
void TCustomChGradient::SetRadialY(int Value) { SetAndNotify(FRadialY, Value); }
void TCustomChGradient::SetVisible(bool Value) { SetAndNotify(FVisible, Value); }

void TCustomChGradient::SetMidColor(TColor Value)
{
    if (Value == clNone) {
        if (FMidFlag) {
            FMidFlag = false;
            Changed();
        }
        return;
    }
    if (!FMidFlag || FMidColor != Value) {
        FMidFlag = true;
        FMidColor = Value;
        Changed();
    }
}

void TCustomChGradient::UseMiddleColor()
{
    if (!FMidFlag) {
        FMidFlag = true;
        Changed();
    }
}

void TChFontGradient::Assign(TPersistent* Source)
{
    if (auto* Other = dynamic_cast<TChFontGradient*>(Source))
        FOutline = Other->FOutline;
    TChGradient::Assign(Source);
}

void TChFontGradient::SetOutline(bool Value)
{
    if (FOutline != Value) {
        FOutline = Value;
        Changed();
    }
}

// ------------------------------------------------------------------ painting a gradient

void TCustomChGradient::Draw(TChCanvas* Canvas, const TRect& R, int RoundRectSize)
{
    TColor Start = FStartColor, End = FEndColor, Middle = FMidColor;
    if (Canvas->Monochrome()) {
        Start = GrayOf(Start);
        End = GrayOf(End);
        Middle = GrayOf(Middle);
    }
    if (RoundRectSize > 0)
        Canvas->ClipRectangle(R, RoundRectSize);

    if (FDirection == gdRadial)
        PaintRadial(Canvas, R, Start, End, FBalance, FRadialX, FRadialY);
    else if (FMidFlag && FDirection != gdDiagonalUp && FDirection != gdDiagonalDown) {
        const int YM = (R.Top + R.Bottom) / 2;
        const int XM = (R.Left + R.Right) / 2;
        const TRect Upper{R.Left, R.Top, R.Right, YM}, Lower{R.Left, YM, R.Right, R.Bottom};
        const TRect LeftPart{R.Left, R.Top, XM, R.Bottom}, RightPart{XM, R.Top, R.Right, R.Bottom};
        switch (FDirection) {
        case gdTopBottom:
            Canvas->GradientFill(Upper, Middle, End, gdTopBottom, 50);
            Canvas->GradientFill(Lower, Start, Middle, gdTopBottom, 50);
            break;
        case gdBottomTop:
            Canvas->GradientFill(Upper, Start, Middle, gdBottomTop, 50);
            Canvas->GradientFill(Lower, Middle, End, gdBottomTop, 50);
            break;
        case gdLeftRight:
            Canvas->GradientFill(LeftPart, Middle, End, gdLeftRight, 50);
            Canvas->GradientFill(RightPart, Start, Middle, gdLeftRight, 50);
            break;
        case gdRightLeft:
            Canvas->GradientFill(LeftPart, Start, Middle, gdRightLeft, 50);
            Canvas->GradientFill(RightPart, Middle, End, gdRightLeft, 50);
            break;
        default:
            Canvas->GradientFill(R, Start, End, FDirection, 50);
            break;
        }
    } else
        Canvas->GradientFill(R, Start, End, FDirection, FBalance);

    if (RoundRectSize > 0)
        Canvas->UnClipRectangle();
}

void TCustomChGradient::Draw(TChCanvas* Canvas, const TFourPoints& P)
{
    Canvas->ClipPolygon(P.data(), 4);
    Draw(Canvas, RectFromPolygon(P.data(), 4), 0);
    Canvas->UnClipRectangle();
}

void TCustomChGradient::Draw(TCanvas3D* Canvas, const TFourPoints& P, int Z)
{
    const TFourPoints Projected = {Canvas->Calculate3DPosition(P[0], Z), Canvas->Calculate3DPosition(P[1], Z),
                                   Canvas->Calculate3DPosition(P[2], Z), Canvas->Calculate3DPosition(P[3], Z)};
    Draw(static_cast<TChCanvas*>(Canvas), Projected);
}

void TCustomChGradient::Draw(TCanvas3D* Canvas, const TPointArray& Points, int Z, bool Is3D)
{
    TRect R;
    if (Is3D) {
        TPointArray Projected(Points.size());
        for (size_t I = 0; I < Points.size(); ++I)
            Projected[I] = Canvas->Calculate3DPosition(Points[I], Z);
        Canvas->ClipPolygon(Projected, static_cast<int>(Projected.size()));
        R = Canvas->CalcRect3D(PolygonBounds(Points), Z);
    } else {
        Canvas->ClipPolygon(Points, static_cast<int>(Points.size()));
        R = PolygonBounds(Points);
    }
    Draw(static_cast<TChCanvas*>(Canvas), R, 0);
    Canvas->UnClipRectangle();
}

void TCustomChGradient::DrawRadial(TChCanvas* Canvas, const TRect& R)
{
    PaintRadial(Canvas, R, FStartColor, FEndColor, FBalance, FRadialX, FRadialY);
}

// ------------------------------------------------------------------ the canvas fill

void TChCanvas3D::GradientFill(const TRect& ARect, TColor StartColor, TColor EndColor, TGradientDirection Direction,
                               int Balance)
{
    const TRect R = OrientRectangle(ARect);
    if (Direction == gdRadial) {
        PaintRadial(this, R, StartColor, EndColor, 50, 0, 0);
        return;
    }
    switch (Direction) {
    case gdBottomTop:
    case gdRightLeft:
    case gdFromCenter:
    case gdFromTopLeft:
    case gdFromBottomLeft:
        std::swap(StartColor, EndColor);
        break;
    default:
        break;
    }
    const TComponents C0 = ComponentsOf(StartColor);
    const TComponents C1 = ComponentsOf(EndColor);
    const int W = R.Right - R.Left, H = R.Bottom - R.Top;

    TBrush SavedBrush;
    SavedBrush.Assign(Brush);
    Brush->SetBitmap(nullptr);
    Brush->SetStyle(bsSolid);
    TColor Current = clNone;
    auto Band = [&](const TRect& Area, TColor Color) {
        if (Area.Right <= Area.Left || Area.Bottom <= Area.Top)
            return;
        if (Color != Current) {
            ChSetDCBrushColor(Handle(), Color);
            Current = Color;
        }
        ReferenceCanvas->FillRect(Area);
    };
    auto ColorAt = [&](int I, int N) { return BandColor(C0, C1, I, N, Balance); };

    switch (Direction) {
    case gdTopBottom:
    case gdBottomTop:
    case gdLeftRight:
    case gdRightLeft: {
        const bool Vertical = Direction == gdTopBottom || Direction == gdBottomTop;
        const int A = Vertical ? H : W;
        const int Steps = std::min(A, 256);
        const int N = Steps - 1;
        if (N <= 0)
            break;
        int Before = 0;
        for (int C = 0; C < Steps; ++C) {
            const int E = static_cast<int>(static_cast<int64_t>(A) * (C + 1) / Steps);
            if (Vertical)
                Band({R.Left, R.Bottom - E, R.Right, R.Bottom - Before}, ColorAt(C, N));
            else
                Band({R.Right - E, R.Top, R.Right - Before, R.Bottom}, ColorAt(C, N));
            Before = E;
        }
        break;
    }
    case gdFromCenter: {
        const int N = W / 2 + H / 2;
        int Row = 0, Col = 0;
        while (true) {
            const TColor Color = ColorAt(Row + Col, N);
            const int Top = R.Top + Row, Bottom = R.Bottom - Row;
            const int Left = R.Left + Col, Right = R.Right - Col;
            Band({Left, Top, Left + 1, Bottom}, Color);
            Band({Right - 1, Top, Right, Bottom}, Color);
            Band({Left, Top, Right, Top + 1}, Color);
            Band({Left, Bottom - 1, Right, Bottom}, Color);
            if (Row >= H / 2 && Col >= W / 2)
                break;
            if (Row < H / 2)
                ++Row;
            if (Col < W / 2)
                ++Col;
        }
        break;
    }
    case gdFromTopLeft:
    case gdFromBottomLeft: {
        const bool FromTop = Direction == gdFromTopLeft;
        const int N = W + H;
        int X = 0, J = 0;
        int Y = FromTop ? R.Top : R.Bottom;
        while (true) {
            const TColor Color = ColorAt(X + J, N);
            if (X < W) {
                if (FromTop)
                    Band({R.Left + X, R.Top, R.Left + X + 1, Y}, Color);
                else
                    Band({R.Left + X, Y, R.Left + X + 1, R.Bottom}, Color);
            }
            if (J < H) {
                ++J;
                const int RowY = FromTop ? Y : Y - 1;
                Band({R.Left, RowY, R.Left + std::min(X + 1, W), RowY + 1}, Color);
                if (FromTop ? Y < R.Bottom : Y > R.Top)
                    Y += FromTop ? 1 : -1;
            }
            if (X < W)
                ++X;
            if (J == H && X == W)
                break;
        }
        break;
    }
    case gdDiagonalUp:
    case gdDiagonalDown: {
        const bool Up = Direction == gdDiagonalUp;
        const int Steps = W + H;
        const int N = std::min(255, Steps - 1);
        TPen SavedPen;
        SavedPen.Assign(Pen);
        Pen->SetWidth(1);
        Pen->SetStyle(psSolid);
        Pen->SetMode(pmCopy);
        TPoint P{R.Left, Up ? R.Bottom : R.Top};
        TPoint Q = P;
        for (int C = 0; C < Steps; ++C) {
            ChSetDCPenColor(Handle(), ColorAt(static_cast<int>(static_cast<int64_t>(C) * N / Steps), N));
            ReferenceCanvas->MoveTo(P.X, P.Y);
            ReferenceCanvas->LineTo(Q.X, Q.Y);
            if (Q.X < R.Right)
                ++Q.X;
            else if (Up ? Q.Y > R.Top : Q.Y < R.Bottom)
                Q.Y += Up ? -1 : 1;
            if (Up ? P.Y > R.Top : P.Y < R.Bottom)
                P.Y += Up ? -1 : 1;
            else if (P.X < R.Right)
                ++P.X;
        }
        Pen->Assign(&SavedPen);
        break;
    }
    default:
        break;
    }
    Brush->Assign(&SavedBrush);
}
