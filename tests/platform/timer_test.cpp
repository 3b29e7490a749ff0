#include "platform/Application.h"
#include "platform/SysUtils.h"
#include "platform/Timer.h"
#include "tests/support/ProcessEvents.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

TEST(Timer, FiresDuringProcessMessagesUntilDisabled)
{
    TComponent owner(nullptr);
    auto* t = new TTimer(&owner);
    EXPECT_EQ(t->Interval(), 1000u);
    EXPECT_TRUE(t->Enabled());
    int fired = 0;
    TObject* sender = nullptr;
    t->OnTimer = [&](TObject* S) {
        ++fired;
        sender = S;
    };
    t->SetInterval(10);
    const int64_t start = MonotonicMs();
    EXPECT_TRUE(ProcessUntil([&] { return fired >= 3; }));
    EXPECT_GE(MonotonicMs() - start, 25);   // three intervals, give or take the timer's slack
    EXPECT_EQ(sender, t);

    t->SetEnabled(false);
    const int atStop = fired;
    ProcessFor(60);
    EXPECT_EQ(fired, atStop);

    t->SetEnabled(true);
    t->SetInterval(0);   // an interval of 0 stops it as well
    ProcessFor(60);
    EXPECT_EQ(fired, atStop);
}   // owner frees the timer

TEST(Timer, NeverFiresOutsideEventProcessing)
{
    TTimer t(nullptr);
    int fired = 0;
    t.OnTimer = [&](TObject*) { ++fired; };
    t.SetInterval(5);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(fired, 0);
    Application->ProcessMessages();
    EXPECT_EQ(fired, 1);   // a late timer fires once, not once per missed interval
}

TEST(Timer, HandlerMayFreeItsOwnTimer)
{
    TTimer* t = new TTimer(nullptr);
    int fired = 0;
    t->SetInterval(5);
    t->OnTimer = [&](TObject* Sender) {
        ++fired;
        delete static_cast<TTimer*>(Sender);
    };
    EXPECT_TRUE(ProcessUntil([&] { return fired == 1; }));
    ProcessFor(30);
    EXPECT_EQ(fired, 1);
}

TEST(Timer, ExceptionInHandlerGoesToTheApplication)
{
    TTimer t(nullptr);
    std::string seen;
    Application->OnException = [&](TObject*, const std::exception& E) { seen = E.what(); };
    int fired = 0;
    t.OnTimer = [&](TObject*) {
        ++fired;
        throw Exception("tick failed");
    };
    t.SetInterval(5);
    EXPECT_TRUE(ProcessUntil([&] { return fired >= 2; }));   // it keeps running
    Application->OnException = nullptr;
    EXPECT_EQ(seen, "tick failed");
}

}  // namespace
