// The "Printing progress" window: how far a report has been built or
// printed, with a Cancel button. The printer it reports on posts it
// CM_RPPROGRESSUPDATE; the window shows the printer's progress at every
// multiple of 5 percent and lets pending messages run, so a click on Cancel
// is handled during a long run.
#pragma once

#include "platform/ComCtrls.h"
#include "platform/Forms.h"
#include "platform/Messages.h"
#include "platform/StdCtrls.h"
#include "report/RpPrntr.h"

class TRpProgressForm : public TForm, public TMessageTarget, public IRpPrinterClient {
public:
    explicit TRpProgressForm(TComponent* AOwner);

    // The printer reported on (not owned).
    TRpPrinter* RpPrinter() const { return FRpPrinter; }
    void SetRpPrinter(TRpPrinter* Value) { FRpPrinter = Value; }

    TLabel* Info;
    TButton* CancelButton;
    TProgressBar* Gauge;

    void CMRPPROGRESSUPDATE(TMessage& Message);
    void CancelButtonClick(TObject* Sender);
    void WndProc(TMessage& Message) override;
    void RpPrinterFreed(TRpPrinter* Printer) override;

private:
    TRpPrinter* FRpPrinter = nullptr;
};
