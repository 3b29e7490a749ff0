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

// The window's place as the settings file gives it.
struct TWindowBounds {
    int Left, Top, Width, Height;
};

// A size the file cannot mean (none, or negative) is the default one; a
// size larger than the screen is the screen's, so nothing is ever laid out
// at a hand-edited size of thousands of pixels.
int StoredExtent(int Value, int Default, int ScreenExtent)
{
    if (Value <= 0)
        return Default;
    return ScreenExtent > 0 ? std::min(Value, ScreenExtent) : Value;
}

// A window left on a screen that is gone (or a hand-edited file) comes back
// where it can be seen; one partly on the screen stays where it was.
TWindowBounds PlaceOnScreen(TWindowBounds B, int ScreenWidth, int ScreenHeight)
{
    B.Width = StoredExtent(B.Width, 640, ScreenWidth);
    B.Height = StoredExtent(B.Height, 480, ScreenHeight);
    if (ScreenWidth <= 0 || ScreenHeight <= 0)
        return B;
    // Compared without adding to a stored number that may be near the
    // integer's end.
    const bool Off = B.Left >= ScreenWidth || B.Top >= ScreenHeight || B.Left <= -B.Width || B.Top < 0;
    if (Off) {
        B.Left = std::clamp(B.Left, 0, ScreenWidth - B.Width);
        B.Top = std::clamp(B.Top, 0, ScreenHeight - B.Height);
    }
    return B;
}

}  // namespace

void TMainForm::actnInitFromIniExecute(TObject* Sender)
{
    FIniFile = std::make_unique<TIniFile>(FIniFileName);
    TIniFile& Ini = *FIniFile;

    // Sized once, and only after the stored numbers were put right.
    TWindowBounds Stored;
    Stored.Height = Ini.ReadInteger(WindowSection, "Height", 480);
    Stored.Width = Ini.ReadInteger(WindowSection, "Width", 640);
    Stored.Top = Ini.ReadInteger(WindowSection, "Top", 10);
    Stored.Left = Ini.ReadInteger(WindowSection, "Left", 10);
    const TWindowBounds B = PlaceOnScreen(Stored, Screen->Width(), Screen->Height());
    SetBounds(B.Left, B.Top, B.Width, B.Height);
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

    // A pseudo-terminal is never the user's port: one found in the file
    // (written by hand, or by an older version) belongs to whatever program
    // has that number now, and is not opened.
    int32_t Comm = FPortOverride;
    if (Comm == 0) {
        Comm = Ini.ReadInteger(CommSection, "Comm", 0);
        if (IsPseudoTerminalPort(Comm))
            Comm = 0;
    }
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
    // The keys replace the file once, together.
    Ini.BeginUpdate();
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
    Ini.EndUpdate();
    FIniFile.reset();
}
