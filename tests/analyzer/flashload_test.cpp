// Firmware loading against the simulated boot loader on a pseudo-terminal:
// what reaches the analyzer, at which rate, and how failures end the load.
#include "platform/ComCtrls.h"
#include "platform/StdCtrls.h"
#include "tests/analyzer/FlashRig.h"

#include <gtest/gtest.h>

namespace {

class FlashLoad : public FlashRig {
protected:
    int Run()
    {
        return Proto->FlashLoad(TextPath, CodePath, &Bar, &Status, &Nacks, &Lines, &Time);
    }
    int FramesOfType(uint8_t Type) const
    {
        int N = 0;
        for (const auto& F : Sim.Received())
            N += F.Type == Type;
        return N;
    }

    TProgressBar Bar{nullptr};
    TLabel Status{nullptr};
    TLabel Nacks{nullptr};
    TLabel Lines{nullptr};
    TLabel Time{nullptr};
};

}  // namespace

TEST_F(FlashLoad, SendsBothFilesByteForByteAfterWakeUpAndErase)
{
    WriteFiles(MakeHexFile(12, 1), MakeHexFile(30, 7));
    Time.SetCaption("stale");

    EXPECT_EQ(Run(), 1);

    EXPECT_EQ(Sim.BootLoader().ControlStrings(), Strings({0, 1, 2}));
    EXPECT_EQ(Sim.BootLoader().Records(), Expected);
    EXPECT_EQ(Sim.BootLoader().RecordsReceived(), 44);
    // The output was stopped first, at the analyzer's own rate.
    EXPECT_EQ(FramesOfType('M'), 2);
    EXPECT_EQ(Sim.CurrentBaud(), 19200);
    EXPECT_EQ(Status.Caption(), "Flashing Code File");
    EXPECT_EQ(Nacks.Caption(), "0");
    EXPECT_EQ(Lines.Caption(), "44 44");
    EXPECT_EQ(Time.Caption(), "");
    EXPECT_EQ(Bar.Max(), 31);
    EXPECT_EQ(Bar.Position(), 31);
    EXPECT_TRUE(Messages.empty());
}

TEST_F(FlashLoad, RecordNakedTwiceIsResentAndTheLoadSucceeds)
{
    WriteFiles(MakeHexFile(4, 2), MakeHexFile(4, 3));
    Sim.BootLoader().NakRecord(6, 2);  // the second record of the code file

    EXPECT_EQ(Run(), 1);

    EXPECT_EQ(Sim.BootLoader().Records(), Expected);
    EXPECT_EQ(Sim.BootLoader().RecordsReceived(), 12);
    EXPECT_EQ(Sim.BootLoader().ControlStrings(), Strings({0, 1, 2}));
    EXPECT_EQ(Nacks.Caption(), "2");
    EXPECT_EQ(Lines.Caption(), "10 10");
    EXPECT_TRUE(Messages.empty());
}

TEST_F(FlashLoad, RecordNakedFiveTimesStopsTheLoadAsAFailure)
{
    WriteFiles(MakeHexFile(4, 2), MakeHexFile(6, 3));
    Sim.BootLoader().NakRecord(7, 5);  // the third record of the code file

    EXPECT_EQ(Run(), 0);

    // Nothing after the refused record went out, not even the end string.
    EXPECT_EQ(Sim.BootLoader().Records(), std::vector<Bytes>(Expected.begin(), Expected.begin() + 7));
    EXPECT_EQ(Sim.BootLoader().RecordsReceived(), 7 + 5);
    EXPECT_EQ(Sim.BootLoader().ControlStrings(), Strings({0, 1}));
    EXPECT_EQ(Nacks.Caption(), "5");
    EXPECT_EQ(Lines.Caption(), "7 8");
    EXPECT_EQ(Status.Caption(), "Flash Load Failed");
    EXPECT_EQ(Messages, std::vector<std::string>{"Flash File " + CodePath +
                                                 ": record 3 was not acknowledged. The firmware load was stopped."});
}

TEST_F(FlashLoad, UnansweredRecordIsTriedFiveTimesThenTheLoadFails)
{
    WriteFiles(MakeHexFile(2, 2), MakeHexFile(2, 3));
    Sim.SetSilent(true);
    SkipAlways = true;  // every wait runs out; let them run out quickly

    EXPECT_EQ(Run(), 0);

    EXPECT_EQ(Sim.BootLoader().RecordsReceived(), 5);
    EXPECT_EQ(Sim.BootLoader().ControlStrings(), Strings({0, 1}));
    EXPECT_EQ(Nacks.Caption(), "0");
    EXPECT_EQ(Lines.Caption(), "0 1");
    EXPECT_EQ(Status.Caption(), "Flash Load Failed");
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0], "Flash File " + TextPath + ": record 1 was not acknowledged. The firmware load was stopped.");
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
        Messages.clear();
        TextPath = Dir.Write("text.hex", C.TextBad ? BadText : Good.Text);
        CodePath = C.Missing ? Dir.Path("none.hex") : Dir.Write("code.hex", C.TextBad ? Good.Text : BadText);

        EXPECT_EQ(Run(), 0) << C.Name;

        const std::string& Bad = C.TextBad ? TextPath : CodePath;
        EXPECT_EQ(Messages, std::vector<std::string>{"Flash File " + Bad + C.Message}) << C.Name;
        EXPECT_EQ(Status.Caption(), "Flash Load Failed") << C.Name;
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
    std::vector<std::string> Messages;
    auto Old = SetDialogAnswerer([&](const TDialogRequest& R, TDialogAnswer& A) {
        Messages.push_back(R.Text);
        A.ModalResult = mrOk;
        return true;
    });
    TZEBBSerialProtocol Proto(static_cast<TProtocolPort*>(nullptr));
    TLabel Status(nullptr);
    EXPECT_EQ(Proto.FlashLoad(Path, Path, nullptr, &Status, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(Status.Caption(), "Flash Load Failed");
    EXPECT_EQ(Messages, std::vector<std::string>{"The analyzer is not connected; no firmware was loaded."});
    SetDialogAnswerer(Old);
}
