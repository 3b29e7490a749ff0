// Series that take their points from other series and from series sources,
// copying one series into another, sorting by labels and sample values.
#include "chart/ChDataSources.h"
#include "chart/ChFunctions.h"
#include "chart/Series.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<double> Ys(TChartSeries& S)
{
    std::vector<double> V;
    for (int i = 0; i < S.Count(); ++i)
        V.push_back(S.YValue(i));
    return V;
}

std::string MessageOf(const std::function<void()>& Action)
{
    try {
        Action();
    } catch (const ChartException& E) {
        return E.what();
    }
    return "(no exception)";
}

// Three named series in one chart; the chart frees them.
struct TSourcesRig {
    TSourcesRig()
    {
        for (const char* Name : {"A", "B", "C"}) {
            auto* S = new TChartSeries(nullptr);
            S->SetName(Name);
            Chart.AddSeries(S);
        }
    }
    ~TSourcesRig() { Chart.FreeAllSeries(); }
    TChartSeries& A() { return *Chart.Series(0); }
    TChartSeries& B() { return *Chart.Series(1); }
    TChartSeries& C() { return *Chart.Series(2); }
    TCountingChart Chart;
};

// Loads three points when opened.
class TTestSource : public TChSeriesSource {
    OZ_CLASS(TTestSource, TChSeriesSource);

public:
    explicit TTestSource(TComponent* AOwner) : TChSeriesSource(AOwner) {}
    void Load() override
    {
        ++Loads;
        Series()->Clear();
        for (double V : {7.0, 8.0, 9.0})
            Series()->Add(V);
    }
    int Loads = 0;
};

}  // namespace

TEST(DataSource, LinkedSeriesFollowTheirSource)
{
    TSourcesRig R;
    R.B().Add(1, "one", clRed);
    R.B().Add(2);
    R.A().SetDataSource(&R.B());
    EXPECT_EQ(R.A().DataSource(), &R.B());
    EXPECT_EQ(Ys(R.A()), (std::vector<double>{1, 2}));
    EXPECT_EQ(R.A().XLabel(0), "one");
    EXPECT_EQ(R.A().InternalColor(0), clRed);
    ASSERT_EQ(R.B().LinkedSeries().Count(), 1);
    EXPECT_EQ(R.B().LinkedSeries()[0], &R.A());

    R.B().Add(3);
    EXPECT_EQ(Ys(R.A()), (std::vector<double>{1, 2, 3}));
    // Deleting and clearing reach A only as its options say.
    R.A().RecalcOptions = rOnInsert;
    R.B().Delete(0);
    R.B().Clear();
    EXPECT_EQ(Ys(R.A()), (std::vector<double>{1, 2, 3}));
    R.A().RecalcOptions = rOnAll;
    R.B().Add(5);
    R.B().Delete(0);
    EXPECT_EQ(R.A().Count(), 3);
    R.B().Clear();
    EXPECT_EQ(R.A().Count(), 0);
}

TEST(DataSource, NilUnlinksAndClearsUnlessThePointsWereStored)
{
    TSourcesRig R;
    R.B().Add(1);
    R.A().SetDataSource(&R.B());
    R.A().SetDataSource(nullptr);
    EXPECT_EQ(R.A().DataSources().Count(), 0);
    EXPECT_EQ(R.B().LinkedSeries().Count(), 0);
    EXPECT_EQ(R.A().Count(), 0);
    R.B().Add(2);
    EXPECT_EQ(R.A().Count(), 0);

    R.C().SetDataSource(&R.B());
    R.C().ManualData = true;
    R.C().SetDataSource(nullptr);
    EXPECT_EQ(R.C().Count(), 2);
}

TEST(DataSource, RefusedSourcesRaiseBeforeAnythingChanges)
{
    TSourcesRig R;
    R.A().Add(1);
    R.C().Add(4);
    EXPECT_EQ(MessageOf([&] { R.A().SetDataSource(&R.A()); }), "No valid DataSource: A");
    TChartSeries Loose(nullptr);
    EXPECT_EQ(MessageOf([&] { Loose.SetDataSource(&R.A()); }), "No ParentChart to validate DataSource");
    TComponent Plain(nullptr);
    Plain.SetName("Plain");
    EXPECT_EQ(MessageOf([&] { R.A().SetDataSource(&Plain); }), "No valid DataSource: Plain");

    // B takes from A, C from B: A taking from C would feed itself.
    R.B().SetDataSource(&R.A());
    R.C().SetDataSource(&R.B());
    EXPECT_EQ(MessageOf([&] { R.A().SetDataSource(&R.C()); }), "Circular Series dependences are not allowed");
    EXPECT_EQ(R.A().DataSources().Count(), 0);
    EXPECT_EQ(Ys(R.A()), (std::vector<double>{1}));
    EXPECT_EQ(R.C().LinkedSeries().Count(), 0);
}

TEST(DataSource, CircularityIsFoundThroughAnyOfTheSources)
{
    TSourcesRig R;
    auto* D = new TChartSeries(nullptr);
    R.Chart.AddSeries(D);
    // B takes from D first and from A second; a chain through the second
    // source is just as circular.
    R.B().SetDataSource(D);
    R.B().DataSources().Add(&R.A());
    EXPECT_EQ(MessageOf([&] { R.A().SetDataSource(&R.B()); }), "Circular Series dependences are not allowed");
    // A diamond is not a circle.
    R.C().SetDataSource(D);
    R.C().DataSources().Add(&R.B());
    EXPECT_EQ(R.C().DataSources().Count(), 2);
}

TEST(DataSource, SeriesSourceLoadsOnOpenAndClearsOnClose)
{
    TSourcesRig R;
    auto* Source = new TTestSource(nullptr);
    Source->SetSeries(&R.A());
    EXPECT_EQ(R.A().DataSource(), Source);
    EXPECT_EQ(R.A().Count(), 0);
    Source->Open();
    EXPECT_TRUE(Source->Active());
    EXPECT_EQ(Ys(R.A()), (std::vector<double>{7, 8, 9}));
    Source->Refresh();
    EXPECT_EQ(Source->Loads, 2);
    EXPECT_TRUE(Source->HasSeries(&R.A()));
    Source->Close();
    EXPECT_EQ(R.A().Count(), 0);

    // Handed to another series, the first one lets go of it.
    Source->Open();
    Source->SetSeries(&R.B());
    EXPECT_EQ(R.A().DataSources().Count(), 0);
    EXPECT_EQ(R.B().DataSource(), Source);
    TChartSeries Loose(nullptr);
    EXPECT_EQ(MessageOf([&] { Source->SetSeries(&Loose); }), "No ParentChart to validate DataSource");
    EXPECT_EQ(Source->Series(), &R.B());

    // Freed, the source leaves the series without a data source.
    delete Source;
    EXPECT_EQ(R.B().DataSources().Count(), 0);

    // A freed series leaves its source without a series.
    auto* Other = new TTestSource(nullptr);
    auto* S = new TChartSeries(nullptr);
    R.Chart.AddSeries(S);
    Other->SetSeries(S);
    Other->Open();
    delete S;
    EXPECT_EQ(Other->Series(), nullptr);
    Other->Close();
    delete Other;
}

TEST(SeriesCopy, AssignCopiesFormatPointsAndSources)
{
    TSourcesRig R;
    R.A().SetSeriesColor(clGreen);
    R.A().SetValueFormat("0.0");
    R.A().SetTitle("Flow");
    R.A().AddXY(1, 10, "x", clRed);
    R.A().AddXY(2, 20);
    R.B().Assign(&R.A());
    EXPECT_EQ(R.B().SeriesColor(), clGreen);
    EXPECT_EQ(R.B().ValueFormat(), "0.0");
    EXPECT_EQ(R.B().Title(), "Flow");
    EXPECT_EQ(Ys(R.B()), (std::vector<double>{10, 20}));
    EXPECT_EQ(R.B().XLabel(0), "x");
    EXPECT_EQ(R.B().InternalColor(0), clRed);

    // The copy of a series fed by C is fed by C.
    R.A().SetDataSource(&R.C());
    R.C().Add(3);
    R.B().Assign(&R.A());
    EXPECT_EQ(R.B().DataSource(), &R.C());
    EXPECT_EQ(Ys(R.B()), (std::vector<double>{3}));
}

TEST(SeriesCopy, AssignNeverMakesASeriesItsOwnSource)
{
    TSourcesRig R;
    R.A().Add(1);
    // B takes from A; A copying B would take from itself.
    R.B().SetDataSource(&R.A());
    R.A().Assign(&R.B());
    EXPECT_EQ(R.A().DataSources().Count(), 0);
    // C takes from B, which takes from A: the chain leads back to A.
    R.C().SetDataSource(&R.B());
    R.A().Assign(&R.C());
    EXPECT_EQ(R.A().DataSources().Count(), 0);
    EXPECT_EQ(R.A().LinkedSeries().Count(), 1);
    R.A().Add(5);   // reaches B and C once each
    EXPECT_EQ(Ys(R.C()), (std::vector<double>{5}));
}

TEST(SeriesOrder, SortByLabelsMovesColoursWithTheirPoints)
{
    TChartSeries S(nullptr);
    S.Add(3, "C", clRed);
    S.Add(1, "A", clBlue);
    S.Add(2, "B", clGreen);
    S.SortByLabels(loAscending);
    EXPECT_EQ((std::vector<std::string>{S.XLabel(0), S.XLabel(1), S.XLabel(2)}),
              (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ((std::vector<TColor>{S.InternalColor(0), S.InternalColor(1), S.InternalColor(2)}),
              (std::vector<TColor>{clBlue, clGreen, clRed}));
    EXPECT_EQ(Ys(S), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(S.XValue(2), 2);
    EXPECT_EQ(S.LabelSortOrder, loNone);
    S.SortByLabels(loDescending);
    EXPECT_EQ(S.XLabel(0), "C");
}

TEST(SampleValues, FillAddsARandomWalkInsideTheBounds)
{
    TChartSeries S(nullptr);
    S.FillSampleValues(0);
    ASSERT_EQ(S.Count(), 25);
    for (int i = 0; i < S.Count(); ++i) {
        EXPECT_EQ(S.XValue(i), i);
        EXPECT_GE(S.YValue(i), 0);
    }
    EXPECT_FALSE(S.ManualData);
    EXPECT_EQ(MessageOf([&] { S.FillSampleValues(-1); }), "FillSampleValues NumValues must be > 0");
    EXPECT_EQ(S.Count(), 25);
    S.FillSampleValues(1);
    EXPECT_EQ(S.Count(), 1);
}

TEST(SampleValues, RandomValueOfNoRangeIsZero)
{
    for (int Range : {0, -1, -1000})
        EXPECT_EQ(TChartSeries::RandomValue(Range), 0) << Range;
    for (int i = 0; i < 200; ++i) {
        const int V = TChartSeries::RandomValue(3);
        EXPECT_GE(V, 0);
        EXPECT_LT(V, 3);
    }
    // Equal negative bounds: a negative spread, and the walk still stays at or above 0.
    TCountingChart Chart;
    auto* Flat = new TChartSeries(nullptr);
    Chart.AddSeries(Flat);
    Flat->AddXY(0, -5);
    Flat->AddXY(4, -5);
    auto* S = new TChartSeries(nullptr);
    Chart.AddSeries(S);
    const TChartSeries::TRandomBounds B = S->RandomBounds(5);
    EXPECT_EQ(B.MinY, -5);
    EXPECT_EQ(B.DifY, -5);
    EXPECT_EQ(B.StartY, -5);
    EXPECT_EQ(B.StepX, 1);
    S->AddSampleValues(5);
    for (int i = 0; i < S->Count(); ++i)
        EXPECT_GE(S->YValue(i), 0);
}

TEST(SampleValues, DesignedSeriesGetSamplesWhenTheyJoinAChart)
{
    TCountingChart Chart;
    auto* Designed = new TChartSeries(nullptr);
    Designed->SetDesigning(true);
    Chart.AddSeries(Designed);
    EXPECT_EQ(Designed->Count(), 25);
    auto* Plain = new TChartSeries(nullptr);
    Chart.AddSeries(Plain);
    EXPECT_EQ(Plain->Count(), 0);
    Plain->PrepareForGallery(true);
    EXPECT_EQ(Plain->Count(), 4);
    EXPECT_FALSE(Plain->Marks()->Visible());
    EXPECT_EQ(Plain->SeriesColor(), Chart.GetDefaultColor(3));
    Designed->PrepareForGallery(false);
    EXPECT_EQ(Designed->SeriesColor(), clSilver);
}
