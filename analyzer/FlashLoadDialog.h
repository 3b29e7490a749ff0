// The flash-load dialog: the user picks the firmware's code and text files,
// watches the load (status, progress, NAKs, records, elapsed time) and the
// dialog closes by itself five seconds after the load.
#pragma once

#include "platform/ComCtrls.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "platform/Timer.h"

#include <string>

class TdlgFlashLoad : public TForm {
public:
    explicit TdlgFlashLoad(TComponent* Owner);
    // True when the dialog closed with OK (after a load).
    bool Execute();

    std::string FCodeFile;
    std::string FTextFile;
    TDateTime FStartTime = 0;

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

private:
    // Runs the open dialog; true with Path and Edit filled when a file was chosen.
    bool ChooseFile(std::string& Path, TEdit* Edit);
    void UpdateOkButton();
};

extern TdlgFlashLoad* dlgFlashLoad;
