// Running statistics of one measured signal or breath parameter: the last
// value, a 13-value smoothed value, minimum, maximum and mean since the last
// reset and a stacked sum of the last 1 to 25 values, with the names, units
// and decimals needed to show them.
#pragma once

#include "analyzer/Types.h"

#include <string>

class TSignalStats {
public:
    TSignalStats();

    void Setup(const std::string& LongName, const std::string& ShortName, TUnitCode BaseUnit,
               TUnitCode DisplayUnit, int32_t Decimals, float MinSpan);
    void Reset();
    // Stack length clamped to 1..25; the stack restarts from the current value.
    void SetStackSize(int N);

    void AddSample(float Value);
    void SetMin(float Value);
    void SetMax(float Value);
    void SetMean(float Value);
    void SetCurrent(float Value);
    // Takes the values, sums and counts (not the stack, names or units) of
    // Saved and clears the reset request.
    void Restore(TSignalStats Saved);

    // Values converted from the base unit; Unit -1 is the display unit.
    float CurrentIn(TUnitCode Unit) const;
    float SmoothedValue() const;
    float StackValue() const;
    float MeanValue() const;
    float MinValue() const;
    float MaxValue() const;
    // The minimum span in the display unit (a span, so temperatures convert
    // by their scale alone).
    float MinSpanValue() const;

    std::string FormatValue(float Value, bool Absolute) const;
    std::string FormatCurrent(bool Absolute) const;
    std::string FormatSmoothed(bool Absolute) const;
    std::string FormatStack(bool Absolute) const;
    std::string FormatMean(bool Absolute) const;
    std::string FormatMax(bool Absolute) const;
    std::string FormatMin(bool Absolute) const;
    std::string FormatStackSize() const;
    std::string DisplayUnitName() const;

    // The fields as they stand (values in the base unit).
    float Current() const { return FCurrent; }
    float Smoothed() const { return FSmoothed; }
    float StackResult() const { return FStackResult; }
    float Min() const { return FMin; }
    float Max() const { return FMax; }
    float Mean() const { return FMean; }
    float SmoothSum() const { return FSmoothSum; }
    float SmoothCount() const { return FSmoothCount; }
    double MeanSum() const { return FMeanSum; }
    double MeanCount() const { return FMeanCount; }
    float StackSum() const { return FStackSum; }
    float StackCount() const { return FStackCount; }
    float StackSize() const { return FStackSize; }
    float MinSpan() const { return FMinSpan; }
    bool IsRatio() const { return FIsRatio; }
    void SetIsRatio(bool Value) { FIsRatio = Value; }
    bool ResetPending() const { return FResetPending; }
    const std::string& LongName() const { return FLongName; }
    const std::string& ShortName() const { return FShortName; }
    TUnitCode BaseUnit() const { return FBaseUnit; }
    TUnitCode DisplayUnit() const { return FDisplayUnit; }
    void SetDisplayUnit(TUnitCode Value) { FDisplayUnit = Value; }
    int32_t Decimals() const { return FDecimals; }

private:
    float FCurrent;        // last value given to AddSample (may be NoValue)
    float FSmoothed;       // average of the last completed 13-value window
    float FStackResult;    // sum of the last completed stack; NoValue while none is complete
    float FMin;
    float FMax;
    float FMean;
    float FSmoothSum;      // current smoothing window
    float FSmoothCount;
    double FMeanSum;       // kept in double so a long run neither drifts nor stops counting
    double FMeanCount;
    float FStackSum;       // current stack
    float FStackCount;
    float FStackSize;      // 1 to 25 once set; 0 (never set) behaves like 1
    float FMinSpan;        // smallest axis span of a plot of this signal, base unit
    bool FIsRatio;         // shown as "r:1" or "1:r"
    bool FResetPending;    // the next valid value restarts every statistic
    std::string FLongName;
    std::string FShortName;
    TUnitCode FBaseUnit;
    TUnitCode FDisplayUnit;
    int32_t FDecimals;     // -1: DecimalsFor(FBaseUnit, FDisplayUnit)

    // Starts a stack with Value and publishes it at once when the stack is
    // already full (length 1).
    void StartStack(float Value);
    float InDisplayUnit(float Value) const;
};

// Sets Stats up for waveform signal Signal (0 .. SignalCount - 1): its long
// and short name, base and display unit, and smallest axis span.
void SetupSignalStats(TSignalStats& Stats, int Signal);
