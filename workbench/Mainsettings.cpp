// The settings file: read once while the main window is built, written once
// when it closes. Every write replaces the file atomically.
#include "workbench/Main.h"

#include "analyzer/Serialfunctions.h"
#include "platform/ApdComPort.h"
#include "platform/IniFiles.h"
#include "platform/SerialPorts.h"

#include <algorithm>

namespace {

const char* const WindowSection = "Window Settings";
const char* const FileSection = "File Settings";
const char* const SettingsSectionName = "Settings";
const char* const CommSection = "Communications";

// The display-unit keys: signal, key, default and the unit family the
// signal's values convert within.
struct TUnitKey {
    int Signal;
    const char* Key;
    TUnitCode Default;
    TUnitCode First;
    TUnitCode Last;
};
const TUnitKey UnitKeys[] = {
    {sigFlow, "Flow Unit", ucLPM, ucLPM, ucMLPerSec},
    {sigVolume, "Volume Unit", ucML, ucLiters, ucML},
    {sigAirwayPressure, "APress Unit", ucCmH2O, ucCmH2O, ucInHg},
    {sigLowPressure, "LPress Unit", ucCmH2O, ucCmH2O, ucInHg},
    {sigHighPressure, "HPress Unit", ucPSI, ucCmH2O, ucInHg},
    {sigTemperature, "Temperature Unit", ucCelsius, ucKelvin, ucFahrenheit},
};

}  // namespace

void TMainForm::PlaceWindowOnScreen()
{
    // A window left on a screen that is gone (or a hand-edited file) comes
    // back where it can be seen; its size stays unless it exceeds the screen.
    const int SW = Screen->Width();
    const int SH = Screen->Height();
    if (SW <= 0 || SH <= 0)
        return;
    int W = std::min(Width(), SW);
    int H = std::min(Height(), SH);
    int L = Left();
    int T = Top();
    const bool Off = L >= SW || T >= SH || L + W <= 0 || T < 0;
    if (!Off && W == Width() && H == Height())
        return;
    if (Off) {
        L = std::clamp(L, 0, SW - W);
        T = std::clamp(T, 0, SH - H);
    }
    SetBounds(L, T, W, H);
}

void TMainForm::actnInitFromIniExecute(TObject* Sender)
{
    FIniFile = std::make_unique<TIniFile>(FIniFileName);
    TIniFile& Ini = *FIniFile;

    SetHeight(Ini.ReadInteger(WindowSection, "Height", 480));
    SetWidth(Ini.ReadInteger(WindowSection, "Width", 640));
    SetTop(Ini.ReadInteger(WindowSection, "Top", 10));
    SetLeft(Ini.ReadInteger(WindowSection, "Left", 10));
    PlaceWindowOnScreen();
    SetWindowState(Ini.ReadBool(WindowSection, "Maximized", false) ? wsMaximized : wsNormal);

    FLoopPlayback = Ini.ReadBool(FileSection, "Loop Playback", false);
    if (actnUpdateLoopBack->OnExecute)
        actnUpdateLoopBack->Execute();

    FBreathsToStack = Ini.ReadInteger(SettingsSectionName, "Stacked Test", 5);
    for (TSignalStats& S : FParamStats)
        S.SetStackSize(FBreathsToStack);

    for (const TUnitKey& K : UnitKeys) {
        TUnitCode Unit = Ini.ReadInteger(SettingsSectionName, K.Key, K.Default);
        // A unit of another family would leave the values unconverted under
        // a wrong unit name.
        if (Unit < K.First || Unit > K.Last)
            Unit = K.Default;
        FSignalStats[K.Signal].SetDisplayUnit(Unit);
    }
    if (actnUpdateFullTest->OnExecute)
        actnUpdateFullTest->Execute();

    FPrintHeader = Ini.ReadString(SettingsSectionName, "Print Header", "");
    actnShowPreviousData->SetChecked(Ini.ReadBool(SettingsSectionName, "Monitor Shadow Series", true));
    FTimedInterval = Ini.ReadFloat(SettingsSectionName, "Timed Interval", 0);
    FShowPrevious = actnShowPreviousData->Checked();

    const int32_t Comm = FPortOverride != 0 ? FPortOverride : Ini.ReadInteger(CommSection, "Comm", 0);
    if (Comm != 0) {
        TPortSettings Settings;
        Settings.ComNumber = Comm;
        Settings.Baud = 2400;
        Settings.DataBits = 8;
        Settings.StopBits = 1;
        Settings.Parity = 0;
        Settings.FlowControl = 1;
        Settings.Reserved = 0;
        OpenCommPort(Settings);
    }
}

void TMainForm::actnSaveIniSettingsExecute(TObject* Sender)
{
    if (!FIniFile)
        return;
    TIniFile& Ini = *FIniFile;
    const TWindowState State = WindowState();
    Ini.WriteBool(WindowSection, "Maximized", State == wsMaximized);
    if (State == wsNormal) {
        Ini.WriteInteger(WindowSection, "Height", Height());
        Ini.WriteInteger(WindowSection, "Width", Width());
        Ini.WriteInteger(WindowSection, "Top", Top());
        Ini.WriteInteger(WindowSection, "Left", Left());
    }
    // The port named on the command line is for that run only, and so is a
    // pseudo-terminal, however it was chosen: the next start would find
    // another program's terminal under its number.
    if (CommPort->Open() && CommPort->ComNumber() != 0 && CommPort->ComNumber() != FPortOverride &&
        !IsPseudoTerminalPort(CommPort->ComNumber()))
        Ini.WriteInteger(CommSection, "Comm", CommPort->ComNumber());
    Ini.WriteBool(FileSection, "Loop Playback", FLoopPlayback);
    Ini.WriteInteger(SettingsSectionName, "Stacked Test", FBreathsToStack);
    for (const TUnitKey& K : UnitKeys)
        Ini.WriteInteger(SettingsSectionName, K.Key, FSignalStats[K.Signal].DisplayUnit());
    Ini.WriteBool(SettingsSectionName, "Monitor Shadow Series", actnShowPreviousData->Checked());
    Ini.WriteFloat(SettingsSectionName, "Timed Interval", FTimedInterval);
    FIniFile.reset();
}
