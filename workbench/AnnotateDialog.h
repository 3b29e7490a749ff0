// The "Annotate" dialog: a note of up to four lines put into a recording,
// stamped with the time the dialog opened. The notes stay from one
// annotation to the next.
#pragma once

#include "platform/Forms.h"

class TButton;
class TLabel;
class TMemo;

class TdlgAnnotate : public TForm {
public:
    explicit TdlgAnnotate(TComponent* Owner);
    // Shows the time of day and runs the dialog; true when closed with OK.
    bool Execute();

    std::string TimeText() const;
    std::string Notes(int Line) const;

private:
    TLabel* lblTime;
    TMemo* eNotes;
    TButton* btnOK;
    TButton* btnCancel;
    void FormShow(TObject* Sender);
};

extern TdlgAnnotate* dlgAnnotate;
