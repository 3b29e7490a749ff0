#include "analyzer/Signalstats.h"

#include "analyzer/Units.h"
#include "platform/SysUtils.h"

namespace {

constexpr float SmoothWindowStep = 12;   // a window of 13 values shares its first with the last window
constexpr float MaxStackSize = 25;

// A span converts by the unit's scale alone: a temperature difference has no
// offset.
float ConvertSpan(TUnitCode From, TUnitCode To, float Span)
{
    const bool FromTemperature = From >= ucKelvin && From <= ucFahrenheit;
    const bool ToTemperature = To >= ucKelvin && To <= ucFahrenheit;
    if (!FromTemperature || !ToTemperature || Span == NoValue)
        return ConvertUnits(From, To, Span);
    const bool FromF = From == ucFahrenheit;
    const bool ToF = To == ucFahrenheit;
    if (FromF == ToF)
        return Span;
    if (ToF)
        return Span * 1.8f;
    return static_cast<float>(Span / 1.8);
}

}   // namespace

TSignalStats::TSignalStats()
    : FCurrent(0)
    , FSmoothed(0)
    , FStackResult(0)
    , FMin(0)
    , FMax(0)
    , FMean(0)
    , FSmoothSum(0)
    , FSmoothCount(0)
    , FMeanSum(0)
    , FMeanCount(0)
    , FStackSum(0)
    , FStackCount(1)
    , FStackSize(0)
    , FMinSpan(0)
    , FIsRatio(false)
    , FResetPending(true)
    , FBaseUnit(ucNone)
    , FDisplayUnit(ucNone)
    , FDecimals(-1)
{
}

void TSignalStats::Setup(const std::string& LongName, const std::string& ShortName,
                         TUnitCode BaseUnit, TUnitCode DisplayUnit, int32_t Decimals, float MinSpan)
{
    FLongName = LongName;
    FShortName = ShortName;
    FBaseUnit = BaseUnit;
    FDisplayUnit = DisplayUnit;
    FDecimals = Decimals;
    FMinSpan = MinSpan;
    FStackCount = 1;
    FResetPending = true;
}

void TSignalStats::Reset()
{
    FResetPending = true;
    FSmoothed = NoValue;
    FMin = NoValue;
    FMax = NoValue;
    FMean = NoValue;
}

void TSignalStats::StartStack(float Value)
{
    FStackSum = Value;
    FStackCount = 1;
    if (FStackCount >= FStackSize) {
        FStackResult = FStackSum;
        FStackSum = 0;
        FStackCount = 0;
    }
}

void TSignalStats::SetStackSize(int N)
{
    FStackResult = NoValue;
    FStackSize = static_cast<float>(N);
    if (FStackSize > MaxStackSize)
        FStackSize = MaxStackSize;
    if (FStackSize < 1)
        FStackSize = 1;
    if (FCurrent != NoValue) {
        StartStack(FCurrent);
    } else {
        FStackSum = 0;
        FStackCount = 0;
    }
}

void TSignalStats::AddSample(float Value)
{
    FCurrent = Value;
    if (Value == NoValue) {
        FSmoothed = NoValue;
        return;
    }

    if (FResetPending) {
        FMin = Value;
        FMax = Value;
        FMean = Value;
        FMeanSum = Value;
        FMeanCount = 1;
        FSmoothSum = Value;
        FSmoothCount = 1;
        FSmoothed = Value;
        FStackResult = NoValue;
        StartStack(Value);
        FResetPending = false;
        return;
    }

    if (Value > FMax)
        FMax = Value;
    if (Value < FMin)
        FMin = Value;

    FStackSum += Value;
    FStackCount += 1;
    if (FStackCount >= FStackSize) {
        FStackResult = FStackSum;
        FStackSum = 0;
        FStackCount = 0;
    }

    FMeanSum += Value;
    FMeanCount += 1;
    FMean = static_cast<float>(FMeanSum / FMeanCount);

    FSmoothSum += Value;
    FSmoothCount += 1;
    if (FSmoothCount > SmoothWindowStep) {
        FSmoothed = FSmoothSum / FSmoothCount;
        FSmoothSum = Value;
        FSmoothCount = 1;
    }
}

void TSignalStats::SetMin(float Value)
{
    FMin = Value;
}

void TSignalStats::SetMax(float Value)
{
    FMax = Value;
}

void TSignalStats::SetMean(float Value)
{
    FMean = Value;
    FCurrent = Value;
    FMeanSum = Value;
    FMeanCount = 1;
}

void TSignalStats::SetCurrent(float Value)
{
    FCurrent = Value;
    FSmoothSum = Value;
    FSmoothCount = 1;
    FSmoothed = Value;
    FStackResult = NoValue;
    StartStack(Value);
}

void TSignalStats::Restore(TSignalStats Saved)
{
    FCurrent = Saved.FCurrent;
    FSmoothed = Saved.FSmoothed;
    FMin = Saved.FMin;
    FMax = Saved.FMax;
    FMean = Saved.FMean;
    FSmoothSum = Saved.FSmoothSum;
    FSmoothCount = Saved.FSmoothCount;
    FMeanSum = Saved.FMeanSum;
    FMeanCount = Saved.FMeanCount;
    FResetPending = false;
}

float TSignalStats::InDisplayUnit(float Value) const
{
    return ConvertUnits(FBaseUnit, FDisplayUnit, Value);
}

float TSignalStats::CurrentIn(TUnitCode Unit) const
{
    return ConvertUnits(FBaseUnit, Unit == -1 ? FDisplayUnit : Unit, FCurrent);
}

float TSignalStats::SmoothedValue() const
{
    return InDisplayUnit(FSmoothed);
}

float TSignalStats::StackValue() const
{
    return InDisplayUnit(FStackResult);
}

float TSignalStats::MeanValue() const
{
    return InDisplayUnit(FMean);
}

float TSignalStats::MinValue() const
{
    return InDisplayUnit(FMin);
}

float TSignalStats::MaxValue() const
{
    return InDisplayUnit(FMax);
}

float TSignalStats::MinSpanValue() const
{
    return ConvertSpan(FBaseUnit, FDisplayUnit, FMinSpan);
}

std::string TSignalStats::FormatValue(float Value, bool Absolute) const
{
    float X = FResetPending ? NoValue : Value;
    if ((Absolute || FIsRatio) && X < 0 && X != NoValue)
        X = -X;
    const int Decimals = FDecimals >= 0 ? FDecimals : DecimalsFor(FBaseUnit, FDisplayUnit);
    std::string Text = FormatNumber(Decimals, X);
    if (FIsRatio) {
        if (Value > 0)
            Text += ":1";
        else
            Text.insert(0, "1:");
    }
    return Text;
}

std::string TSignalStats::FormatCurrent(bool Absolute) const
{
    return FormatValue(CurrentIn(-1), Absolute);
}

std::string TSignalStats::FormatSmoothed(bool Absolute) const
{
    return FormatValue(SmoothedValue(), Absolute);
}

std::string TSignalStats::FormatStack(bool Absolute) const
{
    return FormatValue(StackValue(), Absolute);
}

std::string TSignalStats::FormatMean(bool Absolute) const
{
    return FormatValue(MeanValue(), Absolute);
}

std::string TSignalStats::FormatMax(bool Absolute) const
{
    return FormatValue(MaxValue(), Absolute);
}

std::string TSignalStats::FormatMin(bool Absolute) const
{
    return FormatValue(MinValue(), Absolute);
}

std::string TSignalStats::FormatStackSize() const
{
    return IntToStr(static_cast<int64_t>(FStackSize));
}

std::string TSignalStats::DisplayUnitName() const
{
    return UnitName(FDisplayUnit);
}

void SetupSignalStats(TSignalStats& Stats, int Signal)
{
    struct TSignalSetup {
        const char* LongName;
        const char* ShortName;
        TUnitCode Base;
        TUnitCode Display;
        float MinSpan;
    };
    static const TSignalSetup Signals[SignalCount] = {
        {"Flow", "Flow", ucLPM, ucLPM, 2.0f},
        {"Volume", "Vol", ucML, ucML, 10.0f},
        {"Airway Pressure", "Air Press", ucCmH2O, ucCmH2O, 2.0f},
        {"Low Pressure", "L Press", ucCmH2O, ucCmH2O, 5.0f},
        {"High Pressure", "H Press", ucPSI, ucPSI, 5.0f},
        {"Barometric Pressure", "Baro Press", ucMmHg, ucMmHg, 0.0f},
        {"Oxygen", "O2", ucPercent, ucPercent, 5.0f},
        {"Temperature", "Temp", ucKelvin, ucCelsius, 5.0f},
        {"Relative Humidity", "RH", ucPercent, ucPercent, 5.0f},
    };
    if (Signal < 0 || Signal >= SignalCount)
        return;
    const TSignalSetup& S = Signals[Signal];
    Stats.Setup(S.LongName, S.ShortName, S.Base, S.Display, -1, S.MinSpan);
}
