// The bases of the library's analog instruments (members of the class unit
// _IcClass, kept in their own file): a windowless display of one value on a
// scale (meters, bars, dials) and a focusable input control whose value the
// user changes with keys, the mouse wheel or by sliding the mouse (knobs,
// sliders). Both turn the value into a digit and into parts per thousand
// (PPT) of the range through their TSignalSettings; the display also tracks
// limits, sectors, over- and under-range and the running minimum and
// maximum, and builds its hint. Neither paints: concrete instruments
// override Paint and the hooks.
//
// A form stores their published values and calls Loaded once it has read
// them; code that makes an instrument sets its properties through the
// setters and then calls Loaded itself.
#pragma once

#include "platform/SysUtils.h"
#include "widgets/_IcClass.h"
#include "widgets/_IcSignal.h"
#include "widgets/_icproc.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

// A set of the enumeration E (at most 32 members, from 0 on).
template <class E>
class TIcSet {
public:
    constexpr TIcSet() = default;
    constexpr TIcSet(std::initializer_list<E> Items)
    {
        for (E I : Items)
            FBits |= Bit(I);
    }
    // Every member from 0 to Last.
    static constexpr TIcSet UpTo(E Last)
    {
        TIcSet S;
        S.FBits = Bit(Last) | (Bit(Last) - 1u);
        return S;
    }
    constexpr bool Contains(E I) const { return (FBits & Bit(I)) != 0; }
    constexpr void Include(E I) { FBits |= Bit(I); }
    constexpr void Exclude(E I) { FBits &= ~Bit(I); }
    constexpr uint32_t Bits() const { return FBits; }
    static constexpr TIcSet FromBits(uint32_t Bits)
    {
        TIcSet S;
        S.FBits = Bits;
        return S;
    }
    constexpr bool operator==(const TIcSet&) const = default;

private:
    static constexpr uint32_t Bit(E I) { return 1u << static_cast<unsigned>(I); }
    uint32_t FBits = 0;
};

// What the automatic hint holds.
enum THintOption { hoAutoHint, hoValue, hoName1, hoName2, hoMin, hoMax, hoMinMaxDate, hoMinMaxTime };
using THintOptions = TIcSet<THintOption>;

using TLimitEvent = std::function<void(TObject* Sender, bool Lower, bool Upper)>;
// PPT is the position before clipping to 0..1000.
using TOverflowEvent = std::function<void(TObject* Sender, int32_t PPT)>;
// One sector entered (Enter) or left; the flag of that sector is true.
using TSectorChangeEvent =
    std::function<void(TObject* Sender, bool Sector1, bool Sector2, bool Sector3, bool Enter)>;

// A display of one value on a scale.
class TIcAnalogGControl : public TIcGraphicControl {
    OZ_CLASS(TIcAnalogGControl, TIcGraphicControl);

public:
    // Arial 8; value 50 of 0..100 on digits 0..1000; limits 10 and 90.
    explicit TIcAnalogGControl(TComponent* AOwner);
    ~TIcAnalogGControl() override;

    // Digit, limits, hint options, the three settings objects and the
    // value (read last: the digit follows it).
    static void Publish(TPublisher<TIcAnalogGControl>& P);

    // Called once the properties are set: from here on the changes of the
    // settings and the font reach ParamChange, the scaling is recomputed and
    // no minimum or maximum is recorded yet.
    void Loaded() override;
    bool IsLoaded() const { return FLoaded; }

    float Value() const { return FValue; }
    // Ignored when equal, not finite, or at or below 0 in log mode.
    void SetValue(float Value);
    int32_t Digit() const { return FDigit; }
    // The value follows the digit (kept in log mode while LogFactor is 0).
    void SetDigit(int32_t Value);
    float LimitUpper() const { return FLimitUpper; }
    void SetLimitUpper(float Value);
    float LimitLower() const { return FLimitLower; }
    // 0 is kept as 0.0001.
    void SetLimitLower(float Value);
    THintOptions HintOptions() const { return FHintOptions; }
    // Switching hoAutoHint on rebuilds the hint; switching it off leaves it.
    void SetHintOptions(THintOptions Value);
    TSectorSettings* SectorSettings() { return &FSectorSettings; }
    TSignalSettings* SignalSettings() { return &FSignalSettings; }
    TMinMax* MinMax() { return &FMinMax; }

    // Logarithmic scaling: the range ends go to powers of ten, a value at or
    // below 0 to 0.001.
    bool LogScale() const { return FLogScale; }
    void SetLogScale(bool Value);
    // Digits per decade, and log10(1 / ValueFrom).
    double LogFactor() const { return FLogFactor; }
    double LogOffset() const { return FLogOffset; }

    // As of the last value change.
    const std::string& ValueText() const { return FValueText; }
    const std::string& DigitText() const { return FDigitText; }
    bool OverflowUpper() const { return FOverflowUpper; }
    bool OverflowLower() const { return FOverflowLower; }
    bool LimitUpperOn() const { return FLimitUpperOn; }
    bool LimitLowerOn() const { return FLimitLowerOn; }
    int32_t LimitUpperPPT() const { return FLimitUpperPPT; }
    int32_t LimitLowerPPT() const { return FLimitLowerPPT; }
    // Position of the value, clipped to 0..1000 (0 while the digit range is 0).
    int32_t PPT() const { return FPPT; }
    int32_t MaxPPT() const { return FMaxPPT; }
    int32_t MinPPT() const { return FMinPPT; }
    bool InSector1() const { return FInSector1; }
    bool InSector2() const { return FInSector2; }
    bool InSector3() const { return FInSector3; }
    // Colour of the highest sector that holds the position; kept outside all.
    TColor SectorColor() const { return FSectorColor; }
    TPoint LastOrigin() const { return FLastOrigin; }

    // Minimum and maximum start again from the value, stamped now.
    void ResetMinMax();
    // A minimum or maximum recorded elsewhere, with its time.
    void SetMin(float Value, TDateTime ADateTime);
    void SetMax(float Value, TDateTime ADateTime);

    // Builds the hint from HintOptions when hoAutoHint is set: lines ended
    // by #13 with the value, the minimum and maximum (with date and time
    // when asked) and the two names. While a form is read the hint waits
    // for Loaded, so a stored hint of the control's own stays.
    using TIcGraphicControl::SetHint;
    void SetHint();

    TNotifyEvent OnMinMaxChange;
    // The control was moved since the last value change.
    TNotifyEvent OnPosChange;
    TLimitEvent OnLimit;
    TOverflowEvent OnOverflow;
    TNotifyEvent OnSettingsChange;
    TSectorChangeEvent OnSectorChange;
    TNotifyEvent OnValueChange;

protected:
    // Recomputes the scaling (digit from value) and reports OnSettingsChange.
    void ParamChange(TObject* Sender) override;
    void FontChanged() override;
    // After every change of value, digit, limits or minimum and maximum:
    // texts, position, sectors, limits, range, minimum and maximum, hint.
    virtual void ValueChange();
    // Hooks of concrete instruments.
    virtual void OverflowChange(int32_t PPT) {}
    virtual void LimitChange() {}
    // OnMinMaxChange, then ValueChange.
    virtual void MinMaxChange(TObject* Sender);
    // Change.
    virtual void LogScaleChanged();
    void LimitCheck();

private:
    void Recalc();
    void CalcLogFactors();
    int32_t DigitOf(float Value) const;

    int32_t FDigit = 500;
    THintOptions FHintOptions = THintOptions::UpTo(hoMinMaxTime);
    TSectorSettings FSectorSettings;
    TSignalSettings FSignalSettings;
    TMinMax FMinMax;
    float FValue = 50.0f;
    float FLimitUpper = 90.0f;
    float FLimitLower = 10.0f;
    bool FLogScale = false;
    double FLogFactor = 0.0;
    double FLogOffset = 0.0;
    TPoint FLastOrigin;
    std::string FValueText;
    std::string FDigitText;
    bool FOverflowUpper = false;
    bool FOverflowLower = false;
    bool FLimitUpperOn = true;
    bool FLimitLowerOn = true;
    int32_t FLimitUpperPPT = 900;
    int32_t FLimitLowerPPT = 100;
    int32_t FPPT = 500;
    int32_t FMaxPPT = 0;
    int32_t FMinPPT = 0;
    bool FInSector1 = false;
    bool FInSector2 = false;
    bool FInSector3 = false;
    TColor FSectorColor = clBlack;
    bool FLoaded = false;
};

// The keys an input control may act on.
enum TEnabledKey { _VK_PRIOR, _VK_NEXT, _VK_END, _VK_HOME, _VK_LEFT, _VK_DOWN, _VK_UP, _VK_RIGHT };
using TEnabledKeys = TIcSet<TEnabledKey>;

// An input control: the digit moves by keys (PgUp/PgDn by ChangeLarge, the
// arrows and the wheel by ChangeSmall, Home and End to the range ends), or
// by sliding the mouse in SlideRect, always inside the digit range.
// OnValueChange comes with every step, OnValueChanged once when the key or
// the left button is released (and after each wheel notch).
class TIcAnalogCControl : public TIcCustomControl {
    OZ_CLASS(TIcAnalogCControl, TIcCustomControl);

public:
    // Value 10 on digit 100 of 0..1000; opens an update that Loaded ends.
    explicit TIcAnalogCControl(TComponent* AOwner);
    ~TIcAnalogCControl() override;

    // Digit, steps, ranges, value, colours, cursor, keys, the value
    // indicator and TabStop.
    static void Publish(TPublisher<TIcAnalogCControl>& P);

    // Recomputes the scaling, binds the settings' changes to ParamChange and
    // ends the construction's update: the control is live.
    void Loaded() override;
    bool IsLoaded() const { return FLoaded; }

    int32_t ChangeLarge() const { return FChangeLarge; }
    void SetChangeLarge(int32_t Value) { FChangeLarge = Value; }
    int32_t ChangeSmall() const { return FChangeSmall; }
    void SetChangeSmall(int32_t Value) { FChangeSmall = Value; }
    int32_t Digit() const { return FDigit; }
    // Clipped to the digit range; the value follows.
    void SetDigit(int32_t Value);
    float Value() const { return FValue; }
    // Clipped to the value range, then taken to its digit; not finite is
    // ignored.
    void SetValue(float Value);
    TSignalSettings* SignalSettings() { return &FSignalSettings; }
    TCursor CursorSlide() const { return FCursorSlide; }
    void SetCursorSlide(TCursor Value) { FCursorSlide = Value; }
    bool EnableKeyboard() const { return FEnableKeyboard; }
    void SetEnableKeyboard(bool Value) { FEnableKeyboard = Value; }
    TEnabledKeys EnabledKeys() const { return FEnabledKeys; }
    void SetEnabledKeys(TEnabledKeys Value) { FEnabledKeys = Value; }
    TColor ColorFocus() const { return FColorFocus; }
    void SetColorFocus(TColor Value);
    TColor ColorNonFocus() const { return FColorNonFocus; }
    void SetColorNonFocus(TColor Value);
    // A display that takes this control's ranges and mirrors its value (not
    // owned; forgotten when it is freed).
    TIcAnalogGControl* ValueIndicator() const { return FValueIndicator; }
    void SetValueIndicator(TIcAnalogGControl* Value);

    bool ValueChangedPending() const { return FValueChangedPending; }
    const std::string& ValueText() const { return FValueText; }
    const std::string& DigitText() const { return FDigitText; }
    bool Sliding() const { return FSliding; }
    TPoint LastPos() const { return FLastPos; }
    // The slide area, set by the concrete control; with RoundSlideArea the
    // circle inscribed in it.
    const TRect& SlideRect() const { return FSlideRect; }
    void SetSlideRect(const TRect& Value) { FSlideRect = Value; }
    bool RoundSlideArea() const { return FRoundSlideArea; }
    void SetRoundSlideArea(bool Value) { FRoundSlideArea = Value; }
    bool InSlideArea() const { return FInSlideArea; }
    // The cursor shown outside the slide area.
    TCursor NormalCursor() const { return FNormalCursor; }

    // Up > 0 adds Up, else Down is taken away; the result is clipped.
    void DoChange(int32_t Up, int32_t Down);

    void SetEnabled(bool Value) override;
    // The keys it acts on are its own.
    bool WantsKey(uint16_t Key) const override;

    TNotifyEvent OnValueChange;
    TNotifyEvent OnValueChanged;

protected:
    // Takes the normal cursor and passes the ranges to the ValueIndicator.
    void ParamChange(TObject* Sender) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // Only deltas of one notch (+120 up, -120 down) step; a notch is a
    // finished change (OnValueChanged follows at once).
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void DoEnter() override;
    void DoExit() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Turns the movement since LastPos into a new digit (concrete controls);
    // the base only records (X, Y) as the last position.
    virtual void MouseSlide(TShiftState Shift, int X, int Y, const TPoint& LastPos);
    // Texts, and the value to the ValueIndicator.
    virtual void ValueChange();

private:
    bool InArea(int X, int Y) const;
    void ReleaseChange();

    int32_t FChangeLarge = 10;
    int32_t FChangeSmall = 1;
    int32_t FDigit = 100;
    float FValue = 10.0f;
    TSignalSettings FSignalSettings;
    TCursor FCursorSlide = crIcHand;
    bool FEnableKeyboard = true;
    TEnabledKeys FEnabledKeys = TEnabledKeys::UpTo(_VK_RIGHT);
    TColor FColorFocus = clLime;
    TColor FColorNonFocus = clGreen;
    TIcAnalogGControl* FValueIndicator = nullptr;
    bool FValueChangedPending = false;
    std::string FValueText;
    std::string FDigitText;
    bool FSliding = false;
    TPoint FLastPos;
    TRect FSlideRect;
    bool FInSlideArea = false;
    bool FRoundSlideArea = false;
    TCursor FNormalCursor = crDefault;
    bool FLoaded = false;
};
