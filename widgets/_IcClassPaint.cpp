#include "widgets/_IcClassPaint.h"

#include "platform/ScopeGuard.h"
#include "platform/SysUtils.h"

#include <algorithm>

namespace {

// Clips Canvas to the ellipse in R for the scope.
class TEllipseClip {
public:
    TEllipseClip(TCanvas* Canvas, const TRect& R) : FCanvas(Canvas), FSaved(Canvas->SaveClip())
    {
        Canvas->SelectClipEllipse(R);
    }
    ~TEllipseClip() { FCanvas->RestoreClip(FSaved); }
    TEllipseClip(const TEllipseClip&) = delete;
    TEllipseClip& operator=(const TEllipseClip&) = delete;

private:
    TCanvas* FCanvas;
    TCanvas::TClipState FSaved;
};

}  // namespace

// --------------------------------------------------------------- TIcValInd

TIcValInd::TIcValInd()
{
    FBevel.SetColorFrom(RGB(115, 115, 115));
    FBevel.SetColorTo(clWhite);
    FFont.SetColor(clLime);
    FFont.SetName("Arial");
    FFont.SetStyle({fsBold});
    FFont.SetSize(10);
    FFont.KeepAsDefaults();
    IcBindChange(FBevel, *this);
    IcBindChange(FCaption, *this);
    IcBindChange(FFont, *this);
    IcBindChange(FTxtSpacing, *this);
}

void TIcValInd::SetFont(TFont* Value)
{
    if (Value && Value != &FFont)
        FFont.Assign(Value);
}

void TIcValInd::Draw(TCanvas* Canvas, const TPoint& P, toPos Pos)
{
    if (!FVisible || !Canvas)
        return;
    Canvas->Font()->Assign(&FFont);
    const int h = Canvas->TextHeight(FFormatStr);
    FTextMargin = h / 7;
    const int Bw = FBevel.Width();
    const int W = Canvas->TextWidth(FFormatStr) + 2 * Bw + 2 * FTextMargin + FTxtSpacing.Left() + FTxtSpacing.Right();
    const int H = h + 2 * Bw + FTxtSpacing.Top() + FTxtSpacing.Bottom();
    const int x = FOffsetX + P.X;
    const int y = FOffsetY + P.Y;
    const int Left = Pos % 3 == 0 ? x + 1 : Pos % 3 == 1 ? x + 1 - W / 2 : x - W + 1;
    const int Top = Pos / 3 == 0 ? y : Pos / 3 == 1 ? y - H / 2 : y - H;
    TRect Box = Bounds(Left, Top, W, H);
    FValueRect = Box;

    if (FCaption.Visible()) {
        // The caption sits against the box: its anchor is the opposite point.
        Canvas->Font()->Assign(FCaption.Font());
        Canvas->Brush()->SetStyle(bsClear);
        const int Cx = Box.Left + W / 2 + FCaption.OffsetX();
        const int Cy = Box.Top + H / 2 + FCaption.OffsetY();
        const int L = Box.Left + FCaption.OffsetX();
        const int R = Box.Right + FCaption.OffsetX();
        const int T = Box.Top + FCaption.OffsetY();
        const int B = Box.Bottom + FCaption.OffsetY();
        const std::string& S = FCaption.Text();
        switch (FCaption.Pos()) {
        case toTopLeft: IcTextOut(Canvas, L, T, S, toBotLeft); break;
        case toTopCenter: IcTextOut(Canvas, Cx, T, S, toBotCenter); break;
        case toTopRight: IcTextOut(Canvas, R, T, S, toBotRight); break;
        case toMidLeft: IcTextOut(Canvas, L - 1, Cy, S, toMidRight); break;
        case toMidCenter: IcTextOut(Canvas, Cx, Cy, S, toMidCenter); break;
        case toMidRight: IcTextOut(Canvas, R, Cy, S, toMidLeft); break;
        case toBotLeft: IcTextOut(Canvas, L, B, S, toTopLeft); break;
        case toBotCenter: IcTextOut(Canvas, Cx, B, S, toTopCenter); break;
        case toBotRight: IcTextOut(Canvas, R, B, S, toTopRight); break;
        }
        Canvas->Font()->Assign(&FFont);
    }

    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(FColor);
    Canvas->FillRect(Box);
    Frame3D(Canvas, Box, FBevel.ColorFrom(), FBevel.ColorTo(), Bw);
    // The format itself stands in for the value until DrawValue.
    IcTextOut(Canvas, Box.Right - FTextMargin + 1 - FTxtSpacing.Right(), Box.Top + FTxtSpacing.Top(), FFormatStr,
              toTopRight);
    FValueRect = FTxtSpacing.SetOffset(Box);
}

void TIcValInd::DrawValue(TCanvas* Canvas, double Value)
{
    if (!FVisible || !Canvas || FValueRect.IsEmpty())
        return;
    const int W = FValueRect.Width();
    const int H = FValueRect.Height();
    FValueBitmap.SetSize(W, H);
    TCanvas* C = FValueBitmap.Canvas();
    if (!C->Font()->SameAs(FFont))
        C->Font()->Assign(&FFont);
    C->Pen()->SetColor(FColor);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(FColor);
    C->FillRect(Rect(0, 0, W, H));
    IcTextOut(C, W - FTextMargin + 1, 0, FormatFloat(FFormatStr, Value), toTopRight);
    Canvas->Draw(FValueRect.Left, FValueRect.Top, &FValueBitmap);
}

// --------------------------------------------------------------- TIcSBevel

TIcSBevel::TIcSBevel()
{
    FOffset.OnChange = [this](TObject* Sender) { ParamChange(Sender); };
    FSurfaceGrad.OnChange = [this](TObject* Sender) { ParamChange(Sender); };
    FBorderWidth = FSpacing + FWidth;
}

void TIcSBevel::SetWidth(int Value)
{
    if (Value >= 0)
        IcStoreChanged(*this, FWidth, Value);
}

void TIcSBevel::ParamChange(TObject* /*Sender*/)
{
    Change();
}

void TIcSBevel::Change()
{
    FBorderWidth = FSpacing + FWidth;
    if (FBevelLine == blOuter || FBevelLine == blInner)
        FBorderWidth += 1;
    else if (FBevelLine == blBoth)
        FBorderWidth += 2;
    if (FRound) {
        if (!FRoundFace)
            FRoundFace = std::make_unique<TBitmap>(30, 30);
        IcGradFill(FRoundFace->Canvas(), Rect(0, 0, 30, 30), FColorShadowFrom, FColorShadowTo, gsTopLeft);
    }
    TIcPersistent::Change();
}

void TIcSBevel::PaintGradBevel(TCanvas* Canvas, TRect& Rect, bool Raised, bool Fill, TColor Color)
{
    IcPaintGradFrames(Canvas, Rect, FWidth, FColorHighLightFrom, FColorHighLightTo, FColorShadowFrom, FColorShadowTo,
                      Raised, Fill, Color);
}

// The outline lines in PenColor (Rect inside the frame, shrunk past the
// inner line), then Spacing and Offset.
void TIcSBevel::PaintLines(TCanvas* Canvas, TRect& Rect, const TRect& Outer)
{
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetColor(FPenColor);
    Canvas->Brush()->SetStyle(bsClear);
    if (FBevelLine == blInner || FBevelLine == blBoth) {
        Canvas->Rectangle(Rect);
        IcBorder(Rect, 1);
    }
    if (FBevelLine == blOuter || FBevelLine == blBoth)
        Canvas->Rectangle(Outer);
    IcBorder(Rect, FSpacing);
    Rect = FOffset.SetOffset(Rect);
}

void TIcSBevel::PaintFilledBevel(TCanvas* Canvas, TRect& Rect)
{
    const TRect Outer = Rect;
    const int LineOffset = (FBevelLine == blOuter || FBevelLine == blBoth) ? 1 : 0;
    Canvas->Pen()->SetWidth(1);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(FColor);
    Canvas->FillRect(Rect);
    TRect Inner = Rect;
    IcBorder(Inner, FBorderWidth - FSpacing);
    IcBorder(Rect, LineOffset);
    PaintGradBevel(Canvas, Rect, FStyle == bsRaised, true, FColor);
    if (FSurfaceGrad.Visible())
        IcGradFill(Canvas, Inner, FSurfaceGrad.ColorFrom(), FSurfaceGrad.ColorTo(), FSurfaceGrad.Style());
    PaintLines(Canvas, Rect, Outer);
}

void TIcSBevel::PaintBevel(TCanvas* Canvas, TRect& Rect)
{
    const TRect Outer = Rect;
    const int LineOffset = (FBevelLine == blOuter || FBevelLine == blBoth) ? 1 : 0;
    Canvas->Brush()->SetStyle(bsClear);
    IcBorder(Rect, LineOffset);
    PaintGradBevel(Canvas, Rect, FStyle == bsRaised, false, FColor);
    PaintLines(Canvas, Rect, Outer);
}

void TIcSBevel::PaintRoundBevel(TCanvas* Canvas, TRect& Rect, int DX, int DY)
{
    if (!Canvas || Rect.Width() <= 4 || !FRound || !FRoundFace)
        return;
    const int d = Rect.Width();
    TBitmap Ring(d, d);
    TCanvas* C = Ring.Canvas();
    // Lowered: the shading turned upside down.
    C->StretchDraw(FStyle == bsLowered ? ::Rect(d, d, 0, 0) : ::Rect(0, 0, d, d), FRoundFace.get());
    TRect Face = ::Rect(0, 0, d, d);
    IcBorder(Face, FWidth);
    int Border = FWidth + FSpacing;
    C->Pen()->SetWidth(1);
    if (FBevelLine == blOuter || FBevelLine == blBoth) {
        C->Pen()->SetColor(FPenColor);
        C->Brush()->SetStyle(bsClear);
        C->Ellipse(0, 0, d, d);
        IcBorder(Face, 1);
        ++Border;
    }
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(FColor);
    if (FBevelLine == blInner || FBevelLine == blBoth) {
        C->Pen()->SetColor(FPenColor);
        ++Border;
    } else {
        C->Pen()->SetColor(FColor);
    }
    if (!FSurfaceGrad.Visible())
        C->Ellipse(Face);
    {
        TRect Clip = Rect;
        OffsetRect(Clip, DX, DY);
        ++Clip.Right;
        ++Clip.Bottom;
        TEllipseClip Round(Canvas, Clip);
        Canvas->StretchDraw(Rect, &Ring);
    }
    if (FSurfaceGrad.Visible()) {
        TRect Surface = Rect;
        IcBorder(Surface, FWidth);
        TRect Clip = Surface;
        OffsetRect(Clip, DX, DY);
        TEllipseClip Round(Canvas, Clip);
        IcGradFill(Canvas, Surface, FSurfaceGrad.ColorFrom(), FSurfaceGrad.ColorTo(), FSurfaceGrad.Style());
        if (FBevelLine == blInner || FBevelLine == blBoth) {
            Canvas->Pen()->SetWidth(1);
            Canvas->Pen()->SetColor(FPenColor);
            Canvas->Brush()->SetStyle(bsClear);
            Canvas->Ellipse(Surface);
        }
    }
    IcBorder(Rect, Border);
    Rect = FOffset.SetOffset(Rect);
}

void TIcSBevel::AssignTo(TPersistent* Dest)
{
    auto* D = dynamic_cast<TIcSBevel*>(Dest);
    if (!D) {
        TIcPersistent::AssignTo(Dest);
        return;
    }
    D->FStyle = FStyle;
    D->FSpacing = FSpacing;
    D->FBevelLine = FBevelLine;
    D->FWidth = FWidth;
    D->FColor = FColor;
    D->FColorShadowFrom = FColorShadowFrom;
    D->FColorShadowTo = FColorShadowTo;
    D->FColorHighLightFrom = FColorHighLightFrom;
    D->FColorHighLightTo = FColorHighLightTo;
    D->FPenColor = FPenColor;
    D->FOffset.Assign(&FOffset);
    D->FSurfaceGrad.Assign(&FSurfaceGrad);
    D->Change();
}

// ------------------------------------------------------------ TBarSettings

TBarSettings::TBarSettings()
{
    FFont.SetColor(clBtnHighlight);
    FFont.KeepAsDefaults();
    FBevel.SetStyle(bsLowered);
    FBevel.SetSpacing(0);
    FBevel.SetWidth(1);
    IcBindChange(FFont, *this);
    IcBindChange(FBevel, *this);
}

void TBarSettings::SetFont(TFont* Value)
{
    if (Value && Value != &FFont)
        FFont.Assign(Value);
}

void TBarSettings::SetBevel(TIcSBevel* Value)
{
    if (!Value || Value == &FBevel)
        return;
    FBevel.Assign(Value);
    Change();
}

void TBarSettings::SetMinWidth(int Value)
{
    if (Value <= 0)
        return;
    FMinWidth = Value;
    Change();
}

void TBarSettings::SetMinHeight(int Value)
{
    if (Value <= 0)
        return;
    FMinHeight = Value;
    Change();
}

void TBarSettings::PaintBar(TCanvas* Canvas, int PPT)
{
    Paint(Canvas, PPT, FBarRect.Height() >= FBarRect.Width());
}

void TBarSettings::PaintHBar(TCanvas* Canvas, int PPT)
{
    Paint(Canvas, PPT, false);
}

void TBarSettings::PaintVBar(TCanvas* Canvas, int PPT)
{
    Paint(Canvas, PPT, true);
}

void TBarSettings::Paint(TCanvas* Canvas, int PPT, bool Vertical)
{
    const int w = FBarRect.Right - FBarRect.Left;
    const int h = FBarRect.Bottom - FBarRect.Top;
    FBarWidth = w;
    FBarHeight = h;
    if (!Canvas || w <= 0 || h <= 0)
        return;
    // Positions beyond the scale are drawn at its ends.
    PPT = std::clamp(PPT, 0, 1000);
    const int Origin = std::clamp(FOrigin, 0, 1000);

    FBarBitmap.SetSize(w, h);
    TCanvas* C = FBarBitmap.Canvas();
    C->Pen()->SetWidth(1);
    C->Pen()->SetStyle(psSolid);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(FBkColor);
    C->FillRect(Rect(0, 0, w, h));
    const TColor Fill = FOptions.Contains(opUseSectorCol) ? FSectorColor : FColor;
    C->Pen()->SetColor(Fill);
    C->Brush()->SetColor(Fill);
    // Fills the positions From..To-1 along the bar (x, or y from the top).
    auto Span = [&](int From, int To) {
        if (From > To)
            std::swap(From, To);
        C->FillRect(Vertical ? Rect(0, From, w, To) : Rect(From, 0, To, h));
    };
    auto Separator = [&](int At) {
        C->MoveTo(Vertical ? 0 : At, Vertical ? At : 0);
        C->LineTo(Vertical ? w : At, Vertical ? At : h);
    };
    const int Len = Vertical ? h : w;
    auto At = [](int Value, float f) { return IcRound(Value * static_cast<double>(f)); };
    switch (FStyle) {
    case bsBar: {
        const float f = static_cast<float>(Len) / 1000.0f;
        const int End = At(PPT, f);
        const int Start = FOptions.Contains(opBidir) ? At(Origin, f) : 0;
        if (Vertical)
            Span(h - End, h - Start);
        else
            Span(Start, End);
        break;
    }
    case bsPoint: {
        const float f = static_cast<float>(Len - 3) / 1000.0f;
        const int x = At(PPT, f);
        if (Vertical)
            Span(h - x - 3, h - x);
        else
            Span(x, x + 3);
        break;
    }
    case bsLED_Bar: {
        const float f = static_cast<float>(Len) / 4000.0f;
        const int m = At(1000, f);
        const int n = At(PPT, f);
        if (n <= 0)
            break;
        if (Vertical) {
            const int Off = (h - 4 * m) / 2;
            Span(h - Off - 4 * n, h - Off - 1);
            C->Pen()->SetColor(FBkColor);
            for (int i = 1; i <= n; ++i)
                Separator(h - Off - 4 * i - 1);
        } else {
            const int x0 = (w + 1 - 4 * m) / 2;
            Span(x0, x0 + 4 * n);
            C->Pen()->SetColor(FBkColor);
            for (int i = 1; i <= n; ++i)
                Separator(x0 + 4 * i - 1);
        }
        break;
    }
    }
    if (FOptions.Contains(opValue))
        PaintText(Vertical);
    Canvas->Draw(FBarRect.Left, FBarRect.Top, &FBarBitmap);
}

// The value text XORed over the bar: it shows inverted against bar and
// background alike.
void TBarSettings::PaintText(bool Vertical)
{
    const int w = FBarBitmap.Width();
    const int h = FBarBitmap.Height();
    FTextBitmap.SetSize(w, h);
    TCanvas* T = FTextBitmap.Canvas();
    T->Brush()->SetStyle(bsSolid);
    T->Brush()->SetColor(clBlack);
    T->FillRect(Rect(0, 0, w, h));
    if (!T->Font()->SameAs(FFont))
        T->Font()->Assign(&FFont);
    T->Font()->SetColor(clBtnHighlight);
    T->Brush()->SetStyle(bsClear);
    const int Cx = w / 2;
    const int Cy = h / 2;
    const bool WithUnit = FOptions.Contains(opUnit);
    if (!Vertical) {
        IcTextOut(T, Cx, Cy, WithUnit ? FValueText + " " + FUnitText : FValueText, toMidCenter);
    } else if (WithUnit) {
        IcTextOut(T, Cx, Cy, FValueText, toBotCenter);
        IcTextOut(T, Cx, Cy, FUnitText, toTopCenter);
    } else {
        IcTextOut(T, Cx, Cy, FValueText, toMidCenter);
    }
    TCanvas* C = FBarBitmap.Canvas();
    C->SetCopyMode(cmSrcInvert);
    TScopeExit Copy([C] { C->SetCopyMode(cmSrcCopy); });
    C->Draw(0, 0, &FTextBitmap);
}

void TBarSettings::AssignTo(TPersistent* Dest)
{
    auto* D = dynamic_cast<TBarSettings*>(Dest);
    if (!D) {
        TIcPersistent::AssignTo(Dest);
        return;
    }
    D->FColor = FColor;
    D->FBkColor = FBkColor;
    D->FFont.Assign(&FFont);
    D->FOptions = FOptions;
    D->FStyle = FStyle;
    D->FBevel.Assign(&FBevel);
    D->FMinWidth = FMinWidth;
    D->FMinHeight = FMinHeight;
    D->Change();
}
