#include "platform/Timer.h"

#include "platform/Application.h"

#include <QTimer>

// The Qt timer behind a TTimer.
class TTimerHost : public QTimer {
public:
    explicit TTimerHost(TTimer* Owner)
    {
        connect(this, &QTimer::timeout, [Owner] { Owner->Fire(); });
    }
};

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner)
{
    EnsureApplication();
    FHost = std::make_unique<TTimerHost>(this);
    UpdateTimer();
}

// Qt copes with a timer deleted from its own timeout, so a handler may free
// its timer.
TTimer::~TTimer() = default;

void TTimer::SetInterval(unsigned Value)
{
    if (Value == FInterval)
        return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    UpdateTimer();
}

// Any change restarts the interval from now, as setting the class library's
// timer does.
void TTimer::UpdateTimer()
{
    FHost->stop();
    if (FEnabled && FInterval > 0)
        FHost->start(static_cast<int>(FInterval));
}

void TTimer::Fire()
{
    if (!OnTimer)
        return;
    const TNotifyEvent handler = OnTimer;   // the handler may replace OnTimer or free this timer
    InvokeGuarded([&] { handler(this); });
}
