// Firmware loading against the simulated boot loader on a pseudo-terminal:
// what reaches the analyzer, at which rate, and how failures end the load.
#include "tests/analyzer/FlashRig.h"

#include <gtest/gtest.h>

namespace {

// What a load told its monitor, last value of each kind.
struct RecordingMonitor : TFlashLoadMonitor {
    std::string Status;
    int Position = -1, Max = -1;
    int32_t Naks = 0, Acked = 0, Sent = 0;
    std::vector<std::string> Failures;

    void ShowStatus(const std::string& S) override { Status = S; }
    void ShowProgress(int P, int M) override
    {
        Position = P;
        Max = M;
    }
    void ShowCounts(int32_t N, int32_t A, int32_t S) override
    {
        Naks = N;
        Acked = A;
        Sent = S;
    }
    void LoadFailed(const std::string& Message) override { Failures.push_back(Message); }
};

class FlashLoad : public FlashRig {
protected:
    void SetUp() override
    {
        FlashRig::SetUp();
        Sending = [this] { return Monitor.Status.rfind("Flashing", 0) == 0; };
    }
    TFlashLoadResult Run() { return Proto->FlashLoad(TextPath, CodePath, &Monitor); }
    int FramesOfType(uint8_t Type) const
    {
        int N = 0;
        for (const auto& F : Sim.Received())
            N += F.Type == Type;
        return N;
    }

    RecordingMonitor Monitor;
};

}  // namespace

TEST_F(FlashLoad, SendsBothFilesByteForByteAfterWakeUpAndErase)
{
    WriteFiles(MakeHexFile(12, 1), MakeHexFile(30, 7));

    EXPECT_EQ(Run(), flLoaded);

    EXPECT_EQ(Sim.BootLoader().ControlStrings(), Strings({0, 1, 2}));
    EXPECT_EQ(Sim.BootLoader().Records(), Expected);
    EXPECT_EQ(Sim.BootLoader().RecordsReceived(), 44);
    // The output was stopped first, at the analyzer's own rate.
    EXPECT_EQ(FramesOfType('M'), 2);
    EXPECT_EQ(Sim.CurrentBaud(), 19200);
    EXPECT_EQ(Monitor.Status, "Flashing Code File");
    EXPECT_EQ(Monitor.Naks, 0);
    EXPECT_EQ(Monitor.Acked, 44);
    EXPECT_EQ(Monitor.Sent, 44);
    EXPECT_EQ(Monitor.Max, 31);
    EXPECT_EQ(Monitor.Position, 31);
    EXPECT_TRUE(Monitor.Failures.empty());
    EXPECT_TRUE(Messages.empty());  // the link itself shows nothing
}

TEST_F(FlashLoad, RecordNakedTwiceIsResentAndTheLoadSucceeds)
{
    WriteFiles(MakeHexFile(4, 2), MakeHexFile(4, 3));
    Sim.BootLoader().NakRecord(6, 2);  // the second record of the code file

    EXPECT_EQ(Run(), flLoaded);

    EXPECT_EQ(Sim.BootLoader().Records(), Expected);
    EXPECT_EQ(Sim.BootLoader().RecordsReceived(), 12);
    EXPECT_EQ(Sim.BootLoader().ControlStrings(), Strings({0, 1, 2}));
    EXPECT_EQ(Monitor.Naks, 2);
    EXPECT_EQ(Monitor.Acked, 10);
    EXPECT_EQ(Monitor.Sent, 10);
    EXPECT_TRUE(Monitor.Failures.empty());
}

TEST_F(FlashLoad, RecordNakedFiveTimesStopsTheLoadAsAFailure)
{
    WriteFiles(MakeHexFile(4, 2), MakeHexFile(6, 3));
    Sim.BootLoader().NakRecord(7, 5);  // the third record of the code file

    EXPECT_EQ(Run(), flFailed);

    // Nothing after the refused record went out, not even the end string.
    EXPECT_EQ(Sim.BootLoader().Records(), std::vector<Bytes>(Expected.begin(), Expected.begin() + 7));
    EXPECT_EQ(Sim.BootLoader().RecordsReceived(), 7 + 5);
    EXPECT_EQ(Sim.BootLoader().ControlStrings(), Strings({0, 1}));
    EXPECT_EQ(Monitor.Naks, 5);
    EXPECT_EQ(Monitor.Acked, 7);
    EXPECT_EQ(Monitor.Sent, 8);
    EXPECT_EQ(Monitor.Failures, std::vector<std::string>{"Flash File " + CodePath +
                                                 ": record 3 was not acknowledged. The firmware load was stopped."});
}

TEST_F(FlashLoad, UnansweredRecordIsTriedFiveTimesThenTheLoadFails)
{
    WriteFiles(MakeHexFile(2, 2), MakeHexFile(2, 3));
    Sim.SetSilent(true);
    SkipAlways = true;  // every wait runs out; let them run out quickly

    EXPECT_EQ(Run(), flFailed);

    // The last try may still be on its way to the boot loader.
    EXPECT_TRUE(sim::AnalyzerSim::WaitFor([this] { return Sim.BootLoader().RecordsReceived() == 5; }, 2000))
        << Sim.BootLoader().RecordsReceived();
    EXPECT_EQ(Sim.BootLoader().ControlStrings(), Strings({0, 1}));
    EXPECT_EQ(Monitor.Naks, 0);
    EXPECT_EQ(Monitor.Acked, 0);
    EXPECT_EQ(Monitor.Sent, 1);
    ASSERT_EQ(Monitor.Failures.size(), 1u);
    EXPECT_EQ(Monitor.Failures[0], "Flash File " + TextPath + ": record 1 was not acknowledged. The firmware load was stopped.");
}

TEST_F(FlashLoad, BadOrMissingFileSendsNothing)
{
    const HexFile Good = MakeHexFile(3, 1);
    const std::string BadText = Good.Text + ":0400100011223344" "43\r\n";
    const struct {
        const char* Name;
        bool TextBad;
        bool Missing;
        std::string Message;  // after "Flash File <path>"
    } Cases[] = {
        {"bad text file", true, false, ", line 5: checksum error."},
        {"bad code file", false, false, ", line 5: checksum error."},
        {"missing code file", false, true, " does not exist."},
    };
    for (const auto& C : Cases) {
        Monitor.Failures.clear();
        TextPath = Dir.Write("text.hex", C.TextBad ? BadText : Good.Text);
        CodePath = C.Missing ? Dir.Path("none.hex") : Dir.Write("code.hex", C.TextBad ? Good.Text : BadText);

        EXPECT_EQ(Run(), flFailed) << C.Name;

        const std::string& Bad = C.TextBad ? TextPath : CodePath;
        EXPECT_EQ(Monitor.Failures, std::vector<std::string>{"Flash File " + Bad + C.Message}) << C.Name;
        EXPECT_TRUE(Sim.Received().empty()) << C.Name;
        EXPECT_TRUE(Sim.BootLoader().ControlStrings().empty()) << C.Name;
        EXPECT_EQ(Sim.CurrentBaud(), 38400) << C.Name;
    }
}

TEST(FlashLoadWithoutPort, FailsWithoutSending)
{
    TempDir Dir;
    const HexFile F = MakeHexFile(2, 1);
    const std::string Path = Dir.Write("f.hex", F.Text);
    TZEBBSerialProtocol Proto(static_cast<TProtocolPort*>(nullptr));
    RecordingMonitor Monitor;
    EXPECT_EQ(Proto.FlashLoad(Path, Path, &Monitor), flFailed);
    EXPECT_EQ(Monitor.Failures, std::vector<std::string>{"The analyzer is not connected; no firmware was loaded."});
    // Without a monitor the load fails all the same.
    EXPECT_EQ(Proto.FlashLoad(Path, Path, nullptr), flFailed);
}
