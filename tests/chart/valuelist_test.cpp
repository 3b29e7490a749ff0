// Value lists: ordered insertion, statistics, capacity, ranges deleted,
// searching and rotation.
#include "chart/ChEngine.h"
#include "platform/DialogHook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

std::vector<double> ValuesOf(const TChartValueList& L)
{
    return {L.Values().begin(), L.Values().begin() + L.Count()};
}

}  // namespace

TEST(ValueList, OrderedInsertionPlacesValuesAndReturnsTheirIndex)
{
    struct Case {
        TChartListOrder Order;
        std::vector<double> Added;
        std::vector<int> Indexes;
        std::vector<double> Held;
    };
    const Case Cases[] = {
        {loNone, {3, 1, 2}, {0, 1, 2}, {3, 1, 2}},
        {loAscending, {1, 3, 2}, {0, 1, 1}, {1, 2, 3}},
        {loAscending, {5, 1, 0}, {0, 0, 0}, {0, 1, 5}},
        {loDescending, {3, 1, 2}, {0, 1, 1}, {3, 2, 1}},
        {loDescending, {1, 2, 3}, {0, 0, 0}, {3, 2, 1}},
        // equal values keep their arrival order: a new one lands after them
        {loAscending, {1, 2, 2, 1}, {0, 1, 2, 1}, {1, 1, 2, 2}},
        {loDescending, {2, 2, 1, 2}, {0, 1, 2, 2}, {2, 2, 2, 1}},
    };
    for (const Case& C : Cases) {
        TChartValueList L(nullptr, "X");
        L.SetOrder(C.Order);
        std::vector<int> Got;
        for (double V : C.Added)
            Got.push_back(L.AddChartValue(V));
        EXPECT_EQ(Got, C.Indexes) << "order " << C.Order;
        EXPECT_EQ(ValuesOf(L), C.Held) << "order " << C.Order;
    }
}

namespace {

// The place of a new value as the list has always found it: after the last
// value, from the end, that it does not go before.
int ScannedPlace(const std::vector<double>& Held, TChartListOrder Order, double P)
{
    int t = static_cast<int>(Held.size()) - 1;
    if (Order == loNone || t < 0 || !(Order == loAscending ? P < Held.back() : P > Held.back()))
        return t + 1;
    while (t >= 0 && (Order == loAscending ? Held[static_cast<size_t>(t)] > P : Held[static_cast<size_t>(t)] < P))
        --t;
    return t + 1;
}

}  // namespace

// Values added against the list's order (each one before all others, long
// runs of them, ties, NaN, values changed or rotated in between) land where
// the scan from the end puts them, and every value stays readable.
TEST(ValueList, ValuesAddedAgainstTheOrderLandWhereTheScanPutsThem)
{
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    const double Inf = std::numeric_limits<double>::infinity();
    uint32_t Seed = 7;
    const auto Random = [&Seed](int Range) {
        Seed = Seed * 1664525u + 1013904223u;
        return static_cast<int>((Seed >> 8) % static_cast<uint32_t>(Range));
    };
    for (TChartListOrder Order : {loAscending, loDescending}) {
        TChartValueList L(nullptr, "X");
        L.SetOrder(Order);
        std::vector<double> Held;
        const auto Add = [&](double V) {
            const int Want = ScannedPlace(Held, Order, V);
            Held.insert(Held.begin() + Want, V);
            ASSERT_EQ(L.AddChartValue(V), Want) << V;
        };
        const double Step = Order == loAscending ? -1 : 1;
        for (int i = 0; i < 2500; ++i)   // each before all others: the front room grows twice
            Add(5000 + Step * i);
        for (int i = 0; i < 300; ++i)    // ties and places anywhere
            Add(2000 + Random(4000));
        Add(Inf);
        Add(-Inf);
        L.StoreValue(10, 1e9);           // the list is out of order now
        Held[10] = 1e9;
        for (int i = 0; i < 50; ++i)
            Add(Random(6000));
        L.Delete(10);
        Held.erase(Held.begin() + 10);
        for (int i = 0; i < 50; ++i)
            Add(Random(6000));
        L.Scroll();
        std::rotate(Held.begin(), Held.begin() + 1, Held.end());
        Add(3000);
        Add(NaN);                        // lands last and stops later scans
        for (int i = 0; i < 20; ++i)
            Add(Random(6000));
        const std::vector<double> Got = ValuesOf(L);
        ASSERT_EQ(Got.size(), Held.size());
        for (size_t i = 0; i < Got.size(); ++i)
            ASSERT_TRUE(Got[i] == Held[i] || (std::isnan(Got[i]) && std::isnan(Held[i]))) << i;
        EXPECT_EQ(L.First(), Held.front());
        EXPECT_EQ(L.Value(100), Held[100]);
    }
}

TEST(ValueList, StatisticsFollowChangesAndSkipNonFiniteValues)
{
    const double Inf = std::numeric_limits<double>::infinity();
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        std::vector<double> Values;
        double Min, Max, Total, TotalABS;
    };
    const Case Cases[] = {
        {{}, 0, 0, 0, 0},
        {{2, -3, 5}, -3, 5, 4, 10},
        {{7}, 7, 7, 7, 7},
        {{NaN, 2, Inf, -1, -Inf}, -1, 2, 1, 3},
        {{NaN, NaN}, 0, 0, 0, 0},
    };
    for (const Case& C : Cases) {
        TChartValueList L(nullptr, "Y");
        for (double V : C.Values)
            L.AddChartValue(V);
        EXPECT_EQ(L.MinValue(), C.Min);
        EXPECT_EQ(L.MaxValue(), C.Max);
        EXPECT_EQ(L.Total(), C.Total);
        EXPECT_EQ(L.TotalABS(), C.TotalABS);
        EXPECT_EQ(L.Range(), C.Max - C.Min);
        EXPECT_FALSE(L.StatsDirty());
    }

    TChartValueList L(nullptr, "Y");
    for (double V : {2.0, -3.0, 5.0})
        L.AddChartValue(V);
    EXPECT_EQ(L.MaxValue(), 5);
    L.SetValue(2, 1);
    EXPECT_TRUE(L.StatsDirty());
    EXPECT_EQ(L.MaxValue(), 2);
    L.Delete(1);
    EXPECT_EQ(L.MinValue(), 1);
}

TEST(ValueList, StorageGrowsInSteps)
{
    TChartValueList L(nullptr, "X");
    for (int i = 0; i < 1000; ++i)
        L.AddChartValue(i);
    EXPECT_EQ(L.Capacity(), 1000);
    L.AddChartValue(1000);
    EXPECT_EQ(L.Capacity(), 2000);
    L.Delete(0, 1500);
    EXPECT_EQ(L.Count(), 0);
    EXPECT_EQ(L.Capacity(), 2000);
    L.ClearValues();
    EXPECT_EQ(L.Capacity(), 0);
}

TEST(ValueList, DeletingARangeIsClippedToTheList)
{
    struct Case {
        int Start, Quantity;
        std::vector<double> Left;
    };
    const Case Cases[] = {
        {1, 2, {0, 3, 4}},
        {3, 10, {0, 1, 2}},
        {-2, 3, {1, 2, 3, 4}},
        {5, 1, {0, 1, 2, 3, 4}},
        {2, 0, {0, 1, 2, 3, 4}},
        {2, -4, {0, 1, 2, 3, 4}},
        {0, 5, {}},
    };
    for (const Case& C : Cases) {
        TChartValueList L(nullptr, "X");
        for (int i = 0; i < 5; ++i)
            L.AddChartValue(i);
        L.Delete(C.Start, C.Quantity);
        EXPECT_EQ(ValuesOf(L), C.Left) << C.Start << "," << C.Quantity;
    }
}

TEST(ValueList, LocateScrollFillAndSort)
{
    TChartValueList L(nullptr, "X");
    for (double V : {4.0, 2.0, 4.0, 1.0})
        L.AddChartValue(V);
    EXPECT_EQ(L.Locate(4), 0);
    EXPECT_EQ(L.Locate(4, 1, 3), 2);
    EXPECT_EQ(L.Locate(3), -1);

    L.Scroll();
    EXPECT_EQ(ValuesOf(L), (std::vector<double>{2, 4, 1, 4}));

    L.SetOrder(loDescending);
    L.Sort();
    EXPECT_EQ(ValuesOf(L), (std::vector<double>{4, 4, 2, 1}));

    L.FillSequence();
    EXPECT_EQ(ValuesOf(L), (std::vector<double>{0, 1, 2, 3}));

    TChartValueList Empty(nullptr, "E");
    Empty.Scroll();
    EXPECT_EQ(Empty.Count(), 0);
}

TEST(ValueList, AssignCopiesSettingsButNotNameOrValues)
{
    TChartValueList A(nullptr, "A");
    A.SetOrder(loDescending);
    A.InitDateTime(true);
    A.SetValueSource("Field");
    A.AddChartValue(9);
    TChartValueList B(nullptr, "B");
    B.AddChartValue(1);
    B.Assign(&A);
    EXPECT_EQ(B.Name(), "B");
    EXPECT_EQ(ValuesOf(B), (std::vector<double>{1}));
    EXPECT_EQ(B.Order(), loDescending);
    EXPECT_TRUE(B.DateTime());
    EXPECT_FALSE(B.DefaultDateTime());
    EXPECT_EQ(B.ValueSource(), "Field");
    EXPECT_EQ(B.ToString(0), "1");
}

TEST(ValueList, ObsoleteMultiplierTellsTheDeveloperUnlessItIsOne)
{
    int Shown = 0;
    std::string Text;
    TDialogAnswerer Old = SetDialogAnswerer([&](const TDialogRequest& R, TDialogAnswer& A) {
        ++Shown;
        Text = R.Text;
        A.ModalResult = 1;
        return true;
    });
    TChartValueList L(nullptr, "Y");
    L.ReadMultiplier(1);
    EXPECT_EQ(Shown, 0);
    L.ReadMultiplier(2.5);
    EXPECT_EQ(Shown, 1);
    EXPECT_EQ(Text.rfind("Error: Multiplier property is obsolete.", 0), 0u);
    SetDialogAnswerer(Old);
}
