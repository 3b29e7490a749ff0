// The simulator as a program: its options, its default rate and what
// --handheld, --leak and --trend stream, over the line it prints.
#include "tests/tools/SimLine.h"
#include "tools/analyzer-sim/AnalyzerSim.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace sim;
using namespace simtest;

namespace {

std::string SimulatorPath()
{
    // The test programs are built into tests/, the program into bin/.
    const std::filesystem::path Self = std::filesystem::read_symlink("/proc/self/exe");
    return (Self.parent_path().parent_path() / "bin" / "analyzer-sim").string();
}

// The simulator running with the given options; standard output and
// standard error read back through pipes. Ended by SIGTERM when the test
// is done with it.
class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& Options)
    {
        int Out[2], Err[2];
        if (::pipe(Out) != 0 || ::pipe(Err) != 0)
            return;
        posix_spawn_file_actions_t Actions;
        posix_spawn_file_actions_init(&Actions);
        posix_spawn_file_actions_adddup2(&Actions, Out[1], 1);
        posix_spawn_file_actions_adddup2(&Actions, Err[1], 2);
        posix_spawn_file_actions_addclose(&Actions, Out[0]);
        posix_spawn_file_actions_addclose(&Actions, Err[0]);
        const std::string Path = SimulatorPath();
        std::vector<std::string> Args{Path};
        Args.insert(Args.end(), Options.begin(), Options.end());
        std::vector<char*> Argv;
        for (std::string& A : Args)
            Argv.push_back(A.data());
        Argv.push_back(nullptr);
        if (::posix_spawn(&FPid, Path.c_str(), &Actions, nullptr, Argv.data(), environ) != 0)
            FPid = -1;
        posix_spawn_file_actions_destroy(&Actions);
        ::close(Out[1]);
        ::close(Err[1]);
        FOut = Out[0];
        FErr = Err[0];
    }
    ~SimProcess()
    {
        if (FPid > 0 && !FEnded) {
            ::kill(FPid, SIGTERM);
            Wait();
        }
        if (FOut >= 0)
            ::close(FOut);
        if (FErr >= 0)
            ::close(FErr);
    }
    bool Started() const { return FPid > 0; }
    // The exit status once it ended by itself (within TimeoutMs); -1 else.
    int ExitStatus(int TimeoutMs = 5000)
    {
        const int64_t End = SimNowMs() + TimeoutMs;
        while (!FEnded && SimNowMs() < End) {
            int Status = 0;
            if (::waitpid(FPid, &Status, WNOHANG) == FPid) {
                FEnded = true;
                FStatus = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
                break;
            }
            ::usleep(2000);
        }
        return FEnded ? FStatus : -1;
    }
    // What it wrote on standard output (until the first line ends, or
    // everything once it ended) and on standard error.
    std::string FirstLine(int TimeoutMs = 5000) { return ReadFrom(FOut, TimeoutMs, true); }
    std::string Output() { return ReadFrom(FOut, 2000, false); }
    std::string Errors() { return ReadFrom(FErr, 2000, false); }

private:
    void Wait()
    {
        int Status = 0;
        ::waitpid(FPid, &Status, 0);
        FEnded = true;
    }
    static std::string ReadFrom(int Fd, int TimeoutMs, bool OneLine)
    {
        std::string S;
        const int64_t End = SimNowMs() + TimeoutMs;
        while (SimNowMs() < End) {
            pollfd P{Fd, POLLIN, 0};
            if (::poll(&P, 1, 10) <= 0)
                continue;
            char C;
            if (::read(Fd, &C, 1) != 1)
                break;  // closed
            if (OneLine && C == '\n')
                break;
            S += C;
        }
        return S;
    }

    pid_t FPid = -1;
    int FOut = -1, FErr = -1;
    bool FEnded = false;
    int FStatus = -1;
};

// Starts the simulator and opens the line it names in its one line of
// output.
struct Running {
    explicit Running(const std::vector<std::string>& Options) : Process(Options)
    {
        const std::string Said = Process.FirstLine();
        const std::string Prefix = "analyzer-sim on ";
        if (Said.rfind(Prefix, 0) != 0)
            return;
        Wire = std::make_unique<Line>(Said.substr(Prefix.size()));
        Tap = std::make_unique<FrameTap>(*Wire);
    }
    bool Ok() const { return Wire && Wire->IsOpen(); }
    SimProcess Process;
    std::unique_ptr<Line> Wire;
    std::unique_ptr<FrameTap> Tap;
};

}  // namespace

TEST(SimProgram, ExplainsItsOptionsAndRefusesUnknownOnes)
{
    {
        SimProcess Help({"--help"});
        ASSERT_TRUE(Help.Started()) << SimulatorPath();
        EXPECT_EQ(Help.ExitStatus(), 0);
        const std::string Usage = Help.Output();
        for (const char* Option : {"--leak", "--trend", "--handheld", "--syringe-error", "--waveform-ms"})
            EXPECT_NE(Usage.find(Option), std::string::npos) << Option;
    }
    for (std::vector<std::string> Bad : {std::vector<std::string>{"--bogus"}, {"--waveform-ms", "fast"}, {"--link"}}) {
        SimProcess P(Bad);
        EXPECT_EQ(P.ExitStatus(), 2) << Bad[0];
        EXPECT_NE(P.Errors().find("usage: analyzer-sim"), std::string::npos) << Bad[0];
    }
}

// At the analyzer's own rate: about 50 samples a second (the program plots
// them 0.02 s apart), the counter going up by one.
TEST(SimProgram, StreamsFiftySamplesASecondCountingByOne)
{
    Running R({"--stream", "--status-ms", "0"});
    ASSERT_TRUE(R.Ok());
    Frame F;
    ASSERT_TRUE(R.Tap->Next('?', F, 2000));
    int Previous = WaveOf(F.Payload).Counter;
    const int64_t Start = SimNowMs();
    int Samples = 0;
    while (SimNowMs() - Start < 1000) {
        ASSERT_TRUE(R.Tap->Next('?', F, 500));
        const int Counter = WaveOf(F.Payload).Counter;
        ASSERT_EQ(Counter, (Previous + 1) & 0xFFFF);
        Previous = Counter;
        ++Samples;
    }
    EXPECT_GE(Samples, 30);
    EXPECT_LE(Samples, 60);
}

TEST(SimProgram, LeakStreamsLowPressureDecayingFromThirty)
{
    Running R({"--leak", "--stream", "--waveform-ms", "2", "--status-ms", "0"});
    ASSERT_TRUE(R.Ok());
    // Its low-pressure sensor starts off zero by 0.4 cmH2O until zeroed.
    Frame F;
    ASSERT_TRUE(R.Tap->Next('?', F, 2000));
    EXPECT_NEAR(WaveOf(F.Payload).Low, 30.4, 0.051);
    R.Wire->Write(BuildFrame('Z', {'L'}));
    ASSERT_TRUE(R.Tap->Acked());
    ASSERT_TRUE(R.Tap->Next('?', F));
    Wave W = WaveOf(F.Payload);
    EXPECT_LE(W.Low, 30);
    EXPECT_GT(W.Low, 25);
    const double First = W.Low;
    double Last = First;
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(R.Tap->Next('?', F));
        W = WaveOf(F.Payload);
        EXPECT_LE(W.Low, Last);
        EXPECT_EQ(W.Airway, W.Low);
        EXPECT_NEAR(W.Flow, 0.3, 1e-9);  // a sensor not yet zeroed
        Last = W.Low;
    }
    EXPECT_LT(Last, First);
    // No breaths: no breath records.
    EXPECT_FALSE(R.Tap->Next('P', F, 300));
}

TEST(SimProgram, TrendDriftsTidalVolumesOutOfFivePercentAndBack)
{
    Running R({"--trend", "--stream", "--parameters-ms", "5", "--status-ms", "0"});
    ASSERT_TRUE(R.Ok());
    int Inside = 0, Outside = 0;
    Frame F;
    for (int i = 0; i < 24; ++i) {
        ASSERT_TRUE(R.Tap->Next('P', F));
        const double V = RecordOf(F.Payload).TidalInsp;
        ASSERT_FALSE(std::isnan(V));
        (V >= 475 && V <= 525 ? Inside : Outside)++;
    }
    EXPECT_GE(Inside, 8);
    EXPECT_GE(Outside, 8);
}

TEST(SimProgram, HandheldListsThreeRecords)
{
    Running R({"--handheld", "--status-ms", "0"});
    ASSERT_TRUE(R.Ok());
    R.Wire->Write(BuildFrame('I', {'L'}));
    std::vector<std::string> Names;
    for (int i = 0; i < 3; ++i) {
        Frame F;
        ASSERT_TRUE(R.Tap->Next('I', F)) << i;
        ASSERT_EQ(F.Payload.size(), 36u);
        EXPECT_EQ(F.Payload[3], 3);
        Names.emplace_back(F.Payload.begin() + 5, F.Payload.begin() + 5 + F.Payload[4]);
        R.Wire->Write({kAck});
    }
    EXPECT_EQ(Names, (std::vector<std::string>{"Vent Test 1", "Vent Test 2", "Leak Check"}));
}
