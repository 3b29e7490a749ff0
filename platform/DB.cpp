#include "platform/DB.h"

#include "platform/Application.h"
#include "platform/Streams.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

// ================================================================= values

TDBValue TDBValue::Integer(int64_t V)
{
    TDBValue r;
    r.Kind = vkInteger;
    r.Int = V;
    return r;
}

TDBValue TDBValue::Real(double V)
{
    TDBValue r;
    r.Kind = vkFloat;
    r.Float = V;
    return r;
}

TDBValue TDBValue::FromText(std::string V)
{
    TDBValue r;
    r.Kind = vkText;
    r.Text = std::move(V);
    return r;
}

TDBValue TDBValue::Blob(std::string Bytes)
{
    TDBValue r;
    r.Kind = vkBlob;
    r.Text = std::move(Bytes);
    return r;
}

bool TDBValue::operator==(const TDBValue& Other) const
{
    if (Kind != Other.Kind)
        return false;
    switch (Kind) {
    case vkNull: return true;
    case vkInteger: return Int == Other.Int;
    case vkFloat: return Float == Other.Float;
    default: return Text == Other.Text;
    }
}

namespace {

const TDBValue NullValue;

// Fifteen significant digits, as a float field shows itself.
std::string floatText(double V)
{
    return Format("%.15g", V);
}

bool tryTextToInt64(const std::string& S, int64_t& Value)
{
    const std::string t = Trim(S);
    const char* b = t.data();
    const char* e = b + t.size();
    if (b != e && *b == '+')
        ++b;
    const auto r = std::from_chars(b, e, Value);
    return r.ec == std::errc() && r.ptr == e && b != e;
}

bool tryTextToBool(const std::string& S, bool& Value)
{
    const std::string t = LowerCase(Trim(S));
    if (t == "true" || t == "t" || t == "yes" || t == "y" || t == "1") {
        Value = true;
        return true;
    }
    if (t == "false" || t == "f" || t == "no" || t == "n" || t == "0") {
        Value = false;
        return true;
    }
    return false;
}

bool inInt64Range(double V)
{
    return std::isfinite(V) && V >= -9223372036854775808.0 && V < 9223372036854775808.0;
}

// Reads up to Count digits at Pos; false unless exactly Count were there.
bool readDigits(const std::string& S, size_t& Pos, int Count, int& Value)
{
    Value = 0;
    for (int i = 0; i < Count; ++i, ++Pos) {
        if (Pos >= S.size() || S[Pos] < '0' || S[Pos] > '9')
            return false;
        Value = Value * 10 + (S[Pos] - '0');
    }
    return true;
}

bool readTime(const std::string& S, size_t& Pos, TDateTime& Value)
{
    int h = 0, n = 0, sec = 0, ms = 0;
    if (!readDigits(S, Pos, 2, h) || Pos >= S.size() || S[Pos++] != ':' || !readDigits(S, Pos, 2, n))
        return false;
    if (Pos < S.size() && S[Pos] == ':') {
        ++Pos;
        if (!readDigits(S, Pos, 2, sec))
            return false;
        if (Pos < S.size() && S[Pos] == '.') {
            ++Pos;
            // milliseconds from up to 9 fraction digits
            int digits = 0;
            double frac = 0, scale = 0.1;
            while (Pos < S.size() && S[Pos] >= '0' && S[Pos] <= '9' && digits < 9) {
                frac += (S[Pos] - '0') * scale;
                scale /= 10;
                ++Pos;
                ++digits;
            }
            if (digits == 0)
                return false;
            ms = std::min(999, static_cast<int>(std::lround(frac * 1000)));
        }
    }
    return TryEncodeTime(static_cast<uint16_t>(h), static_cast<uint16_t>(n), static_cast<uint16_t>(sec),
                         static_cast<uint16_t>(ms), Value);
}

}  // namespace

bool TryISOTextToDateTime(const std::string& S, TDateTime& Value)
{
    const std::string t = Trim(S);
    size_t pos = 0;
    if (t.size() >= 3 && t[2] == ':') {   // a time alone
        TDateTime tm = 0;
        if (!readTime(t, pos, tm) || pos != t.size())
            return false;
        Value = tm;
        return true;
    }
    int y = 0, m = 0, d = 0;
    if (!readDigits(t, pos, 4, y) || pos >= t.size() || t[pos++] != '-' || !readDigits(t, pos, 2, m) ||
        pos >= t.size() || t[pos++] != '-' || !readDigits(t, pos, 2, d))
        return false;
    TDateTime date = 0;
    if (!TryEncodeDate(static_cast<uint16_t>(y), static_cast<uint16_t>(m), static_cast<uint16_t>(d), date))
        return false;
    TDateTime time = 0;
    if (pos < t.size()) {
        if (t[pos] != ' ' && t[pos] != 'T')
            return false;
        ++pos;
        if (!readTime(t, pos, time) || pos != t.size())
            return false;
    }
    // Before 30 Dec 1899 the fraction still counts forward from midnight.
    Value = date >= 0 ? date + time : date - time;
    return true;
}

std::string DateTimeToISOText(TDateTime Value, TFieldType DataType)
{
    uint16_t h = 0, n = 0, s = 0, ms = 0;
    DecodeTime(Value, h, n, s, ms);
    const std::string time = ms ? FormatDateTime("hh:nn:ss.zzz", Value) : FormatDateTime("hh:nn:ss", Value);
    if (DataType == ftDate)
        return FormatDateTime("yyyy-mm-dd", Value);
    if (DataType == ftTime)
        return time;
    return FormatDateTime("yyyy-mm-dd", Value) + " " + time;
}

// ============================================================ field defs

TFieldDef::TFieldDef(std::string Name, TFieldType DataType, int Size, int FieldNo)
    : FName(std::move(Name)), FDataType(DataType), FSize(Size), FFieldNo(FieldNo)
{
}

int TFieldDefs::IndexOf(const std::string& Name) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (SameText(FItems[i].Name(), Name))
            return static_cast<int>(i);
    return -1;
}

void TFieldDefs::Update()
{
    if (FDataSet->Active())
        return;
    std::vector<TFieldDef> defs;
    FDataSet->InternalInitFieldDefs(defs);
    FItems = std::move(defs);
}

// ================================================================ fields

TField::TField(TDataSet* DataSet, const TFieldDef& Def, int Index)
    : TComponent(nullptr), FDataSet(DataSet), FFieldName(Def.Name()), FDataType(Def.DataType()),
      FSize(Def.Size()), FIndex(Index)
{
}

const TDBValue& TField::Value() const
{
    return FDataSet->FieldValue(FIndex);
}

bool TField::CanModify() const
{
    return !FReadOnly && FDataSet->CanModify();
}

int TField::AsInteger() const
{
    const int64_t v = GetAsLargeInt();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw EConvertError("'" + IntToStr(v) + "' is not a valid integer value");
    return static_cast<int>(v);
}

std::string TField::DisplayText() const
{
    return IsNull() ? std::string() : AsString();
}

void TField::ConvertError(const std::string& TypeName) const
{
    throw EConvertError("Cannot access field '" + FFieldName + "' as type " + TypeName);
}

std::string TField::GetAsString() const
{
    const TDBValue& v = Value();
    switch (v.Kind) {
    case TDBValue::vkNull: return std::string();
    case TDBValue::vkInteger: return IntToStr(v.Int);
    case TDBValue::vkFloat: return floatText(v.Float);
    default: return v.Text;
    }
}

int64_t TField::GetAsLargeInt() const
{
    const TDBValue& v = Value();
    switch (v.Kind) {
    case TDBValue::vkNull: return 0;
    case TDBValue::vkInteger: return v.Int;
    case TDBValue::vkFloat:
        if (!inInt64Range(v.Float))
            throw EConvertError("'" + floatText(v.Float) + "' is not a valid integer value");
        return std::llround(v.Float);
    case TDBValue::vkText: {
        int64_t r = 0;
        if (tryTextToInt64(v.Text, r))
            return r;
        throw EConvertError("'" + v.Text + "' is not a valid integer value");
    }
    default: ConvertError("Integer");
    }
}

double TField::GetAsFloat() const
{
    const TDBValue& v = Value();
    switch (v.Kind) {
    case TDBValue::vkNull: return 0;
    case TDBValue::vkInteger: return static_cast<double>(v.Int);
    case TDBValue::vkFloat: return v.Float;
    case TDBValue::vkText: {
        double r = 0;
        if (TryStrToFloat(Trim(v.Text), r))
            return r;
        throw EConvertError("'" + v.Text + "' is not a valid floating point value");
    }
    default: ConvertError("Float");
    }
}

bool TField::GetAsBoolean() const
{
    const TDBValue& v = Value();
    switch (v.Kind) {
    case TDBValue::vkNull: return false;
    case TDBValue::vkInteger: return v.Int != 0;
    case TDBValue::vkFloat: return v.Float != 0;
    case TDBValue::vkText: {
        bool r = false;
        if (tryTextToBool(v.Text, r))
            return r;
        throw EConvertError("'" + v.Text + "' is not a valid boolean value");
    }
    default: ConvertError("Boolean");
    }
}

TDateTime TField::GetAsDateTime() const
{
    const TDBValue& v = Value();
    switch (v.Kind) {
    case TDBValue::vkNull: return 0;
    case TDBValue::vkInteger: return static_cast<double>(v.Int);
    case TDBValue::vkFloat: return v.Float;
    case TDBValue::vkText: {
        TDateTime r = 0;
        if (TryISOTextToDateTime(v.Text, r))
            return r;
        throw EConvertError("'" + v.Text + "' is not a valid date and time");
    }
    default: ConvertError("DateTime");
    }
}

// The base writers are those of a text field: every value becomes text.
void TField::SetFromString(const std::string& Value)
{
    StoreValue(TDBValue::FromText(Value));
}

void TField::SetFromLargeInt(int64_t Value)
{
    StoreValue(TDBValue::FromText(IntToStr(Value)));
}

void TField::SetFromFloat(double Value)
{
    StoreValue(TDBValue::FromText(floatText(Value)));
}

void TField::SetFromBoolean(bool Value)
{
    StoreValue(TDBValue::FromText(Value ? "True" : "False"));
}

void TField::SetFromDateTime(TDateTime Value)
{
    StoreValue(TDBValue::FromText(DateTimeToISOText(Value, ftDateTime)));
}

void TField::StoreValue(TDBValue Value)
{
    FDataSet->SetFieldValue(FIndex, std::move(Value));
}

TStringField::TStringField(TDataSet* DataSet, const TFieldDef& Def, int Index) : TField(DataSet, Def, Index)
{
    SetDisplayWidth(Def.Size() > 0 ? Def.Size() : 20);
}

TNumericField::TNumericField(TDataSet* DataSet, const TFieldDef& Def, int Index) : TField(DataSet, Def, Index)
{
    SetAlignment(taRightJustify);
}

// ---------------------------------------------------------------- integers

TIntegerField::TIntegerField(TDataSet* DataSet, const TFieldDef& Def, int Index)
    : TNumericField(DataSet, Def, Index), FMinValue(std::numeric_limits<int>::min()),
      FMaxValue(std::numeric_limits<int>::max())
{
    SetDisplayWidth(11);
}

void TIntegerField::SetRange(int64_t Min, int64_t Max)
{
    FMinValue = Min;
    FMaxValue = Max;
}

std::string TIntegerField::GetAsString() const
{
    const TDBValue& v = Value();
    return v.Kind == TDBValue::vkFloat ? IntToStr(GetAsLargeInt()) : TField::GetAsString();
}

void TIntegerField::SetFromString(const std::string& Value)
{
    if (Trim(Value).empty()) {
        Clear();
        return;
    }
    int64_t v = 0;
    if (!tryTextToInt64(Value, v))
        throw EConvertError("'" + Value + "' is not a valid integer value");
    SetFromLargeInt(v);
}

void TIntegerField::SetFromLargeInt(int64_t Value)
{
    if (Value < FMinValue || Value > FMaxValue)
        throw EDatabaseError(IntToStr(Value) + " is not a valid value for field '" + FieldName() +
                             "'. The allowed range is " + IntToStr(FMinValue) + " to " + IntToStr(FMaxValue));
    StoreValue(TDBValue::Integer(Value));
}

void TIntegerField::SetFromFloat(double Value)
{
    if (!inInt64Range(Value))
        throw EConvertError("'" + floatText(Value) + "' is not a valid integer value");
    SetFromLargeInt(std::llround(Value));
}

void TIntegerField::SetFromBoolean(bool Value)
{
    SetFromLargeInt(Value ? 1 : 0);
}

TSmallintField::TSmallintField(TDataSet* DataSet, const TFieldDef& Def, int Index)
    : TIntegerField(DataSet, Def, Index)
{
    SetRange(-32768, 32767);
    SetDisplayWidth(6);
}

TWordField::TWordField(TDataSet* DataSet, const TFieldDef& Def, int Index) : TIntegerField(DataSet, Def, Index)
{
    SetRange(0, 65535);
    SetDisplayWidth(5);
}

TLargeintField::TLargeintField(TDataSet* DataSet, const TFieldDef& Def, int Index)
    : TIntegerField(DataSet, Def, Index)
{
    SetRange(std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
    SetDisplayWidth(15);
}

// ------------------------------------------------------------------ floats

TRealField::TRealField(TDataSet* DataSet, const TFieldDef& Def, int Index) : TNumericField(DataSet, Def, Index)
{
}

std::string TRealField::GetAsString() const
{
    return Value().Kind == TDBValue::vkFloat ? floatText(Value().Float) : TField::GetAsString();
}

void TRealField::SetFromString(const std::string& Value)
{
    if (Trim(Value).empty()) {
        Clear();
        return;
    }
    double v = 0;
    if (!TryStrToFloat(Trim(Value), v))
        throw EConvertError("'" + Value + "' is not a valid floating point value");
    SetFromFloat(v);
}

void TRealField::SetFromLargeInt(int64_t Value)
{
    SetFromFloat(static_cast<double>(Value));
}

void TRealField::SetFromFloat(double Value)
{
    StoreValue(TDBValue::Real(Value));
}

TFloatField::TFloatField(TDataSet* DataSet, const TFieldDef& Def, int Index) : TRealField(DataSet, Def, Index)
{
}

void TFloatField::SetFromBoolean(bool Value)
{
    SetFromFloat(Value ? 1 : 0);
}

TCurrencyField::TCurrencyField(TDataSet* DataSet, const TFieldDef& Def, int Index) : TFloatField(DataSet, Def, Index)
{
}

std::string TCurrencyField::DisplayText() const
{
    return IsNull() ? std::string() : FormatFloat("0.00", AsFloat());
}

TBCDField::TBCDField(TDataSet* DataSet, const TFieldDef& Def, int Index) : TRealField(DataSet, Def, Index)
{
}

// ---------------------------------------------------------------- booleans

TBooleanField::TBooleanField(TDataSet* DataSet, const TFieldDef& Def, int Index) : TField(DataSet, Def, Index)
{
    SetDisplayWidth(5);
}

std::string TBooleanField::GetAsString() const
{
    return IsNull() ? std::string() : (AsBoolean() ? "True" : "False");
}

void TBooleanField::SetFromString(const std::string& Value)
{
    if (Trim(Value).empty()) {
        Clear();
        return;
    }
    bool v = false;
    if (!tryTextToBool(Value, v))
        throw EConvertError("'" + Value + "' is not a valid boolean value");
    SetFromBoolean(v);
}

void TBooleanField::SetFromLargeInt(int64_t Value)
{
    SetFromBoolean(Value != 0);
}

void TBooleanField::SetFromFloat(double Value)
{
    SetFromBoolean(Value != 0);
}

void TBooleanField::SetFromBoolean(bool Value)
{
    StoreValue(TDBValue::Integer(Value ? 1 : 0));
}

// -------------------------------------------------------------- date-times

TDateTimeField::TDateTimeField(TDataSet* DataSet, const TFieldDef& Def, int Index) : TField(DataSet, Def, Index)
{
    SetDisplayWidth(18);
}

std::string TDateTimeField::GetAsString() const
{
    return IsNull() ? std::string() : DateTimeToStr(AsDateTime());
}

double TDateTimeField::GetAsFloat() const
{
    return GetAsDateTime();
}

int64_t TDateTimeField::GetAsLargeInt() const
{
    const double v = GetAsDateTime();
    return static_cast<int64_t>(std::trunc(v));
}

void TDateTimeField::SetFromString(const std::string& Value)
{
    if (Trim(Value).empty()) {
        Clear();
        return;
    }
    TDateTime v = 0;
    if (!TryISOTextToDateTime(Value, v))
        throw EConvertError("'" + Value + "' is not a valid date and time");
    SetFromDateTime(v);
}

void TDateTimeField::SetFromLargeInt(int64_t Value)
{
    SetFromDateTime(static_cast<double>(Value));
}

void TDateTimeField::SetFromFloat(double Value)
{
    SetFromDateTime(Value);
}

void TDateTimeField::SetFromDateTime(TDateTime Value)
{
    StoreValue(TDBValue::FromText(DateTimeToISOText(Value, DataType())));
}

TDateField::TDateField(TDataSet* DataSet, const TFieldDef& Def, int Index) : TDateTimeField(DataSet, Def, Index)
{
    SetDisplayWidth(10);
}

std::string TDateField::GetAsString() const
{
    return IsNull() ? std::string() : DateToStr(AsDateTime());
}

TTimeField::TTimeField(TDataSet* DataSet, const TFieldDef& Def, int Index) : TDateTimeField(DataSet, Def, Index)
{
    SetDisplayWidth(10);
}

std::string TTimeField::GetAsString() const
{
    return IsNull() ? std::string() : TimeToStr(AsDateTime());
}

// ------------------------------------------------------------------- blobs

TBlobField::TBlobField(TDataSet* DataSet, const TFieldDef& Def, int Index) : TField(DataSet, Def, Index)
{
}

std::string TBlobField::DisplayText() const
{
    return IsNull() ? "(Blob)" : "(BLOB)";
}

std::vector<uint8_t> TBlobField::AsBytes() const
{
    const TDBValue& v = Value();
    if (v.Kind != TDBValue::vkText && v.Kind != TDBValue::vkBlob)
        return {};
    return std::vector<uint8_t>(v.Text.begin(), v.Text.end());
}

void TBlobField::SetAsBytes(const std::vector<uint8_t>& Value)
{
    StoreValue(TDBValue::Blob(std::string(Value.begin(), Value.end())));
}

void TBlobField::SaveToStream(TStream* Stream) const
{
    const std::vector<uint8_t> bytes = AsBytes();
    if (!bytes.empty())
        Stream->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TBlobField::LoadFromStream(TStream* Stream)
{
    std::string bytes;
    char buf[65536];
    for (;;) {
        const int64_t n = Stream->Read(buf, sizeof buf);
        if (n <= 0)
            break;
        bytes.append(buf, static_cast<size_t>(n));
    }
    StoreValue(TDBValue::Blob(std::move(bytes)));
}

void TBlobField::SetFromString(const std::string& Value)
{
    StoreValue(TDBValue::Blob(Value));
}

TMemoField::TMemoField(TDataSet* DataSet, const TFieldDef& Def, int Index) : TBlobField(DataSet, Def, Index)
{
}

std::string TMemoField::DisplayText() const
{
    return IsNull() ? "(Memo)" : "(MEMO)";
}

void TMemoField::SetFromString(const std::string& Value)
{
    StoreValue(TDBValue::FromText(Value));
}

// --------------------------------------------------------------- TFields

TField* TFields::FindField(const std::string& FieldName) const
{
    for (const auto& f : FItems)
        if (SameText(f->FieldName(), FieldName))
            return f.get();
    return nullptr;
}

int TFields::IndexOf(const TField* Field) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == Field)
            return static_cast<int>(i);
    return -1;
}

// ============================================================= parameters

void TParam::Set(TFieldType DataType, TDBValue Value)
{
    FDataType = DataType;
    FValue = std::move(Value);
    FBound = true;
}

void TParam::Clear()
{
    FValue = TDBValue::Null();
    FBound = true;
}

void TParam::SetAsString(const std::string& Value) { Set(ftString, TDBValue::FromText(Value)); }
void TParam::SetAsMemo(const std::string& Value) { Set(ftMemo, TDBValue::FromText(Value)); }
void TParam::SetAsInteger(int Value) { Set(ftInteger, TDBValue::Integer(Value)); }
void TParam::SetAsSmallInt(int Value) { Set(ftSmallint, TDBValue::Integer(Value)); }
void TParam::SetAsWord(int Value) { Set(ftWord, TDBValue::Integer(Value)); }
void TParam::SetAsLargeInt(int64_t Value) { Set(ftLargeint, TDBValue::Integer(Value)); }
void TParam::SetAsFloat(double Value) { Set(ftFloat, TDBValue::Real(Value)); }
void TParam::SetAsCurrency(double Value) { Set(ftCurrency, TDBValue::Real(Value)); }
void TParam::SetAsBCD(double Value) { Set(ftBCD, TDBValue::Real(Value)); }
void TParam::SetAsBoolean(bool Value) { Set(ftBoolean, TDBValue::Integer(Value ? 1 : 0)); }
void TParam::SetAsDate(TDateTime Value) { Set(ftDate, TDBValue::Real(Value)); }
void TParam::SetAsTime(TDateTime Value) { Set(ftTime, TDBValue::Real(Value)); }
void TParam::SetAsDateTime(TDateTime Value) { Set(ftDateTime, TDBValue::Real(Value)); }
void TParam::SetAsBlob(const std::string& Bytes) { Set(ftBlob, TDBValue::Blob(Bytes)); }

std::string TParam::AsString() const
{
    switch (FValue.Kind) {
    case TDBValue::vkNull: return std::string();
    case TDBValue::vkInteger: return FDataType == ftBoolean ? (FValue.Int ? "True" : "False") : IntToStr(FValue.Int);
    case TDBValue::vkFloat:
        if (FDataType == ftDate || FDataType == ftTime || FDataType == ftDateTime)
            return DateTimeToISOText(FValue.Float, FDataType);
        return floatText(FValue.Float);
    default: return FValue.Text;
    }
}

int TParam::AsInteger() const
{
    switch (FValue.Kind) {
    case TDBValue::vkInteger: return static_cast<int>(FValue.Int);
    case TDBValue::vkFloat: return static_cast<int>(std::lround(FValue.Float));
    case TDBValue::vkText: return StrToInt(FValue.Text);
    default: return 0;
    }
}

double TParam::AsFloat() const
{
    switch (FValue.Kind) {
    case TDBValue::vkInteger: return static_cast<double>(FValue.Int);
    case TDBValue::vkFloat: return FValue.Float;
    case TDBValue::vkText: return StrToFloat(FValue.Text);
    default: return 0;
    }
}

bool TParam::AsBoolean() const
{
    switch (FValue.Kind) {
    case TDBValue::vkInteger: return FValue.Int != 0;
    case TDBValue::vkFloat: return FValue.Float != 0;
    case TDBValue::vkText: {
        bool r = false;
        if (!tryTextToBool(FValue.Text, r))
            throw EConvertError("'" + FValue.Text + "' is not a valid boolean value");
        return r;
    }
    default: return false;
    }
}

TDateTime TParam::AsDateTime() const
{
    if (FValue.Kind == TDBValue::vkText) {
        TDateTime r = 0;
        if (!TryISOTextToDateTime(FValue.Text, r))
            throw EConvertError("'" + FValue.Text + "' is not a valid date and time");
        return r;
    }
    return AsFloat();
}

TDBValue TParam::BindValue() const
{
    if (!FBound)
        throw EDatabaseError("No value for parameter '" + FName + "'");
    if (FValue.IsNull())
        return FValue;
    switch (FDataType) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftMemo: return TDBValue::FromText(AsString());
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint:
        if (FValue.Kind == TDBValue::vkInteger)
            return FValue;
        if (FValue.Kind == TDBValue::vkFloat) {
            if (!inInt64Range(FValue.Float))
                throw EConvertError("'" + floatText(FValue.Float) + "' is not a valid integer value");
            return TDBValue::Integer(std::llround(FValue.Float));
        }
        {
            int64_t v = 0;
            if (!tryTextToInt64(FValue.Text, v))
                throw EConvertError("'" + FValue.Text + "' is not a valid integer value");
            return TDBValue::Integer(v);
        }
    case ftFloat:
    case ftCurrency:
    case ftBCD: return TDBValue::Real(AsFloat());
    case ftBoolean: return TDBValue::Integer(AsBoolean() ? 1 : 0);
    case ftDate:
    case ftTime:
    case ftDateTime: return TDBValue::FromText(DateTimeToISOText(AsDateTime(), FDataType));
    case ftBlob:
    case ftBytes:
    case ftVarBytes:
        return FValue.Kind == TDBValue::vkText || FValue.Kind == TDBValue::vkBlob ? TDBValue::Blob(FValue.Text)
                                                                                   : FValue;
    default: return FValue;
    }
}

TParam* TParams::FindParam(const std::string& Name) const
{
    for (const auto& p : FItems)
        if (SameText(p->Name(), Name))
            return p.get();
    return nullptr;
}

TParam* TParams::ParamByName(const std::string& Name) const
{
    TParam* p = FindParam(Name);
    if (!p)
        throw EDatabaseError("Parameter '" + Name + "' not found");
    return p;
}

TParam* TParams::CreateParam(TFieldType DataType, const std::string& Name)
{
    FItems.push_back(std::make_unique<TParam>(Name, DataType));
    return FItems.back().get();
}

void TParams::Rebuild(const std::vector<std::string>& Names)
{
    std::vector<std::unique_ptr<TParam>> items;
    for (const std::string& n : Names) {
        auto it = std::find_if(FItems.begin(), FItems.end(),
                               [&](const std::unique_ptr<TParam>& p) { return p && SameText(p->Name(), n); });
        if (it != FItems.end())
            items.push_back(std::move(*it));
        else
            items.push_back(std::make_unique<TParam>(n, ftUnknown));
    }
    FItems = std::move(items);
}

std::vector<std::string> ParseSQLParamNames(const std::string& SQL)
{
    std::vector<std::string> names;
    const size_t n = SQL.size();
    auto identChar = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
               static_cast<unsigned char>(c) >= 0x80;
    };
    for (size_t i = 0; i < n; ++i) {
        const char c = SQL[i];
        if (c == '\'' || c == '"' || c == '`' || c == '[') {
            const char close = c == '[' ? ']' : c;
            size_t j = i + 1;
            while (j < n && SQL[j] != close)
                ++j;
            i = j;   // a doubled quote reads as two quoted runs
        } else if (c == '-' && i + 1 < n && SQL[i + 1] == '-') {
            while (i < n && SQL[i] != '\n')
                ++i;
        } else if (c == '/' && i + 1 < n && SQL[i + 1] == '*') {
            const size_t e = SQL.find("*/", i + 2);
            i = e == std::string::npos ? n : e + 1;
        } else if (c == ':' && i + 1 < n && identChar(SQL[i + 1]) && (i == 0 || SQL[i - 1] != ':')) {
            size_t j = i + 1;
            while (j < n && identChar(SQL[j]))
                ++j;
            const std::string name = SQL.substr(i + 1, j - i - 1);
            if (std::none_of(names.begin(), names.end(), [&](const std::string& s) { return SameText(s, name); }))
                names.push_back(name);
            i = j - 1;
        }
    }
    return names;
}

// ============================================================== TDataSet

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner)
{
}

// Watchers hear the close and lose the data set while it is still whole; the
// destruction notice of TComponent follows.
TDataSet::~TDataSet()
{
    *FAlive = false;
    FDisableCount = 0;
    if (Active())
        InvokeGuarded([this] { CloseCursor(); });
    while (!FDataSources.empty()) {
        TDataSource* s = FDataSources.back();
        InvokeGuarded([s] { s->SetDataSet(nullptr); });
        RemoveDataSource(s);   // in case the handler raised before it let go
    }
}

void TDataSet::DatabaseError(const std::string& Message) const
{
    throw EDatabaseError(Name().empty() ? Message : Name() + ": " + Message);
}

void TDataSet::CheckActive() const
{
    if (!Active())
        DatabaseError("Cannot perform this operation on a closed dataset");
}

void TDataSet::CheckInactive() const
{
    if (Active())
        DatabaseError("Cannot perform this operation on an open dataset");
}

void TDataSet::SetActive(bool Value)
{
    if (Value == Active())
        return;
    if (Value)
        OpenCursor();
    else
        CloseCursor();
}

// ------------------------------------------------------------- rows held

void TDataSet::TRowStore::Reset(int Columns, int Slots, int First)
{
    const size_t room = static_cast<size_t>(std::max(Slots, 1));
    if (Columns != FColumns || FKeys.size() > room) {   // other rows, or a store that grew unbounded
        std::vector<TDBValue>().swap(FValues);
        std::vector<int64_t>().swap(FKeys);
    }
    FColumns = Columns;
    FSlots = room;
    FFirst = First;
    FCount = 0;
    FStart = 0;
}

void TDataSet::TRowStore::SetUnbounded()
{
    if (FStart != 0) {   // put the rows in order: slot i holds row First + i
        const size_t cols = static_cast<size_t>(FColumns);
        std::rotate(FValues.begin(), FValues.begin() + static_cast<std::ptrdiff_t>(FStart * cols), FValues.end());
        std::rotate(FKeys.begin(), FKeys.begin() + static_cast<std::ptrdiff_t>(FStart), FKeys.end());
        FStart = 0;
    }
    FSlots = std::numeric_limits<size_t>::max();
}

TDBValue* TDataSet::TRowStore::Push()
{
    if (Full()) {   // the oldest row makes room
        ++FFirst;
        --FCount;
        FStart = FStart + 1 < FSlots ? FStart + 1 : 0;
    }
    const size_t slot = Slot(FFirst + FCount);
    const size_t cols = static_cast<size_t>(FColumns);
    if (FKeys.size() <= slot) {   // still growing to its size: slots follow one another
        FValues.resize((slot + 1) * cols);
        FKeys.resize(slot + 1);
    }
    ++FCount;
    return FValues.data() + slot * cols;
}

void TDataSet::TRowStore::Erase(int Row)
{
    const size_t slot = Slot(Row);
    const size_t cols = static_cast<size_t>(FColumns);
    const auto first = FValues.begin() + static_cast<std::ptrdiff_t>(slot * cols);
    FValues.erase(first, first + static_cast<std::ptrdiff_t>(cols));
    FKeys.erase(FKeys.begin() + static_cast<std::ptrdiff_t>(slot));
    --FCount;
}

namespace {

// Rows a data set holds from the start of its result (a result of up to this
// many rows is read whole on open), and rows of the window that follows the
// current one: a step back within it reads nothing again. A small window
// stays in the processor's cache as it slides.
constexpr int HeldRows = 1024;
constexpr int WindowRows = 128;

}  // namespace

TDataSet::TRowStore* TDataSet::StoreOf(int Row)
{
    if (FFirstRows.Holds(Row))
        return &FFirstRows;
    if (FWindow.Holds(Row))
        return &FWindow;
    return nullptr;
}

int64_t TDataSet::KeyOf(int Row)
{
    TRowStore* store = StoreOf(Row);
    if (!store && Seek(Row))
        store = StoreOf(Row);
    return store ? store->Key(Row) : Row + 1;
}

bool TDataSet::HoldsAllRows() const
{
    return FCursorDone && FCountKnown && FFirstRows.Count() == FRowCount;
}

// Reads the cursor's next row into the first rows while they have room,
// else into the window, which slides.
bool TDataSet::FetchRow()
{
    if (FCursorDone)
        return false;
    TRowStore* store = &FFirstRows;
    if (FCursorRow != FFirstRows.End() || FFirstRows.Full()) {
        store = &FWindow;
        if (FWindow.End() != FCursorRow || FWindow.Count() == 0)
            FWindow.Reset(FieldCount(), WindowRows, FCursorRow);
    }
    TDBValue* row = store->Push();
    int64_t key = FCursorRow + 1;   // the position stands in for a key
    bool more = false;
    try {
        more = InternalFetch(row, key);
    } catch (...) {
        store->DropLast();
        throw;
    }
    if (!more) {
        store->DropLast();
        FCursorDone = true;
        FRowCount = FCursorRow;
        FCountKnown = true;
        return false;
    }
    store->Key(FCursorRow) = key;
    ++FCursorRow;
    return true;
}

bool TDataSet::Seek(int Row)
{
    if (Row < 0)
        return false;
    if (StoreOf(Row))
        return true;
    if (Row >= FCursorRow && FCursorDone && FCountKnown && Row >= FRowCount)
        return false;
    if (Row < FCursorRow || FCursorDone) {
        // Behind the cursor: read again, holding the rows up to Row so that
        // going on back finds them.
        const int from = std::max(FFirstRows.End(), Row - (WindowRows - 1));
        FCursorDone = false;
        FCursorRow = InternalRestart(from);
        FWindow.Reset(FieldCount(), WindowRows, FCursorRow);
        if (FCursorRow < from) {
            FCursorDone = true;
            FRowCount = FCursorRow;
            FCountKnown = true;
            return false;
        }
    }
    while (FCursorRow <= Row)
        if (!FetchRow())
            return false;
    return true;
}

void TDataSet::HoldAllRows()
{
    if (HoldsAllRows()) {
        FFirstRows.SetUnbounded();
        return;
    }
    FCursorDone = false;
    FCursorRow = InternalRestart(0);
    FFirstRows.Reset(FieldCount(), HeldRows, 0);
    FFirstRows.SetUnbounded();
    FWindow.Reset(FieldCount(), WindowRows, 0);
    while (FetchRow()) {
    }
    FRow = std::min(std::max(FRow, 0), FRowCount - 1);   // the result may have changed meanwhile
}

void TDataSet::TakeFirstRows(TFetchResult& Result)
{
    const int columns = static_cast<int>(Result.Defs.size());
    const int rows = columns ? static_cast<int>(Result.Values.size() / static_cast<size_t>(columns)) : 0;
    FFirstRows.Reset(columns, HeldRows, 0);
    FWindow.Reset(columns, WindowRows, rows);
    const bool keyed = Result.Keys.size() == static_cast<size_t>(rows);
    auto v = Result.Values.begin();
    for (int r = 0; r < rows; ++r) {
        TDBValue* row = FFirstRows.Push();
        for (int c = 0; c < columns; ++c)
            row[c] = std::move(*v++);
        FFirstRows.Key(r) = keyed ? Result.Keys[static_cast<size_t>(r)] : r + 1;
    }
    Result.Values.clear();
    FCursorRow = rows;
    FCursorDone = Result.Complete;
    FCountKnown = Result.Complete;
    FRowCount = Result.Complete ? rows : 0;
    FCanModify = Result.CanModify;
}

// ---------------------------------------------------------- open, close

void TDataSet::OpenCursor()
{
    TFetchResult r;
    r.MaxRows = HeldRows;
    InternalOpen(r);   // raises with nothing changed
    CreateFields(r);
    TakeFirstRows(r);
    FRow = FFirstRows.Count() ? 0 : -1;
    FBof = true;
    FEof = FRow < 0;
    SetState(dsBrowse);
}

void TDataSet::CloseCursor()
{
    FEditValues.clear();
    FChanged.clear();
    FModified = false;
    SetState(dsInactive);
    InternalCloseCursor();
    FFields.FItems.clear();
    FFirstRows.Reset(0, HeldRows, 0);
    FWindow.Reset(0, WindowRows, 0);
    FCursorRow = 0;
    FCursorDone = true;
    FRowCount = 0;
    FCountKnown = false;
    FRow = -1;
    FBof = FEof = true;
    FCanModify = false;
}

void TDataSet::CreateFields(const TFetchResult& Result)
{
    FFields.FItems.clear();
    FFieldDefs.FItems = Result.Defs;
    for (size_t i = 0; i < Result.Defs.size(); ++i) {
        const TFieldDef& d = Result.Defs[i];
        const int index = static_cast<int>(i);
        std::unique_ptr<TField> f;
        switch (d.DataType()) {
        case ftSmallint: f = std::make_unique<TSmallintField>(this, d, index); break;
        case ftInteger:
        case ftAutoInc: f = std::make_unique<TIntegerField>(this, d, index); break;
        case ftWord: f = std::make_unique<TWordField>(this, d, index); break;
        case ftLargeint: f = std::make_unique<TLargeintField>(this, d, index); break;
        case ftBoolean: f = std::make_unique<TBooleanField>(this, d, index); break;
        case ftFloat: f = std::make_unique<TFloatField>(this, d, index); break;
        case ftCurrency: f = std::make_unique<TCurrencyField>(this, d, index); break;
        case ftBCD: f = std::make_unique<TBCDField>(this, d, index); break;
        case ftDate: f = std::make_unique<TDateField>(this, d, index); break;
        case ftTime: f = std::make_unique<TTimeField>(this, d, index); break;
        case ftDateTime: f = std::make_unique<TDateTimeField>(this, d, index); break;
        case ftBlob:
        case ftBytes:
        case ftVarBytes: f = std::make_unique<TBlobField>(this, d, index); break;
        case ftMemo: f = std::make_unique<TMemoField>(this, d, index); break;
        default: f = std::make_unique<TStringField>(this, d, index); break;
        }
        f->FReadOnly = !Result.CanModify || (i < Result.ReadOnly.size() && Result.ReadOnly[i]);
        FFields.FItems.push_back(std::move(f));
    }
}

TField* TDataSet::FieldByName(const std::string& FieldName) const
{
    TField* f = FFields.FindField(FieldName);
    if (!f)
        DatabaseError("Field '" + FieldName + "' not found");
    return f;
}

bool TDataSet::IsEmpty() const
{
    return FFirstRows.Count() == 0;
}

int TDataSet::RecordCount() const
{
    if (!Active())
        return 0;
    if (!FCountKnown) {
        // Counting changes nothing the data set shows.
        auto* self = const_cast<TDataSet*>(this);
        self->FRowCount = std::max(self->InternalRecordCount(), FCursorRow);
        self->FCountKnown = true;
    }
    return FRowCount;
}

int TDataSet::RecNo() const
{
    if (FState == dsInsert)
        return RecordCount() + 1;
    return FRow + 1;
}

const TDBValue& TDataSet::FieldValue(int Index) const
{
    const size_t i = static_cast<size_t>(Index);
    if (FState == dsEdit || FState == dsInsert)
        return i < FEditValues.size() ? FEditValues[i] : NullValue;
    if (FState == dsInactive || FRow < 0 || i >= FFields.FItems.size())
        return NullValue;
    auto* self = const_cast<TDataSet*>(this);
    TRowStore* store = self->StoreOf(FRow);
    return store ? store->Values(FRow)[i] : NullValue;
}

void TDataSet::SetFieldValue(int Index, TDBValue Value)
{
    if (FState != dsEdit && FState != dsInsert)
        DatabaseError("Dataset not in edit or insert mode");
    TField* f = FFields.Fields(Index);
    if (f->ReadOnly())
        DatabaseError("Field '" + f->FieldName() + "' cannot be modified");
    const size_t i = static_cast<size_t>(Index);
    FEditValues[i] = std::move(Value);
    FChanged[i] = true;
    FModified = true;
    DataEvent(deFieldChange, reinterpret_cast<intptr_t>(f));
}

// ------------------------------------------------------------- navigation

void TDataSet::MoveTo(int Row, bool NewBof, bool NewEof)
{
    const int old = FRow;
    FRow = Row;
    FBof = NewBof;
    FEof = NewEof;
    if (Row != old)
        DataEvent(deDataSetScroll, Row - old);
}

void TDataSet::First()
{
    CheckActive();
    CheckBrowseMode();
    const bool any = Seek(0);
    MoveTo(any ? 0 : -1, true, !any);
}

void TDataSet::Last()
{
    CheckActive();
    CheckBrowseMode();
    while (FetchRow()) {
    }
    const int last = FRowCount - 1;
    if (last >= 0 && !Seek(last)) {   // the result changed under a running query
        while (FetchRow()) {
        }
    }
    MoveTo(FRowCount - 1, FRowCount == 0, true);
}

void TDataSet::Next()
{
    CheckActive();
    CheckBrowseMode();
    if (FEof)
        return;
    if (FRow >= 0 && Seek(FRow + 1))
        MoveTo(FRow + 1, false, false);
    else {
        FBof = false;   // the last record stays current
        FEof = true;
    }
}

void TDataSet::Prior()
{
    CheckActive();
    CheckBrowseMode();
    if (FBof)
        return;
    if (FRow > 0 && Seek(FRow - 1))
        MoveTo(FRow - 1, false, false);
    else {
        FEof = false;
        FBof = true;
    }
}

// A data set that edits finds its keys (row ids) among the rows held, then
// by reading the result again; for the others a key is a position.
int TDataSet::FindKey(int64_t Key, int Hint)
{
    if (Hint >= 0 && Seek(Hint) && KeyOf(Hint) == Key)
        return Hint;
    if (!FCanModify)
        return -1;
    for (TRowStore* store : {&FFirstRows, &FWindow})
        for (int r = store->First(); r < store->End(); ++r)
            if (store->Key(r) == Key)
                return r;
    if (HoldsAllRows())
        return -1;
    for (int r = FFirstRows.End(); Seek(r); ++r)
        if (KeyOf(r) == Key)
            return r;
    return -1;
}

TBookmark TDataSet::GetBookmark() const
{
    TBookmark b;
    if (!Active() || FRow < 0 || FState == dsInsert)
        return b;
    b.FKey = const_cast<TDataSet*>(this)->KeyOf(FRow);
    b.FHint = FRow;
    b.FValid = true;
    return b;
}

bool TDataSet::BookmarkValid(const TBookmark& Bookmark) const
{
    if (!Active() || !Bookmark.FValid)
        return false;
    auto* self = const_cast<TDataSet*>(this);   // looking may read rows; the current one stays held
    const bool found = self->FindKey(Bookmark.FKey, Bookmark.FHint) >= 0;
    if (FRow >= 0)
        self->Seek(FRow);
    return found;
}

void TDataSet::GotoBookmark(const TBookmark& Bookmark)
{
    CheckActive();
    if (!Bookmark.FValid)
        return;
    CheckBrowseMode();
    const int row = FindKey(Bookmark.FKey, Bookmark.FHint);
    if (row < 0) {
        if (FRow >= 0)
            Seek(FRow);
        DatabaseError("Record not found");
    }
    MoveTo(row, false, false);
}

void TDataSet::Refresh()
{
    CheckActive();
    CheckBrowseMode();
    TFetchResult r;
    r.MaxRows = HeldRows;
    InternalOpen(r);
    bool sameColumns = r.Defs.size() == FFieldDefs.FItems.size();
    for (size_t i = 0; sameColumns && i < r.Defs.size(); ++i)
        sameColumns = SameText(r.Defs[i].Name(), FFieldDefs.FItems[i].Name()) &&
                      r.Defs[i].DataType() == FFieldDefs.FItems[i].DataType();
    const int oldRow = FRow;
    const int64_t oldKey = FRow >= 0 && StoreOf(FRow) ? KeyOf(FRow) : 0;

    if (!sameColumns) {
        CreateFields(r);
    } else {
        for (size_t i = 0; i < FFields.FItems.size(); ++i)
            FFields.FItems[i]->FReadOnly = !r.CanModify || (i < r.ReadOnly.size() && r.ReadOnly[i]);
    }
    TakeFirstRows(r);
    int row = oldRow >= 0 ? FindKey(oldKey, oldRow) : -1;
    if (row < 0 && oldRow >= 0) {   // the record is gone: the same place, or the last record
        row = oldRow;
        if (!Seek(row)) {
            while (FetchRow()) {
            }
            row = FRowCount - 1;
            if (row >= 0 && !Seek(row))
                row = -1;
        }
    }
    if (row < 0 && FFirstRows.Count() > 0)
        row = 0;
    FRow = row;
    FBof = FEof = FRow < 0;
    DataEvent(sameColumns ? deDataSetChange : deLayoutChange, 0);
}

// ------------------------------------------------------------------ edits

void TDataSet::Edit()
{
    CheckActive();
    if (FState == dsEdit || FState == dsInsert)
        return;
    if (!FCanModify)
        DatabaseError("Cannot modify a read-only dataset");
    HoldAllRows();
    if (FRowCount == 0) {
        Append();
        return;
    }
    const TDBValue* first = FFirstRows.Values(FRow);
    FEditValues.assign(first, first + FFields.FItems.size());
    FChanged.assign(FFields.FItems.size(), false);
    FModified = false;
    SetState(dsEdit);
    DataEvent(deRecordChange, 0);
}

void TDataSet::Append()
{
    CheckActive();
    CheckBrowseMode();
    if (!FCanModify)
        DatabaseError("Cannot modify a read-only dataset");
    HoldAllRows();
    const size_t n = FFields.FItems.size();
    FRowBeforeInsert = FRow;
    FEditValues.assign(n, TDBValue());
    FChanged.assign(n, false);
    FModified = false;
    FBof = FEof = false;
    SetState(dsInsert);
    DataEvent(deDataSetChange, 0);
}

void TDataSet::Post()
{
    CheckActive();
    if (FState != dsEdit && FState != dsInsert)
        DatabaseError("Dataset not in edit or insert mode");
    DataEvent(deUpdateRecord, 0);   // links write what they hold
    const bool inserting = FState == dsInsert;
    const size_t n = FFields.FItems.size();
    int64_t key = inserting ? 0 : FFirstRows.Key(FRow);
    std::vector<TDBValue> reread;
    if (inserting || FModified)
        key = InternalPost(inserting, key, FEditValues, FChanged, reread);   // raises in edit state
    std::vector<TDBValue>& row = reread.size() == n ? reread : FEditValues;
    if (inserting) {
        std::move(row.begin(), row.end(), FFirstRows.Push());
        FFirstRows.Key(FRowCount) = key;
        ++FRowCount;
        FCursorRow = FRowCount;
        FRow = FRowCount - 1;
    } else if (FModified) {
        std::move(row.begin(), row.end(), FFirstRows.Values(FRow));
        FFirstRows.Key(FRow) = key;   // a new INTEGER PRIMARY KEY is a new row id
    }
    FBof = FEof = false;
    FEditValues.clear();
    FChanged.clear();
    FModified = false;
    SetState(dsBrowse);
    DataEvent(deDataSetChange, 0);
}

void TDataSet::Cancel()
{
    if (FState != dsEdit && FState != dsInsert)
        return;
    if (FState == dsInsert) {
        FRow = FRowBeforeInsert;
        FBof = FEof = FRow < 0;
    }
    FEditValues.clear();
    FChanged.clear();
    FModified = false;
    SetState(dsBrowse);
    DataEvent(deDataSetChange, 0);
}

void TDataSet::Delete()
{
    CheckActive();
    if (FState == dsInsert) {
        Cancel();
        return;
    }
    Cancel();
    if (FRow < 0)
        DatabaseError("Cannot perform this operation on an empty dataset");
    if (!FCanModify)
        DatabaseError("Cannot modify a read-only dataset");
    HoldAllRows();
    if (FRow < 0)
        DatabaseError("Cannot perform this operation on an empty dataset");
    InternalDelete(FFirstRows.Key(FRow));
    FFirstRows.Erase(FRow);
    --FRowCount;
    FCursorRow = FRowCount;
    const bool wasLast = FRow >= FRowCount;
    if (wasLast)
        FRow = FRowCount - 1;
    FBof = FRowCount == 0;
    FEof = wasLast;
    DataEvent(deDataSetChange, 0);
}

void TDataSet::CheckBrowseMode()
{
    if (FState != dsEdit && FState != dsInsert)
        return;
    if (FModified) {
        Post();
        return;
    }
    DataEvent(deUpdateRecord, 0);   // a link may still have a value to write
    if (FModified)
        Post();
    else
        Cancel();
}

// ----------------------------------------------------------------- events

void TDataSet::SetState(TDataSetState Value)
{
    if (FState == Value)
        return;
    FState = Value;
    DataEvent(deUpdateState, 0);
}

void TDataSet::DisableControls()
{
    if (FDisableCount++ == 0) {
        FDisableState = FState;
        FEventPending = false;
    }
}

void TDataSet::EnableControls()
{
    if (FDisableCount == 0 || --FDisableCount > 0)
        return;
    if (FDisableState != FState)
        DataEvent(deUpdateState, 0);
    if (FEventPending && Active()) {
        FEventPending = false;
        DataEvent(deDataSetChange, 0);
    }
}

void TDataSet::DataEvent(TDataEvent Event, intptr_t Info)
{
    if (FDisableCount > 0) {
        if (Event != deUpdateState)
            FEventPending = true;
        return;
    }
    if (FDataSources.empty())
        return;
    const std::shared_ptr<bool> alive = FAlive;
    const auto sources = FDataSources;
    for (TDataSource* s : sources) {
        if (!*alive)
            return;
        if (std::find(FDataSources.begin(), FDataSources.end(), s) != FDataSources.end())
            s->DataEvent(Event, Info);
    }
}

void TDataSet::AddDataSource(TDataSource* Source)
{
    if (std::find(FDataSources.begin(), FDataSources.end(), Source) == FDataSources.end())
        FDataSources.push_back(Source);
}

void TDataSet::RemoveDataSource(TDataSource* Source)
{
    FDataSources.erase(std::remove(FDataSources.begin(), FDataSources.end(), Source), FDataSources.end());
}

// ============================================================ TDataSource

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner)
{
}

TDataSource::~TDataSource()
{
    *FAlive = false;
    for (TDataLink* l : FLinks) {
        l->FDataSource = nullptr;
        l->FActive = l->FEditing = false;
    }
    FLinks.clear();
    if (FDataSet)
        FDataSet->RemoveDataSource(this);
}

void TDataSource::SetDataSet(TDataSet* Value)
{
    if (Value == FDataSet)
        return;
    TDataSet* old = FDataSet;
    if (old) {
        old->RemoveDataSource(this);
        RemoveFreeNotification(old);
    }
    FDataSet = Value;
    if (Value) {
        Value->AddDataSource(this);
        Value->FreeNotification(this);
    }
    const TDataSetState state = Value ? Value->State() : dsInactive;
    if (state != FState)
        SetState(state);
    else if (state != dsInactive)
        DataEvent(deDataSetChange, 0);   // other records under the same state
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDataSet) {
        FDataSet = nullptr;   // it is past telling; the data set let go of us already
        SetState(dsInactive);
    }
}

void TDataSource::SetState(TDataSetState Value)
{
    if (FState == Value)
        return;
    const TDataSetState prior = FState;
    FState = Value;
    const std::shared_ptr<bool> alive = FAlive;
    NotifyLinks(deUpdateState, 0);
    if (!*alive || Destroying())
        return;
    if (OnStateChange) {
        const TNotifyEvent handler = OnStateChange;
        handler(this);
        if (!*alive)
            return;
    }
    if (prior == dsInactive && OnDataChange) {
        const auto handler = OnDataChange;
        handler(this, nullptr);
    }
}

void TDataSource::DataEvent(TDataEvent Event, intptr_t Info)
{
    if (Event == deUpdateState) {
        SetState(FDataSet ? FDataSet->State() : dsInactive);
        return;
    }
    const std::shared_ptr<bool> alive = FAlive;
    NotifyLinks(Event, Info);
    if (!*alive)
        return;
    switch (Event) {
    case deFieldChange:
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
        if (OnDataChange) {
            const auto handler = OnDataChange;
            handler(this, Event == deFieldChange ? reinterpret_cast<TField*>(Info) : nullptr);
        }
        break;
    case deUpdateRecord:
        if (OnUpdateData) {
            const TNotifyEvent handler = OnUpdateData;
            handler(this);
        }
        break;
    default: break;
    }
}

void TDataSource::NotifyLinks(TDataEvent Event, intptr_t Info)
{
    const std::shared_ptr<bool> alive = FAlive;
    const auto links = FLinks;
    for (TDataLink* l : links) {
        if (!*alive)
            return;
        if (std::find(FLinks.begin(), FLinks.end(), l) != FLinks.end())
            l->DataEvent(Event, Info);
    }
}

// ============================================================== TDataLink

TDataLink::~TDataLink()
{
    if (FDataSource) {
        auto& links = FDataSource->FLinks;
        links.erase(std::remove(links.begin(), links.end(), this), links.end());
    }
}

TDataSet* TDataLink::DataSet() const
{
    return FDataSource ? FDataSource->DataSet() : nullptr;
}

void TDataLink::SetDataSource(TDataSource* Value)
{
    if (Value == FDataSource)
        return;
    if (FDataSource) {
        auto& links = FDataSource->FLinks;
        links.erase(std::remove(links.begin(), links.end(), this), links.end());
    }
    FDataSource = Value;
    if (Value)
        Value->FLinks.push_back(this);
    UpdateState();
}

void TDataLink::UpdateState()
{
    const TDataSet* ds = DataSet();
    const bool active = ds && ds->Active();
    const bool editing = active && (ds->State() == dsEdit || ds->State() == dsInsert);
    if (active != FActive) {
        FActive = active;
        FEditing = editing;
        ActiveChanged();
    } else if (editing != FEditing) {
        FEditing = editing;
        EditingChanged();
    }
}

void TDataLink::DataEvent(TDataEvent Event, intptr_t Info)
{
    switch (Event) {
    case deUpdateState: UpdateState(); break;
    case deDataSetChange:
    case deLayoutChange:
        if (FActive)
            DataSetChanged();
        break;
    case deDataSetScroll:
        if (FActive)
            DataSetScrolled(static_cast<int>(Info));
        break;
    case deRecordChange: RecordChanged(nullptr); break;
    case deFieldChange: RecordChanged(reinterpret_cast<TField*>(Info)); break;
    case deUpdateRecord: UpdateData(); break;
    }
}
