// Report expressions: every printed record evaluates the expressions of its
// printables, so one evaluation must stay well under a microsecond and
// allocate nothing once the expression is prepared.
#include "bench/AllocationCount.h"
#include "report/RpExpr.h"

#include <benchmark/benchmark.h>

namespace {

// A report's Functions environment with its constants, prepared as a report
// run prepares it.
struct TReportRig {
    TRpEvEnvironment Functions;
    TRpEvElement* PageNumber = nullptr;
    TRpEvaluator Eval;

    explicit TReportRig(const std::string& Expression)
    {
        Functions.AddFunction("PAGENUMBER", "0");
        Functions.AddFunction("COLUMNNUMBER", "0");
        Functions.AddFunction("REPORTTITLE", "''");
        RpGlobalEnvironment()->Prepare();
        Functions.Prepare();
        PageNumber = Functions.GetConstant("PAGENUMBER");
        Functions.SetStringConstant(Functions.GetConstant("REPORTTITLE"), "Breath parameters and signals");
        Eval.SetEnvironment(&Functions);
        Eval.Prepare(Expression);
    }
    ~TReportRig()
    {
        Eval.UnPrepare();
        Functions.Unprepare();
        RpGlobalEnvironment()->Unprepare();
    }
};

void BM_PageCaption(benchmark::State& State)
{
    TReportRig Rig("IF(PAGENUMBER > 1, 'Page ' + STR(PAGENUMBER), REPORTTITLE)");
    TRpEvResult Result;
    Rig.Eval.GetValue(Result);   // the argument lists take their room once

    int32_t Page = 0;
    const long AllocationsBefore = AllocationCount();
    for (auto _ : State) {
        Rig.Functions.SetIntegerConstant(Rig.PageNumber, Page++ % 9 + 1);   // both branches
        Rig.Eval.GetValue(Result);
        benchmark::DoNotOptimize(Result);
    }
    const long Allocated = AllocationCount() - AllocationsBefore;
    Rig.Functions.SetIntegerConstant(Rig.PageNumber, 4);
    if (Rig.Eval.AsString() != "Page 4")
        State.SkipWithError("wrong caption");
    State.counters["evaluations_per_s"] =
        benchmark::Counter(static_cast<double>(State.iterations()), benchmark::Counter::kIsRate);
    State.counters["allocs_per_eval"] =
        benchmark::Counter(static_cast<double>(Allocated), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PageCaption);

// The aggregation pass of a running total with a condition, once per record.
void BM_AggregatePass(benchmark::State& State)
{
    TReportRig Rig("SUM(IF(PAGENUMBER > 2, PAGENUMBER * 2, 1)) + COUNT");
    Rig.Eval.DoAggregate();

    int32_t Page = 0;
    const long AllocationsBefore = AllocationCount();
    for (auto _ : State) {
        Rig.Functions.SetIntegerConstant(Rig.PageNumber, Page++ % 5);
        Rig.Eval.DoAggregate();
        if (Page == 100000) {
            Page = 0;
            Rig.Eval.Reset();   // as a group footer restarts its total
        }
    }
    const long Allocated = AllocationCount() - AllocationsBefore;
    State.counters["passes_per_s"] =
        benchmark::Counter(static_cast<double>(State.iterations()), benchmark::Counter::kIsRate);
    State.counters["allocs_per_pass"] =
        benchmark::Counter(static_cast<double>(Allocated), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_AggregatePass);

// Preparing an expression: once per printable and report run.
void BM_Prepare(benchmark::State& State)
{
    TReportRig Rig("0");
    for (auto _ : State) {
        Rig.Eval.Prepare("IF(PAGENUMBER > 1, 'Page ' + STR(PAGENUMBER), REPORTTITLE)");
        benchmark::DoNotOptimize(Rig.Eval.FiFo());
    }
    State.counters["prepares_per_s"] =
        benchmark::Counter(static_cast<double>(State.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Prepare);

}  // namespace
