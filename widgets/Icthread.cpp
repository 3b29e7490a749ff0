#include "widgets/Icthread.h"

#include "platform/Application.h"

#include <chrono>

// One call handed to the GUI thread. The token travels with the queued call:
// when the call has run, or was dropped without running, the token goes and
// wakes the waiting thread.
struct TIcThread::TSyncCall {
    std::mutex Lock;
    std::condition_variable Settled;
    bool Done = false;
    std::exception_ptr Raised;

    struct TToken {
        std::shared_ptr<TSyncCall> Call;
        explicit TToken(std::shared_ptr<TSyncCall> C) : Call(std::move(C)) {}
        TToken(const TToken&) = delete;
        TToken& operator=(const TToken&) = delete;
        ~TToken()
        {
            std::lock_guard<std::mutex> lock(Call->Lock);
            Call->Done = true;
            Call->Settled.notify_all();
        }
    };
};

TIcThread::TIcThread() = default;

TIcThread::~TIcThread()
{
    StopAndJoin();
}

void TIcThread::StopAndJoin()
{
    *FAlive = false;
    Terminate();
    if (FThread.joinable()) {
        if (FThread.get_id() == std::this_thread::get_id())
            FThread.detach();   // ends itself; never join from inside
        else
            FThread.join();
    }
}

void TIcThread::Resume()
{
    {
        std::lock_guard<std::mutex> lock(FLock);
        FSuspended = false;
        if (!FStarted && !FTerminated) {
            FStarted = true;
            FThread = std::thread([this] { ThreadEntry(); });
        }
    }
    FWake.notify_all();
}

void TIcThread::Suspend()
{
    std::lock_guard<std::mutex> lock(FLock);
    FSuspended = true;
}

void TIcThread::SetSuspended(bool Value)
{
    if (Value != FSuspended.load()) {
        if (Value)
            Suspend();
        else
            Resume();
    }
}

void TIcThread::Terminate()
{
    {
        std::lock_guard<std::mutex> lock(FLock);
        FTerminated = true;
    }
    FWake.notify_all();
}

int TIcThread::WaitFor()
{
    if (!FThread.joinable())
        return FReturnValue;
    if (IsMainThread()) {
        while (!FFinished.load()) {
            Application->ProcessMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    FThread.join();
    return FReturnValue;
}

void TIcThread::ThreadEntry()
{
    try {
        Execute();
    } catch (...) {
        // An exception that ends Execute ends the thread; nothing else.
    }
    FFinished = true;
    if (!FTerminated.load())
        DoTerminate();
}

void TIcThread::DoTerminate()
{
    if (OnTerminate) {
        try {
            Synchronize([this] { CallOnTerminate(); });
        } catch (...) {
        }
    }
}

void TIcThread::CallOnTerminate()
{
    if (OnTerminate)
        OnTerminate(this);
}

bool TIcThread::SleepMs(unsigned Ms)
{
    std::unique_lock<std::mutex> lock(FLock);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
    FWake.wait_until(lock, until, [this] { return FTerminated.load(); });
    FWake.wait(lock, [this] { return FTerminated.load() || !FSuspended.load(); });
    return !FTerminated.load();
}

void TIcThread::Synchronize(std::function<void()> Method)
{
    if (IsMainThread()) {
        Method();
        return;
    }
    auto call = std::make_shared<TSyncCall>();
    auto token = std::make_shared<TSyncCall::TToken>(call);
    QueueToMainThread([token, alive = FAlive, Method = std::move(Method)] {
        if (!*alive)
            return;
        try {
            Method();
        } catch (...) {
            token->Call->Raised = std::current_exception();
        }
    });
    token.reset();
    // Wait for the call to settle, but let Terminate end the wait: a GUI
    // thread that frees the timer from inside a tick must still be able to
    // join this thread.
    std::unique_lock<std::mutex> lock(call->Lock);
    while (!call->Done) {
        if (FTerminated.load())
            return;
        call->Settled.wait_for(lock, std::chrono::milliseconds(5));
    }
    if (call->Raised)
        std::rethrow_exception(call->Raised);
}
