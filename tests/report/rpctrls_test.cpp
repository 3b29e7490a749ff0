// Text printables: wrapping into output lines, auto size, printing line by
// line with band growth and continuation on the next page, system data and
// the OnPrint handler (recorded pages read back from the run's page list).
#include "report/RpCtrls.h"

#include "platform/Metafile.h"
#include "report/RpExportFilter.h"
#include "tests/report/PrinterRig.h"

#include <gtest/gtest.h>

#include <memory>
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
        R = std::make_unique<TRpReport>(nullptr);
        R->SetUnits(TRpUnit::MM);
        R->Page()->SetPaperSize(TRpPaperSize::A4);
        R->Page()->SetOrientation(poPortrait);
        for (auto Set : {&TRpPage::SetTopMargin, &TRpPage::SetBottomMargin, &TRpPage::SetLeftMargin,
                         &TRpPage::SetRightMargin})
            (R->Page()->*Set)(10);
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
