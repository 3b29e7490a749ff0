// The analyzer simulator as a program: serves one pseudo-terminal until it
// is interrupted.
#include "tools/analyzer-sim/AnalyzerSim.h"
#include "tools/analyzer-sim/SimEncode.h"
#include "tools/analyzer-sim/SimScripts.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t Quit = 0;

void OnSignal(int)
{
    Quit = 1;
}

// The usage, on standard output when asked for, else on standard error.
void Usage(std::FILE* To = stderr)
{
    std::fputs(
        "usage: analyzer-sim [options]\n"
        "Streams 50 waveform samples a second (12 breaths a minute) and a breath record\n"
        "every 5 s once the program asks for them. Its sensors start off zero by a\n"
        "little; the zeroing commands clear that. A syringe calibration strokes the\n"
        "size the program sends, read 1.5 % short until the calibration is accepted.\n"
        "  --link PATH          make PATH a symbolic link to the line's device\n"
        "  --handheld           act as the handheld unit (with three saved records)\n"
        "  --leak               low pressure decaying from 30 cmH2O (a leak test's circuit)\n"
        "  --trend              tidal volumes drifting 8 % around 500 mL, out of +-5 % and back\n"
        "  --syringe-error PCT  how far the syringe strokes read off before calibration (-1.5)\n"
        "  --old-firmware       report version 1.05.13 and send the old parameter scaling\n"
        "  --short-frames       send short waveform and parameter frames\n"
        "  --stream             stream waveform and parameters from the start\n"
        "  --waveform-ms N      period of the waveform frames (default 20; less is faster\n"
        "                       than the analyzer, whose samples the program plots 0.02 s apart)\n"
        "  --parameters-ms N    period of the parameter frames (default 5000)\n"
        "  --status-ms N        period of the status frames (default 2000, 0 off)\n"
        "  --bad-checksums N    send the next N frames with a wrong checksum\n"
        "  --nak N              answer the first N frames received with NAK\n"
        "  --silent             answer nothing\n"
        "  --garbage            send junk bytes before every frame\n"
        "  --split              write frames in small chunks\n"
        "  --hangup-after MS    close the line after MS milliseconds\n",
        To);
}

// A number option's value, or the usage and exit status 2.
double Number(const char* Text)
{
    char* End = nullptr;
    const double V = std::strtod(Text, &End);
    if (End == Text || *End != 0) {
        Usage();
        std::exit(2);
    }
    return V;
}

}  // namespace

int main(int argc, char** argv)
{
    sim::AnalyzerSim Sim;
    std::string Link;
    int HangUpAfter = -1;
    bool Leak = false, Trend = false;
    {
        auto L = Sim.Lock();
        sim::SimDevice& D = Sim.Device();
        D.StatusPeriodMs = 2000;
        D.WaveformPeriodMs = sim::kAnalyzerSamplePeriodMs;
        D.ParameterPeriodMs = 5000;
        D.Offsets = {0.3, 12, 0.4, 0.05, 0.6, -1.5};
        D.Syringe.ErrorPercent = -1.5;
        for (int i = 1; i < argc; ++i) {
            const std::string A = argv[i];
            auto Next = [&]() -> const char* {
                if (i + 1 >= argc) {
                    Usage();
                    std::exit(2);
                }
                return argv[++i];
            };
            if (A == "--link") {
                Link = Next();
            } else if (A == "--handheld") {
                D.Kind = sim::DeviceKind::Handheld;
                D.ExtendedFrames = false;
                for (int f = 0; f < 3; ++f)
                    D.Files.push_back(sim::HandheldFile(sim::DemoHandheldRecord(f)));
            } else if (A == "--leak") {
                Leak = true;
            } else if (A == "--trend") {
                Trend = true;
            } else if (A == "--syringe-error") {
                D.Syringe.ErrorPercent = Number(Next());
            } else if (A == "--old-firmware") {
                D.VersionText = "01.05.13";
                D.Version[0] = 1;
                D.Version[1] = 5;
                D.Version[2] = 13;
                D.OldFirmwareScaling = true;
            } else if (A == "--short-frames") {
                D.ExtendedFrames = false;
            } else if (A == "--stream") {
                D.SerialMode = '3';
            } else if (A == "--waveform-ms") {
                D.WaveformPeriodMs = static_cast<int>(Number(Next()));
            } else if (A == "--parameters-ms") {
                D.ParameterPeriodMs = static_cast<int>(Number(Next()));
            } else if (A == "--status-ms") {
                D.StatusPeriodMs = static_cast<int>(Number(Next()));
            } else if (A == "--bad-checksums") {
                Sim.SetBadChecksums(static_cast<int>(Number(Next())));
            } else if (A == "--nak") {
                Sim.SetNakFrames(static_cast<int>(Number(Next())));
            } else if (A == "--silent") {
                Sim.SetSilent(true);
            } else if (A == "--garbage") {
                Sim.SetGarbage(true);
            } else if (A == "--split") {
                Sim.SetSplitWrites(true);
            } else if (A == "--hangup-after") {
                HangUpAfter = static_cast<int>(Number(Next()));
            } else if (A == "--help" || A == "-h") {
                Usage(stdout);
                return 0;
            } else {
                std::fprintf(stderr, "analyzer-sim: unknown option %s\n", A.c_str());
                Usage();
                return 2;
            }
        }
        // A leak test's circuit: closed, pressurised to 30 cmH2O and losing
        // it over ten minutes, then pressurised again; no breaths, so no
        // breath records unless the trend asks for them.
        if (Leak) {
            D.Waveform = sim::PressureDecay(30, 11, 600);
            if (!Trend)
                D.ParameterPeriodMs = 0;
        }
        // A ventilator whose tidal volume wanders: 24 breaths a cycle.
        if (Trend)
            D.Parameters = sim::TidalVolumeRecords(sim::TidalVolumeDrift(500, 8, 24));
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGHUP, OnSignal);
    if (!Sim.Start()) {
        std::perror("analyzer-sim: no pseudo-terminal");
        return 1;
    }
    if (!Link.empty()) {
        ::unlink(Link.c_str());
        if (::symlink(Sim.SlavePath().c_str(), Link.c_str()) != 0) {
            std::perror("analyzer-sim: --link");
            return 1;
        }
    }
    std::printf("analyzer-sim on %s\n", Sim.SlavePath().c_str());
    std::fflush(stdout);
    const int64_t Started = sim::SimNowMs();
    while (!Quit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (HangUpAfter >= 0 && sim::SimNowMs() - Started >= HangUpAfter) {
            Sim.HangUp();
            HangUpAfter = -1;
        }
    }
    Sim.Stop();
    if (!Link.empty())
        ::unlink(Link.c_str());
    return 0;
}
