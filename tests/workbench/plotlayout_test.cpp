// The plot pages' layout, maximizing one monitor plot, the monitor popup
// menu (signal, units, automatic and manual scale, time span, clearing),
// the unit dialog and the loops' manual scale; with a picture of a
// maximized plot.
#include "tests/workbench/MainRig.h"
#include "tests/support/Components.h"
#include "tests/workbench/DialogRig.h"

#include "analyzer/Units.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/ComCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/Graphics.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "widgets/IcNumEdit.h"

#include <cmath>
#include <filesystem>

namespace {

struct PlotRig {
    MainRig R;
    WorkbenchDialogs D;
    TMainForm* F = nullptr;
    PlotRig()
    {
        R.Build();
        F = R.Form.get();
    }
    void Samples(int From, int To)
    {
        for (int i = From; i < To; ++i) {
            TWaveformSample S;
            // One breath every 4 s.
            const float Phase = static_cast<float>(std::sin(i * 2 * 3.14159265 / 200));
            S.Flow = 40 * Phase;
            S.Volume = 250 + 250 * Phase;
            S.AirwayPressure = 12 + 8 * Phase;
            S.SampleCounter = i;
            F->NewWaveformSample(S);
        }
    }
    // Opens the monitor popup for plot Plot (0-3) from its menu button.
    void Popup(int Plot)
    {
        Find<TButton>(F, "btnMonitor" + std::to_string(Plot + 1) + "Menu")->Click();
        ProcessFor(20);
        F->menuMonitorPopupPopup(nullptr);
    }
    TAction* Action(const std::string& Name) { return Find<TAction>(F, Name); }
    TPanel* Panel(int i) { return Find<TPanel>(F, "pnlSigPlots" + std::to_string(i)); }
    int Count(int Plot) { return Find<TFastLineSeries>(F, "seriesMonitor" + std::to_string(Plot + 1) + "_1")->Count(); }
};

// Sizes the window so that the tab sheets' client area is W x H.
void SetPageArea(TMainForm& F, int W, int H)
{
    auto* Sheet = Find<TTabSheet>(&F, "tsMonitor");
    for (int i = 0; i < 4; ++i) {
        const int dW = W - Sheet->ClientWidth();
        const int dH = H - Sheet->ClientHeight();
        if (dW == 0 && dH == 0)
            return;
        F.SetClientWidth(F.ClientWidth() + dW);
        F.SetClientHeight(F.ClientHeight() + dH);
        ProcessFor(30);
    }
}

struct Box {
    int Left, Top, Width, Height;
    bool operator==(const Box&) const = default;
};

Box BoxOf(const TControl* C)
{
    return {C->Left(), C->Top(), C->Width(), C->Height()};
}

void PrintTo(const Box& B, std::ostream* Os)
{
    *Os << B.Left << "," << B.Top << " " << B.Width << "x" << B.Height;
}

}  // namespace

// A page area of 600 x 303: monitor rows of (303 - 3) / 3 = 100 at 0, 100
// and 200; loops (600 - 2) / 2 = 299 wide at 0 and 301, full height; the
// layout follows every resize of the page control.
TEST(PlotLayout, RowsAndLoopsFollowThePageArea)
{
    PlotRig P;
    TMainForm& F = *P.F;
    F.SetBounds(10, 10, 800, 500);
    F.Show();
    ProcessFor(30);
    SetPageArea(F, 600, 303);
    ASSERT_EQ(Find<TTabSheet>(&F, "tsMonitor")->ClientWidth(), 600);
    ASSERT_EQ(Find<TTabSheet>(&F, "tsMonitor")->ClientHeight(), 303);
    EXPECT_EQ(BoxOf(P.Panel(1)), (Box{0, 0, 600, 100}));
    EXPECT_EQ(BoxOf(P.Panel(2)), (Box{0, 100, 600, 100}));
    EXPECT_EQ(BoxOf(P.Panel(3)), (Box{0, 200, 600, 100}));
    EXPECT_TRUE(P.Panel(3)->Visible());
    EXPECT_FALSE(P.Panel(4)->Visible());
    EXPECT_EQ(BoxOf(Find<TPanel>(&F, "pnlLoop1")), (Box{0, 0, 299, 303}));
    EXPECT_EQ(BoxOf(Find<TPanel>(&F, "pnlLoop2")), (Box{301, 0, 299, 303}));
    EXPECT_EQ(Find<TPanel>(&F, "pnlFullTest")->Left(), 0);
    EXPECT_EQ(Find<TPanel>(&F, "pnlFullTest")->Top(), 0);
    // The chart fills its panel beside the statistics column.
    EXPECT_EQ(Find<TChart>(&F, "chartMonitor2")->Height(), 96);

    // The leak plot takes the third row.
    F.SetLeakPlotShown(true);
    EXPECT_FALSE(P.Panel(3)->Visible());
    EXPECT_TRUE(P.Panel(4)->Visible());
    EXPECT_EQ(BoxOf(P.Panel(4)), (Box{0, 200, 600, 100}));

    // Showing the side bar narrows the page area and lays it out again.
    P.Action("actnFileControls")->Execute();
    ProcessFor(30);
    const int W = Find<TTabSheet>(&F, "tsMonitor")->ClientWidth();
    EXPECT_LT(W, 600);
    EXPECT_EQ(P.Panel(1)->Width(), W);
    EXPECT_EQ(Find<TPanel>(&F, "pnlLoop2")->Left(), (W - 2) / 2 + 2);
}

// Maximizing plot 2 hides the others; pressing its button again restores
// the three rows, with the leak plot in row 3 while it is shown.
TEST(PlotLayout, MaximizeAndRestoreOnePlot)
{
    PlotRig P;
    TMainForm& F = *P.F;
    F.SetBounds(10, 10, 800, 500);
    F.Show();
    ProcessFor(30);
    SetPageArea(F, 600, 303);
    F.SetLeakPlotShown(true);

    Find<TButton>(&F, "btnMonitor2Max")->Click();
    ProcessFor(30);
    EXPECT_TRUE(Probe(F).PlotMaximized());
    for (int i : {1, 3, 4})
        EXPECT_FALSE(P.Panel(i)->Visible()) << i;
    EXPECT_EQ(P.Panel(2)->Align(), alClient);
    EXPECT_EQ(BoxOf(P.Panel(2)), (Box{0, 0, 600, 303}));
    // A resize keeps the maximized plot filling the page.
    SetPageArea(F, 640, 320);
    EXPECT_EQ(BoxOf(P.Panel(2)), (Box{0, 0, 640, 320}));
    // Past the first wrap, so the axis is scaled to the signal.
    P.Samples(0, 1900);
    ProcessFor(30);
    std::unique_ptr<TBitmap> Image(F.GetFormImage());
    ASSERT_TRUE(Image);
    const std::string Name = std::string(OZ_TEST_ARTIFACTS) + "/workbench-maximized-monitor-plot.png";
    Image->SaveToFile(Name);
    EXPECT_TRUE(std::filesystem::file_size(Name) > 1000);
    SetPageArea(F, 600, 303);

    Find<TButton>(&F, "btnMonitor2Max")->Click();
    ProcessFor(30);
    EXPECT_FALSE(Probe(F).PlotMaximized());
    EXPECT_EQ(P.Panel(2)->Align(), alNone);
    EXPECT_EQ(BoxOf(P.Panel(1)), (Box{0, 0, 600, 100}));
    EXPECT_EQ(BoxOf(P.Panel(2)), (Box{0, 100, 600, 100}));
    EXPECT_EQ(BoxOf(P.Panel(4)), (Box{0, 200, 600, 100}));
    EXPECT_TRUE(P.Panel(1)->Visible());
    EXPECT_TRUE(P.Panel(4)->Visible());
    EXPECT_FALSE(P.Panel(3)->Visible());

    // The leak plot maximized and restored; then plot 3 once the leak plot
    // is gone.
    Find<TButton>(&F, "btnMonitor4Max")->Click();
    EXPECT_FALSE(P.Panel(1)->Visible());
    EXPECT_FALSE(P.Panel(2)->Visible());
    EXPECT_EQ(P.Panel(4)->Align(), alClient);
    Find<TButton>(&F, "btnMonitor4Max")->Click();
    EXPECT_TRUE(P.Panel(1)->Visible());
    EXPECT_EQ(BoxOf(P.Panel(4)), (Box{0, 200, 600, 100}));
    F.SetLeakPlotShown(false);
    Find<TButton>(&F, "btnMonitor3Max")->Click();
    EXPECT_EQ(P.Panel(3)->Align(), alClient);
    Find<TButton>(&F, "btnMonitor3Max")->Click();
    EXPECT_EQ(BoxOf(P.Panel(3)), (Box{0, 200, 600, 100}));
    EXPECT_TRUE(P.Panel(3)->Visible());
    EXPECT_FALSE(P.Panel(4)->Visible());
}

// The popup offers the units of the shown signal's family, the current one
// checked; oxygen has none; a pressure plot offers the leak test on its
// own signal.
TEST(MonitorPopup, OffersTheUnitsOfTheShownSignal)
{
    PlotRig P;
    TMainForm& F = *P.F;
    P.Popup(0);
    EXPECT_EQ(Find<TPopupMenu>(&F, "menuMonitorPopup")->Tag(), 0);
    EXPECT_TRUE(P.Action("actnFlow")->Checked());
    EXPECT_FALSE(P.Action("actnAPress")->Checked());
    EXPECT_TRUE(Find<TMenuItem>(&F, "menuUnits")->Visible());
    const char* const Flow[] = {"LPM", "CFM", "LPS", "mL/min", "mL/sec"};
    for (int u = 0; u < 9; ++u) {
        TAction* A = P.Action("actnUnit" + std::to_string(u + 1));
        EXPECT_EQ(A->Visible(), u < 5) << u;
        if (u < 5) {
            EXPECT_EQ(A->Caption(), Flow[u]);
            EXPECT_EQ(A->Tag(), 10 + u);
            EXPECT_EQ(A->Checked(), u == 0) << u;
        } else {
            EXPECT_EQ(A->Tag(), 0);
        }
    }
    EXPECT_FALSE(Find<TMenuItem>(&F, "mnuLeakTestPop")->Visible());
    EXPECT_TRUE(P.Action("actnAutoScale")->Checked());

    // Oxygen on plot 1: no units.
    P.Action("actnOxygen")->Execute();
    EXPECT_EQ(Probe(F).MonitorPlot(0).SignalId(), sigOxygen);
    P.Popup(0);
    EXPECT_TRUE(P.Action("actnOxygen")->Checked());
    EXPECT_FALSE(P.Action("actnFlow")->Checked());
    EXPECT_FALSE(Find<TMenuItem>(&F, "menuUnits")->Visible());
    EXPECT_FALSE(Find<TMenuItem>(&F, "mnuLeakTestPop")->Visible());
    // A hidden unit action does nothing.
    P.Action("actnUnit1")->Execute();
    EXPECT_EQ(F.SignalStats(sigOxygen).DisplayUnit(), ucPercent);

    // Airway pressure on plot 2: nine pressure units and the leak test.
    P.Popup(1);
    EXPECT_TRUE(P.Action("actnAPress")->Checked());
    for (int u = 0; u < 9; ++u)
        EXPECT_EQ(P.Action("actnUnit" + std::to_string(u + 1))->Tag(), 1 + u);
    EXPECT_TRUE(Find<TMenuItem>(&F, "mnuLeakTestPop")->Visible());
    EXPECT_EQ(Find<TMenuItem>(&F, "mnuLeakTestPop")->Caption(), "Start Leak Test");
    EXPECT_EQ(P.Action("actnLeakTest")->Tag(), sigAirwayPressure);
}

// mmHg for airway pressure changes the signal everywhere: the plot, the
// volume/pressure loop's bottom title and the settings file at close.
TEST(MonitorPopup, UnitChangeAppliesToTheSignalEverywhere)
{
    PlotRig P;
    TMainForm& F = *P.F;
    P.Popup(1);
    ASSERT_EQ(P.Action("actnUnit2")->Caption(), UnitName(ucMmHg));
    P.Action("actnUnit2")->Execute();
    EXPECT_EQ(F.SignalStats(sigAirwayPressure).DisplayUnit(), ucMmHg);
    EXPECT_EQ(Find<TChart>(&F, "chartLoop2")->BottomAxis()->Title()->Caption(), "Airway Pressure (mmHg)");
    P.Popup(1);
    EXPECT_TRUE(P.Action("actnUnit2")->Checked());
    EXPECT_FALSE(P.Action("actnUnit1")->Checked());
    F.Close();
    EXPECT_EQ(P.R.IniValue("Settings", "APress Unit"), std::to_string(ucMmHg));
}

// Choosing a signal, clearing, the automatic-scale switch and the time span
// address the popup's plot only (the time span goes to all three).
TEST(MonitorPopup, ActionsAddressThePopupsPlot)
{
    PlotRig P;
    TMainForm& F = *P.F;
    P.Samples(0, 100);
    P.Popup(2);
    P.Action("actnClearMonitorSeries")->Execute();
    EXPECT_EQ(P.Count(2), 0);
    EXPECT_EQ(P.Count(0), 100);
    EXPECT_EQ(P.Count(1), 100);

    P.Action("actnHPress")->Execute();
    EXPECT_EQ(Probe(F).MonitorPlot(2).SignalId(), sigHighPressure);
    EXPECT_EQ(Probe(F).MonitorPlot(0).SignalId(), sigFlow);

    P.Popup(0);
    P.Action("actnAutoScale")->Execute();
    EXPECT_TRUE(Probe(F).SignalScale(sigFlow).Manual);
    P.Popup(0);
    EXPECT_FALSE(P.Action("actnAutoScale")->Checked());
    P.Action("actnAutoScale")->Execute();
    EXPECT_FALSE(Probe(F).SignalScale(sigFlow).Manual);

    // "Show Previous Monitor Data" clears the plot addressed last.
    P.Samples(100, 150);
    P.Popup(1);
    EXPECT_EQ(Find<TPopupMenu>(&F, "menuMonitorPopup")->Tag(), 1);
    P.Action("actnShowPreviousData")->Execute();
    EXPECT_EQ(P.Count(1), 0);
    EXPECT_EQ(P.Count(0), 150);

    // The time dialog proposes the plot's span; OK sets it on all three.
    std::string Proposed;
    {
        ModalAnswer A(
            [&](TComponent* D) {
                auto* E = Find<TIcNumSpin>(D, "eTime");
                Proposed = E->Text();
                E->SetText("45");
            },
            mrOk);
        P.Action("actnTime")->Execute();
        EXPECT_EQ(A.Runs, 1);
    }
    EXPECT_EQ(Proposed, "30");
    for (int p = 0; p < 3; ++p)
        EXPECT_EQ(Probe(F).MonitorPlot(p).GetTimeSpan(), 45.0f) << p;
    EXPECT_DOUBLE_EQ(Find<TChart>(&F, "chartMonitor3")->BottomAxis()->Maximum(), 45.0);
}

// Manual scale of a flow plot with high 10 and low 4: the axis takes 5 %
// margins (3.7 to 10.3, increment 0.06) and the scale is stored as manual;
// typed the other way round the result is the same.
TEST(MonitorPopup, ManualScaleOrdersHighAndLow)
{
    struct Case {
        const char* High;
        const char* Low;
    };
    for (const Case C : {Case{"10", "4"}, Case{"4", "10"}}) {
        PlotRig P;
        TMainForm& F = *P.F;
        P.Popup(0);
        std::string Caption;
        bool XShown = true;
        {
            ModalAnswer A(
                [&](TComponent* D) {
                    Caption = Find<TGroupBox>(D, "gbYRange")->Caption();
                    XShown = Find<TPanel>(D, "pnlXRange")->Visible();
                    Find<TIcNumSpin>(D, "eYMax")->SetText(C.High);
                    Find<TIcNumSpin>(D, "eYMin")->SetText(C.Low);
                },
                mrOk);
            P.Action("actnManualScale")->Execute();
        }
        EXPECT_EQ(Caption, "Flow (LPM)");
        EXPECT_FALSE(XShown);
        TChartAxis* Axis = Find<TChart>(&F, "chartMonitor1")->LeftAxis();
        EXPECT_NEAR(Axis->Minimum(), 3.7, 1e-5) << C.High;
        EXPECT_NEAR(Axis->Maximum(), 10.3, 1e-5) << C.High;
        EXPECT_NEAR(Axis->Increment(), 0.06, 1e-6) << C.High;
        const TPlotScale S = Probe(F).SignalScale(sigFlow);
        EXPECT_TRUE(S.Manual);
        EXPECT_FLOAT_EQ(S.YUpper, 10);
        EXPECT_FLOAT_EQ(S.YLower, 4);
        // A manual scale is kept at the next rescale.
        P.Action("actnRescalePlots")->Execute();
        EXPECT_NEAR(Axis->Maximum(), 10.3, 1e-5);
    }

    // Cancel changes nothing.
    PlotRig P;
    P.Popup(0);
    const TPlotScale Before = Probe(*P.F).SignalScale(sigFlow);
    {
        ModalAnswer A([](TComponent* D) { Find<TIcNumSpin>(D, "eYMax")->SetText("99"); }, mrCancel);
        P.Action("actnManualScale")->Execute();
    }
    EXPECT_FALSE(Probe(*P.F).SignalScale(sigFlow).Manual);
    EXPECT_EQ(Probe(*P.F).SignalScale(sigFlow).YUpper, Before.YUpper);
}

// The leak plot's popup offers only "Start Leak Test"; the popup's actions
// run afterwards (from the main menu) address no plot, and "Time Scale"
// starts from plot 1's span.
TEST(MonitorPopup, LeakPlotPopupTouchesNoMonitorPlot)
{
    PlotRig P;
    TMainForm& F = *P.F;
    F.SetLeakPlotShown(true);
    P.Samples(0, 60);
    Probe(F).SetMonitorTimeSpan(0, 20);
    P.Popup(3);
    EXPECT_EQ(Find<TPopupMenu>(&F, "menuMonitorPopup")->Tag(), 3);
    EXPECT_TRUE(Find<TMenuItem>(&F, "mnuLeakTestPop")->Visible());
    for (const char* Item : {"mnuMonitorSignal", "menuUnits", "mnuMonitorRescale", "mnuMonitorClear"})
        EXPECT_FALSE(Find<TMenuItem>(&F, Item)->Visible()) << Item;
    P.Samples(60, 100);

    const int Signals[3] = {Probe(F).MonitorPlot(0).SignalId(), Probe(F).MonitorPlot(1).SignalId(),
                            Probe(F).MonitorPlot(2).SignalId()};
    for (const char* Name : {"actnFlow", "actnOxygen", "actnUnit1", "actnAutoScale", "actnClearMonitorSeries",
                             "actnShowPreviousData"})
        P.Action(Name)->Execute();
    {
        ModalAnswer A(nullptr, mrOk);
        P.Action("actnManualScale")->Execute();
        EXPECT_EQ(A.Runs, 0);
    }
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(Probe(F).MonitorPlot(p).SignalId(), Signals[p]) << p;
        EXPECT_EQ(P.Count(p), p == 0 ? 40 : 100) << p;
    }
    for (int s = 0; s < SignalCount; ++s)
        EXPECT_FALSE(Probe(F).SignalScale(s).Manual) << s;

    std::string Proposed;
    {
        ModalAnswer A([&](TComponent* D) { Proposed = Find<TIcNumSpin>(D, "eTime")->Text(); }, mrCancel);
        P.Action("actnTime")->Execute();
        EXPECT_EQ(A.Runs, 1);
    }
    EXPECT_EQ(Proposed, "20");
}

// The unit dialog shows the six display units and stores the choice; the
// loops' "Manual Scale" sets both ranges of the loop addressed.
TEST(UnitsAndScales, UnitDialogAndLoopManualScale)
{
    PlotRig P;
    TMainForm& F = *P.F;
    std::string Shown;
    {
        ModalAnswer A(
            [&](TComponent* D) {
                for (const char* Name : {"cbFlowUnit", "cbVolumeUnit", "cbAPressUnit", "cbLPressUnit", "cbHPressUnit",
                                         "cbTemperatureUnit"})
                    Shown += Find<TComboBox>(D, Name)->Text() + "|";
                Find<TComboBox>(D, "cbFlowUnit")->SetItemIndex(3);
                Find<TComboBox>(D, "cbHPressUnit")->SetItemIndex(2);
                Find<TComboBox>(D, "cbTemperatureUnit")->SetItemIndex(2);
            },
            mrOk);
        P.Action("actnUnits")->Execute();
    }
    EXPECT_EQ(Shown, "LPM|ml|cmH2O|cmH2O|psi|deg C|");
    EXPECT_EQ(F.SignalStats(sigFlow).DisplayUnit(), ucLPM + 3);
    EXPECT_EQ(F.SignalStats(sigHighPressure).DisplayUnit(), ucCmH2O + 2);
    EXPECT_EQ(F.SignalStats(sigTemperature).DisplayUnit(), ucKelvin + 2);
    EXPECT_EQ(F.SignalStats(sigVolume).DisplayUnit(), ucLiters + 2);
    {
        ModalAnswer A([](TComponent* D) { Find<TComboBox>(D, "cbFlowUnit")->SetItemIndex(0); }, mrCancel);
        P.Action("actnUnits")->Execute();
    }
    EXPECT_EQ(F.SignalStats(sigFlow).DisplayUnit(), ucLPM + 3);

    // The volume/pressure loop, both ranges; the dialog shows both.
    Find<TButton>(&F, "btnLoop2Menu")->Click();
    ProcessFor(20);
    std::string Captions;
    {
        ModalAnswer A(
            [&](TComponent* D) {
                Captions = Find<TGroupBox>(D, "gbYRange")->Caption() + "|" + Find<TGroupBox>(D, "gbXRange")->Caption();
                EXPECT_TRUE(Find<TPanel>(D, "pnlXRange")->Visible());
                Find<TIcNumSpin>(D, "eYMax")->SetText("2");
                Find<TIcNumSpin>(D, "eYMin")->SetText("0");
                Find<TIcNumSpin>(D, "eXMax")->SetText("-5");
                Find<TIcNumSpin>(D, "eXMin")->SetText("40");
            },
            mrOk);
        P.Action("actnManualScaleLoop")->Execute();
    }
    EXPECT_EQ(Captions, "Volume (mL)|Airway Pressure (cmH2O)");
    const TPlotScale S = Probe(F).LoopScale(1);
    EXPECT_TRUE(S.Manual);
    EXPECT_FLOAT_EQ(S.YUpper, 2);
    EXPECT_FLOAT_EQ(S.YLower, 0);
    EXPECT_FLOAT_EQ(S.XUpper, 40);
    EXPECT_FLOAT_EQ(S.XLower, -5);
    EXPECT_FALSE(Probe(F).LoopScale(0).Manual);
}
