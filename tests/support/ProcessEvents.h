// Waiting in tests by running the application's event loop.
#pragma once

#include "platform/Application.h"
#include "platform/SysUtils.h"

#include <chrono>
#include <thread>

// Processes events until Done() holds or Ms pass; true when it held.
template <typename F>
bool ProcessUntil(F Done, int Ms = 5000)
{
    const int64_t end = MonotonicMs() + Ms;
    while (!Done()) {
        if (MonotonicMs() > end)
            return false;
        Application->ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Processes events for Ms.
inline void ProcessFor(int Ms)
{
    ProcessUntil([] { return false; }, Ms);
}
