// The editor of an environment's named expressions: the report's own list
// (its Functions) or the process-wide one. Names and expressions are edited
// in a grid; new entries are added through the "New entry" group.
#pragma once

#include "platform/Forms.h"
#include "platform/Grids.h"
#include "platform/StdCtrls.h"
#include "report/RpExpr.h"

#include <functional>
#include <string>

class TRpEnvironmentEditor : public TForm {
public:
    // No Environment: only the global list can be edited. AllowGlobal false
    // keeps the user to the local list.
    TRpEnvironmentEditor(TComponent* AOwner, TRpEvEnvironment* Environment, bool AllowGlobal);

    // The list the grid shows: the local one while "&Local defines" is
    // checked, else the global one.
    TRpEvEnvironment* WorkingEnvironment() const;
    // One row per entry below the heading.
    void PopulateGrid();

protected:
    void DoClose(TCloseAction& Action) override;

private:
    enum class TNewEntryState { Waiting, Accepted, Cancelled };

    void UDFGridSetEditText(int ACol, int ARow, const std::string& Value);
    void EditBtnClick();
    void AddBtnClick();
    void ExpressionBtnClick();

    TGroupBox* AvailableGB;
    TRadioButton* LocalCB;
    TRadioButton* GlobalCB;
    TStringGrid* UDFGrid;
    TGroupBox* NewEntryGB;
    TEdit* Name;
    TEdit* Expression;
    TButton* ExpressionBtn;
    TButton* NewOKBtn;
    TButton* NewCancelBtn;
    TButton* AddBtn;
    TButton* EditBtn;
    TButton* DeleteBtn;
    TButton* VariableOKBtn;

    TNewEntryState FNewEntryState = TNewEntryState::Waiting;
    TRpEvEnvironment* FEnvironment;
    bool FClosed = false;
};

// Edits Environment (may be nil) or the global list modally. Control is the
// caller's control; the editor opens in the middle of the screen.
void EditEnvironment(TRpEvEnvironment* Environment, bool AllowGlobal, TControl* Control);
