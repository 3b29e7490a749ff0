#include "reports/Reportfunctions.h"

#include "chart/Chart.h"
#include "chart/ChLegend.h"
#include "chart/RpChart.h"
#include "platform/Classes.h"
#include "platform/SysUtils.h"

namespace {

// Parameter ids of the two cells of each line of the breath-parameter
// block; -1 is an empty cell.
constexpr int32_t ParameterPairs[12][2] = {
    {parTidalVolume2, parInspTime},
    {parMinuteVolume, parExpTime},
    {parPeakInspFlow, parInspHoldTime},
    {parPeakExpFlow, parExpHoldTime},
    {parBaseFlow, parIERatio},
    {-1, parRespiratoryRate},
    {parMeanAirwayPressure, -1},
    {parPIP, parCompliance},
    {parPEEP, parOxygen},
    {parInspPausePressure, parBaroPressure},
    {parMinAirwayPressure, -1},
    {parAssistPressure, -1},
};

// Signals of the table, in their order (barometric pressure is left out).
constexpr int TableSignals[] = {sigFlow,         sigVolume, sigAirwayPressure, sigLowPressure,
                                sigHighPressure, sigOxygen, sigTemperature,    sigRelHumidity};

constexpr int NameWidth = 35;
constexpr int ValueWidth = 10;
constexpr int CellWidth = 15;

}  // namespace

std::string PadText(const std::string& Text, bool Left, int Width)
{
    const size_t Length = Utf8Length(Text);
    if (Width < 0 || Length > static_cast<size_t>(Width))
        return Text;
    const std::string Blanks(static_cast<size_t>(Width) - Length + 1, ' ');
    return Left ? Text + Blanks : Blanks + Text;
}

void AddSignalTable(TStrings* Lines, const TSignalStats* Stats)
{
    Lines->Add("Signals");
    Lines->Add("");
    Lines->Add(PadText("Signal (Unit)", true, NameWidth) + "   " + PadText("Current", false, ValueWidth) + "  " +
               PadText("Average", false, ValueWidth) + "  " + PadText("Minimum", false, ValueWidth) + "  " +
               PadText("Maximum", false, ValueWidth));
    for (int Id : TableSignals)
        Lines->Add(SignalTableLine(Stats[Id]));
}

std::string SignalTableLine(const TSignalStats& Stats)
{
    std::string Name = Stats.LongName();
    const std::string Unit = Stats.DisplayUnitName();
    if (Unit != " ")
        Name += " (" + Unit + ")";
    return PadText(Name, true, NameWidth) + "   " + PadText(Stats.FormatCurrent(false), false, ValueWidth) + "  " +
           PadText(Stats.FormatMean(false), false, ValueWidth) + "  " +
           PadText(Stats.FormatMin(false), false, ValueWidth) + "  " +
           PadText(Stats.FormatMax(false), false, ValueWidth);
}

void AddParameterBlock(TStrings* Lines, TParameterStruct Params, bool WithHeading)
{
    if (WithHeading) {
        Lines->Add("Breath Parameters");
        Lines->Add("");
    }
    for (const auto& Pair : ParameterPairs)
        Lines->Add("   " + ParameterCell(Params, Pair[0]) + ParameterCell(Params, Pair[1]));
}

std::string ParameterCell(const TParameterStruct& Params, int32_t Id)
{
    if (Id < 0)
        return PadText(" ", true, CellWidth) + "   " + PadText(" ", true, CellWidth);
    return PadText(TParameterStruct::ShortNameText(Id), true, CellWidth) + "   " +
           PadText(Params.ValueText(Id, true), true, CellWidth);
}

void AddPlotStats(TStrings* Lines, const TPlotReportRecord& Plot)
{
    Lines->Clear();
    Lines->Add(Plot.Current + " " + Plot.Units);
    Lines->Add("");
    Lines->Add("Min: " + Plot.Min);
    Lines->Add("Max: " + Plot.Max);
    Lines->Add("Avg: " + Plot.Avg);
}

void AddLeakStats(TStrings* Lines, const TLeakTestReportSource& LeakTest)
{
    AddPlotStats(Lines, LeakTest.PlotRecord());
}

void MoveSeries(TCustomChart* From, TCustomChart* To)
{
    for (int i = From->SeriesCount() - 1; i >= 0; --i)
        To->AddSeries(From->Series(i));
}

void CopyChartLayout(TCustomChart* Screen, TRpChart* Report)
{
    TRpDBChart* Inner = Report->GetChart();
    Inner->LeftAxis()->Assign(Screen->LeftAxis());
    Inner->RightAxis()->Assign(Screen->LeftAxis());
    Inner->BottomAxis()->Assign(Screen->BottomAxis());
    Inner->TopAxis()->Assign(Screen->TopAxis());
    Inner->Title()->Assign(Screen->Title());
    Inner->Legend()->Assign(Screen->Legend());
    MoveSeries(Screen, Inner);
}

void CopyChartToReport(TCustomChart* Screen, TRpChart* Report, const std::string& Title)
{
    CopyChartLayout(Screen, Report);
    TChartTitle* T = Report->GetChart()->Title();
    T->Text()->Clear();
    T->Text()->Add(Title);
    T->SetVisible(true);
}

void TSeriesLoan::Lend(TCustomChart* Screen, TRpChart* Report, const std::string& Title)
{
    if (!Screen)
        return;
    TLoan Loan{Screen, {}, {}};
    for (int i = 0; i < Screen->SeriesCount(); ++i) {
        Loan.Series.push_back(Screen->Series(i));
        Loan.Colors.push_back(Screen->Series(i)->SeriesColor());
    }
    FLoans.push_back(std::move(Loan));
    CopyChartToReport(Screen, Report, Title);
    KeepColors(FLoans.back());
}

void TSeriesLoan::Return()
{
    for (TLoan& Loan : FLoans) {
        for (TChartSeries* S : Loan.Series)
            Loan.Screen->AddSeries(S);
        for (int i = 0; i < static_cast<int>(Loan.Series.size()); ++i) {
            const int At = Loan.Screen->SeriesList().IndexOf(Loan.Series[static_cast<size_t>(i)]);
            if (At != i)
                Loan.Screen->ExchangeSeries(At, i);
        }
        KeepColors(Loan);
    }
    FLoans.clear();
}

void TSeriesLoan::KeepColors(const TLoan& Loan)
{
    // A series coloured by its chart takes the next free colour of each
    // chart it joins; it keeps the one it showed.
    for (size_t i = 0; i < Loan.Series.size(); ++i)
        if (!Loan.Series[i]->IsColorStored() && Loan.Series[i]->SeriesColor() != Loan.Colors[i])
            Loan.Series[i]->ChangeInternalColor(Loan.Colors[i]);
}
