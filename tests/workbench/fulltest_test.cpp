// The Full Test page: value labels with their units, the statistics
// actions, selecting the parameter of the detail panel, the stacked test and
// the reset of every live display; end to end with the simulator, with a
// picture of the page.
#include "tests/workbench/MainRig.h"
#include "tests/support/Components.h"
#include "tests/workbench/DialogRig.h"

#include "analyzer/Parameterstruct.h"
#include "chart/Series.h"
#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/Graphics.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"
#include "widgets/IcNumEdit.h"

#include <filesystem>

namespace {

// A record with the given parameter values, every other one absent.
TParameterStruct Record(std::initializer_list<std::pair<int, float>> Values)
{
    TParameterStruct P;
    for (auto [Id, V] : Values)
        P.SetSlot(TParameterStruct::SlotOf(Id), V);
    return P;
}

TWaveformSample Sample(int32_t Counter, float Oxygen = 21, float Temperature = 300, float RelHumidity = 40)
{
    TWaveformSample S;
    S.Flow = 10;
    S.Volume = 0.2f;
    S.AirwayPressure = 5;
    S.Oxygen = Oxygen;
    S.BaroPressure = 760;
    S.Temperature = Temperature;
    S.RelHumidity = RelHumidity;
    S.SampleCounter = Counter;
    return S;
}

std::string Text(TMainForm& F, const std::string& Label)
{
    return Find<TLabel>(&F, Label)->Caption();
}

const char* const ValueLabels[] = {"lblMV",    "lblTV",   "lblBase", "lblPIF",  "lblPEF",  "lblPIP",
                                   "lblPEEP",  "lblIPP",  "lblMAP",  "lblRR",   "lblTiHold", "lblTeHold",
                                   "lblTi",    "lblTe",   "lblComp", "lblOxy",  "lblIE",   "lblBaroP",
                                   "lblMinP",  "lblTrigP", "lblTemp", "lblRelHum"};

}  // namespace

// Each value label shows the latest value and its unit: one decimal for a
// tidal volume in mL, the I:E ratio as 1:r with two decimals and a blank
// unit; the environment values come from the samples.
TEST(FullTest, ValueLabelsShowTheLatestValueWithItsUnit)
{
    MainRig R;
    R.Build();
    TMainForm& F = *R.Form;
    // 22 labels, each with its caption beside it; 1 and 21 have none.
    int Bound = 0;
    for (int Id = 0; Id < ParameterCount; ++Id)
        Bound += Probe(F).FullTestInfo(Id).ValueLabel() != nullptr;
    EXPECT_EQ(Bound, 22);
    EXPECT_EQ(Probe(F).FullTestInfo(parTidalVolume1).ValueLabel(), nullptr);
    EXPECT_EQ(Probe(F).FullTestInfo(parTime).ValueLabel(), nullptr);
    EXPECT_EQ(Probe(F).FullTestInfo(parPIP).ValueLabel(), Find<TLabel>(&F, "lblPIP"));
    EXPECT_EQ(Find<TGroupBox>(&F, "gbFullDetail")->Caption(), "Detailed View");

    // (the ratio reads "1:-----")
    for (const char* L : ValueLabels)
        EXPECT_NE(Text(F, L).find("-----"), std::string::npos) << L;

    F.NewParameters(Record({{parTidalVolume2, 500}, {parIERatio, -2.0f}, {parRespiratoryRate, 12}}));
    EXPECT_EQ(Text(F, "lblTV"), "500.0 mL");
    // The ratio's unit is a blank.
    const std::string RatioUnit = Probe(F).ParamStats(parIERatio).DisplayUnitName();
    EXPECT_EQ(RatioUnit.find_first_not_of(' '), std::string::npos);
    EXPECT_EQ(Text(F, "lblIE"), "1:2.00 " + RatioUnit);
    F.NewParameters(Record({{parTidalVolume2, 480}, {parIERatio, 2.0f}}));
    EXPECT_EQ(Text(F, "lblTV"), "480.0 mL");
    EXPECT_EQ(Text(F, "lblIE"), "2.00:1 " + RatioUnit);
    // An absent value shows dashes, with the unit.
    EXPECT_EQ(Text(F, "lblRR").substr(0, 6), "----- ");

    F.NewWaveformSample(Sample(1, 21.5f));
    EXPECT_EQ(Text(F, "lblOxy").find("21.5"), 0u) << Text(F, "lblOxy");
    // The detail panel shows tidal volume from the start.
    EXPECT_EQ(Text(F, "lblFullDetailTitle"), Probe(F).ParamStats(parTidalVolume2).LongName() + ":");
    EXPECT_EQ(Text(F, "lblFullDetailCurrent"), "480.0 mL");
    EXPECT_EQ(Text(F, "lblFullDetailMax"), "500.0");
    EXPECT_EQ(Text(F, "lblFullDetailMin"), "480.0");
    EXPECT_EQ(Text(F, "lblFullDetailAvg"), "490.0");
}

// "Clear Statistics" shows dashes everywhere (with the units) until the
// next sample or record; a single signal's clear leaves the parameters fed
// from it alone.
TEST(FullTest, ClearStatisticsShowsDashesUntilTheNextValue)
{
    MainRig R;
    R.Build();
    TMainForm& F = *R.Form;
    F.NewWaveformSample(Sample(1));
    F.NewParameters(Record({{parTidalVolume2, 500}, {parPIP, 20}, {parIERatio, -2.0f}}));
    ASSERT_EQ(Text(F, "lblTV"), "500.0 mL");

    Find<TAction>(&F, "actnClearOxygenStats")->Execute();
    EXPECT_TRUE(F.SignalStats(sigOxygen).ResetPending());
    EXPECT_FALSE(Probe(F).ParamStats(parOxygen).ResetPending());
    EXPECT_FALSE(F.SignalStats(sigFlow).ResetPending());

    Find<TAction>(&F, "actnClearAll")->Execute();
    EXPECT_EQ(Find<TAction>(&F, "actnClearAll")->Hint(), "Clear All Statistics");
    for (int i = 0; i < MaxSignals; ++i)
        EXPECT_TRUE(F.SignalStats(i).ResetPending()) << i;
    // Nothing changes at once; the next refresh shows the dashes.
    EXPECT_EQ(Text(F, "lblTV"), "500.0 mL");
    Find<TAction>(&F, "actnUpdateFullTest")->Execute();
    // (the ratio reads "1:-----")
    for (const char* L : ValueLabels)
        EXPECT_NE(Text(F, L).find("-----"), std::string::npos) << L;
    EXPECT_EQ(Text(F, "lblTV"), "----- mL");
    EXPECT_EQ(Text(F, "lblFullDetailMax"), "-----");

    // A sample brings back the environment values, a record the others.
    F.NewWaveformSample(Sample(2, 30));
    EXPECT_EQ(Text(F, "lblOxy").find("30"), 0u) << Text(F, "lblOxy");
    EXPECT_EQ(Text(F, "lblTV"), "----- mL");
    F.NewParameters(Record({{parTidalVolume2, 450}}));
    EXPECT_EQ(Text(F, "lblTV"), "450.0 mL");
    EXPECT_EQ(Text(F, "lblFullDetailMax"), "450.0");
}

// A selection button selects its parameter for the detail panel: O2
// Percent can be neither stacked nor trended, tidal volume can; a second
// click on the selected button changes nothing.
TEST(FullTest, SelectionButtonsChooseTheDetailedParameter)
{
    MainRig R;
    R.Build();
    TMainForm& F = *R.Form;
    auto* TV = Find<TToolSpeedButton>(&F, "btnTVSelect");
    auto* Oxy = Find<TToolSpeedButton>(&F, "btnOxySelect");
    auto* Stack = Find<TSpeedButton>(&F, "btnStack");
    auto* Trend = Find<TSpeedButton>(&F, "btnTrend");
    EXPECT_EQ(TV->ToolType(), ttClose);
    EXPECT_EQ(Oxy->ToolType(), ttMaximize);
    EXPECT_EQ(Oxy->Tag(), parOxygen);
    // No entry is selected at start, so the first click runs in full.
    for (int Id = 0; Id < ParameterCount; ++Id)
        EXPECT_FALSE(Probe(F).FullTestInfo(Id).Selected());
    EXPECT_EQ(Probe(F).SelectedParam(), parTidalVolume2);

    F.NewWaveformSample(Sample(1, 40));
    Oxy->Click();
    EXPECT_EQ(Probe(F).SelectedParam(), parOxygen);
    EXPECT_TRUE(Probe(F).FullTestInfo(parOxygen).Selected());
    EXPECT_EQ(Oxy->ToolType(), ttClose);
    EXPECT_EQ(TV->ToolType(), ttMaximize);
    EXPECT_FALSE(Stack->Enabled());
    EXPECT_FALSE(Trend->Enabled());
    for (const char* L : {"lblStackLabel", "lblStacked", "lblNStacked"})
        EXPECT_FALSE(Find<TLabel>(&F, L)->Visible()) << L;
    EXPECT_EQ(Text(F, "lblFullDetailTitle"), Probe(F).ParamStats(parOxygen).LongName() + ":");
    EXPECT_EQ(Text(F, "lblFullDetailCurrent").find("40"), 0u);

    // Again: nothing changes (the detail panel is not even refreshed).
    Find<TLabel>(&F, "lblFullDetailTitle")->SetCaption("untouched");
    Oxy->Click();
    EXPECT_EQ(Text(F, "lblFullDetailTitle"), "untouched");
    EXPECT_EQ(Oxy->ToolType(), ttClose);
    EXPECT_EQ(Probe(F).SelectedParam(), parOxygen);

    TV->Click();
    EXPECT_EQ(TV->ToolType(), ttClose);
    EXPECT_EQ(Oxy->ToolType(), ttMaximize);
    EXPECT_FALSE(Probe(F).FullTestInfo(parOxygen).Selected());
    EXPECT_TRUE(Stack->Enabled());
    EXPECT_TRUE(Trend->Enabled());
    ProcessFor(20);  // the actions' idle update leaves the buttons as they are
    EXPECT_TRUE(Stack->Enabled());
    for (const char* L : {"lblStackLabel", "lblStacked", "lblNStacked"})
        EXPECT_TRUE(Find<TLabel>(&F, L)->Visible()) << L;

    Find<TAction>(&F, "actnClearSelections")->Execute();
    EXPECT_EQ(TV->ToolType(), ttMaximize);
    EXPECT_FALSE(Probe(F).FullTestInfo(parTidalVolume2).Selected());
}

// The stacked test: the dialog proposes the current length, its Default
// button gives 5, Cancel changes nothing; a length of 3 shows (3) and the
// stacked value waits for two more records after the change.
TEST(FullTest, StackedTestSumsTheChosenNumberOfBreaths)
{
    MainRig R;
    WorkbenchDialogs D;
    R.Build();
    TMainForm& F = *R.Form;
    for (float V : {400.0f, 410.0f})
        F.NewParameters(Record({{parTidalVolume2, V}}));
    const int32_t Before = Probe(F).BreathsToStack();

    std::string Proposed;
    {
        ModalAnswer A(
            [&](TComponent* D) {
                auto* E = Find<TIcNumSpin>(D, "eStackTest");
                Proposed = E->Text();
                Find<TButton>(D, "btnDefault")->Click();
                EXPECT_EQ(E->ValueAsInt(), 5);
            },
            mrCancel);
        Find<TAction>(&F, "actnStackedTest")->Execute();
        EXPECT_EQ(A.Runs, 1);
    }
    EXPECT_EQ(Proposed, std::to_string(Before));
    EXPECT_EQ(Probe(F).BreathsToStack(), Before);

    {
        ModalAnswer A([](TComponent* D) { Find<TIcNumSpin>(D, "eStackTest")->SetText("3"); },
                      mrOk);
        Find<TAction>(&F, "actnStackedTest")->Execute();
    }
    EXPECT_EQ(Probe(F).BreathsToStack(), 3);
    for (int Id = 0; Id < ParameterCount; ++Id)
        EXPECT_EQ(Probe(F).ParamStats(Id).StackSize(), 3) << Id;
    EXPECT_EQ(Text(F, "lblNStacked"), "(3)");
    EXPECT_EQ(Text(F, "lblStacked"), "-----");
    F.NewParameters(Record({{parTidalVolume2, 420}}));
    EXPECT_EQ(Text(F, "lblStacked"), "-----");
    F.NewParameters(Record({{parTidalVolume2, 430}}));
    EXPECT_EQ(Text(F, "lblStacked"), "1260.0");

    // Beyond the limits the spin edit holds the value at 25 and 1.
    for (auto [Typed, Kept] : {std::pair{"40", 25}, std::pair{"0", 1}}) {
        ModalAnswer A([T = Typed](TComponent* D) {
            Find<TIcNumSpin>(D, "eStackTest")->SetText(T);
        },
                      mrOk);
        Find<TAction>(&F, "actnStackedTest")->Execute();
        EXPECT_EQ(Probe(F).BreathsToStack(), Kept) << Typed;
    }
}

// Resetting every live display: statistics, monitor plots with their
// labels, the Full Test page and both loops.
TEST(FullTest, ResetEverythingClearsEveryLiveDisplay)
{
    MainRig R;
    R.Build();
    TMainForm& F = *R.Form;
    for (int i = 1; i <= 20; ++i)
        F.NewWaveformSample(Sample(i));
    F.NewParameters(Record({{parTidalVolume2, 500}}));
    ASSERT_GT(Find<TFastLineSeries>(&F, "seriesMonitor1_1")->Count(), 0);
    ASSERT_GT(Find<TFastLineSeries>(&F, "seriesLoop1_1")->Count(), 0);

    Find<TAction>(&F, "actnResetEveryting")->Execute();
    for (int p = 0; p < 3; ++p) {
        const std::string N = std::to_string(p + 1);
        EXPECT_EQ(Find<TFastLineSeries>(&F, "seriesMonitor" + N + "_1")->Count(), 0) << p;
        EXPECT_EQ(Find<TFastLineSeries>(&F, "seriesMonitor" + N + "_2")->Count(), 0) << p;
        EXPECT_EQ(Probe(F).MonitorPlot(p).SweepPos(), 0) << p;
        for (const char* L : {"lblCurrMonitor", "lblAvgMonitor", "lblMaxMonitor", "lblMinMonitor"})
            EXPECT_EQ(Text(F, L + N), "-----") << L << N;
    }
    EXPECT_EQ(Find<TFastLineSeries>(&F, "seriesLoop1_1")->Count(), 0);
    EXPECT_EQ(Find<TFastLineSeries>(&F, "seriesLoop2_1")->Count(), 0);
    EXPECT_EQ(Text(F, "lblTV"), "----- mL");
    EXPECT_EQ(Text(F, "lblOxy").substr(0, 5), "-----");
}

// With the simulator: every value label is filled from the analyzer's
// samples and records; a picture of the page.
TEST(FullTest, PageFilledByTheAnalyzer)
{
    MainRig R;
    {
        auto L = R.Sim.Lock();
        R.Sim.Device().ParameterPeriodMs = 300;
    }
    R.StartSim();
    R.ConnectAtOwnRate();
    TMainForm& F = *R.Form;
    F.SetBounds(10, 10, 900, 600);
    F.Show();
    // Already connected: no second handshake.
    Find<TTimer>(&F, "tmrStartHandshake")->SetEnabled(false);
    Find<TPageControl>(&F, "PageControl")->SetActivePage(Find<TTabSheet>(&F, "tsFullTest"));
    ASSERT_TRUE(ProcessUntil([&] { return Text(F, "lblTV").substr(0, 5) != "-----"; }, 15000));
    ProcessFor(100);
    for (const char* L : {"lblTV", "lblMV", "lblPIP", "lblRR", "lblOxy", "lblTemp"})
        EXPECT_NE(Text(F, L).substr(0, 5), "-----") << L;
    std::unique_ptr<TBitmap> Image(F.GetFormImage());
    ASSERT_TRUE(Image);
    const std::string Name = std::string(OZ_TEST_ARTIFACTS) + "/workbench-full-test-page.png";
    Image->SaveToFile(Name);
    EXPECT_TRUE(std::filesystem::file_size(Name) > 1000);
}
