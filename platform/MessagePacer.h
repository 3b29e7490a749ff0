// Lets the GUI thread's window messages run during long work on it, at most
// once every Interval ms: a cancel or a repaint waits no longer than that,
// and the work does not pay for a look at the queue at every step of it.
//
//   TMessagePacer Messages;            // 10 ms
//   for (...) {
//       Messages.Poll();               // handles what waits, now and then
//       if (Cancelled) break;
//       ...
//   }
#pragma once

#include <memory>

class TMessagePacerHost;

class TMessagePacer {
public:
    explicit TMessagePacer(unsigned Interval = 10);
    ~TMessagePacer();
    TMessagePacer(const TMessagePacer&) = delete;
    TMessagePacer& operator=(const TMessagePacer&) = delete;

    // Milliseconds from the end of one handling to the next; 0 handles the
    // messages at every Poll.
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Value);

    // On the GUI thread, handles the messages waiting now when Interval ms
    // have passed since this pacer last handled them (the first time at
    // once). True when it handled them; off the GUI thread, which has no
    // messages, always false.
    bool Poll();
    // Handles them now (on the GUI thread) and starts the interval anew.
    void HandleNow();

private:
    unsigned FInterval;
    std::unique_ptr<TMessagePacerHost> FHost;
};
