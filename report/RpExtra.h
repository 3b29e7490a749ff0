// Services around reports: the text search in one page picture the
// preview's find uses, a print job that writes pages without a report
// component, and a handler that previews or prints a saved report file.
#pragma once

#include "platform/Classes.h"
#include "platform/Metafile.h"
#include "report/RpPrntr.h"

#include <memory>
#include <string>

// True when one text drawn on the page contains Str (each text on its own:
// a string split across two texts is not found). Unless CaseSensitive both
// are compared upper-cased.
bool StrInMetafile(const std::string& Str, TMetafile* Metafile, bool CaseSensitive);

// Output without a report: a descendant writes its pages to the printer
// CreateOutput is given (BeginDoc, NewPage, drawing on GetCanvas, EndDoc).
class TRpPrintJob : public TObject {
public:
    virtual void CreateOutput(TRpPrinter* Printer) {}
    // The pages recorded into a preview window; returns when it closes.
    void Preview();
    // The pages to the printer.
    void Print();
};

// A saved report file (".RPF") to preview or print.
class TRpPHandler : public TObject {
public:
    TRpPHandler() = default;
    ~TRpPHandler() override;

    const std::string& Filename() const { return FFilename; }
    // Loads the file into a new printer (the reader's error, ERpError, goes
    // to the caller; the handler then has no printer and no name).
    void SetFilename(const std::string& Value);
    TRpPrinter* LoadedPrinter() const { return FLoadedPrinter.get(); }
    // Shows the pages; returns when the preview window closes.
    void Preview();
    void Print();

private:
    std::string FFilename;
    std::unique_ptr<TRpPrinter> FLoadedPrinter;
};
