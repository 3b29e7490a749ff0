// Value ranges mapped onto digits and parts per thousand, colour sectors,
// the running minimum and maximum, and channel settings.
#include "widgets/_IcSignal.h"

#include "platform/ScopeGuard.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

constexpr int32_t MaxInt = std::numeric_limits<int32_t>::max();
constexpr int32_t MinInt = std::numeric_limits<int32_t>::min();

struct TChangeCounter {
    int Changes = 0;
    void Watch(TIcPersistent& Settings)
    {
        Settings.OnChange = [this](TObject*) { ++Changes; };
    }
};

TEST(SignalSettings, AFreshObjectConvertsNothingUntilRecomputed)
{
    TSignalSettings s;
    EXPECT_EQ(s.ValueRange(), 100.0f);
    EXPECT_EQ(s.DigitRange(), 1000);
    EXPECT_EQ(s.PPTFactor(), 0.0f);
    EXPECT_EQ(s.ValuePerDigit(), 0.0f);
    EXPECT_EQ(s.DigitsPerValue(), 0.0f);
    EXPECT_EQ(s.GetPPT(50), 0);
    EXPECT_EQ(s.DisplayFormat(), "##0.0");

    TChangeCounter counter;
    counter.Watch(s);
    s.Recompute();   // the owner's way: no OnChange
    EXPECT_EQ(counter.Changes, 0);
    EXPECT_EQ(s.GetPPT(50), 500);
    EXPECT_FLOAT_EQ(s.GetValue(250), 25.0f);
}

// Each case writes the ends in the order given (a setter refuses a value
// equal to either current end), starting from a recomputed 0..100.
TEST(SignalSettings, RecomputationInTheFourSignCases)
{
    struct Case {
        const char* Name;
        std::vector<std::pair<char, float>> Writes;   // 'F' ValueFrom, 'T' ValueTo
        float From, To, Range, PerDigit, DigitsPer, Factor;
        float Probe;
        int32_t ProbePPT;
    };
    const Case cases[] = {
        {"both ends negative", {{'F', -100}, {'T', -20}}, -100, -20, 80, 0.08f, 12.5f, 12.5f, -60, 500},
        {"across zero", {{'F', -50}, {'T', 50}}, -50, 50, 100, 0.1f, 10, 10, 0, 500},
        {"negative to zero", {{'F', -10}, {'T', 0}}, -10, 0, 10, 0.01f, 100, 100, -5, 500},
        {"both positive", {{'T', 70}, {'F', 20}}, 20, 70, 50, 0.05f, 20, 20, 45, 500},
        // Reversed: the span goes negative; only ValuePerDigit follows it,
        // the other factors stay those of 0..50.
        {"reversed", {{'T', 50}, {'F', 100}}, 100, 50, -50, -0.05f, 20, 20, 75, -500},
        // A start of 0 is kept as 0.000001; an end of 0 then leaves the span
        // of 0.000001..100 as it was.
        {"start at or above 0, end at or below 0", {{'F', 10}, {'F', 0}, {'T', 0}}, 0.000001f, 0, 99.999999f, 0.1f, 10, 10,
         50, 500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TSignalSettings s;
        s.Recompute();
        for (const auto& [end, v] : c.Writes)
            end == 'F' ? s.SetValueFrom(v) : s.SetValueTo(v);
        EXPECT_EQ(s.ValueFrom(), c.From);
        EXPECT_EQ(s.ValueTo(), c.To);
        EXPECT_FLOAT_EQ(s.ValueRange(), c.Range);
        EXPECT_FLOAT_EQ(s.ValuePerDigit(), c.PerDigit);
        EXPECT_FLOAT_EQ(s.DigitsPerValue(), c.DigitsPer);
        EXPECT_FLOAT_EQ(s.PPTFactor(), c.Factor);
        EXPECT_EQ(s.GetPPT(c.Probe), c.ProbePPT);
    }
}

TEST(SignalSettings, RangeEndsNeverMeetAndGoToDecadesInLogMode)
{
    TSignalSettings s;
    TChangeCounter counter;
    counter.Watch(s);
    s.SetValueFrom(100);   // the end
    s.SetValueTo(0);       // the start
    EXPECT_EQ(counter.Changes, 0);
    EXPECT_EQ(s.ValueFrom(), 0.0f);
    EXPECT_EQ(s.ValueTo(), 100.0f);

    s.SetValueFrom(10);
    s.SetValueFrom(0);
    EXPECT_EQ(s.ValueFrom(), 0.000001f);
    EXPECT_EQ(counter.Changes, 2);
    s.SetValueTo(0);
    EXPECT_EQ(s.ValueTo(), 0.0f);

    // A start of 0 would be kept as 0.000001: refused where that is the end.
    TSignalSettings t;
    t.SetValueFrom(5);
    t.SetValueTo(0.000001f);
    t.SetValueFrom(0);
    EXPECT_EQ(t.ValueFrom(), 5.0f);

    TSignalSettings log;
    log.SetLogScale(true);
    log.SetValueFrom(3);   // 10^round(0.48)
    EXPECT_EQ(log.ValueFrom(), 1.0f);
    log.SetValueTo(400);   // 10^round(2.6)
    EXPECT_EQ(log.ValueTo(), 1000.0f);
    log.SetValueTo(2);     // its decade would be the start: kept as written
    EXPECT_EQ(log.ValueTo(), 2.0f);
    log.SetValueTo(0.04f);
    EXPECT_FLOAT_EQ(log.ValueTo(), 0.1f);
}

TEST(SignalSettings, OtherSettersRecomputeAndReportOnlyChanges)
{
    TSignalSettings s;
    TChangeCounter counter;
    counter.Watch(s);
    s.SetValueFormat("0.0;-0.000");
    EXPECT_EQ(s.DisplayFormat(), "-0.000");
    s.SetName1("SignalName1");   // unchanged
    EXPECT_EQ(counter.Changes, 1);
    s.SetDigitalFrom(-1000);
    EXPECT_EQ(s.DigitRange(), 2000);
    EXPECT_FLOAT_EQ(s.ValuePerDigit(), 0.05f);
    s.SetName2("Flow");
    s.SetValueUnit("l/min");
    EXPECT_EQ(counter.Changes, 4);
    // Digit ends far apart: the span is kept inside 32 bits.
    s.SetDigitalFrom(MinInt);
    s.SetDigitalTo(MaxInt);
    EXPECT_EQ(s.DigitRange(), MaxInt);
}

TEST(SignalSettings, FarValuesSaturateInsteadOfOverflowing)
{
    TSignalSettings s;
    s.Recompute();
    EXPECT_EQ(s.GetPPT(1e30f), MaxInt);
    EXPECT_EQ(s.GetPPT(-1e30f), MinInt);
    EXPECT_EQ(s.GetPPT(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(s.GetPPT(150), 1500);
}

TEST(SignalSettings, AssignCopiesTheWholeRangeWhateverTheOldOne)
{
    auto range = [](float From, float To) {
        auto s = std::make_unique<TSignalSettings>();
        // Through a middle value so that neither write meets the old ends.
        s->SetValueTo(12345);
        s->SetValueFrom(From);
        s->SetValueTo(To);
        return s;
    };
    struct Case {
        const char* Name;
        float OldFrom, OldTo, From, To;
        float ExpectedFrom, ExpectedTo;
    };
    const Case cases[] = {
        {"new start on the old end", 0, 100, 100, 200, 100, 200},
        {"new end on the old start", 100, 200, 50, 100, 50, 100},
        {"ends trade places", 10, 100, 100, 10, 100, 10},
        {"start 0 onto its own end", 100, 0, 0, 100, 0.000001f, 100},
        {"disjoint", -5, 5, 20, 30, 20, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto dest = range(c.OldFrom, c.OldTo);
        auto src = range(c.From, c.To);
        dest->Assign(src.get());
        EXPECT_EQ(dest->ValueFrom(), c.ExpectedFrom);
        EXPECT_EQ(dest->ValueTo(), c.ExpectedTo);
        EXPECT_FLOAT_EQ(dest->ValueRange(), c.ExpectedTo - c.ExpectedFrom);
    }

    // A fresh source copies its start of 0 as 0.000001, with the rest.
    TSignalSettings fresh, dest;
    fresh.SetDigitalFrom(-10);
    fresh.SetDigitalTo(10);
    fresh.SetValueFormat("0.00");
    fresh.SetValueUnit("mbar");
    fresh.SetName1("Paw");
    fresh.SetName2("Airway pressure");
    dest.SetValueFrom(3);
    dest.SetValueTo(7);
    dest.Assign(&fresh);
    EXPECT_EQ(dest.ValueFrom(), 0.000001f);
    EXPECT_EQ(dest.ValueTo(), 100.0f);
    EXPECT_EQ(dest.DigitalFrom(), -10);
    EXPECT_EQ(dest.DigitalTo(), 10);
    EXPECT_EQ(dest.ValueFormat(), "0.00");
    EXPECT_EQ(dest.ValueUnit(), "mbar");
    EXPECT_EQ(dest.Name1(), "Paw");
    EXPECT_EQ(dest.Name2(), "Airway pressure");

    TSectorSettings other;
    EXPECT_THROW(other.Assign(&fresh), EConvertError);
    EXPECT_THROW(fresh.Assign(&other), EConvertError);
}

TEST(SignalSettings, ValueFormatTakesTheLongerSection)
{
    struct Case { const char* Format; const char* Expected; };
    const Case cases[] = {
        {"##0.0", "##0.0"},
        {"0.0;-0.00", "-0.00"},
        {"0.00;0.0", "0.00"},
        {"0.0;0.0", "0.0"},
        {"0.0;-0.0;zero", "-0.0;zero"},
        {";", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IcGetValueFormat(c.Format), c.Expected) << c.Format;
}

TEST(SectorSettings, CheckSectorColorTakesTheFirstContainingSector)
{
    TSectorSettings s;
    struct Case { int32_t Value; bool Found; TColor Color; };
    const Case defaults[] = {
        {0, true, clYellow}, {333, true, clYellow}, {334, true, clGreen}, {666, true, clGreen},
        {667, true, clRed}, {1000, true, clRed}, {1001, false, clPurple}, {-1, false, clPurple},
    };
    for (const Case& c : defaults) {
        TColor color = clPurple;
        EXPECT_EQ(s.CheckSectorColor(c.Value, color), c.Found) << c.Value;
        EXPECT_EQ(color, c.Color) << c.Value;
    }
    s.SetSector1To(500);
    s.SetSector2From(400);
    TColor color = clPurple;
    EXPECT_TRUE(s.CheckSectorColor(450, color));
    EXPECT_EQ(color, clYellow);
}

TEST(SectorSettings, AssignCopiesSectorsButNotTheBandOffsets)
{
    TSectorSettings src, dest;
    src.SetSector1Color(clBlue);
    src.SetSector2From(400);
    src.SetSector3To(900);
    src.SetOffset(3);
    src.SetWidthOffset(4);
    TChangeCounter counter;
    counter.Watch(dest);
    dest.Assign(&src);
    EXPECT_EQ(counter.Changes, 3);
    EXPECT_EQ(dest.Sector1Color(), clBlue);
    EXPECT_EQ(dest.Sector2From(), 400);
    EXPECT_EQ(dest.Sector3To(), 900);
    EXPECT_EQ(dest.Offset(), 0);
    EXPECT_EQ(dest.WidthOffset(), 0);
}

TEST(MinMax, RecordsStampTheClockWithoutOnChange)
{
    const TDateTime t0 = EncodeDate(2024, 3, 1) + EncodeTime(10, 0, 0, 0);
    TDateTime now = t0;
    SetNowOverride([&] { return now; });
    TScopeExit realClock([] { SetNowOverride(nullptr); });
    TMinMax m;
    EXPECT_EQ(m.Min(), 9999999.0f);
    EXPECT_EQ(m.Max(), -9999999.0f);
    EXPECT_EQ(m.MinDateTime(), t0);
    EXPECT_EQ(m.MaxDateTime(), t0);

    TChangeCounter counter;
    counter.Watch(m);
    now = t0 + 1.0 / 24;
    m.SetMax(5);
    EXPECT_EQ(m.Max(), 5.0f);
    EXPECT_EQ(m.MaxDateTime(), now);
    EXPECT_EQ(m.MinDateTime(), t0);
    now += 1.0 / 24;
    m.SetMin(-2);
    EXPECT_EQ(m.MinDateTime(), now);
    EXPECT_EQ(counter.Changes, 0);

    m.SetMaxColor(clRed);
    m.SetMaxColor(clRed);
    m.SetMinVisible(false);
    EXPECT_EQ(counter.Changes, 2);
}

TEST(ChSettings, ValueAndDigitFollowEachOtherWithOnValueChangeOnly)
{
    TChSettings ch;
    ch.SetDigitalFrom(100);
    ch.SetDigitalTo(1100);   // recomputed: 0..100 onto 100..1100
    int valueChanges = 0;
    TChangeCounter counter;
    counter.Watch(ch);
    ch.OnValueChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &ch);
        ++valueChanges;
    };

    ch.SetValue(25);
    EXPECT_EQ(ch.Digit(), 350);
    EXPECT_EQ(ch.AbsDigit(), 250);
    EXPECT_EQ(valueChanges, 1);
    ch.SetValue(25);
    EXPECT_EQ(valueChanges, 1);

    ch.SetDigit(600);
    EXPECT_FLOAT_EQ(ch.Value(), 50.0f);
    EXPECT_EQ(ch.AbsDigit(), 500);
    EXPECT_FLOAT_EQ(ch.AbsDigitToValue(250), 25.0f);
    EXPECT_EQ(valueChanges, 2);

    // No clamping; a value far outside saturates instead of overflowing.
    ch.SetValue(150);
    EXPECT_EQ(ch.Digit(), 1600);
    ch.SetValue(1e30f);
    EXPECT_EQ(ch.Digit(), MaxInt);
    EXPECT_EQ(ch.AbsDigit(), MaxInt - 100);
    ch.SetValue(-1e30f);
    EXPECT_EQ(ch.Digit(), MinInt);
    EXPECT_EQ(ch.AbsDigit(), MinInt);
    EXPECT_EQ(counter.Changes, 0);

    ch.SetColor(clRed);
    ch.SetPenWidth(1);   // unchanged
    ch.SetVisible(false);
    EXPECT_EQ(counter.Changes, 2);
}

TEST(ChSettings, DefaultsAndSignalCopy)
{
    TChSettings ch;
    EXPECT_EQ(ch.Color(), clBlack);
    EXPECT_EQ(ch.PenWidth(), 1);
    EXPECT_TRUE(ch.Visible());
    TSignalSettings plain;
    plain.SetValueTo(10);
    ch.Assign(&plain);   // a channel takes plain signal settings
    EXPECT_EQ(ch.ValueTo(), 10.0f);
    EXPECT_FLOAT_EQ(ch.DigitsPerValue(), 100.0f);
}

}  // namespace
