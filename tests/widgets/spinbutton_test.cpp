// The spin button pair: auto-repeat timing on a test clock, the buttons'
// layout and the ways a held button stops repeating.
#include "widgets/_IcClass.h"

#include "platform/Application.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

class SpinButton : public ::testing::Test {
protected:
    int64_t Clock = 5000000;
    std::unique_ptr<TIcSpinButton> Spin;
    int Ups = 0;
    int Downs = 0;

    void SetUp() override
    {
        EnsureApplication();
        SetIcTickSource([this] { return Clock; });
        Spin = std::make_unique<TIcSpinButton>(nullptr);
        Spin->OnUpClick = [this](TObject*) { ++Ups; };
        Spin->OnDownClick = [this](TObject*) { ++Downs; };
    }
    void TearDown() override
    {
        Spin.reset();
        ClearFlashList();
        SetIcTickSource(nullptr);
    }
    // Runs the heartbeat by hand, 16 ms a tick, for Ms milliseconds.
    void Hold(int Ms)
    {
        for (int t = 16; t <= Ms; t += 16) {
            Clock += 16;
            if (IcFlashTimer)
                IcFlashTimer->flash(IcFlashTimer);
        }
        Clock += Ms % 16;
    }
    int Press(TIcTimerSpeedBtn* B, int Ms, TMouseButton Button = mbLeft)
    {
        const int before = Ups + Downs;
        B->WidgetMouseDown(Button, {}, 2, 2, false);
        Hold(Ms);
        B->WidgetMouseUp(Button, {}, 2, 2);
        return Ups + Downs - before;
    }
};

TEST_F(SpinButton, RepeatStartsAfterTheDelayThenEveryInterval)
{
    struct Case { int HeldMs; int Steps; };
    const Case cases[] = {{300, 1}, {520, 2}, {1050, 7}};
    for (const Case& c : cases)
        EXPECT_EQ(Press(Spin->UpButton(), c.HeldMs), c.Steps) << c.HeldMs;
    EXPECT_EQ(Press(Spin->DownButton(), 1050), 7);
    EXPECT_EQ(Downs, 7);
    EXPECT_FALSE(Spin->UpButton()->Repeating());
}

TEST_F(SpinButton, RightButtonRepeatsWithoutTheReleaseClick)
{
    EXPECT_EQ(Press(Spin->UpButton(), 1050, mbRight), 6);
    EXPECT_EQ(Press(Spin->UpButton(), 300, mbRight), 0);
}

TEST_F(SpinButton, DisablingOrHidingAHeldButtonStopsTheRepeat)
{
    TIcTimerSpeedBtn* up = Spin->UpButton();
    up->WidgetMouseDown(mbLeft, {}, 2, 2, false);
    Hold(620);
    EXPECT_EQ(Ups, 2);
    Spin->SetEnabled(false);
    EXPECT_FALSE(up->Repeating());
    Hold(500);
    EXPECT_EQ(Ups, 2);
    up->WidgetMouseUp(mbLeft, {}, 2, 2);
    EXPECT_EQ(Ups, 2);   // a greyed button does not click

    Spin->SetEnabled(true);
    up->WidgetMouseDown(mbLeft, {}, 2, 2, false);
    Hold(620);
    up->SetVisible(false);
    Hold(500);
    EXPECT_EQ(Ups, 4);
    EXPECT_FALSE(up->Repeating());
}

TEST_F(SpinButton, IntervalBelow50IsIgnored)
{
    Spin->SetInterval(30);
    EXPECT_EQ(Spin->Interval(), 100);
    Spin->SetInterval(50);
    EXPECT_EQ(Spin->Interval(), 50);
    EXPECT_EQ(Spin->DownButton()->Interval(), 50);
}

TEST_F(SpinButton, ButtonsSplitTheHeightAndKeepAMinimumWidth)
{
    struct Case { int W, H; int UpH, DownTop, DownH, Width; };
    const Case cases[] = {{16, 21, 10, 10, 11, 16}, {8, 24, 12, 12, 12, 15}};
    for (const Case& c : cases) {
        Spin->SetBounds(0, 0, c.W, c.H);
        EXPECT_EQ(Spin->Width(), c.Width);
        EXPECT_EQ(Spin->UpButton()->Height(), c.UpH);
        EXPECT_EQ(Spin->DownButton()->Top(), c.DownTop);
        EXPECT_EQ(Spin->DownButton()->Height(), c.DownH);
        EXPECT_EQ(Spin->UpButton()->Width(), c.Width);
    }
}

TEST_F(SpinButton, ArrowKeysClickTheButtons)
{
    uint16_t key = VK_UP;
    Spin->WidgetKeyDown(key, {});
    key = VK_DOWN;
    Spin->WidgetKeyDown(key, {});
    EXPECT_EQ(Ups, 1);
    EXPECT_EQ(Downs, 1);
}

}  // namespace

namespace {

TEST(SpinButtonExit, ProgramEndsCleanlyWithAButtonHeld)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            EnsureApplication();
            static TIcSpinButton* spin = new TIcSpinButton(nullptr);
            spin->UpButton()->WidgetMouseDown(mbLeft, {}, 2, 2, false);
            for (int i = 0; i < 50; ++i) {
                Application->ProcessMessages();
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
