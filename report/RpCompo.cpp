#include "report/RpCompo.h"

#include "platform/Application.h"
#include "platform/ScopeGuard.h"
#include "report/RpPrintSetup.h"

#include <utility>

// ------------------------------------------------------------ message window

TRpCompositeWinControl::TRpCompositeWinControl(TRpCompositeReport* AComposite)
    : TWinControl(nullptr), FComposite(AComposite)
{
    SetVisible(false);
}

TRpCompositeWinControl::~TRpCompositeWinControl()
{
    if (FComposite)
        FComposite->FMessageWindow = nullptr;
}

void TRpCompositeWinControl::WndProc(TMessage& Message)
{
    if (!FComposite)
        return;
    if (Message.Msg == CM_RPPRINT)
        FComposite->CMPrint();
    else if (Message.Msg == CM_RPPREVIEWCLOSE)
        FComposite->CMPreviewClose();
}

// ------------------------------------------------------------ the composite

TRpCompositeReport::TRpCompositeReport(TComponent* AOwner)
    : TComponent(AOwner), FPrinterSettings(std::make_unique<TRpCompositePrinterSettings>()),
      FMessageWindow(new TRpCompositeWinControl(this))
{
}

TRpCompositeReport::~TRpCompositeReport()
{
    FCompositePrinter.reset();
    if (FMessageWindow) {
        FMessageWindow->FComposite = nullptr;
        delete FMessageWindow;
    }
    FTempReport.reset();
}

void TRpCompositeReport::CMPrint()
{
    Print();
}

void TRpCompositeReport::CMPreviewClose()
{
    if (FRunning) {
        if (FCurrentReport)
            FCurrentReport->Cancel();
        return;
    }
    if (FCompositePrinter && FCompositePrinter->ShowingPreview())
        FCompositePrinter->SetShowingPreview(false);
    FCompositePrinter.reset();
}

void TRpCompositeReport::SetPrinterValues()
{
    TRpPrinter* P = FCompositePrinter.get();
    const TRpCompositePrinterSettings& S = *FPrinterSettings;
    P->SetPrinterIndex(S.PrinterIndex());
    P->SetPaperSize(S.PaperSize());
    P->SetOrientation(S.Orientation());
    P->SetCopies(S.Copies());
    P->SetBin(S.OutputBin());
    P->SetFirstPage(S.FirstPage());
    P->SetLastPage(S.LastPage());
    P->SetTitle(S.Title());
    P->SetPrintMetafile(S.PrintMetaFile());
    P->SetUseCustomBinCode(S.UseCustomBinCode());
    P->SetCustomBinCode(S.CustomBinCode());
    P->SetUseCustomPaperCode(S.UseCustomPaperCode());
    P->SetCustomPaperCode(S.CustomPaperCode());
    P->SetExtendedDuplex(S.ExtendedDuplex());
    P->SetPrintQuality(S.PrintQuality());
    P->SetCollate(S.Collate());
    P->SetColorOption(S.ColorOption());
}

void TRpCompositeReport::PrinterSetup()
{
    TPrinter* Shared = ::Printer();
    Shared->ResetDeviceMode();
    TRpPrintSetup Setup;
    Setup.MaxPage = 9999;
    if (FCompositePrinter && FCompositePrinter->Status() == mpFinished) {
        Setup.MinPage = 1;
        Setup.MaxPage = FCompositePrinter->PageCount();
    }
    Setup.Copies = FPrinterSettings->Copies();
    if (!ExecutePrintSetupDialog(Setup)) {
        SetTag(1);
        return;
    }
    FPrinterSettings->SetCopies(Setup.Copies);
    FPrinterSettings->SetPrinterIndex(Shared->PrinterIndex());
    CompositePrinterIndex = Shared->PrinterIndex();
    FPrinterSettings->SetFirstPage(Setup.PageRange ? Setup.FromPage : 0);
    FPrinterSettings->SetLastPage(Setup.PageRange ? Setup.ToPage : 0);
    SetTag(0);
}

void TRpCompositeReport::Finished(TObject* Sender)
{
    if (const TNotifyEvent Handler = OnFinished)
        Handler(Sender);
}

void TRpCompositeReport::CollectReports()
{
    FReports.clear();
    if (FMessageWindow)
        if (auto* Parent = dynamic_cast<TWinControl*>(Owner()))
            FMessageWindow->SetParent(Parent);
    if (FCompositePrinter)
        FCompositePrinter->SetPrinterIndex(FPrinterSettings->PrinterIndex());
    if (const TNotifyEvent Handler = OnAddReports)
        Handler(this);
}

void TRpCompositeReport::CreateComposite()
{
    if (FRunning || !FCompositePrinter)
        return;
    CollectReports();
    if (!FReports.empty()) {
        TRpPrinter* P = FCompositePrinter.get();
        SetPrinterValues();
        P->BeginDoc();
        RunReports(P, nullptr);
    }
    Finished(this);
}

void TRpCompositeReport::Prepare()
{
    FCompositePrinter = std::make_unique<TRpPrinter>(this);
    FCompositePrinter->SetDestination(rpdMetafile);
    FCompositePrinter->SetMaster(FMessageWindow);
    CreateComposite();
}

bool TRpCompositeReport::MakeRunPrinter(TRpPrinterDestination Destination)
{
    CollectReports();
    if (FReports.empty())
        return false;
    TCustomRpReport* First = FReports.front();
    FTempReport = std::make_unique<TRpReport>(nullptr);
    FTempReport->Page()->SetOrientation(First->Page()->Orientation());
    FTempReport->Page()->SetPaperSize(First->Page()->PaperSize());
    FTempReport->SetPreviewWidth(First->PreviewWidth());
    FTempReport->SetPreviewHeight(First->PreviewHeight());
    FTempReport->SetPrevShowThumbs(First->PrevShowThumbs());
    FTempReport->SetPrevShowSearch(First->PrevShowSearch());
    FTempReport->SetPrevInitialZoom(First->PrevInitialZoom());
    FTempReport->SetPrevFormStyle(First->PrevFormStyle());
    FTempReport->SetPreviewInitialState(First->PreviewInitialState());
    FTempReport->SetReportTitle(FReportTitle);
    FCompositePrinter = std::make_unique<TRpPrinter>(FTempReport.get());
    FCompositePrinter->SetOrientation(First->Page()->Orientation());
    FPrinterSettings->SetOrientation(First->Page()->Orientation());
    FPrinterSettings->SetPaperSize(First->Page()->PaperSize());
    FCompositePrinter->SetDestination(Destination);
    return true;
}

void TRpCompositeReport::Print()
{
    if (FRunning)
        return;
    std::unique_ptr<TRpPrinter> Remembered = std::move(FCompositePrinter);
    TScopeExit PutBack([this, &Remembered] {
        FCompositePrinter = std::move(Remembered);
        FTempReport.reset();
    });
    if (!MakeRunPrinter(rpdPrinter))
        return;
    CreateComposite();
}

void TRpCompositeReport::Preview()
{
    if (FRunning)
        return;
    std::unique_ptr<TRpPrinter> Remembered = std::move(FCompositePrinter);
    TScopeExit PutBack([this, &Remembered] {
        FCompositePrinter = std::move(Remembered);
        FTempReport.reset();
    });
    if (!MakeRunPrinter(rpdMetafile))
        return;
    TRpPrinter* P = FCompositePrinter.get();
    P->OnPrintSetup = [this](TObject*) { PrinterSetup(); };
    P->SetMaster(FMessageWindow);
    P->OnPreview = FReports.front()->OnPreview;
    P->OnExportToFilter = [this](TRpExportFilter* Filter) { ExportToFilter(Filter); };
    P->SetTitle(FReportTitle);
    P->UseScreenFactors();
    P->Preview();
    CreateComposite();
    if (FCompositePrinter)
        FCompositePrinter->SetPrintStoredPages(true);
    while (FCompositePrinter && FCompositePrinter->ShowingPreview() && !Application->Terminated())
        Application->HandleMessage();
}

void TRpCompositeReport::ExportToFilter(TRpExportFilter* Filter)
{
    if (FRunning || !Filter)
        return;
    std::unique_ptr<TRpPrinter> Remembered = std::move(FCompositePrinter);
    TScopeExit PutBack([this, &Remembered] {
        FCompositePrinter = std::move(Remembered);
        Finished(this);
    });
    FCompositePrinter = std::make_unique<TRpPrinter>(this);
    FCompositePrinter->SetDestination(rpdPrinter);
    CollectReports();
    if (FReports.empty())
        return;
    TRpPrinter* P = FCompositePrinter.get();
    SetPrinterValues();
    P->SetDestination(rpdMetafile);
    P->BeginDoc();
    P->NewPage();
    RunReports(P, Filter);
}

void TRpCompositeReport::RunReports(TRpPrinter* P, TRpExportFilter* Filter)
{
    // The first band of the first report finds no room: page 1 begins.
    int32_t Y = RpRound(FReports.front()->Page()->NativeValue(1));
    int32_t Column = 0;
    int32_t PageNo = 0;
    bool Cancelled = false;
    {
        TValueRollback<bool> Running(FRunning, true);
        TScopeExit NoCurrent([this] { FCurrentReport = nullptr; });
        for (size_t I = 0; I < FReports.size(); ++I) {
            TCustomRpReport* R = FReports[I];
            FCurrentReport = R;
            // The report's own printer comes back after its part.
            TValueRollback<TRpPrinter*> Printer(R->FRunPrinter, P);
            R->FRun.CurrentY = Y;
            R->FRun.PageNo = PageNo;
            R->FRun.CurrentColumn = Column;
            const int SavedTag = R->Tag();
            if (I + 1 == FReports.size())
                R->SetTag(999);
            TScopeExit PutTagBack([R, SavedTag] { R->SetTag(SavedTag); });
            // Through the filter the report runs on the composite's pages.
            R->FRun.ExportFilter = Filter;
            if (Filter) {
                R->FRun.Exporting = true;
                R->FRun.FinishDoc = false;
            }
            TScopeExit Detach([R, Filter] {
                if (!Filter)
                    return;
                R->FRun.ExportFilter = nullptr;
                R->FRun.Exporting = false;
                R->FRun.FinishDoc = true;
            });
            R->CreateReport(true);
            if (R->Cancelled() || P->Cancelled()) {
                Cancelled = true;
                break;
            }
            Finished(R);
            Column = R->CurrentColumn();
            Y = R->CurrentY();
            PageNo = R->PageNo();
        }
    }
    if (Cancelled) {
        // No document: the pages and any printer job go with the printer.
        FCompositePrinter.reset();
    } else {
        P->EndDoc();
    }
}
