// Window messages between the program's own objects: a number (WM_USER and
// above for the program's messages), two parameters and a result.
//
// A window that takes messages derives from TMessageTarget as well as from
// its control class and handles them in WndProc. PostMessage queues a
// message for the GUI thread (from any thread); it is dropped, unseen, when
// its target is freed before it is delivered. SendMessage is a direct call
// on the calling thread and returns the target's Result.
//
//   class TRpProgressForm : public TForm, public TMessageTarget {
//       void WndProc(TMessage& Message) override;
//   };
//   PostMessage(Form, CM_RPPROGRESSUPDATE, 40);
#pragma once

#include <cstdint>
#include <functional>

constexpr uint32_t WM_USER = 0x0400;

struct TMessage {
    uint32_t Msg = 0;
    intptr_t WParam = 0;
    intptr_t LParam = 0;
    intptr_t Result = 0;
};

class TMessageTarget {
public:
    TMessageTarget();
    virtual ~TMessageTarget();
    TMessageTarget(const TMessageTarget&) = delete;
    TMessageTarget& operator=(const TMessageTarget&) = delete;

    // Handles one message; a message it does not know is left alone.
    virtual void WndProc(TMessage& Message) = 0;

private:
    uint64_t FSerial;   // tells this target from a later one at the same address
};

// Queues the message for Target (nullptr: nothing happens).
void PostMessage(TMessageTarget* Target, uint32_t Msg, intptr_t WParam = 0, intptr_t LParam = 0);
// Hands the message to Target now; 0 for a nullptr Target.
intptr_t SendMessage(TMessageTarget* Target, uint32_t Msg, intptr_t WParam = 0, intptr_t LParam = 0);

// The application's look at posted messages: it sees each one on delivery,
// before its target, and keeps it from the target by setting Handled.
using TMessageEvent = std::function<void(TMessageTarget* Target, TMessage& Message, bool& Handled)>;
// Installs Hook (empty: none) and returns the one it replaces.
TMessageEvent SetApplicationOnMessage(TMessageEvent Hook);
