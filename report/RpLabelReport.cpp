#include "report/RpLabelReport.h"

TRpCustomBand* TRpLabelSetup::Detail() const { return FReport ? FReport->Bands()->GetBand(4) : nullptr; }

long double TRpLabelSetup::GetValue(int Index) const
{
    TRpPage* Page = FReport->Page();
    TRpCustomBand* D = Detail();
    switch (Index) {
    case 0: return Page->TopMargin();
    case 1: return Page->LeftMargin();
    case 2: {
        if (!D)
            return 0;
        long double Pitch = D->Size()->Height();
        if (TRpCustomBand* Gap = D->GetChild())
            Pitch += Gap->Size()->Height();
        return Pitch;
    }
    case 3: return D ? D->Size()->Width() : 0;
    case 4: return D ? D->Size()->Height() : 0;
    case 5: return GetValue(3) + Page->ColumnSpace();
    default: return 0;
    }
}

void TRpLabelSetup::SetValue(int Index, long double Value)
{
    TRpPage* Page = FReport->Page();
    TRpCustomBand* D = Detail();
    switch (Index) {
    case 0:
        Page->SetTopMargin(Value);
        break;
    case 1:
        Page->SetLeftMargin(Value);
        Page->SetRightMargin(Value);
        break;
    case 2:
        if (!D)
            break;
        if (Value != LabelHeight()) {
            D->SetHasChild(true);
            D->GetChild()->Size()->SetHeight(Value - LabelHeight());
        } else {
            D->SetHasChild(false);
            D->Size()->SetHeight(Value);
        }
        break;
    case 3: {
        // The labels centred across the sheet: the column spaces lie
        // between the labels, so they leave the margins.
        const int32_t Across = NumberAcross();
        SetValue(1, (Page->Width() - Value * Across - (Across - 1) * Page->ColumnSpace()) / 2);
        break;
    }
    case 4: {
        if (!D)
            break;
        const long double Pitch = VerticalPitch();
        D->Size()->SetHeight(Value);
        if (VerticalPitch() != Value) {
            if (Value > Pitch) {
                SetValue(2, Value);
            } else {
                D->SetHasChild(true);
                D->GetChild()->Size()->SetHeight(Pitch - Value);
            }
        } else {
            D->SetHasChild(false);
        }
        break;
    }
    case 5: {
        const int32_t Across = NumberAcross();
        Page->SetColumnSpace(Across == 1 ? 0
                                         : (Page->Width() - 2 * SideMargin() - LabelWidth() * Across) / (Across - 1));
        break;
    }
    default:
        break;
    }
}

int32_t TRpLabelSetup::GetInteger(int Index) const
{
    return Index == 0 ? FNumberDown : FReport->Page()->Columns();
}

void TRpLabelSetup::SetInteger(int Index, int32_t Value)
{
    if (Index == 1)
        FReport->Page()->SetColumns(Value);
}

// ---------------------------------------------------------------- report

TRpLabelReport::TRpLabelReport(TComponent* AOwner) : TCustomRpReport(AOwner)
{
    auto C = std::make_unique<TRpController>(this);
    C->SetReport(this);
    C->SetLoopSelf(this);
    SetController(std::move(C));
    FLabelSetup = std::make_unique<TRpLabelSetup>(this);
    Bands()->SetHasDetail(true);
}

TRpLabelReport::~TRpLabelReport() = default;

TDataSet* TRpLabelReport::DataSet() const
{
    auto* C = dynamic_cast<TRpController*>(Controller());
    return C ? C->DataSet() : nullptr;
}

void TRpLabelReport::SetDataSet(TDataSet* Value)
{
    if (auto* C = dynamic_cast<TRpController*>(Controller()))
        C->SetDataSet(Value);
}

void TRpLabelReport::SetControllerBands()
{
    if (auto* C = dynamic_cast<TRpController*>(Controller()))
        C->SetLoopDetail(Bands()->GetBand(4));
}

void TRpLabelReport::Execute()
{
    SetControllerBands();
    if (auto* C = dynamic_cast<TRpController*>(Controller()))
        C->FNeedData = OnNeedData;
    Controller()->Execute();
}
