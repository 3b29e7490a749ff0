#include "analyzer/dialogs/Gasdialogcontrols.h"

#include "analyzer/Gasfunctions.h"
#include "analyzer/Units.h"
#include "platform/Controlbuilder.h"

TLabel* GasLabel(TComponent* Owner, TWinControl* Parent, const std::string& Caption, int Left, int Top)
{
    return NewControl<TLabel>(Owner, Parent, "", Caption, Left, Top);
}

TIcNumSpin* GasSpin(TComponent* Owner, TWinControl* Parent, const std::string& Name, const std::string& Format,
                    int Left, int Top, int Width)
{
    auto* Spin = NewControl<TIcNumSpin>(Owner, Parent, Name, "", Left, Top, Width);
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
    auto* Combo = NewControl<TComboBox>(Owner, Parent, Name);
    Combo->SetStyle(csDropDownList);
    for (const char* Item : Items)
        Combo->Items()->Add(Item);
    Combo->SetBounds(Left, Top, Width, Combo->Height());
    return Combo;
}

TGroupBox* GasGroup(TComponent* Owner, TWinControl* Parent, const std::string& Caption, int Left, int Top, int Width,
                    int Height)
{
    return NewControl<TGroupBox>(Owner, Parent, "", Caption, Left, Top, Width, Height);
}

TButton* GasButton(TComponent* Owner, TWinControl* Parent, const std::string& Name, const std::string& Caption,
                   int ModalResult, int Left, int Top)
{
    auto* Button = NewControl<TButton>(Owner, Parent, Name, Caption, Left, Top, 90, 25);
    Button->SetModalResult(ModalResult);
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
