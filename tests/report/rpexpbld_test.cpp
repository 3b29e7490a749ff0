#include "report/dialogs/RpEnvEd.h"
#include "report/dialogs/RpExpBld.h"
#include "report/dialogs/RpExprEditor.h"
#include "tests/support/Components.h"

#include "platform/Application.h"
#include "platform/DBTables.h"
#include "platform/DialogHook.h"
#include "platform/Graphics.h"
#include "platform/Timer.h"
#include "report/RpExpr.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using TState = TRpExpressionBuilder::TPageState;

// What the user does while the builder waits on one of its pages: each step
// runs on a later timer tick, once its condition holds. A step runs as a
// queued call, not in the timer's handler, so a step that opens a nested wait
// leaves the timer ticking for the steps that follow.
class TUser {
public:
    TUser()
    {
        FTimer.SetInterval(1);
        FTimer.OnTimer = [this](TObject*) {
            if (FQueued || FSteps.empty() || !FSteps.front().first())
                return;
            FQueued = true;
            QueueToMainThread([this, Step = std::move(FSteps.front().second)] {
                FQueued = false;
                Step();
            });
            FSteps.pop_front();
        };
    }
    void Then(std::function<bool()> Ready, std::function<void()> Step)
    {
        FSteps.emplace_back(std::move(Ready), std::move(Step));
    }
    // The step runs once a page of B waits (its main page is disabled).
    void OnPage(TRpExpressionBuilder& B, std::function<void()> Step)
    {
        Then([&B] { return !Find<TPanel>(&B, "MainPage")->Enabled(); }, std::move(Step));
    }
    bool Done() const { return FSteps.empty() && !FQueued; }

private:
    TTimer FTimer{nullptr};
    bool FQueued = false;
    std::deque<std::pair<std::function<bool()>, std::function<void()>>> FSteps;
};

// Picks the list entry Text as the user's click does; false when absent.
bool PickItem(TListBox* List, const std::string& Text)
{
    const int Index = List->Items()->IndexOf(Text);
    List->SetItemIndex(Index);
    if (List->OnClick)
        List->OnClick(List);
    return Index >= 0;
}

std::vector<std::string> Items(const TListBox* List)
{
    std::vector<std::string> Result;
    for (int I = 0; I < List->Count(); ++I)
        Result.push_back(List->Items()->Strings(I));
    return Result;
}

// The builder another builder holds embedded, nullptr when none.
TRpExpressionBuilder* EmbeddedIn(TRpExpressionBuilder& Outer)
{
    for (int I = 0; I < Outer.ControlCount(); ++I)
        if (auto* B = dynamic_cast<TRpExpressionBuilder*>(Outer.Controls(I)))
            return B;
    return nullptr;
}

class ExpressionBuilder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearAnsweredDialogs();
        SetDialogAnswerer([this](const TDialogRequest& R, TDialogAnswer& A) {
            if (R.Kind == TDialogKind::MessageBox) {
                Messages.push_back(R.Text);
                A.ModalResult = mrOk;
                return true;
            }
            if (auto* E = dynamic_cast<TRpEnvironmentEditor*>(R.Dialog); E && R.Kind == TDialogKind::ModalForm) {
                if (DriveEnvironment)
                    DriveEnvironment(*E);
                A.ModalResult = mrOk;
                return true;
            }
            auto* B = dynamic_cast<TRpExpressionBuilder*>(R.Dialog);
            if (R.Kind != TDialogKind::ModalForm || !B)
                return false;
            if (Drive)
                Drive(*B);
            A.ModalResult = mrNone;   // what the clicks left
            return true;
        });
    }
    void TearDown() override { SetDialogAnswerer(nullptr); }

    // Types Text into the builder's edit with the caret at its end.
    static void Type(TRpExpressionBuilder& B, const std::string& Text)
    {
        B.Edit()->SetText(Text);
        B.Edit()->SetSelStart(static_cast<int>(Text.size()));
    }

    std::function<void(TRpExpressionBuilder&)> Drive;
    std::function<void(TRpEnvironmentEditor&)> DriveEnvironment;
    std::vector<std::string> Messages;
};

}  // namespace

TEST_F(ExpressionBuilder, AcceptedExpressionComesBackOnOneLineAndCancelEmptiesIt)
{
    struct TCase {
        const char* Typed;
        const char* Button;
        bool Accepted;
        const char* Returned;
    } Cases[] = {
        {"1 +\n2", "OK", true, "1 +2"},
        {"'a' +\r\n'b' +\r'c'", "OK", true, "'a' +'b' +'c'"},
        {"2*21", "Cancel", false, ""},
    };
    for (const TCase& C : Cases) {
        std::string Shown;
        int Selected = -1;
        Drive = [&](TRpExpressionBuilder& B) {
            Shown = B.Edit()->Text();
            Selected = B.Edit()->SelLength();
            B.Edit()->SetText(C.Typed);
            Find<TButton>(&B, C.Button)->Click();
        };
        std::string Expression = "OLD";
        EXPECT_EQ(GetExpression("", Expression, nullptr, nullptr, nullptr), C.Accepted) << C.Typed;
        EXPECT_EQ(Expression, C.Returned) << C.Typed;
        EXPECT_EQ(Shown, "OLD");
        EXPECT_EQ(Selected, 3);
    }
}

TEST_F(ExpressionBuilder, OperatorButtonsInsertTheirCaptionBetweenBlanksAtTheCaret)
{
    TRpExpressionBuilder B(nullptr);
    const std::pair<const char*, const char*> Cases[] = {
        {"AddPlus", "a + b"},        {"AddMinus", "a - b"},         {"AddMul", "a * b"},
        {"AddDiv", "a / b"},         {"AddEqual", "a = b"},         {"AddSmaller", "a < b"},
        {"AddLarger", "a > b"},      {"AddNotEqual", "a <> b"},     {"AddLessEqual", "a <= b"},
        {"AddGreaterEqual", "a >= b"}, {"AddNot", "a Not b"},        {"AddAnd", "a And b"},
        {"AddOr", "a Or b"},
    };
    for (const auto& [Button, Expected] : Cases) {
        B.Edit()->SetText("ab");
        B.Edit()->SetSelStart(1);
        Find<TButton>(&B, Button)->Click();
        EXPECT_EQ(B.Edit()->Text(), Expected);
        EXPECT_EQ(B.Edit()->SelStart(), static_cast<int>(std::string(Expected).size()) - 1) << Button;
    }
    // A selection is replaced.
    B.Edit()->SetText("a?b");
    B.Edit()->SetSelStart(1);
    B.Edit()->SetSelLength(1);
    Find<TButton>(&B, "AddPlus")->Click();
    EXPECT_EQ(B.Edit()->Text(), "a + b");
    Find<TButton>(&B, "Clear")->Click();
    EXPECT_EQ(B.Edit()->Text(), "");
}

TEST_F(ExpressionBuilder, ValidateShowsTheResultOrTheError)
{
    TRpExpressionBuilder B(nullptr);
    const std::pair<const char*, const char*> Cases[] = {
        {"2*21", "There are no errors. The result is : 42"},
        {"2*\n21", "There are no errors. The result is : 42"},
        {"1/4", "There are no errors. The result is : 0.25"},
        {"'x'+'y'", "There are no errors. The result is : xy"},
        {"1<2", "There are no errors. The result is : True"},
        {"''", "ERROR: "},
    };
    for (const auto& [Typed, Shown] : Cases) {
        Messages.clear();
        B.Edit()->SetText(Typed);
        Find<TButton>(&B, "ValidateBtn")->Click();
        ASSERT_EQ(Messages.size(), 1u) << Typed;
        EXPECT_EQ(Messages[0], Shown) << Typed;
    }
    Messages.clear();
    B.Edit()->SetText("NOSUCHNAME");
    Find<TButton>(&B, "ValidateBtn")->Click();
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].rfind("ERROR: ", 0), 0u);
    EXPECT_GT(Messages[0].size(), std::string("ERROR: ").size());
}

TEST_F(ExpressionBuilder, CategoriesListTheirFunctionsInRegistryOrder)
{
    TRpExpressionBuilder B(nullptr);
    EXPECT_EQ(Items(Find<TListBox>(&B, "Categories")),
              (std::vector<std::string>{"All", "Date & time", "Math & trig", "Statistical", "Database", "Logical",
                                        "Information", "Other"}));
    EXPECT_EQ(Find<TListBox>(&B, "AvailableFunc")->Count(), RpFunctionLibrary()->Count());
    const std::pair<int, std::vector<std::string>> Cases[] = {
        {3, {"SUM", "COUNT", "MAX", "MIN", "AVERAGE"}},
        {4, {}},
        {1, {"TIME", "DATE"}},
    };
    auto* Categories = Find<TListBox>(&B, "Categories");
    for (const auto& [Category, Names] : Cases) {
        Categories->SetItemIndex(Category);
        Categories->OnClick(Categories);
        EXPECT_EQ(Items(Find<TListBox>(&B, "AvailableFunc")), Names) << Category;
        EXPECT_EQ(Find<TListBox>(&B, "AvailableFunc")->ItemIndex(), Names.empty() ? -1 : 0);
    }
    // The heading and explanation of the entry picked, split at the bar.
    Categories->SetItemIndex(0);
    Categories->OnClick(Categories);
    ASSERT_TRUE(PickItem(Find<TListBox>(&B, "AvailableFunc"), "COPY"));
    EXPECT_EQ(Find<TLabel>(&B, "FuncName")->Caption(), "COPY(<X>, <St>,<Len>)");
    const std::string& Description =
        RpFunctionLibrary()->GetEntry(RpFunctionLibrary()->IndexOf("COPY"))->Description();
    EXPECT_EQ(Find<TLabel>(&B, "FuncName")->Caption() + "|" + Find<TLabel>(&B, "FuncDescription")->Caption(),
              Description);
    B.SelectFunc(Find<TListBox>(&B, "AvailableFunc")->Count());
    EXPECT_EQ(Find<TLabel>(&B, "FuncName")->Caption(), "");
    EXPECT_EQ(Find<TLabel>(&B, "FuncDescription")->Caption(), "");
}

// The first argument is written in a builder that opens inside the
// parameter page; its OK must answer that builder only, not close the one
// it sits in.
TEST_F(ExpressionBuilder, FunctionIsInsertedWithTheParametersEnteredForIt)
{
    std::vector<std::string> Labels;
    int ScrollStep = 0;
    int ScrollExtent = 0;
    std::string InnerHeading;
    TModalResult OuterResultAfterInner = -1;
    Drive = [&](TRpExpressionBuilder& B) {
        TUser User;
        User.OnPage(B, [&] {
            ASSERT_TRUE(PickItem(Find<TListBox>(&B, "AvailableFunc"), "COPY"));
            Find<TButton>(&B, "FunctionOKBtn")->Click();
        });
        User.Then([&] { return B.FindComponent("ParamEdit2") != nullptr; },
                  [&] {
                      for (int P = 0; P < 3; ++P)
                          Labels.push_back(Find<TLabel>(&B, "ParamLabel" + std::to_string(P))->Caption());
                      TControlScrollBar* Bar = Find<TScrollBox>(&B, "FuncParamSB")->VertScrollBar();
                      ScrollStep = Bar->Increment();
                      ScrollExtent = Bar->Extent();
                      Find<TButton>(&B, "ParamButton0")->Click();
                  });
        User.Then([&] { return EmbeddedIn(B) != nullptr; },
                  [&] {
                      TRpExpressionBuilder* Inner = EmbeddedIn(B);
                      InnerHeading = Find<TLabel>(Inner, "Heading")->Caption();
                      Inner->Edit()->SetText("'abc'");
                      Find<TButton>(Inner, "OK")->Click();
                  });
        User.Then([&] { return EmbeddedIn(B) == nullptr; },
                  [&] {
                      OuterResultAfterInner = B.ModalResult();
                      Find<TEdit>(&B, "ParamEdit1")->SetText("1");
                      Find<TEdit>(&B, "ParamEdit2")->SetText("2");
                      Find<TButton>(&B, "FuncParamOkBtn")->Click();
                  });
        Type(B, "");
        Find<TButton>(&B, "InsertFunctionBtn")->Click();
        EXPECT_TRUE(User.Done());
        EXPECT_EQ(B.FindComponent("ParamEdit0"), nullptr);   // the page's controls are gone
        Find<TButton>(&B, "OK")->Click();
    };
    std::string Expression;
    EXPECT_TRUE(GetExpression("", Expression, nullptr, nullptr, nullptr));
    EXPECT_EQ(Expression, "COPY('abc',1,2)");
    EXPECT_EQ(Labels, (std::vector<std::string>{"Argument 1 - text Value", "Argument 2 - numeric value",
                                                "Argument 3 - numeric value"}));
    EXPECT_EQ(InnerHeading, "Enter 1. parameter for COPY(<X>, <St>,<Len>)");
    EXPECT_EQ(ScrollStep, 40);
    EXPECT_EQ(ScrollExtent, 3 * 40) << "40 pixels a letter";
    EXPECT_EQ(OuterResultAfterInner, mrNone);
}

TEST_F(ExpressionBuilder, FunctionWithoutArgumentsOrWithCancelledParameters)
{
    struct TCase {
        const char* Function;
        bool CancelParameters;
        const char* Inserted;
    } Cases[] = {
        {"COUNT", false, "COUNT"},
        {"SUM", false, "SUM(Price)"},
        {"SUM", true, ""},
    };
    for (const TCase& C : Cases) {
        TRpExpressionBuilder B(nullptr);
        TUser User;
        User.OnPage(B, [&] {
            ASSERT_TRUE(PickItem(Find<TListBox>(&B, "AvailableFunc"), C.Function));
            Find<TButton>(&B, "FunctionOKBtn")->Click();
        });
        if (std::string(C.Function) != "COUNT")
            User.Then([&] { return B.FindComponent("ParamEdit0") != nullptr; },
                      [&] {
                          Find<TEdit>(&B, "ParamEdit0")->SetText("Price");
                          Find<TButton>(&B, C.CancelParameters ? "FuncArgCancelBtn" : "FuncParamOkBtn")->Click();
                      });
        Find<TButton>(&B, "InsertFunctionBtn")->Click();
        EXPECT_TRUE(User.Done());
        EXPECT_EQ(B.Edit()->Text(), C.Inserted) << C.Function;
        EXPECT_TRUE(Find<TPanel>(&B, "MainPage")->Enabled());
    }
}

// Closing the window while a page waits ends that wait too.
TEST_F(ExpressionBuilder, ClosingTheBuilderWhileAPageWaitsCancelsIt)
{
    bool Returned = false;
    Drive = [&](TRpExpressionBuilder& B) {
        TUser User;
        User.OnPage(B, [&] { B.Close(); });
        Type(B, "1");
        Find<TButton>(&B, "InsertVariableBtn")->Click();
        Returned = true;
        EXPECT_EQ(B.Edit()->Text(), "1");
    };
    std::string Expression = "1";
    EXPECT_FALSE(GetExpression("", Expression, nullptr, nullptr, nullptr));
    EXPECT_TRUE(Returned);
    EXPECT_EQ(Expression, "");
}

namespace {

// A report form holding the query ORDERS (CITY, QTY) on a database in memory.
class OrdersForm {
public:
    OrdersForm()
    {
        auto* Db = new TDatabase(&Form);
        Db->SetDatabaseName(":memory:");
        Db->ExecSQL("CREATE TABLE ORDERS (CITY VARCHAR(20), QTY INTEGER);"
                    "INSERT INTO ORDERS VALUES ('Lyon', 2);");
        auto* Q = new TQuery(&Form);
        Q->SetName("ORDERS");
        Q->SetDatabase(Db);
        Q->SQL()->SetText("SELECT * FROM ORDERS");
        Q->Open();
    }
    TForm Form{nullptr};
};

}  // namespace

TEST_F(ExpressionBuilder, DatabaseFieldNeedsBothADatasetAndAField)
{
    OrdersForm Orders;
    struct TCase {
        int Field;   // -1: none selected
        bool Accept;
        const char* Inserted;
    } Cases[] = {{0, true, "ORDERS.CITY"}, {1, true, "ORDERS.QTY"}, {-1, true, ""}, {0, false, ""}};
    for (const TCase& C : Cases) {
        TRpExpressionBuilder B(nullptr);
        B.SetReportForm(&Orders.Form);
        B.FillLists();
        EXPECT_EQ(Items(Find<TListBox>(&B, "AvailableDatasets")), std::vector<std::string>{"ORDERS"});
        EXPECT_EQ(Items(Find<TListBox>(&B, "AvailableFields")), (std::vector<std::string>{"CITY", "QTY"}));
        TUser User;
        User.OnPage(B, [&] {
            Find<TListBox>(&B, "AvailableFields")->SetItemIndex(C.Field);
            Find<TButton>(&B, C.Accept ? "DataFieldOKBtn" : "DataFieldCancelBtn")->Click();
        });
        Find<TButton>(&B, "InsertDataFieldBtn")->Click();
        EXPECT_TRUE(User.Done());
        EXPECT_EQ(B.Edit()->Text(), C.Inserted) << C.Field;
    }
    // Validate reads the fields of the listed data sets.
    TRpExpressionBuilder B(nullptr);
    B.SetReportForm(&Orders.Form);
    B.FillLists();
    B.Edit()->SetText("ORDERS.CITY+'/'+STR(QTY)");
    Find<TButton>(&B, "ValidateBtn")->Click();
    EXPECT_EQ(Messages, std::vector<std::string>{"There are no errors. The result is : Lyon/2"});
}

TEST_F(ExpressionBuilder, VariablePageListsLocalThenGlobalNames)
{
    TRpEvEnvironment Local;
    Local.AddFunction("Rate", "1+2");
    Local.AddFunction("Title", "'x'");
    TRpExpressionBuilder B(nullptr);
    B.SetEnvironment(&Local);
    B.FillLists();
    std::vector<std::string> Expected{"RATE", "TITLE"};
    const TRpEvEnvironment* Global = RpGlobalEnvironment();
    for (int I = 0; I < Global->Count(); ++I)
        Expected.push_back(Global->Strings(I));
    ASSERT_GT(Global->Count(), 0);
    EXPECT_EQ(Items(Find<TListBox>(&B, "AvailableVariables")), Expected);
    EXPECT_EQ(Find<TListBox>(&B, "AvailableVariables")->ItemIndex(), 0);
    EXPECT_EQ(Find<TLabel>(&B, "VariableValue")->Caption(), "1+2");
    ASSERT_TRUE(PickItem(Find<TListBox>(&B, "AvailableVariables"), Global->Strings(0)));
    EXPECT_EQ(Find<TLabel>(&B, "VariableValue")->Caption(), Global->Functions(0)->Expression());

    TUser User;
    User.OnPage(B, [&] {
        ASSERT_TRUE(PickItem(Find<TListBox>(&B, "AvailableVariables"), "TITLE"));
        auto* Variables = Find<TListBox>(&B, "AvailableVariables");
        Variables->OnDblClick(Variables);
    });
    Find<TButton>(&B, "InsertVariableBtn")->Click();
    EXPECT_EQ(B.Edit()->Text(), "TITLE");

    // "Modify variables" opens the environment editor on the builder's
    // environment, the global one allowed, and lists the names again.
    bool GlobalAllowed = false;
    DriveEnvironment = [&](TRpEnvironmentEditor& E) {
        EXPECT_EQ(E.WorkingEnvironment(), &Local);
        GlobalAllowed = Find<TRadioButton>(&E, "GlobalCB")->Enabled();
        Local.AddFunction("Extra", "3");
    };
    Find<TButton>(&B, "ModifyVariables")->Click();
    EXPECT_TRUE(GlobalAllowed);
    EXPECT_EQ(Find<TListBox>(&B, "AvailableVariables")->Items()->Strings(2), "EXTRA");
}

TEST_F(ExpressionBuilder, ExpressionEditorOpensTheBuilderOnItsExpression)
{
    TRpExprEditorForm Editor(nullptr);
    for (const bool Accept : {false, true}) {
        std::string Shown;
        Drive = [&](TRpExpressionBuilder& B) {
            Shown = B.Edit()->Text();
            B.Edit()->SetText("2*21");
            Find<TButton>(&B, Accept ? "OK" : "Cancel")->Click();
        };
        Find<TEdit>(&Editor, "Value")->SetText("1+1");
        Find<TSpeedButton>(&Editor, "ShowExprBuilder")->Click();
        EXPECT_EQ(Shown, "1+1");
        EXPECT_EQ(Find<TEdit>(&Editor, "Value")->Text(), Accept ? "2*21" : "1+1");
    }
}

TEST_F(ExpressionBuilder, MainPageScreenshot)
{
    OrdersForm Orders;
    Drive = [&](TRpExpressionBuilder& B) {
        B.Edit()->SetSelStart(static_cast<int>(B.Edit()->Text().size()));
        Find<TButton>(&B, "AddPlus")->Click();
        B.Edit()->SetSelText("1");
        Application->ProcessMessages();
        std::unique_ptr<TBitmap> Image(B.GetFormImage());
        ASSERT_NE(Image, nullptr);
        EXPECT_EQ(Image->Width(), 378);
        Image->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/report-expression-builder.png");
        Find<TButton>(&B, "Cancel")->Click();
    };
    std::string Expression = "IF(ORDERS.QTY > 1, 'Many ' + ORDERS.CITY, COPY(ORDERS.CITY, 1, 3))";
    GetExpression("", Expression, &Orders.Form, nullptr, nullptr);
}
