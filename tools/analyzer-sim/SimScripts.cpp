#include "tools/analyzer-sim/SimScripts.h"

#include "tools/analyzer-sim/SimEncode.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kMaxStrokeFlow = 250;  // L/min

}  // namespace

std::vector<SimSample> PressureDecay(double From, double To, double Seconds)
{
    const int Steps = std::max(1, static_cast<int>(std::lround(Seconds / kAnalyzerSampleSeconds)));
    const bool Exponential = From > 0 && To > 0;
    std::vector<SimSample> Out(static_cast<size_t>(Steps) + 1);
    for (int i = 0; i <= Steps; ++i) {
        const double Part = static_cast<double>(i) / Steps;
        SimSample& S = Out[static_cast<size_t>(i)];
        S.Flow = 0;
        S.Volume = 0;
        S.LowPressure = Exponential ? From * std::pow(To / From, Part) : From + (To - From) * Part;
        S.AirwayPressure = S.LowPressure;
    }
    return Out;
}

std::vector<SimParameters> TidalVolumeRecords(const std::vector<double>& Volumes)
{
    std::vector<SimParameters> Out;
    Out.reserve(Volumes.size());
    for (double V : Volumes) {
        SimParameters P;
        P.TidalVolumeA = V;
        P.TidalVolumeB = V;
        P.MinuteVolume = std::isnan(V) ? kAbsent : V * P.Rate / 1000;
        Out.push_back(P);
    }
    return Out;
}

std::vector<double> TidalVolumeDrift(double Base, double Percent, int Count)
{
    std::vector<double> Out;
    for (int i = 0; i < Count; ++i)
        Out.push_back(std::round(10 * Base * (1 + Percent / 100 * std::sin(2 * kPi * i / Count))) / 10);
    return Out;
}

double SyringeMeasuredVolume(const SimSyringe& S)
{
    return S.Size * (1 + (S.Corrected ? 0.0 : S.ErrorPercent) / 100);
}

SyringeStep SyringeStroke(const SimSyringe& S)
{
    const double Volume = SyringeMeasuredVolume(S);
    // A large syringe is stroked more slowly: at most about kMaxStrokeFlow,
    // which the waveform frame's flow field holds with room to spare.
    const int Slowest = static_cast<int>(std::ceil(std::fabs(Volume) / 1000 * 60 * kPi /
                                                   (2 * kAnalyzerSampleSeconds * kMaxStrokeFlow)));
    const int Half = std::max({1, S.StrokeSamples, Slowest});
    const int Pause = std::max(0, S.PauseSamples);
    const int Length = 2 * (Half + Pause);
    const int Phase = ((S.Phase % Length) + Length) % Length;
    // The half-wave's samples add up to the volume: the sum of
    // sin(pi (i + 0.5) / Half) over the half-wave is 1 / sin(pi / (2 Half)).
    const double Sum = 1 / std::sin(kPi / (2 * Half));
    const double Peak = Volume / 1000 * 60 / (kAnalyzerSampleSeconds * Sum);

    SyringeStep Step;
    SimSample& Smp = Step.Sample;
    Smp.AirwayPressure = 0;
    Smp.LowPressure = 0;
    if (Phase < Half) {
        Smp.Flow = Peak * std::sin(kPi * (Phase + 0.5) / Half);
        Smp.Volume = Volume * (1 - std::cos(kPi * (Phase + 1) / Half)) / 2;
        Smp.Breath = Phase == 0;
    } else if (Phase < Half + Pause) {
        Smp.Flow = 0;
        Smp.Volume = Volume;
    } else if (Phase < 2 * Half + Pause) {
        const int Out = Phase - Half - Pause;
        Smp.Flow = -Peak * std::sin(kPi * (Out + 0.5) / Half);
        Smp.Volume = Volume * (1 + std::cos(kPi * (Out + 1) / Half)) / 2;
    } else {
        Smp.Flow = 0;
        Smp.Volume = 0;
    }
    Step.Ends = Phase == Length - 1;

    SimParameters& P = Step.Record;
    const double HalfSeconds = (Half + Pause) * kAnalyzerSampleSeconds;
    P.TidalVolumeA = Volume;
    P.TidalVolumeB = Volume;
    P.PeakInspFlow = Peak;
    P.PeakExpFlow = Peak;
    P.BaseFlow = 0;
    P.InspTime = HalfSeconds;
    P.ExpTime = HalfSeconds;
    P.InspHold = Pause * kAnalyzerSampleSeconds;
    P.ExpHold = Pause * kAnalyzerSampleSeconds;
    P.Rate = 60 / (2 * HalfSeconds);
    P.MinuteVolume = Volume * P.Rate / 1000;
    P.PIP = 0;
    P.PEEP = 0;
    P.PausePressure = 0;
    P.MeanAirway = 0;
    P.MinAirway = 0;
    P.Assist = 0;
    P.Compliance = kAbsent;
    P.Oxygen = 20.9;
    return Step;
}

SimHandheldStats StatsOf(const std::vector<double>& Values)
{
    SimHandheldStats S;
    double Sum = 0;
    int Count = 0;
    for (double V : Values) {
        if (std::isnan(V))
            continue;
        S.Min = Count == 0 ? V : std::min(S.Min, V);
        S.Max = Count == 0 ? V : std::max(S.Max, V);
        Sum += V;
        ++Count;
        S.Last = V;
    }
    if (Count > 0)
        S.Mean = Sum / Count;
    return S;
}

namespace {

// The four stored signals' statistics from the samples.
void SampleStats(SimHandheldRecord& R)
{
    std::vector<double> Flow, Volume, Pressure, High;
    for (const SimHandheldSample& S : R.Samples) {
        Flow.push_back(S.Flow);
        Volume.push_back(S.Volume);
        Pressure.push_back(S.Pressure);
        High.push_back(S.HighPressure);
    }
    R.Flow = StatsOf(Flow);
    R.Volume = StatsOf(Volume);
    R.Pressure = StatsOf(Pressure);
    R.HighPressure = StatsOf(High);
    R.Temperature = {297.6, 298.4, 298.0, 298.1};
    R.RelHumidity = {38.5, 41.0, 40.0, 40.2};
    R.Oxygen = {20.8, 21.1, 20.95, 20.9};
}

// Six breaths of Gain times the synthetic pattern's tidal volume: their
// statistics and the last one as the record's last breath.
void Breaths(SimHandheldRecord& R, double Gain)
{
    static const double Spread[] = {0.0, 0.01, -0.01, 0.02, -0.015, 0.005};
    std::vector<double> Tv, Mv, Pif, Pef, Pip, Peep, Map, Ipp, Rate, Ti, Te;
    for (double D : Spread) {
        Tv.push_back(500 * Gain * (1 + D));
        Rate.push_back(12 * (1 - D));
        Mv.push_back(Tv.back() * Rate.back() / 1000);
        Pif.push_back(40 * Gain * (1 + D));
        Pef.push_back(30 * Gain * (1 - D));
        Pip.push_back(20 + 10 * D);
        Peep.push_back(5.0);
        Map.push_back(10 + 5 * D);
        Ipp.push_back(18 + 10 * D);
        Ti.push_back(1.66);
        Te.push_back(3.34 * (1 + D));
    }
    R.TidalVolume = StatsOf(Tv);
    R.MinuteVolume = StatsOf(Mv);
    R.PeakInspFlow = StatsOf(Pif);
    R.PeakExpFlow = StatsOf(Pef);
    R.PIP = StatsOf(Pip);
    R.PEEP = StatsOf(Peep);
    R.MeanAirway = StatsOf(Map);
    R.PausePressure = StatsOf(Ipp);
    R.Rate = StatsOf(Rate);
    R.InspTime = StatsOf(Ti);
    R.ExpTime = StatsOf(Te);
    SimHandheldRecord::Breath& B = R.LastBreath;
    B.Rate = Rate.back();
    B.InspTime = Ti.back();
    B.ExpTime = Te.back();
    B.InspHold = 0.2;
    B.ExpHold = 0.1;
    B.MinuteVolume = Mv.back();
    B.TidalVolumeInsp = Tv.back();
    B.TidalVolumeExp = Tv.back() * 0.98;
    B.PeakInspFlow = Pif.back();
    B.PeakExpFlow = Pef.back();
    B.MeanAirway = Map.back();
    B.PIP = Pip.back();
    B.PEEP = Peep.back();
    B.PausePressure = Ipp.back();
}

}  // namespace

SimHandheldRecord DemoHandheldRecord(int Index)
{
    SimHandheldRecord R;
    R.Day = static_cast<uint8_t>(10 + Index);
    R.Month = 6;
    R.Year = 24;
    R.Hour = static_cast<uint8_t>(9 + Index);
    R.AuxValue1 = 7.4;
    R.AuxValue2 = -1.5;
    R.Samples.resize(kHandheldSampleRoom);
    if (Index == 2) {
        R.Name = "Leak Check";
        R.PressureMode = 3;
        const std::vector<SimSample> Decay =
            PressureDecay(30, 20, (kHandheldSampleRoom - 1) * kAnalyzerSampleSeconds);
        for (size_t k = 0; k < R.Samples.size(); ++k)
            R.Samples[k] = {0, 0, Decay[k].LowPressure, 0};
        SampleStats(R);
        return R;
    }
    R.Name = Index == 0 ? "Vent Test 1" : "Vent Test " + std::to_string(Index + 1);
    const double Gain = 1 + 0.3 * Index;
    for (size_t k = 0; k < R.Samples.size(); ++k) {
        const SimSample S = SyntheticSample(static_cast<uint16_t>(k));
        R.Samples[k] = {S.Flow * Gain, S.Volume * Gain, S.AirwayPressure, 50 + 0.5 * std::sin(kPi * k / 125.0)};
    }
    SampleStats(R);
    Breaths(R, Gain);
    return R;
}

}  // namespace sim
