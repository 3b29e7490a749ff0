// The "Gas Calculator": viscosity and molecular weight of the inspiratory and
// the expiratory gas from their composition, temperature and humidity, with
// one component as the balance, two presets and up to three custom gases.
#pragma once

#include "analyzer/Gasfunctions.h"
#include "analyzer/Types.h"
#include "platform/Forms.h"

#include <cstdint>

class TComboBox;
class TIcNumSpin;
class TLabel;
class TPageControl;
class TRadioButton;
class TTabSheet;

class TdlgGasCalculator : public TForm {
public:
    explicit TdlgGasCalculator(TComponent* Owner);

    // BaroPressure in mmHg. True when closed with OK; InspResult and
    // ExpResult then hold the two mixtures (temperatures in kelvin).
    bool Execute(float BaroPressure);

    TGasProperties InspResult() const { return FInspResult; }
    TGasProperties ExpResult() const { return FExpResult; }
    // Component constants, indexed like the components (gcN2 .. gcWater).
    float MolWeight(int Component) const { return FMolWeight[Component]; }
    // The balance gas (gcN2, gcO2 or gcHe) and the mixtures' properties,
    // Side 0 inspiratory, 1 expiratory.
    int32_t BalanceGas() const { return FBalanceGas; }
    float MixViscosity(int Side) const { return FMixViscosity[Side]; }
    float MixMolWeight(int Side) const { return FMixMolWeight[Side]; }

    void FormShow(TObject* Sender);
    void rbN2Click(TObject* Sender);
    void actnUpdateBalanceExecute(TObject* Sender);
    void actnUpdateViscMWExecute(TObject* Sender);
    void eSettingsChange(TObject* Sender);
    void eUG1SelectChange(TObject* Sender);

private:
    float FMolWeight[GasComponentCount];
    float FViscIntercept[GasComponentCount];
    float FViscSlope[GasComponentCount];

    int32_t FBalanceGas = gcN2;
    float FBaroPressure = 760;
    float FMixViscosity[2] = {0, 0};   // inspiratory, expiratory
    float FMixMolWeight[2] = {0, 0};
    TGasProperties FInspResult;
    TGasProperties FExpResult;

    // Holds the update handlers while a batch of values is set; the batch
    // recomputes once afterwards.
    class THold;

    void FormHide(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void BuildCalculatorPage();
    void BuildCustomGasesPage();
    // The entered percentages of one side (0 inspiratory, 1 expiratory).
    void Percentages(int Side, double (&Percent)[EnteredGasCount]) const;
    bool PercentagesExceed100(int Side) const;
    void ShowPercentError();
    // Sets a spin by code without it counting as the user's change.
    void SetBalanceSpin(TIcNumSpin* Spin, double Value);

    TPageControl* pcPages;
    TTabSheet* tsCalculator;
    TTabSheet* tsCustomGases;

    TIcNumSpin* eInspN2;
    TIcNumSpin* eInspO2;
    TIcNumSpin* eInspCO2;
    TIcNumSpin* eInspHE;
    TIcNumSpin* eInspN2O;
    TIcNumSpin* eInspUG1;
    TIcNumSpin* eInspUG2;
    TIcNumSpin* eInspUG3;
    TIcNumSpin* eExpN2;
    TIcNumSpin* eExpO2;
    TIcNumSpin* eExpCO2;
    TIcNumSpin* eExpHE;
    TIcNumSpin* eExpN2O;
    TIcNumSpin* eExpUG1;
    TIcNumSpin* eExpUG2;
    TIcNumSpin* eExpUG3;
    TRadioButton* rbN2;
    TRadioButton* rbO2;
    TRadioButton* rbCO2;
    TRadioButton* rbHE;
    TRadioButton* rbN2O;
    TRadioButton* rbUG1;
    TRadioButton* rbUG2;
    TRadioButton* rbUG3;
    TIcNumSpin* eInspTemperature;
    TIcNumSpin* eExpTemperature;
    TIcNumSpin* eInspHumidity;
    TIcNumSpin* eExpHumidity;
    TComboBox* eSettings;
    TLabel* eInspVisc;
    TLabel* eExpVisc;
    TLabel* eInspMW;
    TLabel* eExpMW;

    TComboBox* eUG1Select;
    TComboBox* eUG2Select;
    TComboBox* eUG3Select;
    TIcNumSpin* eUG1MW;
    TIcNumSpin* eUG1ViscCoef;
    TIcNumSpin* eUG1ViscInt;
    TIcNumSpin* eUG2MW;
    TIcNumSpin* eUG2ViscCoef;
    TIcNumSpin* eUG2ViscInt;
    TIcNumSpin* eUG3MW;
    TIcNumSpin* eUG3ViscCoef;
    TIcNumSpin* eUG3ViscInt;

    // The controls above, indexed like the components.
    TIcNumSpin* FInspSpins[EnteredGasCount];
    TIcNumSpin* FExpSpins[EnteredGasCount];
    TRadioButton* FBalanceButtons[EnteredGasCount];
    TComboBox* FCustomSelect[3];
    TIcNumSpin* FCustomMW[3];
    TIcNumSpin* FCustomViscCoef[3];
    TIcNumSpin* FCustomViscInt[3];

    int FHold = 0;
    bool FShown = false;          // between FormShow and the hide
    bool FInBalance = false;
    bool FBalancePending = false;
    bool FInViscMW = false;
    bool FViscMWPending = false;
    bool FSettingBalance = false;
    int FErrorBoxes = 0;          // error boxes shown so far
};

extern TdlgGasCalculator* dlgGasCalculator;
