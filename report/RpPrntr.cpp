#include "report/RpPrntr.h"

#include "platform/Application.h"
#include "platform/ScopeGuard.h"
#include "platform/TreeView.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

int32_t CompositePrinterIndex = 0;

int RpRound(long double Value)
{
    return static_cast<int>(std::lrint(Value));
}

namespace {

int16_t Clamp16(int32_t Value)
{
    return static_cast<int16_t>(std::clamp<int32_t>(Value, std::numeric_limits<int16_t>::min(),
                                                    std::numeric_limits<int16_t>::max()));
}

int Ordinal(TRpPaperSize Value) { return static_cast<int>(Value); }

TRpPreviewInterfaceClass& previewClass()
{
    static TRpPreviewInterfaceClass Class = TRpPreviewInterfaceClass::Of<TRpPreviewInterface>("TRpPreviewInterface");
    return Class;
}

// Lets pending window messages run; only the GUI thread has them.
void ProcessPendingMessages()
{
    if (IsMainThread())
        Application->ProcessMessages();
}

}  // namespace

// ---------------------------------------------------------------- the tables

const int cRpPaperTranslate[RpPaperSizeCount] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                                                 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 256};

const long double cRpPaperSizeMetrics[RpPaperMetricsCount][2] = {
    {215.9L, 279.4L},  // Letter
    {215.9L, 279.4L},  // LetterSmall
    {279.4L, 431.8L},  // Tabloid
    {431.8L, 279.4L},  // Ledger
    {215.9L, 355.6L},  // Legal
    {139.7L, 215.9L},  // Statement
    {190.5L, 254.0L},  // Executive
    {297, 420},        // A3
    {210, 297},        // A4
    {210, 297},        // A4Small
    {148, 210},        // A5
    {250, 354},        // B4
    {182, 257},        // B5
    {215.9L, 330.2L},  // Folio
    {215, 275},        // Quarto
    {254.0L, 355.6L},  // 10x14
    {279.4L, 431.8L},  // 11x17
    {215.9L, 279.0L},  // Note
    {98.43L, 225.4L},  // Envelope #9
    {104.8L, 241.3L},  // Envelope #10
    {114.3L, 263.5L},  // Envelope #11
    {101.6L, 279.4L},  // Envelope #12
    {127.0L, 292.1L},  // Envelope #14
    {100, 100},        // C sheet
    {100, 100},        // D sheet
    {100, 100},        // E sheet
};

const int cRpBinTranslate[RpBinCount] = {1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 14};

std::string RpPaperName(TRpPaperSize Value)
{
    return LoadResString(RpPaperSizeName(Ordinal(Value)));
}

// ------------------------------------------------------------ TPrinterSettings

void TPrinterSettings::SetPrinter(TPrinter* Value)
{
    FPrinter = Value;
    if (FPrinter && (!FPrinter->Printers().empty() || FPrinter->PrintsToFile()))
        GetPrinterSettings();
}

void TPrinterSettings::GetPrinterSettings()
{
    if (!FPrinter)
        return;
    ProcessPendingMessages();
    FDevice = FPrinter->Device();
    FDriver = FPrinter->Driver().substr(0, 63);
    FPort = FPrinter->Port();
    TDeviceMode DM = FPrinter->DeviceMode();
    bool Cancel = false;
    if (const TRpPrinterSettingsEvent Handler = OnGetPrinterSettings)
        Handler(this, Cancel, &DM);
    if (Cancel)
        return;
    const auto Has = [&DM](uint32_t Field) { return (DM.dmFields & Field) == Field; };

    FPixelsPerX = FPrinter->PixelsPerInchX();
    FPixelsPerY = FPrinter->PixelsPerInchY();
    FCopies = Has(DM_COPIES) ? DM.dmCopies : 1;
    FOutputBin = TRpBin::First;
    if (Has(DM_DEFAULTSOURCE))
        for (int B = 0; B < RpBinCount; ++B)
            if (cRpBinTranslate[B] == DM.dmDefaultSource) {
                FOutputBin = static_cast<TRpBin>(B);
                break;
            }
    if (Has(DM_DUPLEX)) {
        FDuplex = DM.dmDuplex != DMDUP_SIMPLEX;
        FExtendedDuplex = DM.dmDuplex;
    }
    const long double PerX = FPixelsPerX > 0 ? FPixelsPerX : 1;
    const long double PerY = FPixelsPerY > 0 ? FPixelsPerY : 1;
    FLeftOffset = RpRound(FPrinter->PhysicalOffsetX() / PerX * 254);
    FTopOffset = RpRound(FPrinter->PhysicalOffsetY() / PerY * 254);
    FPaperSize = TRpPaperSize::Default;
    if (Has(DM_PAPERSIZE))
        for (int S = 0; S < RpPaperSizeCount; ++S)
            if (cRpPaperTranslate[S] == DM.dmPaperSize) {
                FPaperSize = static_cast<TRpPaperSize>(S);
                break;
            }
    FPaperWidth = RpRound(FPrinter->PhysicalWidth() / PerX * 254);
    FPaperLength = RpRound(FPrinter->PhysicalHeight() / PerY * 254);
    // A printer that names no sizes keeps the list as it was.
    const std::vector<int> Codes = FPrinter->SupportedPaperSizes();
    if (!Codes.empty()) {
        FPaperSizeSupported.fill(false);
        for (int Code : Codes)
            for (int S = 1; S < RpPaperSizeCount; ++S)
                if (cRpPaperTranslate[S] == Code) {
                    FPaperSizeSupported[static_cast<size_t>(S - 1)] = true;
                    break;
                }
    }
    FPaperSizeSupported[static_cast<size_t>(Ordinal(TRpPaperSize::Custom) - 1)] = true;
    FPrintQuality = DM.dmPrintQuality;
    FCollate = DM.dmCollate;
    FColorOption = DM.dmColor;
}

void TPrinterSettings::ApplySettings()
{
    if (!FPrinter)
        return;
    FDevice = FPrinter->Device();
    FDriver = FPrinter->Driver().substr(0, 63);
    FPort = FPrinter->Port();
    TDeviceMode DM = FPrinter->DeviceMode();
    const bool PaperCodes = (DM.dmFields & DM_PAPERSIZE) != 0;
    DM.dmFields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
    DM.dmPaperLength = Clamp16(PaperLength());
    DM.dmPaperWidth = Clamp16(PaperWidth());
    if (PaperCodes && FPaperSize != TRpPaperSize::Default) {
        DM.dmFields |= DM_PAPERSIZE;
        DM.dmPaperSize = Clamp16(FUseCustomPaperCode ? FCustomPaperCode : cRpPaperTranslate[Ordinal(FPaperSize)]);
    }
    DM.dmFields |= DM_COPIES;
    DM.dmCopies = Clamp16(FCopies);
    DM.dmFields |= DM_DUPLEX;
    DM.dmDuplex = Clamp16(FExtendedDuplex != 0 ? FExtendedDuplex : FDuplex ? DMDUP_HORIZONTAL : DMDUP_SIMPLEX);
    DM.dmFields |= DM_DEFAULTSOURCE;
    DM.dmDefaultSource =
        Clamp16(FUseCustomBinCode ? FCustomBinCode : cRpBinTranslate[static_cast<int>(FOutputBin)]);
    DM.dmFields |= DM_ORIENTATION;
    DM.dmOrientation = static_cast<int16_t>(FOrientation == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
    DM.dmPrintQuality = Clamp16(FPrintQuality);
    DM.dmCollate = Clamp16(FCollate);
    DM.dmColor = Clamp16(FColorOption);
    bool Cancel = false;
    if (const TRpPrinterSettingsEvent Handler = OnApplySettings)
        Handler(this, Cancel, &DM);
    if (!Cancel)
        FPrinter->SetDeviceMode(DM);
}

bool TPrinterSettings::Supported(uint32_t Setting) const
{
    return FPrinter && (FPrinter->DeviceMode().dmFields & Setting) == Setting;
}

void TPrinterSettings::SetCopies(int32_t Value)
{
    if (Supported(DM_COPIES))
        FCopies = Value;
}

void TPrinterSettings::SetDuplex(bool Value)
{
    if (Supported(DM_DUPLEX))
        FDuplex = Value;
}

void TPrinterSettings::SetOrientation(TPrinterOrientation Value)
{
    if (Supported(DM_ORIENTATION))
        FOrientation = Value;
}

void TPrinterSettings::SetOutputBin(TRpBin Value)
{
    if (Supported(DM_DEFAULTSOURCE))
        FOutputBin = Value;
}

void TPrinterSettings::SetPaperSize(TRpPaperSize Value)
{
    if (Value == TRpPaperSize::Default || PaperSizeSupported(Value))
        FPaperSize = Value;
}

bool TPrinterSettings::PaperSizeSupported(TRpPaperSize Value) const
{
    const int S = Ordinal(Value);
    return S >= 1 && S < RpPaperSizeCount && FPaperSizeSupported[static_cast<size_t>(S - 1)];
}

int32_t TPrinterSettings::PaperWidth() const
{
    if (FPaperSize == TRpPaperSize::Default || FPaperSize == TRpPaperSize::Custom)
        return FPaperWidth;
    return RpRound(cRpPaperSizeMetrics[Ordinal(FPaperSize) - 1][0] * 10);
}

int32_t TPrinterSettings::PaperLength() const
{
    if (FPaperSize == TRpPaperSize::Default || FPaperSize == TRpPaperSize::Custom)
        return FPaperLength;
    return RpRound(cRpPaperSizeMetrics[Ordinal(FPaperSize) - 1][1] * 10);
}

// ---------------------------------------------------------- TRpPrinterSettings

void TRpPrinterSettings::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TRpPrinterSettings*>(Source);
    if (!S) {
        TPersistent::Assign(Source);
        return;
    }
    FCopies = S->FCopies;
    FDuplex = S->FDuplex;
    FOrientation = S->FOrientation;
    FOutputBin = S->FOutputBin;
    FPaperSize = S->FPaperSize;
    FPrinterIndex = S->FPrinterIndex;
    FTitle = S->FTitle;
    FFirstPage = S->FFirstPage;
    FLastPage = S->FLastPage;
    FUseStandardprinter = S->FUseStandardprinter;
    FExtendedDuplex = S->FExtendedDuplex;
    FMemoryLimit = S->FMemoryLimit;
    FPrintQuality = S->FPrintQuality;
    FCollate = S->FCollate;
    FColorOption = S->FColorOption;
    FUseCustomBinCode = S->FUseCustomBinCode;
    FCustomBinCode = S->FCustomBinCode;
    FUseCustomPaperCode = S->FUseCustomPaperCode;
    FCustomPaperCode = S->FCustomPaperCode;
}

void TRpPrinterSettings::ApplySettings(TRpPrinter* APrinter) const
{
    APrinter->SetPrinterIndex(FPrinterIndex);
    APrinter->SetPaperSize(FPaperSize);
    APrinter->SetCopies(FCopies);
    APrinter->SetDuplex(FDuplex);
    APrinter->SetOrientation(FOrientation);
    APrinter->SetBin(FOutputBin);
    APrinter->SetTitle(FTitle);
}

// ----------------------------------------------------------- preview classes

void RegisterPreviewClass(const TRpPreviewInterfaceClass& AClass)
{
    previewClass() = AClass;
}

const TRpPreviewInterfaceClass& RegisteredPreviewClass()
{
    return previewClass();
}

// ------------------------------------------------------------------ TRpPrinter

// Hears of the printer's Client and Master windows going.
class TRpPrinterLink : public TComponent {
public:
    explicit TRpPrinterLink(TRpPrinter* APrinter) : TComponent(nullptr), FPrinter(APrinter) {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove)
            FPrinter->WindowGone(AComponent);
    }

private:
    TRpPrinter* FPrinter;
};

TRpPrinter::TRpPrinter(TComponent* AOwner)
    : FLink(std::make_unique<TRpPrinterLink>(this)), FAlive(std::make_shared<TRpPrinter*>(this))
{
    TPrinter* Shared = ::Printer();
    FPrintersAvailable = !Shared->Printers().empty() || Shared->PrintsToFile();
    FSettings = std::make_unique<TPrinterSettings>();
    if (const auto* Host = dynamic_cast<const IRpPrinterHost*>(AOwner)) {
        FParentReport = AOwner;
        FSettings->SetUseStandardPrinter(Host->HostPrinterSettings().UseStandardprinter());
        FSettings->SetMemoryLimit(Host->HostPrinterSettings().MemoryLimit());
    } else {
        FSettings->SetUseStandardPrinter(false);
    }
    if (FSettings->UseStandardPrinter()) {
        FPrinter = Shared;
    } else {
        FOwnPrinter = std::make_unique<TPrinter>();
        FPrinter = FOwnPrinter.get();
    }
    if (FPrintersAvailable) {
        // The private printer takes over the shared one's queue and file
        // before the settings are read, so that they describe the output
        // the pages go to.
        if (FOwnPrinter) {
            const int Index = Shared->PrinterIndex();
            if (Index >= 0 && Index < static_cast<int>(FPrinter->Printers().size()))
                FPrinter->SetPrinterIndex(Index);
            FPrinter->SetFileName(Shared->FileName());
        }
        ProcessPendingMessages();
        FSettings->SetPrinter(FPrinter);
    }
    FTopWaste = FSettings->TopOffset();
    FLeftWaste = FSettings->LeftOffset();
    FPageList = std::make_unique<TRpPageList>();
}

TRpPrinter::~TRpPrinter()
{
    SetProgressListener(nullptr);
    if (FStatus != mpReady)
        Cleanup();
    if (auto* C = dynamic_cast<IRpPrinterClient*>(FClient))
        C->RpPrinterFreed(this);
}

void TRpPrinter::Cleanup()
{
    if (FStatus == mpBusy) {
        FCancelled = true;
        if (FDestination == rpdPrinter && FPrinter->Printing())
            FPrinter->Abort();
    }
    DropPage();
    FPageList->SetStream(nullptr);
    FPageList->Clear();
    FStatus = mpReady;
}

int TRpPrinter::XPos(long double X) const { return RpRound((X - FLeftWaste) * FXFactor); }
int TRpPrinter::YPos(long double Y) const { return RpRound((Y - FTopWaste) * FYFactor); }
int TRpPrinter::XSize(long double X) const { return RpRound(X * FXFactor); }
int TRpPrinter::YSize(long double Y) const { return RpRound(Y * FYFactor); }

int32_t TRpPrinter::LeftWaste() const { return FDestination == rpdPrinter ? FSettings->LeftOffset() : 0; }
int32_t TRpPrinter::TopWaste() const { return FDestination == rpdPrinter ? FSettings->TopOffset() : 0; }

void TRpPrinter::UseScreenFactors()
{
    // Written only when they change: a preview reads them while a worker
    // thread begins the run.
    const long double Factor = Screen->PixelsPerInch() / 254.0L;
    if (FXFactor != Factor || FYFactor != Factor) {
        FYFactor = Factor;
        FXFactor = Factor;
    }
}

void TRpPrinter::UsePrinterFactors()
{
    FXFactor = FPrinter->PixelsPerInchX() / 254.0L;
    FYFactor = FPrinter->PixelsPerInchY() / 254.0L;
}

void TRpPrinter::BeginDoc()
{
    // A run in progress stays as it is.
    if (FStatus != mpReady)
        throw ERpError(LoadResString(SRpPrinterNotReady));
    FPageMetafile.reset();
    FAvailablePages = 0;
    FCancelled = false;
    if (FDestination == rpdPrinter)
        FSettings->ApplySettings();
    FTopWaste = TopWaste();
    FLeftWaste = LeftWaste();
    FPageNumber = 0;
    FPageCount = 0;
    FStatus = mpBusy;
    if (FDestination == rpdMetafile) {
        FPageList->SetStream(std::make_unique<TRpStream>(FSettings->MemoryLimit()));
        FPageList->Clear();
        UseScreenFactors();
    } else {
        UsePrinterFactors();
    }
}

bool TRpPrinter::CurrentPageOK() const
{
    return !((FFirstPage > 0 && FPageCount < FFirstPage) || (FLastPage > 0 && FPageCount > FLastPage));
}

void TRpPrinter::NewPage()
{
    if (FStatus != mpBusy)
        throw ERpError(LoadResString(SRpIllegalNewPage));
    if (FPageNumber > 0) {
        FinishPage();
        SetAvailablePages(FAvailablePages + 1);
    }
    ++FPageCount;
    ++FPageNumber;
    if (FDestination == rpdPrinter && CurrentPageOK())
        OpenPrinterPage();
    else
        OpenMetafilePage();
}

void TRpPrinter::OpenMetafilePage()
{
    FPageMetafile = std::make_unique<TMetafile>();
    FPageMetafile->SetWidth(XSize(PaperWidthValue()));
    FPageMetafile->SetHeight(YSize(PaperLengthValue()));
    FMetafileCanvas = std::make_unique<TMetafileCanvas>(FPageMetafile.get(), nullptr);
    FCanvas = FMetafileCanvas.get();
    UseScreenFactors();
    FHyperlinks = std::make_unique<THyperlinkList>();
}

void TRpPrinter::OpenPrinterPage()
{
    // The printer's page ends when the next one starts or the job ends, so
    // the last page in the range leaves no blank sheet behind it.
    if (FPrinter->Printing()) {
        FPrinter->NewPage();
    } else {
        FPrinter->SetTitle(FTitle);
        FPrinter->BeginDoc();
    }
    FCanvas = FPrinter->Canvas();
    UsePrinterFactors();
}

void TRpPrinter::FinishPage()
{
    if (FDestination == rpdMetafile) {
        FCanvas = nullptr;
        FMetafileCanvas.reset();   // completes the metafile
        if (FPageMetafile)
            FPageList->AddPage(FPageMetafile.get());
        FPageMetafile.reset();
        FHyperlinks.reset();
    } else {
        // A printed page stays on the printer; a scratch page goes.
        DropPage();
    }
}

void TRpPrinter::DropPage()
{
    FCanvas = nullptr;
    FMetafileCanvas.reset();
    FPageMetafile.reset();
    FHyperlinks.reset();
}

void TRpPrinter::EndDoc()
{
    if (FStatus != mpBusy)
        return;
    if (FDestination == rpdPrinter) {
        DropPage();
        if (FPrinter->Printing())
            FPrinter->EndDoc();
    } else if (FPageNumber > 0) {
        FinishPage();
    }
    SetAvailablePages(FAvailablePages + 1);
    FStatus = mpFinished;
    ProcessPendingMessages();
    if (FDestination == rpdMetafile)
        FPageList->Finish();
    else
        AfterPrint();
}

void TRpPrinter::AbortDoc()
{
    if (FStatus != mpBusy)
        return;
    if (FDestination == rpdPrinter) {
        DropPage();
        FPrinter->Abort();
    } else {
        if (FPageMetafile) {
            FinishPage();
            SetAvailablePages(FAvailablePages + 1);
        }
        // The header counts the pages kept, so a file saved from them (or
        // the stream itself) never announces fewer pages than it holds.
        FPageList->Finish();
    }
    FStatus = mpFinished;
}

std::unique_ptr<TMetafile> TRpPrinter::Page(int Index)
{
    if ((FStatus == mpBusy || FStatus == mpFinished) && Index >= 1 && Index <= FPageCount)
        return FPageList->GetPage(Index);
    return nullptr;
}

void TRpPrinter::GetPageEx(int Index, std::unique_ptr<TMetafile>& Metafile, std::unique_ptr<THyperlinkList>& Links)
{
    FPageList->GetPageEx(Index, Metafile, Links);
}

int32_t TRpPrinter::PaperWidthValue() const
{
    return Orientation() == poLandscape ? FSettings->PaperLength() : FSettings->PaperWidth();
}

int32_t TRpPrinter::PaperLengthValue() const
{
    return Orientation() == poLandscape ? FSettings->PaperWidth() : FSettings->PaperLength();
}

void TRpPrinter::AfterPrint()
{
    if (const TNotifyEvent Handler = OnAfterPrint) {
        try {
            Handler(this);
        } catch (...) {
            // A failing after-print handler does not make the print fail.
        }
    }
}

void TRpPrinter::Print(TRpProgressListener* Progress)
{
    if (FMaster && !FPrintStoredPages && FStatus == mpFinished) {
        PostMessage(dynamic_cast<TMessageTarget*>(FMaster), CM_RPPRINT);
        return;
    }
    // A print asked for while this one runs (its progress window lets
    // messages through) is refused rather than dropping this one's job.
    if (FStatus != mpFinished || !FPrintersAvailable || FPrintingPages)
        return;
    // Only the pages there are: no blank sheets after the last one, and no
    // job at all when the range starts after it.
    const int First = std::max(FFirstPage, 1);
    const int Last = FLastPage > 0 ? std::min<int>(FLastPage, FPageCount) : static_cast<int>(FPageCount);
    if (First > Last)
        return;
    FCancelled = false;
    FPrinter->SetTitle(FTitle);
    FPrinter->Abort();
    FSettings->ApplySettings();
    FPrinter->BeginDoc();
    TScopeExit DropJob([this] { FPrinter->Abort(); });
    TValueRollback<bool> Printing(FPrintingPages, true);
    {
        // The progress goes to the listener only; then the former client
        // (a preview printing its pages) is the client again, unless it went.
        FFormerClient = FClient;
        SetClient(nullptr);
        TScopeExit GiveBack([this] { SetClient(std::exchange(FFormerClient, nullptr)); });
        TRpProgressListener* const Former = FProgressListener;
        if (Progress)
            SetProgressListener(Progress);
        TScopeExit EndProgress([this, Progress, Former] {
            if (Progress)
                SetProgressListener(Former);
        });
        for (int I = First; I <= Last && !FCancelled; ++I) {
            ProcessPendingMessages();
            if (FCancelled)
                break;
            SetPageNumber(I);
            SetProgress(RpRound(static_cast<long double>(I - First + 1) / (Last - First + 1) * 100));
            if (std::unique_ptr<TMetafile> Page = FPageList->GetPage(I))
                FPrinter->Canvas()->StretchDraw(Rect(0, 0, FPrinter->PageWidth(), FPrinter->PageHeight()), Page.get());
            if (I < Last && !FCancelled)
                FPrinter->NewPage();
        }
    }
    if (FCancelled)
        FPrinter->Abort();
    else
        FPrinter->EndDoc();
    DropJob.Release();
    AfterPrint();
}

void TRpPrinter::PrintMetafileDirect(const std::string& FileName, int FromPage, int ToPage)
{
    if (FStatus != mpFinished)
        return;
    FromPage = std::max(FromPage, 1);
    ToPage = std::min<int>(ToPage, FPageCount);
    if (FromPage > ToPage)
        return;
    TPrinter* P = ::Printer();
    P->BeginDoc();
    TScopeExit DropJob([P] { P->Abort(); });
    long double Width = P->PageWidth();
    long double Height = P->PageHeight();
    if (PaperSize() == TRpPaperSize::Custom) {
        Width = PaperWidth() * (P->PixelsPerInchX() / 254.0L);
        Height = PaperLength() * (P->PixelsPerInchY() / 254.0L);
    }
    for (int I = FromPage; I <= ToPage; ++I) {
        if (std::unique_ptr<TMetafile> Page = FPageList->GetPage(I))
            P->Canvas()->StretchDraw(Rect(0, 0, RpRound(Width), RpRound(Height)), Page.get());
        if (I < ToPage)
            P->NewPage();
    }
    P->EndDoc();
}

void TRpPrinter::Save(const std::string& FileName)
{
    if (FStatus == mpFinished)
        FPageList->SaveToFile(FileName);
}

void TRpPrinter::Load(const std::string& FileName)
{
    // A run under way ends; the pages shown stay when the file cannot be
    // read (the page list keeps them on a failure).
    if (FStatus == mpBusy)
        Cleanup();
    FPageList->LoadFromFile(FileName);
    DropPage();
    FPageCount = FPageList->PageCount();
    UseScreenFactors();
    if (FPageCount > 0) {
        // The page in steps of 4 mm; the first paper size of that size, in
        // either orientation, is taken.
        int W = 0;
        int H = 0;
        if (const std::unique_ptr<TMetafile> First = FPageList->GetPage(1)) {
            W = static_cast<int>(std::trunc(First->Width() / FXFactor / 40));
            H = static_cast<int>(std::trunc(First->Height() / FXFactor / 40));
        }
        for (int S = Ordinal(TRpPaperSize::Letter); S <= Ordinal(TRpPaperSize::ESheet); ++S) {
            const int TW = static_cast<int>(std::trunc(cRpPaperSizeMetrics[S - 1][0] / 4));
            const int TL = static_cast<int>(std::trunc(cRpPaperSizeMetrics[S - 1][1] / 4));
            if (TW == W && TL == H) {
                SetPaperSize(static_cast<TRpPaperSize>(S));
                SetOrientation(poPortrait);
                break;
            }
            if (TW == H && TL == W) {
                SetPaperSize(static_cast<TRpPaperSize>(S));
                SetOrientation(poLandscape);
                break;
            }
        }
    }
    FStatus = mpFinished;
    OnPrintSetup = nullptr;
    OnExportToFilter = nullptr;
    FPrintStoredPages = true;
}

void TRpPrinter::Preview()
{
    if (const TRpPreviewEvent Handler = OnPreview) {
        Handler(this);
        return;
    }
    const TRpPreviewInterfaceClass Class = RegisteredPreviewClass();
    if (!Class.Create)
        return;
    const std::unique_ptr<TRpPreviewInterface> Interface = Class.Create(nullptr);
    FPreviewForm = Interface->Show(this);
}

void TRpPrinter::PreviewModal()
{
    if (const TRpPreviewEvent Handler = OnPreview) {
        Handler(this);
        return;
    }
    const TRpPreviewInterfaceClass Class = RegisteredPreviewClass();
    if (!Class.Create)
        return;
    const std::unique_ptr<TRpPreviewInterface> Interface = Class.Create(nullptr);
    Interface->ShowModal(this);
}

void TRpPrinter::PrintSetup()
{
    if (const TRpPrintSetupEvent Handler = OnPrintSetup)
        Handler(this);
}

void TRpPrinter::ClosePreview(TControl* Sender)
{
    if (FMaster)
        SendMessage(dynamic_cast<TMessageTarget*>(FMaster), CM_RPPREVIEWCLOSE, 0, reinterpret_cast<intptr_t>(this));
}

void TRpPrinter::ExportToFilter(TRpExportFilter* Filter)
{
    if (const TRpExportToFilterEvent Handler = OnExportToFilter)
        Handler(Filter);
}

void TRpPrinter::AddHyperlink(const TRect& Area, const std::string& Link)
{
    if (FHyperlinks)
        FHyperlinks->push_back(std::make_unique<THyperlink>(Area, Link));
}

void TRpPrinter::AddOutline(int Level, const std::string& Title, const TRect& Area)
{
    if (FStatus == mpBusy)
        FPageList->AddOutline(Level, Title, Area, FPageNumber);
}

void TRpPrinter::Watch(TWinControl* Window)
{
    if (Window)
        Window->FreeNotification(FLink.get());
}

void TRpPrinter::Unwatch(TWinControl* Window)
{
    if (Window && Window != FClient && Window != FMaster && Window != FFormerClient)
        FLink->RemoveFreeNotification(Window);
}

void TRpPrinter::WindowGone(TComponent* Window)
{
    if (Window == FClient)
        FClient = nullptr;
    if (Window == FMaster)
        FMaster = nullptr;
    if (Window == FFormerClient)
        FFormerClient = nullptr;
}

void TRpPrinter::SetClient(TWinControl* Value)
{
    TWinControl* const Old = std::exchange(FClient, Value);
    Watch(Value);
    Unwatch(Old);
}

void TRpPrinter::SetMaster(TWinControl* Value)
{
    TWinControl* const Old = std::exchange(FMaster, Value);
    Watch(Value);
    Unwatch(Old);
}

void TRpPrinter::PostToClient(uint32_t Msg, intptr_t WParam)
{
    if (!IsMainThread()) {
        // A run on a worker thread: the client is looked at on the GUI
        // thread, where it is set and freed; a printer freed before then
        // sends nothing.
        QueueToMainThread([Alive = std::weak_ptr<TRpPrinter*>(FAlive), Msg, WParam] {
            if (const std::shared_ptr<TRpPrinter*> P = Alive.lock())
                (*P)->PostToClient(Msg, WParam);
        });
        return;
    }
    if (FClient)
        PostMessage(dynamic_cast<TMessageTarget*>(FClient), Msg, WParam);
}

void TRpPrinter::SetAvailablePages(int32_t Value)
{
    FAvailablePages = Value;
    PostToClient(CM_RPPAGEAVAILABLE, Value);
}

void TRpPrinter::SetProgress(int32_t Value)
{
    FProgress = Value;
    PostToClient(CM_RPPROGRESSUPDATE, Value);
    if (FProgressListener && IsMainThread())
        FProgressListener->ShowProgress(Value);
}

void TRpPrinter::SetProgressListener(TRpProgressListener* Value)
{
    if (Value == FProgressListener)
        return;
    if (TRpProgressListener* Old = std::exchange(FProgressListener, Value))
        Old->PrintEnded();
    if (Value)
        Value->PrintStarted(this);
}

void TRpPrinter::SetShowingPreview(bool Value)
{
    const bool Was = FShowingPreview;
    // Taken before the handler runs, which may free this printer.
    FShowingPreview = Value;
    if (Was && !Value) {
        if (FStatus == mpBusy)
            Cancel();
        if (const TNotifyEvent Handler = OnAfterPreview)
            Handler(this);
    }
}

void TRpPrinter::SetPrinterIndex(int Index)
{
    if (!FPrintersAvailable || !FOwnPrinter)
        return;
    FPrinter->SetPrinterIndex(Index);
    FPrinter->ResetDeviceMode();
    FSettings->GetPrinterSettings();
}

void TRpPrinter::SetOutline(TTreeView* Value)
{
    FOutline = Value;
    FPageList->Outline()->SetTreeNodes(Value ? Value->Items() : nullptr);
}

void TRpPrinter::SetPageNumber(int32_t Value)
{
    if (Value >= 1 && Value <= FPageCount)
        FPageNumber = Value;
}

// ------------------------------------------------------------ unit functions

TRpPrinter* RpPrinter()
{
    // Kept for the program's life, like the application's printer it may use.
    static TRpPrinter* const Shared = new TRpPrinter(nullptr);
    return Shared;
}

int AnsiPos(const std::string& Substr, const std::string& S)
{
    if (Substr.empty())
        return 0;
    const size_t At = S.find(Substr);
    return At == std::string::npos ? 0 : static_cast<int>(At) + 1;
}

std::unique_ptr<TStringList> GetFonts()
{
    auto List = std::make_unique<TStringList>();
    for (const std::string& Name : ::Printer()->Fonts())
        List->Add(Name);
    return List;
}
