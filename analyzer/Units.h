// Unit codes, their names, conversions within a unit family, the decimals
// shown for a pair of base and display unit, and number formatting.
// Every quantity is held in its base unit and converted only to be shown.
#pragma once

#include "analyzer/Types.h"

#include <cstdint>
#include <string>

// The text every formatter shows for NoValue.
extern const char NoValueText[];

// Unit names by code, zero-terminated and zero-filled.
extern const char UnitNames[UnitCodeCount][10];

// Conversion factors [from][to] within a family; converted = value * factor.
extern const float PressureFactors[9][9];   // codes 1 to 9
extern const float FlowFactors[5][5];       // codes 10 to 14
extern const float VolumeFactors[3][3];     // codes 15 to 17

// The name of codes 0 to 26, an empty text for any other code.
std::string UnitName(TUnitCode Code);

// FormatFloat pattern for 1 to 5 decimals ("0.0" .. "0.00000"), "0" otherwise.
std::string NumberFormat(int Decimals);
// "-----" for NoValue, else the value rounded to that many decimals.
std::string FormatNumber(int Decimals, float Value);

// Decimals to show for values held in BaseUnit and shown in DisplayUnit.
int DecimalsFor(TUnitCode BaseUnit, TUnitCode DisplayUnit);

// Converts between two codes of one family; NoValue, codes of different
// families and codes without a family give the value unchanged.
float ConvertUnits(TUnitCode From, TUnitCode To, float Value);
float ConvertPressure(TUnitCode From, TUnitCode To, float Value);
float ConvertFlow(TUnitCode From, TUnitCode To, float Value);
float ConvertVolume(TUnitCode From, TUnitCode To, float Value);
float ConvertTemperature(TUnitCode From, TUnitCode To, float Value);

float KelvinToCelsius(float X);
float CelsiusToKelvin(float X);
float CelsiusToFahrenheit(float X);
float FahrenheitToCelsius(float X);
