#include "widgets/_IcFlash.h"

// ------------------------------------------------------------ TTimerThread

TTimerThread::TTimerThread(TIcFlash* AOwner)
    : FOwner(std::make_shared<std::atomic<TIcFlash*>>(AOwner))
{
}

TTimerThread::~TTimerThread()
{
    ClearOwner();
    StopAndJoin();
}

bool TTimerThread::Stopped() const
{
    return Terminated() || FOwner->load() == nullptr;
}

void TTimerThread::Execute()
{
    do {
        if (SleepMs(FInterval.load()) && !Stopped()) {
            // The tick runs on the GUI thread while this thread waits, so a
            // tick never starts before the previous one has ended.
            Synchronize([owner = FOwner] {
                if (TIcFlash* o = owner->load())
                    o->Timer();
            });
        }
    } while (!Stopped());
}

// ---------------------------------------------------------------- TIcFlash

TIcFlash::TIcFlash(TComponent* AOwner) : TComponent(AOwner)
{
    FTimerThread = std::make_unique<TTimerThread>(this);
}

TIcFlash::~TIcFlash()
{
    FEnabled = false;
    FOnTimer = nullptr;
    FTimerThread->ClearOwner();
    FTimerThread.reset();   // stops and joins
}

void TIcFlash::UpdateTimer()
{
    FTimerThread->Suspend();
    FTimerThread->SetInterval(FInterval);
    if (FInterval != 0 && FEnabled && FOnTimer) {
        FTimerThread->SetPriority(FThreadPriority);
        FTimerThread->Resume();
    }
}

bool TIcFlash::Running() const
{
    return !FTimerThread->Suspended() && !FTimerThread->Finished();
}

void TIcFlash::SetEnabled(bool Value)
{
    if (Value != FEnabled) {
        FEnabled = Value;
        UpdateTimer();
    }
}

void TIcFlash::SetInterval(unsigned Value)
{
    if (Value != FInterval) {
        FInterval = Value;
        UpdateTimer();
    }
}

void TIcFlash::SetThreadPriority(TThreadPriority Value)
{
    if (Value != FThreadPriority) {
        FThreadPriority = Value;
        UpdateTimer();
    }
}

void TIcFlash::SetOnTimer(TNotifyEvent Value)
{
    const bool wasAssigned = static_cast<bool>(FOnTimer);
    FOnTimer = std::move(Value);
    if (wasAssigned != static_cast<bool>(FOnTimer))
        UpdateTimer();
}

void TIcFlash::Timer()
{
    if (FEnabled && !Destroying() && FOnTimer) {
        // A handler may free this component; it runs from a copy.
        const TNotifyEvent handler = FOnTimer;
        handler(this);
    }
}
