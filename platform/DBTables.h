// The database behind the data sets: an embedded SQL database in one file
// (or in memory), the query and table data sets that read from it, and the
// way they write edited records back.
//
//   TDatabase Db(nullptr);
//   Db.SetDatabaseName(Folder + "/sales.db");     // or ":memory:"
//   Db.ExecSQL("CREATE TABLE ORDERS (CITY VARCHAR(20), QTY INTEGER, SOLD DATETIME)");
//   TQuery Q(nullptr);
//   Q.SetDatabase(&Db);
//   Q.SQL()->SetText("SELECT * FROM ORDERS WHERE CITY = :CITY");
//   Q.ParamByName("CITY")->SetAsString("Lyon");  // bound, never pasted into the SQL
//   Q.Open();
//   for (Q.First(); !Q.Eof(); Q.Next())
//       Total += Q.FieldByName("QTY")->AsInteger();
//
// Field classes follow the declared column type: INTEGER, INT, MEDIUMINT
// TIntegerField; SMALLINT, TINYINT TSmallintField; WORD TWordField; BIGINT,
// INT8 TLargeintField; REAL, FLOAT, DOUBLE TFloatField; CURRENCY, MONEY
// TCurrencyField; NUMERIC, DECIMAL TBCDField; BOOLEAN, BOOL TBooleanField;
// DATE TDateField; TIME TTimeField; DATETIME, TIMESTAMP TDateTimeField;
// TEXT, VARCHAR, NVARCHAR, STRING TStringField (CHAR, NCHAR, CHARACTER as
// ftFixedChar); MEMO, CLOB TMemoField; BLOB TBlobField. Other declared types
// follow the engine's affinity rules (a name holding INT is an integer, CHAR,
// CLOB or TEXT a string, REAL, FLOA or DOUB a float, BLOB a blob, else a
// float). A column that is an expression takes the type of its first non-null
// value (integer, float, text, blob; text when there is none).
//
// A data set larger than the rows it holds keeps its query running while it
// walks the result (see DB.h). A write through a TDatabase of this program
// (ExecSQL, Post, Delete) first stops the running queries of the other
// TDatabases on the same file, which would make it wait, and those of its
// own connection that are in its way (a rollback, dropping or altering what
// they read); such a data set runs its query again where it goes on and
// passes over the rows it had read. Another program writing the file waits
// for a running query as it waits for any reader.
//
// A data set edits when its SELECT reads one table (no join, DISTINCT,
// GROUP BY, compound select, view or sub-query on another table) and every
// column is a plain column of it: Post updates or inserts by the row id,
// Delete deletes by it, and the record is read back as the database holds it
// (defaults filled in). Otherwise it is read-only.
#pragma once

#include "platform/DB.h"

#include <memory>
#include <string>
#include <vector>

class TDBDataSet;
struct TDatabaseConnection;   // the engine's handle
struct TDBCursor;             // a data set's running query

// One connection to a database file. Data sets open it when they open.
class TDatabase : public TComponent {
public:
    explicit TDatabase(TComponent* AOwner);
    ~TDatabase() override;

    // A file path (created when missing) or ":memory:".
    const std::string& DatabaseName() const { return FDatabaseName; }
    // EDatabaseError while connected.
    void SetDatabaseName(const std::string& Value);
    bool Connected() const;
    void SetConnected(bool Value);
    void Open() { SetConnected(true); }
    // Closes every data set on this database first.
    void Close() { SetConnected(false); }

    // Runs one or more statements that return no records; returns the rows
    // changed by the last one. Connects when needed.
    int ExecSQL(const std::string& SQL);

    int DataSetCount() const { return static_cast<int>(FDataSets.size()); }
    TDBDataSet* DataSets(int Index) const { return FDataSets.at(static_cast<size_t>(Index)); }

private:
    friend class TDBDataSet;
    std::string FDatabaseName;
    std::unique_ptr<TDatabaseConnection> FConnection;
    std::vector<TDBDataSet*> FDataSets;
};

// A data set whose records come from an SQL SELECT on a TDatabase.
class TDBDataSet : public TDataSet {
    OZ_CLASS(TDBDataSet, TDataSet);

public:
    explicit TDBDataSet(TComponent* AOwner);
    ~TDBDataSet() override;

    TDatabase* Database() const { return FDatabase; }
    // EDatabaseError while open.
    void SetDatabase(TDatabase* Value);

protected:
    virtual std::string SelectSQL() const = 0;
    virtual const TParams* SelectParams() const { return nullptr; }

    void InternalOpen(TFetchResult& Result) override;
    bool InternalFetch(TDBValue* Row, int64_t& Key) override;
    int InternalRestart(int Skip) override;
    int InternalRecordCount() override;
    void InternalCloseCursor() override;
    void InternalInitFieldDefs(std::vector<TFieldDef>& Defs) override;
    int64_t InternalPost(bool Inserting, int64_t Key, const std::vector<TDBValue>& Values,
                         const std::vector<bool>& Changed, std::vector<TDBValue>& Reread) override;
    void InternalDelete(int64_t Key) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TDatabaseConnection& Connection();

private:
    friend class TDatabase;
    // What the last open found out about writing back.
    struct TEditTarget {
        bool Editable = false;
        std::string Schema;                    // "main"
        std::string Table;
        std::string RowIdName;                 // rowid, _rowid_ or oid
        std::string KeyedSQL;                  // the SELECT with the row id first
        std::vector<std::string> Columns;      // table column of each field
    };
    TEditTarget FTarget;
    TDatabase* FDatabase = nullptr;
    std::unique_ptr<TDBCursor> FCursor;
};

// A data set over an SQL text with ":name" parameters.
class TQuery : public TDBDataSet {
    OZ_CLASS(TQuery, TDBDataSet);

public:
    // Form files keep Database, SQL and, for TTable, TableName; never Active,
    // so reading a form runs no statement.
    static void Publish(TPublisher<TQuery>& P);
    explicit TQuery(TComponent* AOwner);
    ~TQuery() override;

    // Changing the text closes the query and rebuilds Params (a parameter
    // that stays keeps its type and value).
    TStrings* SQL() const { return FSQL.get(); }
    TParams& Params() { return FParams; }
    const TParams& Params() const { return FParams; }
    int ParamCount() const { return FParams.Count(); }
    TParam* ParamByName(const std::string& Name) const { return FParams.ParamByName(Name); }

    // Runs the text as a statement that returns no records, parameters bound.
    void ExecSQL();
    int RowsAffected() const { return FRowsAffected; }

protected:
    std::string SelectSQL() const override;
    const TParams* SelectParams() const override { return &FParams; }

private:
    void SQLChanged();
    std::unique_ptr<TStringList> FSQL;
    TParams FParams;
    int FRowsAffected = -1;
};

// Every record of one table.
class TTable : public TDBDataSet {
    OZ_CLASS(TTable, TDBDataSet);

public:
    static void Publish(TPublisher<TTable>& P);
    explicit TTable(TComponent* AOwner);

    const std::string& TableName() const { return FTableName; }
    // EDatabaseError while open.
    void SetTableName(const std::string& Value);

protected:
    std::string SelectSQL() const override;

private:
    std::string FTableName;
};
