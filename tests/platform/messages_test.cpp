// Window messages: posted ones arrive on the GUI thread in order and never
// reach a freed target; sent ones are direct calls.
#include "platform/Application.h"
#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

class TTarget : public TMessageTarget {
public:
    void WndProc(TMessage& Message) override
    {
        Log.push_back(Message.Msg);
        OnGuiThread = OnGuiThread && IsMainThread();
        Message.Result = Message.WParam + Message.LParam;
    }
    std::vector<uint32_t> Log;
    bool OnGuiThread = true;
};

}  // namespace

TEST(Messages, PostedMessagesArriveInOrderOnTheGuiThread)
{
    EnsureApplication();
    TTarget T;
    PostMessage(&T, WM_USER + 1);
    std::thread Worker([&] { PostMessage(&T, WM_USER + 2, 5); });
    Worker.join();
    PostMessage(nullptr, WM_USER + 3);
    EXPECT_TRUE(T.Log.empty()) << "posted, not sent";
    Application->ProcessMessages();
    EXPECT_EQ(T.Log, (std::vector<uint32_t>{WM_USER + 1, WM_USER + 2}));
    EXPECT_TRUE(T.OnGuiThread);
    EXPECT_EQ(SendMessage(&T, WM_USER + 4, 2, 3), 5);
    EXPECT_EQ(T.Log.back(), WM_USER + 4u);
    EXPECT_EQ(SendMessage(nullptr, WM_USER), 0);
}

TEST(Messages, AMessageForAFreedTargetIsDropped)
{
    EnsureApplication();
    auto Gone = std::make_unique<TTarget>();
    PostMessage(Gone.get(), WM_USER);
    Gone.reset();
    // Another target may now live at the same address; it must not get it.
    auto Next = std::make_unique<TTarget>();
    Application->ProcessMessages();
    EXPECT_TRUE(Next->Log.empty());
}

TEST(Messages, TheApplicationSeesPostedMessagesFirstAndMayKeepThem)
{
    EnsureApplication();
    TTarget T;
    std::vector<intptr_t> Seen;
    const TMessageEvent Former = SetApplicationOnMessage([&](TMessageTarget* Target, TMessage& M, bool& Handled) {
        EXPECT_EQ(Target, &T);
        Seen.push_back(M.WParam);
        Handled = M.WParam == 2;
    });
    PostMessage(&T, WM_USER, 1);
    PostMessage(&T, WM_USER + 1, 2);
    SendMessage(&T, WM_USER + 2, 3);
    Application->ProcessMessages();
    SetApplicationOnMessage(Former);
    EXPECT_EQ(Seen, (std::vector<intptr_t>{1, 2})) << "sent messages bypass it";
    EXPECT_EQ(T.Log, (std::vector<uint32_t>{WM_USER + 2, WM_USER}));
}
