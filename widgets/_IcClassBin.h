// The base of the library's two-state controls (a member of the class unit
// _IcClass, kept in its own file): LEDs, lamps, push buttons, switches and
// radio buttons. It keeps the on/off state, a 32-bit status word shared by
// the members of a group (the controls of one owner with one GroupIndex),
// the bit of the word this control stands for, how the mouse acts on it,
// and flashing through the library's flash list. It draws nothing: concrete
// controls override the hooks.
#pragma once

#include "platform/Controls.h"
#include "widgets/IcFlashT.h"
#include "widgets/_IcInfo.h"

#include <cstdint>

// How the left mouse button acts: held (button), toggling (switch), not at
// all (indicator), or taking the group's word for its own bit (radio).
enum TMode { mButton, mSwitch, mIndicator, mRadioButton };

class TIcBinGControl : public TGraphicControl, public TIcFlashReceiver {
    OZ_CLASS(TIcBinGControl, TGraphicControl);

public:
    // The owner (a windowed control, or none) becomes the parent;
    // EConvertError for any other owner.
    explicit TIcBinGControl(TComponent* AOwner);
    ~TIcBinGControl() override;

    // IcInfo, never stored; the other properties are for concrete controls
    // to publish.
    static void Publish(TPublisher<TIcBinGControl>& P);

    TIcInfo* IcInfo() const { return FIcInfo; }

    // Checking sets the control's bit in the word (a radio button makes the
    // word that bit alone); unchecking clears it (a radio button leaves the
    // word alone). It flashes while checked and Flashing.
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    TFlashFreq Frequency() const { return FFrequency; }
    void SetFrequency(TFlashFreq Value);
    bool Flashing() const { return FFlashing; }
    void SetFlashing(bool Value);
    // The word goes to every member of the group; Checked follows the bit.
    int32_t StatusInt() const { return FStatusInt; }
    void SetStatusInt(int32_t Value);
    // 0..31; others are ignored.
    int32_t StatusBit() const { return FStatusBit; }
    void SetStatusBit(int32_t Value);
    // 0 is no group; below 0 is ignored. Joining takes the group's word.
    int32_t GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int32_t Value);
    // mButton makes the word 0, mRadioButton makes it 1.
    TMode Mode() const { return FMode; }
    void SetMode(TMode Value);

    // The left button is down on the control.
    bool Pressed() const { return FPressed; }
    // The lowest set bit of the word, 32 when none is.
    int32_t FirstBit() const { return FFirstBit; }

    // Takes the word of the group's first member (in the owner's order).
    void GetGroupStatusInt();

    // The flash list's phase change: Flash(Value != 0).
    void WMFlash(uint32_t FlashCount, int32_t Value) override;

    // Checked or Flashing changed.
    TNotifyEvent OnStatusChange;
    TNotifyEvent OnStatusIntChange;

protected:
    // Hooks of concrete controls (repaint, lamp phase); empty here.
    virtual void ParamChange(TObject* Sender) {}
    virtual void StatusChanged() {}
    virtual void GroupIndexChanged() {}
    virtual void StatusIntChanged() {}
    virtual void Flash(bool On) {}

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // The caption changed: ParamChange.
    void TextChanged() override;

    // Registers with the flash list at the rate of Frequency.
    void StartFlashing();

private:
    void UpdateFlashing();

    TIcInfo* FIcInfo = nullptr;
    bool FChecked = false;
    TFlashFreq FFrequency = ff1Hz;
    bool FFlashing = false;
    int32_t FStatusInt = 0;
    int32_t FStatusBit = 0;
    int32_t FGroupIndex = 0;
    TMode FMode = mIndicator;
    bool FPressed = false;
    int32_t FFirstBit = 32;
};
