// The connect handshake, the serial output mode, the About box and the
// shut-down, against the analyzer simulator on a pseudo-terminal.
#include "tests/workbench/MainRig.h"
#include "tests/support/Components.h"

#include "analyzer/dialogs/SearchComm.h"
#include "analyzer/dialogs/SelectComm.h"

#include "platform/ApdComPort.h"
#include "platform/DialogHook.h"
#include "platform/Graphics.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"
#include "workbench/About.h"

#include <atomic>
#include <mutex>

namespace {

// The rates the program tried, as the analyzer's side of the line heard them.
class BaudWatch {
public:
    explicit BaudWatch(sim::AnalyzerSim& Sim) : FSim(Sim) { FSim.ClearRatesHeard(); }
    std::vector<int> Rates() const { return FSim.RatesHeard(); }

private:
    sim::AnalyzerSim& FSim;
};

std::string Payload(const sim::Frame& F)
{
    return std::string(F.Payload.begin(), F.Payload.end());
}

}  // namespace

// A bench analyzer that listens at 38,400 baud only: probes at 2,400, 19,200
// and 38,400, output switched to both, then version and serial number (read
// twice), and the identity reaches the window.
TEST(Handshake, BenchAnalyzerAtItsOwnRate)
{
    MainRig R;
    R.StartSim();
    R.Build();
    BaudWatch Watch(R.Sim);
    Find<TAction>(R.Form.get(), "actnInitCommunications")->Execute();
    EXPECT_EQ(Watch.Rates(), (std::vector<int>{2400, 19200, 38400}));
    // The connect reply itself asks for the version ('J') before the
    // handshake goes on; each serial-number reading takes two registers.
    EXPECT_EQ(R.Types(), "GJMJEEEE");
    ASSERT_EQ(R.Got('M').size(), 1u);
    EXPECT_EQ(Payload(R.Got('M')[0]), "3");
    EXPECT_TRUE(Probe(*R.Form).Connected());
    EXPECT_EQ(R.Form->DeviceVersion(), "01.08.09");
    EXPECT_EQ(R.Form->SerialNumber(), "123456");
    EXPECT_EQ(R.Form->DeviceKind(), dkAnalyzer);
    EXPECT_TRUE(Find<TAction>(R.Form.get(), "actnSerialModeBoth")->Checked());
    EXPECT_TRUE(Find<TMenuItem>(R.Form.get(), "mnuFlowPort")->Visible());
    EXPECT_FALSE(Find<TMenuItem>(R.Form.get(), "mnuZRMobile")->Visible());
}

// A handheld reads its serial number from memory instead of the registers,
// and the menus switch to the handheld's.
TEST(Handshake, HandheldReadsMemorySerialAndSwitchesMenus)
{
    MainRig R;
    {
        auto L = R.Sim.Lock();
        R.Sim.Device().Kind = sim::DeviceKind::Handheld;
    }
    R.StartSim();
    R.Connect();
    EXPECT_TRUE(Probe(*R.Form).Connected());
    EXPECT_EQ(R.Form->DeviceKind(), dkHandheld);
    EXPECT_EQ(R.Got('E').size(), 0u);
    // Both readings ask for the same memory, so they show as one type here.
    EXPECT_EQ(R.Types(), "GJMJr");
    EXPECT_GE(R.Got('r').size(), 2u);
    EXPECT_EQ(R.Form->SerialNumber(), "HH0012345");
    EXPECT_TRUE(Find<TMenuItem>(R.Form.get(), "mnuZRMobile")->Visible());
    EXPECT_FALSE(Find<TMenuItem>(R.Form.get(), "mnuFlowPort")->Visible());
    EXPECT_FALSE(Find<TMenuItem>(R.Form.get(), "mnuZeroingMode")->Visible());
    EXPECT_FALSE(Find<TMenuItem>(R.Form.get(), "mnuCalibVIDuri")->Visible());
    EXPECT_FALSE(R.Form->ActionWanted(Find<TAction>(R.Form.get(), "actnLoadFirmware")));
    EXPECT_FALSE(R.Form->ActionWanted(Find<TAction>(R.Form.get(), "actnZeroFlow")));
    EXPECT_TRUE(R.Form->ActionWanted(Find<TAction>(R.Form.get(), "actnDownloadFiles")));
}

// An analyzer answering at 2,400 baud gets no 19,200 probe; the connection
// is judged at 38,400, where it does not listen, so it is not connected and
// closing sends it nothing.
TEST(Handshake, AnsweredAt2400SkipsTheMiddleRate)
{
    MainRig R;
    {
        auto L = R.Sim.Lock();
        R.Sim.Device().ConnectBaud = 2400;
    }
    R.StartSim();
    R.Build();
    BaudWatch Watch(R.Sim);
    Find<TAction>(R.Form.get(), "actnInitCommunications")->Execute();
    EXPECT_EQ(Watch.Rates(), (std::vector<int>{2400, 38400}));
    EXPECT_FALSE(Probe(*R.Form).Connected());
    // Not connected: no version or serial-number reading of its own.
    EXPECT_EQ(R.Types(), "GJ");
    R.Sim.ClearReceived();
    R.Form->Close();
    ProcessFor(100);
    EXPECT_EQ(R.Types(), "");
}

// With the port closed the handshake sends nothing and changes nothing.
TEST(Handshake, ClosedPortDoesNothing)
{
    MainRig R;
    R.Build();
    Find<TAction>(R.Form.get(), "actnInitCommunications")->Execute();
    EXPECT_FALSE(Probe(*R.Form).Connected());
    EXPECT_EQ(R.Form->DeviceVersion(), "");
    EXPECT_EQ(R.Form->DeviceKind(), dkAnalyzer);
    EXPECT_FALSE(Find<TAction>(R.Form.get(), "actnSerialModeBoth")->Checked());
}

// An empty version reply leaves a connected analyzer's kind alone (it would
// otherwise read as the oldest firmware and get the old parameter scaling).
TEST(Handshake, EmptyVersionReplyKeepsTheKind)
{
    MainRig R;
    R.Build();
    R.Form->ConfigureForDevice(1, "01.08.09");
    R.Form->SetDeviceVersion("");
    EXPECT_EQ(R.Form->DeviceKind(), dkAnalyzer);
    EXPECT_EQ(R.Form->DeviceVersion(), "");
    EXPECT_TRUE(Find<TMenuItem>(R.Form.get(), "mnuFlowPort")->Visible());
}

// The serial-mode commands: each sends its code and checks itself, even
// when the analyzer does not acknowledge.
TEST(SerialMode, SendsItsCodeAndChecksItself)
{
    MainRig R;
    R.StartSim();
    R.Build();
    ZebbSer->SetBaudIfOpen(38400);
    struct Case {
        const char* Action;
        const char* Code;
    };
    const Case Cases[] = {{"actnSerialModeWaveform", "1"},
                          {"actnSerialModeParameters", "2"},
                          {"actnSerialModeNone", "0"},
                          {"actnSerialModeBoth", "3"}};
    for (const Case& C : Cases) {
        R.Sim.ClearReceived();
        TAction* A = Find<TAction>(R.Form.get(), C.Action);
        ASSERT_TRUE(A->Execute());
        ASSERT_EQ(R.Got('M').size(), 1u) << C.Code;
        EXPECT_EQ(Payload(R.Got('M')[0]), C.Code);
        for (TAction* B : ActionsNamed(R.Form.get(), {"actnSerialModeBoth", "actnSerialModeWaveform",
                                                      "actnSerialModeParameters", "actnSerialModeNone"}))
            EXPECT_EQ(B->Checked(), A == B) << C.Code << " " << B->Name();
    }
    R.Sim.SetSilent(true);
    Find<TAction>(R.Form.get(), "actnSerialModeWaveform")->Execute();
    EXPECT_TRUE(Find<TAction>(R.Form.get(), "actnSerialModeWaveform")->Checked());
    EXPECT_FALSE(Find<TAction>(R.Form.get(), "actnSerialModeBoth")->Checked());
}

// While a serial-mode command waits for the analyzer, the other device
// commands cannot start; afterwards they can again.
TEST(SerialMode, OtherDeviceCommandsWaitTheirTurn)
{
    MainRig R;
    R.StartSim();
    R.ConnectAtOwnRate();
    R.Sim.SetSilent(true);
    bool Seen = false;
    bool OthersEnabled = true;
    bool AboutEnabled = false;
    TTimer Probe(nullptr);
    Probe.SetInterval(30);
    Probe.OnTimer = [&](TObject*) {
        Probe.SetEnabled(false);
        Seen = true;
        OthersEnabled = false;
        for (TAction* A : ActionsNamed(R.Form.get(), {"actnSerialModeNone", "actnSelectPort", "actnInitCommunications"}))
            OthersEnabled = OthersEnabled || A->Enabled();
        AboutEnabled = Find<TAction>(R.Form.get(), "actnAbout")->Enabled();
        // A second command started now would not run.
        EXPECT_FALSE(Find<TAction>(R.Form.get(), "actnSerialModeNone")->Execute());
    };
    Probe.SetEnabled(true);
    Find<TAction>(R.Form.get(), "actnSerialModeWaveform")->Execute();
    EXPECT_TRUE(Seen);
    EXPECT_FALSE(OthersEnabled);
    EXPECT_TRUE(AboutEnabled) << "not a device command";
    EXPECT_TRUE(Find<TAction>(R.Form.get(), "actnSerialModeNone")->Enabled());
    EXPECT_TRUE(Find<TAction>(R.Form.get(), "actnSelectPort")->Enabled());
}

// Closing a connected window stops the analyzer's output ('M' 'X') before
// the port closes, saves the settings and ends the protocol's waits.
TEST(Shutdown, ConnectedCloseStopsOutputAndSaves)
{
    MainRig R;
    R.StartSim();
    R.ConnectAtOwnRate();
    ASSERT_TRUE(Probe(*R.Form).Connected());
    R.Sim.ClearReceived();
    R.Form->Close();
    ASSERT_TRUE(R.Got('M').size() >= 1u) << R.Types();
    EXPECT_EQ(Payload(R.Got('M').back()), "X");
    EXPECT_FALSE(Find<TApdComPort>(R.Form.get(), "CommPort")->Open());
    EXPECT_TRUE(ZebbSer->Closing());
    EXPECT_EQ(R.IniValue("Settings", "Flow Unit"), "10");
}

// A device that went away cannot be switched off; the settings are saved
// all the same.
TEST(Shutdown, SavesEvenWhenTheAnalyzerIsGone)
{
    MainRig R;
    R.StartSim();
    R.ConnectAtOwnRate();
    ASSERT_TRUE(Probe(*R.Form).Connected());
    R.Sim.HangUp();
    ProcessFor(50);
    R.Form->SetBounds(30, 40, 700, 500);
    R.Form->Close();
    EXPECT_EQ(R.IniValue("Window Settings", "Width"), "700");
    EXPECT_EQ(R.IniValue("Window Settings", "Top"), "40");
}

// Exit from the menu ends every protocol wait before the window closes.
TEST(Shutdown, ExitEndsProtocolWaits)
{
    MainRig R;
    R.Build();
    Find<TMenuItem>(R.Form.get(), "Exit1")->Click();
    EXPECT_TRUE(ZebbSer->Closing());
    EXPECT_FALSE(R.Form->Visible());
}

// Communications > Search: an analyzer found is connected as after the
// handshake (output on, identity read). A later search that finds nothing
// (the analyzer stopped answering) says so and keeps the connection: the
// port reopened, the stream going on, nothing new saved as the user's port.
TEST(SearchComm, FindsTheAnalyzerAndAFailedSearchKeepsTheConnection)
{
    MainRig R;
    ASSERT_TRUE(R.Sim.Start());
    R.Sim.SetNakOtherRates(true);   // probes at other rates fail at once
    R.Build();
    TMainForm& F = *R.Form;
    auto* Port = Find<TApdComPort>(&F, "CommPort");
    ASSERT_FALSE(Port->Open());
    TdlgSearchCommPorts Search(nullptr, ZebbSer);
    dlgSearchCommPorts = &Search;
    Search.SetFoundPauseMs(50);
    const int SimPort = DeviceToPortNumber(R.Sim.SlavePath());
    Search.SetPortLister([&] { return std::vector<int32_t>{SimPort}; });
    std::vector<std::string> Told;
    auto Old = SetDialogAnswerer([&](const TDialogRequest& Req, TDialogAnswer& Ans) {
        if (Req.Kind != TDialogKind::MessageBox)
            return false;
        Told.push_back(Req.Text);
        Ans.ModalResult = mrOk;
        return true;
    });

    Find<TAction>(&F, "actnSearchComm")->Execute();
    EXPECT_TRUE(Told.empty());
    EXPECT_TRUE(Probe(F).Connected());
    EXPECT_TRUE(Find<TAction>(&F, "actnSerialModeBoth")->Checked());
    EXPECT_EQ(F.SerialNumber(), "123456");
    EXPECT_EQ(F.DeviceVersion(), "01.08.09");
    ASSERT_TRUE(Port->Open());
    EXPECT_EQ(Port->Baud(), 38400);
    ASSERT_TRUE(ProcessUntil([&] { return Probe(F).SampleTime() > 5; }, 5000));

    R.Sim.SetNakFrames(5);   // the probe at the analyzer's rate is refused
    Search.SetPortLister([] { return std::vector<int32_t>{DeviceToPortNumber("/dev/ttyUSB98")}; });
    Find<TAction>(&F, "actnSearchComm")->Execute();
    ASSERT_EQ(Told.size(), 1u);
    EXPECT_NE(Told[0].find(R.Sim.SlavePath() + " is in use again."), std::string::npos) << Told[0];
    EXPECT_TRUE(Probe(F).Connected());
    ASSERT_TRUE(Port->Open());
    EXPECT_EQ(Port->ComNumber(), SimPort);
    EXPECT_EQ(Port->Baud(), 38400);
    const int32_t After = Probe(F).SampleTime();
    EXPECT_TRUE(ProcessUntil([&] { return Probe(F).SampleTime() > After + 5; }, 5000));
    F.Close();
    EXPECT_EQ(R.IniValue("Communications", "Comm"), "<none>");
    dlgSearchCommPorts = nullptr;
    SetDialogAnswerer(Old);
}

// Communications > Comm Port offers the port in use, also a pseudo-terminal
// named on the command line that the system does not list.
TEST(SelectComm, OffersThePortInUse)
{
    MainRig R;
    R.StartSim();
    R.Build();
    TSelectCommPortDlg Select(nullptr);
    SelectCommPortDlg = &Select;
    std::string Shown;
    auto Old = SetDialogAnswerer([&](const TDialogRequest& Req, TDialogAnswer& Ans) {
        Shown = Find<TComboBox>(&Select, "PortList")->Text();
        Ans.ModalResult = mrCancel;
        return true;
    });
    Find<TAction>(R.Form.get(), "actnSelectPort")->Execute();
    EXPECT_EQ(Shown, R.Sim.SlavePath());
    EXPECT_TRUE(Find<TApdComPort>(R.Form.get(), "CommPort")->Open());
    SelectCommPortDlg = nullptr;
    SetDialogAnswerer(Old);
}

// The About box before any connection, and after one.
TEST(About, ShowsTheIdentityReadAtConnect)
{
    MainRig R;
    R.Build();
    TdlgAbout About(nullptr);
    std::vector<std::string> Lines;
    auto Old = SetDialogAnswerer([&](const TDialogRequest& Req, TDialogAnswer& Ans) {
        if (Req.Dialog == &About) {
            Lines.clear();
            for (const char* Name : {"ProductName", "WVersion", "FVersion", "lblDevSN"})
                Lines.push_back(Find<TLabel>(&About, Name)->Caption());
        }
        Ans.ModalResult = mrOk;
        return true;
    });
    dlgAbout = &About;
    Find<TAction>(R.Form.get(), "actnAbout")->Execute();
    EXPECT_EQ(Lines, (std::vector<std::string>{"Zephra for Windows", "Software Version 2.01.07", "Device Version ",
                                               "Device Serial Number "}));
    R.Form->SetDeviceVersion("01.08.09");
    R.Form->SetSerialNumber("123456");
    Find<TAction>(R.Form.get(), "actnAbout")->Execute();
    EXPECT_EQ(Lines[2], "Device Version 01.08.09");
    EXPECT_EQ(Lines[3], "Device Serial Number 123456");
    dlgAbout = nullptr;
    SetDialogAnswerer(Old);
}

// Showing the window connects it; a picture of it streaming, for a person
// to look at.
TEST(Screenshot, MainWindowConnected)
{
    MainRig R;
    {
        auto L = R.Sim.Lock();
        R.Sim.Device().Status.ZeroMode = 0;
        R.Sim.Device().Status.Correction = 2;
    }
    ASSERT_TRUE(R.ShowConnected(50));
    EXPECT_EQ(R.Form->SerialNumber(), "123456");
    R.Sim.SendStatus();
    ProcessFor(100);
    std::unique_ptr<TBitmap> Image(R.Form->GetFormImage());
    ASSERT_TRUE(Image);
    EXPECT_EQ(Image->Width(), R.Form->ClientWidth());
    const std::string Name = std::string(OZ_TEST_ARTIFACTS) + "/workbench-main-window.png";
    Image->SaveToFile(Name);
    EXPECT_TRUE(std::filesystem::file_size(Name) > 1000);
}
