// Bands: band printing with continuation, space checks, stretching, child
// and linked bands, and the report's standard bands.
#include "report/RpReport.h"

#include "platform/ScopeGuard.h"
#include "report/Rp4const.h"
#include "report/RpCtrls.h"
#include "report/RpExportFilter.h"

#include <algorithm>
#include <cmath>

namespace {

// Screen pixels (96 per inch) per 0.1 mm.
constexpr long double PixelsPerNative = 0.37795L;

// The type a child band is placed and judged by: that of the first band up
// its chain that is not a child band.
TRpBandType EffectiveType(const TRpCustomBand* Band)
{
    for (int Guard = 0; Band && Guard < 1000; ++Guard) {
        const auto* Child = dynamic_cast<const TRpChildBand*>(Band);
        if (!Child || Band->BandType() != rbChild)
            return Band->BandType();
        Band = Child->ParentBand();
    }
    return rbChild;
}

}  // namespace

// ----------------------------------------------------------------- the band

TRpCustomBand::TRpCustomBand(TComponent* AOwner) : TRpBasePanel(AOwner), FSize(std::make_unique<TRpBandSize>(this))
{
    SetAlign(alNone);
    SetCaption("");
    SetColor(clWhite);
    SetBevelInner(bvNone);
    SetBevelOuter(bvNone);
    SetHeight(40);
}

TRpCustomBand::~TRpCustomBand()
{
    if (FReport && !FReport->ReportDestroying())
        FReport->RemoveBand(this);
}

void TRpCustomBand::BandTypeName(std::string& Text) const
{
    static constexpr const TRpResString* Names[] = {&SRpTitle,        &SRpPageHeader,  &SRpDetail,
                                                    &SRpPageFooter,   &SRpSummary,     &SRpGroupHeader,
                                                    &SRpGroupFooter,  &SRpSubDetail,   &SRpColumnHeader,
                                                    &SRpOverlay,      &SRpChild};
    Text = LoadResString(*Names[FBandType]);
}

void TRpCustomBand::BandComponentName(std::string& Text) const
{
    static constexpr const TRpResString* Names[] = {
        &SRpTitleBandName,       &SRpPageHeaderBandName,  &SRpDetailBandName,    &SRpPageFooterBandName,
        &SRpSummaryBandName,     &SRpGroupHeaderBandName, &SRpGroupFooterBandName, &SRpSubDetailBandName,
        &SRpColumnHeaderBandName, &SRpOverlayBandName,    &SRpChildBandName};
    Text = LoadResString(*Names[FBandType]);
}

void TRpCustomBand::SetEnabled(bool Value)
{
    TRpBasePanel::SetEnabled(Value);
    Invalidate();
}

void TRpCustomBand::SetParent(TWinControl* AParent)
{
    if (auto* Band = dynamic_cast<TRpCustomBand*>(AParent))
        AParent = Band->Parent();
    if (Parent() && Parent() != AParent)
        if (auto* Old = dynamic_cast<TCustomRpReport*>(Parent()))
            Old->RemoveBand(this);
    TRpBasePanel::SetParent(AParent);
    if (auto* Report = dynamic_cast<TCustomRpReport*>(AParent)) {
        SetParentReport(Report);
        Report->AddBand(this);
        FSize->SetUnitReport(Report);
        SetZoom(Report->Zoom());
    }
}

void TRpCustomBand::SetBandType(TRpBandType Value)
{
    FBandType = Value;
    if (FReport) {
        FReport->RebuildBandList();
        FReport->SetBandValues();
    }
}

TRpUnit TRpCustomBand::GetUnits() const { return FSize ? FSize->Units() : TRpUnit::Native; }

void TRpCustomBand::SetUnits(TRpUnit Value)
{
    FSize->SetUnits(Value);
    Invalidate();
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* P = dynamic_cast<TRpPrintable*>(Controls(I)))
            P->Size()->SetUnits(Value);
}

void TRpCustomBand::SetZoom(int Value)
{
    TRpBasePanel::SetZoom(Value);
    FSize->SetZoom(Zoom());
    FSize->FixZoom();
}

void TRpCustomBand::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (!FSize || !FReport || FPlacing) {
        TRpBasePanel::SetBounds(ALeft, ATop, AWidth, AHeight);
        return;
    }
    if (FSize->PushingSizes()) {
        TRpBasePanel::SetBounds(ALeft, ATop, AWidth, AHeight);
        if (!FPlacing)
            FReport->SetBandValues();
        for (int I = 0; I < ControlCount(); ++I)
            if (auto* P = dynamic_cast<TRpPrintable*>(Controls(I)); P && P->AlignToBand())
                P->RpNotification(this, rpBandSizeChange);
        return;
    }
    // The user resized or moved the band.
    FSize->SetPixels();
    if (FSize->Height() != AHeight)
        FSize->SetHeight(AHeight);
    if (ATop != Top() || ALeft != Left()) {
        TRpBasePanel::SetBounds(ALeft, ATop, Width(), Height());
        FReport->SetBandValues();
    }
    FSize->RestoreUnit();
    FReport->Modify();
}

void TRpCustomBand::Notification(TComponent* AComponent, TOperation Operation)
{
    TRpBasePanel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FLinkBand)
        FLinkBand = nullptr;
}

bool TRpCustomBand::SetLinkBand(TRpCustomBand* Value)
{
    for (TRpCustomBand* B = Value; B; B = B->LinkBand())
        if (B == this)
            return false;   // "Circular linking not allowed"
    ReplaceReference(FLinkBand, Value);
    return true;
}

TRpCustomBand* TRpCustomBand::GetChild() const
{
    if (!FReport)
        return nullptr;
    for (TRpCustomBand* B : FReport->BandList())
        if (auto* C = dynamic_cast<TRpChildBand*>(B); C && C->BandType() == rbChild && C->ParentBand() == this)
            return C;
    return nullptr;
}

void TRpCustomBand::SetHasChild(bool Value)
{
    TRpCustomBand* Child = GetChild();
    if (Value && !Child) {
        auto* C = new TRpChildBand(Owner());
        C->SetParent(Parent());
        C->SetParentBand(this);
    } else if (!Value && Child) {
        if (auto* Grand = dynamic_cast<TRpChildBand*>(Child->GetChild()))
            Grand->SetParentBand(this);
        delete Child;
    }
}

void TRpCustomBand::PlaceNewPrintable(TRpPrintable* P)
{
    int Right = -1;
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* Other = dynamic_cast<TRpPrintable*>(Controls(I)))
            Right = std::max(Right, Other->Left() + Other->Width());
    P->SetParent(this);
    P->SetLeft(Right < 0 ? 1 : Right + 10);
}

long double TRpCustomBand::StretchHeight(bool WithLinks)
{
    long double H = FSize->Height();
    if (WithLinks && FLinkBand)
        H += FLinkBand->StretchHeight(true) + FLinkBand->Height();
    return H;
}

void TRpCustomBand::ExpandedHeight(long double& Value)
{
    FExpandTop = FSize->Height();
    long double Gap = 0;
    for (int I = 0; I < ControlCount(); ++I) {
        auto* P = dynamic_cast<TRpPrintable*>(Controls(I));
        if (!P || !P->IsEnabled())
            continue;
        // Printables that grow answer their height; the others leave it.
        long double E = -1;
        P->GetExpandedHeight(E);
        if (E < 0)
            continue;
        const long double Bottom = (P->Top() + E) / PixelsPerNative;
        if (Bottom > FExpandTop) {
            FExpandTop = Bottom;
            Gap = (Height() + 1 - P->Top() - P->Height()) / PixelsPerNative;
        }
    }
    Value = FExpandTop + std::max<long double>(Gap, 0);
}

bool TRpCustomBand::CanExpand(long double Value)
{
    return FReport && FReport->AvailableSpace() >= RpRound(FSize->Height() + FExpanded + Value);
}

bool TRpCustomBand::ExpandBand(long double Value, long double& NewExpanded, bool& Expanded)
{
    if (!CanExpand(Value))
        return false;
    if (!Expanded && Value < FExpanded) {
        NewExpanded = FExpanded;
        Expanded = true;
        return true;
    }
    FExpanded += Value;
    NewExpanded = FExpanded;
    Expanded = true;
    return false;
}

void TRpCustomBand::MakeSpace()
{
    TRpPage* Page = FReport->Page();
    if (Page->PrintOrder() != TRpPrintOrder::ColByCol && Page->Columns() > 1)
        return;
    const int Needed = RpRound(StretchHeight(true));
    const bool Fits = FBandType == rbPageFooter || FReport->AvailableSpace() >= Needed ||
                      Needed > Page->Length() - Page->TopMargin() - Page->BottomMargin();
    if (Fits && FReport->PageNo() > 0) {
        if (FBandType == rbDetail)
            FReport->SetBreakInProgress(false);
    } else {
        FReport->SetBreakInProgress(FBandType == rbDetail);
        FReport->NewColumn();
    }
}

void TRpCustomBand::AdvancePaper()
{
    FReport->SetCurrentY(FReport->CurrentY() + RpRound(FSize->Height() + FExpanded));
}

void TRpCustomBand::PaintBackground()
{
    TRpPrinter* P = FReport->RunPrinter();
    long double H = FSize->Height();
    if (FPreCaluculateBandHeight)
        ExpandedHeight(H);
    const int32_t X = FReport->CurrentX(), Y = FReport->CurrentY();
    FPrintRect = Rect(P->XPos(X), P->YPos(Y), P->XPos(X + FSize->Width()), P->YPos(Y + H));
    if (FReport->Exporting() && FReport->ExportFilter()) {
        const std::unique_ptr<TRpShape> Back = RpExportShape(rpsRectangle, X, Y, FSize->Width(), H, Color());
        FReport->ExportFilter()->AcceptGraphic(FPrintRect.Left, FPrintRect.Top, Back.get());
    }
}

void TRpCustomBand::PrintBody()
{
    TRpPrinter* P = FReport->RunPrinter();
    if (FReport->FinishDoc() && !FReport->Exporting() && !FTransparentBand) {
        TCanvas* C = P->GetCanvas();
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        C->FillRect(FPrintRect);
    }
    FExpanded = 0;
    const long double SavedHeight = FSize->Height();
    bool FirstPass = true;
    for (;;) {
        // What the printables draw in this pass (a continuation that draws
        // nothing on a fresh column would start columns without end).
        int Drawn = 0;
        TCanvas* C = P->GetCanvas();
        const TNotifyEvent Before = C->OnChange;
        C->OnChange = [&Drawn, Before](TObject* Sender) {
            ++Drawn;
            if (Before)
                Before(Sender);
        };
        bool AllDone = true;
        {
            TScopeExit GiveBack([C, &Before] { C->OnChange = Before; });
            for (int I = 0; I < ControlCount(); ++I) {
                auto* Printable = dynamic_cast<TRpPrintable*>(Controls(I));
                if (!Printable || !Printable->IsEnabled())
                    continue;
                if (FirstPass || !Printable->PrintComplete())
                    Printable->Print(FReport->CurrentX(), FReport->CurrentY());
                AllDone = AllDone && Printable->PrintComplete();
            }
        }
        if ((FReport->FinishDoc() || FReport->Exporting()) && Frame()->AnyFrame()) {
            const int32_t X = FReport->CurrentX(), Y = FReport->CurrentY();
            FPrintRect = Rect(P->XPos(X), P->YPos(Y), P->XPos(X + FSize->Width()),
                              P->YPos(Y + FSize->Height() + FExpanded + 1));
            Frame()->PaintIt(P->GetCanvas(), FPrintRect, P->XFactor(), P->YFactor());
        }
        if (AllDone || (!FirstPass && Drawn == 0) || FReport->Cancelled())
            break;
        FReport->SetBreakInProgress(true);
        FReport->NewColumn();
        FReport->SetBreakInProgress(false);
        FSize->SetHeight(SavedHeight);
        FExpanded = 0;
        FirstPass = false;
    }
    AdvancePaper();
    FSize->SetHeight(SavedHeight);
}

void TRpCustomBand::Print()
{
    bool PrintIt = Enabled();
    if (PrintIt && BeforePrint)
        BeforePrint(this, PrintIt);
    if (PrintIt) {
        const int32_t StartX = FReport->CurrentX(), StartY = FReport->CurrentY();
        const bool Exempt = FBandType == rbTitle || FBandType == rbPageHeader || FBandType == rbPageFooter ||
                            FBandType == rbOverlay;
        if (!Exempt && FForceNewPage && !FReport->BreakInProgress() && FReport->PageNo() > 0) {
            FReport->ForceNewPage();
            FReport->SetBreakInProgress(false);
        } else if (!Exempt && FForceNewColumn && FReport->PageNo() > 0) {
            FReport->ForceNewColumn();
        } else {
            MakeSpace();
        }
        if (FNotifyController)
            FNotifyController->NotifyClients(rpMasterDataAdvance);
        if (FKeepOnOnePage) {
            long double H = 0;
            ExpandedHeight(H);
            if (H > FReport->AvailableSpace())
                FReport->NewColumn();
        }
        if (!FTransparentBand && Enabled())
            PaintBackground();
        if (FSize->Height() != 0 && Enabled())
            PrintBody();
        if (FReport->Exporting() && FReport->ExportFilter())
            FReport->ExportFilter()->AcceptBand(this, static_cast<double>(FExpanded), StartX, StartY);
    } else if (FNotifyController && !Enabled()) {
        FNotifyController->NotifyClients(rpMasterDataAdvance);
    }
    if (AfterPrint)
        AfterPrint(this, PrintIt);
    if (TRpCustomBand* Child = GetChild()) {
        if (FBandType == rbPageFooter) {
            Child->FBandType = rbPageFooter;
            TScopeExit Back([Child] { Child->FBandType = rbChild; });
            FReport->PrintBand(Child);
        } else {
            FReport->PrintBand(Child);
        }
    }
    FReport->SetBreakInProgress(false);
}

// ----------------------------------------------------------------- child band

TRpChildBand::TRpChildBand(TComponent* AOwner) : TRpCustomBand(AOwner) { SetBandType(rbChild); }

bool TRpChildBand::SetParentBand(TRpCustomBand* Value)
{
    for (TRpCustomBand* B = Value; B;) {
        if (B == this)
            return false;   // "Circular linking not allowed"
        auto* C = dynamic_cast<TRpChildBand*>(B);
        B = C ? C->ParentBand() : nullptr;
    }
    if (!Report())
        return true;
    ReplaceReference(FParentBand, Value);
    if (!Report()->ReportDestroying()) {
        Report()->RebuildBandList();
        Report()->SetBandValues();
    }
    return true;
}

void TRpChildBand::Notification(TComponent* AComponent, TOperation Operation)
{
    TRpCustomBand::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FParentBand)
        SetParentBand(nullptr);
}

// -------------------------------------------------------- the standard bands

namespace {

TRpBandType BandTypeOfIndex(int Index)
{
    switch (Index) {
    case 1: return rbTitle;
    case 2: return rbPageHeader;
    case 3: return rbColumnHeader;
    case 4: return rbDetail;
    case 6: return rbPageFooter;
    default: return rbSummary;
    }
}

}  // namespace

TRpCustomBand* TRpReportBands::GetBand(int Index) const
{
    if (Index == 5 || !FReport)
        return nullptr;   // there is no column-footer band
    const TRpBandType Type = BandTypeOfIndex(Index);
    for (TRpCustomBand* B : FReport->BandList())
        if (B->BandType() == Type)
            return B;
    return nullptr;
}

void TRpReportBands::SetHasBand(int Index, bool Value)
{
    if (Index == 5 || Value == GetHasBand(Index))
        return;
    if (Value)
        FReport->CreateBand(BandTypeOfIndex(Index));
    else
        delete GetBand(Index);
}

std::string UniqueName(TComponent* Owner, const std::string& Base)
{
    for (int N = 1;; ++N) {
        const std::string Name = Base + std::to_string(N);
        if (!Owner || !Owner->FindComponent(Name))
            return Name;
    }
}

TRpBandType RpEffectiveBandType(const TRpCustomBand* Band) { return EffectiveType(Band); }
