// The printouts: each report printed to a PDF file through the answered
// printer set-up dialog and read back with the poppler tools, against the
// simulator's live data; the screen charts' series lent and given back.
#include "tests/workbench/DialogRig.h"
#include "tests/workbench/MainRig.h"

#include "chart/Chart.h"
#include "chart/RpChart.h"
#include "chart/Series.h"
#include "platform/ComCtrls.h"
#include "platform/Dialogs.h"
#include "platform/Printers.h"
#include "platform/StdCtrls.h"
#include "report/RpCtrls.h"
#include "report/RpReport.h"
#include "reports/BasicTextReport.h"
#include "reports/Reportfunctions.h"
#include "tests/support/PdfTools.h"

#include <chrono>
#include <functional>
#include <regex>
#include <stdexcept>

namespace {

std::string Artifact(const std::string& Name)
{
    return std::string(OZ_TEST_ARTIFACTS) + "/" + Name;
}

// Answers the printer set-up dialog: a PDF file, Cancel, or a failure;
// During, when set, runs while the dialog is open.
class PrintAnswer {
public:
    enum TKind { ToPdf, Cancel, Fail };
    PrintAnswer(const std::string& File, TKind Kind = ToPdf)
    {
        Printer()->SetFileName(File);
        FOld = SetDialogAnswerer([this, File, Kind](const TDialogRequest& Q, TDialogAnswer& A) {
            if (Q.Kind != TDialogKind::Print)
                return false;
            ++Runs;
            if (During)
                During();
            if (Kind == Fail)
                throw std::runtime_error("printer gone");
            if (Kind == Cancel) {
                A.ModalResult = mrCancel;
                return true;
            }
            if (auto* D = dynamic_cast<TPrintDialog*>(Q.Dialog)) {
                D->SetPrintToFile(true);
                D->SetFileName(File);
            }
            A.ModalResult = mrOk;
            return true;
        });
    }
    ~PrintAnswer()
    {
        SetDialogAnswerer(FOld);
        Printer()->SetFileName("");
        Printer()->ResetDeviceMode();
    }
    int Runs = 0;
    std::function<void()> During;

private:
    TDialogAnswerer FOld;
};

// A chart's series as the test sees them.
struct TSeriesState {
    TChartSeries* Series;
    TColor Color;
    int Count;
    double LastY;
    bool operator==(const TSeriesState&) const = default;
};

std::vector<TSeriesState> StateOf(TChart* C)
{
    std::vector<TSeriesState> Out;
    for (int i = 0; i < C->SeriesCount(); ++i) {
        TChartSeries* S = C->Series(i);
        Out.push_back({S, S->SeriesColor(), S->Count(), S->Count() ? S->YValue(S->Count() - 1) : 0.0});
    }
    return Out;
}

const char* const ScreenCharts[] = {"chartMonitor1", "chartMonitor2", "chartMonitor3",
                                    "chartLoop1",    "chartLoop2",    "chartLeakTest"};

std::vector<std::vector<TSeriesState>> ScreenState(TMainForm& F)
{
    std::vector<std::vector<TSeriesState>> Out;
    for (const char* Name : ScreenCharts)
        Out.push_back(StateOf(Find<TChart>(&F, Name)));
    return Out;
}

std::vector<std::string> SplitLines(const std::string& Text)
{
    std::vector<std::string> Lines;
    std::string Line;
    for (char C : Text) {
        if (C == '\n') {
            Lines.push_back(Line);
            Line.clear();
        } else if (C != '\f') {
            Line += C;
        }
    }
    if (!Line.empty())
        Lines.push_back(Line);
    return Lines;
}

// Runs of blanks as one, none at the ends (pdftotext lays columns out on
// its own grid).
std::string Words(const std::string& S)
{
    std::string Out;
    for (char C : S) {
        if (C == ' ' && (Out.empty() || Out.back() == ' '))
            continue;
        Out += C;
    }
    if (!Out.empty() && Out.back() == ' ')
        Out.pop_back();
    return Out;
}

std::vector<std::string> LinesOf(TStrings* L)
{
    std::vector<std::string> Out;
    for (int i = 0; i < L->Count(); ++i)
        Out.push_back(L->Get(i));
    return Out;
}

// The page text of a PDF, laid out (-layout).
std::string PdfText(const std::string& Pdf, int Page = 0)
{
    const std::string Range = Page > 0 ? " -f " + std::to_string(Page) + " -l " + std::to_string(Page) : "";
    return RunTool("pdftotext -layout" + Range + " '" + Pdf + "' -");
}

// The horizontal centre (points) of the words of a line of page 1 that
// begins with First and ends with Last.
double CentreOf(const std::string& Pdf, const std::string& First, const std::string& Last)
{
    const std::string Bbox = RunTool("pdftotext -f 1 -l 1 -bbox '" + Pdf + "' - 2>&1");
    const std::regex Word(R"re(<word xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)"[^>]*>([^<]*)</word>)re");
    double Left = -1, Right = -1;
    for (auto It = std::sregex_iterator(Bbox.begin(), Bbox.end(), Word); It != std::sregex_iterator(); ++It) {
        if (Left < 0 && (*It)[3].str() == First)
            Left = std::stod((*It)[1].str());
        else if (Left >= 0 && Right < 0 && (*It)[3].str() == Last)
            Right = std::stod((*It)[2].str());
    }
    return Left < 0 || Right < 0 ? -1 : (Left + Right) / 2;
}

// The main window connected to the simulator with live data, the output
// then switched off so that the statistics stand still for the comparison.
class PrintReport : public ::testing::Test {
protected:
    void SetUp() override
    {
        R.Ini("Settings", "Print Header", "Bench 7 Ward B");
        ASSERT_TRUE(R.ShowConnected(200));
        ASSERT_TRUE(ProcessUntil([&] { return R.Form->LastParameters().GetValue(parPIP) != NoValue; }, 10000));
        StopData();
    }
    void StopData()
    {
        Find<TAction>(R.Form.get(), "actnSerialModeNone")->Execute();
        ProcessFor(300);
    }
    void ShowPage(const char* Name)
    {
        Find<TPageControl>(R.Form.get(), "PageControl")->SetActivePage(Find<TTabSheet>(R.Form.get(), Name));
    }
    template <class T>
    T* ReportPart(const std::string& Name)
    {
        return rptBasicText ? Find<T>(rptBasicText, Name) : nullptr;
    }
    // Every report: header centred on page 1, serial number, the date and
    // time of printing, "Page 1".
    void ExpectFrame(const std::string& Pdf)
    {
        const std::string Text = PdfText(Pdf, 1);
        EXPECT_NE(Text.find("Bench 7 Ward B"), std::string::npos) << Text;
        EXPECT_TRUE(std::regex_search(Text, std::regex("ZR Serial Number: +123456"))) << Text;
        EXPECT_NE(Text.find("Date:"), std::string::npos);
        EXPECT_NE(Text.find(FormatDateTime("yyyy", Now())), std::string::npos);
        EXPECT_NE(Text.find("Page 1"), std::string::npos);
        const TPdfInfo Info = PdfInfo(Pdf);
        EXPECT_NEAR(CentreOf(Pdf, "Bench", "B"), Info.Width / 2, 6);
    }
    // The screen charts hold what they held, the live plots move again and
    // the window is not printing.
    // The printed chart drew the left and bottom axes, with their grids,
    // and no other: the right axis repeats the left axis's settings, but no
    // series uses it, so it adds no second grid.
    void ExpectOneGrid(const std::string& Chart)
    {
        SCOPED_TRACE(Chart);
        TRpDBChart* C = ReportPart<TRpChart>(Chart)->GetChart();
        EXPECT_TRUE(C->IsAxisVisible(C->LeftAxis()));
        EXPECT_TRUE(C->IsAxisVisible(C->BottomAxis()));
        EXPECT_FALSE(C->IsAxisVisible(C->RightAxis()));
        EXPECT_FALSE(C->IsAxisVisible(C->TopAxis()));
        EXPECT_EQ(C->RightAxis()->Minimum(), C->LeftAxis()->Minimum());
        EXPECT_EQ(C->RightAxis()->Maximum(), C->LeftAxis()->Maximum());
    }
    void ExpectGivenBack(const std::vector<std::vector<TSeriesState>>& Before)
    {
        EXPECT_FALSE(Probe(*R.Form).Printing());
        EXPECT_EQ(ScreenState(*R.Form), Before);
        TChart* C = Find<TChart>(R.Form.get(), "chartMonitor1");
        const int Sample = Probe(*R.Form).SampleTime();
        Find<TAction>(R.Form.get(), "actnSerialModeBoth")->Execute();
        EXPECT_TRUE(ProcessUntil([&] { return Probe(*R.Form).SampleTime() > Sample + 30; }, 10000));
        EXPECT_NE(StateOf(C), Before[0]);
        StopData();
    }

    WorkbenchDialogs D;
    MainRig R;
    std::string Pdf = R.Dir + "/report.pdf";
};

}  // namespace

TEST_F(PrintReport, TextReportIsTheSignalTableAndTheParameterBlock)
{
    const auto Before = ScreenState(*R.Form);
    ShowPage("tsFullTest");
    {
        PrintAnswer A(Pdf);
        Find<TAction>(R.Form.get(), "actnPrintReport")->Execute();
        EXPECT_EQ(A.Runs, 1);
    }
    ASSERT_EQ(PdfInfo(Pdf).Pages, 1);
    ExpectFrame(Pdf);
    TStringList Expected;
    TSignalStats Stats[MaxSignals];
    for (int i = 0; i < MaxSignals; ++i)
        Stats[i] = R.Form->SignalStats(i);
    AddSignalTable(&Expected, Stats);
    Expected.Add("");
    Expected.Add("");
    AddParameterBlock(&Expected, R.Form->LastParameters(), true);
    EXPECT_EQ(LinesOf(ReportPart<TRpMemo>("Text")->Lines()), LinesOf(&Expected));
    // On paper line for line.
    const std::vector<std::string> Page = SplitLines(PdfText(Pdf));
    auto Start = std::find_if(Page.begin(), Page.end(), [](const std::string& L) {
        return L.find("Signals") != std::string::npos;
    });
    ASSERT_NE(Start, Page.end());
    for (int i = 0; i < Expected.Count(); ++i) {
        ASSERT_LT(Start + i, Page.end());
        EXPECT_EQ(Words(Start[i]), Words(Expected.Get(i))) << "line " << i;
    }
    RunTool("pdftoppm -png -r 80 -f 1 -l 1 -singlefile '" + Pdf + "' '" + Artifact("report-text") + "'");
    ExpectGivenBack(Before);
}

TEST_F(PrintReport, MonitorReportShowsThreeChartsWithTheirLabels)
{
    const auto Before = ScreenState(*R.Form);
    // A leak report first: the monitor report gives Chart1 its own height
    // back.
    {
        PrintAnswer A(Pdf);
        R.Form->PrintReport(rkLeak, false);
    }
    ShowPage("tsMonitor");
    {
        // While the dialog is open the screen charts keep their series.
        PrintAnswer A(Pdf);
        A.During = [&] { EXPECT_EQ(ScreenState(*R.Form), Before); };
        Find<TAction>(R.Form.get(), "actnPrintReport")->Execute();
        EXPECT_EQ(A.Runs, 1);
    }
    ASSERT_GE(PdfInfo(Pdf).Pages, 1);
    ExpectFrame(Pdf);
    EXPECT_EQ(ReportPart<TRpChart>("Chart1")->Size()->Height(), ReportPart<TRpChart>("Chart2")->Size()->Height());
    const std::string Text = PdfText(Pdf, 1);
    for (int p = 0; p < 3; ++p) {
        SCOPED_TRACE(p);
        const TPlotReportRecord Plot = R.Form->MonitorPlotRecord(p);
        TStringList Expected;
        AddPlotStats(&Expected, Plot);
        EXPECT_EQ(LinesOf(ReportPart<TRpMemo>("MonStats" + std::to_string(p + 1))->Lines()), LinesOf(&Expected));
        EXPECT_NE(Text.find("Min: " + Plot.Min), std::string::npos) << Text;
        EXPECT_NE(Text.find(Plot.Title), std::string::npos);
        EXPECT_FALSE(ReportPart<TRpChart>("Chart" + std::to_string(p + 1))->GetChart()->SeriesCount());
        ExpectOneGrid("Chart" + std::to_string(p + 1));
    }
    EXPECT_NE(Text.find("Breath Parameters"), std::string::npos);
    RunTool("pdftoppm -png -r 80 -f 1 -l 1 -singlefile '" + Pdf + "' '" + Artifact("report-monitor") + "'");
    ExpectGivenBack(Before);
}

TEST_F(PrintReport, LoopAndLeakReports)
{
    const auto Before = ScreenState(*R.Form);
    ShowPage("tsLoop");
    {
        PrintAnswer A(Pdf);
        A.During = [&] { EXPECT_EQ(ScreenState(*R.Form), Before); };
        Find<TAction>(R.Form.get(), "actnPrintReport")->Execute();
        EXPECT_EQ(A.Runs, 1);
    }
    std::string Text = PdfText(Pdf, 1);
    EXPECT_NE(Text.find("Flow / Volume"), std::string::npos) << Text;
    EXPECT_NE(Text.find("Volume / Pressure"), std::string::npos);
    ExpectFrame(Pdf);
    ExpectOneGrid("chtLoop1");
    ExpectOneGrid("chtLoop2");
    EXPECT_EQ(ScreenState(*R.Form), Before);

    ASSERT_EQ(std::remove(Pdf.c_str()), 0);
    {
        PrintAnswer A(Pdf);
        A.During = [&] { EXPECT_EQ(ScreenState(*R.Form), Before); };
        R.Form->PrintReport(rkLeak, false);
    }
    std::string Collapsed;
    for (const std::string& L : SplitLines(PdfText(Pdf)))
        Collapsed += Words(L) + "\n";
    ExpectFrame(Pdf);
    TStringList Leak;
    Probe(*R.Form).LeakTest().AddReportLines(&Leak, false);
    ASSERT_GT(Leak.Count(), 0);
    for (int i = 0; i < Leak.Count(); ++i) {
        if (!Words(Leak.Get(i)).empty()) {
            EXPECT_NE(Collapsed.find(Words(Leak.Get(i))), std::string::npos) << Leak.Get(i);
        }
    }
    EXPECT_NE(Collapsed.find(Words("Min: " + Probe(*R.Form).LeakTest().PlotRecord().Min)), std::string::npos);
    ExpectGivenBack(Before);
}

// A cancelled set-up prints nothing; a run that fails (here the dialog
// itself) leaves nothing lent and the live plots moving. Any other page
// prints nothing.
TEST_F(PrintReport, CancelledOrFailedRunGivesEverythingBack)
{
    const auto Before = ScreenState(*R.Form);
    for (TReportKind Kind : {rkMonitor, rkLoops, rkLeak}) {
        SCOPED_TRACE(static_cast<int>(Kind));
        {
            PrintAnswer A(Pdf, PrintAnswer::Cancel);
            R.Form->PrintReport(Kind, false);
            EXPECT_EQ(A.Runs, 1);
        }
        EXPECT_FALSE(std::filesystem::exists(Pdf));
        EXPECT_FALSE(Probe(*R.Form).Printing());
        EXPECT_EQ(ScreenState(*R.Form), Before);
        {
            PrintAnswer A(Pdf, PrintAnswer::Fail);
            EXPECT_THROW(R.Form->PrintReport(Kind, false), std::runtime_error);
        }
        EXPECT_FALSE(std::filesystem::exists(Pdf));
        EXPECT_FALSE(Probe(*R.Form).Printing());
        EXPECT_EQ(ScreenState(*R.Form), Before);
    }
    ShowPage("tsDebug");
    {
        PrintAnswer A(Pdf);
        Find<TAction>(R.Form.get(), "actnPrintReport")->Execute();
        EXPECT_EQ(A.Runs, 0);
    }
    ExpectGivenBack(Before);
}

// A trend test with 1,000 stored incidents: over 200 pages, the last
// incident on the last page, and the trend page's "Print" button prints it.
TEST(TrendReport, ThousandIncidentsOverTwoHundredPages)
{
    WorkbenchDialogs D;
    MainRig R;
    R.Ini("Settings", "Print Header", "Trend bench");
    R.Build();
    TTrendTest T;
    TParameterStruct P;
    P.SetSlot(TParameterStruct::SlotOf(parPIP), 15);
    T.Start(parPIP, 10, 20, P);
    for (int i = 0; i < 1001; ++i) {
        P.SetSlot(TParameterStruct::SlotOf(parPIP), static_cast<float>(100 + i));
        T.AddParameters(P);
    }
    T.Stop();
    if (!rptBasicText)
        rptBasicText = new TrptBasicText(Application);
    const std::string Pdf = R.Dir + "/trend.pdf";
    const auto Start = std::chrono::steady_clock::now();
    {
        PrintAnswer A(Pdf);
        rptBasicText->PrintTrendReport(false, "Trend bench", "123456", T);
    }
    const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    RecordProperty("seconds", std::to_string(Seconds));
    const int Pages = PdfInfo(Pdf).Pages;
    EXPECT_GT(Pages, 200);
    TStringList Lines;
    T.AddReportLines(&Lines, false);
    const std::string Last = PdfText(Pdf, Pages);
    EXPECT_NE(Last.find("Incident 1000 of 1001"), std::string::npos) << Last;
    EXPECT_NE(Last.find("Page " + std::to_string(Pages)), std::string::npos);
    EXPECT_NE(PdfText(Pdf, 2).find("Page 2"), std::string::npos);

    // The Results page's button prints the window's own (empty) trend test.
    ASSERT_EQ(std::remove(Pdf.c_str()), 0);
    {
        PrintAnswer A(Pdf);
        Find<TButton>(R.Form.get(), "btnPrintTrend")->Click();
        EXPECT_EQ(A.Runs, 1);
    }
    EXPECT_EQ(PdfInfo(Pdf).Pages, 1);
    EXPECT_FALSE(Probe(*R.Form).Printing());
}
