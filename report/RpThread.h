// The worker that builds a report's pages while the GUI thread goes on
// (PrintBackground, PreviewModal, PreviewModeless of the report).
//
// The worker runs CreateReport; on it nothing touches a widget directly
// (bounds reach widgets through main-thread calls, the printer's messages
// are queued to the GUI thread, the page list guards its stream). When the
// run is over the worker queues the report's WorkerEnded to the GUI thread,
// which joins it and frees the printer of a cancelled run there, after the
// worker has ended. A report being destroyed cancels its run and waits.
#pragma once

#include "report/RpPrntr.h"

#include <memory>
#include <thread>

class TCustomRpReport;

class TRpCreateReportThread {
public:
    // Starts at once on Report with its current printer.
    explicit TRpCreateReportThread(TCustomRpReport* Report);
    // Waits for the worker; its end call, if still queued, does nothing.
    ~TRpCreateReportThread();
    TRpCreateReportThread(const TRpCreateReportThread&) = delete;
    TRpCreateReportThread& operator=(const TRpCreateReportThread&) = delete;

    void WaitFor();
    TRpPrinter* ThreadPrinter() const { return FThreadPrinter; }
    TCustomRpReport* ThreadReport() const { return FThreadReport; }

private:
    void Execute();

    TRpPrinter* FThreadPrinter;
    TCustomRpReport* FThreadReport;
    // Lives as long as this object: the queued end call looks at it.
    std::shared_ptr<int> FAlive;
    std::thread FThread;
};
