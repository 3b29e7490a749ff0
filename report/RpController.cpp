// The band loop of a report: header, detail once per record, footer.
#include "report/RpReport.h"

#include "platform/Application.h"

namespace {

// Lets pending window messages run (a cancel may arrive); only the GUI
// thread has them.
void ProcessRunMessages()
{
    if (IsMainThread())
        Application->ProcessMessages();
}

}  // namespace

TRpCustomController::TRpCustomController(TComponent* LoopOwner)
    : TComponent(nullptr), FLoopOwner(LoopOwner), FLoopSelf(this)
{
}

TRpCustomController::~TRpCustomController() = default;

void TRpCustomController::BuildTree()
{
    if (Destroying())
        return;
    // Nested controllers and groups name their master through controller
    // bands and groups, which come with the data-set layer.
    FBeforeList.clear();
    FAfterList.clear();
    RegisterDatasets();
}

void TRpCustomController::Execute()
{
    if (FPrintWhenEmpty)
        PrintEmptyController();
}

void TRpCustomController::Prepare()
{
    FNotifyList.clear();
    for (TRpCustomController* C : FBeforeList)
        C->Prepare();
    for (TRpCustomController* C : FAfterList)
        C->Prepare();
}

void TRpCustomController::Unprepare()
{
    for (TRpCustomController* C : FBeforeList)
        C->Unprepare();
    for (TRpCustomController* C : FAfterList)
        C->Unprepare();
}

void TRpCustomController::PrintBeforeControllers()
{
    for (TRpCustomController* C : FBeforeList)
        C->Execute();
}

void TRpCustomController::PrintAfterControllers()
{
    for (TRpCustomController* C : FAfterList)
        C->Execute();
}

void TRpCustomController::PrintEmptyController()
{
    PrintBeforeControllers();
    PrintAfterControllers();
}

void TRpCustomController::NotifyClients(TRpNotifyOperation Operation)
{
    for (TRpPrintable* P : FNotifyList)
        P->RpNotification(this, Operation);
}

void TRpCustomController::NewPageCheckGroups()
{
    for (TRpCustomController* C : FBeforeList)
        C->NewPageCheckGroups();
    for (TRpCustomController* C : FAfterList)
        C->NewPageCheckGroups();
}

// ------------------------------------------------------------ the controller

void TRpController::RegisterBands()
{
    if (!FReport)
        return;
    FReport->RegisterBand(FLoopHeader);
    for (TRpCustomController* C : FBeforeList)
        C->RegisterBands();
    FReport->RegisterBand(FLoopDetail);
    for (TRpCustomController* C : FAfterList)
        C->RegisterBands();
    FReport->RegisterBand(FLoopFooter);
}

void TRpController::PrintEmptyController()
{
    FReport->PrintBand(FLoopHeader);
    PrintBeforeControllers();
    FReport->PrintBand(FLoopDetail);
    PrintAfterControllers();
    FReport->PrintBand(FLoopFooter);
}

void TRpController::Execute()
{
    if (!FNeedData || !FReport) {
        if (FPrintWhenEmpty && FReport)
            PrintEmptyController();
        return;
    }
    bool MoreData = true;
    FNeedData(FLoopSelf, MoreData);
    FRecordNo = 0;
    if (FLoopDetail)
        FLoopDetail->SetNotifyController(this);
    if (!MoreData)
        return;
    ProcessRunMessages();
    if (FReport->Cancelled())
        return;
    const bool OwnLoop = FLoopSelf == FReport;
    FReport->PrintBand(FLoopHeader);
    if (OwnLoop)
        FReport->SetFreshPage(true);
    TRpCustomBand* ColumnHeader = FReport->Bands()->GetBand(3);
    if (FReport->PageNo() <= 1 && OwnLoop && ColumnHeader && ColumnHeader->Enabled()) {
        FReport->PrintBand(ColumnHeader);
        FReport->SetFreshPage(true);
    }
    while (MoreData) {
        ProcessRunMessages();
        const TRpPrinter* P = FReport->RunPrinter();
        if ((P && P->Cancelled()) || FReport->Cancelled() || (FReport->FirstPageOnly() && FReport->PageNo() > 1))
            return;
        ++FRecordNo;
        PrintBeforeControllers();
        FReport->PrintBand(FLoopDetail);
        PrintAfterControllers();
        MoreData = false;
        FNeedData(FLoopSelf, MoreData);
    }
    if (FLoopFooter) {
        if (FReport->PageNo() == 0)
            FReport->NewPage();
        if (FLoopFooter->Size()->Height() > FReport->AvailableSpace())
            FReport->NewColumn();
        FReport->PrintBand(FLoopFooter);
    }
}
