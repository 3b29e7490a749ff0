// Print jobs into PDF files, checked with the poppler tools.
#include "platform/Application.h"
#include "platform/Metafile.h"
#include "platform/Printers.h"
#include "tests/support/PdfTools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

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

TEST(Printer, EveryPaperCodeHasItsExactSizeInTheFile)
{
    EnsureApplication();
    // Sizes in 0.1 mm; the PDF measures whole points.
    struct TCase {
        int Code, Width, Length;
    };
    const TCase Cases[] = {
        {DMPAPER_LETTERSMALL, 2159, 2794}, {DMPAPER_EXECUTIVE, 1905, 2540}, {DMPAPER_A4SMALL, 2100, 2970},
        {DMPAPER_B4, 2500, 3540},          {DMPAPER_FOLIO, 2159, 3302},     {DMPAPER_QUARTO, 2150, 2750},
        {DMPAPER_NOTE, 2159, 2790},        {DMPAPER_ENV_9, 984, 2254},      {DMPAPER_ESHEET, 1000, 1000},
    };
    TPrinter P;
    const std::vector<int> Offered = P.SupportedPaperSizes();
    for (int Code = 1; Code <= 26; ++Code)
        EXPECT_NE(std::find(Offered.begin(), Offered.end(), Code), Offered.end()) << Code;
    EXPECT_EQ(Offered.back(), DMPAPER_USER);
    for (const TCase& K : Cases) {
        SCOPED_TRACE(K.Code);
        int W = 0, L = 0;
        ASSERT_TRUE(TPrinter::PaperDimensions(K.Code, W, L));
        EXPECT_EQ(W, K.Width);
        EXPECT_EQ(L, K.Length);
        EXPECT_EQ(TPrinter::PaperCode(K.Width, K.Length) != 0, true);
        const std::string File = Artifact("printer_paper.pdf");
        P.SetFileName(File);
        ASSERT_TRUE(P.SetPaperSize(K.Code));
        EXPECT_EQ(P.PhysicalWidth(), std::lround(K.Width * 600 / 254.0));
        P.BeginDoc();
        P.EndDoc();
        const TPdfInfo I = PdfInfo(File);
        EXPECT_NEAR(I.Width, K.Width / 254.0 * 72, 0.6);
        EXPECT_NEAR(I.Height, K.Length / 254.0 * 72, 0.6);
    }
    EXPECT_EQ(TPrinter::PaperCode(2159, 2794), DMPAPER_LETTER) << "the first code of a size";
    EXPECT_EQ(TPrinter::PaperCode(1234, 2345), 0);
}

TEST(Printer, DeviceSettingsOfAFileAreItsPaperOrientationAndColour)
{
    EnsureApplication();
    TPrinter P;
    P.SetFileName(Artifact("printer_devmode.pdf"));
    EXPECT_EQ(P.Device(), "PDF");
    EXPECT_EQ(P.Port(), Artifact("printer_devmode.pdf"));
    EXPECT_EQ(P.Driver(), "");
    TDeviceMode D = P.DeviceMode();
    EXPECT_EQ(D.dmFields, DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COLOR);
    EXPECT_EQ(D.dmPaperSize, DMPAPER_A4);
    EXPECT_EQ(D.dmPaperWidth, 2100);
    EXPECT_EQ(D.dmOrientation, DMORIENT_PORTRAIT);

    struct TCase {
        uint32_t Fields;
        int16_t Size, Width, Length;
        int Code, PaperWidth;
    };
    const TCase Cases[] = {
        {DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH, DMPAPER_LEGAL, 1000, 1000, DMPAPER_LEGAL, 2159},
        {DM_PAPERWIDTH | DM_PAPERLENGTH, 0, 1480, 2100, DMPAPER_A5, 1480},
        {DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH, DMPAPER_USER, 1200, 1800, DMPAPER_USER, 1200},
        {DM_PAPERSIZE, 999, 0, 0, DMPAPER_USER, 1200},   // a code not known changes nothing
    };
    for (const TCase& K : Cases) {
        D.dmFields = K.Fields;
        D.dmPaperSize = K.Size;
        D.dmPaperWidth = K.Width;
        D.dmPaperLength = K.Length;
        P.SetDeviceMode(D);
        EXPECT_EQ(P.PaperSize(), K.Code) << K.Size;
        EXPECT_EQ(P.PaperWidth(), K.PaperWidth) << K.Size;
    }
    D = P.DeviceMode();
    D.dmFields = DM_ORIENTATION | DM_DUPLEX | DM_COPIES;
    D.dmOrientation = DMORIENT_LANDSCAPE;
    D.dmDuplex = DMDUP_VERTICAL;
    D.dmCopies = 2;
    P.SetDeviceMode(D);
    EXPECT_EQ(P.Orientation(), poLandscape);
    EXPECT_EQ(P.Copies(), 2);
    EXPECT_EQ(P.DeviceMode().dmDuplex, DMDUP_VERTICAL) << "kept, though a file prints one side";
    P.ResetDeviceMode();
    EXPECT_EQ(P.PaperSize(), DMPAPER_A4);
    EXPECT_EQ(P.Orientation(), poPortrait);
    EXPECT_EQ(P.Copies(), 1);
    EXPECT_FALSE(P.Fonts().empty());
}
