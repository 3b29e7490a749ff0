// One waveform sample through the main window's whole display chain: the
// statistics, three monitor plots with their labels, both loops and the
// Full Test page (22 value labels and the detail panel), on a shown window
// (run with QT_QPA_PLATFORM=offscreen). The analyzer sends 50 samples a
// second; one sample must cost well under 150 microseconds, and a label's
// text is set only when it changed.
#include "analyzer/Parameterstruct.h"
#include "bench/AllocationCount.h"
#include "bench/BenchMain.h"
#include "platform/Application.h"
#include "workbench/Main.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

struct Window {
    std::string Dir;
    std::unique_ptr<TMainForm> Form;

    Window()
    {
        Dir = MakeBenchDir("livedisplay");
        TMainFormOptions Options;
        Options.ExeName = Dir + "/ozezudo";
        EnsureApplication();
        Form = std::make_unique<TMainForm>(nullptr, Options);
        MainForm = Form.get();
        Form->SetBounds(0, 0, 1000, 700);
        Form->Show();
        Application->ProcessMessages();
    }
    ~Window()
    {
        Form.reset();
        MainForm = nullptr;
        std::error_code Ec;
        std::filesystem::remove_all(Dir, Ec);
    }
};

TWaveformSample SampleAt(int i)
{
    // One breath every 4 s with a breath marker at its start.
    const float Phase = static_cast<float>(std::sin(i * 2 * 3.14159265 / 200));
    TWaveformSample S;
    S.Flow = 40 * Phase;
    S.Volume = 0.25f + 0.25f * Phase;
    S.AirwayPressure = 12 + 8 * Phase;
    S.LowPressure = 1 + Phase;
    S.HighPressure = 3000;
    S.BaroPressure = 760;
    S.Oxygen = 21 + 0.1f * (i % 7);
    S.Temperature = 298 + 0.05f * (i % 11);
    S.RelHumidity = 40 + 0.1f * (i % 5);
    S.SampleCounter = i & 0xFFFF;
    S.Flags[0] = i % 200 == 0 ? 1 : 0;
    return S;
}

void BM_NewWaveformSample_WholeDisplay(benchmark::State& State)
{
    Window W;
    TParameterStruct P;
    for (int Id = 0; Id <= parAssistPressure; ++Id)
        P.SetSlot(TParameterStruct::SlotOf(Id), 10.0f + Id);
    W.Form->NewParameters(P);
    int i = 0;
    // Past the first sweep, so wraps and rescaling are part of the figure.
    for (; i < 1600; ++i)
        W.Form->NewWaveformSample(SampleAt(i));
    const long Before = AllocationCount();
    for (auto _ : State) {
        W.Form->NewWaveformSample(SampleAt(i++));
        if (i % 50 == 0)
            Application->ProcessMessages();  // the repaints the window gets
    }
    State.counters["allocs_per_sample"] =
        benchmark::Counter(static_cast<double>(AllocationCount() - Before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_NewWaveformSample_WholeDisplay)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

}  // namespace
