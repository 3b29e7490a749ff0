#include "report/dialogs/RpExpBld.h"

#include "platform/Application.h"
#include "platform/Controlbuilder.h"
#include "platform/DB.h"
#include "platform/Dialogs.h"
#include "platform/ScopeGuard.h"
#include "report/Rp4const.h"
#include "report/dialogs/RpEnvEd.h"
#include "report/RpExpr.h"
#include "report/RpExtra.h"


namespace {

// The expression as one line: every line break (CR LF, LF or CR) is
// removed and nothing else.
std::string WithoutLineBreaks(const std::string& Text)
{
    std::string Result;
    Result.reserve(Text.size());
    for (size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] == '\r') {
            if (I + 1 < Text.size() && Text[I + 1] == '\n')
                ++I;
            continue;
        }
        if (Text[I] != '\n')
            Result += Text[I];
    }
    return Result;
}

// The library entries of the function list, in registry order.
std::vector<const TRpLibraryEntry*> EntriesOfCategory(int Index)
{
    std::vector<const TRpLibraryEntry*> Entries;
    const TRpFunctionLibrary* Library = RpFunctionLibrary();
    const char Digit = static_cast<char>('0' + Index);
    for (int I = 0; I < Library->Count(); ++I) {
        const TRpLibraryEntry* Entry = Library->GetEntry(I);
        if (Index == 0 || (!Entry->ArgumentCodes().empty() && Entry->ArgumentCodes()[0] == Digit))
            Entries.push_back(Entry);
    }
    return Entries;
}

std::string ArgumentLabel(char Code, int Number)
{
    switch (Code) {
    case 'B':
        return FormatResString(SRpExpBldLogical, Number);
    case 'N':
        return FormatResString(SRpExpBldNumeric, Number);
    case 'S':
        return FormatResString(SRpExpBldText, Number);
    default:
        return FormatResString(SRpExpBldValue, Number);
    }
}

}  // namespace

// ------------------------------------------------------------------ TWordWrapEdit

TWordWrapEdit::TWordWrapEdit(TComponent* AOwner) : TMemo(AOwner)
{
    SetScrollBars(ssNone);
    SetWordWrap(true);
    // Enter belongs to the form's default button, as in a one-line edit.
    SetWantReturns(false);
}

// ------------------------------------------------------------------ TRpExpressionBuilder

TButton* TRpExpressionBuilder::NewButton(TWinControl* Parent, const std::string& Name, const std::string& Caption,
                                         int Left, int Top, int Width, int Height)
{
    return NewControl<TButton>(this, Parent, Name, Caption, Left, Top, Width, Height);
}

TPanel* TRpExpressionBuilder::NewPage(const std::string& Name)
{
    auto* Page = NewControl<TPanel>(this, this, Name);
    Page->SetBevelOuter(bvNone);
    Page->SetAlign(alClient);
    return Page;
}

TRpExpressionBuilder::TRpExpressionBuilder(TComponent* AOwner) : TForm(AOwner)
{
    SetName("RpExpressionBuilder");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(378);
    SetClientHeight(317);

    TopPanel = NewControl<TPanel>(this, this, "TopPanel", "", 0, 0, 378, 36);
    TopPanel->SetAlign(alTop);
    TopPanel->SetBevelOuter(bvNone);
    TopPanel->SetParentColor(false);
    TopPanel->SetColor(clNavy);
    TopLabel = NewControl<TLabel>(this, TopPanel, "TopLabel", "Expression Builder", 12, 8);
    TopLabel->SetTransparent(true);
    TopLabel->Font()->SetName("Arial");
    TopLabel->Font()->SetSize(12);
    TopLabel->Font()->SetStyle(TFontStyles{fsBold});
    TopLabel->Font()->SetColor(clWhite);

    // The pages share the area under the top panel; the one in front is active.
    VariablePage = NewPage("VariablePage");
    VariableGroup = NewControl<TGroupBox>(this, VariablePage, "VariableGroup", "Select variable", 8, 4, 362, 232);
    AvailableVariables = NewControl<TListBox>(this, VariableGroup, "AvailableVariables", "", 10, 20, 342, 150);
    NewControl<TLabel>(this, VariableGroup, "", "Value :", 10, 180);
    VariableValue = NewControl<TLabel>(this, VariableGroup, "VariableValue", "", 60, 180, 290, 44);
    VariableValue->SetAutoSize(false);
    VariableValue->SetWordWrap(true);
    ModifyVariables = NewButton(VariablePage, "ModifyVariables", "&Modify variables", 8, 244, 110);
    VariableOKBtn = NewButton(VariablePage, "VariableOKBtn", "OK", 214, 244);
    VariableCancelBtn = NewButton(VariablePage, "VariableCancelBtn", "Cancel", 295, 244);

    FuncParamsPage = NewPage("FuncParamsPage");
    FuncParamsGroup = NewControl<TGroupBox>(this, FuncParamsPage, "FuncParamsGroup", "Enter parameters for function",
                                            8, 4, 362, 232);
    CopyFuncName = NewControl<TLabel>(this, FuncParamsGroup, "CopyFuncName", "", 10, 18);
    CopyFuncName->Font()->SetStyle(TFontStyles{fsBold});
    CopyFuncDescription = NewControl<TLabel>(this, FuncParamsGroup, "CopyFuncDescription", "", 10, 36, 342, 40);
    CopyFuncDescription->SetAutoSize(false);
    CopyFuncDescription->SetWordWrap(true);
    FuncParamSB = NewControl<TScrollBox>(this, FuncParamsGroup, "FuncParamSB", "", 10, 80, 342, 144);
    FuncParamOkBtn = NewButton(FuncParamsPage, "FuncParamOkBtn", "OK", 214, 244);
    FuncArgCancelBtn = NewButton(FuncParamsPage, "FuncArgCancelBtn", "Cancel", 295, 244);

    FunctionPage = NewPage("FunctionPage");
    FunctionGroup = NewControl<TGroupBox>(this, FunctionPage, "FunctionGroup", "Select function", 8, 4, 362, 232);
    NewControl<TLabel>(this, FunctionGroup, "", "Category", 10, 18);
    Categories = NewControl<TListBox>(this, FunctionGroup, "Categories", "", 10, 34, 120, 112);
    for (const char* Category :
         {"All", "Date & time", "Math & trig", "Statistical", "Database", "Logical", "Information", "Other"})
        Categories->Items()->Add(Category);
    NewControl<TLabel>(this, FunctionGroup, "", "Available functions", 140, 18);
    AvailableFunc = NewControl<TListBox>(this, FunctionGroup, "AvailableFunc", "", 140, 34, 212, 112);
    FuncName = NewControl<TLabel>(this, FunctionGroup, "FuncName", "", 10, 152);
    FuncName->Font()->SetStyle(TFontStyles{fsBold});
    FuncDescription = NewControl<TLabel>(this, FunctionGroup, "FuncDescription", "", 10, 170, 342, 54);
    FuncDescription->SetAutoSize(false);
    FuncDescription->SetWordWrap(true);
    FunctionOKBtn = NewButton(FunctionPage, "FunctionOKBtn", "Continue", 214, 244);
    FunctionCancelBtn = NewButton(FunctionPage, "FunctionCancelBtn", "Cancel", 295, 244);

    DataFieldPage = NewPage("DataFieldPage");
    DataFieldGroup = NewControl<TGroupBox>(this, DataFieldPage, "DataFieldGroup", "Insert database field in expression",
                                           8, 4, 362, 232);
    NewControl<TLabel>(this, DataFieldGroup, "", "Select dataset", 10, 18);
    AvailableDatasets = NewControl<TListBox>(this, DataFieldGroup, "AvailableDatasets", "", 10, 34, 165, 188);
    NewControl<TLabel>(this, DataFieldGroup, "", "Available fields", 187, 18);
    AvailableFields = NewControl<TListBox>(this, DataFieldGroup, "AvailableFields", "", 187, 34, 165, 188);
    DataFieldOKBtn = NewButton(DataFieldPage, "DataFieldOKBtn", "OK", 214, 244);
    DataFieldCancelBtn = NewButton(DataFieldPage, "DataFieldCancelBtn", "Cancel", 295, 244);

    MainPage = NewPage("MainPage");
    Heading = NewControl<TLabel>(this, MainPage, "Heading", "Enter expression:", 20, 16);
    FEdit = NewControl<TWordWrapEdit>(this, MainPage, "ExpressionEdit", "", 20, 36, 341, 91);
    InsertGroup = NewControl<TGroupBox>(this, MainPage, "InsertGroup", "Insert at cursor position", 20, 134, 341, 106);
    InsertDataFieldBtn = NewButton(InsertGroup, "InsertDataFieldBtn", "&Database field", 8, 18, 105);
    InsertFunctionBtn = NewButton(InsertGroup, "InsertFunctionBtn", "&Function", 118, 18, 105);
    InsertVariableBtn = NewButton(InsertGroup, "InsertVariableBtn", "&Variable", 228, 18, 105);
    int Left = 8;
    const auto Operator = [&](const char* Name, const char* Caption, int Width, int Top) {
        TButton* B = NewButton(InsertGroup, Name, Caption, Left, Top, Width, 22);
        B->OnClick = [this](TObject* Sender) { AddOperatorClick(Sender); };
        Left += Width + 8;
        return B;
    };
    AddPlus = Operator("AddPlus", "+", 24, 48);
    AddMinus = Operator("AddMinus", "-", 24, 48);
    AddMul = Operator("AddMul", "*", 24, 48);
    AddDiv = Operator("AddDiv", "/", 24, 48);
    AddEqual = Operator("AddEqual", "=", 24, 48);
    AddSmaller = Operator("AddSmaller", "<", 24, 48);
    AddLarger = Operator("AddLarger", ">", 24, 48);
    AddNotEqual = Operator("AddNotEqual", "<>", 24, 48);
    AddLessEqual = Operator("AddLessEqual", "<=", 24, 48);
    AddGreaterEqual = Operator("AddGreaterEqual", ">=", 24, 48);
    Left = 8;
    AddNot = Operator("AddNot", "Not", 40, 76);
    AddAnd = Operator("AddAnd", "And", 40, 76);
    AddOr = Operator("AddOr", "Or", 40, 76);
    Clear = NewButton(MainPage, "Clear", "&Clear", 20, 248);
    ValidateBtn = NewButton(MainPage, "ValidateBtn", "Valida&te", 100, 248);
    OK = NewButton(MainPage, "OK", "OK", 206, 248);
    OK->SetDefault(true);
    OK->SetModalResult(mrOk);
    Cancel = NewButton(MainPage, "Cancel", "Cancel", 286, 248);
    Cancel->SetCancel(true);
    Cancel->SetModalResult(mrCancel);

    InsertDataFieldBtn->OnClick = [this](TObject*) { GetDatafield(); };
    InsertFunctionBtn->OnClick = [this](TObject*) { GetFunc(); };
    InsertVariableBtn->OnClick = [this](TObject*) { GetVariable(); };
    Clear->OnClick = [this](TObject* Sender) { ClearClick(Sender); };
    ValidateBtn->OnClick = [this](TObject* Sender) { ValidateBtnClick(Sender); };
    OK->OnClick = [this](TObject* Sender) { OKClick(Sender); };
    Cancel->OnClick = [this](TObject* Sender) { CancelClick(Sender); };

    const auto Answer = [](TPageState& State, TPageState Value) {
        return [&State, Value](TObject*) { State = Value; };
    };
    DataFieldOKBtn->OnClick = Answer(FDataFieldState, TPageState::Accepted);
    DataFieldCancelBtn->OnClick = Answer(FDataFieldState, TPageState::Cancelled);
    AvailableFields->OnDblClick = Answer(FDataFieldState, TPageState::Accepted);
    AvailableDatasets->OnClick = [this](TObject* Sender) { AvailableDatasetsClick(Sender); };
    FunctionOKBtn->OnClick = Answer(FFunctionState, TPageState::Accepted);
    FunctionCancelBtn->OnClick = Answer(FFunctionState, TPageState::Cancelled);
    AvailableFunc->OnDblClick = Answer(FFunctionState, TPageState::Accepted);
    AvailableFunc->OnClick = [this](TObject* Sender) { AvailableFuncClick(Sender); };
    Categories->OnClick = [this](TObject*) { GetFunctionsCat(Categories->ItemIndex()); };
    FuncParamOkBtn->OnClick = Answer(FParamState, TPageState::Accepted);
    FuncArgCancelBtn->OnClick = Answer(FParamState, TPageState::Cancelled);
    VariableOKBtn->OnClick = Answer(FVariableState, TPageState::Accepted);
    VariableCancelBtn->OnClick = Answer(FVariableState, TPageState::Cancelled);
    AvailableVariables->OnDblClick = Answer(FVariableState, TPageState::Accepted);
    AvailableVariables->OnClick = [this](TObject* Sender) { AvailableVariablesClick(Sender); };
    ModifyVariables->OnClick = [this](TObject* Sender) { ModifyVariablesClick(Sender); };

    Categories->SetItemIndex(0);
    GetFunctionsCat(0);
    MainPage->BringToFront();
    DoCreate();
}

TRpExpressionBuilder::~TRpExpressionBuilder() = default;

void TRpExpressionBuilder::Embed(TWinControl* AParent)
{
    FEmbedded = true;
    SetBorderStyle(bsNone);
    SetParent(AParent);
    SetBounds(0, 0, Width(), Height());
    // OK and Cancel answer the builder only: as modal results they would
    // close the form the builder sits in.
    OK->SetModalResult(mrNone);
    OK->SetDefault(false);
    Cancel->SetModalResult(mrNone);
    Cancel->SetCancel(false);
    FillLists();
}

void TRpExpressionBuilder::DoShow()
{
    if (!FEmbedded)
        FillLists();
    TForm::DoShow();
}

void TRpExpressionBuilder::DoClose(TCloseAction& Action)
{
    if (ModalResult() == mrOk)
        FMainState = TPageState::Accepted;
    FParamState = FFunctionState = FDataFieldState = FVariableState = TPageState::Cancelled;
    if (FMainState != TPageState::Accepted)
        FMainState = TPageState::Cancelled;
    TForm::DoClose(Action);
}

void TRpExpressionBuilder::FillLists()
{
    FillDatasets();
    FillVariables();
}

void TRpExpressionBuilder::FillDatasets()
{
    AvailableDatasets->Clear();
    AvailableFields->Clear();
    const std::unique_ptr<TStringList> List = AllDataSets(FReportForm, true);
    for (int I = 0; I < List->Count(); ++I)
        AvailableDatasets->Items()->AddObject(List->Strings(I), List->Objects(I));
    if (AvailableDatasets->Count() > 0) {
        AvailableDatasets->SetItemIndex(0);
        AvailableDatasetsClick(AvailableDatasets);
    }
}

void TRpExpressionBuilder::FillVariables()
{
    AvailableVariables->Clear();
    if (FEnvironment)
        for (int I = 0; I < FEnvironment->Count(); ++I)
            AvailableVariables->Items()->Add(FEnvironment->Strings(I));
    const TRpEvEnvironment* Global = RpGlobalEnvironment();
    for (int I = 0; I < Global->Count(); ++I)
        AvailableVariables->Items()->Add(Global->Strings(I));
    VariableValue->SetCaption("");
    if (AvailableVariables->Count() > 0) {
        AvailableVariables->SetItemIndex(0);
        AvailableVariablesClick(AvailableVariables);
    }
}

std::vector<TDataSet*> TRpExpressionBuilder::Datasets() const
{
    std::vector<TDataSet*> Result;
    for (int I = 0; I < AvailableDatasets->Count(); ++I)
        if (auto* D = dynamic_cast<TDataSet*>(AvailableDatasets->Items()->Objects(I)))
            Result.push_back(D);
    return Result;
}

void TRpExpressionBuilder::InsertText(const std::string& Text)
{
    FEdit->SetSelText(Text);
    if (FEdit->CanFocus())
        FEdit->SetFocus();
}

void TRpExpressionBuilder::WaitForPage(TPanel* Page, TPageState& State)
{
    State = TPageState::Waiting;
    MainPage->SetEnabled(false);
    TScopeExit Back([this] {
        MainPage->SetEnabled(true);
        MainPage->BringToFront();
    });
    Page->BringToFront();
    while (State == TPageState::Waiting && ModalResult() == mrNone && !Application->Terminated())
        Application->HandleMessage();
    if (State == TPageState::Waiting)
        State = TPageState::Cancelled;
}

// ---------------------------------------------------------------- pages

void TRpExpressionBuilder::AvailableDatasetsClick(TObject*)
{
    AvailableFields->Clear();
    const int Index = AvailableDatasets->ItemIndex();
    if (Index < 0)
        return;
    if (auto* D = dynamic_cast<TDataSet*>(AvailableDatasets->Items()->Objects(Index)))
        for (int I = 0; I < D->FieldCount(); ++I)
            AvailableFields->Items()->Add(D->Fields()[I]->FieldName());
}

void TRpExpressionBuilder::GetDatafield()
{
    WaitForPage(DataFieldPage, FDataFieldState);
    if (FDataFieldState != TPageState::Accepted)
        return;
    const int Dataset = AvailableDatasets->ItemIndex();
    const int Field = AvailableFields->ItemIndex();
    if (Dataset < 0 || Field < 0)
        return;
    InsertText(AvailableDatasets->Items()->Strings(Dataset) + "." + AvailableFields->Items()->Strings(Field));
}

void TRpExpressionBuilder::GetFunctionsCat(int Index)
{
    AvailableFunc->Clear();
    FFuncEntries = EntriesOfCategory(Index);
    for (const TRpLibraryEntry* Entry : FFuncEntries)
        AvailableFunc->Items()->Add(Entry->Name());
    if (AvailableFunc->Count() > 0)
        AvailableFunc->SetItemIndex(0);
    SelectFunc(AvailableFunc->ItemIndex());
}

void TRpExpressionBuilder::SelectFunc(int Index)
{
    FuncName->SetCaption("");
    FuncDescription->SetCaption("");
    if (Index < 0 || Index >= static_cast<int>(FFuncEntries.size()))
        return;
    const std::string& Text = FFuncEntries[static_cast<size_t>(Index)]->Description();
    const size_t Bar = Text.find('|');
    FuncName->SetCaption(Text.substr(0, Bar));
    FuncDescription->SetCaption(Bar == std::string::npos ? "" : Text.substr(Bar + 1));
}

void TRpExpressionBuilder::AvailableFuncClick(TObject*)
{
    SelectFunc(AvailableFunc->ItemIndex());
}

void TRpExpressionBuilder::GetFunc()
{
    WaitForPage(FunctionPage, FFunctionState);
    const int Index = AvailableFunc->ItemIndex();
    if (FFunctionState != TPageState::Accepted || Index < 0 || Index >= static_cast<int>(FFuncEntries.size()))
        return;
    const TRpLibraryEntry* Entry = FFuncEntries[static_cast<size_t>(Index)];
    std::string Text = Entry->Name();
    if (Entry->ArgumentCodes().size() > 1) {
        std::string Params;
        if (!GetParams(Entry->ArgumentCodes().substr(1), Params))
            return;
        Text += "(" + Params + ")";
    }
    InsertText(Text);
}

bool TRpExpressionBuilder::GetParams(const std::string& Codes, std::string& Params)
{
    CopyFuncName->SetCaption(FuncName->Caption());
    CopyFuncDescription->SetCaption(FuncDescription->Caption());
    FParamFuncName = FuncName->Caption();
    TScopeExit Free([this] {
        for (TControl* C : FParamControls)
            delete C;
        FParamControls.clear();
        FParamEdits.clear();
    });
    const int BoxWidth = FuncParamSB->Width();
    for (size_t P = 0; P < Codes.size(); ++P) {
        const int Top = 40 * static_cast<int>(P);
        const std::string N = std::to_string(P);
        FParamControls.push_back(NewControl<TLabel>(this, FuncParamSB, "ParamLabel" + N,
                                                    ArgumentLabel(Codes[P], static_cast<int>(P) + 1), 10, Top));
        auto* Edit = NewControl<TEdit>(this, FuncParamSB, "ParamEdit" + N, "", 10, Top + 15, BoxWidth - 60, 21);
        FParamControls.push_back(Edit);
        FParamEdits.push_back(Edit);
        auto* Button =
            NewControl<TButton>(this, FuncParamSB, "ParamButton" + N, "...", BoxWidth - 40, Top + 15, 20, 20);
        Button->OnClick = [this, P](TObject*) { ParamButtonClick(static_cast<int>(P)); };
        FParamControls.push_back(Button);
    }
    // One row of 40 pixels per argument, scrolled a row at a step.
    FuncParamSB->VertScrollBar()->SetExtent(40 * static_cast<int>(Codes.size()));
    FuncParamSB->VertScrollBar()->SetIncrement(40);
    FuncParamSB->VertScrollBar()->SetPosition(0);
    WaitForPage(FuncParamsPage, FParamState);
    if (FParamState != TPageState::Accepted)
        return false;
    Params.clear();
    for (size_t P = 0; P < FParamEdits.size(); ++P)
        Params += (P > 0 ? "," : "") + FParamEdits[P]->Text();
    return true;
}

void TRpExpressionBuilder::ParamButtonClick(int Index)
{
    TEdit* Edit = FParamEdits.at(static_cast<size_t>(Index));
    std::string Expression = Edit->Text();
    if (GetExpression(FormatResString(SRpExpBldEnterParam, Index + 1, FParamFuncName), Expression, FReportForm,
                      FEnvironment, this))
        Edit->SetText(Expression);
    FuncParamsPage->BringToFront();
    if (Edit->CanFocus())
        Edit->SetFocus();
    Edit->SelectAll();
}

void TRpExpressionBuilder::AvailableVariablesClick(TObject*)
{
    const int Index = AvailableVariables->ItemIndex();
    VariableValue->SetCaption("");
    if (Index < 0)
        return;
    const std::string Name = AvailableVariables->Items()->Strings(Index);
    TRpEvEnvironment* Holder = FEnvironment && FEnvironment->IndexOf(Name) >= 0 ? FEnvironment : RpGlobalEnvironment();
    const int Entry = Holder->IndexOf(Name);
    if (Entry >= 0)
        VariableValue->SetCaption(Holder->Functions(Entry)->Expression());
}

void TRpExpressionBuilder::GetVariable()
{
    WaitForPage(VariablePage, FVariableState);
    const int Index = AvailableVariables->ItemIndex();
    if (FVariableState == TPageState::Accepted && Index >= 0)
        InsertText(AvailableVariables->Items()->Strings(Index));
}

void TRpExpressionBuilder::ModifyVariablesClick(TObject*)
{
    EditEnvironment(FEnvironment, true, this);
    FillVariables();
}

// ---------------------------------------------------------------- main page

void TRpExpressionBuilder::AddOperatorClick(TObject* Sender)
{
    if (auto* B = dynamic_cast<TButton*>(Sender))
        InsertText(" " + B->Caption() + " ");
}

void TRpExpressionBuilder::ClearClick(TObject*)
{
    FEdit->Clear();
}

void TRpExpressionBuilder::ValidateBtnClick(TObject*)
{
    TRpEvEnvironment* Global = RpGlobalEnvironment();
    Global->Prepare();
    TScopeExit UnprepareGlobal([Global] { Global->Unprepare(); });
    if (FEnvironment)
        FEnvironment->Prepare();
    TScopeExit UnprepareLocal([this] {
        if (FEnvironment)
            FEnvironment->Unprepare();
    });
    const std::vector<TDataSet*> List = Datasets();
    TRpDataSetFields Fields(&List);
    TRpEvaluator Evaluator;
    Evaluator.SetDatasets(&Fields);
    Evaluator.SetEnvironment(FEnvironment);
    TRpEvResult Value = Evaluator.Calculate(WithoutLineBreaks(FEdit->Text()));
    Value.ConvertToString();
    const std::string Text(Value.Text());
    if (!Value.IsError() && !Text.empty())
        ShowMessage(LoadResString(SRpExpBldNoError) + Text);
    else
        ShowMessage(LoadResString(SRpExpBldError) + Text);
}

void TRpExpressionBuilder::OKClick(TObject*)
{
    FMainState = TPageState::Accepted;
}

void TRpExpressionBuilder::CancelClick(TObject*)
{
    FMainState = TPageState::Cancelled;
}

void TRpExpressionBuilder::Start(const std::string& HeadingText, const std::string& Expression)
{
    if (!HeadingText.empty())
        Heading->SetCaption(HeadingText);
    FEdit->SetText(Expression);
    FEdit->SelectAll();
    FMainState = TPageState::Waiting;
    MainPage->BringToFront();
}

// ------------------------------------------------------------------ GetExpression

bool GetExpression(const std::string& Heading, std::string& Expression, TCustomForm* ReportForm,
                   TRpEvEnvironment* Environment, TWinControl* ParentControl)
{
    const auto Builder = std::make_unique<TRpExpressionBuilder>(nullptr);
    Builder->SetReportForm(ReportForm);
    Builder->SetEnvironment(Environment);
    if (ParentControl)
        Builder->Embed(ParentControl);
    Builder->Start(Heading, Expression);
    if (ParentControl) {
        Builder->Show();
        Builder->BringToFront();
        // The wait also ends when the form holding the builder closes.
        const TCustomForm* Host = GetParentForm(ParentControl);
        while (Builder->MainState() == TRpExpressionBuilder::TPageState::Waiting &&
               (!Host || Host->ModalResult() == mrNone) && !Application->Terminated())
            Application->HandleMessage();
    } else {
        Builder->ShowModal();
    }
    if (Builder->MainState() == TRpExpressionBuilder::TPageState::Accepted) {
        Expression = WithoutLineBreaks(Builder->Edit()->Text());
        return true;
    }
    Expression.clear();
    return false;
}
