// Sub-detail, loop and strings bands and their loops.
#include "report/RpControllerBands.h"

#include "platform/SysUtils.h"

// ------------------------------------------------------- controller band

TRpControllerBand::TRpControllerBand(TComponent* AOwner) : TRpCustomBand(AOwner)
{
    UseController(std::make_unique<TRpController>(this));
    if (auto* C = dynamic_cast<TRpController*>(FBandController.get()))
        C->SetLoopDetail(this);
}

TRpControllerBand::~TRpControllerBand()
{
    if (FMaster)
        FMaster->RemoveFreeNotification(this);
}

void TRpControllerBand::UseController(std::unique_ptr<TRpCustomController> Controller)
{
    const bool Before = FBandController && FBandController->BeforeMaster();
    const bool WhenEmpty = !FBandController || FBandController->PrintWhenEmpty();
    FBandController = std::move(Controller);
    FBandController->SetLoopSelf(this);
    FBandController->SetBeforeMaster(Before);
    FBandController->SetPrintWhenEmpty(WhenEmpty);
    FBandController->SetMaster(FMaster);
}

void TRpControllerBand::SetPrintBefore(bool Value)
{
    if (Value == PrintBefore())
        return;
    FBandController->SetBeforeMaster(Value);
    if (Report() && !Report()->ReportDestroying()) {
        Report()->RebuildBandList();
        Report()->SetBandValues();
    }
}

bool TRpControllerBand::SetMaster(TComponent* Value)
{
    if (Value == this)
        return true;
    for (TComponent* M = Value; M;) {
        if (M == this)
            return false;   // "Circular linking not allowed"
        auto* Band = dynamic_cast<TRpControllerBand*>(M);
        M = Band ? Band->Master() : nullptr;
    }
    ReplaceReference(FMaster, Value);
    FBandController->SetMaster(Value);
    if (Report() && !Report()->ReportDestroying()) {
        Report()->RebuildBandList();
        Report()->SetBandValues();
    }
    return true;
}

void TRpControllerBand::Notification(TComponent* AComponent, TOperation Operation)
{
    TRpCustomBand::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMaster) {
        FMaster = nullptr;
        FBandController->SetMaster(nullptr);
    }
}

void TRpControllerBand::SetParent(TWinControl* AParent)
{
    TRpCustomBand::SetParent(AParent);
    if (!FMaster)
        if (auto* R = dynamic_cast<TCustomRpReport*>(AParent))
            SetMaster(R);
}

void TRpControllerBand::SetParentReport(TCustomRpReport* Value)
{
    TRpCustomBand::SetParentReport(Value);
    if (Value && !FLocalVarMade)
        CreateLocalVar();
}

void TRpControllerBand::SetName(const std::string& Value)
{
    if (FLocalVarMade)
        RemoveLocalVar();
    TRpCustomBand::SetName(Value);
    if (Report())
        CreateLocalVar();
}

void TRpControllerBand::CreateLocalVar()
{
    std::string Text;
    LocalVarExpression(Text);
    if (!Text.empty() && Report() && !Name().empty())
        Report()->Functions()->AddFunction(Name(), Text);
    FLocalVarMade = true;
}

void TRpControllerBand::RemoveLocalVar()
{
    if (Report() && !Name().empty())
        Report()->Functions()->DeleteFunction(Name());
    FLocalVarMade = false;
}

void TRpControllerBand::RegisterBands()
{
    if (Report())
        Report()->RegisterBand(this);
}

// ------------------------------------------------------------ sub-detail

TRpSubDetail::TRpSubDetail(TComponent* AOwner)
    : TRpControllerBand(AOwner), FBands(std::make_unique<TRpSubDetailGroupBands>(this))
{
    SetBandType(rbSubDetail);
}

TRpSubDetail::~TRpSubDetail() = default;

bool TRpSubDetailGroupBands::HasHeader() const { return FSubDetail->HeaderBand() != nullptr; }
bool TRpSubDetailGroupBands::HasFooter() const { return FSubDetail->FooterBand() != nullptr; }

void TRpSubDetailGroupBands::SetHasHeader(bool Value)
{
    if (Value == HasHeader() || !FSubDetail->Report())
        return;
    if (Value) {
        FSubDetail->SetHeaderBand(FSubDetail->Report()->CreateBand(rbGroupHeader));
    } else {
        TRpCustomBand* Band = FSubDetail->HeaderBand();
        FSubDetail->SetHeaderBand(nullptr);
        delete Band;
    }
}

void TRpSubDetailGroupBands::SetHasFooter(bool Value)
{
    if (Value == HasFooter() || !FSubDetail->Report())
        return;
    if (Value) {
        FSubDetail->SetFooterBand(FSubDetail->Report()->CreateBand(rbGroupFooter));
    } else {
        TRpCustomBand* Band = FSubDetail->FooterBand();
        FSubDetail->SetFooterBand(nullptr);
        delete Band;
    }
}

TRpController* TRpSubDetail::Controller() const { return static_cast<TRpController*>(BandController()); }

void TRpSubDetail::SetHeaderBand(TRpCustomBand* Value)
{
    if (HeaderBand())
        HeaderBand()->RemoveFreeNotification(this);
    Controller()->SetLoopHeader(Value);
    if (Value) {
        Value->SetBandType(rbGroupHeader);
        Value->FreeNotification(this);
    }
}

void TRpSubDetail::SetFooterBand(TRpCustomBand* Value)
{
    if (FooterBand())
        FooterBand()->RemoveFreeNotification(this);
    Controller()->SetLoopFooter(Value);
    if (Value) {
        Value->SetBandType(rbGroupFooter);
        Value->FreeNotification(this);
    }
}

void TRpSubDetail::Notification(TComponent* AComponent, TOperation Operation)
{
    TRpControllerBand::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == HeaderBand())
        Controller()->SetLoopHeader(nullptr);
    if (AComponent == FooterBand())
        Controller()->SetLoopFooter(nullptr);
}

void TRpSubDetail::RegisterBands()
{
    if (!Report() || Destroying())
        return;
    Report()->RegisterBand(HeaderBand());
    Report()->RegisterBand(this);
    Report()->RegisterBand(FooterBand());
}

// ------------------------------------------------------- loop and strings

TRpBandLoopController::TRpBandLoopController(TComponent* LoopOwner, TRpCustomBand* LoopBand, int32_t IdleIndex)
    : TRpCustomController(LoopOwner), FLoopBand(LoopBand), FIdleIndex(IdleIndex), FPassIndex(IdleIndex)
{
}

void TRpBandLoopController::Execute()
{
    for (int32_t I = 0; I < PassCount(); ++I) {
        FPassIndex = I;
        UpdateLocalVar();
        PrintBeforeControllers();
        if (FReport)
            FReport->PrintBand(FLoopBand);
        PrintAfterControllers();
    }
    FPassIndex = FIdleIndex;
}

void TRpBandLoopController::RegisterBands()
{
    for (TRpCustomController* C : FBeforeList)
        C->RegisterBands();
    if (FReport)
        FReport->RegisterBand(FLoopBand);
    for (TRpCustomController* C : FAfterList)
        C->RegisterBands();
}

// ------------------------------------------------------------ loop band

TRpLoopController::TRpLoopController(TComponent* LoopOwner, TRpCustomBand* LoopBand)
    : TRpBandLoopController(LoopOwner, LoopBand, 0)
{
}

void TRpLoopController::LocalVarValue(TRpEvResult& Result) { Result = TRpEvResult::Int(LoopIndex()); }

TRpLoopBand::TRpLoopBand(TComponent* AOwner) : TRpControllerBand(AOwner)
{
    SetBandType(rbSubDetail);
    UseController(std::make_unique<TRpLoopController>(this, this));
}

TRpLoopController* TRpLoopBand::Loop() const { return static_cast<TRpLoopController*>(BandController()); }

void TRpLoopBand::LocalVarExpression(std::string& Text) const { Text = IntToStr(Loop()->LoopIndex()); }

// --------------------------------------------------------- strings band

TRpStringsController::TRpStringsController(TComponent* LoopOwner, TRpCustomBand* LoopBand)
    : TRpBandLoopController(LoopOwner, LoopBand, -1), FLineList(std::make_unique<TStringList>())
{
}

void TRpStringsController::LocalVarValue(TRpEvResult& Result)
{
    Result = TRpEvResult::String(LineIndex() >= 0 ? FLineList->Strings(LineIndex()).substr(0, 255) : std::string());
}

TRpStringsBand::TRpStringsBand(TComponent* AOwner) : TRpControllerBand(AOwner)
{
    SetBandType(rbSubDetail);
    UseController(std::make_unique<TRpStringsController>(this, this));
}

TRpStringsController* TRpStringsBand::Strings() const
{
    return static_cast<TRpStringsController*>(BandController());
}

std::string TRpStringsBand::Item() const
{
    return Index() >= 0 ? Items()->Strings(Index()) : std::string();
}
