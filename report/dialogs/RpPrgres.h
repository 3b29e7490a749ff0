// The "Printing progress" window: how far a report has been built or
// printed, with a Cancel button. It is the progress listener a report (or
// the preview's print command) hands its printer: it shows while the print
// runs, shows the progress at every multiple of 5 percent and lets pending
// messages run, so a click on Cancel is handled during a long run.
#pragma once

#include "platform/ComCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "report/RpProgressListener.h"

class TRpProgressForm : public TForm, public TRpProgressListener {
public:
    explicit TRpProgressForm(TComponent* AOwner);

    // The printer reported on while its print runs (not owned).
    TRpPrinter* RpPrinter() const { return FRpPrinter; }

    // Shows the window for Printer's print.
    void PrintStarted(TRpPrinter* Printer) override;
    void ShowProgress(int32_t Percent) override;
    // Hides the window and lets go of the printer.
    void PrintEnded() override;

private:
    void CancelButtonClick(TObject* Sender);

    TLabel* Info;
    TButton* CancelButton;
    TProgressBar* Gauge;
    TRpPrinter* FRpPrinter = nullptr;
};
