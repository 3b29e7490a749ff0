// The small editor controls: the colour button's swatch and its dialog, the
// custom colours kept between colour dialogs, and the flat combo box.
#include "chart/ChEditCtrls.h"
#include "tests/chart/ChartRig.h"
#include "platform/DialogHook.h"
#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/PublishedProps.h"
#include "platform/ScopeGuard.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// An object with one published colour, as the chart's pens and brushes have.
class TSwatchHolder : public TPersistent {
    OZ_CLASS(TSwatchHolder, TPersistent);

public:
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    static void Publish(TPublisher<TSwatchHolder>& P)
    {
        P.Integer("Color", &TSwatchHolder::Color, &TSwatchHolder::SetColor).Idents(ColorIdents());
    }

private:
    TColor FColor = clBlack;
};

// Answers every colour dialog with Result and Color, keeping the custom
// colours asked with unless Custom is given; records what was asked.
struct TColorAnswers {
    TColorAnswers()
    {
        FPrevious = SetDialogAnswerer([this](const TDialogRequest& Request, TDialogAnswer& Answer) {
            if (Request.Kind != TDialogKind::Color)
                return false;
            Asked.push_back(Request);
            Answer.ModalResult = Result;
            Answer.Color = static_cast<unsigned>(Color);
            if (!Custom.empty())
                Answer.CustomColors = Custom;
            return true;
        });
    }
    ~TColorAnswers() { SetDialogAnswerer(FPrevious); }
    int Result = mrOk;
    TColor Color = clBlack;
    std::vector<std::string> Custom;
    std::vector<TDialogRequest> Asked;

private:
    TDialogAnswerer FPrevious;
};

// A form holding controls at the top left, read back as its picture.
struct TControlForm {
    TControlForm()
    {
        EnsureApplication();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 240, 120);
        Form->SetColor(clWhite);
    }
    std::unique_ptr<TBitmap> Picture() { return std::unique_ptr<TBitmap>(Form->GetFormImage()); }
    std::unique_ptr<TForm> Form;
};

} // namespace

TEST(EditColor, CustomColoursChosenInOneDialogAreOfferedInTheNext)
{
    FreeChCustomEditColors();
    TColorAnswers Answers;
    Answers.Color = clRed;
    Answers.Custom = {"ColorA=FF0000", "ColorB=00FF00"};
    EXPECT_EQ(ChCustomEditColors(), nullptr);
    EXPECT_EQ(EditColor(nullptr, clBlue), clRed);
    ASSERT_EQ(Answers.Asked.size(), 1u);
    EXPECT_TRUE(Answers.Asked[0].CustomColors.empty()) << "the first dialog starts without custom colours";
    ASSERT_NE(ChCustomEditColors(), nullptr);

    Answers.Custom.clear();
    Answers.Result = mrCancel;
    EXPECT_EQ(EditColor(nullptr, clBlue), clBlue) << "cancelled: the colour given";
    ASSERT_EQ(Answers.Asked.size(), 2u);
    EXPECT_EQ(Answers.Asked[1].CustomColors, (std::vector<std::string>{"ColorA=FF0000", "ColorB=00FF00"}));
    EXPECT_EQ(ChCustomEditColors()->Count(), 2) << "a cancelled dialog keeps them";

    // Only a changed colour counts as an edit.
    Answers.Result = mrOk;
    Answers.Color = clBlue;
    TColor C = clBlue;
    EXPECT_FALSE(EditColorDialog(nullptr, C));
    Answers.Color = clLime;
    EXPECT_TRUE(EditColorDialog(nullptr, C));
    EXPECT_EQ(C, clLime);
    FreeChCustomEditColors();
}

TEST(ColorDialog, CustomColoursTravelInTheRequestAndTheAnswer)
{
    TColorAnswers Answers;
    Answers.Custom = {"ColorP=123456"};
    TColorDialog D(nullptr);
    D.CustomColors()->Add("ColorA=0000FF");
    ASSERT_TRUE(D.Execute());
    ASSERT_EQ(Answers.Asked.size(), 1u);
    EXPECT_EQ(Answers.Asked[0].CustomColors, std::vector<std::string>{"ColorA=0000FF"});
    EXPECT_EQ(D.CustomColors()->Count(), 1);
    EXPECT_EQ(D.CustomColors()->Values("ColorP"), "123456");
}

TEST(ButtonColor, ShowsTheLinkedColourAsASwatch)
{
    TControlForm F;
    TSwatchHolder Holder;
    Holder.SetColor(clLime);
    auto* B = new TButtonColor(F.Form.get());
    B->SetParent(F.Form.get());
    B->SetCaption("Color...");
    EXPECT_EQ(B->Width(), 75);
    EXPECT_EQ(B->Height(), 25);
    auto Plain = F.Picture();
    EXPECT_NE(PixelOf(*Plain, 62, 13), clLime) << "linked to nothing: no swatch";

    B->LinkProperty(&Holder, "Color");
    ASSERT_NE(B->LinkedProperty(), nullptr);
    EXPECT_EQ(B->GetChColor(), clLime);
    auto Linked = F.Picture();
    EXPECT_EQ(PixelOf(*Linked, 62, 13), clLime);
    EXPECT_NE(PixelOf(*Linked, 50, 13), clLime) << "the swatch keeps to the right of the face";
    Linked->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/editor_button_color.png");

    // A reading event comes first.
    B->GetColorProc = [] { return clRed; };
    EXPECT_EQ(PixelOf(*F.Picture(), 62, 13), clRed);
    B->GetColorProc = nullptr;

    B->LinkProperty(nullptr, "Color");
    EXPECT_EQ(B->LinkedInstance(), nullptr);
    EXPECT_NE(PixelOf(*F.Picture(), 62, 13), clLime);
}

TEST(ButtonColor, OnlyAChangedColourIsWrittenAndClicks)
{
    TControlForm F;
    TSwatchHolder Holder;
    Holder.SetColor(clLime);
    auto* B = new TButtonColor(F.Form.get());
    B->SetParent(F.Form.get());
    B->LinkProperty(&Holder, "Color");
    int Clicks = 0;
    B->OnClick = [&](TObject*) { ++Clicks; };
    TColorAnswers Answers;

    struct TCase {
        const char* What;
        int Result;
        TColor Chosen;
        TColor After;
        int Clicks;
    };
    const TCase Cases[] = {
        {"cancelled", mrCancel, clRed, clLime, 0},
        {"the same colour again", mrOk, clLime, clLime, 0},
        {"another colour", mrOk, clRed, clRed, 1},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        Clicks = 0;
        Answers.Result = C.Result;
        Answers.Color = C.Chosen;
        B->Click();
        EXPECT_EQ(Holder.Color(), C.After);
        EXPECT_EQ(Clicks, C.Clicks);
    }
    EXPECT_EQ(Answers.Asked.back().Kind, TDialogKind::Color);
    EXPECT_EQ(PixelOf(*F.Picture(), 62, 13), clRed) << "the swatch shows the new colour";

    // Without a linked object it is a plain button.
    B->LinkProperty(nullptr, "");
    const size_t Asked = Answers.Asked.size();
    Clicks = 0;
    B->Click();
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Answers.Asked.size(), Asked) << "no dialog";
}

TEST(ComboFlat, FlatUntilHovered)
{
    TControlForm F;
    auto* Flat = new TComboFlat(F.Form.get());
    Flat->SetParent(F.Form.get());
    Flat->SetBounds(10, 10, 120, 21);
    Flat->AddItem("Solid", nullptr);
    Flat->AddItem("Dash", nullptr);
    Flat->SetItemIndex(0);
    auto* Plain = new TComboBox(F.Form.get());
    Plain->SetParent(F.Form.get());
    Plain->SetStyle(csDropDownList);
    Plain->SetBounds(10, 50, 120, 21);
    Plain->Items()->Add("Solid");
    Plain->Items()->Add("Dash");
    Plain->SetItemIndex(0);
    EXPECT_EQ(Flat->Style(), csDropDownList);
    EXPECT_EQ(Flat->Height(), 21);
    EXPECT_EQ(Flat->ItemHeight(), 13);
    EXPECT_GT(Flat->DropDownButtonWidth(), 0);

    const auto Frame = [](const TBitmap& B, int Top) {
        std::vector<TColor> Edge;
        for (int X = 10; X < 130; ++X)
            Edge.push_back(PixelOf(B, X, Top));
        return Edge;
    };
    auto Idle = F.Picture();
    Idle->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/editor_combo_flat.png");
    for (TColor C : Frame(*Idle, 10))
        EXPECT_EQ(C, ColorToRGB(clBtnFace)) << "the flat frame covers the border";

    Flat->WidgetMouseEnter();
    EXPECT_TRUE(Flat->MouseInControl());
    auto Hovered = F.Picture();
    EXPECT_EQ(Frame(*Hovered, 10), Frame(*Hovered, 50)) << "hovered: the platform's own border";

    Flat->WidgetMouseLeave();
    EXPECT_EQ(Frame(*F.Picture(), 10), Frame(*Idle, 10));
}
