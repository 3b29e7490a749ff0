// The "Record File" dialog: the header of a new recording (its time, the
// subject, the investigator and up to four lines of notes). It has only an
// OK button; the recording starts however it is closed.
#pragma once

#include "platform/Forms.h"

class TButton;
class TEdit;
class TLabel;
class TMemo;

// The notes memos of the recording dialogs hold at most this many characters.
constexpr int MaxNotesLength = 96;

// Keeps a memo's text within MaxNotesLength characters (its OnChange).
void LimitNotes(TMemo* Memo);
// Line Index of the memo, "" when it has fewer lines.
std::string NotesLine(const TMemo* Memo, int Index);

class TdlgRecord : public TForm {
public:
    explicit TdlgRecord(TComponent* Owner);
    // Clears the fields, shows the time of day and runs the dialog; true
    // when closed with OK.
    bool Execute();

    std::string TimeText() const;
    std::string Subject() const;
    std::string Investigator() const;
    std::string Notes(int Line) const { return NotesLine(eNotes, Line); }

private:
    TLabel* Label1;
    TLabel* lblTime;
    TLabel* Label2;
    TEdit* eSubject;
    TLabel* Label3;
    TEdit* eInvest;
    TLabel* Label4;
    TMemo* eNotes;
    TButton* btnOK;
    void FormShow(TObject* Sender);
};

extern TdlgRecord* dlgRecord;
