#include "analyzer/Units.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Units, NoValueIsTheSingleMarker)
{
    uint32_t Bits = 0;
    std::memcpy(&Bits, &NoValue, sizeof Bits);
    EXPECT_EQ(Bits, 0xCB18967Fu);
}

TEST(Units, UnitNamesByCode)
{
    const struct {
        TUnitCode Code;
        const char* Name;
    } Cases[] = {
        {0, " "},      {1, "cmH2O"},  {2, "mmHg"},     {3, "PSI"},    {4, "kPa"},
        {5, "Bar"},    {6, "mBar"},   {7, "ATM"},      {8, "inH2O"},  {9, "InHg"},
        {10, "LPM"},   {11, "CFM"},   {12, "LPS"},     {13, "mL/min"}, {14, "mL/sec"},
        {15, "Liters"}, {16, "CF"},   {17, "mL"},      {18, "%"},     {19, "BPM"},
        {20, "sec"},   {21, "deg K"}, {22, "deg C"},   {23, "deg F"}, {24, "Volts"},
        {25, "ml/cmH2O"}, {26, " "},  {27, ""},        {-1, ""},      {1000, ""},
    };
    for (const auto& c : Cases)
        EXPECT_EQ(UnitName(c.Code), c.Name) << "code " << c.Code;
}

TEST(Units, NumberFormatAndFormatNumber)
{
    const char* Patterns[] = {"0", "0.0", "0.00", "0.000", "0.0000", "0.00000", "0"};
    for (int d = 0; d <= 6; ++d)
        EXPECT_EQ(NumberFormat(d), Patterns[d]) << d;
    EXPECT_EQ(NumberFormat(-1), "0");

    const struct {
        int Decimals;
        float Value;
        const char* Text;
    } Cases[] = {
        {2, 3.14159f, "3.14"},
        {3, NoValue, "-----"},
        {0, NoValue, "-----"},
        {3, 7.5f, "7.500"},
        {0, 2.5f, "3"},       // halves away from zero
        {0, -2.5f, "-3"},
        {1, -0.04f, "0.0"},   // never "-0.0"
        {1, -12.34f, "-12.3"},
        {7, 1.75f, "2"},      // more than 5 decimals: whole numbers
        {-1, 1.25f, "1"},
    };
    for (const auto& c : Cases)
        EXPECT_EQ(FormatNumber(c.Decimals, c.Value), c.Text) << c.Decimals << " " << c.Value;
}

TEST(Units, ConversionsWithinAndAcrossFamilies)
{
    const struct {
        TUnitCode From;
        TUnitCode To;
        float Value;
        double Expected;
        double Tolerance;
    } Cases[] = {
        // outside a family, to another family, to itself: unchanged
        {1, 10, 5, 5, 0},
        {0, 1, 5, 5, 0},
        {1, 1, 5, 5, 0},
        {18, 19, 5, 5, 0},
        {26, 1, 5, 5, 0},
        {22, 1, 5, 5, 0},
        {10, 17, 5, 5, 0},
        {30, 1, 5, 5, 0},
        {1, 30, 5, 5, 0},
        // pressure, including the two entries that go through mmHg
        {1, 9, 100, 2.8959, 1e-4},
        {9, 1, 1, 34.5314, 1e-4},
        {2, 1, 10, 13.595, 1e-5},
        {1, 4, 100, 9.806, 1e-5},
        {7, 2, 1, 760.0036, 1e-4},
        {3, 1, 2, 140.616, 1e-4},
        // flow and volume
        {10, 13, 7.5f, 7500, 0},
        {12, 10, 0.5f, 30, 0},
        {10, 11, 100, 3.5315722, 1e-6},
        {17, 15, 500, 0.5, 1e-7},
        {16, 17, 1, 28316, 0},
        // temperature
        {21, 22, 310, 36.85, 1e-5},
        {22, 23, 100, 212, 0},
        {23, 21, 32, 273.15, 1e-4},
        {23, 22, 212, 100, 1e-5},
        {22, 21, -273.15f, 0, 1e-4},
        {21, 23, 273.15f, 32, 1e-4},
    };
    for (const auto& c : Cases)
        EXPECT_NEAR(ConvertUnits(c.From, c.To, c.Value), c.Expected, c.Tolerance)
            << c.From << " -> " << c.To << " of " << c.Value;
}

TEST(Units, TemperaturesRoundEachStepToSinglePrecision)
{
    // 273.15 is subtracted in double and the result rounded once.
    EXPECT_EQ(ConvertUnits(ucKelvin, ucCelsius, 310), 36.85f);
    EXPECT_EQ(ConvertUnits(ucFahrenheit, ucKelvin, 32), 273.15f);
    EXPECT_EQ(ConvertUnits(ucCelsius, ucFahrenheit, 37), 98.6f);
    EXPECT_EQ(CelsiusToKelvin(KelvinToCelsius(300)), 300.0f);
}

TEST(Units, NoValuePassesThroughEveryConversion)
{
    const TUnitCode Pairs[][2] = {{21, 22}, {1, 4}, {10, 13}, {17, 15}, {23, 21}, {1, 1}};
    for (const auto& p : Pairs) {
        EXPECT_EQ(ConvertUnits(p[0], p[1], NoValue), NoValue) << p[0] << " -> " << p[1];
        EXPECT_EQ(FormatNumber(2, ConvertUnits(p[0], p[1], NoValue)), "-----");
    }
}

TEST(Units, FamilyConvertersIgnoreCodesOutsideTheirRange)
{
    EXPECT_EQ(ConvertPressure(1, 10, 5), 5);
    EXPECT_EQ(ConvertFlow(10, 9, 5), 5);
    EXPECT_EQ(ConvertVolume(17, 18, 5), 5);
    EXPECT_EQ(ConvertTemperature(21, 21, 5), 5);
    EXPECT_EQ(ConvertTemperature(21, 1, 5), 5);
}

TEST(Units, DecimalsForUnitPairs)
{
    const struct {
        TUnitCode Base;
        TUnitCode Display;
        int Decimals;
    } Cases[] = {
        {1, 1, 1}, {1, 2, 1}, {1, 3, 2}, {1, 4, 2}, {1, 5, 3}, {1, 6, 1}, {1, 7, 3}, {1, 8, 2}, {1, 9, 2},
        {2, 2, 1}, {2, 7, 1},
        {3, 1, 1}, {3, 2, 1}, {3, 3, 2}, {3, 4, 2}, {3, 5, 3}, {3, 6, 1}, {3, 7, 3}, {3, 8, 1}, {3, 9, 2},
        {10, 10, 2}, {10, 11, 3}, {10, 12, 3}, {10, 13, 0}, {10, 14, 0},
        {17, 15, 3}, {17, 16, 3}, {17, 17, 1},
        {18, 18, 1}, {19, 19, 1}, {21, 22, 1}, {24, 24, 1}, {25, 25, 1},
        {20, 20, 2}, {26, 26, 2},
        {0, 0, 0}, {4, 1, 0}, {9, 9, 0}, {11, 10, 0}, {15, 17, 0}, {16, 16, 0}, {22, 22, 0}, {23, 22, 0},
        {30, 1, 0}, {-1, 1, 0},
    };
    for (const auto& c : Cases)
        EXPECT_EQ(DecimalsFor(c.Base, c.Display), c.Decimals) << c.Base << " / " << c.Display;
}
