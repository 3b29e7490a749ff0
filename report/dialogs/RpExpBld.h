// The expression builder: a form that helps to write one report expression
// by inserting data-set fields, functions with their arguments, environment
// names and operators at the caret, and that can test the expression.
//
//   std::string Expr = Printable->Expression();
//   if (GetExpression("", Expr, ReportForm, Report->Functions(), nullptr))
//       Printable->SetExpression(Expr);
//
// Each insert button brings its page to the front and waits, handling the
// application's messages, until that page is accepted or cancelled. Given a
// parent control the builder sits inside it instead of running modally, and
// waits the same way until it is accepted or cancelled.
#pragma once

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TRpEvEnvironment;
class TRpLibraryEntry;
class TDataSet;

// A multi-line edit that wraps long expressions instead of scrolling them
// sideways.
class TWordWrapEdit : public TMemo {
public:
    explicit TWordWrapEdit(TComponent* AOwner);
};


class TRpExpressionBuilder : public TForm {
public:
    // The state of the builder and of each of its pages.
    enum class TPageState { Waiting, Accepted, Cancelled };

    explicit TRpExpressionBuilder(TComponent* AOwner);
    ~TRpExpressionBuilder() override;

    TCustomForm* ReportForm() const { return FReportForm; }
    void SetReportForm(TCustomForm* Value) { FReportForm = Value; }
    TRpEvEnvironment* Environment() const { return FEnvironment; }
    void SetEnvironment(TRpEvEnvironment* Value) { FEnvironment = Value; }
    TWordWrapEdit* Edit() const { return FEdit; }
    TPageState MainState() const { return FMainState; }
    void SetMainState(TPageState Value) { FMainState = Value; }
    // Sits in Parent at 0, 0 without border; its lists are filled at once.
    void Embed(TWinControl* AParent);
    bool Embedded() const { return FEmbedded; }

    // Waits for the user on the main page: HeadingText (when not empty) as
    // the heading, Expression in the edit, all of it selected.
    void Start(const std::string& HeadingText, const std::string& Expression);
    // Fills the data-set and variable lists again.
    void FillLists();
    // Replaces the selection of the expression by Text, the caret behind it.
    void InsertText(const std::string& Text);
    // The functions of category Index in AvailableFunc (0: all of them), the
    // first selected.
    void GetFunctionsCat(int Index);
    // Shows the heading and the explanation of function Index of the list.
    void SelectFunc(int Index);

protected:
    void DoShow() override;
    void DoClose(TCloseAction& Action) override;

private:
    TPanel* TopPanel;
    TLabel* TopLabel;

    TPanel* MainPage;
    TLabel* Heading;
    TGroupBox* InsertGroup;
    TButton* InsertDataFieldBtn;
    TButton* InsertFunctionBtn;
    TButton* InsertVariableBtn;
    TButton* AddPlus;
    TButton* AddMinus;
    TButton* AddMul;
    TButton* AddDiv;
    TButton* AddEqual;
    TButton* AddSmaller;
    TButton* AddLarger;
    TButton* AddNotEqual;
    TButton* AddLessEqual;
    TButton* AddGreaterEqual;
    TButton* AddNot;
    TButton* AddAnd;
    TButton* AddOr;
    TButton* Clear;
    TButton* ValidateBtn;
    TButton* OK;
    TButton* Cancel;

    TPanel* DataFieldPage;
    TGroupBox* DataFieldGroup;
    TListBox* AvailableDatasets;
    TListBox* AvailableFields;
    TButton* DataFieldOKBtn;
    TButton* DataFieldCancelBtn;

    TPanel* FunctionPage;
    TGroupBox* FunctionGroup;
    TListBox* Categories;
    TListBox* AvailableFunc;
    TLabel* FuncName;
    TLabel* FuncDescription;
    TButton* FunctionOKBtn;
    TButton* FunctionCancelBtn;

    TPanel* FuncParamsPage;
    TGroupBox* FuncParamsGroup;
    TLabel* CopyFuncName;
    TLabel* CopyFuncDescription;
    TScrollBox* FuncParamSB;
    TButton* FuncParamOkBtn;
    TButton* FuncArgCancelBtn;

    TPanel* VariablePage;
    TGroupBox* VariableGroup;
    TListBox* AvailableVariables;
    TLabel* VariableValue;
    TButton* ModifyVariables;
    TButton* VariableOKBtn;
    TButton* VariableCancelBtn;

    TPanel* NewPage(const std::string& Name);
    TButton* NewButton(TWinControl* Parent, const std::string& Name, const std::string& Caption, int Left,
                       int Top, int Width = 75, int Height = 25);
    // Brings Page to the front with MainPage disabled and waits for State.
    void WaitForPage(TPanel* Page, TPageState& State);
    void FillDatasets();
    void FillVariables();
    std::vector<TDataSet*> Datasets() const;

    void GetDatafield();
    void GetFunc();
    // Codes: one letter per argument; false when the page was cancelled.
    bool GetParams(const std::string& Codes, std::string& Params);
    void GetVariable();

    void AddOperatorClick(TObject* Sender);
    void ClearClick(TObject* Sender);
    void ValidateBtnClick(TObject* Sender);
    void OKClick(TObject* Sender);
    void CancelClick(TObject* Sender);
    void AvailableDatasetsClick(TObject* Sender);
    void AvailableFuncClick(TObject* Sender);
    void AvailableVariablesClick(TObject* Sender);
    void ModifyVariablesClick(TObject* Sender);
    void ParamButtonClick(int Index);

    TWordWrapEdit* FEdit = nullptr;
    TPageState FParamState = TPageState::Waiting;
    TPageState FFunctionState = TPageState::Waiting;
    TPageState FDataFieldState = TPageState::Waiting;
    TPageState FMainState = TPageState::Waiting;
    TCustomForm* FReportForm = nullptr;
    TPageState FVariableState = TPageState::Waiting;
    TRpEvEnvironment* FEnvironment = nullptr;
    bool FEmbedded = false;
    // The library entries AvailableFunc lists, in its order.
    std::vector<const TRpLibraryEntry*> FFuncEntries;
    // The controls of the parameter page, three per argument.
    std::vector<TEdit*> FParamEdits;
    std::vector<TControl*> FParamControls;
    std::string FParamFuncName;
};

// Lets the user build an expression. Heading (when not empty) replaces
// "Enter expression:"; Expression comes in selected and goes out on one line
// when the user accepts, empty when not. ReportForm offers its data sets,
// Environment its names (both may be nullptr). With a ParentControl the
// builder is embedded in it.
bool GetExpression(const std::string& Heading, std::string& Expression, TCustomForm* ReportForm,
                   TRpEvEnvironment* Environment, TWinControl* ParentControl);
