// What the reports read of the program. The main window implements
// TReportSource (and the trend and leak tests their own interfaces), so the
// report builders never include the program's headers: the dependency
// points down, as the analyzer link's TMainFormLink does.
#pragma once

#include "analyzer/Parameterstruct.h"
#include "analyzer/Signalstats.h"

#include <cstdint>
#include <string>

class TChart;
class TStrings;

// The five printouts, by the main window's PrintReport.
enum TReportKind : int32_t { rkFullTest, rkMonitor, rkLoops, rkTrend, rkLeak };

// One plot as a report shows it: the screen chart whose series the report
// borrows while it prints, and the texts of the plot's labels as they stand
// when the report is built.
struct TPlotReportRecord {
    TChart* Chart = nullptr;
    std::string Title;
    std::string Units;    // the units label beside the values
    std::string Current;
    std::string Min;
    std::string Max;
    std::string Avg;
};

// A test that writes its own report text.
class TTestReportSource {
public:
    virtual ~TTestReportSource() = default;
    // Appends the test's report lines; SummaryOnly leaves the stored
    // incidents out.
    virtual void AddReportLines(TStrings* Lines, bool SummaryOnly) const = 0;
};

// The leak test also lends its plot and labels.
class TLeakTestReportSource : public TTestReportSource {
public:
    virtual TPlotReportRecord PlotRecord() const = 0;
};

class TReportSource {
public:
    virtual ~TReportSource() = default;

    // The printout header and the analyzer's serial number, on every report.
    virtual std::string PrintHeader() const = 0;
    virtual std::string SerialNumber() const = 0;
    // The signal statistics by signal id (0 to MaxSignals - 1).
    virtual const TSignalStats& SignalStats(int Id) const = 0;
    // The last breath-parameter record.
    virtual TParameterStruct LastParameters() const = 0;
    // Monitor plots 0 to 2; loop plots 0 and 1 (a loop has a chart and a
    // title only).
    virtual TPlotReportRecord MonitorPlotRecord(int Plot) const = 0;
    virtual TPlotReportRecord LoopPlotRecord(int Loop) const = 0;
    // The trend and leak tests; null while the program has none.
    virtual const TTestReportSource* TrendTestSource() const = 0;
    virtual const TLeakTestReportSource* LeakTestSource() const = 0;
    // Set while a report is built and printed: the live plots take no
    // points meanwhile (their series are lent to the report).
    virtual void SetPrinting(bool Value) = 0;
};
