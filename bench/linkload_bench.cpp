// What the analyzer link costs the program between frames: the protocol
// object on the real serial component, opened on the analyzer simulator's
// pseudo-terminal as the tests open it, for a few seconds each
//   - waiting for a reply from a silent analyzer (the connect handshake's
//     situation),
//   - in the event loop while the analyzer streams 50 waveform frames a
//     second (the live displays' situation),
//   - in a reply wait while it streams.
// Printed: CPU time of the program's thread as a share of one core, and how
// often that thread was woken a second. The simulator runs on threads of
// its own, which are not counted.
#include "analyzer/Serialfunctions.h"
#include "platform/ApdComPort.h"
#include "platform/Application.h"
#include "platform/SerialPorts.h"
#include "platform/Timer.h"
#include "tools/analyzer-sim/AnalyzerSim.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

namespace {

constexpr int SecondsPerCase = 3;

// How often this thread went to sleep (and was woken again).
long Sleeps()
{
    std::ifstream In("/proc/thread-self/status");
    const std::string Key = "voluntary_ctxt_switches:";
    std::string Line;
    while (std::getline(In, Line))
        if (Line.rfind(Key, 0) == 0)
            return std::stol(Line.substr(Key.size()));
    return 0;
}

double ThreadCpuSeconds()
{
    timespec T{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &T);
    return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_nsec) * 1e-9;
}

double WallSeconds()
{
    timespec T{};
    clock_gettime(CLOCK_MONOTONIC, &T);
    return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_nsec) * 1e-9;
}

// A main window that counts the samples and drops the rest.
class CountingWindow : public TMainFormLink {
public:
    long Samples = 0;
    TDeviceKind DeviceKind() const override { return dkAnalyzer; }
    void ShowDeviceVersion(const std::string&) override {}
    void RecordMessage(int, uint8_t, const uint8_t*) override {}
    void NewWaveformSample(TWaveformSample) override { ++Samples; }
    void NewParameters(TParameterStruct) override {}
    void ConfigureForDevice(int, const std::string&) override {}
    void SetDeviceKind(uint8_t) override {}
    void SetCorrectionMode(int) override {}
    void SetInspGas(TGasProperties) override {}
    void SetExpGas(TGasProperties) override {}
    void SetAmbientTemp(float) override {}
    void SetGasType(int) override {}
    void SetBreathThreshold(float) override {}
    void ShowBreathDetectMode(int) override {}
    void ShowZeroMode(int) override {}
    void ShowSerialMode(int) override {}
    void ShowFlowPort(int) override {}
    void StatusReceived(uint8_t) override {}
};

enum class Situation { SilentWait, StreamInLoop, StreamInWait };

void BM_LinkLoad(benchmark::State& State, Situation What)
{
    sim::AnalyzerSim Sim;
    {
        auto L = Sim.Lock();
        sim::SimDevice& D = Sim.Device();
        D.WaveformPeriodMs = sim::kAnalyzerSamplePeriodMs;  // 50 a second
        D.ParameterPeriodMs = 5000;
        D.StatusPeriodMs = 0;
    }
    if (!Sim.Start()) {
        State.SkipWithError("no pseudo-terminal");
        return;
    }
    TApdComPort Port(nullptr);
    CountingWindow Window;
    TZEBBSerialProtocol Proto(&Port);
    Proto.SetMainWindow(&Window);
    Port.OnTriggerAvail = [&Proto](TObject*, uint16_t Count) { Proto.CommPortTriggerAvail(Count); };
    if (Proto.OpenPortAt(DeviceToPortNumber(Sim.SlavePath()), 38400) != opOpened) {
        State.SkipWithError("the simulator's line did not open");
        Sim.Stop();
        return;
    }
    sim::AnalyzerSim::WaitFor([&Sim] { return Sim.CurrentBaud() == 38400; }, 1000);
    const bool Streaming = What != Situation::SilentWait;
    if (Streaming && !Proto.SendSerialMode('1'))
        State.SkipWithError("the stream was not started");
    if (!Streaming)
        Sim.SetSilent(true);
    // Settle: the first frames and the open are not measured.
    Proto.Delay(300);

    double Cpu = 0, Wall = 0;
    long Woken = 0, Samples = 0;
    for (auto _ : State) {
        const long SleepsBefore = Sleeps();
        const long SamplesBefore = Window.Samples;
        const double CpuBefore = ThreadCpuSeconds();
        const double WallBefore = WallSeconds();
        if (What == Situation::StreamInLoop) {
            // The program's main loop, until a timer says the time is up.
            bool Done = false;
            TTimer Stop(nullptr);
            Stop.SetInterval(SecondsPerCase * 1000);
            Stop.OnTimer = [&Done](TObject*) { Done = true; };
            while (!Done)
                Application->HandleMessage();
        } else {
            Proto.ClearReply();
            Proto.WaitForFlag(SecondsPerCase * 1000, Proto.ReplyReceived(), true);
        }
        Cpu += ThreadCpuSeconds() - CpuBefore;
        Wall += WallSeconds() - WallBefore;
        Woken += Sleeps() - SleepsBefore;
        Samples += Window.Samples - SamplesBefore;
    }
    State.counters["cpu_pct"] = 100.0 * Cpu / Wall;
    State.counters["wakeups_per_s"] = static_cast<double>(Woken) / Wall;
    State.counters["frames_per_s"] = static_cast<double>(Samples) / Wall;
    std::printf("%-28s CPU %.2f %% of a core, %.1f wake-ups/s, %.1f frames/s\n",
                What == Situation::SilentWait     ? "silent, in a reply wait"
                : What == Situation::StreamInLoop ? "50 frames/s, in the loop"
                                                  : "50 frames/s, in a reply wait",
                100.0 * Cpu / Wall, static_cast<double>(Woken) / Wall, static_cast<double>(Samples) / Wall);

    if (Streaming) {
        Sim.SetSilent(false);
        Proto.SendSerialMode('X');
    }
    Port.OnTriggerAvail = nullptr;
    Proto.ClosePort();
    Sim.Stop();
}

BENCHMARK_CAPTURE(BM_LinkLoad, SilentWait, Situation::SilentWait)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LinkLoad, StreamInLoop, Situation::StreamInLoop)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LinkLoad, StreamInWait, Situation::StreamInWait)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
