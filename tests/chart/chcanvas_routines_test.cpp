#include "chart/ChCanvas.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <climits>

TEST(ChCanvasRoutines, DarkAndBrightClampEachComponent)
{
    struct Case { TColor Color; int Quantity; TColor Dark; TColor Bright; };
    const Case Cases[] = {
        {RGB(100, 200, 50), 64, RGB(36, 136, 0), RGB(164, 255, 114)},
        {RGB(64, 65, 63), 64, RGB(0, 1, 0), RGB(128, 129, 127)},
        {RGB(200, 200, 200), 128, RGB(72, 72, 72), RGB(255, 255, 255)},
        {RGB(0, 0, 0), 0, RGB(0, 0, 0), RGB(0, 0, 0)},
        {RGB(255, 191, 192), 64, RGB(191, 127, 128), RGB(255, 255, 255)},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(ApplyDark(C.Color, static_cast<uint8_t>(C.Quantity)), C.Dark) << C.Color;
        EXPECT_EQ(ApplyBright(C.Color, static_cast<uint8_t>(C.Quantity)), C.Bright) << C.Color;
    }
    // System colours are resolved before the arithmetic.
    EXPECT_EQ(ApplyDark(clWindow, 0), ColorToRGB(clWindow));
}

TEST(ChCanvasRoutines, CullIsTrueOnlyForClockwiseTurns)
{
    struct Case { TPoint P0, P1, P2; bool Culled; };
    const Case Cases[] = {
        {{0, 0}, {5, 5}, {10, 10}, false},        // collinear: product 0
        {{0, 0}, {10, 0}, {10, 10}, true},        // right, then down: clockwise on the screen
        {{10, 10}, {10, 0}, {0, 0}, false},
        // far-off coordinates must not overflow into the wrong sign
        {{-2000000000, 0}, {0, 0}, {0, 2000000000}, true},
        {{0, 2000000000}, {0, 0}, {-2000000000, 0}, false},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(ChCull(C.P0, C.P1, C.P2), C.Culled) << C.P0.X << "," << C.P0.Y;
}

TEST(ChCanvasRoutines, RectangleHelpers)
{
    const TRect R{10, 20, 30, 40};
    for (const TPoint P : {TPoint{10, 20}, TPoint{30, 20}, TPoint{10, 40}, TPoint{30, 40}, TPoint{20, 40}})
        EXPECT_TRUE(PointInRect(R, P.X, P.Y)) << P.X << "," << P.Y;
    EXPECT_FALSE(PointInRect(R, 31, 30));
    EXPECT_FALSE(PointInRect(R, 20, 19));

    EXPECT_EQ(OrientRectangle({10, 20, 5, 8}), (TRect{5, 8, 10, 20}));
    EXPECT_EQ(OrientRectangle(R), R);

    int X = 0, Y = 0;
    RectCenter({-3, -3, 0, 0}, X, Y);
    EXPECT_EQ(X, -1);
    EXPECT_EQ(Y, -1);
    int W = 0, H = 0;
    RectSize({10, 10, 4, 30}, W, H);
    EXPECT_EQ(W, -6);
    EXPECT_EQ(H, 20);

    EXPECT_EQ(PolygonBounds({}), (TRect{0, 0, 0, 0}));
    EXPECT_EQ(PolygonBounds({{4, 7}}), (TRect{4, 7, 4, 7}));
    EXPECT_EQ(PolygonBounds({{4, 7}, {-2, 9}, {8, -1}}), (TRect{-2, -1, 8, 9}));
    const TPoint One[1] = {{5, 7}};
    EXPECT_EQ(RectFromPolygon(One, 1), (TRect{5, 7, 6, 8}));
    EXPECT_EQ(RectFromTriangle({TPoint{0, 0}, TPoint{4, 1}, TPoint{2, 6}}), (TRect{0, 0, 5, 7}));
}

TEST(ChCanvasRoutines, PointAtDistanceWalksBackTowardsTheFirstPoint)
{
    EXPECT_EQ(PointAtDistance({0, 0}, {10, 0}, 3), (TPoint{7, 0}));
    EXPECT_EQ(PointAtDistance({0, 10}, {0, 0}, 3), (TPoint{0, 3}));
    EXPECT_EQ(PointAtDistance({0, 0}, {0, 10}, 3), (TPoint{0, 7}));
    EXPECT_EQ(PointAtDistance({0, 0}, {30, 40}, 5), (TPoint{27, 36}));
    EXPECT_DOUBLE_EQ(ChDistance(3, 4), 5.0);
}

TEST(ChCanvasRoutines, RoundingTiesGoToEven)
{
    struct Case { double Value; int Rounded; };
    const Case Cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {1e12, INT_MAX}, {-1e12, INT_MIN}};
    for (const Case& C : Cases)
        EXPECT_EQ(ChRound(C.Value), C.Rounded) << C.Value;
}

TEST(ChCanvasRoutines, ConvexHullDropsInnerPointsAndEndsWithThePivot)
{
    TPointArray P = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {5, 5}};
    ASSERT_TRUE(ConvexHull(P));
    ASSERT_EQ(P.size(), 4u);
    EXPECT_EQ(P.back(), (TPoint{10, 0}));
    for (const TPoint C : {TPoint{0, 0}, TPoint{10, 10}, TPoint{0, 10}})
        EXPECT_NE(std::find(P.begin(), P.end(), C), P.end()) << C.X << "," << C.Y;

    TPointArray Three = {{0, 0}, {1, 1}, {2, 0}};
    EXPECT_TRUE(ConvexHull(Three));
    EXPECT_EQ(Three.size(), 3u);
    TPointArray Two = {{0, 0}, {1, 1}};
    EXPECT_FALSE(ConvexHull(Two));
}

TEST(ChCanvasRoutines, PieAnglesInDegrees)
{
    struct Case { int X3, Y3, X4, Y4; double Start, End; };
    // Box (0,0)-(100,100), centre (50,50); screen y grows downwards.
    const Case Cases[] = {
        {50, 0, 100, 50, 90, 360},     // end along +x becomes 360
        {0, 50, 50, 100, 180, 270},
        {100, 50, 50, 0, 0, 90},
    };
    for (const Case& C : Cases) {
        double Start = -1, End = -1;
        CalcPieAngles(0, 0, 100, 100, C.X3, C.Y3, C.X4, C.Y4, Start, End);
        EXPECT_NEAR(Start, C.Start, 1e-9);
        EXPECT_NEAR(End, C.End, 1e-9);
    }
}

TEST(ChCanvasRoutines, GrayScaleByAverageOrWeights)
{
    TBitmap B(2, 1);
    B.ScanLine(0)[0] = 0xFF0A141F;   // (10, 20, 31)
    B.ScanLine(0)[1] = 0xFF0A141F;
    ChGrayScale(&B, false, 0);
    EXPECT_EQ(B.ScanLine(0)[0] & 0xFFFFFF, 0x141414u);
    B.ScanLine(0)[0] = 0xFF0A141F;
    ChGrayScale(&B, true, 0);
    EXPECT_EQ(B.ScanLine(0)[0] & 0xFFFFFF, 0xEBEBEBu);
    B.ScanLine(0)[0] = 0xFF640000;   // red 100 only
    ChGrayScale(&B, false, 1);
    EXPECT_EQ(B.ScanLine(0)[0] & 0xFF, 30u);
    ChGrayScale(nullptr, false, 0);
}

TEST(ChCanvasRoutines, SmoothStretchRefusesEmptyBitmaps)
{
    TBitmap Source(4, 4), Empty(0, 0), Wide(4, 0);
    try {
        SmoothStretch(&Source, &Empty);
        FAIL();
    } catch (const Exception& E) {
        EXPECT_STREQ(E.what(), "SmoothStretch: Destination bitmap too small");
    }
    try {
        SmoothStretch(&Wide, &Source);
        FAIL();
    } catch (const Exception& E) {
        EXPECT_STREQ(E.what(), "SmoothStretch: Source bitmap too small");
    }
    SmoothStretch(nullptr, &Source);
}

TEST(ChCanvasRoutines, SmoothStretchKeepsAnImageOfTheSameSize)
{
    for (TSmoothStretchOption Option : {ssBestQuality, ssBestPerformance}) {
        TBitmap Source(20, 12), Dest(20, 12);
        for (int Y = 0; Y < 12; ++Y)
            for (int X = 0; X < 20; ++X)
                Source.ScanLine(Y)[X] = 0xFF000000u | static_cast<uint32_t>((X * 12) << 16 | (Y * 20) << 8 | ((X * Y) & 0xFF));
        SmoothStretch(&Source, &Dest, Option);
        EXPECT_TRUE(Source.SameImage(Dest));
    }
}

TEST(ChCanvasRoutines, SmoothStretchToOnePixelAndFromTinySources)
{
    // A uniform image keeps its colour whatever the sizes, even where the
    // filter reaches beyond a source smaller than itself.
    struct Case { int SW, SH, DW, DH; };
    const Case Cases[] = {{8, 8, 1, 1}, {1, 1, 5, 3}, {2, 2, 9, 9}, {9, 3, 2, 1}, {1, 7, 1, 1}};
    for (const Case& C : Cases) {
        TBitmap Source(C.SW, C.SH), Dest(C.DW, C.DH);
        for (int Y = 0; Y < C.SH; ++Y)
            for (int X = 0; X < C.SW; ++X)
                Source.ScanLine(Y)[X] = 0xFF406080u;
        for (TSmoothStretchOption Option : {ssBestQuality, ssBestPerformance}) {
            SmoothStretch(&Source, &Dest, Option);
            for (int Y = 0; Y < C.DH; ++Y)
                for (int X = 0; X < C.DW; ++X) {
                    const uint32_t P = Dest.ScanLine(Y)[X] & 0xFFFFFF;
                    EXPECT_NEAR(static_cast<int>(P >> 16), 0x40, 2) << C.SW << "x" << C.SH << "->" << C.DW << "x" << C.DH;
                    EXPECT_NEAR(static_cast<int>((P >> 8) & 0xFF), 0x60, 2);
                    EXPECT_NEAR(static_cast<int>(P & 0xFF), 0x80, 2);
                }
        }
    }
}
