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
    // Selects the row for FInterval and runs the dialog; on OK FInterval
    // takes the chosen interval (0 for "None"). True when closed with OK.
    bool Execute();

    // The interval in days; 0 means no timed breaks.
    TDateTime FInterval = 0;

private:
    TLabel* Label1;
    TComboBox* cbIntervalSelect;
    TButton* btnOK;
    TButton* btnCancel;
};

extern TdlgTimedBreaks* dlgTimedBreaks;
