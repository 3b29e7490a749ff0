// Chart fonts and text output: shadowed, outlined, gradient-filled, rotated
// and zoomed text.
#include "chart/ChCanvas.h"

#include <algorithm>
#include <cmath>

namespace {

int MulDiv(int Number, int Numerator, int Denominator)
{
    return ChRound(static_cast<double>(Number) * Numerator / Denominator);
}

} // namespace

// ------------------------------------------------------------------ TChFont

TChFont::TChFont(TNotifyEvent AOnChange)
{
    ChCanvasStartUp();
    SetColor(clBlack);
    if (Charset() != DEFAULT_CHARSET)
        SetCharset(DEFAULT_CHARSET);
    SetName(GetDefaultFontName);
    if (Size() != GetDefaultFontSize)
        SetSize(GetDefaultFontSize);
    OnChange = std::move(AOnChange);
}

TChFont::~TChFont()
{
    TChCanvas::ForgetFont(this);
}

void TChFont::Assign(TPersistent* Source)
{
    if (auto* Other = dynamic_cast<TChFont*>(Source)) {
        if (Other != this) {
            SetGradient(Other->FGradient.get());
            SetOutLine(Other->FOutLine.get());
            SetShadow(Other->FShadow.get());
            FInterCharSize = Other->FInterCharSize;
        }
    }
    TFont::Assign(Source);
}

namespace {

// Sub-objects of a font report their changes through the font's own event.
template <class T> T* CreatedOnce(std::unique_ptr<T>& Field, TChFont* Font)
{
    if (!Field)
        Field = std::make_unique<T>([Font](TObject* Sender) {
            if (Font->OnChange)
                Font->OnChange(Sender);
        });
    return Field.get();
}

template <class T> void AssignOrFree(std::unique_ptr<T>& Field, T* Value, TChFont* Font)
{
    if (Value == nullptr)
        Field.reset();
    else
        CreatedOnce(Field, Font)->Assign(Value);
}

} // namespace

TChFontGradient* TChFont::Gradient() { return CreatedOnce(FGradient, this); }
void TChFont::SetGradient(TChFontGradient* Value) { AssignOrFree(FGradient, Value, this); }
TChartHiddenPen* TChFont::OutLine() { return CreatedOnce(FOutLine, this); }
void TChFont::SetOutLine(TChartHiddenPen* Value) { AssignOrFree(FOutLine, Value, this); }
TChShadow* TChFont::Shadow() { return CreatedOnce(FShadow, this); }
void TChFont::SetShadow(TChShadow* Value) { AssignOrFree(FShadow, Value, this); }

void TChFont::SetInterCharSize(int Value)
{
    if (FInterCharSize != Value) {
        FInterCharSize = Value;
        if (OnChange)
            OnChange(this);
    }
}

// ------------------------------------------------------------------ applying a font

void TChCanvas::AssignFont(TChFont* AFont)
{
    AFont->SetPixelsPerInch(Font->PixelsPerInch());
    Font->Assign(AFont);
    if (FontZoomFactor != 100)
        Font->SetSize(ChRound(Font->Size() * FontZoomFactor * 0.01));
    if (Monochrome())
        Font->SetColor(clBlack);
    if (ReferenceCanvas->TextCharacterExtra() != AFont->InterCharSize())
        ReferenceCanvas->SetTextCharacterExtra(AFont->InterCharSize());
    CurrentFont = AFont;
    AFont->Canvas = this;
}

// ------------------------------------------------------------------ text output

namespace {

// The rectangle Text covers at (X, Y) under the canvas's alignment.
TRect TextBounds(TChCanvas* Canvas, int X, int Y, const std::string& Text)
{
    const int W = Canvas->TextWidth(Text);
    const int H = Canvas->TextHeight(Text);
    int A = Canvas->TextAlign();
    if (A > 7)
        A -= 8;
    TRect R{X, Y, X + W, Y + H};
    if (A == static_cast<int>(TA_RIGHT)) {
        R.Left = X - W;
        R.Right = X;
    } else if (A == static_cast<int>(TA_CENTER)) {
        R.Left = X - W / 2;
        R.Right = X + W / 2;
    }
    return R;
}

} // namespace

void TChCanvas3D::TextOut(int X, int Y, const std::string& Text)
{
    const TColor FontColor = Font->Color();
    int TX = X, TY = Y;
    TChFont* ChFont = CurrentFont;
    if (ChFont != nullptr && ChFont->HasShadow()) {
        TChShadow* Shadow = ChFont->Shadow();
        const int H = Shadow->HorizSize(), V = Shadow->VertSize();
        if ((H != 0 || V != 0) && Shadow->Color() != clNone) {
            int SX = X, SY = Y;
            if (H >= 0)
                SX = X + H;
            else
                TX = X - H;
            if (V >= 0)
                SY = Y + V;
            else
                TY = Y - V;
            TChBlend* Blend = nullptr;
            if (Shadow->Transparency() > 0)
                Blend = BeginBlending(TextBounds(this, SX, SY, Text), Shadow->Transparency());
            Font->SetColor(Shadow->Color());
            ReferenceCanvas->TextOut(SX, SY, Text);
            if (Blend != nullptr)
                EndBlending(Blend);
        }
    }
    Font->SetColor(FontColor);

    const bool Outlined = ChFont != nullptr && ChFont->HasOutLine() && ChFont->OutLine()->Visible();
    const bool Gradient = ChFont != nullptr && ChFont->HasGradient() && ChFont->Gradient()->Visible();
    if (!Outlined && !Gradient) {
        ReferenceCanvas->TextOut(TX, TY, Text);
        return;
    }

    if (Outlined)
        AssignVisiblePen(ChFont->OutLine());
    else
        Pen->SetStyle(psClear);
    Brush->SetBitmap(nullptr);
    Brush->SetStyle(bsSolid);
    Brush->SetColor(FontColor);
    SetBackMode(cbmTransparent);
    auto GlyphPath = [&]() {
        ReferenceCanvas->BeginPath();
        ReferenceCanvas->TextOut(TX, TY, Text);
        ReferenceCanvas->EndPath();
    };
    GlyphPath();
    if (Gradient) {
        TChFontGradient* Fill = ChFont->Gradient();
        if (Fill->Outline())
            ReferenceCanvas->WidenPath();
        TRegion Before;
        const bool HadClip = ReferenceCanvas->GetClipRegion(Before);
        ReferenceCanvas->SelectClipPath(RGN_AND);
        Fill->Draw(this, TextBounds(this, TX, TY, Text), 0);
        ReferenceCanvas->SelectClipRegion(HadClip ? &Before : nullptr);
        if (Fill->Outline() || !Outlined)
            return;
        GlyphPath();
        Brush->SetStyle(bsClear);
    }
    if (FontColor == clNone)
        ReferenceCanvas->StrokePath();
    else
        ReferenceCanvas->StrokeAndFillPath();
}

void TChCanvas3D::RotateLabel(int X, int Y, const std::string& Text, double Angle)
{
    while (Angle > 360)
        Angle -= 360;
    while (Angle < 0)
        Angle += 360;
    Brush->SetStyle(bsClear);
    const int OldOrientation = Font->Orientation();
    const int OldHeight = Font->Height();
    Font->SetOrientation(ChRound(Angle * 10));
    if (ZoomFonts && ZoomScale != 1 && ZoomScale > 0)
        Font->SetHeight(-MulDiv(std::max(ChRound(Font->Size() * ZoomScale), 1), Font->PixelsPerInch(), 72));
    TextOut(X, Y, Text);
    Font->SetHeight(OldHeight);
    Font->SetOrientation(OldOrientation);
}

void TChCanvas3D::TextOut3D(int X, int Y, int Z, const std::string& Text)
{
    const TPoint P = Calculate3DPosition(X, Y, Z);
    if (!ZoomFonts || ZoomScale == 1 || ZoomScale <= 0) {
        TextOut(P.X, P.Y, Text);
        return;
    }
    const int Size = std::max(ChRound(Font->Size() * ZoomScale), 1);
    if (Size == Font->Size()) {
        TextOut(P.X, P.Y, Text);
        return;
    }
    const int OldHeight = Font->Height();
    Font->SetHeight(-MulDiv(Size, Font->PixelsPerInch(), 72));
    TextOut(P.X, P.Y, Text);
    Font->SetHeight(OldHeight);
}

void TChCanvas3D::RotateLabel3D(int X, int Y, int Z, const std::string& Text, double Angle)
{
    const TPoint P = Calculate3DPosition(X, Y, Z);
    RotateLabel(P.X, P.Y, Text, Angle);
}
