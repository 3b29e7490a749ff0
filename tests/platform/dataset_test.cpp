// Data sets over results larger than the rows they hold: a walk takes the
// same memory whatever the result's size and reads every value, going back,
// bookmarks, counting and editing still find the right records, and a write
// made during a walk neither waits for it nor loses its place.
#include "platform/DBTables.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <new>

// The heap this program holds through operator new, in bytes.
namespace {
std::atomic<long long> HeapHeld{0};
}

void* operator new(std::size_t Size)
{
    void* P = std::malloc(Size ? Size : 1);
    if (!P)
        throw std::bad_alloc();
    HeapHeld += static_cast<long long>(malloc_usable_size(P));
    return P;
}

void operator delete(void* P) noexcept
{
    if (!P)
        return;
    HeapHeld -= static_cast<long long>(malloc_usable_size(P));
    std::free(P);
}

void operator delete(void* P, std::size_t) noexcept
{
    operator delete(P);
}

namespace {

// Row K of table T holds I = K, X = K / 2, S = "r<K>".
void FillTable(TDatabase& Db, int Rows)
{
    Db.ExecSQL("CREATE TABLE T (I INTEGER, X REAL, S TEXT);"
               "WITH RECURSIVE N(K) AS (SELECT 0 UNION ALL SELECT K + 1 FROM N WHERE K < " +
               std::to_string(Rows - 1) + ") INSERT INTO T SELECT K, K * 0.5, 'r' || K FROM N");
}

// The record current in Q is row K of T.
::testing::AssertionResult AtRow(TDataSet& Q, int K)
{
    const int64_t I = Q.Fields()[0]->AsLargeInt();
    const double X = Q.Fields()[1]->AsFloat();
    const std::string S = Q.Fields()[2]->AsString();
    if (I == K && X == K * 0.5 && S == "r" + std::to_string(K))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "row " << K << " reads " << I << ", " << X << ", " << S;
}

struct TCase {
    const char* SQL;
    bool Editable;
};
// One query that edits the table (its row id is read along) and one that
// does not.
const TCase Queries[] = {
    {"SELECT I, X, S FROM T ORDER BY I", true},
    {"SELECT I, X * 1 AS X, S FROM T ORDER BY I", false},
};

class TempFolder {
public:
    TempFolder()
    {
        std::string T = (std::filesystem::temp_directory_path() / "datasetXXXXXX").string();
        FPath = ::mkdtemp(T.data());
    }
    ~TempFolder() { std::filesystem::remove_all(FPath); }
    std::string operator/(const std::string& Name) const { return FPath + "/" + Name; }

private:
    std::string FPath;
};

}  // namespace

TEST(DbLargeResult, AWalkHoldsTheSameMemoryWhateverTheRowCountAndReadsEveryValue)
{
    constexpr int Rows = 200000;
    TDatabase Db(nullptr);
    Db.SetDatabaseName(":memory:");
    FillTable(Db, Rows);
    for (const TCase& C : Queries) {
        SCOPED_TRACE(C.SQL);
        TQuery Q(nullptr);
        Q.SetDatabase(&Db);
        Q.SQL()->SetText(C.SQL);
        const long long Before = HeapHeld;
        Q.Open();
        EXPECT_EQ(Q.CanModify(), C.Editable);
        long long Peak = HeapHeld - Before;
        int K = 0, Wrong = 0;
        for (Q.First(); !Q.Eof(); Q.Next(), ++K) {
            if (!AtRow(Q, K) && ++Wrong < 5)
                ADD_FAILURE() << AtRow(Q, K).message();
            if (K % 1000 == 0)
                Peak = std::max(Peak, HeapHeld - Before);
        }
        EXPECT_EQ(K, Rows);
        EXPECT_EQ(Wrong, 0);
        EXPECT_TRUE(AtRow(Q, Rows - 1));   // the last record stays current at the end
        EXPECT_EQ(Q.RecordCount(), Rows);
        // The whole result would take some 30 MB; a window of it well under 1.
        EXPECT_LT(Peak, 1 << 20);
        Q.Close();
        EXPECT_LT(HeapHeld - Before, 64 << 10);
    }
}

TEST(DbLargeResult, GoingBackBookmarksCountingAndEditingFindTheRightRecords)
{
    constexpr int Rows = 5000;   // several times the rows a data set holds
    TDatabase Db(nullptr);
    Db.SetDatabaseName(":memory:");
    FillTable(Db, Rows);
    for (const TCase& C : Queries) {
        SCOPED_TRACE(C.SQL);
        TQuery Q(nullptr);
        Q.SetDatabase(&Db);
        Q.SQL()->SetText(C.SQL);
        Q.Open();
        EXPECT_FALSE(Q.IsEmpty());
        EXPECT_EQ(Q.RecordCount(), Rows);   // before any walk: the engine counts
        for (int K = 0; K < 3000; ++K)
            Q.Next();
        ASSERT_TRUE(AtRow(Q, 3000));
        EXPECT_EQ(Q.RecNo(), 3001);
        const TBookmark B = Q.GetBookmark();
        // Back over more rows than are held.
        int K = 3000;
        while (!Q.Bof() && K > 1200) {
            Q.Prior();
            --K;
            ASSERT_TRUE(AtRow(Q, K));
        }
        Q.Last();
        EXPECT_TRUE(Q.Eof());
        EXPECT_TRUE(AtRow(Q, Rows - 1));
        EXPECT_TRUE(Q.BookmarkValid(B));
        EXPECT_TRUE(AtRow(Q, Rows - 1));   // asking moved nothing
        Q.GotoBookmark(B);
        EXPECT_TRUE(AtRow(Q, 3000));
        EXPECT_EQ(Q.RecNo(), 3001);
        Q.Refresh();
        EXPECT_TRUE(AtRow(Q, 3000));
        Q.First();
        EXPECT_TRUE(AtRow(Q, 0));
        Q.GotoBookmark(B);
        Q.Next();
        EXPECT_TRUE(AtRow(Q, 3001));
    }

    // Editing a large result: the record edited is the one shown, the others
    // keep their places.
    TQuery Q(nullptr);
    Q.SetDatabase(&Db);
    Q.SQL()->SetText("SELECT I, X, S FROM T");
    Q.Open();
    for (int K = 0; K < 2500; ++K)
        Q.Next();
    Q.Edit();
    Q.FieldByName("S")->SetAsString("edited");
    Q.Post();
    EXPECT_EQ(Q.RecNo(), 2501);
    EXPECT_EQ(Q.FieldByName("S")->AsString(), "edited");
    Q.Next();
    EXPECT_TRUE(AtRow(Q, 2501));
    Q.Delete();
    EXPECT_TRUE(AtRow(Q, 2502));
    EXPECT_EQ(Q.RecordCount(), Rows - 1);
    Q.Append();
    Q.FieldByName("I")->SetAsInteger(-1);
    Q.Post();
    EXPECT_EQ(Q.RecNo(), Rows);
    Q.Close();
    Q.Open();
    EXPECT_EQ(Q.RecordCount(), Rows);
    Q.Last();
    EXPECT_EQ(Q.FieldByName("I")->AsInteger(), -1);
    TQuery Check(nullptr);
    Check.SetDatabase(&Db);
    Check.SQL()->SetText("SELECT S FROM T WHERE I = 2500 OR I = 2501");
    Check.Open();
    EXPECT_EQ(Check.RecordCount(), 1);
    EXPECT_EQ(Check.Fields()[0]->AsString(), "edited");
}

TEST(DbLargeResult, AWriteDuringAWalkNeitherWaitsNorLosesThePlace)
{
    constexpr int Rows = 5000;
    TempFolder Dir;
    TDatabase Db(nullptr), Other(nullptr);
    Db.SetDatabaseName(Dir / "w.db");
    Other.SetDatabaseName(Dir / "w.db");
    FillTable(Db, Rows);
    Db.ExecSQL("CREATE TABLE U (A INTEGER); CREATE TABLE V (A INTEGER)");
    TQuery Q(nullptr);
    Q.SetDatabase(&Db);
    Q.SQL()->SetText("SELECT I, X, S FROM T");
    Q.Open();
    for (int K = 0; K < 2000; ++K)
        Q.Next();
    ASSERT_TRUE(AtRow(Q, 2000));

    // Another connection writes; this one writes, drops a table and rolls a
    // transaction back: none waits for the query the walk keeps running, or
    // ends it.
    const auto Start = std::chrono::steady_clock::now();
    EXPECT_EQ(Other.ExecSQL("INSERT INTO U VALUES (1)"), 1);
    Q.Next();
    EXPECT_EQ(Db.ExecSQL("INSERT INTO U VALUES (2)"), 1);
    Q.Next();
    Db.ExecSQL("DROP TABLE V");
    Q.Next();
    Db.ExecSQL("BEGIN; INSERT INTO U VALUES (3); ROLLBACK");
    EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::milliseconds(1000));
    TQuery U(nullptr);
    U.SetDatabase(&Other);
    U.SQL()->SetText("SELECT group_concat(A) FROM (SELECT A FROM U ORDER BY A)");
    U.Open();
    EXPECT_EQ(U.Fields()[0]->AsString(), "1,2");
    U.Close();

    int K = 2003, Wrong = 0;
    for (; !Q.Eof(); Q.Next(), ++K)
        Wrong += !AtRow(Q, K);
    EXPECT_EQ(K, Rows);
    EXPECT_EQ(Wrong, 0);
    // And once more after the walk ended and went back.
    Q.First();
    Q.Next();
    Q.Next();
    EXPECT_TRUE(AtRow(Q, 2));
    EXPECT_EQ(Other.ExecSQL("INSERT INTO U VALUES (2)"), 1);
}
