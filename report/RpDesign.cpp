#include "report/RpDesign.h"

#include "platform/Controls.h"
#include "platform/Metafile.h"

#include <cmath>

namespace {

const TRpDesignScheme HiColor{psSolid, psSolid,  0xF9F9F9, 0xF0F0F0, "Small Fonts", 0x707070, 6,
                              psDot,   0xFF8080, psDot,    0x606060};
const TRpDesignScheme LoColor{psDot,   psSolid,  0xC0C0C0, 0xC0C0C0, "Small Fonts", 0xC0C0C0, 6,
                              psDash,  0x808080, psSolid,  0x808080};

const TRpDesignScheme* Scheme = &HiColor;

int RoundI(long double V) { return static_cast<int>(std::llround(V)); }

void SetLinePen(TCanvas* C, bool Major)
{
    C->Pen()->SetStyle(Major ? Scheme->MajorStyle : Scheme->MinorStyle);
    C->Pen()->SetColor(Major ? Scheme->MajorColor : Scheme->MinorColor);
}

void VLine(TCanvas* C, int X, int H)
{
    C->MoveTo(X, 0);
    C->LineTo(X, H);
}

void HLine(TCanvas* C, int Y, int W)
{
    C->MoveTo(0, Y);
    C->LineTo(W, Y);
}

void FillBackground(TWinControl* Panel, TCanvas* C)
{
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Panel->Enabled() ? Panel->Color() : clSilver);
    C->FillRect(Rect(0, 0, Panel->Width(), Panel->Height()));
    C->Brush()->SetStyle(bsClear);
}

int AbsoluteFontSize(TCustomRpReport* Report) { return std::abs(Report->Font()->Size()); }

// The page value Index (see TRpPage::GetValue) in screen pixels.
long double PagePixels(TRpPage* Page, int Index, bool Horizontal)
{
    return Page->LoadUnit(TRpUnit::Pixels, Horizontal, Page->NativeValue(Index));
}

}  // namespace

const TRpDesignScheme& RpDesignScheme() { return *Scheme; }
void SetRpHiColor() { Scheme = &HiColor; }
void SetRpLoColor() { Scheme = &LoColor; }

void RpPaintRuler(TCanvas* C, int W, int H, int PPI, int Zoom, TRpUnit Units, int RulerFontSize, bool Labels)
{
    if (Zoom <= 0 || PPI <= 0)
        return;
    C->Font()->SetName(Scheme->RulerFontName);
    C->Font()->SetSize(Scheme->RulerFontSize);
    C->Font()->SetColor(Scheme->TextColor);
    C->Brush()->SetStyle(bsClear);
    C->Pen()->SetColor(clSilver);
    C->Pen()->SetWidth(1);
    switch (Units) {
    case TRpUnit::Inches: {
        const long double Step = PPI / 4.0L * Zoom / 100;
        int N = RoundI(static_cast<long double>(W) / PPI / Zoom * 400);
        for (int I = 1; I <= N; ++I) {
            const bool Major = I % 4 == 0;
            if (!Major && Zoom <= 49)
                continue;
            SetLinePen(C, Major);
            const int X = RoundI(I * Step);
            VLine(C, X, H);
            if (Major && Labels)
                C->TextOut(X + 2, 2, std::to_string(I / 4));
        }
        N = RoundI(static_cast<long double>(H) / PPI / Zoom * 400);
        for (int I = 1; I <= N; ++I) {
            const bool Major = I % 4 == 0;
            if (!Major && Zoom <= 49)
                continue;
            SetLinePen(C, Major);
            const int Y = RoundI(I * Step);
            HLine(C, Y, W);
            if (Major && Labels)
                C->TextOut(2, Y + 2, std::to_string(I / 4));
        }
        break;
    }
    case TRpUnit::MM: {
        const long double K = 5.08L * 100 / (static_cast<long double>(PPI) * Zoom);
        int N = RoundI(W * K);
        for (int I = 1; I <= N; ++I) {
            const bool Major = I % 2 == 0;
            if (!Major && Zoom <= 59)
                continue;
            SetLinePen(C, Major);
            const int X = RoundI(I / K);
            VLine(C, X, H);
            if (Major && Labels && Zoom > 59)
                C->TextOut(X + 2, 2, std::to_string(I / 2));
        }
        N = RoundI(H * K);
        for (int I = 1; I <= N; ++I) {
            const bool Major = I % 2 == 0;
            if (!Major && Zoom <= 59)
                continue;
            SetLinePen(C, Major);
            const int Y = RoundI(I / K);
            HLine(C, Y, W);
            if (Major && Labels && Zoom > 59)
                C->TextOut(2, Y + 2, std::to_string(I / 2));
        }
        break;
    }
    case TRpUnit::Characters: {
        const int Size = RulerFontSize == 0 ? 1 : RulerFontSize;
        C->Pen()->SetStyle(psDot);
        const long double Cw = 80.0L / Size / 2.54L, Rh = 145.3L / Size / 2.54L;
        int N = RoundI(static_cast<long double>(W) / PPI * 25.4L / Cw / 10);
        for (int I = 1; I <= N; ++I) {
            const int X = RoundI(Cw * I * PPI / 2.54L);
            VLine(C, X, H);
            if (Labels)
                C->TextOut(X + 2, 2, std::to_string(I * 10));
        }
        N = RoundI(static_cast<long double>(H) / PPI * 25.4L / Rh);
        for (int I = 1; I <= N; ++I) {
            const int Y = RoundI(Rh * I * PPI / 25.4L);
            HLine(C, Y, W);
            if (Labels)
                C->TextOut(2, Y + 2, std::to_string(I));
        }
        break;
    }
    case TRpUnit::Pixels:
    case TRpUnit::Native:
        break;
    }
    C->Pen()->SetStyle(psSolid);
}

void RpPaintReportMargins(TCustomRpReport* Report, TCanvas* C)
{
    TRpPage* P = Report->Page();
    C->Pen()->SetStyle(Scheme->MarginStyle);
    C->Pen()->SetColor(Scheme->MarginColor);
    C->Pen()->SetWidth(1);
    C->Brush()->SetStyle(bsClear);
    C->Rectangle(RoundI(PagePixels(P, 4, true)), RoundI(PagePixels(P, 2, false)),
                 Report->Width() - RoundI(PagePixels(P, 5, true)),
                 Report->Height() - RoundI(PagePixels(P, 0, false)));
    C->Pen()->SetStyle(psSolid);
}

void RpPaintReportFrame(TCustomRpReport* Report, TCanvas* C)
{
    TRpFrame* F = Report->Frame();
    if (!F || !F->AnyFrame())
        return;
    TRpPage* P = Report->Page();
    F->SetPen(C->Pen());
    const int L = RoundI(PagePixels(P, 4, true)), T = RoundI(PagePixels(P, 2, false));
    const int R = RoundI(PagePixels(P, 3, true) - PagePixels(P, 5, true));
    const int B = RoundI(PagePixels(P, 1, false) - PagePixels(P, 0, false));
    auto Line = [C](int X1, int Y1, int X2, int Y2) {
        C->MoveTo(X1, Y1);
        C->LineTo(X2, Y2);
    };
    if (F->DrawTop())
        Line(L, T, R - 1, T);
    if (F->DrawBottom())
        Line(L, B - 1, R - 1, B - 1);
    if (F->DrawLeft())
        Line(L, T, L, B - 1);
    if (F->DrawRight())
        Line(R - 1, T, R - 1, B - 1);
    C->Pen()->SetStyle(psSolid);
}

void RpPaintReportColumns(TCustomRpReport* Report, TCanvas* C)
{
    TRpPage* P = Report->Page();
    const int Columns = P->Columns();
    if (Columns < 2)
        return;
    C->Pen()->SetWidth(1);
    C->Pen()->SetStyle(Scheme->MarginStyle);
    C->Pen()->SetColor(Scheme->MarginColor);
    const long double Left = PagePixels(P, 4, true), Space = PagePixels(P, 6, true);
    const long double Top = PagePixels(P, 2, false);
    const int Hc = RoundI((PagePixels(P, 3, true) - Left - PagePixels(P, 5, true) - Space * (Columns - 1)) / Columns);
    for (int G = 1; G < Columns; ++G) {
        const int EndX = RoundI(Left + static_cast<long double>(Hc) * G + Space * (G - 1));
        const int StartX = RoundI(Left + (Space + Hc) * G);
        C->MoveTo(EndX, 0);
        C->LineTo(EndX, RoundI(Top));
        C->MoveTo(StartX, 0);
        C->LineTo(StartX, RoundI(Top));
    }
    C->Pen()->SetStyle(psSolid);
}

void RpPaintReportDesign(TCustomRpReport* Report, TCanvas* C)
{
    FillBackground(Report, C);
    if (Report->Page()->Ruler())
        RpPaintRuler(C, Report->Width(), Report->Height(), Screen->PixelsPerInch(), Report->Zoom(),
                     Report->Units(), AbsoluteFontSize(Report), true);
    RpPaintReportMargins(Report, C);
    RpPaintReportFrame(Report, C);
    RpPaintReportColumns(Report, C);
}

namespace {

// A band's outline, frame and caption over its background and ruler.
void PaintBandOutline(TRpCustomBand* Band, TCanvas* C)
{
    const int W = Band->Width(), H = Band->Height();
    C->Pen()->SetStyle(Scheme->BandStyle);
    C->Pen()->SetColor(Scheme->BandColor);
    C->Pen()->SetWidth(1);
    C->MoveTo(0, 0);
    C->LineTo(W, 0);
    C->MoveTo(0, H - 1);
    C->LineTo(W - 1, H - 1);
    C->MoveTo(0, 0);
    C->LineTo(0, H - 1);
    C->MoveTo(W - 1, 0);
    C->LineTo(W - 1, H - 1);
    C->Pen()->SetStyle(psSolid);
    if (Band->Frame()) {
        const long double Scale = Screen->PixelsPerInch() / 254.0L;
        Band->Frame()->PaintIt(C, Rect(0, 0, W - 1, H - 1), Scale, Scale);
    }
    std::string Caption;
    Band->BandTypeName(Caption);
    C->Font()->SetName(Scheme->RulerFontName);
    C->Font()->SetSize(Scheme->RulerFontSize);
    C->Font()->SetColor(Scheme->TextColor);
    C->Brush()->SetStyle(bsClear);
    C->TextOut(2, H - C->TextHeight("W") - 4, Caption);
}

}  // namespace

void RpPaintBandDesign(TRpCustomBand* Band, TCanvas* C)
{
    FillBackground(Band, C);
    TCustomRpReport* Report = Band->Report();
    if (Report && Report->Page()->Ruler())
        RpPaintRuler(C, Band->Width(), Band->Height(), Screen->PixelsPerInch(), Band->Zoom(), Report->Units(),
                     AbsoluteFontSize(Report), false);
    PaintBandOutline(Band, C);
}

// ------------------------------------------------- the controls' own painting

void TRpBasePanel::PaintRuler(TRpUnit Units)
{
    if (TCanvas* C = Canvas())
        RpPaintRuler(C, Width(), Height(), Screen->PixelsPerInch(), Zoom(), Units, FRulerFontSize,
                     dynamic_cast<TCustomRpReport*>(this) != nullptr);
}

void TCustomRpReport::Paint()
{
    TRpBasePanel::Paint();
    FRepaintPending = false;
    if (!Canvas())
        return;
    if (FPageImage)
        Canvas()->StretchDraw(ClientRect(), FPageImage.get());
    if (FPage->Ruler())
        PaintRuler(Units());
    PaintMargins();
    PaintFrame();
    PaintColumns();
}

void TCustomRpReport::PaintRuler(TRpUnit Units)
{
    FRulerFontSize = AbsoluteFontSize(this);
    TRpBasePanel::PaintRuler(Units);
}

void TCustomRpReport::PaintMargins() { RpPaintReportMargins(this, Canvas()); }
void TCustomRpReport::PaintFrame() { RpPaintReportFrame(this, Canvas()); }
void TCustomRpReport::PaintColumns() { RpPaintReportColumns(this, Canvas()); }

void TRpCustomBand::Paint()
{
    TRpBasePanel::Paint();
    TCanvas* C = Canvas();
    if (!C)
        return;
    if (Report() && Report()->Page()->Ruler())
        PaintRuler(Report()->Units());
    PaintBandOutline(this, C);
}

void TRpCustomBand::PaintRuler(TRpUnit Units)
{
    if (Report())
        FRulerFontSize = AbsoluteFontSize(Report());
    TRpBasePanel::PaintRuler(Units);
}
