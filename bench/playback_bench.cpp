// Playing and exporting a one-hour recording: 180,000 waveform records (50
// a second) with a parameter record every 3 s.
//
// BM_PlaybackTick: one timer tick (10 records) through the whole display
// chain of an offscreen main window. Under 100 µs a record keeps the top
// speed (10 records every 1 ms tick) bound by the timer, so the hour plays
// in well under a minute.
//
// BM_ExportSignalFile: ExportDataFile writing the ".sig" table, which must
// take under 2 s; measured against the C library's stdio writing the same
// columns with fprintf from the same decoded samples.
#include "bench/AllocationCount.h"
#include "bench/BenchMain.h"
#include "analyzer/Serialfunctions.h"
#include "platform/Application.h"
#include "platform/DialogHook.h"
#include "platform/Forms.h"
#include "platform/SysUtils.h"
#include "platform/Timer.h"
#include "tests/workbench/MainProbe.h"
#include "workbench/Filefunctions.h"
#include "workbench/Main.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

constexpr int WaveRecords = 180000;
constexpr int WavesPerParameter = 150;

void Put16(uint8_t* F, int At, int Value)
{
    const auto V = static_cast<uint16_t>(std::abs(Value));
    F[At] = static_cast<uint8_t>(V >> 8);
    F[At + 1] = static_cast<uint8_t>(V);
}

// The hour's file in Dir; its name.
std::string WriteHour(const std::string& Dir)
{
    const std::string Name = Dir + "/hour.zrp";
    std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
    auto Write = [&Out](const TDataFileRecord& R) {
        uint8_t B[TDataFileRecord::Size];
        R.ToBytes(B);
        Out.write(reinterpret_cast<const char*>(B), sizeof B);
    };
    Write(MakeMarkerRecord(0));
    Write(MakeTextRecord(drtTimeStamp, "10:00:00", 0));
    for (int i = 0; i < WaveRecords; ++i) {
        uint8_t F[30] = {':', '?', 30};
        const double Phase = 2 * M_PI * i / 200.0;   // a breath every 4 s
        const int Flow = static_cast<int>(3000 * std::sin(Phase));
        F[3] = Flow < 0 ? 0x40 : 0;
        Put16(F, 5, Flow);
        Put16(F, 9, static_cast<int>(2500 * (1 - std::cos(Phase))));
        Put16(F, 11, static_cast<int>(150 + 100 * std::sin(Phase)));
        Put16(F, 13, 120);
        Put16(F, 17, 7600);
        Put16(F, 19, 209);
        Put16(F, 21, i & 0xFFFF);
        Put16(F, 24, 455);
        Put16(F, 26, 2981);
        F[29] = 0x0D;
        Write(MakeDataRecord(drtWaveform, 30, F, 0));
        if (i % WavesPerParameter == WavesPerParameter - 1) {
            uint8_t P[52] = {':', 'P', 52};
            Put16(P, 32, 150);
            Put16(P, 38, 100);
            Put16(P, 40, 200);
            Write(MakeDataRecord(drtParameters, 52, P, 0));
        }
    }
    return Name;
}

struct BenchFolder {
    std::string Dir;
    std::string Hour;
    BenchFolder()
    {
        Dir = MakeBenchDir("playback");
        Hour = WriteHour(Dir);
    }
    ~BenchFolder()
    {
        std::error_code Ec;
        std::filesystem::remove_all(Dir, Ec);
    }
};

void BM_PlaybackTick(benchmark::State& State)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    BenchFolder Folder;
    TMainFormOptions Options;
    Options.ExeName = Folder.Dir + "/ozezudo";
    auto Form = std::make_unique<TMainForm>(nullptr, Options);
    MainForm = Form.get();
    Form->SetBounds(10, 10, 900, 600);
    Form->Show();
    const TDialogAnswerer Old = SetDialogAnswerer([&](const TDialogRequest& Rq, TDialogAnswer& An) {
        An.ModalResult = mrOk;
        An.FileName = Folder.Hour;
        return Rq.Kind == TDialogKind::OpenFile;
    });
    static_cast<TBasicAction*>(Form->FindComponent("actnOpenFile"))->Execute();
    auto* Timer = static_cast<TTimer*>(Form->FindComponent("tmrPlayback"));
    if (!Probe(*Form).PlayingFile() || !Timer) {
        State.SkipWithError("no playback");
        return;
    }
    Timer->SetEnabled(false);   // the loop below is the clock
    const long AllocationsBefore = AllocationCount();
    const auto Start = std::chrono::steady_clock::now();
    for (auto _ : State)
        Timer->OnTimer(Timer);
    const std::chrono::duration<double> Took = std::chrono::steady_clock::now() - Start;
    const long Allocated = AllocationCount() - AllocationsBefore;
    const double Records = static_cast<double>(Probe(*Form).PlaybackPosition());
    const double PerRecord = Took.count() / Records;
    State.counters["us_per_record"] = PerRecord * 1e6;
    State.counters["allocs_per_record"] = static_cast<double>(Allocated) / Records;
    State.counters["hour_at_top_speed_s"] =
        std::max(PerRecord, 0.001 / 10) * (WaveRecords + WaveRecords / WavesPerParameter);
    State.SetItemsProcessed(static_cast<int64_t>(Records));
    State.counters["within_100_us"] = PerRecord < 100e-6 ? 1 : 0;

    SetDialogAnswerer(Old);
    MainForm = nullptr;
    Form.reset();
}
BENCHMARK(BM_PlaybackTick)->Iterations(2000)->Unit(benchmark::kMicrosecond);

// The same table with stdio: every waveform record decoded and printed with
// fprintf, the temperature in degrees Celsius.
double StdioSeconds(const std::string& Source, const std::string& Target)
{
    const auto Start = std::chrono::steady_clock::now();
    std::FILE* In = std::fopen(Source.c_str(), "rb");
    std::FILE* Out = std::fopen(Target.c_str(), "wb");
    if (!In || !Out)
        return 0;
    uint8_t B[TDataFileRecord::Size];
    while (std::fread(B, sizeof B, 1, In) == 1) {
        if (B[0] != drtWaveform)
            continue;
        const TWaveformSample S = TZEBBSerialProtocol::DecodeWaveformSample(B + 1);
        std::fprintf(Out, "%.2f\t%.1f\t%.1f\t%.1f\t%.1f\t%.1f\t%.1f\t%.1f\t%.1f\r\n", S.Flow, S.Volume,
                     S.AirwayPressure, S.LowPressure, S.HighPressure, S.BaroPressure, S.Oxygen,
                     S.Temperature - 273.15, S.RelHumidity);
    }
    std::fclose(In);
    std::fclose(Out);
    const std::chrono::duration<double> Took = std::chrono::steady_clock::now() - Start;
    return Took.count();
}

void BM_ExportSignalFile(benchmark::State& State)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    BenchFolder Folder;
    const TDialogAnswerer Old = SetDialogAnswerer([](const TDialogRequest&, TDialogAnswer& An) {
        An.ModalResult = mrOk;
        return true;
    });
    // Ours and stdio take turns, so both see the same machine.
    double Ours = 0, Stdio = 0;
    for (auto _ : State) {
        const auto Start = std::chrono::steady_clock::now();
        if (!ExportDataFile(Folder.Hour, ekSignals))
            State.SkipWithError("export failed");
        const std::chrono::duration<double> Took = std::chrono::steady_clock::now() - Start;
        Ours += Took.count();
        Stdio += StdioSeconds(Folder.Hour, Folder.Dir + "/stdio.sig");
    }
    Ours /= static_cast<double>(State.iterations());
    Stdio /= static_cast<double>(State.iterations());
    State.counters["export_s"] = Ours;
    State.counters["stdio_s"] = Stdio;
    State.counters["ratio_to_stdio"] = Stdio > 0 ? Ours / Stdio : 0;
    State.counters["within_2_s"] = Ours < 2 ? 1 : 0;
    SetDialogAnswerer(Old);
}
BENCHMARK(BM_ExportSignalFile)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
