#include "reports/BasicTextReport.h"

#include "chart/RpChart.h"
#include "platform/Classes.h"
#include "platform/Printers.h"
#include "report/RpCtrls.h"
#include "report/RpReport.h"
#include "report/dialogs/RpDialogs.h"
#include "reports/Reportfunctions.h"

TrptBasicText* rptBasicText = nullptr;

namespace {

const char* const ReportFont = "Courier New";

// The form is designed in pixels at 96 per inch; sizes are kept in tenths
// of a millimetre.
long double Px(int Pixels)
{
    return Pixels * 254.0L / 96.0L;
}

void Place(TRpPrintable* P, int Left, int Top, int Width, int Height)
{
    P->Size()->SetUnits(TRpUnit::Native);
    P->Size()->SetLeft(Px(Left));
    P->Size()->SetTop(Px(Top));
    P->Size()->SetWidth(Px(Width));
    P->Size()->SetHeight(Px(Height));
}

void SetReportFont(TFont* F, int Height, bool Bold = false)
{
    F->SetName(ReportFont);
    F->SetHeight(-Height);
    F->SetStyle(Bold ? TFontStyles{fsBold} : TFontStyles{});
}

template <class T>
T* NewPrintable(TComponent* Owner, TRpCustomBand* Band, const std::string& Name)
{
    auto* P = new T(Owner);
    P->SetParent(Band);
    if (!Name.empty())
        P->SetName(Name);
    return P;
}

TRpLabel* NewLabel(TComponent* Owner, TRpCustomBand* Band, const std::string& Name, const std::string& Caption,
                   int Left, int Top, int Width)
{
    auto* L = NewPrintable<TRpLabel>(Owner, Band, Name);
    SetReportFont(L->Font(), 13);
    L->SetAutoSize(false);
    L->SetCaption(Caption);
    Place(L, Left, Top, Width, 17);
    return L;
}

// A line to write on by hand.
TRpLabel* NewBlank(TComponent* Owner, TRpCustomBand* Band, int Left, int Top, int Width)
{
    TRpLabel* L = NewLabel(Owner, Band, "", "", Left, Top, Width);
    L->Frame()->SetDrawBottom(true);
    return L;
}

TRpChart* NewChart(TComponent* Owner, TRpCustomBand* Band, const std::string& Name, int Left, int Top, int Width,
                   int Height)
{
    auto* C = NewPrintable<TRpChart>(Owner, Band, Name);
    Place(C, Left, Top, Width, Height);
    // As the saved form holds it: title "TRpChart", hidden, no 3-D.
    auto* Inner = new TRpDBChart(Owner);
    Inner->SetName("RpDBChart" + Name);
    Inner->SetParent(C);
    Inner->Title()->Text()->Clear();
    Inner->Title()->Text()->Add("TRpChart");
    Inner->Title()->SetVisible(false);
    Inner->SetView3D(false);
    return C;
}

TRpMemo* NewMemo(TComponent* Owner, TRpCustomBand* Band, const std::string& Name, int Left, int Top, int Width,
                 int Height)
{
    auto* M = NewPrintable<TRpMemo>(Owner, Band, Name);
    SetReportFont(M->Font(), 13);
    M->SetAutoSize(false);
    Place(M, Left, Top, Width, Height);
    return M;
}

void SetBandHeight(TRpCustomBand* Band, int Pixels)
{
    Band->SetUnits(TRpUnit::Native);
    Band->Size()->SetHeight(Px(Pixels));
}

}  // namespace

TrptBasicText::TrptBasicText(TComponent* Owner) : TForm(Owner)
{
    // The report library's preview, progress and print windows.
    RegisterReportDialogs();
    SetName("rptBasicText");
    FReport = new TRpReport(this);
    FReport->SetName("Report");
    FReport->SetParent(this);
    FReport->SetUnits(TRpUnit::Native);
    FReport->Page()->SetPaperSize(TRpPaperSize::Letter);
    FReport->Page()->SetOrientation(poPortrait);
    FReport->Page()->SetColumns(1);
    for (int Margin : {0, 2, 4, 5})
        FReport->Page()->SetValue(Margin, 127);
    FReport->SetZoom(100);
    FReport->SetOptions({TRpReportOption::FirstPageHeader, TRpReportOption::LastPageFooter});
    FReport->SetPrintIfEmpty(true);
    FReport->SetReportTitle("ZR Text Printout");
    FReport->Description()->Add("RO ziv Ozezudo Text Report");
    SetReportFont(FReport->Font(), 13);
    FReport->SetPrevInitialZoom(rpZoomToFit);
    FReport->SetPreviewHeight(600);

    FReport->Bands()->SetHasTitle(true);
    FReport->Bands()->SetHasDetail(true);
    FReport->Bands()->SetHasPageFooter(true);
    TitleBand1 = FReport->Bands()->GetBand(1);
    bndText = FReport->Bands()->GetBand(4);
    PageFooterBand1 = FReport->Bands()->GetBand(6);
    TitleBand1->SetName("TitleBand1");
    bndText->SetName("bndText");
    PageFooterBand1->SetName("PageFooterBand1");
    TitleBand1->SetHasChild(true);
    bndPlots = dynamic_cast<TRpChildBand*>(TitleBand1->GetChild());
    bndPlots->SetName("bndPlots");
    SetBandHeight(TitleBand1, 153);
    SetBandHeight(bndPlots, 516);
    SetBandHeight(bndText, 40);
    SetBandHeight(PageFooterBand1, 25);

    // Title band: the header across the band, date, lines to write on, the
    // analyzer's serial number.
    rplblHeader = NewLabel(this, TitleBand1, "rplblHeader", "Header", 0, 8, 720);
    SetReportFont(rplblHeader->Font(), 16, true);
    rplblHeader->SetAlignment(taCenter);
    rplblHeader->SetAlignToBand(true);
    NewLabel(this, TitleBand1, "", "Date:", 8, 48, 48);
    RpSysData4 = NewPrintable<TRpSysData>(this, TitleBand1, "RpSysData4");
    SetReportFont(RpSysData4->Font(), 13);
    RpSysData4->SetAutoSize(false);
    RpSysData4->SetData(rpsDateTime);
    Place(RpSysData4, 104, 48, 200, 17);
    NewLabel(this, TitleBand1, "", "Control #:", 8, 80, 88);
    NewBlank(this, TitleBand1, 104, 80, 200);
    NewLabel(this, TitleBand1, "", "Tech:", 8, 112, 48);
    NewBlank(this, TitleBand1, 104, 112, 200);
    NewLabel(this, TitleBand1, "", "ZR Serial Number:", 376, 48, 144);
    rplblZRSN = NewLabel(this, TitleBand1, "rplblZRSN", "", 528, 48, 184);
    NewLabel(this, TitleBand1, "", "S/N:", 376, 80, 48);
    NewBlank(this, TitleBand1, 528, 80, 184);

    // Plot band: three monitor charts with their statistics, or two loops
    // side by side over the same area.
    Chart1 = NewChart(this, bndPlots, "Chart1", 8, 8, 569, 167);
    Chart2 = NewChart(this, bndPlots, "Chart2", 8, 176, 569, 167);
    Chart3 = NewChart(this, bndPlots, "Chart3", 8, 344, 569, 167);
    MonStats1 = NewMemo(this, bndPlots, "MonStats1", 580, 8, 133, 141);
    MonStats2 = NewMemo(this, bndPlots, "MonStats2", 580, 176, 133, 141);
    MonStats3 = NewMemo(this, bndPlots, "MonStats3", 580, 344, 133, 141);
    chtLoop1 = NewChart(this, bndPlots, "chtLoop1", 8, 8, 353, 505);
    chtLoop2 = NewChart(this, bndPlots, "chtLoop2", 360, 8, 353, 505);

    // Detail band: the report's text, stretching over as many pages as it
    // needs.
    // Its lines are columns made with blanks, as wide as the band: never
    // wrapped.
    Text = NewMemo(this, bndText, "Text", 0, 4, 720, 32);
    Text->SetWordWrap(false);
    Text->SetAutoStretch(true);
    Text->SetAlignment(taLeftJustify);

    RpSysData2 = NewPrintable<TRpSysData>(this, PageFooterBand1, "RpSysData2");
    SetReportFont(RpSysData2->Font(), 13);
    RpSysData2->SetAutoSize(false);
    RpSysData2->SetText("Page ");
    RpSysData2->SetData(rpsPageNumber);
    Place(RpSysData2, 8, 4, 200, 17);

    FReport->SetUnits(TRpUnit::Inches);
}

void TrptBasicText::SetHeader(const std::string& Header, const std::string& Serial)
{
    rplblHeader->SetCaption(Header);
    rplblZRSN->SetCaption(Serial);
}

bool TrptBasicText::Output(bool Preview, const std::function<void()>& BeforeOutput)
{
    // The print dialogs (here and the preview's) name the printout, and a
    // PDF file, after the report.
    Printer()->SetTitle(FReport->ReportTitle());
    if (!Preview) {
        FReport->PrinterSetup();
        if (FReport->Tag() == 1)
            return false;
    }
    if (BeforeOutput)
        BeforeOutput();
    if (Preview)
        FReport->Preview();
    else
        FReport->Print();
    return true;
}

void TrptBasicText::ShowMonitorParts(bool Value)
{
    for (TRpPrintable* P : std::initializer_list<TRpPrintable*>{Chart1, Chart2, Chart3, MonStats1, MonStats2,
                                                                 MonStats3})
        P->SetEnabled(Value);
}

void TrptBasicText::ShowLoopParts(bool Value)
{
    chtLoop1->SetEnabled(Value);
    chtLoop2->SetEnabled(Value);
}

void TrptBasicText::PrintTextReport(bool Preview, const std::string& Header, const std::string& Serial,
                                    const TSignalStats* Stats, TParameterStruct Params)
{
    bndPlots->SetEnabled(false);
    bndText->SetEnabled(true);
    Text->Lines()->Clear();
    SetHeader(Header, Serial);
    AddSignalTable(Text->Lines(), Stats);
    Text->Lines()->Add("");
    Text->Lines()->Add("");
    AddParameterBlock(Text->Lines(), Params, true);
    Output(Preview);
}

void TrptBasicText::PrintMonitorReport(bool Preview, const std::string& Header, const std::string& Serial,
                                       const TSignalStats* Stats, TParameterStruct Params,
                                       const TPlotReportRecord* Plots)
{
    bndPlots->SetEnabled(true);
    bndText->SetEnabled(true);
    ShowMonitorParts(true);
    ShowLoopParts(false);
    Chart1->Size()->SetHeight(Chart2->Size()->Height());
    Text->Lines()->Clear();
    SetHeader(Header, Serial);
    AddParameterBlock(Text->Lines(), Params, true);
    TRpChart* Charts[3] = {Chart1, Chart2, Chart3};
    TRpMemo* Stats3[3] = {MonStats1, MonStats2, MonStats3};
    for (int i = 0; i < 3; ++i)
        AddPlotStats(Stats3[i]->Lines(), Plots[i]);
    TSeriesLoan Loan;
    Output(Preview, [&] {
        for (int i = 0; i < 3; ++i)
            Loan.Lend(Plots[i].Chart, Charts[i], Plots[i].Title);
    });
}

void TrptBasicText::PrintLoopReport(bool Preview, const std::string& Header, const std::string& Serial,
                                    const TSignalStats* Stats, TParameterStruct Params,
                                    const TPlotReportRecord* Loops)
{
    bndPlots->SetEnabled(true);
    bndText->SetEnabled(true);
    ShowMonitorParts(false);
    ShowLoopParts(true);
    Text->Lines()->Clear();
    SetHeader(Header, Serial);
    AddParameterBlock(Text->Lines(), Params, true);
    TSeriesLoan Loan;
    Output(Preview, [&] {
        Loan.Lend(Loops[0].Chart, chtLoop1, Loops[0].Title);
        Loan.Lend(Loops[1].Chart, chtLoop2, Loops[1].Title);
    });
}

void TrptBasicText::PrintTrendReport(bool Preview, const std::string& Header, const std::string& Serial,
                                     const TTestReportSource& TrendTest)
{
    bndPlots->SetEnabled(false);
    bndText->SetEnabled(true);
    SetHeader(Header, Serial);
    Text->Lines()->Clear();
    TrendTest.AddReportLines(Text->Lines(), false);
    Output(Preview);
}

void TrptBasicText::PrintLeakReport(bool Preview, const std::string& Header, const std::string& Serial,
                                    const TLeakTestReportSource& LeakTest)
{
    bndPlots->SetEnabled(true);
    bndText->SetEnabled(true);
    ShowMonitorParts(false);
    ShowLoopParts(false);
    Chart1->SetEnabled(true);
    MonStats1->SetEnabled(true);
    Chart1->Size()->SetHeight(chtLoop1->Size()->Height());
    Text->Lines()->Clear();
    SetHeader(Header, Serial);
    const TPlotReportRecord Plot = LeakTest.PlotRecord();
    AddLeakStats(MonStats1->Lines(), LeakTest);
    LeakTest.AddReportLines(Text->Lines(), false);
    TSeriesLoan Loan;
    Output(Preview, [&] { Loan.Lend(Plot.Chart, Chart1, Plot.Title); });
}
