// A chart panel drawn outside its window: into a bitmap, a metafile, a
// smoothed picture and onto the printer, with print margins and scaling;
// a paged chart printed page by page.
#include "chart/ChProcs.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/Application.h"
#include "tests/chart/ChartRig.h"
#include "tests/support/PdfTools.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <regex>

namespace {

std::string Artifact(const std::string& Name) { return std::string(OZ_TEST_ARTIFACTS) + "/" + Name; }

}  // namespace

TEST(PanelExport, MetafileReplayedAtTwiceTheSizeMatchesTheBitmap)
{
    EnsureApplication();
    TPicturePanel P;
    P.SetBounds(0, 0, 200, 120);
    const TRect R = P.GetRectangle();
    const auto Small = P.ChCreateBitmap(clWhite, R, pfDevice);
    Small->SaveToFile(Artifact("panel_bitmap.png"));
    const auto Meta = P.ChCreateMetafile(true, R);
    EXPECT_EQ(Meta->Width(), 200);
    EXPECT_EQ(Meta->Height(), 120);
    EXPECT_TRUE(Meta->ContainsText("Flow"));
    EXPECT_TRUE(P.BufferedDisplay());   // restored after the export
    EXPECT_FALSE(P.ChartCanvas()->Metafiling);

    TBitmap Large(400, 240);
    Meta->Draw(Large.Canvas(), {0, 0, 400, 240});
    Large.SaveToFile(Artifact("panel_metafile_x2.png"));

    // Wherever the small picture is uniform around a pixel, the large one
    // shows the same colour in the corresponding 2 x 2 block.
    int Compared = 0, Differ = 0;
    for (int Y = 2; Y < 118; ++Y)
        for (int X = 2; X < 198; ++X) {
            const TColor C = PixelOf(*Small, X, Y);
            bool Uniform = true;
            for (int Dy = -2; Dy <= 2 && Uniform; ++Dy)
                for (int Dx = -2; Dx <= 2 && Uniform; ++Dx)
                    Uniform = PixelOf(*Small, X + Dx, Y + Dy) == C;
            if (!Uniform)
                continue;
            ++Compared;
            for (int Dy = 0; Dy < 2; ++Dy)
                for (int Dx = 0; Dx < 2; ++Dx)
                    if (PixelOf(Large, 2 * X + Dx, 2 * Y + Dy) != C)
                        ++Differ;
        }
    EXPECT_GT(Compared, 15000);
    EXPECT_EQ(Differ, 0);
    // The box and the background both came through.
    EXPECT_EQ(PixelOf(Large, 2 * 50, 2 * 40), clYellow);
    EXPECT_EQ(PixelOf(Large, 2 * 150, 2 * 100), RGB(230, 240, 255));
}

TEST(PanelExport, EmptyRectanglesGiveAOnePixelMetafile)
{
    EnsureApplication();
    TPicturePanel P;
    const auto M = P.ChCreateMetafile(false, {10, 10, 10, 5});
    EXPECT_EQ(M->Width(), 1);
    EXPECT_EQ(M->Height(), 1);
    const auto B = P.ChCreateBitmap(clWhite, {0, 0, 0, 0}, pfDevice);
    EXPECT_EQ(B->Width(), 0);
}

TEST(PanelExport, PanelAssignsItsPictureToABitmap)
{
    EnsureApplication();
    TPicturePanel P;
    P.SetBounds(0, 0, 150, 90);
    TBitmap B;
    P.AssignTo(&B);
    EXPECT_EQ(B.Width(), 150);
    EXPECT_EQ(B.Height(), 90);
    EXPECT_EQ(PixelOf(B, 50, 40), clYellow);
    TStringList NotAPicture;
    EXPECT_THROW(P.AssignTo(&NotAPicture), EConvertError);
}

TEST(PanelExport, AntiAliasAveragesEachTwoByTwoBlock)
{
    EnsureApplication();
    // Draws one black pixel at the origin whatever the size of the pass.
    class TDotPanel : public TCustomChPanel {
    public:
        TDotPanel() : TCustomChPanel(nullptr) { SetColor(clWhite); }
        void InternalDraw(const TRect& R) override
        {
            ChartCanvas()->Brush->SetStyle(bsSolid);
            ChartCanvas()->Brush->SetColor(clWhite);
            ChartCanvas()->EraseBackground(R);
            ChartCanvas()->SetPixel(0, 0, clBlack);
            ChartCanvas()->SetPixel(3, 0, RGB(0, 0, 200));
        }
    } P;
    P.SetBounds(0, 0, 2, 1);
    P.View3DOptions()->SetFontZoom(120);
    const auto B = ChAntiAlias(&P);
    ASSERT_EQ(B->Width(), 2);
    ASSERT_EQ(B->Height(), 1);
    EXPECT_EQ(PixelOf(*B, 0, 0), RGB(191, 191, 191));   // (3 x 255 + 0) / 4
    EXPECT_EQ(PixelOf(*B, 1, 0), RGB(191, 191, 241));   // (3 x 255 + 200) / 4 in blue
    EXPECT_EQ(P.View3DOptions()->FontZoom(), 120);
    EXPECT_TRUE(P.RepaintOnChange);
    EXPECT_TRUE(P.BufferedDisplay());
}

TEST(PanelPrint, ProportionalMarginsKeepTheChartsAspect)
{
    struct TCase {
        const char* Name;
        int W, H, Pw, Ph, ResX, ResY;
        TRect Expected;
    };
    const TCase Cases[] = {
        {"wide chart on a portrait page", 400, 250, 4800, 6600, 600, 600, {15, 34, 15, 34}},
        {"tall chart", 250, 400, 6600, 4800, 600, 600, {34, 15, 34, 15}},
        {"zero-width chart", 0, 250, 4800, 6600, 600, 600, {15, 15, 15, 15}},
        {"page without size", 400, 250, 0, 0, 600, 600, {15, 15, 15, 15}},
        // A very flat page leaves no room: the margin is clamped, never negative.
        {"chart taller than the page allows", 400, 390, 4800, 500, 600, 600, {15, 0, 15, 0}},
    };
    for (const TCase& K : Cases)
        EXPECT_EQ(ChProportionalMargins(K.W, K.H, K.Pw, K.Ph, K.ResX, K.ResY), K.Expected) << K.Name;

    // Twice the horizontal resolution: the chart's printed height in inches
    // still follows its width in inches.
    for (const auto& [W, H] : {std::pair{400, 250}, std::pair{250, 400}}) {
        const int Pw = 9600, Ph = 6600, ResX = 1200, ResY = 600;
        const TRect M = ChProportionalMargins(W, H, Pw, Ph, ResX, ResY);
        const double WidthInches = Pw * (100 - M.Left - M.Right) / 100.0 / ResX;
        const double HeightInches = Ph * (100 - M.Top - M.Bottom) / 100.0 / ResY;
        EXPECT_NEAR(HeightInches / WidthInches, static_cast<double>(H) / W, 0.03) << W << "x" << H;
    }
}

TEST(PanelPrint, LogicalWindowShrinksWithThePrintScale)
{
    EnsureApplication();
    TPicturePanel P;
    const struct {
        int Percent;
        int WinWidth, WinHeight;
        TRect Converted;
    } Cases[] = {
        {0, 400, 250, {100, 50, 500, 300}},
        {20, 320, 200, {80, 40, 400, 240}},
        {100, 1, 1, {0, 0, 1, 1}},   // no zero-sized window
    };
    for (const auto& K : Cases) {
        P.PrintScalePercent = K.Percent;
        TRect R{1000, 500, 5000, 3000};
        int WinW, WinH, ViewW, ViewH;
        P.CalcMetaBounds(R, {0, 0, 400, 250}, WinW, WinH, ViewW, ViewH);
        EXPECT_EQ(ViewW, 4000);
        EXPECT_EQ(ViewH, 2500);
        EXPECT_EQ(WinW, K.WinWidth) << K.Percent;
        EXPECT_EQ(WinH, K.WinHeight) << K.Percent;
        EXPECT_EQ(R, K.Converted) << K.Percent;
    }
}

TEST(PanelPrint, ClippingFollowsTheLibraryFlags)
{
    EnsureApplication();
    TPicturePanel P;
    const struct {
        bool Printing, Metafiling, ClipPrinting, ClipMetafiling, Expected;
    } Cases[] = {
        {false, false, false, false, true}, {true, false, true, true, true},  {true, false, false, true, false},
        {false, true, true, true, true},    {false, true, true, false, false},
    };
    for (const auto& K : Cases) {
        P.Printing = K.Printing;
        P.ChartCanvas()->Metafiling = K.Metafiling;
        ChClipWhenPrinting = K.ClipPrinting;
        ChClipWhenMetafiling = K.ClipMetafiling;
        EXPECT_EQ(P.CanClip(), K.Expected);
    }
    P.Printing = false;
    P.ChartCanvas()->Metafiling = false;
    ChClipWhenPrinting = ChClipWhenMetafiling = true;

    TPen Pen;
    Pen.SetStyle(psDot);
    P.CheckPenWidth(&Pen);
    EXPECT_EQ(Pen.Width(), 1);
    P.Printing = true;
    P.CheckPenWidth(&Pen);
    EXPECT_EQ(Pen.Width(), 0);
    P.Printing = false;
}

TEST(PanelPrint, PrintedPanelLandsInsideItsMarginsOnAPdfPage)
{
    EnsureApplication();
    const std::string File = Artifact("panel_print.pdf");
    std::remove(File.c_str());
    TPrinter* Pr = Printer();
    Pr->SetFileName(File);
    Pr->SetPaperSize(DMPAPER_A4);
    TPicturePanel P;
    P.SetName("LoopChart");
    P.SetBounds(0, 0, 400, 250);
    P.Print();
    EXPECT_FALSE(Pr->Printing());
    EXPECT_EQ(Pr->Title(), "LoopChart");
    // Proportional margins on a portrait page: 15 % at the sides.
    EXPECT_EQ(P.PrintMargins().Left, 15);
    EXPECT_EQ(P.PrintMargins().Right, 15);
    EXPECT_GT(P.PrintMargins().Top, 15);
    EXPECT_FALSE(P.Printing);

    std::ifstream In(File);
    ASSERT_TRUE(In.good());
    const std::string Info = RunTool("pdfinfo '" + File + "' 2>&1");
    EXPECT_TRUE(std::regex_search(Info, std::regex(R"(Pages:\s+1\n)"))) << Info;
    // The text sits right of the left margin (15 % of 595 points) on the page.
    const std::string Bbox = RunTool("pdftotext -bbox '" + File + "' - 2>&1");
    std::smatch M;
    ASSERT_TRUE(std::regex_search(Bbox, M, std::regex(R"re(xMin="([\d.]+)"[^>]*>Flow<)re"))) << Bbox;
    EXPECT_GT(std::stod(M[1]), 595 * 0.15);
    EXPECT_LT(std::stod(M[1]), 595 * 0.85);
    Pr->SetFileName("");
}

TEST(PanelPrint, FailingPassAbortsTheJobAndResetsThePanelState)
{
    EnsureApplication();
    class TFailingPanel : public TCustomChPanel {
    public:
        TFailingPanel() : TCustomChPanel(nullptr) {}
        void InternalDraw(const TRect&) override { throw Exception("no data"); }
    } P;
    const std::string File = Artifact("panel_print_failed.pdf");
    std::remove(File.c_str());
    TPrinter* Pr = Printer();
    Pr->SetFileName(File);
    EXPECT_THROW(P.Print(), Exception);
    EXPECT_FALSE(Pr->Printing());
    EXPECT_FALSE(std::ifstream(File).good());
    EXPECT_FALSE(P.Printing);
    EXPECT_FALSE(P.ChartCanvas()->Metafiling);
    EXPECT_TRUE(P.BufferedDisplay());
    EXPECT_EQ(Pr->Canvas()->Transform(), TCanvasTransform{});
    EXPECT_THROW(P.ChCreateMetafile(true, {0, 0, 10, 10}), Exception);
    EXPECT_FALSE(P.ChartCanvas()->Metafiling);
    Pr->SetFileName("");
}

// Pages FromPage to ToPage, one sheet each, in one job; the chart is back
// on its page afterwards, also when a page fails (the job is dropped).
TEST(ChartPrintPages, EachPageOfTheRangeOnItsOwnSheet)
{
    EnsureApplication();
    TChart Chart(nullptr);
    Chart.SetName("PagedChart");
    Chart.SetBounds(0, 0, 400, 250);
    Chart.SetView3D(false);
    auto* S = new TFastLineSeries(&Chart);
    for (int i = 0; i < 25; ++i)
        S->AddXY(i, i % 4);
    Chart.AddSeries(S);
    Chart.SetMaxPointsPerPage(10);
    Chart.SetPage(2);
    std::vector<int> Drawn;
    Chart.OnAfterDraw = [&](TObject*) { Drawn.push_back(Chart.Page()); };
    TPrinter* Pr = Printer();
    struct Case {
        int From, To;
        std::vector<int> Pages;
    };
    for (const Case& C : {Case{0, 0, {1, 2, 3}}, Case{2, 0, {2, 3}}, Case{3, 3, {3}}}) {
        const std::string File =
            Artifact("chart_pages_" + std::to_string(C.From) + "_" + std::to_string(C.To) + ".pdf");
        std::remove(File.c_str());
        Pr->SetFileName(File);
        Drawn.clear();
        Chart.PrintPages(C.From, C.To);
        EXPECT_EQ(Drawn, C.Pages) << C.From << " " << C.To;
        EXPECT_EQ(Chart.Page(), 2);
        EXPECT_FALSE(Pr->Printing());
        EXPECT_EQ(Pr->Title(), "PagedChart");
        const std::string Info = RunTool("pdfinfo '" + File + "' 2>&1");
        EXPECT_TRUE(std::regex_search(Info, std::regex("Pages:\\s+" + std::to_string(C.Pages.size()) + "\\n")))
            << Info;
    }

    const std::string Failed = Artifact("chart_pages_failed.pdf");
    std::remove(Failed.c_str());
    Pr->SetFileName(Failed);
    S->BeforeDrawValues = [&](TObject*) {
        if (Chart.Page() == 3)
            throw Exception("no data");
    };
    EXPECT_THROW(Chart.PrintPages(0, 0), Exception);
    EXPECT_EQ(Chart.Page(), 2);
    EXPECT_FALSE(Pr->Printing());
    EXPECT_FALSE(std::ifstream(Failed).good());
    Pr->SetFileName("");
}
