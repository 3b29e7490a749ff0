// The "Start Leak Test" dialog: pressure channel, result unit, the circuit's
// compliance and the test time. Its values stay from one test to the next.
#pragma once

#include "analyzer/Types.h"
#include "platform/Forms.h"
#include "platform/SysUtils.h"

#include <cstdint>

class TButton;
class TComboBox;
class TIcNumSpin;
class TLabel;
class TMaskEdit;

class TdlgStartLeakTest : public TForm {
public:
    explicit TdlgStartLeakTest(TComponent* Owner);

    // Shows the values below; on OK takes the choice back. A test time that
    // is no time of day ("Invalid argument to time encode") returns false
    // with the channel, unit and compliance already taken.
    bool Execute();

    // Signal id 2, 3 or 4.
    int32_t Channel() const { return FChannel; }
    void SetChannel(int32_t Value) { FChannel = Value; }
    // Pressure unit code 1 to 9.
    TUnitCode Unit() const { return FUnit; }
    void SetUnit(TUnitCode Value) { FUnit = Value; }
    // ml/cmH2O.
    float Compliance() const { return FCompliance; }
    void SetCompliance(float Value) { FCompliance = Value; }
    TDateTime TestTime() const { return FTestTime; }
    void SetTestTime(TDateTime Value) { FTestTime = Value; }

private:
    int32_t FChannel = sigLowPressure;
    TUnitCode FUnit = ucCmH2O;
    float FCompliance = 0;
    TDateTime FTestTime;

    TLabel* Label1;
    TComboBox* cbLeakPressureChannel;
    TLabel* Label2;
    TComboBox* cbLeakPressureUnits;
    TLabel* Label3;
    TIcNumSpin* eLeakCompliance;
    TLabel* Label4;
    TLabel* Label5;
    TMaskEdit* eLeakTestTime;
    TLabel* Label6;
    TButton* btnOK;
    TButton* btnCancel;
};

extern TdlgStartLeakTest* dlgStartLeakTest;
