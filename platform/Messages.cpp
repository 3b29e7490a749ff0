#include "platform/Messages.h"

#include "platform/Application.h"

#include <mutex>
#include <unordered_map>
#include <utility>

namespace {

// The live targets by address, each with the serial it was made with. A
// posted message carries both, so a target freed in between (and another
// one made at its address) never receives it.
std::mutex gTargetsMutex;
std::unordered_map<const TMessageTarget*, uint64_t>& targets()
{
    static auto* const Map = new std::unordered_map<const TMessageTarget*, uint64_t>();
    return *Map;
}
uint64_t gNextSerial = 1;

TMessageEvent& onMessage()
{
    static TMessageEvent Hook;
    return Hook;
}

bool serialOf(const TMessageTarget* Target, uint64_t& Serial)
{
    std::lock_guard<std::mutex> Lock(gTargetsMutex);
    const auto It = targets().find(Target);
    if (It == targets().end())
        return false;
    Serial = It->second;
    return true;
}

}  // namespace

TMessageTarget::TMessageTarget()
{
    std::lock_guard<std::mutex> Lock(gTargetsMutex);
    FSerial = gNextSerial++;
    targets()[this] = FSerial;
}

TMessageTarget::~TMessageTarget()
{
    std::lock_guard<std::mutex> Lock(gTargetsMutex);
    targets().erase(this);
}

void PostMessage(TMessageTarget* Target, uint32_t Msg, intptr_t WParam, intptr_t LParam)
{
    uint64_t Serial = 0;
    if (!Target || !serialOf(Target, Serial))
        return;
    QueueToMainThread([Target, Serial, Msg, WParam, LParam] {
        uint64_t Now = 0;
        if (!serialOf(Target, Now) || Now != Serial)
            return;   // the target is gone
        TMessage Message{Msg, WParam, LParam, 0};
        bool Handled = false;
        if (const TMessageEvent Hook = onMessage()) {
            Hook(Target, Message, Handled);
            // The hook may have freed the target.
            if (!serialOf(Target, Now) || Now != Serial)
                return;
        }
        if (!Handled)
            Target->WndProc(Message);
    });
}

intptr_t SendMessage(TMessageTarget* Target, uint32_t Msg, intptr_t WParam, intptr_t LParam)
{
    if (!Target)
        return 0;
    TMessage Message{Msg, WParam, LParam, 0};
    Target->WndProc(Message);
    return Message.Result;
}

TMessageEvent SetApplicationOnMessage(TMessageEvent Hook)
{
    return std::exchange(onMessage(), std::move(Hook));
}
