// The settings file: what a start reads, what a close writes, and the
// values a damaged or hand-edited file may hold.
#include "tests/workbench/MainRig.h"
#include "tests/support/Components.h"

#include "platform/ActnList.h"
#include "platform/ApdComPort.h"
#include "platform/ComCtrls.h"
#include "platform/Controls.h"
#include "platform/DialogHook.h"
#include "platform/Menus.h"

#include <filesystem>
#include <fstream>
#include <sstream>

// First start: no file, the default window, no port; the close writes every
// key but the header and the port, and the "Signals" folder is there.
TEST(Settings, FirstStartWritesEveryKey)
{
    MainRig R;
    R.Build();
    TMainForm& F = *R.Form;
    EXPECT_EQ(F.Width(), 640);
    EXPECT_EQ(F.Height(), 480);
    EXPECT_EQ(F.Left(), 10);
    EXPECT_EQ(F.Top(), 10);
    EXPECT_FALSE(Find<TApdComPort>(&F, "CommPort")->Open());
    EXPECT_TRUE(std::filesystem::is_directory(R.Dir + "/Signals"));
    EXPECT_EQ(Probe(F).SignalsDir(), R.Dir + "/Signals/");
    EXPECT_TRUE(Find<TAction>(&F, "actnShowPreviousData")->Checked());
    EXPECT_FALSE(Find<TTabSheet>(&F, "tsDebug")->TabVisible());
    EXPECT_FALSE(Find<TTabSheet>(&F, "tsPrintTest")->TabVisible());
    EXPECT_FALSE(Find<TMenuItem>(&F, "menuCalibration")->Visible());
    F.Close();

    TIniFile Ini(R.IniName());
    const std::vector<std::pair<std::string, std::string>> Keys = {
        {"Window Settings", "Height"},        {"Window Settings", "Width"},    {"Window Settings", "Top"},
        {"Window Settings", "Left"},          {"Window Settings", "Maximized"}, {"File Settings", "Loop Playback"},
        {"Settings", "Stacked Test"},         {"Settings", "Flow Unit"},       {"Settings", "Volume Unit"},
        {"Settings", "APress Unit"},          {"Settings", "LPress Unit"},     {"Settings", "HPress Unit"},
        {"Settings", "Temperature Unit"},     {"Settings", "Monitor Shadow Series"},
        {"Settings", "Timed Interval"}};
    for (const auto& [Section, Key] : Keys)
        EXPECT_TRUE(Ini.ValueExists(Section, Key)) << Section << "/" << Key;
    EXPECT_FALSE(Ini.ValueExists("Settings", "Print Header"));
    EXPECT_FALSE(Ini.ValueExists("Communications", "Comm"));
    EXPECT_EQ(Ini.ReadString("Settings", "Stacked Test", ""), "5");
    EXPECT_EQ(Ini.ReadString("Settings", "Temperature Unit", ""), "22");
}

// Written values come back at the next start.
TEST(Settings, ValuesSurviveARestart)
{
    MainRig R;
    R.Ini("Settings", "Flow Unit", "12");
    R.Ini("Settings", "HPress Unit", "4");
    R.Ini("Settings", "Temperature Unit", "23");
    R.Ini("Settings", "Monitor Shadow Series", "0");
    R.Ini("Settings", "Timed Interval", "0.25");
    R.Ini("Settings", "Print Header", "Ward 3");
    R.Ini("File Settings", "Loop Playback", "1");
    R.Ini("Window Settings", "Left", "40");
    R.Ini("Window Settings", "Width", "500");
    R.Build();
    Probe(*R.Form).SetSignalDisplayUnit(sigVolume, ucLiters);
    R.Form->Close();
    R.Form.reset();

    R.Build();
    TMainForm& F = *R.Form;
    EXPECT_EQ(F.SignalStats(sigFlow).DisplayUnit(), ucLPS);
    EXPECT_EQ(F.SignalStats(sigVolume).DisplayUnit(), ucLiters);
    EXPECT_EQ(F.SignalStats(sigHighPressure).DisplayUnit(), ucKPa);
    EXPECT_EQ(F.SignalStats(sigTemperature).DisplayUnit(), ucFahrenheit);
    EXPECT_FALSE(Find<TAction>(&F, "actnShowPreviousData")->Checked());
    EXPECT_FALSE(Probe(F).ShowPrevious());
    EXPECT_DOUBLE_EQ(Probe(F).TimedInterval(), 0.25);
    EXPECT_EQ(F.PrintHeader(), "Ward 3");
    EXPECT_TRUE(Probe(F).LoopPlayback());
    EXPECT_EQ(F.Left(), 40);
    EXPECT_EQ(F.Width(), 500);
}

// A unit code outside its signal's family would show unconverted values
// under a wrong unit: it falls back to the signal's default.
TEST(Settings, UnitOutsideItsFamilyFallsBack)
{
    struct Case {
        const char* Key;
        int Signal;
        const char* Stored;
        TUnitCode Expected;
    };
    const Case Cases[] = {
        {"Flow Unit", sigFlow, "3", ucLPM},          {"Flow Unit", sigFlow, "14", ucMLPerSec},
        {"Volume Unit", sigVolume, "10", ucML},      {"Volume Unit", sigVolume, "16", ucCF},
        {"APress Unit", sigAirwayPressure, "0", ucCmH2O}, {"APress Unit", sigAirwayPressure, "9", ucInHg},
        {"LPress Unit", sigLowPressure, "26", ucCmH2O},   {"HPress Unit", sigHighPressure, "-4", ucPSI},
        {"HPress Unit", sigHighPressure, "1", ucCmH2O},   {"Temperature Unit", sigTemperature, "18", ucCelsius},
        {"Temperature Unit", sigTemperature, "21", ucKelvin},
    };
    for (const Case& C : Cases) {
        MainRig R;
        R.Ini("Settings", C.Key, C.Stored);
        R.Build();
        EXPECT_EQ(R.Form->SignalStats(C.Signal).DisplayUnit(), C.Expected) << C.Key << "=" << C.Stored;
    }
}

// A window stored off the screen (a screen unplugged since) comes back onto
// it; one on the screen stays where it was.
TEST(Settings, WindowOffScreenIsMovedOntoIt)
{
    const int SW = Screen->Width();
    const int SH = Screen->Height();
    ASSERT_GT(SW, 300);
    ASSERT_GT(SH, 200);
    struct Case {
        int Left, Top;
        bool Moved;
    };
    const Case Cases[] = {{SW + 100, 20, true}, {20, SH + 50, true}, {-900, 20, true},
                          {20, -30, true},      {30, 40, false},     {-100, 20, false}};
    for (const Case& C : Cases) {
        MainRig R;
        R.Ini("Window Settings", "Left", std::to_string(C.Left));
        R.Ini("Window Settings", "Top", std::to_string(C.Top));
        R.Ini("Window Settings", "Width", "300");
        R.Ini("Window Settings", "Height", "200");
        R.Build();
        TMainForm& F = *R.Form;
        SCOPED_TRACE(std::to_string(C.Left) + "," + std::to_string(C.Top));
        if (C.Moved) {
            EXPECT_GE(F.Left(), 0);
            EXPECT_GE(F.Top(), 0);
            EXPECT_LE(F.Left() + F.Width(), SW);
            EXPECT_LE(F.Top() + F.Height(), SH);
        } else {
            EXPECT_EQ(F.Left(), C.Left);
            EXPECT_EQ(F.Top(), C.Top);
        }
        EXPECT_EQ(F.Width(), 300);
        EXPECT_EQ(F.Height(), 200);
    }
}

// The stack length is clamped by the statistics but written back as read.
TEST(Settings, StackLengthClampedButKept)
{
    MainRig R;
    R.Ini("Settings", "Stacked Test", "40");
    R.Build();
    EXPECT_EQ(Probe(*R.Form).BreathsToStack(), 40);
    EXPECT_EQ(Probe(*R.Form).ParamStats(parPIP).FormatStackSize(), "25");
    R.Form->Close();
    EXPECT_EQ(R.IniValue("Settings", "Stacked Test"), "40");
}

// Maximized or minimized at close: the state is written, the last normal
// geometry kept.
TEST(Settings, GeometryKeptWhenNotNormal)
{
    for (TWindowState State : {wsMaximized, wsMinimized}) {
        MainRig R;
        R.Ini("Window Settings", "Width", "555");
        R.Build();
        R.Form->Show();
        R.Form->SetWindowState(State);
        ProcessFor(20);
        R.Form->Close();
        EXPECT_EQ(R.IniValue("Window Settings", "Maximized"), State == wsMaximized ? "1" : "0");
        EXPECT_EQ(R.IniValue("Window Settings", "Width"), "555");
    }
}

// One maximized session does not keep every later start maximized: the
// window restored and sized again is written as it is, and the next start
// opens it so.
TEST(Settings, RestoredAfterAMaximizedStartTheSizeIsWrittenAgain)
{
    MainRig R;
    R.Ini("Window Settings", "Maximized", "1");   // a first session closed maximized
    R.Build();
    R.Form->Show();
    ProcessFor(20);
    ASSERT_EQ(R.Form->WindowState(), wsMaximized);
    R.Form->SetWindowState(wsNormal);
    R.Form->SetBounds(30, 40, 520, 400);
    ProcessFor(20);
    R.Form->Close();
    EXPECT_EQ(R.IniValue("Window Settings", "Maximized"), "0");
    EXPECT_EQ(R.IniValue("Window Settings", "Width"), "520");
    EXPECT_EQ(R.IniValue("Window Settings", "Height"), "400");
    R.Form.reset();

    R.Build();
    EXPECT_EQ(R.Form->WindowState(), wsNormal);
    EXPECT_EQ(R.Form->Width(), 520);
    EXPECT_EQ(R.Form->Height(), 400);
}

// Sizes written by hand: none that the file can mean gives the default
// size, one larger than the screen the screen's, before anything is laid
// out at it (a size of thousands of pixels would take gigabytes).
TEST(Settings, HandWrittenSizesAreClampedBeforeTheWindowIsSized)
{
    const int SW = Screen->Width();
    const int SH = Screen->Height();
    ASSERT_GT(SW, 640);
    ASSERT_GT(SH, 480);
    struct Case {
        const char* Width;
        const char* Height;
        int ExpectedWidth, ExpectedHeight;
    };
    const Case Cases[] = {
        {"10000", "10000", SW, SH},      {"30000", "700", SW, std::min(700, SH)},
        {"2147483647", "2147483647", SW, SH}, {"-5", "-1", 640, 480},
        {"0", "0", 640, 480},            {"-2147483648", "300", 640, 300},
        {"500", "junk", 500, 480},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(std::string(C.Width) + " x " + C.Height);
        MainRig R;
        R.Ini("Window Settings", "Width", C.Width);
        R.Ini("Window Settings", "Height", C.Height);
        R.Ini("Window Settings", "Left", "2147483647");
        R.Build();
        TMainForm& F = *R.Form;
        EXPECT_EQ(F.Width(), C.ExpectedWidth);
        EXPECT_EQ(F.Height(), C.ExpectedHeight);
        EXPECT_GE(F.Left(), 0);
        EXPECT_LE(F.Left() + F.Width(), SW);
        F.Close();
        EXPECT_EQ(R.IniValue("Window Settings", "Width"), std::to_string(C.ExpectedWidth));
        EXPECT_EQ(R.IniValue("Window Settings", "Height"), std::to_string(C.ExpectedHeight));
    }
}

// The port: a pseudo-terminal in the file is no port to remember (another
// program has that number now): it is not opened, its far end hears
// nothing, and the file keeps what it held. The port named on the command
// line is used for the run but never becomes the user's port.
TEST(Settings, PseudoTerminalInTheFileIsNotOpenedAndOverrideNotWritten)
{
    {
        MainRig R;
        ASSERT_TRUE(R.Sim.Start());
        const std::string Pty = std::to_string(DeviceToPortNumber(R.Sim.SlavePath()));
        R.Ini("Communications", "Comm", Pty);
        R.Build();
        R.Form->Show();
        ProcessFor(300);   // past the start's handshake
        EXPECT_FALSE(Find<TApdComPort>(R.Form.get(), "CommPort")->Open());
        EXPECT_TRUE(R.Sim.Received().empty());
        EXPECT_TRUE(R.Sim.RatesHeard().empty());
        R.Form->Close();
        EXPECT_EQ(R.IniValue("Communications", "Comm"), Pty);
    }
    {
        MainRig R;
        ASSERT_TRUE(R.Sim.Start());
        R.Ini("Communications", "Comm", "101");
        R.Options.PortOverride = DeviceToPortNumber(R.Sim.SlavePath());
        R.Build();
        EXPECT_TRUE(Find<TApdComPort>(R.Form.get(), "CommPort")->Open());
        EXPECT_EQ(Find<TApdComPort>(R.Form.get(), "CommPort")->ComNumber(), R.Options.PortOverride);
        R.Form->Close();
        EXPECT_EQ(R.IniValue("Communications", "Comm"), "101");
    }
}

// Settings that cannot be stored when the program closes are reported; the
// window closes all the same and the file keeps what it held.
TEST(Settings, ASaveThatFailsOnCloseIsReported)
{
    MainRig R;
    R.Ini("Settings", "Stacked Test", "7");
    R.Build();
    std::vector<TDialogRequest> Shown;
    auto Old = SetDialogAnswerer([&](const TDialogRequest& Request, TDialogAnswer& Answer) {
        Shown.push_back(Request);
        Answer.ModalResult = mrOk;
        return true;
    });
    TIniFile::BeforeRename = [](const std::string&) { return false; };  // the disk refuses

    R.Form->Close();

    TIniFile::BeforeRename = nullptr;
    SetDialogAnswerer(Old);
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Shown[0].Kind, TDialogKind::MessageBox);
    EXPECT_EQ(Shown[0].Text.rfind("The settings could not be saved.\n", 0), 0u) << Shown[0].Text;
    EXPECT_NE(Shown[0].Text.find(R.IniName()), std::string::npos) << Shown[0].Text;
    EXPECT_EQ(R.IniValue("Settings", "Stacked Test"), "7");
    EXPECT_EQ(R.IniValue("Window Settings", "Height"), "<none>");
}

// A close stores every key with one replacement of the file, however many
// keys (and however long a line) the file holds; the keys of others stay.
TEST(Settings, ACloseReplacesTheFileOnce)
{
    MainRig R;
    {
        std::ofstream Out(R.IniName(), std::ios::binary);
        Out << "[Notes]\nLong=" << std::string(1 << 20, 'n') << "\n[Settings]\nStacked Test=7\n[Other Program]\n";
        for (int i = 0; i < 200; ++i)
            Out << "Key " << i << "=" << i << "\n";
    }
    R.Build();
    int Replaced = 0;
    TIniFile::BeforeRename = [&](const std::string&) {
        ++Replaced;
        return true;
    };
    R.Form->Close();
    TIniFile::BeforeRename = nullptr;

    EXPECT_EQ(Replaced, 1);
    TIniFile Ini(R.IniName());
    EXPECT_EQ(Ini.ReadString("Settings", "Stacked Test", ""), "7");
    EXPECT_EQ(Ini.ReadString("Window Settings", "Width", ""), "640");
    EXPECT_EQ(Ini.ReadString("Settings", "Timed Interval", ""), "0");
    EXPECT_EQ(Ini.ReadString("Notes", "Long", "").size(), size_t{1} << 20);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(Ini.ReadInteger("Other Program", "Key " + std::to_string(i), -1), i) << i;
}
