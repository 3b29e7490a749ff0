// The About box: program name, software version and the identity of the
// connected device.
#pragma once

#include "platform/Forms.h"

class TButton;
class TLabel;
class TPaintBox;

class TdlgAbout : public TForm {
public:
    explicit TdlgAbout(TComponent* Owner);
    // Fills the version and serial-number lines from the main window and
    // shows the box modally.
    void Execute();

private:
    TPaintBox* ProgramIcon;
    TLabel* ProductName;
    TLabel* WVersion;
    TLabel* FVersion;
    TLabel* lblDevSN;
    TButton* OKButton;

    void ProgramIconPaint(TObject* Sender);
};

extern TdlgAbout* dlgAbout;
