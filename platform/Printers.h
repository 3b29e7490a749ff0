// The printer: the system's printers (through the print system) or a PDF
// file, with the page size in device pixels, the resolution, orientation,
// paper, copies and job title, and a canvas for the pages of a job.
#pragma once

#include "platform/Graphics.h"

#include <memory>
#include <string>
#include <vector>

class QPrinter;

enum TPrinterOrientation { poPortrait = 0, poLandscape = 1 };

class EPrinter : public Exception {
public:
    using Exception::Exception;
};

// Paper codes of the classic device settings (a subset; 256 = custom size).
constexpr int DMPAPER_LETTER = 1;
constexpr int DMPAPER_TABLOID = 3;
constexpr int DMPAPER_LEDGER = 4;
constexpr int DMPAPER_LEGAL = 5;
constexpr int DMPAPER_STATEMENT = 6;
constexpr int DMPAPER_EXECUTIVE = 7;
constexpr int DMPAPER_A3 = 8;
constexpr int DMPAPER_A4 = 9;
constexpr int DMPAPER_A5 = 11;
constexpr int DMPAPER_B4 = 12;
constexpr int DMPAPER_B5 = 13;
constexpr int DMPAPER_FOLIO = 14;
constexpr int DMPAPER_QUARTO = 15;
constexpr int DMPAPER_ENV_10 = 20;
constexpr int DMPAPER_ENV_DL = 27;
constexpr int DMPAPER_ENV_C5 = 28;
constexpr int DMPAPER_USER = 256;

class TPrinter : public TObject {
public:
    TPrinter();
    ~TPrinter() override;

    // Names of the printers the system offers, read again by Refresh.
    const std::vector<std::string>& Printers();
    void Refresh();
    // -1: the system's default printer. Out-of-range values raise EPrinter.
    int PrinterIndex() const { return FPrinterIndex; }
    void SetPrinterIndex(int Value);
    // Pages go to this PDF file when it is set, and whenever the system has
    // no printer (then to "<Title>.pdf" in the current folder if unset).
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& Value);
    bool PrintsToFile();

    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation Value);
    // A DMPAPER_ code; false (and nothing changed) for a code not known.
    int PaperSize() const { return FPaperCode; }
    bool SetPaperSize(int Code);
    // Custom paper in 0.1 mm (portrait width and length); PaperSize becomes
    // DMPAPER_USER.
    void SetCustomPaperSize(int Width, int Length);
    // Paper dimensions in 0.1 mm, portrait.
    int PaperWidth() const;
    int PaperLength() const;
    // The codes of the sizes the selected printer offers (all known codes
    // for a file).
    std::vector<int> SupportedPaperSizes();
    int Copies() const { return FCopies; }
    void SetCopies(int Value);
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }
    // Dots per inch of the output; a file takes 600 unless set.
    int PixelsPerInchX();
    int PixelsPerInchY();
    void SetResolution(int Dpi);

    // The printable area in device pixels (orientation applied); the canvas
    // origin is its top-left corner.
    int PageWidth();
    int PageHeight();
    // The whole sheet in device pixels and the unprintable margins on the
    // left and top.
    int PhysicalWidth();
    int PhysicalHeight();
    int PhysicalOffsetX();
    int PhysicalOffsetY();

    // A job: BeginDoc opens page 1; NewPage ends the page and opens the next;
    // EndDoc finishes the job; Abort drops it (a file is removed). BeginDoc
    // during a job, NewPage or EndDoc outside one raise EPrinter.
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();
    bool Printing() const { return FPrinting; }
    bool Aborted() const { return FAborted; }
    int PageNumber() const { return FPageNumber; }
    // Draws on the current page during a job, nothing outside one. Raster
    // pen modes draw as copy.
    TCanvas* Canvas() { return &FCanvas; }

    struct TJob;

private:
    void Configure(QPrinter& P);
    std::string OutputFile();
    QPrinter& Metrics();

    std::vector<std::string> FPrinters;
    bool FPrintersRead = false;
    int FPrinterIndex = -1;
    std::string FFileName;
    TPrinterOrientation FOrientation = poPortrait;
    int FPaperCode = DMPAPER_A4;
    int FCustomWidth = 2100;
    int FCustomLength = 2970;
    int FCopies = 1;
    int FResolution = 0;
    std::string FTitle;
    bool FPrinting = false;
    bool FAborted = false;
    int FPageNumber = 0;
    TCanvas FCanvas;
    std::unique_ptr<TJob> FJob;
    std::unique_ptr<QPrinter> FMetrics;
};

// The application's printer, made on first use and kept for the program's life.
TPrinter* Printer();
