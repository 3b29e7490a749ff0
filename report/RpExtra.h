// Data sets for report expressions: the fields of a run's data sets as
// expression elements.
#pragma once

#include "report/RpExpr.h"

#include <string>
#include <vector>

class TDataSet;
class TField;

// Reads one field of a data set. The field is fetched again when the data set
// has rebuilt its fields: by its position when the field there still has the
// name, else by name; a field that is gone gives an error value.
class TRpEvElementDataField : public TRpEvElement {
public:
    explicit TRpEvElementDataField(TField* Field);
    void Value(TRpFiFo& FiFo, TRpEvResult& Result) override;
    // The field as the data set holds it now (nullptr when gone).
    TField* CurrentField();

private:
    TDataSet* FDataSet;
    int32_t FFieldPos;
    std::string FFieldName;
};

// A field's value as an expression value: strings (at most 255 characters),
// integers, floats, booleans; dates and times as their text.
TRpEvResult RpFieldValue(const TField* Field);

// The fields of a list of data sets, asked in list order.
class TRpDataSetFields : public TRpEvDatasets {
public:
    explicit TRpDataSetFields(const std::vector<TDataSet*>* DataSets) : FDataSets(DataSets) {}
    std::unique_ptr<TRpEvElement> FindField(const std::string& DatasetName, const std::string& FieldName) override;

private:
    const std::vector<TDataSet*>* FDataSets;
};
