// Rich text printables.
#include "report/RpRichText.h"

#include "platform/Metafile.h"
#include "report/RpCtrls.h"
#include "report/RpExportFilter.h"
#include "report/RpPrntr.h"

#include <algorithm>
#include <cmath>

namespace {

// A band grows in steps of 5 mm.
constexpr long double GrowthStep = 50;

int ToTwips(int Pixels, int Dpi) { return static_cast<int>(static_cast<int64_t>(Pixels) * 1440 / Dpi); }

int FromTwips(int Twips, int Dpi) { return static_cast<int>(std::lround(Twips * static_cast<double>(Dpi) / 1440.0)); }

// The resolution layouts on the run's page use: the canvas's, or, while
// nothing is drawn, the device's behind XPos/YPos.
void RunResolution(TRpPrinter* P, TCanvas* C, int& DpiX, int& DpiY)
{
    if (C) {
        DpiX = std::max(1, C->PixelsPerInchX());
        DpiY = std::max(1, C->PixelsPerInchY());
    } else {
        DpiX = std::max(1, static_cast<int>(std::lround(P->XFactor() * 254)));
        DpiY = std::max(1, static_cast<int>(std::lround(P->YFactor() * 254)));
    }
}

TRect PaperTwips(TRpPrinter* P, int DpiX, int DpiY)
{
    return Rect(0, 0, ToTwips(P->XSize(P->PaperWidthValue()), DpiX), ToTwips(P->YSize(P->PaperLengthValue()), DpiY));
}

}  // namespace

// ------------------------------------------------------------- the base

TRpCustomRichText::TRpCustomRichText(TComponent* AOwner)
    : TRpPrintable(AOwner), FRichEditor(std::make_unique<TRpRichEdit>(nullptr))
{
    FRichEditor->SetBorderStyle(bsNone);
    FRichEditor->SetParent(this);
    SetPrintComplete(true);
    SetBounds(Left(), Top(), 100, 100);
}

TRpCustomRichText::~TRpCustomRichText()
{
    SetParentRichEdit(nullptr);
    FRichEditor.reset();
}

void TRpCustomRichText::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TRpPrintable::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FRichEditor)
        FRichEditor->SetBounds(1, 1, std::max(0, Width() - 2), std::max(0, Height() - 2));
}

void TRpCustomRichText::SetAlignment(TAlignment Value)
{
    TRpPrintable::SetAlignment(Value);
    FRichEditor->SetAlignment(Value);
}

void TRpCustomRichText::FontChanged()
{
    TRpPrintable::FontChanged();
    if (FRichEditor)
        FRichEditor->SetFont(Font());
}

void TRpCustomRichText::ColorChanged()
{
    TRpPrintable::ColorChanged();
    if (FRichEditor)
        FRichEditor->SetColor(Color());
}

void TRpCustomRichText::SetLines(TStrings* Value)
{
    FRichEditor->SetLines(Value);
    if (FParentRichEdit)
        FParentRichEdit->SetLines(Value);
}

void TRpCustomRichText::SetParentRichEdit(TCustomRichEdit* Value)
{
    if (ReplaceReference(FParentRichEdit, Value) && Value)
        FRichEditor->SetLines(Value->Lines());
}

void TRpCustomRichText::Notification(TComponent* AComponent, TOperation Operation)
{
    TRpPrintable::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FParentRichEdit)
        FParentRichEdit = nullptr;
}

TCustomRichEdit* TRpCustomRichText::Source() const
{
    return FParentRichEdit ? FParentRichEdit : static_cast<TCustomRichEdit*>(FRichEditor.get());
}

void TRpCustomRichText::Print(int OfsX, int OfsY)
{
    TCustomRpReport* Report = HostReport();
    TRpPrinter* P = ActivePrinter();
    if (!Report || !P)
        return;
    TCustomRichEdit* Edit = Source();
    TCanvas* C = P->GetCanvas();
    const bool Drawing = Report->FinishDoc() && C;
    int DpiX = 96, DpiY = 96;
    RunResolution(P, C, DpiX, DpiY);
    const long double L = Size()->Left() + OfsX, T = Size()->Top() + OfsY;
    const long double W = Size()->Width(), H = Size()->Height();

    TFormatRange Range;
    Range.Canvas = C;
    Range.Rect = Rect(ToTwips(P->XPos(L), DpiX), ToTwips(P->YPos(T), DpiY), ToTwips(P->XPos(L + W), DpiX),
                      ToTwips(P->YPos(T + H), DpiY));
    Range.PageRect = PaperTwips(P, DpiX, DpiY);
    const bool Continued = !PrintComplete();
    if (!Continued)
        FNextCharIndex = 0;
    const int Start = FNextCharIndex;
    Range.CharMin = Start;
    const int Length = Edit->GetTextLen();

    // The layout is measured while the band grows and drawn once, at the
    // height it ends with.
    int Placed = Edit->FormatRange(Range, false);
    auto* Band = dynamic_cast<TRpCustomBand*>(Parent());
    const bool Stretching = Placed <= Length && FAutoStretch && Band && Length > 0;
    if (Stretching) {
        long double Growth = 0;
        bool Expanded = false;
        while (Placed <= Length && Band->CanExpand(GrowthStep)) {
            long double NewGrowth = Growth;
            Band->ExpandBand(GrowthStep, NewGrowth, Expanded);
            if (NewGrowth <= Growth)
                break;
            Growth = NewGrowth;
            Range.Rect.Bottom = ToTwips(P->YPos(T + H + Growth), DpiY);
            Placed = Edit->FormatRange(Range, false);
        }
    }
    if (Drawing)
        Placed = Edit->FormatRange(Range, true);
    if (Stretching) {
        // A continued occurrence that places nothing on a page of its own
        // never will: the rest is dropped rather than printed on endless
        // empty pages.
        const bool Done = Placed > Length || (Continued && Placed <= Start);
        FNextCharIndex = Done ? Length : Placed;
        SetPrintComplete(Done);
    } else {
        FNextCharIndex = std::min(Placed, Length);
        SetPrintComplete(true);
        TRpPrintable::Print(OfsX, OfsY);
    }

    if (Report->Exporting() && Report->ExportFilter())
        ExportImage(Edit, Range.Rect, Start, OfsX, OfsY);
    if (PrintComplete())
        Edit->ReleaseFormatCache();
}

void TRpCustomRichText::ExportImage(TCustomRichEdit* Edit, const TRect& Target, int Start, int OfsX, int OfsY)
{
    TCustomRpReport* Report = HostReport();
    TRpPrinter* P = ActivePrinter();
    TMetafile Metafile;
    {
        TMetafileCanvas MC(&Metafile, P->GetCanvas());
        Metafile.SetPixelsPerInch(MC.PixelsPerInchY());
        Metafile.SetWidth(FromTwips(Target.Width(), MC.PixelsPerInchX()));
        Metafile.SetHeight(FromTwips(Target.Height(), MC.PixelsPerInchY()));
        TFormatRange Range;
        Range.Canvas = &MC;
        Range.Rect = Rect(0, 0, Target.Width(), Target.Height());
        Range.PageRect = Rect(0, 0, Target.Width(), 2 * Target.Height());
        Range.CharMin = Start;
        Edit->FormatRange(Range, true);
    }
    TRpImage Image(nullptr);
    Image.SetAutoSize(true);
    Image.Size()->SetUnits(TRpUnit::Native);
    Image.Size()->SetLeft(Size()->Left());
    Image.Size()->SetWidth(Size()->Width());
    Image.Size()->SetTop(Size()->Top());
    Image.Size()->SetHeight(Size()->Height());
    const int32_t Index = Report->RTFImageIndex();
    Report->SetRTFImageIndex(Index + 1);
    Image.SetName("RTF" + std::to_string(Index));
    Image.Picture()->SetGraphic(&Metafile);
    Report->ExportFilter()->AcceptGraphic(P->XPos(Image.Size()->Left() + OfsX), P->YPos(Image.Size()->Top() + OfsY),
                                          &Image);
}

// ------------------------------------------------------- the data-aware one

TRpDBRichText::~TRpDBRichText() { SetDataSet(nullptr); }

void TRpDBRichText::SetDataSet(TDataSet* Value)
{
    ReplaceReference(FDataSet, Value);
}

void TRpDBRichText::Notification(TComponent* AComponent, TOperation Operation)
{
    TRpCustomRichText::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDataSet) {
        FDataSet = nullptr;
        FField = nullptr;
    }
}

void TRpDBRichText::Prepare()
{
    TRpCustomRichText::Prepare();
    FField = FDataSet ? FDataSet->FindField(FDataField) : nullptr;
    if (TextField())
        Lines()->Clear();
}

void TRpDBRichText::UnPrepare()
{
    FField = nullptr;
    TRpCustomRichText::UnPrepare();
}

void TRpDBRichText::LoadFromField()
{
    // The field's bytes are read as the rich-edit control reads any text:
    // RTF when it begins with "{\rtf", else plain lines.
    Lines()->SetText(FField->AsString());
}

void TRpDBRichText::Print(int OfsX, int OfsY)
{
    if (TextField())
        LoadFromField();
    TRpCustomRichText::Print(OfsX, OfsY);
}

void TRpDBRichText::GetFieldString(std::string& Value)
{
    if (!IsEnabled())
        return;
    Prepare();
    if (!FField) {
        Value.clear();
        return;
    }
    try {
        if (TextField())
            LoadFromField();
        else if (FField->DataType() == ftString || FField->DataType() == ftWideString ||
                 FField->DataType() == ftFixedChar)
            Value = FField->DisplayText();
    } catch (const Exception&) {
        Value.clear();
    }
}

void TRpDBRichText::GetExpandedHeight(long double& NewHeight)
{
    std::string Scratch;
    GetFieldString(Scratch);
    TCustomRpReport* Report = HostReport();
    TRpPrinter* P = ActivePrinter() ? ActivePrinter() : (Report ? Report->RunPrinter() : nullptr);
    TCustomRichEdit* Edit = Source();
    const long double H = Size()->Height();
    long double Growth = 0;
    if (P) {
        TCanvas* C = P->GetCanvas();
        int DpiX = 96, DpiY = 96;
        RunResolution(P, C, DpiX, DpiY);
        TFormatRange Range;
        Range.Canvas = C;
        Range.Rect = Rect(0, 0, ToTwips(P->XSize(Size()->Width()), DpiX), ToTwips(P->YSize(H), DpiY));
        Range.PageRect = PaperTwips(P, DpiX, DpiY);
        SetNextCharIndex(0);
        const int Length = Edit->GetTextLen();
        // No taller than the page's printable height, and no further once
        // a step places nothing more (a printable too narrow for any text).
        long double Limit = H;
        if (Report) {
            TRpPage* Page = Report->Page();
            Limit = std::max(H, Page->NativeValue(1) - Page->NativeValue(2) - Page->NativeValue(0));
        }
        int Placed = Edit->FormatRange(Range, false);
        while (Placed <= Length && Length > 0 && Range.Rect.Width() > 0 && H + Growth + GrowthStep <= Limit) {
            Growth += GrowthStep;
            Range.Rect.Bottom = ToTwips(P->YSize(H + Growth), DpiY);
            Placed = Edit->FormatRange(Range, false);
        }
        Edit->ReleaseFormatCache();
    }
    NewHeight = (H + Growth) * Size()->ScreenPPI() / 254.0L;
}
