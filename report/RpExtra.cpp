#include "report/RpExtra.h"

#include "platform/Application.h"
#include "platform/DB.h"
#include "platform/ScopeGuard.h"
#include "platform/SysUtils.h"
#include "report/Rp4const.h"
#include "report/RpCtrls.h"
#include "report/RpCtrlsData.h"
#include "report/RpReport.h"

#include <algorithm>
#include <cmath>

TRpEvElementDataField::TRpEvElementDataField(TField* Field)
    : FDataSet(Field->DataSet()), FFieldPos(Field->Index()), FFieldName(Field->FieldName())
{
    SetElementKind(TRpEvElementKind::Leaf);
}

TField* TRpEvElementDataField::CurrentField()
{
    if (!FDataSet)
        return nullptr;
    const TFields& Fields = FDataSet->Fields();
    if (FFieldPos >= 0 && FFieldPos < Fields.Count()) {
        TField* F = Fields.Fields(FFieldPos);
        if (AnsiUpperCase(F->FieldName()) == AnsiUpperCase(FFieldName))
            return F;
    }
    return FDataSet->FindField(FFieldName);
}

void TRpEvElementDataField::Value(TRpFiFo&, TRpEvResult& Result)
{
    const TField* F = CurrentField();
    Result = F ? RpFieldValue(F) : TRpEvResult::Error("Field " + FFieldName + " not found");
}

TRpEvResult RpFieldValue(const TField* Field)
{
    if (dynamic_cast<const TStringField*>(Field))
        return TRpEvResult::String(Field->AsString().substr(0, 255));
    if (dynamic_cast<const TIntegerField*>(Field))
        return TRpEvResult::Int(static_cast<int32_t>(Field->AsLargeInt()));
    if (dynamic_cast<const TFloatField*>(Field) || dynamic_cast<const TBCDField*>(Field))
        return TRpEvResult::Double(Field->AsFloat());
    if (dynamic_cast<const TBooleanField*>(Field))
        return TRpEvResult::Bool(Field->AsBoolean());
    if (dynamic_cast<const TDateTimeField*>(Field))
        return TRpEvResult::String(Field->AsString());
    return TRpEvResult::Error("Field " + Field->FieldName() + " is of unknown type");
}

std::unique_ptr<TRpEvElement> TRpDataSetFields::FindField(const std::string& DatasetName,
                                                          const std::string& FieldName)
{
    if (!FDataSets)
        return nullptr;
    for (TDataSet* D : *FDataSets) {
        if (!DatasetName.empty() && AnsiUpperCase(D->Name()) != DatasetName)
            continue;
        if (TField* F = D->Active() ? D->FindField(FieldName) : nullptr)
            return std::make_unique<TRpEvElementDataField>(F);
        if (!DatasetName.empty())
            return nullptr;
    }
    return nullptr;
}

// ------------------------------------------------------------- builders

TRpBuilder::TRpBuilder(TComponent* AOwner) : TComponent(AOwner), FReportFont(std::make_unique<TFont>())
{
    FReportFont->SetName("Arial");
    SetOrientation(poPortrait);
}

TRpBuilder::~TRpBuilder() { FreeBuiltReport(); }

void TRpBuilder::FreeBuiltReport()
{
    if (FActive)
        delete FBuiltReport;
    FBuiltReport = nullptr;
}

void TRpBuilder::SetActive(bool Value)
{
    if (Value == FActive)
        return;
    if (Value)
        BuildFramework();
    else
        FreeBuiltReport();
    FActive = Value;
}

void TRpBuilder::SetOrientation(TPrinterOrientation Value)
{
    FOrientation = Value;
    if (FActive && FBuiltReport)
        FBuiltReport->Page()->SetOrientation(Value);
}

void TRpBuilder::SetTitle(const std::string& Value)
{
    FTitle = Value;
    if (FActive && FBuiltReport)
        FBuiltReport->SetReportTitle(Value);
}

TCustomRpReport* TRpBuilder::FetchReport()
{
    if (!FActive)
        return nullptr;
    TCustomRpReport* Report = FBuiltReport;
    FBuiltReport = nullptr;
    FActive = false;
    return Report;
}

std::string TRpBuilder::NewName(const std::string& Base)
{
    const std::string Name = Base.empty() ? Base : Base.substr(1);
    for (auto& [Key, Count] : FNameCounts)
        if (Key == Name)
            return Name + IntToStr(++Count);
    FNameCounts.emplace_back(Name, 1);
    return Name + "1";
}

void TRpBuilder::RenameObjects()
{
    if (!FBuiltReport)
        return;
    TComponent* Holder = FBuiltReport->Owner() ? FBuiltReport->Owner() : FBuiltReport;
    for (int I = 0; I < Holder->ComponentCount(); ++I) {
        TComponent* C = Holder->Components(I);
        if (C->Name().empty() && C->ClassName().size() > 1)
            C->SetName(UniqueName(Holder, C->ClassName().substr(1)));
    }
}

void TRpBuilder::BuildFramework()
{
    if (!FBuiltReport) {
        auto* Report = new TRpReport(Owner());
        if (auto* Form = dynamic_cast<TWinControl*>(Owner()))
            Report->SetParent(Form);
        Report->SetVisible(false);
        FBuiltReport = Report;
    }
    TCustomRpReport* R = FBuiltReport;
    R->Page()->SetOrientation(FOrientation);
    R->SetFont(FReportFont.get());
    if (!FTitle.empty()) {
        R->SetReportTitle(FTitle);
        R->Bands()->SetHasTitle(true);
        auto* Caption = R->Bands()->GetBand(1)->AddPrintable<TRpLabel>();
        Caption->SetAutoSize(true);
        Caption->SetAlignment(taCenter);
        Caption->SetAlignToBand(true);
        Caption->Font()->SetName("Arial");
        Caption->Font()->SetSize(14);
        Caption->Font()->SetStyle(TFontStyles{fsBold});
        Caption->SetCaption(FTitle);
    }
    const bool HadFooter = R->Bands()->HasPageFooter();
    R->Bands()->SetHasPageFooter(true);
    TRpCustomBand* Footer = R->Bands()->GetBand(6);
    auto* PageNo = Footer->AddPrintable<TRpExpr>();
    PageNo->SetAlignment(taRightJustify);
    PageNo->SetAlignToBand(true);
    PageNo->SetExpression("'" + LoadResString(SRpPage) + " ' + PageNumber");
    if (!HadFooter) {
        Footer->Size()->SetPixels();
        Footer->Size()->SetHeight(std::round(1.5 * PageNo->Height()));
        Footer->Size()->RestoreUnit();
    }
}

TRpListBuilder::TRpListBuilder(TComponent* AOwner) : TRpBuilder(AOwner), FFields(std::make_unique<TStringList>()) {}

TRpListBuilder::~TRpListBuilder() = default;

void TRpListBuilder::SetFields(TStrings* Value) { FFields->Assign(Value); }

void TRpListBuilder::AddAllFields()
{
    FFields->Clear();
    if (FListDataSet)
        for (int I = 0; I < FListDataSet->FieldCount(); ++I)
            FFields->Add(FListDataSet->Fields()[I]->FieldName());
}

void TRpListBuilder::SetActive(bool Value)
{
    if (Value && !FListDataSet) {
        TRpBuilder::SetActive(false);
        return;
    }
    const bool Was = Active();
    TRpBuilder::SetActive(Value);
    if (Value && !Was)
        BuildList();
}

namespace {

// Pixel height of a band.
int32_t BandPixels(TRpCustomBand* Band, int Index)
{
    Band->Size()->SetPixels();
    const int32_t V = static_cast<int32_t>(std::lround(static_cast<double>(Band->Size()->GetValue(Index))));
    Band->Size()->RestoreUnit();
    return V;
}

void SetBandPixels(TRpCustomBand* Band, int32_t Height)
{
    Band->Size()->SetPixels();
    Band->Size()->SetHeight(Height);
    Band->Size()->RestoreUnit();
}

}  // namespace

void TRpListBuilder::BuildList()
{
    TCustomRpReport* R = BuiltReport();
    const bool HadDetail = R->Bands()->HasDetail();
    const bool HadHeader = R->Bands()->HasColumnHeader();
    R->Bands()->SetHasDetail(true);
    R->Bands()->SetHasColumnHeader(true);
    int32_t RowHeight = static_cast<int32_t>(std::lround(BandPixels(R->Bands()->GetBand(4), 0) / 1.5));
    if (auto* Report = dynamic_cast<TRpReport*>(R))
        Report->SetDataSet(FListDataSet);
    if (FFields->Count() == 0) {
        for (int I = 0; I < FListDataSet->FieldCount(); ++I)
            if (FListDataSet->Fields()[I]->Visible())
                AddColumn(FListDataSet->Fields()[I], RowHeight);
    } else {
        for (int I = 0; I < FFields->Count(); ++I)
            AddColumn(FListDataSet->FieldByName(FFields->Strings(I)), RowHeight);
    }
    const auto Height = static_cast<int32_t>(std::lround(RowHeight * 1.5));
    if (!HadDetail)
        SetBandPixels(R->Bands()->GetBand(4), Height);
    if (!HadHeader)
        SetBandPixels(R->Bands()->GetBand(3), Height);
    RenameObjects();
}

void TRpListBuilder::AddColumn(TField* Field, int32_t& RowHeight)
{
    if (Field->IsBlob() || Field->FieldName().find_first_of(" /\\&%-") != std::string::npos)
        return;
    TCustomRpReport* R = BuiltReport();
    TRpCustomBand* Header = R->Bands()->GetBand(3);
    TRpCustomBand* Detail = R->Bands()->GetBand(4);
    auto* Label = Header->AddPrintable<TRpLabel>();
    Label->SetName(NewName("TRpLabel"));
    RowHeight = Label->Height();
    if (Label->AutoSize())
        Label->SetCaption(std::string(static_cast<size_t>(std::max(Field->DisplayWidth(), 1)), 'X'));
    Label->SetAutoSize(false);
    Label->SetCaption(Field->DisplayName());
    Label->Frame()->SetDrawBottom(true);
    auto* Value = Detail->AddPrintable<TRpExpr>();
    Value->SetName(NewName("TRpExpr"));
    Value->SetAutoSize(false);
    Value->SetExpression("[" + Field->FieldName() + "]");
    Value->SetBounds(Label->Left(), Value->Top(), Label->Width(), Value->Height());
    Value->SetAlignment(Field->Alignment());
    const auto Beyond = [&] { return Label->Left() + Label->Width() > Detail->Width(); };
    if (Beyond() && Orientation() == poPortrait) {
        SetOrientation(poLandscape);
        R->SetBandValues();
    }
    if (Beyond()) {
        delete Label;
        delete Value;
    }
}

void RpCreateList(TCustomRpReport*& Report, TComponent* Owner, TDataSet* DataSet, const std::string& Title,
                  TStrings* FieldList)
{
    TRpListBuilder Builder(Owner);
    Builder.SetListDataSet(DataSet);
    Builder.SetTitle(Title);
    Builder.SetBuiltReport(Report);
    if (FieldList)
        Builder.SetFields(FieldList);
    Builder.SetActive(true);
    if (Builder.Active())
        Report = Builder.FetchReport();
}

std::unique_ptr<TStringList> AllDataSets(TComponent* Form, bool IncludeDataModules)
{
    (void)IncludeDataModules;   // the program has no data modules
    auto List = std::make_unique<TStringList>();
    const auto Collect = [&List](TComponent* Holder, auto& Self) -> void {
        for (int I = 0; I < Holder->ComponentCount(); ++I) {
            TComponent* C = Holder->Components(I);
            if (auto* D = dynamic_cast<TDataSet*>(C))
                List->AddObject(D->Name(), D);
            else if (dynamic_cast<TWinControl*>(C))
                Self(C, Self);
        }
    };
    if (Form)
        Collect(Form, Collect);
    return List;
}

// ------------------------------------------------------------- text search

namespace {

// One search at a time: the preview's find runs on the GUI thread.
bool SearchBusy = false;

}  // namespace

bool StrInMetafile(const std::string& Str, TMetafile* Metafile, bool CaseSensitive)
{
    while (SearchBusy)
        Application->ProcessMessages();
    if (!Metafile)
        return false;
    TValueRollback<bool> Busy(SearchBusy, true);
    const std::string Wanted = CaseSensitive ? Str : AnsiUpperCase(Str);
    for (const TMetafile::TTextItem& Item : Metafile->TextItems()) {
        const std::string Text = CaseSensitive ? Item.Text : AnsiUpperCase(Item.Text);
        if (Text.find(Wanted) != std::string::npos)
            return true;
    }
    return false;
}

// ------------------------------------------------------------------ print job

void TRpPrintJob::Preview()
{
    const auto Printer = std::make_unique<TRpPrinter>(nullptr);
    Printer->SetDestination(rpdMetafile);
    Printer->Preview();
    Application->ProcessMessages();
    CreateOutput(Printer.get());
    while (Printer->ShowingPreview() && !Application->Terminated())
        Application->HandleMessage();
}

void TRpPrintJob::Print()
{
    const auto Printer = std::make_unique<TRpPrinter>(nullptr);
    Printer->SetDestination(rpdPrinter);
    CreateOutput(Printer.get());
}

// --------------------------------------------------------------- file handler

TRpPHandler::~TRpPHandler() = default;

void TRpPHandler::SetFilename(const std::string& Value)
{
    if (Value == FFilename)
        return;
    FLoadedPrinter.reset();
    FFilename.clear();
    auto Printer = std::make_unique<TRpPrinter>(nullptr);
    Printer->Load(Value);
    FLoadedPrinter = std::move(Printer);
    FFilename = Value;
}

void TRpPHandler::Preview()
{
    if (!FLoadedPrinter)
        return;
    FLoadedPrinter->Preview();
    while (FLoadedPrinter && FLoadedPrinter->ShowingPreview() && !Application->Terminated())
        Application->HandleMessage();
}

void TRpPHandler::Print()
{
    if (!FLoadedPrinter)
        return;
    const std::unique_ptr<TRpProgressListener> Progress = CreateProgressWindow();
    FLoadedPrinter->Print(Progress.get());
}
