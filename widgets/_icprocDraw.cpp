// The drawing procedures of the shared unit: gradients, 3-D ellipses and
// bevels, LEDs, sectors, the stand-alone scale, pointers and arrows, and the
// geometry they need.
#include "widgets/_icproc.h"

#include "platform/ExtCtrls.h"
#include "platform/ScopeGuard.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr double Pi = 3.14159265358979323846;

// Colour steps of a gradient: band k of n is C1 + k x (C2 - C1) / n per
// channel, the step held in single precision and the sum kept in 8 bits.
struct TGradient {
    int C1[3];
    int D[3];
    int Steps;   // the largest channel difference, at least 1

    TGradient(TColor From, TColor To)
    {
        const TColor A = ColorToRGB(From);
        const TColor B = ColorToRGB(To);
        const int a[3] = {GetRValue(A), GetGValue(A), GetBValue(A)};
        const int b[3] = {GetRValue(B), GetGValue(B), GetBValue(B)};
        Steps = 1;
        for (int c = 0; c < 3; ++c) {
            C1[c] = a[c];
            D[c] = b[c] - a[c];
            Steps = std::max(Steps, std::abs(D[c]));
        }
    }

    int Channel(int c, double K, int N, bool Truncate) const
    {
        const float Step = static_cast<float>(D[c]) / static_cast<float>(std::max(N, 1));
        const double Offset = K * static_cast<double>(Step);
        const long long V = Truncate ? static_cast<long long>(std::trunc(C1[c] + Offset))
                                     : C1[c] + static_cast<long long>(IcRound(Offset));
        return static_cast<int>(V & 0xFF);
    }
    TColor Color(double K, int N, bool Truncate = false) const
    {
        return RGB(Channel(0, K, N, Truncate), Channel(1, K, N, Truncate), Channel(2, K, N, Truncate));
    }
};

// A colour as a pixel of TBitmap::ScanLine.
uint32_t ToPixel(TColor C)
{
    return 0xFF000000u | (static_cast<uint32_t>(GetRValue(C)) << 16) | (static_cast<uint32_t>(GetGValue(C)) << 8) |
           static_cast<uint32_t>(GetBValue(C));
}

// The band styles paint one colour per row (horizontal) or per column
// (vertical): Line holds them, unset places keep C2.
void PaintLines(TBitmap& Bmp, const std::vector<uint32_t>& Line, bool Rows)
{
    const int W = Bmp.Width();
    for (int y = 0; y < Bmp.Height(); ++y) {
        uint32_t* Row = Bmp.ScanLine(y);
        if (Rows)
            std::fill(Row, Row + W, Line[static_cast<size_t>(y)]);
        else
            std::copy(Line.begin(), Line.end(), Row);
    }
}

void SetLine(std::vector<uint32_t>& Line, int At, TColor C)
{
    if (At >= 0 && At < static_cast<int>(Line.size()))
        Line[static_cast<size_t>(At)] = ToPixel(C);
}

// gsHorizontal1 / gsVertical1: bands of Size div n from the start.
void Bands(const TGradient& G, std::vector<uint32_t>& Line)
{
    const int Size = static_cast<int>(Line.size());
    int n = std::min(G.Steps, Size);
    const int Band = Size / n;
    n = std::max(1, Size / Band);
    for (int k = 0; k <= n; ++k) {
        const TColor C = G.Color(k, n, true);
        for (int i = 0; i < Band; ++i)
            SetLine(Line, k * Band + i, C);
    }
}

// gsHorizontal2 / gsVertical2: C1 in the middle, C2 at both ends.
void Middle(const TGradient& G, std::vector<uint32_t>& Line)
{
    const int n = std::max(1, static_cast<int>(Line.size()) / 2);
    SetLine(Line, n, G.Color(0, n));
    for (int k = 1; k <= n; ++k) {
        SetLine(Line, n + k, G.Color(k, n));
        SetLine(Line, n - k, G.Color(k, n));
    }
}

// gsHorizontal3 / gsVertical3: C1 a third of the way, C2 at the far end.
void Third(const TGradient& G, std::vector<uint32_t>& Line)
{
    const int Size = static_cast<int>(Line.size());
    const int n = std::max(1, static_cast<int>(IcRound(Size * 0.67)));
    const int c = Size / 3;
    SetLine(Line, c, G.Color(0, n));
    for (int k = 1; k <= n; ++k) {
        SetLine(Line, c + k, G.Color(k, n));
        if (c - k >= 0)
            SetLine(Line, c - k, G.Color(k, n));
    }
}

void PenAndBrush(TCanvas* C, TColor Color)
{
    C->Pen()->SetColor(Color);
    C->Brush()->SetColor(Color);
}

void Elliptic(TCanvas* C, const TGradient& G, int W, int H, TGradientStyle Style)
{
    const float f = Style == gsElliptic1 ? 0.5f : Style == gsElliptic2 ? 0.695f : 0.82f;
    TPoint c = IcCenterPoint(Rect(0, 0, W, H));
    if (Style == gsElliptic3)
        c = Point(c.X - W / 4 + 1, c.Y - H / 4 + 1);
    const float rx = static_cast<float>(W) / static_cast<float>(G.Steps) * f;
    const float ry = static_cast<float>(H) / static_cast<float>(G.Steps) * f;
    for (int k = G.Steps; k >= 1; --k) {
        PenAndBrush(C, G.Color(k, G.Steps));
        const int a = IcRound(k * static_cast<double>(rx));
        const int b = IcRound(k * static_cast<double>(ry));
        C->Ellipse(c.X - a, c.Y - b, c.X + a, c.Y + b);
    }
}

void Rectangles(TCanvas* C, const TGradient& G, int W, int H)
{
    const TPoint c = IcCenterPoint(Rect(0, 0, W, H));
    const float rx = static_cast<float>(W) / static_cast<float>(G.Steps) / 2.0f;
    const float ry = static_cast<float>(H) / static_cast<float>(G.Steps) / 2.0f;
    for (int k = G.Steps; k >= 0; --k) {
        PenAndBrush(C, G.Color(k, G.Steps));
        const int a = IcRound(k * static_cast<double>(rx));
        const int b = IcRound(k * static_cast<double>(ry));
        C->Rectangle(c.X - a, c.Y - b, c.X + a + 1, c.Y + b + 1);
    }
}

void Diamonds(TCanvas* C, const TGradient& G, int W, int H, TGradientStyle Style)
{
    const TPoint c = IcCenterPoint(Rect(0, 0, W, H));
    const int M = std::max(W, H);
    int n;
    float rx, ry;
    if (Style == gsDiamond1) {
        n = std::max(M / 2, G.Steps);
        rx = static_cast<float>(W) / static_cast<float>(n) / 2.0f;
        ry = static_cast<float>(H) / static_cast<float>(n) / 2.0f;
    } else {
        n = std::max(M, G.Steps);
        rx = static_cast<float>(W) / static_cast<float>(n);
        ry = static_cast<float>(H) / static_cast<float>(n);
    }
    for (int k = n; k >= 1; --k) {
        C->Pen()->SetColor(G.Color(k, n));
        const int a = IcRound(k * static_cast<double>(rx));
        const int b = IcRound(k * static_cast<double>(ry));
        C->Polyline({{c.X, c.Y - b}, {c.X + a, c.Y}, {c.X, c.Y + b}, {c.X - a, c.Y}, {c.X, c.Y - b}});
    }
    C->SetPixels(c.X, c.Y, G.Color(0, n));
}

// gsTopLeft and its mirror gsTopRight: anti-diagonal lines from each corner,
// meeting at the diagonal in the middle colour.
void Corners(TCanvas* C, const TGradient& G, int W, int H, bool Left)
{
    const int n = std::max(W, H);
    const float dx = static_cast<float>(W) / static_cast<float>(n);
    const float dy = static_cast<float>(H) / static_cast<float>(n);
    for (int k = 0; k <= n; ++k) {
        const int x = IcRound(k * static_cast<double>(dx));
        const int y = IcRound(k * static_cast<double>(dy));
        C->Pen()->SetColor(G.Color(k / 2.0, n));
        C->MoveTo(Left ? 0 : W, y);
        C->LineTo(Left ? x : W - x, -1);
        C->Pen()->SetColor(G.Color(n - k / 2.0, n));
        C->MoveTo(Left ? W : 0, H - y);
        C->LineTo(Left ? W - x : x, H);
    }
}

}  // namespace

void IcGradFill(TCanvas* Canvas, const TRect& R, TColor C1, TColor C2, TGradientStyle Style)
{
    const int W = R.Width();
    const int H = R.Height();
    if (!Canvas || W <= 0 || H <= 0)
        return;
    TBitmap Bmp(W, H);
    const TGradient G(C1, C2);
    const TColor From = ColorToRGB(C1);
    const TColor To = ColorToRGB(C2);
    if (From == To) {
        PaintLines(Bmp, std::vector<uint32_t>(static_cast<size_t>(H), ToPixel(From)), true);
    } else if (Style <= gsVertical3) {
        const bool Rows = Style <= gsHorizontal3;
        std::vector<uint32_t> Line(static_cast<size_t>(Rows ? H : W), ToPixel(To));
        switch (Style) {
        case gsHorizontal1: case gsVertical1: Bands(G, Line); break;
        case gsHorizontal2: case gsVertical2: Middle(G, Line); break;
        default: Third(G, Line); break;
        }
        PaintLines(Bmp, Line, Rows);
    } else {
        TCanvas* C = Bmp.Canvas();
        C->Pen()->SetWidth(1);
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(To);
        C->FillRect(Rect(0, 0, W, H));
        switch (Style) {
        case gsElliptic1: case gsElliptic2: case gsElliptic3: Elliptic(C, G, W, H, Style); break;
        case gsRectangle: Rectangles(C, G, W, H); break;
        case gsDiamond1: case gsDiamond2: Diamonds(C, G, W, H, Style); break;
        case gsTopLeft: Corners(C, G, W, H, true); break;
        default: Corners(C, G, W, H, false); break;
        }
    }
    Canvas->StretchDraw(R, &Bmp);
}

void IcCircleGradFill(TCanvas* Canvas, const TRect& R, TColor C1, TColor C2)
{
    const int W = R.Width();
    if (!Canvas || W <= 0 || R.Height() <= 0)
        return;
    const TGradient G(C1, C2);
    const int e = IcRound(W * 0.22);
    const int n = std::max(1, 2 * W - 2 * e);
    Canvas->Pen()->SetWidth(1);
    for (int k = 0; k <= n; ++k) {
        Canvas->Pen()->SetColor(G.Color(k, n));
        Canvas->MoveTo(R.Left + e + k - 1, R.Top);
        Canvas->LineTo(R.Left - 1, R.Top + e + k);
    }
}

void Ic3DEllipse(TCanvas* Canvas, const TPoint& Offset, const TPoint& Center, int RX, int RY, TBitmap* Bitmap,
                 TColor FrameColor, bool Upright, bool Framed)
{
    if (!Canvas || RX < 1 || RY < 1)
        return;
    const int W = 2 * RX;
    const int H = 2 * RY;
    TBitmap Face(W, H);
    TCanvas* F = Face.Canvas();
    F->StretchDraw(Upright ? Rect(0, 0, W, H) : Rect(W, H, 0, 0), Bitmap);
    if (Framed) {
        F->Brush()->SetStyle(bsClear);
        F->Pen()->SetWidth(2);
        F->Pen()->SetColor(FrameColor);
        F->Ellipse(1, 1, W + 1, H + 1);
    }
    const TRect E = Rect(Center.X - RX, Center.Y - RY, Center.X + RX, Center.Y + RY);
    TRect Clip = E;
    OffsetRect(Clip, Offset.X + 1, Offset.Y + 1);
    const TCanvas::TClipState Saved = Canvas->SaveClip();
    TScopeExit Restore([&] { Canvas->RestoreClip(Saved); });
    Canvas->SelectClipEllipse(Clip);
    Canvas->Draw(E.Left, E.Top, &Face);
}

void IcEllipse3D(TCanvas* Canvas, TRect& R, TColor Color, bool Raised)
{
    const TColor Light = Raised ? clBtnHighlight : clBtnShadow;
    const TColor Dark = Raised ? clBtnShadow : clBtnHighlight;
    Canvas->Pen()->SetWidth(1);
    Canvas->Brush()->SetStyle(bsSolid);
    PenAndBrush(Canvas, Dark);
    Canvas->Ellipse(R);
    PenAndBrush(Canvas, Light);
    Canvas->Ellipse(R.Left, R.Top, R.Right - 2, R.Bottom - 2);
    PenAndBrush(Canvas, Color);
    Canvas->Ellipse(R.Left + 1, R.Top + 1, R.Right - 2, R.Bottom - 2);
    R = Rect(R.Left + 1, R.Top + 1, R.Right - 2, R.Bottom - 2);
}

void IcCircleAtPoint(TCanvas* Canvas, const TPoint& P, int Radius, TColor /*OutlineColor*/, TColor FillColor)
{
    const int r = Radius;
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(FillColor);
    Canvas->Pen()->SetColor(clBtnHighlight);
    Canvas->Ellipse(P.X - r, P.Y - r, P.X + r + 1, P.Y + r + 1);
    Canvas->Pen()->SetColor(clBtnShadow);
    Canvas->Arc(P.X - r, P.Y - r, P.X + r + 1, P.Y + r + 1, P.X + r + 2, P.Y - r, P.X - r, P.Y + r + 1);
}

void IcBtnBevel(TCanvas* Canvas, TRect& R, bool Raised, bool Fill, TColor Color)
{
    const TColor LightGrey = RGB(210, 210, 210);
    if (Fill) {
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(Color);
        Canvas->FillRect(R);
    }
    if (Raised) {
        Frame3D(Canvas, R, clBtnHighlight, clBlack, 1);
        Frame3D(Canvas, R, LightGrey, clBtnShadow, 1);
    } else {
        Frame3D(Canvas, R, clBlack, clBtnHighlight, 1);
        Frame3D(Canvas, R, clBtnShadow, LightGrey, 1);
    }
}

void IcThumb(TCanvas* Canvas, const TPoint& P, int Size, bool /*Unused*/, bool Wide, TColor Color)
{
    const int Long = Size / 2;
    const int Short = IcRound(Size * 0.2);
    const int hx = Wide ? Long : Short;
    const int hy = Wide ? Short : Long;
    TRect Box = Rect(P.X - hx, P.Y - hy, P.X + hx + 1, P.Y + hy + 1);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->FillRect(Box);
    const TColor Outline = Color == clBtnShadow ? clBtnShadow : clBlack;
    Frame3D(Canvas, Box, clBtnShadow, Outline, 1);
    Frame3D(Canvas, Box, clBtnHighlight, clBtnShadow, 1);
    IcBorder(Box, Size / 25);
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetColor(Outline);
    Canvas->Brush()->SetColor(Color);
    Canvas->Rectangle(Box);
}

void IcDrawLED(TCanvas* Canvas, const TRect& R, TLEDShape Shape, TColor PenColor, TColor FillColor)
{
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetColor(PenColor);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(FillColor);
    const int hw = R.Width() / 2;
    const int hh = R.Height() / 2;
    switch (Shape) {
    case sRound: {
        Canvas->Ellipse(R);
        // A highlight on the upper-left quarter.
        Canvas->Pen()->SetColor(clBtnHighlight);
        Canvas->Pen()->SetWidth(R.Width() / 8);
        TRect A = R;
        IcBorder(A, R.Width() / 5);
        Canvas->Arc(A.Left, A.Top, A.Right, A.Bottom, R.Left + hw, R.Top, R.Left, R.Top + hh);
        break;
    }
    case sArrowLeft:
        Canvas->Polygon({{R.Left, R.Top + hh}, {R.Right - 1, R.Top}, {R.Right - 1, R.Bottom - 1}});
        break;
    case sArrowRight:
        Canvas->Polygon({{R.Left, R.Top}, {R.Right - 1, R.Top + hh}, {R.Left, R.Bottom - 1}});
        break;
    case sArrowUp:
        Canvas->Polygon({{R.Left + hw, R.Top}, {R.Right - 1, R.Bottom - 1}, {R.Left, R.Bottom - 1}});
        break;
    case sArrowDown:
        Canvas->Polygon({{R.Left, R.Top}, {R.Right - 1, R.Top}, {R.Left + hw, R.Bottom - 1}});
        break;
    case sRectangle:
        Canvas->RoundRect(R.Left, R.Top, R.Right, R.Bottom, 1, 1);
        break;
    }
}

void IcRoundSector(TCanvas* Canvas, const TRect& R, float StartAngle, float Sweep)
{
    if (!Canvas || R.Width() <= 0 || R.Height() <= 0 || !(std::fabs(Sweep) > 0.0f))
        return;
    if (Sweep < 0.0f) {
        StartAngle += Sweep;
        Sweep = -Sweep;
    }
    if (Sweep >= 360.0f) {
        Canvas->Ellipse(R);
        return;
    }
    // The pie runs counter-clockwise from the radial through the first point
    // to the radial through the second: from the sector's end back to its
    // start.
    const TPoint c = IcCenterPoint(R);
    const TPoint Top = Point(c.X, c.Y - std::max(R.Width(), R.Height()));
    const TPoint End = IcRotate(Top, c, StartAngle + Sweep, true);
    const TPoint Start = IcRotate(Top, c, StartAngle, true);
    if (End == Start) {
        // One radial: the platform would fill the whole ellipse, right only
        // for a sweep that all but closes the circle.
        if (Sweep >= 180.0f)
            Canvas->Ellipse(R);
        return;
    }
    Canvas->Pie(R.Left, R.Top, R.Right, R.Bottom, End.X, End.Y, Start.X, Start.Y);
}

void IcHorizScala(TCanvas* Canvas, const std::string& Labels, TRect& R, int Steps, int SubSteps, bool LabelsAbove)
{
    Steps = std::max(1, Steps);
    SubSteps = std::max(1, SubSteps);
    int MaxW = 0;
    int TextH = 0;
    IcGetMaxTokenSize(Canvas, MaxW, TextH, Labels);
    const int SubW = (R.Width() - MaxW) / (Steps * SubSteps);
    const int StepW = SubW * SubSteps;
    R.Left += (R.Width() - Steps * StepW) / 2;
    const int p = std::max(1, TextH / 8);
    int L, Tb, Tc, B;
    if (LabelsAbove) {
        L = R.Top + 1;
        Tb = L + TextH + 3;
        Tc = Tb + TextH / 3;
        B = Tc + TextH / 3;
    } else {
        B = R.Top + 1;
        Tc = B + 7;
        Tb = B + 14;
        L = B + 17;
    }
    TPen* Pen = Canvas->Pen();
    Pen->SetWidth(p);
    Canvas->MoveTo(R.Left, B);
    Canvas->LineTo(R.Left + Steps * StepW, B);
    std::string Rest = Labels;
    for (int i = 0; i < Steps; ++i) {
        const int x = R.Left + i * StepW;
        Pen->SetWidth(p);
        Canvas->MoveTo(x, Tb);
        Canvas->LineTo(x, B);
        IcTextOut(Canvas, x, L, IcStrToken(Rest, ';'), toTopCenter);
        Pen->SetWidth(1);
        for (int j = 0; j < SubSteps; ++j) {
            Canvas->MoveTo(x + j * SubW, Tc);
            Canvas->LineTo(x + j * SubW, B);
        }
    }
    const int Last = R.Left + Steps * StepW;
    IcTextOut(Canvas, Last, L, IcStrToken(Rest, ';'), toTopCenter);
    Pen->SetWidth(p);
    Canvas->MoveTo(Last, Tb);
    Canvas->LineTo(Last, B);
    R = Rect(R.Left, Tb, Last, LabelsAbove ? Tb + TextH - 2 : L + TextH);
}

void IcDrawHPointer(TCanvas* Canvas, const TRect& R, int PPT, int HalfWidth, int Length, bool /*Unused*/)
{
    const TPoint Tip = Point(R.Left + IcRound(PPT * static_cast<long double>(R.Right - R.Left) / 1000), R.Top);
    Canvas->Polygon({Tip, {Tip.X - HalfWidth, R.Top + Length}, {Tip.X + HalfWidth, R.Top + Length}});
}

void IcArrowSettings(TPoint& Header, int /*N*/, uint8_t B0, uint8_t B1, uint8_t B2, uint8_t B3)
{
    Header.X = B0 | (B1 << 8);
    Header.Y = B2 | (B3 << 8);
}

void IcArrowDraw(TCanvas* Canvas, float Angle, std::span<const TPoint> Src, std::span<TPoint> Dst, bool Clockwise)
{
    if (Src.size() < 2 || Dst.size() < 2)
        return;
    // The header's count never reaches past either list.
    const size_t n = std::min({static_cast<size_t>(Src[0].X & 0xFF), Src.size() - 1, Dst.size() - 1});
    Dst[0] = Src[0];
    Dst[1] = Src[1];
    for (size_t i = 2; i <= n; ++i)
        Dst[i] = IcRotate(Src[i], Src[1], Angle, Clockwise);
    if (Canvas && n >= 2)
        Canvas->Polygon(Dst.data() + 2, static_cast<int>(n - 1));
}

float IcGetAngle(const TPoint& P, const TPoint& Center)
{
    double a;
    if (P.Y == Center.Y)
        a = Center.X > P.X ? Pi / 2 : -Pi / 2;
    else if (P.Y > Center.Y)
        a = std::atan((P.X - Center.X) / (Center.Y - P.Y + 0.0001));
    else if (Center.X > P.X)
        a = Pi - std::atan((Center.X - P.X) / (Center.Y - P.Y + 0.0001));
    else
        a = -std::atan((Center.X - P.X) / (Center.Y - P.Y + 0.0001)) - Pi;
    return static_cast<float>(a * 180.0 / Pi + 180.0);
}

bool IcInCircle(int X, int Y, const TRect& R)
{
    const double cx = (R.Left + R.Right) / 2.0;
    const double cy = (R.Top + R.Bottom) / 2.0;
    return std::hypot(X - cx, Y - cy) <= (R.Right - R.Left) / 2.0;
}

TRect IcMakeSquare(const TRect& R)
{
    const int s = std::min(R.Width(), R.Height());
    return Rect(R.Left, R.Top, R.Left + s, R.Top + s);
}

TRect IcMakeCenterSquare(const TRect& R)
{
    const int s = std::min(R.Width(), R.Height());
    const int x = R.Left + (R.Width() - s) / 2;
    const int y = R.Top + (R.Height() - s) / 2;
    return Rect(x, y, x + s, y + s);
}
