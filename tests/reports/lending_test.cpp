// Lending the screen charts' series to the report charts: layout copied,
// series moved in and given back in their order, however the run ends.
#include "reports/Reportfunctions.h"

#include "chart/ChLegend.h"
#include "chart/Chart.h"
#include "chart/RpChart.h"
#include "chart/Series.h"
#include "platform/Application.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A series as the test sees it: title, colour and points.
struct TSeen {
    std::string Title;
    TColor Color;
    std::vector<std::pair<double, double>> Points;
    bool operator==(const TSeen&) const = default;
};

std::vector<TSeen> SeriesOf(TCustomChart* C)
{
    std::vector<TSeen> Out;
    for (int i = 0; i < C->SeriesCount(); ++i) {
        TChartSeries* S = C->Series(i);
        TSeen V{S->Title(), S->SeriesColor(), {}};
        for (int p = 0; p < S->Count(); ++p)
            V.Points.emplace_back(S->XValue(p), S->YValue(p));
        Out.push_back(V);
    }
    return Out;
}

// A screen chart of three series and a report chart with its inner chart,
// as the report form builds them.
struct LendRig {
    std::unique_ptr<TComponent> Owner;
    TChart* Screen;
    TRpChart* Report;
    TRpDBChart* Inner;
    LendRig()
    {
        EnsureApplication();
        Owner = std::make_unique<TComponent>(nullptr);
        Screen = new TChart(Owner.get());
        const TColor Colors[] = {clRed, clBlue, clGreen};
        for (int s = 0; s < 3; ++s) {
            auto* S = new TFastLineSeries(Owner.get());
            S->SetTitle("S" + std::to_string(s));
            S->SetSeriesColor(Colors[s]);
            for (int p = 0; p < 4 + s; ++p)
                S->AddXY(p, p * (s + 1));
            Screen->AddSeries(S);
        }
        // One more coloured by the chart (its next free colour).
        auto* Auto = new TFastLineSeries(Owner.get());
        Auto->SetTitle("Auto");
        Auto->AddXY(0, 1);
        Screen->AddSeries(Auto);
        Report = new TRpChart(Owner.get());
        Inner = new TRpDBChart(Owner.get());
        Inner->SetParent(Report);
    }
};

}  // namespace

TEST(Lending, LayoutIsCopiedAndSeriesComeBackInTheirOrder)
{
    LendRig R;
    R.Screen->LeftAxis()->SetMinMax(-5, 50);
    R.Screen->RightAxis()->SetMinMax(0, 1);
    R.Screen->BottomAxis()->SetMinMax(0, 8);
    R.Screen->Legend()->SetVisible(false);
    R.Screen->Title()->Text()->Add("Screen title");
    const std::vector<TSeen> Before = SeriesOf(R.Screen);
    {
        TSeriesLoan Loan;
        Loan.Lend(R.Screen, R.Report, "Flow");
        EXPECT_EQ(R.Screen->SeriesCount(), 0);
        ASSERT_EQ(R.Inner->SeriesCount(), 4);
        // Moved last first: the report chart holds them in reverse, each in
        // the colour it shows on screen.
        EXPECT_EQ(R.Inner->Series(0)->Title(), "Auto");
        EXPECT_EQ(R.Inner->Series(0)->SeriesColor(), Before[3].Color);
        EXPECT_FALSE(R.Inner->Series(0)->IsColorStored());
        // Both vertical axes repeat the screen's left axis.
        for (TChartAxis* A : {R.Inner->LeftAxis(), R.Inner->RightAxis()}) {
            EXPECT_FALSE(A->Automatic());
            EXPECT_EQ(A->Minimum(), -5);
            EXPECT_EQ(A->Maximum(), 50);
        }
        EXPECT_EQ(R.Inner->BottomAxis()->Maximum(), 8);
        EXPECT_FALSE(R.Inner->Legend()->Visible());
        EXPECT_EQ(R.Inner->Title()->Text()->Count(), 1);
        EXPECT_EQ(R.Inner->Title()->Text()->Get(0), "Flow");
        EXPECT_TRUE(R.Inner->Title()->Visible());
    }
    EXPECT_EQ(SeriesOf(R.Screen), Before);
    EXPECT_EQ(R.Inner->SeriesCount(), 0);
    // The plain moves of the report builders restore the order too.
    MoveSeries(R.Screen, R.Inner);
    MoveSeries(R.Inner, R.Screen);
    EXPECT_EQ(SeriesOf(R.Screen), Before);
}

// A run that fails half-way (while lending, or while printing), or a series
// the user reordered meanwhile: every series is back, in its former order.
TEST(Lending, FailedRunGivesEverySeriesBack)
{
    LendRig R;
    LendRig Second;
    const std::vector<TSeen> Before = SeriesOf(R.Screen);
    const std::vector<TSeen> SecondBefore = SeriesOf(Second.Screen);
    EXPECT_THROW(
        {
            TSeriesLoan Loan;
            Loan.Lend(R.Screen, R.Report, "One");
            Loan.Lend(Second.Screen, Second.Report, "Two");
            // One series came back early, another went elsewhere.
            R.Screen->AddSeries(R.Inner->Series(0));
            Second.Inner->ExchangeSeries(0, 3);
            throw std::runtime_error("printer gone");
        },
        std::runtime_error);
    EXPECT_EQ(SeriesOf(R.Screen), Before);
    EXPECT_EQ(SeriesOf(Second.Screen), SecondBefore);
    EXPECT_EQ(R.Inner->SeriesCount(), 0);
    EXPECT_EQ(Second.Inner->SeriesCount(), 0);
}
