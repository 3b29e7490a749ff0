// The analyzer simulator as a program: serves one pseudo-terminal until it
// is interrupted.
#include "tools/analyzer-sim/AnalyzerSim.h"

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

void Usage()
{
    std::fputs(
        "usage: analyzer-sim [options]\n"
        "  --link PATH          make PATH a symbolic link to the line's device\n"
        "  --handheld           act as the handheld unit (with three saved files)\n"
        "  --old-firmware       report version 1.05.13 and send the old parameter scaling\n"
        "  --short-frames       send short waveform and parameter frames\n"
        "  --stream             stream waveform and parameters from the start\n"
        "  --waveform-ms N      period of the waveform frames (default 10)\n"
        "  --parameters-ms N    period of the parameter frames (default 3000)\n"
        "  --status-ms N        period of the status frames (default 2000, 0 off)\n"
        "  --bad-checksums N    send the next N frames with a wrong checksum\n"
        "  --nak N              answer the first N frames received with NAK\n"
        "  --silent             answer nothing\n"
        "  --garbage            send junk bytes before every frame\n"
        "  --split              write frames in small chunks\n"
        "  --hangup-after MS    close the line after MS milliseconds\n",
        stderr);
}

}  // namespace

int main(int argc, char** argv)
{
    sim::AnalyzerSim Sim;
    std::string Link;
    int HangUpAfter = -1;
    {
        auto L = Sim.Lock();
        sim::SimDevice& D = Sim.Device();
        D.StatusPeriodMs = 2000;
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
                const char* Names[] = {"Vent Test 1", "Vent Test 2", "Leak Check"};
                for (int f = 0; f < 3; ++f) {
                    sim::SimFile F;
                    F.Name = Names[f];
                    F.Day = static_cast<uint8_t>(10 + f);
                    F.Month = 6;
                    F.Hour = static_cast<uint8_t>(9 + f);
                    F.Data.resize(16000);
                    for (size_t b = 0; b < F.Data.size(); ++b)
                        F.Data[b] = static_cast<uint8_t>(b * 7 + f);
                    D.Files.push_back(std::move(F));
                }
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
                D.WaveformPeriodMs = std::atoi(Next());
            } else if (A == "--parameters-ms") {
                D.ParameterPeriodMs = std::atoi(Next());
            } else if (A == "--status-ms") {
                D.StatusPeriodMs = std::atoi(Next());
            } else if (A == "--bad-checksums") {
                Sim.SetBadChecksums(std::atoi(Next()));
            } else if (A == "--nak") {
                Sim.SetNakFrames(std::atoi(Next()));
            } else if (A == "--silent") {
                Sim.SetSilent(true);
            } else if (A == "--garbage") {
                Sim.SetGarbage(true);
            } else if (A == "--split") {
                Sim.SetSplitWrites(true);
            } else if (A == "--hangup-after") {
                HangUpAfter = std::atoi(Next());
            } else {
                Usage();
                return A == "--help" || A == "-h" ? 0 : 2;
            }
        }
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
