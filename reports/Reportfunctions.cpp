#include "reports/Reportfunctions.h"

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
