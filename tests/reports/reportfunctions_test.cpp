// The report text blocks: columns made with blanks, as the fixed-pitch
// report font prints them.
#include "reports/Reportfunctions.h"

#include "analyzer/Units.h"
#include "platform/Classes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> LinesOf(const TStrings& L)
{
    std::vector<std::string> Out;
    for (int i = 0; i < L.Count(); ++i)
        Out.push_back(L.Get(i));
    return Out;
}

// The main window's signal statistics as the program sets them up, each
// with a few samples.
struct SignalRig {
    TSignalStats Stats[MaxSignals];
    SignalRig()
    {
        const struct {
            const char* Name;
            TUnitCode Base;
            TUnitCode Display;
        } Setup[SignalCount] = {
            {"Flow", ucLPM, ucLPM},
            {"Volume", ucML, ucML},
            {"Airway Pressure", ucCmH2O, ucCmH2O},
            {"Low Pressure", ucCmH2O, ucCmH2O},
            {"High Pressure", ucPSI, ucPSI},
            {"Barometric Pressure", ucMmHg, ucMmHg},
            {"Oxygen", ucPercent, ucPercent},
            {"Temperature", ucKelvin, ucCelsius},
            {"Relative Humidity", ucPercent, ucPercent},
        };
        for (int i = 0; i < SignalCount; ++i) {
            Stats[i].Setup(Setup[i].Name, Setup[i].Name, Setup[i].Base, Setup[i].Display, -1, 0);
            Stats[i].AddSample(10);
            Stats[i].AddSample(30);
        }
    }
};

class TFakeLeak : public TLeakTestReportSource {
public:
    void AddReportLines(TStrings*, bool) const override {}
    TPlotReportRecord PlotRecord() const override
    {
        TPlotReportRecord R;
        R.Title = "Leak Test (Low Pressure)";
        R.Units = "mmHg";
        R.Current = "25.0";
        R.Min = "24.9";
        R.Max = "29.4";
        R.Avg = "27.1";
        return R;
    }
};

}  // namespace

TEST(ReportText, PadTextFillsToWidthPlusOne)
{
    const struct {
        const char* Text;
        bool Left;
        int Width;
        const char* Expected;
    } Cases[] = {
        {"abc", true, 5, "abc   "},
        {"abc", false, 5, "   abc"},
        {"abcde", true, 5, "abcde "},
        {"", false, 2, "   "},
        {"abcdef", true, 5, "abcdef"},    // longer: unchanged, never cut
        {"abcdef", false, 5, "abcdef"},
        {"25 \xC2\xB0", true, 5, "25 \xC2\xB0  "},   // counted in characters, not bytes
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Text);
        EXPECT_EQ(PadText(C.Text, C.Left, C.Width), C.Expected);
    }
    EXPECT_EQ(PadText("Signal (Unit)", true, 35).size(), 36u);
}

TEST(ReportText, SignalTableColumns)
{
    SignalRig R;
    TStringList L;
    AddSignalTable(&L, R.Stats);
    const auto Lines = LinesOf(L);
    ASSERT_EQ(Lines.size(), 11u);   // title, empty line, header, eight signals
    EXPECT_EQ(Lines[0], "Signals");
    EXPECT_EQ(Lines[1], "");
    EXPECT_EQ(Lines[2].size(), 89u);
    EXPECT_EQ(Lines[2], PadText("Signal (Unit)", true, 35) + "       Current      Average      Minimum      Maximum");
    // Barometric pressure is not listed.
    const char* const Names[] = {"Flow (LPM)",         "Volume (mL)", "Airway Pressure (cmH2O)", "Low Pressure (cmH2O)",
                                 "High Pressure (PSI)", "Oxygen (%)",  "Temperature (deg C)",    "Relative Humidity (%)"};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Lines[3 + i].substr(0, 36), PadText(Names[i], true, 35)) << i;
    // Flow: current 30, mean 20, minimum 10, maximum 30, each right in 11.
    EXPECT_EQ(Lines[3], PadText("Flow (LPM)", true, 35) + "   " + "      30.00" + "  " + "      20.00" + "  " +
                            "      10.00" + "  " + "      30.00");
    EXPECT_EQ(Lines[3].size(), 89u);

    // A statistic waiting for its reset reads "-----".
    R.Stats[sigFlow].Reset();
    EXPECT_EQ(SignalTableLine(R.Stats[sigFlow]).substr(36, 14), "         -----");
}

TEST(ReportText, SignalLineNamesAndLongNames)
{
    TSignalStats Blank;
    Blank.Setup("Ratio", "R", ucRatio, ucRatio, 1, 0);
    Blank.AddSample(2);
    EXPECT_EQ(SignalTableLine(Blank).substr(0, 36), PadText("Ratio", true, 35));
    TSignalStats None;
    None.Setup("Nothing", "N", ucNone, ucNone, 1, 0);
    EXPECT_EQ(SignalTableLine(None).substr(0, 36), PadText("Nothing", true, 35));

    // A name over 35 characters pushes the values right.
    TSignalStats Long;
    const std::string Name = "A Very Long Signal Name Of Forty Chars";   // 38 characters
    Long.Setup(Name, "L", ucLPM, ucLPM, 1, 0);
    Long.AddSample(5);
    const std::string Line = SignalTableLine(Long);
    EXPECT_EQ(Line.substr(0, Name.size() + 6), Name + " (LPM)");
    EXPECT_EQ(Line.size(), 89u + (Name.size() + 6 - 36));
}

TEST(ReportText, ParameterBlock)
{
    TParameterStruct P;
    P.SetSlot(TParameterStruct::SlotOf(parTidalVolume2), 500);
    P.SetSlot(TParameterStruct::SlotOf(parInspTime), 1.25f);

    TStringList L;
    AddParameterBlock(&L, P, true);
    auto Lines = LinesOf(L);
    ASSERT_EQ(Lines.size(), 14u);
    EXPECT_EQ(Lines[0], "Breath Parameters");
    EXPECT_EQ(Lines[1], "");
    EXPECT_EQ(Lines[2], "   " + PadText("TV", true, 15) + "   " + PadText(P.ValueText(parTidalVolume2, true), true, 15) +
                            PadText("Ti", true, 15) + "   " + PadText(P.ValueText(parInspTime, true), true, 15));
    EXPECT_EQ(Lines[2].substr(3 + 19, 8), "500.0 mL");
    // Line 6 starts with an empty cell, line 7 ends with one.
    EXPECT_EQ(Lines[7].substr(0, 38), std::string(38, ' '));
    EXPECT_EQ(Lines[7].substr(38, 2), "RR");
    EXPECT_EQ(Lines[8].substr(38), std::string(35, ' '));

    // Without the heading: the twelve lines alone.
    L.Clear();
    AddParameterBlock(&L, P, false);
    EXPECT_EQ(L.Count(), 12);
    EXPECT_EQ(L.Get(0), Lines[2]);

    // Two empty cells make a line of 73 blanks.
    EXPECT_EQ("   " + ParameterCell(P, -1) + ParameterCell(P, -1), std::string(73, ' '));
    EXPECT_EQ(ParameterCell(P, parPIP).size(), 35u);
    EXPECT_EQ(ParameterCell(P, parPIP), PadText("PIP", true, 15) + "   " + PadText("----- cmH2O", true, 15));
}

TEST(ReportText, PlotStatsRepeatTheLabels)
{
    TStringList L;
    L.Add("left over from the last report");
    TPlotReportRecord Plot;
    Plot.Current = "12.50";
    Plot.Units = "LPM";
    Plot.Min = "-3.00";
    Plot.Max = "40.00";
    Plot.Avg = "10.20";
    AddPlotStats(&L, Plot);
    EXPECT_EQ(LinesOf(L), (std::vector<std::string>{"12.50 LPM", "", "Min: -3.00", "Max: 40.00", "Avg: 10.20"}));

    TFakeLeak Leak;
    AddLeakStats(&L, Leak);
    EXPECT_EQ(LinesOf(L), (std::vector<std::string>{"25.0 mmHg", "", "Min: 24.9", "Max: 29.4", "Avg: 27.1"}));
}
