// Field, expression and merged-memo printables.
#include "report/RpCtrlsData.h"

#include "platform/DB.h"
#include "platform/Picture.h"
#include "platform/ScopeGuard.h"
#include "platform/SysUtils.h"
#include "report/Rp4const.h"
#include "report/RpControllerBands.h"
#include "report/RpExtra.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>

#include <unistd.h>

// ------------------------------------------------------------ field text

TRpDBText::TRpDBText(TComponent* AOwner) : TRpCustomLabel(AOwner) {}

void TRpDBText::SetDataSet(TDataSet* Value)
{
    ReplaceReference(FDataSet, Value);
}

void TRpDBText::SetDataField(const std::string& Value)
{
    FDataField = Value;
    SetCaption(Value);
}

void TRpDBText::Notification(TComponent* AComponent, TOperation Operation)
{
    TRpCustomLabel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDataSet)
        FDataSet = nullptr;
}

void TRpDBText::Prepare()
{
    TRpCustomLabel::Prepare();
    FFound = false;
    FIsBlob = false;
    FFieldIndex = -1;
    TField* F = FDataSet ? FDataSet->FindField(FDataField) : nullptr;
    if (!F)
        return;
    FFieldIndex = F->Index();
    FFound = true;
    if (F->IsBlob()) {
        SetOutputText("");
        FIsBlob = true;
    }
}

void TRpDBText::UnPrepare()
{
    TRpCustomLabel::UnPrepare();
    FFound = false;
    SetCaption(FDataField.empty() ? Name() : FDataField);
}

bool TRpDBText::UseRightToLeftAlignment() const
{
    if (BiDiMode() != bdRightToLeft)
        return false;
    const TField* Field = CurrentField();
    if (!Field)
        return true;
    const TFieldType Type = Field->DataType();
    return Type == ftUnknown || Type == ftString || Type == ftBoolean || (Type > ftDateTime && Type != ftAutoInc);
}

TField* TRpDBText::CurrentField() const
{
    if (!FFound || !FDataSet || !FDataSet->Active())
        return nullptr;
    const TFields& Fields = FDataSet->Fields();
    if (FFieldIndex >= 0 && FFieldIndex < Fields.Count() && SameText(Fields[FFieldIndex]->FieldName(), FDataField))
        return Fields[FFieldIndex];
    return FDataSet->FindField(FDataField);
}

std::string TRpDBText::FieldText(const TField* F)
{
    if (!F)
        return {};
    try {
        if (F->IsBlob()) {
            Lines()->SetText(F->AsString());
            return {};
        }
        if (FMask.empty() || dynamic_cast<const TStringField*>(F))
            return F->DisplayText();
        if (F->IsNull())
            return {};
        if (dynamic_cast<const TIntegerField*>(F))
            return FormatFloat(FMask, static_cast<double>(F->AsLargeInt()));
        if (dynamic_cast<const TFloatField*>(F) || dynamic_cast<const TBCDField*>(F))
            return FormatFloat(FMask, F->AsFloat());
        if (dynamic_cast<const TDateTimeField*>(F))
            return FormatDateTime(FMask, F->AsDateTime());
        return F->DisplayText();
    } catch (const std::exception&) {
        // A value that does not convert prints nothing this time.
        return {};
    }
}

void TRpDBText::GetFieldString(std::string& Value)
{
    if (IsEnabled())
        Value = FieldText(CurrentField());
}

void TRpDBText::GetExpandedHeight(long double& NewHeight)
{
    SetOutputText(FieldText(CurrentField()));
    FormatLines();
    NewHeight = OutputLines()->Count() * static_cast<long double>(MeasureLineHeight());
}

void TRpDBText::Print(int OfsX, int OfsY)
{
    if (!IsEnabled())
        return;
    SetOutputText(FieldText(CurrentField()));
    FormatLines();
    TRpCustomLabel::Print(OfsX, OfsY);
}

// ------------------------------------------------------------ expression

TRpExpr::TRpExpr(TComponent* AOwner) : TRpCustomLabel(AOwner), FEvaluator(std::make_unique<TRpEvaluator>())
{
    SetExpression({});
}

TRpExpr::~TRpExpr()
{
    if (FMaster)
        FMaster->RemoveFreeNotification(this);
}

void TRpExpr::SetExpression(const std::string& Value)
{
    FExpression = Value;
    SetCaption(Value.empty() ? "(" + LoadResString(SRpNone) + ")" : Value);
}

void TRpExpr::SetMask(const std::string& Value)
{
    FMask = Value;
    SetExpression(FExpression);
}

void TRpExpr::SetMaster(TComponent* Value)
{
    ReplaceReference(FMaster, Value);
}

void TRpExpr::Notification(TComponent* AComponent, TOperation Operation)
{
    TRpCustomLabel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMaster)
        FMaster = nullptr;
}

void TRpExpr::Prepare()
{
    TRpCustomLabel::Prepare();
    TCustomRpReport* Host = HostReport();
    if (Host) {
        FEvaluator->SetDatasets(Host->RunDatasetsLookup());
        FEvaluator->SetEnvironment(Host->Functions());
    }
    FEvaluator->Prepare(FExpression);
    if (auto* Report = dynamic_cast<TCustomRpReport*>(FMaster))
        Report->AddNotifyClient(this);
    else if (auto* Sub = dynamic_cast<TRpSubDetail*>(FMaster))
        Sub->AddNotifyClient(this);
    else if (!FMaster && Host && FEvaluator->GetIsAggreg())
        Host->AddNotifyClient(this);
    Reset();
}

void TRpExpr::UnPrepare()
{
    FEvaluator->SetDatasets(nullptr);
    FEvaluator->UnPrepare();
    TRpCustomLabel::UnPrepare();
    SetExpression(FExpression);
}

void TRpExpr::Reset()
{
    if (FEvaluator->Prepared())
        FEvaluator->Reset();
}

TRpEvResult TRpExpr::GetValue()
{
    return FEvaluator->Prepared() ? FEvaluator->Value() : TRpEvResult::Error("Evaluator not prepared");
}

void TRpExpr::RpNotification(TObject* Sender, TRpNotifyOperation Operation)
{
    TRpCustomLabel::RpNotification(Sender, Operation);
    if (Operation == rpMasterDataAdvance && FEvaluator->Prepared())
        FEvaluator->DoAggregate();
}

void TRpExpr::Print(int OfsX, int OfsY)
{
    if (!IsEnabled())
        return;
    const TRpEvResult V = GetValue();
    std::string Text;
    switch (V.Kind()) {
    case resInt:
        Text = FMask.empty() ? IntToStr(V.IntValue()) : FormatFloat(FMask, V.IntValue());
        break;
    case resDouble:
        Text = FormatFloat(FMask, V.DoubleValue());
        break;
    case resBool:
        Text = V.BoolValue() ? "True" : "False";
        break;
    case resString:
    case resError:
        Text = std::string(V.Text());
        break;
    }
    SetOutputText(Text);
    FormatLines();
    TRpCustomLabel::Print(OfsX, OfsY);
    if (FResetAfterPrint)
        Reset();
}

// ------------------------------------------------------------- aggregate

TRpDBCalc::TRpDBCalc(TComponent* AOwner) : TRpExpr(AOwner) { ApplyOperation(); }

void TRpDBCalc::SetDataField(const std::string& Value)
{
    FDataField = Value;
    ApplyOperation();
}

void TRpDBCalc::SetOperation(TRpCalcOperation Value)
{
    FOperation = Value;
    ApplyOperation();
}

void TRpDBCalc::SetDataSource(TDataSource* Value)
{
    ReplaceReference(FDataSource, Value);
}

void TRpDBCalc::SetResetBand(TRpBand* Value)
{
    ReplaceReference(FResetBand, Value);
}

void TRpDBCalc::Notification(TComponent* AComponent, TOperation Operation)
{
    TRpExpr::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FDataSource)
        FDataSource = nullptr;
    if (AComponent == FResetBand)
        FResetBand = nullptr;
}

void TRpDBCalc::ApplyOperation()
{
    switch (FOperation) {
    case rpcSum: SetExpression("Sum(" + FDataField + ")"); break;
    case rpcCount: SetExpression("Count"); break;
    case rpcMax: SetExpression("Max(" + FDataField + ")"); break;
    case rpcMin: SetExpression("Min(" + FDataField + ")"); break;
    case rpcAverage: SetExpression("Average(" + FDataField + ")"); break;
    }
}

// ---------------------------------------------------------------- merger

TRpMerger::TRpMerger() : FOrgLines(std::make_unique<TStringList>()) {}

TRpMerger::~TRpMerger() { Unprepare(); }

void TRpMerger::Prepare()
{
    if (FPrepared)
        Unprepare();
    FMemoExpressions.clear();
    FMergedLines = std::make_unique<TStringList>();
    if (FOrgLines->Count() == 0)
        return;
    FBareLines = std::make_unique<TStringList>();
    for (int I = 0; I < FOrgLines->Count(); ++I) {
        std::string Line = FOrgLines->Strings(I);
        size_t From = 0;
        for (;;) {
            const size_t Open = Line.find('{', From);
            if (Open == std::string::npos)
                break;
            const size_t Close = Line.find('}', Open + 1);
            if (Close == std::string::npos)
                break;   // an unmatched "{" stays as text
            if (Close == Open + 1) {
                From = Close + 1;   // "{}" stays as text
                continue;
            }
            auto E = std::make_unique<TMemoEvaluator>();
            E->SetDatasets(FMergeDataSets);
            E->Prepare(Line.substr(Open + 1, Close - Open - 1));
            E->SetPlace(I, static_cast<int32_t>(Open));
            FMemoExpressions.push_back(std::move(E));
            Line.erase(Open, Close - Open + 1);
            From = Open;
        }
        FBareLines->Add(Line);
    }
    FPrepared = true;
}

void TRpMerger::Merge()
{
    if (!FMergedLines)
        FMergedLines = std::make_unique<TStringList>();
    if (!FMemoExpressions.empty()) {
        FMergedLines->Assign(FBareLines.get());
        for (auto It = FMemoExpressions.rbegin(); It != FMemoExpressions.rend(); ++It) {
            const TRpEvResult V = (*It)->Value();
            std::string Text;
            switch (V.Kind()) {
            case resInt: Text = IntToStr(V.IntValue()); break;
            case resDouble: Text = FloatToStr(V.DoubleValue()); break;
            case resString: Text = std::string(V.Text()); break;
            case resBool: Text = V.BoolValue() ? "True" : "False"; break;
            case resError: break;
            }
            std::string Line = FMergedLines->Strings((*It)->LineIndex());
            Line.insert(std::min<size_t>(static_cast<size_t>((*It)->InsertPos()), Line.size()), Text);
            FMergedLines->SetStrings((*It)->LineIndex(), Line);
        }
    } else if (!FMerged) {
        FMergedLines->Assign(FOrgLines.get());
    }
    FMerged = true;
}

void TRpMerger::Unprepare()
{
    if (FPrepared) {
        FBareLines.reset();
        FPrepared = false;
        FMerged = false;
    }
    FMemoExpressions.clear();
    FMergedLines.reset();
}

// ----------------------------------------------------------- merged memo

TRpExprMemo::TRpExprMemo(TComponent* AOwner) : TRpCustomLabel(AOwner) {}

TRpExprMemo::~TRpExprMemo() = default;

void TRpExprMemo::Prepare()
{
    FMerger = std::make_unique<TRpMerger>();
    FMerger->OrgLines()->Assign(Lines());
    if (TCustomRpReport* Host = HostReport())
        FMerger->SetMergeDataSets(Host->RunDatasetsLookup());
    FMerger->Prepare();
    TRpCustomLabel::Prepare();
}

void TRpExprMemo::UnPrepare()
{
    if (FMerger) {
        Lines()->Assign(FMerger->OrgLines());
        FMerger->SetMergeDataSets(nullptr);
        FMerger.reset();
    }
    TRpCustomLabel::UnPrepare();
}

void TRpExprMemo::Print(int OfsX, int OfsY)
{
    SetCaption("");
    if (FMerger) {
        FMerger->Merge();
        if (FMerger->Prepared()) {
            TStrings* Merged = FMerger->MergedLines();
            if (FRemoveBlankLines)
                for (int I = Merged->Count() - 1; I >= 0; --I)
                    if (Merged->Strings(I).empty())
                        Merged->Delete(I);
            Lines()->Assign(Merged);
        }
    }
    TRpCustomLabel::Print(OfsX, OfsY);
    SetCaption(Name());
}

void TRpExprMemo::Paint()
{
    if (Lines()->Count() > 0 && !Caption().empty())
        SetCaption("");
    TRpCustomLabel::Paint();
}

// ------------------------------------------------------------ data image

TRpDBImage::TRpDBImage(TComponent* AOwner) : TRpPrintable(AOwner), FPicture(std::make_unique<TPicture>())
{
    SetBounds(Left(), Top(), 105, 105);
    FPicture->OnChange = [this](TObject*) {
        FPictureLoaded = true;
        Invalidate();
    };
}

TRpDBImage::~TRpDBImage() { FPicture->OnChange = nullptr; }

void TRpDBImage::SetDataSet(TDataSet* Value)
{
    ReplaceReference(FDataSet, Value);
}

void TRpDBImage::SetStretch(bool Value)
{
    if (Value == FStretch)
        return;
    FStretch = Value;
    Invalidate();
}

void TRpDBImage::SetCenter(bool Value)
{
    if (Value == FCenter)
        return;
    FCenter = Value;
    Invalidate();
}

void TRpDBImage::Notification(TComponent* AComponent, TOperation Operation)
{
    TRpPrintable::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDataSet) {
        FDataSet = nullptr;
        FField = nullptr;
    }
}

void TRpDBImage::Prepare()
{
    TRpPrintable::Prepare();
    FField = FDataSet ? FDataSet->FindField(FDataField) : nullptr;
}

void TRpDBImage::UnPrepare()
{
    FField = nullptr;
    TRpPrintable::UnPrepare();
}

bool TRpDBImage::FieldPicture(TPicture& Picture) const
{
    // The field is looked up again: a reopened data set has new fields.
    const TField* F = FDataSet && FDataSet->Active() ? FDataSet->FindField(FDataField) : nullptr;
    if (!F || !F->IsBlob() || F->IsNull())
        return false;
    const std::string Bytes = F->AsString();
    if (Bytes.empty())
        return false;
    // The picture reader takes files: the bytes pass through a file of
    // this process's own, removed at once.
    std::string Name = (std::filesystem::temp_directory_path() / "rpdbimageXXXXXX").string();
    const int Fd = ::mkstemp(Name.data());
    if (Fd < 0)
        return false;
    TScopeExit Remove([&Name] { std::remove(Name.c_str()); });
    const bool Written = ::write(Fd, Bytes.data(), Bytes.size()) == static_cast<ssize_t>(Bytes.size());
    ::close(Fd);
    if (!Written)
        return false;
    try {
        Picture.LoadFromFile(Name);
    } catch (const std::exception&) {
        return false;   // not a picture: nothing is drawn
    }
    return !Picture.Empty();
}

void TRpDBImage::LoadPicture()
{
    if (FPictureLoaded)
        return;
    TPicture Loaded;
    if (FieldPicture(Loaded))
        FPicture->Assign(&Loaded);
}

void TRpDBImage::GetExpandedHeight(long double& NewHeight)
{
    NewHeight = Height();
    TPicture Loaded;
    if (FieldPicture(Loaded))
        NewHeight = Loaded.Height();
}

void TRpDBImage::Print(int OfsX, int OfsY)
{
    TCustomRpReport* Report = HostReport();
    TRpPrinter* P = ActivePrinter();
    if (!Report || !P || !IsEnabled())
        return;
    TCanvas* C = P->GetCanvas();
    const bool IsBlob = FDataSet && FDataSet->Active() && FDataSet->FindField(FDataField) &&
                        FDataSet->FindField(FDataField)->IsBlob();
    if (C && Report->FinishDoc() && IsBlob) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        TPicture Loaded;
        const bool Has = FieldPicture(Loaded);
        TRect R = PrintRect(OfsX, OfsY);
        R.Right = R.Left + P->XSize(Size()->Width());
        R.Bottom = R.Top + P->YSize(Size()->Height());
        if (FStretch) {
            if (Has)
                C->StretchDraw(R, Loaded.Graphic());
            else
                C->FillRect(R);
        } else if (Has) {
            const long double PPI = Size()->ScreenPPI();
            const int W = static_cast<int>(std::lround(Loaded.Width() / PPI * 254 * P->XFactor()));
            const int H = static_cast<int>(std::lround(Loaded.Height() / PPI * 254 * P->YFactor()));
            TRect Target = Rect(R.Left, R.Top, R.Left + W, R.Top + H);
            if (FCenter) {
                const int DX = (R.Width() - W) / 2, DY = (R.Height() - H) / 2;
                Target = Rect(Target.Left + DX, Target.Top + DY, Target.Right + DX, Target.Bottom + DY);
            }
            const TCanvas::TClipState Saved = C->SaveClip();
            C->IntersectClipRect(R);
            C->StretchDraw(Target, Loaded.Graphic());
            C->RestoreClip(Saved);
        }
    }
    TRpPrintable::Print(OfsX, OfsY);
}
