#include "workbench/UnitSelect.h"

#include "platform/Controlbuilder.h"
#include "platform/StdCtrls.h"

#include <initializer_list>

TdlgUnitSelect* dlgUnitSelect = nullptr;

namespace {

// Each list holds one unit family in code order from its first code.
constexpr TUnitCode FlowBase = ucLPM;
constexpr TUnitCode VolumeBase = ucLiters;
constexpr TUnitCode PressureBase = ucCmH2O;
constexpr TUnitCode TemperatureBase = ucKelvin;

TComboBox* UnitList(TComponent* Owner, TWinControl* Parent, const std::string& Name, const std::string& Caption,
                    std::initializer_list<const char*> Items, int Top)
{
    NewControl<TLabel>(Owner, Parent, "", Caption, 12, Top + 4);
    auto* Combo = NewControl<TComboBox>(Owner, Parent, Name);
    Combo->SetStyle(csDropDownList);
    for (const char* Item : Items)
        Combo->Items()->Add(Item);
    Combo->SetBounds(160, Top, 100, Combo->Height());
    return Combo;
}

void Select(TComboBox* Combo, TUnitCode Code, TUnitCode Base)
{
    const int Index = Code - Base;
    Combo->SetItemIndex(Index >= 0 && Index < Combo->Items()->Count() ? Index : -1);
}

void Take(const TComboBox* Combo, TUnitCode Base, TUnitCode& Code)
{
    if (Combo->ItemIndex() >= 0)
        Code = Combo->ItemIndex() + Base;
}

}  // namespace

TdlgUnitSelect::TdlgUnitSelect(TComponent* Owner) : TForm(Owner)
{
    SetName("dlgUnitSelect");
    SetCaption("Units");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(290);
    SetClientHeight(250);

    GroupBox1 = NewControl<TGroupBox>(this, this, "GroupBox1", "Signal Units", 8, 8, 274, 196);
    cbFlowUnit = UnitList(this, GroupBox1, "cbFlowUnit", "Flow Units:", {"LPM", "CFM", "LPS", "ml/Min", "ml/Sec"}, 20);
    cbVolumeUnit = UnitList(this, GroupBox1, "cbVolumeUnit", "Volume Units:", {"L", "CF", "ml"}, 48);
    const std::initializer_list<const char*> Pressures = {"cmH2O", "mmHg", "psi",  "kPa",  "Bar",
                                                          "mBar",  "atm",  "inH2O", "inHg"};
    cbAPressUnit = UnitList(this, GroupBox1, "cbAPressUnit", "Airway Pressure Units:", Pressures, 76);
    cbLPressUnit = UnitList(this, GroupBox1, "cbLPressUnit", "Low Pressure Units:", Pressures, 104);
    cbHPressUnit = UnitList(this, GroupBox1, "cbHPressUnit", "High Pressure Units:", Pressures, 132);
    cbTemperatureUnit =
        UnitList(this, GroupBox1, "cbTemperatureUnit", "Temperature Units:", {"deg K", "deg C", "deg F"}, 160);

    btnOK = NewControl<TButton>(this, this, "btnOK", "OK", 62, 214, 75, 25);
    btnOK->SetModalResult(mrOk);
    btnOK->SetDefault(true);
    btnCancel = NewControl<TButton>(this, this, "btnCancel", "Cancel", 152, 214, 75, 25);
    btnCancel->SetModalResult(mrCancel);
    btnCancel->SetCancel(true);

    DoCreate();
}

bool TdlgUnitSelect::Execute(TUnitCode FlowUnit, TUnitCode VolumeUnit, TUnitCode APressUnit, TUnitCode LPressUnit,
                             TUnitCode HPressUnit, TUnitCode TemperatureUnit)
{
    FFlowUnit = FlowUnit;
    FVolumeUnit = VolumeUnit;
    FAPressUnit = APressUnit;
    FLPressUnit = LPressUnit;
    FHPressUnit = HPressUnit;
    FTemperatureUnit = TemperatureUnit;
    Select(cbFlowUnit, FlowUnit, FlowBase);
    Select(cbVolumeUnit, VolumeUnit, VolumeBase);
    Select(cbAPressUnit, APressUnit, PressureBase);
    Select(cbLPressUnit, LPressUnit, PressureBase);
    Select(cbHPressUnit, HPressUnit, PressureBase);
    Select(cbTemperatureUnit, TemperatureUnit, TemperatureBase);
    if (ShowModal() != mrOk)
        return false;
    Take(cbFlowUnit, FlowBase, FFlowUnit);
    Take(cbVolumeUnit, VolumeBase, FVolumeUnit);
    Take(cbAPressUnit, PressureBase, FAPressUnit);
    Take(cbLPressUnit, PressureBase, FLPressUnit);
    Take(cbHPressUnit, PressureBase, FHPressUnit);
    Take(cbTemperatureUnit, TemperatureBase, FTemperatureUnit);
    return true;
}
