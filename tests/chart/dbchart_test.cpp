// The data-bound chart on the embedded database: series filled from the
// records of a query, grouped and aggregated through their source texts,
// refilled when the data set opens, posts or closes and on the refresh timer.
#include "chart/DBChart.h"
#include "chart/ChMarks.h"
#include "chart/Series.h"
#include "chart/SeriesBar.h"
#include "platform/DBTables.h"
#include "platform/Streams.h"
#include "platform/Timer.h"
#include "tests/support/ProcessEvents.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
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

std::string ErrorOf(const std::function<void()>& Call)
{
    try {
        Call();
    } catch (const std::exception& E) {
        return E.what();
    }
    return "(no error)";
}

class TempFolder {
public:
    TempFolder()
    {
        std::string T = (std::filesystem::temp_directory_path() / "dbchartXXXXXX").string();
        FPath = ::mkdtemp(T.data());
    }
    ~TempFolder() { std::filesystem::remove_all(FPath); }
    std::string operator/(const std::string& Name) const { return FPath + "/" + Name; }

private:
    std::string FPath;
};

// Counts the invalidations that would repaint.
class TCountingDBChart : public TDBChart {
public:
    using TDBChart::TDBChart;
    void Invalidate() override
    {
        if (RepaintOnChange)
            ++Invalidations;
        TDBChart::Invalidate();
    }
    int Invalidations = 0;
};

// A chart with one series over a query on a database (in memory unless a
// file is named).
struct TDBChartRig {
    explicit TDBChartRig(const std::string& DatabaseName = ":memory:")
    {
        EnsureApplication();
        Db.SetDatabaseName(DatabaseName);
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
    TCountingDBChart Chart{nullptr};
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

// ------------------------------------------------------------------ unit routines

TEST(DBChartRoutines, SourceTextKeywords)
{
    struct {
        const char* Text;
        const char* Part1;
        const char* Part2;
    } const Cases[] = {
        {"#COUNT#Qty", "COUNT", "Qty"}, {"#SUM#Amount", "SUM", "Amount"}, {"Qty", "", ""},
        {"#COUNT", "", ""},             {"##Qty", "", "Qty"},             {"", "", ""},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(ChGetDBPart(1, C.Text), C.Part1) << C.Text;
        EXPECT_EQ(ChGetDBPart(2, C.Text), C.Part2) << C.Text;
    }

    const std::pair<const char*, TChDBGroup> Groups[] = {
        {"HOUR", dgHour}, {"day", dgDay},         {"Week", dgWeek}, {"weekday", dgWeekDay}, {"MONTH", dgMonth},
        {"quarter", dgQuarter}, {"YEAR", dgYear}, {"SUM", dgNone},  {"", dgNone},
    };
    for (auto [Text, Group] : Groups)
        EXPECT_EQ(StrToDBGroup(Text), Group) << Text;

    const std::pair<const char*, TChartListOrder> Orders[] = {
        {"SORTASC", loAscending}, {"sortdes", loDescending}, {"SortAsc", loAscending}, {"SORT", loNone}, {"", loNone},
    };
    for (auto [Text, Order] : Orders)
        EXPECT_EQ(StrToDBOrder(Text), Order) << Text;
}

TEST(DBChartRoutines, FieldTypes)
{
    const std::pair<TFieldType, TChFieldType> Cases[] = {
        {ftString, tftText},     {ftFixedChar, tftText},   {ftWideString, tftText},  {ftSmallint, tftNumber},
        {ftInteger, tftNumber},  {ftWord, tftNumber},      {ftFloat, tftNumber},     {ftCurrency, tftNumber},
        {ftBCD, tftNumber},      {ftAutoInc, tftNumber},   {ftLargeint, tftNumber},  {ftDate, tftDateTime},
        {ftTime, tftDateTime},   {ftDateTime, tftDateTime}, {ftBoolean, tftNone},    {ftBlob, tftNone},
        {ftMemo, tftNone},       {ftUnknown, tftNone},
    };
    for (auto [Type, Expected] : Cases)
        EXPECT_EQ(ChFieldType(Type), Expected) << Type;
}

TEST(DBChartRoutines, IsoWeeks)
{
    struct {
        int Y, M, D;
        int Week, WeekYear;
    } const Cases[] = {
        {2015, 12, 31, 53, 2015}, {2016, 1, 3, 53, 2015}, {2016, 1, 4, 1, 2016}, {2019, 12, 30, 1, 2020},
        {2008, 12, 29, 1, 2009},  {2010, 1, 3, 53, 2009}, {2024, 3, 9, 10, 2024}, {2021, 1, 1, 53, 2020},
    };
    for (const auto& C : Cases) {
        uint16_t Year = 0;
        const TDateTime Date = EncodeDate(C.Y, C.M, C.D) + 0.75;
        EXPECT_EQ(DateToWeek(Date, Year), C.Week) << C.Y << "-" << C.M << "-" << C.D;
        EXPECT_EQ(Year, C.WeekYear) << C.Y << "-" << C.M << "-" << C.D;
    }
}

TEST(DBChartRoutines, OldWeekMethodAgreesFrom1901To2099)
{
    int Differences = 0;
    for (TDateTime D = EncodeDate(1901, 1, 1); D <= EncodeDate(2099, 12, 31); D += 1) {
        uint16_t Year = 0;
        uint16_t OldYear = 0;
        const int Week = DateToWeek(D, Year);
        const int OldWeek = DateToWeekOld(D, OldYear);
        if (Week != OldWeek || Year != OldYear) {
            if (++Differences <= 3)
                ADD_FAILURE() << DateToStr(D) << ": " << Week << "/" << Year << " vs " << OldWeek << "/" << OldYear;
        }
    }
    EXPECT_EQ(Differences, 0);
}

TEST(DBChartRoutines, FieldNamesOfOpenAndClosedDataSets)
{
    TDBChartRig R;
    R.Db.ExecSQL("CREATE TABLE T (NAME VARCHAR(10), QTY INTEGER, SOLD DATETIME)");
    R.Q.SQL()->SetText("SELECT * FROM T");
    std::vector<std::string> Names;
    auto Collect = [&Names](const std::string& Name) { Names.push_back(Name); };
    FillDataSetFields(&R.Q, Collect);
    EXPECT_EQ(Names, (std::vector<std::string>{"NAME", "QTY", "SOLD"}));
    R.Q.Open();
    Names.clear();
    FillDataSetFields(&R.Q, Collect);
    EXPECT_EQ(Names, (std::vector<std::string>{"NAME", "QTY", "SOLD"}));

    TDataSource Source(nullptr);
    Source.SetDataSet(&R.Q);
    R.Series->SetDataSource(&Source);
    Names.clear();
    R.Chart.FillValueSourceItems(R.Series->YValues(), Collect);
    EXPECT_EQ(Names.size(), 3u);
    R.Series->SetDataSource(nullptr);
    Names.clear();
    R.Chart.FillSeriesSourceItems(R.Series, Collect);
    EXPECT_TRUE(Names.empty());
}

// ------------------------------------------------------------------ grouping and aggregates

namespace {

// Sales on dates, one series bound to them.
struct TSalesRig : TDBChartRig {
    TSalesRig()
    {
        Db.ExecSQL("CREATE TABLE SALES (NAME VARCHAR(10), SOLD DATETIME, AMOUNT REAL);"
                   "INSERT INTO SALES VALUES ('pear', '2023-01-05 10:00:00', 10),"
                   " ('apple', '2023-01-20 09:30:00', 5), ('fig', '2023-02-03 17:45:00', 7);");
        Q.SQL()->SetText("SELECT * FROM SALES");
        Series->SetDataSource(&Q);
    }
    void Bind(const std::string& Labels, const std::string& Values)
    {
        Series->SetXLabelsSource(Labels);
        Series->YValues()->SetValueSource(Values);
        if (!Q.Active())
            Q.Open();
    }
};

}  // namespace

TEST(DBChartGroups, MonthsSummedCountedAndSorted)
{
    TSalesRig R;
    R.Bind("#MONTH#Sold", "#SUM#Amount");
    EXPECT_EQ(Labels(*R.Series), (std::vector<std::string>{"Jan/23", "Feb/23"}));
    EXPECT_EQ(Ys(*R.Series), (std::vector<double>{15, 7}));
    EXPECT_EQ(R.Series->InternalColor(0), clSeriesDefault);

    R.Series->YValues()->SetValueSource("#count#Amount");
    EXPECT_EQ(Ys(*R.Series), (std::vector<double>{2, 1}));

    R.Series->SetXLabelsSource("#SORTDES#Name");
    R.Series->YValues()->SetValueSource("#SUM#Amount");
    EXPECT_EQ(Labels(*R.Series), (std::vector<std::string>{"pear", "fig", "apple"}));
    EXPECT_EQ(Ys(*R.Series), (std::vector<double>{10, 7, 5}));
    EXPECT_EQ(R.Series->XValue(0), 0);
    EXPECT_EQ(R.Series->XValue(2), 2);
}

TEST(DBChartGroups, EveryDatePartLabelsTheRecord)
{
    const std::pair<const char*, const char*> Cases[] = {
        {"HOUR", "09 08:00"}, {"DAY", "09/Mar"},     {"WEEK", "10/2024"}, {"WEEKDAY", "Sat"},
        {"MONTH", "Mar/24"},  {"QUARTER", "1/2024"}, {"YEAR", "2024"},
    };
    TDBChartRig R;
    R.Db.ExecSQL("CREATE TABLE T (WHEN_ DATETIME, V INTEGER);"
                 "INSERT INTO T VALUES ('2024-03-09 08:05:00', 1), ('2024-03-09 08:55:00', 2);");
    R.Open("SELECT * FROM T");
    R.Series->YValues()->SetValueSource("#SUM#V");
    R.Series->SetDataSource(&R.Q);
    for (auto [Group, Label] : Cases) {
        R.Series->SetXLabelsSource(std::string("#") + Group + "#WHEN_");
        EXPECT_EQ(Labels(*R.Series), std::vector<std::string>{Label}) << Group;
        EXPECT_EQ(Ys(*R.Series), std::vector<double>{3}) << Group;
    }
}

TEST(DBChartGroups, NeighboursAcrossAGroupBoundaryAreSplit)
{
    struct {
        const char* Group;
        const char* First;
        const char* Second;
        std::vector<std::string> Labels;
    } const Cases[] = {
        {"HOUR", "2024-03-09 08:59:59", "2024-03-09 09:00:00", {"09 08:00", "09 09:00"}},
        {"DAY", "2024-03-09 23:59:00", "2024-03-10 00:00:00", {"09/Mar", "10/Mar"}},
        {"WEEK", "2016-01-03 12:00:00", "2016-01-04 00:00:00", {"53/2015", "1/2016"}},
        {"WEEKDAY", "2024-03-09 12:00:00", "2024-03-16 12:00:00", {"Sat"}},
        {"MONTH", "2023-12-31 23:00:00", "2024-01-01 00:00:00", {"Dec/23", "Jan/24"}},
        {"QUARTER", "2024-03-31 00:00:00", "2024-04-01 00:00:00", {"1/2024", "2/2024"}},
        {"YEAR", "2023-12-31 23:59:59", "2024-01-01 00:00:00", {"2023", "2024"}},
    };
    for (const auto& C : Cases) {
        TDBChartRig R;
        R.Db.ExecSQL(std::string("CREATE TABLE T (W DATETIME, V INTEGER); INSERT INTO T VALUES ('") + C.First +
                     "', 1), ('" + C.Second + "', 2);");
        R.Open("SELECT * FROM T");
        R.Series->SetXLabelsSource(std::string("#") + C.Group + "#W");
        R.Series->YValues()->SetValueSource("#SUM#V");
        R.Series->SetDataSource(&R.Q);
        EXPECT_EQ(Labels(*R.Series), C.Labels) << C.Group;
    }
}

TEST(DBChartGroups, HighLowAndAverageByLabel)
{
    const std::tuple<const char*, std::vector<double>> Cases[] = {
        {"#HIGH#V", {4, 5}}, {"#LOW#V", {2, 5}}, {"#AVG#V", {3, 5}}, {"#SUM#V", {6, 5}}, {"#COUNT#V", {2, 1}},
    };
    TDBChartRig R;
    R.Db.ExecSQL("CREATE TABLE T (L VARCHAR(5), V REAL);"
                 "INSERT INTO T VALUES ('A', 2), ('a', 4), ('B', 5);");
    R.Open("SELECT * FROM T");
    R.Series->SetXLabelsSource("L");
    R.Series->SetDataSource(&R.Q);
    for (const auto& [Source, Expected] : Cases) {
        R.Series->YValues()->SetValueSource(Source);
        EXPECT_EQ(Labels(*R.Series), (std::vector<std::string>{"A", "B"})) << Source;
        EXPECT_EQ(Ys(*R.Series), Expected) << Source;
        EXPECT_EQ(R.Series->InternalColor(0), clSeriesDefault) << Source;
        EXPECT_EQ(R.Series->InternalColor(1), clSeriesDefault) << Source;
    }
}

TEST(DBChartValues, NullsColoursXValuesAndSeveralFields)
{
    TDBChartRig R;
    R.Db.ExecSQL("CREATE TABLE T (L VARCHAR(5), X REAL, V REAL, C INTEGER, Q1 INTEGER, Q2 INTEGER);"
                 "INSERT INTO T VALUES ('a', 1.5, 10, 255, 1, 2), ('b', 2.5, NULL, 65280, 3, 4);");
    R.Open("SELECT * FROM T");
    R.Series->YValues()->SetValueSource("V");
    R.Series->SetDataSource(&R.Q);
    EXPECT_EQ(Ys(*R.Series), (std::vector<double>{10, 0}));
    EXPECT_FALSE(R.Series->IsNull(0));
    EXPECT_TRUE(R.Series->IsNull(1));
    EXPECT_EQ(R.Series->XValue(1), 1);

    R.Series->XValues()->SetValueSource("X");
    EXPECT_EQ(R.Series->XValue(0), 1.5);
    EXPECT_EQ(R.Series->XValue(1), 2.5);

    R.Series->SetColorSource("C");
    EXPECT_EQ(R.Series->InternalColor(0), static_cast<TColor>(255));
    EXPECT_EQ(R.Series->InternalColor(1), static_cast<TColor>(65280));

    R.Series->SetColorSource("");
    R.Series->XValues()->SetValueSource("");
    // Drawn across, X carries the values.
    auto* Across = new TChartSeries(nullptr);
    R.Chart.AddSeries(Across);
    Across->SetHorizontal();
    Across->XValues()->SetValueSource("V");
    Across->YValues()->SetValueSource("X");
    Across->SetDataSource(&R.Q);
    ASSERT_EQ(Across->Count(), 2);   // ordered by X: the null point first
    EXPECT_EQ(Across->XValue(1), 10);
    EXPECT_EQ(Across->YValue(1), 1.5);
    EXPECT_EQ(Across->YValue(0), 2.5);
    EXPECT_TRUE(Across->IsNull(0));

    R.Series->YValues()->SetValueSource("Q1;Q2");
    EXPECT_EQ(Ys(*R.Series), (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(Labels(*R.Series), (std::vector<std::string>{"Q1", "Q2", "Q1", "Q2"}));
    R.Series->SetXLabelsSource("L");
    EXPECT_EQ(Labels(*R.Series), (std::vector<std::string>{"a", "a", "b", "b"}));
}

// ------------------------------------------------------------------ refills

TEST(DBChartRefill, OpenPostAndCloseRefillOnce)
{
    TDBChartRig R;
    R.Db.ExecSQL("CREATE TABLE T (NAME VARCHAR(10), QTY INTEGER);"
                 "INSERT INTO T VALUES ('a', 3), ('b', 5);");
    R.Q.SQL()->SetText("SELECT * FROM T");
    R.Series->YValues()->SetValueSource("QTY");
    R.Series->SetDataSource(&R.Q);
    int Records = 0;
    R.Chart.OnProcessRecord = [&Records](TCustomDBChart*, TDataSet*) { ++Records; };
    R.Chart.Invalidations = 0;
    R.Q.Open();
    EXPECT_EQ(Ys(*R.Series), (std::vector<double>{3, 5}));
    EXPECT_EQ(Records, 2);
    EXPECT_EQ(R.Chart.Invalidations, 1);

    Records = 0;
    R.Chart.Invalidations = 0;
    R.Q.Append();
    R.Q.FieldByName("QTY")->SetAsInteger(4);
    EXPECT_EQ(Records, 0);
    R.Q.Post();
    EXPECT_EQ(Ys(*R.Series), (std::vector<double>{3, 5, 4}));
    EXPECT_EQ(Records, 3);
    EXPECT_EQ(R.Chart.Invalidations, 1);

    Records = 0;
    R.Q.First();
    R.Q.Edit();
    R.Q.FieldByName("QTY")->SetAsInteger(9);
    R.Q.Post();
    EXPECT_EQ(Ys(*R.Series), (std::vector<double>{9, 5, 4}));
    EXPECT_EQ(Records, 3);

    R.Q.Close();
    EXPECT_EQ(R.Series->Count(), 0);

    R.Chart.SetAutoRefresh(false);
    R.Q.Open();
    EXPECT_EQ(R.Series->Count(), 0);
    R.Chart.RefreshData();
    EXPECT_EQ(R.Series->Count(), 3);
}

TEST(DBChartRefill, CursorAndCurrentRecordAreKept)
{
    TDBChartRig R;
    R.Db.ExecSQL("CREATE TABLE T (QTY INTEGER); INSERT INTO T VALUES (1), (2), (3);");
    R.Open("SELECT * FROM T");
    R.Series->YValues()->SetValueSource("QTY");
    Screen->SetCursor(crCross);
    std::vector<TCursor> Seen;
    // A refill asked for while one runs does nothing.
    R.Chart.OnProcessRecord = [&Seen](TCustomDBChart* Sender, TDataSet*) {
        Seen.push_back(Screen->Cursor());
        Sender->RefreshData();
    };
    R.Q.First();
    R.Q.Next();
    R.Series->SetDataSource(&R.Q);
    EXPECT_EQ(Seen, (std::vector<TCursor>{crHourGlass, crHourGlass, crHourGlass}));
    EXPECT_EQ(Screen->Cursor(), crCross);
    EXPECT_EQ(R.Q.RecNo(), 2);
    EXPECT_FALSE(R.Q.ControlsDisabled());

    Seen.clear();
    R.Chart.SetShowGlassCursor(false);
    R.Chart.RefreshData();
    EXPECT_EQ(Seen, (std::vector<TCursor>{crCross, crCross, crCross}));
    Screen->SetCursor(crDefault);
}

TEST(DBChartRefill, ADataSourceFeedsTheCurrentRecordOnly)
{
    TDBChartRig R;
    R.Db.ExecSQL("CREATE TABLE T (QTY INTEGER); INSERT INTO T VALUES (1), (2), (3);");
    R.Q.SQL()->SetText("SELECT * FROM T");
    TDataSource Source(nullptr);
    Source.SetDataSet(&R.Q);
    R.Series->YValues()->SetValueSource("QTY");
    R.Series->SetDataSource(&Source);
    int Records = 0;
    R.Chart.OnProcessRecord = [&Records](TCustomDBChart*, TDataSet*) { ++Records; };
    R.Q.Open();
    EXPECT_EQ(Ys(*R.Series), std::vector<double>{1});
    EXPECT_EQ(Labels(*R.Series), std::vector<std::string>{"QTY"});
    EXPECT_EQ(Records, 1);
    R.Q.Last();
    R.Chart.RefreshData();
    EXPECT_EQ(Ys(*R.Series), std::vector<double>{3});
    R.Series->SetDataSource(nullptr);
}

// Reading fields of no record would add a point of nothing.
TEST(DBChartRefill, AnEmptyDataSetGivesADataSourceSeriesNoPoint)
{
    TDBChartRig R;
    R.Db.ExecSQL("CREATE TABLE T (QTY INTEGER)");
    R.Q.SQL()->SetText("SELECT * FROM T");
    TDataSource Source(nullptr);
    Source.SetDataSet(&R.Q);
    R.Series->YValues()->SetValueSource("QTY");
    R.Series->SetDataSource(&Source);
    int Records = 0;
    R.Chart.OnProcessRecord = [&Records](TCustomDBChart*, TDataSet*) { ++Records; };
    R.Q.Open();
    R.Chart.RefreshData();
    EXPECT_EQ(R.Series->Count(), 0);
    EXPECT_EQ(Records, 0);
    R.Series->SetDataSource(nullptr);
}

TEST(DBChartRefill, AnAbortEndsTheRecordLoopOnly)
{
    TDBChartRig R;
    R.Db.ExecSQL("CREATE TABLE T (QTY INTEGER); INSERT INTO T VALUES (1), (2), (3);");
    R.Open("SELECT * FROM T");
    R.Series->YValues()->SetValueSource("QTY");
    R.Chart.OnProcessRecord = [](TCustomDBChart*, TDataSet* DataSet) {
        if (DataSet->FieldByName("QTY")->AsInteger() == 3)
            throw EAbort();
    };
    R.Series->SetDataSource(&R.Q);
    EXPECT_EQ(Ys(*R.Series), (std::vector<double>{1, 2}));
    EXPECT_EQ(R.Q.RecNo(), 1);
    EXPECT_FALSE(R.Chart.IsRefreshing());
}

TEST(DBChartRefill, TimerPicksUpRowsAnotherConnectionAdded)
{
    TempFolder Folder;
    TDBChartRig R(Folder / "sales.db");
    R.Db.ExecSQL("CREATE TABLE T (QTY INTEGER); INSERT INTO T VALUES (1);");
    R.Open("SELECT * FROM T");
    R.Series->YValues()->SetValueSource("QTY");
    R.Series->SetDataSource(&R.Q);
    EXPECT_EQ(R.Series->Count(), 1);
    R.Chart.SetRefreshInterval(1);
    ASSERT_NE(R.Chart.RefreshTimer(), nullptr);
    EXPECT_EQ(R.Chart.RefreshTimer()->Interval(), 1000u);

    TDatabase Other(nullptr);
    Other.SetDatabaseName(Folder / "sales.db");
    Other.ExecSQL("INSERT INTO T VALUES (2)");
    EXPECT_TRUE(ProcessUntil([&R] { return R.Series->Count() == 2; }, 4000));
    EXPECT_EQ(Ys(*R.Series), (std::vector<double>{1, 2}));
    EXPECT_TRUE(R.Chart.RefreshTimer()->Enabled());

    R.Chart.SetRefreshInterval(0);
    EXPECT_FALSE(R.Chart.RefreshTimer()->Enabled());
}

// ------------------------------------------------------------------ failures

TEST(DBChartFailures, AMissingFieldRaisesAndLeavesEverythingAsItWas)
{
    TDBChartRig R;
    R.Db.ExecSQL("CREATE TABLE T (QTY INTEGER); INSERT INTO T VALUES (1), (2);");
    R.Open("SELECT * FROM T");
    R.Series->YValues()->SetValueSource("QTY");
    R.Series->SetDataSource(&R.Q);
    R.Q.Last();
    Screen->SetCursor(crCross);
    EXPECT_THROW(R.Series->YValues()->SetValueSource("NOPE"), EDatabaseError);
    EXPECT_THROW(R.Chart.RefreshData(), EDatabaseError);
    EXPECT_EQ(Screen->Cursor(), crCross);
    EXPECT_TRUE(R.Chart.RepaintOnChange);
    EXPECT_FALSE(R.Chart.IsRefreshing());
    EXPECT_FALSE(R.Q.ControlsDisabled());
    EXPECT_EQ(R.Q.RecNo(), 2);

    R.Series->YValues()->SetValueSource("QTY");
    R.Chart.RefreshData();
    EXPECT_EQ(Ys(*R.Series), (std::vector<double>{1, 2}));
    Screen->SetCursor(crDefault);
}

TEST(DBChartFailures, ErrorInsideTheRecordLoopRestoresBookmarkAndControls)
{
    TDBChartRig R;
    R.Db.ExecSQL("CREATE TABLE T (QTY INTEGER); INSERT INTO T VALUES (1), (2), (3);");
    R.Open("SELECT * FROM T");
    R.Series->YValues()->SetValueSource("QTY");
    R.Series->SetDataSource(&R.Q);
    R.Q.Last();
    R.Chart.OnProcessRecord = [](TCustomDBChart*, TDataSet* DataSet) {
        if (DataSet->RecNo() == 2)
            throw Exception("bad record");
    };
    EXPECT_EQ(ErrorOf([&R] { R.Chart.RefreshData(); }), "bad record");
    EXPECT_EQ(R.Q.RecNo(), 3);
    EXPECT_FALSE(R.Q.ControlsDisabled());
    EXPECT_TRUE(R.Chart.RepaintOnChange);
    EXPECT_FALSE(R.Chart.IsRefreshing());
    R.Chart.OnProcessRecord = nullptr;
    R.Chart.RefreshData();
    EXPECT_EQ(Ys(*R.Series), (std::vector<double>{1, 2, 3}));
}

TEST(DBChartFailures, RefreshIntervalRangeAndForeignSeries)
{
    TDBChart Chart(nullptr);
    for (int Bad : {61, -1})
        EXPECT_EQ(ErrorOf([&Chart, Bad] { Chart.SetRefreshInterval(Bad); }),
                  "Refresh Interval must be between 0 and 60")
            << Bad;
    EXPECT_THROW(Chart.SetRefreshInterval(61), DBChartException);
    EXPECT_EQ(Chart.RefreshInterval(), 0);
    Chart.SetRefreshInterval(60);
    EXPECT_EQ(Chart.RefreshTimer()->Interval(), 60000u);

    TDBChart Other(nullptr);
    TChartSeries S(nullptr);
    Other.AddSeries(&S);
    EXPECT_EQ(ErrorOf([&] { Chart.CheckDatasource(&S); }), "Series.ParentChart is not myself!");
    EXPECT_THROW(Chart.CheckDatasource(&S), ChartException);
    Chart.CheckDatasource(nullptr);
    Other.RemoveSeries(&S);
}

TEST(DBChartFailures, NoBoundSeriesNoRefillNoRepaint)
{
    TDBChartRig R;
    R.Db.ExecSQL("CREATE TABLE T (QTY INTEGER); INSERT INTO T VALUES (1);");
    R.Open("SELECT * FROM T");
    int Records = 0;
    R.Chart.OnProcessRecord = [&Records](TCustomDBChart*, TDataSet*) { ++Records; };
    R.Chart.Invalidations = 0;
    R.Chart.RefreshData();
    EXPECT_EQ(R.Chart.Invalidations, 0);

    // A series bound to the data set without a value source is left out.
    R.Series->SetDataSource(&R.Q);
    R.Series->Add(5);
    R.Chart.Invalidations = 0;
    Records = 0;
    R.Chart.RefreshData();
    EXPECT_EQ(Records, 0);
    EXPECT_EQ(R.Chart.Invalidations, 0);
    EXPECT_EQ(Ys(*R.Series), (std::vector<double>{0, 5}));
}

// ------------------------------------------------------------------ lifetimes

TEST(DBChartWatchers, AFreedDataSetLeavesTheWatcherList)
{
    TDBChartRig R;
    R.Db.ExecSQL("CREATE TABLE T (QTY INTEGER); INSERT INTO T VALUES (1), (2);");
    auto* Q = new TQuery(nullptr);
    Q->SetDatabase(&R.Db);
    Q->SQL()->SetText("SELECT * FROM T");
    Q->Open();
    TDataSource Source(nullptr);
    Source.SetDataSet(Q);
    auto* Fed = new TChartSeries(nullptr);
    R.Chart.AddSeries(Fed);
    Fed->YValues()->SetValueSource("QTY");
    Fed->SetDataSource(&Source);
    R.Series->YValues()->SetValueSource("QTY");
    R.Series->SetDataSource(Q);
    EXPECT_EQ(R.Chart.DataSourcesList().Count(), 1);
    EXPECT_EQ(R.Series->Count(), 2);
    R.Chart.SetRefreshInterval(1);

    delete Q;
    EXPECT_EQ(R.Chart.DataSourcesList().Count(), 0);
    EXPECT_EQ(R.Series->DataSource(), nullptr);
    R.Chart.RefreshData();
    ProcessFor(1200);
    EXPECT_EQ(Source.DataSet(), nullptr);
}

// Detaching one series must not stop the refills of another on the same
// data set.
TEST(DBChartWatchers, TheWatcherStaysWhileAnotherSeriesUsesTheDataSet)
{
    TDBChartRig R;
    R.Db.ExecSQL("CREATE TABLE T (QTY INTEGER); INSERT INTO T VALUES (1);");
    R.Open("SELECT * FROM T");
    auto* Second = new TChartSeries(nullptr);
    R.Chart.AddSeries(Second);
    for (TChartSeries* S : {R.Series, Second}) {
        S->YValues()->SetValueSource("QTY");
        S->SetDataSource(&R.Q);
    }
    EXPECT_EQ(R.Chart.DataSourcesList().Count(), 1);
    Second->SetDataSource(nullptr);
    EXPECT_EQ(R.Chart.DataSourcesList().Count(), 1);
    R.Q.Append();
    R.Q.FieldByName("QTY")->SetAsInteger(2);
    R.Q.Post();
    EXPECT_EQ(Ys(*R.Series), (std::vector<double>{1, 2}));
    R.Series->SetDataSource(nullptr);
    EXPECT_EQ(R.Chart.DataSourcesList().Count(), 0);
}

// ------------------------------------------------------------------ form stream and picture

TEST(DBChartStream, PublishedPropertiesTravelThroughTheFormStream)
{
    TDBChart Chart(nullptr);
    Chart.SetName("DBChart1");
    Chart.SetAutoRefresh(false);
    Chart.SetRefreshInterval(7);
    Chart.SetShowGlassCursor(false);
    TMemoryStream M;
    M.WriteComponent(&Chart);
    M.SetPosition(0);
    TDBChart Back(nullptr);
    M.ReadComponent(&Back);
    EXPECT_FALSE(Back.AutoRefresh());
    EXPECT_EQ(Back.RefreshInterval(), 7);
    EXPECT_FALSE(Back.ShowGlassCursor());

    TDBChart Plain(nullptr);
    Plain.SetName("DBChart2");
    TMemoryStream M2;
    M2.WriteComponent(&Plain);
    const std::string Bytes(reinterpret_cast<const char*>(M2.Memory()), static_cast<size_t>(M2.Size()));
    EXPECT_EQ(Bytes.find("AutoRefresh"), std::string::npos);
    EXPECT_EQ(Bytes.find("RefreshInterval"), std::string::npos);
}

TEST(DBChartPicture, SalesGroupedByMonth)
{
    TSalesRig R;
    R.Db.ExecSQL("INSERT INTO SALES VALUES ('kiwi', '2023-02-14 12:00:00', 4), ('plum', '2023-03-01 08:00:00', 12),"
                 " ('pear', '2023-04-11 08:00:00', 9), ('fig', '2023-04-28 08:00:00', 3);");
    auto* Bars = new TBarSeries(nullptr);
    R.Chart.AddSeries(Bars);
    Bars->Marks()->SetVisible(true);
    Bars->SetXLabelsSource("#MONTH#Sold");
    Bars->YValues()->SetValueSource("#SUM#Amount");
    Bars->SetDataSource(&R.Q);
    R.Series->SetDataSource(nullptr);
    R.Q.Open();
    EXPECT_EQ(Labels(*Bars), (std::vector<std::string>{"Jan/23", "Feb/23", "Mar/23", "Apr/23"}));
    EXPECT_EQ(Ys(*Bars), (std::vector<double>{15, 11, 12, 12}));
    R.Chart.SetBounds(0, 0, 480, 320);
    R.Chart.SetView3D(false);
    R.Chart.Legend()->SetVisible(false);
    R.Chart.Title()->Text()->SetText("Sales by month");
    auto Image = R.Chart.ChCreateBitmap(clWhite, R.Chart.GetRectangle(), pfDevice);
    ASSERT_NE(Image, nullptr);
    Image->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/dbchart_sales_by_month.png");
}
