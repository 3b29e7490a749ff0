// The only place that talks to the SQL engine.
#include "platform/DBTables.h"

#include "platform/Application.h"
#include "platform/PublishedProps.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <utility>

struct TDatabaseConnection {
    sqlite3* Db = nullptr;
    ~TDatabaseConnection()
    {
        if (Db)
            sqlite3_close_v2(Db);
    }
};

namespace {
class TStatement;
}

// The query a data set reads its rows from. While it has rows left to give
// it holds the database (a writer of another connection would wait); a
// write of this program stops it first ("parks" it), and it starts again
// where it was when asked for more.
struct TDBCursor {
    sqlite3* Db = nullptr;
    std::unique_ptr<TStatement> Statement;
    std::string Text;      // the SELECT alone (to count its rows)
    int First = 0;         // 1 when the row id comes first
    int Columns = 0;
    int Read = 0;          // rows handed out since the query began
    bool Running = false;  // stepped and not at its end
    bool Parked = false;   // stopped by a write; Read rows to pass over again
    ~TDBCursor();
};

namespace {

// The column the row id is read into ahead of the data set's own columns.
const char* const KeyColumn = "\"~rowid\"";

[[noreturn]] void engineError(sqlite3* Db)
{
    throw EDatabaseError(sqlite3_errmsg(Db), sqlite3_extended_errcode(Db));
}

std::string quoteIdent(const std::string& Name)
{
    std::string r = "\"";
    for (char c : Name) {
        r += c;
        if (c == '"')
            r += '"';
    }
    return r + "\"";
}

// One prepared statement; Tail is what follows it in the text.
class TStatement {
public:
    TStatement(sqlite3* Db, const char* SQL, int Bytes, const char** Tail = nullptr) : FDb(Db)
    {
        if (sqlite3_prepare_v2(Db, SQL, Bytes, &FStmt, Tail) != SQLITE_OK)
            engineError(Db);
    }
    TStatement(sqlite3* Db, const std::string& SQL) : TStatement(Db, SQL.c_str(), static_cast<int>(SQL.size())) {}
    ~TStatement() { sqlite3_finalize(FStmt); }
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;

    sqlite3_stmt* Get() const { return FStmt; }
    bool Empty() const { return FStmt == nullptr; }   // only blanks or comments were left
    // True while there is a row; raises on an engine error.
    bool Step()
    {
        const int rc = sqlite3_step(FStmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        engineError(FDb);
    }

private:
    sqlite3* FDb;
    sqlite3_stmt* FStmt = nullptr;
};

void bindValue(sqlite3* Db, sqlite3_stmt* Stmt, int Index, const TDBValue& V)
{
    int rc = SQLITE_OK;
    switch (V.Kind) {
    case TDBValue::vkNull: rc = sqlite3_bind_null(Stmt, Index); break;
    case TDBValue::vkInteger: rc = sqlite3_bind_int64(Stmt, Index, V.Int); break;
    case TDBValue::vkFloat: rc = sqlite3_bind_double(Stmt, Index, V.Float); break;
    case TDBValue::vkText:
        rc = sqlite3_bind_text64(Stmt, Index, V.Text.data(), V.Text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        break;
    case TDBValue::vkBlob:
        rc = V.Text.empty() ? sqlite3_bind_zeroblob(Stmt, Index, 0)   // empty, not null
                            : sqlite3_bind_blob64(Stmt, Index, V.Text.data(), V.Text.size(), SQLITE_TRANSIENT);
        break;
    }
    if (rc != SQLITE_OK)
        engineError(Db);
}

// Binds every named parameter of the statement from Params (by name, any
// case); KeyName, when given, takes Key. A parameter without a value raises.
void bindParams(sqlite3* Db, sqlite3_stmt* Stmt, const TParams* Params, const char* KeyName = nullptr,
                int64_t Key = 0, bool SkipUnbound = false)
{
    const int count = sqlite3_bind_parameter_count(Stmt);
    for (int i = 1; i <= count; ++i) {
        const char* raw = sqlite3_bind_parameter_name(Stmt, i);
        if (!raw)
            throw EDatabaseError("Parameters must have a name (:NAME)");
        if (KeyName && std::strcmp(raw, KeyName) == 0) {
            bindValue(Db, Stmt, i, TDBValue::Integer(Key));
            continue;
        }
        const std::string name = raw + 1;   // without ':', '@' or '$'
        const TParam* p = Params ? Params->FindParam(name) : nullptr;
        if (SkipUnbound && (!p || !p->Bound()))
            continue;
        if (!p)
            throw EDatabaseError("No value for parameter '" + name + "'");
        bindValue(Db, Stmt, i, p->BindValue());
    }
}

TDBValue columnValue(sqlite3_stmt* Stmt, int Index)
{
    switch (sqlite3_column_type(Stmt, Index)) {
    case SQLITE_INTEGER: return TDBValue::Integer(sqlite3_column_int64(Stmt, Index));
    case SQLITE_FLOAT: return TDBValue::Real(sqlite3_column_double(Stmt, Index));
    case SQLITE_TEXT: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(Stmt, Index));
        return TDBValue::FromText(std::string(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(Stmt, Index))));
    }
    case SQLITE_BLOB: {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(Stmt, Index));
        return TDBValue::Blob(std::string(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(Stmt, Index))));
    }
    default: return TDBValue::Null();
    }
}

TFieldType typeOfValue(const TDBValue& V)
{
    switch (V.Kind) {
    case TDBValue::vkInteger: return ftInteger;
    case TDBValue::vkFloat: return ftFloat;
    case TDBValue::vkBlob: return ftBlob;
    default: return ftString;
    }
}

// Writes a column of the current row over V, keeping V's text storage. One
// call into the engine takes the value; its type and contents are read off
// it (the connection is used from one thread, the value before the next
// step).
void readColumn(sqlite3_stmt* Stmt, int Index, TDBValue& V)
{
    sqlite3_value* value = sqlite3_column_value(Stmt, Index);
    V.Int = 0;
    V.Float = 0;
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        V.Kind = TDBValue::vkInteger;
        V.Int = sqlite3_value_int64(value);
        V.Text.clear();
        break;
    case SQLITE_FLOAT:
        V.Kind = TDBValue::vkFloat;
        V.Float = sqlite3_value_double(value);
        V.Text.clear();
        break;
    case SQLITE_TEXT: {
        V.Kind = TDBValue::vkText;
        const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(value));
        // clear and append: assign would check whether p lies in V.Text.
        V.Text.clear();
        V.Text.append(p ? p : "", static_cast<size_t>(sqlite3_value_bytes(value)));
        break;
    }
    case SQLITE_BLOB: {
        V.Kind = TDBValue::vkBlob;
        const auto* p = static_cast<const char*>(sqlite3_value_blob(value));
        V.Text.clear();
        V.Text.append(p ? p : "", static_cast<size_t>(sqlite3_value_bytes(value)));
        break;
    }
    default:
        V.Kind = TDBValue::vkNull;
        V.Text.clear();
        break;
    }
}

// The cursors that hold their database now.
std::vector<TDBCursor*>& runningCursors()
{
    static std::vector<TDBCursor*> cursors;
    return cursors;
}

void stopCursor(TDBCursor& C)
{
    if (!C.Running)
        return;
    sqlite3_reset(C.Statement->Get());
    C.Running = false;
    auto& running = runningCursors();
    running.erase(std::remove(running.begin(), running.end(), &C), running.end());
}

// Before a write on Db: the queries of other connections to the same file
// stop (a writer would wait for them), and those of Db itself when
// SameConnection (a query of the writing connection is in the way only of a
// few statements: see runWrite). Returns whether any stopped.
bool parkCursorsInTheWay(sqlite3* Db, bool SameConnection)
{
    const char* file = sqlite3_db_filename(Db, "main");
    const bool shared = file && *file;   // a memory database is the connection's own
    bool parked = false;
    const auto running = runningCursors();
    for (TDBCursor* c : running) {
        bool inTheWay = SameConnection && c->Db == Db;
        if (!inTheWay && shared && c->Db != Db) {
            const char* other = sqlite3_db_filename(c->Db, "main");
            inTheWay = other && std::strcmp(other, file) == 0;
        }
        if (inTheWay) {
            stopCursor(*c);
            c->Parked = true;
            parked = true;
        }
    }
    return parked;
}

// True while there is a row; at the end (or on an error) the query stops.
bool stepCursor(TDBCursor& C)
{
    if (!C.Running) {
        runningCursors().push_back(&C);
        C.Running = true;
    }
    const int rc = sqlite3_step(C.Statement->Get());
    if (rc == SQLITE_ROW)
        return true;
    stopCursor(C);
    if (rc != SQLITE_DONE)
        engineError(C.Db);
    return false;
}

// Passes over Rows rows; false when the result ends first.
bool skipRows(TDBCursor& C, int Rows)
{
    for (; C.Read < Rows; ++C.Read)
        if (!stepCursor(C))
            return false;
    return true;
}

// The types of the columns in Untyped, from their first non-null value in
// the rows of a statement of its own.
void typesFromValues(sqlite3* Db, const std::string& SQL, const TParams* Params, std::vector<int> Untyped,
                     std::vector<TFieldType>& Types)
{
    TStatement st(Db, SQL);
    bindParams(Db, st.Get(), Params, nullptr, 0, true);
    while (!Untyped.empty() && st.Step()) {
        for (auto it = Untyped.begin(); it != Untyped.end();) {
            const TDBValue v = columnValue(st.Get(), *it);
            if (v.IsNull()) {
                ++it;
            } else {
                Types[static_cast<size_t>(*it)] = typeOfValue(v);
                it = Untyped.erase(it);
            }
        }
    }
}

// Runs every statement of SQL; returns the rows changed by the last one.
// Runs a statement that may write. A query of the same connection that is
// still running stands in the way of dropping or altering what it reads (the
// engine refuses: locked) and of a rollback (which would end it): those
// queries stop first, and a refused statement runs again once they have.
void runWrite(sqlite3* Db, TStatement& St)
{
    const std::string text = UpperCase(TrimLeft(sqlite3_sql(St.Get())));
    parkCursorsInTheWay(Db, text.rfind("ROLLBACK", 0) == 0);
    try {
        while (St.Step()) {
        }
    } catch (const EDatabaseError& E) {
        const int code = E.ErrorCode() & 0xFF;
        if ((code != SQLITE_LOCKED && code != SQLITE_BUSY) || !parkCursorsInTheWay(Db, true))
            throw;
        sqlite3_reset(St.Get());
        while (St.Step()) {
        }
    }
}

int execAll(sqlite3* Db, const std::string& SQL, const TParams* Params)
{
    const char* p = SQL.c_str();
    const char* end = p + SQL.size();
    int changed = 0;
    while (p < end) {
        const char* tail = nullptr;
        TStatement st(Db, p, static_cast<int>(end - p), &tail);
        p = tail ? tail : end;
        if (st.Empty())
            continue;
        bindParams(Db, st.Get(), Params);
        runWrite(Db, st);
        changed = sqlite3_changes(Db);
    }
    return changed;
}

// The field type of a declared column type; Size gets "(n)".
TFieldType typeOfDeclaration(const char* Decl, int& Size)
{
    Size = 0;
    std::string d = UpperCase(Trim(Decl));
    const size_t paren = d.find('(');
    if (paren != std::string::npos) {
        Size = std::max(0, std::atoi(d.c_str() + paren + 1));
        d = Trim(d.substr(0, paren));
    }
    static const std::pair<const char*, TFieldType> names[] = {
        {"INTEGER", ftInteger},   {"INT", ftInteger},         {"MEDIUMINT", ftInteger},
        {"SMALLINT", ftSmallint}, {"TINYINT", ftSmallint},    {"WORD", ftWord},
        {"BIGINT", ftLargeint},   {"INT8", ftLargeint},       {"REAL", ftFloat},
        {"FLOAT", ftFloat},       {"DOUBLE", ftFloat},        {"DOUBLE PRECISION", ftFloat},
        {"CURRENCY", ftCurrency}, {"MONEY", ftCurrency},      {"NUMERIC", ftBCD},
        {"DECIMAL", ftBCD},       {"BOOLEAN", ftBoolean},     {"BOOL", ftBoolean},
        {"DATE", ftDate},         {"TIME", ftTime},           {"DATETIME", ftDateTime},
        {"TIMESTAMP", ftDateTime}, {"TEXT", ftString},        {"VARCHAR", ftString},
        {"NVARCHAR", ftString},   {"STRING", ftString},       {"CHAR", ftFixedChar},
        {"NCHAR", ftFixedChar},   {"CHARACTER", ftFixedChar}, {"MEMO", ftMemo},
        {"CLOB", ftMemo},         {"BLOB", ftBlob},
    };
    for (const auto& n : names)
        if (d == n.first)
            return n.second;
    if (d.find("INT") != std::string::npos)
        return ftInteger;
    if (d.find("CHAR") != std::string::npos || d.find("CLOB") != std::string::npos ||
        d.find("TEXT") != std::string::npos)
        return ftString;
    if (d.find("BLOB") != std::string::npos)
        return ftBlob;
    return ftFloat;
}

// What a SELECT looks like at its top level, from its words outside quotes,
// comments and parentheses.
struct TSelectShape {
    bool Simple = false;    // SELECT ... FROM one source, nothing that merges rows
    size_t InsertPos = 0;   // where a first result column can go
};

TSelectShape selectShape(const std::string& SQL)
{
    TSelectShape shape;
    std::vector<std::pair<std::string, size_t>> words;   // upper-case word, end position
    bool commaInFrom = false;
    bool inFrom = false;
    int depth = 0;
    const size_t n = SQL.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = SQL[i];
        if (c == '\'' || c == '"' || c == '`' || c == '[') {
            const char close = c == '[' ? ']' : c;
            size_t j = i + 1;
            while (j < n && SQL[j] != close)
                ++j;
            i = j;
        } else if (c == '-' && i + 1 < n && SQL[i + 1] == '-') {
            while (i < n && SQL[i] != '\n')
                ++i;
        } else if (c == '/' && i + 1 < n && SQL[i + 1] == '*') {
            const size_t e = SQL.find("*/", i + 2);
            i = e == std::string::npos ? n : e + 1;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
        } else if (c == ',' && depth == 0 && inFrom) {
            commaInFrom = true;
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            size_t j = i;
            while (j < n && (std::isalnum(static_cast<unsigned char>(SQL[j])) || SQL[j] == '_' || SQL[j] == '$'))
                ++j;
            if (depth == 0 && (i == 0 || (SQL[i - 1] != ':' && SQL[i - 1] != '@' && SQL[i - 1] != '$' &&
                                          SQL[i - 1] != '.'))) {
                const std::string w = UpperCase(SQL.substr(i, j - i));
                words.emplace_back(w, j);
                if (w == "FROM")
                    inFrom = true;
                else if (w == "WHERE" || w == "ORDER" || w == "LIMIT")
                    inFrom = false;
            }
            i = j - 1;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            while (i + 1 < n && (std::isalnum(static_cast<unsigned char>(SQL[i + 1])) || SQL[i + 1] == '.'))
                ++i;
        }
    }
    if (words.empty() || words[0].first != "SELECT")
        return shape;
    shape.InsertPos = words[0].second;
    if (words.size() > 1) {
        if (words[1].first == "DISTINCT")
            return shape;
        if (words[1].first == "ALL")
            shape.InsertPos = words[1].second;
    }
    static const std::set<std::string> merging = {"GROUP", "HAVING", "UNION", "INTERSECT", "EXCEPT",
                                                  "WINDOW", "JOIN", "VALUES", "SELECT"};
    for (size_t i = 1; i < words.size(); ++i)
        if (merging.count(words[i].first))
            return shape;
    shape.Simple = !commaInFrom;
    return shape;
}

// The tables a statement reads, as the engine reports them while preparing.
struct TReads {
    std::set<std::pair<std::string, std::string>> Tables;   // schema, table
    bool ThroughView = false;
};

int collectReads(void* Data, int Action, const char* A1, const char*, const char* Schema, const char* Inner)
{
    auto* reads = static_cast<TReads*>(Data);
    if (Action == SQLITE_READ && A1) {
        reads->Tables.emplace(Schema ? Schema : "main", A1);
        if (Inner)
            reads->ThroughView = true;
    }
    return SQLITE_OK;
}

// The column names of a table (hidden ones included).
std::vector<std::string> tableColumns(sqlite3* Db, const std::string& Schema, const std::string& Table)
{
    std::vector<std::string> names;
    TStatement st(Db, "PRAGMA " + quoteIdent(Schema) + ".table_xinfo(" + quoteIdent(Table) + ")");
    while (st.Step()) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st.Get(), 1));
        names.emplace_back(p ? p : "");
    }
    return names;
}

}  // namespace

TDBCursor::~TDBCursor()
{
    if (Statement)
        stopCursor(*this);
}

// ============================================================== TDatabase

TDatabase::TDatabase(TComponent* AOwner) : TComponent(AOwner)
{
}

TDatabase::~TDatabase()
{
    const auto sets = FDataSets;
    for (TDBDataSet* ds : sets) {
        InvokeGuarded([ds] { ds->Close(); });
        ds->FDatabase = nullptr;
        RemoveFreeNotification(ds);
    }
    FDataSets.clear();
}

void TDatabase::SetDatabaseName(const std::string& Value)
{
    if (Value == FDatabaseName)
        return;
    if (Connected())
        throw EDatabaseError("Cannot perform this operation on an open database");
    FDatabaseName = Value;
}

bool TDatabase::Connected() const
{
    return FConnection != nullptr;
}

void TDatabase::SetConnected(bool Value)
{
    if (Value == Connected())
        return;
    if (Value) {
        if (FDatabaseName.empty())
            throw EDatabaseError("No database name");
        auto c = std::make_unique<TDatabaseConnection>();
        const int rc = sqlite3_open_v2(FDatabaseName.c_str(), &c->Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                       nullptr);
        if (rc != SQLITE_OK) {
            if (!c->Db)
                throw EDatabaseError(sqlite3_errstr(rc), rc);
            engineError(c->Db);   // c closes the handle
        }
        sqlite3_extended_result_codes(c->Db, 1);
        sqlite3_busy_timeout(c->Db, 2000);   // another connection may be writing
        FConnection = std::move(c);
    } else {
        const auto sets = FDataSets;
        for (TDBDataSet* ds : sets)
            ds->Close();
        FConnection.reset();
    }
}

int TDatabase::ExecSQL(const std::string& SQL)
{
    Open();
    return execAll(FConnection->Db, SQL, nullptr);
}

// ============================================================= TDBDataSet

TDBDataSet::TDBDataSet(TComponent* AOwner) : TDataSet(AOwner)
{
}

TDBDataSet::~TDBDataSet()
{
    FCursor.reset();   // the data set's own close can no longer reach it
    if (FDatabase) {
        auto& sets = FDatabase->FDataSets;
        sets.erase(std::remove(sets.begin(), sets.end(), this), sets.end());
    }
}

void TDBDataSet::SetDatabase(TDatabase* Value)
{
    if (Value == FDatabase)
        return;
    CheckInactive();
    if (FDatabase) {
        auto& sets = FDatabase->FDataSets;
        sets.erase(std::remove(sets.begin(), sets.end(), this), sets.end());
        RemoveFreeNotification(FDatabase);
    }
    FDatabase = Value;
    if (Value) {
        Value->FDataSets.push_back(this);
        Value->FreeNotification(this);
    }
}

void TDBDataSet::Notification(TComponent* AComponent, TOperation Operation)
{
    TDataSet::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDatabase)
        FDatabase = nullptr;
}

TDatabaseConnection& TDBDataSet::Connection()
{
    if (!FDatabase)
        DatabaseError("No database");
    FDatabase->Open();
    return *FDatabase->FConnection;
}

void TDBDataSet::InternalOpen(TFetchResult& Result)
{
    sqlite3* db = Connection().Db;
    const std::string sql = SelectSQL();
    const TParams* params = SelectParams();

    // Prepare once to learn the columns and the tables read.
    TReads reads;
    sqlite3_set_authorizer(db, collectReads, &reads);
    const char* tail = nullptr;
    std::unique_ptr<TStatement> plain;
    try {
        plain = std::make_unique<TStatement>(db, sql.c_str(), static_cast<int>(sql.size()), &tail);
    } catch (...) {
        sqlite3_set_authorizer(db, nullptr, nullptr);
        throw;
    }
    sqlite3_set_authorizer(db, nullptr, nullptr);
    if (plain->Empty())
        DatabaseError("No SQL statement");
    if (tail && !Trim(tail).empty()) {
        // Only blanks, a ';' or comments may follow.
        const char* t = tail;
        TStatement rest(db, t, -1, &t);
        if (!rest.Empty())
            DatabaseError("Only one SQL statement can open a data set");
    }
    sqlite3_stmt* ps = plain->Get();
    const int columns = sqlite3_column_count(ps);
    if (columns == 0)
        DatabaseError("The SQL statement returns no records");

    // Can the records be written back through the row id?
    TEditTarget target;
    const TSelectShape shape = selectShape(sql);
    if (shape.Simple && reads.Tables.size() == 1 && !reads.ThroughView) {
        target.Schema = reads.Tables.begin()->first;
        target.Table = reads.Tables.begin()->second;
        bool plainColumns = true;
        std::set<std::string> seen;
        for (int i = 0; i < columns && plainColumns; ++i) {
            const char* tab = sqlite3_column_table_name(ps, i);
            const char* sch = sqlite3_column_database_name(ps, i);
            const char* org = sqlite3_column_origin_name(ps, i);
            plainColumns = tab && sch && org && target.Table == tab && target.Schema == sch &&
                           seen.insert(UpperCase(org)).second;
            if (plainColumns)
                target.Columns.emplace_back(org);
        }
        if (plainColumns) {
            const std::vector<std::string> names = tableColumns(db, target.Schema, target.Table);
            for (const char* id : {"rowid", "_rowid_", "oid"}) {
                if (std::none_of(names.begin(), names.end(), [&](const std::string& n) { return SameText(n, id); })) {
                    target.RowIdName = id;
                    break;
                }
            }
            if (!target.RowIdName.empty()) {
                target.KeyedSQL = sql.substr(0, shape.InsertPos) + " " + target.RowIdName + " AS " + KeyColumn +
                                  "," + sql.substr(shape.InsertPos);
                target.Editable = true;
            }
        }
    }
    std::unique_ptr<TStatement> keyed;
    if (target.Editable) {
        try {
            keyed = std::make_unique<TStatement>(db, target.KeyedSQL);   // a table without row ids refuses
        } catch (const EDatabaseError&) {
            target.Editable = false;
        }
    }
    if (!target.Editable)
        target = TEditTarget();

    auto cursor = std::make_unique<TDBCursor>();
    cursor->Db = db;
    cursor->Text = Trim(sqlite3_sql(ps));
    while (!cursor->Text.empty() &&
           (cursor->Text.back() == ';' || std::isspace(static_cast<unsigned char>(cursor->Text.back()))))
        cursor->Text.pop_back();
    cursor->First = keyed ? 1 : 0;
    cursor->Columns = columns;
    cursor->Statement = keyed ? std::move(keyed) : std::move(plain);   // ps stays good either way
    sqlite3_stmt* st = cursor->Statement->Get();
    bindParams(db, st, params);
    std::deque<TDBValue>& values = Result.Values;
    Result.Complete = true;
    for (int row = 0; row < Result.MaxRows; ++row) {
        if (!stepCursor(*cursor))
            break;
        if (row == Result.MaxRows - 1)
            Result.Complete = false;   // maybe more: the next step tells
        if (cursor->First)
            Result.Keys.push_back(sqlite3_column_int64(st, 0));
        for (int i = cursor->First; i < cursor->First + columns; ++i)
            values.push_back(columnValue(st, i));
        ++cursor->Read;
    }

    // Column types: declared, else the first value that is not null.
    std::vector<TFieldType> types(static_cast<size_t>(columns), ftString);
    std::vector<int> sizes(static_cast<size_t>(columns), 0);
    std::vector<int> untyped;
    for (int i = 0; i < columns; ++i) {
        if (const char* decl = sqlite3_column_decltype(ps, i)) {
            types[static_cast<size_t>(i)] = typeOfDeclaration(decl, sizes[static_cast<size_t>(i)]);
            continue;
        }
        bool found = false;
        for (size_t r = static_cast<size_t>(i); r < values.size(); r += static_cast<size_t>(columns))
            if (!values[r].IsNull()) {
                types[static_cast<size_t>(i)] = typeOfValue(values[r]);
                found = true;
                break;
            }
        if (!found)
            untyped.push_back(i);
    }
    if (!untyped.empty() && !Result.Complete)
        typesFromValues(db, sql, params, untyped, types);
    for (int i = 0; i < columns; ++i) {
        const char* name = sqlite3_column_name(ps, i);
        Result.Defs.emplace_back(name ? name : "", types[static_cast<size_t>(i)], sizes[static_cast<size_t>(i)], i + 1);
    }
    if (Result.Complete)
        stopCursor(*cursor);
    Result.CanModify = target.Editable;
    Result.ReadOnly.assign(static_cast<size_t>(columns), !target.Editable);
    FTarget = std::move(target);
    FCursor = std::move(cursor);
}

bool TDBDataSet::InternalFetch(TDBValue* Row, int64_t& Key)
{
    if (!FCursor)
        return false;
    TDBCursor& c = *FCursor;
    if (c.Parked) {   // a write stopped the query: begin again where it was
        c.Parked = false;
        const int read = c.Read;
        c.Read = 0;
        if (!skipRows(c, read))
            return false;
    }
    if (!stepCursor(c))
        return false;
    sqlite3_stmt* st = c.Statement->Get();
    if (c.First)
        Key = sqlite3_column_int64(st, 0);
    for (int i = 0; i < c.Columns; ++i)
        readColumn(st, c.First + i, Row[i]);
    ++c.Read;
    return true;
}

int TDBDataSet::InternalRestart(int Skip)
{
    if (!FCursor)
        return 0;
    TDBCursor& c = *FCursor;
    stopCursor(c);
    c.Parked = false;
    c.Read = 0;
    skipRows(c, Skip);
    return c.Read;
}

int TDBDataSet::InternalRecordCount()
{
    if (!FCursor)
        return 0;
    sqlite3* db = FCursor->Db;
    try {
        TStatement st(db, "SELECT count(*) FROM (" + FCursor->Text + "\n)");
        bindParams(db, st.Get(), SelectParams());
        if (st.Step())
            return static_cast<int>(sqlite3_column_int64(st.Get(), 0));
    } catch (const EDatabaseError&) {
    }
    TStatement st(db, FCursor->Text);   // a text that does not nest: count by walking
    bindParams(db, st.Get(), SelectParams());
    int count = 0;
    while (st.Step())
        ++count;
    return count;
}

void TDBDataSet::InternalCloseCursor()
{
    FCursor.reset();
}

void TDBDataSet::InternalInitFieldDefs(std::vector<TFieldDef>& Defs)
{
    sqlite3* db = Connection().Db;
    TStatement st(db, SelectSQL());
    if (st.Empty())
        DatabaseError("No SQL statement");
    const int columns = sqlite3_column_count(st.Get());
    std::vector<TFieldType> types(static_cast<size_t>(columns), ftString);
    std::vector<int> sizes(static_cast<size_t>(columns), 0);
    std::vector<int> untyped;   // expressions: their first non-null value tells
    for (int i = 0; i < columns; ++i) {
        if (const char* decl = sqlite3_column_decltype(st.Get(), i))
            types[static_cast<size_t>(i)] = typeOfDeclaration(decl, sizes[static_cast<size_t>(i)]);
        else
            untyped.push_back(i);
    }
    if (!untyped.empty())
        typesFromValues(db, SelectSQL(), SelectParams(), untyped, types);
    for (int i = 0; i < columns; ++i) {
        const char* name = sqlite3_column_name(st.Get(), i);
        Defs.emplace_back(name ? name : "", types[static_cast<size_t>(i)], sizes[static_cast<size_t>(i)], i + 1);
    }
}

int64_t TDBDataSet::InternalPost(bool Inserting, int64_t Key, const std::vector<TDBValue>& Values,
                                 const std::vector<bool>& Changed, std::vector<TDBValue>& Reread)
{
    if (!FTarget.Editable)
        DatabaseError("Cannot modify a read-only dataset");
    sqlite3* db = Connection().Db;
    parkCursorsInTheWay(db, false);
    const std::string table = quoteIdent(FTarget.Schema) + "." + quoteIdent(FTarget.Table);
    std::vector<size_t> cols;
    for (size_t i = 0; i < Changed.size() && i < FTarget.Columns.size(); ++i)
        if (Changed[i])
            cols.push_back(i);

    // RETURNING gives the row id the record has now: writing an INTEGER
    // PRIMARY KEY column changes it.
    const std::string returning = " RETURNING " + FTarget.RowIdName;
    std::string sql;
    if (Inserting) {
        if (cols.empty()) {
            sql = "INSERT INTO " + table + " DEFAULT VALUES";
        } else {
            std::string names, marks;
            for (size_t k = 0; k < cols.size(); ++k) {
                names += (k ? ", " : "") + quoteIdent(FTarget.Columns[cols[k]]);
                marks += k ? ", ?" : "?";
            }
            sql = "INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")";
        }
    } else {
        sql = "UPDATE " + table + " SET ";
        for (size_t k = 0; k < cols.size(); ++k)
            sql += (k ? ", " : "") + quoteIdent(FTarget.Columns[cols[k]]) + " = ?";
        sql += " WHERE " + FTarget.RowIdName + " = ?";
    }
    {
        TStatement st(db, sql + returning);
        int index = 1;
        for (size_t c : cols)
            bindValue(db, st.Get(), index++, Values[c]);
        if (!Inserting)
            bindValue(db, st.Get(), index, TDBValue::Integer(Key));
        if (!st.Step())
            DatabaseError("Record not found or changed by another user");
        Key = sqlite3_column_int64(st.Get(), 0);
        while (st.Step()) {
        }
    }

    // Read the record back as the query selects it, defaults filled in. The
    // write stands whatever happens here.
    try {
        TStatement st(db, "SELECT * FROM (" + FTarget.KeyedSQL + ") WHERE " + KeyColumn + " = :oz_rowid_key");
        bindParams(db, st.Get(), SelectParams(), ":oz_rowid_key", Key);
        if (st.Step()) {
            const int count = sqlite3_column_count(st.Get());
            for (int i = 1; i < count; ++i)
                Reread.push_back(columnValue(st.Get(), i));
        }
    } catch (const EDatabaseError&) {
        Reread.clear();
    }
    return Key;
}

void TDBDataSet::InternalDelete(int64_t Key)
{
    if (!FTarget.Editable)
        DatabaseError("Cannot modify a read-only dataset");
    sqlite3* db = Connection().Db;
    parkCursorsInTheWay(db, false);
    TStatement st(db, "DELETE FROM " + quoteIdent(FTarget.Schema) + "." + quoteIdent(FTarget.Table) + " WHERE " +
                          FTarget.RowIdName + " = ?");
    bindValue(db, st.Get(), 1, TDBValue::Integer(Key));
    st.Step();
    if (sqlite3_changes(db) == 0)
        DatabaseError("Record not found or changed by another user");
}

// ================================================================= TQuery

TQuery::TQuery(TComponent* AOwner) : TDBDataSet(AOwner), FSQL(std::make_unique<TStringList>())
{
    FSQL->OnChange = [this](TObject*) { SQLChanged(); };
}

TQuery::~TQuery()
{
    FSQL->OnChange = nullptr;
}

void TQuery::SQLChanged()
{
    Close();
    FParams.Rebuild(ParseSQLParamNames(FSQL->Text()));
}

std::string TQuery::SelectSQL() const
{
    return FSQL->Text();
}

void TQuery::ExecSQL()
{
    FRowsAffected = execAll(Connection().Db, FSQL->Text(), &FParams);
}

// ================================================================= TTable

TTable::TTable(TComponent* AOwner) : TDBDataSet(AOwner)
{
}

void TTable::SetTableName(const std::string& Value)
{
    if (Value == FTableName)
        return;
    CheckInactive();
    FTableName = Value;
}

std::string TTable::SelectSQL() const
{
    if (FTableName.empty())
        DatabaseError("No table name");
    return "SELECT * FROM " + quoteIdent(FTableName);
}

// --------------------------------------------------------------- form files

void TQuery::Publish(TPublisher<TQuery>& P)
{
    P.Component("Database", &TQuery::Database, &TQuery::SetDatabase);
    P.Object("SQL", &TQuery::SQL);
}

void TTable::Publish(TPublisher<TTable>& P)
{
    P.Component("Database", &TTable::Database, &TTable::SetDatabase);
    P.String("TableName", &TTable::TableName, &TTable::SetTableName).Default("");
}
