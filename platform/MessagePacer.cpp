#include "platform/MessagePacer.h"

#include "platform/Application.h"

#include <QElapsedTimer>

// The Qt clock behind a pacer: invalid until the messages were first
// handled.
class TMessagePacerHost : public QElapsedTimer {};

TMessagePacer::TMessagePacer(unsigned Interval) : FInterval(Interval), FHost(std::make_unique<TMessagePacerHost>()) {}

TMessagePacer::~TMessagePacer() = default;

void TMessagePacer::SetInterval(unsigned Value)
{
    if (Value == FInterval)
        return;
    FInterval = Value;
}

bool TMessagePacer::Poll()
{
    if (!IsMainThread())
        return false;
    if (FHost->isValid() && FHost->elapsed() < static_cast<qint64>(FInterval))
        return false;
    HandleNow();
    return true;
}

void TMessagePacer::HandleNow()
{
    if (!IsMainThread())
        return;
    Application->ProcessMessages();
    FHost->start();
}
