// The preview control and the "Print Preview" window: zoom and its fitting,
// page keys, thumbnails, the wheel and the tool bar, the status bar, go to
// page, find, save and load, and the metafile text search behind find.
#include "report/dialogs/RpPreview.h"

#include "platform/Dialogs.h"
#include "report/RpExtra.h"
#include "report/dialogs/RpPreviewDlg.h"
#include "tests/report/PreviewRig.h"
#include "tests/support/Components.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace prevrig;

namespace {

class PreviewBox : public prnrig::PdfPrinting {};

// A window on a recorded run of Pages pages.
class PreviewWindow : public Answering {
protected:
    void Open(int Pages, const std::map<int, std::string>& Words = {})
    {
        P = std::make_unique<TRpPrinter>(nullptr);
        RunWords(*P, Pages, Words);
        W = std::make_unique<TRpStandardPreview>(nullptr, P.get());
        W->Show();
    }
    void TearDown() override
    {
        W.reset();
        P.reset();
        Answering::TearDown();
    }
    int Page() const { return Find<TRpPreview>(W.get(), "RpPreview")->PageNumber(); }
    void Key(uint16_t K, TShiftState Shift = {})
    {
        // The key reaches the focused control; the window sees it first.
        Find<TRpPreview>(W.get(), "RpPreview")->WidgetKeyDown(K, Shift);
    }
    std::string Panel(int I) const { return Find<TStatusBar>(W.get(), "StatusBar")->Panels()->Items(I)->Text(); }
    // A press and release on C (tool buttons take the click their widget
    // reports: Click).
    void ClickControl(TControl* C, int X = 3, int Y = 3)
    {
        C->WidgetMouseDown(mbLeft, {}, X, Y, false);
        C->WidgetMouseUp(mbLeft, {}, X, Y);
    }

    std::unique_ptr<TRpPrinter> P;
    std::unique_ptr<TRpStandardPreview> W;
};

}  // namespace

TEST_F(PreviewBox, ZoomSizesTheImageAndFitsPageOrWidth)
{
    TRpPrinter P(nullptr);
    RunWords(P, 1);
    TRpPreview Box(nullptr);
    Box.SetRpPrinter(&P);
    EXPECT_TRUE(P.ShowingPreview());
    EXPECT_EQ(P.Client(), &Box);
    Box.SetZoom(100);
    EXPECT_EQ(Box.PreviewImage()->Width(), 798);
    EXPECT_EQ(Box.PreviewImage()->Height(), 1127);
    Box.SetZoom(50);
    EXPECT_EQ(Box.PreviewImage()->Width(), 401);
    EXPECT_EQ(Box.PreviewImage()->Height(), 565);
    EXPECT_TRUE(Box.PreviewImage()->ImageOK());

    Box.SetBounds(0, 0, 800, 600);
    Box.ZoomToFit();
    EXPECT_EQ(Box.Zoom(), 51);
    EXPECT_EQ(Box.ZoomState(), rpZoomToFit);
    // Centred across; from the top when taller than the box.
    EXPECT_EQ(Box.PreviewImage()->Left(), (800 - Box.PreviewImage()->Width()) / 2);
    Box.SetBounds(0, 0, 800, 300);
    EXPECT_EQ(Box.Zoom(), 25);
    Box.SetBounds(0, 0, 800, 600);
    Box.ZoomToWidth();
    EXPECT_EQ(Box.Zoom(), 91);
    Box.SetBounds(0, 0, 400, 600);
    EXPECT_EQ(Box.Zoom(), 45);
    EXPECT_EQ(Box.ZoomState(), rpZoomToWidth);
    Box.SetZoom(100);
    Box.SetBounds(0, 0, 900, 700);
    EXPECT_EQ(Box.Zoom(), 100);
    EXPECT_EQ(Box.ZoomState(), rpZoomOther);
    // Out of 2..2000 is ignored.
    Box.SetZoom(1);
    Box.SetZoom(2001);
    EXPECT_EQ(Box.Zoom(), 100);
    Box.SetRpPrinter(nullptr);
    EXPECT_FALSE(P.ShowingPreview());
    EXPECT_EQ(P.Client(), nullptr);
}

TEST_F(PreviewBox, FittingWithoutSizeKeepsTheZoom)
{
    TRpPrinter P(nullptr);
    RunWords(P, 1);
    TRpPreview Box(nullptr);
    Box.SetRpPrinter(&P);
    Box.SetZoom(80);
    // A box of no size: the zoom computed is out of range.
    Box.SetBounds(0, 0, 0, 0);
    Box.ZoomToFit();
    EXPECT_EQ(Box.Zoom(), 80);
    Box.ZoomToWidth();
    EXPECT_EQ(Box.Zoom(), 80);
    // A page of no size: nothing to divide by.
    Box.SetBounds(0, 0, 800, 600);
    P.SetPaperSize(TRpPaperSize::Custom);
    P.SetPaperWidth(0);
    P.SetPaperLength(0);
    Box.SetZoom(80);
    Box.ZoomToFit();
    EXPECT_EQ(Box.Zoom(), 80);
    Box.ZoomToWidth();
    EXPECT_EQ(Box.Zoom(), 80);
    Box.SetRpPrinter(nullptr);
}

TEST_F(PreviewBox, WithoutPrinterTheImageIsLetterAtOnePixelPerMillimetre)
{
    TRpPreview Box(nullptr);
    Box.SetZoom(100);
    EXPECT_EQ(Box.PreviewImage()->Width(), 220);
    EXPECT_EQ(Box.PreviewImage()->Height(), 283);
    // No page to show.
    Box.SetPageNumber(2);
    EXPECT_EQ(Box.PageNumber(), 1);
}

TEST_F(PreviewBox, PageAvailableLoadsThePageShownOnceRecorded)
{
    TRpPrinter P(nullptr);
    TRpPreview Box(nullptr);
    std::vector<int> Announced;
    Box.OnPageAvailable = [&](TObject*, int N) { Announced.push_back(N); };
    Box.SetRpPrinter(&P);
    EXPECT_FALSE(Box.PreviewImage()->ImageOK());
    RunWords(P, 2);
    ProcessUntil([&] { return Announced.size() == 2; });
    EXPECT_EQ(Announced, (std::vector<int>{1, 2}));
    EXPECT_TRUE(Box.PreviewImage()->ImageOK());
    // The printer going lets the box drop its picture.
    Box.SetRpPrinter(nullptr);
}

TEST_F(PreviewWindow, TheReportsStyleAndInitialStateShapeTheWindow)
{
    const struct {
        bool Report;
        TFormStyle Style;
        TWindowState State;
    } Cases[] = {
        {true, fsNormal, wsNormal},   // the defaults
        {true, fsStayOnTop, wsMaximized},
        {true, fsNormal, wsMinimized},
        {false, fsNormal, wsMaximized},   // pages without a report
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(std::to_string(C.Style) + "/" + std::to_string(C.State));
        TRpReport R(nullptr);
        EXPECT_EQ(R.PrevFormStyle(), fsNormal);
        EXPECT_EQ(R.PreviewInitialState(), wsNormal);
        if (C.Style != fsNormal)
            R.SetPrevFormStyle(C.Style);
        if (C.State != wsNormal)
            R.SetPreviewInitialState(C.State);
        TRpPrinter Printer(C.Report ? &R : nullptr);
        RunWords(Printer, 1);
        TRpStandardPreview Window(nullptr, &Printer);
        EXPECT_EQ(Window.FormStyle(), C.Style);
        EXPECT_EQ(Window.WindowState(), C.State);
    }
}

TEST_F(PreviewWindow, KeysMoveThroughThePagesAndTheStatusBarFollows)
{
    Open(12);
    EXPECT_EQ(W->Caption(), "Print Preview");
    EXPECT_EQ(Panel(1), "Page 1 of 12");
    struct {
        uint16_t Key;
        TShiftState Shift;
        int Page;
    } const Cases[] = {
        {VK_NEXT, {}, 2},           {VK_NEXT, {}, 3},        {VK_PRIOR, {}, 2},
        {VK_NEXT, {ssCtrl}, 12},    {VK_NEXT, {}, 12},       {VK_PRIOR, {ssCtrl, ssShift}, 11},
        {VK_PRIOR, {ssCtrl}, 1},    {VK_PRIOR, {}, 1},       {VK_END, {}, 12},
        {VK_HOME, {}, 1},
    };
    for (const auto& C : Cases) {
        Key(C.Key, C.Shift);
        EXPECT_EQ(Page(), C.Page) << C.Key;
        EXPECT_EQ(Find<TResizeGrid>(W.get(), "ThumbGrid")->Row(), C.Page - 1);
    }
    Key(VK_NEXT);
    EXPECT_EQ(Panel(1), "Page 2 of 12");
}

TEST_F(PreviewWindow, ThumbnailClickWheelAndToolBar)
{
    Open(6);
    W->SetBounds(0, 0, 800, 639);
    const int RowHeight = Find<TResizeGrid>(W.get(), "ThumbGrid")->DefaultRowHeight();
    ASSERT_GT(RowHeight, 20);
    Find<TResizeGrid>(W.get(), "ThumbGrid")->SetTopRow(0);
    ClickControl(Find<TResizeGrid>(W.get(), "ThumbGrid"), 10, 3 * RowHeight + 5);
    EXPECT_EQ(Page(), 4);
    EXPECT_EQ(Panel(1), "Page 4 of 6");

    Find<TRpPreview>(W.get(), "RpPreview")->SetZoom(200);
    ASSERT_GT(Find<TRpPreview>(W.get(), "RpPreview")->VertScrollBar()->Range(), 0);
    Find<TRpPreview>(W.get(), "RpPreview")->WidgetMouseWheel({}, -120, {10, 10});
    EXPECT_GT(Find<TRpPreview>(W.get(), "RpPreview")->VertScrollBar()->Position(), 0);

    Find<TToolButton>(W.get(), "ZoomToWidth")->Click();
    EXPECT_EQ(Find<TRpPreview>(W.get(), "RpPreview")->ZoomState(), rpZoomToWidth);
    Find<TToolButton>(W.get(), "Zoom100")->Click();
    EXPECT_EQ(Find<TRpPreview>(W.get(), "RpPreview")->Zoom(), 100);
    Find<TToolButton>(W.get(), "LastPage")->Click();
    EXPECT_EQ(Page(), 6);
}

TEST_F(PreviewWindow, ProgressIsWrittenEveryFivePercentAndEmptiedAtTheEnd)
{
    Open(2);
    std::vector<std::string> Shown;
    for (int Percent : {12, 13, 17, 18, 50, 100}) {
        SendMessage(Find<TRpPreview>(W.get(), "RpPreview"), CM_RPPROGRESSUPDATE, Percent);
        Shown.push_back(Panel(0));
    }
    EXPECT_EQ(Shown, (std::vector<std::string>{"12%", "12%", "17%", "17%", "50%", ""}));
}

TEST_F(PreviewWindow, GoToPageReadsTheAnswerAsTheLibraryReadsNumbers)
{
    Open(12);
    struct {
        const char* Answer;
        int Page;
    } const Cases[] = {{"$A", 10}, {"0x3", 3}, {" 7x", 7}, {"-2", 1}, {"99", 1}, {"abc", 1}, {"+5", 5}};
    std::vector<TDialogRequest> Asked;
    std::string Reply;
    Answer([&](const TDialogRequest& R, TDialogAnswer& A) {
        if (R.Kind != TDialogKind::InputBox)
            return false;
        Asked.push_back(R);
        A.ModalResult = mrOk;
        A.Text = Reply;
        return true;
    });
    for (const auto& C : Cases) {
        W->SelectPage(2);
        Reply = C.Answer;
        Find<TToolButton>(W.get(), "GotoPageButton")->Click();
        EXPECT_EQ(Page(), C.Page) << C.Answer;
    }
    ASSERT_FALSE(Asked.empty());
    EXPECT_EQ(Asked.front().Caption, "Select a page from 1 to 12");
    EXPECT_EQ(Asked.front().Name, "Go to page >>");
    EXPECT_EQ(Asked.front().Text, "2");

    Answer([](const TDialogRequest& R, TDialogAnswer& A) {
        A.ModalResult = mrCancel;
        return R.Kind == TDialogKind::InputBox;
    });
    W->SelectPage(4);
    Find<TToolButton>(W.get(), "GotoPageButton")->Click();
    EXPECT_EQ(Page(), 4);
}

TEST_F(PreviewWindow, FindListsThePagesHoldingTheText)
{
    Open(6, {{2, "Quarterly Flow"}, {5, "flow rate"}, {6, "Fl"}});
    AnswerSearch("Flow", false);
    Find<TToolButton>(W.get(), "FindButton")->Click();
    std::vector<std::string> Lines;
    for (int I = 0; I < Find<TListBox>(W.get(), "SearchResultBox")->Items()->Count(); ++I)
        Lines.push_back(Find<TListBox>(W.get(), "SearchResultBox")->Items()->Strings(I));
    EXPECT_EQ(Lines, (std::vector<std::string>{"Page 2", "Page 5"}));
    EXPECT_TRUE(Find<TListBox>(W.get(), "SearchResultBox")->Enabled());
    EXPECT_EQ(Find<TLabel>(W.get(), "SearchTextLabel")->Caption(), "Flow");

    AnswerSearch("Flow", true);
    Find<TToolButton>(W.get(), "FindButton")->Click();
    EXPECT_EQ(Find<TListBox>(W.get(), "SearchResultBox")->Items()->Count(), 1);
    EXPECT_EQ(Find<TListBox>(W.get(), "SearchResultBox")->Items()->Strings(0), "Page 2");

    AnswerSearch("absent", false);
    Find<TToolButton>(W.get(), "FindButton")->Click();
    EXPECT_EQ(Find<TListBox>(W.get(), "SearchResultBox")->Items()->Count(), 1);
    EXPECT_EQ(Find<TListBox>(W.get(), "SearchResultBox")->Items()->Strings(0), "No matching text");
    EXPECT_FALSE(Find<TListBox>(W.get(), "SearchResultBox")->Enabled());

    // Cancelled: the list stays.
    AnswerSearch("Flow", false, true);
    Find<TToolButton>(W.get(), "FindButton")->Click();
    EXPECT_EQ(Find<TListBox>(W.get(), "SearchResultBox")->Items()->Strings(0), "No matching text");
}

TEST(PrinterSetupFromPreview, PaperSourceCodesBecomeTheFirstBinWithThatCode)
{
    struct {
        int32_t Code;
        bool Known;
        TRpBin Bin;
    } const Cases[] = {
        {1, true, TRpBin::First},    {2, true, TRpBin::Lower}, {7, true, TRpBin::Auto},
        {14, true, TRpBin::Cassette}, {0, false, {}},           {12, false, {}},
        {13, false, {}},              {260, false, {}},         {-1, false, {}},
    };
    for (const auto& C : Cases) {
        TRpBin Bin = TRpBin::Tractor;
        EXPECT_EQ(RpBinOfSourceCode(C.Code, Bin), C.Known) << C.Code;
        EXPECT_EQ(Bin, C.Known ? C.Bin : TRpBin::Tractor) << C.Code;
    }
}

TEST(StrInMetafile, EachTextOnItsOwnAndCaseFolded)
{
    TMetafile M;
    M.SetWidth(200);
    M.SetHeight(200);
    {
        TMetafileCanvas C(&M, nullptr);
        C.TextOut(0, 0, "Gas flow");
        C.TextOut(50, 0, "rate");
        C.TextOut(0, 40, "Straße");
    }
    struct {
        const char* Text;
        bool Case;
        bool Found;
    } const Cases[] = {
        {"flow", true, true}, {"FLOW", true, false}, {"FLOW", false, true}, {"flowrate", false, false},
        {"flow rate", false, false}, {"straße", false, true}, {"", false, true},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(StrInMetafile(C.Text, &M, C.Case), C.Found) << C.Text << ' ' << C.Case;
    EXPECT_FALSE(StrInMetafile("flow", nullptr, false));
}

TEST_F(PreviewWindow, SaveAndLoadShowTheSamePagesAndADamagedFileKeepsThem)
{
    Open(5, {{3, "Three"}});
    const std::string File = Dir / "run.rpf";
    EXPECT_TRUE(Find<TToolButton>(W.get(), "SaveReport")->Enabled());
    EXPECT_TRUE(Find<TToolButton>(W.get(), "Print")->Enabled());
    std::vector<TDialogRequest> Files;
    Answer([&](const TDialogRequest& R, TDialogAnswer& A) {
        if (R.Kind != TDialogKind::SaveFile && R.Kind != TDialogKind::OpenFile)
            return false;
        Files.push_back(R);
        A.ModalResult = mrOk;
        A.FileName = File;
        return true;
    });
    Find<TToolButton>(W.get(), "SaveReport")->Click();
    ASSERT_TRUE(std::filesystem::exists(File));

    auto Other = std::make_unique<TRpPrinter>(nullptr);
    RunWords(*Other, 2);
    TRpStandardPreview Second(nullptr, Other.get());
    Second.Show();
    Find<TToolButton>(&Second, "LoadReport")->Click();
    ASSERT_EQ(Other->PageCount(), 5);
    for (int N = 1; N <= 5; ++N)
        EXPECT_EQ(Other->Page(N)->SaveToBytes(), P->Page(N)->SaveToBytes()) << N;
    EXPECT_EQ(Find<TStatusBar>(&Second, "StatusBar")->Panels()->Items(2)->Text(), File);
    ASSERT_EQ(Files.size(), 2u);
    EXPECT_EQ(Files[0].Caption, "Save report");
    EXPECT_EQ(Files[0].Filter.rfind("Report file(*.RPF)|*.RPF", 0), 0u) << Files[0].Filter;
    EXPECT_EQ(Files[1].Caption, "Load report");
    EXPECT_EQ(Files[1].Filter, "Report file (*.RPF)|*.RPF");
    EXPECT_EQ(Find<TStatusBar>(&Second, "StatusBar")->Panels()->Items(1)->Text(), "Page 1 of 5");
    EXPECT_FALSE(Find<TToolButton>(&Second, "PrintSetup")->Enabled());
    EXPECT_TRUE(Find<TToolButton>(&Second, "Print")->Enabled());

    // A damaged file: the reader's error, the pages stay.
    rprig::Bytes B = rprig::ReadFile(File);
    B.resize(B.size() / 2);
    const std::string Damaged = Dir / "damaged.rpf";
    rprig::WriteFile(Damaged, B);
    std::string Shown;
    Answer([&](const TDialogRequest& R, TDialogAnswer& A) {
        if (R.Kind == TDialogKind::OpenFile) {
            A.ModalResult = mrOk;
            A.FileName = Damaged;
            return true;
        }
        if (R.Kind == TDialogKind::MessageBox) {
            Shown = R.Text;
            A.ModalResult = mrOk;
            return true;
        }
        return false;
    });
    Find<TToolButton>(&Second, "LoadReport")->Click();
    EXPECT_NE(Shown.find("damaged"), std::string::npos) << Shown;
    EXPECT_EQ(Other->PageCount(), 5);
    EXPECT_NE(Other->Page(5), nullptr);
    EXPECT_TRUE(Find<TRpPreview>(&Second, "RpPreview")->PreviewImage()->ImageOK());

    // A name that does not exist.
    Answer([&](const TDialogRequest& R, TDialogAnswer& A) {
        if (R.Kind == TDialogKind::OpenFile) {
            A.ModalResult = mrOk;
            A.FileName = Dir / "none.rpf";
            return true;
        }
        if (R.Kind == TDialogKind::MessageBox) {
            Shown = R.Text;
            A.ModalResult = mrOk;
            return true;
        }
        return false;
    });
    Find<TToolButton>(&Second, "LoadReport")->Click();
    EXPECT_EQ(Shown, "File does not exist");
}

TEST_F(PreviewWindow, SaveWaitsForTheEndOfTheRun)
{
    P = std::make_unique<TRpPrinter>(nullptr);
    P->SetDestination(rpdMetafile);
    P->BeginDoc();
    P->NewPage();
    W = std::make_unique<TRpStandardPreview>(nullptr, P.get());
    W->Show();
    EXPECT_FALSE(Find<TToolButton>(W.get(), "SaveReport")->Enabled());
    EXPECT_FALSE(Find<TToolButton>(W.get(), "Print")->Enabled());
    P->EndDoc();
    ProcessUntil([&] { return Find<TToolButton>(W.get(), "SaveReport")->Enabled(); });
    EXPECT_TRUE(Find<TToolButton>(W.get(), "SaveReport")->Enabled());
    EXPECT_TRUE(Find<TToolButton>(W.get(), "Print")->Enabled());
}
