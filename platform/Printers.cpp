#include "platform/Printers.h"

#include "platform/Application.h"
#include "platform/private/CanvasQt.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

namespace {

struct TPaper {
    int Code;
    QPageSize::PageSizeId Id;
};

const TPaper Papers[] = {
    {DMPAPER_LETTER, QPageSize::Letter},       {DMPAPER_TABLOID, QPageSize::Tabloid},
    {DMPAPER_LEDGER, QPageSize::Ledger},       {DMPAPER_LEGAL, QPageSize::Legal},
    {DMPAPER_STATEMENT, QPageSize::Statement}, {DMPAPER_EXECUTIVE, QPageSize::Executive},
    {DMPAPER_A3, QPageSize::A3},               {DMPAPER_A4, QPageSize::A4},
    {DMPAPER_A5, QPageSize::A5},               {DMPAPER_B4, QPageSize::JisB4},
    {DMPAPER_B5, QPageSize::JisB5},            {DMPAPER_FOLIO, QPageSize::Folio},
    {DMPAPER_QUARTO, QPageSize::Quarto},       {DMPAPER_ENV_10, QPageSize::Comm10E},
    {DMPAPER_ENV_DL, QPageSize::DLE},          {DMPAPER_ENV_C5, QPageSize::C5E},
};

const TPaper* PaperOf(int Code)
{
    for (const TPaper& P : Papers)
        if (P.Code == Code)
            return &P;
    return nullptr;
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
    FMetrics.reset();
}

namespace {

void RefuseWhilePrinting(bool Printing)
{
    if (Printing)
        throw EPrinter("Printing in progress");
}

}  // namespace

void TPrinter::SetPrinterIndex(int Value)
{
    RefuseWhilePrinting(FPrinting);
    if (Value < -1 || Value >= static_cast<int>(Printers().size()))
        throw EPrinter("Printer selected is not valid");
    FPrinterIndex = Value;
    FMetrics.reset();
}

void TPrinter::SetFileName(const std::string& Value)
{
    RefuseWhilePrinting(FPrinting);
    FFileName = Value;
    FMetrics.reset();
}

bool TPrinter::PrintsToFile() { return !FFileName.empty() || Printers().empty(); }

void TPrinter::SetOrientation(TPrinterOrientation Value)
{
    RefuseWhilePrinting(FPrinting);
    FOrientation = Value;
    FMetrics.reset();
}

bool TPrinter::SetPaperSize(int Code)
{
    RefuseWhilePrinting(FPrinting);
    if (Code != DMPAPER_USER && !PaperOf(Code))
        return false;
    FPaperCode = Code;
    FMetrics.reset();
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
    FMetrics.reset();
}

int TPrinter::PaperWidth() const
{
    if (const TPaper* P = PaperOf(FPaperCode))
        return static_cast<int>(std::lround(QPageSize(P->Id).size(QPageSize::Millimeter).width() * 10));
    return FCustomWidth;
}

int TPrinter::PaperLength() const
{
    if (const TPaper* P = PaperOf(FPaperCode))
        return static_cast<int>(std::lround(QPageSize(P->Id).size(QPageSize::Millimeter).height() * 10));
    return FCustomLength;
}

std::vector<int> TPrinter::SupportedPaperSizes()
{
    std::vector<int> Codes;
    if (PrintsToFile()) {
        for (const TPaper& P : Papers)
            Codes.push_back(P.Code);
        Codes.push_back(DMPAPER_USER);
        return Codes;
    }
    const QPrinterInfo Info = FPrinterIndex < 0 ? QPrinterInfo::defaultPrinter()
                                                : QPrinterInfo::printerInfo(QString::fromStdString(FPrinters[static_cast<size_t>(FPrinterIndex)]));
    for (const QPageSize& S : Info.supportedPageSizes())
        for (const TPaper& P : Papers)
            if (P.Id == S.id() && std::find(Codes.begin(), Codes.end(), P.Code) == Codes.end())
                Codes.push_back(P.Code);
    if (Info.supportsCustomPageSizes())
        Codes.push_back(DMPAPER_USER);
    return Codes;
}

void TPrinter::SetCopies(int Value)
{
    RefuseWhilePrinting(FPrinting);
    FCopies = std::max(1, Value);
    FMetrics.reset();
}

void TPrinter::SetResolution(int Dpi)
{
    RefuseWhilePrinting(FPrinting);
    FResolution = std::max(0, Dpi);
    FMetrics.reset();
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
    if (PrintsToFile()) {
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
    if (const TPaper* Paper = PaperOf(FPaperCode))
        P.setPageSize(QPageSize(Paper->Id));
    else
        P.setPageSize(QPageSize(QSizeF(FCustomWidth / 10.0, FCustomLength / 10.0), QPageSize::Millimeter, QString(),
                                QPageSize::ExactMatch));
    P.setPageOrientation(FOrientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (PrintsToFile())
        P.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    P.setCopyCount(FCopies);
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

int TPrinter::PhysicalWidth()
{
    QPrinter& P = Metrics();
    return P.pageLayout().fullRectPixels(P.resolution()).width();
}

int TPrinter::PhysicalHeight()
{
    QPrinter& P = Metrics();
    return P.pageLayout().fullRectPixels(P.resolution()).height();
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
