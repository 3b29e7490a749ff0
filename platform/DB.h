// Data access: data sets that hold the records of a query, the fields that
// read and write the current record, field definitions, query parameters,
// bookmarks, and the data-source component with its links through which
// data-aware code (charts, report controllers) hears a data set open, close,
// move, post and refresh.
//
// A data set reads its records as it moves and keeps only some of them: the
// first rows of the result and a window of the rows read last, so walking a
// result of any size takes the same memory. A result that fits in
// those first rows is read whole when the data set opens and behaves as a
// copy: nothing of the database stays in use. A larger one keeps the query
// running while the data set walks it; going back beyond the window runs the
// query again and passes over the rows in front. Editing (Edit, Append,
// Delete) first reads the whole result into memory. The database engine
// behind it lives in DBTables.h (TDatabase, TQuery, TTable).
//
// Navigation follows the class library: First sets Bof, Next on the last
// record sets Eof and leaves that last record current (so do Prior and Bof on
// the first), an empty data set is at Eof and Bof with no current record, and
// its fields read as null.
//
// Events: the data set tells its data sources, each data source tells its
// links and then its own handlers. While controls are disabled nothing is
// told; the last EnableControls tells what changed (the state, then one
// data-set change). The order of what is told:
//   Open    links ActiveChanged, OnStateChange, OnDataChange(nullptr)
//   Close   links ActiveChanged, OnStateChange
//   Edit    links EditingChanged, OnStateChange, links RecordChanged(nullptr),
//           OnDataChange(nullptr)
//   Append  links EditingChanged, OnStateChange, links DataSetChanged,
//           OnDataChange(nullptr)
//   a field written   links RecordChanged(Field), OnDataChange(Field)
//   Post    links UpdateData, OnUpdateData (still in edit or insert state),
//           the record is written, links EditingChanged, OnStateChange (now
//           browse), links DataSetChanged, OnDataChange(nullptr)
//   Cancel  links EditingChanged, OnStateChange, links DataSetChanged,
//           OnDataChange(nullptr)
//   Delete, Refresh   links DataSetChanged, OnDataChange(nullptr)
//   a move (First, Next, Prior, Last, GotoBookmark)   links
//           DataSetScrolled(Distance), OnDataChange(nullptr); nothing when
//           the current record stays.
//
// Date and time columns hold ISO 8601 text ("2024-03-09 08:05:00",
// "2024-03-09", "08:05:00"); their fields turn it into a TDateTime and write
// it back in the same form. Errors raise EDatabaseError (engine errors carry
// the engine's message) or EConvertError (a value that does not convert).
#pragma once

#include "platform/Classes.h"
#include "platform/Controls.h"
#include "platform/SysUtils.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class TDataSet;
class TDataSource;
class TStream;

// An error of the data-access layer or of the database engine.
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
    EDatabaseError(const std::string& Message, int ErrorCode) : Exception(Message), FErrorCode(ErrorCode) {}
    // The engine's result code; 0 for errors found by this layer.
    int ErrorCode() const { return FErrorCode; }

private:
    int FErrorCode = 0;
};

// Ends the operation under way without an error to show: a handler of a
// loop over the records (a chart's OnProcessRecord) raises it to stop the
// loop early.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
    using Exception::Exception;
};

// Kept in the class library's order: code compares positions ("any type after
// ftDateTime").
enum TFieldType {
    ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
    ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftFixedChar,
    ftWideString, ftLargeint
};
enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };
enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };
enum TDataEvent {
    deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange,
    deUpdateRecord, deUpdateState
};

// One stored value as the engine holds it.
struct TDBValue {
    enum TKind { vkNull, vkInteger, vkFloat, vkText, vkBlob };
    TKind Kind = vkNull;
    int64_t Int = 0;
    double Float = 0;
    std::string Text;   // text (UTF-8) or blob bytes

    static TDBValue Null() { return {}; }
    static TDBValue Integer(int64_t V);
    static TDBValue Real(double V);
    static TDBValue FromText(std::string V);
    static TDBValue Blob(std::string Bytes);
    bool IsNull() const { return Kind == vkNull; }
    bool operator==(const TDBValue& Other) const;
};

// ISO 8601 date-time text. Reads "YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS[.fff]]"
// (or 'T' between), "HH:MM[:SS[.fff]]"; false (Value untouched) otherwise.
bool TryISOTextToDateTime(const std::string& S, TDateTime& Value);
// Writes "YYYY-MM-DD" for ftDate, "HH:MM:SS" for ftTime and
// "YYYY-MM-DD HH:MM:SS" for the others, with ".zzz" when there are ms.
std::string DateTimeToISOText(TDateTime Value, TFieldType DataType);

// ------------------------------------------------------------------- fields

class TFieldDef {
public:
    TFieldDef(std::string Name, TFieldType DataType, int Size, int FieldNo);
    const std::string& Name() const { return FName; }
    TFieldType DataType() const { return FDataType; }
    // Declared length of a text column ("VARCHAR(30)" is 30), else 0.
    int Size() const { return FSize; }
    int FieldNo() const { return FFieldNo; }   // 1-based

private:
    std::string FName;
    TFieldType FDataType;
    int FSize;
    int FFieldNo;
};

class TFieldDefs {
public:
    explicit TFieldDefs(TDataSet* DataSet) : FDataSet(DataSet) {}
    int Count() const { return static_cast<int>(FItems.size()); }
    const TFieldDef& Items(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
    const TFieldDef& operator[](int Index) const { return Items(Index); }
    int IndexOf(const std::string& Name) const;   // case-insensitive; -1 when absent
    // Reads the definitions from the database without opening the data set
    // (nothing to do while it is open).
    void Update();

private:
    friend class TDataSet;
    TDataSet* FDataSet;
    std::vector<TFieldDef> FItems;
};

// One column of the current record. The data set creates its fields when it
// opens and frees them when it closes; a field is a component, so code that
// keeps one can ask for its destruction notice.
class TField : public TComponent {
public:
    TField(TDataSet* DataSet, const TFieldDef& Def, int Index);

    TDataSet* DataSet() const { return FDataSet; }
    const std::string& FieldName() const { return FFieldName; }
    int FieldNo() const { return FIndex + 1; }
    int Index() const { return FIndex; }
    TFieldType DataType() const { return FDataType; }
    TFieldKind FieldKind() const { return fkData; }
    int Size() const { return FSize; }

    std::string DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
    void SetDisplayLabel(const std::string& Value) { FDisplayLabel = Value; }
    std::string DisplayName() const { return DisplayLabel(); }
    // Characters a column of this field needs.
    int DisplayWidth() const { return FDisplayWidth; }
    void SetDisplayWidth(int Value) { FDisplayWidth = Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { FAlignment = Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }
    // A column that is not a plain column of the edited table.
    bool ReadOnly() const { return FReadOnly; }
    bool CanModify() const;

    bool IsNull() const { return Value().IsNull(); }
    virtual bool IsBlob() const { return false; }
    // The stored value of the current record.
    const TDBValue& Value() const;

    // Readers; a null value reads as "", 0, false. A value that does not
    // convert raises EConvertError.
    std::string AsString() const { return GetAsString(); }
    int AsInteger() const;   // EConvertError outside 32 bits
    int64_t AsLargeInt() const { return GetAsLargeInt(); }
    double AsFloat() const { return GetAsFloat(); }
    bool AsBoolean() const { return GetAsBoolean(); }
    TDateTime AsDateTime() const { return GetAsDateTime(); }
    // The text a grid or a report shows; "" for null.
    virtual std::string DisplayText() const;

    // Writers, in edit or insert state only (EDatabaseError otherwise).
    void SetAsString(const std::string& Value) { SetFromString(Value); }
    void SetAsInteger(int Value) { SetFromLargeInt(Value); }
    void SetAsLargeInt(int64_t Value) { SetFromLargeInt(Value); }
    void SetAsFloat(double Value) { SetFromFloat(Value); }
    void SetAsBoolean(bool Value) { SetFromBoolean(Value); }
    void SetAsDateTime(TDateTime Value) { SetFromDateTime(Value); }
    void Clear() { StoreValue(TDBValue::Null()); }

protected:
    virtual std::string GetAsString() const;
    virtual int64_t GetAsLargeInt() const;
    virtual double GetAsFloat() const;
    virtual bool GetAsBoolean() const;
    virtual TDateTime GetAsDateTime() const;
    virtual void SetFromString(const std::string& Value);
    virtual void SetFromLargeInt(int64_t Value);
    virtual void SetFromFloat(double Value);
    virtual void SetFromBoolean(bool Value);
    virtual void SetFromDateTime(TDateTime Value);
    // Writes the value into the record being edited and tells the data set.
    void StoreValue(TDBValue Value);
    [[noreturn]] void ConvertError(const std::string& TypeName) const;

private:
    friend class TDataSet;
    TDataSet* FDataSet;
    std::string FFieldName;
    TFieldType FDataType;
    int FSize;
    int FIndex;
    std::string FDisplayLabel;
    int FDisplayWidth = 10;
    TAlignment FAlignment = taLeftJustify;
    bool FVisible = true;
    bool FReadOnly = false;
};

class TStringField : public TField {
public:
    TStringField(TDataSet* DataSet, const TFieldDef& Def, int Index);
};

class TNumericField : public TField {
public:
    TNumericField(TDataSet* DataSet, const TFieldDef& Def, int Index);
};

class TIntegerField : public TNumericField {
public:
    TIntegerField(TDataSet* DataSet, const TFieldDef& Def, int Index);
    int64_t MinValue() const { return FMinValue; }
    int64_t MaxValue() const { return FMaxValue; }

protected:
    std::string GetAsString() const override;
    void SetFromString(const std::string& Value) override;
    void SetFromLargeInt(int64_t Value) override;
    void SetFromFloat(double Value) override;
    void SetFromBoolean(bool Value) override;
    void SetRange(int64_t Min, int64_t Max);

private:
    int64_t FMinValue;
    int64_t FMaxValue;
};

class TSmallintField : public TIntegerField {
public:
    TSmallintField(TDataSet* DataSet, const TFieldDef& Def, int Index);
};

class TWordField : public TIntegerField {
public:
    TWordField(TDataSet* DataSet, const TFieldDef& Def, int Index);
};

// BIGINT columns: an integer field of 64 bits.
class TLargeintField : public TIntegerField {
public:
    TLargeintField(TDataSet* DataSet, const TFieldDef& Def, int Index);
};

// Numeric fields held as a double: FLOAT, REAL and DOUBLE columns (TFloatField)
// and NUMERIC and DECIMAL columns (TBCDField) read, parse and store alike.
class TRealField : public TNumericField {
public:
    TRealField(TDataSet* DataSet, const TFieldDef& Def, int Index);

protected:
    std::string GetAsString() const override;
    void SetFromString(const std::string& Value) override;
    void SetFromLargeInt(int64_t Value) override;
    void SetFromFloat(double Value) override;
};

class TFloatField : public TRealField {
public:
    TFloatField(TDataSet* DataSet, const TFieldDef& Def, int Index);

protected:
    void SetFromBoolean(bool Value) override;
};

// Shows two decimals.
class TCurrencyField : public TFloatField {
public:
    TCurrencyField(TDataSet* DataSet, const TFieldDef& Def, int Index);
    std::string DisplayText() const override;
};

// NUMERIC and DECIMAL columns, held as a double.
class TBCDField : public TRealField {
public:
    TBCDField(TDataSet* DataSet, const TFieldDef& Def, int Index);
};

// Stored as 1 and 0; reads "True" and "False".
class TBooleanField : public TField {
public:
    TBooleanField(TDataSet* DataSet, const TFieldDef& Def, int Index);

protected:
    std::string GetAsString() const override;
    void SetFromString(const std::string& Value) override;
    void SetFromLargeInt(int64_t Value) override;
    void SetFromFloat(double Value) override;
    void SetFromBoolean(bool Value) override;
};

// ISO 8601 text in the database, a TDateTime to the program; AsString and
// DisplayText in the platform's date-time format.
class TDateTimeField : public TField {
public:
    TDateTimeField(TDataSet* DataSet, const TFieldDef& Def, int Index);

protected:
    std::string GetAsString() const override;
    double GetAsFloat() const override;
    int64_t GetAsLargeInt() const override;
    void SetFromString(const std::string& Value) override;
    void SetFromLargeInt(int64_t Value) override;
    void SetFromFloat(double Value) override;
    void SetFromDateTime(TDateTime Value) override;
};

class TDateField : public TDateTimeField {
public:
    TDateField(TDataSet* DataSet, const TFieldDef& Def, int Index);

protected:
    std::string GetAsString() const override;
};

class TTimeField : public TDateTimeField {
public:
    TTimeField(TDataSet* DataSet, const TFieldDef& Def, int Index);

protected:
    std::string GetAsString() const override;
};

// Bytes; AsString gives them unchanged. DisplayText is "(BLOB)" ("(Blob)"
// when null).
class TBlobField : public TField {
public:
    TBlobField(TDataSet* DataSet, const TFieldDef& Def, int Index);
    bool IsBlob() const override { return true; }
    std::string DisplayText() const override;
    std::vector<uint8_t> AsBytes() const;
    void SetAsBytes(const std::vector<uint8_t>& Value);
    // Writes the bytes at the stream's position / reads the stream from its
    // position to its end.
    void SaveToStream(TStream* Stream) const;
    void LoadFromStream(TStream* Stream);

protected:
    void SetFromString(const std::string& Value) override;
};

// Long text; DisplayText is "(MEMO)" ("(Memo)" when null).
class TMemoField : public TBlobField {
public:
    TMemoField(TDataSet* DataSet, const TFieldDef& Def, int Index);
    std::string DisplayText() const override;

protected:
    void SetFromString(const std::string& Value) override;
};

// The fields of an open data set, in column order.
class TFields {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TField* Fields(int Index) const { return FItems.at(static_cast<size_t>(Index)).get(); }
    TField* operator[](int Index) const { return Fields(Index); }
    // Case-insensitive; nullptr when absent.
    TField* FindField(const std::string& FieldName) const;
    int IndexOf(const TField* Field) const;

private:
    friend class TDataSet;
    std::vector<std::unique_ptr<TField>> FItems;
};

// --------------------------------------------------------------- parameters

// One named parameter of a query. Its value is always handed to the engine
// apart from the SQL text, converted by DataType: texts, integers, floats,
// booleans as 1/0, dates and times as ISO text, blobs as bytes.
class TParam : public TObject {
public:
    TParam(std::string Name, TFieldType DataType) : FName(std::move(Name)), FDataType(DataType) {}
    const std::string& Name() const { return FName; }
    TFieldType DataType() const { return FDataType; }
    void SetDataType(TFieldType Value) { FDataType = Value; }
    // A value (null included) has been given.
    bool Bound() const { return FBound; }
    bool IsNull() const { return FValue.IsNull(); }
    // Binds null.
    void Clear();

    void SetAsString(const std::string& Value);
    void SetAsMemo(const std::string& Value);
    void SetAsInteger(int Value);
    void SetAsSmallInt(int Value);
    void SetAsWord(int Value);
    void SetAsLargeInt(int64_t Value);
    void SetAsFloat(double Value);
    void SetAsCurrency(double Value);
    void SetAsBCD(double Value);
    void SetAsBoolean(bool Value);
    void SetAsDate(TDateTime Value);
    void SetAsTime(TDateTime Value);
    void SetAsDateTime(TDateTime Value);
    void SetAsBlob(const std::string& Bytes);

    std::string AsString() const;
    int AsInteger() const;
    double AsFloat() const;
    bool AsBoolean() const;
    TDateTime AsDateTime() const;

    // The value as it goes to the engine (EDatabaseError when not bound).
    TDBValue BindValue() const;

private:
    void Set(TFieldType DataType, TDBValue Value);
    std::string FName;
    TFieldType FDataType;
    TDBValue FValue;
    bool FBound = false;
};

class TParams : public TObject {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TParam* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)).get(); }
    TParam* operator[](int Index) const { return Items(Index); }
    // Case-insensitive; nullptr when absent.
    TParam* FindParam(const std::string& Name) const;
    // EDatabaseError "Parameter 'X' not found" when absent.
    TParam* ParamByName(const std::string& Name) const;
    TParam* CreateParam(TFieldType DataType, const std::string& Name);
    void Clear() { FItems.clear(); }
    // Replaces the list by Names, keeping type and value of every name that
    // was there before.
    void Rebuild(const std::vector<std::string>& Names);

private:
    std::vector<std::unique_ptr<TParam>> FItems;
};

// The ":name" parameters of an SQL text, each once, in order of appearance;
// text in quotes and comments is skipped.
std::vector<std::string> ParseSQLParamNames(const std::string& SQL);

// ---------------------------------------------------------------- bookmarks

// Marks a record so that the data set can go back to it. A plain value:
// FreeBookmark only invalidates it. It stays good across Refresh for a data
// set that edits a table; others find the same position again.
class TBookmark {
public:
    bool Valid() const { return FValid; }

private:
    friend class TDataSet;
    int64_t FKey = 0;
    int FHint = -1;
    bool FValid = false;
};

// ----------------------------------------------------------------- data set

class TDataSet : public TComponent {
    OZ_CLASS(TDataSet, TComponent);

public:
    explicit TDataSet(TComponent* AOwner);
    ~TDataSet() override;

    bool Active() const { return FState != dsInactive; }
    void SetActive(bool Value);
    void Open() { SetActive(true); }
    // Discards an unposted edit.
    void Close() { SetActive(false); }
    TDataSetState State() const { return FState; }

    // Moves; in edit or insert state the record is posted first.
    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const { return FEof; }
    bool Bof() const { return FBof; }
    // No record at all (cheap: the first rows are always held).
    bool IsEmpty() const;
    // For a result larger than the rows held and not yet walked to its end
    // the engine counts the query's rows; the walk's own count replaces that
    // when it reaches the end.
    int RecordCount() const;
    // 1-based number of the current record; 0 when there is none.
    int RecNo() const;

    TFields& Fields() { return FFields; }
    const TFields& Fields() const { return FFields; }
    int FieldCount() const { return FFields.Count(); }
    TField* FindField(const std::string& FieldName) const { return FFields.FindField(FieldName); }
    // EDatabaseError "Field 'X' not found" when absent.
    TField* FieldByName(const std::string& FieldName) const;
    TFieldDefs& FieldDefs() { return FFieldDefs; }
    // The fields are made by the data set from the columns each time it
    // opens (fetch them again by index after a reopen).
    bool DefaultFields() const { return true; }

    // Reads the records again, keeping the current record where it can.
    void Refresh();

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount > 0; }

    TBookmark GetBookmark() const;
    // EDatabaseError "Record not found" when the record is gone.
    void GotoBookmark(const TBookmark& Bookmark);
    void FreeBookmark(TBookmark& Bookmark) { Bookmark = TBookmark(); }
    bool BookmarkValid(const TBookmark& Bookmark) const;

    // Editing, for a data set whose records come from one table (CanModify).
    bool CanModify() const { return Active() && FCanModify; }
    void Edit();     // an empty data set appends instead
    void Append();   // a blank record after the last one
    void Post();
    void Cancel();
    void Delete();
    bool Modified() const { return FModified; }
    // Posts a pending edit.
    void CheckBrowseMode();

protected:
    // What the engine reads on open and refresh: the columns and the first
    // MaxRows rows; the cursor stays open after them unless Complete.
    struct TFetchResult {
        int MaxRows = 0;                // in
        std::vector<TFieldDef> Defs;
        std::deque<TDBValue> Values;    // row after row
        std::vector<int64_t> Keys;      // one per row when CanModify
        bool Complete = false;          // every row is in Values
        bool CanModify = false;
        std::vector<bool> ReadOnly;     // per column
    };
    virtual void InternalOpen(TFetchResult& Result) = 0;
    // The cursor's next row into Row (FieldCount values) and its key (left
    // alone when the data set does not edit); false at the end, where the
    // cursor lets go of the database.
    virtual bool InternalFetch(TDBValue* Row, int64_t& Key) = 0;
    // Runs the query again and passes over its first Skip rows; returns the
    // rows passed over (fewer when the result is shorter).
    virtual int InternalRestart(int Skip) = 0;
    // The rows of the query, counted by the engine.
    virtual int InternalRecordCount() = 0;
    // Lets go of the cursor (also called while the data set is destroyed,
    // where only this class's own empty version runs).
    virtual void InternalCloseCursor() {}
    // The definitions without reading the records.
    virtual void InternalInitFieldDefs(std::vector<TFieldDef>& Defs) = 0;
    // Writes the edited record; returns its key. Reread gets the record as
    // the database now holds it (empty when the query no longer selects it).
    virtual int64_t InternalPost(bool Inserting, int64_t Key, const std::vector<TDBValue>& Values,
                                 const std::vector<bool>& Changed, std::vector<TDBValue>& Reread) = 0;
    virtual void InternalDelete(int64_t Key) = 0;

    void CheckInactive() const;   // EDatabaseError on an open data set
    void CheckActive() const;
    [[noreturn]] void DatabaseError(const std::string& Message) const;

private:
    friend class TField;
    friend class TDataSource;
    friend class TFieldDefs;

    // Consecutive rows held in a ring of slots; a bounded store lets its
    // oldest row go to make room, an unbounded one grows (and never wraps).
    class TRowStore {
    public:
        void Reset(int Columns, int Slots, int First);
        void SetUnbounded();
        int First() const { return FFirst; }
        int Count() const { return FCount; }
        int End() const { return FFirst + FCount; }
        bool Full() const { return static_cast<size_t>(FCount) == FSlots; }
        bool Holds(int Row) const { return Row >= FFirst && Row < FFirst + FCount; }
        TDBValue* Values(int Row) { return &FValues[Slot(Row) * FColumns]; }
        int64_t& Key(int Row) { return FKeys[Slot(Row)]; }
        // Room for row End() (the oldest row goes when a bounded store is
        // full); DropLast takes it back.
        TDBValue* Push();
        void DropLast() { --FCount; }
        // Unbounded stores only.
        void Erase(int Row);

    private:
        size_t Slot(int Row) const
        {
            const size_t slot = FStart + static_cast<size_t>(Row - FFirst);
            return slot < FSlots ? slot : slot - FSlots;
        }
        int FColumns = 0;
        int FFirst = 0;
        int FCount = 0;
        size_t FStart = 0;   // slot of row FFirst
        size_t FSlots = 1;
        std::vector<TDBValue> FValues;   // grows up to FSlots rows
        std::vector<int64_t> FKeys;
    };

    void OpenCursor();
    void CloseCursor();
    void TakeFirstRows(TFetchResult& Result);
    void CreateFields(const TFetchResult& Result);
    void SetState(TDataSetState Value);
    void DataEvent(TDataEvent Event, intptr_t Info);
    void MoveTo(int Row, bool NewBof, bool NewEof);
    void FieldChanged(TField* Field);
    const TDBValue& FieldValue(int Index) const;
    void SetFieldValue(int Index, TDBValue Value);
    // Makes Row held, reading or reading again as needed; false when the
    // result has no such row.
    bool Seek(int Row);
    bool FetchRow();
    TRowStore* StoreOf(int Row);
    // The key of a row (read again when it is no longer held); its position
    // when it is gone.
    int64_t KeyOf(int Row);
    // Reads the whole result into memory, for editing.
    void HoldAllRows();
    bool HoldsAllRows() const;
    int FindKey(int64_t Key, int Hint);
    void AddDataSource(TDataSource* Source);
    void RemoveDataSource(TDataSource* Source);

    TDataSetState FState = dsInactive;
    TFields FFields;
    TFieldDefs FFieldDefs{this};
    TRowStore FFirstRows;            // rows 0, 1, ... as far as they fit
    TRowStore FWindow;               // the rows read last after those
    int FCursorRow = 0;              // the row the cursor reads next
    bool FCursorDone = true;         // the cursor is at the end of the result
    int FRowCount = 0;               // when FCountKnown
    bool FCountKnown = false;
    int FRow = -1;                   // current row; -1 when empty
    bool FBof = true;
    bool FEof = true;
    bool FCanModify = false;
    // The record being edited or appended.
    std::vector<TDBValue> FEditValues;
    std::vector<bool> FChanged;
    bool FModified = false;
    int FRowBeforeInsert = -1;
    // DisableControls
    int FDisableCount = 0;
    TDataSetState FDisableState = dsInactive;
    bool FEventPending = false;
    std::vector<TDataSource*> FDataSources;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// -------------------------------------------------------- data source, links

class TDataLink;

// Connects data-aware code to a data set. A data set freed while a data
// source shows it leaves the data source empty (and tells its links and
// OnStateChange first).
class TDataSource : public TComponent {
public:
    explicit TDataSource(TComponent* AOwner);
    ~TDataSource() override;

    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* Value);
    // The data set's state; dsInactive without a data set.
    TDataSetState State() const { return FState; }

    TNotifyEvent OnStateChange;
    std::function<void(TObject* Sender, TField* Field)> OnDataChange;
    TNotifyEvent OnUpdateData;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TDataSet;
    friend class TDataLink;
    void DataEvent(TDataEvent Event, intptr_t Info);
    void SetState(TDataSetState Value);
    void NotifyLinks(TDataEvent Event, intptr_t Info);

    TDataSet* FDataSet = nullptr;
    TDataSetState FState = dsInactive;
    std::vector<TDataLink*> FLinks;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// A data-aware client of a data source: derive from it and override the
// notices wanted. Freeing a link, its data source or the data set is safe in
// any order.
class TDataLink : public TObject {
public:
    TDataLink() = default;
    ~TDataLink() override;

    TDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* Value);
    TDataSet* DataSet() const;
    bool Active() const { return FActive; }
    bool Editing() const { return FEditing; }

protected:
    // The data set opened or closed (or the link got another one).
    virtual void ActiveChanged() {}
    // Edit or insert state began or ended.
    virtual void EditingChanged() {}
    // The records changed as a whole: opened, posted, deleted, refreshed.
    virtual void DataSetChanged() {}
    // The current record moved by Distance records (0 when unknown).
    virtual void DataSetScrolled(int Distance) { DataSetChanged(); }
    // A field of the current record was written (Field), or the record.
    virtual void RecordChanged(TField* Field) {}
    // The record is about to be posted: write pending values now.
    virtual void UpdateData() {}

private:
    friend class TDataSource;
    void DataEvent(TDataEvent Event, intptr_t Info);
    void UpdateState();
    TDataSource* FDataSource = nullptr;
    bool FActive = false;
    bool FEditing = false;
};
