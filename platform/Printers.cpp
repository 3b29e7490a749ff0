#include "platform/Printers.h"

#include "platform/Application.h"
#include "platform/private/CanvasQt.h"

#include <QFile>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>

namespace {

// Every paper code with its size in millimetres, portrait. A size that is
// one of Qt's standard sizes to the hundredth of a millimetre goes to the
// print system under that size's name; the others as custom sizes.
struct TPaper {
    int Code;
    double Width, Length;
};

const TPaper Papers[] = {
    {DMPAPER_LETTER, 215.9, 279.4},  {DMPAPER_LETTERSMALL, 215.9, 279.4}, {DMPAPER_TABLOID, 279.4, 431.8},
    {DMPAPER_LEDGER, 431.8, 279.4},  {DMPAPER_LEGAL, 215.9, 355.6},       {DMPAPER_STATEMENT, 139.7, 215.9},
    {DMPAPER_EXECUTIVE, 190.5, 254}, {DMPAPER_A3, 297, 420},              {DMPAPER_A4, 210, 297},
    {DMPAPER_A4SMALL, 210, 297},     {DMPAPER_A5, 148, 210},              {DMPAPER_B4, 250, 354},
    {DMPAPER_B5, 182, 257},          {DMPAPER_FOLIO, 215.9, 330.2},       {DMPAPER_QUARTO, 215, 275},
    {DMPAPER_10X14, 254, 355.6},     {DMPAPER_11X17, 279.4, 431.8},       {DMPAPER_NOTE, 215.9, 279},
    {DMPAPER_ENV_9, 98.43, 225.4},   {DMPAPER_ENV_10, 104.8, 241.3},      {DMPAPER_ENV_11, 114.3, 263.5},
    {DMPAPER_ENV_12, 101.6, 279.4},  {DMPAPER_ENV_14, 127, 292.1},        {DMPAPER_CSHEET, 100, 100},
    {DMPAPER_DSHEET, 100, 100},      {DMPAPER_ESHEET, 100, 100},          {DMPAPER_ENV_DL, 110, 220},
    {DMPAPER_ENV_C5, 162, 229},
};

const TPaper* PaperOf(int Code)
{
    for (const TPaper& P : Papers)
        if (P.Code == Code)
            return &P;
    return nullptr;
}

int Tenths(double Millimetres) { return static_cast<int>(std::lround(Millimetres * 10)); }

QPageSize PageSizeOf(double Width, double Length)
{
    return QPageSize(QSizeF(Width, Length), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
}

// The first code whose size is Width x Length (0.1 mm) to within 0.2 mm, 0 when none.
int CodeOfSize(double Width, double Length)
{
    for (const TPaper& P : Papers)
        if (std::abs(P.Width * 10 - Width) <= 2 && std::abs(P.Length * 10 - Length) <= 2)
            return P.Code;
    return 0;
}

}  // namespace

struct TPrinter::TJob {
    // Destroyed in reverse: the surface, then the painter, then the device.
    std::unique_ptr<QPrinter> Device;
    QPainter Painter;
    std::unique_ptr<TCanvasSurface> Surface;
    std::string File;
};

TPrinter::TPrinter() = default;

TPrinter::~TPrinter()
{
    if (FPrinting)
        Abort();
}

const std::vector<std::string>& TPrinter::Printers()
{
    if (!FPrintersRead)
        Refresh();
    return FPrinters;
}

void TPrinter::Refresh()
{
    EnsureApplication();
    FPrinters.clear();
    for (const QString& Name : QPrinterInfo::availablePrinterNames())
        FPrinters.push_back(Name.toStdString());
    FPrintersRead = true;
    if (FPrinterIndex >= static_cast<int>(FPrinters.size()))
        FPrinterIndex = -1;
    Changed();
}

namespace {

void RefuseWhilePrinting(bool Printing)
{
    if (Printing)
        throw EPrinter("Printing in progress");
}

}  // namespace

void TPrinter::Changed()
{
    FMetrics.reset();
    FSupportedFields = 0;
}

void TPrinter::SetPrinterIndex(int Value)
{
    RefuseWhilePrinting(FPrinting);
    if (Value < -1 || Value >= static_cast<int>(Printers().size()))
        throw EPrinter("Printer selected is not valid");
    FPrinterIndex = Value;
    Changed();
}

void TPrinter::SetFileName(const std::string& Value)
{
    RefuseWhilePrinting(FPrinting);
    FFileName = Value;
    Changed();
}

bool TPrinter::PrintsToFile() { return !FFileName.empty() || Printers().empty(); }

void TPrinter::SetOrientation(TPrinterOrientation Value)
{
    RefuseWhilePrinting(FPrinting);
    FOrientation = Value;
    Changed();
}

bool TPrinter::SetPaperSize(int Code)
{
    RefuseWhilePrinting(FPrinting);
    if (Code != DMPAPER_USER && !PaperOf(Code))
        return false;
    FPaperCode = Code;
    Changed();
    return true;
}

void TPrinter::SetCustomPaperSize(int Width, int Length)
{
    RefuseWhilePrinting(FPrinting);
    if (Width <= 0 || Length <= 0)
        throw EPrinter("Paper size is not valid");
    FCustomWidth = Width;
    FCustomLength = Length;
    FPaperCode = DMPAPER_USER;
    Changed();
}

int TPrinter::PaperWidth() const
{
    if (const TPaper* P = PaperOf(FPaperCode))
        return Tenths(P->Width);
    return FCustomWidth;
}

int TPrinter::PaperLength() const
{
    if (const TPaper* P = PaperOf(FPaperCode))
        return Tenths(P->Length);
    return FCustomLength;
}

bool TPrinter::PaperDimensions(int Code, int& Width, int& Length)
{
    const TPaper* P = PaperOf(Code);
    if (!P)
        return false;
    Width = Tenths(P->Width);
    Length = Tenths(P->Length);
    return true;
}

int TPrinter::PaperCode(int Width, int Length) { return CodeOfSize(Width, Length); }

namespace {

QPrinterInfo QueueInfo(int Index, const std::vector<std::string>& Names)
{
    if (Index < 0 || Index >= static_cast<int>(Names.size()))
        return QPrinterInfo::defaultPrinter();
    return QPrinterInfo::printerInfo(QString::fromStdString(Names[static_cast<size_t>(Index)]));
}

}  // namespace

std::vector<int> TPrinter::SupportedPaperSizes()
{
    std::vector<int> Codes;
    if (PrintsToFile()) {
        for (const TPaper& P : Papers)
            Codes.push_back(P.Code);
        Codes.push_back(DMPAPER_USER);
        return Codes;
    }
    // A queue names its sizes; each code of the same size is offered.
    const QPrinterInfo Info = QueueInfo(FPrinterIndex, Printers());
    for (const QPageSize& S : Info.supportedPageSizes()) {
        const QSizeF Mm = S.size(QPageSize::Millimeter);
        for (const TPaper& P : Papers)
            if (std::abs(P.Width - Mm.width()) <= 0.2 && std::abs(P.Length - Mm.height()) <= 0.2 &&
                std::find(Codes.begin(), Codes.end(), P.Code) == Codes.end())
                Codes.push_back(P.Code);
    }
    if (Info.supportsCustomPageSizes())
        Codes.push_back(DMPAPER_USER);
    return Codes;
}

void TPrinter::SetCopies(int Value)
{
    RefuseWhilePrinting(FPrinting);
    FCopies = std::max(1, Value);
    Changed();
}

void TPrinter::SetResolution(int Dpi)
{
    RefuseWhilePrinting(FPrinting);
    FResolution = std::max(0, Dpi);
    Changed();
}

std::string TPrinter::Device()
{
    if (PrintsToFile())
        return "PDF";
    if (FPrinterIndex >= 0)
        return Printers()[static_cast<size_t>(FPrinterIndex)];
    return QPrinterInfo::defaultPrinterName().toStdString();
}

std::string TPrinter::Driver()
{
    return PrintsToFile() ? std::string() : QueueInfo(FPrinterIndex, Printers()).makeAndModel().toStdString();
}

std::string TPrinter::Port() { return PrintsToFile() ? OutputFile() : std::string(); }

uint32_t TPrinter::SupportedFields()
{
    if (FSupportedFields != 0)
        return FSupportedFields;
    uint32_t Fields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COLOR;
    if (!PrintsToFile()) {
        // A PDF file holds one copy and no printer options. The print
        // system names no paper sources of a queue: a source is kept only.
        Fields |= DM_COPIES | DM_COLLATE;
        const QPrinterInfo Info = QueueInfo(FPrinterIndex, Printers());
        for (QPrinter::DuplexMode M : Info.supportedDuplexModes())
            if (M == QPrinter::DuplexLongSide || M == QPrinter::DuplexShortSide)
                Fields |= DM_DUPLEX;
    }
    FSupportedFields = Fields;
    return Fields;
}

TDeviceMode TPrinter::DeviceMode()
{
    TDeviceMode D;
    D.dmFields = SupportedFields();
    D.dmOrientation = static_cast<int16_t>(FOrientation == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
    D.dmPaperSize = static_cast<int16_t>(FPaperCode);
    D.dmPaperWidth = static_cast<int16_t>(PaperWidth());
    D.dmPaperLength = static_cast<int16_t>(PaperLength());
    D.dmCopies = static_cast<int16_t>(FCopies);
    D.dmDefaultSource = static_cast<int16_t>(FSource);
    D.dmPrintQuality = static_cast<int16_t>(FPrintQuality);
    D.dmColor = static_cast<int16_t>(FColor);
    D.dmDuplex = static_cast<int16_t>(FDuplex);
    D.dmCollate = static_cast<int16_t>(FCollate);
    return D;
}

void TPrinter::SetDeviceMode(const TDeviceMode& Value)
{
    RefuseWhilePrinting(FPrinting);
    const auto Has = [&](uint32_t Field) { return (Value.dmFields & Field) != 0; };
    if (Has(DM_ORIENTATION) && (Value.dmOrientation == DMORIENT_PORTRAIT || Value.dmOrientation == DMORIENT_LANDSCAPE))
        FOrientation = Value.dmOrientation == DMORIENT_LANDSCAPE ? poLandscape : poPortrait;
    const bool Sized = Has(DM_PAPERWIDTH) && Has(DM_PAPERLENGTH) && Value.dmPaperWidth > 0 && Value.dmPaperLength > 0;
    if (Has(DM_PAPERSIZE) && PaperOf(Value.dmPaperSize)) {
        FPaperCode = Value.dmPaperSize;
    } else if (Sized && (!Has(DM_PAPERSIZE) || Value.dmPaperSize == DMPAPER_USER)) {
        const int W = Value.dmPaperWidth, L = Value.dmPaperLength;
        if (!(W == PaperWidth() && L == PaperLength())) {
            if (const int Code = CodeOfSize(W, L)) {
                FPaperCode = Code;
            } else {
                FCustomWidth = W;
                FCustomLength = L;
                FPaperCode = DMPAPER_USER;
            }
        }
    }
    if (Has(DM_COPIES))
        FCopies = std::max<int>(1, Value.dmCopies);
    if (Has(DM_DEFAULTSOURCE) && Value.dmDefaultSource > 0)
        FSource = Value.dmDefaultSource;
    if (Has(DM_PRINTQUALITY))
        FPrintQuality = Value.dmPrintQuality;
    if (Has(DM_COLOR) && (Value.dmColor == DMCOLOR_MONOCHROME || Value.dmColor == DMCOLOR_COLOR))
        FColor = Value.dmColor;
    if (Has(DM_DUPLEX) && Value.dmDuplex >= DMDUP_SIMPLEX && Value.dmDuplex <= DMDUP_HORIZONTAL)
        FDuplex = Value.dmDuplex;
    if (Has(DM_COLLATE) && (Value.dmCollate == DMCOLLATE_FALSE || Value.dmCollate == DMCOLLATE_TRUE))
        FCollate = Value.dmCollate;
    Changed();
}

void TPrinter::ResetDeviceMode()
{
    RefuseWhilePrinting(FPrinting);
    FOrientation = poPortrait;
    FPaperCode = DMPAPER_A4;
    FCopies = 1;
    FSource = DMBIN_AUTO;
    FPrintQuality = 0;
    FColor = DMCOLOR_COLOR;
    FDuplex = DMDUP_SIMPLEX;
    FCollate = DMCOLLATE_FALSE;
    if (!PrintsToFile()) {
        const QPrinterInfo Info = QueueInfo(FPrinterIndex, Printers());
        const QSizeF Mm = Info.defaultPageSize().size(QPageSize::Millimeter);
        if (const int Code = CodeOfSize(Mm.width() * 10, Mm.height() * 10))
            FPaperCode = Code;
        switch (Info.defaultDuplexMode()) {
        case QPrinter::DuplexLongSide: FDuplex = DMDUP_VERTICAL; break;
        case QPrinter::DuplexShortSide: FDuplex = DMDUP_HORIZONTAL; break;
        default: break;
        }
        if (Info.defaultColorMode() == QPrinter::GrayScale)
            FColor = DMCOLOR_MONOCHROME;
    }
    Changed();
}

std::vector<std::string> TPrinter::Fonts()
{
    EnsureApplication();
    std::vector<std::string> Names;
    for (const QString& Family : QFontDatabase::families())
        Names.push_back(Family.toStdString());
    return Names;
}

std::string TPrinter::OutputFile()
{
    if (!FFileName.empty())
        return FFileName;
    std::string Name;
    for (char C : FTitle)
        Name += (C == '/' || C == '\\' || C == ':' || static_cast<unsigned char>(C) < 32) ? '_' : C;
    return (Name.empty() ? std::string("document") : Name) + ".pdf";
}

void TPrinter::Configure(QPrinter& P)
{
    const bool ToFile = PrintsToFile();
    if (ToFile) {
        P.setOutputFormat(QPrinter::PdfFormat);
        P.setOutputFileName(QString::fromStdString(OutputFile()));
        P.setResolution(FResolution > 0 ? FResolution : 600);
    } else {
        P.setOutputFormat(QPrinter::NativeFormat);
        if (FPrinterIndex >= 0)
            P.setPrinterName(QString::fromStdString(FPrinters[static_cast<size_t>(FPrinterIndex)]));
        if (FResolution > 0)
            P.setResolution(FResolution);
    }
    P.setPageSize(PageSizeOf(PaperWidth() / 10.0, PaperLength() / 10.0));
    P.setPageOrientation(FOrientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (ToFile)
        P.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    P.setCopyCount(FCopies);
    P.setColorMode(FColor == DMCOLOR_MONOCHROME ? QPrinter::GrayScale : QPrinter::Color);
    if (!ToFile) {
        P.setCollateCopies(FCollate == DMCOLLATE_TRUE);
        P.setDuplex(FDuplex == DMDUP_VERTICAL     ? QPrinter::DuplexLongSide
                    : FDuplex == DMDUP_HORIZONTAL ? QPrinter::DuplexShortSide
                                                  : QPrinter::DuplexNone);
    }
    P.setDocName(QString::fromStdString(FTitle));
}

QPrinter& TPrinter::Metrics()
{
    if (FJob)
        return *FJob->Device;
    if (!FMetrics) {
        EnsureApplication();
        FMetrics = std::make_unique<QPrinter>(QPrinter::HighResolution);
        Configure(*FMetrics);
    }
    return *FMetrics;
}

int TPrinter::PixelsPerInchX() { return Metrics().resolution(); }
int TPrinter::PixelsPerInchY() { return Metrics().resolution(); }
int TPrinter::PageWidth() { return Metrics().width(); }
int TPrinter::PageHeight() { return Metrics().height(); }

// The sheet as the paper's own size gives it (the print system measures
// pages in whole points).
int TPrinter::PhysicalWidth()
{
    const int Tenths = FOrientation == poLandscape ? PaperLength() : PaperWidth();
    return static_cast<int>(std::lround(Tenths * Metrics().resolution() / 254.0));
}

int TPrinter::PhysicalHeight()
{
    const int Tenths = FOrientation == poLandscape ? PaperWidth() : PaperLength();
    return static_cast<int>(std::lround(Tenths * Metrics().resolution() / 254.0));
}

int TPrinter::PhysicalOffsetX()
{
    QPrinter& P = Metrics();
    return P.pageLayout().paintRectPixels(P.resolution()).left();
}

int TPrinter::PhysicalOffsetY()
{
    QPrinter& P = Metrics();
    return P.pageLayout().paintRectPixels(P.resolution()).top();
}

void TPrinter::BeginDoc()
{
    RefuseWhilePrinting(FPrinting);
    EnsureApplication();
    auto Job = std::make_unique<TJob>();
    Job->Device = std::make_unique<QPrinter>(QPrinter::HighResolution);
    Configure(*Job->Device);
    if (Job->Device->outputFormat() == QPrinter::PdfFormat)
        Job->File = OutputFile();
    if (!Job->Painter.begin(Job->Device.get()))
        throw EPrinter("The print job could not be started");
    const int Dpi = Job->Device->resolution();
    Job->Surface = std::make_unique<TCanvasSurface>(&Job->Painter, QSize(Job->Device->width(), Job->Device->height()), Dpi, Dpi);
    FJob = std::move(Job);
    FCanvas.SetSurface(FJob->Surface.get());
    FCanvas.ClearClip();
    FPrinting = true;
    FAborted = false;
    FPageNumber = 1;
}

void TPrinter::NewPage()
{
    if (!FPrinting)
        throw EPrinter("Printer is not currently printing");
    if (!FJob->Device->newPage())
        throw EPrinter("A new page could not be started");
    ++FPageNumber;
}

void TPrinter::EndDoc()
{
    if (!FPrinting)
        throw EPrinter("Printer is not currently printing");
    FCanvas.SetSurface(nullptr);
    FJob->Surface.reset();
    const bool Ok = FJob->Painter.end();
    FJob.reset();
    FPrinting = false;
    if (!Ok)
        throw EPrinter("The print job could not be finished");
}

void TPrinter::Abort()
{
    if (!FPrinting)
        return;
    FCanvas.SetSurface(nullptr);
    FJob->Surface.reset();
    FJob->Device->abort();
    FJob->Painter.end();
    const std::string File = FJob->File;
    FJob.reset();
    if (!File.empty())
        QFile::remove(QString::fromStdString(File));
    FPrinting = false;
    FAborted = true;
}

TPrinter* Printer()
{
    // Kept for the program's life: a printer may be in use until the end.
    static TPrinter* const Shared = new TPrinter();
    return Shared;
}
