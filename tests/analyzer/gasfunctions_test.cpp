// Gas record comparison, plot-scale pairs, the dialogs' correction order and
// whole-degree temperatures, and the gas calculator's mixture arithmetic
// against mixtures worked out by hand from the component constants.
#include "analyzer/Gasfunctions.h"

#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct ChangeCase {
    const char* What;
    float T, RH, Visc, MW;
    bool Changed;
};

TEST(GasPropertiesChanged, ComparesTheValuesAsTheyAreSent)
{
    const TGasProperties Stored{310.0f, 40.0f, 184.6f, 28.96f};
    const ChangeCase Cases[] = {
        {"nothing changed", 310.0f, 40.0f, 184.6f, 28.96f, false},
        {"all round to the same whole numbers", 310.4f, 40.2f, 184.9f, 28.96f, false},
        {"temperature below its integer part, same when rounded", 309.9f, 40.0f, 184.6f, 28.96f, false},
        {"temperature rounds up to the next kelvin", 310.5f, 40.0f, 184.6f, 28.96f, true},
        {"humidity rounds to another percent", 310.0f, 40.6f, 184.6f, 28.96f, true},
        {"viscosity 184.6 to 184.3 is sent as 184, not 185", 310.0f, 40.0f, 184.3f, 28.96f, true},
        {"molecular weight in the next hundredth", 310.0f, 40.0f, 184.6f, 28.97f, true},
        {"molecular weight below a hundredth apart", 310.0f, 40.0f, 184.6f, 28.961f, false},
    };
    for (const ChangeCase& C : Cases)
        EXPECT_EQ(GasPropertiesChanged(Stored, C.T, C.RH, C.Visc, C.MW), C.Changed) << C.What;
}

TEST(PlotScale, UpperIsTheLargerOfEachPair)
{
    const float Pairs[][2] = {{-5, 20}, {20, -5}, {7, 7}};
    for (const auto& P : Pairs) {
        TPlotScale S{true, 0, 0, 99, -99};
        SetPlotScale(S, P[0], P[1]);
        EXPECT_EQ(S.YUpper, std::max(P[0], P[1]));
        EXPECT_EQ(S.YLower, std::min(P[0], P[1]));
        EXPECT_EQ(S.XUpper, 99);
        EXPECT_EQ(S.XLower, -99);
        EXPECT_TRUE(S.Manual);
    }
    TPlotScale L;
    SetLoopScale(L, 1, 3, 10, -10);
    EXPECT_EQ(L.YUpper, 3);
    EXPECT_EQ(L.YLower, 1);
    EXPECT_EQ(L.XUpper, 10);
    EXPECT_EQ(L.XLower, -10);
    SetLoopScale(L, 4, 2, -1, 6);
    EXPECT_EQ(L.YUpper, 4);
    EXPECT_EQ(L.YLower, 2);
    EXPECT_EQ(L.XUpper, 6);
    EXPECT_EQ(L.XLower, -1);
}

TEST(CorrectionModeComboIndex, MapsTheAnalyzersNumberingToTheComboOrder)
{
    // Combo order: ATP, BTPS, STPD0, STPD21.
    const int Expected[][2] = {{cmATP, 0}, {cmSTPD0, 2}, {cmBTPS, 1}, {cmSTPD21, 3}, {4, 3}, {-1, 3}};
    for (const auto& E : Expected)
        EXPECT_EQ(CorrectionModeComboIndex(E[0]), E[1]) << "mode " << E[0];
}

TEST(WholeDegrees, KelvinShowsRoundedAndComesBackTruncated)
{
    const float Kelvin[][2] = {{310, 37}, {296, 23}, {273.15f, 0}, {272.7f, 0}, {272.6f, -1}, {268, -5}, {263.15f, -10}, {253, -20}};
    for (const auto& K : Kelvin)
        EXPECT_EQ(KelvinToWholeCelsius(K[0]), K[1]) << K[0] << " K";
    EXPECT_EQ(CelsiusToWholeKelvin(37), 310);
    EXPECT_EQ(CelsiusToWholeKelvin(23), 296);
    EXPECT_EQ(CelsiusToWholeKelvin(-5), 268);
    // Every whole kelvin survives being shown and taken back, below 0 C too.
    for (int K = 200; K <= 400; ++K)
        EXPECT_EQ(CelsiusToWholeKelvin(KelvinToWholeCelsius(static_cast<float>(K))), K) << K << " K";
}

// The fixed components with one custom gas in slot 5.
struct Constants {
    float MW[GasComponentCount];
    float Intercept[GasComponentCount];
    float Slope[GasComponentCount];
    explicit Constants(float CustomMW = 0, float CustomIntercept = 0)
    {
        for (int j = 0; j < GasComponentCount; ++j) {
            MW[j] = StandardGasConstants[j].MolWeight;
            Intercept[j] = StandardGasConstants[j].ViscIntercept;
            Slope[j] = StandardGasConstants[j].ViscSlope;
        }
        MW[gcCustom1] = CustomMW;
        Intercept[gcCustom1] = CustomIntercept;
    }
};

struct MixCase {
    const char* What;
    double Percent[EnteredGasCount];   // N2, O2, CO2, He, N2O, custom 1-3
    float T, RH, Baro;
    float CustomMW, CustomIntercept;
    const char* Viscosity;   // "0.0"
    const char* MolWeight;   // "0.00"
};

TEST(MixtureProperties, MixturesWorkedOutByHand)
{
    const MixCase Cases[] = {
        {"room air", {79.07, 20.93}, 22, 35, 760, 0, 0, "182.1", "28.73"},
        {"respiration, inspiratory", {79.07, 20.93}, 22, 50, 760, 0, 0, "181.9", "28.69"},
        {"respiration, expiratory", {79, 16, 5}, 34, 100, 760, 0, 0, "181.6", "28.82"},
        {"dry N2 at 0 C", {100}, 0, 0, 760, 0, 0, "166.7", "28.00"},
        {"dry N2 at 20 C", {100}, 20, 0, 760, 0, 0, "175.7", "28.00"},
        {"dry heliox 79/21 at 20 C", {0, 21, 0, 79}, 20, 0, 760, 0, 0, "199.3", "9.88"},
        {"argon as custom gas at 100 %", {0, 0, 0, 0, 0, 100}, 20, 0, 760, 39.948f, 209.9f, "209.9", "39.95"},
        {"nothing at all", {}, 20, 0, 760, 0, 0, "0.0", "0.00"},
        {"no pressure adds no water", {100}, 20, 50, 0, 0, 0, "175.7", "28.00"},
        {"more water than pressure is all water", {100}, 34, 100, 1, 0, 0, "102.4", "18.00"},
        {"a negative molecular weight weighs nothing", {0, 0, 0, 0, 0, 100}, 20, 0, 760, -5, 100, "0.0", "0.00"},
    };
    for (const MixCase& C : Cases) {
        const Constants K(C.CustomMW, C.CustomIntercept);
        const TGasMixture Mix = MixtureProperties(K.MW, K.Intercept, K.Slope, C.Percent, C.T, C.RH, C.Baro);
        EXPECT_TRUE(std::isfinite(Mix.Viscosity) && std::isfinite(Mix.MolWeight)) << C.What;
        EXPECT_EQ(FormatFloat("0.0", Mix.Viscosity), C.Viscosity) << C.What;
        EXPECT_EQ(FormatFloat("0.00", Mix.MolWeight), C.MolWeight) << C.What;
    }
}

TEST(PercentSumWithoutBalance, LeavesOutTheBalanceGas)
{
    const double Percent[EnteredGasCount] = {50, 60, 50, 0, 0, 0, 0, 1.5};
    EXPECT_FLOAT_EQ(PercentSumWithoutBalance(Percent, gcN2), 111.5f);
    EXPECT_FLOAT_EQ(PercentSumWithoutBalance(Percent, gcO2), 101.5f);
    EXPECT_FLOAT_EQ(PercentSumWithoutBalance(Percent, gcCustom3), 160.0f);
}

}  // namespace
