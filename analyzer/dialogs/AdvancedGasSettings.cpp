#include "analyzer/dialogs/AdvancedGasSettings.h"

#include "analyzer/dialogs/Gasdialogcontrols.h"
#include "analyzer/Gasfunctions.h"

TdlgAdvGasSettings* dlgAdvGasSettings = nullptr;

namespace {
constexpr TModalResult mrGasCalculator = 5;
}

TdlgAdvGasSettings::TdlgAdvGasSettings(TComponent* Owner) : TForm(Owner)
{
    SetName("dlgAdvGasSettings");
    SetCaption("Advanced Gas Settings");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(560);
    SetClientHeight(290);

    gbInspGas = GasGroup(this, this, "Inpiratory Gas Settings", 8, 8, 268, 140);
    const TGasSpins Insp = GasRecordGroup(gbInspGas, "Insp");
    eInspGasTemp = Insp.Temp;
    eInspRelHum = Insp.RelHum;
    eInspVisc = Insp.Visc;
    eInspMW = Insp.MW;
    gbExpGas = GasGroup(this, this, "Expiratory Gas Settings", 284, 8, 268, 140);
    const TGasSpins Exp = GasRecordGroup(gbExpGas, "Exp");
    eExpGasTemp = Exp.Temp;
    eExpRelHum = Exp.RelHum;
    eExpVisc = Exp.Visc;
    eExpMW = Exp.MW;

    gbGasCorrection = GasGroup(this, this, "Gas Correction", 8, 154, 544, 84);
    GasLabel(this, gbGasCorrection, "Ambient Temperature", 10, 22);
    eAmbTemp = GasSpin(this, gbGasCorrection, "eAmbTemp", "#0.#", 140, 18);
    GasLabel(this, gbGasCorrection, "°C", 212, 22);
    GasLabel(this, gbGasCorrection, "Correction Mode", 10, 52);
    eCorrMode = GasCombo(this, gbGasCorrection, "eCorrMode", {"ATP", "BTPS", "STPD0", "STPD21"}, 140, 48, 150);

    btnCalculator = GasButton(this, this, "btnCalculator", "Gas Calculator", mrGasCalculator, 8, 252);
    btnOk = GasButton(this, this, "btnOk", "OK", mrOk, 366, 252);
    btnOk->SetDefault(true);
    btnCancel = GasButton(this, this, "btnCancel", "Cancel", mrCancel, 462, 252);
    btnCancel->SetCancel(true);

    DoCreate();
}

TdlgAdvGasSettings::TGasSpins TdlgAdvGasSettings::GasRecordGroup(TGroupBox* Group, const std::string& Side)
{
    TGasSpins Spins{};
    GasLabel(this, Group, "Temperature", 10, 22);
    Spins.Temp = GasSpin(this, Group, "e" + Side + "GasTemp", "#0.#", 130, 18);
    GasLabel(this, Group, "°C", 202, 22);
    GasLabel(this, Group, "Relative Humidity", 10, 52);
    Spins.RelHum = GasSpin(this, Group, "e" + Side + "RelHum", "#0.#", 130, 48);
    GasLabel(this, Group, "%", 202, 52);
    GasLabel(this, Group, "Viscosity", 10, 82);
    Spins.Visc = GasSpin(this, Group, "e" + Side + "Visc", "#0.0", 130, 78);
    GasLabel(this, Group, "µP", 202, 82);
    GasLabel(this, Group, "Molecular Weight", 10, 112);
    Spins.MW = GasSpin(this, Group, "e" + Side + "MW", "#0.00", 130, 108);
    GasLabel(this, Group, "g/mole", 202, 112);
    return Spins;
}

void TdlgAdvGasSettings::ShowGas(const TGasSpins& Spins, const TGasProperties& Gas)
{
    ShowKelvinAsCelsius(Spins.Temp, Gas.Temperature);
    Spins.RelHum->SetValue(Gas.RelHumidity);
    Spins.Visc->SetValue(Gas.Viscosity);
    Spins.MW->SetValue(Gas.MolWeight);
}

void TdlgAdvGasSettings::TakeGas(const TGasSpins& Spins, TGasProperties& Gas)
{
    Gas.MolWeight = static_cast<float>(Spins.MW->Value());
    Gas.Viscosity = static_cast<float>(Spins.Visc->Value());
    Gas.RelHumidity = static_cast<float>(Spins.RelHum->Value());
    Gas.Temperature = SpinKelvin(Spins.Temp);
}

bool TdlgAdvGasSettings::Execute(const TGasProperties& Insp, const TGasProperties& Exp, int32_t AmbientK,
                                 TCorrectionMode CorrectionMode)
{
    FInspGas = Insp;
    FExpGas = Exp;
    FAmbientTemp = AmbientK;
    FCorrectionMode = CorrectionMode;

    const TGasSpins InspSpins{eInspGasTemp, eInspRelHum, eInspVisc, eInspMW};
    const TGasSpins ExpSpins{eExpGasTemp, eExpRelHum, eExpVisc, eExpMW};
    ShowGas(InspSpins, Insp);
    ShowGas(ExpSpins, Exp);
    ShowKelvinAsCelsius(eAmbTemp, static_cast<float>(AmbientK));
    eCorrMode->SetItemIndex(CorrectionModeComboIndex(CorrectionMode));

    const TModalResult Result = ShowModal();
    if (Result == mrOk) {
        IcCommitNumEdits(this);
        FCorrectionMode = eCorrMode->ItemIndex();
        TakeGas(InspSpins, FInspGas);
        TakeGas(ExpSpins, FExpGas);
        FAmbientTemp = CelsiusToWholeKelvin(eAmbTemp->Value());
    } else if (Result == mrGasCalculator && actnGasCalculatorExecute) {
        actnGasCalculatorExecute();
    }
    return Result == mrOk;
}
