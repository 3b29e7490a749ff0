// The library's heartbeat component: a worker thread that wakes every
// Interval ms and runs the component's Timer on the GUI thread.
#pragma once

#include "platform/Classes.h"
#include "widgets/Icthread.h"

#include <atomic>
#include <memory>

class TIcFlash;

class TTimerThread : public TIcThread {
public:
    explicit TTimerThread(TIcFlash* AOwner);
    ~TTimerThread() override;

    unsigned Interval() const { return FInterval.load(); }
    void SetInterval(unsigned Value) { FInterval = Value; }
    // The owner lets go of its thread; no tick reaches it afterwards.
    void ClearOwner() { FOwner->store(nullptr); }

protected:
    void Execute() override;

private:
    bool Stopped() const;

    // Shared with the ticks queued to the GUI thread.
    std::shared_ptr<std::atomic<TIcFlash*>> FOwner;
    std::atomic<unsigned> FInterval{16};
};

class TIcFlash : public TComponent {
    OZ_CLASS(TIcFlash, TComponent);

public:
    explicit TIcFlash(TComponent* AOwner);
    ~TIcFlash() override;

    // Enabled and ThreadPriority; Interval and OnTimer are set by code only.
    static void Publish(TPublisher<TIcFlash>& P);

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Milliseconds the thread sleeps between two ticks; 0 stops it.
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Value);
    TThreadPriority ThreadPriority() const { return FThreadPriority; }
    void SetThreadPriority(TThreadPriority Value);
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(TNotifyEvent Value);

    // True while the worker thread delivers ticks.
    bool Running() const;

protected:
    friend class TTimerThread;
    // One tick, on the GUI thread.
    virtual void Timer();

private:
    void UpdateTimer();

    bool FEnabled = true;
    unsigned FInterval = 16;
    TNotifyEvent FOnTimer;
    std::unique_ptr<TTimerThread> FTimerThread;
    TThreadPriority FThreadPriority = tpNormal;
};
