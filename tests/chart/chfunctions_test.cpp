// Series functions: periods by point count and by X range, result
// placement, the moving window, one result for all points, batching of
// changes and refused periods.
#include "chart/ChFunctions.h"
#include "chart/Series.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using TPoints = std::vector<std::pair<double, double>>;

// The values a test function works on, all points for (-1, -1).
std::pair<int, int> Span(TChartSeries* Source, int First, int Last)
{
    if (First < 0)
        return {0, Source->Count() - 1};
    return {First, Last};
}

class TSumFunction : public TChFunction {
    OZ_CLASS(TSumFunction, TChFunction);

public:
    explicit TSumFunction(TComponent* AOwner) : TChFunction(AOwner) {}
    double Calculate(TChartSeries* Source, int First, int Last) override
    {
        ++Calculations;
        auto [A, B] = Span(Source, First, Last);
        double Sum = 0;
        for (int i = A; i <= B; ++i)
            Sum += ValueList(Source)->Value(i);
        return Sum;
    }
    double CalculateMany(const TDataSourcesList& Sources, int ValueIndex) override
    {
        double Sum = 0;
        for (int i = 0; i < Sources.Count(); ++i)
            if (auto* S = dynamic_cast<TChartSeries*>(Sources[i]); S != nullptr && ValueIndex < S->Count())
                Sum += S->YValue(ValueIndex);
        return Sum;
    }
    int Calculations = 0;
};

class TAverageFunction : public TChFunction {
    OZ_CLASS(TAverageFunction, TChFunction);

public:
    explicit TAverageFunction(TComponent* AOwner) : TChFunction(AOwner) {}
    double Calculate(TChartSeries* Source, int First, int Last) override
    {
        auto [A, B] = Span(Source, First, Last);
        double Sum = 0;
        for (int i = A; i <= B; ++i)
            Sum += Source->YValue(i);
        return B >= A ? Sum / (B - A + 1) : 0;
    }
};

class TMovingAverage : public TChMovingFunction {
    OZ_CLASS(TMovingAverage, TChMovingFunction);

public:
    explicit TMovingAverage(TComponent* AOwner) : TChMovingFunction(AOwner) {}
    double Calculate(TChartSeries* Source, int First, int Last) override
    {
        double Sum = 0;
        for (int i = First; i <= Last; ++i)
            Sum += Source->YValue(i);
        return Sum / (Last - First + 1);
    }
};

TPoints PointsOf(TChartSeries& S)
{
    TPoints P;
    for (int i = 0; i < S.Count(); ++i)
        P.emplace_back(S.XValue(i), S.YValue(i));
    return P;
}

// A source series and a series computed from it, both in one chart.
struct TFunctionRig {
    explicit TFunctionRig(TChartSeries* ATarget = nullptr)
    {
        Source = new TChartSeries(nullptr);
        Target = ATarget != nullptr ? ATarget : new TChartSeries(nullptr);
        Chart.AddSeries(Source);
        Chart.AddSeries(Target);
    }
    ~TFunctionRig()
    {
        delete Target;
        delete Source;
    }
    void Fill(const TPoints& Points)
    {
        for (auto [X, Y] : Points)
            Source->AddXY(X, Y);
    }
    template <class F>
    F* Attach()
    {
        auto* Function = new F(nullptr);
        Target->SetFunction(Function);
        return Function;
    }
    TCountingChart Chart;
    TChartSeries* Source;
    TChartSeries* Target;
};

}  // namespace

TEST(ChFunction, PeriodsByPointsAndByRangeTable)
{
    struct Case {
        const char* Name;
        TFunctionPeriodStyle Style;
        double Period;
        TFunctionPeriodAlign Align;
        TPoints Source;
        TPoints Expected;
    };
    const TPoints Ten = {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 1}, {9, 1}};
    const Case Cases[] = {
        {"range, empty period gives 0", psRange, 1, paFirst,
         {{0, 1}, {0.4, 2}, {1.2, 3}, {1.3, 4}, {3.5, 5}}, {{0, 3}, {1, 7}, {2, 0}, {3, 5}}},
        {"range, last position", psRange, 1, paLast, {{0.5, 1}, {0.7, 2}, {2.2, 4}}, {{1.499, 3}, {2.499, 4}}},
        {"three points, last group incomplete", psNumPoints, 3, paCenter, Ten, {{1, 3}, {4, 3}, {7, 3}}},
        {"three points, first", psNumPoints, 3, paFirst, Ten, {{0, 3}, {3, 3}, {6, 3}}},
        // Rounds to 0 points: taken as one point per period.
        {"period below half a point", psNumPoints, 0.4, paFirst, {{0, 1}, {1, 2}, {2, 3}}, {{0, 1}, {1, 2}, {2, 3}}},
        // Too small to move the range start on: nothing, and it ends.
        {"range period lost in rounding", psRange, 1e-12, paFirst, {{1e6, 1}, {1e6 + 1, 2}}, {}},
    };
    for (const Case& C : Cases) {
        TFunctionRig R;
        R.Fill(C.Source);
        auto* F = R.Attach<TSumFunction>();
        F->BeginUpdate();
        F->SetPeriodStyle(C.Style);
        F->SetPeriodAlign(C.Align);
        F->SetPeriod(C.Period);
        F->EndUpdate();
        R.Target->SetDataSource(R.Source);
        const TPoints Got = PointsOf(*R.Target);
        ASSERT_EQ(Got.size(), C.Expected.size()) << C.Name;
        for (size_t i = 0; i < Got.size(); ++i) {
            EXPECT_NEAR(Got[i].first, C.Expected[i].first, 1e-9) << C.Name << " point " << i;
            EXPECT_DOUBLE_EQ(Got[i].second, C.Expected[i].second) << C.Name << " point " << i;
        }
    }
}

TEST(ChFunction, MovingWindowEndsAtEachPoint)
{
    TFunctionRig R;
    R.Fill({{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}});
    auto* F = R.Attach<TMovingAverage>();
    EXPECT_EQ(F->Period(), 1);
    F->SetPeriod(2);
    R.Target->SetDataSource(R.Source);
    EXPECT_EQ(PointsOf(*R.Target), (TPoints{{1, 1.5}, {2, 2.5}, {3, 3.5}, {4, 4.5}}));
    // A window that rounds below one point is one point wide.
    F->SetPeriod(0.3);
    EXPECT_EQ(PointsOf(*R.Target), (TPoints{{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}}));
    // A point added to the source reaches a computed series only by a recalculation.
    R.Source->AddXY(5, 6);
    EXPECT_EQ(R.Target->Count(), 5);
}

TEST(ChFunction, PeriodZeroIsOneResultForAllPoints)
{
    {
        TFunctionRig R(new TFastLineSeries(nullptr));
        R.Fill({{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}});
        R.Attach<TAverageFunction>();
        R.Target->SetDataSource(R.Source);
        EXPECT_EQ(PointsOf(*R.Target), (TPoints{{0, 3}, {4, 3}}));
    }
    TFunctionRig R;
    R.Fill({{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}});
    R.Attach<TAverageFunction>();
    R.Target->SetDataSource(R.Source);
    EXPECT_EQ(PointsOf(*R.Target), (TPoints{{2, 3}}));
}

TEST(ChFunction, SeveralSourcesCombinePointByPoint)
{
    TFunctionRig R;
    R.Fill({{0, 1}, {1, 2}});
    auto* Other = new TChartSeries(nullptr);
    R.Chart.AddSeries(Other);
    Other->AddXY(0, 10, "a");
    Other->AddXY(1, 20, "b");
    Other->AddXY(2, 30, "c");
    R.Attach<TSumFunction>();
    R.Target->SetDataSource(R.Source);
    R.Target->DataSources().Add(Other);
    EXPECT_EQ(PointsOf(*R.Target), (TPoints{{0, 11}, {1, 22}, {2, 30}}));
    EXPECT_EQ(R.Target->XLabel(2), "c");
    delete Other;
    EXPECT_EQ(R.Target->DataSources().Count(), 1);
}

TEST(ChFunction, ChangesBetweenBeginAndEndUpdateRecalculateOnce)
{
    // Counted to the end: the rig clears its series as it goes.
    int Recalculations = 0;
    TFunctionRig R;
    R.Fill({{0, 1}, {1, 2}, {2, 3}, {3, 4}});
    auto* F = R.Attach<TSumFunction>();
    R.Target->SetDataSource(R.Source);
    R.Target->OnClearValues = [&](TChartSeries*) { ++Recalculations; };
    F->BeginUpdate();
    F->SetPeriod(1);
    F->SetPeriodAlign(paFirst);
    F->SetPeriod(2);
    EXPECT_EQ(Recalculations, 0);
    F->EndUpdate();
    EXPECT_EQ(Recalculations, 1);
    EXPECT_EQ(PointsOf(*R.Target), (TPoints{{0, 3}, {2, 7}}));
    F->EndUpdate();
    EXPECT_EQ(Recalculations, 1);
}

TEST(ChFunction, NegativePeriodIsRefusedAndKept)
{
    TFunctionRig R;
    auto* F = R.Attach<TSumFunction>();
    F->SetPeriod(3);
    try {
        F->SetPeriod(-2);
        FAIL() << "no exception";
    } catch (const ChartException& E) {
        EXPECT_STREQ(E.what(), "Function Period should be >= 0");
    }
    EXPECT_EQ(F->Period(), 3);
}

TEST(ChFunction, ParentSeriesOwnsAndHandsOverItsFunction)
{
    TFunctionRig R;
    auto* F = R.Attach<TSumFunction>();
    EXPECT_EQ(F->ParentSeries(), R.Target);
    EXPECT_EQ(F->GetParentComponent(), R.Target);
    // Moving to another series: the first one forgets it.
    TChartSeries Other(nullptr);
    F->SetParentSeries(&Other);
    EXPECT_EQ(R.Target->AttachedFunction(), nullptr);
    EXPECT_EQ(Other.AttachedFunction(), F);
    // A new function frees the old one; freeing a function detaches it.
    auto* G = new TSumFunction(nullptr);
    Other.SetFunction(G);
    EXPECT_EQ(Other.AttachedFunction(), G);
    delete G;
    EXPECT_EQ(Other.AttachedFunction(), nullptr);
}
