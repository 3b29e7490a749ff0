#include "report/dialogs/RpCompEd.h"

#include "platform/DialogHook.h"
#include "report/RpPrntr.h"
#include "tests/support/Components.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

class CompEd : public ::testing::Test {
protected:
    void SetUp() override
    {
        R.SetUnits(TRpUnit::MM);
        R.Page()->SetPaperSize(TRpPaperSize::A4);
        R.Page()->SetTopMargin(10);
        SetDialogAnswerer([](const TDialogRequest&, TDialogAnswer& A) {
            A.ModalResult = 1;
            return true;
        });
        ClearAnsweredDialogs();
        Ed.SetRpReport(&R);
    }
    void TearDown() override { SetDialogAnswerer(nullptr); }

    TRpReport R{nullptr};
    TRpCompEd Ed{nullptr};
};

TEST_F(CompEd, ShowsTheReportAndHoldsEveryPaperSorted)
{
    EXPECT_EQ(Ed.Caption(), "Report Settings");
    EXPECT_EQ(Find<TEdit>(&Ed, "Topmargin")->Text(), "10.00");
    EXPECT_EQ(Find<TComboBox>(&Ed, "PaperSize")->Text(), RpPaperName(TRpPaperSize::A4));
    std::vector<std::string> Names;
    for (int I = 0; I < Find<TComboBox>(&Ed, "PaperSize")->Items()->Count(); ++I)
        Names.push_back(Find<TComboBox>(&Ed, "PaperSize")->Items()->Strings(I));
    EXPECT_EQ(Names.size(), 28u);
    EXPECT_TRUE(std::is_sorted(Names.begin(), Names.end()));
    std::unique_ptr<TBitmap> Shot(Ed.GetFormImage());
    Shot->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/report_settings.png");
    // The heading: the caption on a navy shape with the picture at its end.
    TCanvas* C = Shot->Canvas();
    EXPECT_EQ(C->Pixels(350, 4), clNavy);
    const TPaintBox* Picture = Find<TPaintBox>(&Ed, "HeadingPicture");
    int Drawn = 0;
    for (int Y = Picture->Top(); Y < Picture->Top() + Picture->Height(); ++Y)
        for (int X = Picture->Left(); X < Picture->Left() + Picture->Width(); ++X)
            Drawn += C->Pixels(X, Y) != clNavy ? 1 : 0;
    EXPECT_GT(Drawn, 200);
    EXPECT_EQ(Find<TLabel>(&Ed, "HeadingLabel")->Font()->Color(), clWhite);
}

TEST_F(CompEd, LeavingANumericEditFormatsOrRefuses)
{
    struct Case {
        const char* Typed;
        const char* Shown;
        const char* Message;   // "" none
    };
    for (const Case& C : {Case{"999.999", "1000.00", ""}, Case{"12.5", "12.50", ""},
                          Case{"1000.5", "10.00", "Value too big"}, Case{"1500", "10.00", "Value too big"},
                          Case{"x", "10.00", "'x' is not a valid floating point value"}}) {
        ClearAnsweredDialogs();
        Find<TEdit>(&Ed, "Topmargin")->SetText("10.00");
        Ed.EditEnter(Find<TEdit>(&Ed, "Topmargin"));
        Find<TEdit>(&Ed, "Topmargin")->SetText(C.Typed);
        Ed.EditExit(Find<TEdit>(&Ed, "Topmargin"));
        EXPECT_EQ(Find<TEdit>(&Ed, "Topmargin")->Text(), C.Shown) << C.Typed;
        if (*C.Message) {
            ASSERT_EQ(AnsweredDialogs().size(), 1u) << C.Typed;
            EXPECT_EQ(AnsweredDialogs()[0].Text, C.Message);
        } else {
            EXPECT_TRUE(AnsweredDialogs().empty()) << C.Typed;
        }
    }
}

TEST_F(CompEd, ColumnsStopAtOneAndApplyKeepsOnlyTheTwoOptions)
{
    Find<TSpeedButton>(&Ed, "ColumnsDown")->Click();
    EXPECT_EQ(Find<TEdit>(&Ed, "Columns")->Text(), "1");
    Find<TSpeedButton>(&Ed, "ColumnsUp")->Click();
    EXPECT_EQ(Find<TEdit>(&Ed, "Columns")->Text(), "2");

    R.SetOptions({TRpReportOption::Compression, TRpReportOption::FirstPageHeader});
    Ed.GetValues();
    Find<TEdit>(&Ed, "Columns")->SetText("3");
    Find<TEdit>(&Ed, "Topmargin")->SetText("25.00");
    Find<TCheckBox>(&Ed, "LastPageFooter")->SetChecked(true);
    Find<TButton>(&Ed, "ApplyBtn")->Click();
    EXPECT_EQ(R.Options(), (TRpReportOptions{TRpReportOption::FirstPageHeader, TRpReportOption::LastPageFooter}));
    EXPECT_EQ(R.Page()->Columns(), 3);
    EXPECT_DOUBLE_EQ(static_cast<double>(R.Page()->TopMargin()), 25);
    EXPECT_EQ(R.Page()->PaperSize(), TRpPaperSize::A4);
    EXPECT_EQ(Find<TEdit>(&Ed, "Topmargin")->Text(), "25.00");
}

TEST_F(CompEd, BandsExistExactlyWhenTickedAndTakeTheirLength)
{
    R.Bands()->SetHasTitle(true);
    R.Bands()->GetBand(1)->Size()->SetHeight(20);
    Ed.GetValues();
    EXPECT_TRUE(Find<TCheckBox>(&Ed, "Title")->Checked());
    EXPECT_EQ(Find<TEdit>(&Ed, "TitleLength")->Text(), "20.00");
    EXPECT_FALSE(Find<TCheckBox>(&Ed, "Detail")->Checked());
    EXPECT_EQ(Find<TEdit>(&Ed, "DetailLength")->Text(), "");

    Find<TCheckBox>(&Ed, "Title")->SetChecked(false);   // title goes
    Find<TCheckBox>(&Ed, "Detail")->SetChecked(true);    // detail comes with its length
    Find<TEdit>(&Ed, "DetailLength")->SetText("15");
    Find<TCheckBox>(&Ed, "PageFooter")->SetChecked(true);    // page footer keeps its own height
    Ed.SetValues();
    EXPECT_FALSE(R.Bands()->HasTitle());
    ASSERT_TRUE(R.Bands()->HasDetail());
    EXPECT_DOUBLE_EQ(static_cast<double>(R.Bands()->GetBand(4)->Size()->Height()), 15);
    EXPECT_TRUE(R.Bands()->HasPageFooter());
}

TEST_F(CompEd, FrameFontAndUnitsGoToTheReport)
{
    EXPECT_EQ(Find<TComboBox>(&Ed, "FontSize")->Items()->Count(), 16);
    Find<TSpeedButton>(&Ed, "PenWidthDown")->Click();
    EXPECT_EQ(Find<TEdit>(&Ed, "PageFramePenWidth")->Text(), "0");
    Find<TSpeedButton>(&Ed, "PenWidthUp")->Click();
    Find<TCheckBox>(&Ed, "PageFrameTop")->SetChecked(true);
    SetDialogAnswerer([](const TDialogRequest& Q, TDialogAnswer& A) {
        if (Q.Kind != TDialogKind::Color)
            return false;
        A.ModalResult = 1;
        A.Color = 0x0000FF;
        return true;
    });
    Find<TButton>(&Ed, "ChangeColor")->Click();
    Find<TComboBox>(&Ed, "FontSize")->SetText("14");
    Find<TComboBox>(&Ed, "Units")->SetItemIndex(1);
    Ed.SetValues();
    EXPECT_TRUE(R.Frame()->DrawTop());
    EXPECT_FALSE(R.Frame()->DrawLeft());
    EXPECT_EQ(R.Frame()->Width(), 1);
    EXPECT_EQ(R.Frame()->Color(), 0x0000FFu);
    EXPECT_EQ(R.Font()->Size(), 14);
    EXPECT_EQ(R.Units(), TRpUnit::Inches);
}

TEST_F(CompEd, ControlsSitInTheirGroups)
{
    const struct {
        const char* Name;
        const char* Group;
    } Cases[] = {{"PaperSize", "Paper size"}, {"PageWidth", "Paper size"},     {"OrientationCB", "Paper size"},
                 {"Topmargin", "Margins"},    {"Columns", "Margins"},          {"FontName", "Other"},
                 {"Units", "Other"},          {"PageFrameTop", "Page frame"},  {"FrameColor", "Page frame"},
                 {"PageFramePenWidth", "Page frame"}, {"PageHeader", "Bands"}, {"PageFooterLength", "Bands"},
                 {"LastPageFooter", "Bands"}};
    for (const auto& K : Cases) {
        const TControl* C = Find<TControl>(&Ed, K.Name);
        ASSERT_NE(C, nullptr);
        auto* Group = dynamic_cast<TGroupBox*>(C->Parent());
        ASSERT_NE(Group, nullptr) << K.Name;
        EXPECT_EQ(Group->Caption(), K.Group) << K.Name;
    }
    EXPECT_EQ(Find<TLabel>(&Ed, "HeadingLabel")->Caption(), "Report Settings");
    EXPECT_EQ(Find<TEdit>(&Ed, "PageWidth")->Text(), "210.00");
    EXPECT_EQ(Find<TEdit>(&Ed, "PageLength")->Text(), "297.00");
}

TEST_F(CompEd, NumericEditsTakeDigitsThePointAndBackspaceOnly)
{
    for (const char* Name :
         {"Topmargin", "PageWidth", "Columns", "FontSize", "PageFramePenWidth", "ColumnHeaderLength"}) {
        TWinControl* Edit = Find<TWinControl>(&Ed, Name);
        for (const char Typed : {'0', '7', '9', '.', '\b'}) {
            char Key = Typed;
            Edit->WidgetKeyPress(Key);
            EXPECT_EQ(Key, Typed) << Edit->Name() << " " << static_cast<int>(Typed);
        }
        for (const char Typed : {'a', '-', ',', ' ', 'e', '+'}) {
            char Key = Typed;
            EXPECT_TRUE(Edit->WidgetKeyPress(Key)) << Edit->Name() << " " << Typed;
            EXPECT_EQ(Key, 0);
        }
    }
    // Enter checks the value as leaving the edit does.
    TEdit* Left = Find<TEdit>(&Ed, "LeftMargin");
    const std::string Before = Left->Text();
    Ed.EditEnter(Left);
    Left->SetText("2000");
    char Enter = '\r';
    Left->WidgetKeyPress(Enter);
    EXPECT_EQ(Left->Text(), Before);
    EXPECT_EQ(AnsweredDialogs().back().Text, "Value too big");
    Left->SetText("7.5");
    Left->WidgetKeyPress(Enter);
    EXPECT_EQ(Left->Text(), "7.50");
    // A refused value brings back the text of the edit it was typed in.
    TEdit* Columns = Find<TEdit>(&Ed, "Columns");
    Ed.EditEnter(Columns);
    Columns->SetText("5000");
    Columns->WidgetKeyPress(Enter);
    EXPECT_EQ(Columns->Text(), "1");
}
