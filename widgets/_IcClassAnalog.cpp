#include "widgets/_IcClassAnalog.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

namespace {

int32_t Saturated(int64_t Value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(Value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// A computed value as a Single: beyond the Single range it stays at its end.
float ToSingle(long double Value)
{
    if (std::isnan(Value))
        return 0.0f;
    return static_cast<float>(std::clamp<long double>(Value, -FLT_MAX, FLT_MAX));
}

}  // namespace

// -------------------------------------------------------- TIcAnalogGControl

TIcAnalogGControl::TIcAnalogGControl(TComponent* AOwner) : TIcGraphicControl(AOwner)
{
    SetParentFont(false);
    Font()->SetName("Arial");
    Font()->SetSize(8);
    Font()->KeepAsDefaults();
    LimitCheck();
    FLastOrigin = Point(Left(), Top());
}

TIcAnalogGControl::~TIcAnalogGControl()
{
    FLoaded = false;
}

void TIcAnalogGControl::Loaded()
{
    TIcGraphicControl::Loaded();
    FLoaded = true;
    FSignalSettings.OnChange = [this](TObject* Sender) { ParamChange(Sender); };
    FSectorSettings.OnChange = [this](TObject* Sender) { ParamChange(Sender); };
    FMinMax.OnChange = [this](TObject* Sender) { MinMaxChange(Sender); };
    // Untouched settings have no factors yet: nothing would convert.
    Recalc();
    FMinMax.SetMin(TMinMax::NoMin);
    FMinMax.SetMax(TMinMax::NoMax);
    SetHint();
}

void TIcAnalogGControl::FontChanged()
{
    TIcGraphicControl::FontChanged();
    if (FLoaded)
        ParamChange(this);
}

void TIcAnalogGControl::CalcLogFactors()
{
    const long double From = FSignalSettings.ValueFrom();
    const long double To = FSignalSettings.ValueTo();
    const long double Range = FSignalSettings.DigitRange();
    if (To == From)
        FLogFactor = static_cast<double>(Range);
    else if (From > 0 && To > 0)
        FLogFactor = static_cast<double>(Range / IcLog10(To / From));
    else
        FLogFactor = 0.0;   // no decades: nothing converts
    FLogOffset = From > 0 ? static_cast<double>(IcLog10(1.0L / From)) : 0.0;
}

int32_t TIcAnalogGControl::DigitOf(float Value) const
{
    const TSignalSettings& S = FSignalSettings;
    if (FLogScale) {
        if (S.ValueFrom() <= 0.0f || Value <= 0.0f)
            return S.DigitalFrom();
        const int32_t Steps = IcRound(IcLog10(1.0L / S.ValueFrom() * Value) * FLogFactor);
        return Saturated(static_cast<int64_t>(Steps) + S.DigitalFrom());
    }
    return IcRound((static_cast<long double>(Value) - S.ValueFrom()) * S.DigitsPerValue() + S.DigitalFrom());
}

void TIcAnalogGControl::Recalc()
{
    FSignalSettings.Recompute();
    if (FLogScale) {
        CalcLogFactors();
        if (FValue <= 0.0f)
            FValue = 1.0f;
    }
    FDigit = DigitOf(FValue);
}

void TIcAnalogGControl::ParamChange(TObject* Sender)
{
    TIcGraphicControl::ParamChange(Sender);
    Recalc();
    if (OnSettingsChange)
        OnSettingsChange(this);
}

void TIcAnalogGControl::SetValue(float Value)
{
    if (!std::isfinite(Value) || Value == FValue || (FLogScale && Value <= 0.0f))
        return;
    FValue = Value;
    FDigit = DigitOf(Value);
    ValueChange();
}

void TIcAnalogGControl::SetDigit(int32_t Value)
{
    if (Value == FDigit)
        return;
    FDigit = Value;
    const TSignalSettings& S = FSignalSettings;
    const long double Steps = static_cast<long double>(static_cast<int64_t>(Value) - S.DigitalFrom());
    if (!FLogScale)
        FValue = ToSingle(Steps * S.ValuePerDigit() + S.ValueFrom());
    else if (FLogFactor != 0.0)
        FValue = ToSingle(IcPower(10.0L, Steps / FLogFactor - FLogOffset));
    ValueChange();
}

void TIcAnalogGControl::SetLimitUpper(float Value)
{
    if (std::isnan(Value) || Value == FLimitUpper)
        return;
    FLimitUpper = Value;
    FLimitUpperPPT = FSignalSettings.GetPPT(Value);
    ValueChange();
}

void TIcAnalogGControl::SetLimitLower(float Value)
{
    if (std::isnan(Value))
        return;
    const float Stored = Value == 0.0f ? 0.0001f : Value;
    if (Stored == FLimitLower)
        return;
    FLimitLower = Stored;
    FLimitLowerPPT = FSignalSettings.GetPPT(Stored);
    ValueChange();
}

void TIcAnalogGControl::SetHintOptions(THintOptions Value)
{
    const bool SwitchedOn = !FHintOptions.Contains(hoAutoHint) && Value.Contains(hoAutoHint);
    FHintOptions = Value;
    if (SwitchedOn)
        ValueChange();
}

void TIcAnalogGControl::SetLogScale(bool Value)
{
    if (Value == FLogScale)
        return;
    FLogScale = Value;
    FSignalSettings.SetLogScale(Value);
    FSectorSettings.SetLogScale(Value);
    if (Value) {
        if (FValue <= 0.0f)
            FValue = 0.001f;
        int Exponent = 0;
        const float From = FSignalSettings.ValueFrom();
        FSignalSettings.SetValueFrom(From > 0.0f ? static_cast<float>(IcRoundLogValue(From, Exponent)) : 0.001f);
        FSignalSettings.SetValueTo(static_cast<float>(IcRoundLogValue(FSignalSettings.ValueTo(), Exponent)));
        FSignalSettings.Recompute();
        CalcLogFactors();
    }
    FDigit = DigitOf(FValue);
    LogScaleChanged();
}

void TIcAnalogGControl::LogScaleChanged()
{
    Change();
}

void TIcAnalogGControl::LimitCheck()
{
    const bool Upper = FValue > FLimitUpper;
    const bool Lower = FValue < FLimitLower;
    if (Upper == FLimitUpperOn && Lower == FLimitLowerOn)
        return;
    FLimitUpperOn = Upper;
    FLimitLowerOn = Lower;
    LimitChange();
    if (OnLimit)
        OnLimit(this, Lower, Upper);
}

void TIcAnalogGControl::ValueChange()
{
    if (Left() != FLastOrigin.X || Top() != FLastOrigin.Y) {
        FLastOrigin = Point(Left(), Top());
        if (OnPosChange)
            OnPosChange(this);
    }
    const TSignalSettings& S = FSignalSettings;
    FDigitText = IntToStr(FDigit);
    FValueText = FormatFloat(S.ValueFormat(), FValue);

    // Without a digit range there is no position to give: the start.
    const int32_t Range = S.DigitRange();
    const int32_t Position =
        Range == 0 ? 0 : IcRound(1000.0L / Range * (static_cast<long double>(FDigit) - S.DigitalFrom()));
    FPPT = Position;

    const TSectorSettings& Sec = FSectorSettings;
    const struct {
        bool* Flag;
        int32_t From, To;
        TColor Color;
    } Sectors[] = {
        {&FInSector1, Sec.Sector1From(), Sec.Sector1To(), Sec.Sector1Color()},
        {&FInSector2, Sec.Sector2From(), Sec.Sector2To(), Sec.Sector2Color()},
        {&FInSector3, Sec.Sector3From(), Sec.Sector3To(), Sec.Sector3Color()},
    };
    for (int N = 0; N < 3; ++N) {
        const bool Inside = Sectors[N].From <= Position && Position <= Sectors[N].To;
        if (Inside)
            FSectorColor = Sectors[N].Color;
        if (Inside != *Sectors[N].Flag) {
            *Sectors[N].Flag = Inside;
            if (OnSectorChange)
                OnSectorChange(this, N == 0, N == 1, N == 2, Inside);
        }
    }

    LimitCheck();

    if (Position < 0) {
        if (!FOverflowLower) {
            FOverflowLower = true;
            FOverflowUpper = false;
            OverflowChange(Position);
            if (OnOverflow)
                OnOverflow(this, Position);
        }
        FPPT = 0;
    } else if (Position > 1000) {
        if (!FOverflowUpper) {
            FOverflowUpper = true;
            FOverflowLower = false;
            OverflowChange(Position);
            if (OnOverflow)
                OnOverflow(this, Position);
        }
        FPPT = 1000;
    } else if (FOverflowLower || FOverflowUpper) {
        FOverflowLower = false;
        FOverflowUpper = false;
        OverflowChange(Position);
        if (OnOverflow)
            OnOverflow(this, Position);
    }

    // The first minimum and maximum are taken silently.
    if (FMinMax.Min() > FValue) {
        const bool First = FMinMax.Min() == TMinMax::NoMin;
        FMinMax.SetMin(FValue);
        FMinPPT = FPPT;
        if (!First)
            MinMaxChange(this);
    }
    if (FMinMax.Max() < FValue) {
        const bool First = FMinMax.Max() == TMinMax::NoMax;
        FMinMax.SetMax(FValue);
        FMaxPPT = FPPT;
        if (!First)
            MinMaxChange(this);
    }

    SetHint();
    if (OnValueChange)
        OnValueChange(this);
}

void TIcAnalogGControl::SetHint()
{
    // While a form is read the options may still come: Loaded builds it.
    if (!FHintOptions.Contains(hoAutoHint) || ComponentState().Contains(csLoading))
        return;
    const TSignalSettings& S = FSignalSettings;
    std::string H;
    auto Line = [&H] {
        if (!H.empty())
            H += '\r';
    };
    auto Extreme = [&](const char* Label, float Value, TDateTime Stamp) {
        Line();
        H += Label;
        H += FormatFloat(S.ValueFormat(), Value) + " " + S.ValueUnit();
        if (FHintOptions.Contains(hoMinMaxDate))
            H += " " + DateToStr(Stamp);
        if (FHintOptions.Contains(hoMinMaxTime))
            H += " " + TimeToStr(Stamp);
    };
    if (FHintOptions.Contains(hoValue))
        H += "Value= " + FValueText + " " + S.ValueUnit();
    if (FHintOptions.Contains(hoMin))
        Extreme("MIN= ", FMinMax.Min(), FMinMax.MinDateTime());
    if (FHintOptions.Contains(hoMax))
        Extreme("MAX= ", FMinMax.Max(), FMinMax.MaxDateTime());
    if (FHintOptions.Contains(hoName1)) {
        Line();
        H += S.Name1();
    }
    if (FHintOptions.Contains(hoName2)) {
        Line();
        H += S.Name2();
    }
    if (H != Hint())
        SetHint(H);
}

void TIcAnalogGControl::MinMaxChange(TObject* /*Sender*/)
{
    if (OnMinMaxChange)
        OnMinMaxChange(this);
    ValueChange();
}

void TIcAnalogGControl::ResetMinMax()
{
    FMinMax.SetMin(FValue);
    FMinPPT = FPPT;
    FMinMax.SetMax(FValue);
    FMaxPPT = FPPT;
    MinMaxChange(this);
    SetHint();
    ValueChange();
}

void TIcAnalogGControl::SetMin(float Value, TDateTime ADateTime)
{
    if (Value == FMinMax.Min())
        return;
    FMinMax.SetMin(Value);
    FMinPPT = FSignalSettings.GetPPT(Value);
    FMinMax.SetMinDateTime(ADateTime);
    MinMaxChange(this);
    SetHint();
}

void TIcAnalogGControl::SetMax(float Value, TDateTime ADateTime)
{
    if (Value == FMinMax.Max())
        return;
    FMinMax.SetMax(Value);
    FMaxPPT = FSignalSettings.GetPPT(Value);
    FMinMax.SetMaxDateTime(ADateTime);
    MinMaxChange(this);
    SetHint();
}

// -------------------------------------------------------- TIcAnalogCControl

namespace {

// The enabled key a virtual key stands for.
bool EnabledKeyOf(uint16_t Key, TEnabledKey& Result)
{
    static constexpr struct {
        uint16_t VK;
        TEnabledKey Key;
    } Keys[] = {
        {VK_PRIOR, _VK_PRIOR}, {VK_NEXT, _VK_NEXT}, {VK_END, _VK_END},   {VK_HOME, _VK_HOME},
        {VK_LEFT, _VK_LEFT},   {VK_DOWN, _VK_DOWN}, {VK_UP, _VK_UP},     {VK_RIGHT, _VK_RIGHT},
    };
    for (const auto& K : Keys)
        if (K.VK == Key) {
            Result = K.Key;
            return true;
        }
    return false;
}

}  // namespace

TIcAnalogCControl::TIcAnalogCControl(TComponent* AOwner) : TIcCustomControl(AOwner)
{
    BeginUpdate();
    SetTabStop(true);
    SetParentFont(false);
    Font()->SetName("MS Sans Serif");
    Font()->SetSize(10);
    Font()->KeepAsDefaults();
    // Value and digit convert from the start: a stored control reads its
    // digit and value before Loaded recomputes.
    FSignalSettings.Recompute();
}

TIcAnalogCControl::~TIcAnalogCControl()
{
    FSignalSettings.OnChange = nullptr;
    FValueIndicator = nullptr;
}

void TIcAnalogCControl::Loaded()
{
    TIcCustomControl::Loaded();
    FSignalSettings.Change();
    FSignalSettings.OnChange = [this](TObject* Sender) { ParamChange(Sender); };
    FLoaded = true;
    EndUpdate();
}

void TIcAnalogCControl::SetValue(float Value)
{
    if (!std::isfinite(Value) || Value == FValue)
        return;
    const TSignalSettings& S = FSignalSettings;
    FValue = std::max(std::min(Value, S.ValueTo()), S.ValueFrom());
    SetDigit(IcRound((static_cast<long double>(FValue) - S.ValueFrom()) * S.DigitsPerValue() + S.DigitalFrom()));
}

void TIcAnalogCControl::SetDigit(int32_t Value)
{
    const TSignalSettings& S = FSignalSettings;
    // Compared once clipped: a step against a range end changes nothing.
    const int32_t D = std::max(std::min(Value, S.DigitalTo()), S.DigitalFrom());
    if (D == FDigit)
        return;
    FDigit = D;
    FValue = ToSingle(static_cast<long double>(static_cast<int64_t>(D) - S.DigitalFrom()) * S.ValuePerDigit() +
                      S.ValueFrom());
    ValueChange();
    FValueChangedPending = true;
    if (OnValueChange && FLoaded)
        OnValueChange(this);
}

void TIcAnalogCControl::DoChange(int32_t Up, int32_t Down)
{
    const TSignalSettings& S = FSignalSettings;
    int64_t D = Up > 0 ? static_cast<int64_t>(FDigit) + Up : static_cast<int64_t>(FDigit) - Down;
    D = std::min<int64_t>(D, S.DigitalTo());
    D = std::max<int64_t>(D, S.DigitalFrom());
    SetDigit(static_cast<int32_t>(D));
}

void TIcAnalogCControl::ValueChange()
{
    FValueText = FormatFloat(FSignalSettings.ValueFormat(), FValue);
    FDigitText = IntToStr(FDigit);
    if (FValueIndicator)
        FValueIndicator->SetValue(FValue);
}

void TIcAnalogCControl::ParamChange(TObject* Sender)
{
    TIcCustomControl::ParamChange(Sender);
    // Inside the slide area the control shows the slide cursor, not its own.
    if (!FInSlideArea)
        FNormalCursor = Cursor();
    if (FValueIndicator)
        FValueIndicator->SignalSettings()->Assign(&FSignalSettings);
}

void TIcAnalogCControl::SetColorFocus(TColor Value)
{
    if (Value == FColorFocus)
        return;
    FColorFocus = Value;
    ParamChange(this);
}

void TIcAnalogCControl::SetColorNonFocus(TColor Value)
{
    if (Value == FColorNonFocus)
        return;
    FColorNonFocus = Value;
    ParamChange(this);
}

void TIcAnalogCControl::SetValueIndicator(TIcAnalogGControl* Value)
{
    if (FValueIndicator && FValueIndicator != Value)
        RemoveFreeNotification(FValueIndicator);
    FValueIndicator = Value;
    if (!Value)
        return;
    Value->FreeNotification(this);
    Value->SignalSettings()->Assign(&FSignalSettings);
    ValueChange();
}

void TIcAnalogCControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TIcCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FValueIndicator)
        FValueIndicator = nullptr;
}

void TIcAnalogCControl::SetEnabled(bool Value)
{
    TIcCustomControl::SetEnabled(Value);
    ValueChange();
}

void TIcAnalogCControl::DoEnter()
{
    TIcCustomControl::DoEnter();
    ValueChange();
}

void TIcAnalogCControl::DoExit()
{
    TIcCustomControl::DoExit();
    ValueChange();
}

bool TIcAnalogCControl::WantsKey(uint16_t Key) const
{
    TEnabledKey K;
    return FEnableKeyboard && EnabledKeyOf(Key, K) && FEnabledKeys.Contains(K);
}

void TIcAnalogCControl::KeyDown(uint16_t& Key, TShiftState Shift)
{
    TIcCustomControl::KeyDown(Key, Shift);
    TEnabledKey K;
    if (!FEnableKeyboard || !EnabledKeyOf(Key, K) || !FEnabledKeys.Contains(K))
        return;
    switch (K) {
    case _VK_PRIOR: DoChange(FChangeLarge, 0); break;
    case _VK_NEXT: DoChange(0, FChangeLarge); break;
    case _VK_END: SetDigit(FSignalSettings.DigitalTo()); break;
    case _VK_HOME: SetDigit(FSignalSettings.DigitalFrom()); break;
    case _VK_LEFT:
    case _VK_DOWN: DoChange(0, FChangeSmall); break;
    case _VK_UP:
    case _VK_RIGHT: DoChange(FChangeSmall, 0); break;
    }
}

void TIcAnalogCControl::ReleaseChange()
{
    if (!FValueChangedPending)
        return;
    FValueChangedPending = false;
    if (OnValueChanged)
        OnValueChanged(this);
}

void TIcAnalogCControl::KeyUp(uint16_t& Key, TShiftState Shift)
{
    TIcCustomControl::KeyUp(Key, Shift);
    ReleaseChange();
}

bool TIcAnalogCControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    if (WheelDelta != 120 && WheelDelta != -120)
        return TIcCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos);
    if (WheelDelta > 0)
        DoChange(FChangeSmall, 0);
    else
        DoChange(0, FChangeSmall);
    // A notch has no release to wait for: the change is complete.
    ReleaseChange();
    return true;
}

bool TIcAnalogCControl::InArea(int X, int Y) const
{
    return FRoundSlideArea ? IcInCircle(X, Y, FSlideRect) : IcInRect(X, Y, FSlideRect);
}

void TIcAnalogCControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TIcCustomControl::MouseDown(Button, Shift, X, Y);
    if (CanFocus())
        SetFocus();
    if (Button != mbLeft)
        return;
    FInSlideArea = InArea(X, Y);
    if (FInSlideArea) {
        FSliding = true;
        MouseSlide(Shift, X, Y, FLastPos);
        FLastPos = Point(X, Y);
    }
}

void TIcAnalogCControl::MouseMove(TShiftState Shift, int X, int Y)
{
    TIcCustomControl::MouseMove(Shift, X, Y);
    FInSlideArea = InArea(X, Y);
    const TCursor Wanted = FInSlideArea ? FCursorSlide : FNormalCursor;
    if (Cursor() != Wanted)
        SetCursor(Wanted);
    if (FSliding)
        MouseSlide(Shift, X, Y, FLastPos);
}

void TIcAnalogCControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TIcCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    FSliding = false;
    ReleaseChange();
}

void TIcAnalogCControl::MouseSlide(TShiftState /*Shift*/, int X, int Y, const TPoint& /*LastPos*/)
{
    FLastPos = Point(X, Y);
}
