// A query over a million records (an integer, a real and a text each) opened
// and walked through our data set, reading every field of every record,
// against the engine's own prepare-and-step loop reading the same columns.
// Each iteration is one round of both, the order alternating; "ratio" is our
// time over theirs, the median of the rounds. "walk_rss_MB" is how far the
// resident memory rose above where it stood before our open while the walk
// went on (the highest of the rounds), "allocs_per_record" our heap
// allocations per record. The database lives in a file under TMPDIR that is
// removed at the end.
#include "SideBySide.h"
#include "AllocationCount.h"
#include "platform/DBTables.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int Records = 1000000;


// Resident memory of this process, in bytes.
double ResidentBytes()
{
    long Pages = 0, Resident = 0;
    if (std::FILE* F = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(F, "%ld %ld", &Pages, &Resident) != 2)
            Resident = 0;
        std::fclose(F);
    }
    return static_cast<double>(Resident) * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

// What a walk read, to tell that both read the same.
struct TTotals {
    long long Integers = 0;
    double Reals = 0;
    long long TextBytes = 0;
    long long Rows = 0;
    bool operator==(const TTotals&) const = default;
};

struct TMillionRecords {
    std::string Path;
    TMillionRecords()
    {
        Path = (std::filesystem::temp_directory_path() /
                ("dataset_bench_" + std::to_string(::getpid()) + ".db"))
                   .string();
        std::filesystem::remove(Path);
        TDatabase Db(nullptr);
        Db.SetDatabaseName(Path);
        Db.ExecSQL("CREATE TABLE T (I INTEGER, X REAL, S TEXT);"
                   "WITH RECURSIVE N(K) AS (SELECT 0 UNION ALL SELECT K + 1 FROM N WHERE K < " +
                   std::to_string(Records - 1) +
                   ") INSERT INTO T SELECT K * 7, K * 0.25, 'record ' || K FROM N;");
    }
    ~TMillionRecords()
    {
        std::error_code Ignored;
        std::filesystem::remove(Path, Ignored);
        std::filesystem::remove(Path + "-journal", Ignored);
    }
};

// Ours: open the query and walk it through its fields; Peak gets the highest
// resident memory seen on the way.
TTotals OursWalk(TQuery& Q, double& Peak)
{
    TTotals T;
    Q.Open();
    TField* I = Q.Fields()[0];
    TField* X = Q.Fields()[1];
    TField* S = Q.Fields()[2];
    for (Q.First(); !Q.Eof(); Q.Next()) {
        T.Integers += I->AsLargeInt();
        T.Reals += X->AsFloat();
        T.TextBytes += static_cast<long long>(S->AsString().size());
        if ((++T.Rows & 0xFFFF) == 0)
            Peak = std::max(Peak, ResidentBytes());
    }
    Peak = std::max(Peak, ResidentBytes());
    Q.Close();
    return T;
}

// Theirs: prepare, step, read the same columns (the text into a string, as a
// field gives it).
TTotals TheirWalk(sqlite3* Db, const std::string& SQL)
{
    TTotals T;
    sqlite3_stmt* St = nullptr;
    if (sqlite3_prepare_v2(Db, SQL.c_str(), -1, &St, nullptr) != SQLITE_OK)
        return T;
    while (sqlite3_step(St) == SQLITE_ROW) {
        T.Integers += sqlite3_column_int64(St, 0);
        T.Reals += sqlite3_column_double(St, 1);
        const auto* P = reinterpret_cast<const char*>(sqlite3_column_text(St, 2));
        const std::string Text(P ? P : "", static_cast<size_t>(sqlite3_column_bytes(St, 2)));
        T.TextBytes += static_cast<long long>(Text.size());
        ++T.Rows;
    }
    sqlite3_finalize(St);
    return T;
}

// Range 0: a query that edits its table (the row id is read along); 1: a
// read-only one.
void BM_OpenAndWalkMillionVsSqlite(benchmark::State& State)
{
    const std::string SQL = State.range(0) == 0 ? "SELECT I, X, S FROM T" : "SELECT I, X * 1 AS X, S FROM T";
    TMillionRecords Data;
    TDatabase Db(nullptr);
    Db.SetDatabaseName(Data.Path);
    TQuery Q(nullptr);
    Q.SetDatabase(&Db);
    Q.SQL()->SetText(SQL);
    sqlite3* Their = nullptr;
    if (sqlite3_open_v2(Data.Path.c_str(), &Their, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(Their);
        State.SkipWithError("cannot open the database");
        return;
    }

    std::vector<double> Ratios;
    double OursTotal = 0, TheirsTotal = 0, RssGrowth = 0;
    long Allocations = 0;
    TAlternation Alternation;
    bool Same = true;
    for (auto _ : State) {
        TTotals OursRead, TheirsRead;
        auto Ours = [&] {
            const double Before = ResidentBytes();
            double Peak = Before;
            const long AllocationsBefore = AllocationCount();
            const auto T0 = TClock::now();
            OursRead = OursWalk(Q, Peak);
            const double Seconds = std::chrono::duration<double>(TClock::now() - T0).count();
            Allocations += AllocationCount() - AllocationsBefore;
            RssGrowth = std::max(RssGrowth, Peak - Before);
            return Seconds;
        };
        auto Theirs = [&] {
            const auto T0 = TClock::now();
            TheirsRead = TheirWalk(Their, SQL);
            return std::chrono::duration<double>(TClock::now() - T0).count();
        };
        const auto [A, B] = Alternation.Round(Ours, Theirs);
        Same = Same && OursRead == TheirsRead && OursRead.Rows == Records;
        OursTotal += A;
        TheirsTotal += B;
        Ratios.push_back(B > 0 ? A / B : 0);
    }
    sqlite3_close(Their);
    if (!Same) {
        State.SkipWithError("the two walks read different values");
        return;
    }
    const double N = static_cast<double>(State.iterations());
    State.counters["ours_ms"] = OursTotal / N * 1e3;
    State.counters["sqlite_ms"] = TheirsTotal / N * 1e3;
    State.counters["ratio"] = Median(Ratios);
    State.counters["walk_rss_MB"] = RssGrowth / (1024.0 * 1024.0);
    State.counters["allocs_per_record"] = static_cast<double>(Allocations) / N / Records;
}

BENCHMARK(BM_OpenAndWalkMillionVsSqlite)->Arg(0)->Arg(1)->Iterations(7)->Unit(benchmark::kMillisecond);

}  // namespace
