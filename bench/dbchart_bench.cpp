// The data-bound chart filling one series from a table of 100,000 records:
// plain (two numeric fields, one point per record) and grouped by month with
// the amounts summed. The grouped case is also what the database engine does
// for a GROUP BY query: each iteration runs our refill and the engine's query
// of the same sums back to back, and the ratio of the two is shown beside.
#include "AllocationCount.h"
#include "chart/DBChart.h"
#include "chart/Series.h"
#include "platform/Application.h"
#include "platform/DBTables.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

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
    T.Chart.SetAutoRefresh(true);
    TQuery Engine(nullptr);
    Engine.SetDatabase(&T.Db);
    Engine.SQL()->SetText("SELECT strftime('%Y-%m', SOLD) AS M, SUM(AMOUNT) FROM T GROUP BY M ORDER BY M");
    double Ours = 0;
    double Theirs = 0;
    for (auto _ : State) {
        const auto T0 = TClock::now();
        T.Chart.RefreshData();
        const auto T1 = TClock::now();
        Engine.Open();
        Engine.Close();
        const auto T2 = TClock::now();
        Ours += std::chrono::duration<double>(T1 - T0).count();
        Theirs += std::chrono::duration<double>(T2 - T1).count();
    }
    if (T.Series->Count() != 12)
        State.SkipWithError("wrong group count");
    const double N = static_cast<double>(State.iterations());
    State.counters["ours_ms"] = Ours / N * 1e3;
    State.counters["sqlite_groupby_ms"] = Theirs / N * 1e3;
    State.counters["ratio"] = Theirs > 0 ? Ours / Theirs : 0;
}

BENCHMARK(BM_RefreshData100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshDataGroupedSum100k)->Unit(benchmark::kMillisecond);

}  // namespace
