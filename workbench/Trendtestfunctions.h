// The trend test: one breath parameter watched against a lower and an upper
// limit. Every record while the test runs is a test; one outside the limits
// (or without the value) is an incident, and the first 1,000 incidents are
// kept whole for the report.
//
// The elapsed time runs on the monotonic clock; start and end times are
// wall-clock.
#pragma once

#include "analyzer/Parameterstruct.h"
#include "platform/SysUtils.h"
#include "reports/Reportsource.h"

#include <cstdint>
#include <string>
#include <vector>

class TTrendTest : public TTestReportSource {
public:
    static constexpr int MaxIncidents = 1000;

    TTrendTest();

    void Start(int32_t ParamId, float MinLimit, float MaxLimit, TParameterStruct Params);
    // True when the record is an incident.
    bool AddParameters(TParameterStruct Params);
    // True when any incident occurred.
    bool Stop();
    bool IsRunning() const { return FRunning; }

    // Id -1: the tested parameter.
    float GetInitialValue(int32_t Id) const;
    float GetCurrentValue(int32_t Id) const;
    std::string InitialValueText(int32_t Id, bool WithUnit) const;
    std::string CurrentValueText(int32_t Id, bool WithUnit) const;
    std::string MinLimitText() const;
    std::string MaxLimitText() const;
    // (current - initial) * 100 / initial; NoValue when there is none.
    float GetPercentDifference(int32_t Id) const;
    std::string PercentDifferenceText(int32_t Id, bool WithPercent) const;
    std::string TestCountText() const;
    std::string IncidentCountText() const;
    std::string ParameterNameText() const;
    std::string ParameterShortNameText() const;
    TDateTime GetElapsedTime() const;
    // "hh:mm:ss" (the elapsed time modulo 24 hours).
    std::string ElapsedTimeText() const;
    std::string StartTimeText() const;
    std::string EndTimeText() const;

    void AddReportLines(TStrings* Lines, bool SummaryOnly) const override;

    // State as it stands.
    int32_t ParamId() const { return FParamId; }
    int32_t LastIncident() const { return FLastIncident; }
    int32_t TestCount() const { return FTestCount; }
    int32_t IncidentCount() const { return FIncidentCount; }
    float MinLimit() const { return FMinLimit; }
    float MaxLimit() const { return FMaxLimit; }
    float InitialValue() const { return FInitialValue; }
    TDateTime StartTime() const { return FStartTime; }
    TDateTime EndTime() const { return FEndTime; }
    // Stored incidents 0 to LastIncident().
    const TParameterStruct& Incident(int Index) const { return FIncidents.at(static_cast<size_t>(Index)); }

private:
    int32_t FLastIncident = 0;
    int32_t FParamId = -1;
    bool FRunning = false;
    int32_t FTestCount = 0;
    int32_t FIncidentCount = 0;
    TParameterStruct FInitialParams;
    TParameterStruct FCurrentParams;
    std::vector<TParameterStruct> FIncidents;
    float FInitialValue = NoValue;
    float FMinLimit = 0;
    float FMaxLimit = 0;
    TDateTime FStartTime;
    TDateTime FEndTime;
    // Monotonic milliseconds at the start and at the end.
    int64_t FStartTick;
    int64_t FEndTick;

    int32_t IdOrTested(int32_t Id) const { return Id == -1 ? FParamId : Id; }
};
