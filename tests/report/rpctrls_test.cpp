// Text printables: wrapping into output lines, auto size, printing line by
// line with band growth and continuation on the next page, system data and
// the OnPrint handler (recorded pages read back from the run's page list).
#include "report/RpCtrls.h"

#include "platform/Metafile.h"
#include "report/RpExportFilter.h"
#include "tests/report/PrinterRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <regex>
#include <string>
#include <vector>

using namespace prnrig;

namespace {

std::vector<std::string> OutputOf(TRpCustomLabel& L)
{
    std::vector<std::string> Lines;
    for (int I = 0; I < L.OutputLines()->Count(); ++I)
        Lines.push_back(L.OutputLines()->Strings(I));
    return Lines;
}

// The texts drawn on each recorded page of the report's last run.
std::vector<std::vector<std::string>> PageTexts(TCustomRpReport& R)
{
    std::vector<std::vector<std::string>> Pages;
    TRpPrinter* P = R.RunPrinter();
    for (int N = 1; P && N <= P->PageCount(); ++N) {
        Pages.emplace_back();
        if (std::unique_ptr<TMetafile> M = P->Page(N))
            for (const TMetafile::TTextItem& T : M->TextItems())
                Pages.back().push_back(T.Text);
    }
    return Pages;
}

int CountPrefix(const std::vector<std::string>& Texts, const std::string& Prefix)
{
    int N = 0;
    for (const std::string& T : Texts)
        N += T.rfind(Prefix, 0) == 0 ? 1 : 0;
    return N;
}

// A report with a detail band holding a label in a fixed-pitch font, as
// wide as twelve characters.
class LabelWrap : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        R.Bands()->SetHasDetail(true);
        L = R.Bands()->GetBand(4)->AddPrintable<TRpLabel>();
        L->Font()->SetName("Courier New");
        L->Font()->SetSize(10);
        L->SetAutoSize(false);
        L->SetWidth(R.TextWidth(L->Font(), "123456789012"));
    }
    TRpReport R{nullptr};
    TRpLabel* L = nullptr;
};

// An A4 report, 10 mm margins: a 30 mm title, a 12 mm detail band holding
// a memo of its height in a font whose "W" is 15 pixels at 96 dpi (a line is
// 39.6875 tenths of a millimetre), an 8 mm page footer with a label; one
// record.
class MemoReport : public PdfPrinting {
protected:
    void SetUp() override
    {
        PdfPrinting::SetUp();
        R = prnrig::NewA4ReportInMillimetres(10);
        R->Bands()->SetHasTitle(true);
        R->Bands()->SetHasDetail(true);
        R->Bands()->SetHasPageFooter(true);
        R->SetUnits(TRpUnit::MM);
        Band(1)->Size()->SetHeight(30);
        Band(4)->Size()->SetHeight(12);
        Band(6)->Size()->SetHeight(8);
        Memo = Band(4)->AddPrintable<TRpMemo>();
        Memo->SetName("Memo");
        Memo->Font()->SetName("Arial");
        Memo->Font()->SetSize(10);
        Memo->SetAutoSize(false);
        Memo->Size()->SetUnits(TRpUnit::MM);
        Memo->Size()->SetTop(0);
        Memo->Size()->SetLeft(0);
        Memo->Size()->SetWidth(150);
        Memo->Size()->SetHeight(12);
        Memo->SetAutoStretch(true);
        for (int I = 1; I <= 120; ++I)
            Memo->Lines()->Add("Line" + std::to_string(1000 + I));
        auto* Foot = Band(6)->AddPrintable<TRpLabel>();
        Foot->SetCaption("Closing");
        R->OnNeedData = [this](TObject*, bool& More) { More = ++Served <= 1; };
    }
    void TearDown() override
    {
        R.reset();
        PdfPrinting::TearDown();
    }
    TRpCustomBand* Band(int Index) const { return R->Bands()->GetBand(Index); }

    std::unique_ptr<TRpReport> R;
    TRpMemo* Memo = nullptr;
    int Served = 0;
};

// Keeps what a report run hands to it.
class TRecordingFilter : public TRpExportFilter {
public:
    TRecordingFilter() : TRpExportFilter("") {}
    struct TGraphic {
        double X, Y;
        std::string Kind;   // "shape", "image" or the class of another printable
        TRpShapeType Shape;
        TColor Fill;        // clNone: not filled
        TColor Pen;         // clNone: no outline
        long double Width, Height;
        TRpPrintable* Control;
    };
    struct TText {
        double X, Y;
        std::string Font;
        TAlignment Alignment;
        std::string Text;
    };
    void AcceptGraphic(double X, double Y, TRpPrintable* Control) override
    {
        TGraphic G{X, Y, "other", rpsRectangle, clNone, clNone, 0, 0, Control};
        if (auto* S = dynamic_cast<TRpShape*>(Control)) {
            G.Kind = "shape";
            G.Shape = S->Shape();
            G.Fill = S->Brush()->Style() == bsClear ? clNone : S->Brush()->Color();
            G.Pen = S->Pen()->Style() == psClear ? clNone : S->Pen()->Color();
            G.Width = S->Size()->Width();
            G.Height = S->Size()->Height();
        } else if (dynamic_cast<TRpImage*>(Control)) {
            G.Kind = "image";
        }
        Graphics.push_back(G);
    }
    void TextOut(double X, double Y, TFont* Font, TColor Background, TAlignment Alignment,
                 const std::string& Text) override
    {
        Texts.push_back({X, Y, Font->Name(), Alignment, Text});
    }
    void NewPage() override { ++Pages; }
    int Count(const std::string& Kind, TColor Fill = clDefault, TColor Pen = clDefault) const
    {
        int N = 0;
        for (const TGraphic& G : Graphics)
            N += G.Kind == Kind && (Fill == clDefault || G.Fill == Fill) && (Pen == clDefault || G.Pen == Pen);
        return N;
    }
    std::vector<TGraphic> Graphics;
    std::vector<TText> Texts;
    int Pages = 0;
};

}  // namespace

// ------------------------------------------------------------- formatting

TEST_F(LabelWrap, WordsWrapAtTheWidthAndParagraphsSplitAtCarriageReturns)
{
    struct TCase {
        const char* Text;
        bool WordWrap;
        std::vector<std::string> Lines;
    };
    const TCase Cases[] = {
        {"alpha beta gamma delta", true, {"alpha beta ", "gamma delta"}},
        {"one-two-three four", true, {"one-two-", "three four"}},
        // Only the first line of the paragraph, nothing of what follows.
        {"alpha beta gamma delta epsilon zeta eta theta", false, {"alpha beta "}},
        {"alpha beta gamma\rdelta epsilon zeta eta", false, {"alpha beta ", "delta "}},
        {"a\rb\nc", true, {"a", "bc"}},
        {"a\r\n\r\nb", true, {"a", "", "b"}},
        {"", true, {""}},
        // A word wider than the label keeps what fits at the start of a line
        // and is cut from its end after other words.
        {"abcdefghijklmnopq", true, {"abcdefghijk", ""}},
        {"one abcdefghijklmnopq", true, {"one ", "abcdefghijkl", ""}},
        // UTF-8: two-byte characters are never split.
        {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9",
         true,
         {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", ""}},
        {"x \xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82"
         "\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC",
         true,
         {"x ",
          "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82"
          "\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC",
          ""}},
    };
    for (const TCase& C : Cases) {
        L->SetWordWrap(C.WordWrap);
        L->SetCaption(C.Text);
        EXPECT_EQ(OutputOf(*L), C.Lines) << C.Text;
    }
}

TEST_F(LabelWrap, ParentFontFollowsTheBandUntilTheLabelGetsAFontOfItsOwn)
{
    R.Bands()->SetHasTitle(true);
    TRpCustomBand* Band = R.Bands()->GetBand(1);
    Band->Font()->SetName("Courier New");
    Band->Font()->SetSize(14);
    auto* L = Band->AddPrintable<TRpLabel>();
    EXPECT_FALSE(L->ParentFont());
    EXPECT_NE(L->Font()->Size(), 14);
    L->SetParentFont(true);
    EXPECT_EQ(L->Font()->Name(), "Courier New");
    EXPECT_EQ(L->Font()->Size(), 14);
    Band->Font()->SetSize(18);
    EXPECT_EQ(L->Font()->Size(), 18) << "the band's change reaches the label";
    L->Font()->SetSize(9);
    EXPECT_FALSE(L->ParentFont()) << "a font of its own";
    Band->Font()->SetSize(20);
    EXPECT_EQ(L->Font()->Size(), 9);
}

TEST_F(LabelWrap, BiDiModeMirrorsTheAlignmentOnlyWhenItSaysSo)
{
    const struct {
        TBiDiMode Mode;
        TAlignment Alignment;
        TAlignment Drawn;
        bool Reading;
    } Cases[] = {
        {bdLeftToRight, taLeftJustify, taLeftJustify, false},
        {bdRightToLeft, taLeftJustify, taRightJustify, true},
        {bdRightToLeft, taRightJustify, taLeftJustify, true},
        {bdRightToLeft, taCenter, taCenter, true},
        {bdRightToLeftNoAlign, taLeftJustify, taLeftJustify, true},
        {bdRightToLeftReadingOnly, taRightJustify, taRightJustify, true},
    };
    for (const auto& C : Cases) {
        L->SetAlignment(C.Alignment);
        L->SetBiDiMode(C.Mode);
        EXPECT_EQ(L->DrawnAlignment(), C.Drawn) << C.Mode << "/" << C.Alignment;
        EXPECT_EQ(L->UseRightToLeftReading(), C.Reading) << C.Mode;
    }
    // Back to the parent's reading order: left to right.
    L->SetParentBiDiMode(true);
    EXPECT_EQ(L->BiDiMode(), bdLeftToRight);
}

TEST_F(LabelWrap, AutoSizeTakesTheWidestParagraphAndKeepsTheAnchor)
{
    L->Frame()->SetDrawLeft(true);
    L->Frame()->SetDrawRight(true);
    L->Frame()->SetWidth(2);
    L->SetAlignment(taRightJustify);
    L->SetBounds(300, 0, 100, 20);
    L->SetAutoSize(true);
    L->SetCaption("ab\r\nabcdef");
    EXPECT_EQ(OutputOf(*L), (std::vector<std::string>{"ab", "abcdef"}));
    const int Expected = R.TextWidth(L->Font(), "abcdef") + 4;
    EXPECT_EQ(L->Width(), Expected);
    EXPECT_EQ(L->Left() + L->Width(), 400) << "the right edge stays";
    EXPECT_GE(L->Height(), R.TextHeight(L->Font(), "W") + 1);

    L->SetAlignment(taLeftJustify);
    L->SetCaption("abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(L->Left(), 400 - Expected) << "a left-aligned label grows to the right";
}

TEST_F(LabelWrap, MemoFormatsItsLinesAndShowsItsNameInTheDesigner)
{
    auto* M = R.Bands()->GetBand(4)->AddPrintable<TRpMemo>();
    M->SetName("Notes");
    M->SetAutoSize(false);
    M->SetWidth(R.TextWidth(L->Font(), "123456789012"));
    M->Font()->Assign(L->Font());
    M->SetDesigning(true);
    M->FormatLines();
    EXPECT_EQ(OutputOf(*M), std::vector<std::string>{"Notes"});
    M->Lines()->Add("alpha beta gamma");
    M->Lines()->Add("x");
    M->FormatLines();
    EXPECT_EQ(OutputOf(*M), (std::vector<std::string>{"alpha beta ", "gamma", "x"}));
    long double Needed = 0;
    M->GetExpandedHeight(Needed);
    EXPECT_EQ(Needed, 3 * R.TextHeight(M->Font(), "W"));
}


// ---------------------------------------------------------------- printing

TEST_F(MemoReport, StretchingMemoContinuesOnTheNextPage)
{
    EXPECT_EQ(R->TextHeight(Memo->Font(), "W"), 15);
    R->Prepare();
    const auto Pages = PageTexts(*R);
    ASSERT_EQ(Pages.size(), 2u);
    EXPECT_EQ(CountPrefix(Pages[0], "Line"), 60);
    EXPECT_EQ(CountPrefix(Pages[1], "Line"), 60);
    EXPECT_EQ(Pages[1].front(), "Line1061") << "the second page goes on where the first stopped";
    for (const auto& Page : Pages)
        EXPECT_EQ(CountPrefix(Page, "Closing"), 1) << "each page closed by its footer";
    EXPECT_TRUE(Memo->PrintComplete());
}

TEST_F(MemoReport, WithoutAutoStretchTheLinesThatDoNotFitAreDropped)
{
    Memo->SetAutoStretch(false);
    R->Prepare();
    const auto Pages = PageTexts(*R);
    ASSERT_EQ(Pages.size(), 1u);
    EXPECT_EQ(CountPrefix(Pages[0], "Line"), 3) << "three lines of 3.97 mm in 12 mm";
}

TEST_F(MemoReport, SystemDataAndOnPrintTexts)
{
    auto* Sheet = Band(6)->AddPrintable<TRpSysData>();
    Sheet->SetText("Sheet ");
    Sheet->SetData(rpsPageNumber);
    EXPECT_EQ(Sheet->Caption(), "Sheet (Page#)");
    auto* Title = Band(1)->AddPrintable<TRpSysData>();
    Title->SetData(rpsReportTitle);
    Title->SetText("Of ");
    R->SetReportTitle("Trends");
    auto* Hello = Band(1)->AddPrintable<TRpLabel>();
    Hello->SetCaption("Hello");
    Hello->OnPrint = [](TObject*, std::string& Value) { Value = "Goodbye " + Value; };
    auto* Off = Band(1)->AddPrintable<TRpLabel>();
    Off->SetCaption("Hidden");
    Off->SetEnabled(false);
    R->Prepare();
    const auto Pages = PageTexts(*R);
    ASSERT_EQ(Pages.size(), 2u);
    EXPECT_EQ(CountPrefix(Pages[0], "Sheet 1"), 1);
    EXPECT_EQ(CountPrefix(Pages[1], "Sheet 2"), 1);
    EXPECT_EQ(CountPrefix(Pages[0], "Of Trends"), 1);
    EXPECT_EQ(CountPrefix(Pages[0], "Goodbye Hello"), 1);
    EXPECT_EQ(CountPrefix(Pages[0], "Hidden"), 0);
    EXPECT_EQ(Hello->Caption(), "Hello");
    EXPECT_EQ(Hello->OutputText(), "Hello");
}

// ------------------------------------------------------------------ export

TEST_F(MemoReport, ExportHandsBackgroundsFramesTextsAndThePageImageToTheFilter)
{
    Memo->Lines()->Clear();
    Memo->Lines()->Add("First");
    Memo->Lines()->Add("Second");
    Band(1)->SetTransparentBand(false);
    Band(1)->SetColor(clYellow);
    auto* Head = Band(1)->AddPrintable<TRpLabel>();
    Head->SetCaption("Heading");
    Head->SetColor(clAqua);
    Head->SetAlignment(taRightJustify);
    Head->Size()->SetUnits(TRpUnit::Native);
    Head->Size()->SetLeft(500);
    Head->Size()->SetTop(100);
    for (int Side = 0; Side < 4; ++Side)
        Head->Frame()->SetValue(Side, true);
    Head->Frame()->SetColor(clRed);
    auto* Back = new TRpImage(R.get());
    Back->SetParent(R.get());
    Back->SetName("Backdrop");
    Back->Picture()->Bitmap()->SetSize(20, 10);
    R->SetBackImageControl("Backdrop");
    R->SetShowProgress(false);
    int Drawn = 0;
    R->OnStartPage = [&Drawn](TCustomRpReport* Sender) {
        Sender->RunPrinter()->GetCanvas()->OnChange = [&Drawn](TObject*) { ++Drawn; };
    };

    TRecordingFilter Filter;
    R->ExportToFilter(&Filter);

    EXPECT_EQ(Filter.Pages, 1);
    EXPECT_EQ(Filter.Count("shape", clYellow, clNone), 1) << "the title band's background";
    EXPECT_GE(Filter.Count("shape", clAqua, clNone), 1) << "the label's background";
    EXPECT_EQ(Filter.Count("shape", clNone, clRed), 1) << "a frame of four sides is one rectangle";
    EXPECT_EQ(Filter.Count("image"), 1) << "the page's background image";
    for (const auto& G : Filter.Graphics) {
        if (G.Kind == "image") {
            EXPECT_EQ(G.Control, Back);
        }
    }
    bool HeadingSeen = false;
    for (const auto& T : Filter.Texts)
        if (T.Text == "Heading") {
            HeadingSeen = true;
            EXPECT_EQ(T.Alignment, taRightJustify);
            EXPECT_EQ(T.Font, Head->Font()->Name());
            EXPECT_EQ(T.Y, 100 + 100 + 4) << "top margin, label top, a 1-point frame (0.1 mm)";
        }
    EXPECT_TRUE(HeadingSeen);
    std::vector<std::string> MemoTexts;
    for (const auto& T : Filter.Texts)
        if (T.Text == "First" || T.Text == "Second")
            MemoTexts.push_back(T.Text);
    EXPECT_EQ(MemoTexts, (std::vector<std::string>{"First", "Second"}));
    EXPECT_EQ(Drawn, 0) << "nothing drawn on the printer's canvas while exporting";
    Served = 0;
    R->Prepare();
    EXPECT_EQ(R->RunPrinter()->PageCount(), 1);
    EXPECT_GT(Drawn, 0) << "a recorded run draws";
}

// ------------------------------------------------------------------ graphics

namespace {

// The first page of a PDF rendered at 300 dpi.
std::unique_ptr<TBitmap> RenderPdf(const std::string& Pdf, const std::string& Png)
{
    RunTool("pdftoppm -r 300 -png -singlefile '" + Pdf + "' '" + Png.substr(0, Png.size() - 4) + "'");
    auto B = std::make_unique<TBitmap>();
    B->LoadFromFile(Png);
    return B;
}

bool Dark(TBitmap& B, int X, int Y)
{
    const TColor C = B.Canvas()->Pixels(X, Y);
    return GetRValue(C) < 128 && GetGValue(C) < 128 && GetBValue(C) < 128;
}

// Dark at (X, Y) or a row above or below (lines straddle pixel rows).
bool DarkRow(TBitmap& B, int X, int Y) { return Dark(B, X, Y - 1) || Dark(B, X, Y) || Dark(B, X, Y + 1); }

bool Reddish(TBitmap& B, int X, int Y)
{
    const TColor C = B.Canvas()->Pixels(X, Y);
    return GetRValue(C) > 200 && GetGValue(C) < 80 && GetBValue(C) < 80;
}

}  // namespace

TEST_F(MemoReport, ShapesAndImagesOnA300DpiPdf)
{
    Printer()->SetResolution(300);
    Memo->Lines()->Clear();
    Band(4)->Size()->SetHeight(120);
    auto Place = [](TRpPrintable* P, long double Left, long double Top, long double Width, long double Height) {
        P->Size()->SetUnits(TRpUnit::Native);
        P->Size()->SetLeft(Left);
        P->Size()->SetTop(Top);
        P->Size()->SetWidth(Width);
        P->Size()->SetHeight(Height);
    };
    // The detail band starts 40 mm down (margin and title), 10 mm from the left.
    auto* Line = Band(4)->AddPrintable<TRpShape>();
    Line->SetShape(rpsHorLine);
    Place(Line, 0, 0, 500, 200);
    auto* Round = Band(4)->AddPrintable<TRpShape>();
    Round->SetShape(rpsRoundRect);
    Round->SetRoundFactor(0.25f);
    Place(Round, 600, 0, 400, 200);
    Round->SetWidth(80);
    EXPECT_EQ(Round->RoundSize(), 20);
    auto* Plain = Band(4)->AddPrintable<TRpShape>();
    Place(Plain, 1100, 0, 400, 200);
    auto* Image = Band(4)->AddPrintable<TRpImage>();
    Image->Picture()->Bitmap()->SetSize(192, 96);
    Image->Picture()->Bitmap()->Canvas()->Brush()->SetColor(clRed);
    Image->Picture()->Bitmap()->Canvas()->FillRect(Rect(0, 0, 192, 96));
    Image->SetCenter(true);
    Place(Image, 0, 300, 600, 300);
    auto* Big = Band(4)->AddPrintable<TRpImage>();
    Big->Picture()->Assign(Image->Picture());
    Big->Picture()->Bitmap()->SetSize(480, 240);
    Big->Picture()->Bitmap()->Canvas()->Brush()->SetColor(clRed);
    Big->Picture()->Bitmap()->Canvas()->FillRect(Rect(0, 0, 480, 240));
    Place(Big, 700, 300, 600, 300);
    R->Print();
    std::unique_ptr<TBitmap> Page = RenderPdf(Pdf, Dir / "page.png");
    ASSERT_GT(Page->Width(), 2400);
    Page->SaveToFile(Artifact("report-shapes-300dpi.png"));
    auto X = [](long double Tenths) { return static_cast<int>(std::lround((Tenths + 100) * 300 / 254.0L)); };
    auto Y = [](long double Tenths) { return static_cast<int>(std::lround((Tenths + 400) * 300 / 254.0L)); };

    // The horizontal line halfway down its 20 mm box, 10 mm below the band top.
    EXPECT_TRUE(DarkRow(*Page, X(250), Y(100)));
    EXPECT_FALSE(DarkRow(*Page, X(250), Y(100) - 10));
    EXPECT_FALSE(DarkRow(*Page, X(250), Y(100) + 10));
    // A rounded corner leaves the corner pixel; factor 0 is a plain rectangle.
    EXPECT_FALSE(Dark(*Page, X(600), Y(0)));
    EXPECT_TRUE(DarkRow(*Page, X(600) + 20, Y(0))) << "the top edge after the corner";
    EXPECT_TRUE(DarkRow(*Page, X(1100), Y(0)) || DarkRow(*Page, X(1100) + 1, Y(0)) ||
                DarkRow(*Page, X(1100) - 1, Y(0)));

    // 192 x 96 screen pixels are 600 x 300 device pixels, centred: moved by
    // ((709 - 600) / 2, (354 - 300) / 2).
    const int IL = X(0) + 54, IT = Y(300) + 27;
    EXPECT_TRUE(Reddish(*Page, IL + 2, IT + 2));
    EXPECT_TRUE(Reddish(*Page, IL + 597, IT + 297));
    EXPECT_FALSE(Reddish(*Page, IL - 3, IT + 100));
    EXPECT_FALSE(Reddish(*Page, IL + 603, IT + 100));
    EXPECT_FALSE(Reddish(*Page, IL + 100, IT + 303));
    // A picture larger than its printable is clipped to it.
    EXPECT_TRUE(Reddish(*Page, X(700) + 2, Y(300) + 2));
    EXPECT_TRUE(Reddish(*Page, X(1300) - 3, Y(600) - 3));
    EXPECT_FALSE(Reddish(*Page, X(1300) + 3, Y(450)));
    EXPECT_FALSE(Reddish(*Page, X(1000), Y(600) + 3));
}

// A transparent label shows the band's background behind its text; an
// opaque one covers it with its own colour. On paper and on a recorded page.
TEST_F(MemoReport, TransparentLabelLeavesWhatIsBehindIt)
{
    Printer()->SetResolution(300);
    Band(1)->SetTransparentBand(false);
    Band(1)->SetColor(clYellow);
    struct TCase {
        bool Transparent;
        long double Top;
        TColor Behind;
    };
    const TCase Cases[] = {{true, 2, clYellow}, {false, 14, clWhite}};
    for (const TCase& C : Cases) {
        auto* L = Band(1)->AddPrintable<TRpLabel>();
        L->SetCaption("Ab");
        L->SetAutoSize(false);
        L->SetTransparent(C.Transparent);
        L->Size()->SetUnits(TRpUnit::MM);
        L->Size()->SetLeft(20);
        L->Size()->SetTop(C.Top);
        L->Size()->SetWidth(50);
        L->Size()->SetHeight(10);
    }
    // The title band starts 10 mm down and 10 mm in; a point near the right
    // end of each label, clear of its text.
    auto Px = [](long double Mm, int Dpi) { return static_cast<int>(std::lround((Mm + 10) * Dpi / 25.4L)); };
    R->Print();
    std::unique_ptr<TBitmap> Page = RenderPdf(Pdf, Dir / "page.png");
    for (const TCase& C : Cases)
        EXPECT_EQ(Page->Canvas()->Pixels(Px(65, 300), Px(C.Top + 5, 300)) & 0xFFFFFF, C.Behind & 0xFFFFFF)
            << "on paper, transparent " << C.Transparent;

    Served = 0;
    R->Prepare();
    std::unique_ptr<TMetafile> M = R->RunPrinter()->Page(1);
    ASSERT_TRUE(M);
    TBitmap B(M->Width(), M->Height());
    B.Canvas()->StretchDraw(Rect(0, 0, M->Width(), M->Height()), M.get());
    const int Dpi = static_cast<int>(std::lround(M->Width() / (210 / 25.4L)));
    for (const TCase& C : Cases)
        EXPECT_EQ(B.Canvas()->Pixels(Px(65, Dpi), Px(C.Top + 5, Dpi)), C.Behind)
            << "on the recorded page, transparent " << C.Transparent;
}

TEST(RpImages, PictureReadsImagesAndRecordedMetafiles)
{
    EnsureApplication();
    rprig::TTempDir Dir;
    TBitmap B(30, 20);
    B.SaveToFile(Dir / "a.png");
    B.SaveToFile(Dir / "a.jpg");
    TMetafile M;
    M.SetWidth(50);
    M.SetHeight(40);
    {
        TMetafileCanvas C(&M, nullptr);
        C.Rectangle(0, 0, 10, 10);
    }
    M.SaveToFile(Dir / "a.emf");
    rprig::WriteFile(Dir / "bad.png", {1, 2, 3});

    TPicture P;
    int Changes = 0;
    P.OnChange = [&Changes](TObject*) { ++Changes; };
    for (const char* Name : {"a.png", "a.jpg"}) {
        P.LoadFromFile(Dir / Name);
        EXPECT_TRUE(P.HoldsBitmap()) << Name;
        EXPECT_EQ(P.Width(), 30);
        EXPECT_EQ(P.Height(), 20);
    }
    P.LoadFromFile(Dir / "a.emf");
    EXPECT_TRUE(P.HoldsMetafile());
    EXPECT_EQ(P.Width(), 50);
    EXPECT_EQ(Changes, 3);
    EXPECT_THROW(P.LoadFromFile(Dir / "bad.png"), EInvalidGraphicOperation);
    EXPECT_THROW(P.LoadFromFile(Dir / "missing.png"), EInvalidGraphicOperation);
    EXPECT_TRUE(P.HoldsMetafile()) << "unchanged after a failure";
    TPicture Copy;
    Copy.Assign(&P);
    EXPECT_TRUE(Copy.HoldsMetafile());
    EXPECT_NE(Copy.Graphic(), P.Graphic());
    Copy.Assign(nullptr);
    EXPECT_TRUE(Copy.Empty());
}

TEST(RpImages, AutoSizeTakesThePicturesSizeAndCanvasMakesABitmap)
{
    EnsureApplication();
    TRpImage I(nullptr);
    EXPECT_EQ(I.Width(), 105);
    I.SetAutoSize(true);
    TBitmap B(200, 100);
    I.Picture()->Assign(&B);
    EXPECT_EQ(I.Width(), 200);
    EXPECT_EQ(I.Height(), 100);
    EXPECT_FALSE(I.Transparent()) << "a bitmap that covers the control";
    TRpImage Empty(nullptr);
    ASSERT_NE(Empty.ImageCanvas(), nullptr);
    EXPECT_EQ(Empty.Picture()->Width(), 105);
    Empty.Picture()->Metafile();
    EXPECT_EQ(Empty.ImageCanvas(), nullptr);
}

// ------------------------------------------------------- the program's page

namespace {

// The program's printout: Letter, 12.7 mm margins, a title band with the
// header and the date, a detail band with a stretching memo in a
// fixed-pitch font, a page footer with the page number.
void BuildPrintout(TRpReport& R, int Lines)
{
    R.SetUnits(TRpUnit::Inches);
    R.Page()->SetPaperSize(TRpPaperSize::Letter);
    R.Page()->SetOrientation(poPortrait);
    R.SetUnits(TRpUnit::MM);
    for (auto Set : {&TRpPage::SetTopMargin, &TRpPage::SetBottomMargin, &TRpPage::SetLeftMargin,
                     &TRpPage::SetRightMargin})
        (R.Page()->*Set)(12.7L);
    R.SetUnits(TRpUnit::Inches);
    R.SetReportTitle("ZR Text Printout");
    R.Font()->SetName("Courier New");
    R.Font()->SetHeight(-13);
    R.Bands()->SetHasTitle(true);
    R.Bands()->SetHasDetail(true);
    R.Bands()->SetHasPageFooter(true);
    TRpCustomBand* Title = R.Bands()->GetBand(1);
    TRpCustomBand* Detail = R.Bands()->GetBand(4);
    TRpCustomBand* Footer = R.Bands()->GetBand(6);
    Title->SetHeight(153);
    Detail->SetHeight(40);
    Footer->SetHeight(30);

    auto* Header = Title->AddPrintable<TRpLabel>();
    Header->SetName("rplblHeader");
    Header->Font()->SetName("Courier New");
    Header->Font()->SetHeight(-16);
    Header->Font()->SetStyle(TFontStyles{fsBold});
    Header->SetAlignment(taCenter);
    Header->SetBounds(300, 8, 120, 20);
    Header->SetCaption("Full Test Report");
    auto* DateLabel = Title->AddPrintable<TRpLabel>();
    DateLabel->SetBounds(8, 60, 60, 20);
    DateLabel->SetCaption("Date:");
    auto* When = Title->AddPrintable<TRpSysData>();
    When->SetData(rpsDateTime);
    When->SetBounds(80, 60, 200, 20);

    auto* Text = Detail->AddPrintable<TRpMemo>();
    Text->SetName("Text");
    Text->Font()->SetName("Courier New");
    Text->Font()->SetHeight(-13);
    Text->SetAutoSize(false);
    Text->SetAutoStretch(true);
    Text->SetBounds(0, 0, 720, 40);
    Text->Lines()->Clear();
    for (int I = 1; I <= Lines; ++I)
        Text->Lines()->Add("Incident " + std::to_string(1000 + I) + "   Flow 12.5 L/min   Volume 0.45 L");

    auto* Page = Footer->AddPrintable<TRpSysData>();
    Page->SetText("Page ");
    Page->SetData(rpsPageNumber);
    Page->SetBounds(300, 4, 100, 20);
}

}  // namespace

TEST_F(MemoReport, TheProgramsPrintoutOnPaperAndOnScreen)
{
    TRpReport Report(nullptr);
    BuildPrintout(Report, 90);
    int Records = 0;
    Report.OnNeedData = [&Records](TObject*, bool& More) { More = ++Records <= 1; };
    Report.Print();
    ASSERT_EQ(PdfInfo(Pdf).Pages, 2);
    const std::string Text = RunTool("pdftotext -layout '" + Pdf + "' -");
    std::filesystem::copy_file(Pdf, Artifact("report-printout.pdf"),
                               std::filesystem::copy_options::overwrite_existing);
    size_t At = Text.find("Full Test Report");
    EXPECT_NE(At, std::string::npos);
    EXPECT_NE(Text.find("Date:"), std::string::npos);
    for (int I = 1; I <= 90; ++I) {
        const size_t Next = Text.find("Incident " + std::to_string(1000 + I), At);
        ASSERT_NE(Next, std::string::npos) << I;
        At = Next;
    }
    const size_t Page1 = Text.find("Page 1"), Page2 = Text.find("Page 2");
    ASSERT_NE(Page1, std::string::npos);
    ASSERT_NE(Page2, std::string::npos);
    EXPECT_LT(Page1, Page2);

    Records = 0;
    Report.Prepare();
    TRpPrinter* P = Report.RunPrinter();
    ASSERT_EQ(P->PageCount(), 2);
    std::unique_ptr<TMetafile> M = P->Page(1);
    TBitmap B(M->Width(), M->Height());
    B.Canvas()->StretchDraw(Rect(0, 0, M->Width(), M->Height()), M.get());
    B.SaveToFile(Artifact("report-printout-page1.png"));
    EXPECT_TRUE(M->ContainsText("Full Test Report"));
    EXPECT_TRUE(M->ContainsText("Page 1"));
}

// ---------------------------------------------------------------- designer

TEST_F(LabelWrap, DesignerPaintsBackgroundTextCornersAndShapes)
{
    L->SetColor(clYellow);
    L->SetCaption("WWW WWW");
    L->SetHeight(40);
    L->PaintControl();
    TCanvas* C = L->Canvas();
    ASSERT_NE(C, nullptr);
    EXPECT_EQ(C->Pixels(0, 0), clBlack) << "corner mark";
    EXPECT_EQ(C->Pixels(L->Width() - 2, L->Height() - 3), clYellow);
    int Ink = 0;
    for (int Y = 0; Y < R.TextHeight(L->Font(), "W"); ++Y)
        for (int X = 4; X < L->Width() - 4; ++X)
            Ink += C->Pixels(X, Y) != clYellow;
    EXPECT_GT(Ink, 20) << "the first line is drawn";

    auto* S = R.Bands()->GetBand(4)->AddPrintable<TRpShape>();
    S->SetShape(rpsHorLine);
    S->Pen()->SetColor(clRed);
    S->PaintControl();
    EXPECT_EQ(S->Canvas()->Pixels(S->Width() / 2, S->Height() / 2), clRed);
    EXPECT_NE(S->Canvas()->Pixels(S->Width() / 2, S->Height() / 2 - 5), clRed);

    auto* I = R.Bands()->GetBand(4)->AddPrintable<TRpImage>();
    I->Picture()->Bitmap()->SetSize(20, 10);
    I->Picture()->Bitmap()->Canvas()->Brush()->SetColor(clRed);
    I->Picture()->Bitmap()->Canvas()->FillRect(Rect(0, 0, 20, 10));
    I->SetCenter(true);
    I->PaintControl();
    const int CX = I->Width() / 2, CY = I->Height() / 2;
    EXPECT_EQ(I->Canvas()->Pixels(CX, CY), clRed);
    EXPECT_NE(I->Canvas()->Pixels(CX - 12, CY), clRed) << "natural size, centred";
}

// ------------------------------------------------------------ right to left

namespace {

// The words of a page of a PDF with their left and right edges (points).
struct TPdfWord {
    std::string Text;
    double Left, Right, Top;
};

std::vector<TPdfWord> PdfWords(const std::string& Pdf, int Page = 1)
{
    const std::string P = std::to_string(Page);
    const std::string Bbox = RunTool("pdftotext -f " + P + " -l " + P + " -bbox '" + Pdf + "' - 2>&1");
    std::vector<TPdfWord> Found;
    const std::regex Word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)"[^>]*>([^<]*)</word>)re");
    for (auto It = std::sregex_iterator(Bbox.begin(), Bbox.end(), Word); It != std::sregex_iterator(); ++It)
        Found.push_back({(*It)[4].str(), std::stod((*It)[1].str()), std::stod((*It)[3].str()), std::stod((*It)[2].str())});
    return Found;
}

}  // namespace

using RightToLeft = PdfPrinting;

TEST_F(RightToLeft, HebrewTextReadsRightToLeftAndItsAlignmentMirrors)
{
    // Shalom and a Latin word: read right to left the Latin word stands left
    // of the Hebrew one, read left to right right of it; the Hebrew letters
    // run from the right either way.
    const std::string Shin = "\u05e9", FinalMem = "\u05dd";
    const std::string Shalom = Shin + "\u05dc\u05d5" + FinalMem;
    const struct {
        TBiDiMode Mode;
        TAlignment Alignment;
        const char* Latin;
        bool LatinFirst;        // the Latin word left of the Hebrew one
        bool AgainstTheRight;   // the line ends at the label's right edge
    } Cases[] = {
        {bdLeftToRight, taLeftJustify, "alpha", false, false},
        {bdRightToLeft, taLeftJustify, "bravo", true, true},   // mirrored: drawn right
        {bdRightToLeft, taRightJustify, "charlie", true, false},   // mirrored: drawn left
        {bdRightToLeftNoAlign, taLeftJustify, "delta", true, false},
        {bdRightToLeftReadingOnly, taRightJustify, "echo", true, true},
    };
    auto R = NewA4ReportInMillimetres(10);
    R->Bands()->SetHasTitle(true);
    R->SetShowProgress(false);
    TRpCustomBand* Title = R->Bands()->GetBand(1);
    Title->Size()->SetHeight(100);
    int Row = 0;
    for (const auto& C : Cases) {
        auto* L = Title->AddPrintable<TRpLabel>();
        L->Font()->SetName("Arial");
        L->Font()->SetSize(12);
        L->SetAutoSize(false);
        L->Size()->SetLeft(0);
        L->Size()->SetTop(15 * Row++);
        L->Size()->SetWidth(100);
        L->SetAlignment(C.Alignment);
        L->SetBiDiMode(C.Mode);
        EXPECT_FALSE(L->ParentBiDiMode());
        L->SetCaption(Shalom + " " + C.Latin);
    }
    R->Print();
    const std::vector<TPdfWord> Words = PdfWords(Pdf);
    const double MmToPt = 72 / 25.4;
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Latin);
        const auto Latin = std::find_if(Words.begin(), Words.end(), [&](const TPdfWord& W) { return W.Text == C.Latin; });
        ASSERT_NE(Latin, Words.end());
        // The Hebrew letters on the Latin word's line (the PDF's text layer
        // may hold them as words of their own).
        double HebrewLeft = 1e9, HebrewRight = -1e9, ShinLeft = 0, FinalMemLeft = 0;
        for (const TPdfWord& W : Words) {
            if (std::abs(W.Top - Latin->Top) > 2 || W.Text.empty() || static_cast<unsigned char>(W.Text[0]) < 0x80)
                continue;
            HebrewLeft = std::min(HebrewLeft, W.Left);
            HebrewRight = std::max(HebrewRight, W.Right);
            if (W.Text.rfind(Shin, 0) == 0)
                ShinLeft = W.Left;
            if (W.Text.find(FinalMem) != std::string::npos)
                FinalMemLeft = W.Left;
        }
        ASSERT_LT(HebrewLeft, HebrewRight) << "Hebrew on the line";
        EXPECT_GT(ShinLeft, FinalMemLeft) << "the first letter on the right";
        EXPECT_EQ(Latin->Right < HebrewLeft, C.LatinFirst);
        const double LineLeft = std::min(Latin->Left, HebrewLeft);
        const double LineRight = std::max(Latin->Right, HebrewRight);
        if (C.AgainstTheRight)
            EXPECT_NEAR(LineRight, 110 * MmToPt, 2);
        else
            EXPECT_NEAR(LineLeft, 10 * MmToPt, 2);
    }
}

// ------------------------------------------------------- printed on paper

using PrintedLabels = PdfPrinting;

// Left, centred and right-aligned labels, opaque and transparent, each in a
// colour of its own, on two pages, and a page footer in the first label's
// colour (the last text of page 1, and the first of page 2 is in its
// colour): on paper each text stands against the edge of its box that its
// alignment names, and is drawn in its colour alone.
TEST_F(PrintedLabels, TextStandsAtItsAlignedEdgeInItsOwnColour)
{
    const TColor Green = RGB(0, 128, 0);
    struct TCase {
        TAlignment Alignment;
        long double Left;   // mm, in the band; 60 mm wide
        TColor Colour;
        bool Transparent;
        std::string Word;
    };
    const TCase Cases[] = {
        {taLeftJustify, 0, clRed, false, "Left"},
        {taCenter, 60, Green, true, "Centre"},
        {taRightJustify, 120, clBlue, false, "Right"},
    };
    const TCase Footer{taLeftJustify, 0, clRed, true, "Foot"};

    auto R = NewA4ReportInMillimetres(10);
    R->SetShowProgress(false);
    R->Bands()->SetHasDetail(true);
    R->Bands()->SetHasPageFooter(true);
    R->Bands()->GetBand(4)->Size()->SetHeight(150);   // one record a page
    R->Bands()->GetBand(6)->Size()->SetHeight(10);
    auto Place = [](TRpCustomLabel* L, const TCase& C) {
        L->Font()->SetName("Arial");
        L->Font()->SetSize(14);
        L->Font()->SetColor(C.Colour);
        L->SetAutoSize(false);
        L->SetTransparent(C.Transparent);
        L->SetAlignment(C.Alignment);
        L->Size()->SetUnits(TRpUnit::MM);
        L->Size()->SetLeft(C.Left);
        L->Size()->SetTop(C.Word == "Foot" ? 0 : 20);
        L->Size()->SetWidth(60);
        L->Size()->SetHeight(10);
    };
    std::vector<TRpLabel*> Labels;
    for (const TCase& C : Cases) {
        Labels.push_back(R->Bands()->GetBand(4)->AddPrintable<TRpLabel>());
        Place(Labels.back(), C);
    }
    auto* Foot = R->Bands()->GetBand(6)->AddPrintable<TRpSysData>();
    Place(Foot, Footer);
    Foot->SetText("Foot");
    Foot->SetData(rpsPageNumber);
    int Served = 0;
    R->OnNeedData = [&](TObject*, bool& More) {
        More = ++Served <= 2;
        if (More)
            for (size_t I = 0; I < Labels.size(); ++I)
                Labels[I]->SetCaption(Cases[I].Word + std::to_string(Served));
    };
    R->Print();
    ASSERT_EQ(PdfInfo(Pdf).Pages, 2);

    const double MmToPt = 72 / 25.4, PtToPx = 150 / 72.0;
    const TColor Inks[] = {clBlack, clRed, Green, clBlue};
    auto Near = [](TColor A, TColor B) {
        return std::abs(GetRValue(A) - GetRValue(B)) < 60 && std::abs(GetGValue(A) - GetGValue(B)) < 60 &&
               std::abs(GetBValue(A) - GetBValue(B)) < 60;
    };
    for (int Page = 1; Page <= 2; ++Page) {
        const std::vector<TPdfWord> Words = PdfWords(Pdf, Page);
        const std::string Png = Dir / ("page" + std::to_string(Page) + ".png");
        RunTool("pdftoppm -r 150 -f " + std::to_string(Page) + " -l " + std::to_string(Page) + " -png -singlefile '" +
                Pdf + "' '" + Png.substr(0, Png.size() - 4) + "'");
        TBitmap Paper;
        Paper.LoadFromFile(Png);
        ASSERT_GT(Paper.Width(), 1000);
        std::vector<TCase> Expected(std::begin(Cases), std::end(Cases));
        Expected.push_back(Footer);
        for (const TCase& C : Expected) {
            const std::string Word = C.Word + std::to_string(Page);
            SCOPED_TRACE(Word);
            const auto W = std::find_if(Words.begin(), Words.end(), [&](const TPdfWord& V) { return V.Text == Word; });
            ASSERT_NE(W, Words.end());
            // The page's margin and the label's place in its band.
            const double BoxLeft = static_cast<double>(10 + C.Left) * MmToPt, BoxRight = BoxLeft + 60 * MmToPt;
            if (C.Alignment == taLeftJustify)
                EXPECT_NEAR(W->Left, BoxLeft, 1);
            else if (C.Alignment == taRightJustify)
                EXPECT_NEAR(W->Right, BoxRight, 1);
            else
                EXPECT_NEAR((W->Left + W->Right) / 2, (BoxLeft + BoxRight) / 2, 1);
            EXPECT_NEAR(W->Top, (C.Word == "Foot" ? 277 : 30) * MmToPt, 3);

            // The ink within the word's box: some of it in the label's
            // colour, none in another one.
            int Own = 0, Other = 0;
            const int Top = static_cast<int>(W->Top * PtToPx) - 1;
            for (int Y = Top; Y < Top + static_cast<int>(7 * MmToPt * PtToPx); ++Y)
                for (int X = static_cast<int>(W->Left * PtToPx) - 1; X <= static_cast<int>(W->Right * PtToPx) + 1; ++X) {
                    const TColor Pixel = Paper.Canvas()->Pixels(X, Y);
                    if (Near(Pixel, C.Colour))
                        ++Own;
                    else
                        for (TColor Ink : Inks)
                            Other += Ink != C.Colour && Near(Pixel, Ink);
                }
            EXPECT_GT(Own, 10);
            EXPECT_EQ(Other, 0);
        }
    }
}
