#include "analyzer/Units.h"

#include "platform/SysUtils.h"

const char NoValueText[] = "-----";

const char UnitNames[UnitCodeCount][10] = {
    " ",        // 0  none
    "cmH2O",    // 1
    "mmHg",     // 2
    "PSI",      // 3
    "kPa",      // 4
    "Bar",      // 5
    "mBar",     // 6
    "ATM",      // 7
    "inH2O",    // 8
    "InHg",     // 9
    "LPM",      // 10
    "CFM",      // 11
    "LPS",      // 12
    "mL/min",   // 13
    "mL/sec",   // 14
    "Liters",   // 15
    "CF",       // 16
    "mL",       // 17
    "%",        // 18
    "BPM",      // 19
    "sec",      // 20
    "deg K",    // 21
    "deg C",    // 22
    "deg F",    // 23
    "Volts",    // 24
    "ml/cmH2O", // 25
    " ",        // 26 ratio
};

// cmH2O to InHg and InHg to cmH2O go through mmHg, in single precision.
const float PressureFactors[9][9] = {
    // cmH2O     mmHg        PSI          kPa          Bar          mBar        ATM          inH2O      InHg
    {1.0f, 0.73556f, 0.014223f, 0.09806f, 0.0009806f, 0.9806f, 0.0009678f, 0.3937f, 0.73556f * 0.03937f},
    {1.3595f, 1.0f, 0.019337f, 0.13332f, 0.0013332f, 1.3332f, 0.0013158f, 0.53525f, 0.03937f},
    {70.308f, 51.715f, 1.0f, 6.8947f, 0.068947f, 68.947f, 0.0680457f, 27.68f, 2.036f},
    {10.1978f, 7.50075f, 0.145039f, 1.0f, 0.01f, 10.0f, 0.0098693f, 4.0147f, 0.2953f},
    {1019.78f, 750.075f, 14.50389f, 100.0f, 1.0f, 1000.0f, 0.986928f, 401.47f, 29.53f},
    {1.01978f, 0.750075f, 0.01450389f, 0.1f, 0.001f, 1.0f, 0.0009869f, 0.40147f, 0.02953f},
    {1033.24f, 760.0036f, 14.696f, 101.3245f, 1.013245f, 1013.245f, 1.0f, 406.785f, 29.921057f},
    {2.54001f, 1.868286f, 0.036127f, 0.249085f, 0.00249085f, 2.490846f, 0.00245829f, 1.0f, 0.073551f},
    {25.40005f * 1.3595f, 25.40005f, 0.491159f, 3.3863866f, 0.03386385f, 33.86387f, 0.03342128f, 13.596f, 1.0f},
};

const float FlowFactors[5][5] = {
    // LPM       CFM            LPS            mL/min    mL/sec
    {1.0f, 0.035315722f, 0.016666668f, 1000.0f, 16.666666f},
    {28.316f, 1.0f, 0.4719f, 28316.0f, 471.9333f},
    {60.0f, 2.119093f, 1.0f, 60000.0f, 1000.0f},
    {0.001f, 0.0000353157f, 0.0000166667f, 1.0f, 0.016666668f},
    {0.06f, 0.002118944f, 0.001f, 60.0f, 1.0f},
};

const float VolumeFactors[3][3] = {
    // Liters    CF             mL
    {1.0f, 0.035315722f, 1000.0f},
    {28.316f, 1.0f, 28316.0f},
    {0.001f, 0.0000353157f, 1.0f},
};

std::string UnitName(TUnitCode Code)
{
    if (Code < 0 || Code >= UnitCodeCount)
        return std::string();
    return UnitNames[Code];
}

std::string NumberFormat(int Decimals)
{
    switch (Decimals) {
    case 1: return "0.0";
    case 2: return "0.00";
    case 3: return "0.000";
    case 4: return "0.0000";
    case 5: return "0.00000";
    default: return "0";
    }
}

std::string FormatNumber(int Decimals, float Value)
{
    if (Value == NoValue)
        return NoValueText;
    return FormatFloat(NumberFormat(Decimals), Value);
}

int DecimalsFor(TUnitCode BaseUnit, TUnitCode DisplayUnit)
{
    switch (BaseUnit) {
    case ucCmH2O:
        switch (DisplayUnit) {
        case ucPSI: case ucKPa: case ucInH2O: case ucInHg: return 2;
        case ucBar: case ucATM: return 3;
        default: return 1;
        }
    case ucMmHg:
        return 1;
    case ucPSI:
        switch (DisplayUnit) {
        case ucCmH2O: case ucMmHg: case ucMBar: case ucInH2O: return 1;
        case ucBar: case ucATM: return 3;
        default: return 2;
        }
    case ucLPM:
        switch (DisplayUnit) {
        case ucCFM: case ucLPS: return 3;
        case ucMLPerMin: case ucMLPerSec: return 0;
        default: return 2;
        }
    case ucML:
        // Volumes are shown in the volume family only; any other display
        // unit keeps the base unit's decimals.
        switch (DisplayUnit) {
        case ucLiters: case ucCF: return 3;
        default: return 1;
        }
    case ucPercent: case ucBPM: case ucKelvin: case ucVolts: case ucMLPerCmH2O:
        return 1;
    case ucSeconds: case ucRatio:
        return 2;
    default:
        return 0;
    }
}

namespace {

// Value * Factors[from - First][to - First] when both codes lie in First..Last.
template <int N>
float ConvertInFamily(const float (&Factors)[N][N], TUnitCode First, TUnitCode From, TUnitCode To,
                      float Value)
{
    const TUnitCode Last = First + N - 1;
    if (From < First || From > Last || To < First || To > Last)
        return Value;
    return Value * Factors[From - First][To - First];
}

}   // namespace

float ConvertPressure(TUnitCode From, TUnitCode To, float Value)
{
    return ConvertInFamily(PressureFactors, ucCmH2O, From, To, Value);
}

float ConvertFlow(TUnitCode From, TUnitCode To, float Value)
{
    return ConvertInFamily(FlowFactors, ucLPM, From, To, Value);
}

float ConvertVolume(TUnitCode From, TUnitCode To, float Value)
{
    return ConvertInFamily(VolumeFactors, ucLiters, From, To, Value);
}

// Each step is rounded to single precision before the next one.
float KelvinToCelsius(float X)
{
    return static_cast<float>(X - 273.15);
}

float CelsiusToKelvin(float X)
{
    return static_cast<float>(X + 273.15);
}

float CelsiusToFahrenheit(float X)
{
    const float Times9 = X * 9.0f;
    const float Fifth = static_cast<float>(Times9 * 0.2);
    return Fifth + 32.0f;
}

float FahrenheitToCelsius(float X)
{
    const float Less32 = X - 32.0f;
    const float Times5 = Less32 * 5.0f;
    return static_cast<float>(Times5 * (1.0 / 9.0));
}

float ConvertTemperature(TUnitCode From, TUnitCode To, float Value)
{
    switch (From) {
    case ucKelvin:
        if (To == ucCelsius) return KelvinToCelsius(Value);
        if (To == ucFahrenheit) return CelsiusToFahrenheit(KelvinToCelsius(Value));
        break;
    case ucCelsius:
        if (To == ucKelvin) return CelsiusToKelvin(Value);
        if (To == ucFahrenheit) return CelsiusToFahrenheit(Value);
        break;
    case ucFahrenheit:
        if (To == ucCelsius) return FahrenheitToCelsius(Value);
        if (To == ucKelvin) return CelsiusToKelvin(FahrenheitToCelsius(Value));
        break;
    default:
        break;
    }
    return Value;
}

float ConvertUnits(TUnitCode From, TUnitCode To, float Value)
{
    if (Value == NoValue)
        return Value;
    if (From >= ucCmH2O && From <= ucInHg)
        return ConvertPressure(From, To, Value);
    if (From >= ucLPM && From <= ucMLPerSec)
        return ConvertFlow(From, To, Value);
    if (From >= ucLiters && From <= ucML)
        return ConvertVolume(From, To, Value);
    if (From >= ucKelvin && From <= ucFahrenheit)
        return ConvertTemperature(From, To, Value);
    return Value;
}
