// The device commands of the main window against the analyzer simulator on a
// pseudo-terminal: zeroing, flow port, breath detection and its threshold,
// barometric pressure, the linearization tables, the gas settings, the Debug
// page and the service password. Dialogs and boxes are answered by the hook.
#include "tests/workbench/MainRig.h"
#include "tests/support/Components.h"
#include "tests/workbench/DialogRig.h"

#include "analyzer/dialogs/AdvancedGasSettings.h"
#include "analyzer/dialogs/BasicGasSettings.h"
#include "analyzer/dialogs/CalculatorGasSettings.h"
#include "analyzer/dialogs/FlashLoadDialog.h"
#include "platform/ComCtrls.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/Mask.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "widgets/IcNumEdit.h"
#include "workbench/Threshold.h"

#include <fstream>
#include <functional>

namespace {

using Bytes = std::vector<uint8_t>;

// One frame as its type and payload bytes.
std::string Frame(char Type, Bytes Payload = {})
{
    std::string S(1, Type);
    S.append(Payload.begin(), Payload.end());
    return S;
}

std::string Frame(char Type, const char* Payload)
{
    return std::string(1, Type) + Payload;
}

// Answers every dialog: modal forms through OnForm (the form and how often
// a form of that name was asked for, counting from 1; the modal result
// returned), message boxes with Box (mrOk unless set) and file dialogs with
// File (the chosen name; empty cancels). Keeps what was asked.
struct Answers {
    std::function<int(TComponent*, int)> OnForm;
    std::function<int(const TDialogRequest&)> Box;
    std::function<std::string(const TDialogRequest&)> File;
    std::vector<TDialogRequest> Asked;
    std::map<std::string, int> FormRuns;
    TDialogAnswerer Old;

    Answers()
    {
        Old = SetDialogAnswerer([this](const TDialogRequest& Q, TDialogAnswer& A) {
            Asked.push_back(Q);
            switch (Q.Kind) {
            case TDialogKind::ModalForm: {
                const int Run = ++FormRuns[Q.Name];
                A.ModalResult = OnForm ? OnForm(dynamic_cast<TComponent*>(Q.Dialog), Run) : mrCancel;
                return true;
            }
            case TDialogKind::MessageBox: A.ModalResult = Box ? Box(Q) : mrOk; return true;
            case TDialogKind::OpenFile:
            case TDialogKind::SaveFile:
                A.FileName = File ? File(Q) : std::string();
                A.ModalResult = A.FileName.empty() ? mrCancel : mrOk;
                return true;
            default: return false;
            }
        });
    }
    ~Answers() { SetDialogAnswerer(Old); }
    std::vector<std::string> Boxes() const
    {
        std::vector<std::string> Out;
        for (const TDialogRequest& Q : Asked)
            if (Q.Kind == TDialogKind::MessageBox)
                Out.push_back(Q.Text);
        return Out;
    }
};

// The main window connected to the simulator with the dialogs it uses.
struct DeviceRig {
    MainRig R;
    std::unique_ptr<WorkbenchDialogs> D;
    std::unique_ptr<TdlgThreshold> Threshold;
    std::unique_ptr<TdlgGasSettings> Gas;
    std::unique_ptr<TdlgAdvGasSettings> AdvGas;
    std::unique_ptr<TdlgGasCalculator> Calculator;

    DeviceRig()
    {
        R.StartSim();
        R.ConnectAtOwnRate();
        D = std::make_unique<WorkbenchDialogs>();
        Threshold.reset(new TdlgThreshold(nullptr));
        Gas.reset(new TdlgGasSettings(nullptr));
        AdvGas.reset(new TdlgAdvGasSettings(nullptr));
        Calculator.reset(new TdlgGasCalculator(nullptr));
        dlgThreshold = Threshold.get();
        dlgGasSettings = Gas.get();
        dlgAdvGasSettings = AdvGas.get();
        dlgGasCalculator = Calculator.get();
        R.Sim.ClearReceived();
    }
    ~DeviceRig()
    {
        dlgThreshold = nullptr;
        dlgGasSettings = nullptr;
        dlgAdvGasSettings = nullptr;
        dlgGasCalculator = nullptr;
    }
    TAction* Action(const std::string& Name) { return Find<TAction>(R.Form.get(), Name); }
    // The frames the program sent since the last call, but the serial mode.
    std::vector<std::string> Sent()
    {
        // A frame the same as the one before it is the link's resend of an
        // acknowledgement that came late (a loaded machine): one command.
        std::vector<std::string> Out;
        for (const sim::Frame& F : R.Sim.Received()) {
            if (F.Type == 'M')
                continue;
            std::string Text = Frame(static_cast<char>(F.Type), F.Payload);
            if (Out.empty() || Out.back() != Text)
                Out.push_back(std::move(Text));
        }
        R.Sim.ClearReceived();
        return Out;
    }
    // The analyzer reports its settings, as its status frame does.
    void Status(const std::function<void(sim::SimStatus&)>& Change)
    {
        {
            auto L = R.Sim.Lock();
            Change(R.Sim.Device().Status);
        }
        R.Sim.SendStatus();
        ProcessUntil(
            [&] {
                auto L = R.Sim.Lock();
                return Probe(*R.Form).CorrectionMode() == R.Sim.Device().Status.Correction &&
                       Probe(*R.Form).GasType() == R.Sim.Device().Status.GasType;
            },
            20000);
        ProcessFor(50);
    }
};

using Strings = std::vector<std::string>;

}  // namespace

// Each action sends its command once its confirmation (if any) is
// answered OK, and nothing after Cancel.
TEST(DeviceCommands, ActionsSendTheirFrames)
{
    DeviceRig G;
    const char* const ZeroAllText = "Disconnect pressure from the High and \r\nLow Pressure ports.  Click Ok to zero.";
    struct Case {
        const char* Action;
        int Answer;
        const char* Box;  // the confirmation asked, or nullptr
        Strings Frames;
    };
    const Case Cases[] = {
        {"actnZeroAll", mrOk, ZeroAllText, {Frame('Z', "2"), Frame('Z', "b")}},
        {"actnZeroAll", mrCancel, ZeroAllText, {}},
        {"actnZeroHPress", mrOk, "Disconnect pressure from the High Pressure port.  \r\nClick Ok to zero.",
         {Frame('Z', "H")}},
        {"actnZeroLPress", mrCancel, "Disconnect pressure from the Low Pressure port.  \r\nClick Ok to zero.", {}},
        {"actnZeroFlow", mrOk, nullptr, {Frame('Z', "F")}},
        {"actnZeroVolume", mrOk, nullptr, {Frame('Z', "V")}},
        {"actnZeroOxygen21", mrOk, nullptr, {Frame('Z', "O")}},
        {"actnZeroOxygen100", mrOk, nullptr, {Frame('Z', "C")}},
        {"actnZeroAuto", mrOk, nullptr, {Frame('Z', "1")}},
        {"actnZeroManual", mrOk, nullptr, {Frame('Z', "0")}},
        {"actnFlowPortHigh", mrOk, nullptr, {Frame('S', "2")}},
        {"actnFlowPortLow", mrOk, nullptr, {Frame('S', "1")}},
        {"actnBDBiDi", mrOk, nullptr, {Frame('B', "1")}},
        {"actnBDUniInsp", mrOk, nullptr, {Frame('B', "2")}},
        {"actnBDUniExp", mrOk, nullptr, {Frame('B', "3")}},
        {"actnBDNone", mrOk, nullptr, {Frame('B', "0")}},
    };
    for (const Case& C : Cases) {
        Answers A;
        A.Box = [&](const TDialogRequest&) { return C.Answer; };
        ASSERT_TRUE(G.Action(C.Action)->Enabled()) << C.Action;
        G.Action(C.Action)->Execute();
        EXPECT_EQ(G.Sent(), C.Frames) << C.Action;
        const Strings Expected = C.Box ? Strings{C.Box} : Strings{};
        EXPECT_EQ(A.Boxes(), Expected) << C.Action;
        if (C.Box) {
            EXPECT_EQ(A.Asked[0].Buttons, (TMsgDlgButtons{mbOK, mbCancel}.Bits())) << C.Action;
        }
    }
    // The tool button runs the bi-directional mode.
    Find<TToolButton>(G.R.Form.get(), "btnBreathDetect")->Click();
    EXPECT_EQ(G.Sent(), Strings{Frame('B', "1")});
}

// Zero Flow clears the flow sensor's offset: the flow statistics read the
// true flow afterwards.
TEST(DeviceCommands, ZeroFlowClearsTheFlowOffset)
{
    DeviceRig G;
    {
        auto L = G.R.Sim.Lock();
        G.R.Sim.Device().Waveform = {sim::SimSample{}};  // no flow at all
        G.R.Sim.Device().Offsets.Flow = 5;
    }
    const TSignalStats& Flow = G.R.Form->SignalStats(sigFlow);
    ASSERT_TRUE(ProcessUntil([&] { return std::fabs(Flow.Current() - 5) < 0.01; }));
    G.Action("actnZeroFlow")->Execute();
    EXPECT_EQ(G.Sent(), Strings{Frame('Z', "F")});
    EXPECT_TRUE(ProcessUntil([&] { return std::fabs(Flow.Current()) < 0.01; }));
    {
        auto L = G.R.Sim.Lock();
        EXPECT_EQ(G.R.Sim.Device().Offsets.Flow, 0);
    }
}

// The threshold goes out in hundredths, truncated; Default offers 2.0 on
// the low flow port and 0.5 on any other; a value that does not fit 16 bits
// is refused with a message before anything is sent.
TEST(DeviceCommands, BreathThreshold)
{
    DeviceRig G;
    struct Case {
        const char* Typed;
        int Result;
        Strings Frames;
        size_t Boxes;
    };
    const Case Cases[] = {
        {"1.255", mrOk, {Frame('H', Bytes{0x00, 0x7D})}, 0},
        {"600", mrOk, {Frame('H', Bytes{0xEA, 0x60})}, 0},
        {"655.36", mrOk, {}, 1},
        {"1000", mrOk, {}, 1},
        {"3", mrCancel, {}, 0},
    };
    for (const Case& C : Cases) {
        Answers A;
        std::string Caption;
        A.OnForm = [&](TComponent* F, int) {
            // No other device command starts while this one runs.
            EXPECT_FALSE(G.Action("actnZeroFlow")->Enabled());
            Caption = dynamic_cast<TForm*>(F)->Caption();
            Find<TIcNumSpin>(F, "eThreshold")->SetText(C.Typed);
            return C.Result;
        };
        G.Action("actnBDThreshold")->Execute();
        EXPECT_EQ(Caption, "Breath Detect");
        EXPECT_EQ(G.Sent(), C.Frames) << C.Typed;
        EXPECT_EQ(A.Boxes().size(), C.Boxes) << C.Typed;
    }

    // The Default button, by flow port (the analyzer reports its port).
    for (auto [Port, Expected] : {std::pair{1, 2.0}, std::pair{2, 0.5}}) {
        G.R.Form->ShowFlowPort(Port);
        Answers A;
        double Shown = 0;
        A.OnForm = [&](TComponent* F, int) {
            Find<TButton>(F, "btnDefault")->Click();
            Shown = Find<TIcNumSpin>(F, "eThreshold")->Value();
            return mrCancel;
        };
        G.Action("actnBDThreshold")->Execute();
        EXPECT_DOUBLE_EQ(Shown, Expected) << Port;
    }
}

// The barometric pressure is sent rounded, and only strictly between 500
// and 800 mmHg; the analyzer then streams it.
TEST(DeviceCommands, BarometricPressure)
{
    DeviceRig G;
    struct Case {
        const char* Typed;
        Strings Frames;
    };
    const Case Cases[] = {
        {"500", {}},
        {"800", {}},
        {"759.5", {Frame('C', Bytes{'B', 0x02, 0xF8})}},
    };
    for (const Case& C : Cases) {
        Answers A;
        std::string Prompt;
        A.OnForm = [&](TComponent* F, int) {
            Prompt = dynamic_cast<TForm*>(F)->Caption() + "|" + Find<TLabel>(F, "lblValLabel")->Caption();
            Find<TIcNumSpin>(F, "eValue")->SetText(C.Typed);
            return mrOk;
        };
        G.Action("actnBarometricPressure")->Execute();
        EXPECT_EQ(Prompt, "Barometric Pressure|Barometric Pressure (mmHg):");
        EXPECT_EQ(G.Sent(), C.Frames) << C.Typed;
        EXPECT_TRUE(A.Boxes().empty());
    }
    const TSignalStats& Baro = G.R.Form->SignalStats(sigBaroPressure);
    EXPECT_TRUE(ProcessUntil([&] { return std::fabs(Baro.Current() - 760) < 0.01; }));
}

namespace {

// A low-flow table in the simulator's registers whose checksum matches.
void PutLowFlowTable(sim::AnalyzerSim& Sim, uint16_t Base, bool GoodChecksum)
{
    auto L = Sim.Lock();
    auto& Regs = Sim.Device().Registers;
    uint16_t Sum = 0;
    for (int i = 0; i < 26; ++i) {
        const auto V = static_cast<uint16_t>(Base + i * 7);
        Regs[static_cast<uint16_t>(140 + i)] = V;
        Sum = static_cast<uint16_t>(Sum + V);
    }
    Regs[194] = 0x0001;
    Regs[195] = 0x0203;
    Regs[197] = GoodChecksum ? Sum : static_cast<uint16_t>(Sum + 1);
}

std::map<uint16_t, uint16_t> LowFlowRegisters(sim::AnalyzerSim& Sim)
{
    auto L = Sim.Lock();
    std::map<uint16_t, uint16_t> Out;
    for (const auto& [Reg, Value] : Sim.Device().Registers)
        if ((Reg >= 140 && Reg < 166) || Reg == 194 || Reg == 195 || Reg == 197)
            Out[Reg] = Value;
    return Out;
}

}  // namespace

// Download proposes the serial number and " LF.zrb" and writes the name
// with its extension forced to ".zrb" (asking before replacing a file of
// that name); loading the file puts the registers back.
TEST(DeviceCommands, FlowTablesDownloadAndLoad)
{
    DeviceRig G;
    G.R.Form->SetSerialNumber("123456");
    PutLowFlowTable(G.R.Sim, 1000, true);
    const auto Original = LowFlowRegisters(G.R.Sim);

    {
        Answers A;
        A.File = [&](const TDialogRequest&) { return G.R.Dir + "/table.txt"; };
        G.Action("actnReadLowFlowTable")->Execute();
        ASSERT_FALSE(A.Asked.empty());
        EXPECT_EQ(A.Asked[0].Kind, TDialogKind::SaveFile);
        EXPECT_EQ(A.Asked[0].Caption, "Save Low Flow Linearization Table As");
        EXPECT_EQ(ExtractFileName(A.Asked[0].Text), "123456 LF.zrb");
        EXPECT_EQ(A.Asked[0].Filter, "VI Duri Linearization Table|*.zrb");
        EXPECT_EQ(A.Boxes(), Strings{"Linearization Table Saved."});
        EXPECT_EQ(A.Asked.back().Caption, "Information");
    }
    const std::string Table = G.R.Dir + "/table.zrb";
    EXPECT_TRUE(FileExists(Table));
    EXPECT_FALSE(FileExists(G.R.Dir + "/table.txt"));
    std::string Text;
    ASSERT_TRUE(ReadWholeFile(Table, Text));

    // table.txt again: table.zrb exists, and No keeps it and reads nothing.
    {
        PutLowFlowTable(G.R.Sim, 2000, true);
        G.Sent();
        Answers A;
        A.File = [&](const TDialogRequest&) { return G.R.Dir + "/table.txt"; };
        A.Box = [](const TDialogRequest& Q) { return Q.Text.find("already exists") != std::string::npos ? mrNo : mrOk; };
        G.Action("actnReadLowFlowTable")->Execute();
        EXPECT_EQ(A.Boxes(), Strings{"table.zrb already exists.\nDo you want to replace it?"});
        EXPECT_TRUE(G.Sent().empty());
        std::string After;
        ASSERT_TRUE(ReadWholeFile(Table, After));
        EXPECT_EQ(After, Text);
    }

    // A table whose checksum does not match is reported as an error.
    {
        PutLowFlowTable(G.R.Sim, 3000, false);
        Answers A;
        A.File = [&](const TDialogRequest&) { return G.R.Dir + "/bad.zrb"; };
        G.Action("actnReadLowFlowTable")->Execute();
        EXPECT_EQ(A.Boxes(), Strings{"Error Reading Linearization Table"});
        EXPECT_EQ(A.Asked.back().Caption, "Error");
    }

    // Loading the first file restores the registers.
    {
        Answers A;
        A.File = [&](const TDialogRequest& Q) {
            EXPECT_EQ(Q.Caption, "Open Low Flow Linearization Table");
            EXPECT_EQ(Q.Filter, "VI Duri Linearization Table|*.zrb|All Files|*.*");
            return Table;
        };
        G.Action("actnLoadLowFlowTable")->Execute();
        EXPECT_EQ(A.Boxes(), Strings{"Linearization Table Loaded."});
        EXPECT_EQ(LowFlowRegisters(G.R.Sim), Original);
    }

    // A file that is not a table: nothing is written, an error is shown.
    {
        const std::string Junk = G.R.Dir + "/junk.zrb";
        std::ofstream(Junk) << "not a table\n";
        G.Sent();
        Answers A;
        A.File = [&](const TDialogRequest&) { return Junk; };
        G.Action("actnLoadLowFlowTable")->Execute();
        EXPECT_EQ(A.Boxes(), Strings{"Error Loading Linearization Table"});
        EXPECT_TRUE(G.Sent().empty());
    }

    // A handheld, or no connection: the table actions do nothing.
    G.R.Form->SetDeviceKind(dkHandheld);
    Answers A;
    G.Action("actnReadLowFlowTable")->Execute();
    G.Action("actnLoadHighFlowTable")->Execute();
    EXPECT_TRUE(A.Asked.empty());
}

// The captions of the table actions and their places in the Calibration menu.
TEST(DeviceCommands, TableActionCaptions)
{
    MainRig R;
    R.Build();
    const std::pair<const char*, const char*> Captions[] = {
        {"actnReadLowFlowTable", "Download Low Flow Table"},
        {"actnReadHighFlowTable", "Download High Flow Table"},
        {"actnLoadLowFlowTable", "Load Low Flow Table"},
        {"actnLoadHighFlowTable", "Load High Flow Table"},
        {"actnLoadFirmware", "Load Flash"},
    };
    for (auto [Name, Caption] : Captions)
        EXPECT_EQ(Find<TAction>(R.Form.get(), Name)->Caption(), Caption);

    // Load Flash runs the firmware loader's dialog.
    std::unique_ptr<TdlgFlashLoad> Flash(new TdlgFlashLoad(nullptr, ZebbSer));
    dlgFlashLoad = Flash.get();
    Answers A;
    EXPECT_TRUE(Find<TAction>(R.Form.get(), "actnLoadFirmware")->Enabled());
    EXPECT_TRUE(Find<TAction>(R.Form.get(), "actnLoadFirmware")->Execute());
    dlgFlashLoad = nullptr;
    EXPECT_EQ(A.FormRuns["dlgFlashLoad"], 1);
}

// Gas settings send only what changed, in their order.
TEST(DeviceCommands, GasSettingsSendOnlyChanges)
{
    DeviceRig G;
    // STPD0, and stored values with fractions (as the handheld's status
    // gives them).
    G.Status([](sim::SimStatus& S) { S.Correction = 1; });
    ASSERT_EQ(Probe(*G.R.Form).CorrectionMode(), 1);
    TGasProperties Insp = Probe(*G.R.Form).InspGas();
    Insp.Temperature = 310.6f;
    Insp.RelHumidity = 99.5f;
    G.R.Form->SetInspGas(Insp);
    G.R.Form->SetAmbientTemp(296.4f);

    // Confirmed unchanged: nothing.
    {
        Answers A;
        A.OnForm = [](TComponent*, int) { return mrOk; };
        G.Action("actnGasSettings")->Execute();
        EXPECT_EQ(G.Sent(), Strings{});
    }
    // BTPS chosen: 'O' 'B' only.
    {
        Answers A;
        A.OnForm = [](TComponent* F, int) {
            Pick(Find<TComboBox>(F, "cbCorrMode"), 1);
            return mrOk;
        };
        G.Action("actnGasSettings")->Execute();
        EXPECT_EQ(G.Sent(), Strings{Frame('O', Bytes{'B', 0, 0})});
    }
    // Another gas temperature: both channels.
    {
        Answers A;
        A.OnForm = [](TComponent* F, int) {
            Find<TIcNumSpin>(F, "eGasTemp")->SetText("30");
            return mrOk;
        };
        G.Action("actnGasSettings")->Execute();
        EXPECT_EQ(G.Sent(), (Strings{Frame('T', Bytes{'I', 0x01, 0x2F}), Frame('T', Bytes{'E', 0x01, 0x2F})}));
    }

    // Advanced: only the expiratory viscosity changed (the inspiratory
    // record back to whole values the dialog shows as they are).
    G.Status([](sim::SimStatus& S) {
        S.InspGas = sim::SimGas{};
        S.ExpGas = sim::SimGas{};
        S.AmbientTemp = 296;
    });
    G.Sent();
    // Gas Settings left with Advanced runs the advanced dialog, which sends
    // its own changes (the ambient temperature here).
    {
        Answers A;
        A.OnForm = [](TComponent* F, int) {
            if (F->Name() == "dlgGasSettings")
                return Find<TButton>(F, "btnAdvanced")->ModalResult();
            Find<TIcNumSpin>(F, "eAmbTemp")->SetText("25");
            return static_cast<int>(mrOk);
        };
        G.Action("actnGasSettings")->Execute();
        EXPECT_EQ(A.FormRuns["dlgAdvGasSettings"], 1);
        EXPECT_EQ(G.Sent(), Strings{Frame('T', Bytes{'A', 0x01, 0x2A})});
    }

    {
        Answers A;
        A.OnForm = [](TComponent* F, int) {
            Find<TIcNumSpin>(F, "eExpVisc")->SetText("200");
            return mrOk;
        };
        G.Action("actnAdvancedGasSettings")->Execute();
        const Strings Sent = G.Sent();
        ASSERT_EQ(Sent.size(), 5u);
        EXPECT_EQ(Sent[0].substr(0, 2), "TE");
        EXPECT_EQ(Sent[1].substr(0, 2), "UE");
        EXPECT_EQ(Sent[2], Frame('V', Bytes{'E', 0, 200}));
        EXPECT_EQ(Sent[3].substr(0, 2), "DE");
        EXPECT_EQ(Sent[4], Frame('Y', "U"));
    }

    // Calculator: its results sent once; with the results stored, nothing.
    {
        Answers A;
        A.OnForm = [](TComponent*, int) { return mrOk; };
        G.Action("actnGasCalculator")->Execute();
        const Strings First = G.Sent();
        ASSERT_FALSE(First.empty());
        EXPECT_EQ(First.back(), Frame('Y', "U"));
        G.R.Form->SetInspGas(G.Calculator->InspResult());
        G.R.Form->SetExpGas(G.Calculator->ExpResult());
        G.Action("actnGasCalculator")->Execute();
        EXPECT_EQ(G.Sent(), Strings{});
    }
}

// The Debug page: a unit table from the unit chosen, the protocol log
// cleared, the serial numbers read.
TEST(DeviceCommands, DebugPage)
{
    DeviceRig G;
    TMainForm* F = G.R.Form.get();
    Pick(Find<TComboBox>(F, "cbUnits"), 0);  // cmH2O
    Find<TEdit>(F, "eTestValue")->SetText("10");
    Find<TButton>(F, "Button3")->Click();
    TMemo* Memo = Find<TMemo>(F, "memoDebug");
    ASSERT_EQ(Memo->Lines()->Count(), 17);
    EXPECT_EQ(Memo->Lines()->Strings(0).substr(0, 2), "10");
    EXPECT_NE(Memo->Lines()->Strings(0).find("  cmH2O"), std::string::npos);
    EXPECT_NE(Memo->Lines()->Strings(16).find("  mL"), std::string::npos);

    Find<TMemo>(F, "memoFileList")->Lines()->Add("log");
    Find<TButton>(F, "Button4")->Click();
    EXPECT_EQ(Find<TMemo>(F, "memoFileList")->Lines()->Count(), 0);

    Find<TButton>(F, "Button6")->Click();
    EXPECT_EQ(Find<TLabel>(F, "lblZRPSN")->Caption(), "123456");
    Find<TButton>(F, "Button5")->Click();
    EXPECT_EQ(Find<TLabel>(F, "Label29")->Caption(), "HH0012345");
}

// The Calibration menu stays hidden for a wrong or empty password and shows
// for the right one; the action has its shortcut and no menu item.
TEST(DeviceCommands, UnlockCalibration)
{
    MainRig R;
    R.Build();
    WorkbenchDialogs D;
    TMenuItem* Menu = Find<TMenuItem>(R.Form.get(), "menuCalibration");
    TAction* Unlock = Find<TAction>(R.Form.get(), "actnUnlockCalDiag");
    EXPECT_EQ(Unlock->ShortCut(), ShortCut(VK_F12, TShiftState{ssCtrl, ssShift}));
    EXPECT_FALSE(Menu->Visible());
    for (const char* Typed : {"zrservice", ""}) {
        Answers A;
        A.OnForm = [&](TComponent* F, int) {
            Find<TMaskEdit>(F, "ePassword")->SetText(Typed);
            return mrOk;
        };
        Unlock->Execute();
        EXPECT_EQ(A.Boxes(), Strings{"Incorrect password."}) << Typed;
        EXPECT_FALSE(Menu->Visible()) << Typed;
    }
    Answers A;
    A.OnForm = [&](TComponent* F, int) {
        Find<TMaskEdit>(F, "ePassword")->SetText("ZRservice");
        return mrOk;
    };
    Unlock->Execute();
    EXPECT_TRUE(A.Boxes().empty());
    EXPECT_TRUE(Menu->Visible());
}
