#include "analyzer/Gasfunctions.h"

#include "analyzer/Functions.h"
#include "analyzer/Units.h"

#include <algorithm>
#include <cmath>

namespace {

// A gas value as the gas commands send it: trunc(x + 0.5). Kept as a double
// so no value overflows an integer on the way.
double SentValue(float X)
{
    return std::trunc(static_cast<double>(X) + 0.5);
}

// Upper := the larger of A and B, Lower := the other.
void OrderPair(float A, float B, float& Upper, float& Lower)
{
    Upper = A > B ? A : B;
    Lower = A > B ? B : A;
}

}  // namespace

bool GasPropertiesChanged(const TGasProperties& Stored, float Temperature, float RelHumidity, float Viscosity,
                          float MolWeight)
{
    return SentValue(Stored.Temperature) != SentValue(Temperature) ||
           SentValue(Stored.RelHumidity) != SentValue(RelHumidity) ||
           SentValue(Stored.Viscosity) != SentValue(Viscosity) ||
           SentValue(Stored.MolWeight * 100.0f) != SentValue(MolWeight * 100.0f);
}

void SetPlotScale(TPlotScale& Scale, float A, float B)
{
    OrderPair(A, B, Scale.YUpper, Scale.YLower);
}

void SetLoopScale(TPlotScale& Scale, float A, float B, float C, float D)
{
    OrderPair(A, B, Scale.YUpper, Scale.YLower);
    OrderPair(C, D, Scale.XUpper, Scale.XLower);
}

int CorrectionModeComboIndex(TCorrectionMode Mode)
{
    switch (Mode) {
    case cmATP: return 0;
    case cmSTPD0: return 2;
    case cmBTPS: return 1;
    default: return 3;
    }
}

int KelvinToWholeCelsius(float Kelvin)
{
    return static_cast<int>(std::floor(static_cast<double>(ConvertUnits(ucKelvin, ucCelsius, Kelvin)) + 0.5));
}

int32_t CelsiusToWholeKelvin(double Celsius)
{
    return static_cast<int32_t>(std::trunc(ConvertUnits(ucCelsius, ucKelvin, static_cast<float>(Celsius))));
}

const TGasConstants StandardGasConstants[GasComponentCount] = {
    {28.0f, 166.7f, 0.452f},   // N2
    {32.0f, 192.4f, 0.547f},   // O2
    {44.0f, 137.3f, 0.472f},   // CO2
    {4.0f, 187.5f, 0.441f},    // He
    {44.0f, 136.0f, 0.474f},   // N2O
    {0, 0, 0},                 // custom gases 1 to 3
    {0, 0, 0},
    {0, 0, 0},
    {18.0f, 90.0f, 0.364f},    // water vapour
};

float PercentSumWithoutBalance(const double (&Percent)[EnteredGasCount], int BalanceGas)
{
    float Sum = 0;
    for (int j = 0; j < EnteredGasCount; ++j)
        if (j != BalanceGas)
            Sum += static_cast<float>(Percent[j]);
    return Sum;
}

TGasMixture MixtureProperties(const float (&MolWeight)[GasComponentCount],
                              const float (&ViscIntercept)[GasComponentCount],
                              const float (&ViscSlope)[GasComponentCount], const double (&Percent)[EnteredGasCount],
                              float Temperature, float RelHumidity, float BaroPressure)
{
    float Water = 0;
    if (BaroPressure > 0)
        Water = std::min(WaterVapourPressure(RelHumidity, Temperature) / BaroPressure, 1.0f);

    float Fraction[GasComponentCount];
    for (int j = 0; j < EnteredGasCount; ++j)
        Fraction[j] = (1.0f - Water) * static_cast<float>(Percent[j] * 0.01);
    Fraction[gcWater] = Water;

    TGasMixture Mix;
    float Numerator = 0;
    float Denominator = 0;
    for (int j = 0; j < GasComponentCount; ++j) {
        const float Weight = std::max(MolWeight[j], 0.0f);
        const float Viscosity = ViscIntercept[j] + ViscSlope[j] * Temperature;
        const float Root = std::sqrt(Weight);
        Numerator += Root * Fraction[j] * Viscosity;
        Denominator += Root * Fraction[j];
        Mix.MolWeight += Fraction[j] * Weight;
    }
    Mix.Viscosity = Denominator > 0 ? Numerator / Denominator : 0;
    return Mix;
}
