#include "workbench/TimedBreakDialog.h"

#include "platform/Controlbuilder.h"
#include "platform/StdCtrls.h"

#include <cmath>

TdlgTimedBreaks* dlgTimedBreaks = nullptr;

namespace {

// The rows after "None", in seconds.
constexpr double RowSeconds[4] = {30, 60, 300, 600};

}  // namespace

TdlgTimedBreaks::TdlgTimedBreaks(TComponent* Owner) : TForm(Owner)
{
    SetName("dlgTimedBreaks");
    SetCaption("Timing");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(250);
    SetClientHeight(110);

    Label1 = NewControl<TLabel>(this, this, "Label1", "Automatically insert a break every:", 12, 12);
    cbIntervalSelect = NewControl<TComboBox>(this, this, "cbIntervalSelect", "", 12, 36, 226, 22);
    cbIntervalSelect->SetStyle(csDropDownList);
    for (const char* Row : {"None", "30 Seconds", "1 Minute", "5 Minutes", "10 Minutes"})
        cbIntervalSelect->Items()->Add(Row);
    cbIntervalSelect->SetItemIndex(0);
    btnOK = NewControl<TButton>(this, this, "btnOK", "OK", 38, 74, 75, 25);
    btnOK->SetDefault(true);
    btnOK->SetModalResult(mrOk);
    btnCancel = NewControl<TButton>(this, this, "btnCancel", "Cancel", 136, 74, 75, 25);
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);
    DoCreate();
}

bool TdlgTimedBreaks::Execute(TDateTime& Interval)
{
    // Whole seconds, so an interval read back from text selects its row.
    const double Seconds = std::round(Interval * SecsPerDay);
    int Row = 0;
    if (Seconds > 0)
        for (int i = 0; i < 4 && Row == 0; ++i)
            if (Seconds <= RowSeconds[i])
                Row = i + 1;
    cbIntervalSelect->SetItemIndex(Row);
    if (ShowModal() != mrOk)
        return false;
    const int Chosen = cbIntervalSelect->ItemIndex();
    Interval = Chosen >= 1 && Chosen <= 4 ? RowSeconds[Chosen - 1] / SecsPerDay : 0;
    return true;
}
