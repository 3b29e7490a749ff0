// The "Stack Setup" dialog: how many breaths the stacked test sums (1 to 25).
#pragma once

#include "platform/Forms.h"

#include <cstdint>

class TButton;
class TIcNumSpin;
class TLabel;

class TdlgStackSetup : public TForm {
public:
    explicit TdlgStackSetup(TComponent* Owner);

    // Shows Breaths; true when closed with OK, BreathsToStack then holds the
    // choice (else the value passed).
    bool Execute(int32_t Breaths);
    int32_t BreathsToStack() const { return FBreathsToStack; }

    void btnDefaultClick(TObject* Sender);

private:
    int32_t FBreathsToStack = 0;

    TLabel* Label1;
    TIcNumSpin* eStackTest;
    TButton* btnOK;
    TButton* btnCancel;
    TButton* btnDefault;
};

extern TdlgStackSetup* dlgStackSetup;
