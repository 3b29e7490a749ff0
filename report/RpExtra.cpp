#include "report/RpExtra.h"

#include "platform/DB.h"
#include "platform/SysUtils.h"

TRpEvElementDataField::TRpEvElementDataField(TField* Field)
    : FDataSet(Field->DataSet()), FFieldPos(Field->Index()), FFieldName(Field->FieldName())
{
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
