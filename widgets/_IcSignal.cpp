#include "widgets/_IcSignal.h"

#include "widgets/_icproc.h"

#include <limits>

namespace {

// Integer differences of the digit fields, kept inside the 32-bit range.
int32_t SaturatedDifference(int32_t A, int32_t B)
{
    const int64_t d = static_cast<int64_t>(A) - B;
    if (d > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (d < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(d);
}

// Stores Value in Field and reports whether it changed.
template <class T>
bool Store(T& Field, const T& Value)
{
    if (Field == Value)
        return false;
    Field = Value;
    return true;
}

}  // namespace

std::string IcGetValueFormat(const std::string& Format)
{
    const size_t p = Format.find(';');
    if (p == std::string::npos)
        return Format;
    std::string head = Format.substr(0, p);
    std::string rest = Format.substr(p + 1);
    return head.size() > rest.size() ? head : rest;
}

// ---------------------------------------------------------- TSignalSettings

void TSignalSettings::SetDigitalFrom(int32_t Value)
{
    if (Store(FDigitalFrom, Value))
        Change();
}

void TSignalSettings::SetDigitalTo(int32_t Value)
{
    if (Store(FDigitalTo, Value))
        Change();
}

void TSignalSettings::SetName1(const std::string& Value)
{
    if (Store(FName1, Value))
        Change();
}

void TSignalSettings::SetName2(const std::string& Value)
{
    if (Store(FName2, Value))
        Change();
}

void TSignalSettings::SetValueFormat(const std::string& Value)
{
    if (Store(FValueFormat, Value))
        Change();
}

void TSignalSettings::SetValueUnit(const std::string& Value)
{
    if (Store(FValueUnit, Value))
        Change();
}

void TSignalSettings::SetValueFrom(float Value)
{
    if (Value == FValueFrom || Value == FValueTo)
        return;
    // A start of 0 is kept just above it; that must not meet the end either.
    const float stored = Value == 0.0f ? 0.000001f : Value;
    if (stored == FValueTo)
        return;
    FValueFrom = stored;
    if (FLogScale) {
        int exponent = 0;
        const float decade = static_cast<float>(IcRoundLogValue(FValueFrom, exponent));
        if (decade != FValueTo)
            FValueFrom = decade;
    }
    Change();
}

void TSignalSettings::SetValueTo(float Value)
{
    if (Value == FValueFrom || Value == FValueTo)
        return;
    FValueTo = Value;
    if (FLogScale) {
        int exponent = 0;
        const float decade = static_cast<float>(IcRoundLogValue(FValueTo, exponent));
        if (decade != FValueFrom)
            FValueTo = decade;
    }
    Change();
}

void TSignalSettings::ReadValueFrom(float Value)
{
    WriteRangeEnds(Value, Value == FValueTo ? FValueFrom : FValueTo);
}

void TSignalSettings::Recompute()
{
    // A start at or above 0 with an end at or below 0 keeps the last span.
    if (FValueFrom < 0.0f || FValueTo > 0.0f)
        FValueRange = FValueTo - FValueFrom;
    if (FDigitalFrom < 0 || FDigitalTo > 0)
        FDigitRange = SaturatedDifference(FDigitalTo, FDigitalFrom);
    if (FDigitRange > 0)
        FValuePerDigit = FValueRange / static_cast<float>(FDigitRange);
    if (FValueRange > 0.0f) {
        FDigitsPerValue = static_cast<float>(FDigitRange) / FValueRange;
        FPPTFactor = 1000.0f / FValueRange;
        FDisplayFormat = IcGetValueFormat(FValueFormat);
    }
}

void TSignalSettings::Change()
{
    Recompute();
    TIcPersistent::Change();
}

int32_t TSignalSettings::GetPPT(float Value) const
{
    return IcRound((static_cast<long double>(Value) - FValueFrom) * FPPTFactor);
}

float TSignalSettings::GetValue(int32_t PPT) const
{
    return static_cast<float>(static_cast<double>(FValueRange) / 1000.0 * PPT + FValueFrom);
}

void TSignalSettings::WriteRangeEnds(float From, float To)
{
    // Each setter refuses a value equal to either current end. Writing the
    // start first would be refused when it equals the old end (100..200 onto
    // 0..100), so the end goes first then; when the two ends trade places
    // the end is parked on the old start for the moment it takes.
    if (From == FValueTo && From != FValueFrom) {
        if (To == FValueFrom)
            FValueTo = To;
        else
            SetValueTo(To);
        SetValueFrom(From);
        return;
    }
    SetValueFrom(From);
    SetValueTo(To);
}

void TSignalSettings::AssignTo(TPersistent* Dest)
{
    auto* d = dynamic_cast<TSignalSettings*>(Dest);
    if (!d) {
        TIcPersistent::AssignTo(Dest);
        return;
    }
    d->SetDigitalFrom(FDigitalFrom);
    d->SetDigitalTo(FDigitalTo);
    d->SetValueFormat(FValueFormat);
    d->WriteRangeEnds(FValueFrom, FValueTo);
    d->SetValueUnit(FValueUnit);
    d->SetName1(FName1);
    d->SetName2(FName2);
}

// ---------------------------------------------------------- TSectorSettings

void TSectorSettings::SetSector1Color(TColor Value) { if (Store(FSector1Color, Value)) Change(); }
void TSectorSettings::SetSector1From(int32_t Value) { if (Store(FSector1From, Value)) Change(); }
void TSectorSettings::SetSector1To(int32_t Value) { if (Store(FSector1To, Value)) Change(); }
void TSectorSettings::SetSector2Color(TColor Value) { if (Store(FSector2Color, Value)) Change(); }
void TSectorSettings::SetSector2From(int32_t Value) { if (Store(FSector2From, Value)) Change(); }
void TSectorSettings::SetSector2To(int32_t Value) { if (Store(FSector2To, Value)) Change(); }
void TSectorSettings::SetSector3Color(TColor Value) { if (Store(FSector3Color, Value)) Change(); }
void TSectorSettings::SetSector3From(int32_t Value) { if (Store(FSector3From, Value)) Change(); }
void TSectorSettings::SetSector3To(int32_t Value) { if (Store(FSector3To, Value)) Change(); }
void TSectorSettings::SetOffset(int32_t Value) { if (Store(FOffset, Value)) Change(); }
void TSectorSettings::SetWidthOffset(int32_t Value) { if (Store(FWidthOffset, Value)) Change(); }

bool TSectorSettings::CheckSectorColor(int32_t Value, TColor& Color) const
{
    const struct {
        int32_t From, To;
        TColor Color;
    } sectors[] = {
        {FSector1From, FSector1To, FSector1Color},
        {FSector2From, FSector2To, FSector2Color},
        {FSector3From, FSector3To, FSector3Color},
    };
    for (const auto& s : sectors) {
        if (s.From <= Value && Value <= s.To) {
            Color = s.Color;
            return true;
        }
    }
    return false;
}

void TSectorSettings::AssignTo(TPersistent* Dest)
{
    auto* d = dynamic_cast<TSectorSettings*>(Dest);
    if (!d) {
        TIcPersistent::AssignTo(Dest);
        return;
    }
    d->SetSector1Color(FSector1Color);
    d->SetSector2Color(FSector2Color);
    d->SetSector3Color(FSector3Color);
    d->SetSector1From(FSector1From);
    d->SetSector2From(FSector2From);
    d->SetSector3From(FSector3From);
    d->SetSector1To(FSector1To);
    d->SetSector2To(FSector2To);
    d->SetSector3To(FSector3To);
}

// ------------------------------------------------------------------ TMinMax

TMinMax::TMinMax() : FMaxDateTime(Now()), FMinDateTime(FMaxDateTime)
{
}

void TMinMax::SetMax(float Value)
{
    FMax = Value;
    FMaxDateTime = Now();
}

void TMinMax::SetMin(float Value)
{
    FMin = Value;
    FMinDateTime = Now();
}

void TMinMax::SetMaxColor(TColor Value) { if (Store(FMaxColor, Value)) Change(); }
void TMinMax::SetMinColor(TColor Value) { if (Store(FMinColor, Value)) Change(); }
void TMinMax::SetUseSectorCol(bool Value) { if (Store(FUseSectorCol, Value)) Change(); }
void TMinMax::SetMinVisible(bool Value) { if (Store(FMinVisible, Value)) Change(); }
void TMinMax::SetMaxVisible(bool Value) { if (Store(FMaxVisible, Value)) Change(); }

// -------------------------------------------------------------- TChSettings

TChSettings::TChSettings()
{
    Recompute();
}

void TChSettings::SetDigit(int32_t Value)
{
    if (Value == FDigit)
        return;
    FDigit = Value;
    const int64_t steps = static_cast<int64_t>(FDigit) - DigitalFrom();
    FValue = static_cast<float>(static_cast<double>(steps) * ValuePerDigit() + ValueFrom());
    FAbsDigit = SaturatedDifference(FDigit, DigitalFrom());
    ValueChange();
}

void TChSettings::SetValue(float Value)
{
    if (Value == FValue)
        return;
    FDigit = IcRound((static_cast<long double>(Value) - ValueFrom()) * DigitsPerValue() + DigitalFrom());
    FValue = Value;
    FAbsDigit = SaturatedDifference(FDigit, DigitalFrom());
    ValueChange();
}

float TChSettings::AbsDigitToValue(int32_t N) const
{
    return static_cast<float>(static_cast<double>(N) * ValuePerDigit() + ValueFrom());
}

void TChSettings::ValueChange()
{
    if (OnValueChange)
        OnValueChange(this);
}

void TChSettings::SetColor(TColor Value) { if (Store(FColor, Value)) Change(); }
void TChSettings::SetPenWidth(int32_t Value) { if (Store(FPenWidth, Value)) Change(); }
void TChSettings::SetVisible(bool Value) { if (Store(FVisible, Value)) Change(); }
