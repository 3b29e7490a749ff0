// The analog display and input bases and the two-state base, driven through
// the platform's key and mouse entry points with their events counted.
#include "tests/widgets/TestMeters.h"

#include "platform/Application.h"
#include "platform/ScopeGuard.h"
#include "platform/SysUtils.h"
#include "widgets/IcFlashT.h"
#include "widgets/_IcClassAnalog.h"
#include "widgets/_IcClassBin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int32_t Int32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t Int32Min = std::numeric_limits<int32_t>::min();

// A display with its events written down in order.
struct TDisplayRig {
    TWinControl Owner{nullptr};
    TIcAnalogGControl* G;
    std::vector<std::string> Log;

    TDisplayRig()
    {
        EnsureApplication();
        G = new TIcAnalogGControl(&Owner);
        G->OnLimit = [this](TObject*, bool Lower, bool Upper) {
            Log.push_back("limit " + std::to_string(Lower) + std::to_string(Upper));
        };
        G->OnOverflow = [this](TObject*, int32_t PPT) { Log.push_back("overflow " + std::to_string(PPT)); };
        G->OnSectorChange = [this](TObject*, bool S1, bool S2, bool S3, bool Enter) {
            Log.push_back(std::string(Enter ? "enter " : "leave ") + (S1 ? "1" : S2 ? "2" : S3 ? "3" : "?"));
        };
        G->OnMinMaxChange = [this](TObject*) { Log.push_back("minmax"); };
    }
    std::vector<std::string> Take()
    {
        std::vector<std::string> L;
        L.swap(Log);
        return L;
    }
};

using Events = std::vector<std::string>;

// ------------------------------------------------------------ display base

TEST(IcAnalogG, DefaultsLimitsSectorsAndRangeAfterLoaded)
{
    TDisplayRig R;
    TIcAnalogGControl* G = R.G;
    G->Loaded();
    G->ResetMinMax();
    EXPECT_EQ(G->Digit(), 500);
    EXPECT_EQ(G->PPT(), 500);
    EXPECT_TRUE(G->InSector2());
    EXPECT_FALSE(G->InSector1() || G->InSector3());
    EXPECT_EQ(G->SectorColor(), clGreen);
    EXPECT_FALSE(G->LimitUpperOn() || G->LimitLowerOn());
    EXPECT_EQ(G->ValueText(), "50.0");
    EXPECT_EQ(G->DigitText(), "500");
    R.Take();

    // Untouched settings convert once the control is loaded.
    G->SetValue(95);
    EXPECT_EQ(G->Digit(), 950);
    EXPECT_EQ(G->PPT(), 950);
    EXPECT_EQ(G->SectorColor(), clRed);
    EXPECT_EQ(R.Take(), (Events{"leave 2", "enter 3", "limit 01", "minmax"}));
    G->SetValue(96);
    EXPECT_EQ(R.Take(), (Events{"minmax"}));

    G->SetValue(-5);
    EXPECT_EQ(G->PPT(), 0);
    EXPECT_TRUE(G->OverflowLower());
    EXPECT_EQ(G->SectorColor(), clRed);   // outside every sector it stays
    EXPECT_EQ(R.Take(), (Events{"leave 3", "limit 10", "overflow -50", "minmax"}));
    G->SetValue(-10);
    EXPECT_EQ(R.Take(), (Events{"minmax"}));
    G->SetValue(120);
    EXPECT_EQ(G->PPT(), 1000);
    EXPECT_TRUE(G->OverflowUpper() && !G->OverflowLower());
    EXPECT_EQ(R.Take(), (Events{"limit 01", "overflow 1200", "minmax"}));
    G->SetValue(130);
    EXPECT_EQ(R.Take(), (Events{"minmax"}));
    G->SetValue(50);
    EXPECT_EQ(R.Take(), (Events{"enter 2", "limit 00", "overflow 500"}));
    EXPECT_FALSE(G->OverflowUpper() || G->OverflowLower());
    EXPECT_EQ(G->MinMax()->Min(), -10.0f);
    EXPECT_EQ(G->MinMax()->Max(), 130.0f);

    // A jump from sector 1 to sector 3 leaves one and enters the other.
    G->SetValue(20);
    R.Take();
    G->SetValue(80);
    EXPECT_EQ(R.Take(), (Events{"leave 1", "enter 3"}));

    // A move is seen by the next value change.
    int moves = 0;
    G->OnPosChange = [&](TObject*) { ++moves; };
    G->SetBounds(10, 20, 100, 100);
    EXPECT_EQ(moves, 0);
    G->SetValue(81);
    G->SetValue(82);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(G->LastOrigin(), Point(10, 20));
    R.Take();

    // Limits: 0 is kept just above it; positions follow.
    G->SetLimitLower(0);
    EXPECT_EQ(G->LimitLower(), 0.0001f);
    G->SetLimitUpper(70);
    EXPECT_EQ(G->LimitUpperPPT(), 700);
    EXPECT_EQ(R.Take(), (Events{"limit 01"}));
}

TEST(IcAnalogG, FirstMinimumAndMaximumAreSilentLaterOnesReported)
{
    TDisplayRig R;
    TIcAnalogGControl* G = R.G;
    G->Loaded();
    int valueChanges = 0;
    G->OnValueChange = [&](TObject*) { ++valueChanges; };
    G->SetValue(40);
    EXPECT_EQ(R.Take(), (Events{"enter 2"}));
    EXPECT_EQ(G->MinMax()->Min(), 40.0f);
    EXPECT_EQ(G->MinMax()->Max(), 40.0f);
    EXPECT_EQ(G->MinPPT(), 400);
    G->SetValue(30);
    EXPECT_EQ(R.Take(), (Events{"enter 1", "leave 2", "minmax"}));
    EXPECT_EQ(G->MinPPT(), 300);
    EXPECT_EQ(G->MaxPPT(), 400);
    // The report runs the value change again inside the first.
    EXPECT_EQ(valueChanges, 3);

    // Set from outside with their own time.
    const TDateTime when = EncodeDate(2023, 1, 2);
    G->SetMax(75, when);
    EXPECT_EQ(G->MaxPPT(), 750);
    EXPECT_EQ(G->MinMax()->MaxDateTime(), when);
    EXPECT_EQ(R.Take(), (Events{"minmax"}));
    G->SetMax(75, when + 1);
    EXPECT_EQ(R.Take(), (Events{}));
}

TEST(IcAnalogG, HintAfterAFirstValueAtAFixedClock)
{
    const TDateTime t0 = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);
    SetNowOverride([t0] { return t0; });
    TScopeExit realClock([] { SetNowOverride(nullptr); });
    TDisplayRig R;
    TIcAnalogGControl* G = R.G;
    G->SignalSettings()->SetValueUnit("mbar");
    G->SignalSettings()->SetName1("Airway pressure");
    G->Loaded();
    G->SetValue(42.25f);
    // Date and time as the platform writes them in the user's locale.
    const std::string date = DateToStr(t0), time = TimeToStr(t0);
    EXPECT_NE(time.find("07:09"), std::string::npos);
    EXPECT_EQ(G->Hint(), "Value= 42.3 mbar\r"
                         "MIN= 42.3 mbar " + date + " " + time + "\r"
                         "MAX= 42.3 mbar " + date + " " + time + "\r"
                         "Airway pressure\r"
                         "SignalName2");

    G->SetHintOptions({hoAutoHint, hoMax, hoMinMaxTime, hoName2});
    G->SetValue(43);
    EXPECT_EQ(G->Hint(), "MAX= 43.0 mbar " + time + "\rSignalName2");
    // Without hoAutoHint the text stays; switching it on rebuilds it.
    G->SetHintOptions({hoValue});
    G->SetValue(44);
    EXPECT_EQ(G->Hint(), "MAX= 43.0 mbar " + time + "\rSignalName2");
    G->SetHintOptions({hoAutoHint, hoValue});
    EXPECT_EQ(G->Hint(), "Value= 44.0 mbar");
}

TEST(IcAnalogG, LogarithmicScaling)
{
    TDisplayRig R;
    TIcAnalogGControl* G = R.G;
    G->SignalSettings()->SetValueFrom(0.1f);
    G->Loaded();
    G->SetLogScale(true);
    EXPECT_NEAR(G->LogFactor(), 333.33, 0.01);
    EXPECT_NEAR(G->LogOffset(), 1.0, 1e-6);
    G->SetValue(1);
    EXPECT_EQ(G->Digit(), 333);
    G->SetDigit(500);
    EXPECT_NEAR(G->Value(), 3.1623, 0.0005);
    G->SetValue(0);
    G->SetValue(-1);
    G->SetValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_NEAR(G->Value(), 3.1623, 0.0005);
    EXPECT_EQ(G->Digit(), 500);

    // Range ends go to their decades: 1..1000 from 2..900.
    TDisplayRig L;
    L.G->SignalSettings()->SetValueFrom(2);
    L.G->SignalSettings()->SetValueTo(900);
    L.G->Loaded();
    L.G->SetLogScale(true);
    EXPECT_EQ(L.G->SignalSettings()->ValueFrom(), 1.0f);
    EXPECT_EQ(L.G->SignalSettings()->ValueTo(), 1000.0f);
    EXPECT_NEAR(L.G->LogFactor(), 333.33, 0.01);
    L.G->SetValue(10);
    EXPECT_EQ(L.G->Digit(), 333);
    L.G->SetDigit(667);
    EXPECT_NEAR(L.G->Value(), 100.0, 0.5);

    // Back to linear: the digit follows the value again.
    L.G->SetLogScale(false);
    EXPECT_EQ(L.G->Digit(), IcRound((L.G->Value() - 1.0L) * 1000.0L / 999.0L));
}

TEST(IcAnalogG, ADigitRangeOfZeroGivesTheStartAndKeepsTheValue)
{
    TDisplayRig R;
    TIcAnalogGControl* G = R.G;
    G->SignalSettings()->SetDigitalFrom(5);
    G->SignalSettings()->SetDigitalTo(5);
    G->Loaded();
    ASSERT_EQ(G->SignalSettings()->DigitRange(), 0);
    G->SetValue(70);
    EXPECT_EQ(G->PPT(), 0);
    EXPECT_FALSE(G->OverflowLower() || G->OverflowUpper());

    // Log mode with no digits per decade: a digit does not move the value.
    G->SetLogScale(true);
    ASSERT_EQ(G->LogFactor(), 0.0);
    const float before = G->Value();
    G->SetDigit(7);
    EXPECT_EQ(G->Value(), before);
    EXPECT_TRUE(std::isfinite(G->Value()));
}

TEST(IcAnalogG, ConversionsSaturateAndRefuseValuesThatAreNotNumbers)
{
    TDisplayRig R;
    TIcAnalogGControl* G = R.G;
    G->SignalSettings()->SetDigitalFrom(-1000);
    G->Loaded();
    G->SetValue(1e30f);
    EXPECT_EQ(G->Digit(), Int32Max);
    EXPECT_EQ(G->PPT(), 1000);
    EXPECT_TRUE(G->OverflowUpper());
    G->SetValue(-1e30f);
    EXPECT_EQ(G->Digit(), Int32Min);
    EXPECT_EQ(G->PPT(), 0);
    G->SetDigit(Int32Max);
    EXPECT_TRUE(std::isfinite(G->Value()));
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity()}) {
        G->SetValue(bad);
        EXPECT_EQ(G->Digit(), Int32Max);
    }
    // Log mode: a huge digit gives the largest value, not infinity.
    G->SetLogScale(true);
    G->SetDigit(Int32Max - 1);
    EXPECT_EQ(G->Value(), std::numeric_limits<float>::max());
}

// ------------------------------------------------------------- input base

// A knob: its whole client area is the round slide area; sliding sets the
// digit from the angle about the centre.
class TTestKnob : public TIcAnalogCControl {
public:
    explicit TTestKnob(TComponent* AOwner) : TIcAnalogCControl(AOwner)
    {
        SetBounds(0, 0, 100, 100);
        SetSlideRect(Rect(0, 0, 100, 100));
        SetRoundSlideArea(true);
    }
    int Slides = 0;

protected:
    void MouseSlide(TShiftState Shift, int X, int Y, const TPoint& LastPos) override
    {
        ++Slides;
        const float a = IcGetAngle(Point(X, Y), Point(50, 50));
        SetDigit(IcRound(a / 360.0f * 1000.0f));
        TIcAnalogCControl::MouseSlide(Shift, X, Y, LastPos);
    }
};

struct TInputRig {
    TWinControl Owner{nullptr};
    TTestKnob* C;
    int Changes = 0;
    int Changed = 0;

    TInputRig()
    {
        EnsureApplication();
        C = new TTestKnob(&Owner);
        C->SetParent(&Owner);
        C->OnValueChange = [this](TObject*) { ++Changes; };
        C->OnValueChanged = [this](TObject*) { ++Changed; };
    }
    void Press(uint16_t Key)
    {
        uint16_t k = Key;
        C->WidgetKeyDown(k, {});
        k = Key;
        C->WidgetKeyUp(k, {});
    }
};

TEST(IcAnalogC, KeysStepInsideTheDigitRange)
{
    TInputRig R;
    TIcAnalogCControl* C = R.C;
    C->Loaded();
    EXPECT_EQ(C->UpdateCount(), 0);
    C->SetDigit(995);
    EXPECT_EQ(C->Value(), 99.5f);
    EXPECT_EQ(C->ValueText(), "99.5");

    struct Case {
        uint16_t Key;
        int32_t Expected;
    };
    const Case cases[] = {
        {VK_PRIOR, 1000}, {VK_PRIOR, 1000}, {VK_NEXT, 990}, {VK_HOME, 0},   {VK_LEFT, 0},
        {VK_UP, 1},       {VK_RIGHT, 2},    {VK_DOWN, 1},   {VK_END, 1000}, {VK_RIGHT, 1000},
        {'A', 1000},
    };
    for (const Case& c : cases) {
        R.Press(c.Key);
        EXPECT_EQ(C->Digit(), c.Expected) << c.Key;
    }

    // A key left out of EnabledKeys, or the keyboard switched off, does nothing
    // and is not the control's.
    TEnabledKeys keys = C->EnabledKeys();
    keys.Exclude(_VK_PRIOR);
    C->SetEnabledKeys(keys);
    C->SetDigit(500);
    EXPECT_TRUE(C->WantsKey(VK_NEXT));
    EXPECT_FALSE(C->WantsKey(VK_PRIOR));
    EXPECT_FALSE(C->WantsKey(VK_RETURN));
    R.Press(VK_PRIOR);
    EXPECT_EQ(C->Digit(), 500);
    C->SetEnableKeyboard(false);
    EXPECT_FALSE(C->WantsKey(VK_NEXT));
    R.Press(VK_NEXT);
    EXPECT_EQ(C->Digit(), 500);
}

TEST(IcAnalogC, StepsReportEachChangeAndTheReleaseOnce)
{
    TInputRig R;
    TIcAnalogCControl* C = R.C;
    // Before Loaded a change is no user's step.
    C->SetDigit(300);
    EXPECT_EQ(R.Changes, 0);
    C->Loaded();
    for (int i = 0; i < 3; ++i) {
        uint16_t k = VK_NEXT;
        C->WidgetKeyDown(k, {});
    }
    EXPECT_EQ(C->Digit(), 270);
    EXPECT_EQ(R.Changes, 3);
    EXPECT_EQ(R.Changed, 0);
    uint16_t k = VK_NEXT;
    C->WidgetKeyUp(k, {});
    EXPECT_EQ(R.Changed, 1);
    C->WidgetKeyUp(k, {});
    EXPECT_EQ(R.Changed, 1);

    // One wheel notch is one step and a finished change; other deltas
    // (two notches at once, or -392 whose low byte looks like +120) are not.
    struct Case {
        int Delta;
        int32_t Expected;
    };
    const Case cases[] = {{120, 271}, {-120, 270}, {240, 270}, {-392, 270}, {8, 270}};
    for (const Case& c : cases) {
        C->WidgetMouseWheel({}, c.Delta, Point(50, 50));
        EXPECT_EQ(C->Digit(), c.Expected) << c.Delta;
    }
    EXPECT_EQ(R.Changes, 5);
    EXPECT_EQ(R.Changed, 3);
}

TEST(IcAnalogC, DigitArithmeticSaturatesAtTheIntegerLimits)
{
    TInputRig R;
    TIcAnalogCControl* C = R.C;
    C->SignalSettings()->SetDigitalFrom(Int32Min);
    C->SignalSettings()->SetDigitalTo(Int32Max);
    C->Loaded();
    C->SetChangeLarge(Int32Max);
    C->SetDigit(Int32Max - 5);
    R.Press(VK_PRIOR);
    EXPECT_EQ(C->Digit(), Int32Max);
    C->SetDigit(Int32Min + 3);
    R.Press(VK_NEXT);
    EXPECT_EQ(C->Digit(), Int32Min);
    C->SetValue(std::numeric_limits<float>::infinity());
    C->SetValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(C->Digit(), Int32Min);
    EXPECT_TRUE(std::isfinite(C->Value()));
    // A value beyond the range is clipped to its end.
    C->SetValue(1e9f);
    EXPECT_NEAR(C->Value(), 100.0f, 0.01f);
}

TEST(IcAnalogC, SlidingInsideTheRoundAreaWithItsCursor)
{
    TInputRig R;
    TTestKnob* C = R.C;
    C->Loaded();
    EXPECT_EQ(Screen->Cursors(crIcHand), crHandPoint);
    // A corner lies in the square but outside its circle.
    C->WidgetMouseDown(mbLeft, {ssLeft}, 3, 3, false);
    EXPECT_FALSE(C->Sliding());
    EXPECT_FALSE(C->InSlideArea());
    EXPECT_EQ(C->Slides, 0);
    C->WidgetMouseUp(mbLeft, {}, 3, 3);

    C->WidgetMouseMove({}, 80, 50);
    EXPECT_TRUE(C->InSlideArea());
    EXPECT_EQ(C->Cursor(), crIcHand);
    // A change of settings meanwhile keeps the cursor of the control's own.
    C->SignalSettings()->SetValueUnit("l/min");
    EXPECT_EQ(C->NormalCursor(), crDefault);

    C->WidgetMouseDown(mbLeft, {ssLeft}, 80, 50, false);   // 3 o'clock
    EXPECT_TRUE(C->Sliding());
    EXPECT_EQ(C->Digit(), 250);
    C->WidgetMouseMove({ssLeft}, 50, 85);                   // 6 o'clock
    EXPECT_EQ(C->Digit(), 500);
    EXPECT_EQ(C->LastPos(), Point(50, 85));
    EXPECT_EQ(R.Changes, 2);
    EXPECT_EQ(R.Changed, 0);
    C->WidgetMouseUp(mbLeft, {}, 50, 85);
    EXPECT_FALSE(C->Sliding());
    EXPECT_EQ(R.Changed, 1);
    C->WidgetMouseMove({}, 2, 98);
    EXPECT_EQ(C->Cursor(), crDefault);
    C->WidgetMouseMove({}, 2, 98);
    EXPECT_EQ(C->Slides, 2);

    // A plain rectangle takes its corners.
    C->SetRoundSlideArea(false);
    C->WidgetMouseDown(mbLeft, {ssLeft}, 3, 3, false);
    EXPECT_TRUE(C->Sliding());
    C->WidgetMouseUp(mbLeft, {}, 3, 3);
}

TEST(IcAnalogC, AValueIndicatorTakesTheRangesAndTheValue)
{
    TInputRig R;
    TIcAnalogCControl* C = R.C;
    C->SignalSettings()->SetValueFrom(-20);
    C->SignalSettings()->SetValueTo(20);
    C->SignalSettings()->SetValueUnit("cmH2O");
    C->Loaded();
    auto* G = new TIcAnalogGControl(&R.Owner);
    G->Loaded();
    C->SetValueIndicator(G);
    EXPECT_EQ(G->SignalSettings()->ValueFrom(), -20.0f);
    EXPECT_EQ(G->SignalSettings()->ValueTo(), 20.0f);
    EXPECT_EQ(G->SignalSettings()->ValueUnit(), "cmH2O");
    C->SetValue(5);
    EXPECT_FLOAT_EQ(G->Value(), 5.0f);
    EXPECT_EQ(G->PPT(), 625);
    C->SignalSettings()->SetValueTo(60);
    EXPECT_EQ(G->SignalSettings()->ValueTo(), 60.0f);
    R.Press(VK_END);
    EXPECT_FLOAT_EQ(G->Value(), 60.0f);
    EXPECT_EQ(G->PPT(), 1000);

    // The indicator freed first is forgotten.
    delete G;
    EXPECT_EQ(C->ValueIndicator(), nullptr);
    R.Press(VK_HOME);
    EXPECT_FLOAT_EQ(C->Value(), -20.0f);
}

// ---------------------------------------------------------- two-state base

struct TBinRig {
    TWinControl Owner{nullptr};
    std::vector<TTestLed*> Leds;

    TBinRig(int Count, int Group, TMode Mode)
    {
        EnsureApplication();
        for (int i = 0; i < Count; ++i) {
            auto* L = new TTestLed(&Owner);
            L->SetMode(Mode);
            L->SetStatusBit(i);
            L->SetGroupIndex(Group);
            Leds.push_back(L);
        }
    }
    void Click(int I)
    {
        Leds[I]->WidgetMouseDown(mbLeft, {ssLeft}, 5, 5, false);
        Leds[I]->WidgetMouseUp(mbLeft, {}, 5, 5);
    }
    std::vector<int32_t> Words() const
    {
        std::vector<int32_t> W;
        for (auto* L : Leds)
            W.push_back(L->StatusInt());
        return W;
    }
    std::vector<bool> Checks() const
    {
        std::vector<bool> C;
        for (auto* L : Leds)
            C.push_back(L->Checked());
        return C;
    }
};

TEST(IcBinG, RadioAndSwitchGroupsShareOneWord)
{
    TBinRig Radio(3, 1, mRadioButton);
    Radio.Click(1);
    EXPECT_EQ(Radio.Words(), (std::vector<int32_t>{2, 2, 2}));
    EXPECT_EQ(Radio.Checks(), (std::vector<bool>{false, true, false}));
    Radio.Click(2);
    EXPECT_EQ(Radio.Words(), (std::vector<int32_t>{4, 4, 4}));
    EXPECT_EQ(Radio.Checks(), (std::vector<bool>{false, false, true}));

    TBinRig Switches(3, 2, mSwitch);
    Switches.Click(0);
    Switches.Click(2);
    EXPECT_EQ(Switches.Words(), (std::vector<int32_t>{5, 5, 5}));
    Switches.Click(0);
    EXPECT_EQ(Switches.Words(), (std::vector<int32_t>{4, 4, 4}));

    TBinRig Four(4, 3, mSwitch);
    Four.Leds[1]->SetChecked(true);
    Four.Leds[3]->SetChecked(true);
    EXPECT_EQ(Four.Words(), (std::vector<int32_t>{10, 10, 10, 10}));
    for (auto* L : Four.Leds)
        EXPECT_EQ(L->FirstBit(), 1);
    EXPECT_EQ(Four.Checks(), (std::vector<bool>{false, true, false, true}));

    // A newcomer to the group takes its word.
    auto* Late = new TTestLed(&Four.Owner);
    Late->SetStatusBit(3);
    Late->SetGroupIndex(3);
    EXPECT_EQ(Late->StatusInt(), 10);
    EXPECT_TRUE(Late->Checked());
    // Another group and controls out of range are left alone.
    Late->SetStatusBit(32);
    Late->SetGroupIndex(-1);
    EXPECT_EQ(Late->StatusBit(), 3);
    EXPECT_EQ(Late->GroupIndex(), 3);

    // Setting the mode to radio button makes the word 1.
    TBinRig Solo(1, 0, mIndicator);
    Solo.Leds[0]->SetMode(mRadioButton);
    EXPECT_EQ(Solo.Leds[0]->StatusInt(), 1);
    EXPECT_TRUE(Solo.Leds[0]->Checked());
}

TEST(IcBinG, FirstBitOfTheWord)
{
    TBinRig R(1, 0, mIndicator);
    TTestLed* L = R.Leds[0];
    const struct {
        int32_t Word;
        int32_t FirstBit;
    } cases[] = {{8, 3}, {Int32Min, 31}, {6, 1}, {0, 32}, {-1, 0}};
    for (const auto& c : cases) {
        L->SetStatusInt(c.Word);
        EXPECT_EQ(L->FirstBit(), c.FirstBit) << c.Word;
    }
    L->SetStatusBit(31);
    L->SetStatusInt(Int32Min);
    EXPECT_TRUE(L->Checked());
    L->SetChecked(false);
    EXPECT_EQ(L->StatusInt(), 0);
}

TEST(IcBinG, ButtonsHoldIndicatorsIgnoreTheMouse)
{
    TBinRig R(2, 0, mButton);
    TTestLed* B = R.Leds[0];
    int edges = 0;
    B->OnStatusChange = [&](TObject*) { ++edges; };
    B->WidgetMouseDown(mbLeft, {ssLeft}, 5, 5, false);
    EXPECT_TRUE(B->Checked());
    EXPECT_TRUE(B->Pressed());
    EXPECT_EQ(edges, 1);
    B->WidgetMouseUp(mbLeft, {}, 5, 5);
    EXPECT_FALSE(B->Checked());
    EXPECT_FALSE(B->Pressed());
    EXPECT_EQ(edges, 2);
    B->WidgetMouseDown(mbRight, {ssRight}, 5, 5, false);
    EXPECT_FALSE(B->Checked());

    TTestLed* I = R.Leds[1];
    I->SetMode(mIndicator);
    I->WidgetMouseDown(mbLeft, {ssLeft}, 5, 5, false);
    EXPECT_FALSE(I->Checked());
    EXPECT_FALSE(I->Pressed());
    I->WidgetMouseUp(mbLeft, {}, 5, 5);
}

TEST(IcBinG, GroupsKeepSyncingAfterAHandlerRaised)
{
    TBinRig R(3, 4, mSwitch);
    R.Leds[1]->OnStatusIntChange = [](TObject*) { throw std::runtime_error("handler failed"); };
    EXPECT_THROW(R.Leds[0]->SetChecked(true), std::runtime_error);
    R.Leds[1]->OnStatusIntChange = nullptr;
    // The third never got the word; its own change reaches both others.
    R.Leds[2]->SetChecked(true);
    EXPECT_EQ(R.Words(), (std::vector<int32_t>{4, 4, 4}));
    EXPECT_EQ(R.Checks(), (std::vector<bool>{false, false, true}));

    // Without an owner a control has no partners.
    TTestLed Orphan(nullptr);
    Orphan.SetGroupIndex(4);
    Orphan.SetMode(mSwitch);
    Orphan.SetChecked(true);
    EXPECT_EQ(Orphan.StatusInt(), 1);
    EXPECT_EQ(R.Words(), (std::vector<int32_t>{4, 4, 4}));
}

class IcBinGFlash : public ::testing::Test {
protected:
    int64_t Clock = 5000000;
    void SetUp() override
    {
        EnsureApplication();
        ClearFlashList();
        SetIcTickSource([this] { return Clock; });
        FlashCount = 0;
    }
    void TearDown() override
    {
        ClearFlashList();
        SetIcTickSource(nullptr);
    }
    void Ticks(int N)
    {
        for (int i = 0; i < N; ++i) {
            Clock += 16;
            IcFlashTimer->flash(IcFlashTimer);
        }
    }
    static bool Listed(TObject* Control)
    {
        for (const auto& r : dynFlashList())
            if (r->Control == Control)
                return true;
        return false;
    }
};

TEST_F(IcBinGFlash, FlashesWhileCheckedAtItsRate)
{
    TWinControl owner(nullptr);
    auto* L = new TTestLed(&owner);
    L->SetFlashing(true);
    EXPECT_FALSE(Listed(L));
    L->SetChecked(true);
    ASSERT_TRUE(Listed(L));
    ASSERT_NE(IcFlashTimer, nullptr);
    Ticks(64);
    using Phase = std::pair<uint32_t, bool>;
    EXPECT_EQ(L->Phases, (std::vector<Phase>{{32, true}, {64, false}}));

    // Unchecking leaves the list; checking again comes back.
    L->SetChecked(false);
    EXPECT_FALSE(Listed(L));
    Ticks(64);
    EXPECT_EQ(L->Phases.size(), 2u);
    L->SetChecked(true);
    EXPECT_TRUE(Listed(L));

    // 8 Hz toggles every 4 ticks.
    L->Phases.clear();
    L->SetFrequency(ff8Hz);
    Ticks(16);
    EXPECT_EQ(L->Phases.size(), 4u);
    L->SetFlashing(false);
    EXPECT_FALSE(Listed(L));
    L->SetFlashing(true);
    delete L;
    EXPECT_FALSE(Listed(L));
}

}  // namespace
