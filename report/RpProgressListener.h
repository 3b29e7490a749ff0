// What a print tells while it runs: the progress window of the report
// library's dialogs shows it and gives the user a Cancel. The engine opens
// no window itself: a report, and a saved-report handler, make their
// progress window through the factory the dialogs library registers
// (RegisterReportDialogs); the printer tells the listener it is given.
//
// Called on the GUI thread only; a run on a worker thread tells nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

class TRpPrinter;

class TRpProgressListener {
public:
    virtual ~TRpProgressListener() = default;
    // The print on Printer begins; the listener's cancel goes to
    // Printer->Cancel().
    virtual void PrintStarted(TRpPrinter* Printer) = 0;
    // Percent done, as the run computes it (above 100 when a data set
    // miscounts its records).
    virtual void ShowProgress(int32_t Percent) = 0;
    // The print is over (finished, cancelled or failed) or its printer goes;
    // the printer is no longer reported on.
    virtual void PrintEnded() = 0;
};

using TRpProgressWindowFactory = std::function<std::unique_ptr<TRpProgressListener>()>;

// Makes Factory the maker of the progress window reports show while they
// print; nullptr: none.
void RegisterProgressWindow(TRpProgressWindowFactory Factory);
// A new progress window, or nullptr when none is registered.
std::unique_ptr<TRpProgressListener> CreateProgressWindow();
