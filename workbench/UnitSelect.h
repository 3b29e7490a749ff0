// The "Units" dialog: the display units of flow, volume, the three
// pressures and temperature.
#pragma once

#include "analyzer/Types.h"
#include "platform/Forms.h"

class TButton;
class TComboBox;
class TGroupBox;

class TdlgUnitSelect : public TForm {
public:
    explicit TdlgUnitSelect(TComponent* Owner);

    // Shows the six unit codes; true when closed with OK, the accessors then
    // hold the choice. A list left without a selection keeps its code.
    bool Execute(TUnitCode FlowUnit, TUnitCode VolumeUnit, TUnitCode APressUnit, TUnitCode LPressUnit,
                 TUnitCode HPressUnit, TUnitCode TemperatureUnit);

    TUnitCode FlowUnit() const { return FFlowUnit; }
    TUnitCode VolumeUnit() const { return FVolumeUnit; }
    TUnitCode APressUnit() const { return FAPressUnit; }
    TUnitCode HPressUnit() const { return FHPressUnit; }
    TUnitCode LPressUnit() const { return FLPressUnit; }
    TUnitCode TemperatureUnit() const { return FTemperatureUnit; }

private:
    TUnitCode FFlowUnit = 0;
    TUnitCode FVolumeUnit = 0;
    TUnitCode FAPressUnit = 0;
    TUnitCode FHPressUnit = 0;
    TUnitCode FLPressUnit = 0;
    TUnitCode FTemperatureUnit = 0;

    TGroupBox* GroupBox1;
    TComboBox* cbFlowUnit;
    TComboBox* cbVolumeUnit;
    TComboBox* cbAPressUnit;
    TComboBox* cbLPressUnit;
    TComboBox* cbHPressUnit;
    TComboBox* cbTemperatureUnit;
    TButton* btnOK;
    TButton* btnCancel;
};

extern TdlgUnitSelect* dlgUnitSelect;
