// The report form of every printout: a title band with the printout header,
// a child band of report charts and statistics memos, a detail band with
// one stretching text memo, and a page footer with the page number. Each
// builder switches on the parts its report shows, fills them, runs the
// printer set-up dialog, lends the screen charts' series to the report
// charts, prints (or previews) and gives the series back: while the dialog
// is open the screen charts keep theirs.
#pragma once

#include "analyzer/Parameterstruct.h"
#include "analyzer/Signalstats.h"
#include "platform/Forms.h"
#include "reports/Reportsource.h"

#include <functional>
#include <string>

class TRpChart;
class TRpChildBand;
class TRpCustomBand;
class TRpLabel;
class TRpMemo;
class TRpReport;
class TRpSysData;

class TrptBasicText : public TForm {
public:
    explicit TrptBasicText(TComponent* Owner);

    // The header (centred at the top) and the analyzer's serial number.
    void SetHeader(const std::string& Header, const std::string& Serial);
    // Preview: the report's preview, true. Otherwise the printer set-up
    // dialog; cancelled: false and nothing printed; else printed and true.
    // BeforeOutput (the charts' series lent) runs just before the report is
    // printed or previewed, once the dialog has been accepted.
    bool Output(bool Preview, const std::function<void()>& BeforeOutput = {});

    // The signal table, two empty lines and the breath-parameter block.
    // Stats is indexed by signal id.
    void PrintTextReport(bool Preview, const std::string& Header, const std::string& Serial,
                         const TSignalStats* Stats, TParameterStruct Params);
    // The breath parameters and the three monitor charts with the texts of
    // their labels beside them.
    void PrintMonitorReport(bool Preview, const std::string& Header, const std::string& Serial,
                            const TSignalStats* Stats, TParameterStruct Params, const TPlotReportRecord* Plots);
    // The breath parameters and the two loop charts.
    void PrintLoopReport(bool Preview, const std::string& Header, const std::string& Serial,
                         const TSignalStats* Stats, TParameterStruct Params, const TPlotReportRecord* Loops);
    // The trend test's report with every stored incident.
    void PrintTrendReport(bool Preview, const std::string& Header, const std::string& Serial,
                          const TTestReportSource& TrendTest);
    // The leak chart, its statistics and the leak test's report.
    void PrintLeakReport(bool Preview, const std::string& Header, const std::string& Serial,
                         const TLeakTestReportSource& LeakTest);

    TRpReport* Report() const { return FReport; }

private:
    TRpReport* FReport;
    TRpCustomBand* TitleBand1;
    TRpChildBand* bndPlots;
    TRpCustomBand* bndText;
    TRpCustomBand* PageFooterBand1;
    TRpLabel* rplblHeader;
    TRpSysData* RpSysData4;
    TRpLabel* rplblZRSN;
    TRpChart* Chart1;
    TRpChart* Chart2;
    TRpChart* Chart3;
    TRpMemo* MonStats1;
    TRpMemo* MonStats2;
    TRpMemo* MonStats3;
    TRpChart* chtLoop1;
    TRpChart* chtLoop2;
    TRpMemo* Text;
    TRpSysData* RpSysData2;

    // The plot band's charts and memos of the monitor report on or off.
    void ShowMonitorParts(bool Value);
    void ShowLoopParts(bool Value);
};

// Made by the main window on its first print; lives until the program ends.
extern TrptBasicText* rptBasicText;
