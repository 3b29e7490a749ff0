// The side bar: showing and hiding it, and the File Controls page's two
// read-only panels with the data file's information and event lines.
#include "workbench/Main.h"

#include "platform/Controlbuilder.h"
#include "platform/ExtCtrls.h"
#include "platform/LookOut.h"
#include "platform/StdCtrls.h"

namespace {

TMemo* ReadOnlyMemo(TComponent* Owner, TWinControl* Parent, const std::string& Name)
{
    auto* Memo = NewControl<TMemo>(Owner, Parent, Name);
    Memo->SetAlign(alClient);
    Memo->SetReadOnly(true);
    Memo->SetScrollBars(ssVertical);
    return Memo;
}

// The lines from First to Last, each followed by one blank, as one line.
std::string JoinedLine(const std::string* Lines, int First, int Last)
{
    std::string Out;
    for (int i = First; i <= Last; ++i)
        Out += Lines[i] + " ";
    return Out;
}

}  // namespace

void TMainForm::CreateFileControlsPage()
{
    // The record button and the playback controls stand at the top of the
    // page, the events (their buttons above their two lines) at its
    // bottom; the file information takes the room between, so the page
    // fits the side bar of the smallest window.
    gbComments = NewControl<TGroupBox>(this, lopFileControls, "gbComments", "Events");
    gbComments->SetHeight(64);
    gbComments->SetAlign(alBottom);
    CommentMemo = ReadOnlyMemo(this, gbComments, "CommentMemo");
    gbFileInfo = NewControl<TGroupBox>(this, lopFileControls, "gbFileInfo", "File Information");
    gbFileInfo->SetAlign(alClient);
    pnlFileInfo = ReadOnlyMemo(this, gbFileInfo, "pnlFileInfo");
}

void TMainForm::actnFileControlsExecute(TObject* Sender)
{
    actnFileControls->SetChecked(!actnFileControls->Checked());
    pnlSideBar->SetVisible(actnFileControls->Checked());
    LookOutBar->SetActivePage(lopFileControls);
    actnResizePlots->Execute();
}

void TMainForm::actnFileControlsUpdate(TObject* Sender)
{
    // The check mark follows the side bar however it was shown.
    actnFileControls->SetChecked(pnlSideBar->Visible());
}

void TMainForm::actnClearFileInfoExecute(TObject* Sender)
{
    for (int i = 0; i < 8; ++i)
        FFileInfo[i].clear();
    actnUpdateFileInfo->Execute();
}

void TMainForm::actnUpdateFileInfoExecute(TObject* Sender)
{
    TStrings* Lines = pnlFileInfo->Lines();
    Lines->BeginUpdate();
    Lines->Clear();
    for (int i = 0; i < 4; ++i)
        Lines->Add(FFileInfo[i]);
    Lines->Add(JoinedLine(FFileInfo, 4, 7));
    Lines->EndUpdate();
}

void TMainForm::actnClearEventsExecute(TObject* Sender)
{
    for (std::string& Line : FEvents)
        Line.clear();
    actnUpdateEvents->Execute();
}

void TMainForm::actnUpdateEventsExecute(TObject* Sender)
{
    TStrings* Lines = CommentMemo->Lines();
    Lines->BeginUpdate();
    Lines->Clear();
    Lines->Add(FEvents[0]);
    Lines->Add(JoinedLine(FEvents, 1, 4));
    Lines->EndUpdate();
}
