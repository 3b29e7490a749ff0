// Building blocks of the gas dialogs: labelled spin edits, list combos and
// the temperature round trip between a kelvin value and a spin in degrees C.
#pragma once

#include "platform/StdCtrls.h"
#include "widgets/IcNumEdit.h"

#include <initializer_list>
#include <string>

// A label at (Left, Top) on Parent.
TLabel* GasLabel(TComponent* Owner, TWinControl* Parent, const std::string& Caption, int Left, int Top);
// A spin edit named Name at (Left, Top) on Parent, pattern Format, step 1.
TIcNumSpin* GasSpin(TComponent* Owner, TWinControl* Parent, const std::string& Name, const std::string& Format,
                    int Left, int Top, int Width = 65);
// Limits a spin to Min..Max.
void LimitSpin(TIcNumSpin* Spin, double Min, double Max);
// A drop-down list named Name holding Items.
TComboBox* GasCombo(TComponent* Owner, TWinControl* Parent, const std::string& Name,
                    std::initializer_list<const char*> Items, int Left, int Top, int Width);
// A group box with Caption.
TGroupBox* GasGroup(TComponent* Owner, TWinControl* Parent, const std::string& Caption, int Left, int Top, int Width,
                    int Height);
// A push button named Name closing the form with ModalResult.
TButton* GasButton(TComponent* Owner, TWinControl* Parent, const std::string& Name, const std::string& Caption,
                   int ModalResult, int Left, int Top);

// Shows Kelvin in whole degrees C.
void ShowKelvinAsCelsius(TIcNumSpin* Spin, float Kelvin);
// The spin's degrees C in kelvin.
float SpinKelvin(const TIcNumSpin* Spin);
