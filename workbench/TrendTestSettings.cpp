#include "workbench/TrendTestSettings.h"

#include "analyzer/Units.h"
#include "platform/Controlbuilder.h"
#include "platform/StdCtrls.h"
#include "widgets/IcNumEdit.h"

TdlgTrendTest* dlgTrendTest = nullptr;

namespace {

struct TTrendRow {
    const char* Text;
    int32_t Id;
};

constexpr TTrendRow TrendRows[14] = {
    {"Minute Volume", parMinuteVolume},
    {"Tidal Volume", parTidalVolume2},
    {"Base Flow", parBaseFlow},
    {"PIF", parPeakInspFlow},
    {"PEF", parPeakExpFlow},
    {"PIP", parPIP},
    {"PEEP", parPEEP},
    {"IPP", parInspPausePressure},
    {"MAP", parMeanAirwayPressure},
    {"Breath Rate", parRespiratoryRate},
    {"In. Hold Time", parInspHoldTime},
    {"Ex. Hold Time", parExpHoldTime},
    {"In. Time", parInspTime},
    {"Ex. Time", parExpTime},
};

TIcNumSpin* LimitSpin(TComponent* Owner, TWinControl* Parent, const std::string& Name, int Left, int Top)
{
    auto* Spin = NewControl<TIcNumSpin>(Owner, Parent, Name, "", Left, Top, 90);
    Spin->SetFormatStr("#0.#");
    Spin->SetIncrement(1);
    Spin->SetStartDelay(500);
    Spin->SetInterval(100);
    return Spin;
}

}  // namespace

TdlgTrendTest::TdlgTrendTest(TComponent* Owner) : TForm(Owner)
{
    SetName("dlgTrendTest");
    SetCaption("Trend Test");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(300);
    SetClientHeight(250);

    GroupBox1 = NewControl<TGroupBox>(this, this, "GroupBox1", "Parameter", 8, 8, 284, 80);
    Label1 = NewControl<TLabel>(this, GroupBox1, "Label1", "Test Parameter:", 10, 24);
    cbTrendParam = NewControl<TComboBox>(this, GroupBox1, "cbTrendParam", "", 120, 20, 150);
    cbTrendParam->SetStyle(csDropDownList);
    cbTrendParam->SetDropDownCount(14);
    for (const TTrendRow& Row : TrendRows)
        cbTrendParam->Items()->Add(Row.Text);
    Label2 = NewControl<TLabel>(this, GroupBox1, "Label2", "Current Value:", 10, 52);
    eCurrentValue = NewControl<TLabel>(this, GroupBox1, "eCurrentValue", "-----", 120, 50, 150, 18);
    eCurrentValue->SetAutoSize(false);
    eCurrentValue->SetAlignment(taCenter);
    eCurrentValue->Font()->SetStyle(TFontStyles{fsBold});

    GroupBox2 = NewControl<TGroupBox>(this, this, "GroupBox2", "Limits", 8, 96, 284, 110);
    Label3 = NewControl<TLabel>(this, GroupBox2, "Label3", "Percent Limit:", 10, 24);
    ePercent = LimitSpin(this, GroupBox2, "ePercent", 120, 20);
    ePercent->SetMinValue(0);
    ePercent->SetMaxValue(100);
    ePercent->SetOptions({eoLimitMin, eoLimitMax});
    ePercent->SetValue(5);
    Label4 = NewControl<TLabel>(this, GroupBox2, "Label4", "%", 216, 24);
    Label5 = NewControl<TLabel>(this, GroupBox2, "Label5", "Minimum:", 10, 54);
    eMin = LimitSpin(this, GroupBox2, "eMin", 120, 50);
    Label6 = NewControl<TLabel>(this, GroupBox2, "Label6", "Maximum:", 10, 84);
    eMax = LimitSpin(this, GroupBox2, "eMax", 120, 80);

    btnOK = NewControl<TButton>(this, this, "btnOK", "OK", 55, 216, 80, 25);
    btnOK->SetModalResult(mrOk);
    btnOK->SetDefault(true);
    btnCancel = NewControl<TButton>(this, this, "btnCancel", "Cancel", 165, 216, 80, 25);
    btnCancel->SetModalResult(mrCancel);
    btnCancel->SetCancel(true);

    cbTrendParam->SetItemIndex(1);
    eMin->OnValueChanged = [this](TObject* Sender) { eMinValueChanged(Sender); };
    eMax->OnValueChanged = [this](TObject* Sender) { eMaxValueChanged(Sender); };
    ePercent->OnValueChanged = [this](TObject* Sender) { ePercentValueChanged(Sender); };
    cbTrendParam->OnChange = [this](TObject* Sender) { cbTrendParamChange(Sender); };

    DoCreate();
}

bool TdlgTrendTest::Execute(int32_t ParamId, TParameterStruct Params)
{
    FMinEdited = false;
    FMaxEdited = false;
    FParams = Params;
    cbTrendParam->SetItemIndex(ParamToComboIndex(ParamId));
    UpdateDisplay(FParams);
    if (ShowModal() != mrOk)
        return false;
    IcCommitNumEdits(this);
    FParamId = ComboIndexToParam(cbTrendParam->ItemIndex());
    FMinLimit = static_cast<float>(eMin->Value());
    FMaxLimit = static_cast<float>(eMax->Value());
    return true;
}

void TdlgTrendTest::UpdateDisplay(TParameterStruct Params)
{
    FParams = Params;
    const int32_t Id = ComboIndexToParam(cbTrendParam->ItemIndex());
    const float v = Params.GetValue(Id);
    eCurrentValue->SetCaption(Params.ValueText(Id, true));

    const std::string Pattern = NumberFormat(TParameterStruct::GetDecimals(Id));
    const std::string LimitFormat = Pattern == "0" ? std::string("##0") : "##" + Pattern + "#";
    {
        // A new format rewrites the texts; that is no edit of the user's.
        const bool MinEdited = FMinEdited;
        const bool MaxEdited = FMaxEdited;
        eMin->SetFormatStr(LimitFormat);
        eMax->SetFormatStr(LimitFormat);
        FMinEdited = MinEdited;
        FMaxEdited = MaxEdited;
    }

    // Without a value there is nothing to propose from: the limits stay.
    if (v == NoValue)
        return;
    const float Percent = static_cast<float>(ePercent->Value());
    if (!FMinEdited) {
        eMin->SetValue(ApplyPercent(v, -Percent));
        FMinEdited = false;
    }
    if (!FMaxEdited) {
        eMax->SetValue(ApplyPercent(v, Percent));
        FMaxEdited = false;
    }
}

int TdlgTrendTest::ParamToComboIndex(int32_t Id)
{
    if (Id == parMinuteVolume)
        return 0;
    if (Id >= parBaseFlow && Id <= parExpTime)
        return Id - 1;
    return 1;
}

int32_t TdlgTrendTest::ComboIndexToParam(int Row)
{
    if (Row < 0 || Row >= 14)
        return parTidalVolume2;
    return TrendRows[Row].Id;
}

float TdlgTrendTest::ApplyPercent(float a, float p)
{
    return a + a * p * 0.01f;
}

void TdlgTrendTest::eMinValueChanged(TObject* Sender)
{
    FMinEdited = true;
}

void TdlgTrendTest::eMaxValueChanged(TObject* Sender)
{
    FMaxEdited = true;
}

void TdlgTrendTest::ePercentValueChanged(TObject* Sender)
{
    FMinEdited = false;
    FMaxEdited = false;
    if (Visible())
        UpdateDisplay(FParams);
}

void TdlgTrendTest::cbTrendParamChange(TObject* Sender)
{
    FMinEdited = false;
    FMaxEdited = false;
    if (Visible())
        UpdateDisplay(FParams);
}
