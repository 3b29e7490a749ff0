// The printable base: size in report units, frame, run life cycle,
// alignment in the band and the design-time look.
#include "report/RpReport.h"

TRpPrintable::TRpPrintable(TComponent* AOwner)
    : TCustomControl(AOwner), FFrame(std::make_unique<TRpFrame>()),
      FSize(std::make_unique<TRpPrintableSize>(this))
{
    FFrame->SetParent(this);
    SetColor(clWhite);
    SetBounds(Left(), Top(), 10, 10);
}

TRpPrintable::~TRpPrintable() = default;

bool TRpPrintable::IsEnabled() const { return Enabled() || !Visible(); }

void TRpPrintable::Prepare()
{
    FPrintingActive = true;
    FActivePrinter = FHostReport ? FHostReport->RunPrinter() : nullptr;
}

void TRpPrintable::UnPrepare() { FPrintingActive = false; }

TRect TRpPrintable::PrintRect(int OfsX, int OfsY) const
{
    const TRpPrinter* P = FActivePrinter;
    const long double L = FSize->Left() + OfsX;
    const long double T = FSize->Top() + OfsY;
    return Rect(P->XPos(L), P->YPos(T), P->XPos(L + FSize->Width()), P->YPos(T + FSize->Height()));
}

void TRpPrintable::Print(int OfsX, int OfsY)
{
    if (!FHostReport || !FHostReport->FinishDoc() || !FFrame->AnyFrame() || !FActivePrinter)
        return;
    if (TCanvas* C = FActivePrinter->GetCanvas())
        FFrame->PaintIt(C, PrintRect(OfsX, OfsY), FActivePrinter->XFactor(), FActivePrinter->YFactor());
}

void TRpPrintable::RpNotification(TObject* Sender, TRpNotifyOperation Operation)
{
    if (Operation == rpBandSizeChange)
        AlignIt();
}

void TRpPrintable::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    if (FAlignToBand)
        AlignIt();
    Invalidate();
}

void TRpPrintable::SetAlignToBand(bool Value)
{
    FAlignToBand = Value;
    AlignIt();
}

void TRpPrintable::SetTransparent(bool Value)
{
    if (Value == Transparent())
        return;
    FOpaque = !Value;
    Invalidate();
}

void TRpPrintable::SetZoom(int Value)
{
    FSize->SetZoom(Value);
    FSize->FixZoom();
}

void TRpPrintable::AlignIt()
{
    if (!FAlignToBand)
        return;
    FAlignBusy = true;
    auto* Band = dynamic_cast<TRpCustomBand*>(Parent());
    switch (FAlignment) {
    case taLeftJustify:
        SetLeft(0);
        break;
    case taRightJustify:
        if (Band)
            SetLeft(Band->Width() - Width());
        break;
    case taCenter:
        if (Band)
            SetLeft((Band->Width() - Width()) / 2);
        break;
    }
    FAlignBusy = false;
}

void TRpPrintable::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (ComponentState().Contains(csLoading) && !FSize->PushingSizes()) {
        if (ALeft != 0)
            FPendingLeft = ALeft;
        if (ATop != 0)
            FPendingTop = ATop;
        if (AWidth != 0)
            FPendingWidth = AWidth;
        if (AHeight != 0)
            FPendingHeight = AHeight;
        return;
    }
    if (FSize->PushingSizes()) {
        TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
        if (FHostReport)
            FHostReport->Modify();
    } else {
        FSize->SetPixels();
        if (FSize->Height() != AHeight)
            FSize->SetHeight(AHeight);
        if (FSize->Width() != AWidth)
            FSize->SetWidth(AWidth);
        if (FSize->Top() != ATop)
            FSize->SetTop(ATop);
        if (FSize->Left() != ALeft)
            FSize->SetLeft(ALeft);
        FSize->RestoreUnit();
    }
    if (FAlignToBand && !FAlignBusy)
        AlignIt();
}

void TRpPrintable::Loaded()
{
    TCustomControl::Loaded();
    FSize->Loaded();
    if (Left() == 0 && FPendingLeft != 0)
        SetLeft(FPendingLeft);
    if (Top() == 0 && FPendingTop != 0)
        SetTop(FPendingTop);
    if (Width() == 0 && FPendingWidth != 0)
        SetWidth(FPendingWidth);
    if (Height() == 0 && FPendingHeight != 0)
        SetHeight(FPendingHeight);
}

void TRpPrintable::SetParent(TWinControl* AParent)
{
    TCustomControl::SetParent(AParent);
    auto* Report = dynamic_cast<TCustomRpReport*>(AParent);
    auto* Band = dynamic_cast<TRpCustomBand*>(AParent);
    if (Band && Band->Report())
        Report = Band->Report();
    if (Report) {
        FSize->SetUnits(Band ? Band->GetUnits() : Report->Units());
        FHostReport = Report;
        FSize->SetUnitReport(Report);
        const int OldTop = Top();
        const int OldLeft = Left();
        SetZoom(Report->Zoom());
        SetBounds(OldLeft, OldTop, Width(), Height());
    } else if (Band) {
        FSize->SetUnits(Band->GetUnits());
    }
    if (Band)
        SetBounds(Left(), Top(), Width(), Height());
}

void TRpPrintable::PaintCorners(TCanvas* C)
{
    C->Pen()->SetColor(clBlack);
    C->Pen()->SetWidth(1);
    const int W = Width(), H = Height();
    C->Polyline({TPoint{0, 3}, TPoint{0, 0}, TPoint{3, 0}});
    C->Polyline({TPoint{0, H - 4}, TPoint{0, H - 1}, TPoint{3, H - 1}});
    C->Polyline({TPoint{W - 4, 0}, TPoint{W - 1, 0}, TPoint{W - 1, 3}});
    C->Polyline({TPoint{W - 4, H - 1}, TPoint{W - 1, H - 1}, TPoint{W - 1, H - 4}});
}

void TRpPrintable::Paint()
{
    TCanvas* C = Canvas();
    if (FPrintingActive || !C)
        return;
    if (!Transparent()) {
        C->Brush()->SetColor(clWhite);
        C->Brush()->SetStyle(bsSolid);
        C->FillRect(ClientRect());
    }
    PaintCorners(C);
    TRect R = ClientRect();
    R.Right -= 1;
    R.Bottom -= 1;
    const long double Factor = GetZoom() * (FSize->ScreenPPI() / 254.0L) / 100;
    FFrame->PaintIt(C, R, Factor, Factor);
}
