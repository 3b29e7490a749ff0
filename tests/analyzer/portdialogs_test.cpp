// The port selection and search dialogs, against the simulator.
#include "analyzer/dialogs/SearchComm.h"
#include "analyzer/dialogs/SelectComm.h"
#include "tests/analyzer/CommandRig.h"

#include "platform/DialogHook.h"
#include "platform/StdCtrls.h"

#include <algorithm>

namespace {

// Answers the selection dialog: notes what the combo showed, types Typed
// into it (unless empty) and closes with Result.
struct SelectAnswer {
    std::string Shown;
    std::string Typed;
    int Result = mrOk;
    TDialogAnswerer Old;

    SelectAnswer()
    {
        Old = SetDialogAnswerer([this](const TDialogRequest& R, TDialogAnswer& A) {
            auto* Form = dynamic_cast<TComponent*>(R.Dialog);
            auto* Combo = Form ? dynamic_cast<TComboBox*>(Form->FindComponent("PortList")) : nullptr;
            if (!Combo)
                return false;
            Shown = Combo->Text();
            if (!Typed.empty())
                Combo->SetText(Typed);
            A.ModalResult = Result;
            return true;
        });
    }
    ~SelectAnswer() { SetDialogAnswerer(Old); }
};

int UnlistedPort()
{
    const auto Listed = CommPortList();
    int N = 99;
    while (std::find(Listed.begin(), Listed.end(), N) != Listed.end())
        --N;
    return N;
}

}  // namespace

TEST(SelectCommPort, TakesOnlyTextsThatNameAPort)
{
    TSelectCommPortDlg Dlg(nullptr);
    SelectAnswer Answer;
    const int Current = UnlistedPort();
    const struct {
        const char* What;
        std::string Typed;
        int Result;
        bool Ok;
        int Selected;
    } Cases[] = {
        {"OK on None", "", mrOk, false, Current},
        {"a pseudo-terminal's path", "/dev/pts/7", mrOk, true, 1007},
        {"a device name", "ttyUSB2", mrOk, true, 102},
        {"a port number", "201", mrOk, true, 201},
        {"text that is no port", "COM3x", mrOk, false, Current},
        {"a number for no device", "500", mrOk, false, Current},
        {"cancelled", "/dev/pts/7", mrCancel, false, Current},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.What);
        Answer.Typed = C.Typed;
        Answer.Result = C.Result;
        EXPECT_EQ(Dlg.Execute(Current), C.Ok);
        EXPECT_EQ(Answer.Shown, "None");
        EXPECT_EQ(Dlg.SelectedPort(), C.Selected);
    }
    // A port in use that the system does not list is offered when named;
    // a named number that stands for no device is not.
    Dlg.SetNamedPorts({1007, 500});
    Answer.Typed.clear();
    Answer.Result = mrOk;
    EXPECT_TRUE(Dlg.Execute(1007));
    EXPECT_EQ(Answer.Shown, "/dev/pts/7");
    EXPECT_EQ(Dlg.SelectedPort(), 1007);
    EXPECT_FALSE(Dlg.Execute(500));
    EXPECT_EQ(Answer.Shown, "None");
    Dlg.SetNamedPorts({});

    const auto Listed = CommPortList();
    if (!Listed.empty()) {
        Answer.Typed.clear();
        Answer.Result = mrOk;
        EXPECT_TRUE(Dlg.Execute(Listed.back()));
        EXPECT_EQ(Answer.Shown, PortDisplayName(Listed.back()));
        EXPECT_EQ(Dlg.SelectedPort(), Listed.back());
    }
}

class SearchCommPorts : public ::testing::Test {
protected:
    // The dead port listens at a rate the search never tries; like the
    // analyzer's own line, it answers what comes at another rate with a NAK
    // (a line that garbles it), so a failed probe costs its retries and not
    // their time-outs. A probe that is not answered at all is waited out in
    // AnAnswerAtALowerRateIsNotEnough.
    void SetUp() override
    {
        {
            auto L = Dead.Lock();
            Dead.Device().ConnectBaud = 1200;  // understands nothing the search sends
        }
        Dead.SetNakOtherRates(true);
        Rig.Sim.SetNakOtherRates(true);
        ASSERT_TRUE(Dead.Start());
        Dlg.SetFoundPauseMs(100);
    }
    std::string Caption() { return dynamic_cast<TLabel*>(Dlg.FindComponent("Label1"))->Caption(); }

    sim::AnalyzerSim Dead;
    CommandRig Rig;
    TdlgSearchCommPorts Dlg{nullptr, Rig.Proto.get()};
};

TEST_F(SearchCommPorts, FindsTheAnalyzerOnTheSecondPort)
{
    ASSERT_TRUE(Rig.Sim.Start());
    Dlg.SearchPorts({DeviceToPortNumber(Dead.SlavePath()), Rig.SimPort()});
    EXPECT_FALSE(Dlg.Visible());
    EXPECT_EQ(Caption(), "Device Found...");
    EXPECT_TRUE(Dead.Received().empty());
    // Found at 38,400 baud: the probe there was the only one heard.
    EXPECT_TRUE(Rig.Port.Open());
    EXPECT_EQ(Rig.Proto->GetPortSettings().ComNumber, Rig.SimPort());
    EXPECT_EQ(Rig.Port.Baud(), 38400);
    std::string Types;
    for (const auto& F : Rig.Got())
        Types += static_cast<char>(F.Type);
    EXPECT_EQ(Types, "GJM");
    EXPECT_EQ(Shown(Rig.Got("M")[0].Payload), "3");
    auto L = Rig.Sim.Lock();
    EXPECT_EQ(Rig.Sim.Device().SerialMode, '3');
}

TEST_F(SearchCommPorts, AnAnswerAtALowerRateIsNotEnough)
{
    {
        auto L = Rig.Sim.Lock();
        Rig.Sim.Device().ConnectBaud = 2400;
    }
    Rig.Sim.SetNakOtherRates(false);   // the probe at 38,400 goes unanswered
    ASSERT_TRUE(Rig.Sim.Start());
    Dlg.SearchPorts({Rig.SimPort()});
    // It answered at 2,400 baud, was asked again at 38,400 and heard nothing.
    EXPECT_EQ(Rig.Got("G").size(), 1u);
    EXPECT_TRUE(Rig.Got("M").empty());
    EXPECT_EQ(Caption(), "Checking Comm(" + std::to_string(Rig.SimPort()) + ")  Baud(38400)  " + Rig.Sim.SlavePath());
    EXPECT_TRUE(Rig.Port.Open());
    EXPECT_EQ(Rig.Port.Baud(), 38400);
}

// A search that finds nothing breaks no working connection: the user is
// told which ports were tried, and the port that was open is open again
// with its settings, the analyzer behind it answering. The port open
// before is searched too, though the machine's list lacks it. With no port
// open before, none is left open on a device that did not answer.
TEST_F(SearchCommPorts, FindingNothingSaysSoAndLeavesThePortAsItWas)
{
    const int Missing = DeviceToPortNumber("/dev/ttyUSB98");
    const int DeadPort = DeviceToPortNumber(Dead.SlavePath());
    std::vector<std::string> Told;
    auto Old = SetDialogAnswerer([&](const TDialogRequest& R, TDialogAnswer& A) {
        if (R.Kind != TDialogKind::MessageBox)
            return false;
        Told.push_back(R.Text);
        A.ModalResult = mrOk;
        return true;
    });
    Rig.Start();
    ASSERT_TRUE(Rig.Proto->ProbeConnection());
    Rig.Sim.ClearReceived();
    Rig.Sim.SetNakFrames(5);   // the analyzer stops answering at its rate
    Dlg.SetPortLister([&] { return std::vector<int32_t>{DeadPort, Missing}; });

    EXPECT_EQ(Dlg.Search(), TCommSearchResult::csNothingFound);
    EXPECT_FALSE(Dlg.Visible());
    EXPECT_FALSE(Rig.Got("G").empty());   // the port in use was tried last
    ASSERT_TRUE(Rig.Port.Open());
    EXPECT_EQ(Rig.Port.ComNumber(), Rig.SimPort());
    EXPECT_EQ(Rig.Port.Baud(), 38400);
    EXPECT_TRUE(Rig.Proto->ProbeConnection());
    ASSERT_EQ(Told.size(), 1u);
    EXPECT_EQ(Told[0], "No analyzer answered on the ports searched (" + Dead.SlavePath() + ", /dev/ttyUSB98, " +
                           Rig.Sim.SlavePath() + ").\n" + Rig.Sim.SlavePath() + " is in use again.");

    Rig.Port.SetOpen(false);
    Dlg.SetPortLister([&] { return std::vector<int32_t>{DeadPort}; });
    EXPECT_EQ(Dlg.Search(), TCommSearchResult::csNothingFound);
    EXPECT_FALSE(Rig.Port.Open());
    ASSERT_EQ(Told.size(), 2u);
    EXPECT_EQ(Told[1], "No analyzer answered on the ports searched (" + Dead.SlavePath() + ").");
    SetDialogAnswerer(Old);
}
