// Print jobs into PDF files, checked with the poppler tools.
#include "platform/Application.h"
#include "platform/Metafile.h"
#include "platform/Printers.h"
#include "tests/support/PdfTools.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <regex>
#include <string>

namespace {

std::string Artifact(const std::string& Name) { return std::string(OZ_TEST_ARTIFACTS) + "/" + Name; }

bool PathExists(const std::string& Name) { return std::ifstream(Name).good(); }

}  // namespace

TEST(Printer, TwoPagePdfHasTwoPagesOfThePaperSize)
{
    EnsureApplication();
    struct TCase {
        int Paper;
        TPrinterOrientation Orientation;
        double Width, Height;   // points
    };
    const TCase Cases[] = {
        {DMPAPER_A4, poPortrait, 595.28, 841.89},
        {DMPAPER_LETTER, poLandscape, 792, 612},
    };
    for (const TCase& K : Cases) {
        SCOPED_TRACE(K.Paper);
        const std::string File = Artifact("printer_" + std::to_string(K.Paper) + ".pdf");
        std::remove(File.c_str());
        TPrinter P;
        P.SetFileName(File);
        ASSERT_TRUE(P.SetPaperSize(K.Paper));
        P.SetOrientation(K.Orientation);
        P.SetTitle("Leak test report");
        EXPECT_TRUE(P.PrintsToFile());
        EXPECT_EQ(P.PixelsPerInchX(), 600);
        // The page in device pixels: the paper at 600 dpi (no margins in a
        // file), within the point the PDF rounds sizes to.
        EXPECT_NEAR(P.PageWidth(), K.Width / 72 * 600, 600 / 72);
        EXPECT_NEAR(P.PageHeight(), K.Height / 72 * 600, 600 / 72);
        EXPECT_EQ(P.PhysicalOffsetX(), 0);

        P.BeginDoc();
        EXPECT_TRUE(P.Printing());
        EXPECT_FALSE(P.Canvas()->SupportsRasterModes());
        EXPECT_EQ(P.Canvas()->Font()->PixelsPerInch(), 600);
        P.Canvas()->Font()->SetName("Arial");
        P.Canvas()->Font()->SetSize(12);
        P.Canvas()->TextOut(600, 600, "First page");
        P.Canvas()->Rectangle(600, 900, 3000, 2000);
        P.NewPage();
        EXPECT_EQ(P.PageNumber(), 2);
        P.Canvas()->TextOut(600, 600, "Second page");
        P.EndDoc();
        EXPECT_FALSE(P.Printing());

        const TPdfInfo I = PdfInfo(File);
        EXPECT_EQ(I.Pages, 2);
        EXPECT_NEAR(I.Width, K.Width, 1);
        EXPECT_NEAR(I.Height, K.Height, 1);
        const std::string Text = RunTool("pdftotext '" + File + "' - 2>&1");
        EXPECT_NE(Text.find("First page"), std::string::npos);
        EXPECT_NE(Text.find("Second page"), std::string::npos);
    }
}

TEST(Printer, RecordedPageStretchedOntoThePrinterKeepsItsText)
{
    EnsureApplication();
    // A page recorded at screen resolution, printed at 600 dpi.
    TMetafile Page;
    Page.SetWidth(794);    // A4 at 96 dpi
    Page.SetHeight(1123);
    {
        TMetafileCanvas C(&Page, nullptr);
        C.Font()->SetName("Courier New");
        C.Font()->SetSize(10);
        C.TextOut(96, 96, "Breath parameters");
        C.Rectangle(96, 120, 400, 300);
    }
    const std::string File = Artifact("printer_metafile.pdf");
    TPrinter P;
    P.SetFileName(File);
    P.BeginDoc();
    P.Canvas()->StretchDraw(Rect(0, 0, P.PageWidth(), P.PageHeight()), &Page);
    P.EndDoc();
    EXPECT_EQ(PdfInfo(File).Pages, 1);
    const std::string Bbox = RunTool("pdftotext -bbox '" + File + "' - 2>&1");
    EXPECT_NE(Bbox.find(">Breath<"), std::string::npos);
    // The word sits an inch from the left edge: 72 points.
    std::smatch M;
    ASSERT_TRUE(std::regex_search(Bbox, M, std::regex(R"re(xMin="([\d.]+)"[^>]*>Breath<)re")));
    EXPECT_NEAR(std::stod(M[1]), 72, 3);
}

TEST(Printer, JobCallsOutOfOrderAreRefused)
{
    EnsureApplication();
    const std::string File = Artifact("printer_aborted.pdf");
    TPrinter P;
    P.SetFileName(File);
    EXPECT_THROW(P.NewPage(), EPrinter);
    EXPECT_THROW(P.EndDoc(), EPrinter);
    P.BeginDoc();
    EXPECT_THROW(P.BeginDoc(), EPrinter);
    EXPECT_THROW(P.SetOrientation(poLandscape), EPrinter);
    P.Canvas()->TextOut(10, 10, "dropped");
    P.Abort();
    EXPECT_TRUE(P.Aborted());
    EXPECT_FALSE(P.Printing());
    EXPECT_FALSE(PathExists(File));
    // Outside a job the canvas draws nowhere.
    P.Canvas()->Rectangle(0, 0, 10, 10);
    EXPECT_FALSE(P.SetPaperSize(12345));
    EXPECT_EQ(P.PaperSize(), DMPAPER_A4);
    P.SetCustomPaperSize(1000, 1500);
    EXPECT_EQ(P.PaperSize(), DMPAPER_USER);
    EXPECT_EQ(P.PaperWidth(), 1000);
    EXPECT_NEAR(P.PageWidth(), 100 / 25.4 * 600, 600 / 72);
    EXPECT_THROW(P.SetPrinterIndex(static_cast<int>(P.Printers().size())), EPrinter);
    // A folder that does not exist cannot take the file.
    P.SetFileName(Artifact("no-such-folder/out.pdf"));
    EXPECT_THROW(P.BeginDoc(), EPrinter);
    EXPECT_FALSE(P.Printing());
}

TEST(Printer, SharedPrinterIsOne)
{
    EXPECT_EQ(Printer(), Printer());
    EXPECT_FALSE(Printer()->Printing());
}
