// Instruments built on the bases: a round meter and a bar meter follow
// their value and sector on screen, LEDs show their state; a gallery of
// them for people to look at.
#include "tests/widgets/TestMeters.h"

#include "platform/Application.h"
#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

// The point at Distance from Center in the direction Angle (degrees
// clockwise from 12 o'clock).
TPoint Along(const TPoint& Center, float Angle, float Distance)
{
    const double a = Angle * 3.14159265358979323846 / 180.0;
    return Point(Center.X + static_cast<int>(std::lround(Distance * std::sin(a))),
                 Center.Y - static_cast<int>(std::lround(Distance * std::cos(a))));
}

struct TMeterRig {
    TWinControl Owner{nullptr};
    TTestRoundMeter* Round;
    TTestBarMeter* Bar;

    TMeterRig()
    {
        EnsureApplication();
        Round = new TTestRoundMeter(&Owner);
        Bar = new TTestBarMeter(&Owner);
        Round->Loaded();
        Bar->Loaded();
        Round->PaintControl();
        Bar->PaintControl();
    }
};

TEST(TestRoundMeter, NeedlePointsAtTheValue)
{
    TMeterRig R;
    TTestRoundMeter* M = R.Round;
    ASSERT_GT(M->NeedleLength(), 50);
    TCanvas* C = M->Canvas();
    const float d = M->NeedleLength() * 0.45f;
    // 0 % down to the left, 50 % straight up, 100 % down to the right; the
    // needle is drawn on the control at once, without a paint.
    const struct {
        float Value;
        float Angle;
    } cases[] = {{0, 225}, {50, 0}, {100, 135}};
    for (const auto& c : cases) {
        M->SetValue(c.Value);
        for (const auto& other : cases) {
            const TPoint P = Along(M->Center(), other.Angle, d);
            if (&other == &c)
                EXPECT_EQ(C->Pixels(P.X, P.Y), TTestRoundMeter::NeedleColor) << c.Value;
            else
                EXPECT_NE(C->Pixels(P.X, P.Y), TTestRoundMeter::NeedleColor) << c.Value << " at " << other.Angle;
        }
    }
    // Beyond the range the needle rests at the end.
    M->SetValue(130);
    const TPoint End = Along(M->Center(), 135, d);
    EXPECT_EQ(C->Pixels(End.X, End.Y), TTestRoundMeter::NeedleColor);
    // The value box shows the value.
    EXPECT_FALSE(M->ValueRect().IsEmpty());
}

TEST(TestBarMeter, BarTakesTheSectorColour)
{
    TMeterRig R;
    TTestBarMeter* M = R.Bar;
    TCanvas* C = M->Canvas();
    const TRect B = M->BarRect();
    ASSERT_GT(B.Height(), 100);
    const int x = B.Left + 3;
    const struct {
        float Value;
        TColor Color;
    } cases[] = {{20, clYellow}, {50, clGreen}, {95, clRed}};
    for (const auto& c : cases) {
        M->SetValue(c.Value);
        EXPECT_EQ(C->Pixels(x, B.Bottom - 3), c.Color) << c.Value;
    }
    // The empty part above the value.
    M->SetValue(20);
    EXPECT_EQ(C->Pixels(x, B.Top + 3), RGB(40, 40, 40));
    // The round meter's small bar takes the sector colour too.
    R.Round->SetValue(95);
    const TRect L = R.Round->BarRect();
    EXPECT_EQ(R.Round->Canvas()->Pixels(L.Left + 2, (L.Top + L.Bottom) / 2), clRed);
}

// ------------------------------------------------------------------ gallery

void Label(TCanvas* C, int X, int Y, const std::string& Text)
{
    C->Font()->SetName("Arial");
    C->Font()->SetHeight(-12);
    C->Font()->SetColor(clBlack);
    C->Brush()->SetStyle(bsClear);
    C->TextOut(X, Y, Text);
}

// Round and bar meters in each sector, at both range ends and beyond them
// (reached from the end, as a live value gets there); LEDs of the four modes
// off, on and in both phases of flashing.
TEST(InstrumentGallery, MetersInEverySectorAndLedsInEveryMode)
{
    EnsureApplication();
    TWinControl Owner(nullptr);
    const struct {
        float Value;
        const char* Caption;
    } values[] = {{0, "low end"},    {20, "sector 1"},   {50, "sector 2"},     {80, "sector 3"},
                  {100, "high end"}, {120, "over range"}, {-10, "under range"}};
    const int cell = 215;
    TBitmap G(7 * cell + 10, 600);
    TCanvas* C = G.Canvas();
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(Rect(0, 0, G.Width(), G.Height()));
    for (int i = 0; i < 7; ++i) {
        const int x = 10 + i * cell;
        auto* Round = new TTestRoundMeter(&Owner);
        Round->SignalSettings()->SetValueUnit("mbar");
        Round->Loaded();
        const float end = values[i].Value > 100 ? 100 : values[i].Value < 0 ? 0 : values[i].Value;
        Round->SetValue(end);
        Round->SetValue(values[i].Value);
        Round->PaintControl();
        Label(C, x, 6, std::string(values[i].Caption) + " (" + Round->ValueText() + ")");
        C->CopyRect(Bounds(x, 24, 200, 200), Round->Canvas(), Round->ClientRect());
        auto* Bar = new TTestBarMeter(&Owner);
        Bar->Loaded();
        Bar->SetValue(end);
        Bar->SetValue(values[i].Value);
        Bar->PaintControl();
        C->CopyRect(Bounds(x + 55, 234, 90, 200), Bar->Canvas(), Bar->ClientRect());
    }

    const struct {
        TMode Mode;
        const char* Name;
    } modes[] = {{mButton, "button"}, {mSwitch, "switch"}, {mIndicator, "indicator"}, {mRadioButton, "radio"}};
    for (int m = 0; m < 4; ++m) {
        const int x = 10 + m * 2 * cell;
        Label(C, x, 450, modes[m].Name + std::string(": off, on, flashing (both phases)"));
        for (int s = 0; s < 4; ++s) {
            auto* L = new TTestLed(&Owner);
            L->SetBounds(0, 0, 24, 24);
            L->Led()->SetShape(m == 3 ? sRound : static_cast<TLEDShape>(m * 2 % 6));
            L->Led()->SetColorOn(m == 1 ? clRed : clLime);
            L->SetMode(modes[m].Mode);
            L->SetFlashing(s >= 2);
            L->SetChecked(s >= 1);
            if (s == 3)
                L->WMFlash(0, 1);
            L->PaintControl();
            C->CopyRect(Bounds(x + s * 40, 475, 24, 24), L->Canvas(), L->ClientRect());
            L->SetChecked(false);
        }
    }
    const std::string name = std::string(OZ_TEST_ARTIFACTS) + "/widgets_gallery_instruments.png";
    G.SaveToFile(name);
    EXPECT_TRUE(std::filesystem::exists(name));
}

}  // namespace
