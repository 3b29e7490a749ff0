#include "analyzer/Gasdialogcontrols.h"

#include "analyzer/Gasfunctions.h"
#include "analyzer/Units.h"

TLabel* GasLabel(TComponent* Owner, TWinControl* Parent, const std::string& Caption, int Left, int Top)
{
    auto* Label = new TLabel(Owner);
    Label->SetParent(Parent);
    Label->SetCaption(Caption);
    Label->SetLeft(Left);
    Label->SetTop(Top);
    return Label;
}

TIcNumSpin* GasSpin(TComponent* Owner, TWinControl* Parent, const std::string& Name, const std::string& Format,
                    int Left, int Top, int Width)
{
    auto* Spin = new TIcNumSpin(Owner);
    Spin->SetName(Name);
    Spin->SetParent(Parent);
    Spin->SetBounds(Left, Top, Width, Spin->Height());
    Spin->SetFormatStr(Format);
    Spin->SetIncrement(1);
    return Spin;
}

void LimitSpin(TIcNumSpin* Spin, double Min, double Max)
{
    Spin->SetMinValue(Min);
    Spin->SetMaxValue(Max);
    Spin->SetOptions({eoLimitMin, eoLimitMax});
}

TComboBox* GasCombo(TComponent* Owner, TWinControl* Parent, const std::string& Name,
                    std::initializer_list<const char*> Items, int Left, int Top, int Width)
{
    auto* Combo = new TComboBox(Owner);
    Combo->SetName(Name);
    Combo->SetParent(Parent);
    Combo->SetStyle(csDropDownList);
    for (const char* Item : Items)
        Combo->Items()->Add(Item);
    Combo->SetBounds(Left, Top, Width, Combo->Height());
    return Combo;
}

TGroupBox* GasGroup(TComponent* Owner, TWinControl* Parent, const std::string& Caption, int Left, int Top, int Width,
                    int Height)
{
    auto* Group = new TGroupBox(Owner);
    Group->SetParent(Parent);
    Group->SetCaption(Caption);
    Group->SetBounds(Left, Top, Width, Height);
    return Group;
}

TButton* GasButton(TComponent* Owner, TWinControl* Parent, const std::string& Name, const std::string& Caption,
                   int ModalResult, int Left, int Top)
{
    auto* Button = new TButton(Owner);
    Button->SetName(Name);
    Button->SetParent(Parent);
    Button->SetCaption(Caption);
    Button->SetModalResult(ModalResult);
    Button->SetBounds(Left, Top, 90, 25);
    return Button;
}

void ShowKelvinAsCelsius(TIcNumSpin* Spin, float Kelvin)
{
    Spin->SetValue(KelvinToWholeCelsius(Kelvin));
}

float SpinKelvin(const TIcNumSpin* Spin)
{
    return ConvertUnits(ucCelsius, ucKelvin, static_cast<float>(Spin->Value()));
}
