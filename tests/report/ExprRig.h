// Shared helpers of the expression tests: expected values and their check.
#pragma once

#include "report/RpExpr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace exprtest {

inline TRpEvResult I(int32_t V) { return TRpEvResult::Int(V); }
inline TRpEvResult F(double V) { return TRpEvResult::Double(V); }
inline TRpEvResult S(std::string_view V) { return TRpEvResult::String(V); }
inline TRpEvResult B(bool V) { return TRpEvResult::Bool(V); }
inline TRpEvResult E(std::string_view Message) { return TRpEvResult::Error(Message); }

inline std::string Describe(const TRpEvResult& V)
{
    switch (V.Kind()) {
    case resInt:
        return "int " + std::to_string(V.IntValue());
    case resDouble:
        return "float " + FloatToStr(V.DoubleValue());
    case resString:
        return "string '" + std::string(V.Text()) + "'";
    case resBool:
        return V.BoolValue() ? "bool true" : "bool false";
    case resError:
        return "error '" + std::string(V.Text()) + "'";
    }
    return "?";
}

// Same kind and value; doubles within a relative 1e-12.
inline ::testing::AssertionResult SameValue(const TRpEvResult& Actual, const TRpEvResult& Expected)
{
    bool Same = Actual.Kind() == Expected.Kind();
    if (Same) {
        switch (Actual.Kind()) {
        case resInt:
            Same = Actual.IntValue() == Expected.IntValue();
            break;
        case resDouble:
            Same = std::fabs(Actual.DoubleValue() - Expected.DoubleValue()) <=
                   1e-12 * std::max(1.0, std::fabs(Expected.DoubleValue()));
            break;
        case resBool:
            Same = Actual.BoolValue() == Expected.BoolValue();
            break;
        case resString:
        case resError:
            Same = Actual.Text() == Expected.Text();
            break;
        }
    }
    if (Same)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << Describe(Actual) << ", expected " << Describe(Expected);
}

// Prepare, Value, UnPrepare on a fresh evaluator.
inline TRpEvResult Calc(const std::string& Expression, TRpEvEnvironment* Environment = nullptr)
{
    TRpEvaluator Eval;
    Eval.SetEnvironment(Environment);
    return Eval.Calculate(Expression);
}

struct TCase {
    const char* Expression;
    TRpEvResult Expected;
};

// Every case of the table, each failure naming its expression.
inline void CheckTable(std::initializer_list<TCase> Cases, TRpEvEnvironment* Environment = nullptr)
{
    for (const TCase& C : Cases)
        EXPECT_TRUE(SameValue(Calc(C.Expression, Environment), C.Expected)) << C.Expression;
}

// The message an ERpError raised by Action carries; empty when none is.
template <class F>
std::string RaisedMessage(F Action)
{
    try {
        Action();
    } catch (const ERpError& Error) {
        return Error.what();
    }
    return {};
}

}  // namespace exprtest
