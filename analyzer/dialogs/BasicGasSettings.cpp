#include "analyzer/dialogs/BasicGasSettings.h"

#include "analyzer/dialogs/Gasdialogcontrols.h"
#include "analyzer/Gasfunctions.h"


TdlgGasSettings* dlgGasSettings = nullptr;

namespace {
constexpr TModalResult mrAdvanced = 5;
}

TdlgGasSettings::TdlgGasSettings(TComponent* Owner) : TForm(Owner)
{
    SetName("dlgGasSettings");
    SetCaption("Gas Settings");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(330);
    SetClientHeight(270);

    gbGasSettings = GasGroup(this, this, "Gas Settings", 8, 8, 314, 110);
    GasLabel(this, gbGasSettings, "Gas Type", 10, 22);
    cbGasType = GasCombo(this, gbGasSettings, "cbGasType",
                         {"Air", "O2", "Heliox", "N2O Bal O2", "He Bal O2", "N2 Bal O2", "User Defined", "CO2",
                          "N2", "N2O"},
                         140, 18, 150);
    GasLabel(this, gbGasSettings, "Temperature", 10, 52);
    eGasTemp = GasSpin(this, gbGasSettings, "eGasTemp", "#0.#", 140, 48);
    GasLabel(this, gbGasSettings, "°C", 212, 52);
    GasLabel(this, gbGasSettings, "Relative Humidity", 10, 82);
    eRelHum = GasSpin(this, gbGasSettings, "eRelHum", "#0.#", 140, 78);
    GasLabel(this, gbGasSettings, "%", 212, 82);

    gbGasCorrection = GasGroup(this, this, "Gas Correction", 8, 124, 314, 84);
    GasLabel(this, gbGasCorrection, "Ambient Temperature", 10, 22);
    eAmbTemp = GasSpin(this, gbGasCorrection, "eAmbTemp", "#0.#", 140, 18);
    GasLabel(this, gbGasCorrection, "°C", 212, 22);
    GasLabel(this, gbGasCorrection, "Correction Mode", 10, 52);
    cbCorrMode = GasCombo(this, gbGasCorrection, "cbCorrMode", {"ATP", "BTPS", "STPD0", "STPD21 "}, 140, 48, 150);

    btnOK = GasButton(this, this, "btnOK", "OK", mrOk, 30, 230);
    btnOK->SetDefault(true);
    btnCancel = GasButton(this, this, "btnCancel", "Cancel", mrCancel, 126, 230);
    btnCancel->SetCancel(true);
    btnAdvanced = GasButton(this, this, "btnAdvanced", "Advanced", mrAdvanced, 222, 230);

    DoCreate();
}

bool TdlgGasSettings::Execute(TGasType GasType, int32_t GasTempK, int32_t RelHumidity, int32_t AmbientK,
                              TCorrectionMode CorrectionMode)
{
    FGasType = GasType;
    FGasTemp = GasTempK;
    FRelHumidity = RelHumidity;
    FAmbientTemp = AmbientK;
    FCorrectionMode = CorrectionMode;

    cbGasType->SetItemIndex(GasType);
    cbCorrMode->SetItemIndex(CorrectionModeComboIndex(CorrectionMode));
    ShowKelvinAsCelsius(eGasTemp, static_cast<float>(GasTempK));
    eRelHum->SetValue(RelHumidity);
    ShowKelvinAsCelsius(eAmbTemp, static_cast<float>(AmbientK));

    const TModalResult Result = ShowModal();
    if (Result == mrOk) {
        IcCommitNumEdits(this);
        // A gas type the list does not hold stays as the analyzer gave it.
        if (cbGasType->ItemIndex() >= 0)
            FGasType = cbGasType->ItemIndex();
        FCorrectionMode = cbCorrMode->ItemIndex();
        FGasTemp = CelsiusToWholeKelvin(eGasTemp->Value());
        FAmbientTemp = CelsiusToWholeKelvin(eAmbTemp->Value());
        FRelHumidity = eRelHum->ValueAsInt();
    } else if (Result == mrAdvanced && actnAdvancedGasSettingsExecute) {
        actnAdvancedGasSettingsExecute();
    }
    return Result == mrOk;
}
