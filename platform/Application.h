// The application object: title, help file, the event loop and the default
// display of an exception that reaches it.
//
// Lifetime of the Qt application underneath:
// - The program calls InitApplication(argc, argv) first thing in main and
//   DoneApplication() before it returns.
// - Tests need no ceremony: `Application` always points to the one
//   TApplication (it exists before main), and every platform class that
//   needs Qt (forms, timers, ProcessMessages, Run, QueueToMainThread ...)
//   calls EnsureApplication(), which creates the Qt application with a fake
//   argv when none exists yet. Run tests with QT_QPA_PLATFORM=offscreen.
//   Without DoneApplication the objects stay reachable until the process
//   ends, which the leak checker accepts.
// EnsureApplication and InitApplication belong to the GUI thread.
#pragma once

#include "platform/Classes.h"

#include <exception>
#include <functional>
#include <string>

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value);
    const std::string& HelpFile() const { return FHelpFile; }
    void SetHelpFile(const std::string& Value) { FHelpFile = Value; }
    // Full path of the running program.
    std::string ExeName() const;

    // Runs the events waiting now (posted events, timers, serial and socket
    // notifications, calls queued from other threads) and returns.
    void ProcessMessages();
    // Waits for the next event (posted message, timer, window event) and
    // handles what has arrived, then returns.
    void HandleMessage();
    // The same, but returns after TimeoutMs at the latest when nothing
    // arrives (serial data and timers are events too). With TimeoutMs at 0
    // or less it only handles what is waiting, as ProcessMessages does.
    // Off the GUI thread, which has no events, it sleeps for a millisecond
    // at most.
    void HandleMessage(int TimeoutMs);
    // The main loop: handles events until Terminate is called.
    void Run();
    // Asks Run to return; from then on Terminated() is true.
    void Terminate();
    bool Terminated() const { return FTerminated; }

    // What happens to an exception that reaches the application: OnException
    // when assigned, otherwise an error message box (through the dialog hook)
    // with the application's title and the exception's message.
    void HandleException(const std::exception& E);
    TExceptionEvent OnException;

private:
    std::string FTitle;
    std::string FHelpFile;
    bool FTerminated = false;
};

extern TApplication* Application;

// Creates the Qt application from the program's arguments (they must outlive
// it, as main's do). Does nothing when it already exists.
void InitApplication(int argc, char** argv);
// Creates the Qt application with a fake argv when none exists yet.
void EnsureApplication();
// Frees what Application owns and the Qt application made by
// InitApplication/EnsureApplication. Pending cross-thread calls are dropped
// and threads waiting in SynchronizeWithMainThread are released.
void DoneApplication();

// True on the thread that runs the user interface.
bool IsMainThread();

// Runs Call; an exception it raises goes to Application->HandleException
// instead of into the event loop (to stderr when there is no application).
// Event handlers of the platform run this way.
void InvokeGuarded(const std::function<void()>& Call);

// From any thread: Call runs on the GUI thread during its next event
// processing (ProcessMessages, Run, a modal loop), in the order queued.
void QueueToMainThread(std::function<void()> Call);

// From a worker thread: queues Call and waits until it has run. Returns false,
// and Call never runs, when it was not started within TimeoutMs or when the
// application is shutting down (Terminate, DoneApplication), so a GUI thread
// that joins the worker never deadlocks. Once started it is waited for.
// On the GUI thread itself Call runs at once.
bool SynchronizeWithMainThread(std::function<void()> Call, int TimeoutMs);
