// The band loop of a report: header, detail once per record, footer.
#include "report/RpReport.h"

#include "platform/DBTables.h"
#include "report/RpControllerBands.h"
#include "report/RpExtra.h"

TRpCustomController::TRpCustomController(TComponent* LoopOwner)
    : TComponent(nullptr), FLoopOwner(LoopOwner), FLoopSelf(this)
{
}

TRpCustomController::~TRpCustomController() = default;

void TRpCustomController::SetMaster(TComponent* Value)
{
    if (Value == this || Value == FMasterComp)
        return;
    if (Value && !dynamic_cast<TCustomRpReport*>(Value) && !dynamic_cast<TRpCustomController*>(Value) &&
        !dynamic_cast<TRpControllerBand*>(Value))
        return;
    ReplaceReference(FMasterComp, Value);
}

void TRpCustomController::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FMasterComp)
        FMasterComp = nullptr;
    std::erase(FGroupList, AComponent);
}

void TRpCustomController::BuildTree()
{
    if (Destroying())
        return;
    FBeforeList.clear();
    FAfterList.clear();
    FGroupList.clear();
    const auto Visit = [this](TComponent* Holder) {
        if (!Holder)
            return;
        for (int I = 0; I < Holder->ComponentCount(); ++I) {
            TComponent* C = Holder->Components(I);
            if (auto* Band = dynamic_cast<TRpControllerBand*>(C); Band && !Band->Destroying())
                C = Band->BandController();
            if (auto* Nested = dynamic_cast<TRpCustomController*>(C); Nested && Nested != this &&
                                                                     Nested->Master() == FLoopSelf) {
                Nested->SetReport(FReport);
                (Nested->BeforeMaster() ? FBeforeList : FAfterList).push_back(Nested);
                Nested->BuildTree();
            } else if (auto* Group = dynamic_cast<TRpGroup*>(C);
                       Group && Group->Master() == FLoopSelf && !Group->Destroying() &&
                       std::find(FGroupList.begin(), FGroupList.end(), Group) == FGroupList.end()) {
                FGroupList.push_back(Group);
                Group->SetParentReport(FReport);
                Group->FreeNotification(this);
            }
        }
    };
    TComponent* Outer = FLoopSelf == this ? FLoopOwner : (FLoopSelf ? FLoopSelf->Owner() : nullptr);
    Visit(Outer);
    if (FLoopSelf != this)
        Visit(FLoopSelf);
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
    for (TRpGroup* G : FGroupList)
        G->Prepare();
    FLocalVar = FReport && FLoopOwner && !FLoopOwner->Name().empty()
                    ? FReport->Functions()->GetConstant(AnsiUpperCase(FLoopOwner->Name()))
                    : nullptr;
}

void TRpCustomController::UpdateLocalVar()
{
    if (!FLocalVar || !FReport)
        return;
    TRpEvResult Value;
    LocalVarValue(Value);
    FReport->Functions()->SetConstant(FLocalVar, Value);
}

void TRpCustomController::Unprepare()
{
    for (TRpCustomController* C : FBeforeList)
        C->Unprepare();
    for (TRpCustomController* C : FAfterList)
        C->Unprepare();
    for (TRpGroup* G : FGroupList)
        G->Unprepare();
}

bool TRpCustomController::CheckGroups()
{
    for (size_t I = 0; I < FGroupList.size(); ++I) {
        if (!FGroupList[I]->Check())
            continue;
        for (size_t J = I + 1; J < FGroupList.size(); ++J) {
            FGroupList[J]->TakeValue();
            FGroupList[J]->SetValueChanged(true);
            FGroupList[J]->SetHasValue(true);
        }
        return true;
    }
    return false;
}

void TRpCustomController::PrintGroupHeaders()
{
    for (TRpGroup* G : FGroupList)
        if (G->ValueChanged())
            G->PrintGroupHeader();
}

void TRpCustomController::PrintGroupFooters()
{
    for (auto It = FGroupList.rbegin(); It != FGroupList.rend(); ++It)
        if ((*It)->ValueChanged())
            (*It)->PrintGroupFooter();
}

void TRpCustomController::CheckLastGroupFooters()
{
    for (TRpGroup* G : FGroupList)
        G->SetValueChanged(!G->ValueChanged());
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
    for (TRpGroup* G : FGroupList)
        if (G->ValueChanged())
            return;   // a group change is being printed
    for (TRpCustomController* C : FBeforeList)
        C->NewPageCheckGroups();
    for (size_t I = 0; I < FGroupList.size(); ++I) {
        if (!FGroupList[I]->NewPageCheck())
            continue;
        for (size_t J = I + 1; J < FGroupList.size(); ++J) {
            FGroupList[J]->TakeValue();
            FGroupList[J]->SetValueChanged(true);
            FGroupList[J]->SetHasValue(true);
        }
        PrintGroupHeaders();
        break;
    }
    for (TRpCustomController* C : FAfterList)
        C->NewPageCheckGroups();
}

// ------------------------------------------------------------ the controller

void TRpController::SetDataSet(TDataSet* Value)
{
    ReplaceReference(FDataSetLink, Value);
}

void TRpController::Notification(TComponent* AComponent, TOperation Operation)
{
    TRpCustomController::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FLoopHeader)
        FLoopHeader = nullptr;
    if (AComponent == FLoopDetail)
        FLoopDetail = nullptr;
    if (AComponent == FLoopFooter)
        FLoopFooter = nullptr;
    if (AComponent == FDataSetLink)
        FDataSetLink = nullptr;
}

void TRpController::RegisterDatasets()
{
    if (FReport && FDataSetLink && FDataSetLink->Active())
        FReport->AddRunDataSet(FDataSetLink);
}

void TRpController::Prepare()
{
    TRpCustomController::Prepare();
    FUpdateSQLParams = false;
    auto* Query = dynamic_cast<TQuery*>(FDataSetLink);
    if (!Query || !FReport)
        return;
    for (int I = 0; I < Query->ParamCount() && !FUpdateSQLParams; ++I)
        FUpdateSQLParams = FReport->Functions()->IndexOf(AnsiUpperCase(Query->Params()[I]->Name())) >= 0;
}


void TRpController::RegisterBands()
{
    if (!FReport)
        return;
    FReport->RegisterBand(FLoopHeader);
    for (TRpGroup* G : FGroupList)
        FReport->RegisterBand(G);
    for (TRpCustomController* C : FBeforeList)
        C->RegisterBands();
    FReport->RegisterBand(FLoopDetail);
    for (TRpCustomController* C : FAfterList)
        C->RegisterBands();
    for (auto It = FGroupList.rbegin(); It != FGroupList.rend(); ++It)
        FReport->RegisterBand((*It)->FooterBand());
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
    int32_t RecordCount = 1;
    for (TRpGroup* G : FGroupList)
        G->SetHasValue(false);
    TDataSet* Data = FDataSetLink && FDataSetLink->Active() ? FDataSetLink : nullptr;
    if ((!Data && !FNeedData) || !FReport) {
        if (FPrintWhenEmpty && FReport)
            PrintEmptyController();
        return;
    }
    bool MoreData = true;
    if (Data) {
        if (FUpdateSQLParams)
            PerformSQLParamsUpdate(dynamic_cast<TQuery*>(Data), FReport->Functions());
        Data->First();
        MoreData = !Data->Eof();
        if (dynamic_cast<TRpReport*>(FReport))
            RecordCount = Data->RecordCount();
        if (!MoreData && FPrintWhenEmpty)
            PrintEmptyController();
    } else {
        FNeedData(FLoopSelf, MoreData);
    }
    FRecordNo = 0;
    if (FLoopDetail)
        FLoopDetail->SetNotifyController(this);
    if (!MoreData)
        return;
    FMessages.Poll();
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
    CheckGroups();
    while (MoreData) {
        FMessages.Poll();
        const TRpPrinter* P = FReport->RunPrinter();
        if ((P && P->Cancelled()) || FReport->Cancelled() || (FReport->FirstPageOnly() && FReport->PageNo() > 1))
            return;
        ++FRecordNo;
        PrintGroupHeaders();
        PrintBeforeControllers();
        FReport->PrintBand(FLoopDetail);
        PrintAfterControllers();
        if (Data) {
            Data->Next();
            MoreData = !Data->Eof();
        } else {
            MoreData = false;
            FNeedData(FLoopSelf, MoreData);
        }
        // The value of the next record decides; the footers print with the
        // last record of the ended group current. At the end the data set
        // keeps its last record, which changes nothing.
        if (CheckGroups()) {
            if (Data)
                Data->Prior();
            PrintGroupFooters();
            if (Data)
                Data->Next();
        }
        if (Data && OwnLoop && RecordCount != 0 && dynamic_cast<TRpReport*>(FReport))
            if (TRpPrinter* Progress = FReport->RunPrinter())
                Progress->SetProgress(FRecordNo * 100 / RecordCount);
    }
    CheckLastGroupFooters();
    PrintGroupFooters();
    if (FLoopFooter) {
        if (FReport->PageNo() == 0)
            FReport->NewPage();
        if (FLoopFooter->Size()->Height() > FReport->AvailableSpace())
            FReport->NewColumn();
        FReport->PrintBand(FLoopFooter);
    }
}

// ------------------------------------------------------------------ groups

TRpGroup::TRpGroup(TComponent* AOwner) : TRpCustomBand(AOwner), FEvaluator(std::make_unique<TRpEvaluator>())
{
    SetBandType(rbGroupHeader);
}

TRpGroup::~TRpGroup() = default;

void TRpGroup::SetFooterBand(TRpCustomBand* Value)
{
    if (ReplaceReference(FFooterBand, Value) && Value)
        Value->SetBandType(rbGroupFooter);
}

void TRpGroup::SetMaster(TComponent* Value)
{
    if (Value == FMaster)
        return;
    if (Value && !dynamic_cast<TCustomRpReport*>(Value) && !dynamic_cast<TRpControllerBand*>(Value))
        return;
    ReplaceReference(FMaster, Value);
    if (Report() && !Report()->ReportDestroying()) {
        Report()->RebuildBandList();
        Report()->SetBandValues();
    }
}

void TRpGroup::SetParent(TWinControl* AParent)
{
    TRpCustomBand::SetParent(AParent);
    if (!FMaster)
        if (auto* R = dynamic_cast<TCustomRpReport*>(AParent))
            SetMaster(R);
}

void TRpGroup::Notification(TComponent* AComponent, TOperation Operation)
{
    TRpCustomBand::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FFooterBand)
        FFooterBand = nullptr;
    if (AComponent == FMaster)
        FMaster = nullptr;
}

void TRpGroup::Prepare()
{
    if (Report()) {
        FEvaluator->SetDatasets(Report()->RunDatasetsLookup());
        FEvaluator->SetEnvironment(Report()->Functions());
    }
    FEvaluator->Prepare(FExpression);
    FHasValue = false;
    FHeaderPage = 1;
}

void TRpGroup::Unprepare() { FEvaluator->UnPrepare(); }

void TRpGroup::TakeValue() { FLastValue = FEvaluator->Value(); }

bool TRpGroup::Check()
{
    FValueChanged = false;
    const TRpEvResult Now = FEvaluator->Value();
    if (!FHasValue) {
        FLastValue = Now;
        FValueChanged = true;
        FHasValue = true;
        return true;
    }
    bool Changed = Now.Kind() != FLastValue.Kind();
    if (!Changed) {
        switch (Now.Kind()) {
        case resInt: Changed = Now.IntValue() != FLastValue.IntValue(); break;
        case resDouble: Changed = Now.DoubleValue() != FLastValue.DoubleValue(); break;
        case resString: Changed = Now.Text() != FLastValue.Text(); break;
        case resBool: Changed = Now.BoolValue() != FLastValue.BoolValue(); break;
        case resError: break;
        }
    }
    if (Changed) {
        FLastValue = Now;
        FValueChanged = true;
    }
    return Changed;
}

bool TRpGroup::NewPageCheck()
{
    FValueChanged = false;
    if (FReprintOnNewPage && FHeaderPrinted && Report() && FHeaderPage != Report()->PageNo()) {
        FValueChanged = true;
        FHeaderPage = Report()->PageNo();
    }
    return FValueChanged;
}

void TRpGroup::PrintGroupHeader()
{
    if (!Report())
        return;
    Report()->PrintBand(this);
    FHeaderPrinted = true;
    FHeaderPage = Report()->PageNo();
}

void TRpGroup::PrintGroupFooter()
{
    if (Report())
        Report()->PrintBand(FFooterBand);
    FHeaderPrinted = false;
}

// ------------------------------------------------------- query parameters

void PerformSQLParamsUpdate(TQuery* Query, TRpEvEnvironment* Environment)
{
    if (!Query || !Environment)
        return;
    Query->Close();
    for (int I = 0; I < Query->ParamCount(); ++I) {
        TParam* P = Query->Params()[I];
        const std::string Name = AnsiUpperCase(P->Name());
        if (Environment->IndexOf(Name) < 0)
            continue;
        const TRpEvResult V = Environment->Value(Name);
        const auto AsDate = [&V](TDateTime& Value) {
            return V.Kind() == resString && TryISOTextToDateTime(std::string(V.Text()), Value);
        };
        TDateTime When = 0;
        switch (P->DataType()) {
        case ftString: case ftFixedChar: case ftWideString: case ftMemo:
            if (V.Kind() == resString) P->SetAsString(std::string(V.Text()));
            break;
        case ftSmallint: case ftInteger: case ftWord: case ftLargeint: case ftAutoInc:
            if (V.Kind() == resInt) P->SetAsInteger(V.IntValue());
            break;
        case ftBoolean:
            if (V.Kind() == resBool) P->SetAsBoolean(V.BoolValue());
            break;
        case ftFloat: case ftCurrency: case ftBCD:
            if (V.Kind() == resDouble) P->SetAsFloat(V.DoubleValue());
            break;
        case ftDate:
            if (AsDate(When)) P->SetAsDate(When);
            break;
        case ftTime:
            if (AsDate(When)) P->SetAsTime(When);
            break;
        case ftDateTime:
            if (AsDate(When)) P->SetAsDateTime(When);
            break;
        default:
            // A parameter without a declared type takes the value as it is.
            if (V.Kind() == resString) P->SetAsString(std::string(V.Text()));
            else if (V.Kind() == resInt) P->SetAsInteger(V.IntValue());
            else if (V.Kind() == resDouble) P->SetAsFloat(V.DoubleValue());
            else if (V.Kind() == resBool) P->SetAsBoolean(V.BoolValue());
            break;
        }
    }
    Query->Open();
}
