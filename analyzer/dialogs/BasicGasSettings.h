// The "Gas Settings" dialog: gas type, one gas temperature and humidity, the
// ambient temperature and the correction mode. Its "Advanced" button hands
// over to the main window's Advanced Gas Settings action.
#pragma once

#include "analyzer/Types.h"
#include "platform/Forms.h"

#include <cstdint>
#include <functional>

class TButton;
class TComboBox;
class TGroupBox;
class TIcNumSpin;

class TdlgGasSettings : public TForm {
public:
    explicit TdlgGasSettings(TComponent* Owner);

    // Temperatures in kelvin, the correction mode in the analyzer's
    // numbering. True when closed with OK; the values below then hold the
    // choice (CorrectionMode as the combo index: 0 ATP, 1 BTPS, 2 STPD0,
    // 3 STPD21).
    bool Execute(TGasType GasType, int32_t GasTempK, int32_t RelHumidity, int32_t AmbientK,
                 TCorrectionMode CorrectionMode);

    int32_t GasType() const { return FGasType; }
    int32_t GasTemp() const { return FGasTemp; }
    int32_t AmbientTemp() const { return FAmbientTemp; }
    int32_t RelHumidity() const { return FRelHumidity; }
    int32_t CorrectionMode() const { return FCorrectionMode; }

    // The main window's Advanced Gas Settings action; run when "Advanced"
    // closed the dialog, before Execute returns.
    std::function<void()> actnAdvancedGasSettingsExecute;

private:
    int32_t FGasType = 0;
    int32_t FGasTemp = 0;
    int32_t FAmbientTemp = 0;
    int32_t FRelHumidity = 0;
    int32_t FCorrectionMode = 0;

    TGroupBox* gbGasSettings;
    TComboBox* cbGasType;
    TIcNumSpin* eGasTemp;
    TIcNumSpin* eRelHum;
    TGroupBox* gbGasCorrection;
    TIcNumSpin* eAmbTemp;
    TComboBox* cbCorrMode;
    TButton* btnOK;
    TButton* btnCancel;
    TButton* btnAdvanced;
};

extern TdlgGasSettings* dlgGasSettings;
