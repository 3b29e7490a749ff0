// What one run of a report changes: the cursor on the page, the page and
// column numbers, the flags of the page and column flow, the export under
// way and the data sets the run found. The report keeps one as a private
// member and resets it as a run begins; reports also run on a worker thread
// (two at once among them), so nothing of it lives in the process.
#pragma once

#include <cstdint>
#include <vector>

class TDataSet;
class TRpEvElement;
class TRpExportFilter;
class TRpPrintable;

struct TRpRunState {
    // Cursor, 0.1 mm from the paper's top-left corner; -1: no page begun.
    int32_t CurrentX = 0;
    int32_t CurrentY = -1;
    // Where the columns of the page begin (below the title on page 1).
    int32_t ColumnTopY = 0;
    int32_t CurrentColumn = 1;
    int32_t PageNo = 0;
    long double PageFooterSize = 0;
    // The page being closed is the run's last.
    bool FinalPage = false;
    // A page was just begun; a forced page break is not repeated.
    bool FreshPage = false;
    // A forced column break arrived in column 1 and waits for the next.
    bool ColumnBreakArmed = false;
    // Set while a band's overflow moves the cursor to a new column or page;
    // a band's ForceNewPage is then not honoured.
    bool BreakInProgress = false;

    // The filter a run goes through (Exporting), and whether the printer's
    // document is ended (false while exporting: nothing is printed).
    TRpExportFilter* ExportFilter = nullptr;
    bool Exporting = false;
    bool FinishDoc = true;
    // Numbers the images exported rich texts become ("RTF0", "RTF1", ...).
    int32_t RTFImageIndex = 0;

    // The image BackImageControl names, found as the run begins.
    TRpPrintable* PageBackground = nullptr;
    // The report's PAGENUMBER, COLUMNNUMBER and REPORTTITLE constants while
    // its functions are prepared.
    TRpEvElement* PageNumberConst = nullptr;
    TRpEvElement* ColumnNumberConst = nullptr;
    TRpEvElement* ReportTitleConst = nullptr;
    // Every data set owned by the report's owner and the loops' active ones.
    std::vector<TDataSet*> DataSets;
};
