#include "report/dialogs/RpEnvEd.h"
#include "report/dialogs/RpExpBld.h"

#include "platform/Application.h"
#include "platform/DialogHook.h"
#include "platform/Graphics.h"
#include "platform/ScopeGuard.h"
#include "report/RpReport.h"
#include "tests/support/Components.h"
#include "tests/support/ProcessEvents.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// What the expression builder the editor embeds was asked.
struct TBuilderQuestion {
    std::string Heading;
    std::string Offered;
    TControl* Parent = nullptr;
};

// Answers the builder the editor embeds, once it is open: keeps what it was
// asked, types Expression and presses its OK.
void AnswerBuilder(TRpEnvironmentEditor& F, const std::string& Expression, TBuilderQuestion& Asked)
{
    QueueToMainThread([&F, Expression, &Asked] {
        TRpExpressionBuilder* B = nullptr;
        for (int I = 0; I < F.ControlCount() && !B; ++I)
            B = dynamic_cast<TRpExpressionBuilder*>(F.Controls(I));
        if (!B || B->MainState() != TRpExpressionBuilder::TPageState::Waiting) {
            AnswerBuilder(F, Expression, Asked);   // not waiting yet
            return;
        }
        Asked = {Find<TLabel>(B, "Heading")->Caption(), B->Edit()->Text(), B->Parent()};
        B->Edit()->SetText(Expression);
        Find<TButton>(B, "OK")->Click();
    });
}

// Opens the editor on a report's Functions (PAGENUMBER, COLUMNNUMBER,
// REPORTTITLE) and lets Drive work its controls while it is shown.
class EnvironmentEditor : public ::testing::Test {
protected:
    void SetUp() override { ClearAnsweredDialogs(); }
    void TearDown() override { SetDialogAnswerer(nullptr); }

    void Edit(TRpEvEnvironment* Environment, bool AllowGlobal, std::function<void(TRpEnvironmentEditor&)> Drive)
    {
        bool Shown = false;
        SetDialogAnswerer([&](const TDialogRequest& R, TDialogAnswer& A) {
            auto* Form = dynamic_cast<TRpEnvironmentEditor*>(R.Dialog);
            if (R.Kind != TDialogKind::ModalForm || !Form)
                return false;
            Shown = true;
            EXPECT_EQ(Form->Caption(), "User Defined Functions Edtor");
            Drive(*Form);
            A.ModalResult = mrOk;
            return true;
        });
        EditEnvironment(Environment, AllowGlobal, nullptr);
        EXPECT_TRUE(Shown);
    }

    static TStringGrid* Grid(TRpEnvironmentEditor& F) { return Find<TStringGrid>(&F, "UDFGrid"); }

    // The grid's rows below the heading, as "NAME=expression".
    static std::vector<std::string> Rows(TRpEnvironmentEditor& F)
    {
        std::vector<std::string> Out;
        for (int Row = 1; Row < Grid(F)->RowCount(); ++Row)
            Out.push_back(Grid(F)->Cells(0, Row) + "=" + Grid(F)->Cells(1, Row));
        return Out;
    }

    TRpReport Report{nullptr};
    TRpEvEnvironment* Functions = Report.Functions();
};

const std::vector<std::string> ReportRows = {"PAGENUMBER=0", "COLUMNNUMBER=0", "REPORTTITLE=''"};

}  // namespace

TEST_F(EnvironmentEditor, NewEntryAddsToTheListOnOkOnly)
{
    struct {
        const char* What;
        const char* Button;
        bool Added;
    } const Cases[] = {{"OK", "NewOKBtn", true}, {"Cancel", "NewCancelBtn", false}};
    for (const auto& C : Cases) {
        Functions->DeleteFunction("TAX");
        TBuilderQuestion Asked;
        std::vector<std::string> Shown;
        Edit(Functions, true, [&](TRpEnvironmentEditor& F) {
            auto* NewEntry = Find<TGroupBox>(&F, "NewEntryGB");
            auto* Add = Find<TButton>(&F, "AddBtn");
            // Answered while "&Add" waits for the group's OK or Cancel.
            QueueToMainThread([&] {
                EXPECT_TRUE(NewEntry->Visible());
                for (const char* B : {"AddBtn", "EditBtn", "DeleteBtn", "VariableOKBtn"})
                    EXPECT_FALSE(Find<TButton>(&F, B)->Visible()) << B;
                Find<TEdit>(&F, "Name")->SetText("tax");
                AnswerBuilder(F, "0.2", Asked);
                Find<TButton>(&F, "ExpressionBtn")->Click();
                EXPECT_EQ(Asked.Parent, &F) << "the builder sits in the editor";
                Find<TButton>(&F, C.Button)->Click();
            });
            Add->Click();
            EXPECT_FALSE(NewEntry->Visible()) << C.What;
            EXPECT_TRUE(Add->Visible()) << C.What;
            EXPECT_TRUE(Find<TButton>(&F, "VariableOKBtn")->Visible()) << C.What;
            Shown = Rows(F);
        });
        EXPECT_EQ(Asked.Heading, "tax") << C.What;
        std::vector<std::string> Expected = ReportRows;
        if (C.Added)
            Expected.push_back("TAX=0.2");
        EXPECT_EQ(Shown, Expected) << C.What;
        const int Index = Functions->IndexOf("TAX");
        ASSERT_EQ(Index >= 0, C.Added) << C.What;
        if (C.Added) {
            EXPECT_EQ(Functions->Functions(Index)->Expression(), "0.2");
        }
    }
}

TEST_F(EnvironmentEditor, ClosingTheDialogEndsTheWaitForANewEntry)
{
    Edit(Functions, true, [&](TRpEnvironmentEditor& F) {
        QueueToMainThread([&] {
            Find<TEdit>(&F, "Name")->SetText("LOST");
            F.Close();
        });
        Find<TButton>(&F, "AddBtn")->Click();
        EXPECT_TRUE(Find<TButton>(&F, "AddBtn")->Visible());
    });
    EXPECT_EQ(Functions->IndexOf("LOST"), -1);
}

TEST_F(EnvironmentEditor, ExpressionCellsChangeTheEntryOnlyWhenNoReportRuns)
{
    enum TWay { Typed, EditButton, DoubleClick };
    struct {
        const char* What;
        bool Running;
        TWay Way;
        std::string Cell;
        std::string Entry;
    } const Cases[] = {
        {"typed", false, Typed, "5", "5"},
        {"typed during a run", true, Typed, "0", "0"},
        {"&Edit", false, EditButton, "PAGENUMBER+1", "PAGENUMBER+1"},
        {"&Edit during a run", true, EditButton, "0", "0"},
        {"double-click", false, DoubleClick, "PAGENUMBER+1", "PAGENUMBER+1"},
    };
    for (const auto& C : Cases) {
        Functions->SetExpression(Functions->IndexOf("COLUMNNUMBER"), "0");
        if (C.Running)
            Functions->Prepare();
        TScopeExit EndRun([&] {
            if (C.Running)
                Functions->Unprepare();
        });
        TRpEvEmbeddedFunction* Before = Functions->Functions(1);
        TBuilderQuestion Asked;
        std::string Cell;
        Edit(Functions, true, [&](TRpEnvironmentEditor& F) {
            TStringGrid* G = Grid(F);
            G->SetRow(2);
            const TRect R = G->CellRect(1, 2);
            if (C.Way != Typed)
                AnswerBuilder(F, "PAGENUMBER+1", Asked);
            if (C.Way == EditButton)
                Find<TButton>(&F, "EditBtn")->Click();
            else if (C.Way == DoubleClick)
                G->WidgetMouseDown(mbLeft, {ssDouble}, R.Left + 5, R.Top + 5, true);
            else
                G->SetEditText(1, 2, "5");
            Cell = G->Cells(1, 2);
        });
        EXPECT_EQ(Cell, C.Cell) << C.What;
        EXPECT_EQ(Functions->Functions(1)->Expression(), C.Entry) << C.What;
        if (C.Way != Typed) {
            EXPECT_EQ(Asked.Heading, "COLUMNNUMBER") << C.What;
            EXPECT_EQ(Asked.Offered, "0") << C.What;
        }
        if (C.Running) {
            EXPECT_EQ(Functions->Functions(1), Before) << "the run keeps reading the prepared entry";
            continue;
        }
        // The replaced entry is what an expression now reads.
        Functions->Prepare();
        TScopeExit EndCheck([&] { Functions->Unprepare(); });
        TRpEvaluator Evaluator;
        Evaluator.SetEnvironment(Functions);
        const TRpEvResult Result = Evaluator.Calculate("COLUMNNUMBER");
        EXPECT_EQ(Result.Kind(), resInt) << C.What;
        EXPECT_EQ(RpEvResultToInt(Result), C.Entry == "5" ? 5 : 1) << C.What;
    }
}

TEST_F(EnvironmentEditor, AnEmptyListHasNothingToEdit)
{
    // Nothing to edit opens no builder (one would wait for an answer here).
    TRpEvEnvironment Empty;
    Edit(&Empty, true, [&](TRpEnvironmentEditor& F) {
        EXPECT_EQ(Grid(F)->RowCount(), 1);
        Find<TButton>(&F, "EditBtn")->Click();
        Grid(F)->SetEditText(0, 1, "ghost");
        Grid(F)->SetEditText(1, 1, "1");
    });
    EXPECT_EQ(Empty.Count(), 0);
}

TEST_F(EnvironmentEditor, NameCellsRenameInUpperCaseButNeverToATakenName)
{
    struct {
        std::string Typed;
        std::string Name;
    } const Cases[] = {{"pageNo", "PAGENO"}, {"ReportTitle", "REPORTTITLE"}, {"Title", "TITLE"}};
    for (const auto& C : Cases) {
        std::string Cell;
        Edit(Functions, true, [&](TRpEnvironmentEditor& F) {
            Grid(F)->SetEditText(0, 1, C.Typed);
            Cell = Grid(F)->Cells(0, 1);
        });
        if (C.Name == "REPORTTITLE") {
            // Taken by the third entry: the first keeps its name.
            EXPECT_EQ(Cell, "PAGENO");
            EXPECT_EQ(Functions->Strings(0), "PAGENO");
        } else {
            EXPECT_EQ(Cell, C.Name);
            EXPECT_EQ(Functions->Strings(0), C.Name);
        }
        EXPECT_EQ(Functions->Functions(0)->Expression(), "0");
    }
    EXPECT_EQ(Functions->Strings(2), "REPORTTITLE");
}

TEST_F(EnvironmentEditor, TheRadioButtonsChooseTheListTheGridShows)
{
    std::vector<std::string> Global;
    for (int i = 0; i < RpGlobalEnvironment()->Count(); ++i)
        Global.push_back(RpGlobalEnvironment()->Strings(i) + "=" + RpGlobalEnvironment()->Functions(i)->Expression());
    struct {
        const char* What;
        TRpEvEnvironment* Environment;
        bool AllowGlobal;
        bool LocalEnabled, GlobalEnabled, GlobalChecked;
    } const Cases[] = {
        {"local and global", Functions, true, true, true, false},
        {"local only", Functions, false, true, false, false},
        {"no environment", nullptr, true, false, true, true},
    };
    for (const auto& C : Cases) {
        Edit(C.Environment, C.AllowGlobal, [&](TRpEnvironmentEditor& F) {
            auto* Local = Find<TRadioButton>(&F, "LocalCB");
            auto* GlobalCB = Find<TRadioButton>(&F, "GlobalCB");
            EXPECT_EQ(Local->Enabled(), C.LocalEnabled) << C.What;
            EXPECT_EQ(GlobalCB->Enabled(), C.GlobalEnabled) << C.What;
            EXPECT_EQ(GlobalCB->Checked(), C.GlobalChecked) << C.What;
            EXPECT_EQ(Grid(F)->Cells(0, 0), "Name");
            EXPECT_EQ(Grid(F)->Cells(1, 0), "Expression");
            EXPECT_EQ(Rows(F), C.GlobalChecked ? Global : ReportRows) << C.What;
            if (!C.Environment)
                return;
            GlobalCB->SetChecked(true);
            EXPECT_EQ(Rows(F), Global) << C.What;
            Local->SetChecked(true);
            EXPECT_EQ(Rows(F), ReportRows) << C.What;
        });
    }
}

TEST_F(EnvironmentEditor, Screenshot)
{
    Functions->AddFunction("TAX", "0.2");
    TRpEnvironmentEditor F(nullptr, Functions, true);
    F.Show();
    ProcessFor(150);
    std::unique_ptr<TBitmap> Image(F.GetFormImage());
    ASSERT_TRUE(Image);
    const std::string Name = std::string(OZ_TEST_ARTIFACTS) + "/report-environment-editor.png";
    Image->SaveToFile(Name);
    EXPECT_GT(std::filesystem::file_size(Name), 1000u);
}
