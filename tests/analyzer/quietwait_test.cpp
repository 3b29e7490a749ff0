// The protocol's waits sleep until the analyzer says something, a timer
// fires or the wait is over: a silent line hardly wakes the program, and a
// frame that arrives ends the wait for it at once, also a wait that runs
// inside the data-available handler. Against the simulator on a
// pseudo-terminal.
#include "tests/analyzer/CommandRig.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// How often this thread went to sleep (and so was woken again): the
// kernel's count of its voluntary context switches; -1 when unknown.
long Sleeps()
{
    std::ifstream In("/proc/thread-self/status");
    const std::string Key = "voluntary_ctxt_switches:";
    std::string Line;
    while (std::getline(In, Line))
        if (Line.rfind(Key, 0) == 0)
            return std::stol(Line.substr(Key.size()));
    return -1;
}

double SecondsSince(Clock::time_point Start)
{
    return std::chrono::duration<double>(Clock::now() - Start).count();
}

}  // namespace

TEST(QuietWaits, ASilentAnalyzerHardlyWakesTheProgram)
{
    CommandRig R;
    R.Start();
    R.Sim.SetSilent(true);
    const struct {
        const char* What;
        std::function<void()> Wait;
    } Cases[] = {
        {"a reply that does not come in 5 s",
         [&] {
             R.Proto->ClearReply();
             EXPECT_FALSE(R.Proto->WaitForFlag(5000, R.Proto->ReplyReceived(), true));
         }},
        {"the connect handshake, five attempts unanswered", [&] { EXPECT_FALSE(R.Proto->ProbeConnection()); }},
        {"a pause", [&] { R.Proto->Delay(1000); }},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.What);
        const long Before = Sleeps();
        ASSERT_GE(Before, 0);
        const Clock::time_point Start = Clock::now();
        C.Wait();
        const double Seconds = SecondsSince(Start);
        const long Woken = Sleeps() - Before;
        EXPECT_LT(static_cast<double>(Woken) / Seconds, 20.0) << Woken << " wake-ups in " << Seconds << " s";
    }
    EXPECT_EQ(R.Sim.AcksReceived(), 0);
}

TEST(QuietWaits, AFrameArrivingDuringAWaitEndsIt)
{
    CommandRig R;
    R.Start();
    R.Sim.SetSilent(true);
    R.Proto->ClearReply();
    std::thread Analyzer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        R.Sim.SendFrame('e', {0, 84, 0x12, 0x34});
    });
    const Clock::time_point Start = Clock::now();
    const bool Seen = R.Proto->WaitForFlag(30000, R.Proto->ReplyReceived(), true);
    const double Seconds = SecondsSince(Start);
    Analyzer.join();
    EXPECT_TRUE(Seen);
    EXPECT_EQ(R.Proto->ReplyAddress(), 84);
    // Ended by the frame, not by its 30 s.
    EXPECT_LT(Seconds, 10.0);
}

TEST(QuietWaits, AReplyEndsAWaitInsideTheDataAvailableHandler)
{
    // The connect reply makes the handler ask for the version and wait for
    // it there; the version comes a while after its request was
    // acknowledged, well inside the 750 ms the wait allows.
    CommandRig R;
    R.Sim.OnCommand('J', [](sim::AnalyzerSim& S, const sim::Frame&) {
        S.Post([&S] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            const std::string Text = "01.08.09";
            S.SendFrame('j', sim::Bytes(Text.begin(), Text.end()));
        });
    });
    R.Start();
    R.Sim.SendFrame('g', {0, 0, 0});
    const int64_t End = MonotonicMs() + 5000;
    while (R.Window.Calls.empty() && MonotonicMs() < End)
        Application->HandleMessage(100);
    EXPECT_TRUE(R.Proto->ConnectReply());
    EXPECT_EQ(R.Window.Calls, std::vector<std::string>{"ConfigureForDevice 1 01.08.09"});
}
