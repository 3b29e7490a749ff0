// The built-in functions of report expressions, the aggregates across
// records and the function registry.
#include "tests/report/ExprRig.h"

#include "platform/SysUtils.h"

#include <gtest/gtest.h>

using namespace exprtest;

namespace {

const TRpEvResult NoMessage = E("");

}  // namespace

TEST(Functions, ScalarFunctions)
{
    CheckTable({
        {"IF(3 > 2, 'a', 1/0)", S("a")},
        {"IF(1 = 1, 'a', 'b')", S("a")},
        {"IF(1 = 2, 'a', 2.5)", F(2.5)},
        {"IF(1, 2, 3)", E("Wrong arguments for IF")},
        {"IF(TRUE, 2)", E("Wrong arguments for IF")},
        {"STR(3)", S("3")},
        {"STR(-2147483647-1)", S("-2147483648")},
        {"STR(2.5)", S("2.5")},
        {"STR(TRUE)", S("True")},
        {"STR('x')", E("Conversion error")},
        {"STR(1, 2)", E("Conversion error")},
        {"COPY('report', 3, 2)", S("po")},
        {"COPY('abcdef', 2, 3)", S("bcd")},
        {"COPY('abc', 0, 2)", S("ab")},
        {"COPY('abc', 2, 99)", S("bc")},
        {"COPY('abc', 5, 2)", S("")},
        {"COPY('abc', 2, -1)", S("")},
        {"COPY('abc', 2.0, 1)", NoMessage},
        {"COPY('h\xC3\xA9llo', 2, 3)", S("\xC3\xA9ll")},   // characters, not bytes
        {"TRUE", B(true)},
        {"TRUE()", B(true)},
        {"FALSE", B(false)},
        {"TRUE(1)", E("Too many arguments")},
        {"INT(-7.9)", I(-7)},
        {"INT(-2.7)", I(-2)},
        {"INT(5)", I(5)},
        {"INT('5')", E("Wrong arguments for INT")},
        {"FRAC(2.5)", F(0.5)},
        {"FRAC(-2.75)", F(-0.75)},
        {"FRAC(3)", F(0)},
        {"FRAC('x')", NoMessage},
        {"SQRT(16)", F(4)},
        {"SQRT(-1)", E("Invalid argument to SQRT function")},
        {"DIV(9, 4)", I(2)},
        {"DIV(2.5, 1)", I(2)},   // halves to even
        {"DIV(7, 2)", I(3)},
        {"DIV(-7, 2)", I(-3)},
        {"DIV(7.5, 2)", I(4)},
        {"DIV(1, 0)", E("Division by Zero")},
        {"DIV(1, 0.4)", E("Division by Zero")},
        {"DIV('a', 1)", E("Wrong arguments for DIV")},
        {"TYPEOF('x')", S("STRING")},
        {"TYPEOF(1)", S("INTEGER")},
        {"TYPEOF(1/2)", S("FLOAT")},
        {"TYPEOF(1 < 2)", S("BOOLEAN")},
        {"TYPEOF(1/0)", S("ERROR")},
        {"TYPEOF()", E("Wrong arguments for TypeOf")},
        {"FORMATNUMERIC('0.0', 2.25)", S("2.3")},
        {"FORMATNUMERIC('0.00', 3.14159)", S("3.14")},
        {"FORMATNUMERIC('#,##0', 1234567)", S("1,234,567")},
        {"FORMATNUMERIC('0', 1E308*10)", E("Invalid format or value specified")},
        {"FORMATNUMERIC(1, 2)", NoMessage},
        {"ARCCOS(1)", F(0)},
        {"ARCCOS(2)", NoMessage},
        {"COS(0)", F(1)},
        {"SIN(0)", F(0)},
        {"TAN(0)", F(0)},
        {"COTAN(1)", F(1 / std::tan(1.0))},
        {"COTAN(0)", NoMessage},
        {"COS('x')", NoMessage},
    });
}

TEST(Functions, TextFunctionsChangeCharacters)
{
    CheckTable({
        {"UPPER('stra\xC3\x9F" "e')", S("STRASSE")},
        {"LOWER('\xC3\x89T\xC3\x89')", S("\xC3\xA9t\xC3\xA9")},
        {"PRETTY('hELLO wORLD')", S("Hello world")},
        {"PRETTY('\xC3\xA9LAN')", S("\xC3\x89lan")},
        {"PRETTY('')", S("")},
        {"UPPER(1)", NoMessage},
        {"UPPER()", E("Missing argument for UPPER")},
        {"LOWER('a', 'b')", E("Missing argument for LOWER")},
        {"PRETTY(1/0)", E("Cannot divide by 0")},
    });
}

TEST(Functions, TimeAndDateReadTheClock)
{
    const TDateTime Fixed = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);
    SetNowOverride([Fixed] { return Fixed; });
    CheckTable({
        {"TIME", S(TimeToStr(Fixed))},
        {"DATE", S(DateToStr(Fixed))},
        {"TIME(1)", NoMessage},
    });
    SetNowOverride({});
}

// ----------------------------------------------------------------- aggregates

namespace {

// An aggregate expression over the environment constant X, fed one record at
// a time: X takes the value, then one aggregation pass.
class TAggregateRig {
public:
    explicit TAggregateRig(const std::string& Expression)
    {
        Env.AddFunction("X", "0");
        Env.Prepare();
        Eval.SetEnvironment(&Env);
        Eval.Prepare(Expression);
        Eval.Reset();
    }
    ~TAggregateRig() { Env.Unprepare(); }

    TRpEvResult Over(std::initializer_list<TRpEvResult> Values)
    {
        for (const TRpEvResult& V : Values) {
            Env.UpdateConstant("X", V);
            Eval.DoAggregate();
        }
        return Eval.Value();
    }

    TRpEvEnvironment Env;
    TRpEvaluator Eval;
};

}  // namespace

TEST(Aggregates, TotalsAcrossRecords)
{
    struct Case {
        const char* Expression;
        std::initializer_list<TRpEvResult> Values;
        TRpEvResult Expected;
    };
    const Case Cases[] = {
        {"SUM(X)", {I(10), I(20), I(30)}, I(60)},
        {"SUM(X)", {I(1), I(2), I(3)}, I(6)},
        {"SUM(X)", {}, I(0)},
        {"SUM(X)", {I(1), F(2.5)}, F(3.5)},   // integers and floats mix as in the operators
        {"SUM(X)", {F(0.5), I(2)}, F(2.5)},
        {"SUM(X)", {I(1), B(true), E("skipped"), I(2)}, I(3)},
        {"SUM(X)", {I(1), S("x"), I(2)}, NoMessage},
        {"SUM(X)", {S("x")}, NoMessage},
        {"SUM(X)", {I(2147483647), I(1)}, E("Integer overflow")},
        {"SUM(X)", {I(2147483647), I(1), I(-5)}, E("Integer overflow")},   // stays an error
        {"AVERAGE(X)", {I(10), I(20), I(30)}, F(20)},
        {"AVERAGE(X)", {I(1), I(2), I(3)}, F(2)},
        {"AVERAGE(X)", {}, F(0)},
        {"AVERAGE(X)", {I(1), S("x")}, NoMessage},
        {"MAX(X)", {I(3), I(8), I(5)}, I(8)},
        {"MAX(X)", {S("b"), S("a"), S("c")}, S("c")},
        {"MAX(X)", {I(3), F(8.5), I(5)}, F(8.5)},
        {"MAX(X)", {F(1.5), I(1)}, F(1.5)},
        {"MAX(X)", {B(false), B(true)}, B(true)},
        {"MAX(X)", {}, I(0)},
        {"MIN(X)", {S("kiwi"), S("fig")}, S("fig")},
        {"MIN(X)", {I(3), I(1), I(2)}, I(1)},
        {"MIN(X)", {B(true), B(false)}, B(false)},
        {"MIN(X)", {I(2), E("skipped"), I(1)}, I(1)},
        {"COUNT", {I(0), I(0)}, I(2)},
        {"SUM(X) + COUNT", {I(5), I(7)}, I(14)},
    };
    for (const Case& C : Cases) {
        TAggregateRig Rig(C.Expression);
        EXPECT_TRUE(Rig.Eval.GetIsAggreg()) << C.Expression;
        std::string Fed;
        for (const TRpEvResult& V : C.Values)
            Fed += Describe(V) + "; ";
        EXPECT_TRUE(SameValue(Rig.Over(C.Values), C.Expected)) << C.Expression << " over " << Fed;
    }
}

TEST(Aggregates, ValueReportsTheTotalAndResetStartsAgain)
{
    TAggregateRig Rig("COUNT");
    Rig.Over({I(0), I(0)});
    EXPECT_TRUE(SameValue(Rig.Eval.Value(), I(2)));   // a plain pass does not count
    EXPECT_TRUE(SameValue(Rig.Eval.Value(), I(2)));
    Rig.Eval.Reset();
    EXPECT_TRUE(SameValue(Rig.Eval.Value(), I(0)));
    EXPECT_TRUE(SameValue(Rig.Over({I(0), I(0), I(0)}), I(3)));

    TAggregateRig Sum("SUM(X)");
    EXPECT_TRUE(SameValue(Sum.Over({I(4), I(5)}), I(9)));
    Sum.Env.UpdateConstant("X", I(100));
    EXPECT_TRUE(SameValue(Sum.Eval.Value(), I(9)));
    Sum.Eval.Reset();
    EXPECT_TRUE(SameValue(Sum.Over({I(1)}), I(1)));
    // Preparing again starts from the constructor's state.
    Sum.Eval.Prepare("AVERAGE(X)");
    EXPECT_TRUE(SameValue(Sum.Eval.Value(), F(0)));

    CheckTable({
        {"COUNT(1)", E("COUNT - Too many arguments")},
        {"SUM(1, 2)", I(0)},   // no aggregation pass yet
    });
    TAggregateRig Wrong("SUM(X, 1)");
    EXPECT_TRUE(SameValue(Wrong.Over({I(1)}), I(0)));
    TAggregateRig WrongMax("MAX(X, 1)");
    EXPECT_TRUE(SameValue(WrongMax.Over({I(1)}), I(0)));
    EXPECT_FALSE(WrongMax.Eval.GetAggregate());
}

// ------------------------------------------------------------------- registry

TEST(FunctionLibrary, RegistersTheBuiltInsInOrder)
{
    struct Entry {
        const char* Name;
        const char* Codes;
    };
    const Entry Expected[] = {
        {"IF", "5BVV"},  {"STR", "7N"},     {"UPPER", "7S"},  {"LOWER", "7S"},   {"PRETTY", "7S"},
        {"TIME", "1"},   {"DATE", "1"},     {"COPY", "7SNN"}, {"SUM", "3N"},     {"COUNT", "3"},
        {"MAX", "3V"},   {"MIN", "3N"},     {"AVERAGE", "3N"}, {"TRUE", "5"},    {"FALSE", "5"},
        {"INT", "2N"},   {"FRAC", "2N"},    {"SQRT", "2N"},   {"DIV", "2NN"},    {"TYPEOF", "6N"},
        {"FORMATNUMERIC", "7SN"}, {"ARCCOS", "2N"}, {"COS", "2N"}, {"SIN", "2N"}, {"TAN", "2N"},
        {"COTAN", "2N"},
    };
    const TRpFunctionLibrary* Library = RpFunctionLibrary();
    ASSERT_GE(Library->Count(), 26);
    for (int i = 0; i < 26; ++i) {
        const TRpLibraryEntry* Entry = Library->GetEntry(i);
        ASSERT_NE(Entry, nullptr);
        EXPECT_EQ(Entry->Name(), Expected[i].Name) << i;
        EXPECT_EQ(Entry->ArgumentCodes(), Expected[i].Codes) << Entry->Name();
        EXPECT_EQ(Entry->Vendor(), LoadResString(SRpVendorName));
        // Every class's instances report what it was registered with.
        const std::unique_ptr<TRpEvElement> Made = Library->GetFunction(Expected[i].Name);
        const auto* Function = dynamic_cast<const TRpEvElementFunction*>(Made.get());
        ASSERT_NE(Function, nullptr) << Entry->Name();
        EXPECT_EQ(Function->FunctionName(), Entry->Name());
        EXPECT_EQ(Function->FunctionDescription(), Entry->Description());
    }
    EXPECT_EQ(Library->GetEntry(0)->Description(),
              "IF(<Exp>, <X>, <Y>)|Returns <X> or <Y> depending on the boolean expression <Exp>");
    EXPECT_EQ(Library->GetEntry(11)->Description(), "MIN( <V>) | Returns the lowest <X>");
    EXPECT_EQ(Library->GetEntry(18)->Description(), "DIV(<X>, <Y>) | Integer division of <X> by <Y>");
    EXPECT_EQ(Library->GetEntry(-1), nullptr);
    EXPECT_EQ(Library->IndexOf("formatnumeric"), 20);
    const std::unique_ptr<TRpEvElement> Unknown = Library->GetFunction("NOSUCH");
    ASSERT_NE(dynamic_cast<TRpEvElementError*>(Unknown.get()), nullptr);
    EXPECT_EQ(static_cast<TRpEvElementError*>(Unknown.get())->Message(), "Unknown function : NOSUCH");
}

namespace {

// A function of the program's own: twice its numeric argument.
class TTwiceFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override
    {
        if (ArgumentCount() == 1 && Arg(0).Kind() == resInt)
            Result.SetInt(2 * Arg(0).IntValue());
        else
            Result.SetError({});
    }
    std::string FunctionName() const override { return "TWICE"; }
    std::string FunctionArguments() const override { return "7N"; }
};

}  // namespace

TEST(FunctionLibrary, RegisteredFunctionsJoinTheLanguage)
{
    RegisterRpFunctionEx(RpFunctionClass<TTwiceFunction>);
    const TRpFunctionLibrary* Library = RpFunctionLibrary();
    const TRpLibraryEntry* Entry = Library->GetEntry(Library->IndexOf("TWICE"));
    ASSERT_NE(Entry, nullptr);
    EXPECT_EQ(Entry->Description(), "TWICE");   // FunctionDescription defaults to the name
    EXPECT_EQ(Entry->ArgumentCodes(), "7N");
    CheckTable({
        {"twice(21)", I(42)},
        {"TWICE(TWICE(2)) + 1", I(9)},
    });
}
