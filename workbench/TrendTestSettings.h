// The "Trend Test" dialog: the parameter to watch, its current value and the
// limits, proposed from the live value and a percentage until the user edits
// one. The main window hands it every breath-parameter record, open or not.
#pragma once

#include "analyzer/Parameterstruct.h"
#include "platform/Forms.h"

#include <cstdint>

class TButton;
class TComboBox;
class TGroupBox;
class TIcNumSpin;
class TLabel;

class TdlgTrendTest : public TForm {
public:
    explicit TdlgTrendTest(TComponent* Owner);

    // Shows the dialog on ParamId (Tidal Volume when the list lacks it) and
    // Params; on OK the choice is in ParamId(), MinLimit() and MaxLimit().
    bool Execute(int32_t ParamId, TParameterStruct Params);
    // Shows Params' value of the selected parameter and proposes the limits
    // that were not edited (none while the value is absent).
    void UpdateDisplay(TParameterStruct Params);

    static int ParamToComboIndex(int32_t Id);
    static int32_t ComboIndexToParam(int Row);
    static float ApplyPercent(float a, float p);

    bool MinEdited() const { return FMinEdited; }
    bool MaxEdited() const { return FMaxEdited; }
    int32_t ParamId() const { return FParamId; }
    const TParameterStruct& Params() const { return FParams; }
    float MinLimit() const { return FMinLimit; }
    float MaxLimit() const { return FMaxLimit; }

private:
    bool FMinEdited = false;
    bool FMaxEdited = false;
    int32_t FParamId = parTidalVolume2;
    TParameterStruct FParams;
    float FMinLimit = 0;
    float FMaxLimit = 0;

    TGroupBox* GroupBox1;
    TLabel* Label1;
    TComboBox* cbTrendParam;
    TLabel* Label2;
    TLabel* eCurrentValue;
    TGroupBox* GroupBox2;
    TLabel* Label3;
    TIcNumSpin* ePercent;
    TLabel* Label4;
    TLabel* Label5;
    TIcNumSpin* eMin;
    TLabel* Label6;
    TIcNumSpin* eMax;
    TButton* btnOK;
    TButton* btnCancel;

    void eMinValueChanged(TObject* Sender);
    void eMaxValueChanged(TObject* Sender);
    void ePercentValueChanged(TObject* Sender);
    void cbTrendParamChange(TObject* Sender);
};

extern TdlgTrendTest* dlgTrendTest;
