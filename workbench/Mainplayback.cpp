// Playback: a data file replayed through the paths the live stream takes,
// paced by tmrPlayback at most 10 records a tick, with the transport
// controls and the speed bar of the side bar's "File Controls" page; and
// the text export of a data file into a signal or parameter table.
#include "workbench/Main.h"

#include "analyzer/Serialfunctions.h"
#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/Controlbuilder.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/ImgList.h"
#include "platform/LookOut.h"
#include "platform/ScopeGuard.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"

#include <algorithm>

namespace {

constexpr int RecordsPerTick = 10;
constexpr const char* DataFileFilter = "VIDuri Files|*.zrp; *.zrm|All Files|*.*";

// The timer interval of a speed bar position: 390 - 20 * position ms for 1
// to 19, 1 ms for 20.
unsigned PlaybackInterval(int Position)
{
    return Position >= 20 ? 1u : static_cast<unsigned>(390 - 20 * std::clamp(Position, 1, 19));
}

}  // namespace

// The window as a played record sees it.
class TMainForm::TPlaybackDispatch : public TPlaybackLink {
public:
    explicit TPlaybackDispatch(TMainForm& Form) : F(Form) {}
    void SetEventLine(int Line, const std::string& Text) override { F.FEvents[Line] = Text; }
    void SetFileInfoLine(int Line, const std::string& Text) override { F.FFileInfo[Line] = Text; }
    void UpdateEvents() override { F.actnUpdateEvents->Execute(); }
    void UpdateFileInfo() override { F.actnUpdateFileInfo->Execute(); }
    bool PlaybackStarted() const override { return F.FPlaybackStarted; }
    TDeviceKind PlaybackDeviceKind() const override { return F.FDeviceKind; }
    void SetPlaybackDeviceKind(TDeviceKind Kind) override { F.FDeviceKind = Kind; }
    void PlayWaveformSample(const TWaveformSample& Sample) override { F.NewWaveformSample(Sample); }
    void PlayParameters(const TParameterStruct& Params) override { F.NewParameters(Params); }
    void PlayBenchStatus(const uint8_t* Frame) override { F.FProtocol->DecodeBenchStatus(Frame); }
    void PlayHandheldStatus(const uint8_t* Frame) override { F.FProtocol->DecodeHandheldStatus(Frame); }

private:
    TMainForm& F;
};

void TMainForm::CreatePlaybackComponents()
{
    const std::pair<TAction*, void (TMainForm::*)(TObject*)> Handlers[] = {
        {actnOpenFile, &TMainForm::actnOpenFileExecute},
        {actnExtractSignalFile, &TMainForm::actnExtractSignalFileExecute},
        {actnExtractParameterFile, &TMainForm::actnExtractParameterFileExecute},
        {actnUpdateLoopBack, &TMainForm::actnUpdateLoopBackExecute},
    };
    for (const auto& Entry : Handlers) {
        const auto Handler = Entry.second;
        Entry.first->OnExecute = [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
        Entry.first->SetEnabled(true);
    }
    struct {
        TAction*& Field;
        const char* Name;
        const char* Hint;   // also the caption, which the picture stands for
        int ImageIndex;
        void (TMainForm::*Handler)(TObject*);
    } const Transport[] = {
        {actnPlay, "actnPlay", "Play", 13, &TMainForm::actnPlayExecute},
        {actnPause, "actnPause", "Pause", 14, &TMainForm::actnPauseExecute},
        {actnStop, "actnStop", "Stop", 15, &TMainForm::actnStopExecute},
        {actnAllBackward, "actnAllBackward", "Start", 16, &TMainForm::actnAllBackwardExecute},
        {actnSkipBack, "actnSkipBack", "Rewind", 17, &TMainForm::actnSkipBackExecute},
        {actnSkipFwd, "actnSkipFwd", "Fast Forward", 18, &TMainForm::actnSkipFwdExecute},
        {actnAllForward, "actnAllForward", "End", 19, &TMainForm::actnAllForwardExecute},
    };
    for (const auto& T : Transport) {
        TAction* A = NewAction(T.Field, T.Name, T.Hint, T.Handler);
        A->SetHint(T.Hint);
        A->SetImageIndex(T.ImageIndex);
    }

    // "Playback Controls" below the record button: the transport as a row
    // of pictures, then continuous play, the speed bar and the interval.
    gbPlayback = NewControl<TGroupBox>(this, lopFileControls, "gbPlayback", "Playback Controls");
    gbPlayback->SetBounds(0, 10000, 160, 76);   // below what stands at the top
    gbPlayback->SetAlign(alTop);
    tbPlayback = NewControl<TToolBar>(this, gbPlayback, "tbPlayback");
    tbPlayback->SetAlign(alNone);
    tbPlayback->SetImages(ToolImages);
    tbPlayback->SetButtonWidth(20);
    tbPlayback->SetButtonHeight(22);
    tbPlayback->SetBounds(6, 18, 7 * 20 + 2, 24);
    for (const auto& T : Transport) {
        auto* B = NewControl<TToolButton>(this, tbPlayback, std::string("btn") + (T.Name + 4));
        B->SetAction(T.Field);
        B->SetShowHint(true);
    }
    tbPlayback->ArrangeButtons();
    auto LoopButton = [this](TSpeedButton*& Field, const char* Name, const char* Hint) {
        Field = NewControl<TSpeedButton>(this, gbPlayback, Name, "Loop", 6, 46, 40, 22);
        Field->SetHint(Hint);
        Field->SetShowHint(true);
        Field->OnClick = [this](TObject* Sender) { btnLoopPlayBlackClick(Sender); };
    };
    LoopButton(btnLoopPlayBlack, "btnLoopPlayBlack", "Continuous Play Off");
    LoopButton(btnLoopPlayRed, "btnLoopPlayRed", "Continuous Play On");
    btnLoopPlayRed->Font()->SetColor(clRed);
    scrollSpeed = NewControl<TScrollBar>(this, gbPlayback, "scrollSpeed", "", 50, 48, 74, 17);
    scrollSpeed->SetMin(1);
    scrollSpeed->SetMax(20);
    scrollSpeed->SetPosition(10);
    scrollSpeed->SetSmallChange(5);
    scrollSpeed->SetLargeChange(20);
    scrollSpeed->SetHint("Speed Controls");
    scrollSpeed->SetShowHint(true);
    scrollSpeed->OnChange = [this](TObject* Sender) { scrollSpeedChange(Sender); };
    lblSpeed = NewControl<TLabel>(this, gbPlayback, "lblSpeed", "190", 128, 50, 26, 15);
    actnUpdateLoopBack->Execute();

    tmrPlayback->OnTimer = [this](TObject* Sender) { tmrPlaybackTimer(Sender); };
}

// ------------------------------------------------------------ open, close

void TMainForm::actnOpenFileExecute(TObject* Sender)
{
    // Run whether or not a file is open (the action is enabled only then):
    // the live displays are reset before a file is shown.
    actnCloseFileExecute(Sender);
    dlgFileOpen->SetFilter(DataFileFilter);
    dlgFileOpen->SetInitialDir(FSignalsDir);
    TOpenOptions Options = dlgFileOpen->Options();
    Options << ofFileMustExist << ofPathMustExist;
    dlgFileOpen->SetOptions(Options);
    if (!dlgFileOpen->Execute())
        return;
    const std::string FileName = dlgFileOpen->FileName();
    // Live frames must not mix with the replay, nor those that came while
    // the dialog was open.
    if (FConnected) {
        FOutputBeforeFile = actnSerialModeNone;
        for (TAction* A : {actnSerialModeBoth, actnSerialModeWaveform, actnSerialModeParameters})
            if (A->Checked())
                FOutputBeforeFile = A;
        actnSerialModeNone->Execute();
        actnResetEveryting->Execute();
    }
    actnClearEvents->Execute();
    actnClearFileInfo->Execute();
    FDataFileName = FileName;
    StatusBar->Panels()->Items(0)->SetText(FDataFileName);

    if (UpperCase(ExtractFileExt(FileName)) == ".ZRM") {
        ImportHandheldFile(FileName);
    } else {
        std::string Error;
        FPlaybackFile = TDataFileReader::Open(FileName, Error);
        if (!FPlaybackFile) {
            FDataFileName.clear();
            StatusBar->Panels()->Items(0)->SetText("");
            MessageDlg("The data file \"" + FileName + "\" could not be opened.\n" + Error, mtError,
                       TMsgDlgButtons{mbOK});
            GiveOutputBack();
            return;
        }
        FLiveDeviceKind = FDeviceKind;
        FPlaybackPaused = false;
        tmrPlayback->SetEnabled(true);
        FPlaybackStarted = true;
        FFileInfo[0] = ExtractFileName(FileName);
        actnUpdateFileInfo->Execute();
        ShowSideBarPage(lopFileControls);
    }
    actnCloseFile->SetEnabled(true);
}

void TMainForm::GiveOutputBack()
{
    TAction* Mode = FOutputBeforeFile;
    FOutputBeforeFile = nullptr;
    if (Mode && Mode != actnSerialModeNone && FConnected)
        Mode->Execute();
}

void TMainForm::ClosePlaybackFile()
{
    tmrPlayback->SetEnabled(false);
    if (!FPlaybackFile)
        return;
    FPlaybackFile.reset();
    FPlaybackPaused = false;
    // What the file's records said about the device ends with the file.
    FDeviceKind = FLiveDeviceKind;
}

// ------------------------------------------------------------ the timer

void TMainForm::tmrPlaybackTimer(TObject* Sender)
{
    FPlaybackPaused = false;
    for (int Step = 0; Step < RecordsPerTick; ++Step) {
        if (!FPlaybackFile)
            continue;
        if (FPlaybackFile->AtEnd()) {
            if (!FLoopPlayback)
                return;
            RestartPlayback();
            if (FPlaybackFile->AtEnd())
                return;   // nothing to play
        }
        TDataFileRecord Record;
        if (!FPlaybackFile->ReadRecord(Record)) {
            if (!FPlaybackFile->ErrorText().empty()) {
                tmrPlayback->SetEnabled(false);
                MessageDlg("The data file \"" + FPlaybackFile->FileName() + "\" could not be read.\n" +
                               FPlaybackFile->ErrorText(),
                           mtError, TMsgDlgButtons{mbOK});
                return;
            }
            continue;
        }
        PlaybackRecord(Record);
    }
}

void TMainForm::PlaybackRecord(const TDataFileRecord& Record)
{
    TPlaybackDispatch Dispatch(*this);
    PlayDataRecord(Record, Dispatch);
}

void TMainForm::ClearPlaybackPlots()
{
    for (TMonitorPlotInfo& Plot : FMonitorPlots)
        Plot.Clear(true);
    for (TLoopPlotInfo& Loop : FLoopPlots)
        Loop.Clear();
}

void TMainForm::BreakPlaybackPlots()
{
    for (TMonitorPlotInfo& Plot : FMonitorPlots)
        Plot.BreakTrace();
    for (TLoopPlotInfo& Loop : FLoopPlots)
        Loop.BreakTrace();
}

void TMainForm::RestartPlayback()
{
    FPlaybackFile->SeekStart();
    FPlaybackStarted = true;
    actnClearAll->Execute();
    ClearPlaybackPlots();
    actnUpdateFullTest->Execute();
    actnClearEvents->Execute();
}

// ------------------------------------------------------------ transport

void TMainForm::actnPlayExecute(TObject* Sender)
{
    if (!FPlaybackFile) {
        actnOpenFile->Execute();
        return;
    }
    if (FPlaybackPaused) {
        tmrPlayback->SetEnabled(true);
        return;
    }
    tmrPlayback->SetEnabled(true);
    FPlaybackStarted = true;
    actnClearEvents->Execute();
    actnClearFileInfo->Execute();
}

void TMainForm::actnPauseExecute(TObject* Sender)
{
    tmrPlayback->SetEnabled(!tmrPlayback->Enabled());
    FPlaybackPaused = !tmrPlayback->Enabled();
}

void TMainForm::actnStopExecute(TObject* Sender)
{
    tmrPlayback->SetEnabled(false);
    FPlaybackPaused = false;
    if (FPlaybackFile)
        FPlaybackFile->SeekStart();
    FPlaybackStarted = true;
    actnClearEvents->Execute();
    actnClearFileInfo->Execute();
    ClearPlaybackPlots();
}

void TMainForm::actnSkipFwdExecute(TObject* Sender)
{
    if (!FPlaybackFile)
        return;
    FPlaybackFile->SkipForward();
    BreakPlaybackPlots();
}

void TMainForm::actnSkipBackExecute(TObject* Sender)
{
    if (!FPlaybackFile)
        return;
    FPlaybackFile->SkipBack();
    BreakPlaybackPlots();
}

void TMainForm::actnAllForwardExecute(TObject* Sender)
{
    if (!FPlaybackFile)
        return;
    FPlaybackFile->SeekEnd();
    BreakPlaybackPlots();
}

void TMainForm::actnAllBackwardExecute(TObject* Sender)
{
    if (!FPlaybackFile)
        return;
    FPlaybackFile->SeekStart();
    BreakPlaybackPlots();
}

void TMainForm::btnLoopPlayBlackClick(TObject* Sender)
{
    FLoopPlayback = !FLoopPlayback;
    actnUpdateLoopBack->Execute();
}

void TMainForm::actnUpdateLoopBackExecute(TObject* Sender)
{
    btnLoopPlayRed->SetVisible(FLoopPlayback);
    btnLoopPlayBlack->SetVisible(!FLoopPlayback);
}

void TMainForm::scrollSpeedChange(TObject* Sender)
{
    const unsigned Interval = PlaybackInterval(scrollSpeed->Position());
    tmrPlayback->SetInterval(Interval);
    lblSpeed->SetCaption(std::to_string(Interval));
}

// ------------------------------------------------------------ export

void TMainForm::ExtractFile(int Kind, const std::string& Done)
{
    dlgFileOpen->SetFilter(DataFileFilter);
    dlgFileOpen->SetInitialDir(FSignalsDir);
    if (!dlgFileOpen->Execute())
        return;
    // A long export lets messages through: the window takes no command
    // until it is over.
    bool Exported = false;
    {
        const bool WasEnabled = Enabled();
        SetEnabled(false);
        TScopeExit Restore([this, WasEnabled] { SetEnabled(WasEnabled); });
        Exported = ExportDataFile(dlgFileOpen->FileName(), Kind);
    }
    if (Exported)
        MessageDlg(Done, mtInformation, TMsgDlgButtons{mbOK});
}

void TMainForm::actnExtractSignalFileExecute(TObject* Sender)
{
    ExtractFile(ekSignals, "Signal File Extacted.");
}

void TMainForm::actnExtractParameterFileExecute(TObject* Sender)
{
    ExtractFile(ekParameters, "Parameter File Extacted.");
}
