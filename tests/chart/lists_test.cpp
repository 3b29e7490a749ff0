// The chart's series list (drawing order, groups), its axes lists and what
// the chart answers about its series and axes.
#include "chart/ChEngine.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class TListChart : public TCountingChart {
public:
    TListChart()
    {
        SetView3D(false);
        Invalidations = 0;
    }
    TChartSeries* NewSeries(const std::string& Name = {})
    {
        auto* S = new TChartSeries(nullptr);
        S->SetName(Name);
        AddSeries(S);
        return S;
    }
};

}  // namespace

TEST(SeriesList, PutChangesTheDrawingOrderSilently)
{
    TListChart Chart;
    TChartSeries* A = Chart.NewSeries("A");
    TChartSeries* B = Chart.NewSeries("B");
    Chart.Invalidations = 0;
    Chart.Events.clear();
    Chart.SeriesList().Put(0, B);
    Chart.SeriesList().Put(1, A);
    EXPECT_EQ(Chart.Series(0), B);
    EXPECT_EQ(Chart.Series(1), A);
    EXPECT_EQ(Chart.Invalidations, 0);
    EXPECT_TRUE(Chart.Events.empty());

    EXPECT_THROW(Chart.SeriesList().Put(2, A), EListError);
    EXPECT_THROW(Chart.SeriesList().Put(-1, A), EListError);
    EXPECT_EQ(Chart.SeriesCount(), 2);
    EXPECT_EQ(Chart.Series(0), B);
}

TEST(SeriesList, ExchangingSeriesSwapsListAndGroupAndTellsTheChart)
{
    TListChart Chart;
    TChartSeries* A = Chart.NewSeries("A");
    TChartSeries* B = Chart.NewSeries("B");
    TChartSeries* C = Chart.NewSeries("C");
    TSeriesGroup* G = Chart.SeriesList().AddGroup("pair");
    G->Add(A);
    G->Add(C);
    Chart.Invalidations = 0;
    Chart.Events.clear();
    Chart.ExchangeSeries(A, C);
    EXPECT_EQ(Chart.Series(0), C);
    EXPECT_EQ(Chart.Series(1), B);
    EXPECT_EQ(Chart.Series(2), A);
    EXPECT_EQ(G->Series()[0], C);
    EXPECT_EQ(G->Series()[1], A);
    EXPECT_EQ(Chart.Events, (std::vector<TChartSeriesEvent>{seSwap}));
    EXPECT_EQ(Chart.Invalidations, 1);
    EXPECT_EQ(Chart.SeriesList().SeriesGroups().Contains(B), -1);
    EXPECT_EQ(Chart.SeriesList().SeriesGroups().Contains(A), 0);

    // a series that leaves the chart leaves its groups too
    delete A;
    EXPECT_EQ(G->Series().Count(), 1);
}

TEST(SeriesList, GroupsShowAndHideTogether)
{
    TListChart Chart;
    EXPECT_TRUE(Chart.SeriesList().AllActive());
    TChartSeries* A = Chart.NewSeries();
    TChartSeries* B = Chart.NewSeries();
    TSeriesGroup* G = Chart.SeriesList().AddGroup("both");
    EXPECT_EQ(G->Name(), "both");
    EXPECT_EQ(G->Active(), gaYes);
    G->Add(A);
    G->Add(B);
    B->SetActive(false);
    EXPECT_EQ(G->Active(), gaSome);
    EXPECT_FALSE(Chart.SeriesList().AllActive());
    G->SetActive(gaSome);
    EXPECT_TRUE(A->Active());
    G->Hide();
    EXPECT_FALSE(A->Active());
    EXPECT_FALSE(B->Active());
    EXPECT_EQ(G->Active(), gaNo);
    G->Show();
    EXPECT_EQ(G->Active(), gaYes);
    Chart.SeriesList().SetAllActive(false);
    EXPECT_EQ(Chart.CountActiveSeries(), 0);

    TCustomSeriesList Other;
    Other.Add(B);
    G->SetSeries(Other);
    EXPECT_EQ(G->Series().Count(), 1);
    EXPECT_EQ(G->Series()[0], B);
}

TEST(SeriesList, NamesForChoiceLists)
{
    TListChart Chart;
    TChartSeries* First = Chart.NewSeries();
    TChartSeries* Named = Chart.NewSeries("Pressure");
    TChartSeries* Titled = Chart.NewSeries("Volume");
    Titled->SetTitle("Volume (mL)");
    TChartSeries* Fourth = Chart.NewSeries();
    EXPECT_EQ(SeriesTitleOrName(Fourth), "Series4");

    TStringList Items;
    FillSeriesItems(&Items, &Chart.SeriesList(), true);
    EXPECT_EQ(Items.Text(), "Series1\nPressure\nVolume (mL)\nSeries4\n");
    EXPECT_EQ(Items.Objects(0), First);
    Items.Clear();
    FillSeriesItems(&Items, &Chart.SeriesList(), false);
    EXPECT_EQ(Items.Strings(1), Named->Name());
    EXPECT_EQ(Items.Strings(2), "Volume");
    EXPECT_EQ(Items.Strings(0), "");
}

TEST(AxesList, StandardAxesComeFirstAndCustomAxesFollow)
{
    TListChart Chart;
    TChartAxes& L = Chart.AxesList();
    ASSERT_EQ(L.Count(), 6);
    const TChartAxis* Expected[] = {Chart.BottomAxis(), Chart.TopAxis(), Chart.LeftAxis(),
                                    Chart.RightAxis(), Chart.DepthAxis(), Chart.DepthTopAxis()};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(L[i], Expected[i]) << i;
    EXPECT_TRUE(Chart.BottomAxis()->Horizontal());
    EXPECT_TRUE(Chart.TopAxis()->OtherSide());
    EXPECT_FALSE(Chart.DepthAxis()->Visible());
    EXPECT_EQ(Chart.LeftAxis()->Title()->Angle(), 90);
    EXPECT_EQ(Chart.RightAxis()->Title()->Angle(), 270);
    EXPECT_FALSE(Chart.LeftAxis()->IsCustom());

    TChartAxis* Custom = Chart.CustomAxes().Add();
    EXPECT_EQ(L.IndexOf(Custom), 6);
    EXPECT_TRUE(Custom->IsCustom());
    EXPECT_THROW(Chart.CustomAxes().Get(1), EListError);
    Chart.CustomAxes().Delete(0);
    EXPECT_EQ(L.Count(), 6);

    Chart.LeftAxis()->SetMinMax(1, 2);
    L.Reset();
    EXPECT_TRUE(Chart.LeftAxis()->Automatic());
    EXPECT_TRUE(Chart.LeftAxis()->AutomaticMinimum());
}

TEST(AxesList, CustomAxesFollowTheirMaster)
{
    TListChart Chart;
    TChartAxis* Follower = Chart.CustomAxes().Add();
    TChartAxis* Free = Chart.CustomAxes().Add();
    Follower->MasterAxis = Chart.LeftAxis();
    Free->SetMinMax(7, 9);
    Chart.LeftAxis()->SetMinMax(-3, 4);
    EXPECT_EQ(Follower->Minimum(), -3);
    EXPECT_EQ(Follower->Maximum(), 4);
    EXPECT_EQ(Free->Minimum(), 7);
    Chart.CustomAxes().ResetScales(Chart.RightAxis());
    EXPECT_EQ(Free->Maximum(), 9);
}

TEST(AxesList, FastCalcRoundsTheOffsetBeforeAddingIt)
{
    TListChart Chart;
    Chart.LayOut({101, 0, 301, 100});
    TChartAxis* Axis = Chart.BottomAxis();
    Axis->SetMinMax(0, 200);
    Axis->InternalCalcPositions();
    Axis->AdjustMaxMin();
    EXPECT_EQ(Axis->HorizPosValue(0.5), 102);  // Round(101.5)
    Chart.AxesList().SetFastCalc(true);
    EXPECT_EQ(Axis->HorizPosValue(0.5), 101);  // 101 + Round(0.5)
}

TEST(AxisPanel, WhatTheChartAnswersAboutSeriesAndAxes)
{
    TListChart Chart;
    for (TChartAxis* A : {Chart.LeftAxis(), Chart.RightAxis(), Chart.TopAxis(), Chart.BottomAxis()})
        EXPECT_TRUE(Chart.CalcIsAxisVisible(A));
    EXPECT_FALSE(Chart.CalcIsAxisVisible(Chart.DepthAxis()));
    EXPECT_EQ(Chart.InternalMinMax(Chart.LeftAxis(), true, false), 0);
    EXPECT_EQ(Chart.GetAxisSeries(Chart.LeftAxis()), nullptr);

    TChartSeries* A = Chart.NewSeries();
    TChartSeries* B = Chart.NewSeries();
    for (double V : {3.0, -1.0})
        A->Add(V);
    for (double V : {2.0, 8.0, 5.0})
        B->Add(V);
    EXPECT_TRUE(Chart.CalcIsAxisVisible(Chart.LeftAxis()));
    EXPECT_FALSE(Chart.CalcIsAxisVisible(Chart.RightAxis()));
    EXPECT_FALSE(Chart.CalcIsAxisVisible(Chart.TopAxis()));
    EXPECT_EQ(Chart.MinYValue(Chart.LeftAxis()), -1);
    EXPECT_EQ(Chart.MaxYValue(Chart.LeftAxis()), 8);
    EXPECT_EQ(Chart.MaxXValue(Chart.BottomAxis()), 2);
    EXPECT_EQ(Chart.GetMaxValuesCount(), 3);
    EXPECT_EQ(Chart.GetAxisSeries(Chart.LeftAxis()), A);
    EXPECT_EQ(Chart.GetAxisSeriesMaxPoints(Chart.LeftAxis()), B);

    // an inactive series counts only while no active one is bound
    B->SetActive(false);
    EXPECT_EQ(Chart.MaxYValue(Chart.LeftAxis()), 3);
    A->SetActive(false);
    EXPECT_EQ(Chart.MaxYValue(Chart.LeftAxis()), 8);
    EXPECT_EQ(Chart.GetAxisSeries(Chart.LeftAxis()), A);

    Chart.FreeAllSeries([B](TChartSeries* S) { return S == B; });
    EXPECT_EQ(Chart.SeriesCount(), 1);
    EXPECT_EQ(Chart.Series(0), A);
}

TEST(AxisPanel, PaletteColoursForNewSeries)
{
    TListChart Chart;
    Chart.CustomPalette = {clRed, clGreen, clBlue};
    EXPECT_EQ(Chart.NewSeries()->SeriesColor(), clRed);
    EXPECT_EQ(Chart.NewSeries()->SeriesColor(), clGreen);
    EXPECT_EQ(Chart.NewSeries()->SeriesColor(), clBlue);
    EXPECT_EQ(Chart.NewSeries()->SeriesColor(), clBlue);  // all in use: the last entry
    EXPECT_EQ(Chart.GetDefaultColor(4), clGreen);

    Chart.CustomPalette = {clYellow, clAqua};
    Chart.ColorPaletteChanged();
    EXPECT_EQ(Chart.Series(0)->SeriesColor(), clYellow);
    EXPECT_EQ(Chart.Series(1)->SeriesColor(), clAqua);
}

TEST(AxisPanel, MultiLineTextWidth)
{
    TListChart Chart;
    int Lines = -1;
    EXPECT_EQ(Chart.MultiLineTextWidth("", Lines), 0);
    EXPECT_EQ(Lines, 0);
    const int Wide = Chart.ChartCanvas()->TextWidth("wider line");
    EXPECT_EQ(Chart.MultiLineTextWidth("a\rwider line\r", Lines), Wide);
    EXPECT_EQ(Lines, 2);
    EXPECT_EQ(Chart.MultiLineTextWidth("a\r\rb", Lines), Chart.ChartCanvas()->TextWidth("a"));
    EXPECT_EQ(Lines, 3);
}

TEST(AxisPanel, ADestroyedChartFreesItsSeriesWithoutTellingListeners)
{
    class TCounter : public IChEventListener {
    public:
        void ReceiveEvent(TChEvent*) override { ++Heard; }
        int Heard = 0;
    } Counter;
    auto Chart = std::make_unique<TCustomAxisPanel>(nullptr);
    Chart->Listeners.Add(&Counter);
    for (int i = 0; i < 3; ++i) {
        auto* S = new TChartSeries(nullptr);
        Chart->AddSeries(S);
        S->Add(i);
    }
    const int Before = Counter.Heard;
    Chart.reset();
    EXPECT_EQ(Counter.Heard, Before);
}
