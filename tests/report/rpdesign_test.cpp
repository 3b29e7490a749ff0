#include "report/RpDesign.h"

#include "platform/Application.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "report/RpCtrls.h"
#include "report/RpPrntr.h"
#include "report/RpReport.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr TColor White = 0xFFFFFF;

// The x of every pixel in row Y that has colour Colour.
std::vector<int> InRow(TBitmap& B, int Y, TColor Colour)
{
    std::vector<int> Xs;
    for (int X = 0; X < B.Width(); ++X)
        if (B.Canvas()->Pixels(X, Y) == Colour)
            Xs.push_back(X);
    return Xs;
}

std::vector<int> NotWhiteInRow(TBitmap& B, int Y)
{
    std::vector<int> Xs;
    for (int X = 0; X < B.Width(); ++X)
        if (B.Canvas()->Pixels(X, Y) != White)
            Xs.push_back(X);
    return Xs;
}

// Any pixel of Colour inside [X1, X2) x [Y1, Y2).
bool AnyIn(TBitmap& B, int X1, int Y1, int X2, int Y2, TColor Colour)
{
    for (int Y = Y1; Y < Y2; ++Y)
        for (int X = X1; X < X2; ++X)
            if (B.Canvas()->Pixels(X, Y) == Colour)
                return true;
    return false;
}

// Text: any pixel clearly darker than the grid lines (text is smoothed, so
// few pixels have the exact text colour).
bool InkIn(TBitmap& B, int X1, int Y1, int X2, int Y2)
{
    for (int Y = Y1; Y < Y2; ++Y)
        for (int X = X1; X < X2; ++X)
            if (((B.Canvas()->Pixels(X, Y) >> 8) & 0xFF) < 0xC0)
                return true;
    return false;
}

// A ruler on a white bitmap one pixel wider than the area, so that a line on
// the area's right edge still shows.
std::unique_ptr<TBitmap> Ruler(int W, int Zoom, TRpUnit Units, bool Labels = true)
{
    auto B = std::make_unique<TBitmap>(W + 1, 300);
    RpPaintRuler(B->Canvas(), W, 300, 96, Zoom, Units, 10, Labels);
    return B;
}

std::unique_ptr<TRpReport> LetterReport(bool Ruler)
{
    auto R = std::make_unique<TRpReport>(nullptr);
    R->SetUnits(TRpUnit::Inches);
    R->Page()->SetPaperSize(TRpPaperSize::Letter);
    R->Page()->SetOrientation(poPortrait);
    R->Page()->SetRuler(Ruler);
    R->SetColor(White);
    return R;
}

}  // namespace

class DesignView : public ::testing::Test {
protected:
    void SetUp() override { SetRpHiColor(); }
    void TearDown() override { SetRpHiColor(); }

    // A white Letter report in millimetres on a form of the page's size.
    static TRpReport* ReportOn(TForm& Form, bool Ruler)
    {
        Form.SetClientWidth(816);
        Form.SetClientHeight(1056);
        auto* R = new TRpReport(&Form);
        R->SetParent(&Form);
        R->SetColor(White);
        R->SetUnits(TRpUnit::MM);
        R->Page()->SetPaperSize(TRpPaperSize::Letter);
        R->Page()->SetOrientation(poPortrait);
        R->Page()->SetRuler(Ruler);
        return R;
    }
};

TEST_F(DesignView, InchesAtFullZoomDrawQuarterInchLinesAndLabelTheWholeInches)
{
    const auto B = Ruler(816, 100, TRpUnit::Inches);
    const auto Xs = NotWhiteInRow(*B, 113);   // between two horizontal lines, below a label
    ASSERT_EQ(Xs.size(), 34u);
    for (size_t I = 0; I < Xs.size(); ++I)
        EXPECT_EQ(Xs[I], 24 * static_cast<int>(I + 1));
    EXPECT_EQ(InRow(*B, 113, 0xF0F0F0), (std::vector<int>{96, 192, 288, 384, 480, 576, 672, 768}))
        << "majors every whole inch";
    for (int Inch = 1; Inch <= 8; ++Inch)
        EXPECT_TRUE(InkIn(*B, 96 * Inch + 2, 2, 96 * Inch + 14, 14)) << Inch;
    EXPECT_FALSE(InkIn(*B, 26, 2, 90, 14)) << "no label on a quarter";
}

TEST_F(DesignView, MinorLinesNeedZoomAboveTheLimit)
{
    struct Case {
        TRpUnit Units;
        int Zoom;
        bool Minor;
    };
    for (const Case& C : {Case{TRpUnit::Inches, 40, false}, Case{TRpUnit::Inches, 49, false},
                          Case{TRpUnit::Inches, 50, true}, Case{TRpUnit::MM, 59, false}, Case{TRpUnit::MM, 60, true}}) {
        const auto B = Ruler(816, C.Zoom, C.Units);
        const auto Minor = InRow(*B, 150, RpDesignScheme().MinorColor);
        EXPECT_EQ(!Minor.empty(), C.Minor) << static_cast<int>(C.Units) << " zoom " << C.Zoom;
        EXPECT_FALSE(InRow(*B, 150, RpDesignScheme().MajorColor).empty());
    }
    // Whole inches at zoom 49 fall every 47.04 pixels.
    const auto B = Ruler(816, 49, TRpUnit::Inches);
    const auto Major = InRow(*B, 150, 0xF0F0F0);
    ASSERT_EQ(Major.size(), 17u);
    EXPECT_EQ(Major[0], 47);
    EXPECT_EQ(Major[1], 94);
    // Centimetre labels only above zoom 59.
    EXPECT_FALSE(InkIn(*Ruler(794, 59, TRpUnit::MM), 0, 2, 794, 12));
}

TEST_F(DesignView, MillimetresAtFullZoomDrawHalfCentimetresWithTheFirstLabelAt38)
{
    const auto B = Ruler(794, 100, TRpUnit::MM);
    const auto Xs = NotWhiteInRow(*B, 150);
    EXPECT_EQ(Xs.size(), 42u);
    EXPECT_EQ(Xs.front(), 19);
    EXPECT_EQ(InRow(*B, 150, 0xF0F0F0).front(), 38);
    EXPECT_TRUE(InkIn(*B, 40, 2, 50, 14));
    EXPECT_FALSE(InkIn(*B, 0, 2, 36, 14));
    // A band's ruler has the lines but no labels.
    const auto Band = Ruler(794, 100, TRpUnit::MM, false);
    EXPECT_EQ(NotWhiteInRow(*Band, 150).size(), 42u);
    EXPECT_FALSE(InkIn(*Band, 0, 0, 794, 14));
}

TEST_F(DesignView, PixelsAndNativeHaveNoRuler)
{
    for (TRpUnit U : {TRpUnit::Pixels, TRpUnit::Native})
        EXPECT_TRUE(NotWhiteInRow(*Ruler(400, 100, U), 150).empty());
}

TEST_F(DesignView, ColumnMarksOnlyWithTwoOrMoreColumns)
{
    const auto R = LetterReport(false);
    R->SetUnits(TRpUnit::MM);
    R->Page()->SetTopMargin(20);
    R->Page()->SetLeftMargin(10);
    R->Page()->SetRightMargin(10);
    R->Page()->SetColumnSpace(10);
    const int W = R->Width(), H = R->Height();
    ASSERT_EQ(W, 816);
    const TColor Mark = RpDesignScheme().MarginColor;
    {
        TBitmap B(W, H);
        RpPaintReportDesign(R.get(), B.Canvas());
        EXPECT_FALSE(AnyIn(B, 0, 0, W, 70, Mark)) << "a one-column report has no marks";
        EXPECT_TRUE(AnyIn(B, 38, 76, 40, H - 76, Mark)) << "left margin";
    }
    R->Page()->SetColumns(2);
    TBitmap B(W, H);
    RpPaintReportDesign(R.get(), B.Canvas());
    // Left 37.8, space 37.8, column (816 - 3 * 37.8) / 2 = 351.
    EXPECT_TRUE(AnyIn(B, 389, 0, 390, 70, Mark));
    EXPECT_TRUE(AnyIn(B, 427, 0, 428, 70, Mark));
    EXPECT_FALSE(AnyIn(B, 391, 0, 426, 70, Mark));
    R->Page()->SetRuler(true);
    RpPaintReportDesign(R.get(), B.Canvas());
    B.SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/design-report-two-columns.png");
}

TEST_F(DesignView, BandsAreOutlinedCaptionedAndSilverWhenDisabled)
{
    const auto R = LetterReport(false);
    R->Bands()->SetHasTitle(true);
    TRpCustomBand* Band = R->Bands()->GetBand(1);
    Band->SetHeight(60);
    Band->SetColor(White);
    const int W = Band->Width(), H = Band->Height();
    ASSERT_GT(W, 100);
    {
        TBitmap B(W, H);
        RpPaintBandDesign(Band, B.Canvas());
        EXPECT_EQ(B.Canvas()->Pixels(W / 2 + 1, H / 2), White);
        EXPECT_TRUE(AnyIn(B, 0, 0, W, 1, RpDesignScheme().BandColor));
        EXPECT_TRUE(AnyIn(B, 0, H - 1, W, H, RpDesignScheme().BandColor));
        EXPECT_TRUE(InkIn(B, 2, H / 2, 60, H - 2)) << "caption";
    }
    Band->SetEnabled(false);
    TBitmap B(W, H);
    RpPaintBandDesign(Band, B.Canvas());
    EXPECT_EQ(B.Canvas()->Pixels(W / 2 + 1, H / 2), clSilver);
    B.SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/design-band-disabled.png");
}

TEST_F(DesignView, TheLowColourSchemeDrawsGreyDottedMinorLines)
{
    SetRpLoColor();
    EXPECT_EQ(RpDesignScheme().MinorStyle, psDot);
    EXPECT_EQ(RpDesignScheme().MarginColor, 0x808080u);
    const auto B = Ruler(816, 100, TRpUnit::Inches);
    EXPECT_FALSE(InRow(*B, 100, 0xC0C0C0).empty());
    EXPECT_TRUE(InRow(*B, 100, 0xF0F0F0).empty());
}

TEST_F(DesignView, AReportOnAFormPaintsItsDesignViewAndItsBands)
{
    TForm Form(nullptr);
    TRpReport* R = ReportOn(Form, true);
    R->Page()->SetTopMargin(20);
    R->Page()->SetBottomMargin(20);
    R->Page()->SetLeftMargin(10);
    R->Page()->SetRightMargin(10);
    R->Page()->SetColumnSpace(10);
    R->Page()->SetColumns(2);
    R->Bands()->SetHasTitle(true);
    R->Bands()->SetHasDetail(true);
    R->Bands()->SetHasPageFooter(true);
    for (TRpCustomBand* Band : R->BandList()) {
        Band->SetColor(White);
        Band->Size()->SetHeight(25);
    }
    Form.Show();
    Application->ProcessMessages();
    std::unique_ptr<TBitmap> Shot(Form.GetFormImage());
    ASSERT_TRUE(Shot);
    Shot->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/design-report-with-bands.png");
    TBitmap& B = *Shot;
    const int W = R->Width(), H = R->Height();
    ASSERT_EQ(W, 816);
    const TColor Mark = RpDesignScheme().MarginColor;

    // Above the top margin: the ruler's whole centimetres and the column marks.
    EXPECT_EQ(InRow(B, 60, RpDesignScheme().MajorColor).front(), 38);
    EXPECT_TRUE(AnyIn(B, 389, 0, 390, 70, Mark));
    EXPECT_TRUE(AnyIn(B, 427, 0, 428, 70, Mark));
    // Below the bands: the bottom margin.
    EXPECT_TRUE(AnyIn(B, 100, H - 77, W - 100, H - 75, Mark));
    // Each band: its outline and its caption.
    ASSERT_EQ(R->BandList().size(), 3u);
    for (TRpCustomBand* Band : R->BandList()) {
        const int L = Band->Left(), T = Band->Top(), Bw = Band->Width(), Bh = Band->Height();
        std::string Caption;
        Band->BandTypeName(Caption);
        EXPECT_TRUE(AnyIn(B, L, T, L + Bw, T + 1, RpDesignScheme().BandColor)) << Caption;
        EXPECT_TRUE(AnyIn(B, L, T + Bh - 1, L + Bw, T + Bh, RpDesignScheme().BandColor)) << Caption;
        EXPECT_TRUE(InkIn(B, L + 2, T + Bh / 2, L + 60, T + Bh - 2)) << Caption;
    }
    // A disabled band turns silver.
    TRpCustomBand* Detail = R->Bands()->GetBand(4);
    Detail->SetEnabled(false);
    Application->ProcessMessages();
    std::unique_ptr<TBitmap> Again(Form.GetFormImage());
    EXPECT_TRUE(AnyIn(*Again, Detail->Left() + 100, Detail->Top() + 3, Detail->Left() + 140, Detail->Top() + 30,
                      clSilver));
}

TEST_F(DesignView, TheFirstPageOfARunShowsOverTheDesignViewUntilTheReportChanges)
{
    TForm Form(nullptr);
    TRpReport* R = ReportOn(Form, false);
    R->Bands()->SetHasDetail(true);
    R->Bands()->SetHasPageFooter(true);
    TRpCustomBand* Footer = R->Bands()->GetBand(6);
    Footer->Size()->SetHeight(20);
    auto* Box = Footer->AddPrintable<TRpShape>();
    Box->Brush()->SetColor(clBlack);
    Box->Size()->SetLeft(0);
    Box->Size()->SetTop(0);
    Box->Size()->SetWidth(50);
    Box->Size()->SetHeight(15);
    Form.Show();
    Application->ProcessMessages();
    // The footer prints at the foot of the page, where the design view is
    // empty (the band itself sits at the top margin).
    const int FootY = R->Height() - 60;
    const auto BlackAtFoot = [&] {
        std::unique_ptr<TBitmap> Shot(Form.GetFormImage());
        return AnyIn(*Shot, 0, FootY - 40, 300, FootY + 40, clBlack);
    };
    EXPECT_FALSE(BlackAtFoot());

    R->Prepare();
    ASSERT_NE(R->RunPrinter(), nullptr);
    ASSERT_GE(R->RunPrinter()->PageCount(), 1);
    R->RunPrinter()->SetClient(R);
    R->RunPrinter()->SetAvailablePages(1);
    Application->ProcessMessages();
    ASSERT_NE(R->PageImage(), nullptr);
    EXPECT_TRUE(BlackAtFoot());
    std::unique_ptr<TBitmap>(Form.GetFormImage())->SaveToFile(std::string(OZ_TEST_ARTIFACTS) +
                                                              "/design-report-page-image.png");
    R->Modify();
    Application->ProcessMessages();
    EXPECT_EQ(R->PageImage(), nullptr);
    EXPECT_FALSE(BlackAtFoot());
    R->RunPrinter()->SetClient(nullptr);
}
