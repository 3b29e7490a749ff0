// Foundations of the instrument-control library: the settings-object base,
// the two control bases that batch repaints, and the spin button pair with
// its auto-repeating speed buttons.
#pragma once

#include "platform/Controls.h"
#include "widgets/IcFlashT.h"
#include "widgets/_IcInfo.h"

#include <memory>

// Base of every settings object: each change reaches the owner via OnChange.
class TIcPersistent : public TPersistent {
    OZ_CLASS(TIcPersistent, TPersistent);

public:
    TNotifyEvent OnChange;

    // Source copies itself into this object through its AssignTo.
    void Assign(TPersistent* Source) override;
    // Copies this object's values into Dest; classes override it for the
    // destinations they know. Raises EConvertError for any other.
    virtual void AssignTo(TPersistent* Dest);

    // OnChange with the object itself as sender.
    virtual void Change();
    // OnChange with Sender (a sub-object bound here) as sender.
    virtual void ChangeObject(TObject* Sender);
};

// Windowed base: changes made between BeginUpdate and EndUpdate end in one
// repaint.
class TIcCustomControl : public TCustomControl {
    OZ_CLASS(TIcCustomControl, TCustomControl);

public:
    explicit TIcCustomControl(TComponent* AOwner);

    // IcInfo, never stored (widgets/IcStream.cpp, as every table of the
    // library).
    static void Publish(TPublisher<TIcCustomControl>& P);

    TIcInfo* IcInfo() const { return FIcInfo; }
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    virtual void Change();

protected:
    virtual void ParamChange(TObject* Sender) {}

private:
    TIcInfo* FIcInfo = nullptr;
    int FUpdateCount = 0;
};

// AOwner when it is a windowed control or none; EConvertError for any other
// (windowless controls of the library are parented to their owner).
TComponent* IcWindowedOwner(TComponent* AOwner);

// Windowless base: the owner (a windowed control, or none) becomes the
// parent; the final EndUpdate runs Change.
class TIcGraphicControl : public TGraphicControl {
    OZ_CLASS(TIcGraphicControl, TGraphicControl);

public:
    // Raises EConvertError when AOwner is not a windowed control.
    explicit TIcGraphicControl(TComponent* AOwner);

    // IcInfo, never stored.
    static void Publish(TPublisher<TIcGraphicControl>& P);

    TIcInfo* IcInfo() const { return FIcInfo; }
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    void Invalidate() override;

    virtual void Change();

protected:
    virtual void ParamChange(TObject* Sender) {}
    // Set by Invalidate, for the descendants' painting.
    bool FFullRedraw = false;

private:
    TIcInfo* FIcInfo = nullptr;
    int FUpdateCount = 0;
};

// A speed button that, held down, clicks again after StartDelay ms and then
// every Interval ms, timed by the flash list.
class TIcTimerSpeedBtn : public TGraphicControl, public TIcFlashReceiver {
    OZ_CLASS(TIcTimerSpeedBtn, TGraphicControl);

public:
    explicit TIcTimerSpeedBtn(TComponent* AOwner);
    ~TIcTimerSpeedBtn() override;

    // The timing, the glyph count and (defined) the glyph's pixels.
    static void Publish(TPublisher<TIcTimerSpeedBtn>& P);
    void DefineProperties(TFiler* Filer) override;

    TIcInfo* IcInfo() const { return FIcInfo; }
    int Interval() const { return FInterval; }
    // Values below 50 are ignored.
    void SetInterval(int Value);
    uint32_t StartDelay() const { return FStartDelay; }
    void SetStartDelay(uint32_t Value) { FStartDelay = Value; }
    bool TimerEnabled() const { return FTimerEnabled; }
    void SetTimerEnabled(bool Value) { FTimerEnabled = Value; }

    // The glyph: NumGlyphs pictures side by side (enabled, disabled, ...),
    // olive as the transparent colour.
    TBitmap* Glyph() { return &FGlyph; }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);

    // True while a mouse button holds the button down.
    bool Down() const { return FDown; }
    // True while it is in the flash list for its repeat.
    bool Repeating() const;

    void SetEnabled(bool Value) override;
    void SetVisible(bool Value) override;
    void Click() override;

    void WMFlash(uint32_t FlashCount, int32_t Value) override;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Paint() override;

private:
    void StopRepeat();

    TIcInfo* FIcInfo = nullptr;
    int FInterval = 100;
    uint32_t FStartDelay = 500;
    bool FTimerEnabled = true;
    int64_t FRepeatTime = 0;
    bool FDown = false;
    TBitmap FGlyph;
    int FNumGlyphs = 1;
};

// Two small stacked buttons (up over down) that step a focus control.
class TIcSpinButton : public TWinControl {
    OZ_CLASS(TIcSpinButton, TWinControl);

public:
    explicit TIcSpinButton(TComponent* AOwner);
    ~TIcSpinButton() override;

    // The timing, glyph counts, focus control and TabStop; a glyph other
    // than the library's own arrow is stored as pixels (defined). The two
    // buttons are parts of it, not stored themselves.
    static void Publish(TPublisher<TIcSpinButton>& P);
    void DefineProperties(TFiler* Filer) override;

    TIcInfo* IcInfo() const { return FIcInfo; }
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    TIcTimerSpeedBtn* UpButton() const { return FUpButton; }
    TIcTimerSpeedBtn* DownButton() const { return FDownButton; }

    // nullptr brings back the library's own arrow.
    TBitmap* UpGlyph() const { return FUpButton->Glyph(); }
    void SetUpGlyph(TBitmap* Value);
    TBitmap* DownGlyph() const { return FDownButton->Glyph(); }
    void SetDownGlyph(TBitmap* Value);
    int UpNumGlyphs() const { return FUpButton->NumGlyphs(); }
    void SetUpNumGlyphs(int Value) { FUpButton->SetNumGlyphs(Value); }
    int DownNumGlyphs() const { return FDownButton->NumGlyphs(); }
    void SetDownNumGlyphs(int Value) { FDownButton->SetNumGlyphs(Value); }

    // Read from the upper button, written to both.
    int Interval() const { return FUpButton->Interval(); }
    void SetInterval(int Value);
    uint32_t StartDelay() const { return FUpButton->StartDelay(); }
    void SetStartDelay(uint32_t Value);

    void SetEnabled(bool Value) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // The arrow keys are its own, not the form's.
    bool WantsKey(uint16_t Key) const override { return Key == VK_UP || Key == VK_DOWN; }

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

protected:
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Resize() override;

private:
    TIcTimerSpeedBtn* CreateButton();
    void myAdjustSize(int& W, int& H);
    void BtnMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void BtnClick(TObject* Sender);

    TIcInfo* FIcInfo = nullptr;
    TWinControl* FFocusControl = nullptr;
    TIcTimerSpeedBtn* FUpButton = nullptr;
    TIcTimerSpeedBtn* FDownButton = nullptr;
};

// The library's arrow glyphs: two 9 x 6 cells (enabled, disabled) on olive.
void LoadSpinGlyph(TBitmap* Bitmap, bool Up);
