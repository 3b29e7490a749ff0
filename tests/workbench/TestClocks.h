// Driving the program's clocks and answering its dialogs in the tests of
// the timed tests (leak and trend).
#pragma once

#include "platform/DialogHook.h"
#include "platform/SysUtils.h"

#include <functional>
#include <string>
#include <vector>

// Moves the monotonic clock forward by hand and puts it back afterwards.
// A held clock moves only by hand, so a busy machine cannot add time between
// two samples; tests that wait on the event loop keep it running.
class MonotonicClock {
public:
    enum TMode { Running, Held };
    explicit MonotonicClock(TMode Mode = Running) : FOld(MonotonicOffsetMs())
    {
        if (Mode == Held)
            SetMonotonicHeld(true);
    }
    ~MonotonicClock()
    {
        SetMonotonicHeld(false);
        SetMonotonicOffsetMs(FOld);
    }
    MonotonicClock(const MonotonicClock&) = delete;
    MonotonicClock& operator=(const MonotonicClock&) = delete;
    void Advance(int64_t Ms) { SetMonotonicOffsetMs(MonotonicOffsetMs() + Ms); }

private:
    int64_t FOld;
};

// The wall clock, held at a fixed time the test moves.
class WallClock {
public:
    explicit WallClock(TDateTime T) : FNow(T)
    {
        SetNowOverride([this] { return FNow; });
    }
    ~WallClock() { SetNowOverride({}); }
    WallClock(const WallClock&) = delete;
    WallClock& operator=(const WallClock&) = delete;
    void Set(TDateTime T) { FNow = T; }
    TDateTime Get() const { return FNow; }

private:
    TDateTime FNow;
};

// Answers every modal form with Result after running Act on it, and every
// message box with OK, keeping their texts.
class DialogAnswers {
public:
    DialogAnswers(std::function<void(TObject* Form)> Act, int Result)
    {
        FOld = SetDialogAnswerer([this, Act, Result](const TDialogRequest& R, TDialogAnswer& A) {
            if (R.Kind == TDialogKind::MessageBox) {
                Messages.push_back(R.Text);
                A.ModalResult = 1;   // mrOk
                return true;
            }
            if (R.Kind != TDialogKind::ModalForm)
                return false;
            ++Runs;
            if (Act)
                Act(R.Dialog);
            A.ModalResult = Result;
            return true;
        });
    }
    ~DialogAnswers() { SetDialogAnswerer(FOld); }
    DialogAnswers(const DialogAnswers&) = delete;
    DialogAnswers& operator=(const DialogAnswers&) = delete;

    int Runs = 0;
    std::vector<std::string> Messages;

private:
    TDialogAnswerer FOld;
};
