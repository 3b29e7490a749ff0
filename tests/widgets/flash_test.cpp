// The flash list served tick by tick on a test clock, and the heartbeat
// thread that delivers the ticks on the GUI thread.
#include "widgets/IcFlashT.h"

#include "platform/Application.h"
#include "platform/DialogHook.h"
#include "tests/support/ProcessEvents.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

class TRecorder : public TObject, public TIcFlashReceiver {
public:
    std::vector<int32_t> Values;
    std::function<void()> OnFlash;
    void WMFlash(uint32_t, int32_t Value) override
    {
        Values.push_back(Value);
        if (OnFlash)
            OnFlash();
    }
};

// Ticks by hand on a clock of our own; the real heartbeat's ticks wait in
// the event queue, which these tests never run.
class FlashList : public ::testing::Test {
protected:
    int64_t Clock = 1000000;
    void SetUp() override
    {
        SetIcTickSource([this] { return Clock; });
        ClearFlashList();
    }
    void TearDown() override
    {
        ClearFlashList();
        SetIcTickSource(nullptr);
        SetNowOverride(nullptr);
    }
    void Tick(int64_t Ms = 16)
    {
        Clock += Ms;
        ASSERT_NE(IcFlashTimer, nullptr);
        IcFlashTimer->flash(IcFlashTimer);
    }
};

TEST_F(FlashList, PeriodEntryCatchesUpAfterAShortBlockAndRestartsAfterALongOne)
{
    TRecorder r;
    AddControl(&r, 100);
    for (int i = 0; i < 19; ++i)   // about 300 ms of ticks
        Tick();
    EXPECT_EQ(r.Values.size(), 3u);
    for (int32_t v : r.Values)
        EXPECT_LT(v, 16);

    // The GUI thread hangs 300 ms: the missed periods come on the next
    // consecutive ticks with falling lateness.
    r.Values.clear();
    Tick(300);
    for (int i = 0; i < 4; ++i)
        Tick();
    ASSERT_GE(r.Values.size(), 3u);
    EXPECT_GT(r.Values[0], 200);
    for (size_t i = 1; i < r.Values.size(); ++i)
        EXPECT_LT(r.Values[i], r.Values[i - 1]);

    // Two seconds behind: lateness 0 and a new rhythm from this tick.
    r.Values.clear();
    Tick(2000);
    ASSERT_EQ(r.Values.size(), 1u);
    EXPECT_EQ(r.Values[0], 0);
    for (int i = 0; i < 6; ++i)
        Tick();
    EXPECT_EQ(r.Values.size(), 1u);   // 96 ms later: not yet due
    Tick();
    EXPECT_EQ(r.Values.size(), 2u);
}

TEST_F(FlashList, SquareWaveDeliversEachLevelChangeOnce)
{
    TRecorder r;
    AddControl(&r, 2);
    for (int i = 0; i < 40; ++i)
        Tick();
    ASSERT_GE(r.Values.size(), 8u);
    for (size_t i = 1; i < r.Values.size(); ++i)
        EXPECT_NE(r.Values[i], r.Values[i - 1]);
}

TEST_F(FlashList, OneSecondPulse)
{
    const TDateTime start = 46000.0;
    TDateTime now = start;
    SetNowOverride([&] { return now; });
    TRecorder r;
    AddControl(&r, 32);
    NextSecPuls = now;
    Tick();
    EXPECT_EQ(r.Values.size(), 1u);
    now = start + 0.5 * OneSecond;
    Tick();
    EXPECT_EQ(r.Values.size(), 1u);
    now = start + OneSecond;
    Tick();
    EXPECT_EQ(r.Values.size(), 2u);
}

TEST_F(FlashList, RegisteringTwiceKeepsOneEntryAndEmptyReceiversAreIgnored)
{
    TRecorder r;
    AddControl(&r, 100);
    AddControl(&r, 200);
    AddControl(nullptr, 100);
    AddProc(nullptr, 100);
    ASSERT_EQ(dynFlashList().size(), 1u);
    EXPECT_EQ(dynFlashList()[0]->Interval, 200);
    EXPECT_EQ(dynFlashList()[0]->NextTick, Clock + 200);
    DelControl(&r);
    EXPECT_TRUE(dynFlashList().empty());
    DelControl(&r);          // not in the list: nothing
    DelControlNo(5);         // beyond the count: nothing
    // The heartbeat keeps going with an empty list.
    Tick();
    EXPECT_NE(IcFlashTimer, nullptr);
}

int gProcCalls = 0;
void CountingProc(int32_t, int32_t) { ++gProcCalls; }

TEST_F(FlashList, ReceiverThatFailsOrRemovesItselfCostsOthersNothingButOrder)
{
    TRecorder failing, leaving, next;
    failing.OnFlash = [] { throw std::runtime_error("receiver failed"); };
    leaving.OnFlash = [&] { DelControl(&leaving); };
    AddControl(&failing, 16);
    AddControl(&leaving, 16);
    AddControl(&next, 16);
    gProcCalls = 0;
    AddProc(CountingProc, 16);
    Tick();
    EXPECT_EQ(failing.Values.size(), 1u);
    EXPECT_EQ(leaving.Values.size(), 1u);
    // The entry that moved into the freed place waits for the next tick.
    EXPECT_EQ(next.Values.size(), 0u);
    EXPECT_EQ(gProcCalls, 1);
    Tick();
    EXPECT_EQ(next.Values.size(), 1u);
    EXPECT_EQ(failing.Values.size(), 2u);
    DelProc(CountingProc);
    EXPECT_EQ(dynFlashList().size(), 2u);
}

TEST_F(FlashList, ASecondFlashTimerComplainsAndStaysInert)
{
    TRecorder r;
    AddControl(&r, 100);
    ASSERT_EQ(FlashTimerCount, 1);
    std::vector<TDialogRequest> asked;
    auto old = SetDialogAnswerer([&](const TDialogRequest& R, TDialogAnswer& A) {
        asked.push_back(R);
        A.ModalResult = 1;
        return true;
    });
    {
        TIcFlashTimer extra(nullptr);
        EXPECT_EQ(FlashTimerCount, 2);
        EXPECT_FALSE(extra.OnTimer());
        EXPECT_FALSE(extra.Running());
    }
    SetDialogAnswerer(old);
    EXPECT_EQ(FlashTimerCount, 1);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Caption, "Error Message");
    EXPECT_EQ(asked[0].Text, "Only one TIcFlashTimer per Application!\rRemove it...");
}

// ------------------------------------------------------------ the heartbeat

TEST(IcFlashThread, TicksOnTheGuiThreadOnlyWhileEnabledAndAssigned)
{
    EnsureApplication();
    TIcFlash flash(nullptr);
    int ticks = 0;
    bool onGui = true;
    EXPECT_FALSE(flash.Running());   // no handler yet
    flash.SetOnTimer([&](TObject*) {
        ++ticks;
        onGui = onGui && IsMainThread();
    });
    EXPECT_TRUE(flash.Running());
    ProcessFor(200);
    EXPECT_GE(ticks, 4);
    EXPECT_TRUE(onGui);

    flash.SetEnabled(false);
    ProcessFor(40);
    const int stopped = ticks;
    ProcessFor(100);
    EXPECT_EQ(ticks, stopped);
    flash.SetEnabled(true);
    ProcessFor(100);
    EXPECT_GT(ticks, stopped);
}

TEST(IcFlashThread, ATickNeverStartsWhileTheLastOneRuns)
{
    EnsureApplication();
    TIcFlash flash(nullptr);
    int depth = 0;
    int maxDepth = 0;
    int ticks = 0;
    flash.SetOnTimer([&](TObject*) {
        ++ticks;
        maxDepth = std::max(maxDepth, ++depth);
        if (ticks < 3)
            ProcessFor(60);   // a tick that processes events itself
        --depth;
    });
    ProcessFor(300);
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(maxDepth, 1);
}

TEST(IcFlashThread, FreedFromInsideItsOwnTick)
{
    EnsureApplication();
    auto* flash = new TIcFlash(nullptr);
    int ticks = 0;
    flash->SetOnTimer([&](TObject*) {
        ++ticks;
        delete flash;   // joins the thread that is waiting for this tick
        flash = nullptr;
    });
    ProcessFor(150);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(flash, nullptr);
}

}  // namespace
