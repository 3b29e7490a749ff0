// A timer component: OnTimer fires on the GUI thread every Interval ms while
// Enabled, during Run, ProcessMessages and modal loops.
#pragma once

#include "platform/Classes.h"

#include <memory>

class TTimerHost;

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    // Milliseconds between two OnTimer calls; 0 stops the timer.
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);

    TNotifyEvent OnTimer;

private:
    friend class TTimerHost;
    void UpdateTimer();
    void Fire();

    unsigned FInterval = 1000;
    bool FEnabled = true;
    std::unique_ptr<TTimerHost> FHost;
};
