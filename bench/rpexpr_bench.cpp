// Report expressions: every printed record evaluates the expressions of its
// printables, so one evaluation must stay well under a microsecond and
// allocate nothing once the expression is prepared.
#include "bench/AllocationCount.h"
#include "bench/SideBySide.h"
#include "report/RpExpr.h"

#include <benchmark/benchmark.h>

#ifdef OZ_HAVE_MUPARSER
#include <muParser.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

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

#ifdef OZ_HAVE_MUPARSER
// Numeric expressions against muparser, the expression library a program
// that only computes numbers would pick: the same formula over three
// variables, parsed once and evaluated many times, the variables changed
// before every evaluation (ours are environment constants a report run sets
// in place, theirs bound doubles). Rounds of Evaluations alternate which of
// the two goes first; "ratio" is our time over theirs, the median of the
// rounds, and "parse_ratio" the same for parsing (theirs parses on its first
// evaluation after SetExpr).
struct TFormula {
    const char* Ours;
    const char* Theirs;
};

constexpr TFormula Formulas[] = {
    {"A * 2 + B / 3 - C", "A * 2 + B / 3 - C"},
    {"SQRT(A * A + B * B)", "sqrt(A * A + B * B)"},
    {"(A + B) * ((C - 4.5) / 2) + SIN(A)", "(A + B) * ((C - 4.5) / 2) + sin(A)"},
    {"IF(A > B, A - B, B - A) * 100", "(A > B ? A - B : B - A) * 100"},
};


// The variables of round I, evaluation K.
double VarA(int K) { return 1.5 + (K % 17) * 0.25; }
double VarB(int K) { return 2.0 + (K % 13) * 0.5; }
double VarC(int K) { return 0.75 * (K % 7); }

struct TOursVsMuparser {
    TRpEvEnvironment Functions;
    TRpEvElement* A = nullptr;
    TRpEvElement* B = nullptr;
    TRpEvElement* C = nullptr;
    TRpEvaluator Eval;
    mu::Parser Theirs;
    double TheirA = 0, TheirB = 0, TheirC = 0;

    explicit TOursVsMuparser(const TFormula& F)
    {
        for (const char* Name : {"A", "B", "C"})
            Functions.AddFunction(Name, "0");
        RpGlobalEnvironment()->Prepare();
        Functions.Prepare();
        A = Functions.GetConstant("A");
        B = Functions.GetConstant("B");
        C = Functions.GetConstant("C");
        Eval.SetEnvironment(&Functions);
        Eval.Prepare(F.Ours);
        Theirs.DefineVar("A", &TheirA);
        Theirs.DefineVar("B", &TheirB);
        Theirs.DefineVar("C", &TheirC);
        Theirs.SetExpr(F.Theirs);
        Theirs.Eval();
    }
    ~TOursVsMuparser()
    {
        Eval.UnPrepare();
        Functions.Unprepare();
        RpGlobalEnvironment()->Unprepare();
    }
    double OursAt(int K, TRpEvResult& Result)
    {
        Functions.SetFloatConstant(A, VarA(K));
        Functions.SetFloatConstant(B, VarB(K));
        Functions.SetFloatConstant(C, VarC(K));
        Eval.GetValue(Result);
        return Result.Number();
    }
    double TheirsAt(int K)
    {
        TheirA = VarA(K);
        TheirB = VarB(K);
        TheirC = VarC(K);
        return Theirs.Eval();
    }
};

void BM_EvaluateVsMuparser(benchmark::State& State)
{
    const TFormula& F = Formulas[State.range(0)];
    TOursVsMuparser Rig(F);
    constexpr int Evaluations = 2000;
    TRpEvResult Result;
    // Both give the same numbers.
    for (int K = 0; K < 50; ++K) {
        const double Ours = Rig.OursAt(K, Result);
        const double Theirs = Rig.TheirsAt(K);
        if (!Result.IsNumber() || std::fabs(Ours - Theirs) > 1e-9 * std::max(1.0, std::fabs(Theirs))) {
            State.SkipWithError("the two disagree");
            return;
        }
    }
    std::vector<double> Ratios;
    double OursTotal = 0, TheirsTotal = 0, Sum = 0;
    TAlternation Alternation;
    const long AllocationsBefore = AllocationCount();
    for (auto _ : State) {
        auto Ours = [&] {
            const auto T0 = TClock::now();
            for (int K = 0; K < Evaluations; ++K)
                Sum += Rig.OursAt(K, Result);
            return std::chrono::duration<double>(TClock::now() - T0).count();
        };
        auto Theirs = [&] {
            const auto T0 = TClock::now();
            for (int K = 0; K < Evaluations; ++K)
                Sum += Rig.TheirsAt(K);
            return std::chrono::duration<double>(TClock::now() - T0).count();
        };
        const auto [A, B] = Alternation.Round(Ours, Theirs);
        OursTotal += A;
        TheirsTotal += B;
        Ratios.push_back(A / B);
    }
    const long Allocated = AllocationCount() - AllocationsBefore;
    benchmark::DoNotOptimize(Sum);

    // Parsing: ours prepares, theirs parses on the first evaluation.
    std::vector<double> ParseRatios;
    for (int Round = 0; Round < 200; ++Round) {
        const auto T0 = TClock::now();
        Rig.Eval.Prepare(F.Ours);
        const auto T1 = TClock::now();
        Rig.Theirs.SetExpr(F.Theirs);
        benchmark::DoNotOptimize(Rig.Theirs.Eval());
        const auto T2 = TClock::now();
        ParseRatios.push_back(std::chrono::duration<double>(T1 - T0).count() /
                              std::chrono::duration<double>(T2 - T1).count());
    }

    const double N = static_cast<double>(State.iterations()) * Evaluations;
    State.counters["ours_ns"] = OursTotal / N * 1e9;
    State.counters["muparser_ns"] = TheirsTotal / N * 1e9;
    State.counters["ratio"] = Median(Ratios);
    State.counters["ratio_of_sums"] = OursTotal / TheirsTotal;
    State.counters["parse_ratio"] = Median(ParseRatios);
    State.counters["allocs_per_eval"] = static_cast<double>(Allocated) / N;
}
BENCHMARK(BM_EvaluateVsMuparser)->DenseRange(0, std::size(Formulas) - 1)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace
