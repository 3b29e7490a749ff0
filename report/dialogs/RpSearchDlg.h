// The preview's text-search dialog: the text to find in the report pages and
// whether letter case must match. The caller shows it modally and reads
// Cancelled, GetText and GetCase afterwards; closing it by the window's
// close command counts as "Search".
#pragma once

#include "platform/Buttons.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

#include <string>

class TSearchDlg : public TForm {
public:
    explicit TSearchDlg(TComponent* AOwner);

    std::string GetText() const;
    bool GetCase() const;
    // True when the dialog was left with "Cancel".
    bool Cancelled() const { return FCancelled; }

private:
    TLabel* Label1;
    TEdit* Edit1;
    TCheckBox* CheckBox1;
    TSpeedButton* SpeedButton1;
    TSpeedButton* SpeedButton2;

    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);

    bool FCancelled = false;
};

// Declared for callers that keep one; the library never assigns it.
extern TSearchDlg* SearchDlg;
