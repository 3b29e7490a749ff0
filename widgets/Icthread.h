// Worker thread base of the instrument-control library. The thread is owned
// and joined: it is paused and stopped through flags and a condition
// variable, never suspended while it runs, and it hands work to the GUI
// thread with Synchronize.
#pragma once

#include "platform/Classes.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TIcThread : public TObject {
public:
    // The thread is created suspended: its Execute starts at the first Resume,
    // once the object is fully built.
    TIcThread();
    // Terminates the thread and waits for it.
    ~TIcThread() override;

    void Resume();
    void Suspend();
    bool Suspended() const { return FSuspended.load(); }
    void SetSuspended(bool Value);
    // Asks Execute to end; wakes a sleeping or paused thread.
    void Terminate();
    bool Terminated() const { return FTerminated.load(); }
    bool Finished() const { return FFinished.load(); }
    // Waits until Execute has ended and returns ReturnValue. On the GUI
    // thread pending events keep being served meanwhile.
    int WaitFor();

    // Stored and reported; the OS scheduler is left at its default.
    TThreadPriority Priority() const { return FPriority; }
    void SetPriority(TThreadPriority Value) { FPriority = Value; }

    int ReturnValue() const { return FReturnValue; }
    TNotifyEvent OnTerminate;

protected:
    virtual void Execute() = 0;
    // Runs on the GUI thread (through Synchronize) after Execute has ended.
    virtual void DoTerminate();
    void SetReturnValue(int Value) { FReturnValue = Value; }

    // Sleeps Ms milliseconds, longer while the thread is suspended. Returns
    // false at once when the thread is terminated meanwhile.
    bool SleepMs(unsigned Ms);
    // Runs Method on the GUI thread and waits until it has run; an exception
    // it raises is raised again here. Returns at once, without waiting for
    // the call any longer, when the thread is terminated meanwhile.
    void Synchronize(std::function<void()> Method);
    // Stops and joins the thread; derived destructors call it before their
    // own members go.
    void StopAndJoin();

private:
    struct TSyncCall;
    void ThreadEntry();
    void CallOnTerminate();

    std::thread FThread;
    std::mutex FLock;
    std::condition_variable FWake;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FSuspended{true};
    std::atomic<bool> FFinished{false};
    // Cleared when the object goes; a call still queued then does nothing.
    std::shared_ptr<std::atomic<bool>> FAlive = std::make_shared<std::atomic<bool>>(true);
    bool FStarted = false;
    TThreadPriority FPriority = tpNormal;
    int FReturnValue = 0;
};
