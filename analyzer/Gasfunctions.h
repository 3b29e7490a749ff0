// Gas records and plot ranges: the change test of a gas record, the axis-range
// setters, the correction-mode order of the gas dialogs, the whole-degree
// temperature conversions the gas dialogs show, and the arithmetic of the gas
// calculator (balance and the viscosity and molecular weight of a mixture).
#pragma once

#include "analyzer/Types.h"

#include <cstdint>

// True when the analyzer would receive another record than Stored: the
// temperature, humidity and viscosity compared as the whole numbers they are
// sent as, the molecular weight in hundredths.
bool GasPropertiesChanged(const TGasProperties& Stored, float Temperature, float RelHumidity, float Viscosity,
                          float MolWeight);

// YUpper := the larger of A and B, YLower := the other; X untouched.
void SetPlotScale(TPlotScale& Scale, float A, float B);
// The Y pair from A and B, the X pair from C and D, larger one upper.
void SetLoopScale(TPlotScale& Scale, float A, float B, float C, float D);

// The gas dialogs list the correction modes as ATP, BTPS, STPD0, STPD21; the
// analyzer numbers them ATP, STPD0, BTPS, STPD21. Any other code is STPD21.
int CorrectionModeComboIndex(TCorrectionMode Mode);

// Kelvin shown as whole degrees Celsius, halves rounded up (also below 0 C).
int KelvinToWholeCelsius(float Kelvin);
// Degrees Celsius back to kelvin, truncated to whole kelvin.
int32_t CelsiusToWholeKelvin(double Celsius);

// Components of the gas calculator, in this order throughout.
enum : int {
    gcN2 = 0,
    gcO2 = 1,
    gcCO2 = 2,
    gcHe = 3,
    gcN2O = 4,
    gcCustom1 = 5,
    gcCustom2 = 6,
    gcCustom3 = 7,
    gcWater = 8,   // never entered: it comes from temperature and humidity
};
constexpr int GasComponentCount = 9;
constexpr int EnteredGasCount = 8;   // components 0 to 7 carry a percentage

// Molecular weight (g/mole), viscosity at 0 C (micropoise) and viscosity
// change per degree C of one component.
struct TGasConstants {
    float MolWeight = 0;
    float ViscIntercept = 0;
    float ViscSlope = 0;
};
// The fixed components; the custom entries 5 to 7 are 0.
extern const TGasConstants StandardGasConstants[GasComponentCount];

// Sum of the percentages of components 0 to 7 other than BalanceGas, summed
// as 32-bit floats.
float PercentSumWithoutBalance(const double (&Percent)[EnteredGasCount], int BalanceGas);

struct TGasMixture {
    float Viscosity = 0;   // micropoise, 0 when nothing weighs in
    float MolWeight = 0;   // g/mole
};

// Viscosity (Herning and Zipperer) and molecular weight of a mixture of the
// entered percentages, humidified to RelHumidity % at Temperature C under
// BaroPressure mmHg. Water takes at most the whole mixture; a pressure of 0
// or below adds no water and a negative molecular weight counts as 0.
TGasMixture MixtureProperties(const float (&MolWeight)[GasComponentCount],
                              const float (&ViscIntercept)[GasComponentCount],
                              const float (&ViscSlope)[GasComponentCount], const double (&Percent)[EnteredGasCount],
                              float Temperature, float RelHumidity, float BaroPressure);
