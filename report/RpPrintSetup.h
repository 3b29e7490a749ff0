// What a report's printer setup asks the print dialog and what the user
// chose there. The engine opens no window: the print dialog is the one the
// report library's dialogs register (RegisterReportDialogs); without one the
// setup is refused, as if cancelled.
#pragma once

#include <cstdint>
#include <functional>

struct TRpPrintSetup {
    // Asked: the pages that can be chosen, the range shown, the copies.
    int32_t MinPage = 0;
    int32_t MaxPage = 0;
    int32_t FromPage = 0;
    int32_t ToPage = 0;
    int32_t Copies = 0;

    // Chosen: a page range (FromPage..ToPage) rather than all pages, the
    // copies, and the device settings as raw device codes.
    bool PageRange = false;
    int32_t OutputBin = 0;
    int32_t PaperSize = 0;
    int32_t PrintQuality = 0;
    int32_t Collate = 0;
    int32_t ColorOption = 0;
    // 1 simplex, 2 vertical (long edge), 3 horizontal (short edge).
    int32_t DuplexCode = 0;
    bool Duplex = false;
};

// Shows the print dialog for Setup; true when the user confirmed, Setup
// then holds the choice.
using TRpPrintSetupDialog = std::function<bool(TRpPrintSetup& Setup)>;

// Makes Dialog the print dialog of a report's printer setup; nullptr: none.
void RegisterPrintSetupDialog(TRpPrintSetupDialog Dialog);
// The registered dialog for Setup; false when none is registered.
bool ExecutePrintSetupDialog(TRpPrintSetup& Setup);
