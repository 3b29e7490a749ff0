// The report chart bridge: a chart printed on a report page, laid out at
// 100 % zoom, as vector drawing or as a bitmap, read back from PDF files.
#include "chart/RpChart.h"

#include "chart/ChLegend.h"
#include "chart/Series.h"
#include "platform/Filer.h"
#include "platform/Forms.h"
#include "tests/support/ProcessEvents.h"
#include "platform/Streams.h"
#include "tests/report/PrinterRig.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace prnrig;

namespace {

// A report chart as a report form made in code holds it.
TRpDBChart* EmbedChart(TRpChart* C)
{
    auto* Inner = new TRpDBChart(C->Owner());
    Inner->SetParent(C);
    Inner->Title()->Text()->Clear();
    Inner->Title()->Text()->Add("TRpChart");
    Inner->Title()->SetVisible(false);
    Inner->SetView3D(false);
    return Inner;
}

// An A4 report, 10 mm margins, whose 100 mm title band holds a report chart
// 30 mm from the band's left and 12 mm from its top, 120 x 70 mm.
class ChartReport : public PdfPrinting {
protected:
    void SetUp() override
    {
        PdfPrinting::SetUp();
        R = prnrig::NewA4ReportInMillimetres(10);
        R->Bands()->SetHasTitle(true);
        R->Bands()->GetBand(1)->Size()->SetHeight(100);
        C = R->Bands()->GetBand(1)->AddPrintable<TRpChart>();
        C->Size()->SetUnits(TRpUnit::Native);
        C->Size()->SetLeft(300);
        C->Size()->SetTop(120);
        C->Size()->SetWidth(1200);
        C->Size()->SetHeight(700);
        Inner = EmbedChart(C);
    }
    void TearDown() override
    {
        R.reset();
        Screen.reset();
        PdfPrinting::TearDown();
    }
    // Two fast line series on a screen chart, moved into the report chart.
    void MoveInSeries()
    {
        Screen = std::make_unique<TChart>(nullptr);
        const TColor Colors[] = {clRed, clBlue};
        for (int s = 0; s < 2; ++s) {
            auto* S = new TFastLineSeries(Screen.get());
            S->SetSeriesColor(Colors[s]);
            S->LinePen()->SetWidth(3);
            for (int p = 0; p <= 20; ++p)
                S->AddXY(p, (s + 1) * 10 + (p % 5) * 4);
            Screen->AddSeries(S);
        }
        Inner->LeftAxis()->Title()->SetCaption("Litres");
        Inner->BottomAxis()->Title()->SetCaption("Seconds");
        for (int i = Screen->SeriesCount() - 1; i >= 0; --i)
            Inner->AddSeries(Screen->Series(i));
    }
    void MoveBack()
    {
        for (int i = Inner->SeriesCount() - 1; i >= 0; --i)
            Screen->AddSeries(Inner->Series(i));
    }

    std::unique_ptr<TRpReport> R;
    std::unique_ptr<TChart> Screen;
    TRpChart* C = nullptr;
    TRpDBChart* Inner = nullptr;
};

}  // namespace

TEST(RpChart, ChartRectangleAtHundredPercent)
{
    EnsureApplication();
    TRpReport Report(nullptr);
    Report.Bands()->SetHasTitle(true);
    auto* C = Report.Bands()->GetBand(1)->AddPrintable<TRpChart>();
    TRpDBChart* Inner = EmbedChart(C);
    const struct {
        int Zoom;
        TRect Expected;
    } Cases[] = {{50, Rect(0, 0, 700, 400)}, {200, Rect(0, 0, 175, 100)}, {100, Rect(0, 0, 350, 200)}};
    for (const auto& K : Cases) {
        SCOPED_TRACE(K.Zoom);
        Report.SetZoom(K.Zoom);
        C->SetBounds(C->Left(), C->Top(), 350, 200);
        ASSERT_EQ(C->ClientRect(), Rect(0, 0, 350, 200));
        EXPECT_EQ(Inner->GetRectangle(), K.Expected);
    }
    // A zoom the report itself would refuse, put on its panel directly: the
    // chart is laid out at 100 % rather than divided by it.
    Report.TRpBasePanel::SetZoom(-20);
    ASSERT_LE(Report.Zoom(), 0);
    EXPECT_EQ(Inner->GetRectangle(), C->ClientRect());
    // Without a parent: its own client rectangle.
    TRpDBChart Loose(nullptr);
    Loose.SetBounds(0, 0, 120, 80);
    EXPECT_EQ(Loose.GetRectangle(), Rect(0, 0, 120, 80));
}

TEST(RpChart, NewChartAndPrintMethod)
{
    EnsureApplication();
    TRpChart C(nullptr);
    EXPECT_EQ(C.Width(), 350);
    EXPECT_EQ(C.Height(), 200);
    EXPECT_EQ(C.ChPrintMethod(), qtmMetafile);
    EXPECT_EQ(C.GetChart(), nullptr);
    TRpDBChart Inner(nullptr);
    EXPECT_FALSE(Inner.Visible());
    EXPECT_EQ(Inner.Color(), clWhite);
    EXPECT_FALSE(Inner.BufferedDisplay());
    EXPECT_TRUE(GetClass("TRpDBChart") != nullptr);
}

// SetChart: copies of another chart's series (points, colours, titles) and
// tools; the other chart keeps its own.
TEST(RpChart, SetChartCopiesSeriesAndLeavesTheSource)
{
    EnsureApplication();
    TComponent Owner(nullptr);
    auto* C = new TRpChart(&Owner);
    TRpDBChart* Inner = EmbedChart(C);
    auto* Old = new TFastLineSeries(&Owner);
    Inner->AddSeries(Old);
    TChart Source(nullptr);
    auto* S = new TFastLineSeries(&Source);
    S->SetTitle("Pressure");
    S->SetSeriesColor(clFuchsia);
    S->AddXY(1, 2);
    S->AddXY(3, 4);
    Source.AddSeries(S);
    Source.Title()->Text()->Add("Source title");
    C->SetChart(&Source);
    ASSERT_EQ(Inner->SeriesCount(), 1);
    TChartSeries* Copy = Inner->Series(0);
    EXPECT_NE(Copy, S);
    EXPECT_EQ(Copy->Title(), "Pressure");
    EXPECT_EQ(Copy->SeriesColor(), clFuchsia);
    ASSERT_EQ(Copy->Count(), 2);
    EXPECT_EQ(Copy->YValue(1), 4);
    EXPECT_EQ(Inner->Title()->Text()->Get(0), "Source title");
    ASSERT_EQ(Source.SeriesCount(), 1);
    EXPECT_EQ(Source.Series(0), S);
    EXPECT_EQ(S->Count(), 2);
}

// A saved form's chart replaces the one a printable holds: exactly one.
TEST(RpChart, StreamedChartReplacesTheOneThere)
{
    EnsureApplication();
    TRpChart Saved(nullptr);
    Saved.SetName("RpChart1");
    auto* Streamed = new TRpDBChart(&Saved);
    Streamed->SetName("RpDBChart7");
    Streamed->SetParent(&Saved);
    TMemoryStream Form;
    {
        TWriter W(&Form);
        W.WriteRootComponent(&Saved);
    }
    TRpChart Target(nullptr);
    auto* Made = new TRpDBChart(&Target);
    Made->SetName("RpDBChart1");
    Made->SetParent(&Target);
    Form.SetPosition(0);
    {
        TReader Rd(&Form);
        Rd.ReadRootComponent(&Target);
    }
    ASSERT_EQ(Target.ControlCount(), 1);
    ASSERT_NE(Target.GetChart(), nullptr);
    EXPECT_EQ(Target.GetChart()->Name(), "RpDBChart7");
}

// Without a chart only the frame prints; an OnPrint that halves the paper
// rectangle prints the chart smaller from the same corner.
TEST_F(ChartReport, PaperRectangleFromThePlaceAndTheBandOffsets)
{
    MoveInSeries();
    C->Frame()->SetDrawTop(true);
    TRect Paper;
    C->OnPrint = [&](TRpChart* Sender, TRect& PaperRect, TRect& ChartRect) {
        Paper = PaperRect;
        EXPECT_EQ(Sender, C);
        EXPECT_EQ(ChartRect, Inner->GetRectangle());
    };
    R->Prepare();
    TRpPrinter* P = R->RunPrinter();
    // The band starts at the margins (100, 100).
    const TRect Expected = Rect(P->XPos(400), P->YPos(220), P->XPos(1600), P->YPos(920));
    EXPECT_EQ(Paper, Expected);

    auto Render = [&]() {
        std::unique_ptr<TMetafile> M = P->Page(1);
        auto B = std::make_unique<TBitmap>(M->Width(), M->Height());
        B->Canvas()->Brush()->SetColor(clWhite);
        B->Canvas()->FillRect(Rect(0, 0, M->Width(), M->Height()));
        B->Canvas()->StretchDraw(Rect(0, 0, M->Width(), M->Height()), M.get());
        return B;
    };
    // The red series' extent.
    auto RedBounds = [](TBitmap* B) {
        TRect Box = Rect(B->Width(), B->Height(), -1, -1);
        for (int Y = 0; Y < B->Height(); Y += 1)
            for (int X = 0; X < B->Width(); X += 1)
                if (B->Canvas()->Pixels(X, Y) == clRed) {
                    Box.Left = std::min(Box.Left, X);
                    Box.Top = std::min(Box.Top, Y);
                    Box.Right = std::max(Box.Right, X);
                    Box.Bottom = std::max(Box.Bottom, Y);
                }
        return Box;
    };
    const TRect Full = RedBounds(Render().get());
    ASSERT_GE(Full.Right, 0);
    EXPECT_TRUE(Full.Left >= Paper.Left && Full.Right <= Paper.Right && Full.Top >= Paper.Top &&
                Full.Bottom <= Paper.Bottom);

    C->OnPrint = [](TRpChart*, TRect& PaperRect, TRect&) {
        PaperRect.Right = PaperRect.Left + (PaperRect.Right - PaperRect.Left) / 2;
        PaperRect.Bottom = PaperRect.Top + (PaperRect.Bottom - PaperRect.Top) / 2;
    };
    R->Prepare();
    P = R->RunPrinter();
    const TRect Half = RedBounds(Render().get());
    ASSERT_GE(Half.Right, 0);
    EXPECT_LE(Half.Right, Expected.Left + (Expected.Right - Expected.Left) / 2);
    EXPECT_LE(Half.Bottom, Expected.Top + (Expected.Bottom - Expected.Top) / 2);
    EXPECT_NEAR(Half.Left - Expected.Left, (Full.Left - Expected.Left) / 2.0, 3);
    EXPECT_NEAR(Half.Top - Expected.Top, (Full.Top - Expected.Top) / 2.0, 3);

    // No chart: the frame alone (a black line along the top), nothing red.
    MoveBack();
    delete Inner;
    Inner = nullptr;
    EXPECT_EQ(C->GetChart(), nullptr);
    C->OnPrint = [](TRpChart*, TRect&, TRect&) { ADD_FAILURE() << "no chart, no OnPrint"; };
    R->Prepare();
    P = R->RunPrinter();
    std::unique_ptr<TBitmap> Frame = Render();
    EXPECT_LT(RedBounds(Frame.get()).Right, 0);
    EXPECT_EQ(Frame->Canvas()->Pixels(Expected.Left + 20, Expected.Top), clBlack);
}

// End to end: printed to PDF, the metafile keeps the axis texts as text and
// draws no image; the bitmap is one image and no text. The series go back
// to the screen chart untouched.
TEST_F(ChartReport, PrintedAsVectorsOrAsABitmap)
{
    MoveInSeries();
    const struct {
        TChQuickMethod Method;
        const char* Name;
        bool Text;
    } Cases[] = {{qtmMetafile, "metafile", true}, {qtmBitmap, "bitmap", false}};
    for (const auto& K : Cases) {
        SCOPED_TRACE(K.Name);
        C->SetPrintMethod(K.Method);
        R->Print();
        ASSERT_EQ(PdfInfo(Pdf).Pages, 1);
        const std::string Text = RunTool("pdftotext -layout '" + Pdf + "' -");
        EXPECT_EQ(Text.find("Seconds") != std::string::npos, K.Text) << Text;
        EXPECT_EQ(Text.find("Litres") != std::string::npos, K.Text);
        EXPECT_EQ(Text.find("20") != std::string::npos, K.Text);
        const std::string Images = RunTool("pdfimages -list '" + Pdf + "'");
        // A header of two lines, then one line per image.
        int Lines = 0;
        for (char Ch : Images)
            Lines += Ch == '\n';
        EXPECT_EQ(Lines - 2, K.Text ? 0 : 1) << Images;
        RunTool("pdftoppm -png -r 60 -singlefile '" + Pdf + "' '" + Artifact(std::string("rpchart-") + K.Name) +
                "'");
    }
    MoveBack();
    ASSERT_EQ(Screen->SeriesCount(), 2);
    EXPECT_EQ(Screen->Series(0)->SeriesColor(), clRed);
    EXPECT_EQ(Screen->Series(1)->SeriesColor(), clBlue);
    EXPECT_EQ(Screen->Series(1)->Count(), 21);
    EXPECT_EQ(Screen->Series(1)->YValue(3), 32);
}

// The design view: the chart stretched over the printable, then the
// printable's corner marks and frame over it.
TEST(RpChart, DesignViewDrawsTheChartThenTheFrame)
{
    EnsureApplication();
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 500, 360);
    auto* C = new TRpChart(&Form);
    C->SetParent(&Form);
    C->SetBounds(40, 30, 350, 200);
    C->Frame()->SetDrawBottom(true);
    TRpDBChart* Inner = EmbedChart(C);
    auto* S = new TFastLineSeries(&Form);
    S->SetSeriesColor(clRed);
    S->LinePen()->SetWidth(3);
    for (int p = 0; p <= 10; ++p)
        S->AddXY(p, p % 3);
    Inner->AddSeries(S);
    Form.Show();
    ProcessFor(200);
    C->Repaint();
    ProcessFor(100);
    std::unique_ptr<TBitmap> Image(Form.GetFormImage());
    int Red = 0, RedOutside = 0;
    for (int Y = 0; Y < Image->Height(); ++Y)
        for (int X = 0; X < Image->Width(); ++X)
            if (Image->Canvas()->Pixels(X, Y) == clRed) {
                ++Red;
                if (X < 40 || X >= 390 || Y < 30 || Y >= 230)
                    ++RedOutside;
            }
    EXPECT_GT(Red, 100);
    EXPECT_EQ(RedOutside, 0);
    // Corner marks and the bottom frame line drawn over the chart.
    EXPECT_EQ(Image->Canvas()->Pixels(40, 30), clBlack);
    EXPECT_EQ(Image->Canvas()->Pixels(389, 229), clBlack);
    bool Line = false;
    for (int Y = 224; Y < 230; ++Y)
        Line = Line || Image->Canvas()->Pixels(200, Y) == clBlack;
    EXPECT_TRUE(Line);
    Image->SaveToFile(Artifact("rpchart-design.png"));
}
