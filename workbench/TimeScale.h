// The "Time" dialog: the time span of the monitor plots, 10 to 1200 s.
#pragma once

#include "platform/Forms.h"

class TButton;
class TIcNumSpin;
class TLabel;

class TdlgTimeScale : public TForm {
public:
    explicit TdlgTimeScale(TComponent* Owner);

    // Shows Seconds (held to 10-1200); true when closed with OK, Seconds()
    // then holds the span chosen (else the value passed).
    bool Execute(float Seconds);
    float Seconds() const { return FSeconds; }

private:
    float FSeconds = 0;

    TLabel* Label1;
    TIcNumSpin* eTime;
    TButton* btnOK;
    TButton* btnCancel;
};

extern TdlgTimeScale* dlgTimeScale;
