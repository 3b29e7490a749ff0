// Bands that own a loop of their own, nested in the loop of their Master
// (the report or another controller band): a sub-detail walks a second data
// set for every record of its master, a loop band prints PrintCount times,
// a strings band once for every line of Items. Loop and strings bands give
// the report a variable named after the band (the index, the current line).
#pragma once

#include "report/RpReport.h"

#include <memory>
#include <string>

class TRpControllerBand : public TRpCustomBand {
    OZ_CLASS(TRpControllerBand, TRpCustomBand);

public:
    static void Publish(TPublisher<TRpControllerBand>& P);
    explicit TRpControllerBand(TComponent* AOwner);
    ~TRpControllerBand() override;

    TRpCustomController* BandController() const { return FBandController.get(); }
    TComponent* Master() const { return FMaster; }
    // False when Value leads back to this band through the masters.
    virtual bool SetMaster(TComponent* Value);
    bool PrintBefore() const { return FBandController->BeforeMaster(); }
    void SetPrintBefore(bool Value);
    bool PrintIfEmpty() const { return FBandController->PrintWhenEmpty(); }
    void SetPrintIfEmpty(bool Value) { FBandController->SetPrintWhenEmpty(Value); }

    void SetName(const std::string& Value) override;
    void SetParent(TWinControl* AParent) override;
    void SetParentReport(TCustomRpReport* Value) override;
    virtual void RegisterBands();

protected:
    // Called by the constructors of the classes below.
    void UseController(std::unique_ptr<TRpCustomController> Controller);
    virtual void CreateLocalVar();
    virtual void RemoveLocalVar();
    // The initial expression of the report variable; empty: none.
    virtual void LocalVarExpression(std::string& Text) const { Text.clear(); }
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool FLocalVarMade = false;
    std::unique_ptr<TRpCustomController> FBandController;
    TComponent* FMaster = nullptr;
};

class TRpSubDetail;

// Whether a sub-detail has a header and a footer band; switching one on
// creates the band, switching it off frees it.
class TRpSubDetailGroupBands : public TPersistent {
public:
    explicit TRpSubDetailGroupBands(TRpSubDetail* SubDetail) : FSubDetail(SubDetail) {}
    bool HasHeader() const;
    void SetHasHeader(bool Value);
    bool HasFooter() const;
    void SetHasFooter(bool Value);

private:
    TRpSubDetail* FSubDetail;
};

class TRpSubDetail : public TRpControllerBand {
    OZ_CLASS(TRpSubDetail, TRpControllerBand);

public:
    static void Publish(TPublisher<TRpSubDetail>& P);
    explicit TRpSubDetail(TComponent* AOwner);
    ~TRpSubDetail() override;

    TRpSubDetailGroupBands* Bands() const { return FBands.get(); }

    TRpController* Controller() const;
    TDataSet* DataSet() const { return Controller()->DataSet(); }
    void SetDataSet(TDataSet* Value) { Controller()->SetDataSet(Value); }
    TRpCustomBand* HeaderBand() const { return Controller()->LoopHeader(); }
    void SetHeaderBand(TRpCustomBand* Value);
    TRpCustomBand* FooterBand() const { return Controller()->LoopFooter(); }
    void SetFooterBand(TRpCustomBand* Value);
    void SetOnNeedData(TRpNeedDataEvent Value) { Controller()->FNeedData = std::move(Value); }
    void AddNotifyClient(TRpPrintable* Value) { Controller()->AddNotifyClient(Value); }
    void RegisterBands() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TRpSubDetailGroupBands> FBands;
};

// The loop of a loop or strings band: one pass per index from 0, the band's
// report variable updated before each pass, the nested loops before and
// after the band; the index is IdleIndex outside the loop.
class TRpBandLoopController : public TRpCustomController {
public:
    void Execute() override;
    void RegisterBands() override;
    int32_t PassIndex() const { return FPassIndex; }

protected:
    TRpBandLoopController(TComponent* LoopOwner, TRpCustomBand* LoopBand, int32_t IdleIndex);
    virtual int32_t PassCount() const = 0;

private:
    TRpCustomBand* FLoopBand;
    int32_t FIdleIndex;
    int32_t FPassIndex;
};

class TRpLoopController : public TRpBandLoopController {
public:
    TRpLoopController(TComponent* LoopOwner, TRpCustomBand* LoopBand);
    void LocalVarValue(TRpEvResult& Result) override;

    int32_t LoopIndex() const { return PassIndex(); }
    int32_t PrintCount() const { return FPrintCount; }
    void SetPrintCount(int32_t Value) { FPrintCount = Value; }

protected:
    int32_t PassCount() const override { return FPrintCount; }

private:
    int32_t FPrintCount = 0;
};

class TRpStringsController : public TRpBandLoopController {
public:
    TRpStringsController(TComponent* LoopOwner, TRpCustomBand* LoopBand);
    void LocalVarValue(TRpEvResult& Result) override;

    TStringList* LineList() const { return FLineList.get(); }
    int32_t LineIndex() const { return PassIndex(); }

protected:
    int32_t PassCount() const override { return FLineList->Count(); }

private:
    std::unique_ptr<TStringList> FLineList;
};

class TRpLoopBand : public TRpControllerBand {
    OZ_CLASS(TRpLoopBand, TRpControllerBand);

public:
    static void Publish(TPublisher<TRpLoopBand>& P);
    explicit TRpLoopBand(TComponent* AOwner);
    void BandTypeName(std::string& Text) const override { Text = "Loop Band"; }
    void BandComponentName(std::string& Text) const override { Text = "LoopBand"; }
    int32_t PrintCount() const { return Loop()->PrintCount(); }
    void SetPrintCount(int32_t Value) { Loop()->SetPrintCount(Value); }
    int32_t Count() const { return Loop()->LoopIndex(); }

protected:
    void LocalVarExpression(std::string& Text) const override;

private:
    TRpLoopController* Loop() const;
};

class TRpStringsBand : public TRpControllerBand {
    OZ_CLASS(TRpStringsBand, TRpControllerBand);

public:
    static void Publish(TPublisher<TRpStringsBand>& P);
    explicit TRpStringsBand(TComponent* AOwner);
    void BandTypeName(std::string& Text) const override { Text = "Strings Band"; }
    void BandComponentName(std::string& Text) const override { Text = "StringsBand"; }
    TStrings* Items() const { return Strings()->LineList(); }
    void SetItems(TStrings* Value) { Strings()->LineList()->Assign(Value); }
    int32_t Index() const { return Strings()->LineIndex(); }
    std::string Item() const;

protected:
    void LocalVarExpression(std::string& Text) const override { Text = "''"; }

private:
    TRpStringsController* Strings() const;
};
