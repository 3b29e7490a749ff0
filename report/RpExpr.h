// The report library's expression language.
//
// An expression is a text of literals, names, function calls and operators:
//
//   TRpEvaluator Eval;
//   Eval.SetEnvironment(Report->Functions());    // before Prepare
//   Eval.Prepare("IF(PAGENUMBER > 1, 'Page ' + STR(PAGENUMBER), REPORTTITLE)");
//   std::string Caption = Eval.AsString();       // as often as needed
//
// Prepare parses the text once into a queue of elements in prefix order (an
// operator before its operands, a function before its arguments and an
// argument end); Value walks that queue without parsing or looking up names.
// Faults in an expression never raise: they become error values that carry
// their message through the operators to the result. Only the typed readers
// (AsString, AsInteger, ...) and using an unprepared evaluator raise ERpError.
//
// A name resolves, in this order, to a built-in function of the function
// library, to a field of the evaluator's data sets (TRpEvDatasets, given by
// the data-set layer), to an entry of the evaluator's environment and last to
// the process-wide global environment (AppStartTime, AppStartDate, AppName).
// Reports run on several threads at once share the global environment: it is
// prepared, unprepared and its entries are evaluated under one lock; every
// other object here belongs to one run, on one thread.
//
// Values are fixed-size records copied by value; texts are UTF-8 held inline
// and cut to 255 characters (code points), never inside a character, so an
// evaluation allocates nothing once each function's argument list has grown.
#pragma once

#include "report/Rp4const.h"

#include "platform/Classes.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// ------------------------------------------------------------------- values

enum TRpEvResultType : uint8_t { resInt, resDouble, resString, resBool, resError };

// Longest text of a value, in characters and in the bytes they may take.
constexpr size_t RpMaxTextChars = 255;
constexpr size_t RpMaxTextBytes = 4 * RpMaxTextChars;

// One value of an expression: a 32-bit integer, a double, a text, a boolean
// or an error with its message. A default value is an error without a message.
class TRpEvResult {
public:
    TRpEvResult() = default;
    TRpEvResult(const TRpEvResult& Other) { CopyFrom(Other); }
    TRpEvResult& operator=(const TRpEvResult& Other)
    {
        if (this != &Other)
            CopyFrom(Other);
        return *this;
    }

    static TRpEvResult Int(int32_t Value);
    static TRpEvResult Double(double Value)
    {
        TRpEvResult R;
        R.SetDouble(Value);
        return R;
    }
    static TRpEvResult String(std::string_view Text);
    static TRpEvResult Bool(bool Value);
    static TRpEvResult Error(std::string_view Message);

    TRpEvResultType Kind() const { return FKind; }
    int32_t IntValue() const { return FInt; }
    double DoubleValue() const { return FDouble; }
    bool BoolValue() const { return FBool; }
    // The text of a string, the message of an error.
    std::string_view Text() const { return {FText, FLength}; }
    bool IsError() const { return FKind == resError; }
    bool IsNumber() const { return FKind == resInt || FKind == resDouble; }
    // An integer as a double, a double as it is.
    double Number() const { return FKind == resInt ? static_cast<double>(FInt) : FDouble; }

    void SetInt(int32_t Value)
    {
        FKind = resInt;
        FInt = Value;
        FLength = 0;
    }
    void SetDouble(double Value)
    {
        FKind = resDouble;
        FDouble = Value;
        FLength = 0;
    }
    void SetBool(bool Value)
    {
        FKind = resBool;
        FBool = Value;
        FLength = 0;
    }
    // Texts longer than 255 characters are cut.
    void SetString(std::string_view Text);
    void SetError(std::string_view Message)
    {
        FKind = resError;
        if (Message.empty())
            FLength = 0;
        else
            SetText(Message);
    }
    // Appends to a string, cutting the whole to 255 characters.
    void AppendText(std::string_view Text);
    // The value as a string by the rules of AsString (an integer's decimal
    // text, a double's FloatToStr text, "True" or "False"); a string or an
    // error stays as it is.
    void ConvertToString();

private:
    void CopyFrom(const TRpEvResult& Other)
    {
        FKind = Other.FKind;
        FBool = Other.FBool;
        FInt = Other.FInt;
        FDouble = Other.FDouble;
        FLength = Other.FLength;
        if (FLength > 0)
            std::memcpy(FText, Other.FText, FLength);
    }
    void SetText(std::string_view Text);

    TRpEvResultType FKind = resError;
    bool FBool = false;
    uint16_t FLength = 0;
    int32_t FInt = 0;
    double FDouble = 0;
    char FText[RpMaxTextBytes];
};

// Conversions of one value, as the evaluator's typed readers do them. They
// raise ERpError: "Error in expression : %s" for an error in a text, "Not a
// numeric value" for what is no number or a double outside the 32-bit range.
std::string RpEvResultToString(const TRpEvResult& Value);
// Rounds to the nearest integer, halves to even; false outside the 32-bit
// range and for what is no number.
bool RpRoundToInt32(double Value, int32_t& Result);
int32_t RpEvResultToInt(const TRpEvResult& Value);
double RpEvResultToFloat(const TRpEvResult& Value);

enum TRpEvOperator : uint8_t {
    opLess,
    opLessOrEqual,
    opGreater,
    opGreaterOrEqual,
    opEqual,
    opUnequal,
    opPlus,
    opMinus,
    opOr,
    opMul,
    opDiv,
    opAnd
};

// ----------------------------------------------------------------- elements

class TRpFiFo;
class TRpEvaluator;
class TRpEvEnvironment;

// What an element is, for the evaluator's compiled form of a queue (see
// TRpEvaluator): Other elements are only ever run by walking the queue; a
// Leaf's Value reads nothing from the queue; Function is a function whose
// Value is the one of TRpEvElementFunction. A class that overrides Value
// keeps the kind Other unless its Value is one of these.
enum class TRpEvElementKind : uint8_t {
    Other, Leaf, Constant, String, Error, Operator, Not, Wrapper, Function, ArgumentEnd
};

// One element of a prepared expression. Elements that need operands take them
// from the queue (Get) and evaluate them in turn.
class TRpEvElement : public TObject {
public:
    TRpEvElement() = default;
    TRpEvElementKind ElementKind() const { return FElementKind; }
    // Evaluates into Result; the base leaves Result unchanged.
    virtual void Value(TRpFiFo& FiFo, TRpEvResult& Result);
    // Back to the state before the first record (aggregates).
    virtual void Reset();
    bool IsAggregate() const { return FIsAggregate; }
    // The mark that ends a function's arguments in the queue.
    virtual bool IsArgumentEnd() const { return false; }

protected:
    void SetIsAggregate(bool Value) { FIsAggregate = Value; }
    void SetElementKind(TRpEvElementKind Value) { FElementKind = Value; }

private:
    bool FIsAggregate = false;
    TRpEvElementKind FElementKind = TRpEvElementKind::Other;
};

// An operator: evaluates its left, then its right operand (always both).
class TRpEvElementOperator : public TRpEvElement {
public:
    explicit TRpEvElementOperator(TRpEvOperator Operator) : FOperator(Operator)
    {
        SetElementKind(TRpEvElementKind::Operator);
    }
    TRpEvOperator Operator() const { return FOperator; }
    void Value(TRpFiFo& FiFo, TRpEvResult& Result) override;

private:
    TRpEvOperator FOperator;
};

// "not": negates a boolean operand.
class TRpEvElementNot : public TRpEvElement {
public:
    TRpEvElementNot() { SetElementKind(TRpEvElementKind::Not); }
    void Value(TRpFiFo& FiFo, TRpEvResult& Result) override;
};

// A number (and, in an environment, any constant the report updates).
class TRpEvElementConstant : public TRpEvElement {
public:
    explicit TRpEvElementConstant(const TRpEvResult& Value) : FValue(Value)
    {
        SetElementKind(TRpEvElementKind::Constant);
    }
    const TRpEvResult& Constant() const { return FValue; }
    void SetConstant(const TRpEvResult& Value) { FValue = Value; }
    void Value(TRpFiFo& FiFo, TRpEvResult& Result) override;

private:
    TRpEvResult FValue;
};

// A string literal.
class TRpEvElementString : public TRpEvElement {
public:
    explicit TRpEvElementString(std::string_view Text)
    {
        SetElementKind(TRpEvElementKind::String);
        SetText(Text);
    }
    const std::string& Text() const { return FText; }
    // Cut to 255 characters.
    void SetText(std::string_view Text);
    void Value(TRpFiFo& FiFo, TRpEvResult& Result) override;

private:
    std::string FText;
};

// A fault found while parsing; evaluates to an error with its message.
class TRpEvElementError : public TRpEvElement {
public:
    explicit TRpEvElementError(std::string_view Message) : FMessage(Message)
    {
        SetElementKind(TRpEvElementKind::Error);
    }
    const std::string& Message() const { return FMessage; }
    void Value(TRpFiFo& FiFo, TRpEvResult& Result) override;

private:
    std::string FMessage;
};

class TRpEvElementArgumentEnd : public TRpEvElement {
public:
    TRpEvElementArgumentEnd() { SetElementKind(TRpEvElementKind::ArgumentEnd); }
    bool IsArgumentEnd() const override { return true; }
};

// A function call. Value takes the argument elements up to the argument end,
// evaluates them, lets an aggregate take them in during an aggregation pass
// (Aggregate) and computes the result (Calculate).
class TRpEvElementFunction : public TRpEvElement {
public:
    TRpEvElementFunction() { SetElementKind(TRpEvElementKind::Function); }
    void Value(TRpFiFo& FiFo, TRpEvResult& Result) override;
    // What Value does with arguments already evaluated: Count values at
    // Arguments (they stay put until it returns), then Aggregate when
    // Aggregating, then Calculate. Result is none of the arguments.
    void CalculateOn(const TRpEvResult* Arguments, int Count, bool Aggregating, TRpEvResult& Result)
    {
        FArgumentValues = Arguments;
        FArgumentCount = Count;
        if (Aggregating)
            Aggregate();
        Calculate(Result);
        FArgumentValues = nullptr;
        FArgumentCount = 0;
    }

    // Takes the current arguments into a running total; the base does nothing.
    virtual void Aggregate();
    // The result for the current arguments; the base gives an error without
    // a message of its own.
    virtual void Calculate(TRpEvResult& Result);
    virtual std::string FunctionName() const;
    // The call syntax, "|", and the explanation.
    virtual std::string FunctionDescription() const;
    virtual std::string FunctionVendor() const;
    // The category digit of the expression builder (1 date and time, 2 math,
    // 3 statistical, 4 database, 5 logical, 6 information, 7 other), then one
    // letter per argument: B boolean, N numeric, S text, V any value.
    virtual std::string FunctionArguments() const;

    // A function whose value for one number is a number or an error
    // without a message of its own may name that mapping (false: no
    // number); the compiled form then computes it in place. nullptr: the
    // function goes through Calculate.
    using TNumberMap = bool (*)(double X, double& Y);
    virtual TNumberMap NumberMap() const { return nullptr; }

    int ArgumentCount() const { return FArgumentCount; }
    // The argument's value; an error without a message outside the list.
    TRpEvResult Argument(int Index) const
    {
        if (Index < 0 || Index >= FArgumentCount)
            return TRpEvResult();
        return FArgumentValues[Index];
    }

protected:
    const TRpEvResult& Arg(int Index) const { return FArgumentValues[Index]; }
    // Evaluates the elements up to the next argument end into the list.
    void GetArguments(TRpFiFo& FiFo);
    void FreeArguments()
    {
        FArguments.clear();
        FArgumentValues = nullptr;
        FArgumentCount = 0;
    }

private:
    // Cleared, not freed, after every call: its room serves the next one.
    std::vector<TRpEvResult> FArguments;
    // The arguments of the call under way: FArguments, or values the
    // evaluator's compiled form holds.
    const TRpEvResult* FArgumentValues = nullptr;
    int FArgumentCount = 0;
};

using TRpEvElementFunctionClass = std::unique_ptr<TRpEvElementFunction> (*)();

// The class reference of a function class, for the library:
//   RegisterRpFunctionEx(RpFunctionClass<TMyFunction>)
template <class T>
std::unique_ptr<TRpEvElementFunction> RpFunctionClass()
{
    return std::make_unique<T>();
}

// An environment entry: a named expression with its own evaluator.
class TRpEvEmbeddedFunction : public TRpEvElement {
public:
    explicit TRpEvEmbeddedFunction(const std::string& Expression);
    ~TRpEvEmbeddedFunction() override;

    const std::string& Expression() const { return FExpression; }
    TRpEvaluator& Evaluator() { return *FEvaluator; }
    // The Index-th element of the prepared expression; nullptr when not prepared.
    TRpEvElement* Peek(int Index) const;
    // "Recursive calls not allowed" when the entry reaches itself.
    void Value(TRpFiFo& FiFo, TRpEvResult& Result) override;
    void Evaluate(TRpEvResult& Result);
    void Reset() override;
    // Set on the entries of the global environment: evaluated under its lock.
    void SetShared(bool Value) { FShared = Value; }
    bool Shared() const { return FShared; }

private:
    std::unique_ptr<TRpEvaluator> FEvaluator;
    std::string FExpression;
    bool FInEvaluation = false;
    bool FShared = false;
};

// A name in an expression that stands for an environment entry. It keeps the
// entry alive, so an expression prepared on an entry stays sound after the
// entry is deleted from its environment.
class TRpEvElementWrapper : public TRpEvElement {
public:
    explicit TRpEvElementWrapper(std::shared_ptr<TRpEvEmbeddedFunction> Wrapped) : FWrapped(std::move(Wrapped))
    {
        SetElementKind(TRpEvElementKind::Wrapper);
    }
    TRpEvEmbeddedFunction* Wrapped() const { return FWrapped.get(); }
    void Value(TRpFiFo& FiFo, TRpEvResult& Result) override;

private:
    std::shared_ptr<TRpEvEmbeddedFunction> FWrapped;
};

// The element queue of a prepared expression; it owns its elements.
class TRpFiFo : public TObject {
public:
    bool Aggregate() const { return FAggregate; }
    void SetAggregate(bool Value) { FAggregate = Value; }

    void Start() { FPosition = 0; }
    int Put(std::unique_ptr<TRpEvElement> Element);
    // The element at the read position, which moves on; nullptr at the end.
    TRpEvElement* Get()
    {
        return FPosition < FItems.size() ? FItems[FPosition++].get() : nullptr;
    }
    // Takes the first element out of the queue; nullptr when it is empty.
    std::unique_ptr<TRpEvElement> GetAndFree();
    int Count() const { return static_cast<int>(FItems.size()); }
    TRpEvElement* Items(int Index) const;

private:
    bool FAggregate = false;
    std::vector<std::unique_ptr<TRpEvElement>> FItems;
    size_t FPosition = 0;
};

// ----------------------------------------------------------------- data sets

// The data sets whose fields expressions may name. The data-set layer
// implements it over its list of data sets, asked in list order; reports
// without data sets give none.
class TRpEvDatasets {
public:
    virtual ~TRpEvDatasets() = default;
    // A new element that reads the field, or nullptr when no data set has it.
    // Both names are upper case; DatasetName is empty for a plain FIELD and
    // holds DATASET of DATASET.FIELD.
    virtual std::unique_ptr<TRpEvElement> FindField(const std::string& DatasetName,
                                                    const std::string& FieldName) = 0;
};

// ---------------------------------------------------------------- evaluator

class TRpEvaluator : public TObject {
public:
    TRpEvaluator() = default;
    ~TRpEvaluator() override;

    // Not owned; nullptr when the expression names no fields.
    TRpEvDatasets* GetDatasets() const { return FDatasets; }
    void SetDatasets(TRpEvDatasets* Value) { FDatasets = Value; }
    // Not owned; assign before Prepare.
    TRpEvEnvironment* Environment() const { return FEnvironment; }
    void SetEnvironment(TRpEvEnvironment* Value) { FEnvironment = Value; }

    // Parses Expression (an empty one as the one-blank string ' ').
    void Prepare(const std::string& Expression);
    void UnPrepare();
    bool Prepared() const { return FPrepared; }

    // Raise ERpError "Evaluator not prepared" when not prepared.
    TRpEvResult Value();
    void GetValue(TRpEvResult& Result);
    // Restarts every aggregate of the expression.
    void Reset();
    // One aggregation pass: aggregates take in their arguments.
    void DoAggregate();
    // Prepare, Value, UnPrepare.
    TRpEvResult Calculate(const std::string& Expression);

    std::string AsString();
    // Doubles round to the nearest integer, halves to even.
    int32_t AsInteger();
    double AsFloat();
    // TRUE or FALSE in any letter case are booleans too.
    bool AsBoolean();

    // Whether any element of the expression aggregates.
    bool GetIsAggreg() const;
    bool GetAggregate() const;
    void SetAggregate(bool Value);

    // The prepared queue (nullptr when not prepared).
    const TRpFiFo* FiFo() const { return FFiFo.get(); }
    // The constant element's value when the prepared expression is that one
    // constant and nothing else; nullptr otherwise.
    const TRpEvResult* SingleConstant() const { return FSingleConstant; }

protected:
    // Parse steps: each appends the elements of its text to the queue.
    void Evaluate(std::string_view Text);
    void EvalSimpleExpr(std::string_view Text);
    void EvalTerm(std::string_view Text);
    void EvalFactor(std::string_view Text);
    void EvalFunctionExpr(std::string_view Text);
    // A descendant may resolve function names and variables its own way.
    virtual void EvalFunction(const std::string& Name, std::string_view Arguments);
    virtual void EvalVariable(const std::string& Name);
    void EvalEnvironment(const std::string& Name);
    void EvalConstant(std::string_view Text);
    void EvalString(std::string_view Text);
    static std::string_view TrimString(std::string_view Text);
    // The position of Delimiter at parenthesis depth 0 outside strings, from
    // From on and before the last character; npos when there is none.
    static size_t FindDelimiter(std::string_view Text, char Delimiter, size_t From = 0);

    void Append(std::unique_ptr<TRpEvElement> Element);
    void AppendError(std::string_view Message);

private:
    enum class TLevel { Comparison, Simple, Term };
    void SplitLevel(TLevel Level, std::string_view Text);
    void CheckPrepared() const;
    // Runs Parse one level deeper; past the deepest level allowed the
    // expression is refused.
    template <class F>
    void Deeper(std::string_view Text, F Parse);

    // The compiled form: the queue's first expression as steps in postfix
    // order over a stack of values, which GetValue runs instead of walking
    // the queue. Values are the same: each step does what its element's
    // Value does, operands and arguments in the same order. Empty when an
    // element of a kind it does not know (Other) is in the expression.
    // An operator whose right operand is a constant or a named expression
    // takes it in the same step (Operand), read in place where it can be;
    // so does its left operand (Left), which it puts on the stack first.
    enum class TOperand : uint8_t { None, Constant, Wrapper };
    struct TStep {
        TRpEvElementKind Kind;
        TRpEvOperator Operator;
        uint16_t Count;   // a function's arguments
        TRpEvElement* Element;
        TOperand OperandKind = TOperand::None;
        TOperand LeftKind = TOperand::None;
        TRpEvElement* Operand = nullptr;
        TRpEvElement* Left = nullptr;
        TRpEvElementFunction::TNumberMap Map = nullptr;   // a function of one number
    };
    void FuseOperands();
    void Compile();
    bool CompileTree(int& Position, int Depth, int& MaxDepth);
    void Run(TRpEvResult& Result);
    std::vector<TStep> FProgram;
    std::vector<TRpEvResult> FStack;
    const TRpEvResult* FSingleConstant = nullptr;

    TRpEvDatasets* FDatasets = nullptr;
    std::unique_ptr<TRpFiFo> FFiFo;
    bool FPrepared = false;
    TRpEvEnvironment* FEnvironment = nullptr;
    int FNesting = 0;
    bool FTooDeep = false;
    std::string FTooDeepText;
};

// ------------------------------------------------------------- environments

// Named expressions that report expressions can call by name. A report's
// Functions environment holds PAGENUMBER, COLUMNNUMBER and REPORTTITLE,
// constants the report run updates in place (GetConstant, SetIntegerConstant).
class TRpEvEnvironment : public TObject {
public:
    TRpEvEnvironment() = default;
    ~TRpEvEnvironment() override;

    // The entries, in the order they were added; names are upper case.
    int Count() const { return static_cast<int>(FEntries.size()); }
    const std::string& Strings(int Index) const;
    TRpEvEmbeddedFunction* Functions(int Index) const;
    // Letter case ignored; -1 when absent.
    int IndexOf(const std::string& Name) const;

    // Adds Name (upper-cased) unless it is listed; a listed name keeps its
    // expression. A prepared environment prepares the new entry at once.
    void AddFunction(const std::string& Name, const std::string& Expression);
    void DeleteFunction(const std::string& Name);
    // Renames entry Index to the upper-cased Name; false, and nothing
    // changes, when another entry has that name.
    bool RenameFunction(int Index, const std::string& Name);
    // Entry Index gets a new function for Expression; a prepared environment
    // prepares it at once. Expressions prepared on the old one keep it.
    void SetExpression(int Index, const std::string& Expression);
    void Clear();
    void Update() {}

    // A new element for Name: a wrapper on the entry, or an error element
    // "Unknown function : %s".
    std::unique_ptr<TRpEvElement> Element(const std::string& Name);
    // The entry's value; an error without a message when absent.
    TRpEvResult Value(const std::string& Name);

    // The element holding the value of a constant entry ("0", "''"): the
    // first of its prepared expression; nullptr when absent or unprepared.
    TRpEvElement* GetConstant(const std::string& Name) const;
    // Change a constant element in place; other elements are left alone.
    void SetIntegerConstant(TRpEvElement* Element, int32_t Value);
    void SetFloatConstant(TRpEvElement* Element, double Value)
    {
        if (Element && Element->ElementKind() == TRpEvElementKind::Constant)
            static_cast<TRpEvElementConstant*>(Element)->SetConstant(TRpEvResult::Double(Value));
    }
    void SetBooleanConstant(TRpEvElement* Element, bool Value);
    void SetStringConstant(TRpEvElement* Element, std::string_view Text);
    void SetConstant(TRpEvElement* Element, const TRpEvResult& Value);
    void UpdateConstant(const std::string& Name, const TRpEvResult& Value);

    // Counted: the entries are prepared by the first Prepare and unprepared
    // by the matching last Unprepare.
    void Prepare();
    void Unprepare();
    bool Prepared() const { return FPrepareCount > 0; }
    int PrepareCount() const { return FPrepareCount; }

    TRpEvDatasets* GetDatasets() const { return FDatasets; }
    void SetDatasets(TRpEvDatasets* Value) { FDatasets = Value; }

    // Form files keep the names and, as the list DATA, the expressions in
    // entry order. ReadProperties replaces the entries by the i-th name with
    // the i-th expression (a name without one gets an empty expression).
    void ReadProperties(const TStrings& Names, const TStrings& Data);
    void WriteProperties(TStrings& Names, TStrings& Data) const;

private:
    struct TEntry {
        std::string Name;
        std::shared_ptr<TRpEvEmbeddedFunction> Function;
    };
    void PrepareEntry(TEntry& Entry);
    std::shared_ptr<TRpEvEmbeddedFunction> NewFunction(const std::string& Expression) const;

    std::vector<TEntry> FEntries;
    std::atomic<int> FPrepareCount = 0;
    TRpEvDatasets* FDatasets = nullptr;
};

// The process-wide environment every expression falls back to, created at
// first use and kept for the life of the process. Once prepared its entries
// stay prepared. Its Prepare and Unprepare and the evaluation of its entries
// hold one lock, so reports on several threads may use it at once; its
// entries are edited (AddFunction ...) while no report runs.
TRpEvEnvironment* RpGlobalEnvironment();

// Changes a constant element in place, as TRpEvEnvironment::SetConstant.
void UpdateConstant(TRpEvElement* Element, const TRpEvResult& Value);

// ------------------------------------------------------------ function library

class TRpLibraryEntry : public TObject {
public:
    TRpLibraryEntry(TRpEvElementFunctionClass FunctionClass, const std::string& Name,
                    const std::string& Description, const std::string& Vendor, const std::string& ArgumentCodes)
        : FDescription(Description), FArgumentCodes(ArgumentCodes), FFunctionClass(FunctionClass), FName(Name),
          FVendor(Vendor)
    {
    }
    const std::string& Description() const { return FDescription; }
    const std::string& ArgumentCodes() const { return FArgumentCodes; }
    TRpEvElementFunctionClass FunctionClass() const { return FFunctionClass; }
    const std::string& Name() const { return FName; }
    const std::string& Vendor() const { return FVendor; }

private:
    std::string FDescription;
    std::string FArgumentCodes;
    TRpEvElementFunctionClass FFunctionClass;
    std::string FName;
    std::string FVendor;
};

class TRpLibrary : public TObject {
public:
    void Add(TRpEvElementFunctionClass FunctionClass, const std::string& Name, const std::string& Description,
             const std::string& Vendor, const std::string& ArgumentCodes);
    int Count() const { return static_cast<int>(FEntries.size()); }
    // nullptr outside the list.
    virtual const TRpLibraryEntry* GetEntry(int Index) const;
    // Letter case ignored; -1 when absent.
    int IndexOf(const std::string& Name) const;

private:
    std::vector<std::unique_ptr<TRpLibraryEntry>> FEntries;
};

class TRpFunctionLibrary : public TRpLibrary {
public:
    // A new function element of the named entry, or an error element
    // "Unknown function : %s".
    std::unique_ptr<TRpEvElement> GetFunction(const std::string& Name) const;
};

// The library every evaluator uses, holding the 26 built-ins (created at
// first use and kept for the life of the process).
TRpFunctionLibrary* RpFunctionLibrary();
void RegisterRpFunction(TRpEvElementFunctionClass FunctionClass, const std::string& Name,
                        const std::string& Description, const std::string& Vendor, const std::string& ArgumentCodes);
// Registers a class under the name, description, vendor and argument codes
// its instances report.
void RegisterRpFunctionEx(TRpEvElementFunctionClass FunctionClass);

// The separator of function arguments.
constexpr char ArgSeparator = ',';

// Deepest nesting of parentheses, operators and arguments an expression may
// have; deeper ones are refused with "Error in expression : %s".
constexpr int RpMaxNesting = 256;

// ----------------------------------------------------------------- built-ins

class TRpEvIfFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "IF"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "5BVV"; }
};

class TRpEvStrFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "STR"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "7N"; }
};

class TRpEvUpperFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "UPPER"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "7S"; }
};

class TRpEvLowerFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "LOWER"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "7S"; }
};

class TRpEvPrettyFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "PRETTY"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "7S"; }
};

class TRpEvTimeFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "TIME"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "1"; }
};

class TRpEvDateFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "DATE"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "1"; }
};

class TRpEvCopyFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "COPY"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "7SNN"; }
};

// Aggregates keep a running total from one record to the next; Reset starts
// it again.
class TRpEvSumFunction : public TRpEvElementFunction {
public:
    TRpEvSumFunction();
    void Reset() override;
    void Aggregate() override;
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "SUM"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "3N"; }

private:
    TRpEvResult FTotal;
    bool FAssigned = false;
};

class TRpEvCountFunction : public TRpEvElementFunction {
public:
    TRpEvCountFunction();
    void Reset() override;
    void Aggregate() override;
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "COUNT"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "3"; }

private:
    int32_t FCount = 0;
};

class TRpEvMaxFunction : public TRpEvElementFunction {
public:
    TRpEvMaxFunction();
    void Reset() override;
    void Aggregate() override;
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "MAX"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "3V"; }

private:
    TRpEvResult FMax;
    bool FAssigned = false;
};

class TRpEvMinFunction : public TRpEvElementFunction {
public:
    TRpEvMinFunction();
    void Reset() override;
    void Aggregate() override;
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "MIN"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "3N"; }

private:
    TRpEvResult FMin;
    bool FAssigned = false;
};

class TRpEvAverageFunction : public TRpEvSumFunction {
public:
    void Reset() override;
    void Aggregate() override;
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "AVERAGE"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "3N"; }

private:
    int32_t FCount = 0;
    TRpEvResult FAverage = TRpEvResult::Double(0);
};

class TRpEvTrue : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "TRUE"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "5"; }
};

class TRpEvFalse : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "FALSE"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "5"; }
};

class TRpEvIntFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "INT"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "2N"; }
};

class TRpEvFracFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "FRAC"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "2N"; }
};

class TRpEvSQRTFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    TNumberMap NumberMap() const override;
    std::string FunctionName() const override { return "SQRT"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "2N"; }
};

class TRpEvDivFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "DIV"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "2NN"; }
};

class TRpEvTypeOfFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "TYPEOF"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "6N"; }
};

class TRpEvFormatNumericFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "FORMATNUMERIC"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "7SN"; }
};

class TRpEvArcCosFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "ARCCOS"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "2N"; }
};

class TRpEvCosFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    TNumberMap NumberMap() const override;
    std::string FunctionName() const override { return "COS"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "2N"; }
};

class TRpEvSinFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    TNumberMap NumberMap() const override;
    std::string FunctionName() const override { return "SIN"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "2N"; }
};

class TRpEvTanFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "TAN"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "2N"; }
};

class TRpEvCoTanFunction : public TRpEvElementFunction {
public:
    void Calculate(TRpEvResult& Result) override;
    std::string FunctionName() const override { return "COTAN"; }
    std::string FunctionDescription() const override;
    std::string FunctionArguments() const override { return "2N"; }
};
