// Recording: the analyzer's stream written into a data file while the user
// watches it, with a header from the "Record File" dialog, annotations, time
// marks and timed breaks.
//
// A recording never loses an acknowledged frame: the link hands each frame
// to RecordMessage before it sends the ACK, and the record is written at
// once with one write (no buffer of ours), also while the Annotate dialog
// is open. The file is "<name>.zrp.<random>.part" until Close File renames
// it onto its name, so a file of that name stays whole until the new one is
// complete, and a killed program leaves every record in the ".part" file.
//
// An annotation's records ('!', 'T' with the time the dialog opened, 'H')
// follow the frames that arrived while it was typed.
#include "workbench/Main.h"

#include "platform/Application.h"
#include "platform/ComCtrls.h"
#include "platform/Controlbuilder.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/LookOut.h"
#include "platform/ScopeGuard.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"
#include "workbench/AnnotateDialog.h"
#include "workbench/RecordDialog.h"
#include "workbench/TimedBreakDialog.h"

#include <cmath>

namespace {

// A timed interval that means breaks: a positive number (the settings file
// may hold anything).
bool HasTimedBreaks(TDateTime Interval)
{
    return std::isfinite(Interval) && Interval > 0;
}

}  // namespace

void TMainForm::CreateRecordingComponents()
{
    NewAction(actnAnnotate, "actnAnnotate", "Annotate", &TMainForm::actnAnnotateExecute);
    NewAction(actnMarkTime, "actnMarkTime", "Time", &TMainForm::actnMarkTimeExecute);
    const std::pair<TAction*, void (TMainForm::*)(TObject*)> Handlers[] = {
        {actnSaveFile, &TMainForm::actnSaveFileExecute},
        {actnTimedBreaks, &TMainForm::actnTimedBreaksExecute},
        {actnCloseFile, &TMainForm::actnCloseFileExecute},
    };
    for (const auto& Entry : Handlers) {
        const auto Handler = Entry.second;   // clang 14 cannot capture a structured binding
        Entry.first->OnExecute = [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
        Entry.first->SetEnabled(true);
    }
    actnCloseFile->SetEnabled(false);

    // The record button heads the side bar's "File Controls" page; the two
    // event buttons sit in its "Events" group above the event lines.
    auto* RecordButtons = NewControl<TPanel>(this, lopFileControls, "pnlRecordButtons");
    RecordButtons->SetAlign(alTop);
    RecordButtons->SetHeight(33);
    RecordButtons->SetBevelOuter(bvNone);
    btnRecord = NewControl<TButton>(this, RecordButtons, "btnRecord", "", 4, 4, 80, 25);
    btnRecord->SetAction(actnSaveFile);
    btnRecord->SetCaption("Record");
    auto* EventButtons = NewControl<TPanel>(this, gbComments, "pnlEventButtons");
    EventButtons->SetAlign(alTop);
    EventButtons->SetHeight(31);
    EventButtons->SetBevelOuter(bvNone);
    gbComments->SetHeight(gbComments->Height() + EventButtons->Height());
    btnAnnotate = NewControl<TButton>(this, EventButtons, "btnAnnotate", "", 4, 3, 72, 25);
    btnAnnotate->SetAction(actnAnnotate);
    btnMarkTime = NewControl<TButton>(this, EventButtons, "btnMarkTime", "", 80, 3, 72, 25);
    btnMarkTime->SetAction(actnMarkTime);

    tmrRecordReport = new TTimer(this);
    tmrRecordReport->SetName("tmrRecordReport");
    tmrRecordReport->SetEnabled(false);
    tmrRecordReport->SetInterval(20);
    tmrRecordReport->OnTimer = [this](TObject* Sender) { tmrRecordReportTimer(Sender); };
}

// ------------------------------------------------------------ the stream

void TMainForm::RecordMessage(int RecordType, uint8_t Length, const uint8_t* Frame)
{
    CheckTimedBreak(false);
    if (FRecordFile && !FRecordSuspended)
        RecordWrite(MakeDataRecord(static_cast<uint8_t>(RecordType), Length, Frame, 0));
}

void TMainForm::RecordWrite(const TDataFileRecord& Record)
{
    if (!FRecordFile)
        return;
    if (!FRecordFile->Write(Record))
        CheckRecordFile();
}

void TMainForm::WriteTimeMark(const std::string& TimeText)
{
    RecordWrite(MakeMarkerRecord(0));
    RecordWrite(MakeTextRecord(drtTimeStamp, TimeText, 0));
}

void TMainForm::CheckTimedBreak(bool Reschedule)
{
    if (Reschedule) {
        FNextTimedBreak = Now() + FTimedInterval;
        return;
    }
    if (!HasTimedBreaks(FTimedInterval) || !FRecordFile || Now() < FNextTimedBreak)
        return;
    const std::string TimeText = TimeToStr(Now());
    const TValueRollback<bool> Suspended(FRecordSuspended, true);
    WriteTimeMark(TimeText);
    CheckTimedBreak(true);
}

// ------------------------------------------------------------ failures

void TMainForm::CheckRecordFile()
{
    if (FRecordFile && FRecordFile->Failed())
        RecordFailed(FRecordFile->Close());
}

void TMainForm::RecordFailed(TRecordCloseResult Result)
{
    const std::string Reason = FRecordFile->ErrorText();
    std::string Where;
    switch (Result) {
    case TRecordCloseResult::rcSaved:
        return;
    case TRecordCloseResult::rcCutShort:
        Where = "The data recorded until then is in \"" + FRecordFile->SavedName() + "\".";
        break;
    case TRecordCloseResult::rcKeptAsPart:
        Where = "The data recorded until then is in \"" + FRecordFile->SavedName() + "\"; \"" +
                FRecordFile->FileName() + "\" was left as it was.";
        break;
    case TRecordCloseResult::rcFailed:
        Where = "The data recorded is in \"" + FRecordFile->SavedName() + "\".";
        break;
    }
    FRecordFile.reset();
    FRecordSuspended = true;
    FRecordReport = "The recording has stopped.\n" + Reason + "\n" + Where;
    // Told once, and never from inside the receive path.
    tmrRecordReport->SetEnabled(true);
}

void TMainForm::tmrRecordReportTimer(TObject* Sender)
{
    if (FReceiveDepth > 0)
        return;   // next tick
    tmrRecordReport->SetEnabled(false);
    const std::string Text = std::move(FRecordReport);
    FRecordReport.clear();
    if (!Text.empty())
        MessageDlg(Text, mtError, TMsgDlgButtons{mbOK});
}

void TMainForm::CloseRecordFile()
{
    if (!FRecordFile)
        return;
    const TRecordCloseResult Result = FRecordFile->Close();
    if (Result == TRecordCloseResult::rcSaved)
        FRecordFile.reset();
    else
        RecordFailed(Result);
    FRecordSuspended = true;
}

// ------------------------------------------------------------ actions

void TMainForm::actnSaveFileExecute(TObject* Sender)
{
    if (FRecordFile &&
        MessageDlg("File already recording, close this file?", mtInformation, TMsgDlgButtons{mbOK, mbCancel}) != mrOk)
        return;
    // Run whether or not a file is open (the action is enabled only then).
    actnCloseFileExecute(Sender);

    dlgFileSave->SetFilter("VIDuri Files|*.zrp|All Files|*.*");
    dlgFileSave->SetDefaultExt("zrp");
    dlgFileSave->SetInitialDir(FSignalsDir);
    TOpenOptions Options = dlgFileSave->Options();
    Options << ofOverwritePrompt;
    dlgFileSave->SetOptions(Options);
    if (!dlgFileSave->Execute())
        return;
    FRecordSuspended = true;
    const std::string Chosen = dlgFileSave->FileName();
    const std::string FileName = ChangeFileExt(Chosen, ".zrp");
    // The dialog asked about the name chosen; the name written may differ.
    if (FileName != Chosen && FileExists(FileName) &&
        MessageDlg(ExtractFileName(FileName) + " already exists.\nDo you want to replace it?", mtWarning,
                   mbYesNo) != mrYes)
        return;

    std::string Error;
    std::unique_ptr<TRecordFile> File = TRecordFile::Create(FileName, Error);
    if (!File) {
        MessageDlg("The data file \"" + FileName + "\" could not be created.\n" + Error, mtError,
                   TMsgDlgButtons{mbOK});
        return;
    }

    dlgRecord->Execute();   // the recording goes on however it was closed
    if (Application->Terminated()) {
        // The program is ending: nothing was recorded yet.
        File->Close();
        DeleteFile(FileName);
        return;
    }

    FDataFileName = FileName;
    StatusBar->Panels()->Items(0)->SetText(FDataFileName);
    FRecordFile = std::move(File);

    WriteMarkerRecord(0, FRecordFile.get());
    WriteTextRecord(drtTimeStamp, dlgRecord->TimeText(), 0, FRecordFile.get());
    WriteTextRecord(drtSubject, "Subject:       " + dlgRecord->Subject(), 0, FRecordFile.get());
    WriteTextRecord(drtInvestigator, "Investigator:  " + dlgRecord->Investigator(), 0, FRecordFile.get());
    WriteFieldsRecord(drtNotes, dlgRecord->Notes(0), dlgRecord->Notes(1), dlgRecord->Notes(2), dlgRecord->Notes(3),
                      0, FRecordFile.get());
    CheckRecordFile();
    if (!FRecordFile)
        return;

    FRecordSuspended = false;
    CheckTimedBreak(true);
    actnCloseFile->SetEnabled(true);
}

void TMainForm::actnAnnotateExecute(TObject* Sender)
{
    if (!FRecordFile)
        return;
    // Frames that arrive while the note is typed are written as they come
    // (each is acknowledged); the note follows them.
    if (dlgAnnotate->Execute() && FRecordFile) {
        WriteMarkerRecord(0, FRecordFile.get());
        WriteTextRecord(drtTimeStamp, dlgAnnotate->TimeText(), 0, FRecordFile.get());
        WriteFieldsRecord(drtNotes, dlgAnnotate->Notes(0), dlgAnnotate->Notes(1), dlgAnnotate->Notes(2),
                          dlgAnnotate->Notes(3), 0, FRecordFile.get());
        CheckRecordFile();
    }
}

void TMainForm::actnMarkTimeExecute(TObject* Sender)
{
    if (!FRecordFile)
        return;
    const std::string TimeText = TimeToStr(Now());
    {
        const TValueRollback<bool> Suspended(FRecordSuspended, true);
        WriteTimeMark(TimeText);
    }
    MessageDlg("The time marked was " + TimeText, mtInformation, TMsgDlgButtons{mbOK});
}

void TMainForm::actnTimedBreaksExecute(TObject* Sender)
{
    TDateTime Interval = HasTimedBreaks(FTimedInterval) ? FTimedInterval : 0;
    if (dlgTimedBreaks->Execute(Interval)) {
        FTimedInterval = Interval;
        CheckTimedBreak(true);
    }
}

void TMainForm::actnCloseFileExecute(TObject* Sender)
{
    tmrPlayback->SetEnabled(false);
    FDataFileName = "";
    StatusBar->Panels()->Items(0)->SetText("");
    actnClearEvents->Execute();
    actnClearFileInfo->Execute();
    ClosePlaybackFile();
    CloseRecordFile();
    actnResetEveryting->Execute();
    actnCloseFile->SetEnabled(false);
    GiveOutputBack();
}
