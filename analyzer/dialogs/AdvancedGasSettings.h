// The "Advanced Gas Settings" dialog: the inspiratory and expiratory gas
// records in full, the ambient temperature and the correction mode. Its "Gas
// Calculator" button hands over to the main window's Gas Calculator action.
#pragma once

#include "analyzer/Types.h"
#include "platform/Forms.h"

#include <cstdint>
#include <functional>
#include <string>

class TButton;
class TComboBox;
class TGroupBox;
class TIcNumSpin;

class TdlgAdvGasSettings : public TForm {
public:
    explicit TdlgAdvGasSettings(TComponent* Owner);

    // Temperatures in kelvin, the correction mode in the analyzer's
    // numbering. True when closed with OK; the values below then hold the
    // choice (CorrectionMode as the combo index: 0 ATP, 1 BTPS, 2 STPD0,
    // 3 STPD21).
    bool Execute(const TGasProperties& Insp, const TGasProperties& Exp, int32_t AmbientK,
                 TCorrectionMode CorrectionMode);

    TGasProperties InspGas() const { return FInspGas; }
    TGasProperties ExpGas() const { return FExpGas; }
    int32_t AmbientTemp() const { return FAmbientTemp; }
    int32_t CorrectionMode() const { return FCorrectionMode; }

    // The main window's Gas Calculator action; run when "Gas Calculator"
    // closed the dialog, before Execute returns.
    std::function<void()> actnGasCalculatorExecute;

private:
    TGasProperties FInspGas;
    TGasProperties FExpGas;
    int32_t FAmbientTemp = 0;
    int32_t FCorrectionMode = 0;

    // The four spins of one gas record.
    struct TGasSpins {
        TIcNumSpin* Temp;
        TIcNumSpin* RelHum;
        TIcNumSpin* Visc;
        TIcNumSpin* MW;
    };
    TGasSpins GasRecordGroup(TGroupBox* Group, const std::string& Side);
    static void ShowGas(const TGasSpins& Spins, const TGasProperties& Gas);
    static void TakeGas(const TGasSpins& Spins, TGasProperties& Gas);

    TGroupBox* gbInspGas;
    TIcNumSpin* eInspGasTemp;
    TIcNumSpin* eInspRelHum;
    TIcNumSpin* eInspVisc;
    TIcNumSpin* eInspMW;
    TGroupBox* gbExpGas;
    TIcNumSpin* eExpGasTemp;
    TIcNumSpin* eExpRelHum;
    TIcNumSpin* eExpVisc;
    TIcNumSpin* eExpMW;
    TGroupBox* gbGasCorrection;
    TIcNumSpin* eAmbTemp;
    TComboBox* eCorrMode;
    TButton* btnCalculator;
    TButton* btnOk;
    TButton* btnCancel;
};

extern TdlgAdvGasSettings* dlgAdvGasSettings;
