// The built-in functions of report expressions. Every wrong use gives an
// error value; nothing here raises.
#include "report/RpExpr.h"

#include "platform/SysUtils.h"

#include <cmath>
#include <limits>

namespace {

// The call syntax with its bar, then the explanation.
std::string Described(const char* Syntax, const TRpResString& Explanation)
{
    return Syntax + LoadResString(Explanation);
}

void SetWrongArguments(TRpEvResult& Result, const char* Name)
{
    Result.SetError(FormatResString(SRpExpWrongArguments, Name));
}

void SetOverflow(TRpEvResult& Result)
{
    Result.SetError(LoadResString(SRpExpIntegerOverflow));
}

// UPPER, LOWER and PRETTY: one string; an error passes through.
bool CheckStringArgument(const TRpEvElementFunction& Function, TRpEvResult& Result, const char* Name)
{
    if (Function.ArgumentCount() != 1) {
        Result.SetError(FormatResString(SRpMissingArgument, Name));
        return false;
    }
    Result = Function.Argument(0);
    if (Result.Kind() == resString)
        return true;
    if (!Result.IsError())
        Result.SetError({});
    return false;
}

// Ordering of two values for MAX and MIN, aligned as the operators align
// them: an integer with a double as doubles, other mixed kinds as texts.
// Returns the sign of Candidate - Kept; both come back aligned.
int CompareForExtreme(TRpEvResult& Kept, TRpEvResult& Candidate)
{
    if (Kept.Kind() != Candidate.Kind()) {
        if (Kept.IsNumber() && Candidate.IsNumber()) {
            Kept.SetDouble(Kept.Number());
            Candidate.SetDouble(Candidate.Number());
        } else {
            Kept.ConvertToString();
            Candidate.ConvertToString();
        }
    }
    switch (Kept.Kind()) {
    case resInt:
        return Candidate.IntValue() < Kept.IntValue() ? -1 : (Candidate.IntValue() > Kept.IntValue() ? 1 : 0);
    case resDouble:
        return Candidate.DoubleValue() < Kept.DoubleValue() ? -1
                                                            : (Candidate.DoubleValue() > Kept.DoubleValue() ? 1 : 0);
    case resString: {
        const int C = Candidate.Text().compare(Kept.Text());
        return C < 0 ? -1 : (C > 0 ? 1 : 0);
    }
    case resBool:
        return static_cast<int>(Candidate.BoolValue()) - static_cast<int>(Kept.BoolValue());
    case resError:
        break;
    }
    return 0;
}

// MAX (Sign 1) and MIN (Sign -1) take one value in.
void TakeExtreme(TRpEvResult& Extreme, bool& Assigned, const TRpEvElementFunction& Function, int Sign)
{
    if (Function.ArgumentCount() != 1) {
        Extreme.SetError({});
        return;
    }
    TRpEvResult Candidate = Function.Argument(0);
    if (!Assigned) {
        Extreme = Candidate;
        Assigned = true;
        return;
    }
    if (Extreme.IsError() || Candidate.IsError())
        return;
    if (CompareForExtreme(Extreme, Candidate) == Sign)
        Extreme = Candidate;
}

}  // namespace

// ---------------------------------------------------------------- IF, STR

void TRpEvIfFunction::Calculate(TRpEvResult& Result)
{
    if (ArgumentCount() != 3 || Arg(0).Kind() != resBool) {
        SetWrongArguments(Result, "IF");
        return;
    }
    Result = Arg(0).BoolValue() ? Arg(1) : Arg(2);
}

std::string TRpEvIfFunction::FunctionDescription() const
{
    return Described("IF(<Exp>, <X>, <Y>)|", SRpIfDesc);
}

void TRpEvStrFunction::Calculate(TRpEvResult& Result)
{
    if (ArgumentCount() == 1 && (Arg(0).IsNumber() || Arg(0).Kind() == resBool)) {
        Result = Arg(0);
        Result.ConvertToString();
        return;
    }
    Result.SetError(LoadResString(SRpConversionError));
}

std::string TRpEvStrFunction::FunctionDescription() const
{
    return Described("STR(<X>)|", SRpStrDesc);
}

// ------------------------------------------------------ UPPER, LOWER, PRETTY

void TRpEvUpperFunction::Calculate(TRpEvResult& Result)
{
    if (CheckStringArgument(*this, Result, "UPPER"))
        Result.SetString(AnsiUpperCase(std::string(Result.Text())));
}

std::string TRpEvUpperFunction::FunctionDescription() const
{
    return Described("UPPER(<X>)|", SRpUpperDesc);
}

void TRpEvLowerFunction::Calculate(TRpEvResult& Result)
{
    if (CheckStringArgument(*this, Result, "LOWER"))
        Result.SetString(AnsiLowerCase(std::string(Result.Text())));
}

std::string TRpEvLowerFunction::FunctionDescription() const
{
    return Described("LOWER(<X>)|", SRpLowerDesc);
}

void TRpEvPrettyFunction::Calculate(TRpEvResult& Result)
{
    if (!CheckStringArgument(*this, Result, "PRETTY"))
        return;
    const std::string Text(Result.Text());
    const size_t First = Utf8CharSize(Text, 0);
    Result.SetString(AnsiUpperCase(Text.substr(0, First)) + AnsiLowerCase(Text.substr(First)));
}

std::string TRpEvPrettyFunction::FunctionDescription() const
{
    return Described("PRETTY(<X>)|", SRpPrettyDesc);
}

// ------------------------------------------------------------- TIME, DATE

void TRpEvTimeFunction::Calculate(TRpEvResult& Result)
{
    if (ArgumentCount() == 0)
        Result.SetString(TimeToStr(Now()));
    else
        Result.SetError({});
}

std::string TRpEvTimeFunction::FunctionDescription() const
{
    return Described("TIME|", SRpTimeDesc);
}

void TRpEvDateFunction::Calculate(TRpEvResult& Result)
{
    if (ArgumentCount() == 0)
        Result.SetString(DateToStr(Date()));
    else
        Result.SetError({});
}

std::string TRpEvDateFunction::FunctionDescription() const
{
    return Described("DATE|", SRpDateDesc);
}

// -------------------------------------------------------------------- COPY

void TRpEvCopyFunction::Calculate(TRpEvResult& Result)
{
    if (ArgumentCount() != 3 || Arg(0).Kind() != resString || Arg(1).Kind() != resInt || Arg(2).Kind() != resInt) {
        Result.SetError({});
        return;
    }
    // Counted in characters.
    const std::string_view Text = Arg(0).Text();
    const int64_t Start = std::max<int64_t>(Arg(1).IntValue(), 1);
    const int32_t Count = Arg(2).IntValue();
    const size_t Length = Utf8Length(Text);
    if (Count < 0 || Start > static_cast<int64_t>(Length)) {
        Result.SetString({});
        return;
    }
    const std::string_view Rest = Text.substr(Utf8PrefixBytes(Text, static_cast<size_t>(Start - 1)));
    Result.SetString(Rest.substr(0, Utf8PrefixBytes(Rest, static_cast<size_t>(Count))));
}

std::string TRpEvCopyFunction::FunctionDescription() const
{
    return Described("COPY(<X>, <St>,<Len>)|", SRpCopyDesc);
}

// -------------------------------------------------------------- aggregates

TRpEvSumFunction::TRpEvSumFunction()
{
    SetIsAggregate(true);
}

void TRpEvSumFunction::Reset()
{
    FAssigned = false;
}

void TRpEvSumFunction::Aggregate()
{
    if (ArgumentCount() != 1) {
        FTotal.SetError({});
        return;
    }
    const TRpEvResult& Value = Arg(0);
    if (!FAssigned) {
        if (Value.IsNumber())
            FTotal = Value;
        else if (Value.IsError())
            FTotal = Value;
        else
            FTotal.SetError({});
    } else if (FTotal.IsError()) {
        // An error total stays.
    } else if (Value.Kind() == resString) {
        FTotal.SetError({});
    } else if (Value.Kind() == resInt && FTotal.Kind() == resInt) {
        int32_t Sum = 0;
        if (__builtin_add_overflow(FTotal.IntValue(), Value.IntValue(), &Sum))
            SetOverflow(FTotal);
        else
            FTotal.SetInt(Sum);
    } else if (Value.IsNumber()) {
        // Integers and doubles mix as in the operators: a double total.
        FTotal.SetDouble(FTotal.Number() + Value.Number());
    }
    // Booleans and errors are skipped.
    FAssigned = true;
}

void TRpEvSumFunction::Calculate(TRpEvResult& Result)
{
    if (FAssigned)
        Result = FTotal;
    else
        Result.SetInt(0);
}

std::string TRpEvSumFunction::FunctionDescription() const
{
    return Described("SUM(<X>)|", SRpSumDesc);
}

TRpEvCountFunction::TRpEvCountFunction()
{
    SetIsAggregate(true);
}

// Counts the aggregation passes of a call without arguments.
void TRpEvCountFunction::Aggregate()
{
    if (ArgumentCount() == 0 && FCount < std::numeric_limits<int32_t>::max())
        ++FCount;
}

void TRpEvCountFunction::Calculate(TRpEvResult& Result)
{
    if (ArgumentCount() > 0)
        Result.SetError("COUNT - " + LoadResString(SRpExpTooManyArgs));
    else
        Result.SetInt(FCount);
}

void TRpEvCountFunction::Reset()
{
    FCount = 0;
}

std::string TRpEvCountFunction::FunctionDescription() const
{
    return Described("COUNT|", SRpCountDesc);
}

TRpEvMaxFunction::TRpEvMaxFunction()
{
    SetIsAggregate(true);
}

void TRpEvMaxFunction::Reset()
{
    FAssigned = false;
}

void TRpEvMaxFunction::Aggregate()
{
    TakeExtreme(FMax, FAssigned, *this, 1);
}

void TRpEvMaxFunction::Calculate(TRpEvResult& Result)
{
    if (FAssigned)
        Result = FMax;
    else
        Result.SetInt(0);
}

std::string TRpEvMaxFunction::FunctionDescription() const
{
    return Described("MAX(<X>)|", SRpMaxDesc);
}

TRpEvMinFunction::TRpEvMinFunction()
{
    SetIsAggregate(true);
}

void TRpEvMinFunction::Reset()
{
    FAssigned = false;
}

void TRpEvMinFunction::Aggregate()
{
    TakeExtreme(FMin, FAssigned, *this, -1);
}

void TRpEvMinFunction::Calculate(TRpEvResult& Result)
{
    if (FAssigned)
        Result = FMin;
    else
        Result.SetInt(0);
}

std::string TRpEvMinFunction::FunctionDescription() const
{
    return Described("MIN( <V>) | ", SRpMinDesc);
}

void TRpEvAverageFunction::Reset()
{
    TRpEvSumFunction::Reset();
    FAverage.SetDouble(0);
    FCount = 0;
    SetIsAggregate(true);
}

void TRpEvAverageFunction::Aggregate()
{
    TRpEvSumFunction::Aggregate();
    if (FCount < std::numeric_limits<int32_t>::max())
        ++FCount;
    TRpEvResult Sum;
    TRpEvSumFunction::Calculate(Sum);
    if (Sum.IsNumber())
        FAverage.SetDouble(Sum.Number() / FCount);
    else if (Sum.IsError())
        FAverage = Sum;
    else
        FAverage.SetError({});
}

void TRpEvAverageFunction::Calculate(TRpEvResult& Result)
{
    Result = FAverage;
}

std::string TRpEvAverageFunction::FunctionDescription() const
{
    return Described("AVERAGE(<X>)|", SRpAverageDesc);
}

// ------------------------------------------------------------ TRUE, FALSE

void TRpEvTrue::Calculate(TRpEvResult& Result)
{
    if (ArgumentCount() == 0)
        Result.SetBool(true);
    else
        Result.SetError(LoadResString(SRpExpTooManyArgs));
}

std::string TRpEvTrue::FunctionDescription() const
{
    return Described("TRUE|", SRpBoolDesc);
}

void TRpEvFalse::Calculate(TRpEvResult& Result)
{
    if (ArgumentCount() == 0)
        Result.SetBool(false);
    else
        Result.SetError(LoadResString(SRpExpTooManyArgs));
}

std::string TRpEvFalse::FunctionDescription() const
{
    return Described("FALSE|", SRpBoolDesc);
}

// ------------------------------------------------------ INT, FRAC, SQRT, DIV

void TRpEvIntFunction::Calculate(TRpEvResult& Result)
{
    if (ArgumentCount() != 1 || !Arg(0).IsNumber()) {
        SetWrongArguments(Result, "INT");
        return;
    }
    if (Arg(0).Kind() == resInt) {
        Result = Arg(0);
        return;
    }
    const double Whole = std::trunc(Arg(0).DoubleValue());
    if (!(Whole >= -2147483648.0 && Whole <= 2147483647.0))
        SetOverflow(Result);
    else
        Result.SetInt(static_cast<int32_t>(Whole));
}

std::string TRpEvIntFunction::FunctionDescription() const
{
    return Described("INT(<X>)|", SRpIntDesc);
}

void TRpEvFracFunction::Calculate(TRpEvResult& Result)
{
    if (ArgumentCount() != 1 || !Arg(0).IsNumber()) {
        Result.SetError({});
        return;
    }
    double Whole = 0;
    Result.SetDouble(Arg(0).Kind() == resInt ? 0.0 : std::modf(Arg(0).DoubleValue(), &Whole));
}

std::string TRpEvFracFunction::FunctionDescription() const
{
    return Described("FRAC(<X>)|", SRpFracDesc);
}

void TRpEvSQRTFunction::Calculate(TRpEvResult& Result)
{
    if (ArgumentCount() == 1 && Arg(0).IsNumber() && Arg(0).Number() >= 0)
        Result.SetDouble(std::sqrt(Arg(0).Number()));
    else
        Result.SetError(LoadResString(SRpSQRTInvalid));
}

// A negative number (or NaN) is the error with its message: left to Calculate.
TRpEvElementFunction::TNumberMap TRpEvSQRTFunction::NumberMap() const
{
    return [](double X, double& Y) {
        if (!(X >= 0))
            return false;
        Y = std::sqrt(X);
        return true;
    };
}

std::string TRpEvSQRTFunction::FunctionDescription() const
{
    return Described("SQRT(<X>)|", SRpSqrtDesc);
}

void TRpEvDivFunction::Calculate(TRpEvResult& Result)
{
    if (ArgumentCount() != 2 || !Arg(0).IsNumber() || !Arg(1).IsNumber()) {
        SetWrongArguments(Result, "DIV");
        return;
    }
    int32_t X = Arg(0).IntValue();
    int32_t Y = Arg(1).IntValue();
    if ((Arg(0).Kind() == resDouble && !RpRoundToInt32(Arg(0).DoubleValue(), X)) ||
        (Arg(1).Kind() == resDouble && !RpRoundToInt32(Arg(1).DoubleValue(), Y))) {
        SetOverflow(Result);
        return;
    }
    if (Y == 0)
        Result.SetError(LoadResString(SRpDivisionByZero));
    else if (X == std::numeric_limits<int32_t>::min() && Y == -1)
        SetOverflow(Result);
    else
        Result.SetInt(X / Y);
}

std::string TRpEvDivFunction::FunctionDescription() const
{
    return Described("DIV(<X>, <Y>) | ", SRpDivDesc);
}

// ------------------------------------------------------ TYPEOF, FORMATNUMERIC

void TRpEvTypeOfFunction::Calculate(TRpEvResult& Result)
{
    if (ArgumentCount() != 1) {
        SetWrongArguments(Result, "TypeOf");
        return;
    }
    static const char* const Names[] = {"INTEGER", "FLOAT", "STRING", "BOOLEAN", "ERROR"};
    Result.SetString(Names[Arg(0).Kind()]);
}

std::string TRpEvTypeOfFunction::FunctionDescription() const
{
    return Described("TYPEOF(<Exp>)|", SRpTypeofDesc);
}

void TRpEvFormatNumericFunction::Calculate(TRpEvResult& Result)
{
    if (ArgumentCount() != 2 || Arg(0).Kind() != resString || !Arg(1).IsNumber()) {
        Result.SetError({});
        return;
    }
    const double Number = Arg(1).Number();
    if (!std::isfinite(Number))
        Result.SetError(LoadResString(SRpInvalidFormatnumeric));
    else
        Result.SetString(FormatFloat(std::string(Arg(0).Text()), Number));
}

std::string TRpEvFormatNumericFunction::FunctionDescription() const
{
    return Described("FORMATNUMERIC(<F>,<N>)|", SRpFormatNumericDesc);
}

// ------------------------------------------------------------ trigonometry

namespace {

// One numeric argument into F; an error without a message otherwise, and
// where F gives no number.
template <class F>
void Trigonometric(const TRpEvElementFunction& Function, TRpEvResult& Result, F Compute)
{
    double Value = 0;
    if (Function.ArgumentCount() == 1 && Function.Argument(0).IsNumber() &&
        Compute(Function.Argument(0).Number(), Value))
        Result.SetDouble(Value);
    else
        Result.SetError({});
}

}  // namespace

void TRpEvArcCosFunction::Calculate(TRpEvResult& Result)
{
    Trigonometric(*this, Result, [](double X, double& Y) {
        if (!(X >= -1 && X <= 1))
            return false;
        Y = std::acos(X);
        return true;
    });
}

std::string TRpEvArcCosFunction::FunctionDescription() const
{
    return Described("ARCCOS(<X>)|", SRpArcCosDesc);
}

void TRpEvCosFunction::Calculate(TRpEvResult& Result)
{
    Trigonometric(*this, Result, NumberMap());
}

TRpEvElementFunction::TNumberMap TRpEvCosFunction::NumberMap() const
{
    return [](double X, double& Y) {
        Y = std::cos(X);
        return true;
    };
}

std::string TRpEvCosFunction::FunctionDescription() const
{
    return Described("COS(<X>)|", SRpCosDesc);
}

void TRpEvSinFunction::Calculate(TRpEvResult& Result)
{
    Trigonometric(*this, Result, NumberMap());
}

TRpEvElementFunction::TNumberMap TRpEvSinFunction::NumberMap() const
{
    return [](double X, double& Y) {
        Y = std::sin(X);
        return true;
    };
}

std::string TRpEvSinFunction::FunctionDescription() const
{
    return Described("SIN(<X>)|", SRpSinDesc);
}

void TRpEvTanFunction::Calculate(TRpEvResult& Result)
{
    Trigonometric(*this, Result, [](double X, double& Y) {
        Y = std::tan(X);
        return true;
    });
}

std::string TRpEvTanFunction::FunctionDescription() const
{
    return Described("TAN(<X>)|", SRpTanDesc);
}

void TRpEvCoTanFunction::Calculate(TRpEvResult& Result)
{
    Trigonometric(*this, Result, [](double X, double& Y) {
        const double Tangent = std::tan(X);
        if (Tangent == 0)
            return false;
        Y = 1 / Tangent;
        return true;
    });
}

std::string TRpEvCoTanFunction::FunctionDescription() const
{
    return Described("COTAN(<X>)|", SRpCoTanDesc);
}
