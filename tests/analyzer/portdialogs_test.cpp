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
    void SetUp() override
    {
        {
            auto L = Dead.Lock();
            Dead.Device().ConnectBaud = 1200;  // hears nothing the search sends
        }
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
    ASSERT_TRUE(Rig.Sim.Start());
    Dlg.SearchPorts({Rig.SimPort()});
    // It answered at 2,400 baud, was asked again at 38,400 and heard nothing.
    EXPECT_EQ(Rig.Got("G").size(), 1u);
    EXPECT_TRUE(Rig.Got("M").empty());
    EXPECT_EQ(Caption(), "Checking Comm(" + std::to_string(Rig.SimPort()) + ")  Baud(38400)  " + Rig.Sim.SlavePath());
    EXPECT_TRUE(Rig.Port.Open());
    EXPECT_EQ(Rig.Port.Baud(), 38400);
}
