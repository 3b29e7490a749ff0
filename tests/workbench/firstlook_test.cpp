// What a new user meets first: the menus, the tool bar and its pictures,
// the status bar, the monitor labels, the loop menu, the first sweep's
// range, a maximized start, a pseudo-terminal port and the command line.
#include "tests/workbench/MainRig.h"

#include "analyzer/Units.h"
#include "chart/Chart.h"
#include "platform/ApdComPort.h"
#include "platform/ComCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/Graphics.h"
#include "platform/ImgList.h"
#include "platform/LookOut.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"

#include <array>
#include <cstdio>
#include <unistd.h>

namespace {

std::vector<TToolButton*> ToolButtons(TMainForm& F)
{
    std::vector<TToolButton*> Out;
    TToolBar* Bar = Find<TToolBar>(&F, "ToolBar");
    for (int i = 0; i < Bar->ButtonCount(); ++i)
        Out.push_back(Bar->Buttons(i));
    return Out;
}

TToolButton* ButtonOf(TMainForm& F, const char* ActionName)
{
    for (TToolButton* B : ToolButtons(F))
        if (B->Action() && B->Action()->Name() == ActionName)
            return B;
    return nullptr;
}

}  // namespace

// Every "-" of the main menu and the popups is a separator line, and there
// is one wherever the menus have one.
TEST(FirstLook, MenuLinesAreSeparators)
{
    MainRig R;
    R.Build();
    int Lines = 0;
    std::function<void(TMenuItem*)> Walk = [&](TMenuItem* Item) {
        for (int i = 0; i < Item->Count(); ++i) {
            TMenuItem* C = Item->Items(i);
            if (C->Caption() == "-") {
                EXPECT_TRUE(C->IsLine());
                ++Lines;
            }
            Walk(C);
        }
    };
    Walk(Find<TMainMenu>(R.Form.get(), "MainMenu")->Items());
    for (const char* Popup : {"popZeroMenu", "popStatistics"})
        Walk(Find<TPopupMenu>(R.Form.get(), Popup)->Items());
    // File 5, Communications 1, Statistics 1, Zeroing 1, Breath Detect 1,
    // Monitor Plots 1, Calibration 2, Help 1; the two popups 1 each.
    EXPECT_EQ(Lines, 15);
}

// Tool buttons show their action's state, as menu items do; the bar has its
// separators and pictures, and the breath-detect button switches among
// pictures 8 to 11.
TEST(FirstLook, ToolButtonsFollowTheirActionsAndShowPictures)
{
    MainRig R;
    R.Build();
    TMainForm& F = *R.Form;
    TToolBar* Bar = Find<TToolBar>(&F, "ToolBar");
    ASSERT_NE(Bar->Images(), nullptr);
    EXPECT_EQ(Bar->Images()->Count(), 20);   // 13 to 19 for the playback controls

    int Separators = 0;
    for (TToolButton* B : ToolButtons(F)) {
        if (B->Style() == tbsSeparator) {
            ++Separators;
            continue;
        }
        EXPECT_GE(B->ImageIndex(), 0) << B->Name();
        EXPECT_LT(B->ImageIndex(), Bar->Images()->Count()) << B->Name();
        if (auto* A = dynamic_cast<TAction*>(B->Action())) {
            EXPECT_EQ(B->Enabled(), A->Enabled()) << B->Name();
        }
    }
    EXPECT_EQ(Separators, 5);

    // A disabled action's button is disabled; enabled, checked and hidden
    // follow as the action changes.
    F.SetBounds(10, 10, 1200, 600);
    TAction* Rescale = Find<TAction>(&F, "actnRescalePlots");
    TToolButton* B = ButtonOf(F, "actnRescalePlots");
    ASSERT_NE(B, nullptr);
    Rescale->SetEnabled(false);
    EXPECT_FALSE(B->Enabled());
    Rescale->SetEnabled(true);
    EXPECT_TRUE(B->Enabled());
    Rescale->SetChecked(true);
    EXPECT_TRUE(B->Down());
    const int Left = ButtonOf(F, "actnBDThreshold")->Left();
    Rescale->SetVisible(false);
    EXPECT_FALSE(B->Visible());
    EXPECT_LT(ButtonOf(F, "actnBDThreshold")->Left(), Left) << "the next buttons close up";

    // The breath-detect button runs the bi-directional mode and is as
    // enabled as that action.
    TToolButton* Breath = Find<TToolButton>(&F, "btnBreathDetect");
    TAction* BiDi = Find<TAction>(&F, "actnBDBiDi");
    EXPECT_EQ(Breath->Enabled(), BiDi->Enabled());
    BiDi->SetEnabled(!BiDi->Enabled());
    EXPECT_EQ(Breath->Enabled(), BiDi->Enabled());
    EXPECT_EQ(Breath->ImageIndex(), 8);
    const std::array<std::pair<int, int>, 4> Modes = {{{0, 11}, {2, 9}, {3, 10}, {1, 8}}};
    for (auto [Mode, Image] : Modes) {
        F.ShowBreathDetectMode(Mode);
        EXPECT_EQ(Breath->ImageIndex(), Image) << Mode;
    }
}

// At the first-start size the buttons that do not fit wait behind the
// chevron instead of being cut off; a wide window shows them all.
TEST(FirstLook, ToolBarOverflowsAtTheFirstStartSize)
{
    MainRig R;
    R.Build();
    TMainForm& F = *R.Form;
    F.Show();
    ProcessFor(50);
    EXPECT_EQ(F.Width(), 640);
    TToolBar* Bar = Find<TToolBar>(&F, "ToolBar");
    EXPECT_TRUE(Bar->OverflowShown());
    int InOverflow = 0;
    for (TToolButton* B : ToolButtons(F)) {
        if (B->InOverflow()) {
            ++InOverflow;
            continue;
        }
        EXPECT_LE(B->Left() + B->Width(), Bar->ClientWidth() - 16) << B->Name() << " is cut off";
    }
    EXPECT_GT(InOverflow, 0);
    EXPECT_TRUE(ButtonOf(F, "actnBDThreshold")->InOverflow());

    F.SetBounds(10, 10, 1200, 600);
    ProcessFor(20);
    EXPECT_FALSE(Bar->OverflowShown());
    for (TToolButton* B : ToolButtons(F))
        EXPECT_FALSE(B->InOverflow()) << B->Name();
}

namespace {

// Every shown control of Parent (and of its children) stands inside its
// parent's client area, and no two shown siblings overlap.
void ExpectLaidOutWithin(const TWinControl* Parent, const std::string& Where)
{
    std::vector<const TControl*> Shown;
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        const TControl* C = Parent->Controls(i);
        if (!C->Visible())
            continue;
        const TRect R = C->BoundsRect();
        const std::string Name = Where + "/" + (C->Name().empty() ? "(" + C->Caption() + ")" : C->Name());
        EXPECT_GE(R.Left, 0) << Name;
        EXPECT_GE(R.Top, 0) << Name;
        EXPECT_LE(R.Right, Parent->ClientWidth()) << Name << " is cut off on the right";
        EXPECT_LE(R.Bottom, Parent->ClientHeight()) << Name << " is cut off at the bottom";
        for (const TControl* O : Shown) {
            const TRect Q = O->BoundsRect();
            EXPECT_TRUE(R.Right <= Q.Left || Q.Right <= R.Left || R.Bottom <= Q.Top || Q.Bottom <= R.Top)
                << Name << " overlaps " << (O->Name().empty() ? "(" + O->Caption() + ")" : O->Name());
        }
        Shown.push_back(C);
        if (const auto* W = dynamic_cast<const TWinControl*>(C))
            ExpectLaidOutWithin(W, Name);
    }
}

}  // namespace

// At the first-start size each side-bar page shows all it holds: nothing
// runs over its neighbour or out of the page.
TEST(FirstLook, SideBarPagesFitTheFirstStartSize)
{
    MainRig R;
    R.Build();
    TMainForm& F = *R.Form;
    F.Show();
    Find<TAction>(&F, "actnFileControls")->Execute();
    ProcessFor(50);
    ASSERT_EQ(F.Width(), 640);
    ASSERT_EQ(F.Height(), 480);
    TLookOutBar* Bar = Find<TLookOutBar>(&F, "LookOutBar");
    TNotebook* Trend = Find<TNotebook>(&F, "nbkTrendTest");
    for (const char* Name : {"lopFileControls", "lopLeakTest", "lopTrendTest"}) {
        TLookOutPage* Page = Find<TLookOutPage>(&F, Name);
        Bar->SetActivePage(Page);
        for (int TrendPage = 0; TrendPage < (Page->Name() == "lopTrendTest" ? 2 : 1); ++TrendPage) {
            Trend->SetPageIndex(TrendPage);
            ProcessFor(30);
            ASSERT_GT(Page->ClientHeight(), 200) << Name;
            ExpectLaidOutWithin(Page, Name);
        }
    }
    std::unique_ptr<TBitmap> Image(F.GetFormImage());
    ASSERT_TRUE(Image);
    Image->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/workbench-sidebar-640x480.png");
}

// The four status panels keep their widths: 350, 100, 75 and 100 pixels.
TEST(FirstLook, StatusPanelsKeepTheirWidths)
{
    MainRig R;
    R.Build();
    R.Form->SetBounds(10, 10, 900, 600);
    TStatusBar* Bar = Find<TStatusBar>(R.Form.get(), "StatusBar");
    const int Widths[4] = {350, 100, 75, 100};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Bar->PanelRect(i).Right - Bar->PanelRect(i).Left, Widths[i]) << i;
    EXPECT_LT(Bar->PanelRect(3).Right, Bar->Width());
}

// A monitor plot's unit stands 5 pixels right of its title, on its line,
// whatever the window's size and after the title changes.
TEST(FirstLook, MonitorUnitsStandRightOfTheTitle)
{
    MainRig R;
    R.Build();
    TMainForm& F = *R.Form;
    auto Check = [&](const char* When) {
        for (int p = 1; p <= 3; ++p) {
            const std::string N = std::to_string(p);
            TLabel* Title = Find<TLabel>(&F, "lblTitleMonitor" + N);
            TLabel* Units = Find<TLabel>(&F, "lblUnits1Monitor" + N);
            EXPECT_EQ(Units->Left(), Title->Left() + Title->Width() + 5) << When << " plot " << p;
            EXPECT_EQ(Units->Top(), Title->Top()) << When << " plot " << p;
            EXPECT_LE(Units->Left() + Units->Width(), Find<TPanel>(&F, "pnlSigPlots" + N)->Width()) << When;
        }
    };
    F.Show();
    ProcessFor(20);
    Check("shown");
    F.SetBounds(10, 10, 1000, 700);
    ProcessFor(20);
    Check("resized");
    Probe(F).SetSignalDisplayUnit(sigAirwayPressure, ucMmHg);
    Find<TAction>(&F, "actnUpdateMonitorTitles")->Execute();
    Check("new unit");
    EXPECT_EQ(Find<TLabel>(&F, "lblUnits1Monitor2")->Caption(), "mmHg");
}

// The loop's "..." button opens its menu right-aligned at the button's
// bottom-right corner, for the loop it belongs to.
TEST(FirstLook, LoopMenuOpensRightAlignedAtItsButton)
{
    MainRig R;
    R.Build();
    TMainForm& F = *R.Form;
    TPopupMenu* Menu = Find<TPopupMenu>(&F, "menuLoopPopup");
    Find<TButton>(&F, "btnLoop2Menu")->Click();
    EXPECT_EQ(Menu->Tag(), 1);
    EXPECT_EQ(Menu->Alignment(), TPopupAlignment::paRight);
    ProcessFor(10);
    // A right click on the chart opens it at the mouse, left-aligned.
    Find<TChart>(&F, "chartLoop1")->OnMouseDown(nullptr, mbRight, TShiftState(), 5, 5);
    EXPECT_EQ(Menu->Tag(), 0);
    EXPECT_EQ(Menu->Alignment(), TPopupAlignment::paLeft);
}

// Before its first wrap a monitor plot shows the range its signal usually
// spans, in its display unit, and follows a unit change; the rescale at the
// wrap still comes from the data.
TEST(FirstLook, FirstSweepStartsOnTheSignalsUsualRange)
{
    MainRig R;
    R.Ini("Settings", "Volume Unit", std::to_string(ucLiters));
    R.Build();
    TMainForm& F = *R.Form;
    struct Case {
        const char* Chart;
        double Min;
        double Max;
    };
    // Each range plus the axis's 5 % on either side.
    const Case Cases[] = {
        {"chartMonitor1", -110, 110},      // flow -100 .. 100 LPM
        {"chartMonitor2", -13.5, 63.5},    // airway pressure -10 .. 60 cmH2O
        {"chartMonitor3", -0.155, 1.055},  // volume -0.1 .. 1 L
    };
    for (const Case& C : Cases) {
        EXPECT_NEAR(Find<TChart>(&F, C.Chart)->LeftAxis()->Minimum(), C.Min, 1e-4) << C.Chart;
        EXPECT_NEAR(Find<TChart>(&F, C.Chart)->LeftAxis()->Maximum(), C.Max, 1e-4) << C.Chart;
    }
    // A unit change before any value: the start range in the new unit.
    Probe(F).SetSignalDisplayUnit(sigFlow, ucLPS);
    F.AutoScaleMonitorPlot(0);
    EXPECT_NEAR(Find<TChart>(&F, "chartMonitor1")->LeftAxis()->Maximum(), 110.0 / 60, 1e-4);
    EXPECT_FALSE(Probe(F).SignalScale(sigFlow).Manual);
}

// Started maximized, the plots fill the maximized window, and they follow
// the window as it is restored, resized and maximized again.
TEST(FirstLook, MaximizedStartLaysThePlotsOutAtTheFinalSize)
{
    MainRig R;
    R.Ini("Window Settings", "Maximized", "1");
    R.Build();
    TMainForm& F = *R.Form;
    F.Show();
    ASSERT_TRUE(ProcessUntil([&] { return F.Width() > 640; }, 2000));
    ProcessFor(150);
    auto Check = [&](const char* When) {
        TTabSheet* Page = Find<TTabSheet>(&F, "tsMonitor");
        EXPECT_GT(Page->Width(), F.Width() - 20) << When;
        for (int p = 1; p <= 3; ++p) {
            TPanel* Panel = Find<TPanel>(&F, "pnlSigPlots" + std::to_string(p));
            EXPECT_EQ(Panel->Width(), Page->ClientWidth()) << When << " plot " << p;
            EXPECT_GT(Find<TChart>(&F, "chartMonitor" + std::to_string(p))->Width(), Page->ClientWidth() - 200)
                << When;
        }
        // Three rows of (H - 3) / 3 pixels.
        EXPECT_NEAR(Find<TPanel>(&F, "pnlSigPlots3")->Top() + Find<TPanel>(&F, "pnlSigPlots3")->Height(),
                    Page->ClientHeight(), 5)
            << When;
    };
    Check("maximized");
    F.SetWindowState(wsNormal);
    ProcessFor(50);
    F.SetBounds(20, 20, 700, 500);
    ProcessFor(150);
    Check("restored");
    F.SetWindowState(wsMaximized);
    ProcessUntil([&] { return F.Width() > 700; }, 2000);
    ProcessFor(150);
    Check("maximized again");
}

// A pseudo-terminal chosen as the port is for that run: it is not written to
// the settings file, which keeps the port it had.
TEST(FirstLook, PseudoTerminalPortIsNotSaved)
{
    MainRig R;
    ASSERT_TRUE(R.Sim.Start());
    R.Ini("Communications", "Comm", "101");
    R.Build();
    TPortSettings Settings;
    Settings.ComNumber = DeviceToPortNumber(R.Sim.SlavePath());
    Settings.Baud = 38400;
    Settings.DataBits = 8;
    Settings.StopBits = 1;
    Settings.FlowControl = 1;
    ASSERT_GE(Settings.ComNumber, 1000);
    EXPECT_EQ(R.Form->OpenCommPort(Settings), opOpened);
    EXPECT_TRUE(Find<TApdComPort>(R.Form.get(), "CommPort")->Open());
    R.Form->Close();
    EXPECT_EQ(R.IniValue("Communications", "Comm"), "101");
}

namespace {

struct TRun {
    int Status;
    std::string Output;
};

// Runs the program with Args, its standard error joined to its output.
TRun RunProgram(const std::string& Args)
{
    char Self[4096] = {};
    const ssize_t N = ::readlink("/proc/self/exe", Self, sizeof(Self) - 1);
    const std::string Dir = std::filesystem::path(std::string(Self, N > 0 ? N : 0)).parent_path();
    const std::string Command = "QT_QPA_PLATFORM=offscreen " + Dir + "/../bin/ozezudo " + Args + " 2>&1";
    TRun Run{-1, ""};
    FILE* Pipe = ::popen(Command.c_str(), "r");
    if (!Pipe)
        return Run;
    char Buffer[512];
    while (std::fgets(Buffer, sizeof(Buffer), Pipe))
        Run.Output += Buffer;
    const int Raw = ::pclose(Pipe);
    Run.Status = WIFEXITED(Raw) ? WEXITSTATUS(Raw) : -1;
    return Run;
}

}  // namespace

// --help prints the usage; a --port without a device, with one that does
// not exist or is no serial device, and an unknown option are refused with
// status 2 and a line that says why.
TEST(FirstLook, CommandLineHelpAndRefusals)
{
    struct Case {
        const char* Args;
        int Status;
        const char* Says;
    };
    const Case Cases[] = {
        {"--help", 0, "usage: ozezudo [--port DEVICE]"},
        {"--port", 2, "--port needs a device"},
        {"--port /dev/ttyUSB97", 2, "/dev/ttyUSB97 does not exist"},
        {"--port /etc/hostname", 2, "/etc/hostname is not a serial device"},
        {"--colour", 2, "unknown option --colour"},
    };
    for (const Case& C : Cases) {
        const TRun Run = RunProgram(C.Args);
        EXPECT_EQ(Run.Status, C.Status) << C.Args << "\n" << Run.Output;
        EXPECT_NE(Run.Output.find(C.Says), std::string::npos) << C.Args << "\n" << Run.Output;
    }
}
