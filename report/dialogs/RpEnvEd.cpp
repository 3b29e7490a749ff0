#include "report/dialogs/RpEnvEd.h"

#include "platform/Application.h"
#include "platform/Controlbuilder.h"
#include "platform/ScopeGuard.h"
#include "report/Rp4const.h"
#include "report/dialogs/RpExpBld.h"

#include <memory>

namespace {

enum TUDFColumn { ucName = 0, ucExpression = 1 };

}  // namespace

TRpEnvironmentEditor::TRpEnvironmentEditor(TComponent* AOwner, TRpEvEnvironment* Environment, bool AllowGlobal)
    : TForm(AOwner), FEnvironment(Environment)
{
    SetName("RpEnvironmentEditor");
    SetCaption("User Defined Functions Edtor");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(376);
    SetClientHeight(269);

    AvailableGB = NewControl<TGroupBox>(this, this, "AvailableGB", "", 8, 4, 360, 225);
    AvailableGB->SetCaption("Available User Defined Functions");
    LocalCB = NewControl<TRadioButton>(this, AvailableGB, "LocalCB", "", 12, 18, 120, 17);
    LocalCB->SetCaption("&Local defines");
    GlobalCB = NewControl<TRadioButton>(this, AvailableGB, "GlobalCB", "", 168, 18, 120, 17);
    GlobalCB->SetCaption("&Global defines");
    UDFGrid = NewControl<TStringGrid>(this, AvailableGB, "UDFGrid", "", 12, 40, 336, 176);
    UDFGrid->SetColCount(2);
    UDFGrid->SetColWidths(ucName, 123);
    UDFGrid->SetColWidths(ucExpression, 165);
    UDFGrid->SetDefaultRowHeight(20);
    UDFGrid->SetFixedRows(1);
    UDFGrid->SetOptions({goEditing});

    NewEntryGB = NewControl<TGroupBox>(this, this, "NewEntryGB", "", 8, 4, 360, 225);
    NewEntryGB->SetCaption("New entry");
    NewEntryGB->SetVisible(false);
    NewControl<TLabel>(this, NewEntryGB, "", "Name", 16, 28, 80, 13);
    Name = NewControl<TEdit>(this, NewEntryGB, "Name", "", 16, 44, 328, 21);
    NewControl<TLabel>(this, NewEntryGB, "", "Expression", 16, 76, 80, 13);
    Expression = NewControl<TEdit>(this, NewEntryGB, "Expression", "", 16, 92, 300, 21);
    ExpressionBtn = NewControl<TButton>(this, NewEntryGB, "ExpressionBtn", "...", 320, 92, 24, 21);
    NewOKBtn = NewControl<TButton>(this, NewEntryGB, "NewOKBtn", "&OK", 100, 184, 75, 25);
    NewCancelBtn = NewControl<TButton>(this, NewEntryGB, "NewCancelBtn", "&Cancel", 184, 184, 75, 25);

    AddBtn = NewControl<TButton>(this, this, "AddBtn", "&Add", 8, 236, 75, 25);
    EditBtn = NewControl<TButton>(this, this, "EditBtn", "&Edit", 88, 236, 75, 25);
    DeleteBtn = NewControl<TButton>(this, this, "DeleteBtn", "&Delete", 168, 236, 75, 25);
    VariableOKBtn = NewControl<TButton>(this, this, "VariableOKBtn", "Close", 293, 236, 75, 25);
    VariableOKBtn->SetDefault(true);
    VariableOKBtn->SetModalResult(mrOk);

    LocalCB->OnClick = [this](TObject*) { PopulateGrid(); };
    GlobalCB->OnClick = [this](TObject*) { PopulateGrid(); };
    UDFGrid->OnSetEditText = [this](TObject*, int ACol, int ARow, const std::string& Value) {
        UDFGridSetEditText(ACol, ARow, Value);
    };
    UDFGrid->OnDblClick = [this](TObject*) { EditBtnClick(); };
    EditBtn->OnClick = [this](TObject*) { EditBtnClick(); };
    AddBtn->OnClick = [this](TObject*) { AddBtnClick(); };
    ExpressionBtn->OnClick = [this](TObject*) { ExpressionBtnClick(); };
    NewOKBtn->OnClick = [this](TObject*) { FNewEntryState = TNewEntryState::Accepted; };
    NewCancelBtn->OnClick = [this](TObject*) { FNewEntryState = TNewEntryState::Cancelled; };

    UDFGrid->SetCells(ucName, 0, LoadResString(SRpName));
    UDFGrid->SetCells(ucExpression, 0, LoadResString(SRpExpression));
    GlobalCB->SetEnabled(AllowGlobal);
    if (!FEnvironment) {
        LocalCB->SetEnabled(false);
        GlobalCB->SetChecked(true);
    } else {
        LocalCB->SetChecked(true);
    }
    PopulateGrid();
    DoCreate();
}

TRpEvEnvironment* TRpEnvironmentEditor::WorkingEnvironment() const
{
    return LocalCB->Checked() && FEnvironment ? FEnvironment : RpGlobalEnvironment();
}

void TRpEnvironmentEditor::PopulateGrid()
{
    const TRpEvEnvironment* Env = WorkingEnvironment();
    UDFGrid->HideEditor(false);
    UDFGrid->SetRowCount(Env->Count() + 1);
    for (int i = 0; i < Env->Count(); ++i) {
        UDFGrid->SetCells(ucName, i + 1, Env->Strings(i));
        UDFGrid->SetCells(ucExpression, i + 1, Env->Functions(i)->Expression());
    }
}

void TRpEnvironmentEditor::UDFGridSetEditText(int ACol, int ARow, const std::string& Value)
{
    TRpEvEnvironment* Env = WorkingEnvironment();
    const int Index = ARow - 1;
    if (Index < 0 || Index >= Env->Count())
        return;
    if (ACol == ucName) {
        // A name another entry has would hide one of the two: the old name stays.
        Env->RenameFunction(Index, Value);
        UDFGrid->SetCells(ucName, ARow, Env->Strings(Index));
    } else if (ACol == ucExpression) {
        // A running report reads the prepared expressions: no change then.
        if (Env->Prepared())
            UDFGrid->SetCells(ucExpression, ARow, Env->Functions(Index)->Expression());
        else
            Env->SetExpression(Index, Value);
    }
}

void TRpEnvironmentEditor::EditBtnClick()
{
    const int Row = UDFGrid->Row();
    if (Row < 1 || Row > WorkingEnvironment()->Count())
        return;
    std::string Text = UDFGrid->Cells(ucExpression, Row);
    if (GetExpression(UDFGrid->Cells(ucName, Row), Text, nullptr, FEnvironment, this))
        UDFGrid->SetEditText(ucExpression, Row, Text);
}

void TRpEnvironmentEditor::AddBtnClick()
{
    TButton* const Buttons[] = {AddBtn, EditBtn, DeleteBtn, VariableOKBtn};
    for (TButton* B : Buttons)
        B->SetVisible(false);
    TScopeExit Restore([this, &Buttons] {
        NewEntryGB->SetVisible(false);
        AvailableGB->BringToFront();
        for (TButton* B : Buttons)
            B->SetVisible(true);
    });
    UDFGrid->HideEditor(true);
    Name->SetText("");
    Expression->SetText("");
    NewEntryGB->SetVisible(true);
    NewEntryGB->BringToFront();
    if (Name->CanFocus())
        Name->SetFocus();
    FNewEntryState = TNewEntryState::Waiting;
    // Closing the dialog (a modal result) ends the wait as a cancel.
    while (FNewEntryState == TNewEntryState::Waiting && !FClosed && ModalResult() == mrNone)
        Application->HandleMessage();
    if (FNewEntryState != TNewEntryState::Accepted || FClosed || ModalResult() != mrNone)
        return;
    WorkingEnvironment()->AddFunction(Name->Text(), Expression->Text());
    PopulateGrid();
}

void TRpEnvironmentEditor::ExpressionBtnClick()
{
    std::string Text = Expression->Text();
    if (GetExpression(Name->Text(), Text, nullptr, FEnvironment, this))
        Expression->SetText(Text);
}

void TRpEnvironmentEditor::DoClose(TCloseAction& Action)
{
    FClosed = true;
    if (FNewEntryState == TNewEntryState::Waiting)
        FNewEntryState = TNewEntryState::Cancelled;
    TForm::DoClose(Action);
}

void EditEnvironment(TRpEvEnvironment* Environment, bool AllowGlobal, TControl* /*Control*/)
{
    const auto Editor = std::make_unique<TRpEnvironmentEditor>(nullptr, Environment, AllowGlobal);
    Editor->ShowModal();
}
