// Circled series: rotation, angles to pixels and back, the circle's
// rectangle and radii, and the chart's 3-D options while one is shown.
#include "chart/SeriesCircled.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

// A circled kind with 3-D settings of its own, as a pie has.
class TOwnViewSeries : public TCircledSeries {
public:
    using TCircledSeries::TCircledSeries;
    void InitCustom3DOptions() override { ParentChart()->View3DOptions()->SetElevation(315); }
};

} // namespace

TEST(CircledSeries, RotationIsKeptWithinATurn)
{
    TCircledSeries S(nullptr);
    S.SetRotationAngle(725);
    EXPECT_EQ(S.RotationAngle(), 5);
    S.Rotate(358);
    EXPECT_EQ(S.RotationAngle(), 3);
    S.SetRotationAngle(370);
    S.Rotate(355);
    EXPECT_EQ(S.RotationAngle(), 5);
}

TEST(CircledSeries, AnglesAndPixels)
{
    TCircledSeries S(nullptr);
    S.SetCircleRect({0, 0, 100, 60});
    S.CalcRadius();
    EXPECT_EQ(S.CircleCentre(), (TPoint{50, 30}));
    EXPECT_DOUBLE_EQ(S.PointToAngle(50, 10), Pi / 2) << "straight above";
    EXPECT_DOUBLE_EQ(S.PointToAngle(50, 50), 3 * Pi / 2) << "straight below";
    EXPECT_DOUBLE_EQ(S.PointToAngle(80, 30), 0) << "right of the centre";
    int X = 0, Y = 0;
    S.AngleToPos(Pi / 2, 50, 30, X, Y);
    EXPECT_EQ(X, 50);
    EXPECT_EQ(Y, 0);
    S.SetRotationAngle(90);
    EXPECT_DOUBLE_EQ(S.PointToAngle(80, 30), 3 * Pi / 2) << "rotated by a quarter";
    S.AngleToPos(0, 50, 30, X, Y);
    EXPECT_EQ(X, 50) << "angle 0 now points up";
    EXPECT_EQ(Y, 0);
}

TEST(CircledSeries, CircleRectangleFromTheChartRectangle)
{
    struct TCase {
        TRect Chart;
        int Width;
        int Height;
    };
    for (const TCase& C : {TCase{{0, 0, 121, 81}, 120, 80}, TCase{{10, 10, 111, 70}, 100, 60},
                           TCase{{0, 0, 3, 3}, 4, 4}}) {
        SCOPED_TRACE(C.Width);
        TCountingChart Chart;
        Chart.LayOut(C.Chart);
        TCircledSeries S(nullptr);
        Chart.AddSeries(&S);
        S.DoBeforeDrawValues();
        EXPECT_EQ(S.CircleWidth(), C.Width);
        EXPECT_EQ(S.CircleHeight(), C.Height);
        EXPECT_EQ(S.XRadius(), C.Width / 2);
        Chart.RemoveSeries(&S);
    }
    TCountingChart Chart;
    Chart.LayOut({0, 0, 400, 200});
    TCircledSeries S(nullptr);
    Chart.AddSeries(&S);
    S.SetCustomXRadius(50);
    S.DoBeforeDrawValues();
    EXPECT_EQ(S.XRadius(), 50);
    EXPECT_EQ(S.YRadius(), 100);
    S.SetCustomXRadius(0);
    S.SetCircled(true);
    S.DoBeforeDrawValues();
    EXPECT_EQ(S.XRadius(), S.YRadius()) << "a true circle";
    EXPECT_EQ(S.XRadius(), 100);
    Chart.RemoveSeries(&S);
}

TEST(CircledSeries, HidingGivesTheChartItsOwn3DOptionsBack)
{
    TCountingChart Chart;
    Chart.View3DOptions()->SetElevation(345);
    auto S = std::make_unique<TOwnViewSeries>(nullptr);
    Chart.AddSeries(S.get());
    EXPECT_EQ(Chart.View3DOptions()->Elevation(), 315) << "taken over";
    S->SetActive(false);
    EXPECT_EQ(Chart.View3DOptions()->Elevation(), 345);
    S->SetActive(true);
    EXPECT_EQ(Chart.View3DOptions()->Elevation(), 315);
    Chart.RemoveSeries(S.get());
    EXPECT_EQ(Chart.View3DOptions()->Elevation(), 345) << "removing gives them back";
    Chart.AddSeries(S.get());
    S.reset();
    EXPECT_EQ(Chart.View3DOptions()->Elevation(), 345) << "freeing gives them back";
}

// A true circle is as many millimetres across as down on the device: the
// horizontal radius in pixels is the vertical one times this ratio.
TEST(CircledSeries, TrueCircleRatioOfTheDevice)
{
    struct TCase {
        int PixelsWide, PixelsHigh;
        double MmWide, MmHigh;
        double Ratio;
    };
    const TCase Cases[] = {
        {1920, 1080, 508, 285.75, 1.0},   // square pixels
        {1000, 1000, 200, 100, 0.5},      // pixels twice as wide as high
        {600, 300, 100, 100, 2.0},        // pixels half as wide as high
        {800, 600, 100, 0, 800 / 600.0},  // no height in millimetres: the pixel ratio alone
        {800, 600, 0, 100, 800 / 600.0},  // nor a width
        {0, 600, 100, 100, 1.0},          // no pixels: a plain circle
        {800, 0, 100, 100, 1.0},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.PixelsWide);
        EXPECT_DOUBLE_EQ(TrueCircleRatio(C.PixelsWide, C.PixelsHigh, C.MmWide, C.MmHigh), C.Ratio);
    }
}

// A page of another shape than the screen still gets a round pie.
TEST(CircledSeries, TrueCircleOnABitmapOfAnyShape)
{
    TFormChartRig Rig;
    Rig.Chart->SetBounds(0, 0, 400, 150);
    TCircledSeries S(nullptr);
    S.Add(1);
    S.Marks()->SetVisible(false);
    Rig.Chart->AddSeries(&S);
    S.SetCircled(true);
    auto Image = Rig.Chart->ChCreateBitmap(clWhite, Rig.Chart->GetRectangle(), pfDevice);
    EXPECT_EQ(S.XRadius(), S.YRadius());
    EXPECT_GT(S.XRadius(), 30);
    Rig.Chart->RemoveSeries(&S);
}
