#include "analyzer/dialogs/CalculatorGasSettings.h"

#include "analyzer/dialogs/Gasdialogcontrols.h"
#include "analyzer/Units.h"
#include "platform/ScopeGuard.h"
#include "platform/ComCtrls.h"
#include "platform/Dialogs.h"
#include "platform/SysUtils.h"

#include <iterator>

TdlgGasCalculator* dlgGasCalculator = nullptr;

namespace {

const char* const PercentError = "ERROR:  Gas Percentages Cannot Exceed 100%";

// The named gases of the "Select Gas" combos, by combo index.
struct TNamedGas {
    double MolWeight;
    double ViscCoef;
    double ViscIntercept;
};
const TNamedGas NamedGases[] = {
    {197.4, 0, 147},      // 2 "Halothone"
    {184.5, 0, 116},      // 3 "Isoflurane"
    {184.5, 0, 105},      // 4 "Enflurane"
    {168.04, 0, 135},     // 5 "Desflurane"
    {39.948, 0, 209.9},   // 6 "Argon"
};
constexpr int FirstNamedGas = 2;

// A preset of the "Default Settings" combo; the balance is N2.
struct TGasPreset {
    double InspO2;
    double ExpO2;
    double ExpCO2;
    double InspTemp, InspRH;
    double ExpTemp, ExpRH;
};
const TGasPreset Presets[] = {
    {20.93, 20.93, 0, 22, 35, 22, 35},    // 1 "Room Air"
    {20.93, 16, 5, 22, 50, 34, 100},      // 2 "Respiration"
};

constexpr int RowTop = 44;
constexpr int RowStep = 26;

}  // namespace

class TdlgGasCalculator::THold {
public:
    explicit THold(TdlgGasCalculator* Dialog) : FDialog(Dialog) { ++FDialog->FHold; }
    ~THold() { --FDialog->FHold; }
    THold(const THold&) = delete;
    THold& operator=(const THold&) = delete;

private:
    TdlgGasCalculator* FDialog;
};

TdlgGasCalculator::TdlgGasCalculator(TComponent* Owner) : TForm(Owner)
{
    for (int j = 0; j < GasComponentCount; ++j) {
        FMolWeight[j] = StandardGasConstants[j].MolWeight;
        FViscIntercept[j] = StandardGasConstants[j].ViscIntercept;
        FViscSlope[j] = StandardGasConstants[j].ViscSlope;
    }
    FBalanceGas = gcN2;

    SetName("dlgGasCalculator");
    SetCaption("Gas Calculator");
    SetBorderStyle(bsDialog);
    SetPosition(poDesktopCenter);
    SetClientWidth(580);
    SetClientHeight(390);

    pcPages = new TPageControl(this);
    pcPages->SetName("pcPages");
    pcPages->SetParent(this);
    pcPages->SetBounds(8, 8, 564, 336);
    tsCalculator = new TTabSheet(this);
    tsCalculator->SetName("tsCalculator");
    tsCalculator->SetPageControl(pcPages);
    tsCalculator->SetCaption("Calculator");
    tsCustomGases = new TTabSheet(this);
    tsCustomGases->SetName("tsCustomGases");
    tsCustomGases->SetPageControl(pcPages);
    tsCustomGases->SetCaption("Custom Gases");
    pcPages->SetActivePage(tsCalculator);

    BuildCalculatorPage();
    BuildCustomGasesPage();

    TButton* btnOK = GasButton(this, this, "btnOK", "OK", mrOk, 386, 356);
    btnOK->SetDefault(true);
    TButton* btnCancel = GasButton(this, this, "btnCancel", "Cancel", mrCancel, 482, 356);
    btnCancel->SetCancel(true);

    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnHide = [this](TObject* Sender) { FormHide(Sender); };
    OnCloseQuery = [this](TObject* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };
    DoCreate();
}

void TdlgGasCalculator::BuildCalculatorPage()
{
    static const char* const Names[EnteredGasCount] = {"N2", "O2", "CO2", "HE", "N2O", "UG1", "UG2", "UG3"};
    static const char* const Captions[EnteredGasCount] = {"N2",        "O2",        "CO2",      "He",
                                                          "N2O",       "Custom #1", "Custom #2", "Custom #3"};
    TWinControl* Page = tsCalculator;
    TGroupBox* gbBalance = GasGroup(this, Page, "Balance Gas", 8, RowTop - 26, 110, EnteredGasCount * RowStep + 30);
    GasLabel(this, Page, "Inspiratory (%)", 130, RowTop - 18);
    GasLabel(this, Page, "Expiratory (%)", 220, RowTop - 18);
    for (int j = 0; j < EnteredGasCount; ++j) {
        const int Top = RowTop + j * RowStep;
        auto* Button = new TRadioButton(this);
        Button->SetName(std::string("rb") + Names[j]);
        Button->SetParent(gbBalance);
        Button->SetCaption(Captions[j]);
        Button->SetBounds(8, 20 + j * RowStep, 95, 17);
        Button->SetTag(j);
        FBalanceButtons[j] = Button;
        FInspSpins[j] = GasSpin(this, Page, std::string("eInsp") + Names[j], "#0.0#", 130, Top, 75);
        FExpSpins[j] = GasSpin(this, Page, std::string("eExp") + Names[j], "#0.0#", 220, Top, 75);
        LimitSpin(FInspSpins[j], 0, 100);
        LimitSpin(FExpSpins[j], 0, 100);
    }
    rbN2 = FBalanceButtons[gcN2], rbO2 = FBalanceButtons[gcO2], rbCO2 = FBalanceButtons[gcCO2];
    rbHE = FBalanceButtons[gcHe], rbN2O = FBalanceButtons[gcN2O];
    rbUG1 = FBalanceButtons[gcCustom1], rbUG2 = FBalanceButtons[gcCustom2], rbUG3 = FBalanceButtons[gcCustom3];
    eInspN2 = FInspSpins[gcN2], eInspO2 = FInspSpins[gcO2], eInspCO2 = FInspSpins[gcCO2];
    eInspHE = FInspSpins[gcHe], eInspN2O = FInspSpins[gcN2O];
    eInspUG1 = FInspSpins[gcCustom1], eInspUG2 = FInspSpins[gcCustom2], eInspUG3 = FInspSpins[gcCustom3];
    eExpN2 = FExpSpins[gcN2], eExpO2 = FExpSpins[gcO2], eExpCO2 = FExpSpins[gcCO2];
    eExpHE = FExpSpins[gcHe], eExpN2O = FExpSpins[gcN2O];
    eExpUG1 = FExpSpins[gcCustom1], eExpUG2 = FExpSpins[gcCustom2], eExpUG3 = FExpSpins[gcCustom3];

    rbN2->SetChecked(true);
    for (int j = gcCustom1; j <= gcCustom3; ++j) {
        FBalanceButtons[j]->SetEnabled(false);
        FInspSpins[j]->SetEnabled(false);
        FExpSpins[j]->SetEnabled(false);
    }
    eInspN2->SetEnabled(false);
    eExpN2->SetEnabled(false);

    GasLabel(this, Page, "Inspiratory", 400, 10);
    GasLabel(this, Page, "Expiratory", 455, 10);
    GasLabel(this, Page, "Temperature", 310, 36);
    eInspTemperature = GasSpin(this, Page, "eInspTemperature", "#0.#", 395, 32, 52);
    eExpTemperature = GasSpin(this, Page, "eExpTemperature", "#0.#", 452, 32, 52);
    GasLabel(this, Page, "°C", 506, 36);
    GasLabel(this, Page, "Humidity", 310, 66);
    eInspHumidity = GasSpin(this, Page, "eInspHumidity", "#0.#", 395, 62, 52);
    eExpHumidity = GasSpin(this, Page, "eExpHumidity", "#0.#", 452, 62, 52);
    GasLabel(this, Page, "%", 506, 66);
    for (TIcNumSpin* Spin : {eInspTemperature, eExpTemperature, eInspHumidity, eExpHumidity})
        LimitSpin(Spin, 0, 100);

    GasLabel(this, Page, "Default Settings", 310, 110);
    eSettings = GasCombo(this, Page, "eSettings", {"None", "Room Air", "Respiration"}, 395, 106, 110);

    GasLabel(this, Page, "Viscosity", 310, 160);
    eInspVisc = GasLabel(this, Page, "0.0", 400, 160);
    eInspVisc->SetName("eInspVisc");
    eExpVisc = GasLabel(this, Page, "0.0", 455, 160);
    eExpVisc->SetName("eExpVisc");
    GasLabel(this, Page, "µP", 506, 160);
    GasLabel(this, Page, "Mole Weight", 310, 190);
    eInspMW = GasLabel(this, Page, "0.00", 400, 190);
    eInspMW->SetName("eInspMW");
    eExpMW = GasLabel(this, Page, "0.00", 455, 190);
    eExpMW->SetName("eExpMW");
    GasLabel(this, Page, "g/mole", 496, 190);

    for (int j = 0; j < EnteredGasCount; ++j) {
        FBalanceButtons[j]->OnClick = [this](TObject* Sender) { rbN2Click(Sender); };
        FInspSpins[j]->OnValueChanged = [this](TObject* Sender) { actnUpdateBalanceExecute(Sender); };
        FExpSpins[j]->OnValueChanged = [this](TObject* Sender) { actnUpdateBalanceExecute(Sender); };
    }
    for (TIcNumSpin* Spin : {eInspTemperature, eExpTemperature, eInspHumidity, eExpHumidity})
        Spin->OnValueChanged = [this](TObject* Sender) { actnUpdateViscMWExecute(Sender); };
    eSettings->OnChange = [this](TObject* Sender) { eSettingsChange(Sender); };
}

void TdlgGasCalculator::BuildCustomGasesPage()
{
    for (int k = 0; k < 3; ++k) {
        const std::string N = std::to_string(k + 1);
        TGroupBox* Group = GasGroup(this, tsCustomGases, "User Gas #" + N, 8, 8 + k * 100, 500, 92);
        GasLabel(this, Group, "Select Gas", 10, 22);
        FCustomSelect[k] = GasCombo(
            this, Group, "eUG" + N + "Select",
            {"None", "User Defined ", "Halothone", "Isoflurane", "Enflurane", "Desflurane", "Argon"}, 10, 40, 130);
        FCustomSelect[k]->SetTag(k);
        GasLabel(this, Group, "Molecular  Weight", 160, 22);
        FCustomMW[k] = GasSpin(this, Group, "eUG" + N + "MW", "#0.00#", 160, 40, 80);
        GasLabel(this, Group, "g/mole", 160, 66);
        GasLabel(this, Group, "Viscosity Coef.", 260, 22);
        FCustomViscCoef[k] = GasSpin(this, Group, "eUG" + N + "ViscCoef", "#0.000#", 260, 40, 80);
        GasLabel(this, Group, "µP/°C", 260, 66);
        GasLabel(this, Group, "Viscosity Intercept", 370, 22);
        FCustomViscInt[k] = GasSpin(this, Group, "eUG" + N + "ViscInt", "#0.0#", 370, 40, 80);
        GasLabel(this, Group, "µP at 0 °C", 370, 66);
        // A molecular weight below 0 has no root.
        FCustomMW[k]->SetMinValue(0);
        FCustomMW[k]->SetOptions({eoLimitMin});
        for (TIcNumSpin* Spin : {FCustomMW[k], FCustomViscCoef[k], FCustomViscInt[k]}) {
            Spin->SetEnabled(false);
            Spin->OnValueChanged = [this](TObject* Sender) { actnUpdateViscMWExecute(Sender); };
        }
        FCustomSelect[k]->OnChange = [this](TObject* Sender) { eUG1SelectChange(Sender); };
    }
    eUG1Select = FCustomSelect[0], eUG2Select = FCustomSelect[1], eUG3Select = FCustomSelect[2];
    eUG1MW = FCustomMW[0], eUG2MW = FCustomMW[1], eUG3MW = FCustomMW[2];
    eUG1ViscCoef = FCustomViscCoef[0], eUG2ViscCoef = FCustomViscCoef[1], eUG3ViscCoef = FCustomViscCoef[2];
    eUG1ViscInt = FCustomViscInt[0], eUG2ViscInt = FCustomViscInt[1], eUG3ViscInt = FCustomViscInt[2];
}

bool TdlgGasCalculator::Execute(float BaroPressure)
{
    FBaroPressure = BaroPressure;
    // FormShow brings the balance up to date; doing it here as well would
    // tell of a bad sum twice.
    pcPages->SetActivePage(tsCalculator);
    const TModalResult Result = ShowModal();
    if (Result == mrOk) {
        FInspResult.Temperature = ConvertUnits(ucCelsius, ucKelvin, static_cast<float>(eInspTemperature->Value()));
        FInspResult.RelHumidity = static_cast<float>(eInspHumidity->Value());
        FInspResult.Viscosity = FMixViscosity[0];
        FInspResult.MolWeight = FMixMolWeight[0];
        FExpResult.Temperature = ConvertUnits(ucCelsius, ucKelvin, static_cast<float>(eExpTemperature->Value()));
        FExpResult.RelHumidity = static_cast<float>(eExpHumidity->Value());
        FExpResult.Viscosity = FMixViscosity[1];
        FExpResult.MolWeight = FMixMolWeight[1];
    }
    return Result == mrOk;
}

void TdlgGasCalculator::FormShow(TObject* Sender)
{
    FShown = true;
    actnUpdateBalanceExecute(Sender);
}

void TdlgGasCalculator::FormHide(TObject* Sender)
{
    FShown = false;
}

void TdlgGasCalculator::FormCloseQuery(TObject* Sender, bool& CanClose)
{
    if (ModalResult() != mrOk)
        return;
    // Typed values count; committing them recomputes and may already have
    // told the user about a bad sum.
    const int Boxes = FErrorBoxes;
    IcCommitNumEdits(this);
    if (PercentagesExceed100(0) || PercentagesExceed100(1)) {
        if (FErrorBoxes == Boxes)
            ShowPercentError();
        CanClose = false;
    }
}

void TdlgGasCalculator::Percentages(int Side, double (&Percent)[EnteredGasCount]) const
{
    TIcNumSpin* const* Spins = Side == 0 ? FInspSpins : FExpSpins;
    for (int j = 0; j < EnteredGasCount; ++j)
        Percent[j] = Spins[j]->Value();
}

bool TdlgGasCalculator::PercentagesExceed100(int Side) const
{
    double Percent[EnteredGasCount];
    Percentages(Side, Percent);
    return PercentSumWithoutBalance(Percent, FBalanceGas) > 100;
}

void TdlgGasCalculator::ShowPercentError()
{
    ++FErrorBoxes;
    MessageDlg(PercentError, mtError, {mbOK});
}

void TdlgGasCalculator::SetBalanceSpin(TIcNumSpin* Spin, double Value)
{
    const TValueRollback<bool> Setting(FSettingBalance, true);
    Spin->SetValue(Value);
}

void TdlgGasCalculator::rbN2Click(TObject* Sender)
{
    const auto* Button = dynamic_cast<TRadioButton*>(Sender);
    if (!Button)
        return;
    FInspSpins[FBalanceGas]->SetEnabled(true);
    FExpSpins[FBalanceGas]->SetEnabled(true);
    FBalanceGas = static_cast<int32_t>(Button->Tag());
    FInspSpins[FBalanceGas]->SetEnabled(false);
    FExpSpins[FBalanceGas]->SetEnabled(false);
    actnUpdateBalanceExecute(Sender);
    actnUpdateViscMWExecute(Sender);
}

void TdlgGasCalculator::actnUpdateBalanceExecute(TObject* Sender)
{
    // The balance spin written here, a held batch and a run already under
    // way (which repeats once it is done) do not start another.
    if (FSettingBalance || FHold > 0)
        return;
    if (FInBalance) {
        FBalancePending = true;
        return;
    }
    FInBalance = true;
    bool ErrorShown[2] = {false, false};
    for (int Pass = 0; Pass < 4; ++Pass) {
        FBalancePending = false;
        float Sum[2];
        for (int Side = 0; Side < 2; ++Side) {
            double Percent[EnteredGasCount];
            Percentages(Side, Percent);
            Sum[Side] = PercentSumWithoutBalance(Percent, FBalanceGas);
            if (Sum[Side] > 100) {
                if (!ErrorShown[Side])
                    ShowPercentError();
                ErrorShown[Side] = true;
                Sum[Side] = 100;
            }
        }
        SetBalanceSpin(FInspSpins[FBalanceGas], 100 - Sum[0]);
        SetBalanceSpin(FExpSpins[FBalanceGas], 100 - Sum[1]);
        actnUpdateViscMWExecute(Sender);
        if (!FBalancePending)
            break;
    }
    FInBalance = false;
}

void TdlgGasCalculator::actnUpdateViscMWExecute(TObject* Sender)
{
    if (!FShown || FHold > 0)
        return;
    if (FInViscMW) {
        FViscMWPending = true;
        return;
    }
    FInViscMW = true;
    for (int Pass = 0; Pass < 4; ++Pass) {
        FViscMWPending = false;
        for (int k = 0; k < 3; ++k) {
            const int j = gcCustom1 + k;
            if (FCustomSelect[k]->ItemIndex() <= 0) {
                FMolWeight[j] = 0;
                FViscSlope[j] = 0;
                FViscIntercept[j] = 0;
                FInspSpins[j]->SetValue(0);
                FExpSpins[j]->SetValue(0);
            } else {
                FMolWeight[j] = static_cast<float>(FCustomMW[k]->Value());
                FViscSlope[j] = static_cast<float>(FCustomViscCoef[k]->Value());
                FViscIntercept[j] = static_cast<float>(FCustomViscInt[k]->Value());
            }
        }
        const TIcNumSpin* Temperature[2] = {eInspTemperature, eExpTemperature};
        const TIcNumSpin* Humidity[2] = {eInspHumidity, eExpHumidity};
        for (int Side = 0; Side < 2; ++Side) {
            double Percent[EnteredGasCount];
            Percentages(Side, Percent);
            const TGasMixture Mix =
                MixtureProperties(FMolWeight, FViscIntercept, FViscSlope, Percent,
                                  static_cast<float>(Temperature[Side]->Value()),
                                  static_cast<float>(Humidity[Side]->Value()), FBaroPressure);
            FMixViscosity[Side] = Mix.Viscosity;
            FMixMolWeight[Side] = Mix.MolWeight;
        }
        if (!FViscMWPending)
            break;
    }
    eInspVisc->SetCaption(FormatFloat("0.0", FMixViscosity[0]));
    eExpVisc->SetCaption(FormatFloat("0.0", FMixViscosity[1]));
    eInspMW->SetCaption(FormatFloat("0.00", FMixMolWeight[0]));
    eExpMW->SetCaption(FormatFloat("0.00", FMixMolWeight[1]));
    FInViscMW = false;
}

void TdlgGasCalculator::eSettingsChange(TObject* Sender)
{
    const int Index = eSettings->ItemIndex();
    if (Index < 1 || Index > 2)
        return;
    const TGasPreset& P = Presets[Index - 1];
    {
        THold Hold(this);
        rbN2->SetChecked(true);
        for (int j = 0; j < EnteredGasCount; ++j) {
            FInspSpins[j]->SetValue(0);
            FExpSpins[j]->SetValue(0);
        }
        eInspN2->SetValue(79);
        eInspO2->SetValue(P.InspO2);
        eExpN2->SetValue(79);
        eExpO2->SetValue(P.ExpO2);
        eExpCO2->SetValue(P.ExpCO2);
        eInspTemperature->SetValue(P.InspTemp);
        eInspHumidity->SetValue(P.InspRH);
        eExpTemperature->SetValue(P.ExpTemp);
        eExpHumidity->SetValue(P.ExpRH);
    }
    actnUpdateBalanceExecute(Sender);
}

void TdlgGasCalculator::eUG1SelectChange(TObject* Sender)
{
    const auto* Combo = dynamic_cast<TComboBox*>(Sender);
    if (!Combo)
        return;
    const int k = static_cast<int>(Combo->Tag());
    if (k < 0 || k > 2)
        return;
    const int j = gcCustom1 + k;
    TControl* const Controls[6] = {FBalanceButtons[j], FInspSpins[j], FExpSpins[j],
                                   FCustomMW[k],       FCustomViscCoef[k], FCustomViscInt[k]};
    {
        THold Hold(this);
        for (TControl* Control : Controls)
            Control->SetEnabled(true);
        const int Index = Combo->ItemIndex();
        if (Index <= 0) {
            // A gas that is gone cannot stay the balance.
            if (FBalanceGas == j)
                rbN2->SetChecked(true);
            for (TControl* Control : Controls)
                Control->SetEnabled(false);
        } else if (Index >= FirstNamedGas && Index < FirstNamedGas + static_cast<int>(std::size(NamedGases))) {
            const TNamedGas& Gas = NamedGases[Index - FirstNamedGas];
            FCustomMW[k]->SetValue(Gas.MolWeight);
            FCustomViscCoef[k]->SetValue(Gas.ViscCoef);
            FCustomViscInt[k]->SetValue(Gas.ViscIntercept);
        }
    }
    actnUpdateBalanceExecute(Sender);
}
