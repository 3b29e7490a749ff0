// Built in sanitizer builds only: a program that leaks in a timer's OnTimer
// handler and otherwise ends cleanly. The test "lsan_sees_timer_leaks" runs
// it with the project's leak suppressions and expects LeakSanitizer to
// report the leak with this handler in its stack: the handler runs under
// Qt's event loop and the system libraries beneath it, and a suppression
// that matches those would hide every leak of ours made in a timer, serial
// port or queued handler.
#include "platform/Application.h"
#include "platform/SysUtils.h"
#include "platform/Timer.h"

#include <cstdio>

namespace {

// Written and cleared again, so the allocations cannot be optimised away
// and nothing keeps them reachable.
void* volatile Sink = nullptr;
int Fired = 0;

__attribute__((noinline)) void LeakInTimerHandler()
{
    for (int i = 0; i < 8; ++i)
        Sink = new char[48 + i];
    Sink = nullptr;
    ++Fired;
}

}  // namespace

int main()
{
    EnsureApplication();
    {
        TTimer Timer(nullptr);
        Timer.SetInterval(1);
        Timer.OnTimer = [&Timer](TObject*) {
            LeakInTimerHandler();
            Timer.SetEnabled(false);
        };
        const int64_t End = MonotonicMs() + 5000;
        while (Fired == 0 && MonotonicMs() < End)
            Application->ProcessMessages();
    }
    DoneApplication();
    std::printf("timer fired %d time(s)\n", Fired);
    return Fired == 1 ? 0 : 2;
}
