// Axis pixel mapping: values to pixels and back on horizontal, vertical,
// inverted and logarithmic axes, saturation, the pixel span and the
// axis's place around the chart rectangle.
#include "chart/ChEngine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class TMapChart : public TCustomAxisPanel {
public:
    TMapChart() : TCustomAxisPanel(nullptr)
    {
        SetView3D(false);
        LayOut({100, 50, 500, 250});
    }
    // The chart rectangle a layout would have given.
    void LayOut(const TRect& R)
    {
        FChartRect = R;
        ReCalcWidthHeight();
    }
};

void Place(TChartAxis* Axis, double Min, double Max, bool Inverted = false)
{
    Axis->SetInverted(Inverted);
    Axis->SetMinMax(Min, Max);
    Axis->InternalCalcPositions();
    Axis->AdjustMaxMin();
}

}  // namespace

TEST(AxisMapping, ValuesToPixelsAtBothEnds)
{
    struct Case {
        bool Horizontal, Inverted;
        double Min, Max, Value;
        int Pixel;
    };
    const Case Cases[] = {
        {true, false, 0, 10, 2.5, 200},
        {true, true, 0, 10, 2.5, 400},
        {true, false, 0, 10, 0, 100},
        {true, false, 0, 10, 10, 500},
        {true, true, 0, 10, 0, 500},
        {true, true, 0, 10, 10, 100},
        {true, false, 0, 8, 0.5, 125},    // 25 exactly
        {true, false, 0, 800, 1, 100},    // 0.5 rounds to even
        {true, false, 0, 800, 3, 102},    // 1.5 rounds to even
        {false, false, 0, 100, 25, 200},
        {false, false, 0, 100, 0, 250},
        {false, false, 0, 100, 100, 50},
        {false, true, 0, 100, 25, 100},
        {false, true, 0, 100, 0, 50},
        {false, true, 0, 100, 100, 250},
    };
    for (bool Fast : {false, true}) {
        for (const Case& C : Cases) {
            TMapChart Chart;
            Chart.AxesList().SetFastCalc(Fast);
            TChartAxis* Axis = C.Horizontal ? Chart.BottomAxis() : Chart.LeftAxis();
            Place(Axis, C.Min, C.Max, C.Inverted);
            const int Got = C.Horizontal ? Axis->HorizPosValue(C.Value) : Axis->VertPosValue(C.Value);
            EXPECT_EQ(Got, C.Pixel) << "fast " << Fast << " value " << C.Value << " inverted " << C.Inverted;
            EXPECT_EQ(Axis->CalcPosValue(C.Value), C.Pixel);
        }
    }
}

TEST(AxisMapping, PixelsSaturateInsteadOfOverflowing)
{
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    const int Limit = CoordinateLimit;
    ASSERT_EQ(Limit, 67108863);
    struct Case {
        double Min, Max, Value;
        int X, Y;
    };
    const Case Cases[] = {
        {0, 10, 1e300, Limit, -Limit},
        {0, 10, -1e300, -Limit, Limit},
        {0, 1e-10, 1, Limit, -Limit},
        {0, 1e-10, -1, -Limit, Limit},
        {0, 10, NaN, -Limit, -Limit},
    };
    for (bool Fast : {false, true}) {
        for (const Case& C : Cases) {
            TMapChart Chart;
            Chart.AxesList().SetFastCalc(Fast);
            Place(Chart.BottomAxis(), C.Min, C.Max);
            Place(Chart.LeftAxis(), C.Min, C.Max);
            EXPECT_EQ(Chart.BottomAxis()->HorizPosValue(C.Value), C.X) << "fast " << Fast << " " << C.Value;
            EXPECT_EQ(Chart.LeftAxis()->VertPosValue(C.Value), C.Y) << "fast " << Fast << " " << C.Value;
        }
    }
    TMapChart Chart;
    Place(Chart.BottomAxis(), 0, 1e-10);
    EXPECT_EQ(Chart.BottomAxis()->CalcSizeValue(1e300), Limit);
}

TEST(AxisMapping, ZeroRangeMapsToTheCentre)
{
    TMapChart Chart;
    TChartAxis* Axis = Chart.BottomAxis();
    Place(Axis, 0, 10);
    Axis->SetScale(3, 3);
    EXPECT_EQ(Axis->PixelCenter(), 300);
    for (double V : {-1e9, 3.0, 7.0})
        EXPECT_EQ(Axis->HorizPosValue(V), 300);
    EXPECT_EQ(Axis->CalcSizeValue(5), 0);
}

TEST(AxisMapping, LogarithmicAxesMapNonPositiveValuesToTheMinimumEnd)
{
    struct Case {
        bool Horizontal, Inverted;
        double Value;
        int Pixel;
    };
    const Case Cases[] = {
        {true, false, 10, 233},
        {true, false, 1000, 500},
        {true, false, 0, 100},
        {true, false, -5, 100},
        {true, true, 0, 500},
        {true, true, 10, 367},
        {false, false, 10, 183},
        {false, false, 0, 250},
        {false, true, 0, 50},
        {false, true, 10, 117},
    };
    for (const Case& C : Cases) {
        TMapChart Chart;
        TChartAxis* Axis = C.Horizontal ? Chart.BottomAxis() : Chart.LeftAxis();
        Place(Axis, 1, 1000, C.Inverted);
        Axis->SetLogarithmic(true);
        EXPECT_EQ(Axis->CalcPosValue(C.Value), C.Pixel) << C.Horizontal << C.Inverted << " " << C.Value;
    }
}

TEST(AxisMapping, LogarithmicAxisBelowOneKeepsItsDirection)
{
    // A scale from 0 to 0.5 starts one step of the base below the maximum,
    // for the mapping and for the labels alike.
    TMapChart Chart;
    TChartAxis* Axis = Chart.BottomAxis();
    Place(Axis, 0, 0.5);
    Axis->SetLogarithmic(true);
    EXPECT_DOUBLE_EQ(Axis->LogScaleFloor(), 0.05);
    EXPECT_EQ(Axis->HorizPosValue(0.05), 100);
    EXPECT_EQ(Axis->HorizPosValue(0.5), 500);
    EXPECT_LT(Axis->HorizPosValue(0.1), Axis->HorizPosValue(0.2));
    EXPECT_NEAR(Axis->CalcPosPoint(300), std::sqrt(0.05 * 0.5), 1e-12);

    // with a positive minimum the floor is the minimum itself
    Place(Axis, 2, 200);
    Axis->InternalCalcRange();
    EXPECT_DOUBLE_EQ(Axis->LogScaleFloor(), 2);
}

TEST(AxisMapping, PixelsBackToValues)
{
    TMapChart Chart;
    TChartAxis* Left = Chart.LeftAxis();
    Place(Left, -1.7, 3.3);
    EXPECT_EQ(Left->CalcPosPoint(Left->PixelStart()), 3.3);
    EXPECT_DOUBLE_EQ(Left->CalcPosPoint(Left->PixelEnd()), -1.7);

    for (bool Inverted : {false, true}) {
        for (TChartAxis* Axis : {Chart.BottomAxis(), Chart.LeftAxis()}) {
            Place(Axis, -1.7, 3.3, Inverted);
            const double OnePixel = Axis->ScaleRange() / Axis->PixelSize();
            for (double V : {-1.7, -0.3, 0.0, 1.234, 3.3})
                EXPECT_NEAR(Axis->CalcPosPoint(Axis->CalcPosValue(V)), V, OnePixel) << V;
        }
    }

    Chart.LayOut({100, 50, 100, 250});
    Place(Chart.BottomAxis(), 1, 2);
    EXPECT_EQ(Chart.BottomAxis()->CalcPosPoint(100), 0);
}

TEST(AxisMapping, SpanFollowsStartAndEndPositions)
{
    TMapChart Chart;
    Chart.LayOut({20, 0, 420, 300});
    TChartAxis* Axis = Chart.BottomAxis();
    Axis->SetStartPosition(50);
    Axis->SetEndPosition(100);
    Axis->InternalCalcPositions();
    EXPECT_EQ(Axis->PixelStart(), 220);
    EXPECT_EQ(Axis->PixelEnd(), 420);
    EXPECT_EQ(Axis->PixelSize(), 200);
    EXPECT_EQ(Axis->PixelCenter(), 320);
}

TEST(AxisMapping, PositionPercentMovesTheLineIntoTheChart)
{
    const TRect R{0, 0, 300, 200};
    struct Case {
        bool Horizontal, OtherSide;
        TChUnits Units;
        int Edge;
    };
    const Case Cases[] = {
        {false, false, muPercent, 30},   // left axis moves right
        {false, true, muPercent, 270},   // right axis moves left
        {true, false, muPercent, 180},   // bottom axis moves up
        {true, true, muPercent, 20},     // top axis moves down
        {false, false, muPixels, 10},
    };
    for (const Case& C : Cases) {
        TMapChart Chart;
        TChartAxis* Axis = Chart.CustomAxes().Add();
        Axis->SetHorizontal(C.Horizontal);
        Axis->SetOtherSide(C.OtherSide);
        Axis->SetPosUnits(C.Units);
        Axis->SetPositionPercent(10);
        EXPECT_EQ(Axis->ApplyPosition(Axis->GetRectangleEdge(R), R), C.Edge);
        EXPECT_TRUE(Axis->IsCustom());
    }
}

TEST(AxisMapping, LayoutCutsLabelsTicksAndTitleFromTheRectangle)
{
    TMapChart Chart;
    TChartAxis* Bottom = Chart.BottomAxis();
    Bottom->SetLabelsSize(20);
    TRect R = Chart.ChartRect;
    Bottom->CalcRect(R, true);
    // axis pen 2 + 1, ticks 4; no title caption
    EXPECT_EQ(R, (TRect{100, 50, 500, 223}));
    EXPECT_EQ(Bottom->LabelsPos(), 230);

    Bottom->Title()->SetCaption("Time");
    Bottom->SetTitleSize(15);
    R = Chart.ChartRect;
    Bottom->CalcRect(R, true);
    EXPECT_EQ(R.Bottom, 208);
    EXPECT_EQ(Bottom->TitlePos(), 235);
    EXPECT_EQ(Bottom->LabelsPos(), 215);

    TChartAxis* Left = Chart.LeftAxis();
    Left->SetLabelsSize(30);
    R = Chart.ChartRect;
    Left->CalcRect(R, false);
    EXPECT_EQ(R, Chart.ChartRect);
    EXPECT_EQ(Left->AxisLinePos(), 100);
    EXPECT_EQ(Left->LabelsPos(), 93);
    EXPECT_EQ(Left->TitlePos(), 63);
}

TEST(AxisMapping, ClickHitsTheAxisLineWithAGap)
{
    TMapChart Chart;
    TChartAxis* Left = Chart.LeftAxis();
    Left->SetLabelsSize(30);
    Place(Left, 0, 10);
    TRect R = Chart.ChartRect;
    Left->CalcRect(R, false);
    struct Case {
        int X;
        bool Hit;
    };
    const Case Cases[] = {{102, true}, {104, false}, {93, true}, {92, false}, {100, true}};
    for (const Case& C : Cases)
        EXPECT_EQ(Left->Clicked(C.X, 150), C.Hit) << C.X;
    EXPECT_FALSE(Left->Clicked(100, 260));
    // An axis the layout hides is never hit.
    Left->SetVisible(false);
    Chart.CalcAxisLayout();
    EXPECT_FALSE(Left->VisibleInPass());
    EXPECT_FALSE(Left->Clicked(Left->AxisLinePos(), 150));
}

TEST(AxisMapping, DepthPositions)
{
    TMapChart Chart;
    TChartAxis* Axis = Chart.BottomAxis();
    Axis->SetZPosition(0);
    EXPECT_EQ(Axis->ZPosition(), 0.01);
    EXPECT_FALSE(Axis->IsZStored());
    Axis->SetZPosition(40);
    // The 3-D sizes of a pass: one series' depth is the whole percent of
    // the 400-pixel-wide chart rectangle, a tenth of it.
    Chart.SetView3D(true);
    Chart.Set3DPercent(100);
    Chart.CalcSize3DWalls();
    ASSERT_EQ(Chart.DepthWidth, 40);
    Axis->InternalCalcRange();
    EXPECT_EQ(Axis->DepthPixel(), 16);
    EXPECT_TRUE(Axis->IsZStored());
    EXPECT_FALSE(Chart.TopAxis()->IsZStored());
}
