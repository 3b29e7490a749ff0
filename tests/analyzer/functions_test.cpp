#include "analyzer/Functions.h"

#include "analyzer/Types.h"

#include <gtest/gtest.h>

TEST(Functions, WaterVapourPressure)
{
    EXPECT_FLOAT_EQ(SaturationPressureH2O(37), 47.56229f);
    EXPECT_FLOAT_EQ(SaturationPressureH2O(0), 5.931f);
    EXPECT_FLOAT_EQ(WaterVapourPressure(50, 37), 47.56229f / 2);
    EXPECT_FLOAT_EQ(WaterVapourPressure(100, 37), 47.56229f);
    EXPECT_EQ(WaterVapourPressure(0, 37), 0.0f);
}

TEST(Functions, TimeOfDaySeconds)
{
    const TDateTime Time = EncodeTime(1, 2, 3, 500);
    EXPECT_FLOAT_EQ(TimeOfDaySeconds(Time), 3723.5f);
    // The date part does not count.
    EXPECT_FLOAT_EQ(TimeOfDaySeconds(EncodeDate(2024, 3, 1) + Time), 3723.5f);
    // A difference taken the wrong way round counts by its size.
    EXPECT_FLOAT_EQ(TimeOfDaySeconds(-EncodeTime(0, 0, 10, 0)), 10.0f);
    EXPECT_FLOAT_EQ(TimeOfDaySeconds(EncodeTime(23, 59, 59, 999)), 86399.999f);
    EXPECT_EQ(TimeOfDaySeconds(0), 0.0f);
}

TEST(Functions, ParseTimeReadsThreeNumbers)
{
    const struct {
        const char* Text;
        int Seconds;
    } Cases[] = {
        {"0:09:05", 9 * 60 + 5},
        {"0:10:00", 600},
        {"0:08:30", 8 * 60 + 30},
        {"1:2:3", 3723},
        {"23:59:59", 86399},
        {" 0:00:07 ", 7},
        {"2.30.00", 2 * 3600 + 30 * 60},   // any one character separates
    };
    for (const auto& c : Cases) {
        TDateTime Result = -1;
        ASSERT_TRUE(ParseTime(c.Text, Result)) << c.Text;
        EXPECT_NEAR(Result * SecsPerDay, c.Seconds, 1e-6) << c.Text;
    }
}

TEST(Functions, ParseTimeRefusesTimesThatDoNotExistOrMalformedText)
{
    const char* Cases[] = {
        "24:00:00", "0:60:00", "0:00:60", "99:99:99", "99999999999:0:0",
        "", "abc", "1:2", "1:2:", "1::2", ":1:2", "1:2:3:4", "1:2:3x", "-1:2:3", "1:-2:3",
    };
    for (const char* Text : Cases) {
        TDateTime Result = 0.25;
        EXPECT_FALSE(ParseTime(Text, Result)) << '"' << Text << '"';
        EXPECT_EQ(Result, 0.25) << "result touched by " << Text;
    }
}

TEST(Functions, FormatTimeHasNoLeadingZeroOnTheHour)
{
    TDateTime Time = 0;
    ASSERT_TRUE(ParseTime("0:09:05", Time));
    EXPECT_EQ(FormatTime(Time), "0:09:05");
    EXPECT_EQ(FormatTime(EncodeTime(13, 5, 9, 0)), "13:05:09");
    EXPECT_EQ(FormatTime(EncodeDate(2020, 1, 2) + EncodeTime(7, 0, 0, 0)), "7:00:00");
}

TEST(Functions, EnsureMinSpan)
{
    const struct {
        float Lower, Upper, Span;
        float NewLower, NewUpper;
    } Cases[] = {
        {10, 11, 4, 8.5f, 12.5f},
        {10, 20, 4, 10, 20},    // wide enough
        {10, 14, 4, 10, 14},    // exactly wide enough
        {10, 11, 0, 10, 11},    // no span
        {10, 11, -1, 10, 11},   // negative span: none
        {12, 10, 1, 10.5f, 11.5f},   // a reversed pair is widened about its centre
        {-3, -3, 2, -4, -2},
        {0, 0, 0.5f, -0.25f, 0.25f},
    };
    for (const auto& c : Cases) {
        float Lower = c.Lower;
        float Upper = c.Upper;
        EnsureMinSpan(Lower, Upper, c.Span);
        EXPECT_EQ(Lower, c.NewLower) << c.Lower << ".." << c.Upper << " span " << c.Span;
        EXPECT_EQ(Upper, c.NewUpper) << c.Lower << ".." << c.Upper << " span " << c.Span;
    }
}

TEST(Functions, PercentDifference)
{
    const struct {
        float Reference, Value, Difference;
    } Cases[] = {
        {200, 210, 5},
        {200, 190, -5},
        {3, 4, 100.0f / 3.0f},
        {-50, -25, -50},
        {0, 5, NoValue},
        {NoValue, 5, NoValue},
        {5, NoValue, NoValue},
    };
    for (const auto& c : Cases)
        EXPECT_EQ(PercentDifference(c.Reference, c.Value), c.Difference) << c.Reference << " " << c.Value;
}

TEST(Functions, FormatPercentDifference)
{
    EXPECT_EQ(FormatPercentDifference(200, 190, "0.0", true), "-5.0%");
    EXPECT_EQ(FormatPercentDifference(200, 190, "0.0", false), "-5.0");
    EXPECT_EQ(FormatPercentDifference(3, 4, "0.00", true), "33.33%");
    EXPECT_EQ(FormatPercentDifference(0, 5, "0.0", true), "-----");
    EXPECT_EQ(FormatPercentDifference(NoValue, 5, "0.0", true), "-----");
    EXPECT_EQ(FormatPercentDifference(5, NoValue, "0.0", false), "-----");
}

TEST(Functions, VersionNumber)
{
    const struct {
        const char* Text;
        int Number;
    } Cases[] = {
        {"1.05.14", 10514},
        {"1.05.13", 10513},
        {"1.08.09", 10809},
        {"2-0-1", 20001},
        {" 1.05.14 ", 10514},
        {"", 0},
        {"abc", 0},
        {"1.05", 0},
        {"1.05.", 0},
        {"1..05", 0},
        {"1.05.14x", 0},
        {"v1.05.14", 0},
        {"999999999999.1.1", 0},
    };
    for (const auto& c : Cases)
        EXPECT_EQ(VersionNumber(c.Text), c.Number) << '"' << c.Text << '"';
}
