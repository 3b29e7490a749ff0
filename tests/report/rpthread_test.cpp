// Reports built on a worker thread while the preview shows them, the
// composite report, and the saved-report handler.
#include "report/RpThread.h"

#include "platform/ScopeGuard.h"
#include "platform/Timer.h"

#include "report/RpCompo.h"
#include "report/RpCtrlsData.h"
#include "report/RpExpr.h"
#include "report/RpExtra.h"
#include "report/dialogs/RpPreviewDlg.h"
#include "report/RpReport.h"
#include "tests/report/PreviewRig.h"
#include "tests/support/Components.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace prevrig;

namespace {

// Writes Text() at its place.
class TWord : public TRpPrintable {
public:
    explicit TWord(TComponent* AOwner) : TRpPrintable(AOwner) {}
    void Print(int OfsX, int OfsY) override
    {
        const TRect R = PrintRect(OfsX, OfsY);
        ActivePrinter()->GetCanvas()->TextOut(R.Left, R.Top, Text ? Text() : std::string());
        TRpPrintable::Print(OfsX, OfsY);
    }
    std::function<std::string()> Text;
};

// An A4 report in millimetres, 10 mm margins: a detail of DetailMm per
// record writing Name and the record number; Records records, each served
// after Delay.
struct TTestReport {
    TTestReport(const std::string& AName, int ARecords, int DetailMm, std::chrono::milliseconds ADelay = {})
        : Name(AName), Records(ARecords), Delay(ADelay)
    {
        R = prnrig::NewA4ReportInMillimetres(10);
        R->Bands()->SetHasDetail(true);
        R->Bands()->SetHasPageFooter(true);
        R->SetUnits(TRpUnit::MM);
        Detail()->Size()->SetHeight(DetailMm);
        Footer()->Size()->SetHeight(8);
        Word = Detail()->AddPrintable<TWord>();
        Word->Text = [this] { return Name + std::to_string(Served.load()); };
        FooterWord = Footer()->AddPrintable<TWord>();
        FooterWord->Text = [this] { return Name + "Footer"; };
        R->OnNeedData = [this](TObject*, bool& More) {
            if (Delay.count() > 0)
                std::this_thread::sleep_for(Delay);
            More = ++Served <= Records;
        };
        // The report itself, not R: a test that frees the report mid-run
        // empties R before the worker has stopped.
        Detail()->AfterPrint = [this, Report = R.get()](TRpCustomBand*, bool Printed) {
            if (Printed)
                Pages.push_back(Report->PageNo());
        };
    }
    TRpCustomBand* Detail() const { return R->Bands()->GetBand(4); }
    TRpCustomBand* Footer() const { return R->Bands()->GetBand(6); }

    std::string Name;
    int Records;
    std::chrono::milliseconds Delay;
    std::atomic<int> Served{0};
    std::unique_ptr<TRpReport> R;
    TWord* Word = nullptr;
    TWord* FooterWord = nullptr;
    // The page of every detail printed.
    std::vector<int> Pages;
};

class Background : public Answering {
protected:
    void SetUp() override
    {
        Answering::SetUp();
        RegisterStandardPreview();
    }
    void TearDown() override
    {
        // Windows left open by a test (their report went first).
        std::vector<TComponent*> Left;
        for (int I = 0; I < Application->ComponentCount(); ++I)
            if (dynamic_cast<TRpStandardPreview*>(Application->Components(I)))
                Left.push_back(Application->Components(I));
        for (TComponent* W : Left)
            delete W;
        RegisterPreviewClass(TRpPreviewInterfaceClass::Of<TRpPreviewInterface>("TRpPreviewInterface"));
        Answering::TearDown();
    }
    static TRpStandardPreview* Window(TRpPrinter* P) { return P ? dynamic_cast<TRpStandardPreview*>(P->PreviewForm()) : nullptr; }
};

// The pages of P whose texts contain Word.
std::vector<int> PagesWith(TRpPrinter* P, const std::string& Word)
{
    std::vector<int> Found;
    for (int N = 1; N <= P->PageCount(); ++N)
        if (std::unique_ptr<TMetafile> M = P->Page(N); M && StrInMetafile(Word, M.get(), true))
            Found.push_back(N);
    return Found;
}

}  // namespace

TEST_F(Background, ModelessPreviewShowsPagesWhileTheRunGoesOnAndClosingCancelsIt)
{
    TTestReport T("Rec", 60, 270, std::chrono::milliseconds(15));
    T.R->PreviewModeless();
    TRpPrinter* P = T.R->RunPrinter();
    ASSERT_NE(P, nullptr);
    TRpStandardPreview* W = Window(P);
    ASSERT_NE(W, nullptr);
    ASSERT_TRUE(ProcessUntil([&] { return Find<TRpPreview>(W, "RpPreview")->PreviewImage()->ImageOK(); }));
    EXPECT_FALSE(T.R->Available()) << "page 1 is shown before the run ends";
    const int Early = Find<TResizeGrid>(W, "ThumbGrid")->RowCount();
    ASSERT_TRUE(ProcessUntil([&] { return Find<TResizeGrid>(W, "ThumbGrid")->RowCount() > Early + 2; }));
    EXPECT_FALSE(T.R->Available());
    // Refused while the run goes on.
    T.R->PreviewModeless();
    EXPECT_EQ(T.R->RunPrinter(), P);

    uint16_t Key = VK_ESCAPE;
    Find<TRpPreview>(W, "RpPreview")->WidgetKeyDown(Key, {});
    ASSERT_TRUE(ProcessUntil([&] { return T.R->Available() && !T.R->WorkerRunning(); }));
    EXPECT_EQ(T.R->RunPrinter(), nullptr);
    EXPECT_LT(T.Served.load(), 60);
    ProcessFor(20);
}

TEST_F(Background, FinishedRunEnablesPrintAndEscapeReleasesThePrinter)
{
    TTestReport T("Rec", 5, 270);
    T.R->SetReportTitle("Flow summary");
    T.R->PreviewModeless();
    TRpPrinter* P = T.R->RunPrinter();
    TRpStandardPreview* W = Window(P);
    ASSERT_NE(W, nullptr);
    ASSERT_TRUE(ProcessUntil(
        [&] { return T.R->Available() && !T.R->WorkerRunning() && Find<TToolButton>(W, "Print")->Enabled(); }));
    EXPECT_EQ(P->PageCount(), 5);
    EXPECT_EQ(Find<TResizeGrid>(W, "ThumbGrid")->RowCount(), 5);
    EXPECT_TRUE(Find<TToolButton>(W, "SaveReport")->Enabled());
    EXPECT_EQ(W->Caption(), "Flow summary");
    EXPECT_EQ(Find<TStatusBar>(W, "StatusBar")->Panels()->Items(2)->Text(), "Flow summary");
    EXPECT_EQ(PagesWith(P, "Rec3"), (std::vector<int>{3}));
    uint16_t Key = VK_ESCAPE;
    Find<TResizeGrid>(W, "ThumbGrid")->WidgetKeyDown(Key, {});
    EXPECT_EQ(T.R->RunPrinter(), nullptr);
    ProcessFor(20);
}

TEST_F(Background, ReportDestroyedMidRunWaitsForItsWorker)
{
    auto T = std::make_unique<TTestReport>("Rec", 200, 270, std::chrono::milliseconds(5));
    T->R->PreviewModeless();
    ASSERT_TRUE(ProcessUntil([&] { return T->Served.load() > 3; }));
    T->R.reset();
    EXPECT_LT(T->Served.load(), 200);
    ProcessFor(50);
}

TEST_F(Background, ModalPreviewRunsInsideTheWindowsLoop)
{
    TTestReport T("Rec", 4, 270);
    int Pages = 0;
    Answer([&](const TDialogRequest& R, TDialogAnswer& A) {
        auto* W = dynamic_cast<TRpStandardPreview*>(R.Dialog);
        if (!W)
            return false;
        ProcessUntil([&] { return Find<TToolButton>(W, "Print")->Enabled(); });
        Pages = W->RpPrinter()->PageCount();
        A.ModalResult = mrCancel;
        return true;
    });
    T.R->PreviewModal();
    EXPECT_EQ(Pages, 4);
    ProcessUntil([&] { return T.R->RunPrinter() == nullptr; });
    EXPECT_EQ(T.R->RunPrinter(), nullptr);
    EXPECT_TRUE(T.R->Available());
}

TEST_F(Background, PrintBackgroundWritesThePdf)
{
    TTestReport T("Rec", 3, 270);
    T.R->PrintBackground();
    ASSERT_TRUE(ProcessUntil([&] { return T.R->Available() && !T.R->WorkerRunning(); }, 15000));
    EXPECT_EQ(PdfInfo(Pdf).Pages, 3);
}

TEST_F(Background, PrintBackgroundWithoutPrintersStartsNoThread)
{
    Printer()->SetFileName("");
    TTestReport T("Rec", 3, 270);
    if (T.R->PrepareRpPrinter() && T.R->RunPrinter()->PrintersAvailable())
        GTEST_SKIP() << "this machine has a printer queue";
    T.R->PrintBackground();
    EXPECT_FALSE(T.R->WorkerRunning());
    EXPECT_EQ(T.Served.load(), 0);
}

TEST_F(Background, TwoReportsRunningAtOnceKeepTheirOwnPageBreaks)
{
    // Beta forces a new page for every record; alone it pages like this.
    RegisterPreviewClass(TRpPreviewInterfaceClass::Of<TRpPreviewInterface>("TRpPreviewInterface"));
    const auto MakeBeta = [] {
        auto T = std::make_unique<TTestReport>("Beta", 4, 20);
        T->Detail()->SetForceNewPage(true);
        return T;
    };
    const std::unique_ptr<TTestReport> Alone = MakeBeta();
    Alone->R->Prepare();
    const std::vector<int> BetaPages = Alone->Pages;
    ASSERT_EQ(BetaPages.size(), 4u);
    ASSERT_GT(BetaPages.back(), 1);

    // Beta runs two records and waits; Alpha's second record overflows page
    // 1 and waits on page 2, in the middle of its page break, while Beta
    // runs to its end.
    TTestReport A("Alpha", 2, 200);
    A.R->Bands()->SetHasPageFooter(false);
    const std::unique_ptr<TTestReport> B = MakeBeta();
    std::atomic<bool> BetaWaits{false};
    std::atomic<bool> AlphaWaits{false};
    const auto WaitFor = [](const auto& Done) {
        for (int Ms = 0; Ms < 5000 && !Done(); ++Ms)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    B->R->OnNeedData = [&](TObject*, bool& More) {
        More = ++B->Served <= B->Records;
        if (B->Served.load() == 3) {
            BetaWaits = true;
            WaitFor([&] { return AlphaWaits.load(); });
        }
    };
    A.Word->Text = [&] {
        if (A.R->PageNo() == 2 && !AlphaWaits.exchange(true))
            WaitFor([&] { return B->Served.load() > B->Records; });
        return "Alpha" + std::to_string(A.Served.load());
    };
    B->R->PreviewModeless();
    ASSERT_TRUE(ProcessUntil([&] { return BetaWaits.load(); }));
    A.R->PreviewModeless();
    ASSERT_TRUE(ProcessUntil([&] {
        return A.R->Available() && !A.R->WorkerRunning() && B->R->Available() && !B->R->WorkerRunning();
    }, 10000));
    EXPECT_EQ(B->Pages, BetaPages);
    EXPECT_EQ(A.Pages, (std::vector<int>{1, 2}));
    ASSERT_NE(A.R->RunPrinter(), nullptr);
    ASSERT_NE(B->R->RunPrinter(), nullptr);
    EXPECT_EQ(B->R->RunPrinter()->PageCount(), BetaPages.back());
    EXPECT_EQ(PagesWith(B->R->RunPrinter(), "Beta4"), (std::vector<int>{BetaPages.back()}));
    EXPECT_EQ(PagesWith(A.R->RunPrinter(), "Alpha2"), (std::vector<int>{2}));
}

TEST_F(Background, TwoReportsReadingTheGlobalEnvironmentAtOnceGetItsValues)
{
    RegisterPreviewClass(TRpPreviewInterfaceClass::Of<TRpPreviewInterface>("TRpPreviewInterface"));
    // Prepared throughout, so that no run is the first to prepare it.
    TRpEvEnvironment* Global = RpGlobalEnvironment();
    Global->Prepare();
    TScopeExit Unprepare([&] { Global->Unprepare(); });
    // Long enough to be read by both threads at once now and then.
    std::string Expression = "'sha' + 'red'";
    for (int I = 0; I < 100; ++I)
        Expression += " + ''";
    Global->AddFunction("SHAREDWORD", Expression + " + ' ' + UPPER('w') + LOWER('ORD')");
    TScopeExit Remove([&] { Global->DeleteFunction("SHAREDWORD"); });
    // Each detail reads the entry through Exprs expressions; 14 details a page.
    static constexpr int Records = 150, Exprs = 6;
    // Runs that go together wait at their first record until both have come.
    std::atomic<int> Begun{0};
    const auto Make = [&Begun](const std::string& Name, bool Together) {
        auto T = std::make_unique<TTestReport>(Name, Records, 19);
        if (Together)
            T->R->OnNeedData = [&Begun, Raw = T.get()](TObject*, bool& More) {
                if (Raw->Served.load() == 0) {
                    ++Begun;
                    for (int Ms = 0; Ms < 5000 && Begun.load() < 2; ++Ms)
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
                More = ++Raw->Served <= Raw->Records;
            };
        for (int I = 0; I < Exprs; ++I) {
            auto* E = T->Detail()->AddPrintable<TRpExpr>();
            E->Size()->SetLeft(30 * I);
            E->Size()->SetTop(8);
            E->Size()->SetWidth(30);
            E->SetExpression("SHAREDWORD + ' " + Name + "'");
        }
        return T;
    };
    const auto Done = [](const std::vector<TTestReport*>& Reports) {
        return ProcessUntil([&] {
            return std::all_of(Reports.begin(), Reports.end(),
                               [](TTestReport* T) { return T->R->Available() && !T->R->WorkerRunning(); });
        }, 10000);
    };
    // A run leaves the count higher (its own environment's entries keep the
    // global one prepared); two runs at once leave it where the same two
    // leave it one after the other.
    const int Start = Global->PrepareCount();
    for (const char* Name : {"Alpha", "Beta"}) {
        const std::unique_ptr<TTestReport> T = Make(Name, false);
        T->R->PreviewModeless();
        ASSERT_TRUE(Done({T.get()}));
    }
    const int AfterTwo = Global->PrepareCount();

    const std::unique_ptr<TTestReport> A = Make("Alpha", true), B = Make("Beta", true);
    A->R->PreviewModeless();
    B->R->PreviewModeless();
    ASSERT_TRUE(Done({A.get(), B.get()}));
    EXPECT_EQ(Global->PrepareCount() - AfterTwo, AfterTwo - Start);
    for (TTestReport* T : {A.get(), B.get()}) {
        SCOPED_TRACE(T->Name);
        TRpPrinter* P = T->R->RunPrinter();
        ASSERT_NE(P, nullptr);
        EXPECT_GT(P->PageCount(), 10);
        int Right = 0;
        std::vector<std::string> Wrong;
        for (int N = 1; N <= P->PageCount(); ++N)
            if (std::unique_ptr<TMetafile> M = P->Page(N))
                for (const TMetafile::TTextItem& Item : M->TextItems()) {
                    if (Item.Text == "shared Word " + T->Name)
                        ++Right;
                    else if (Item.Text.find(T->Name) != 0)
                        Wrong.push_back(Item.Text);
                }
        EXPECT_EQ(Right, Records * Exprs);
        if (!Wrong.empty())
            ADD_FAILURE() << Wrong.size() << " wrong, the first: " << Wrong.front();
    }
}

// ------------------------------------------------------------ composite

TEST_F(Background, CompositeSecondReportStartsOnThePageTheFirstEnded)
{
    TTestReport A("Alpha", 3, 60);
    TTestReport B("Beta", 2, 60);
    TRpCompositeReport C(nullptr);
    std::vector<TObject*> Finished;
    C.OnAddReports = [&](TObject*) {
        C.AddReport(A.R.get());
        C.AddReport(B.R.get());
    };
    C.OnFinished = [&](TObject* Sender) { Finished.push_back(Sender); };
    C.Prepare();
    TRpPrinter* P = C.CompositePrinter();
    ASSERT_NE(P, nullptr);
    // 3 x 60 mm then 2 x 60 mm: four fit on a page of 277 mm less the footer.
    EXPECT_EQ(P->PageCount(), 2);
    EXPECT_EQ(A.Pages, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(B.Pages, (std::vector<int>{1, 2}));
    EXPECT_EQ(PagesWith(P, "Alpha3"), (std::vector<int>{1}));
    EXPECT_EQ(PagesWith(P, "Beta1"), (std::vector<int>{1}));
    // Only the last report closes pages: its footer on both.
    EXPECT_EQ(PagesWith(P, "BetaFooter"), (std::vector<int>{1, 2}));
    EXPECT_TRUE(PagesWith(P, "AlphaFooter").empty());
    EXPECT_EQ(Finished, (std::vector<TObject*>{A.R.get(), B.R.get(), &C}));
    // The reports keep their own printers and tags.
    EXPECT_EQ(A.R->RunPrinter(), nullptr);
    EXPECT_EQ(B.R->Tag(), 0);
}

TEST_F(Background, CompositeWithoutReportsOnlyReportsItselfFinished)
{
    TRpCompositeReport C(nullptr);
    std::vector<TObject*> Finished;
    C.OnFinished = [&](TObject* Sender) { Finished.push_back(Sender); };
    C.Prepare();
    EXPECT_EQ(Finished, (std::vector<TObject*>{&C}));
    EXPECT_EQ(C.CompositePrinter()->Status(), mpReady) << "no document begun";
    C.Print();
    EXPECT_FALSE(std::filesystem::exists(Pdf));
}

TEST_F(Background, CompositeCancelledInTheSecondReportEndsNoDocument)
{
    TTestReport A("Alpha", 2, 60);
    TTestReport B("Beta", 2, 60);
    TTestReport Third("Gamma", 1, 60);
    B.R->BeforePrint = [](TCustomRpReport* Sender, bool&) { Sender->Cancel(); };
    TRpCompositeReport C(nullptr);
    std::vector<TObject*> Finished;
    C.OnAddReports = [&](TObject*) {
        C.AddReport(A.R.get());
        C.AddReport(B.R.get());
        C.AddReport(Third.R.get());
    };
    C.OnFinished = [&](TObject* Sender) { Finished.push_back(Sender); };
    C.Print();
    EXPECT_EQ(Finished, (std::vector<TObject*>{A.R.get(), &C}));
    EXPECT_EQ(Third.Served.load(), 0);
    EXPECT_EQ(C.CompositePrinter(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(Pdf)) << "no EndDoc";

    B.R->BeforePrint = nullptr;
    A.Served = B.Served = 0;
    C.Print();
    EXPECT_EQ(PdfInfo(Pdf).Pages, 2);
}

// ------------------------------------------------------------ saved files

TEST_F(Background, HandlerPreviewsAndPrintsASavedFile)
{
    TRpPrinter Run(nullptr);
    RunWords(Run, 5, {{4, "Four"}});
    const std::string File = Dir / "saved.rpf";
    Run.Save(File);

    TRpPHandler H;
    H.SetFilename(File);
    ASSERT_NE(H.LoadedPrinter(), nullptr);
    EXPECT_EQ(H.LoadedPrinter()->PageCount(), 5);
    H.Print();
    EXPECT_EQ(PdfInfo(Pdf).Pages, 5);

    bool Shot = false;
    QueueToMainThread([&] {
        auto* W = Window(H.LoadedPrinter());
        ASSERT_NE(W, nullptr);
        W->SetBounds(0, 0, 800, 639);
        W->SelectPage(4);
        ProcessFor(150);
        std::unique_ptr<TBitmap> Image(W->GetFormImage());
        const std::string Name = std::string(OZ_TEST_ARTIFACTS) + "/report-preview.png";
        Image->SaveToFile(Name);
        Shot = std::filesystem::file_size(Name) > 1000;
        EXPECT_EQ(Find<TStatusBar>(W, "StatusBar")->Panels()->Items(1)->Text(), "Page 4 of 5");
        W->Close();
    });
    H.Preview();
    EXPECT_TRUE(Shot);
    EXPECT_FALSE(H.LoadedPrinter()->ShowingPreview());

    // A damaged file: the reader's error; the handler keeps nothing.
    rprig::Bytes B = rprig::ReadFile(File);
    B.resize(100);
    rprig::WriteFile(Dir / "bad.rpf", B);
    TRpPHandler Bad;
    EXPECT_THROW(Bad.SetFilename(Dir / "bad.rpf"), std::exception);
    EXPECT_EQ(Bad.LoadedPrinter(), nullptr);
    EXPECT_EQ(Bad.Filename(), "");
}

// Two pages without a report.
class TTwoPages : public TRpPrintJob {
public:
    void CreateOutput(TRpPrinter* P) override
    {
        P->SetPaperSize(TRpPaperSize::A4);
        P->BeginDoc();
        for (int N = 1; N <= 2; ++N) {
            P->NewPage();
            P->GetCanvas()->TextOut(P->XPos(254), P->YPos(254), "Job" + std::to_string(N));
        }
        P->EndDoc();
    }
};

TEST_F(Background, PrintJobPrintsAndPreviewsItsPages)
{
    TTwoPages Job;
    Job.Print();
    EXPECT_EQ(PdfInfo(Pdf).Pages, 2);

    // Closes the window once its run has ended.
    int Shown = 0;
    TTimer Closer(nullptr);
    Closer.SetInterval(10);
    Closer.OnTimer = [&](TObject*) {
        for (int I = 0; I < Application->ComponentCount(); ++I)
            if (auto* W = dynamic_cast<TRpStandardPreview*>(Application->Components(I));
                W && W->RpPrinter() && W->RpPrinter()->Status() == mpFinished) {
                Shown = W->RpPrinter()->PageCount();
                Closer.SetEnabled(false);
                W->Close();
                return;
            }
    };
    Closer.SetEnabled(true);
    Job.Preview();
    EXPECT_EQ(Shown, 2);
}
