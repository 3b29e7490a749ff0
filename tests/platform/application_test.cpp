#include "platform/Application.h"
#include "platform/DialogHook.h"
#include "platform/SysUtils.h"
#include "tests/support/ProcessEvents.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <unistd.h>

namespace {

TEST(Application, ExistsWithoutCeremony)
{
    ASSERT_NE(Application, nullptr);
    Application->SetTitle("RO Ziv Ozezudo");
    EXPECT_EQ(Application->Title(), "RO Ziv Ozezudo");
    Application->SetHelpFile("/opt/oz/help.html");
    EXPECT_EQ(Application->HelpFile(), "/opt/oz/help.html");
    char self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    EXPECT_EQ(Application->ExeName(), self);
    EXPECT_TRUE(IsMainThread());
    bool worker = true;
    std::thread([&] { worker = IsMainThread(); }).join();
    EXPECT_FALSE(worker);
}

TEST(Application, ProcessMessagesRunsQueuedCallsInOrder)
{
    std::vector<int> ran;
    QueueToMainThread([&] { ran.push_back(1); });
    QueueToMainThread([&] {
        ran.push_back(2);
        QueueToMainThread([&] { ran.push_back(4); });   // queued while draining
    });
    QueueToMainThread([&] { ran.push_back(3); });
    EXPECT_TRUE(ran.empty());   // nothing runs before the events are processed
    EXPECT_TRUE(ProcessUntil([&] { return ran.size() == 4; }));
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3, 4}));
}

TEST(Application, CallsQueuedFromWorkersRunOnTheGuiThread)
{
    std::atomic<int> ranOnMain{0}, ranElsewhere{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([&] {
            for (int i = 0; i < 50; ++i)
                QueueToMainThread([&] { (IsMainThread() ? ranOnMain : ranElsewhere)++; });
        });
    for (auto& w : workers)
        w.join();
    EXPECT_TRUE(ProcessUntil([&] { return ranOnMain + ranElsewhere == 200; }));
    EXPECT_EQ(ranOnMain, 200);
}

TEST(Application, SynchronizeWaitsForTheGuiThread)
{
    // from the GUI thread itself: at once
    bool direct = false;
    EXPECT_TRUE(SynchronizeWithMainThread([&] { direct = true; }, 0));
    EXPECT_TRUE(direct);

    // from a worker while the GUI thread processes events
    std::atomic<bool> finished{false};
    bool ranOnMain = false;
    bool result = false;
    std::thread worker([&] {
        result = SynchronizeWithMainThread([&] { ranOnMain = IsMainThread(); }, 5000);
        finished = true;
    });
    EXPECT_TRUE(ProcessUntil([&] { return finished.load(); }));
    worker.join();
    EXPECT_TRUE(result);
    EXPECT_TRUE(ranOnMain);
}

TEST(Application, SynchronizeTimesOutAndTheCallNeverRunsLate)
{
    bool ran = false;
    bool result = true;
    const int64_t start = MonotonicMs();
    // the GUI thread is busy joining and processes nothing meanwhile
    std::thread([&] { result = SynchronizeWithMainThread([&] { ran = true; }, 100); }).join();
    EXPECT_FALSE(result);
    EXPECT_GE(MonotonicMs() - start, 100);
    EXPECT_LT(MonotonicMs() - start, 3000);
    Application->ProcessMessages();
    Application->ProcessMessages();
    EXPECT_FALSE(ran);
}

TEST(Application, ExceptionsReachingTheLoopAreShownAsMessageBox)
{
    Application->SetTitle("RO Ziv Ozezudo");
    ClearAnsweredDialogs();
    TDialogAnswerer previous = SetDialogAnswerer([](const TDialogRequest& r, TDialogAnswer& a) {
        a.ModalResult = 1;
        return r.Kind == TDialogKind::MessageBox;
    });
    bool after = false;
    QueueToMainThread([] { throw EConvertError("'x' is not a valid integer value"); });
    QueueToMainThread([&] { after = true; });   // the loop goes on
    EXPECT_TRUE(ProcessUntil([&] { return after; }));
    ASSERT_EQ(AnsweredDialogs().size(), 1u);
    EXPECT_EQ(AnsweredDialogs()[0].Caption, "RO Ziv Ozezudo");
    EXPECT_EQ(AnsweredDialogs()[0].Text, "'x' is not a valid integer value.");

    // a message ending in a full stop gets no second one
    Application->HandleException(Exception("Port closed."));
    EXPECT_EQ(AnsweredDialogs().back().Text, "Port closed.");

    // OnException takes over the display
    std::string seen;
    Application->OnException = [&](TObject* Sender, const std::exception& E) {
        EXPECT_EQ(Sender, Application);
        seen = E.what();
    };
    InvokeGuarded([] { throw std::runtime_error("boom"); });
    Application->OnException = nullptr;
    EXPECT_EQ(seen, "boom");
    EXPECT_EQ(AnsweredDialogs().size(), 2u);
    SetDialogAnswerer(previous);
}

}  // namespace
