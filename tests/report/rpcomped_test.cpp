#include "report/dialogs/RpCompEd.h"

#include "platform/DialogHook.h"
#include "report/RpPrntr.h"

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
    EXPECT_EQ(Ed.Topmargin->Text(), "10.00");
    EXPECT_EQ(Ed.PaperSize->Text(), RpPaperName(TRpPaperSize::A4));
    std::vector<std::string> Names;
    for (int I = 0; I < Ed.PaperSize->Items()->Count(); ++I)
        Names.push_back(Ed.PaperSize->Items()->Strings(I));
    EXPECT_EQ(Names.size(), 28u);
    EXPECT_TRUE(std::is_sorted(Names.begin(), Names.end()));
    std::unique_ptr<TBitmap> Shot(Ed.GetFormImage());
    Shot->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/report_settings.png");
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
        Ed.Topmargin->SetText("10.00");
        Ed.EditEnter(Ed.Topmargin);
        Ed.Topmargin->SetText(C.Typed);
        Ed.EditExit(Ed.Topmargin);
        EXPECT_EQ(Ed.Topmargin->Text(), C.Shown) << C.Typed;
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
    Ed.ColumnsDown->OnClick(Ed.ColumnsDown);
    EXPECT_EQ(Ed.Columns->Text(), "1");
    Ed.ColumnsUp->OnClick(Ed.ColumnsUp);
    EXPECT_EQ(Ed.Columns->Text(), "2");

    R.SetOptions({TRpReportOption::Compression, TRpReportOption::FirstPageHeader});
    Ed.GetValues();
    Ed.Columns->SetText("3");
    Ed.Topmargin->SetText("25.00");
    Ed.LastPageFooter->SetChecked(true);
    Ed.ApplyBtn->OnClick(Ed.ApplyBtn);
    EXPECT_EQ(R.Options(), (TRpReportOptions{TRpReportOption::FirstPageHeader, TRpReportOption::LastPageFooter}));
    EXPECT_EQ(R.Page()->Columns(), 3);
    EXPECT_DOUBLE_EQ(static_cast<double>(R.Page()->TopMargin()), 25);
    EXPECT_EQ(R.Page()->PaperSize(), TRpPaperSize::A4);
    EXPECT_EQ(Ed.Topmargin->Text(), "25.00");
}

TEST_F(CompEd, BandsExistExactlyWhenTickedAndTakeTheirLength)
{
    R.Bands()->SetHasTitle(true);
    R.Bands()->GetBand(1)->Size()->SetHeight(20);
    Ed.GetValues();
    EXPECT_TRUE(Ed.BandBox[1]->Checked());
    EXPECT_EQ(Ed.BandLength[1]->Text(), "20.00");
    EXPECT_FALSE(Ed.BandBox[3]->Checked());
    EXPECT_EQ(Ed.BandLength[3]->Text(), "");

    Ed.BandBox[1]->SetChecked(false);   // title goes
    Ed.BandBox[3]->SetChecked(true);    // detail comes with its length
    Ed.BandLength[3]->SetText("15");
    Ed.BandBox[5]->SetChecked(true);    // page footer keeps its own height
    Ed.SetValues();
    EXPECT_FALSE(R.Bands()->HasTitle());
    ASSERT_TRUE(R.Bands()->HasDetail());
    EXPECT_DOUBLE_EQ(static_cast<double>(R.Bands()->GetBand(4)->Size()->Height()), 15);
    EXPECT_TRUE(R.Bands()->HasPageFooter());
}

TEST_F(CompEd, FrameFontAndUnitsGoToTheReport)
{
    EXPECT_EQ(Ed.FontSize->Items()->Count(), 16);
    Ed.PenWidthDown->OnClick(Ed.PenWidthDown);
    EXPECT_EQ(Ed.PageFramePenWidth->Text(), "0");
    Ed.PenWidthUp->OnClick(Ed.PenWidthUp);
    Ed.PageFrameTop->SetChecked(true);
    SetDialogAnswerer([](const TDialogRequest& Q, TDialogAnswer& A) {
        if (Q.Kind != TDialogKind::Color)
            return false;
        A.ModalResult = 1;
        A.Color = 0x0000FF;
        return true;
    });
    Ed.ChangeColor->OnClick(Ed.ChangeColor);
    Ed.FontSize->SetText("14");
    Ed.Units->SetItemIndex(1);
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
        TControl* Control;
        const char* Group;
    } Cases[] = {{Ed.PaperSize, "Paper size"},     {Ed.PageWidth, "Paper size"},   {Ed.OrientationCB, "Paper size"},
                 {Ed.Topmargin, "Margins"},        {Ed.Columns, "Margins"},        {Ed.FontName, "Other"},
                 {Ed.Units, "Other"},              {Ed.PageFrameTop, "Page frame"}, {Ed.FrameColor, "Page frame"},
                 {Ed.PageFramePenWidth, "Page frame"}, {Ed.BandBox[0], "Bands"}, {Ed.BandLength[5], "Bands"},
                 {Ed.LastPageFooter, "Bands"}};
    for (const auto& C : Cases) {
        auto* Group = dynamic_cast<TGroupBox*>(C.Control->Parent());
        ASSERT_NE(Group, nullptr) << C.Control->Name();
        EXPECT_EQ(Group->Caption(), C.Group) << C.Control->Name();
    }
    EXPECT_EQ(Ed.HeadingLabel->Caption(), "Report Settings");
    EXPECT_EQ(Ed.PageWidth->Text(), "210.00");
    EXPECT_EQ(Ed.PageLength->Text(), "297.00");
}

TEST_F(CompEd, NumericEditsTakeDigitsThePointAndBackspaceOnly)
{
    for (TWinControl* Edit : {static_cast<TWinControl*>(Ed.Topmargin), static_cast<TWinControl*>(Ed.PageWidth),
                              static_cast<TWinControl*>(Ed.Columns), static_cast<TWinControl*>(Ed.FontSize),
                              static_cast<TWinControl*>(Ed.PageFramePenWidth),
                              static_cast<TWinControl*>(Ed.BandLength[2])}) {
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
    const std::string Before = Ed.LeftMargin->Text();
    Ed.EditEnter(Ed.LeftMargin);
    Ed.LeftMargin->SetText("2000");
    char Enter = '\r';
    Ed.LeftMargin->WidgetKeyPress(Enter);
    EXPECT_EQ(Ed.LeftMargin->Text(), Before);
    EXPECT_EQ(AnsweredDialogs().back().Text, "Value too big");
    Ed.LeftMargin->SetText("7.5");
    Ed.LeftMargin->WidgetKeyPress(Enter);
    EXPECT_EQ(Ed.LeftMargin->Text(), "7.50");
    // A refused value brings back the text of the edit it was typed in.
    Ed.EditEnter(Ed.Columns);
    Ed.Columns->SetText("5000");
    Ed.Columns->WidgetKeyPress(Enter);
    EXPECT_EQ(Ed.Columns->Text(), "1");
}
