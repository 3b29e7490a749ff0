#include "report/RpExpr.h"

#include "platform/Application.h"
#include "platform/ScopeGuard.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>
#include <utility>

// ================================================================== values

TRpEvResult TRpEvResult::Int(int32_t Value)
{
    TRpEvResult R;
    R.SetInt(Value);
    return R;
}

TRpEvResult TRpEvResult::String(std::string_view Text)
{
    TRpEvResult R;
    R.SetString(Text);
    return R;
}

TRpEvResult TRpEvResult::Bool(bool Value)
{
    TRpEvResult R;
    R.SetBool(Value);
    return R;
}

TRpEvResult TRpEvResult::Error(std::string_view Message)
{
    TRpEvResult R;
    R.SetError(Message);
    return R;
}

void TRpEvResult::SetString(std::string_view Text)
{
    FKind = resString;
    SetText(Text);
}

void TRpEvResult::SetText(std::string_view Text)
{
    // 255 characters take at most 4 bytes each: the cut always fits.
    const size_t Bytes = Utf8PrefixBytes(Text, RpMaxTextChars);
    if (Bytes > 0 && Text.data() != FText)
        std::memmove(FText, Text.data(), Bytes);
    FLength = static_cast<uint16_t>(Bytes);
}

void TRpEvResult::ConvertToString()
{
    switch (FKind) {
    case resInt: {
        // Straight into the value: no allocation.
        char Buffer[16];
        const auto End = std::to_chars(Buffer, Buffer + sizeof Buffer, FInt).ptr;
        SetString(std::string_view(Buffer, static_cast<size_t>(End - Buffer)));
        break;
    }
    case resDouble:
        SetString(FloatToStr(FDouble));
        break;
    case resBool:
        SetString(LoadResString(FBool ? SRpTrue : SRpFalse));
        break;
    case resString:
    case resError:
        break;
    }
}

bool RpRoundToInt32(double Value, int32_t& Result)
{
    const double R = std::nearbyint(Value);
    if (!(R >= -2147483648.0 && R <= 2147483647.0))
        return false;
    Result = static_cast<int32_t>(R);
    return true;
}

void TRpEvResult::AppendText(std::string_view Text)
{
    const size_t Have = Utf8Length(this->Text());
    if (Have >= RpMaxTextChars)
        return;
    const size_t Bytes = Utf8PrefixBytes(Text, RpMaxTextChars - Have);
    if (Bytes > 0)
        std::memmove(FText + FLength, Text.data(), Bytes);
    FLength = static_cast<uint16_t>(FLength + Bytes);
}

namespace {

[[noreturn]] void RaiseNotValue(const TRpResString& What)
{
    throw ERpError(FormatResString(SRpNotValue, What));
}

bool ResultToBoolean(const TRpEvResult& Value)
{
    if (Value.Kind() == resBool)
        return Value.BoolValue();
    if (Value.Kind() == resString) {
        const std::string Text(Value.Text());
        if (SameText(Text, "TRUE"))
            return true;
        if (SameText(Text, "FALSE"))
            return false;
    }
    RaiseNotValue(SRpExpBoolean);
}

}  // namespace

std::string RpEvResultToString(const TRpEvResult& Value)
{
    switch (Value.Kind()) {
    case resInt:
        return IntToStr(Value.IntValue());
    case resDouble:
        return FloatToStr(Value.DoubleValue());
    case resString:
        return std::string(Value.Text());
    case resBool:
        return LoadResString(Value.BoolValue() ? SRpTrue : SRpFalse);
    case resError:
        break;
    }
    throw ERpError(FormatResString(SRpExpError, Value.Text()));
}

int32_t RpEvResultToInt(const TRpEvResult& Value)
{
    if (Value.Kind() == resInt)
        return Value.IntValue();
    int32_t Rounded = 0;
    if (Value.Kind() == resDouble && RpRoundToInt32(Value.DoubleValue(), Rounded))
        return Rounded;
    RaiseNotValue(SRpExpNumeric);
}

double RpEvResultToFloat(const TRpEvResult& Value)
{
    if (!Value.IsNumber())
        RaiseNotValue(SRpExpNumeric);
    return Value.Number();
}

// ================================================================ elements

namespace {

// Evaluates the next element of the queue into Result; a queue that ends
// early gives an error.
void EvalNext(TRpFiFo& FiFo, TRpEvResult& Result)
{
    TRpEvElement* Element = FiFo.Get();
    if (!Element || Element->IsArgumentEnd()) {
        Result.SetError({});
        return;
    }
    Element->Value(FiFo, Result);
}

// Brings two values of different kinds to one: an integer with a double
// becomes a double, any other pair becomes two texts.
void Align(TRpEvResult& Left, TRpEvResult& Right)
{
    if (Left.IsNumber() && Right.IsNumber()) {
        if (Left.Kind() == resInt)
            Left.SetDouble(Left.IntValue());
        if (Right.Kind() == resInt)
            Right.SetDouble(Right.IntValue());
        return;
    }
    Left.ConvertToString();
    Right.ConvertToString();
}

const char* OperatorSign(TRpEvOperator Operator)
{
    switch (Operator) {
    case opLess:
        return "<";
    case opLessOrEqual:
        return "<=";
    case opGreater:
        return ">";
    case opGreaterOrEqual:
        return ">=";
    case opEqual:
        return "=";
    case opUnequal:
        return "<>";
    case opPlus:
        return "+";
    case opMinus:
        return "-";
    case opOr:
        return "OR";
    case opMul:
        return "*";
    case opDiv:
        return "/";
    case opAnd:
        return "AND";
    }
    return "";
}

const TRpResString& Verb(TRpEvOperator Operator)
{
    switch (Operator) {
    case opPlus:
        return SRpExpAdd;
    case opMinus:
        return SRpExpSubtract;
    case opMul:
        return SRpExpMultiply;
    default:
        return SRpExpDivide;
    }
}

bool IsComparison(TRpEvOperator Operator)
{
    return Operator <= opUnequal;
}

// The outcome of a comparison from the sign of Left - Right.
bool Compared(TRpEvOperator Operator, int Sign)
{
    switch (Operator) {
    case opLess:
        return Sign < 0;
    case opLessOrEqual:
        return Sign <= 0;
    case opGreater:
        return Sign > 0;
    case opGreaterOrEqual:
        return Sign >= 0;
    case opEqual:
        return Sign == 0;
    default:
        return Sign != 0;
    }
}

template <class T>
int SignOf(T Left, T Right)
{
    return Left < Right ? -1 : (Right < Left ? 1 : 0);
}

void ApplyInt(TRpEvOperator Operator, TRpEvResult& Left, const TRpEvResult& Right)
{
    const int32_t A = Left.IntValue();
    const int32_t B = Right.IntValue();
    int32_t R = 0;
    bool Overflow = false;
    switch (Operator) {
    case opPlus:
        Overflow = __builtin_add_overflow(A, B, &R);
        break;
    case opMinus:
        Overflow = __builtin_sub_overflow(A, B, &R);
        break;
    case opMul:
        Overflow = __builtin_mul_overflow(A, B, &R);
        break;
    case opDiv:
        if (B == 0)
            Left.SetError(LoadResString(SRpExpDivideByZero));
        else
            Left.SetDouble(static_cast<double>(A) / B);
        return;
    case opOr:
        R = A | B;
        break;
    case opAnd:
        R = A & B;
        break;
    default:
        Left.SetBool(Compared(Operator, SignOf(A, B)));
        return;
    }
    if (Overflow)
        Left.SetError(LoadResString(SRpExpIntegerOverflow));
    else
        Left.SetInt(R);
}

void ApplyDouble(TRpEvOperator Operator, TRpEvResult& Left, const TRpEvResult& Right)
{
    const double A = Left.DoubleValue();
    const double B = Right.DoubleValue();
    switch (Operator) {
    case opPlus:
        Left.SetDouble(A + B);
        return;
    case opMinus:
        Left.SetDouble(A - B);
        return;
    case opMul:
        Left.SetDouble(A * B);
        return;
    case opDiv:
        if (B == 0)
            Left.SetError(LoadResString(SRpExpDivideByZero));
        else
            Left.SetDouble(A / B);
        return;
    case opOr:
    case opAnd:
        Left.SetError(FormatResString(SRpExpOperatorNotCompatible, OperatorSign(Operator), SRpExpNumeric));
        return;
    default:
        Left.SetBool(Compared(Operator, SignOf(A, B)));
        return;
    }
}

void ApplyString(TRpEvOperator Operator, TRpEvResult& Left, const TRpEvResult& Right)
{
    if (IsComparison(Operator)) {
        // Byte order of UTF-8 is the order of the characters' code points.
        const int C = Left.Text().compare(Right.Text());
        Left.SetBool(Compared(Operator, C < 0 ? -1 : (C > 0 ? 1 : 0)));
    } else if (Operator == opPlus) {
        Left.AppendText(Right.Text());
    } else if (Operator == opOr || Operator == opAnd) {
        Left.SetError(FormatResString(SRpExpOperatorNotCompatible, OperatorSign(Operator), SRpExpString));
    } else {
        Left.SetError(FormatResString(SRpExpCannotOperator, Verb(Operator), SRpExpString));
    }
}

void ApplyBool(TRpEvOperator Operator, TRpEvResult& Left, const TRpEvResult& Right)
{
    const bool A = Left.BoolValue();
    const bool B = Right.BoolValue();
    switch (Operator) {
    case opEqual:
        Left.SetBool(A == B);
        return;
    case opUnequal:
        Left.SetBool(A != B);
        return;
    case opOr:
        Left.SetBool(A || B);
        return;
    case opAnd:
        Left.SetBool(A && B);
        return;
    case opLess:
    case opLessOrEqual:
    case opGreater:
    case opGreaterOrEqual:
        Left.SetError(FormatResString(SRpExpOperatorNotCompatible, OperatorSign(Operator), SRpExpBoolean));
        return;
    default:
        Left.SetError(FormatResString(SRpExpCannotOperator, Verb(Operator), SRpExpBoolean));
        return;
    }
}

// Left op Right into Left, both evaluated: an error on the left wins, then
// one on the right.
void ApplyOperator(TRpEvOperator Operator, TRpEvResult& Left, TRpEvResult& Right)
{
    if (Left.IsError())
        return;
    if (Right.IsError()) {
        Left = Right;
        return;
    }
    if (Left.Kind() != Right.Kind())
        Align(Left, Right);
    switch (Left.Kind()) {
    case resInt:
        ApplyInt(Operator, Left, Right);
        break;
    case resDouble:
        ApplyDouble(Operator, Left, Right);
        break;
    case resString:
        ApplyString(Operator, Left, Right);
        break;
    case resBool:
        ApplyBool(Operator, Left, Right);
        break;
    case resError:
        break;
    }
}

void ApplyNot(TRpEvResult& Result)
{
    if (Result.Kind() == resBool)
        Result.SetBool(!Result.BoolValue());
    else if (!Result.IsError())
        Result.SetError(LoadResString(SRpInvalidNot));
}

}  // namespace

void TRpEvElement::Value(TRpFiFo&, TRpEvResult&) {}

void TRpEvElement::Reset() {}

void TRpEvElementOperator::Value(TRpFiFo& FiFo, TRpEvResult& Result)
{
    EvalNext(FiFo, Result);
    TRpEvResult Right;
    EvalNext(FiFo, Right);
    ApplyOperator(FOperator, Result, Right);
}

void TRpEvElementNot::Value(TRpFiFo& FiFo, TRpEvResult& Result)
{
    EvalNext(FiFo, Result);
    ApplyNot(Result);
}

void TRpEvElementConstant::Value(TRpFiFo&, TRpEvResult& Result)
{
    Result = FValue;
}

void TRpEvElementString::SetText(std::string_view Text)
{
    FText.assign(Text.substr(0, Utf8PrefixBytes(Text, RpMaxTextChars)));
}

void TRpEvElementString::Value(TRpFiFo&, TRpEvResult& Result)
{
    Result.SetString(FText);
}

void TRpEvElementError::Value(TRpFiFo&, TRpEvResult& Result)
{
    Result.SetError(FMessage);
}

// ---------------------------------------------------------------- functions

void TRpEvElementFunction::Value(TRpFiFo& FiFo, TRpEvResult& Result)
{
    GetArguments(FiFo);
    if (FiFo.Aggregate())
        Aggregate();
    Calculate(Result);
    FreeArguments();
}

void TRpEvElementFunction::GetArguments(TRpFiFo& FiFo)
{
    FArguments.clear();
    for (;;) {
        TRpEvElement* Element = FiFo.Get();
        if (!Element || Element->IsArgumentEnd())
            break;
        FArguments.emplace_back();
        // Nothing evaluated below reaches this element again (an
        // environment entry cannot call itself), so the slot stays put.
        Element->Value(FiFo, FArguments.back());
    }
    FArgumentValues = FArguments.data();
    FArgumentCount = static_cast<int>(FArguments.size());
}

void TRpEvElementFunction::Aggregate() {}

void TRpEvElementFunction::Calculate(TRpEvResult& Result)
{
    Result.SetError({});
}

std::string TRpEvElementFunction::FunctionName() const
{
    return {};
}

std::string TRpEvElementFunction::FunctionDescription() const
{
    return FunctionName();
}

std::string TRpEvElementFunction::FunctionVendor() const
{
    return LoadResString(SRpVendorName);
}

std::string TRpEvElementFunction::FunctionArguments() const
{
    return {};
}

// ------------------------------------------------------- global environment

namespace {

std::atomic<TRpEvEnvironment*> GlobalEnvironment = nullptr;
// Held while the global environment is prepared or unprepared and while one
// of its entries is evaluated. Recursive: preparing it prepares its entries,
// whose evaluators prepare it again, and an entry may read another.
std::recursive_mutex GlobalLock;
// Set while an environment unprepares its entries: their evaluators then
// leave the global environment prepared. Per thread: it stops the nested
// steps of the unprepare running on this thread, never another run's.
thread_local bool UnpreparingGlobalEnvironment = false;

// The global lock, held when Environment is the global environment.
std::unique_lock<std::recursive_mutex> LockIfGlobal(const TRpEvEnvironment* Environment)
{
    if (Environment != GlobalEnvironment)
        return {};
    return std::unique_lock<std::recursive_mutex>(GlobalLock);
}

}  // namespace

// ------------------------------------------------------- embedded functions

TRpEvEmbeddedFunction::TRpEvEmbeddedFunction(const std::string& Expression)
    : FEvaluator(std::make_unique<TRpEvaluator>()), FExpression(Expression)
{
}

TRpEvEmbeddedFunction::~TRpEvEmbeddedFunction() = default;

TRpEvElement* TRpEvEmbeddedFunction::Peek(int Index) const
{
    const TRpFiFo* FiFo = FEvaluator->FiFo();
    return FiFo ? FiFo->Items(Index) : nullptr;
}

void TRpEvEmbeddedFunction::Value(TRpFiFo&, TRpEvResult& Result)
{
    Evaluate(Result);
}

void TRpEvEmbeddedFunction::Evaluate(TRpEvResult& Result)
{
    // A constant (PAGENUMBER and the like) evaluates nothing else: neither
    // the lock nor the guard against recursion has anything to do.
    if (!FShared)
        if (const TRpEvResult* Constant = FEvaluator->SingleConstant()) {
            Result = *Constant;
            return;
        }
    std::unique_lock<std::recursive_mutex> Guard;
    if (FShared)
        Guard = std::unique_lock<std::recursive_mutex>(GlobalLock);
    if (FInEvaluation) {
        Result.SetError(LoadResString(SRpExpRecursive));
        return;
    }
    TValueRollback<bool> Busy(FInEvaluation, true);
    FEvaluator->GetValue(Result);
}

void TRpEvEmbeddedFunction::Reset()
{
    FEvaluator->Reset();
}

void TRpEvElementWrapper::Value(TRpFiFo&, TRpEvResult& Result)
{
    FWrapped->Evaluate(Result);
}

// ===================================================================== queue

int TRpFiFo::Put(std::unique_ptr<TRpEvElement> Element)
{
    FItems.push_back(std::move(Element));
    return static_cast<int>(FItems.size()) - 1;
}

std::unique_ptr<TRpEvElement> TRpFiFo::GetAndFree()
{
    if (FItems.empty())
        return nullptr;
    std::unique_ptr<TRpEvElement> First = std::move(FItems.front());
    FItems.erase(FItems.begin());
    if (FPosition > 0)
        --FPosition;
    return First;
}

TRpEvElement* TRpFiFo::Items(int Index) const
{
    if (Index < 0 || static_cast<size_t>(Index) >= FItems.size())
        return nullptr;
    return FItems[static_cast<size_t>(Index)].get();
}

// Parsing helpers.
namespace {

bool IsDigit(char C)
{
    return C >= '0' && C <= '9';
}

bool IsLetter(char C)
{
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z');
}

// Text equals Word (lower case) in any letter case.
bool IsWord(std::string_view Text, std::string_view Word)
{
    if (Text.size() != Word.size())
        return false;
    for (size_t i = 0; i < Text.size(); ++i) {
        char C = Text[i];
        if (C >= 'A' && C <= 'Z')
            C = static_cast<char>(C - 'A' + 'a');
        if (C != Word[i])
            return false;
    }
    return true;
}

// Where a "+" or "-" at position i of Text is a sign of its own rather than
// a binary operator: at the start, after another operator, or after one of
// the words "or", "and" and "not".
bool IsUnarySign(std::string_view Text, size_t i)
{
    size_t End = i;
    while (End > 0 && Text[End - 1] == ' ')
        --End;
    if (End == 0)
        return true;
    const char Before = Text[End - 1];
    if (Before != '\0' && std::strchr("+-*/<>=", Before) != nullptr)
        return true;
    for (std::string_view Word : {std::string_view("or"), std::string_view("and"), std::string_view("not")}) {
        if (End < Word.size())
            continue;
        const size_t Start = End - Word.size();
        if (IsWord(Text.substr(Start, Word.size()), Word) && (Start == 0 || Text[Start - 1] == ' '))
            return true;
    }
    return false;
}

// The right part of a "-" or "/" is read left to right by swapping the signs
// of its level at parenthesis depth 0 outside strings: a-b+c is a-(b-c),
// a/b*c is a/(b/c). A "+" or "-" that is a sign of its own stays: 8--2 is
// 8-(-2).
std::string SwapSigns(std::string_view Text, TRpEvOperator Operator)
{
    std::string Swapped(Text);
    bool InString = false;
    int Depth = 0;
    for (size_t i = 0; i < Swapped.size(); ++i) {
        const char C = Swapped[i];
        if (C == '\'') {
            InString = !InString;
            continue;
        }
        if (InString)
            continue;
        if (C == '(') {
            ++Depth;
        } else if (C == ')') {
            --Depth;
        } else if (Depth == 0) {
            if (Operator == opMinus && (C == '+' || C == '-') && !IsUnarySign(Swapped, i))
                Swapped[i] = C == '+' ? '-' : '+';
            else if (Operator == opDiv && (C == '*' || C == '/'))
                Swapped[i] = C == '*' ? '/' : '*';
        }
    }
    return Swapped;
}

// Where a parenthesis opens a level deeper than any expression may nest,
// found before parsing so that such a text costs one pass; npos when none
// does.
size_t TooDeepParenthesis(std::string_view Text)
{
    bool InString = false;
    bool InBracket = false;
    int Depth = 0;
    for (size_t i = 0; i < Text.size(); ++i) {
        const char C = Text[i];
        if (C == '\'' && !InBracket)
            InString = !InString;
        else if (InString)
            continue;
        else if (C == '[')
            InBracket = true;
        else if (C == ']')
            InBracket = false;
        else if (InBracket)
            continue;
        else if (C == '(' && ++Depth > RpMaxNesting)
            return i;
        else if (C == ')')
            --Depth;
    }
    return std::string_view::npos;
}

struct TOperatorHit {
    size_t Position = std::string_view::npos;   // where the left part ends
    size_t RightStart = 0;                     // where the right part starts
    TRpEvOperator Operator = opPlus;
};

}  // namespace

// ================================================================= evaluator

TRpEvaluator::~TRpEvaluator()
{
    if (FPrepared)
        UnPrepare();
}

void TRpEvaluator::CheckPrepared() const
{
    if (!FPrepared)
        throw ERpError(LoadResString(SRpEvalNotPrepared));
}

void TRpEvaluator::Prepare(const std::string& Expression)
{
    if (FPrepared)
        UnPrepare();
    RpGlobalEnvironment()->Prepare();
    FFiFo = std::make_unique<TRpFiFo>();
    FNesting = 0;
    FTooDeep = false;
    const std::string_view Text = Expression.empty() ? std::string_view("' '") : std::string_view(Expression);
    if (const size_t Deep = TooDeepParenthesis(Text); Deep != std::string_view::npos) {
        FTooDeep = true;
        FTooDeepText.assign(Text.substr(Deep, Utf8PrefixBytes(Text.substr(Deep), RpMaxTextChars)));
    } else {
        Evaluate(Text);
    }
    if (FTooDeep) {
        // Refused whole: a part of it would give an answer it does not have.
        FFiFo = std::make_unique<TRpFiFo>();
        FFiFo->Put(std::make_unique<TRpEvElementError>(FormatResString(SRpExpError, FTooDeepText)));
        FTooDeepText.clear();
        FTooDeep = false;
    }
    Compile();
    FPrepared = true;
}

void TRpEvaluator::UnPrepare()
{
    FProgram.clear();
    FStack.clear();
    FSingleConstant = nullptr;
    FFiFo.reset();
    FPrepared = false;
    RpGlobalEnvironment()->Unprepare();
}

TRpEvResult TRpEvaluator::Value()
{
    TRpEvResult Result;
    GetValue(Result);
    return Result;
}

void TRpEvaluator::GetValue(TRpEvResult& Result)
{
    CheckPrepared();
    if (!FProgram.empty()) {
        Run(Result);
        return;
    }
    Result.SetError({});
    FFiFo->Start();
    if (TRpEvElement* First = FFiFo->Get())
        First->Value(*FFiFo, Result);
}

void TRpEvaluator::Reset()
{
    CheckPrepared();
    for (int i = 0; i < FFiFo->Count(); ++i)
        FFiFo->Items(i)->Reset();
}

void TRpEvaluator::DoAggregate()
{
    CheckPrepared();
    FFiFo->SetAggregate(true);
    TScopeExit Done([this] {
        if (FFiFo)
            FFiFo->SetAggregate(false);
    });
    TRpEvResult Dropped;
    GetValue(Dropped);
}

TRpEvResult TRpEvaluator::Calculate(const std::string& Expression)
{
    Prepare(Expression);
    TScopeExit Done([this] { UnPrepare(); });
    return Value();
}

std::string TRpEvaluator::AsString()
{
    return RpEvResultToString(Value());
}

int32_t TRpEvaluator::AsInteger()
{
    return RpEvResultToInt(Value());
}

double TRpEvaluator::AsFloat()
{
    return RpEvResultToFloat(Value());
}

bool TRpEvaluator::AsBoolean()
{
    return ResultToBoolean(Value());
}

// ------------------------------------------------------------ compiled form

void TRpEvaluator::Compile()
{
    FProgram.clear();
    FStack.clear();
    FSingleConstant = nullptr;
    int Position = 0;
    int MaxDepth = 0;
    if (FFiFo->Count() == 0 || !CompileTree(Position, 0, MaxDepth)) {
        FProgram.clear();
        return;
    }
    // One more slot than the deepest stack: a function's result goes there
    // before it takes its arguments' place.
    FStack.resize(static_cast<size_t>(MaxDepth) + 1);
    if (FProgram.size() == 1 && FProgram[0].Kind == TRpEvElementKind::Constant)
        FSingleConstant = &static_cast<const TRpEvElementConstant*>(FProgram[0].Element)->Constant();
    FuseOperands();
}

// A constant or a named expression right before an operator is that
// operator's right operand (postfix order), and one right before that its
// left operand: they become one step, which evaluates the operands where
// their own steps did, left then right, before it applies the operator.
void TRpEvaluator::FuseOperands()
{
    auto KindOf = [this](size_t At) {
        if (At >= FProgram.size())
            return TOperand::None;
        switch (FProgram[At].Kind) {
        case TRpEvElementKind::Constant: return TOperand::Constant;
        case TRpEvElementKind::Wrapper: return TOperand::Wrapper;
        default: return TOperand::None;
        }
    };
    auto IsOperator = [this](size_t At) {
        return At < FProgram.size() && FProgram[At].Kind == TRpEvElementKind::Operator;
    };
    std::vector<TStep> Fused;
    Fused.reserve(FProgram.size());
    for (size_t I = 0; I < FProgram.size(); ++I) {
        if (KindOf(I) != TOperand::None && KindOf(I + 1) != TOperand::None && IsOperator(I + 2)) {
            TStep Op = FProgram[I + 2];
            Op.LeftKind = KindOf(I);
            Op.Left = FProgram[I].Element;
            Op.OperandKind = KindOf(I + 1);
            Op.Operand = FProgram[I + 1].Element;
            Fused.push_back(Op);
            I += 2;
        } else if (KindOf(I) != TOperand::None && IsOperator(I + 1)) {
            TStep Op = FProgram[I + 1];
            Op.OperandKind = KindOf(I);
            Op.Operand = FProgram[I].Element;
            Fused.push_back(Op);
            I += 1;
        } else {
            Fused.push_back(FProgram[I]);
        }
    }
    FProgram = std::move(Fused);
}

// Appends the steps of the expression starting at Position, which then
// stands after it. Depth values lie on the stack before it; MaxDepth is the
// most there ever are. False for a queue the steps cannot stand for.
bool TRpEvaluator::CompileTree(int& Position, int Depth, int& MaxDepth)
{
    TRpEvElement* Element = FFiFo->Items(Position++);
    if (!Element)
        return false;
    const TRpEvElementKind Kind = Element->ElementKind();
    TStep Step{Kind, opPlus, 0, Element};
    // An operand must be an expression: the end of the queue or of the
    // arguments there is left to the queue walk.
    auto Operand = [&](int At) {
        TRpEvElement* Next = FFiFo->Items(Position);
        return Next && !Next->IsArgumentEnd() && CompileTree(Position, At, MaxDepth);
    };
    switch (Kind) {
    case TRpEvElementKind::Leaf:
    case TRpEvElementKind::Constant:
    case TRpEvElementKind::String:
    case TRpEvElementKind::Error:
    case TRpEvElementKind::Wrapper:
        break;
    case TRpEvElementKind::Operator:
        if (!Operand(Depth) || !Operand(Depth + 1))
            return false;
        Step.Operator = static_cast<TRpEvElementOperator*>(Element)->Operator();
        break;
    case TRpEvElementKind::Not:
        if (!Operand(Depth))
            return false;
        break;
    case TRpEvElementKind::Function: {
        int Count = 0;
        for (;;) {
            TRpEvElement* Next = FFiFo->Items(Position);
            if (!Next)
                break;
            if (Next->IsArgumentEnd()) {
                ++Position;
                break;
            }
            if (!CompileTree(Position, Depth + Count, MaxDepth) || Count == 0xFFFF)
                return false;
            ++Count;
        }
        Step.Count = static_cast<uint16_t>(Count);
        if (Count == 1)
            Step.Map = static_cast<TRpEvElementFunction*>(Element)->NumberMap();
        MaxDepth = std::max(MaxDepth, Depth + Count + 1);
        break;
    }
    default:
        return false;
    }
    FProgram.push_back(Step);
    MaxDepth = std::max(MaxDepth, Depth + 1);
    return true;
}

namespace {

// The value of a named expression onto the stack: Evaluate's way with a
// constant, in line.
inline void PushNamed(TRpEvElementWrapper* Wrapper, TRpEvResult*& Top)
{
    TRpEvEmbeddedFunction* const Entry = Wrapper->Wrapped();
    const TRpEvResult* const Constant = Entry->Shared() ? nullptr : Entry->Evaluator().SingleConstant();
    if (Constant)
        *Top++ = *Constant;
    else
        Entry->Evaluate(*Top++);
}

// The value of an operand of a fused step when it can be read where it
// lies, without evaluating anything; else null.
inline const TRpEvResult* InPlace(bool IsConstant, TRpEvElement* Element)
{
    if (IsConstant)
        return &static_cast<const TRpEvElementConstant*>(Element)->Constant();
    TRpEvEmbeddedFunction* const Entry = static_cast<TRpEvElementWrapper*>(Element)->Wrapped();
    return Entry->Shared() ? nullptr : Entry->Evaluator().SingleConstant();
}

// A double with a double or an integer: computed as Align and ApplyDouble
// would.
inline bool NumbersWithADouble(const TRpEvResult& Left, const TRpEvResult& Right)
{
    const TRpEvResultType LeftKind = Left.Kind();
    const TRpEvResultType RightKind = Right.Kind();
    return (LeftKind == resDouble && (RightKind == resDouble || RightKind == resInt)) ||
           (LeftKind == resInt && RightKind == resDouble);
}

// Such numbers through Operator into Result; false for what goes the common
// way (a division by zero, OR and AND).
inline bool ApplyToNumbers(TRpEvOperator Operator, double L, double R, TRpEvResult& Result)
{
    switch (Operator) {
    case opPlus:
        Result.SetDouble(L + R);
        return true;
    case opMinus:
        Result.SetDouble(L - R);
        return true;
    case opMul:
        Result.SetDouble(L * R);
        return true;
    case opDiv:
        if (R == 0)
            return false;
        Result.SetDouble(L / R);
        return true;
    case opOr:
    case opAnd:
        return false;
    default:
        Result.SetBool(Compared(Operator, SignOf(L, R)));
        return true;
    }
}

}  // namespace

void TRpEvaluator::Run(TRpEvResult& Result)
{
    TRpEvResult* const Stack = FStack.data();
    TRpEvResult* Top = Stack;   // the first free slot
    const bool Aggregating = FFiFo->Aggregate();
    for (const TStep& Step : FProgram) {
        switch (Step.Kind) {
        case TRpEvElementKind::Constant:
            *Top++ = static_cast<const TRpEvElementConstant*>(Step.Element)->Constant();
            break;
        case TRpEvElementKind::Operator: {
            // Two operands of this step read in place (a constant, or a named
            // expression that is one), a double among two numbers: computed
            // straight into the free slot. A value taken twice (A * A) is
            // read once.
            if (Step.LeftKind != TOperand::None) {
                const TRpEvResult* const L = InPlace(Step.LeftKind == TOperand::Constant, Step.Left);
                const TRpEvResult* const R = Step.Operand == Step.Left ? L : InPlace(Step.OperandKind == TOperand::Constant, Step.Operand);
                if (L && R && NumbersWithADouble(*L, *R) && ApplyToNumbers(Step.Operator, L->Number(), R->Number(), *Top)) {
                    ++Top;
                    continue;
                }
            }
            if (Step.LeftKind == TOperand::Constant)
                *Top++ = static_cast<const TRpEvElementConstant*>(Step.Left)->Constant();
            else if (Step.LeftKind == TOperand::Wrapper)
                PushNamed(static_cast<TRpEvElementWrapper*>(Step.Left), Top);
            // The right operand: on the stack, or this step's own, read in
            // place when it is a constant (then copied to the free slot
            // only for the common way, which may change it).
            const TRpEvResult* RightAt;
            switch (Step.OperandKind) {
            case TOperand::None:
                RightAt = --Top;
                break;
            case TOperand::Constant:
                RightAt = &static_cast<const TRpEvElementConstant*>(Step.Operand)->Constant();
                break;
            default: {
                TRpEvEmbeddedFunction* const Entry = static_cast<TRpEvElementWrapper*>(Step.Operand)->Wrapped();
                RightAt = Entry->Shared() ? nullptr : Entry->Evaluator().SingleConstant();
                if (!RightAt) {
                    Entry->Evaluate(*Top);
                    RightAt = Top;
                }
                break;
            }
            }
            TRpEvResult& Left = Top[-1];
            const TRpEvResult& Right = *RightAt;
            // A double with a double or an integer: what Align and
            // ApplyDouble do, in line; the rest (a division by zero too)
            // goes the common way.
            if (NumbersWithADouble(Left, Right) && ApplyToNumbers(Step.Operator, Left.Number(), Right.Number(), Left))
                continue;
            if (RightAt != Top)
                *Top = Right;
            ApplyOperator(Step.Operator, Left, *Top);
            break;
        }
        case TRpEvElementKind::Wrapper:
            PushNamed(static_cast<TRpEvElementWrapper*>(Step.Element), Top);
            break;
        case TRpEvElementKind::Function: {
            // One number through the function's mapping, in place.
            if (Step.Map && !Aggregating && Top[-1].IsNumber()) {
                double Y;
                if (Step.Map(Top[-1].Number(), Y)) {
                    Top[-1].SetDouble(Y);
                    break;
                }
            }
            TRpEvResult* const Arguments = Top - Step.Count;
            Top->SetError({});   // as a fresh argument slot or result
            static_cast<TRpEvElementFunction*>(Step.Element)->CalculateOn(Arguments, Step.Count, Aggregating, *Top);
            if (Step.Count > 0)
                *Arguments = *Top;
            Top = Arguments + 1;
            break;
        }
        case TRpEvElementKind::Not:
            ApplyNot(Top[-1]);
            break;
        default:
            // Strings, errors and leaves evaluate as they do in the queue.
            Step.Element->Value(*FFiFo, *Top++);
            break;
        }
    }
    Result = *Stack;
}

bool TRpEvaluator::GetIsAggreg() const
{
    CheckPrepared();
    for (int i = 0; i < FFiFo->Count(); ++i)
        if (FFiFo->Items(i)->IsAggregate())
            return true;
    return false;
}

bool TRpEvaluator::GetAggregate() const
{
    CheckPrepared();
    return FFiFo->Aggregate();
}

void TRpEvaluator::SetAggregate(bool Value)
{
    CheckPrepared();
    FFiFo->SetAggregate(Value);
}

// ------------------------------------------------------------------ parsing

template <class F>
void TRpEvaluator::Deeper(std::string_view Text, F Parse)
{
    if (FTooDeep)
        return;
    if (FNesting >= RpMaxNesting) {
        FTooDeep = true;
        FTooDeepText.assign(Text.substr(0, Utf8PrefixBytes(Text, RpMaxTextChars)));
        return;
    }
    TValueRollback<int> Level(FNesting, FNesting + 1);
    Parse();
}

void TRpEvaluator::Append(std::unique_ptr<TRpEvElement> Element)
{
    FFiFo->Put(std::move(Element));
}

void TRpEvaluator::AppendError(std::string_view Message)
{
    Append(std::make_unique<TRpEvElementError>(Message));
}

void TRpEvaluator::Evaluate(std::string_view Text)
{
    SplitLevel(TLevel::Comparison, Text);
}

void TRpEvaluator::EvalSimpleExpr(std::string_view Text)
{
    SplitLevel(TLevel::Simple, Text);
}

void TRpEvaluator::EvalTerm(std::string_view Text)
{
    SplitLevel(TLevel::Term, Text);
}

// Scans Text for the first operator of the level at depth 0, outside strings
// and bracketed names, after its first non-blank character and before its
// last one, and splits there: the left part goes one level down, the right part stays on
// this level, so operators of one level nest to the right.
void TRpEvaluator::SplitLevel(TLevel Level, std::string_view Text)
{
    if (FTooDeep)
        return;
    TOperatorHit Hit;
    bool InString = false;
    bool InBracket = false;
    int Depth = 0;
    // A sign at the start, after blanks too, is a sign of its own: in
    // DIV(5, -1) the argument " -1" is minus one, not " " minus 1.
    size_t First = 0;
    while (First < Text.size() && Text[First] == ' ')
        ++First;
    for (size_t i = 0; i < Text.size() && Hit.Position == std::string_view::npos; ++i) {
        const char C = Text[i];
        if (C == '\'' && !InBracket) {
            InString = !InString;
            continue;
        }
        if (InString)
            continue;
        if (C == '[') {
            InBracket = true;
            continue;
        }
        if (C == ']') {
            InBracket = false;
            continue;
        }
        if (InBracket)
            continue;
        if (C == '(') {
            ++Depth;
            continue;
        }
        if (C == ')') {
            --Depth;
            continue;
        }
        if (Depth != 0 || i <= First || i + 1 >= Text.size())
            continue;
        const char Next = Text[i + 1];
        auto Found = [&](TRpEvOperator Operator, size_t Length) {
            Hit.Position = i;
            Hit.RightStart = i + Length;
            Hit.Operator = Operator;
        };
        switch (Level) {
        case TLevel::Comparison:
            if (C == '<' && Next == '>')
                Found(opUnequal, 2);
            else if (C == '<' && Next == '=')
                Found(opLessOrEqual, 2);
            else if (C == '<')
                Found(opLess, 1);
            else if (C == '=')
                Found(opEqual, 1);
            else if (C == '>' && Next == '=')
                Found(opGreaterOrEqual, 2);
            else if (C == '>')
                Found(opGreater, 1);
            break;
        case TLevel::Simple:
            if (C == '+')
                Found(opPlus, 1);
            else if (C == '-')
                Found(opMinus, 1);
            else if (C == ' ' && i + 3 < Text.size() && IsWord(Text.substr(i + 1, 2), "or") && Text[i + 3] == ' ')
                Found(opOr, 3);
            break;
        case TLevel::Term:
            if (C == '*')
                Found(opMul, 1);
            else if (C == '/')
                Found(opDiv, 1);
            else if (C == ' ' && i + 4 < Text.size() && IsWord(Text.substr(i + 1, 3), "and") && Text[i + 4] == ' ')
                Found(opAnd, 4);
            break;
        }
    }

    if (Hit.Position == std::string_view::npos) {
        switch (Level) {
        case TLevel::Comparison:
            EvalSimpleExpr(Text);
            break;
        case TLevel::Simple:
            EvalTerm(Text);
            break;
        case TLevel::Term:
            EvalFactor(Text);
            break;
        }
        return;
    }

    Append(std::make_unique<TRpEvElementOperator>(Hit.Operator));
    // A word operator's blank belongs to the left part.
    const bool Word = Hit.Operator == opOr || Hit.Operator == opAnd;
    const std::string_view Left = Text.substr(0, Hit.Position + (Word ? 1 : 0));
    const std::string_view Right = Text.substr(Hit.RightStart);
    Deeper(Text, [&] {
        switch (Level) {
        case TLevel::Comparison:
            EvalSimpleExpr(Left);
            EvalSimpleExpr(Right);
            break;
        case TLevel::Simple:
            EvalTerm(Left);
            if (Hit.Operator == opMinus)
                EvalSimpleExpr(SwapSigns(Right, opMinus));
            else
                EvalSimpleExpr(Right);
            break;
        case TLevel::Term:
            EvalFactor(Left);
            if (Hit.Operator == opDiv)
                EvalTerm(SwapSigns(Right, opDiv));
            else
                EvalTerm(Right);
            break;
        }
    });
}

std::string_view TRpEvaluator::TrimString(std::string_view Text)
{
    size_t Start = 0;
    size_t End = Text.size();
    while (Start < End && Text[Start] == ' ')
        ++Start;
    while (End > Start && Text[End - 1] == ' ')
        --End;
    if (Start == End && !Text.empty())
        return Text.substr(0, 1);   // a text of blanks keeps one
    return Text.substr(Start, End - Start);
}

void TRpEvaluator::EvalFactor(std::string_view Text)
{
    if (FTooDeep)
        return;
    const std::string_view Factor = TrimString(Text);
    // "not" as a word, so NOTE stays a name.
    if (Factor.size() >= 3 && IsWord(Factor.substr(0, 3), "not") &&
        (Factor.size() == 3 || !(IsLetter(Factor[3]) || IsDigit(Factor[3]) || Factor[3] == '_'))) {
        Append(std::make_unique<TRpEvElementNot>());
        Deeper(Factor, [&] { EvalSimpleExpr(Factor.substr(3)); });
        return;
    }
    if (Factor.empty()) {
        AppendError(FormatResString(SRpExpError, ""));
        return;
    }
    const char First = Factor[0];
    if (First == '\'') {
        EvalString(Factor);
    } else if (First == '(') {
        if (Factor.size() >= 2 && Factor.back() == ')')
            Deeper(Factor, [&] { Evaluate(Factor.substr(1, Factor.size() - 2)); });
        else
            AppendError(FormatResString(SRpExpMissing, ")"));
    } else if (First == '[') {
        if (Factor.size() >= 2 && Factor.back() == ']')
            EvalVariable(AnsiUpperCase(std::string(Factor.substr(1, Factor.size() - 2))));
        else
            AppendError(FormatResString(SRpExpMissing, "]"));
    } else if (First == '+') {
        Deeper(Factor, [&] { EvalFactor(Factor.substr(1)); });
    } else if (First == '-') {
        const std::string Negated = "0-" + std::string(Factor.substr(1));
        Deeper(Factor, [&] { EvalSimpleExpr(Negated); });
    } else if (IsDigit(First)) {
        EvalConstant(Factor);
    } else if (IsLetter(First)) {
        EvalFunctionExpr(Factor);
    } else {
        AppendError(FormatResString(SRpExpError, Factor));
    }
}

void TRpEvaluator::EvalString(std::string_view Text)
{
    if (Text.size() >= 2 && Text.back() == '\'')
        Append(std::make_unique<TRpEvElementString>(Text.substr(1, Text.size() - 2)));
    else
        AppendError(FormatResString(SRpExpMissing, "'"));
}

void TRpEvaluator::EvalConstant(std::string_view Text)
{
    size_t i = 0;
    while (i < Text.size() && IsDigit(Text[i]))
        ++i;
    const bool IsFloat = i < Text.size();
    for (; i < Text.size(); ++i) {
        if (Text[i] == '\0' || std::strchr("+-.0123456789Ee", Text[i]) == nullptr) {
            AppendError(FormatResString(SRpExpIllegalCharInNumeric, Text));
            return;
        }
    }
    const std::string Number(Text);
    int IntValue = 0;
    if (!IsFloat && TryStrToInt(Number, IntValue)) {
        Append(std::make_unique<TRpEvElementConstant>(TRpEvResult::Int(IntValue)));
        return;
    }
    // Digits only but beyond 32 bits: a double.
    double FloatValue = 0;
    if (TryStrToFloat(Number, FloatValue))
        Append(std::make_unique<TRpEvElementConstant>(TRpEvResult::Double(FloatValue)));
    else
        AppendError(FormatResString(SRpExpIllegalCharInNumeric, Text));
}

void TRpEvaluator::EvalFunctionExpr(std::string_view Text)
{
    const size_t Open = Text.find('(');
    std::string_view Name = Text;
    std::string_view Arguments;
    if (Open != std::string_view::npos) {
        if (Text.back() == ')') {
            Name = Text.substr(0, Open);
            Arguments = Text.substr(Open + 1, Text.size() - Open - 2);
        } else {
            Name = {};   // unbalanced: a name nothing lists
        }
    }
    EvalFunction(AnsiUpperCase(std::string(Name)), Arguments);
}

void TRpEvaluator::EvalFunction(const std::string& Name, std::string_view Arguments)
{
    const TRpFunctionLibrary* Library = RpFunctionLibrary();
    if (Library->IndexOf(Name) < 0) {
        if (Arguments.empty())
            EvalVariable(Name);
        else
            AppendError(FormatResString(SRpExpUnknownFunction, Name));
        return;
    }
    Append(Library->GetFunction(Name));
    if (!Arguments.empty()) {
        Deeper(Arguments, [&] {
            size_t Start = 0;
            for (;;) {
                const size_t Delimiter = FindDelimiter(Arguments, ArgSeparator, Start);
                if (Delimiter == std::string_view::npos) {
                    Evaluate(Arguments.substr(Start));
                    break;
                }
                Evaluate(Arguments.substr(Start, Delimiter - Start));
                Start = Delimiter + 1;
            }
        });
    }
    Append(std::make_unique<TRpEvElementArgumentEnd>());
}

size_t TRpEvaluator::FindDelimiter(std::string_view Text, char Delimiter, size_t From)
{
    bool InString = false;
    int Depth = 0;
    for (size_t i = From; i + 1 < Text.size(); ++i) {
        const char C = Text[i];
        if (C == '\'')
            InString = !InString;
        else if (InString)
            continue;
        else if (C == '(')
            ++Depth;
        else if (C == ')')
            --Depth;
        else if (C == Delimiter && Depth == 0)
            return i;
    }
    return std::string_view::npos;
}

void TRpEvaluator::EvalVariable(const std::string& Name)
{
    if (FDatasets) {
        const size_t Dot = Name.find('.');
        std::unique_ptr<TRpEvElement> Field =
            Dot == std::string::npos
                ? FDatasets->FindField({}, AnsiUpperCase(Name))
                : FDatasets->FindField(AnsiUpperCase(Name.substr(0, Dot)), AnsiUpperCase(Name.substr(Dot + 1)));
        if (Field) {
            Append(std::move(Field));
            return;
        }
    }
    EvalEnvironment(Name);
}

void TRpEvaluator::EvalEnvironment(const std::string& Name)
{
    std::unique_ptr<TRpEvElement> Element;
    if (FEnvironment) {
        Element = FEnvironment->Element(Name);
        if (dynamic_cast<TRpEvElementError*>(Element.get()))
            Element.reset();
    }
    if (!Element)
        Element = RpGlobalEnvironment()->Element(Name);
    Append(std::move(Element));
}

// ============================================================= environments

TRpEvEnvironment::~TRpEvEnvironment()
{
    Clear();
}

const std::string& TRpEvEnvironment::Strings(int Index) const
{
    return FEntries.at(static_cast<size_t>(Index)).Name;
}

TRpEvEmbeddedFunction* TRpEvEnvironment::Functions(int Index) const
{
    return FEntries.at(static_cast<size_t>(Index)).Function.get();
}

int TRpEvEnvironment::IndexOf(const std::string& Name) const
{
    const std::string Upper = AnsiUpperCase(Name);
    for (size_t i = 0; i < FEntries.size(); ++i)
        if (FEntries[i].Name == Upper)
            return static_cast<int>(i);
    return -1;
}

void TRpEvEnvironment::PrepareEntry(TEntry& Entry)
{
    TRpEvaluator& Evaluator = Entry.Function->Evaluator();
    Evaluator.SetDatasets(FDatasets);
    Evaluator.SetEnvironment(this);
    Evaluator.Prepare(Entry.Function->Expression());
}

std::shared_ptr<TRpEvEmbeddedFunction> TRpEvEnvironment::NewFunction(const std::string& Expression) const
{
    auto Function = std::make_shared<TRpEvEmbeddedFunction>(Expression);
    Function->SetShared(this == GlobalEnvironment);
    return Function;
}

void TRpEvEnvironment::AddFunction(const std::string& Name, const std::string& Expression)
{
    if (IndexOf(Name) >= 0)
        return;
    FEntries.push_back({AnsiUpperCase(Name), NewFunction(Expression)});
    if (Prepared())
        PrepareEntry(FEntries.back());
}

void TRpEvEnvironment::DeleteFunction(const std::string& Name)
{
    const int Index = IndexOf(Name);
    if (Index < 0)
        return;
    std::shared_ptr<TRpEvEmbeddedFunction> Function = std::move(FEntries[static_cast<size_t>(Index)].Function);
    FEntries.erase(FEntries.begin() + Index);
    // Its prepared expression may name the entry itself; freeing it lets go.
    if (Function->Evaluator().Prepared())
        Function->Evaluator().UnPrepare();
}

bool TRpEvEnvironment::RenameFunction(int Index, const std::string& Name)
{
    TEntry& Entry = FEntries.at(static_cast<size_t>(Index));
    const int Other = IndexOf(Name);
    if (Other >= 0 && Other != Index)
        return false;
    Entry.Name = AnsiUpperCase(Name);
    return true;
}

void TRpEvEnvironment::SetExpression(int Index, const std::string& Expression)
{
    TEntry& Entry = FEntries.at(static_cast<size_t>(Index));
    std::shared_ptr<TRpEvEmbeddedFunction> Old =
        std::exchange(Entry.Function, NewFunction(Expression));
    // During a run the expressions prepared on the old function still read it.
    if (Prepared())
        PrepareEntry(Entry);
    else if (Old->Evaluator().Prepared())
        Old->Evaluator().UnPrepare();
}

void TRpEvEnvironment::Clear()
{
    // Entries that name each other keep each other alive until their
    // expressions are freed.
    for (TEntry& Entry : FEntries)
        if (Entry.Function->Evaluator().Prepared())
            Entry.Function->Evaluator().UnPrepare();
    FEntries.clear();
}

std::unique_ptr<TRpEvElement> TRpEvEnvironment::Element(const std::string& Name)
{
    const int Index = IndexOf(Name);
    if (Index < 0)
        return std::make_unique<TRpEvElementError>(FormatResString(SRpExpUnknownFunction, Name));
    return std::make_unique<TRpEvElementWrapper>(FEntries[static_cast<size_t>(Index)].Function);
}

TRpEvResult TRpEvEnvironment::Value(const std::string& Name)
{
    TRpEvResult Result;
    const int Index = IndexOf(Name);
    if (Index >= 0)
        FEntries[static_cast<size_t>(Index)].Function->Evaluate(Result);
    return Result;
}

TRpEvElement* TRpEvEnvironment::GetConstant(const std::string& Name) const
{
    const int Index = IndexOf(Name);
    if (Index < 0)
        return nullptr;
    return FEntries[static_cast<size_t>(Index)].Function->Peek(0);
}

namespace {

TRpEvElementConstant* AsConstant(TRpEvElement* Element)
{
    return Element && Element->ElementKind() == TRpEvElementKind::Constant
               ? static_cast<TRpEvElementConstant*>(Element)
               : nullptr;
}

}  // namespace

void TRpEvEnvironment::SetIntegerConstant(TRpEvElement* Element, int32_t Value)
{
    if (TRpEvElementConstant* Constant = AsConstant(Element))
        Constant->SetConstant(TRpEvResult::Int(Value));
}

void TRpEvEnvironment::SetBooleanConstant(TRpEvElement* Element, bool Value)
{
    if (TRpEvElementConstant* Constant = AsConstant(Element))
        Constant->SetConstant(TRpEvResult::Bool(Value));
}

void TRpEvEnvironment::SetStringConstant(TRpEvElement* Element, std::string_view Text)
{
    if (auto* String = dynamic_cast<TRpEvElementString*>(Element))
        String->SetText(Text);
}

void TRpEvEnvironment::SetConstant(TRpEvElement* Element, const TRpEvResult& Value)
{
    ::UpdateConstant(Element, Value);
}

void TRpEvEnvironment::UpdateConstant(const std::string& Name, const TRpEvResult& Value)
{
    SetConstant(GetConstant(Name), Value);
}

void UpdateConstant(TRpEvElement* Element, const TRpEvResult& Value)
{
    if (auto* Constant = dynamic_cast<TRpEvElementConstant*>(Element))
        Constant->SetConstant(Value);
    else if (auto* String = dynamic_cast<TRpEvElementString*>(Element); String && Value.Kind() == resString)
        String->SetText(Value.Text());
}

void TRpEvEnvironment::Prepare()
{
    const std::unique_lock<std::recursive_mutex> Guard = LockIfGlobal(this);
    if (++FPrepareCount != 1)
        return;
    // Entries added while preparing (none today) would be prepared by AddFunction.
    for (size_t i = 0; i < FEntries.size(); ++i)
        PrepareEntry(FEntries[i]);
}

void TRpEvEnvironment::Unprepare()
{
    if (this == GlobalEnvironment && UnpreparingGlobalEnvironment)
        return;
    const std::unique_lock<std::recursive_mutex> Guard = LockIfGlobal(this);
    if (FPrepareCount == 0)
        return;
    TValueRollback<bool> Unpreparing(UnpreparingGlobalEnvironment, true);
    if (--FPrepareCount == 0)
        for (TEntry& Entry : FEntries)
            if (Entry.Function->Evaluator().Prepared())
                Entry.Function->Evaluator().UnPrepare();
}

void TRpEvEnvironment::ReadProperties(const TStrings& Names, const TStrings& Data)
{
    Clear();
    for (int i = 0; i < Names.Count(); ++i)
        AddFunction(Names.Strings(i), i < Data.Count() ? Data.Strings(i) : std::string());
}

void TRpEvEnvironment::WriteProperties(TStrings& Names, TStrings& Data) const
{
    Names.Clear();
    Data.Clear();
    for (const TEntry& Entry : FEntries) {
        Names.Add(Entry.Name);
        Data.Add(Entry.Function->Expression());
    }
}

TRpEvEnvironment* RpGlobalEnvironment()
{
    // Kept for the life of the process: evaluators destroyed at exit still
    // unprepare through it.
    static TRpEvEnvironment* const Global = [] {
        auto* Environment = new TRpEvEnvironment;
        GlobalEnvironment = Environment;
        const TDateTime Start = Now();
        const std::string Title = Application ? Application->Title() : std::string();
        Environment->AddFunction("AppStartTime", "'" + TimeToStr(Start) + "'");
        Environment->AddFunction("AppStartDate", "'" + DateToStr(Start) + "'");
        Environment->AddFunction("AppName", "'" + Title + "'");
        return Environment;
    }();
    return Global;
}

// ========================================================== function library

void TRpLibrary::Add(TRpEvElementFunctionClass FunctionClass, const std::string& Name,
                     const std::string& Description, const std::string& Vendor, const std::string& ArgumentCodes)
{
    FEntries.push_back(std::make_unique<TRpLibraryEntry>(FunctionClass, Name, Description, Vendor, ArgumentCodes));
}

const TRpLibraryEntry* TRpLibrary::GetEntry(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return FEntries[static_cast<size_t>(Index)].get();
}

int TRpLibrary::IndexOf(const std::string& Name) const
{
    for (size_t i = 0; i < FEntries.size(); ++i)
        if (SameText(FEntries[i]->Name(), Name))
            return static_cast<int>(i);
    return -1;
}

std::unique_ptr<TRpEvElement> TRpFunctionLibrary::GetFunction(const std::string& Name) const
{
    const TRpLibraryEntry* Entry = GetEntry(IndexOf(Name));
    if (!Entry)
        return std::make_unique<TRpEvElementError>(FormatResString(SRpExpUnknownFunction, Name));
    return Entry->FunctionClass()();
}

namespace {

void AddFunctionClass(TRpLibrary& Library, TRpEvElementFunctionClass FunctionClass)
{
    const std::unique_ptr<TRpEvElementFunction> Sample = FunctionClass();
    Library.Add(FunctionClass, Sample->FunctionName(), Sample->FunctionDescription(), Sample->FunctionVendor(),
                Sample->FunctionArguments());
}

}  // namespace

TRpFunctionLibrary* RpFunctionLibrary()
{
    static TRpFunctionLibrary* const Library = [] {
        auto* Functions = new TRpFunctionLibrary;
        const TRpEvElementFunctionClass BuiltIns[] = {
            RpFunctionClass<TRpEvIfFunction>,     RpFunctionClass<TRpEvStrFunction>,
            RpFunctionClass<TRpEvUpperFunction>,  RpFunctionClass<TRpEvLowerFunction>,
            RpFunctionClass<TRpEvPrettyFunction>, RpFunctionClass<TRpEvTimeFunction>,
            RpFunctionClass<TRpEvDateFunction>,   RpFunctionClass<TRpEvCopyFunction>,
            RpFunctionClass<TRpEvSumFunction>,    RpFunctionClass<TRpEvCountFunction>,
            RpFunctionClass<TRpEvMaxFunction>,    RpFunctionClass<TRpEvMinFunction>,
            RpFunctionClass<TRpEvAverageFunction>, RpFunctionClass<TRpEvTrue>,
            RpFunctionClass<TRpEvFalse>,          RpFunctionClass<TRpEvIntFunction>,
            RpFunctionClass<TRpEvFracFunction>,   RpFunctionClass<TRpEvSQRTFunction>,
            RpFunctionClass<TRpEvDivFunction>,    RpFunctionClass<TRpEvTypeOfFunction>,
            RpFunctionClass<TRpEvFormatNumericFunction>, RpFunctionClass<TRpEvArcCosFunction>,
            RpFunctionClass<TRpEvCosFunction>,    RpFunctionClass<TRpEvSinFunction>,
            RpFunctionClass<TRpEvTanFunction>,    RpFunctionClass<TRpEvCoTanFunction>,
        };
        for (TRpEvElementFunctionClass FunctionClass : BuiltIns)
            AddFunctionClass(*Functions, FunctionClass);
        return Functions;
    }();
    return Library;
}

void RegisterRpFunction(TRpEvElementFunctionClass FunctionClass, const std::string& Name,
                        const std::string& Description, const std::string& Vendor, const std::string& ArgumentCodes)
{
    RpFunctionLibrary()->Add(FunctionClass, Name, Description, Vendor, ArgumentCodes);
}

void RegisterRpFunctionEx(TRpEvElementFunctionClass FunctionClass)
{
    AddFunctionClass(*RpFunctionLibrary(), FunctionClass);
}
