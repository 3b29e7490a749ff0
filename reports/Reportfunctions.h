// The text blocks of the reports: plain lines for a fixed-pitch font, their
// columns made with blanks by PadText. Each block appends to a list of lines
// (a report memo's lines).
#pragma once

#include "analyzer/Parameterstruct.h"
#include "platform/Graphics.h"
#include "analyzer/Signalstats.h"
#include "reports/Reportsource.h"

#include <string>
#include <vector>

class TChartSeries;
class TCustomChart;
class TRpChart;
class TStrings;

// Text filled with blanks to Width + 1 characters, the blanks after it when
// Left is set, before it otherwise; a longer text comes back unchanged.
std::string PadText(const std::string& Text, bool Left, int Width);

// "Signals", an empty line, the column header and one line per signal (flow,
// volume, airway, low and high pressure, oxygen, temperature, humidity).
// Stats is indexed by signal id and holds at least SignalCount entries.
void AddSignalTable(TStrings* Lines, const TSignalStats* Stats);
// The long name (with its display unit unless that is blank), then the
// current value, mean, minimum and maximum in columns.
std::string SignalTableLine(const TSignalStats& Stats);

// Twelve lines of two parameter cells each, after "Breath Parameters" and
// an empty line when WithHeading is set.
void AddParameterBlock(TStrings* Lines, TParameterStruct Params, bool WithHeading);
// Short name and value with its unit, each padded to 15; a negative id is
// an empty cell as wide as a filled one.
std::string ParameterCell(const TParameterStruct& Params, int32_t Id);

// Replaces the lines with the texts of a plot's labels: the current value
// with its unit, an empty line, then minimum, maximum and average.
void AddPlotStats(TStrings* Lines, const TPlotReportRecord& Plot);
// The same for the leak test's plot.
void AddLeakStats(TStrings* Lines, const TLeakTestReportSource& LeakTest);

// ------------------------------------------------------- lending series

// Every series of From goes to To, the last first: moving them back the
// same way restores From's order.
void MoveSeries(TCustomChart* From, TCustomChart* To);
// The report chart's inner chart takes the screen chart's axes (the left
// axis's settings for both vertical axes), title and legend, then its series
// (MoveSeries).
void CopyChartLayout(TCustomChart* Screen, TRpChart* Report);
// CopyChartLayout, and the inner chart's title shows Title alone.
void CopyChartToReport(TCustomChart* Screen, TRpChart* Report, const std::string& Title);

// Series lent from screen charts to report charts for one report run. Each
// screen chart's series are remembered as they stand before they go; when
// the loan ends (Return, or the end of the scope, however the run ends)
// every one of them is back in its screen chart in its former order, with
// the colour it showed.
class TSeriesLoan {
public:
    TSeriesLoan() = default;
    ~TSeriesLoan() { Return(); }
    TSeriesLoan(const TSeriesLoan&) = delete;
    TSeriesLoan& operator=(const TSeriesLoan&) = delete;

    // CopyChartToReport of a screen chart (none: nothing).
    void Lend(TCustomChart* Screen, TRpChart* Report, const std::string& Title);
    void Return();

private:
    struct TLoan {
        TCustomChart* Screen;
        std::vector<TChartSeries*> Series;
        std::vector<TColor> Colors;
    };
    static void KeepColors(const TLoan& Loan);
    std::vector<TLoan> FLoans;
};
