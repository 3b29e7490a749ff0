// Units and page settings, and the size objects of printables and bands.
#include "report/RpReport.h"

#include "platform/SysUtils.h"
#include "report/Rp4const.h"

#include <cmath>

bool RpUsMeasurement()
{
    static const bool Us = LocaleMeasuresInInches();
    return Us;
}

// ------------------------------------------------------------------ unit base

TRpUnitBase::TRpUnitBase()
    : FScreenPPI(Screen ? Screen->PixelsPerInch() : 96),
      FDisplayUnits(RpUsMeasurement() ? TRpUnit::Inches : TRpUnit::MM),
      FSavedUnits(FDisplayUnits)
{
}

long double TRpUnitBase::CharacterFontSize() const
{
    // A font of size 0 counts as 1 point (no division by zero).
    long double S = FUnitReport ? std::fabs(static_cast<long double>(FUnitReport->Font()->Size())) : 10.0L;
    return S == 0 ? 1.0L : S;
}

long double TRpUnitBase::LoadUnit(TRpUnit AUnits, bool Horizontal, long double Value) const
{
    switch (AUnits) {
    case TRpUnit::MM:
        return Value / 10;
    case TRpUnit::Inches:
        return Value / 254;
    case TRpUnit::Pixels:
        return Value / (254.0L / FScreenPPI) * FUnitZoom / 100;
    case TRpUnit::Characters: {
        const long double S = CharacterFontSize();
        return Horizontal ? Value / (80 / S / 2.54L) / 10 : Value / (145.3L / S / 2.54L) / 10;
    }
    case TRpUnit::Native:
        break;
    }
    return Value;
}

long double TRpUnitBase::SaveUnit(TRpUnit AUnits, bool Horizontal, long double Value) const
{
    switch (AUnits) {
    case TRpUnit::MM:
        return Value * 10;
    case TRpUnit::Inches:
        return Value * 254;
    case TRpUnit::Pixels:
        return Value * (254.0L / FScreenPPI) * 100 / FUnitZoom;
    case TRpUnit::Characters: {
        const long double S = CharacterFontSize();
        return Horizontal ? Value * 10 * (80 / S / 2.54L) : Value * 10 * (145.3L / S / 2.54L);
    }
    case TRpUnit::Native:
        break;
    }
    return Value;
}

void TRpUnitBase::SetPixels()
{
    FSavedUnits = GetUnits();
    SetUnits(TRpUnit::Pixels);
}

void TRpUnitBase::RestoreUnit() { SetUnits(FSavedUnits); }

// ------------------------------------------------------------------- the page

TRpPage::TRpPage(TCustomRpReport* Report) : FReport(Report)
{
    FUnitReport = Report;
    if (RpUsMeasurement()) {
        FDisplayUnits = TRpUnit::Inches;
        SetPaperSize(TRpPaperSize::Letter);
        FTopMargin = FBottomMargin = FRightMargin = FLeftMargin = 127;
    } else {
        FDisplayUnits = TRpUnit::MM;
        SetPaperSize(TRpPaperSize::A4);
        FTopMargin = FBottomMargin = FRightMargin = FLeftMargin = 100;
    }
    FSavedUnits = FDisplayUnits;
}

long double& TRpPage::Field(int Index)
{
    switch (Index) {
    case 0: return FBottomMargin;
    case 1: return FLength;
    case 2: return FTopMargin;
    case 3: return FWidth;
    case 4: return FLeftMargin;
    case 5: return FRightMargin;
    default: return FColumnSpace;
    }
}

long double TRpPage::FieldValue(int Index) const { return const_cast<TRpPage*>(this)->Field(Index); }

long double TRpPage::GetValue(int Index) const
{
    const bool Horizontal = Index == 3 || Index == 4 || Index == 5 || Index > 5;
    return LoadUnit(FDisplayUnits, Horizontal, FieldValue(Index));
}

void TRpPage::SetValue(int Index, long double Value)
{
    if ((Index == 1 || Index == 3) && FPaperSize != TRpPaperSize::Custom)
        return;
    const bool Horizontal = Index == 3 || Index == 4 || Index == 5 || Index > 5;
    Field(Index) = SaveUnit(FDisplayUnits, Horizontal, Value);
    if (Index == 0 || Index == 1 || Index == 3) {
        SetParentSizes();
        PlaceBands();
    } else {
        PlaceBands();
        if (FReport)
            FReport->Invalidate();
    }
}

void TRpPage::PlaceBands()
{
    if (FReport)
        FReport->SetBandValues();
}

void TRpPage::SetColumns(int32_t Value)
{
    if (Value == FColumns || Value < 1)
        return;
    FColumns = Value;
    PlaceBands();
    if (FReport)
        FReport->Invalidate();
}

void TRpPage::SetOrientation(TPrinterOrientation Value)
{
    FOrientation = Value;
    SetPaperSize(FPaperSize);
}

void TRpPage::SetPaperSize(TRpPaperSize Value)
{
    if (Value == TRpPaperSize::Default || Value == TRpPaperSize::Custom) {
        FPaperSize = Value;
        return;
    }
    const TRpUnit Saved = FDisplayUnits;
    FDisplayUnits = TRpUnit::MM;
    FPaperSize = TRpPaperSize::Custom;   // so that the dimensions may be written
    const long double* Metrics = cRpPaperSizeMetrics[static_cast<int>(Value) - 1];
    const bool Landscape = FOrientation == poLandscape;
    SetWidth(Landscape ? Metrics[1] : Metrics[0]);
    SetLength(Landscape ? Metrics[0] : Metrics[1]);
    FDisplayUnits = Saved;
    PlaceBands();
    FPaperSize = Value;
}

void TRpPage::SetPrintOrder(TRpPrintOrder Value)
{
    FPrintOrder = Value;
    PlaceBands();
}

void TRpPage::SetRuler(bool Value)
{
    if (Value == FRuler)
        return;
    FRuler = Value;
    if (FReport) {
        FReport->Invalidate();
        FReport->SetUnits(FReport->Units());
    }
}

void TRpPage::SetUnits(TRpUnit Value)
{
    FDisplayUnits = Value;
    if (FReport)
        FReport->Invalidate();
}

void TRpPage::SetParentSizes()
{
    if (FPushingSizes || !FReport)
        return;
    FPushingSizes = true;
    const TRpUnit Saved = FDisplayUnits;
    FDisplayUnits = TRpUnit::Pixels;
    const int W = RpRound(Width());
    const int H = RpRound(Length());
    FDisplayUnits = Saved;
    FReport->SetBounds(FReport->Left(), FReport->Top(), W, H);
    FPushingSizes = false;
}

void TRpPage::ReadValues(const std::vector<long double>& Values)
{
    // A shorter list sets what it holds; values past the seventh are not read.
    for (int I = 0; I < 7 && I < static_cast<int>(Values.size()); ++I)
        Field(I) = Values[static_cast<size_t>(I)];
    SetParentSizes();
}

std::vector<long double> TRpPage::WriteValues() const
{
    std::vector<long double> Values;
    for (int I = 0; I < 7; ++I)
        Values.push_back(FieldValue(I));
    return Values;
}

// ------------------------------------------------------------ printable size

TRpPrintableSize::TRpPrintableSize(TRpPrintable* Printable) : FPrintable(Printable) {}

long double TRpPrintableSize::GetValue(int Index) const
{
    const int I = Index > 3 ? 3 : Index;
    const bool Horizontal = I == 1 || I == 3;
    long double Value = LoadUnit(FDisplayUnits, Horizontal, FValues[static_cast<size_t>(I)]);
    if (FDisplayUnits == TRpUnit::Pixels && FPrintable)
        if (auto* Panel = dynamic_cast<TRpBasePanel*>(FPrintable->Parent()))
            Value = Value * Panel->Zoom() / 100;
    return Value;
}

void TRpPrintableSize::SetValue(int Index, long double Value)
{
    if (Index >= 0 && Index <= 3)
        FValues[static_cast<size_t>(Index)] = SaveUnit(FDisplayUnits, Index == 1 || Index == 3, Value);
    SetParentSizes();
}

void TRpPrintableSize::SetParentSizes()
{
    if (!FPrintable)
        return;
    FPushingSizes = true;
    const auto Pixels = [this](int I) {
        return RpRound(LoadUnit(TRpUnit::Pixels, I == 1 || I == 3, FValues[static_cast<size_t>(I)]));
    };
    FPrintable->SetBounds(Pixels(1), Pixels(2), Pixels(3), Pixels(0));
    FPushingSizes = false;
}

void TRpPrintableSize::ReadValues(const std::vector<long double>& Values)
{
    for (size_t I = 0; I < 4 && I < Values.size(); ++I)
        FValues[I] = Values[I];
    SetParentSizes();
}

std::vector<long double> TRpPrintableSize::WriteValues() const { return {FValues.begin(), FValues.end()}; }

// ----------------------------------------------------------------- band size

TRpBandSize::TRpBandSize(TRpCustomBand* Band) : FBand(Band) {}

long double TRpBandSize::GetValue(int Index) const
{
    return Index == 0 ? LoadUnit(FDisplayUnits, false, FLength) : LoadUnit(FDisplayUnits, true, FWidth);
}

void TRpBandSize::SetValue(int Index, long double Value)
{
    if (Index == 0)
        FLength = SaveUnit(FDisplayUnits, false, Value);
    else
        FWidth = SaveUnit(FDisplayUnits, true, Value);
    SetParentSizes();
}

void TRpBandSize::SetParentSizes()
{
    if (!FBand)
        return;
    FPushingSizes = true;
    const int W = RpRound(LoadUnit(TRpUnit::Pixels, true, FWidth));
    const int H = RpRound(LoadUnit(TRpUnit::Pixels, false, FLength));
    FBand->SetBounds(FBand->Left(), FBand->Top(), W, H);
    FPushingSizes = false;
}

void TRpBandSize::ReadValues(const std::vector<long double>& Values)
{
    if (Values.size() > 0)
        FLength = Values[0];
    if (Values.size() > 1)
        FWidth = Values[1];
    SetParentSizes();
}

std::vector<long double> TRpBandSize::WriteValues() const { return {FLength, FWidth}; }
