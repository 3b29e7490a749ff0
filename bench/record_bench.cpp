// Recording the analyzer's stream: RecordMessage writing waveform frames
// into a data file on disk, one write per frame straight to the kernel. At
// about 150 frames a second one frame must cost well under 20 µs (under 1 %
// of a core) and allocate nothing.
//
// Measured against the C library's stdio doing the same work: one 132-byte
// fwrite and an fflush per frame, so each record is with the kernel when the
// call returns, as the recorder's are.
#include "bench/AllocationCount.h"
#include "bench/BenchMain.h"
#include "platform/Application.h"
#include "platform/DialogHook.h"
#include "platform/Forms.h"
#include "platform/SysUtils.h"
#include "tests/workbench/MainProbe.h"
#include "workbench/AnnotateDialog.h"
#include "workbench/Main.h"
#include "workbench/RecordDialog.h"
#include "workbench/TimedBreakDialog.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

namespace {

constexpr int FrameLength = 30;

void BuildWaveformFrame(uint8_t* F, uint16_t Counter)
{
    F[0] = ':';
    F[1] = '?';
    F[2] = FrameLength;
    for (int i = 3; i < FrameLength - 2; ++i)
        F[i] = static_cast<uint8_t>(i * 7);
    F[21] = static_cast<uint8_t>(Counter >> 8);
    F[22] = static_cast<uint8_t>(Counter);
    F[FrameLength - 1] = 0x0D;
}

double StdioSecondsPerFrame(const std::string& Name, const uint8_t* Frame, int Frames)
{
    std::FILE* F = std::fopen(Name.c_str(), "wb");
    if (!F)
        return 0;
    uint8_t Record[132] = {};
    Record[0] = 'W';
    std::memcpy(Record + 1, Frame, FrameLength);
    const auto Start = std::chrono::steady_clock::now();
    for (int i = 0; i < Frames; ++i) {
        Record[23] = static_cast<uint8_t>(i);
        std::fwrite(Record, sizeof Record, 1, F);
        std::fflush(F);
    }
    const std::chrono::duration<double> Took = std::chrono::steady_clock::now() - Start;
    std::fclose(F);
    return Took.count() / Frames;
}

void BM_RecordWaveformFrame(benchmark::State& State)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string Dir = MakeBenchDir("record");
    const std::string FileName = Dir + "/Signals/bench.zrp";
    TMainFormOptions Options;
    Options.ExeName = Dir + "/ozezudo";
    auto Form = std::make_unique<TMainForm>(nullptr, Options);
    MainForm = Form.get();
    if (!dlgRecord)
        dlgRecord = new TdlgRecord(Application);
    const TDialogAnswerer Old = SetDialogAnswerer([&](const TDialogRequest& Rq, TDialogAnswer& An) {
        An.ModalResult = mrOk;
        An.FileName = FileName;
        return true;
    });
    static_cast<TBasicAction*>(Form->FindComponent("actnSaveFile"))->Execute();
    if (!Probe(*Form).Recording()) {
        State.SkipWithError("no recording");
        return;
    }

    uint8_t Frame[FrameLength];
    BuildWaveformFrame(Frame, 0);
    uint16_t Counter = 0;
    const long AllocationsBefore = AllocationCount();
    const auto Start = std::chrono::steady_clock::now();
    for (auto _ : State) {
        Frame[22] = static_cast<uint8_t>(++Counter);
        Form->RecordMessage('W', FrameLength, Frame);
    }
    const std::chrono::duration<double> Took = std::chrono::steady_clock::now() - Start;
    const long Allocated = AllocationCount() - AllocationsBefore;
    const int64_t Written = Probe(*Form).RecordedCount() - 5;
    static_cast<TBasicAction*>(Form->FindComponent("actnCloseFile"))->Execute();
    if (Written != static_cast<int64_t>(State.iterations()))
        State.SkipWithError("a frame was not written");

    const int Frames = static_cast<int>(std::min<int64_t>(State.iterations(), 100000));
    const double Stdio = StdioSecondsPerFrame(Dir + "/stdio.bin", Frame, Frames);
    const double Ours = Took.count() / static_cast<double>(State.iterations());
    State.counters["allocs_per_frame"] =
        benchmark::Counter(static_cast<double>(Allocated), benchmark::Counter::kAvgIterations);
    State.counters["us_per_frame"] = Ours * 1e6;
    State.counters["stdio_us_per_frame"] = Stdio * 1e6;
    State.counters["ratio_to_stdio"] = Stdio > 0 ? Ours / Stdio : 0;
    State.counters["core_percent_at_150_per_s"] = Ours * 150 * 100;
    State.SetItemsProcessed(State.iterations());

    SetDialogAnswerer(Old);
    MainForm = nullptr;
    Form.reset();
    std::error_code Ec;
    std::filesystem::remove_all(Dir, Ec);
}
BENCHMARK(BM_RecordWaveformFrame)->Iterations(100000);

}  // namespace
