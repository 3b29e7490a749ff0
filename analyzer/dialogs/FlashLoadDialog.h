// The flash-load dialog: the user picks the firmware's code and text files,
// watches the load (status, progress, NAKs, records, elapsed time) and the
// dialog closes by itself five seconds after the load.
#pragma once

#include "analyzer/Mainformlink.h"
#include "platform/ComCtrls.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "platform/Timer.h"

#include <string>

class TZEBBSerialProtocol;

class TdlgFlashLoad : public TForm, private TFlashLoadMonitor {
public:
    // Link: the protocol object that loads the firmware (may be null: OK
    // then loads nothing).
    TdlgFlashLoad(TComponent* Owner, TZEBBSerialProtocol* Link);
    // True when the dialog closed with OK (after a load).
    bool Execute();

    // The files chosen.
    const std::string& CodeFile() const { return FCodeFile; }
    const std::string& TextFile() const { return FTextFile; }

private:
    TNotebook* Notebook;
    TEdit* eCodeFile;
    TEdit* eTextFile;
    TButton* btnCodeFile;
    TButton* btnTextFile;
    TLabel* Label2;
    TProgressBar* LoadingBar;
    TLabel* lblNacks;
    TLabel* lblLines;
    TLabel* lblSendTime;
    TButton* btnOk;
    TButton* btnCancel;
    TTimer* tmrElapseTime;
    TTimer* tmrDone;
    TOpenDialog* dlgOpenFlash;

    void btnCodeFileClick(TObject* Sender);
    void btnTextFileClick(TObject* Sender);
    void btnOkClick(TObject* Sender);
    void tmrElapseTimeTimer(TObject* Sender);
    void tmrDoneTimer(TObject* Sender);

    // Runs the open dialog; true with Path and Edit filled when a file was chosen.
    bool ChooseFile(std::string& Path, TEdit* Edit);
    void UpdateOkButton();

    // What the load tells, shown on the status page.
    void ShowStatus(const std::string& Status) override;
    void ShowProgress(int Position, int Max) override;
    void ShowCounts(int32_t Naks, int32_t Acked, int32_t Sent) override;
    void LoadFailed(const std::string& Message) override;

    TZEBBSerialProtocol* FLink;
    std::string FCodeFile;
    std::string FTextFile;
    TDateTime FStartTime = 0;
};

extern TdlgFlashLoad* dlgFlashLoad;
