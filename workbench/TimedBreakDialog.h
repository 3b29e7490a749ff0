// The "Timing" dialog: how often a recording gets an automatic break (a
// marker and the time of day).
#pragma once

#include "platform/Forms.h"
#include "platform/SysUtils.h"

class TButton;
class TComboBox;
class TLabel;

class TdlgTimedBreaks : public TForm {
public:
    explicit TdlgTimedBreaks(TComponent* Owner);
    // Interval in days, 0 meaning no timed breaks: selects its row and runs
    // the dialog; on OK Interval takes the chosen one (0 for "None"). True
    // when closed with OK.
    bool Execute(TDateTime& Interval);

private:
    TLabel* Label1;
    TComboBox* cbIntervalSelect;
    TButton* btnOK;
    TButton* btnCancel;
};

extern TdlgTimedBreaks* dlgTimedBreaks;
