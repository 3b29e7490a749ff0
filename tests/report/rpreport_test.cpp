// The report component: units and page settings, frames, printable
// alignment, the page and column flow of bands (recorded pages read back
// from the page list, printed runs read from PDF files), the printer-setup
// dialog and the run's failure paths.
#include "report/RpReport.h"

#include "platform/DialogHook.h"
#include "platform/Dialogs.h"
#include "platform/Metafile.h"
#include "report/dialogs/RpPrnSu.h"
#include "tests/report/PrinterRig.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace prnrig;

namespace {

// A printable that draws a one-pixel line along its top edge (its frame).
class TMark : public TRpPrintable {
public:
    explicit TMark(TComponent* AOwner) : TRpPrintable(AOwner) { Frame()->SetDrawTop(true); }
};

// A printable that never finishes and draws nothing.
class TEndless : public TRpPrintable {
public:
    explicit TEndless(TComponent* AOwner) : TRpPrintable(AOwner) {}
    void Print(int OfsX, int OfsY) override
    {
        ++Calls;
        SetPrintComplete(false);
        TRpPrintable::Print(OfsX, OfsY);
    }
    int Calls = 0;
};

// Where a band printed: page, band and top (0.1 mm).
struct TSeen {
    int Page;
    std::string Band;
    int32_t Y;
    bool operator==(const TSeen&) const = default;
};

std::ostream& operator<<(std::ostream& S, const TSeen& V) { return S << V.Page << ' ' << V.Band << '@' << V.Y; }

// An A4 report, 10 mm margins, in millimetres: a 15 mm page header, a 30 mm
// title, a 50 mm detail for Records records and an 8 mm page footer.
class FlowReport : public PdfPrinting {
protected:
    void SetUp() override
    {
        PdfPrinting::SetUp();
        R = prnrig::NewA4ReportInMillimetres(10);
        R->Bands()->SetHasPageHeader(true);
        R->Bands()->SetHasTitle(true);
        R->Bands()->SetHasDetail(true);
        R->Bands()->SetHasPageFooter(true);
        R->SetUnits(TRpUnit::MM);
        Header()->Size()->SetHeight(15);
        Title()->Size()->SetHeight(30);
        Detail()->Size()->SetHeight(50);
        Footer()->Size()->SetHeight(8);
        Detail()->AddPrintable<TMark>();
        R->OnNeedData = [this](TObject*, bool& More) { More = ++Served <= Records; };
        for (TRpCustomBand* B : R->BandList())
            Watch(B);
    }
    void TearDown() override
    {
        R.reset();
        PdfPrinting::TearDown();
    }
    void Watch(TRpCustomBand* B)
    {
        B->AfterPrint = [this](TRpCustomBand* S, bool Printed) {
            if (!Printed)
                return;
            std::string Name;
            S->BandTypeName(Name);
            Seen.push_back({R->PageNo(), Name, R->CurrentY() - RpRound(S->Size()->Height() + S->Expanded())});
        };
    }
    TRpCustomBand* Header() const { return R->Bands()->GetBand(2); }
    TRpCustomBand* Title() const { return R->Bands()->GetBand(1); }
    TRpCustomBand* Detail() const { return R->Bands()->GetBand(4); }
    TRpCustomBand* Footer() const { return R->Bands()->GetBand(6); }
    // The details on each page.
    std::vector<int> DetailsPerPage() const
    {
        std::vector<int> Count;
        for (const TSeen& S : Seen)
            if (S.Band == "Detail") {
                Count.resize(static_cast<size_t>(std::max<int>(static_cast<int>(Count.size()), S.Page)));
                ++Count[static_cast<size_t>(S.Page - 1)];
            }
        return Count;
    }
    std::vector<int32_t> Tops(const std::string& Band, int Page = 0) const
    {
        std::vector<int32_t> Y;
        for (const TSeen& S : Seen)
            if (S.Band == Band && (Page == 0 || S.Page == Page))
                Y.push_back(S.Y);
        return Y;
    }

    std::unique_ptr<TRpReport> R;
    int Records = 12;
    int Served = 0;
    std::vector<TSeen> Seen;
};

// Page Index of the report's recorded pages drawn on a bitmap of its size.
std::unique_ptr<TBitmap> RenderPage(TRpPrinter* P, int Index)
{
    std::unique_ptr<TMetafile> M = P->Page(Index);
    if (!M)
        return nullptr;
    auto B = std::make_unique<TBitmap>(M->Width(), M->Height());
    B->Canvas()->Brush()->SetColor(clWhite);
    B->Canvas()->FillRect(Rect(0, 0, M->Width(), M->Height()));
    B->Canvas()->StretchDraw(Rect(0, 0, M->Width(), M->Height()), M.get());
    return B;
}

}  // namespace

// ------------------------------------------------------------------- units

TEST(RpUnits, ConversionsStoreTenthsOfAMillimetre)
{
    TRpReport R(nullptr);
    R.Font()->SetSize(12);
    TRpPage* Page = R.Page();
    struct TCase {
        TRpUnit Units;
        int Zoom;
        long double Shown;
        long double Stored;
    };
    for (const TCase K : {TCase{TRpUnit::MM, 100, 25.4L, 254}, TCase{TRpUnit::Inches, 100, 1, 254},
                          TCase{TRpUnit::Pixels, 150, 144, 254}, TCase{TRpUnit::Pixels, 100, 48, 127},
                          TCase{TRpUnit::Native, 100, 254, 254}}) {
        SCOPED_TRACE(static_cast<int>(K.Units));
        Page->SetZoom(K.Zoom);
        Page->SetUnits(K.Units);
        Page->SetLeftMargin(K.Shown);
        EXPECT_NEAR(static_cast<double>(Page->NativeValue(4)), static_cast<double>(K.Stored), 1e-9);
        EXPECT_NEAR(static_cast<double>(Page->LeftMargin()), static_cast<double>(K.Shown), 1e-9);
    }
    Page->SetZoom(100);
    // One character of a 12-point font.
    Page->SetUnits(TRpUnit::Characters);
    Page->SetLeftMargin(1);
    Page->SetTopMargin(1);
    EXPECT_NEAR(static_cast<double>(Page->NativeValue(4)), 26.247, 1e-3);
    EXPECT_NEAR(static_cast<double>(Page->NativeValue(2)), 47.671, 1e-3);
    // A font of size 0 counts as 1 point.
    R.Font()->SetSize(0);
    Page->SetLeftMargin(1);
    EXPECT_NEAR(static_cast<double>(Page->NativeValue(4)), 80 / 2.54 * 10, 1e-9);
}

TEST(RpUnits, PaperSizeOrientationAndColumns)
{
    TRpReport R(nullptr);
    TRpPage* Page = R.Page();
    Page->SetUnits(TRpUnit::Native);
    Page->SetPaperSize(TRpPaperSize::A5);
    Page->SetOrientation(poLandscape);
    EXPECT_NEAR(static_cast<double>(Page->Width()), 2100, 1e-9);
    EXPECT_NEAR(static_cast<double>(Page->Length()), 1480, 1e-9);
    Page->SetOrientation(poPortrait);
    Page->SetPaperSize(TRpPaperSize::Letter);
    Page->SetOrientation(poLandscape);
    EXPECT_NEAR(static_cast<double>(Page->Width()), 2794, 1e-9);
    EXPECT_NEAR(static_cast<double>(Page->Length()), 2159, 1e-9);
    Page->SetWidth(1000);
    EXPECT_NEAR(static_cast<double>(Page->Width()), 2794, 1e-9) << "a table size keeps its width";
    Page->SetPaperSize(TRpPaperSize::Custom);
    Page->SetWidth(1000);
    EXPECT_NEAR(static_cast<double>(Page->Width()), 1000, 1e-9);
    Page->SetColumns(0);
    EXPECT_EQ(Page->Columns(), 1);
    const std::vector<long double> Values = Page->WriteValues();
    ASSERT_EQ(Values.size(), 7u);
    EXPECT_NEAR(static_cast<double>(Values[3]), 1000, 1e-9);
    TRpReport Other(nullptr);
    Other.Page()->ReadValues({127, 2794, 127, 2159, 127, 127, 0});
    EXPECT_NEAR(static_cast<double>(Other.Page()->NativeValue(1)), 2794, 1e-9);
    Other.Page()->ReadValues({1, 2});   // a short list sets what it holds
    EXPECT_NEAR(static_cast<double>(Other.Page()->NativeValue(2)), 127, 1e-9);
}

// ------------------------------------------------------- frames and printables

TEST(RpFrames, PointsBecomeDevicePixels)
{
    TRpFrame F;
    struct TCase {
        int Width;
        long double Dpi;
        int Pixels;
    };
    for (const TCase K : {TCase{2, 300, 8}, TCase{3, 96, 4}, TCase{1, 600, 8}, TCase{1, 96, 1}, TCase{-1, 600, 1},
                          TCase{0, 600, 0}}) {
        F.SetWidth(K.Width);
        EXPECT_EQ(F.LineWidthX(K.Dpi / 254), K.Pixels) << K.Width << " pt at " << static_cast<double>(K.Dpi);
    }
    // Only the top side: one bar inside the rectangle.
    TBitmap B(40, 40);
    B.Canvas()->Brush()->SetColor(clWhite);
    B.Canvas()->FillRect(Rect(0, 0, 40, 40));
    F.SetWidth(3);
    F.SetDrawTop(true);
    F.PaintIt(B.Canvas(), Rect(10, 10, 30, 30), 96 / 254.0L, 96 / 254.0L);
    EXPECT_EQ(B.Canvas()->Pixels(20, 10), clBlack);
    EXPECT_EQ(B.Canvas()->Pixels(20, 13), clBlack);
    EXPECT_EQ(B.Canvas()->Pixels(20, 14), clWhite);
    EXPECT_EQ(B.Canvas()->Pixels(20, 9), clWhite);
    EXPECT_EQ(B.Canvas()->Pixels(10, 20), clWhite);
}

TEST(RpPrintables, NewPrintableSizeAndAlignmentInItsBand)
{
    TRpBand Band(nullptr);
    Band.SetBounds(0, 0, 400, 40);
    auto* P = new TMark(&Band);
    P->SetParent(&Band);
    EXPECT_EQ(P->Width(), 10);
    EXPECT_EQ(P->Height(), 10);
    EXPECT_EQ(P->Color(), clWhite);
    P->Size()->SetUnits(TRpUnit::Native);
    EXPECT_NEAR(static_cast<double>(P->Size()->Height()), 10 * 254 / 96.0, 1e-6);
    EXPECT_NEAR(static_cast<double>(P->Size()->GetValue(7)), static_cast<double>(P->Size()->Width()), 1e-9);
    P->SetWidth(100);
    P->SetAlignment(taCenter);
    P->SetAlignToBand(true);
    EXPECT_EQ(P->Left(), 150);
    P->SetAlignment(taRightJustify);
    EXPECT_EQ(P->Left(), 300);
    P->SetWidth(500);
    P->SetAlignment(taCenter);
    EXPECT_EQ(P->Left(), -50) << "wider than the band: half the difference";
    P->SetEnabled(false);
    EXPECT_FALSE(P->IsEnabled());
    P->SetVisible(false);
    EXPECT_TRUE(P->IsEnabled());
}

TEST(RpBands, LinksAndChildChainsRefuseCircles)
{
    TRpReport R(nullptr);
    R.Bands()->SetHasTitle(true);
    R.Bands()->SetHasDetail(true);
    TRpCustomBand* A = R.Bands()->GetBand(1);
    TRpCustomBand* B = R.Bands()->GetBand(4);
    EXPECT_EQ(A->Name(), "TitleBand1");
    EXPECT_TRUE(A->SetLinkBand(B));
    EXPECT_FALSE(B->SetLinkBand(A));
    EXPECT_EQ(B->LinkBand(), nullptr);
    A->SetHasChild(true);
    auto* Child = dynamic_cast<TRpChildBand*>(A->GetChild());
    ASSERT_NE(Child, nullptr);
    Child->SetHasChild(true);
    auto* Grand = dynamic_cast<TRpChildBand*>(Child->GetChild());
    ASSERT_NE(Grand, nullptr);
    EXPECT_FALSE(Child->SetParentBand(Grand));
    EXPECT_EQ(Child->ParentBand(), A);
    A->SetHasChild(false);
    EXPECT_EQ(A->GetChild(), Grand) << "the grandchild moves up";
    R.Bands()->SetHasTitle(false);
    EXPECT_FALSE(R.Bands()->HasTitle());
}

// -------------------------------------------------------------------- flow

TEST_F(FlowReport, DetailsFillThreePagesBetweenHeaderAndFooter)
{
    R->Prepare();
    TRpPrinter* P = R->RunPrinter();
    ASSERT_NE(P, nullptr);
    EXPECT_EQ(P->PageCount(), 3);
    EXPECT_EQ(DetailsPerPage(), (std::vector<int>{4, 5, 3}));
    EXPECT_EQ(Tops("Detail", 1), (std::vector<int32_t>{550, 1050, 1550, 2050}));
    EXPECT_EQ(Tops("Page Footer"), (std::vector<int32_t>{2790, 2790, 2790}));
    const std::vector<TSeen> First(Seen.begin(), Seen.begin() + 3);
    EXPECT_EQ(First, (std::vector<TSeen>{{1, "Page Header", 100}, {1, "Title", 250}, {1, "Detail", 550}}));
    EXPECT_EQ(Tops("Page Header"), (std::vector<int32_t>{100, 100, 100}));
    // The recorded pages hold the marks at the converted positions.
    for (int32_t Y : {550, 1050, 1550, 2050})
        EXPECT_EQ(P->YPos(Y), (std::vector<int>{208, 397, 586, 775})[static_cast<size_t>((Y - 550) / 500)]);
    EXPECT_EQ(P->YPos(2790), 1054);
    std::unique_ptr<TBitmap> Page1 = RenderPage(P, 1);
    ASSERT_NE(Page1, nullptr);
    const int X = P->XPos(100) + 2;
    for (int Y : {208, 397, 586, 775}) {
        EXPECT_EQ(Page1->Canvas()->Pixels(X, Y), clBlack) << Y;
        EXPECT_EQ(Page1->Canvas()->Pixels(X, Y - 1), clWhite) << Y;
    }
    Page1->SaveToFile(Artifact("report-flow-page1.png"));
}

TEST_F(FlowReport, WithoutFirstPageHeaderTheSplitStays)
{
    R->SetOptions({TRpReportOption::LastPageFooter});
    R->Prepare();
    EXPECT_EQ(DetailsPerPage(), (std::vector<int>{4, 5, 3}));
    EXPECT_EQ(Tops("Page Header"), (std::vector<int32_t>{100, 100}));
    EXPECT_EQ(Tops("Detail", 1).front(), 400);
}

TEST_F(FlowReport, LastPageWithoutFooterAndBottomAlignedSummary)
{
    R->Bands()->SetHasSummary(true);
    TRpCustomBand* Summary = R->Bands()->GetBand(7);
    Summary->Size()->SetHeight(20);
    Summary->SetAlignToBottom(true);
    Watch(Summary);
    R->Prepare();
    EXPECT_EQ(Tops("Summary"), (std::vector<int32_t>{2590})) << "above the reserved footer";
    EXPECT_EQ(Tops("Page Footer").size(), 3u);

    Seen.clear();
    Served = 0;
    R->SetOptions({TRpReportOption::FirstPageHeader});
    R->Prepare();
    EXPECT_EQ(Tops("Summary"), (std::vector<int32_t>{2670})) << "flush on the bottom margin";
    EXPECT_EQ(Tops("Page Footer"), (std::vector<int32_t>{2790, 2790})) << "the last page has none";
}

TEST_F(FlowReport, DisabledFooterReservesNothingAndChildOfDisabledBandPrints)
{
    Footer()->SetEnabled(false);
    Title()->SetEnabled(false);
    Title()->SetHasChild(true);
    TRpCustomBand* Child = Title()->GetChild();
    Child->SetUnits(TRpUnit::MM);
    Child->Size()->SetHeight(12);
    Watch(Child);
    std::vector<long double> Reserved;
    R->OnStartPage = [&](TCustomRpReport* Sender) { Reserved.push_back(Sender->PageFooterSize()); };
    Records = 1;
    R->Prepare();
    EXPECT_EQ(Reserved, (std::vector<long double>{0}));
    EXPECT_TRUE(Tops("Page Footer").empty());
    EXPECT_TRUE(Tops("Title").empty());
    EXPECT_EQ(Tops("Child"), (std::vector<int32_t>{250}));
    EXPECT_EQ(Tops("Detail"), (std::vector<int32_t>{370}));
}

TEST_F(FlowReport, ForcedBreakAfterTheTitleIsAbsorbedOnce)
{
    Detail()->SetForceNewPage(true);
    Records = 2;
    R->Prepare();
    EXPECT_EQ(DetailsPerPage(), (std::vector<int>{1, 1}));
    EXPECT_EQ(R->RunPrinter()->PageCount(), 2);
}

TEST_F(FlowReport, BandTallerThanThePageIsPrintedOnce)
{
    Detail()->Size()->SetHeight(400);
    Records = 1;
    R->Prepare();
    EXPECT_EQ(R->RunPrinter()->PageCount(), 1);
    EXPECT_EQ(Tops("Detail"), (std::vector<int32_t>{550}));
}

TEST_F(FlowReport, PrintIfEmptyFalseBeginsAndEndsADocumentWithoutAPage)
{
    R->OnNeedData = nullptr;
    R->SetPrintIfEmpty(false);
    R->Print();
    EXPECT_TRUE(Seen.empty());
    EXPECT_EQ(R->RunPrinter(), nullptr);
    R->Prepare();
    EXPECT_EQ(R->RunPrinter()->PageCount(), 0);
    // With PrintIfEmpty the empty report prints title, detail once and the
    // footer on one page.
    R->SetPrintIfEmpty(true);
    R->Prepare();
    EXPECT_EQ(R->RunPrinter()->PageCount(), 1);
    EXPECT_EQ(Tops("Detail"), (std::vector<int32_t>{550}));
}

TEST_F(FlowReport, ColumnsStartAtTheMarginAndMoveByDetailWidthAndSpace)
{
    R->Page()->SetColumns(3);
    R->Page()->SetColumnSpace(5);
    Detail()->Size()->SetHeight(100);
    std::vector<int32_t> Lefts;
    Detail()->AfterPrint = [&](TRpCustomBand*, bool) { Lefts.push_back(R->CurrentX()); };
    Records = 7;
    R->Prepare();
    // Placed on the design surface, the detail is one column wide: 60 mm
    // as near as whole screen pixels come.
    const int32_t W = RpRound(Detail()->Size()->GetValue(1) * 10);
    EXPECT_NEAR(W, 600, 3);
    const int32_t Second = 100 + 50 + W, Third = Second + 50 + W;
    EXPECT_EQ(Lefts, (std::vector<int32_t>{100, 100, Second, Second, Third, Third, 100}));
    EXPECT_EQ(R->RunPrinter()->PageCount(), 2);
}

TEST_F(FlowReport, PrintedRunWritesThePdfAndPrinterSetupPicksPages)
{
    R->Print();
    EXPECT_EQ(PdfInfo(Pdf).Pages, 3);
    ASSERT_EQ(std::remove(Pdf.c_str()), 0);

    // Cancelled: Tag 1 and the settings unchanged.
    RegisterPrintSetupDialog(RpExecutePrintDialog);
    SetDialogAnswerer([](const TDialogRequest& Q, TDialogAnswer& A) {
        if (Q.Kind != TDialogKind::Print)
            return false;
        A.ModalResult = mrCancel;
        return true;
    });
    R->PrinterSettings()->SetCopies(1);
    R->PrinterSetup();
    EXPECT_EQ(R->Tag(), 1);
    EXPECT_EQ(R->PrinterSettings()->FirstPage(), 0);
    // Pages 2 to 3.
    SetDialogAnswerer([](const TDialogRequest& Q, TDialogAnswer& A) {
        auto* D = dynamic_cast<TPrintDialog*>(Q.Dialog);
        if (Q.Kind != TDialogKind::Print || !D)
            return false;
        D->SetPrintRange(prPageNums);
        D->SetFromPage(2);
        D->SetToPage(3);
        A.ModalResult = mrOk;
        return true;
    });
    R->PrinterSetup();
    SetDialogAnswerer(nullptr);
    RegisterPrintSetupDialog(nullptr);
    EXPECT_EQ(R->Tag(), 0);
    EXPECT_EQ(R->PrinterSettings()->FirstPage(), 2);
    EXPECT_EQ(R->PrinterSettings()->LastPage(), 3);
    Served = 0;
    R->Print();
    EXPECT_EQ(PdfInfo(Pdf).Pages, 2);
}

// -------------------------------------------------------------- mended faults

TEST_F(FlowReport, LetterReportOnAPrinterHeldAtA4KeepsBandsAboveTheFooter)
{
    R->Page()->SetPaperSize(TRpPaperSize::Letter);
    // The printer keeps A4 whatever the report asks for.
    R->OnStartPage = [](TCustomRpReport* Sender) { Sender->RunPrinter()->SetPaperSize(TRpPaperSize::A4); };
    Records = 20;
    R->Prepare();
    const int32_t FooterTop = 2794 - 100 - 80;
    for (int32_t Y : Tops("Detail"))
        EXPECT_LE(Y + 500, FooterTop) << Y;
    EXPECT_EQ(Tops("Page Footer").front(), FooterTop);
}

TEST_F(FlowReport, PrintableThatNeverCompletesEndsItsBand)
{
    auto* E = Detail()->AddPrintable<TEndless>();
    Records = 1;
    R->Prepare();
    EXPECT_LE(R->RunPrinter()->PageCount(), 2);
    EXPECT_LE(E->Calls, 2);
    EXPECT_EQ(DetailsPerPage().size(), 2u) << "the occurrence ends on the page it continued to";
}

TEST_F(FlowReport, PrepareThenPreviewFreesTheReplacedPrinter)
{
    // A window that hears of every printer freed while it was the client.
    struct TClient : public TWinControl, public IRpPrinterClient {
        TClient() : TWinControl(nullptr) {}
        void RpPrinterFreed(TRpPrinter* Printer) override { Freed.push_back(Printer); }
        std::vector<TRpPrinter*> Freed;
    } Client;
    R->Prepare();
    TRpPrinter* First = R->RunPrinter();
    First->SetClient(&Client);
    int Previews = 0;
    R->OnPreview = [&](TObject*) { ++Previews; };
    R->Preview();
    EXPECT_EQ(Previews, 1);
    EXPECT_EQ(Client.Freed, (std::vector<TRpPrinter*>{First}));
    EXPECT_NE(R->RunPrinter(), nullptr);

    // A printer whose preview still shows stays until that preview closes.
    TRpPrinter* Shown = R->RunPrinter();
    Shown->SetClient(&Client);
    Shown->SetShowingPreview(true);
    R->Prepare();
    EXPECT_EQ(Client.Freed.size(), 1u);
    SendMessage(R.get(), CM_RPPREVIEWCLOSE, 0, reinterpret_cast<intptr_t>(Shown));
    EXPECT_EQ(Client.Freed, (std::vector<TRpPrinter*>{First, Shown}));
}

TEST_F(FlowReport, ExceptionInBeforePrintAbortsAndLeavesTheReportReady)
{
    Detail()->BeforePrint = [](TRpCustomBand*, bool&) { throw std::runtime_error("no data"); };
    EXPECT_THROW(R->Print(), std::runtime_error);
    EXPECT_TRUE(R->Available());
    EXPECT_EQ(PdfInfo(Pdf).Pages, -1) << "the document was aborted";
    EXPECT_EQ(R->Units(), TRpUnit::MM);
    Detail()->BeforePrint = nullptr;
    Served = 0;
    R->Print();
    EXPECT_EQ(PdfInfo(Pdf).Pages, 3);
}

TEST_F(FlowReport, TextMeasuresAtTheScreensResolution)
{
    TFont F;
    F.SetName("Arial");
    F.SetSize(12);
    EXPECT_EQ(R->TextHeight(&F, "xyz"), R->TextHeight(&F, "A"));
    EXPECT_GT(R->TextWidth(&F, "WWW"), R->TextWidth(&F, "W"));
    EXPECT_EQ(R->TextWidth(&F, ""), 1);
}

TEST(RpReportDefaults, NewReportAndIgnoredValues)
{
    TRpReport R(nullptr);
    EXPECT_TRUE(R.Options().Contains(TRpReportOption::FirstPageHeader));
    EXPECT_TRUE(R.Options().Contains(TRpReportOption::LastPageFooter));
    EXPECT_FALSE(R.Options().Contains(TRpReportOption::Compression));
    for (const char* Name : {"PAGENUMBER", "COLUMNNUMBER", "REPORTTITLE"})
        EXPECT_GE(R.Functions()->IndexOf(Name), 0) << Name;
    EXPECT_TRUE(R.PrintIfEmpty());
    EXPECT_TRUE(R.ShowProgress());
    EXPECT_EQ(R.Units(), RpUsMeasurement() ? TRpUnit::Inches : TRpUnit::MM);
    EXPECT_EQ(R.PreviewHeight(), 500);
    R.SetPreviewWidth(0);
    EXPECT_EQ(R.PreviewWidth(), 600);
    R.SetZoom(150);
    for (int Z : {0, 301})
        R.SetZoom(Z);
    EXPECT_EQ(R.Zoom(), 150);
    EXPECT_EQ(R.Page()->Zoom(), 150);
    EXPECT_EQ(R.AvailableSpace(), 0) << "no run";
}

TEST_F(FlowReport, PrintablesOnTheReportPrintOnEveryPage)
{
    auto* Mark = new TMark(R.get());
    Mark->SetParent(R.get());
    Mark->Size()->SetUnits(TRpUnit::Native);
    Mark->Size()->SetTop(2900);
    Mark->Size()->SetLeft(500);
    R->Prepare();
    TRpPrinter* P = R->RunPrinter();
    ASSERT_EQ(P->PageCount(), 3);
    for (int Page = 1; Page <= 3; ++Page) {
        std::unique_ptr<TBitmap> B = RenderPage(P, Page);
        ASSERT_NE(B, nullptr);
        EXPECT_EQ(B->Canvas()->Pixels(P->XPos(500) + 2, P->YPos(2900)), clBlack) << Page;
    }
}

// ---------------------------------------------------------------- the run

using RpRun = FlowReport;

// Window messages run while a report runs, not only after it: a message
// posted from a record is handled a few records later (the run lets them in
// every 10 ms, and a record here takes 2 ms), one posted from the last
// record before the run returns; a cancel that comes as a queued call ends
// the run within a few records. Printed and recorded alike.
TEST_F(RpRun, AMessagePostedDuringTheRunIsHandledBeforeItEnds)
{
    constexpr uint32_t Msg = WM_USER + 7;
    constexpr int PostedAt = 5;
    Records = 40;
    for (const bool Printed : {true, false}) {
        SCOPED_TRACE(Printed ? "printed" : "recorded");
        TMessageWindow Window;
        int HandledAt = 0;
        Served = 0;
        R->OnNeedData = [&](TObject*, bool& More) {
            More = ++Served <= Records;
            if (HandledAt == 0 && !Window.Params(Msg).empty())
                HandledAt = Served;
            if (Served == PostedAt || Served == Records)
                PostMessage(&Window, Msg, Served);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        };
        if (Printed)
            R->Print();
        else
            R->Prepare();
        EXPECT_GT(HandledAt, PostedAt);
        EXPECT_LE(HandledAt, PostedAt + 7) << "within about 10 ms";
        EXPECT_EQ(Window.Params(Msg), (std::vector<intptr_t>{PostedAt, Records}));
    }

    // A cancel arriving from the event loop is seen within a few records.
    Served = 0;
    R->OnNeedData = [&](TObject*, bool& More) {
        More = ++Served <= Records;
        if (Served == PostedAt)
            QueueToMainThread([this] { R->Cancel(); });
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    };
    R->Prepare();
    EXPECT_TRUE(R->Cancelled());
    EXPECT_LE(Served, PostedAt + 7);
}
