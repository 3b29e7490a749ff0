#include "widgets/_IcClassBin.h"

#include "platform/ScopeGuard.h"
#include "widgets/_IcClass.h"

#include <bit>

namespace {

// Set while a word travels through a group, so that the members it reaches
// do not send it on again.
bool GroupUpdate = false;

uint32_t BitOf(int32_t Index)
{
    return 1u << static_cast<unsigned>(Index);
}

}  // namespace

TIcBinGControl::TIcBinGControl(TComponent* AOwner)
    : TGraphicControl(IcWindowedOwner(AOwner)), FIcInfo(LoadIcInfo())
{
    if (auto* Parent = dynamic_cast<TWinControl*>(AOwner))
        SetParent(Parent);
}

TIcBinGControl::~TIcBinGControl()
{
    DelControl(this);
}

void TIcBinGControl::UpdateFlashing()
{
    if (FChecked && FFlashing)
        StartFlashing();
    else
        DelControl(this);
}

void TIcBinGControl::StartFlashing()
{
    // Bit 2..6 of the 16 ms tick counter: 64 to 1024 ms per phase.
    AddControl(this, 2 + static_cast<int>(FFrequency));
}

void TIcBinGControl::SetChecked(bool Value)
{
    if (Value == FChecked)
        return;
    FChecked = Value;
    UpdateFlashing();
    const uint32_t Word = static_cast<uint32_t>(FStatusInt);
    if (FChecked)
        SetStatusInt(static_cast<int32_t>(FMode == mRadioButton ? BitOf(FStatusBit) : Word | BitOf(FStatusBit)));
    else if (FMode != mRadioButton)
        SetStatusInt(static_cast<int32_t>(Word & ~BitOf(FStatusBit)));
    StatusChanged();
    if (OnStatusChange)
        OnStatusChange(this);
}

void TIcBinGControl::SetStatusInt(int32_t Value)
{
    if (Value == FStatusInt)
        return;
    FStatusInt = Value;
    const uint32_t Word = static_cast<uint32_t>(Value);
    SetChecked((Word & BitOf(FStatusBit)) != 0);
    FFirstBit = Word == 0 ? 32 : std::countr_zero(Word);
    StatusIntChanged();
    if (OnStatusIntChange)
        OnStatusIntChange(this);
    // A control without an owner has no partners.
    TComponent* O = Owner();
    if (FGroupIndex == 0 || GroupUpdate || !O)
        return;
    // Cleared again however the walk ends, a raising handler included.
    TValueRollback<bool> Travelling(GroupUpdate, true);
    for (int I = 0; I < O->ComponentCount(); ++I) {
        auto* Member = dynamic_cast<TIcBinGControl*>(O->Components(I));
        if (Member && Member->FGroupIndex == FGroupIndex)
            Member->SetStatusInt(FStatusInt);
    }
}

void TIcBinGControl::SetStatusBit(int32_t Value)
{
    if (Value == FStatusBit || Value < 0 || Value > 31)
        return;
    FStatusBit = Value;
    SetChecked((static_cast<uint32_t>(FStatusInt) & BitOf(Value)) != 0);
}

void TIcBinGControl::SetGroupIndex(int32_t Value)
{
    if (Value == FGroupIndex || Value < 0)
        return;
    FGroupIndex = Value;
    GetGroupStatusInt();
    GroupIndexChanged();
}

void TIcBinGControl::GetGroupStatusInt()
{
    TComponent* O = Owner();
    if (FGroupIndex == 0 || !O)
        return;
    for (int I = 0; I < O->ComponentCount(); ++I) {
        auto* Member = dynamic_cast<TIcBinGControl*>(O->Components(I));
        if (Member && Member->FGroupIndex == FGroupIndex) {
            SetStatusInt(Member->FStatusInt);
            return;
        }
    }
}

void TIcBinGControl::SetMode(TMode Value)
{
    FMode = Value;
    if (Value == mButton)
        SetStatusInt(0);
    else if (Value == mRadioButton)
        SetStatusInt(1);
}

void TIcBinGControl::SetFrequency(TFlashFreq Value)
{
    FFrequency = Value;
    if (FChecked && FFlashing)
        StartFlashing();
}

void TIcBinGControl::SetFlashing(bool Value)
{
    if (Value == FFlashing)
        return;
    FFlashing = Value;
    UpdateFlashing();
    StatusChanged();
    if (OnStatusChange)
        OnStatusChange(this);
}

void TIcBinGControl::WMFlash(uint32_t /*FlashCount*/, int32_t Value)
{
    Flash(Value != 0);
}

void TIcBinGControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || FMode == mIndicator)
        return;
    FPressed = true;
    switch (FMode) {
    case mButton: SetChecked(true); break;
    case mSwitch: SetChecked(!FChecked); break;
    case mRadioButton: SetStatusInt(static_cast<int32_t>(BitOf(FStatusBit))); break;
    case mIndicator: break;
    }
}

void TIcBinGControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || FMode == mIndicator)
        return;
    FPressed = false;
    if (FMode == mButton)
        SetChecked(false);
    StatusChanged();
}

void TIcBinGControl::TextChanged()
{
    TGraphicControl::TextChanged();
    ParamChange(this);
}
