#include "analyzer/Signalstats.h"

#include "analyzer/Types.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TSignalStats FlowStats()
{
    TSignalStats Stats;
    Stats.Setup("Flow", "Flow", ucLPM, ucLPM, -1, 2);
    return Stats;
}

void Feed(TSignalStats& Stats, std::initializer_list<float> Values)
{
    for (float v : Values)
        Stats.AddSample(v);
}

}   // namespace

TEST(SignalStats, EveryTextReadsNoValueUntilTheFirstValidSample)
{
    TSignalStats Stats = FlowStats();
    EXPECT_EQ(Stats.FormatMean(false), "-----");
    EXPECT_EQ(Stats.FormatCurrent(false), "-----");
    EXPECT_EQ(Stats.FormatMax(false), "-----");
    Stats.AddSample(NoValue);
    EXPECT_TRUE(Stats.ResetPending());
    EXPECT_EQ(Stats.FormatMin(false), "-----");
    Stats.AddSample(1.5f);
    EXPECT_FALSE(Stats.ResetPending());
    EXPECT_EQ(Stats.FormatMean(false), "1.50");
    EXPECT_EQ(Stats.FormatStack(false), "1.50");   // stack length never set: one value
}

TEST(SignalStats, MinMaxMeanAndSmoothedAfterAReset)
{
    TSignalStats Stats = FlowStats();
    Feed(Stats, {1, 2, 3});
    EXPECT_EQ(Stats.Min(), 1);
    EXPECT_EQ(Stats.Max(), 3);
    EXPECT_EQ(Stats.Mean(), 2);
    EXPECT_EQ(Stats.Smoothed(), 1);   // no window completed yet
    EXPECT_EQ(Stats.Current(), 3);

    Stats.Reset();
    EXPECT_EQ(Stats.Current(), 3);
    EXPECT_EQ(Stats.FormatMin(false), "-----");
    Feed(Stats, {10, 7});
    EXPECT_EQ(Stats.Min(), 7);
    EXPECT_EQ(Stats.Max(), 10);
    EXPECT_EQ(Stats.Mean(), 8.5f);
}

TEST(SignalStats, SmoothingWindowsShareTheirBoundaryValue)
{
    TSignalStats Stats = FlowStats();
    for (int v = 1; v <= 12; ++v)
        Stats.AddSample(static_cast<float>(v));
    EXPECT_EQ(Stats.Smoothed(), 1);
    Stats.AddSample(13);
    EXPECT_EQ(Stats.Smoothed(), 7);   // average of 1..13
    for (int v = 14; v <= 24; ++v)
        Stats.AddSample(static_cast<float>(v));
    EXPECT_EQ(Stats.Smoothed(), 7);   // held until the next window completes
    Stats.AddSample(25);
    EXPECT_EQ(Stats.Smoothed(), 19);  // average of 13..25
}

TEST(SignalStats, NoValueSampleTouchesOnlyCurrentAndSmoothed)
{
    TSignalStats Stats = FlowStats();
    for (int v = 1; v <= 6; ++v)
        Stats.AddSample(static_cast<float>(v));
    Stats.AddSample(NoValue);
    EXPECT_EQ(Stats.Current(), NoValue);
    EXPECT_EQ(Stats.Smoothed(), NoValue);
    EXPECT_EQ(Stats.Min(), 1);
    EXPECT_EQ(Stats.Max(), 6);
    EXPECT_EQ(Stats.Mean(), 3.5f);
    EXPECT_EQ(Stats.SmoothSum(), 21);
    EXPECT_EQ(Stats.SmoothCount(), 6);
    EXPECT_EQ(Stats.FormatCurrent(false), "-----");
    for (int v = 7; v <= 13; ++v)
        Stats.AddSample(static_cast<float>(v));
    EXPECT_EQ(Stats.Smoothed(), 7);   // the window holds only the 13 valid values
    EXPECT_EQ(Stats.Mean(), 7);
}

TEST(SignalStats, StackSumsEveryCompleteGroup)
{
    const struct {
        int Size;
        std::vector<float> Values;
        std::vector<float> Results;   // FStackResult after each value
    } Cases[] = {
        {3, {1, 2, 3, 4, 5, 6, 7}, {NoValue, NoValue, 6, 6, 6, 15, 15}},
        // length 1 (and 0, which stores 1) publishes each value at once
        {1, {1, 2, 3}, {1, 2, 3}},
        {0, {4, 5, 6}, {4, 5, 6}},
        {2, {1, 2, 3, 4}, {NoValue, 3, 3, 7}},
    };
    for (const auto& c : Cases) {
        TSignalStats Stats = FlowStats();
        Stats.SetStackSize(c.Size);
        for (size_t i = 0; i < c.Values.size(); ++i) {
            Stats.AddSample(c.Values[i]);
            EXPECT_EQ(Stats.StackResult(), c.Results[i]) << "size " << c.Size << " after value " << i;
        }
    }
}

TEST(SignalStats, StackOfTwentyFive)
{
    TSignalStats Stats = FlowStats();
    Stats.SetStackSize(25);
    for (int v = 1; v <= 24; ++v)
        Stats.AddSample(static_cast<float>(v));
    EXPECT_EQ(Stats.StackResult(), NoValue);
    EXPECT_EQ(Stats.FormatStack(false), "-----");
    Stats.AddSample(25);
    EXPECT_EQ(Stats.StackResult(), 325);
    EXPECT_EQ(Stats.FormatStack(false), "325.00");
}

TEST(SignalStats, StackSizeIsClampedAndRestartsFromTheCurrentValue)
{
    const struct {
        int Asked;
        float Stored;
        const char* Text;
    } Sizes[] = {{0, 1, "1"}, {-5, 1, "1"}, {1, 1, "1"}, {7, 7, "7"}, {25, 25, "25"}, {40, 25, "25"}};
    for (const auto& s : Sizes) {
        TSignalStats Stats;
        Stats.SetStackSize(s.Asked);
        EXPECT_EQ(Stats.StackSize(), s.Stored) << s.Asked;
        EXPECT_EQ(Stats.FormatStackSize(), s.Text) << s.Asked;
    }

    TSignalStats Stats = FlowStats();
    Feed(Stats, {1, NoValue});
    Stats.SetStackSize(5);
    EXPECT_EQ(Stats.StackSum(), 0);
    EXPECT_EQ(Stats.StackCount(), 0);
    EXPECT_EQ(Stats.StackResult(), NoValue);

    Stats.AddSample(4);
    Stats.SetStackSize(5);
    EXPECT_EQ(Stats.StackSum(), 4);
    EXPECT_EQ(Stats.StackCount(), 1);
    Feed(Stats, {1, 1, 1});
    EXPECT_EQ(Stats.StackResult(), NoValue);
    Stats.AddSample(1);
    EXPECT_EQ(Stats.StackResult(), 8);

    // Length 1 shows the current value at once and then each new one alone.
    Stats.SetStackSize(1);
    EXPECT_EQ(Stats.StackResult(), 1);
    Stats.AddSample(2);
    EXPECT_EQ(Stats.StackResult(), 2);
}

TEST(SignalStats, MeanStaysExactOverLongRuns)
{
    TSignalStats Stats = FlowStats();
    for (int i = 0; i < 1000000; ++i)
        Stats.AddSample(0.1f);
    EXPECT_FLOAT_EQ(Stats.Mean(), 0.1f);

    // Counting goes on past 2^24 values.
    for (int i = 1000000; i < 16777216; ++i)
        Stats.AddSample(0.1f);
    Stats.AddSample(0.1f);
    EXPECT_EQ(Stats.MeanCount(), 16777217.0);
    EXPECT_FLOAT_EQ(Stats.Mean(), 0.1f);
}

TEST(SignalStats, ValuesAndTextsInTheDisplayUnit)
{
    TSignalStats Stats;
    Stats.Setup("Airway Pressure", "Air Press", ucCmH2O, ucKPa, -1, 10);
    Feed(Stats, {10, 20});
    EXPECT_FLOAT_EQ(Stats.CurrentIn(-1), 1.9612f);
    EXPECT_EQ(Stats.CurrentIn(ucCmH2O), 20);
    EXPECT_FLOAT_EQ(Stats.CurrentIn(ucMmHg), 14.7112f);
    EXPECT_FLOAT_EQ(Stats.MinValue(), 0.9806f);
    EXPECT_FLOAT_EQ(Stats.MinSpanValue(), 0.9806f);
    EXPECT_EQ(Stats.FormatCurrent(false), "1.96");
    EXPECT_EQ(Stats.FormatMin(false), "0.98");
    EXPECT_EQ(Stats.FormatMax(false), "1.96");
    EXPECT_EQ(Stats.FormatMean(false), "1.47");
    EXPECT_EQ(Stats.FormatSmoothed(false), "0.98");
    EXPECT_EQ(Stats.DisplayUnitName(), "kPa");

    Stats.Setup("Airway Pressure", "Air Press", ucCmH2O, ucKPa, 3, 10);
    Feed(Stats, {10, 20});
    EXPECT_EQ(Stats.FormatCurrent(false), "1.961");
    Stats.Setup("Airway Pressure", "Air Press", ucCmH2O, ucKPa, 0, 10);
    Feed(Stats, {10, 20});
    EXPECT_EQ(Stats.FormatCurrent(false), "2");
}

TEST(SignalStats, TemperatureSpanConvertsByScaleAlone)
{
    const struct {
        TUnitCode Base, Display;
        float Span, Shown;
    } Cases[] = {
        {ucKelvin, ucCelsius, 5, 5},
        {ucKelvin, ucFahrenheit, 5, 9},
        {ucCelsius, ucFahrenheit, 10, 18},
        {ucFahrenheit, ucKelvin, 9, 5},
        {ucKelvin, ucKelvin, 5, 5},
        {ucKelvin, ucCelsius, -1, -1},   // no span stays none
    };
    for (const auto& c : Cases) {
        TSignalStats Stats;
        Stats.Setup("Temperature", "Temp", c.Base, c.Display, -1, c.Span);
        EXPECT_FLOAT_EQ(Stats.MinSpanValue(), c.Shown) << c.Base << " -> " << c.Display;
    }
}

TEST(SignalStats, AbsoluteAndRatioTexts)
{
    TSignalStats Stats;
    Stats.Setup("I:E Ratio", "IE", ucRatio, ucRatio, -1, -1);
    Stats.SetIsRatio(true);
    // While a reset is pending the number is absent but the side still shows.
    EXPECT_EQ(Stats.FormatValue(2.5f, false), "-----:1");
    EXPECT_EQ(Stats.FormatValue(-1.5f, false), "1:-----");

    Stats.AddSample(2);
    const struct {
        float Value;
        const char* Text;
    } Ratios[] = {{2.5f, "2.50:1"}, {-1.5f, "1:1.50"}, {1, "1.00:1"}, {-1, "1:1.00"}};
    for (const auto& r : Ratios)
        EXPECT_EQ(Stats.FormatValue(r.Value, false), r.Text) << r.Value;
    EXPECT_EQ(Stats.FormatCurrent(false), "2.00:1");

    TSignalStats Pressure;
    Pressure.Setup("Airway Pressure", "Air Press", ucCmH2O, ucCmH2O, -1, 2);
    Pressure.AddSample(-3);
    EXPECT_EQ(Pressure.FormatValue(-3, true), "3.0");
    EXPECT_EQ(Pressure.FormatValue(-3, false), "-3.0");
    EXPECT_EQ(Pressure.FormatValue(NoValue, true), "-----");
    EXPECT_EQ(Pressure.FormatCurrent(true), "3.0");
}

TEST(SignalStats, RestoreTakesSavedValuesAndEndsTheResetRequest)
{
    TSignalStats Saved = FlowStats();
    Saved.SetMin(1);
    Saved.SetMax(9);
    Saved.SetMean(5);
    Saved.SetCurrent(4);

    TSignalStats Live = FlowStats();
    Live.SetStackSize(3);
    Live.Restore(Saved);
    EXPECT_FALSE(Live.ResetPending());
    EXPECT_EQ(Live.FormatMin(false), "1.00");
    EXPECT_EQ(Live.FormatMax(false), "9.00");
    EXPECT_EQ(Live.FormatMean(false), "5.00");
    EXPECT_EQ(Live.FormatCurrent(false), "4.00");
    EXPECT_EQ(Live.FormatSmoothed(false), "4.00");
    EXPECT_EQ(Live.StackSize(), 3);   // the stack stays the live one's
    EXPECT_EQ(Live.LongName(), "Flow");

    // The next value updates the restored statistics instead of restarting them.
    Live.AddSample(10);
    EXPECT_EQ(Live.Min(), 1);
    EXPECT_EQ(Live.Max(), 10);
    EXPECT_EQ(Live.Mean(), 7.5f);   // (5 + 10) / 2: the mean restarted from the saved mean
}

TEST(SignalStats, SettersOfTheImport)
{
    TSignalStats Stats = FlowStats();
    Stats.SetMean(5);
    EXPECT_EQ(Stats.Current(), 5);
    EXPECT_EQ(Stats.MeanSum(), 5);
    EXPECT_EQ(Stats.MeanCount(), 1);
    Stats.SetCurrent(4);
    EXPECT_EQ(Stats.Smoothed(), 4);
    EXPECT_EQ(Stats.SmoothSum(), 4);
    EXPECT_EQ(Stats.SmoothCount(), 1);
    EXPECT_EQ(Stats.StackResult(), 4);   // stack length never set: a stack of one
    Stats.SetStackSize(2);
    Stats.SetCurrent(3);
    EXPECT_EQ(Stats.StackResult(), NoValue);
    EXPECT_EQ(Stats.StackSum(), 3);
}
