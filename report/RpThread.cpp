#include "report/RpThread.h"

#include "platform/Application.h"
#include "report/RpReport.h"

#include <exception>
#include <string>

TRpCreateReportThread::TRpCreateReportThread(TCustomRpReport* Report)
    : FThreadPrinter(Report->RunPrinter()), FThreadReport(Report), FAlive(std::make_shared<int>(0))
{
    FThread = std::thread([this] { Execute(); });
}

TRpCreateReportThread::~TRpCreateReportThread()
{
    WaitFor();
}

void TRpCreateReportThread::WaitFor()
{
    if (FThread.joinable())
        FThread.join();
}

void TRpCreateReportThread::Execute()
{
    std::string Error;
    try {
        FThreadReport->CreateReport(false);
    } catch (const std::exception& E) {
        Error = E.what();
    }
    const bool Cancelled = FThreadReport->Cancelled() || FThreadPrinter->Cancelled();
    QueueToMainThread([Alive = std::weak_ptr<int>(FAlive), Report = FThreadReport, Printer = FThreadPrinter, Cancelled,
                       Error] {
        if (Alive.lock())
            Report->WorkerEnded(Cancelled, Printer, Error);
    });
}

// ------------------------------------------------------- the report's side

void TCustomRpReport::StartWorker()
{
    FinishWorker();
    FPageImage.reset();
    FWorkerThread = std::make_unique<TRpCreateReportThread>(this);
}

void TCustomRpReport::FinishWorker()
{
    if (!FWorkerThread)
        return;
    Cancel();
    FWorkerThread->WaitFor();
    // The run is over: what its end call would do happens now.
    const std::unique_ptr<TRpCreateReportThread> Gone = std::move(FWorkerThread);
    TRpPrinter* P = Gone->ThreadPrinter();
    if (FCancelled || P->Cancelled())
        FreePrinter(P);
}

void TCustomRpReport::WorkerEnded(bool Cancelled, TRpPrinter* Printer, const std::string& Error)
{
    if (FWorkerThread) {
        FWorkerThread->WaitFor();
        FWorkerThread.reset();
    }
    if (Cancelled)
        FreePrinter(Printer);
    else if (Printer == FRunPrinter)
        Printer->SetPrintStoredPages(true);
    if (!Error.empty())
        Application->HandleException(std::runtime_error(Error));
}

void TCustomRpReport::PrintBackground()
{
    if (!FAvailable || FWorkerThread)
        return;
    if (!PrepareRpPrinter())
        return;
    TRpPrinter* P = FRunPrinter;
    if (!P->PrintersAvailable()) {
        FreePrinter(P);
        return;
    }
    P->SetDestination(rpdPrinter);
    StartWorker();
}

void TCustomRpReport::PreviewModal() { PreviewIt(true); }
void TCustomRpReport::PreviewModeless() { PreviewIt(false); }

void TCustomRpReport::PreviewIt(bool Modal)
{
    if (!FAvailable || FWorkerThread)
        return;
    TRpPrinter* P = StartRecordedRun();
    if (!P)
        return;
    // The preview reads the page's size while the worker runs: the factors
    // the run will use are set before it starts.
    P->UseScreenFactors();
    if (Modal) {
        // The window exists before the worker starts (its modal loop runs
        // the start); the call returns when the window closes. A window
        // closed before the start leaves nothing to start.
        const auto Pending = std::make_shared<bool>(true);
        QueueToMainThread([this, P, Token = std::weak_ptr<bool>(Pending)] {
            if (Token.lock() && FRunPrinter == P && P->ShowingPreview() && P->Status() == mpReady && FAvailable &&
                !FWorkerThread)
                StartWorker();
        });
        P->PreviewModal();
        return;
    }
    P->Preview();
    StartWorker();
}
