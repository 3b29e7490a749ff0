// The window a long table export shows: how much of the source is done,
// with a Cancel button. It stays up while the export runs and lets pending
// messages through at every step, so the program keeps painting and a
// click on Cancel is seen; each step is also offered to the dialog hook
// (TDialogKind::Progress), whose mrCancel counts as that click.
#pragma once

#include "platform/Forms.h"

#include <cstdint>
#include <string>

class TButton;
class TLabel;
class TProgressBar;

class TdlgExportProgress : public TForm {
public:
    // Shown at once, for the source named.
    TdlgExportProgress(TComponent* Owner, const std::string& SourceName);

    // Done of Total records exported; false once the export is to stop.
    bool Step(int64_t Done, int64_t Total);
    bool Cancelled() const { return FCancelled; }

private:
    void btnCancelClick(TObject* Sender);

    TLabel* lblSource;
    TProgressBar* pbExport;
    TLabel* lblPercent;
    TButton* btnCancel;
    int FPercent = -1;
    bool FCancelled = false;
};
