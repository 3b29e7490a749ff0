#include "workbench/Trendtestfunctions.h"

#include "analyzer/Functions.h"
#include "analyzer/Units.h"
#include "platform/Classes.h"
#include "reports/Reportfunctions.h"

#include <algorithm>

TTrendTest::TTrendTest()
    : FIncidents(MaxIncidents)
    , FStartTime(Now())
    , FEndTime(FStartTime)
    , FStartTick(MonotonicMs())
    , FEndTick(FStartTick)
{
}

void TTrendTest::Start(int32_t ParamId, float MinLimit, float MaxLimit, TParameterStruct Params)
{
    FLastIncident = -1;
    FParamId = ParamId;
    FRunning = true;
    FTestCount = 0;
    FIncidentCount = 0;
    FInitialParams = Params;
    FCurrentParams = Params;
    FMinLimit = MinLimit;
    FMaxLimit = MaxLimit;
    FInitialValue = Params.GetValue(ParamId);
    FStartTime = Now();
    FEndTime = FStartTime;
    FStartTick = MonotonicMs();
    FEndTick = FStartTick;
}

bool TTrendTest::AddParameters(TParameterStruct Params)
{
    if (!FRunning)
        return false;
    const float v = Params.GetValue(FParamId);
    FCurrentParams = Params;
    ++FTestCount;
    // The limits themselves are accepted.
    if (v != NoValue && v <= FMaxLimit && v >= FMinLimit)
        return false;
    ++FIncidentCount;
    if (FLastIncident + 1 < MaxIncidents) {
        ++FLastIncident;
        Params.SetTime(Now());
        FIncidents[static_cast<size_t>(FLastIncident)] = Params;
    }
    return true;
}

bool TTrendTest::Stop()
{
    FRunning = false;
    FEndTime = Now();
    FEndTick = MonotonicMs();
    return FIncidentCount > 0;
}

float TTrendTest::GetInitialValue(int32_t Id) const
{
    return FInitialParams.GetValue(IdOrTested(Id));
}

float TTrendTest::GetCurrentValue(int32_t Id) const
{
    return FCurrentParams.GetValue(IdOrTested(Id));
}

std::string TTrendTest::InitialValueText(int32_t Id, bool WithUnit) const
{
    return FInitialParams.ValueText(IdOrTested(Id), WithUnit);
}

std::string TTrendTest::CurrentValueText(int32_t Id, bool WithUnit) const
{
    return FCurrentParams.ValueText(IdOrTested(Id), WithUnit);
}

std::string TTrendTest::MinLimitText() const
{
    return FormatNumber(TParameterStruct::GetDecimals(FParamId), FMinLimit);
}

std::string TTrendTest::MaxLimitText() const
{
    return FormatNumber(TParameterStruct::GetDecimals(FParamId), FMaxLimit);
}

float TTrendTest::GetPercentDifference(int32_t Id) const
{
    return PercentDifference(GetInitialValue(Id), GetCurrentValue(Id));
}

std::string TTrendTest::PercentDifferenceText(int32_t Id, bool WithPercent) const
{
    const std::string Text = FormatPercentDifference(GetInitialValue(Id), GetCurrentValue(Id), "0.0", false);
    return WithPercent ? Text + " %" : Text;
}

std::string TTrendTest::TestCountText() const
{
    return IntToStr(FTestCount);
}

std::string TTrendTest::IncidentCountText() const
{
    return IntToStr(FIncidentCount);
}

std::string TTrendTest::ParameterNameText() const
{
    return TParameterStruct::NameText(FParamId);
}

std::string TTrendTest::ParameterShortNameText() const
{
    return TParameterStruct::ShortNameText(FParamId);
}

TDateTime TTrendTest::GetElapsedTime() const
{
    const int64_t End = FRunning ? MonotonicMs() : FEndTick;
    return static_cast<double>(End - FStartTick) / MSecsPerDay;
}

std::string TTrendTest::ElapsedTimeText() const
{
    return FormatDateTime("hh:mm:ss", GetElapsedTime());
}

std::string TTrendTest::StartTimeText() const
{
    return FormatDateTime("hh:mm:ss", FStartTime);
}

std::string TTrendTest::EndTimeText() const
{
    return FormatDateTime("hh:mm:ss", FEndTime);
}

void TTrendTest::AddReportLines(TStrings* Lines, bool SummaryOnly) const
{
    Lines->Add("Trend Test on " + ParameterNameText());
    Lines->Add("Values accepted between " + MaxLimitText() + " and " + MinLimitText());
    Lines->Add(Format("%d incidents in %d tests", FIncidentCount, FTestCount));
    for (int i = 0; i < 4; ++i)
        Lines->Add(" ");
    if (SummaryOnly)
        return;
    // Every stored incident: as many as occurred, up to the store's 1,000.
    const int Listed = std::min(FIncidentCount, FLastIncident + 1);
    for (int i = 1; i <= Listed; ++i) {
        Lines->Add(Format("Incident %d of %d", i, FIncidentCount));
        AddParameterBlock(Lines, FIncidents[static_cast<size_t>(i - 1)], false);
        Lines->Add(" ");
    }
}
