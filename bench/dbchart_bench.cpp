// The data-bound chart filling one series from a table of 100,000 records:
// plain (two numeric fields, one point per record) and grouped by month with
// the amounts summed. The grouped case is also what the database engine does
// for a GROUP BY query: rounds of our refill (the data set opened afresh, so
// that its records are read from the database) and of the engine's query of
// the same sums, stepped through with every group's label and sum read,
// alternate which goes first; "ratio" is our time over theirs, the median of
// the rounds.
#include "SideBySide.h"
#include "AllocationCount.h"
#include "chart/DBChart.h"
#include "chart/Series.h"
#include "platform/Application.h"
#include "platform/DBTables.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int RecordCount = 100000;

struct TBigTable {
    TBigTable()
    {
        EnsureApplication();
        Db.SetDatabaseName(":memory:");
        // 100,000 records, one every 5 minutes from 2023-01-01 on (about a year).
        Db.ExecSQL("CREATE TABLE T (X REAL, V REAL, SOLD DATETIME, AMOUNT REAL);"
                   "WITH RECURSIVE N(I) AS (SELECT 0 UNION ALL SELECT I + 1 FROM N WHERE I < " +
                   std::to_string(RecordCount - 1) +
                   ") INSERT INTO T SELECT I * 0.5, (I * 37) % 1000, "
                   "datetime('2023-01-01 00:00:00', '+' || (I * 5) || ' minutes'), (I % 17) + 0.25 FROM N;");
        Q.SetDatabase(&Db);
        Q.SQL()->SetText("SELECT * FROM T");
        Q.Open();
        Series = new TChartSeries(nullptr);
        Chart.AddSeries(Series);
        Chart.SetAutoRefresh(false);
    }
    ~TBigTable() { Chart.FreeAllSeries(); }
    TDatabase Db{nullptr};
    TQuery Q{nullptr};
    TDBChart Chart{nullptr};
    TChartSeries* Series = nullptr;
};

void BM_RefreshData100k(benchmark::State& State)
{
    TBigTable T;
    T.Series->XValues()->SetValueSource("X");
    T.Series->YValues()->SetValueSource("V");
    T.Series->SetDataSource(&T.Q);
    T.Chart.SetAutoRefresh(true);
    long Allocations = 0;
    for (auto _ : State) {
        const long Before = AllocationCount();
        T.Chart.RefreshData();
        Allocations += AllocationCount() - Before;
    }
    if (T.Series->Count() != RecordCount)
        State.SkipWithError("wrong point count");
    State.counters["allocs/record"] =
        benchmark::Counter(static_cast<double>(Allocations) / State.iterations() / RecordCount);
}

void BM_RefreshDataGroupedSum100k(benchmark::State& State)
{
    using TClock = std::chrono::steady_clock;
    TBigTable T;
    T.Series->SetXLabelsSource("#MONTH#SOLD");
    T.Series->YValues()->SetValueSource("#SUM#AMOUNT");
    T.Series->SetDataSource(&T.Q);
    // The engine's side runs on a connection of its own to the same memory
    // database: the table is copied over once.
    sqlite3* Their = nullptr;
    sqlite3_open(":memory:", &Their);
    sqlite3_exec(Their,
                 "CREATE TABLE T (X REAL, V REAL, SOLD DATETIME, AMOUNT REAL);"
                 "WITH RECURSIVE N(I) AS (SELECT 0 UNION ALL SELECT I + 1 FROM N WHERE I < 99999) "
                 "INSERT INTO T SELECT I * 0.5, (I * 37) % 1000, "
                 "datetime('2023-01-01 00:00:00', '+' || (I * 5) || ' minutes'), (I % 17) + 0.25 FROM N;",
                 nullptr, nullptr, nullptr);
    const char* const GroupBy = "SELECT strftime('%Y-%m', SOLD) AS M, SUM(AMOUNT) FROM T GROUP BY M ORDER BY M";
    std::vector<double> Ratios;
    double Ours = 0;
    double Theirs = 0;
    double OurSum = 0, TheirSum = 0;
    int TheirGroups = 0;
    TAlternation Alternation;
    for (auto _ : State) {
        auto RunOurs = [&] {
            const auto T0 = TClock::now();
            T.Q.Close();
            T.Q.Open();
            T.Chart.RefreshData();
            return std::chrono::duration<double>(TClock::now() - T0).count();
        };
        auto RunTheirs = [&] {
            const auto T0 = TClock::now();
            sqlite3_stmt* St = nullptr;
            sqlite3_prepare_v2(Their, GroupBy, -1, &St, nullptr);
            TheirGroups = 0;
            TheirSum = 0;
            std::string Label;
            while (sqlite3_step(St) == SQLITE_ROW) {
                const auto* P = reinterpret_cast<const char*>(sqlite3_column_text(St, 0));
                Label.assign(P ? P : "", static_cast<size_t>(sqlite3_column_bytes(St, 0)));
                TheirSum += sqlite3_column_double(St, 1);
                ++TheirGroups;
            }
            sqlite3_finalize(St);
            return std::chrono::duration<double>(TClock::now() - T0).count();
        };
        const auto [A, B] = Alternation.Round(RunOurs, RunTheirs);
        Ours += A;
        Theirs += B;
        Ratios.push_back(B > 0 ? A / B : 0);
    }
    sqlite3_close(Their);
    for (int i = 0; i < T.Series->Count(); ++i)
        OurSum += T.Series->YValues()->Value(i);
    if (T.Series->Count() != 12 || TheirGroups != 12 || std::abs(OurSum - TheirSum) > 1e-6 * TheirSum)
        State.SkipWithError("wrong groups");
    const double N = static_cast<double>(State.iterations());
    State.counters["ours_ms"] = Ours / N * 1e3;
    State.counters["sqlite_groupby_ms"] = Theirs / N * 1e3;
    State.counters["ratio"] = Median(Ratios);
}

BENCHMARK(BM_RefreshData100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshDataGroupedSum100k)->Unit(benchmark::kMillisecond);

}  // namespace
