// Fuzz target: arbitrary text through the report expression evaluator.
// Built with clang and -fsanitize=fuzzer,address,undefined against the
// platform and report libraries; any crash, sanitizer report or exception
// other than the library's own ERpError from a typed reader is a fault.
//
// The input up to its first line break is the expression of the environment
// entry ENTRY (which may name itself, the report's constants or anything
// else); the rest is the expression evaluated, plainly, through the typed
// readers and in aggregation passes over changing constants.
#include "report/RpExpr.h"

#include <cstdlib>
#include <string>

namespace {

template <class F>
void Guarded(F Read)
{
    try {
        Read();
    } catch (const ERpError&) {
        // the readers' answer to a value of another kind
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string Input(reinterpret_cast<const char*>(Data), Size);
    const size_t Break = Input.find('\n');
    const std::string Entry = Break == std::string::npos ? std::string("1") : Input.substr(0, Break);
    const std::string Expression = Break == std::string::npos ? Input : Input.substr(Break + 1);

    // A plain evaluator, no environment.
    {
        TRpEvaluator Eval;
        const TRpEvResult R = Eval.Calculate(Expression);
        if (R.Text().size() > RpMaxTextBytes)
            std::abort();
    }

    // Through a report-like environment, with aggregation passes.
    TRpEvEnvironment Env;
    Env.AddFunction("PAGENUMBER", "0");
    Env.AddFunction("REPORTTITLE", "''");
    Env.AddFunction("ENTRY", Entry);
    Env.Prepare();
    TRpEvElement* Page = Env.GetConstant("PAGENUMBER");
    Env.SetStringConstant(Env.GetConstant("REPORTTITLE"), Expression.substr(0, 40));

    TRpEvaluator Eval;
    Eval.SetEnvironment(&Env);
    Eval.Prepare(Expression);
    Eval.Reset();
    const bool Aggregates = Eval.GetIsAggreg();
    const int32_t Pages[4] = {1, 2147483647, 0, -2147483647 - 1};
    for (int Record = 0; Record < 4; ++Record) {
        if (Record == 2)
            Env.UpdateConstant("PAGENUMBER", TRpEvResult::Double(2.5));
        else
            Env.SetIntegerConstant(Page, Pages[Record]);
        if (Aggregates || Record % 2 == 0)
            Eval.DoAggregate();
        Eval.Value();
    }
    Guarded([&] { Eval.AsString(); });
    Guarded([&] { Eval.AsInteger(); });
    Guarded([&] { Eval.AsFloat(); });
    Guarded([&] { Eval.AsBoolean(); });
    Eval.Reset();
    Eval.Value();
    Guarded([&] { Env.Value("ENTRY"); });
    Env.DeleteFunction("ENTRY");
    Guarded([&] { Eval.Value(); });   // an entry it named is gone
    Eval.UnPrepare();
    Env.Unprepare();
    return 0;
}
