// Axis range (automatic and by hand), refused settings and the label
// increment of linear, date-time and logarithmic axes.
#include "chart/ChEngine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

class TScaleChart : public TCustomAxisPanel {
public:
    TScaleChart() : TCustomAxisPanel(nullptr)
    {
        SetView3D(false);
        LayOut({0, 0, 500, 400});
    }
    // The chart rectangle a layout would have given.
    void LayOut(const TRect& R)
    {
        FChartRect = R;
        ReCalcWidthHeight();
    }
};

// A bottom axis of the given pixel width showing Min to Max.
void Place(TChartAxis* Axis, double Min, double Max)
{
    Axis->SetMinMax(Min, Max);
    Axis->InternalCalcPositions();
    Axis->AdjustMaxMin();
}

}  // namespace

TEST(AxisScale, SetMinMaxFixesTheRangeInOneStep)
{
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double A, B;
        double Min, Max;
    };
    const Case Cases[] = {
        {1, 5, 1, 5},
        {5, 1, 1, 5},
        {3, 3, 3, 3 + 1e-10},
        {-2, -2.00000000001, -2.00000000001, -2.00000000001 + 1e-10},
        // a range that is not finite is ignored
        {NaN, 7, -10, 10},
        {0, std::numeric_limits<double>::infinity(), -10, 10},
    };
    for (const Case& C : Cases) {
        TScaleChart Chart;
        TChartAxis* Axis = Chart.LeftAxis();
        Axis->SetMinMax(-10, 10);
        Axis->SetMinMax(C.A, C.B);
        EXPECT_EQ(Axis->Minimum(), C.Min) << C.A << " " << C.B;
        EXPECT_EQ(Axis->Maximum(), C.Max) << C.A << " " << C.B;
        EXPECT_FALSE(Axis->Automatic());
        EXPECT_FALSE(Axis->AutomaticMinimum());
        EXPECT_FALSE(Axis->AutomaticMaximum());
    }
}

TEST(AxisScale, RefusedSettingsRaiseAndLeaveTheAxisAsItWas)
{
    struct Case {
        const char* What;
        std::function<void(TChartAxis*)> Write;
        std::string Message;
    };
    const Case Cases[] = {
        {"negative increment", [](TChartAxis* A) { A->SetDesiredIncrement(-1); }, "Axis increment must be >= 0"},
        {"NaN increment", [](TChartAxis* A) { A->SetDesiredIncrement(std::nan("")); }, "Axis increment must be >= 0"},
        {"minimum above maximum", [](TChartAxis* A) { A->SetMinimum(11); }, "Axis Minimum Value must be <= Maximum"},
        {"maximum below minimum", [](TChartAxis* A) { A->SetMaximum(-11); }, "Axis Maximum Value must be >= Minimum"},
        {"base 1", [](TChartAxis* A) { A->SetLogarithmicBase(1); }, "Axis Logarithmic Base should be <> 1 and > 0"},
        {"base 0", [](TChartAxis* A) { A->SetLogarithmicBase(0); }, "Axis Logarithmic Base should be <> 1 and > 0"},
        {"base below 1", [](TChartAxis* A) { A->SetLogarithmicBase(0.5); }, "Axis Logarithmic Base should be <> 1 and > 0"},
        {"negative separation", [](TChartAxis* A) { A->SetLabelsSeparation(-1); },
         "Labels Separation % must be greater than 0"},
        {"logarithmic below zero", [](TChartAxis* A) { A->SetLogarithmic(true); },
         "Logarithmic Axis Min and Max values should be >= 0"},
    };
    for (const Case& C : Cases) {
        TScaleChart Chart;
        TChartAxis* Axis = Chart.LeftAxis();
        Axis->SetMinMax(-10, 10);
        try {
            C.Write(Axis);
            ADD_FAILURE() << C.What << " was accepted";
        } catch (const AxisException& E) {
            EXPECT_EQ(std::string(E.what()), C.Message) << C.What;
        }
        EXPECT_EQ(Axis->Minimum(), -10) << C.What;
        EXPECT_EQ(Axis->Maximum(), 10) << C.What;
        EXPECT_EQ(Axis->Increment(), 0) << C.What;
        EXPECT_EQ(Axis->LogarithmicBase(), 10) << C.What;
        EXPECT_EQ(Axis->LabelsSeparation(), 10) << C.What;
        EXPECT_FALSE(Axis->Logarithmic()) << C.What;
    }

    TScaleChart Chart;
    Chart.LeftAxis()->SetLogarithmicBase(2);
    EXPECT_EQ(Chart.LeftAxis()->LogarithmicBase(), 2);
    Chart.LeftAxis()->SetLabelsSeparation(0);
    EXPECT_EQ(Chart.LeftAxis()->LabelsSeparation(), 0);
}

TEST(AxisScale, WhileLoadingMinimumAndFlagsAreTakenAsStored)
{
    TScaleChart Chart;
    TChartAxis* Axis = Chart.LeftAxis();
    Chart.Loading = true;
    Axis->SetMinimum(20);
    EXPECT_EQ(Axis->Minimum(), 20);
    Axis->SetAutomatic(false);
    EXPECT_TRUE(Axis->AutomaticMinimum());
    EXPECT_TRUE(Axis->AutomaticMaximum());
    Chart.Loading = false;
    Axis->SetAutomatic(true);
    Axis->SetAutomaticMinimum(false);
    EXPECT_FALSE(Axis->Automatic());
    Axis->SetAutomaticMinimum(true);
    EXPECT_TRUE(Axis->Automatic());
}

TEST(AxisScale, AutomaticRangeComesFromTheFiniteValuesOfBoundSeries)
{
    TScaleChart Chart;
    auto* S = new TChartSeries(nullptr);
    Chart.AddSeries(S);
    S->AddXY(0, 1);
    S->AddXY(1, std::nan(""));
    S->AddXY(2, std::numeric_limits<double>::infinity());
    S->AddXY(3, -2);
    TChartAxis* Left = Chart.LeftAxis();
    Left->InternalCalcPositions();
    Left->AdjustMaxMin();
    EXPECT_EQ(Left->Minimum(), -2);
    EXPECT_EQ(Left->Maximum(), 1);
    EXPECT_EQ(Left->ScaleRange(), 3);

    // a maximum set by hand on an automatic axis is replaced at the next draw
    Left->SetMaximum(50);
    Left->AdjustMaxMin();
    EXPECT_EQ(Left->Maximum(), 1);

    // an axis no series is bound to
    Chart.RightAxis()->AdjustMaxMin();
    EXPECT_EQ(Chart.RightAxis()->Minimum(), 0);
    EXPECT_EQ(Chart.RightAxis()->Maximum(), 0);

    // a logarithmic axis refuses data below zero
    EXPECT_THROW(Left->SetLogarithmic(true), AxisException);
}

TEST(AxisScale, LabelIncrementsWorkedByHand)
{
    struct Case {
        const char* What;
        double Min, Max, Increment;
        int Separation, Labels;
        double Expected;
    };
    const Case Cases[] = {
        {"room for 23 labels", 0, 100, 0, 10, 23, 5},
        {"increment is only a floor", 0, 60, 10, 10, 3, 20},
        {"increment already fits", 0, 100, 50, 10, 10, 50},
        {"no overlap stepping", 0, 100, 0, 0, 4, 20},
        {"no overlap stepping, tiny range", 0, 1e-10, 0, 0, 4, 2e-11},
        {"no room at all", 0, 100, 0, 10, 0, 1e-12},
        {"one label", 0, 100, 0, 10, 1, 100},
        {"negative range", -7, -3, 0, 10, 4, 1},
    };
    for (const Case& C : Cases) {
        TScaleChart Chart;
        TChartAxis* Axis = Chart.BottomAxis();
        Place(Axis, C.Min, C.Max);
        Axis->SetLabelsSeparation(C.Separation);
        Axis->SetDesiredIncrement(C.Increment);
        EXPECT_NEAR(Axis->CalcLabelsIncrement(C.Labels), C.Expected, C.Expected * 1e-9) << C.What;
    }
}

TEST(AxisScale, IncrementFromPixelSizeAndLabelSize)
{
    struct Case {
        int Pixels, LabelSize, Separation;
        double Expected;
    };
    const Case Cases[] = {
        {500, 20, 10, 5},   // n = Round(500 / 22) = 23, 100 / 24 steps up to 5
        {500, 20, 0, 100.0 / 26},  // n = 25, no stepping
        {500, 0, 10, 100},  // no label size: one label
        {100, 40, 10, 50},  // n = Round(100 / 44) = 2
    };
    for (const Case& C : Cases) {
        TScaleChart Chart;
        Chart.LayOut({0, 0, C.Pixels, 400});
        TChartAxis* Axis = Chart.BottomAxis();
        Place(Axis, 0, 100);
        Axis->SetLabelsSeparation(C.Separation);
        EXPECT_NEAR(Axis->CalcXYIncrement(C.LabelSize), C.Expected, 1e-9) << C.Pixels << " " << C.LabelSize;
    }
}

TEST(AxisScale, ZeroRangeStartsFromOne)
{
    TScaleChart Chart;
    TChartAxis* Axis = Chart.BottomAxis();
    Place(Axis, 0, 100);
    Axis->SetScale(4, 4);
    EXPECT_TRUE(Axis->ScaleRangeIsZero());
    EXPECT_EQ(Axis->PixelsPerValue(), 0);
    EXPECT_EQ(Axis->CalcLabelsIncrement(5), 1);
}

TEST(AxisScale, ASeriesWithFewerPointsThanLabelsKeepsWholeSteps)
{
    TScaleChart Chart;
    auto* S = new TChartSeries(nullptr);
    Chart.AddSeries(S);
    for (int i = 0; i < 3; ++i)
        S->Add(i * 10.0);
    TChartAxis* Bottom = Chart.BottomAxis();
    Place(Bottom, 0, 2);
    Bottom->SetLabelsSeparation(0);
    EXPECT_EQ(Bottom->CalcLabelsIncrement(10), 1);
    EXPECT_NEAR(Bottom->CalcLabelsIncrement(2), 2.0 / 3, 1e-12);  // 3 points > 2 labels

    // the values axis is not the positions axis: no whole steps there
    TChartAxis* Left = Chart.LeftAxis();
    Place(Left, 0, 2);
    Left->SetLabelsSeparation(0);
    EXPECT_NEAR(Left->CalcLabelsIncrement(10), 2.0 / 11, 1e-12);

    S->SetActive(false);
    EXPECT_NEAR(Bottom->CalcLabelsIncrement(10), 2.0 / 11, 1e-12);
}

TEST(AxisScale, DateTimeIncrementClimbsTheStepTable)
{
    TScaleChart Chart;
    auto* S = new TChartSeries(nullptr);
    Chart.AddSeries(S);
    S->XValues()->SetDateTime(true);
    S->AddXY(0, 1);
    TChartAxis* Bottom = Chart.BottomAxis();
    Place(Bottom, 0, 3650);
    TRect R = Chart.ChartRect;
    Bottom->CalcRect(R, false);
    ASSERT_TRUE(Bottom->ShowsDateTime());
    EXPECT_DOUBLE_EQ(Bottom->CalcLabelsIncrement(5), 730);
    EXPECT_DOUBLE_EQ(Bottom->CalcLabelsIncrement(10), 365);
    EXPECT_DOUBLE_EQ(Bottom->CalcLabelsIncrement(0), DateTimeStep[dtOneMicroSecond]);
    EXPECT_THROW(Bottom->SetLogarithmic(true), AxisException);
}

TEST(AxisScale, LogarithmicIncrementsGrowByTheBase)
{
    struct Case {
        double Base;
        int Labels;
        double Expected;
    };
    const Case Cases[] = {
        {10, 2, 1000},
        {10, 10, 100},
        {2, 4, 256},
    };
    for (const Case& C : Cases) {
        TScaleChart Chart;
        TChartAxis* Axis = Chart.BottomAxis();
        Place(Axis, 1, 1000);
        Axis->SetLogarithmicBase(C.Base);
        Axis->SetLogarithmic(true);
        EXPECT_DOUBLE_EQ(Axis->CalcLabelsIncrement(C.Labels), C.Expected) << C.Base << " " << C.Labels;
    }

    // a step that underflows to zero still ends
    TScaleChart Chart;
    TChartAxis* Axis = Chart.BottomAxis();
    Place(Axis, 1, 1000);
    Axis->SetLogarithmic(true);
    Axis->SetScale(0, 5e-324);
    EXPECT_EQ(Axis->CalcLabelsIncrement(1000), MinAxisIncrement);
}

TEST(AxisScale, NiceStepsFollowOneTwoFive)
{
    const std::pair<double, double> Cases[] = {
        {0.3, 0.5}, {1, 2}, {2, 5}, {7, 10}, {10, 20}, {45, 50}, {0.0012, 0.002},
        {0, 1e-12}, {-3, 1e-12},
    };
    for (const auto& [X, Next] : Cases)
        EXPECT_NEAR(NiceNextStep(X), Next, Next * 1e-12) << X;
    EXPECT_TRUE(std::isinf(NiceNextStep(std::numeric_limits<double>::infinity())));
}

TEST(AxisScale, MarginsWidenTheScaleUnlessNothingIsLeftBetweenThem)
{
    struct Case {
        int Left, Right;
        double Min, Max;
    };
    const Case Cases[] = {
        {0, 0, 0, 100},
        {50, 50, -12.5, 112.5},   // 400 inner pixels for 500
        {250, 250, 0, 100},       // nothing left between the margins
        {300, 300, 0, 100},
    };
    for (const Case& C : Cases) {
        TScaleChart Chart;
        TChartAxis* Axis = Chart.BottomAxis();
        Place(Axis, 0, 100);
        Axis->AdjustMaxMinRect({C.Left, 0, C.Right, 0});
        EXPECT_DOUBLE_EQ(Axis->ScaleMin(), C.Min) << C.Left;
        EXPECT_DOUBLE_EQ(Axis->ScaleMax(), C.Max) << C.Left;
        EXPECT_EQ(Axis->PixelStart(), 0);
        EXPECT_EQ(Axis->PixelEnd(), 500);
    }

    // a vertical axis yields its new bounds reversed and swaps them
    TScaleChart Chart;
    TChartAxis* Left = Chart.LeftAxis();
    Place(Left, 0, 100);
    Left->AdjustMaxMinRect({0, 40, 0, 40});
    EXPECT_DOUBLE_EQ(Left->ScaleMin(), -12.5);
    EXPECT_DOUBLE_EQ(Left->ScaleMax(), 112.5);
}

TEST(AxisScale, CheckedScrollNeverMovesPastTheData)
{
    TScaleChart Chart;
    auto* S = new TChartSeries(nullptr);
    Chart.AddSeries(S);
    S->AddXY(0, 0);
    S->AddXY(10, 0);
    TChartAxis* Axis = Chart.BottomAxis();
    Axis->SetMinMax(0, 20);
    Axis->Scroll(5, true);
    EXPECT_EQ(Axis->Minimum(), 0);
    EXPECT_EQ(Axis->Maximum(), 20);
    Axis->Scroll(-5, true);
    EXPECT_EQ(Axis->Minimum(), 0);
    Axis->SetMinMax(2, 8);
    Axis->Scroll(1.5, true);
    EXPECT_EQ(Axis->Minimum(), 3.5);
    EXPECT_EQ(Axis->Maximum(), 9.5);
    Axis->Scroll(100, false);
    EXPECT_EQ(Axis->Maximum(), 109.5);
    Axis->Scroll(std::nan(""), false);
    EXPECT_EQ(Axis->Maximum(), 109.5);
}
