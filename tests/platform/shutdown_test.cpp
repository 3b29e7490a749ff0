// The end of the application: kept apart because it cannot be undone within
// one process.
#include "platform/Application.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

class Probe : public TComponent {
public:
    Probe(TComponent* Owner, bool* Freed) : TComponent(Owner), FFreed(Freed) {}
    ~Probe() override { *FFreed = true; }

private:
    bool* FFreed;
};

TEST(Shutdown, TerminateReleasesWaitingWorkersAndEndsRun)
{
    // A handler that ends the program runs before a worker's call queued
    // behind it: the worker is let go without its call, so a GUI thread
    // joining it afterwards does not hang. (Had the worker come too late to
    // queue, it is refused: the outcome is the same.)
    QueueToMainThread([] { Application->Terminate(); });
    std::atomic<bool> waiting{false};
    std::atomic<bool> ran{false};
    bool result = true;
    std::thread worker([&] {
        waiting = true;
        result = SynchronizeWithMainThread([&] { ran = true; }, 20000);
    });
    while (!waiting)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));

    const int64_t start = MonotonicMs();
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    worker.join();
    EXPECT_LT(MonotonicMs() - start, 5000);
    EXPECT_FALSE(result);
    Application->ProcessMessages();
    EXPECT_FALSE(ran);

    // from now on workers are refused at once
    std::thread([&] { result = SynchronizeWithMainThread([&] { ran = true; }, 20000); }).join();
    EXPECT_FALSE(result);
    EXPECT_LT(MonotonicMs() - start, 5000);

    Application->Run();   // returns at once after Terminate
}

TEST(Shutdown, TerminateFromTheGuiThreadReleasesAWaitingWorker)
{
    std::atomic<bool> waiting{false};
    bool result = true;
    std::thread worker([&] {
        waiting = true;
        result = SynchronizeWithMainThread([] {}, 20000);
    });
    while (!waiting)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const int64_t start = MonotonicMs();
    Application->Terminate();
    worker.join();
    EXPECT_FALSE(result);
    EXPECT_LT(MonotonicMs() - start, 5000);
}

TEST(Shutdown, DoneApplicationFreesWhatTheApplicationOwns)
{
    bool freed = false;
    new Probe(Application, &freed);
    DoneApplication();
    EXPECT_TRUE(freed);
    EXPECT_EQ(Application->ComponentCount(), 0);
}

}  // namespace
