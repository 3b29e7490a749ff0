// The expression evaluator: parsing, operators, typed readers, environments,
// the data-set seam and the faults it no longer has.
#include "tests/report/ExprRig.h"

#include "platform/Application.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <future>
#include <limits>
#include <thread>
#include <utility>

using namespace exprtest;

namespace {

std::string Illegal(const char* Text)
{
    return FormatResString(SRpExpIllegalCharInNumeric, Text);
}

std::string Repeat(const std::string& Part, int Count)
{
    std::string Text;
    for (int i = 0; i < Count; ++i)
        Text += Part;
    return Text;
}

}  // namespace

TEST(Evaluator, OperatorsAndLevels)
{
    CheckTable({
        {"2+3*4", I(14)},
        {"20-5-3", I(12)},
        {"100/10/2", F(5)},
        {"2*3/4", F(1.5)},
        {"1+2*3", I(7)},
        {"(1+2)*3", I(9)},
        {"10-3+2", I(9)},
        {"12/3*2", F(8)},
        {"7/2", F(3.5)},
        {"-5", I(-5)},
        {"6 and 3", I(2)},
        {"3 or 4", I(7)},
        {"TRUE and not FALSE", B(true)},
        {"TRUE AND FALSE", B(false)},
        {"not TRUE", B(false)},
        {"'Tot'+'al'", S("Total")},
        {"'A' + 1", S("A1")},
        {"'x' + 2.5", S("x2.5")},
        {"TRUE = 'True'", B(true)},
        {"'b' > 'a'", B(true)},
        {"'abc' < 'abd'", B(true)},
        {"'a' < 'B'", B(false)},
        {"'ab' < 'abc'", B(true)},
        {"3 = 3.0", B(true)},
        {"1 <> 2", B(true)},
        {"2 <= 2", B(true)},
        {"3 >= 4", B(false)},
        {"1.5 > 1", B(true)},
        {"TRUE <> FALSE", B(true)},
        {"99999999999", F(99999999999.0)},
        {"1E5", F(100000)},
        {"'it''s'", S("it''s")},
        {"  ( 2 )  ", I(2)},
        {"", S(" ")},
        {"   ", E(FormatResString(SRpExpError, " "))},
    });
}

TEST(Evaluator, FaultsBecomeErrorValuesWithTheirMessages)
{
    CheckTable({
        {"'x' - 'y'", E("Cannot subtract string expressions")},
        {"'a' * 2", E("Cannot multiply string expressions")},
        {"TRUE + TRUE", E("Cannot add boolean expressions")},
        {"TRUE / TRUE", E("Cannot divide boolean expressions")},
        {"TRUE < FALSE", E("Operator < is not compatible with boolean expressions")},
        {"1.5 or 2", E("Operator OR is not compatible with numeric expressions")},
        {"'a' and 'b'", E("Operator AND is not compatible with string expressions")},
        {"1/0", E("Cannot divide by 0")},
        {"1.5/0.0", E("Cannot divide by 0")},
        {"not 1", E("Invalid use of NOT")},
        {"(2", E("Missing )")},
        {"'abc", E("Missing '")},
        {"[Name", E("Missing ]")},
        {"#1", E("Error in expression : #1")},
        {"()", E("Error in expression : ")},
        {"1E-5", E(Illegal("1E"))},
        {"2*-3", E(Illegal("2*"))},
        {"12a", E(Illegal("12a"))},
        {"1.2.3", E(Illegal("1.2.3"))},
        {"1 = 1 = 1", E(Illegal("1 = 1"))},   // comparisons don't chain
        {"nosuch", E("Unknown function : NOSUCH")},
        {"nosuch(1)", E("Unknown function : NOSUCH")},
        // The left-most failing operand wins; both are evaluated.
        {"1/0 + nosuch", E("Cannot divide by 0")},
        {"2 + nosuch", E("Unknown function : NOSUCH")},
    });
}

// The right part of a "-" swaps its binary signs only: a sign of its own
// stays a sign (the swap of every sign read 8--2 as 8-2 and 9-+4 as 9+4).
TEST(Evaluator, SignsAfterAMinusStaySigns)
{
    CheckTable({
        {"8--2", I(10)},
        {"9-+4", I(5)},
        {"10-3+-2", I(5)},
        {"1-2+-3", I(-4)},
        {"10-2--3", I(11)},
        {"10-2*-3", E(Illegal("2*"))},   // as 2*-3: still refused
        {"5-(2-1)", I(4)},
        {"5-'a-b'", E("Cannot subtract string expressions")},
    });
}

// A sign after blanks is a sign too (the blank made the level split there,
// giving "Error in expression :  " for DIV(5, -1) or 1 + -2).
TEST(Evaluator, SignsAfterBlanksAreSigns)
{
    CheckTable({
        {"DIV(5, -1)", I(-5)},
        {"IF(FALSE, 1, -1)", I(-1)},
        {"1 + -2", I(-1)},
        {"8 - -2", I(10)},
        {" -5", I(-5)},
        {"3 * -1", E(FormatResString(SRpExpError, " "))},   // as 3*-1: still refused
    });
}

// "not" is the negation only as a word: NOTE is a name (it was read as the
// negation of E).
TEST(Evaluator, NotIsAWordOfItsOwn)
{
    TRpEvEnvironment Env;
    Env.AddFunction("NOTE", "'remark'");
    Env.AddFunction("NOT_1", "TRUE");
    Env.Prepare();
    CheckTable(
        {
            {"NOTE", S("remark")},
            {"note + '!'", S("remark!")},
            {"NOT_1", B(true)},
            {"not(1=2)", B(true)},
            {"NOT TRUE", B(false)},
            {"notnote", E("Unknown function : NOTNOTE")},
        },
        &Env);
    EXPECT_TRUE(SameValue(Calc("NOTES"), E("Unknown function : NOTES")));
    Env.Unprepare();
}

// 32-bit integer arithmetic that leaves the range is an error, never a
// wrapped number; so is a double outside the range where an integer is due.
TEST(Evaluator, IntegerOverflowIsAnError)
{
    const TRpEvResult Overflow = E("Integer overflow");
    CheckTable({
        {"2147483647+1", Overflow},
        {"-2147483647-2", Overflow},
        {"65536*65536", Overflow},
        {"2147483647+0", I(2147483647)},
        {"-2147483647-1", I(std::numeric_limits<int32_t>::min())},
        {"46340*46340", I(2147395600)},
        {"2147483647.0+1", F(2147483648.0)},
        {"INT(3E9)", Overflow},
        {"INT(-3E9)", Overflow},
        {"INT(1E308*10)", Overflow},
        {"INT(1E308*10-1E308*10)", Overflow},   // not a number
        {"DIV(3E9, 1)", Overflow},
        {"DIV(1, 1E308*10-1E308*10)", Overflow},
        {"DIV(-2147483647-1, -1)", Overflow},
        {"DIV(-2147483647-1, 1)", I(std::numeric_limits<int32_t>::min())},
    });

    TRpEvaluator Eval;
    Eval.Prepare("3E9");
    EXPECT_EQ(RaisedMessage([&] { Eval.AsInteger(); }), "Not a numeric value");
    EXPECT_EQ(RaisedMessage([] { RpEvResultToInt(F(std::nan(""))); }), "Not a numeric value");
    EXPECT_EQ(RaisedMessage([] { RpEvResultToInt(F(-2147483649.0)); }), "Not a numeric value");
    EXPECT_EQ(RpEvResultToInt(F(-2147483648.4)), std::numeric_limits<int32_t>::min());
}

// Nesting beyond 256 levels is refused whole instead of running the parser
// and the evaluation out of stack.
TEST(Evaluator, NestingDeeperThan256LevelsIsRefused)
{
    auto Parens = [](int Depth) { return Repeat("(", Depth) + "1" + Repeat(")", Depth); };
    auto Sum = [](int Operators) { return "1" + Repeat("+1", Operators); };
    auto Calls = [](int Depth) { return Repeat("INT(", Depth) + "7" + Repeat(")", Depth); };
    auto Nots = [](int Depth) { return Repeat("not ", Depth) + "TRUE"; };

    EXPECT_TRUE(SameValue(Calc(Parens(256)), I(1)));
    EXPECT_TRUE(SameValue(Calc(Sum(256)), I(257)));
    EXPECT_TRUE(SameValue(Calc(Calls(256)), I(7)));
    EXPECT_TRUE(SameValue(Calc(Nots(256)), B(true)));

    for (const std::string& Deep : {Parens(257), Sum(257), Calls(257), Nots(257), Parens(100000),
                                    Sum(100000), "-" + Repeat("(-", 50000) + "1" + Repeat(")", 50000),
                                    "IF(TRUE, 1, " + Parens(300) + ")"}) {
        const TRpEvResult R = Calc(Deep);
        ASSERT_EQ(R.Kind(), resError) << Deep.substr(0, 40);
        EXPECT_EQ(R.Text().substr(0, 22), "Error in expression : ") << Deep.substr(0, 40);
        EXPECT_LE(Utf8Length(R.Text()), RpMaxTextChars);
    }
}

TEST(Evaluator, TypedReaders)
{
    struct Case {
        const char* Expression;
        int32_t Integer;
    };
    for (const Case& C : {Case{"4.5", 4}, Case{"5.5", 6}, Case{"2.5", 2}, Case{"3.5", 4}, Case{"0-2.5", -2},
                          Case{"7", 7}}) {
        TRpEvaluator Eval;
        Eval.Prepare(C.Expression);
        EXPECT_EQ(Eval.AsInteger(), C.Integer) << C.Expression;
    }

    TRpEvaluator Eval;
    auto Raised = [&](const char* Expression, auto Reader) {
        Eval.Prepare(Expression);
        return RaisedMessage([&] { Reader(Eval); });
    };
    auto AsString = [](TRpEvaluator& E) { E.AsString(); };
    auto AsInteger = [](TRpEvaluator& E) { E.AsInteger(); };
    auto AsFloat = [](TRpEvaluator& E) { E.AsFloat(); };
    auto AsBoolean = [](TRpEvaluator& E) { E.AsBoolean(); };
    EXPECT_EQ(Raised("'Yes'", AsBoolean), "Not a boolean value");
    EXPECT_EQ(Raised("1", AsBoolean), "Not a boolean value");
    EXPECT_EQ(Raised("1/0", AsBoolean), "Not a boolean value");
    EXPECT_EQ(Raised("'x'", AsInteger), "Not a numeric value");
    EXPECT_EQ(Raised("TRUE", AsFloat), "Not a numeric value");
    EXPECT_EQ(Raised("1/0", AsInteger), "Not a numeric value");
    EXPECT_EQ(Raised("1/0", AsString), "Error in expression : Cannot divide by 0");

    Eval.Prepare("'tRuE'");
    EXPECT_TRUE(Eval.AsBoolean());
    Eval.Prepare("'false'");
    EXPECT_FALSE(Eval.AsBoolean());
    Eval.Prepare("2.5");
    EXPECT_EQ(Eval.AsString(), "2.5");
    EXPECT_DOUBLE_EQ(Eval.AsFloat(), 2.5);
    Eval.Prepare("1 < 2");
    EXPECT_EQ(Eval.AsString(), "True");
    Eval.Prepare("3");
    EXPECT_DOUBLE_EQ(Eval.AsFloat(), 3.0);
    EXPECT_EQ(Eval.AsString(), "3");

    TRpEvaluator Unprepared;
    EXPECT_EQ(RaisedMessage([&] { Unprepared.Value(); }), "Evaluator not prepared");
    EXPECT_EQ(RaisedMessage([&] { Unprepared.DoAggregate(); }), "Evaluator not prepared");
    EXPECT_EQ(RaisedMessage([&] { Unprepared.Reset(); }), "Evaluator not prepared");
    Eval.UnPrepare();
    EXPECT_FALSE(Eval.Prepared());
    EXPECT_EQ(RaisedMessage([&] { Eval.Value(); }), "Evaluator not prepared");
}

TEST(Evaluator, QueueHoldsElementsInPrefixOrder)
{
    TRpEvaluator Eval;
    Eval.Prepare("IF(1 < 2, 'a', 3)");
    const TRpFiFo* Queue = Eval.FiFo();
    ASSERT_NE(Queue, nullptr);
    ASSERT_EQ(Queue->Count(), 7);
    EXPECT_NE(dynamic_cast<TRpEvIfFunction*>(Queue->Items(0)), nullptr);
    auto* Less = dynamic_cast<TRpEvElementOperator*>(Queue->Items(1));
    ASSERT_NE(Less, nullptr);
    EXPECT_EQ(Less->Operator(), opLess);
    EXPECT_NE(dynamic_cast<TRpEvElementConstant*>(Queue->Items(2)), nullptr);
    EXPECT_NE(dynamic_cast<TRpEvElementConstant*>(Queue->Items(3)), nullptr);
    EXPECT_NE(dynamic_cast<TRpEvElementString*>(Queue->Items(4)), nullptr);
    EXPECT_NE(dynamic_cast<TRpEvElementConstant*>(Queue->Items(5)), nullptr);
    EXPECT_TRUE(Queue->Items(6)->IsArgumentEnd());
    EXPECT_FALSE(Eval.GetIsAggreg());

    // Preparing again replaces the queue; the same evaluator serves any number of values.
    Eval.Prepare("TRUE()");
    EXPECT_EQ(Eval.FiFo()->Count(), 2);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(SameValue(Eval.Value(), B(true)));
}

// Texts are UTF-8 and hold at most 255 characters; a cut never splits one.
TEST(Evaluator, TextsAreCutAt255Characters)
{
    const std::string E2 = "\xC3\xA9";   // é
    EXPECT_TRUE(SameValue(Calc("'" + Repeat("x", 300) + "'"), S(Repeat("x", 255))));
    EXPECT_TRUE(SameValue(Calc("'" + Repeat(E2, 300) + "'"), S(Repeat(E2, 255))));
    EXPECT_TRUE(SameValue(Calc("'" + Repeat("a", 254) + "' + '" + E2 + E2 + "'"), S(Repeat("a", 254) + E2)));
    EXPECT_TRUE(SameValue(Calc("'" + E2 + "' < 'z'"), B(false)));   // code-point order

    TRpEvResult Long = S(Repeat("\xF0\x9F\x98\x80", 400));   // 4-byte characters
    EXPECT_EQ(Utf8Length(Long.Text()), 255u);
    EXPECT_EQ(Long.Text().size(), 1020u);
    Long.AppendText("more");
    EXPECT_EQ(Long.Text().size(), 1020u);
}

// --------------------------------------------------------------- environments

namespace {

// A report's Functions environment with its three constants, prepared.
struct TReportConstants {
    TRpEvEnvironment Functions;
    TRpEvElement* PageNumber = nullptr;
    TRpEvElement* ColumnNumber = nullptr;
    TRpEvElement* ReportTitle = nullptr;

    TReportConstants()
    {
        Functions.AddFunction("PAGENUMBER", "0");
        Functions.AddFunction("COLUMNNUMBER", "0");
        Functions.AddFunction("REPORTTITLE", "''");
        RpGlobalEnvironment()->Prepare();
        Functions.Prepare();
        PageNumber = Functions.GetConstant("PAGENUMBER");
        ColumnNumber = Functions.GetConstant("COLUMNNUMBER");
        ReportTitle = Functions.GetConstant("REPORTTITLE");
    }
    ~TReportConstants()
    {
        Functions.Unprepare();
        RpGlobalEnvironment()->Unprepare();
    }
};

}  // namespace

TEST(Environment, ReportConstantsAreReadOnEveryEvaluation)
{
    TReportConstants Report;
    ASSERT_NE(dynamic_cast<TRpEvElementConstant*>(Report.PageNumber), nullptr);
    ASSERT_NE(dynamic_cast<TRpEvElementString*>(Report.ReportTitle), nullptr);

    TRpEvaluator Caption;
    Caption.SetEnvironment(&Report.Functions);
    Caption.Prepare("'Page '+PAGENUMBER");
    TRpEvaluator Title;
    Title.SetEnvironment(&Report.Functions);
    Title.Prepare("IF(PAGENUMBER > 1, 'Page ' + STR(PAGENUMBER), REPORTTITLE)");

    Report.Functions.SetStringConstant(Report.ReportTitle, "Leak test");
    EXPECT_TRUE(SameValue(Title.Value(), S("Leak test")));
    Report.Functions.SetIntegerConstant(Report.PageNumber, 4);
    EXPECT_TRUE(SameValue(Caption.Value(), S("Page 4")));
    EXPECT_TRUE(SameValue(Title.Value(), S("Page 4")));
    Report.Functions.SetIntegerConstant(Report.ColumnNumber, 2);
    EXPECT_TRUE(SameValue(Calc("columnnumber * 10", &Report.Functions), I(20)));

    // A constant of the wrong element is left alone.
    Report.Functions.SetStringConstant(Report.PageNumber, "x");
    Report.Functions.SetIntegerConstant(Report.ReportTitle, 9);
    EXPECT_TRUE(SameValue(Report.Functions.Value("PageNumber"), I(4)));
    EXPECT_TRUE(SameValue(Report.Functions.Value("reporttitle"), S("Leak test")));

    // Whole values: a constant element takes any kind, a string element only texts.
    Report.Functions.UpdateConstant("PAGENUMBER", F(2.5));
    UpdateConstant(Report.ReportTitle, S("Trend"));
    UpdateConstant(Report.ReportTitle, I(3));
    Report.Functions.SetBooleanConstant(Report.ColumnNumber, true);
    EXPECT_TRUE(SameValue(Report.Functions.Value("PAGENUMBER"), F(2.5)));
    EXPECT_TRUE(SameValue(Report.Functions.Value("REPORTTITLE"), S("Trend")));
    EXPECT_TRUE(SameValue(Report.Functions.Value("COLUMNNUMBER"), B(true)));
    Report.Functions.SetFloatConstant(Report.ColumnNumber, 0.25);
    EXPECT_TRUE(SameValue(Report.Functions.Value("COLUMNNUMBER"), F(0.25)));
    EXPECT_TRUE(SameValue(Report.Functions.Value("NOSUCH"), E("")));
}

// An operator takes constant and named operands in one step, and a function
// of one number computes in place: the values stay those of evaluating the
// operands first, whatever kind the named constants hold, and the operands
// themselves are never changed by the operator (the 2 of "X + 2" stays an
// integer after a string or a double met it).
TEST(Environment, OperandsTakenWithTheirOperatorKeepTheirValues)
{
    TRpEvEnvironment Env;
    Env.AddFunction("X", "0");
    Env.AddFunction("Y", "0");
    Env.AddFunction("Z", "X + 1");   // not a constant: evaluated each time
    RpGlobalEnvironment()->Prepare();
    Env.Prepare();
    TRpEvElement* const X = Env.GetConstant("X");
    TRpEvElement* const Y = Env.GetConstant("Y");
    struct TCase {
        const char* Expression;
        TRpEvResult ValueOfX, ValueOfY, Expected;
    };
    const TCase Cases[] = {
        {"X - Y", I(7), I(2), I(5)},
        {"X - Y", F(2.5), I(1), F(1.5)},
        {"X + 2", S("a"), I(0), S("a2")},
        {"X + 2", F(0.5), I(0), F(2.5)},
        {"X + 2", I(1), I(0), I(3)},
        {"2 + X", F(0.5), I(0), F(2.5)},
        {"2 + X", I(1), I(0), I(3)},
        {"X + 'b'", S("a"), I(0), S("ab")},
        {"X + 'b'", S("c"), I(0), S("cb")},
        {"X / Y", I(1), I(0), E(LoadResString(SRpExpDivideByZero))},
        {"X / Y", F(1), I(0), E(LoadResString(SRpExpDivideByZero))},
        {"X > Y", F(1.5), I(1), B(true)},
        {"1 - 2 - X", I(3), I(0), I(-4)},
        {"Z * 2", I(3), I(0), I(8)},
        {"(X + Y) * (Z - 4.5)", I(1), I(2), F(-7.5)},
        {"SQRT(X)", I(16), I(0), F(4)},
        {"SQRT(X)", F(-4), I(0), E("Invalid argument to SQRT function")},
        {"SQRT(X)", S("a"), I(0), E("Invalid argument to SQRT function")},
        {"SIN(X)", I(0), I(0), F(0)},
        {"SIN(X)", S("a"), I(0), E("")},
        {"COS(X * 0)", F(2), I(0), F(1)},
        {"X * X", F(1.5), I(0), F(2.25)},
        {"X * X", I(3), I(0), I(9)},
        {"X * X", S("a"), I(0), E("Cannot multiply string expressions")},
        {"X * Y", F(1.5), I(2), F(3)},
        {"X * Y", I(2), F(0.5), F(1)},
        {"X * Y", I(2), I(3), I(6)},
        {"X - X", F(2.5), I(0), F(0)},
        {"X / X", F(0), I(0), E(LoadResString(SRpExpDivideByZero))},
        {"X <= X", F(0.5), I(0), B(true)},
        {"X * 0.5", F(3), I(0), F(1.5)},
        {"Z * Z", I(2), I(0), I(9)},
        {"X * Z", F(0.5), I(0), F(0.75)},
    };
    // Rows of the same expression share one prepared evaluator.
    std::string Prepared;
    TRpEvaluator Eval;
    Eval.SetEnvironment(&Env);
    for (const TCase& C : Cases) {
        if (Prepared != C.Expression) {
            Eval.Prepare(C.Expression);
            Prepared = C.Expression;
        }
        Env.SetConstant(X, C.ValueOfX);
        Env.SetConstant(Y, C.ValueOfY);
        for (int Twice = 0; Twice < 2; ++Twice)
            EXPECT_TRUE(SameValue(Eval.Value(), C.Expected)) << C.Expression << " with X " << RpEvResultToString(C.ValueOfX);
    }
    Eval.UnPrepare();
    Env.Unprepare();
    RpGlobalEnvironment()->Unprepare();
}

TEST(Environment, EntriesListsAndLookups)
{
    TRpEvEnvironment Env;
    Env.AddFunction("Twice", "2*BASE");
    Env.AddFunction("BASE", "21");
    Env.AddFunction("base", "99");   // listed: keeps its expression
    Env.AddFunction("SELF", "SELF + 1");
    Env.AddFunction("PING", "PONG");
    Env.AddFunction("PONG", "1");
    ASSERT_EQ(Env.Count(), 5);
    EXPECT_EQ(Env.Strings(0), "TWICE");
    EXPECT_EQ(Env.Functions(1)->Expression(), "21");
    EXPECT_EQ(Env.IndexOf("pong"), 4);
    EXPECT_EQ(Env.GetConstant("BASE"), nullptr);   // not prepared yet

    Env.Prepare();
    CheckTable(
        {
            {"BASE", I(21)},
            {"[base] + 1", I(22)},
            {"SELF", E("Recursive calls not allowed")},
            {"PING", I(1)},
            {"TWICE", I(42)},
            {"NOSUCH", E("Unknown function : NOSUCH")},
        },
        &Env);

    EXPECT_NE(dynamic_cast<TRpEvElementConstant*>(Env.GetConstant("BASE")), nullptr);
    EXPECT_EQ(Env.GetConstant("NOSUCH"), nullptr);
    EXPECT_NE(dynamic_cast<TRpEvElementError*>(Env.Element("NOSUCH").get()), nullptr);
    EXPECT_NE(dynamic_cast<TRpEvElementWrapper*>(Env.Element("base").get()), nullptr);

    // An entry added to a prepared environment is prepared at once.
    Env.AddFunction("LATE", "BASE * 2");
    EXPECT_TRUE(SameValue(Calc("LATE", &Env), I(42)));

    // Counted preparation.
    Env.Prepare();
    Env.Unprepare();
    EXPECT_TRUE(Env.Prepared());
    Env.Unprepare();
    EXPECT_FALSE(Env.Prepared());
    EXPECT_EQ(Env.GetConstant("BASE"), nullptr);
    Env.Unprepare();   // once too often: nothing happens
    EXPECT_FALSE(Env.Prepared());

    Env.DeleteFunction("Ping");
    EXPECT_EQ(Env.IndexOf("PING"), -1);
    EXPECT_EQ(Env.Count(), 5);
    Env.Clear();
    EXPECT_EQ(Env.Count(), 0);
}

TEST(Environment, FormFileListsRoundTrip)
{
    TStringList Names, Data;
    Names.Add("PAGENUMBER");
    Names.Add("COLUMNNUMBER");
    Names.Add("REPORTTITLE");
    Data.Add("0");
    Data.Add("0");
    Data.Add("''");

    TRpEvEnvironment Env;
    Env.AddFunction("OLD", "1");
    Env.ReadProperties(Names, Data);
    ASSERT_EQ(Env.Count(), 3);
    EXPECT_EQ(Env.IndexOf("OLD"), -1);
    Env.Prepare();
    EXPECT_NE(dynamic_cast<TRpEvElementString*>(Env.GetConstant("REPORTTITLE")), nullptr);
    Env.Unprepare();

    TStringList Names2, Data2;
    Env.WriteProperties(Names2, Data2);
    EXPECT_EQ(Names2.Text(), Names.Text());
    EXPECT_EQ(Data2.Text(), Data.Text());

    // A name without its expression gets an empty one.
    Names.Add("EXTRA");
    Env.ReadProperties(Names, Data);
    EXPECT_EQ(Env.Functions(3)->Expression(), "");
}

TEST(Environment, GlobalEntriesAreTheLastResort)
{
    EXPECT_EQ(RpGlobalEnvironment()->IndexOf("AppStartTime"), 0);
    EXPECT_EQ(RpGlobalEnvironment()->IndexOf("APPSTARTDATE"), 1);
    const TRpEvResult Name = Calc("AppName");
    EXPECT_TRUE(SameValue(Name, S(Application->Title()))) << Describe(Name);
    const TRpEvResult Started = Calc("APPSTARTDATE");
    ASSERT_EQ(Started.Kind(), resString);
    EXPECT_FALSE(Started.Text().empty());

    // An entry of the evaluator's environment comes first.
    TRpEvEnvironment Env;
    Env.AddFunction("APPNAME", "'mine'");
    Env.Prepare();
    EXPECT_TRUE(SameValue(Calc("AppName", &Env), S("mine")));
    EXPECT_TRUE(SameValue(Calc("TYPEOF(AppStartTime)", &Env), S("STRING")));
    Env.Unprepare();
    EXPECT_TRUE(RpGlobalEnvironment()->Prepared());   // once prepared, for good
}

namespace {

// A function whose element, when freed, holds its thread there once: a stop
// in the middle of unpreparing the entry that uses it.
class TPauseWhenFreed : public TRpEvElementFunction {
public:
    ~TPauseWhenFreed() override
    {
        if (const std::function<void()> P = std::exchange(Pause, nullptr))
            P();
    }
    std::string FunctionName() const override { return "PAUSEWHENFREED"; }
    static inline std::function<void()> Pause;
};

}  // namespace

TEST(Environment, AnUnprepareOnOneThreadLeavesTheGlobalCountOfAnotherAlone)
{
    RegisterRpFunctionEx(RpFunctionClass<TPauseWhenFreed>);
    TRpEvEnvironment* Global = RpGlobalEnvironment();
    Global->Prepare();
    TRpEvEnvironment Env;
    Env.AddFunction("HOLD", "PAUSEWHENFREED()");
    Env.Prepare();
    // A worker unprepares Env and stops while its entries are unprepared...
    std::promise<void> Inside, Go;
    std::shared_future<void> Going = Go.get_future().share();
    TPauseWhenFreed::Pause = [&] {
        Inside.set_value();
        Going.wait();
    };
    std::thread Worker([&] { Env.Unprepare(); });
    Inside.get_future().wait();
    // ... while an expression here prepares and unprepares the global one.
    const int Before = Global->PrepareCount();
    TRpEvaluator E;
    E.Prepare("1");
    EXPECT_EQ(Global->PrepareCount(), Before + 1);
    E.UnPrepare();
    EXPECT_EQ(Global->PrepareCount(), Before);
    Go.set_value();
    Worker.join();
    EXPECT_FALSE(Env.Prepared());
    Global->Unprepare();
}

// An expression prepared on an entry keeps the entry it names: deleting the
// entry or destroying its environment leaves no dangling element behind
// (using it then raises instead of reading freed memory).
TEST(Environment, DeletedEntriesLeaveNoDanglingElements)
{
    auto Env = std::make_unique<TRpEvEnvironment>();
    Env->AddFunction("RATE", "5");
    Env->AddFunction("LOOP1", "LOOP2");
    Env->AddFunction("LOOP2", "LOOP1");
    Env->Prepare();
    TRpEvaluator Eval;
    Eval.SetEnvironment(Env.get());
    Eval.Prepare("RATE * 2");
    EXPECT_TRUE(SameValue(Eval.Value(), I(10)));

    Env->DeleteFunction("RATE");
    EXPECT_EQ(RaisedMessage([&] { Eval.Value(); }), "Evaluator not prepared");
    Env.reset();   // the two entries naming each other go too (the leak check sees it)
    Eval.Prepare("1");
    EXPECT_TRUE(SameValue(Eval.Value(), I(1)));
}

// ------------------------------------------------------------ data-set seam

namespace {

// Two data sets, ORDERS (AMOUNT, NAME) and ITEMS (AMOUNT), asked in that order.
class TFakeDatasets : public TRpEvDatasets {
public:
    std::vector<std::string> Asked;
    std::unique_ptr<TRpEvElement> FindField(const std::string& DatasetName, const std::string& FieldName) override
    {
        Asked.push_back(DatasetName + "|" + FieldName);
        if ((DatasetName.empty() || DatasetName == "ORDERS") && FieldName == "AMOUNT")
            return std::make_unique<TRpEvElementConstant>(I(120));
        if (DatasetName == "ITEMS" && FieldName == "AMOUNT")
            return std::make_unique<TRpEvElementConstant>(I(7));
        if ((DatasetName.empty() || DatasetName == "ORDERS") && FieldName == "NAME")
            return std::make_unique<TRpEvElementString>("Bench 4");
        return nullptr;
    }
};

}  // namespace

TEST(Evaluator, FieldsResolveBeforeEnvironments)
{
    TFakeDatasets Datasets;
    TRpEvEnvironment Env;
    Env.AddFunction("AMOUNT", "1");
    Env.AddFunction("TAX", "3");
    Env.Prepare();

    auto Eval = [&](const std::string& Expression) {
        TRpEvaluator E;
        E.SetDatasets(&Datasets);
        E.SetEnvironment(&Env);
        return E.Calculate(Expression);
    };
    EXPECT_TRUE(SameValue(Eval("AMOUNT + TAX"), I(123)));
    EXPECT_TRUE(SameValue(Eval("[amount]"), I(120)));
    EXPECT_TRUE(SameValue(Eval("items.amount"), I(7)));
    EXPECT_TRUE(SameValue(Eval("[Orders.Name]"), S("Bench 4")));
    EXPECT_TRUE(SameValue(Eval("[sum]"), E("Unknown function : SUM")));   // brackets: never a function
    // A comma inside brackets still splits the arguments.
    EXPECT_TRUE(SameValue(Eval("IF(TRUE, [a,b], 1)"), E("Wrong arguments for IF")));
    EXPECT_EQ(Datasets.Asked.front(), "|AMOUNT");
    EXPECT_TRUE(SameValue(Calc("AMOUNT", &Env), I(1)));   // no data sets: the environment
    Env.Unprepare();
}
