#include "workbench/PlotScale.h"

#include "platform/Controlbuilder.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "widgets/IcNumEdit.h"

TdlgPlotScale* dlgPlotScale = nullptr;

namespace {

constexpr int RangeHeight = 84;
constexpr int ButtonsHeight = 40;

TPanel* Strip(TComponent* Owner, TWinControl* Parent, const std::string& Name, TAlign Align, int Height)
{
    auto* P = NewControl<TPanel>(Owner, Parent, Name);
    P->SetCaption("");
    P->SetBevelOuter(bvNone);
    P->SetHeight(Height);
    P->SetAlign(Align);
    return P;
}

TIcNumSpin* RangeSpin(TComponent* Owner, TWinControl* Parent, const std::string& Name, const std::string& Caption,
                      int Top)
{
    NewControl<TLabel>(Owner, Parent, "", Caption, 12, Top + 4);
    auto* Spin = NewControl<TIcNumSpin>(Owner, Parent, Name, "", 120, Top, 90);
    Spin->SetFormatStr("#0.#");
    Spin->SetIncrement(1);
    return Spin;
}

}  // namespace

TdlgPlotScale::TdlgPlotScale(TComponent* Owner) : TForm(Owner)
{
    SetName("dlgPlotScale");
    SetCaption("Rescale");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(240);
    SetClientHeight(2 * RangeHeight + ButtonsHeight);

    pnlButtons = Strip(this, this, "pnlButtons", alBottom, ButtonsHeight);
    pnlYRange = Strip(this, this, "pnlYRange", alTop, RangeHeight);
    pnlXRange = Strip(this, this, "pnlXRange", alClient, RangeHeight);

    gbYRange = NewControl<TGroupBox>(this, pnlYRange, "gbYRange", "", 8, 4, 224, RangeHeight - 8);
    eYMax = RangeSpin(this, gbYRange, "eYMax", "Y Range High:", 20);
    eYMin = RangeSpin(this, gbYRange, "eYMin", "Y Range Low:", 46);
    gbXRange = NewControl<TGroupBox>(this, pnlXRange, "gbXRange", "", 8, 4, 224, RangeHeight - 8);
    eXMax = RangeSpin(this, gbXRange, "eXMax", "X Range High:", 20);
    eXMin = RangeSpin(this, gbXRange, "eXMin", "X Range Low:", 46);

    btnOK = NewControl<TButton>(this, pnlButtons, "btnOK", "OK", 36, 8, 75, 25);
    btnOK->SetModalResult(mrOk);
    btnOK->SetDefault(true);
    btnCancel = NewControl<TButton>(this, pnlButtons, "btnCancel", "Cancel", 128, 8, 75, 25);
    btnCancel->SetModalResult(mrCancel);
    btnCancel->SetCancel(true);

    DoCreate();
}

bool TdlgPlotScale::Execute(bool YOnly, const std::string& YCaption, const std::string& XCaption)
{
    gbYRange->SetCaption(YCaption);
    gbXRange->SetCaption(XCaption);
    eYMax->SetValue(FScale.YUpper);
    eYMin->SetValue(FScale.YLower);
    eXMax->SetValue(FScale.XUpper);
    eXMin->SetValue(FScale.XLower);
    pnlXRange->SetVisible(!YOnly);
    SetClientHeight(RangeHeight + ButtonsHeight + (YOnly ? 0 : RangeHeight));
    if (ShowModal() != mrOk)
        return false;
    IcCommitNumEdits(this);
    FScale.YUpper = static_cast<float>(eYMax->Value());
    FScale.YLower = static_cast<float>(eYMin->Value());
    FScale.XUpper = static_cast<float>(eXMax->Value());
    FScale.XLower = static_cast<float>(eXMin->Value());
    return true;
}
