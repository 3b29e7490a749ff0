// The composite report: several reports run one after another into one
// document (one printer job, one page numbering, one preview). OnAddReports
// supplies the reports (AddReport); each continues on the page, and at the
// height, where the one before ended; the last one closes the final page.
// OnFinished is called with each finished report and finally with the
// composite itself.
#pragma once

#include "platform/Classes.h"
#include "platform/Controls.h"
#include "platform/Messages.h"
#include "report/RpPrntr.h"
#include "report/RpReport.h"

#include <memory>
#include <string>
#include <vector>

class TRpCompositeReport;

class TRpCompositePrinterSettings : public TRpReportPrinterSettings {
public:
    TRpCompositePrinterSettings() = default;
};

// The window the composite's printer and its preview send their print and
// preview-close requests to.
class TRpCompositeWinControl : public TWinControl, public TMessageTarget {
public:
    explicit TRpCompositeWinControl(TRpCompositeReport* AComposite);
    ~TRpCompositeWinControl() override;
    void WndProc(TMessage& Message) override;

private:
    friend class TRpCompositeReport;
    TRpCompositeReport* FComposite;
};

class TRpCompositeReport : public TComponent, public IRpPrinterHost {
public:
    explicit TRpCompositeReport(TComponent* AOwner);
    ~TRpCompositeReport() override;

    // For OnAddReports: the next report of the run (not owned).
    void AddReport(TCustomRpReport* Report) { FReports.push_back(Report); }
    const std::vector<TCustomRpReport*>& Reports() const { return FReports; }

    void CMPrint();
    void CMPreviewClose();
    void SetPrinterValues();
    // The print dialog; Tag 0 accepted, 1 cancelled.
    void PrinterSetup();
    // The pages recorded into the composite's printer, where they stay.
    void Prepare();
    void Print();
    // Shows the preview window while the pages are built; returns when it
    // closes.
    void Preview();
    void ExportToFilter(TRpExportFilter* Filter);
    void CreateComposite();

    TRpReportOptions Options() const { return FOptions; }
    void SetOptions(TRpReportOptions Value) { FOptions = Value; }
    TRpCompositePrinterSettings* PrinterSettings() const { return FPrinterSettings.get(); }
    const TRpPrinterSettings& HostPrinterSettings() const override { return *FPrinterSettings; }
    const std::string& ReportTitle() const { return FReportTitle; }
    void SetReportTitle(const std::string& Value) { FReportTitle = Value; }
    // The printer of the run (nullptr when none, or freed after a cancel).
    TRpPrinter* CompositePrinter() const { return FCompositePrinter.get(); }
    bool Running() const { return FRunning; }
    TCustomRpReport* CurrentReport() const { return FCurrentReport; }
    TRpCompositeWinControl* MessageWindow() const { return FMessageWindow; }

    TNotifyEvent OnAddReports;
    TNotifyEvent OnFinished;

private:
    friend class TRpCompositeWinControl;
    // A printer for Print and Preview, owned by a temporary report that
    // takes the first report's page and preview settings.
    bool MakeRunPrinter(TRpPrinterDestination Destination);
    void CollectReports();
    // Runs the collected reports one after the other on P's pages, each going
    // on where the one before ended, through Filter when there is one. Ends
    // P's document, or drops the printer and its pages when a run is cancelled.
    void RunReports(TRpPrinter* P, TRpExportFilter* Filter);
    void Finished(TObject* Sender);

    TRpReportOptions FOptions{TRpReportOption::FirstPageHeader, TRpReportOption::LastPageFooter};
    std::unique_ptr<TRpCompositePrinterSettings> FPrinterSettings;
    std::unique_ptr<TRpPrinter> FCompositePrinter;
    std::vector<TCustomRpReport*> FReports;
    std::string FReportTitle;
    bool FRunning = false;
    TCustomRpReport* FCurrentReport = nullptr;
    TRpCompositeWinControl* FMessageWindow = nullptr;
    std::unique_ptr<TRpReport> FTempReport;
};
