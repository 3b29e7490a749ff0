// The main window's printing: the report dispatch and the printout header.
#include "workbench/Main.h"

#include "analyzer/Serialfunctions.h"
#include "platform/Application.h"
#include "platform/ComCtrls.h"
#include "platform/IniFiles.h"
#include "platform/ScopeGuard.h"
#include "reports/BasicTextReport.h"
#include "workbench/Entrydialogs.h"
#include "workbench/Filefunctions.h"

namespace {

const char* const SettingsSection = "Settings";
// The analyzer keeps this many characters of the header.
constexpr size_t DeviceHeaderChars = 40;

}  // namespace

void TMainForm::actnPrintHeaderExecute(TObject* Sender)
{
    dlgStringEntry->SetCaption("Print Header");
    dlgStringEntry->SetLabel("Printout Header");
    dlgStringEntry->SetText(FPrintHeader);
    if (!dlgStringEntry->Execute())
        return;
    FPrintHeader = dlgStringEntry->Text();
    FIniFile->WriteString(SettingsSection, "Print Header", FPrintHeader);
    if (FDeviceKind != dkHandheld && FConnected) {
        TDeviceCommandLock Lock(*this);
        FProtocol->WriteHeaderText(Utf8ToWindows1252(FPrintHeader, DeviceHeaderChars));
    }
}

void TMainForm::PrintReport(TReportKind Kind, bool Preview)
{
    // The live plots take points again however the run ends.
    FPrinting = true;
    TScopeExit Done([this] { FPrinting = false; });
    if (!rptBasicText)
        rptBasicText = new TrptBasicText(Application);
    switch (Kind) {
    case rkFullTest:
        rptBasicText->PrintTextReport(Preview, FPrintHeader, FSerialNumber, FSignalStats, FLastParameters);
        break;
    case rkMonitor: {
        const TPlotReportRecord Plots[3] = {MonitorPlotRecord(0), MonitorPlotRecord(1), MonitorPlotRecord(2)};
        rptBasicText->PrintMonitorReport(Preview, FPrintHeader, FSerialNumber, FSignalStats, FLastParameters,
                                         Plots);
        break;
    }
    case rkLoops: {
        const TPlotReportRecord Loops[2] = {LoopPlotRecord(0), LoopPlotRecord(1)};
        rptBasicText->PrintLoopReport(Preview, FPrintHeader, FSerialNumber, FSignalStats, FLastParameters, Loops);
        break;
    }
    case rkTrend:
        rptBasicText->PrintTrendReport(Preview, FPrintHeader, FSerialNumber, FTrendTest);
        break;
    case rkLeak:
        rptBasicText->PrintLeakReport(Preview, FPrintHeader, FSerialNumber, FLeakTest);
        break;
    }
}

void TMainForm::actnPrintReportExecute(TObject* Sender)
{
    const TTabSheet* Page = PageControl->ActivePage();
    if (Page == tsFullTest)
        PrintReport(rkFullTest, false);
    else if (Page == tsMonitor)
        PrintReport(rkMonitor, false);
    else if (Page == tsLoop)
        PrintReport(rkLoops, false);
}
