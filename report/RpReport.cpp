// The report component: run entry points, the run itself, the band list and
// the page and column flow.
#include "report/RpReport.h"

#include "platform/Application.h"
#include "platform/ScopeGuard.h"
#include "platform/DB.h"
#include "platform/Metafile.h"
#include "report/RpCtrls.h"
#include "report/RpExportFilter.h"
#include "report/RpExtra.h"
#include "report/RpPrintSetup.h"
#include "report/RpProgressListener.h"
#include "report/RpThread.h"

#include <algorithm>
#include <cmath>

namespace {

void ProcessPending()
{
    if (IsMainThread())
        Application->ProcessMessages();
}

}  // namespace

// -------------------------------------------------------- printer settings

void TRpReportPrinterSettings::Assign(TPersistent* Source)
{
    TRpPrinterSettings::Assign(Source);
    if (auto* S = dynamic_cast<TRpReportPrinterSettings*>(Source))
        FPrintMetaFile = S->FPrintMetaFile;
}

// ------------------------------------------------------------ construction

TCustomRpReport::TCustomRpReport(TComponent* AOwner) : TRpBasePanel(AOwner)
{
    FController = std::make_unique<TRpCustomController>(this);
    FController->SetReport(this);
    FController->SetLoopSelf(this);
    FFunctions = std::make_unique<TRpEvEnvironment>();
    FRunDatasetsLookup = std::make_unique<TRpDataSetFields>(&FRun.DataSets);
    FFunctions->AddFunction("PAGENUMBER", "0");
    FFunctions->AddFunction("COLUMNNUMBER", "0");
    FFunctions->AddFunction("REPORTTITLE", "''");
    FDescription = std::make_unique<TStringList>();
    FBands = std::make_unique<TRpReportBands>(this);
    FPrinterSettings = std::make_unique<TRpReportPrinterSettings>();
    FDialogSettings = std::make_unique<TRpReportPrinterSettings>();
    FMeasureCanvas = std::make_unique<TCanvas>();
    SetColor(clWhite);
    SetBevelInner(bvNone);
    SetBevelOuter(bvNone);
    Font()->SetName("Arial");
    Font()->SetSize(10);
    FPage = std::make_unique<TRpPage>(this);
    SetBounds(0, 0, Width(), Height());
    FPage->SetParentSizes();
    // The default printer's current paper.
    const TRpPrinter Probe(nullptr);
    if (Probe.PrintersAvailable())
        FPage->SetPaperSize(Probe.PaperSize());
}

TCustomRpReport::~TCustomRpReport()
{
    // A background run ends before anything it uses goes.
    FinishWorker();
    FReportDestroying = true;
    // The bands and printables go while the report's lists still exist.
    while (ControlCount() > 0)
        delete Controls(ControlCount() - 1);
    FPrinters.clear();
}

TRpReport::TRpReport(TComponent* AOwner) : TCustomRpReport(AOwner)
{
    auto C = std::make_unique<TRpController>(this);
    C->SetReport(this);
    C->SetLoopSelf(this);
    SetController(std::move(C));
}

void TRpReport::SetControllerBands()
{
    if (auto* C = dynamic_cast<TRpController*>(Controller())) {
        C->SetLoopDetail(Bands()->GetBand(4));
        C->SetLoopHeader(Bands()->GetBand(1));
        C->SetLoopFooter(Bands()->GetBand(7));
    }
}

void TRpReport::Execute()
{
    SetControllerBands();
    if (auto* C = dynamic_cast<TRpController*>(Controller()))
        C->FNeedData = OnNeedData;
    Controller()->Execute();
}

void TCustomRpReport::Execute() { FController->Execute(); }

void TCustomRpReport::AddRunDataSet(TDataSet* Value)
{
    if (Value && std::find(FRun.DataSets.begin(), FRun.DataSets.end(), Value) == FRun.DataSets.end())
        FRun.DataSets.push_back(Value);
}

TDataSet* TRpReport::DataSet() const
{
    auto* C = dynamic_cast<TRpController*>(Controller());
    return C ? C->DataSet() : nullptr;
}

void TRpReport::SetDataSet(TDataSet* Value)
{
    if (auto* C = dynamic_cast<TRpController*>(Controller()))
        C->SetDataSet(Value);
}

int32_t TRpReport::RecordNumber() const
{
    auto* C = dynamic_cast<TRpController*>(Controller());
    return C ? C->RecordNo() : 0;
}

int32_t TRpReport::RecordCount() const
{
    TDataSet* D = DataSet();
    if (!D || !D->Active())
        return 1;
    try {
        return D->RecordCount();
    } catch (const std::exception&) {
        return 1;
    }
}

void TCustomRpReport::SetController(std::unique_ptr<TRpCustomController> Value) { FController = std::move(Value); }

bool TCustomRpReport::PrintIfEmpty() const { return FController->PrintWhenEmpty(); }
void TCustomRpReport::SetPrintIfEmpty(bool Value) { FController->SetPrintWhenEmpty(Value); }
void TCustomRpReport::AddNotifyClient(TRpPrintable* Value) { FController->AddNotifyClient(Value); }

// ---------------------------------------------------------------- properties

void TCustomRpReport::SetUnits(TRpUnit Value)
{
    FPage->SetUnits(Value);
    for (TRpCustomBand* B : FBandList)
        B->SetUnits(Value);
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* P = dynamic_cast<TRpPrintable*>(Controls(I)))
            P->Size()->SetUnits(Value);
}

void TCustomRpReport::SetZoom(int Value)
{
    if (Value < 1 || Value > 300)
        return;
    TRpBasePanel::SetZoom(Value);
    FPage->SetZoom(Value);
    FPage->FixZoom();
    SetBandValues();
}

void TCustomRpReport::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const bool Resized = AWidth != Width() || AHeight != Height();
    TRpBasePanel::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!FPage)
        return;
    if (Resized && FPage->PaperSize() == TRpPaperSize::Custom && !FPage->PushingSizes()) {
        FPage->SetPixels();
        FPage->SetWidth(AWidth);
        FPage->SetLength(AHeight);
        FPage->RestoreUnit();
    }
    SetBandValues();
}

void TCustomRpReport::Modify()
{
    if (FRepaintPending)
        return;
    FRepaintPending = true;
    FPageImage.reset();
    Invalidate();
}

int TCustomRpReport::TextWidth(TFont* AFont, const std::string& Text)
{
    FMeasureCanvas->SetFont(AFont);
    return FMeasureCanvas->TextExtent(Text).cx + 1;
}

int TCustomRpReport::TextWidthBound(TFont* AFont, const std::string& Text)
{
    FMeasureCanvas->SetFont(AFont);
    return FMeasureCanvas->TextWidthBound(Text) + 1;
}

// The height of a line, the same for every text.
int TCustomRpReport::TextHeight(TFont* AFont, const std::string&)
{
    FMeasureCanvas->SetFont(AFont);
    return FMeasureCanvas->TextHeight("A");
}

// ------------------------------------------------------------------ printers

TRpPrinter* TCustomRpReport::AdoptPrinter(std::unique_ptr<TRpPrinter> Printer)
{
    FPrinters.push_back(std::move(Printer));
    return FPrinters.back().get();
}

void TCustomRpReport::FreePrinter(TRpPrinter* Printer)
{
    if (!Printer)
        return;
    // Out of the list first: freeing may run code that looks at the list.
    auto It = std::find_if(FPrinters.begin(), FPrinters.end(), [Printer](const auto& P) { return P.get() == Printer; });
    if (It == FPrinters.end())
        return;
    std::unique_ptr<TRpPrinter> Gone = std::move(*It);
    FPrinters.erase(It);
    if (FRunPrinter == Printer)
        FRunPrinter = nullptr;
}

void TCustomRpReport::DropIdlePrinters(TRpPrinter* Keep)
{
    std::vector<TRpPrinter*> Idle;
    for (const auto& P : FPrinters)
        if (P.get() != Keep && !P->ShowingPreview())
            Idle.push_back(P.get());
    for (TRpPrinter* P : Idle)
        FreePrinter(P);
}

void TCustomRpReport::PrinterAfterPrint(TObject* Sender)
{
    if (const TNotifyEvent Handler = AfterPrint)
        Handler(this);
}

void TCustomRpReport::PrinterAfterPreview(TObject* Sender)
{
    if (const TNotifyEvent Handler = AfterPreview)
        Handler(this);
}

bool TCustomRpReport::PrepareRpPrinter()
{
    // A background run is over only once its worker has been joined.
    if (!FAvailable || FWorkerThread)
        return false;
    TWinControl* Client = FRunPrinter ? FRunPrinter->Client() : nullptr;
    TRpPrinter* P = AdoptPrinter(std::make_unique<TRpPrinter>(this));
    P->SetClient(Client);
    P->OnAfterPreview = [this](TObject* Sender) { PrinterAfterPreview(Sender); };
    P->OnAfterPrint = [this](TObject* Sender) { PrinterAfterPrint(Sender); };
    FRunPrinter = P;
    return true;
}

void TCustomRpReport::SetPrinterValues()
{
    TRpPrinter* P = FRunPrinter;
    const TRpReportPrinterSettings& S = *FPrinterSettings;
    P->SetPrinterIndex(S.PrinterIndex());
    P->SetPaperSize(FPage->PaperSize());
    if (P->PaperSize() == TRpPaperSize::Custom) {
        P->SetPaperWidth(RpRound(FPage->NativeValue(3)));
        P->SetPaperLength(RpRound(FPage->NativeValue(1)));
    }
    P->SetOrientation(FPage->Orientation());
    P->SetCopies(S.Copies());
    P->SetBin(S.OutputBin());
    P->SetFirstPage(S.FirstPage());
    P->SetLastPage(S.LastPage());
    P->SetDuplex(S.Duplex());
    P->SetPrintMetafile(S.PrintMetaFile());
    P->SetUseCustomBinCode(S.UseCustomBinCode());
    P->SetCustomBinCode(S.CustomBinCode());
    P->SetUseCustomPaperCode(S.UseCustomPaperCode());
    P->SetCustomPaperCode(S.CustomPaperCode());
    P->SetPrintQuality(S.PrintQuality());
    P->SetCollate(S.Collate());
    P->SetColorOption(S.ColorOption());
    P->SetExtendedDuplex(S.ExtendedDuplex());
    P->OnApplyPrinterSettings() = OnApplyPrinterSettings;
    P->OnGetPrinterSettings() = OnGetPrinterSettings;
}

// ---------------------------------------------------------- run entry points

void TCustomRpReport::Print()
{
    if (!FAvailable)
        return;
    TRpPrinter* Remembered = FRunPrinter;
    if (!PrepareRpPrinter())
        return;
    TRpPrinter* P = FRunPrinter;
    TScopeExit PutBack([this, P, Remembered] {
        FreePrinter(P);
        FRunPrinter = Remembered;
    });
    if (!P->PrintersAvailable())
        return;
    P->SetDestination(rpdPrinter);
    RunWithProgress(P);
}

void TCustomRpReport::RunWithProgress(TRpPrinter* P)
{
    // The window that showed the last run's pages hears nothing of this one.
    P->SetClient(nullptr);
    const std::unique_ptr<TRpProgressListener> Progress = FShowProgress ? CreateProgressWindow() : nullptr;
    P->SetProgressListener(Progress.get());
    TScopeExit EndProgress([P] { P->SetProgressListener(nullptr); });
    CreateReport(false);
}

TRpPrinter* TCustomRpReport::StartRecordedRun()
{
    TRpPrinter* Old = FRunPrinter;
    if (!PrepareRpPrinter())
        return nullptr;
    TRpPrinter* P = FRunPrinter;
    // The printer replaced goes, unless a preview still shows it.
    if (Old && !Old->ShowingPreview())
        FreePrinter(Old);
    P->SetDestination(rpdMetafile);
    P->SetMaster(this);
    SetPrinterValues();
    P->OnPrintSetup = [this](TObject*) { PrinterSetup(); };
    P->OnExportToFilter = [this](TRpExportFilter* Filter) { ExportToFilter(Filter); };
    P->SetTitle(FReportTitle);
    if (OnPreview)
        P->OnPreview = OnPreview;
    return P;
}

void TCustomRpReport::Prepare()
{
    TRpPrinter* P = StartRecordedRun();
    if (!P)
        return;
    CreateReport(false);
    P->SetPrintStoredPages(true);
}

void TCustomRpReport::Preview()
{
    ProcessPending();
    TRpPrinter* P = StartRecordedRun();
    if (!P)
        return;
    P->Preview();
    CreateReport(false);
    if (FRunPrinter != P)
        return;   // the preview closed during the run
    P->SetPrintStoredPages(true);
    if (FCancelled) {
        FreePrinter(P);
        return;
    }
    // Wait for the preview window: its closing frees the printer.
    while (FRunPrinter == P && P->ShowingPreview() && !Application->Terminated())
        Application->HandleMessage();
}

void TCustomRpReport::Cancel()
{
    if (FAvailable)
        return;
    FCancelled = true;
    if (FRunPrinter)
        FRunPrinter->Cancel();
}

void TCustomRpReport::ExportToFilter(TRpExportFilter* Filter)
{
    if (!FAvailable || !Filter)
        return;
    TRpPrinter* Remembered = FRunPrinter;
    Filter->SetOwner(this);
    Filter->SetSavedRpPrinter(Remembered);
    if (!PrepareRpPrinter())
        return;
    TRpPrinter* P = FRunPrinter;
    FRun.ExportFilter = Filter;
    FRun.Exporting = true;
    FRun.FinishDoc = false;
    TScopeExit Detach([this, P, Remembered] {
        FRun.ExportFilter = nullptr;
        FRun.Exporting = false;
        FRun.FinishDoc = true;
        FreePrinter(P);
        FRunPrinter = Remembered;
    });
    RunWithProgress(P);
}

void TCustomRpReport::PrinterSetup()
{
    TPrinter* Shared = ::Printer();
    Shared->ResetDeviceMode();
    if (FPrinterSettings->PrinterIndex() >= -1 &&
        FPrinterSettings->PrinterIndex() < static_cast<int>(Shared->Printers().size()))
        Shared->SetPrinterIndex(FPrinterSettings->PrinterIndex());
    CompositePrinterIndex = -999;
    TRpPrintSetup Setup;
    Setup.MaxPage = 9999;
    if (FRunPrinter && FRunPrinter->Status() == mpFinished) {
        Setup.MinPage = 1;
        Setup.MaxPage = FRunPrinter->PageCount();
        Setup.ToPage = FRunPrinter->PageCount();
        Setup.FromPage = 1;
    }
    Shared->SetOrientation(FPage->Orientation());
    Setup.Copies = FPrinterSettings->Copies();
    if (!ExecutePrintSetupDialog(Setup)) {
        SetTag(1);
        return;
    }
    FPrinterSettings->SetCopies(Setup.Copies);
    FPrinterSettings->SetPrinterIndex(Shared->PrinterIndex());
    FPage->SetOrientation(Shared->Orientation());
    TRpReportPrinterSettings& D = *FDialogSettings;
    D.SetCustomBinCode(Setup.OutputBin);
    D.SetExtendedDuplex(Setup.DuplexCode);
    D.SetDuplex(Setup.Duplex);
    D.SetPrintQuality(Setup.PrintQuality);
    D.SetCollate(Setup.Collate);
    D.SetColorOption(Setup.ColorOption);
    D.SetCopies(Setup.Copies);
    D.SetOrientation(Shared->Orientation());
    D.SetFirstPage(Setup.FromPage);
    D.SetLastPage(Setup.ToPage);
    D.SetOutputBin(FPrinterSettings->OutputBin());
    D.SetCustomPaperCode(Setup.PaperSize);
    D.SetPrinterIndex(Shared->PrinterIndex());
    FPrinterSettings->SetFirstPage(Setup.PageRange ? Setup.FromPage : 0);
    FPrinterSettings->SetLastPage(Setup.PageRange ? Setup.ToPage : 0);
    SetTag(0);
}

void TCustomRpReport::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_RPPAGEAVAILABLE:
        if (Message.WParam == 1 && FRunPrinter && FRunPrinter->PageCount() >= 1) {
            FPageImage = FRunPrinter->Page(1);
            Invalidate();
        }
        break;
    case CM_RPPRINT:
        Print();
        break;
    case CM_RPPREVIEWCLOSE:
        CMPreviewClose(reinterpret_cast<TRpPrinter*>(Message.LParam));
        break;
    default:
        break;
    }
}

void TCustomRpReport::CMPreviewClose(TRpPrinter* Printer)
{
    if (!FAvailable) {
        Cancel();
        return;
    }
    // A worker at the end of its run may still look at the printer.
    if (FWorkerThread)
        FWorkerThread->WaitFor();
    if (!Printer)
        Printer = FRunPrinter;
    auto It = std::find_if(FPrinters.begin(), FPrinters.end(), [Printer](const auto& P) { return P.get() == Printer; });
    if (It == FPrinters.end())
        return;
    if (Printer->ShowingPreview())
        Printer->SetShowingPreview(false);
    FreePrinter(Printer);
}

// ------------------------------------------------------------------- the run

void TCustomRpReport::CreateReport(bool Composite)
{
    if (!FAvailable || !FRunPrinter)
        return;
    // A background run leaves the image to the GUI thread, which painted it.
    if (IsMainThread())
        FPageImage.reset();
    // A negative printable area loses its margins.
    if (FPage->NativeValue(3) - FPage->NativeValue(4) - FPage->NativeValue(5) < 0) {
        FPage->SetLeftMargin(0);
        FPage->SetRightMargin(0);
    }
    if (FPage->NativeValue(1) - FPage->NativeValue(2) - FPage->NativeValue(0) < 0) {
        FPage->SetTopMargin(0);
        FPage->SetBottomMargin(0);
    }
    FAvailable = false;
    FCancelled = false;
    FRun.FinalPage = false;
    FRun.FreshPage = false;
    FRun.ColumnBreakArmed = false;
    FRun.BreakInProgress = false;
    TScopeExit Idle([this] { FAvailable = true; });
    bool PrintReport = true;
    if (const TRpReportBeforePrintEvent Handler = BeforePrint)
        Handler(this, PrintReport);
    if (!PrintReport)
        return;

    FRun.PageBackground = nullptr;
    if (!FBackImageControl.empty())
        for (int I = 0; I < ControlCount(); ++I)
            if (auto* Image = dynamic_cast<TRpImage*>(Controls(I)); Image && Image->Name() == FBackImageControl)
                FRun.PageBackground = Image;
    TRpPrinter* P = FRunPrinter;
    const TRpUnit SavedUnits = Units();
    SetUnits(TRpUnit::Native);
    bool Began = false;
    bool GlobalPrepared = false;
    bool FunctionsPrepared = false;
    bool ControllerPrepared = false;
    bool ComponentsPrepared = false;
    // Also when an exception passes: the report is ready to run again.
    TScopeExit Unprepare([&] {
        SetUnits(SavedUnits);
        if (ComponentsPrepared)
            UnprepareComponents();
        if (ControllerPrepared)
            FController->Unprepare();
        if (FunctionsPrepared)
            FFunctions->Unprepare();
        if (GlobalPrepared)
            RpGlobalEnvironment()->Unprepare();
        FRun.PageNumberConst = FRun.ColumnNumberConst = FRun.ReportTitleConst = nullptr;
        FFunctions->SetDatasets(nullptr);
        FRun.DataSets.clear();
        FRun.PageBackground = nullptr;
        SetBreakInProgress(false);
    });
    TScopeExit AbortOnFailure([&] {
        if (Began)
            P->AbortDoc();
    });

    if (!Composite) {
        SetPrinterValues();
        P->SetTitle(FReportTitle);
        P->SetCompression(FOptions.Contains(TRpReportOption::Compression));
        P->BeginDoc();
        Began = true;
        FRun.CurrentY = -1;
        FRun.PageNo = 0;
    } else {
        FPage->SetOrientation(P->Orientation());
        FPage->SetPaperSize(P->PaperSize());
    }
    FRun.CurrentColumn = FPage->Columns();
    if (FRun.Exporting && FRun.ExportFilter && !FRun.ExportFilter->Active())
        FRun.ExportFilter->Start(RpRound(FPage->Width()), RpRound(FPage->Length()), Font());
    ResetPageFooterSize();
    for (TRpCustomBand* B : FBandList)
        B->SetParentReport(this);
    FRun.CurrentX = RpRound(FPage->LeftMargin());

    FRun.DataSets.clear();
    if (Owner())
        for (int I = 0; I < Owner()->ComponentCount(); ++I)
            if (auto* D = dynamic_cast<TDataSet*>(Owner()->Components(I)))
                AddRunDataSet(D);
    FController->BuildTree();
    RpGlobalEnvironment()->Prepare();
    GlobalPrepared = true;
    FFunctions->SetDatasets(FRunDatasetsLookup.get());
    FFunctions->Prepare();
    FunctionsPrepared = true;
    FRun.PageNumberConst = FFunctions->GetConstant("PAGENUMBER");
    FRun.ColumnNumberConst = FFunctions->GetConstant("COLUMNNUMBER");
    FRun.ReportTitleConst = FFunctions->GetConstant("REPORTTITLE");
    if (FRun.ReportTitleConst)
        FFunctions->SetStringConstant(FRun.ReportTitleConst, FReportTitle);
    FController->SetReport(this);
    FController->Prepare();
    ControllerPrepared = true;
    PrepareComponents();
    ComponentsPrepared = true;

    Execute();

    const bool Cancelled = FCancelled || P->Cancelled();
    if (!Composite) {
        FRun.CurrentX = RpRound(FPage->LeftMargin());
        FRun.FinalPage = true;
        if (!Cancelled)
            EndPage();
        if (FRun.Exporting && FRun.ExportFilter)
            FRun.ExportFilter->Finish();
    } else if (Tag() == 999) {
        FRun.FinalPage = true;
        EndPage();
        if (FRun.Exporting && FRun.ExportFilter)
            FRun.ExportFilter->Finish();
    }
    AbortOnFailure.Release();
    if (Cancelled)
        P->AbortDoc();
    else if (!Composite) {
        if (FRun.FinishDoc)
            P->EndDoc();
        else
            P->AbortDoc();
    }
}

// -------------------------------------------------------------- page flow

void TCustomRpReport::PrintBand(TRpCustomBand* Band)
{
    if (!Band)
        return;
    if (Band->AlignToBottom()) {
        if (Band->BandType() == rbSummary && !FOptions.Contains(TRpReportOption::LastPageFooter))
            FRun.PageFooterSize = 0;
        // The page as the report lays it out (orientation applied), the
        // same page EndPage places the footer on.
        const int32_t Page = RpRound(FPage->Length());
        const int32_t Free = Page - FRun.CurrentY;
        const long double H = Band->Size()->Height();
        if (Free >= RpRound(H + FPage->BottomMargin() + FRun.PageFooterSize))
            FRun.CurrentY = Page - RpRound(H) - RpRound(FPage->BottomMargin() + FRun.PageFooterSize);
    }
    Band->Print();
}

int32_t TCustomRpReport::AvailableSpace() const
{
    if (FAvailable || FRun.CurrentY == -1)
        return 0;
    if (FRun.Exporting && FRun.ExportFilter && FRun.ExportFilter->GetStreaming())
        return FRunPrinter ? RpRound(FRunPrinter->PaperLength()) : 0;
    // The report's own page (orientation applied), whatever paper the
    // printer keeps.
    return RpRound(FPage->Length() - FPage->BottomMargin() - FRun.PageFooterSize - FRun.CurrentY);
}

void TCustomRpReport::ResetPageFooterSize()
{
    FRun.PageFooterSize = 0;
    for (TRpCustomBand* B : FBandList) {
        if (B->BandType() != rbPageFooter || !B->Enabled())
            continue;
        FRun.PageFooterSize += B->Size()->Height();
        int Guard = 0;
        for (TRpCustomBand* C = B->GetChild(); C && Guard < 1000; C = C->GetChild(), ++Guard)
            FRun.PageFooterSize += C->Size()->Height();
    }
}

void TCustomRpReport::NewPage()
{
    EndPage();
    if (FRun.Exporting && FRun.ExportFilter)
        FRun.ExportFilter->NewPage();
    ++FRun.PageNo;
    if (FRun.PageNumberConst)
        FFunctions->SetIntegerConstant(FRun.PageNumberConst, FRun.PageNo);
    if (FRun.FinishDoc || FRun.PageNo == 1)
        FRunPrinter->NewPage();
    FRun.CurrentY = RpRound(FPage->TopMargin());
    if (const TRpReportEvent Handler = OnStartPage)
        Handler(this);
    PrintBackImage();
    if (FRun.PageNo > 1 || FOptions.Contains(TRpReportOption::FirstPageHeader))
        PrintBand(FBands->GetBand(2));
    FRun.ColumnTopY = FRun.CurrentY;
    if (FRun.PageNo == 1)
        if (TRpCustomBand* Title = FBands->GetBand(1))
            FRun.ColumnTopY += RpRound(Title->Size()->Height());
}

void TCustomRpReport::NewColumn()
{
    PrintBand(FBands->GetBand(5));
    if (FRun.CurrentColumn >= FPage->Columns()) {
        FRun.CurrentColumn = 1;
        FRun.CurrentX = RpRound(FPage->LeftMargin());
        NewPage();
    } else {
        const int32_t Columns = FPage->Columns();
        int32_t W;
        if (TRpCustomBand* Detail = FBands->GetBand(4))
            W = RpRound(Detail->Size()->Width());
        else
            W = (RpRound(FPage->Width() - (FPage->LeftMargin() + FPage->RightMargin())) -
                 RpRound(FPage->ColumnSpace()) * (Columns - 1)) / Columns;
        FRun.CurrentX += RpRound(FPage->ColumnSpace()) + W;
        FRun.CurrentY = FRun.ColumnTopY;
        ++FRun.CurrentColumn;
    }
    if (FRun.ColumnNumberConst)
        FFunctions->SetIntegerConstant(FRun.ColumnNumberConst, FRun.CurrentColumn);
    if (!(FRun.CurrentColumn == 1 && FRun.PageNo == 1)) {
        PrintBand(FBands->GetBand(3));
        FController->NewPageCheckGroups();
    }
}

void TCustomRpReport::EndPage()
{
    if (FRun.PageNo > 0) {
        FRun.CurrentY = RpRound(FPage->Length() - FPage->BottomMargin() - FRun.PageFooterSize);
        FRun.CurrentX = RpRound(FPage->LeftMargin());
        if (!(FRun.FinalPage && !FOptions.Contains(TRpReportOption::LastPageFooter)))
            PrintBand(FBands->GetBand(6));
        PrintPageBackground();
        if (const TRpReportEvent Handler = OnEndPage)
            Handler(this);
    }
    if (FRun.Exporting && FRun.ExportFilter)
        FRun.ExportFilter->EndPage();
}

void TCustomRpReport::ForceNewPage()
{
    if (FAvailable)
        return;
    if (FRun.FreshPage) {
        FRun.FreshPage = false;
        return;
    }
    do
        NewColumn();
    while (FRun.CurrentColumn != 1);
}

void TCustomRpReport::ForceNewColumn()
{
    if (FAvailable)
        return;
    if (FRun.ColumnBreakArmed || FRun.CurrentColumn > 1)
        NewColumn();
    else
        FRun.ColumnBreakArmed = true;
}

void TCustomRpReport::PrintBackImage()
{
    auto* Image = dynamic_cast<TRpImage*>(FRun.PageBackground);
    if (!Image)
        return;
    TRpPrinter* P = FRunPrinter;
    TRpPrintableSize* S = Image->Size();
    const TRect R = Rect(P->XPos(S->Left()), P->YPos(S->Top()), P->XPos(S->Left() + S->Width()),
                         P->YPos(S->Top() + S->Height()));
    if (FRun.FinishDoc && P->GetCanvas() && !Image->Picture()->Empty())
        P->GetCanvas()->StretchDraw(R, Image->Picture()->Graphic());
    if (FRun.Exporting && FRun.ExportFilter)
        FRun.ExportFilter->AcceptGraphic(R.Left, R.Top, Image);
}

void TCustomRpReport::PrintPageBackground()
{
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* P = dynamic_cast<TRpPrintable*>(Controls(I)); P && P != FRun.PageBackground)
            P->Print(0, 0);
    if ((FRun.FinishDoc || FRun.Exporting) && Frame()->AnyFrame()) {
        TRpPrinter* P = FRunPrinter;
        const TRect R = Rect(P->XPos(FPage->LeftMargin()), P->YPos(FPage->TopMargin()),
                             P->XPos(FPage->Width() - FPage->RightMargin()),
                             P->YPos(FPage->Length() - FPage->BottomMargin()));
        Frame()->PaintIt(P->GetCanvas(), R, P->XFactor(), P->YFactor());
    }
}

// ------------------------------------------------------------- band list

void TCustomRpReport::AddBand(TRpCustomBand* Band)
{
    if (std::find(FBandList.begin(), FBandList.end(), Band) != FBandList.end())
        return;
    FBandList.push_back(Band);
    RebuildBandList();
    SetBandValues();
}

void TCustomRpReport::RemoveBand(TRpCustomBand* Band)
{
    if (FReportDestroying)
        return;
    FBandList.erase(std::remove(FBandList.begin(), FBandList.end(), Band), FBandList.end());
    FScratchBandList.erase(std::remove(FScratchBandList.begin(), FScratchBandList.end(), Band),
                           FScratchBandList.end());
    if (auto* C = dynamic_cast<TRpController*>(FController.get())) {
        if (C->LoopDetail() == Band)
            C->SetLoopDetail(nullptr);
        if (C->LoopHeader() == Band)
            C->SetLoopHeader(nullptr);
        if (C->LoopFooter() == Band)
            C->SetLoopFooter(nullptr);
    }
    RebuildBandList();
    SetBandValues();
}

void TCustomRpReport::RegisterBand(TRpCustomBand* Band)
{
    if (!Band || Band->Destroying() ||
        std::find(FScratchBandList.begin(), FScratchBandList.end(), Band) != FScratchBandList.end())
        return;
    FScratchBandList.push_back(Band);
    int Guard = 0;
    for (TRpCustomBand* C = Band->GetChild(); C && Guard < 1000; C = C->GetChild(), ++Guard) {
        if (std::find(FScratchBandList.begin(), FScratchBandList.end(), C) != FScratchBandList.end())
            break;
        FScratchBandList.push_back(C);
    }
}

void TCustomRpReport::RebuildBandList()
{
    SetControllerBands();
    FController->BuildTree();
    FScratchBandList.clear();
    const auto RegisterType = [this](TRpBandType Type) {
        for (TRpCustomBand* B : FBandList)
            if (B->BandType() == Type)
                RegisterBand(B);
    };
    RegisterType(rbPageHeader);
    RegisterType(rbTitle);
    RegisterType(rbColumnHeader);
    FController->RegisterBands();
    RegisterType(rbPageFooter);
    for (TRpCustomBand* B : FBandList)
        RegisterBand(B);
    FBandList.swap(FScratchBandList);
    FScratchBandList.clear();
    if (!FBandList.empty())
        for (int32_t I = 0; I < FRotateBands; ++I)
            std::rotate(FBandList.begin(), FBandList.begin() + 1, FBandList.end());
}

void TCustomRpReport::SetBandValues()
{
    if (FReportDestroying || !FPage || FPlacingBands || !FAvailable)
        return;
    TValueRollback<bool> Placing(FPlacingBands, true);
    const TRpUnit Saved = FPage->Units();
    FPage->SetUnits(TRpUnit::Pixels);
    TScopeExit Back([this, Saved] { FPage->SetUnits(Saved); });
    const int32_t Columns = FPage->Columns();
    const int ColumnWidth =
        (Width() - RpRound(FPage->LeftMargin() + FPage->RightMargin()) - RpRound(FPage->ColumnSpace()) * (Columns - 1)) /
        Columns;
    const int PageWidth = Width() - RpRound(FPage->LeftMargin() + FPage->RightMargin());
    int Y = RpRound(FPage->TopMargin());
    for (TRpCustomBand* B : FBandList) {
        B->SetPlacing(true);
        B->SetBounds(RpRound(FPage->LeftMargin()), FHideBands ? RpRound(FPage->Length()) : Y, B->Width(),
                     B->Height());
        const TRpBandType Type = RpEffectiveBandType(B);
        const bool Full = Type == rbTitle || Type == rbPageHeader || Type == rbPageFooter || Type == rbSummary ||
                          Type == rbOverlay ||
                          ((Type == rbGroupHeader || Type == rbGroupFooter) &&
                           FPage->PrintOrder() == TRpPrintOrder::RowByRow);
        const TRpUnit BandUnits = B->Size()->Units();
        B->Size()->SetUnits(TRpUnit::Pixels);
        B->Size()->SetValue(1, Full ? PageWidth : ColumnWidth);
        B->Size()->SetUnits(BandUnits);
        B->SetPlacing(false);
        Y += B->Height();
    }
}

void TCustomRpReport::SetHideBands(bool Value)
{
    if (Value == FHideBands)
        return;
    FHideBands = Value;
    SetBandValues();
}

void TCustomRpReport::SetRotateBands(int32_t Value)
{
    if (Value == FRotateBands)
        return;
    FRotateBands = Value;
    RebuildBandList();
    SetBandValues();
}

TRpBand* TCustomRpReport::CreateBand(TRpBandType BandType)
{
    TComponent* BandOwner = Owner() ? Owner() : this;
    auto* Band = new TRpBand(BandOwner);
    Band->SetBandType(BandType);
    std::string Base;
    Band->BandComponentName(Base);
    Band->SetName(UniqueName(BandOwner, Base));
    Band->SetParent(this);
    return Band;
}
