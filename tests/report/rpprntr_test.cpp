// The report printer: coordinate factors, runs to a PDF file and recorded
// runs, the page range, printing stored pages with the progress window,
// Load, Save, messages to Client and Master, and the preview class.
#include "report/RpPrntr.h"

#include "platform/Application.h"
#include "platform/StdCtrls.h"
#include "report/dialogs/RpPrgres.h"
#include "tests/report/PrinterRig.h"
#include "tests/support/Components.h"
#include "tests/support/ProcessEvents.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace prnrig;

namespace {

using RpPrinterTest = PdfPrinting;

// A saved report of Pages pages of Width x Height pixels at 96 dpi.
void SaveReport(const std::string& File, int Width, int Height, int Pages = 1)
{
    TRpPageList L;
    L.SetStream(std::make_unique<TRpStream>(RpDefaultMemoryLimit));
    for (int N = 1; N <= Pages; ++N) {
        TMetafile M;
        M.SetWidth(Width);
        M.SetHeight(Height);
        {
            TMetafileCanvas C(&M, nullptr);
            C.TextOut(96, 96, "Page" + std::to_string(N));
        }
        L.AddPage(&M);
    }
    L.Finish();
    L.SaveToFile(File);
}

// Records what a print tells its progress listener; Step, when set, runs
// at every progress.
class TProgressLog : public TRpProgressListener {
public:
    void PrintStarted(TRpPrinter* Printer) override { Started.push_back(Printer); }
    void ShowProgress(int32_t Percent) override
    {
        Seen.push_back(Percent);
        if (Step)
            Step(Percent);
    }
    void PrintEnded() override { ++Ended; }

    std::vector<TRpPrinter*> Started;
    std::vector<int32_t> Seen;
    int Ended = 0;
    std::function<void(int32_t)> Step;
};

int32_t HeaderPageCount(TRpStream* S)
{
    S->Seek(8, soBeginning);
    int32_t Count = 0;
    S->ReadBuffer(&Count, 4);
    return Count;
}

}  // namespace

TEST_F(RpPrinterTest, FactorsTurnTenthsOfMillimetresIntoPixelsOfThePage)
{
    TRpPrinter P(nullptr);
    ASSERT_TRUE(P.PrintersAvailable());
    P.Printer()->SetResolution(300);
    P.SetDestination(rpdPrinter);
    P.BeginDoc();
    P.NewPage();
    EXPECT_EQ(P.GetCanvas(), P.Printer()->Canvas());
    EXPECT_EQ(P.XPos(254), 300);
    EXPECT_EQ(P.YPos(254), 300);
    EXPECT_EQ(P.XSize(127), 150);
    EXPECT_EQ(P.XPos(0), 0) << "a file has no unprintable margin";
    P.AbortDoc();
    EXPECT_FALSE(FileExists(Pdf));

    TRpPrinter R(nullptr);
    R.BeginDoc();
    R.NewPage();
    EXPECT_NE(dynamic_cast<TMetafileCanvas*>(R.GetCanvas()), nullptr);
    EXPECT_EQ(R.XPos(127), 48);
    EXPECT_EQ(R.XPos(254), 96);
    EXPECT_EQ(R.YSize(254), 96);
    // A recorded A4 page is the paper at 96 dpi.
    EXPECT_EQ(R.PageMetafile()->Width(), 794);
    EXPECT_EQ(R.PageMetafile()->Height(), 1123);
    R.EndDoc();
}

TEST_F(RpPrinterTest, RunToALetterPdfPutsTextAnInchFromTheEdge)
{
    TRpPrinter P(nullptr);
    P.SetPaperSize(TRpPaperSize::Letter);
    ASSERT_EQ(P.PaperSize(), TRpPaperSize::Letter);
    P.SetDestination(rpdPrinter);
    P.SetTitle("Leak test report");
    int AfterPrint = 0;
    P.OnAfterPrint = [&](TObject*) {
        ++AfterPrint;
        throw Exception("dropped by the printer");
    };
    RunPages(P, 3);
    EXPECT_EQ(P.Status(), mpFinished);
    EXPECT_EQ(AfterPrint, 1);

    const TPdfInfo I = PdfInfo(Pdf);
    EXPECT_EQ(I.Pages, 3);
    EXPECT_NEAR(I.Width, 612, 0.5);
    EXPECT_NEAR(I.Height, 792, 0.5);
    const auto W = Words(Pdf, "Page");
    ASSERT_EQ(W.size(), 3u);
    for (int N = 0; N < 3; ++N) {
        EXPECT_EQ(W[N].first, "Page" + std::to_string(N + 1));
        EXPECT_NEAR(W[N].second, 72, 1.5);
    }
}

TEST_F(RpPrinterTest, PrinterRunSendsOnlyThePagesOfTheRange)
{
    struct TCase {
        int First, Last, Pages;   // pages in the PDF; 0: no job at all
        std::vector<bool> Printed;
    };
    const TCase Cases[] = {
        {2, 3, 2, {false, true, true, false}},
        {3, 0, 2, {false, false, true, true}},
        {5, 9, 0, {false, false, false, false}},
    };
    for (const TCase& K : Cases) {
        SCOPED_TRACE(std::to_string(K.First) + ".." + std::to_string(K.Last));
        std::remove(Pdf.c_str());
        TRpPrinter P(nullptr);
        P.SetDestination(rpdPrinter);
        P.SetFirstPage(K.First);
        P.SetLastPage(K.Last);
        P.BeginDoc();
        for (int N = 1; N <= 4; ++N) {
            P.NewPage();
            EXPECT_EQ(P.GetCanvas() == P.Printer()->Canvas(), K.Printed[N - 1]) << N;
            EXPECT_EQ(P.Printer()->Printing(), K.Pages > 0 && N >= K.First);
            P.GetCanvas()->TextOut(P.XPos(254), P.YPos(254), "Page" + std::to_string(N));
        }
        P.EndDoc();
        EXPECT_EQ(P.PageCount(), 4);
        if (K.Pages == 0) {
            EXPECT_FALSE(FileExists(Pdf));
            continue;
        }
        EXPECT_EQ(PdfInfo(Pdf).Pages, K.Pages);
        const auto W = Words(Pdf, "Page");
        ASSERT_EQ(static_cast<int>(W.size()), K.Pages);
        EXPECT_EQ(W.front().first, "Page" + std::to_string(K.First));
    }
}

TEST_F(RpPrinterTest, RecordedRunKeepsItsPagesAndTellsTheClient)
{
    TMessageWindow Client;
    TRpPrinter P(nullptr);
    P.SetClient(&Client);
    RunPages(P, 3);
    EXPECT_EQ(P.PageCount(), 3);
    EXPECT_EQ(P.AvailablePages(), 3);
    EXPECT_FALSE(FileExists(Pdf)) << "recorded pages print nothing";
    ASSERT_TRUE(ProcessUntil([&] { return Client.Params(CM_RPPAGEAVAILABLE).size() == 3; }));
    EXPECT_EQ(Client.Params(CM_RPPAGEAVAILABLE), (std::vector<intptr_t>{1, 2, 3}));
    for (int N = 1; N <= 3; ++N) {
        const std::unique_ptr<TMetafile> M = P.Page(N);
        ASSERT_NE(M, nullptr);
        EXPECT_TRUE(M->ContainsText("Page" + std::to_string(N)));
    }
    EXPECT_EQ(P.Page(0), nullptr);
    EXPECT_EQ(P.Page(4), nullptr);
    EXPECT_EQ(HeaderPageCount(P.PageStream()), 3);

    // Run control outside its order.
    EXPECT_THROW(P.NewPage(), ERpError);
    try {
        P.BeginDoc();
        FAIL() << "a second BeginDoc must be refused";
    } catch (const ERpError& E) {
        EXPECT_STREQ(E.what(), "RpPrinter not ready");
    }
    EXPECT_EQ(P.Status(), mpFinished) << "a refused BeginDoc leaves the run alone";
    EXPECT_EQ(P.PageCount(), 3);
    P.Cleanup();
    EXPECT_EQ(P.Status(), mpReady);
    EXPECT_EQ(P.PageList()->PageCount(), 0);
    EXPECT_EQ(P.Page(1), nullptr);
    try {
        P.NewPage();
        FAIL();
    } catch (const ERpError& E) {
        EXPECT_STREQ(E.what(), "Illegal call to NewPage");
    }
    P.EndDoc();   // outside a run: nothing
    EXPECT_EQ(P.Status(), mpReady);
}

TEST_F(RpPrinterTest, AbortedRecordingAnnouncesEveryPageItKeeps)
{
    TRpPrinter P(nullptr);
    P.BeginDoc();
    for (int N = 1; N <= 3; ++N) {
        P.NewPage();
        P.GetCanvas()->TextOut(10, 10, "Page" + std::to_string(N));
    }
    P.Cancel();
    P.AbortDoc();
    EXPECT_EQ(P.Status(), mpFinished);
    EXPECT_EQ(P.PageList()->PageCount(), 3) << "the open page is kept";
    EXPECT_EQ(HeaderPageCount(P.PageStream()), 3);
    const std::string Saved = Dir / "cancelled.rpf";
    P.Save(Saved);
    TRpPrinter L(nullptr);
    L.Load(Saved);
    EXPECT_EQ(L.PageCount(), 3);
    const std::unique_ptr<TMetafile> Last = L.Page(3);
    ASSERT_NE(Last, nullptr);
    EXPECT_TRUE(Last->ContainsText("Page3"));
}

TEST_F(RpPrinterTest, StoredPagesPrintWithProgressWithinThePagesThereAre)
{
    struct TCase {
        int First, Last;
        int Pages;                      // in the PDF; 0: no job
        std::vector<int32_t> Progress;  // told to the listener
    };
    const TCase Cases[] = {
        {2, 5, 4, {25, 50, 75, 100}},
        {2, 9, 5, {20, 40, 60, 80, 100}},
        {0, 0, 6, {17, 33, 50, 67, 83, 100}},
        {7, 9, 0, {}},
    };
    for (const TCase& K : Cases) {
        SCOPED_TRACE(std::to_string(K.First) + ".." + std::to_string(K.Last));
        std::remove(Pdf.c_str());
        TRpPrinter P(nullptr);
        RunPages(P, 6);
        P.SetFirstPage(K.First);
        P.SetLastPage(K.Last);
        TMessageWindow Client;
        P.SetClient(&Client);
        TProgressLog Log;
        int AfterPrint = 0;
        P.OnAfterPrint = [&](TObject*) { ++AfterPrint; };
        P.Print(&Log);
        Application->ProcessMessages();
        EXPECT_EQ(Log.Seen, K.Progress);
        EXPECT_EQ(P.ProgressListener(), nullptr);
        EXPECT_EQ(P.Client(), &Client);
        EXPECT_TRUE(Client.Received.empty()) << "the client hears nothing of the print";
        if (K.Pages == 0) {
            EXPECT_TRUE(Log.Started.empty());
            EXPECT_FALSE(FileExists(Pdf));
            EXPECT_EQ(AfterPrint, 0);
            continue;
        }
        EXPECT_EQ(Log.Started, (std::vector<TRpPrinter*>{&P}));
        EXPECT_EQ(Log.Ended, 1);
        EXPECT_EQ(P.Progress(), 100);
        EXPECT_EQ(AfterPrint, 1);
        EXPECT_EQ(PdfInfo(Pdf).Pages, K.Pages);
        const auto W = Words(Pdf, "Page");
        ASSERT_EQ(static_cast<int>(W.size()), K.Pages) << "no blank sheets";
        EXPECT_EQ(W.front().first, "Page" + std::to_string(std::max(K.First, 1)));
        EXPECT_NEAR(W.front().second, 72, 1.5) << "a stored page fills the sheet";
    }
}

TEST_F(RpPrinterTest, CancelInTheProgressWindowAbortsThePrint)
{
    TMessageWindow Preview;
    TRpPrinter P(nullptr);
    RunPages(P, 6);
    P.SetClient(&Preview);
    TRpProgressForm Window(nullptr);
    // The window shows what the printer tells; after page 2 the user
    // presses Cancel in it.
    TProgressLog Log;
    Log.Step = [&](int32_t Percent) {
        Window.ShowProgress(Percent);
        if (Log.Seen.size() != 2)
            return;
        P.Print();   // asked again meanwhile: refused, this job goes on
        EXPECT_TRUE(P.Printer()->Printing());
        EXPECT_TRUE(Window.Visible());
        EXPECT_EQ(Window.RpPrinter(), &P);
        Find<TButton>(&Window, "CancelButton")->Click();
    };
    Window.PrintStarted(&P);
    P.Print(&Log);
    Window.PrintEnded();
    EXPECT_EQ(Log.Seen.size(), 2u);
    EXPECT_TRUE(P.Cancelled());
    EXPECT_EQ(P.PageNumber(), 2) << "no page after the cancel";
    EXPECT_FALSE(P.Printer()->Printing());
    EXPECT_FALSE(FileExists(Pdf)) << "the aborted job leaves no file";
    EXPECT_EQ(P.Client(), &Preview) << "the preview is the printer's client again";
    EXPECT_FALSE(Window.Visible());

    // A later print starts afresh.
    P.Print();
    EXPECT_FALSE(P.Cancelled());
    EXPECT_EQ(PdfInfo(Pdf).Pages, 6);
}

TEST_F(RpPrinterTest, PrintWithAMasterAsksItToRunTheReportAgain)
{
    TMessageWindow Master;
    TRpPrinter P(nullptr);
    RunPages(P, 2);
    P.SetMaster(&Master);
    P.Print();
    ASSERT_TRUE(ProcessUntil([&] { return !Master.Received.empty(); }));
    EXPECT_EQ(Master.Received.front().Msg, CM_RPPRINT);
    EXPECT_FALSE(FileExists(Pdf));

    P.ClosePreview(nullptr);
    ASSERT_EQ(Master.Received.size(), 2u) << "sent, not posted";
    EXPECT_EQ(Master.Received.back().Msg, CM_RPPREVIEWCLOSE);
    EXPECT_EQ(Master.Received.back().LParam, reinterpret_cast<intptr_t>(&P));

    P.SetPrintStoredPages(true);
    P.Print();
    EXPECT_EQ(PdfInfo(Pdf).Pages, 2);
}

TEST_F(RpPrinterTest, PrintMetafileDirectUsesTheSharedPrinterWithinThePages)
{
    TRpPrinter P(nullptr);
    RunPages(P, 4);
    P.PrintMetafileDirect("ignored.rpf", 3, 12);
    EXPECT_EQ(PdfInfo(Pdf).Pages, 2);
    const auto W = Words(Pdf, "Page");
    ASSERT_EQ(W.size(), 2u);
    EXPECT_EQ(W[0].first, "Page3");
    std::remove(Pdf.c_str());
    P.PrintMetafileDirect("", 5, 6);
    EXPECT_FALSE(FileExists(Pdf));
}

TEST_F(RpPrinterTest, LoadTakesTheFirstPaperSizeOfTheFirstPage)
{
    struct TCase {
        int Width, Height;   // pixels at 96 dpi
        TRpPaperSize Size;
        TPrinterOrientation Orientation;
    };
    const TCase Cases[] = {
        {794, 1123, TRpPaperSize::A4, poPortrait},        // 210 x 297 mm, also A4 Small
        {1123, 794, TRpPaperSize::A4, poLandscape},
        {1056, 816, TRpPaperSize::Letter, poLandscape},   // 279.4 x 215.9 mm, also Note
        {816, 1056, TRpPaperSize::Letter, poPortrait},
        {1134, 1134, TRpPaperSize::B5, poLandscape},      // 300 x 300 mm: nothing matches
    };
    for (const TCase& K : Cases) {
        SCOPED_TRACE(std::to_string(K.Width) + "x" + std::to_string(K.Height));
        const std::string File = Dir / "loaded.rpf";
        SaveReport(File, K.Width, K.Height, 2);
        TRpPrinter P(nullptr);
        P.SetPaperSize(TRpPaperSize::B5);
        P.SetOrientation(poLandscape);
        int Setups = 0;
        P.OnPrintSetup = [&](TObject*) { ++Setups; };
        P.Load(File);
        EXPECT_EQ(P.Status(), mpFinished);
        EXPECT_EQ(P.PageCount(), 2);
        EXPECT_EQ(P.PaperSize(), K.Size);
        EXPECT_EQ(P.Orientation(), K.Orientation);
        EXPECT_TRUE(P.PrintStoredPages());
        P.PrintSetup();
        EXPECT_EQ(Setups, 0) << "a loaded report has no printer setup";
        ASSERT_NE(P.Page(2), nullptr);
        EXPECT_TRUE(P.Page(2)->ContainsText("Page2"));
    }
}

TEST_F(RpPrinterTest, ThePrinterTakesOverTheSharedPrintersFileAndIsFreedWithIt)
{
    // No queue is needed: without one the pages go to a PDF file.
    Printer()->SetFileName("");
    auto P = std::make_unique<TRpPrinter>(nullptr);
    EXPECT_TRUE(P->PrintersAvailable());
    EXPECT_NE(P->Printer(), Printer()) << "a printer of its own";
    EXPECT_FALSE(P->UseStandardPrinter());
    P.reset();   // the leak checker sees the private printer go

    Printer()->SetFileName(Pdf);
    TRpPrinter Q(nullptr);
    EXPECT_EQ(Q.Printer()->FileName(), Pdf);
    EXPECT_EQ(Q.Settings()->Device(), "PDF");
    EXPECT_EQ(Q.Settings()->Port(), Pdf);
}

namespace {

// A preview class that logs what it is asked to do.
std::vector<std::string> PreviewLog;
std::unique_ptr<TForm> PreviewWindow;

class TTestPreview : public TRpPreviewInterface {
public:
    using TRpPreviewInterface::TRpPreviewInterface;
    TForm* Show(TRpPrinter* APrinter) override
    {
        PreviewLog.push_back("show " + APrinter->Title());
        PreviewWindow = std::make_unique<TForm>(nullptr);
        return PreviewWindow.get();
    }
    TForm* ShowModal(TRpPrinter* APrinter) override
    {
        PreviewLog.push_back("modal " + APrinter->Title());
        return nullptr;
    }
};

}  // namespace

TEST_F(RpPrinterTest, PreviewOpensTheRegisteredClassUnlessOnPreviewTakesOver)
{
    const TRpPreviewInterfaceClass Former = RegisteredPreviewClass();
    RegisterPreviewClass(TRpPreviewInterfaceClass::Of<TTestPreview>("TTestPreview"));
    TRpPrinter P(nullptr);
    P.SetTitle("Trend");
    P.Preview();
    P.PreviewModal();
    EXPECT_EQ(PreviewLog, (std::vector<std::string>{"show Trend", "modal Trend"}));
    EXPECT_EQ(P.PreviewForm(), PreviewWindow.get());
    P.OnPreview = [&](TObject* Sender) { PreviewLog.push_back(Sender == &P ? "event" : "?"); };
    P.Preview();
    EXPECT_EQ(PreviewLog.back(), "event");
    RegisterPreviewClass(Former);
    PreviewWindow.reset();
}

TEST_F(RpPrinterTest, FreedPrinterLetsItsPreviewClientGo)
{
    class TPreviewControl : public TMessageWindow, public IRpPrinterClient {
    public:
        void RpPrinterFreed(TRpPrinter* Printer) override { Freed = Printer; }
        TRpPrinter* Freed = nullptr;
    };
    TPreviewControl Client;
    auto P = std::make_unique<TRpPrinter>(nullptr);
    P->SetClient(&Client);
    P->BeginDoc();
    P->NewPage();
    TRpPrinter* const Address = P.get();
    P.reset();   // a busy run ends with its printer
    EXPECT_EQ(Client.Freed, Address);

    // A window freed first is no longer the printer's.
    TRpPrinter Q(nullptr);
    auto Window = std::make_unique<TMessageWindow>();
    Q.SetMaster(Window.get());
    Q.SetClient(Window.get());
    Window.reset();
    EXPECT_EQ(Q.Client(), nullptr);
    EXPECT_EQ(Q.Master(), nullptr);

    // A printer that goes while it reports its progress ends the report.
    TProgressLog Log;
    {
        auto R = std::make_unique<TRpPrinter>(nullptr);
        R->SetProgressListener(&Log);
        EXPECT_EQ(Log.Started, (std::vector<TRpPrinter*>{R.get()}));
    }
    EXPECT_EQ(Log.Ended, 1);
}

TEST_F(RpPrinterTest, SettingsForwardAndPaperValuesFollowTheOrientation)
{
    TRpPrinter P(nullptr);
    P.SetPaperSize(TRpPaperSize::Legal);
    EXPECT_EQ(P.PaperWidthValue(), 2159);
    EXPECT_EQ(P.PaperLengthValue(), 3556);
    P.SetOrientation(poLandscape);
    EXPECT_EQ(P.PaperWidthValue(), 3556);
    EXPECT_EQ(P.PaperLengthValue(), 2159);
    P.SetPaperSize(TRpPaperSize::Custom);
    P.SetPaperWidth(1000);
    P.SetPaperLength(1500);
    EXPECT_EQ(P.PaperWidthValue(), 1500);
    // The report's wishes.
    TRpPrinterSettings Wishes;
    Wishes.SetPaperSize(TRpPaperSize::A5);
    Wishes.SetOrientation(poPortrait);
    Wishes.SetOutputBin(TRpBin::Cassette);
    Wishes.SetTitle("Loops");
    Wishes.ApplySettings(&P);
    EXPECT_EQ(P.PaperSize(), TRpPaperSize::A5);
    EXPECT_EQ(P.Orientation(), poPortrait);
    EXPECT_EQ(P.Bin(), TRpBin::First) << "a PDF file has no bins";
    EXPECT_EQ(P.Title(), "Loops");
    EXPECT_EQ(AnsiPos("ep", "Report"), 2);
    EXPECT_EQ(AnsiPos("x", "Report"), 0);
    EXPECT_EQ(RpPrinter(), RpPrinter());
}

TEST_F(RpPrinterTest, TwoPageReportForAPersonToLookAt)
{
    // Recorded at the screen's resolution, printed from the stored pages.
    const std::string File = Artifact("rpprinter_report.pdf");
    std::remove(File.c_str());
    Printer()->SetFileName(File);
    TRpPrinter P(nullptr);
    P.SetTitle("Breath parameters");
    P.BeginDoc();
    const char* const Lines[] = {"Minute volume        7.52 L/min", "Tidal volume (insp)  512 mL",
                                 "PIP                  21.4 cmH2O", "PEEP                 5.0 cmH2O"};
    for (int N = 1; N <= 2; ++N) {
        P.NewPage();
        TCanvas* C = P.GetCanvas();
        C->Brush()->SetStyle(bsClear);
        C->Rectangle(P.XPos(100), P.YPos(100), P.XPos(P.PaperWidthValue() - 100), P.YPos(P.PaperLengthValue() - 100));
        C->Font()->SetName("Arial");
        C->Font()->SetSize(16);
        C->TextOut(P.XPos(200), P.YPos(200), "Breath parameters");
        C->Font()->SetName("Courier New");
        C->Font()->SetSize(10);
        for (int L = 0; L < 4; ++L)
            C->TextOut(P.XPos(200), P.YPos(400 + L * 60), Lines[L]);
        C->MoveTo(P.XPos(200), P.YPos(700));
        C->LineTo(P.XPos(1900), P.YPos(700));
        C->TextOut(P.XPos(200), P.YPos(2800), "Page " + std::to_string(N) + " of 2");
    }
    P.EndDoc();
    P.Print();
    const TPdfInfo I = PdfInfo(File);
    EXPECT_EQ(I.Pages, 2);
    EXPECT_NEAR(I.Width, 595.28, 1);
    EXPECT_NEAR(I.Height, 841.89, 1);
}
