// The printer: the system's printers (through the print system) or a PDF
// file, with the page size in device pixels, the resolution, orientation,
// paper, copies and job title, the device settings as the classic
// device-mode record carries them, and a canvas for the pages of a job.
#pragma once

#include "platform/Graphics.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QPrinter;

enum TPrinterOrientation { poPortrait = 0, poLandscape = 1 };

class EPrinter : public Exception {
public:
    using Exception::Exception;
};

// Paper codes of the classic device settings (256 = custom size). Every
// code from 1 to 26 has its size; 27 and 28 are two more envelopes.
constexpr int DMPAPER_LETTER = 1;
constexpr int DMPAPER_LETTERSMALL = 2;
constexpr int DMPAPER_TABLOID = 3;
constexpr int DMPAPER_LEDGER = 4;
constexpr int DMPAPER_LEGAL = 5;
constexpr int DMPAPER_STATEMENT = 6;
constexpr int DMPAPER_EXECUTIVE = 7;
constexpr int DMPAPER_A3 = 8;
constexpr int DMPAPER_A4 = 9;
constexpr int DMPAPER_A4SMALL = 10;
constexpr int DMPAPER_A5 = 11;
constexpr int DMPAPER_B4 = 12;
constexpr int DMPAPER_B5 = 13;
constexpr int DMPAPER_FOLIO = 14;
constexpr int DMPAPER_QUARTO = 15;
constexpr int DMPAPER_10X14 = 16;
constexpr int DMPAPER_11X17 = 17;
constexpr int DMPAPER_NOTE = 18;
constexpr int DMPAPER_ENV_9 = 19;
constexpr int DMPAPER_ENV_10 = 20;
constexpr int DMPAPER_ENV_11 = 21;
constexpr int DMPAPER_ENV_12 = 22;
constexpr int DMPAPER_ENV_14 = 23;
constexpr int DMPAPER_CSHEET = 24;
constexpr int DMPAPER_DSHEET = 25;
constexpr int DMPAPER_ESHEET = 26;
constexpr int DMPAPER_ENV_DL = 27;
constexpr int DMPAPER_ENV_C5 = 28;
constexpr int DMPAPER_USER = 256;

// The device settings of a printer, as the classic device-mode record holds
// them. dmFields tells which fields a record carries: read from a printer,
// the fields its output honours; handed to a printer, the fields to take.
constexpr uint32_t DM_ORIENTATION = 0x1;
constexpr uint32_t DM_PAPERSIZE = 0x2;
constexpr uint32_t DM_PAPERLENGTH = 0x4;
constexpr uint32_t DM_PAPERWIDTH = 0x8;
constexpr uint32_t DM_COPIES = 0x100;
constexpr uint32_t DM_DEFAULTSOURCE = 0x200;
constexpr uint32_t DM_PRINTQUALITY = 0x400;
constexpr uint32_t DM_COLOR = 0x800;
constexpr uint32_t DM_DUPLEX = 0x1000;
constexpr uint32_t DM_COLLATE = 0x8000;

constexpr int DMORIENT_PORTRAIT = 1;
constexpr int DMORIENT_LANDSCAPE = 2;
constexpr int DMDUP_SIMPLEX = 1;
constexpr int DMDUP_VERTICAL = 2;     // both sides, turned on the long edge
constexpr int DMDUP_HORIZONTAL = 3;   // both sides, turned on the short edge
constexpr int DMCOLOR_MONOCHROME = 1;
constexpr int DMCOLOR_COLOR = 2;
constexpr int DMCOLLATE_FALSE = 0;
constexpr int DMCOLLATE_TRUE = 1;
// Paper sources 1..11 and 14 (the classic bin codes).
constexpr int DMBIN_UPPER = 1;
constexpr int DMBIN_AUTO = 7;
constexpr int DMBIN_CASSETTE = 14;

struct TDeviceMode {
    uint32_t dmFields = 0;
    int16_t dmOrientation = DMORIENT_PORTRAIT;
    int16_t dmPaperSize = DMPAPER_A4;
    int16_t dmPaperLength = 0;   // 0.1 mm, portrait
    int16_t dmPaperWidth = 0;    // 0.1 mm, portrait
    int16_t dmCopies = 1;
    int16_t dmDefaultSource = DMBIN_AUTO;
    int16_t dmPrintQuality = 0;   // the driver's quality code, kept only (see SetResolution)
    int16_t dmColor = DMCOLOR_COLOR;
    int16_t dmDuplex = DMDUP_SIMPLEX;
    int16_t dmCollate = DMCOLLATE_FALSE;
};

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
    // and DMPAPER_USER for a file).
    std::vector<int> SupportedPaperSizes();
    // The size of a paper code in 0.1 mm, portrait; false for a code not known.
    static bool PaperDimensions(int Code, int& Width, int& Length);
    // The first code whose size is Width x Length (0.1 mm, portrait, to
    // within 0.2 mm); 0 when none is.
    static int PaperCode(int Width, int Length);

    // The output as the classic names give it: Device is the queue's name or
    // "PDF", Driver the queue's make and model ("" for a file), Port the PDF
    // file's name ("" for a queue).
    std::string Device();
    std::string Driver();
    std::string Port();
    // The device settings now in force; dmFields holds the fields the output
    // honours (a file: orientation, paper and colour; a queue also copies,
    // collation and, where it prints both sides, duplex).
    TDeviceMode DeviceMode();
    // Takes the fields named in Value.dmFields (values out of range are
    // skipped). A paper code wins over the paper dimensions; dimensions
    // without a code (or with DMPAPER_USER) choose the known size they match,
    // or a custom size. Fields the output does not honour are kept and used
    // once it does.
    void SetDeviceMode(const TDeviceMode& Value);
    // The selected queue's own defaults (a file: A4), portrait, one copy.
    void ResetDeviceMode();
    // The font families the output can use.
    std::vector<std::string> Fonts();
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
    // The whole sheet in device pixels (the paper's size, orientation
    // applied) and the unprintable margins on the left and top.
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
    uint32_t SupportedFields();
    void Changed();

    std::vector<std::string> FPrinters;
    bool FPrintersRead = false;
    int FPrinterIndex = -1;
    std::string FFileName;
    TPrinterOrientation FOrientation = poPortrait;
    int FPaperCode = DMPAPER_A4;
    int FCustomWidth = 2100;
    int FCustomLength = 2970;
    int FCopies = 1;
    int FSource = DMBIN_AUTO;
    int FPrintQuality = 0;
    int FColor = DMCOLOR_COLOR;
    int FDuplex = DMDUP_SIMPLEX;
    int FCollate = DMCOLLATE_FALSE;
    int FResolution = 0;
    std::string FTitle;
    bool FPrinting = false;
    bool FAborted = false;
    int FPageNumber = 0;
    TCanvas FCanvas;
    std::unique_ptr<TJob> FJob;
    std::unique_ptr<QPrinter> FMetrics;
    // DeviceMode's dmFields for the output now selected; 0 until asked.
    uint32_t FSupportedFields = 0;
};

// The application's printer, made on first use and kept for the program's life.
TPrinter* Printer();
