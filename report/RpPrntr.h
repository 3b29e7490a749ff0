// The report printer: the output engine of one report run, with its printer
// settings, the paper and bin tables and the registered preview class.
//
// A run: the report sets Destination, calls BeginDoc, opens every page with
// NewPage, draws on GetCanvas() at XPos/YPos/XSize/YSize of positions in
// 0.1 mm from the paper's top-left corner, and ends with EndDoc (AbortDoc
// when cancelled). rpdPrinter pages go straight to the platform printer
// (a CUPS queue or a PDF file; only the pages FirstPage..LastPage, the others
// are drawn on scratch pages and dropped); rpdMetafile pages are recorded at
// the screen's resolution into PageList, from which Page, Print, Save and the
// preview take them. Load reads a saved report back. The printer opens no
// window: a print's progress goes to the listener its caller passes
// (report/RpProgressListener.h), a preview opens through the registered
// preview class.
//
// TPrinterSettings reads the selected printer (resolution, unprintable
// margins, paper, the sizes it offers, its device settings) and writes the
// report's wishes into its device settings before a job. TRpPrinterSettings
// is the set of wishes a report keeps with its form.
//
// Every conversion to device pixels rounds to the nearest integer, halves to
// the even neighbour. Messages to Client and Master are window messages
// (platform/Messages.h): progress and page-available are posted to Client,
// the print request is posted to Master, the preview-close request is sent
// to Master.
#pragma once

#include "platform/Classes.h"
#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/Messages.h"
#include "platform/Metafile.h"
#include "platform/Printers.h"
#include "report/Rp4const.h"
#include "report/RpExportFilter.h"
#include "report/RpHyperlink.h"
#include "report/RpPageList.h"
#include "report/RpProgressListener.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TRpPrinter;
class TRpPrinterLink;
class TTreeView;

// ------------------------------------------------------ paper and bin tables

enum class TRpPaperSize {
    Default, Letter, LetterSmall, Tabloid, Ledger, Legal, Statement, Executive, A3, A4, A4Small, A5, B4, B5,
    Folio, Quarto, rp10X14, rp11X17, Note, Env9, Env10, Env11, Env12, Env14, CSheet, DSheet, ESheet, Custom
};
enum class TRpBin {
    First, Upper, Lower, Middle, Manual, Envelope, EnvManual, Auto, Tractor, SmallFormat, LargeFormat,
    LargeCapacity, Cassette, Last
};
constexpr int RpBinCount = 14;
// The sizes with a size of their own: Letter to ESheet.
constexpr int RpPaperMetricsCount = 26;

// The device paper code of every TRpPaperSize (Custom: 256).
extern const int cRpPaperTranslate[RpPaperSizeCount];
// Width and length in millimetres of Letter..ESheet (row 0 is Letter).
extern const long double cRpPaperSizeMetrics[RpPaperMetricsCount][2];
// The device source code of every TRpBin.
extern const int cRpBinTranslate[RpBinCount];

// "A4 210 x 297 mm", ... (the resource strings).
std::string RpPaperName(TRpPaperSize Value);

// The sizes a printer offers, Letter..Custom: index = ordinal - 1.
using TPaperSizesSupported = std::array<bool, RpPaperSizeCount - 1>;

// Sender, Cancel (false on entry; true skips the step), the device settings
// about to be read or written.
using TRpPrinterSettingsEvent = std::function<void(TObject* Sender, bool& Cancel, TDeviceMode* DevMode)>;

// ----------------------------------------------------------- printer settings

class TPrinterSettings : public TObject {
public:
    TPrinterSettings() = default;

    // The printer these settings describe; reads it when it lists a queue or
    // prints to a file.
    TPrinter* Printer() const { return FPrinter; }
    void SetPrinter(TPrinter* Value);
    // Reads resolution, margins, paper, the sizes offered and the device
    // settings of Printer (nothing without one).
    void GetPrinterSettings();
    // Writes the wishes into Printer's device settings.
    void ApplySettings();

    // True when Printer is set and honours every field bit of Setting.
    bool Supported(uint32_t Setting) const;

    const std::string& Device() const { return FDevice; }
    const std::string& Driver() const { return FDriver; }
    const std::string& Port() const { return FPort; }

    // The setters that need the device's support keep the old value without it.
    int32_t Copies() const { return FCopies; }
    void SetCopies(int32_t Value);
    bool Duplex() const { return FDuplex; }
    void SetDuplex(bool Value);
    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation Value);
    TRpBin OutputBin() const { return FOutputBin; }
    void SetOutputBin(TRpBin Value);
    // Only a size the printer offers (PaperSizeSupported) or Default.
    TRpPaperSize PaperSize() const { return FPaperSize; }
    void SetPaperSize(TRpPaperSize Value);
    bool PaperSizeSupported(TRpPaperSize Value) const;
    // 0.1 mm: the table's size for a table size, the stored one for Default
    // and Custom.
    int32_t PaperWidth() const;
    int32_t PaperLength() const;
    void SetPaperWidth(int32_t Value) { FPaperWidth = Value; }
    void SetPaperLength(int32_t Value) { FPaperLength = Value; }
    int32_t PixelsPerX() const { return FPixelsPerX; }
    int32_t PixelsPerY() const { return FPixelsPerY; }
    // Unprintable margins, 0.1 mm.
    int32_t TopOffset() const { return FTopOffset; }
    int32_t LeftOffset() const { return FLeftOffset; }
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }

    bool PrintMetafile() const { return FPrintMetafile; }
    void SetPrintMetafile(bool Value) { FPrintMetafile = Value; }
    bool UseStandardPrinter() const { return FUseStandardPrinter; }
    void SetUseStandardPrinter(bool Value) { FUseStandardPrinter = Value; }
    bool UseExtendedDuplex() const { return FUseExtendedDuplex; }
    void SetUseExtendedDuplex(bool Value) { FUseExtendedDuplex = Value; }
    // The raw device duplex code; 0 derives it from Duplex.
    int32_t ExtendedDuplex() const { return FExtendedDuplex; }
    void SetExtendedDuplex(int32_t Value) { FExtendedDuplex = Value; }
    bool UseCustomBinCode() const { return FUseCustomBinCode; }
    void SetUseCustomBinCode(bool Value) { FUseCustomBinCode = Value; }
    int32_t CustomBinCode() const { return FCustomBinCode; }
    void SetCustomBinCode(int32_t Value) { FCustomBinCode = Value; }
    bool UseCustomPaperCode() const { return FUseCustomPaperCode; }
    void SetUseCustomPaperCode(bool Value) { FUseCustomPaperCode = Value; }
    int32_t CustomPaperCode() const { return FCustomPaperCode; }
    void SetCustomPaperCode(int32_t Value) { FCustomPaperCode = Value; }
    int32_t PrintQuality() const { return FPrintQuality; }
    void SetPrintQuality(int32_t Value) { FPrintQuality = Value; }
    int32_t Collate() const { return FCollate; }
    void SetCollate(int32_t Value) { FCollate = Value; }
    int32_t ColorOption() const { return FColorOption; }
    void SetColorOption(int32_t Value) { FColorOption = Value; }
    // Bytes a recorded page list keeps in memory.
    int32_t MemoryLimit() const { return FMemoryLimit; }
    void SetMemoryLimit(int32_t Value) { FMemoryLimit = Value; }

    TRpPrinterSettingsEvent OnGetPrinterSettings;
    TRpPrinterSettingsEvent OnApplySettings;

private:
    std::string FDevice;
    std::string FDriver;
    std::string FPort;
    int32_t FCopies = 0;
    bool FDuplex = false;
    bool FPrintMetafile = false;
    bool FUseStandardPrinter = false;
    bool FUseExtendedDuplex = false;
    int32_t FExtendedDuplex = 0;
    bool FUseCustomBinCode = false;
    int32_t FCustomBinCode = 0;
    int32_t FPrintQuality = 0;
    int32_t FCollate = 0;
    int32_t FColorOption = 0;
    int32_t FMemoryLimit = RpDefaultMemoryLimit;
    bool FUseCustomPaperCode = false;
    int32_t FCustomPaperCode = 0;
    TPrinterOrientation FOrientation = poPortrait;
    TRpBin FOutputBin = TRpBin::First;
    TRpPaperSize FPaperSize = TRpPaperSize::A4;
    TPaperSizesSupported FPaperSizeSupported{};
    int32_t FPaperWidth = 0;
    int32_t FPaperLength = 0;
    int32_t FPixelsPerX = 0;
    int32_t FPixelsPerY = 0;
    int32_t FTopOffset = 0;
    int32_t FLeftOffset = 0;
    TPrinter* FPrinter = nullptr;
    std::string FTitle;
};

// The print wishes a report keeps with its form.
class TRpPrinterSettings : public TPersistent {
    OZ_CLASS(TRpPrinterSettings, TPersistent);

public:
    TRpPrinterSettings() = default;
    void Assign(TPersistent* Source) override;
    // PrinterIndex, PaperSize, Copies, Duplex, Orientation and OutputBin go
    // to APrinter through its setters, in this order, then Title.
    void ApplySettings(TRpPrinter* APrinter) const;

    int32_t Copies() const { return FCopies; }
    void SetCopies(int32_t Value) { FCopies = Value; }
    bool Duplex() const { return FDuplex; }
    void SetDuplex(bool Value) { FDuplex = Value; }
    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation Value) { FOrientation = Value; }
    TRpBin OutputBin() const { return FOutputBin; }
    void SetOutputBin(TRpBin Value) { FOutputBin = Value; }
    TRpPaperSize PaperSize() const { return FPaperSize; }
    void SetPaperSize(TRpPaperSize Value) { FPaperSize = Value; }
    // -1: the default printer.
    int32_t PrinterIndex() const { return FPrinterIndex; }
    void SetPrinterIndex(int32_t Value) { FPrinterIndex = Value; }
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }
    // 0: no limit.
    int32_t FirstPage() const { return FFirstPage; }
    void SetFirstPage(int32_t Value) { FFirstPage = Value; }
    int32_t LastPage() const { return FLastPage; }
    void SetLastPage(int32_t Value) { FLastPage = Value; }
    bool UseStandardprinter() const { return FUseStandardprinter; }
    void SetUseStandardprinter(bool Value) { FUseStandardprinter = Value; }
    int32_t ExtendedDuplex() const { return FExtendedDuplex; }
    void SetExtendedDuplex(int32_t Value) { FExtendedDuplex = Value; }
    int32_t MemoryLimit() const { return FMemoryLimit; }
    void SetMemoryLimit(int32_t Value) { FMemoryLimit = Value; }
    int32_t PrintQuality() const { return FPrintQuality; }
    void SetPrintQuality(int32_t Value) { FPrintQuality = Value; }
    int32_t Collate() const { return FCollate; }
    void SetCollate(int32_t Value) { FCollate = Value; }
    int32_t ColorOption() const { return FColorOption; }
    void SetColorOption(int32_t Value) { FColorOption = Value; }
    bool UseCustomBinCode() const { return FUseCustomBinCode; }
    void SetUseCustomBinCode(bool Value) { FUseCustomBinCode = Value; }
    int32_t CustomBinCode() const { return FCustomBinCode; }
    void SetCustomBinCode(int32_t Value) { FCustomBinCode = Value; }
    bool UseCustomPaperCode() const { return FUseCustomPaperCode; }
    void SetUseCustomPaperCode(bool Value) { FUseCustomPaperCode = Value; }
    int32_t CustomPaperCode() const { return FCustomPaperCode; }
    void SetCustomPaperCode(int32_t Value) { FCustomPaperCode = Value; }

private:
    int32_t FCopies = 1;
    bool FDuplex = false;
    TPrinterOrientation FOrientation = poPortrait;
    TRpBin FOutputBin = TRpBin::Auto;
    TRpPaperSize FPaperSize = TRpPaperSize::Letter;
    int32_t FPrinterIndex = -1;
    std::string FTitle;
    int32_t FFirstPage = 0;
    int32_t FLastPage = 0;
    bool FUseStandardprinter = false;
    int32_t FExtendedDuplex = 0;
    int32_t FMemoryLimit = RpDefaultMemoryLimit;
    int32_t FPrintQuality = 0;
    int32_t FCollate = 0;
    int32_t FColorOption = 0;
    bool FUseCustomBinCode = false;
    int32_t FCustomBinCode = 0;
    bool FUseCustomPaperCode = false;
    int32_t FCustomPaperCode = 0;
};

// ------------------------------------------------------------ report printer

enum TRpPrinterDestination { rpdMetafile = 0, rpdPrinter = 1 };
enum TRpPrinterStatus { mpReady = 0, mpBusy = 1, mpFinished = 2 };

// Messages of the report printer. Progress and page-available carry the
// value in WParam; the preview-close request carries the TRpPrinter in LParam.
constexpr uint32_t CM_RPPROGRESSUPDATE = WM_USER + 0;
constexpr uint32_t CM_RPPAGEAVAILABLE = WM_USER + 1;
constexpr uint32_t CM_RPPRINT = WM_USER + 2;
constexpr uint32_t CM_RPPREVIEWCLOSE = WM_USER + 4;

// A report (or composite report) that owns its printers: a printer it
// creates takes UseStandardprinter and MemoryLimit from its settings.
class IRpPrinterHost {
public:
    virtual ~IRpPrinterHost() = default;
    virtual const TRpPrinterSettings& HostPrinterSettings() const = 0;
};

// A window that shows a printer's pages or progress (the preview control,
// the progress window): told when the printer is freed while it is the
// printer's Client, so that it lets go.
class IRpPrinterClient {
public:
    virtual ~IRpPrinterClient() = default;
    virtual void RpPrinterFreed(TRpPrinter* Printer) = 0;
};

// The factory through which Preview opens a preview window: Show opens it
// modeless and returns it; ShowModal runs it modally. The base opens nothing.
class TRpPreviewInterface : public TComponent {
public:
    explicit TRpPreviewInterface(TComponent* AOwner) : TComponent(AOwner) {}
    virtual TForm* Show(TRpPrinter* APrinter) { return nullptr; }
    virtual TForm* ShowModal(TRpPrinter* APrinter) { return nullptr; }
};

// What stands for a preview class: its name and how to make one.
struct TRpPreviewInterfaceClass {
    std::string ClassName;
    std::function<std::unique_ptr<TRpPreviewInterface>(TComponent* AOwner)> Create;

    template <class T>
    static TRpPreviewInterfaceClass Of(const std::string& ClassName)
    {
        return {ClassName, [](TComponent* AOwner) { return std::make_unique<T>(AOwner); }};
    }
};

// Makes AClass the class Preview and PreviewModal open.
void RegisterPreviewClass(const TRpPreviewInterfaceClass& AClass);
const TRpPreviewInterfaceClass& RegisteredPreviewClass();

using TRpExportToFilterEvent = std::function<void(TRpExportFilter* aFilter)>;
using TRpPreviewEvent = std::function<void(TObject* Sender)>;
using TRpPrintSetupEvent = std::function<void(TObject* Sender)>;

class TRpPrinter : public TPersistent {
public:
    // An owner that is an IRpPrinterHost becomes ParentReport. The printer
    // is the application's shared one when the host's settings ask for it,
    // else a private one that takes over the shared printer's queue and PDF
    // file.
    explicit TRpPrinter(TComponent* AOwner);
    // Ends an unfinished run and lets a preview Client go of this printer.
    ~TRpPrinter() override;

    // Run control. BeginDoc outside mpReady raises ERpError "RpPrinter not
    // ready" (nothing changed); NewPage outside a run raises "Illegal call to
    // NewPage"; EndDoc outside a run does nothing. AbortDoc keeps the pages
    // recorded so far (the page file's header counts them) and drops a
    // printer job.
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void AbortDoc();
    // Asks the run (and Print) to stop at its next check.
    void Cancel() { FCancelled = true; }
    // Back to mpReady: a busy run is cancelled (its printer job dropped), the
    // pages are freed.
    void Cleanup();

    // 0.1 mm from the paper's top-left corner to pixels of the page canvas.
    int XPos(long double X) const;
    int YPos(long double Y) const;
    int XSize(long double X) const;
    int YSize(long double Y) const;
    // The canvas of the page being rendered: a metafile canvas on recorded
    // and skipped pages, the printer's canvas on printed ones.
    TCanvas* GetCanvas() const { return FCanvas; }

    // Page Index (1..PageCount) of a run or loaded file as a new metafile;
    // nullptr for other numbers, before a run or for a page not finished yet.
    std::unique_ptr<TMetafile> Page(int Index);
    void GetPageEx(int Index, std::unique_ptr<TMetafile>& Metafile, std::unique_ptr<THyperlinkList>& Links);
    // The paper in 0.1 mm with the orientation applied.
    int32_t PaperWidthValue() const;
    int32_t PaperLengthValue() const;

    // Prints the stored pages FirstPage..LastPage (kept within the pages
    // there are), telling Progress (when given) of every page; a cancel
    // aborts the job. The client hears nothing of it meanwhile. With a
    // Master and PrintStoredPages false, asks the Master to run the report
    // again instead (CM_RPPRINT).
    void Print(TRpProgressListener* Progress = nullptr);
    // The stored pages FromPage..ToPage (kept within the pages there are) on
    // the application's shared printer, as it stands.
    void PrintMetafileDirect(const std::string& FileName, int FromPage, int ToPage);
    // Writes the pages of a finished run to FileName.
    void Save(const std::string& FileName);
    // Shows the pages of a saved report; the paper size and orientation
    // become the first paper size matching its first page.
    void Load(const std::string& FileName);
    void Preview();
    void PreviewModal();
    void PrintSetup();
    void ClosePreview(TControl* Sender);
    void ExportToFilter(TRpExportFilter* Filter);
    void AddHyperlink(const TRect& Area, const std::string& Link);
    void AddOutline(int Level, const std::string& Title, const TRect& Area);

    TPrinter* Printer() const { return FPrinter; }
    TComponent* ParentReport() const { return FParentReport; }
    TRpStream* PageStream() const { return FPageList->Stream(); }
    TRpPageList* PageList() const { return FPageList.get(); }
    TPrinterSettings* Settings() const { return FSettings.get(); }
    int32_t AvailablePages() const { return FAvailablePages; }
    void SetAvailablePages(int32_t Value);
    bool Cancelled() const { return FCancelled; }
    TRpPrinterDestination Destination() const { return FDestination; }
    void SetDestination(TRpPrinterDestination Value) { FDestination = Value; }
    int32_t FirstPage() const { return FFirstPage; }
    void SetFirstPage(int32_t Value) { FFirstPage = Value; }
    int32_t LastPage() const { return FLastPage; }
    void SetLastPage(int32_t Value) { FLastPage = Value; }
    // The settings' offsets for rpdPrinter, else 0.
    int32_t LeftWaste() const;
    int32_t TopWaste() const;
    // The links of the metafile page being recorded (nullptr otherwise).
    THyperlinkList* Hyperlinks() const { return FHyperlinks.get(); }
    // The windows the printer's messages go to; either becomes nullptr when
    // its window is freed.
    TWinControl* Client() const { return FClient; }
    void SetClient(TWinControl* Value);
    TWinControl* Master() const { return FMaster; }
    void SetMaster(TWinControl* Value);
    TMetafile* PageMetafile() const { return FPageMetafile.get(); }
    TTreeView* Outline() const { return FOutline; }
    void SetOutline(TTreeView* Value);
    // Pages begun (during a run) or stored (after EndDoc or Load).
    int32_t PageCount() const { return FPageCount; }
    int32_t PageNumber() const { return FPageNumber; }
    // Only 1..PageCount.
    void SetPageNumber(int32_t Value);
    bool PrintersAvailable() const { return FPrintersAvailable; }
    int32_t Progress() const { return FProgress; }
    // Posted to the client; told to the progress listener on the GUI thread.
    void SetProgress(int32_t Value);
    // The listener told of this printer's progress (not owned; nullptr:
    // none): it hears PrintStarted when set, PrintEnded when replaced or
    // when the printer goes.
    TRpProgressListener* ProgressListener() const { return FProgressListener; }
    void SetProgressListener(TRpProgressListener* Value);
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }
    bool ShowingPreview() const { return FShowingPreview; }
    void SetShowingPreview(bool Value);
    TRpPrinterStatus Status() const { return FStatus; }
    long double XFactor() const { return FXFactor; }
    long double YFactor() const { return FYFactor; }
    TForm* PreviewForm() const { return FPreviewForm; }
    bool PrintStoredPages() const { return FPrintStoredPages; }
    void SetPrintStoredPages(bool Value) { FPrintStoredPages = Value; }
    bool Compression() const { return FPageList->Compression(); }
    void SetCompression(bool Value) { FPageList->SetCompression(Value); }

    // Pixels at the screen's resolution, as recorded pages have them (a
    // run to rpdMetafile sets them at BeginDoc; a preview opened before it
    // asks for them first).
    void UseScreenFactors();

    // Forwarded to Settings.
    TRpBin Bin() const { return FSettings->OutputBin(); }
    void SetBin(TRpBin Value) { FSettings->SetOutputBin(Value); }
    int32_t Copies() const { return FSettings->Copies(); }
    void SetCopies(int32_t Value) { FSettings->SetCopies(Value); }
    bool Duplex() const { return FSettings->Duplex(); }
    void SetDuplex(bool Value) { FSettings->SetDuplex(Value); }
    TPrinterOrientation Orientation() const { return FSettings->Orientation(); }
    void SetOrientation(TPrinterOrientation Value) { FSettings->SetOrientation(Value); }
    TRpPaperSize PaperSize() const { return FSettings->PaperSize(); }
    void SetPaperSize(TRpPaperSize Value) { FSettings->SetPaperSize(Value); }
    int32_t PaperWidth() const { return FSettings->PaperWidth(); }
    void SetPaperWidth(int32_t Value) { FSettings->SetPaperWidth(Value); }
    int32_t PaperLength() const { return FSettings->PaperLength(); }
    void SetPaperLength(int32_t Value) { FSettings->SetPaperLength(Value); }
    bool PrintMetafile() const { return FSettings->PrintMetafile(); }
    void SetPrintMetafile(bool Value) { FSettings->SetPrintMetafile(Value); }
    bool UseStandardPrinter() const { return FSettings->UseStandardPrinter(); }
    bool UseExtendedDuplex() const { return FSettings->UseExtendedDuplex(); }
    void SetUseExtendedDuplex(bool Value) { FSettings->SetUseExtendedDuplex(Value); }
    int32_t ExtendedDuplex() const { return FSettings->ExtendedDuplex(); }
    void SetExtendedDuplex(int32_t Value) { FSettings->SetExtendedDuplex(Value); }
    bool UseCustomBinCode() const { return FSettings->UseCustomBinCode(); }
    void SetUseCustomBinCode(bool Value) { FSettings->SetUseCustomBinCode(Value); }
    int32_t CustomBinCode() const { return FSettings->CustomBinCode(); }
    void SetCustomBinCode(int32_t Value) { FSettings->SetCustomBinCode(Value); }
    bool UseCustomPaperCode() const { return FSettings->UseCustomPaperCode(); }
    void SetUseCustomPaperCode(bool Value) { FSettings->SetUseCustomPaperCode(Value); }
    int32_t CustomPaperCode() const { return FSettings->CustomPaperCode(); }
    void SetCustomPaperCode(int32_t Value) { FSettings->SetCustomPaperCode(Value); }
    int32_t PrintQuality() const { return FSettings->PrintQuality(); }
    void SetPrintQuality(int32_t Value) { FSettings->SetPrintQuality(Value); }
    int32_t Collate() const { return FSettings->Collate(); }
    void SetCollate(int32_t Value) { FSettings->SetCollate(Value); }
    int32_t ColorOption() const { return FSettings->ColorOption(); }
    void SetColorOption(int32_t Value) { FSettings->SetColorOption(Value); }
    TRpPrinterSettingsEvent& OnApplyPrinterSettings() { return FSettings->OnApplySettings; }
    TRpPrinterSettingsEvent& OnGetPrinterSettings() { return FSettings->OnGetPrinterSettings; }

    // Forwarded to Printer.
    int PrinterIndex() const { return FPrinter->PrinterIndex(); }
    const std::vector<std::string>& Printers() const { return FPrinter->Printers(); }
    // Selects printer Index (-1: the default) on a private printer, with its
    // default device settings, and reads the settings again. Nothing with
    // the shared printer or without printers.
    void SetPrinterIndex(int Index);

    TNotifyEvent OnAfterPrint;
    TNotifyEvent OnAfterPreview;
    TRpExportToFilterEvent OnExportToFilter;
    TRpPreviewEvent OnPreview;
    TRpPrintSetupEvent OnPrintSetup;

private:
    friend class TRpPrinterLink;
    void Watch(TWinControl* Window);
    void Unwatch(TWinControl* Window);
    void WindowGone(TComponent* Window);
    bool CurrentPageOK() const;
    void OpenMetafilePage();
    void OpenPrinterPage();
    // Ends the open page: recorded pages go to the page list, printed ones
    // stay on the printer, scratch ones are dropped.
    void FinishPage();
    void DropPage();
    void UsePrinterFactors();
    void AfterPrint();
    void PostToClient(uint32_t Msg, intptr_t WParam);

    std::unique_ptr<TPrinter> FOwnPrinter;
    TPrinter* FPrinter = nullptr;
    TComponent* FParentReport = nullptr;
    std::atomic<int32_t> FAvailablePages{0};
    std::atomic<bool> FCancelled{false};
    TCanvas* FCanvas = nullptr;
    TRpPrinterDestination FDestination = rpdMetafile;
    int32_t FFirstPage = 0;
    int32_t FLastPage = 0;
    int32_t FLeftWaste = 0;
    int32_t FTopWaste = 0;
    std::unique_ptr<THyperlinkList> FHyperlinks;
    TWinControl* FClient = nullptr;
    TWinControl* FMaster = nullptr;
    // The client Print puts back when it is done.
    TWinControl* FFormerClient = nullptr;
    // Told when Client or Master is freed.
    std::unique_ptr<TRpPrinterLink> FLink;
    std::unique_ptr<TMetafile> FPageMetafile;
    std::unique_ptr<TMetafileCanvas> FMetafileCanvas;
    TTreeView* FOutline = nullptr;
    std::atomic<int32_t> FPageCount{0};
    int32_t FPageNumber = 0;
    bool FPrintersAvailable = false;
    std::atomic<int32_t> FProgress{0};
    std::string FTitle;
    bool FShowingPreview = false;
    std::atomic<TRpPrinterStatus> FStatus{mpReady};
    long double FXFactor = 1.0L;
    long double FYFactor = 1.0L;
    std::unique_ptr<TRpPageList> FPageList;
    TForm* FPreviewForm = nullptr;
    bool FPrintStoredPages = false;
    bool FPrintingPages = false;   // Print is under way
    std::unique_ptr<TPrinterSettings> FSettings;
    TRpProgressListener* FProgressListener = nullptr;
    // Calls queued from a worker thread reach the printer only while it lives.
    std::shared_ptr<TRpPrinter*> FAlive;
};

// To the nearest integer, halves to the even neighbour.
int RpRound(long double Value);
// The shared report printer, made with no owner on first use.
TRpPrinter* RpPrinter();
// 1-based position of Substr in S, 0 when absent.
int AnsiPos(const std::string& Substr, const std::string& S);
// The printer index a composite report chose; -999 makes the preview take
// its printer values from the report.
extern int32_t CompositePrinterIndex;
// The font families of the printer (on this system the same as the screen's).
std::unique_ptr<TStringList> GetFonts();
