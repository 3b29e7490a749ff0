// AddSample runs for every value of the live stream: nine signals per
// waveform sample and every parameter of every breath record. It must stay far
// below a microsecond per value and never allocate.
#include "analyzer/Parameterstruct.h"
#include "analyzer/Signalstats.h"
#include "bench/AllocationCount.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int SignalStatsCount = 10;

struct TLiveStats {
    TSignalStats Signals[SignalStatsCount];
    TSignalStats Parameters[ParameterCount];

    TLiveStats()
    {
        const TUnitCode SignalUnits[SignalStatsCount] = {ucLPM, ucML, ucCmH2O, ucCmH2O, ucPSI,
                                                         ucMmHg, ucPercent, ucKelvin, ucPercent, ucNone};
        for (int i = 0; i < SignalStatsCount; ++i) {
            Signals[i].Setup("Signal", "Sig", SignalUnits[i], SignalUnits[i], -1, 2);
            Signals[i].SetStackSize(5);
        }
        for (int Id = 0; Id < ParameterCount; ++Id) {
            Parameters[Id].Setup(TParameterStruct::NameText(Id), TParameterStruct::ShortNameText(Id),
                                 TParameterStruct::GetUnitCode(Id), TParameterStruct::GetUnitCode(Id),
                                 TParameterStruct::GetDecimals(Id), -1);
            Parameters[Id].SetStackSize(3);
        }
    }
};

void BM_AddSampleOverAllStatistics(benchmark::State& State)
{
    TLiveStats Live;
    float Values[256];
    for (int i = 0; i < 256; ++i)
        Values[i] = (i % 37 == 0) ? NoValue : static_cast<float>((i * 7919) % 1000) * 0.01f - 3.0f;

    unsigned Step = 0;
    const long AllocationsBefore = AllocationCount();
    for (auto _ : State) {
        for (TSignalStats& Stats : Live.Signals)
            Stats.AddSample(Values[Step++ & 255]);
        for (TSignalStats& Stats : Live.Parameters)
            Stats.AddSample(Values[Step++ & 255]);
        benchmark::DoNotOptimize(Live);
    }
    const long Allocated = AllocationCount() - AllocationsBefore;
    if (Allocated != 0)
        State.SkipWithError("AddSample allocated");

    const int64_t PerIteration = SignalStatsCount + ParameterCount;
    State.SetItemsProcessed(State.iterations() * PerIteration);
    State.counters["ns_per_value"] = benchmark::Counter(
        static_cast<double>(State.iterations() * PerIteration),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    State.counters["allocations"] = static_cast<double>(Allocated);
}

BENCHMARK(BM_AddSampleOverAllStatistics);

}   // namespace
