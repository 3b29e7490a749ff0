// The data-bound chart on the embedded database: series filled from the
// records of a query, grouped and aggregated through their source texts,
// refilled when the data set opens, posts or closes and on the refresh timer.
#include "chart/DBChart.h"
#include "chart/Series.h"
#include "platform/DBTables.h"
#include "platform/Timer.h"

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

std::vector<std::string> Labels(TChartSeries& S)
{
    std::vector<std::string> V;
    for (int i = 0; i < S.Count(); ++i)
        V.push_back(S.XLabel(i));
    return V;
}

// A chart with one series over a query on a database in memory.
struct TDBChartRig {
    TDBChartRig()
    {
        Db.SetDatabaseName(":memory:");
        Q.SetDatabase(&Db);
        Series = new TChartSeries(nullptr);
        Chart.AddSeries(Series);
    }
    ~TDBChartRig() { Chart.FreeAllSeries(); }
    void Open(const std::string& SQL)
    {
        Q.SQL()->SetText(SQL);
        Q.Open();
    }
    TDatabase Db{nullptr};
    TQuery Q{nullptr};
    TDBChart Chart{nullptr};
    TChartSeries* Series = nullptr;
};

}  // namespace

TEST(DBChart, DefaultsAndAssign)
{
    TDBChart A(nullptr);
    EXPECT_TRUE(A.AutoRefresh());
    EXPECT_EQ(A.RefreshInterval(), 0);
    EXPECT_TRUE(A.ShowGlassCursor());
    EXPECT_EQ(A.RefreshTimer(), nullptr);

    TDBChart B(nullptr);
    B.SetAutoRefresh(false);
    B.SetShowGlassCursor(false);
    B.SetRefreshInterval(5);
    A.Assign(&B);
    EXPECT_FALSE(A.AutoRefresh());
    EXPECT_FALSE(A.ShowGlassCursor());
    EXPECT_EQ(A.RefreshInterval(), 5);
    ASSERT_NE(A.RefreshTimer(), nullptr);
    EXPECT_TRUE(A.RefreshTimer()->Enabled());
}

TEST(DBChart, OpenDataSetFillsValuesAndLabels)
{
    TDBChartRig R;
    R.Db.ExecSQL("CREATE TABLE T (NAME VARCHAR(10), QTY INTEGER);"
                 "INSERT INTO T VALUES ('a', 3), ('b', 5), ('c', 2);");
    R.Q.SQL()->SetText("SELECT * FROM T");
    R.Series->YValues()->SetValueSource("QTY");
    R.Series->SetXLabelsSource("NAME");
    R.Series->SetDataSource(&R.Q);
    EXPECT_EQ(R.Series->Count(), 0);
    R.Q.Open();
    EXPECT_EQ(Ys(*R.Series), (std::vector<double>{3, 5, 2}));
    EXPECT_EQ(Labels(*R.Series), (std::vector<std::string>{"a", "b", "c"}));
    R.Series->Clear();
    R.Chart.RefreshData();
    EXPECT_EQ(Ys(*R.Series), (std::vector<double>{3, 5, 2}));
}
