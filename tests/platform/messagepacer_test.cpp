#include "platform/Application.h"
#include "platform/MessagePacer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

// Counts the queued calls the GUI thread has run.
struct TQueued {
    int Posted = 0;
    int Run = 0;
    void Post()
    {
        ++Posted;
        QueueToMainThread([this] { ++Run; });
    }
    bool Waiting() const { return Run < Posted; }
};

// The first Poll handles what waits; later ones only once the interval has
// passed since the last handling; HandleNow at once; an interval of 0 at
// every Poll; and off the GUI thread nothing, ever.
TEST(MessagePacer, HandlesWaitingMessagesAtMostOnceAnInterval)
{
    EnsureApplication();
    TMessagePacer Pacer(300);
    EXPECT_EQ(Pacer.Interval(), 300u);
    TQueued Q;
    Q.Post();
    EXPECT_TRUE(Pacer.Poll());
    EXPECT_FALSE(Q.Waiting());

    Q.Post();
    EXPECT_FALSE(Pacer.Poll()) << "within the interval";
    EXPECT_TRUE(Q.Waiting());
    std::this_thread::sleep_for(std::chrono::milliseconds(320));
    EXPECT_TRUE(Pacer.Poll());
    EXPECT_FALSE(Q.Waiting());

    Q.Post();
    Pacer.HandleNow();
    EXPECT_FALSE(Q.Waiting());
    EXPECT_FALSE(Pacer.Poll()) << "the interval starts anew";

    Pacer.SetInterval(0);
    Q.Post();
    EXPECT_TRUE(Pacer.Poll());
    EXPECT_FALSE(Q.Waiting());

    Q.Post();
    bool Handled = true;
    std::thread([&] {
        TMessagePacer Worker(0);
        Handled = Worker.Poll();
        Worker.HandleNow();
    }).join();
    EXPECT_FALSE(Handled);
    EXPECT_TRUE(Q.Waiting()) << "a worker has no messages to handle";
    Pacer.HandleNow();
    EXPECT_FALSE(Q.Waiting());
}

}  // namespace
