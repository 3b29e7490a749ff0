// Series: adding, deleting and clearing points with labels and colours,
// notifications to the chart and to linked series, batching, colours,
// axes and moving between charts.
#include "chart/ChEngine.h"
#include "chart/ChMarks.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<double> Xs(TChartSeries& S)
{
    std::vector<double> R;
    for (int i = 0; i < S.Count(); ++i)
        R.push_back(S.XValue(i));
    return R;
}

std::vector<std::string> LabelsOf(TChartSeries& S)
{
    std::vector<std::string> R;
    for (int i = 0; i < S.Count(); ++i)
        R.push_back(S.XLabel(i));
    return R;
}

}  // namespace

TEST(Series, AscendingInsertionMovesColoursAndLabelsAlong)
{
    TChartSeries S(nullptr);
    EXPECT_EQ(S.AddXY(0, 10, "a", clRed), 0);
    EXPECT_EQ(S.AddXY(2, 30), 1);
    EXPECT_FALSE(S.HasValueColors() && S.ValueColorCount() != 2);
    EXPECT_EQ(S.AddXY(1, 20, "b", clBlue), 1);
    EXPECT_EQ(Xs(S), (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(S.YValue(2), 30);
    EXPECT_EQ(LabelsOf(S), (std::vector<std::string>{"a", "b", ""}));
    EXPECT_EQ(S.InternalColor(0), clRed);
    EXPECT_EQ(S.InternalColor(1), clBlue);
    EXPECT_EQ(S.InternalColor(2), clSeriesDefault);

    TChartSeries Plain(nullptr);
    Plain.AddXY(0, 1);
    Plain.AddXY(1, 2);
    EXPECT_FALSE(Plain.HasValueColors());
    EXPECT_EQ(Plain.Labels().Count(), 0);
}

// Points added in the reverse of the X order each go before all others;
// their Y values, labels and colours go with them.
TEST(Series, DescendingPointsKeepTheirValuesLabelsAndColours)
{
    TChartSeries S(nullptr);
    const int N = 3000;
    for (int i = 0; i < N; ++i)
        EXPECT_EQ(S.AddXY(N - i, i, i % 7 == 0 ? std::to_string(i) : "", i % 5 == 0 ? clRed : clSeriesDefault), 0);
    ASSERT_EQ(S.Count(), N);
    for (int k = 0; k < N; ++k) {
        const int i = N - 1 - k;   // the point added i-th sits at k
        ASSERT_EQ(S.XValue(k), N - i);
        ASSERT_EQ(S.YValue(k), i);
        ASSERT_EQ(S.XLabel(k), i % 7 == 0 ? std::to_string(i) : "");
        ASSERT_EQ(S.InternalColor(k), i % 5 == 0 ? clRed : clSeriesDefault);
    }
}

TEST(Series, RefusedAddReturnsMinusOne)
{
    TChartSeries S(nullptr);
    S.AddXY(0, 1);
    int AfterAdd = 0;
    S.OnAfterAdd = [&](TChartSeries*, int) { ++AfterAdd; };
    S.OnBeforeAdd = [](TChartSeries*) { return false; };
    EXPECT_EQ(S.AddXY(5, 5, "x", clRed), -1);
    EXPECT_EQ(S.Add(3), -1);
    EXPECT_EQ(S.Count(), 1);
    EXPECT_EQ(AfterAdd, 0);
    EXPECT_FALSE(S.HasValueColors());
}

// A series with a third value list hands that value on with the point; the
// list takes it at the point's ordered place, and plain AddXY gives it 0.
TEST(Series, FurtherValueListsTakeTheirValuesWithThePoint)
{
    TChartSeries S(nullptr);
    S.XValues()->SetOrder(loAscending);
    auto* Size = new TChartValueList(&S, "Size");
    const double Three[] = {3.5};
    EXPECT_EQ(S.AddPoint(2, 20, Three, "b"), 0);
    const double One[] = {1.5, 99};
    EXPECT_EQ(S.AddPoint(1, 10, One), 0);
    EXPECT_EQ(S.AddXY(3, 30), 2);
    EXPECT_EQ(Size->Count(), 3);
    EXPECT_EQ(Size->Value(0), 1.5);
    EXPECT_EQ(Size->Value(1), 3.5);
    EXPECT_EQ(Size->Value(2), 0);
    EXPECT_EQ(S.YValue(1), 20);
    EXPECT_EQ(S.XLabel(1), "b");
}

TEST(Series, AddTakesThePointCountAsPosition)
{
    TChartSeries S(nullptr);
    S.XValues()->SetOrder(loNone);
    for (double V : {5.0, 6.0, 7.0})
        S.Add(V);
    S.Delete(0);
    S.Add(8);
    EXPECT_EQ(Xs(S), (std::vector<double>{1, 2, 2}));

    TChartSeries H(nullptr);
    H.SetHorizontal();
    H.Add(4);
    H.Add(9);
    EXPECT_EQ(H.YValue(1), 1);
    EXPECT_EQ(H.XValue(1), 9);
    EXPECT_EQ(H.GetMarkValue(1), 9);
}

TEST(Series, NullPointsAreMarkedByTheirColour)
{
    TChartSeries S(nullptr);
    S.Add(4);
    EXPECT_EQ(S.AddNull("gap"), 1);
    S.Add(6);
    EXPECT_EQ(S.YValue(1), 0);
    EXPECT_EQ(S.XLabel(1), "gap");
    EXPECT_FALSE(S.IsNull(0));
    EXPECT_TRUE(S.IsNull(1));
    S.SetNull(1, false);
    EXPECT_FALSE(S.IsNull(1));
    S.SetNull(2);
    EXPECT_TRUE(S.IsNull(2));

    S.SetValueColor(0, clGreen);
    S.ColorRange(S.YValues(), 0, 10, clYellow);
    EXPECT_EQ(S.InternalColor(0), clYellow);
    EXPECT_EQ(S.InternalColor(1), clYellow);
    EXPECT_EQ(S.InternalColor(2), clNone);
    EXPECT_THROW(S.SetValueColor(3, clRed), EListError);
}

TEST(Series, DeleteOutOfRangeRaisesAndChangesNothing)
{
    TChartSeries S(nullptr);
    for (double V : {1.0, 2.0, 3.0})
        S.Add(V, "l");
    for (int Index : {3, -1}) {
        try {
            S.Delete(Index);
            ADD_FAILURE() << Index;
        } catch (const ChartException& E) {
            EXPECT_EQ(std::string(E.what()),
                      "Series Delete: ValueIndex " + std::to_string(Index) + " out of bounds (0 to 2).");
        }
    }
    EXPECT_EQ(S.Count(), 3);
    S.Delete(1);
    EXPECT_EQ(S.YValue(1), 3);
    EXPECT_EQ(S.Labels().Count(), 2);
}

TEST(Series, DeletingARangeIsClipped)
{
    struct Case {
        int Start, Quantity;
        bool RemoveGap;
        std::vector<double> X;
        std::vector<std::string> Labels;
    };
    const Case Cases[] = {
        {1, 2, false, {0, 3}, {"a", "d"}},
        {2, 100, false, {0, 1}, {"a", "b"}},
        {-1, 2, false, {1, 2, 3}, {"b", "c", "d"}},
        {4, 1, false, {0, 1, 2, 3}, {"a", "b", "c", "d"}},
        {0, 0, false, {0, 1, 2, 3}, {"a", "b", "c", "d"}},
        {1, 2, true, {0, 1}, {"a", "d"}},
    };
    for (const Case& C : Cases) {
        TChartSeries S(nullptr);
        const char* Names[] = {"a", "b", "c", "d"};
        for (int i = 0; i < 4; ++i)
            S.AddXY(i, i * 10, Names[i], i == 2 ? clRed : clSeriesDefault);
        S.Delete(C.Start, C.Quantity, C.RemoveGap);
        EXPECT_EQ(Xs(S), C.X) << C.Start << "," << C.Quantity;
        EXPECT_EQ(LabelsOf(S), C.Labels) << C.Start << "," << C.Quantity;
        EXPECT_LE(S.ValueColorCount(), S.Count());
    }
    TChartSeries S(nullptr);
    S.AddXY(0, 0, "", clRed);
    S.Delete(0, 1);
    EXPECT_FALSE(S.HasValueColors());
}

TEST(Series, ClearOnAnInactiveSeriesStillTellsButDoesNotRepaint)
{
    TCountingChart Chart;
    auto* S = new TChartSeries(nullptr);
    auto* WithClear = new TChartSeries(nullptr);
    auto* WithoutClear = new TChartSeries(nullptr);
    Chart.AddSeries(S);
    WithClear->InternalAddDataSource(S);
    WithoutClear->InternalAddDataSource(S);
    WithoutClear->RecalcOptions = rOnInsert;
    S->Add(1, "x", clRed);
    ASSERT_EQ(WithClear->Count(), 1);
    ASSERT_EQ(WithClear->XLabel(0), "x");
    ASSERT_EQ(WithClear->InternalColor(0), clRed);
    S->SetActive(false);
    int Cleared = 0;
    S->OnClearValues = [&](TChartSeries*) { ++Cleared; };
    Chart.Invalidations = 0;
    S->Clear();
    EXPECT_EQ(Chart.Invalidations, 0);
    EXPECT_EQ(Cleared, 1);
    EXPECT_EQ(S->Count(), 0);
    EXPECT_EQ(WithClear->Count(), 0);
    EXPECT_EQ(WithoutClear->Count(), 1);
    S->SetActive(true);
    Chart.Invalidations = 0;
    S->Clear();
    EXPECT_EQ(Chart.Invalidations, 1);
    delete S;
    EXPECT_TRUE(WithClear->DataSources().Count() == 0);
    delete WithClear;
    delete WithoutClear;
}

TEST(Series, LinkedSeriesFollowByTheirOptions)
{
    struct Case {
        TSeriesRecalcOptions Options;
        std::vector<double> After;
    };
    // source: add 1, 2, 3; delete index 0; change value 1 to 9
    const Case Cases[] = {
        {rOnAll, {2, 9}},
        {rOnInsert, {1, 2, 3}},
        {rOnInsert | rOnDelete, {2, 3}},
        {rOnModify, {2, 9}},
        {0, {}},
    };
    for (const Case& C : Cases) {
        TChartSeries Source(nullptr);
        TChartSeries Linked(nullptr);
        Linked.RecalcOptions = C.Options;
        Linked.InternalAddDataSource(&Source);
        for (double V : {1.0, 2.0, 3.0})
            Source.Add(V);
        Source.Delete(0);
        Source.YValues()->SetValue(1, 9);
        std::vector<double> Ys;
        for (int i = 0; i < Linked.Count(); ++i)
            Ys.push_back(Linked.YValue(i));
        EXPECT_EQ(Ys, C.After) << int(C.Options);
    }
}

TEST(Series, UpdateBatchSendsOneRefresh)
{
    TCountingChart Chart;
    auto* S = new TChartSeries(nullptr);
    Chart.AddSeries(S);
    TChartSeries Linked(nullptr);
    Linked.InternalAddDataSource(S);
    int AfterAdd = 0;
    S->OnAfterAdd = [&](TChartSeries*, int) { ++AfterAdd; };
    Chart.Events.clear();
    Chart.Invalidations = 0;

    S->BeginUpdate();
    S->AddArray({1, 2, 3});
    S->Add(4);
    EXPECT_EQ(Linked.Count(), 0);
    S->EndUpdate();

    EXPECT_EQ(AfterAdd, 0);
    EXPECT_EQ(Chart.Count(seDataChanged), 1);
    EXPECT_EQ(Chart.Invalidations, 0);
    EXPECT_EQ(Linked.Count(), 4);
    EXPECT_EQ(S->UpdateDepth, 0);
    S->EndUpdate();
    EXPECT_EQ(S->UpdateDepth, 0);
    EXPECT_EQ(Chart.Count(seDataChanged), 1);

    S->Add(5);
    EXPECT_EQ(AfterAdd, 1);
    EXPECT_EQ(Chart.Invalidations, 1);
    EXPECT_EQ(Linked.Count(), 5);
    delete S;
}

TEST(Series, ColoursFallBackToSeriesThenPalette)
{
    TChartSeries S(nullptr);
    S.Add(1);
    S.Add(2, "", clRed);
    EXPECT_EQ(S.SeriesColor(), clSeriesDefault);
    S.SetSeriesColor(clGreen);
    EXPECT_TRUE(S.IsColorStored());
    EXPECT_EQ(S.GetValueColor(0), clGreen);
    EXPECT_EQ(S.GetValueColor(1), clRed);
    S.SetColorEachPoint(true);
    EXPECT_EQ(S.GetValueColor(0), GetDefaultColor(0));
    EXPECT_EQ(S.GetValueColor(21), GetDefaultColor(21));

    TCountingChart Chart;
    Chart.CustomPalette = {clAqua, clFuchsia};
    auto* T = new TChartSeries(nullptr);
    Chart.AddSeries(T);
    EXPECT_EQ(T->SeriesColor(), clAqua);
    EXPECT_FALSE(T->IsColorStored());
    T->SetColorEachPoint(true);
    T->Add(1);
    T->Add(2);
    T->Add(3);
    EXPECT_EQ(T->GetValueColor(2), clAqua);
    EXPECT_EQ(T->GetValueColor(1), clFuchsia);

    // the palette colour it already shows is not stored as its own
    Chart.Events.clear();
    T->SetSeriesColor(clAqua);
    EXPECT_FALSE(T->IsColorStored());
    EXPECT_EQ(Chart.Count(seChangeColor), 0);
    T->SetSeriesColor(clMaroon);
    EXPECT_TRUE(T->IsColorStored());
    EXPECT_EQ(Chart.Count(seChangeColor), 1);

    auto* U = new TChartSeries(nullptr);
    Chart.AddSeries(U);
    EXPECT_EQ(U->SeriesColor(), clAqua);  // clMaroon is not in the palette
    delete T;
    delete U;
}

TEST(Series, LabelsListSlots)
{
    TLabelsList L(nullptr);
    L.SetLabel(1, "b");
    EXPECT_EQ(L.Count(), 2);
    L.SetLabel(5, "");
    EXPECT_EQ(L.Count(), 2);
    L.SetLabel(5, "a");
    EXPECT_EQ(L.Count(), 6);
    EXPECT_EQ(L.GetLabel(3), "");
    EXPECT_EQ(L.GetLabel(99), "");
    EXPECT_EQ(L.IndexOfLabel("A"), -1);
    EXPECT_EQ(L.IndexOfLabel("A", false), 5);
    L.InsertLabel(0, "z");
    EXPECT_EQ(L.GetLabel(2), "b");
    L.SetLabel(2, "");
    EXPECT_EQ(L.GetLabel(2), "");
    EXPECT_EQ(L.Count(), 7);
    EXPECT_THROW(L.DeleteLabel(7), EListError);
    L.DeleteLabel(0);
    EXPECT_EQ(L.GetLabel(5), "a");

    TLabelsList Empty(nullptr);
    Empty.InsertLabel(3, "");
    EXPECT_EQ(Empty.Count(), 0);
    Empty.InsertLabel(2, "q");
    EXPECT_EQ(Empty.Count(), 3);
    TLabelsList Copy(nullptr);
    Copy.Assign(L);
    EXPECT_EQ(Copy.GetLabel(5), "a");
    EXPECT_EQ(Copy.Count(), 6);
}

TEST(Series, AxesOfASeries)
{
    TCountingChart Chart;
    Chart.LayOut({0, 0, 100, 100});
    auto* S = new TChartSeries(nullptr);
    Chart.AddSeries(S);
    S->AddXY(5, 50);
    S->SetHorizAxis(aBothHorizAxis);
    EXPECT_EQ(S->GetHorizAxis(), Chart.BottomAxis());
    EXPECT_TRUE(S->AssociatedToAxis(Chart.TopAxis()));
    EXPECT_TRUE(S->AssociatedToAxis(Chart.BottomAxis()));
    EXPECT_FALSE(S->AssociatedToAxis(Chart.RightAxis()));
    Chart.BottomAxis()->SetMinMax(0, 10);
    Chart.TopAxis()->SetMinMax(0, 100);
    Chart.LeftAxis()->SetMinMax(0, 50);
    for (TChartAxis* A : {Chart.BottomAxis(), Chart.TopAxis(), Chart.LeftAxis()}) {
        A->InternalCalcPositions();
        A->AdjustMaxMin();
    }
    EXPECT_EQ(S->CalcXPos(0), 50);
    EXPECT_EQ(S->CalcYPos(0), 0);
    EXPECT_EQ(S->XScreenToValue(50), 5);

    S->SetVertAxis(aRightAxis);
    EXPECT_EQ(S->GetVertAxis(), Chart.RightAxis());
    TChartAxis* Custom = Chart.CustomAxes().Add();
    S->SetCustomVertAxis(Custom);
    EXPECT_EQ(S->VertAxis(), aCustomVertAxis);
    EXPECT_EQ(S->GetVertAxis(), Custom);
    S->SetVertAxis(aLeftAxis);
    EXPECT_EQ(S->CustomVertAxis(), nullptr);
    delete S;
}

TEST(Series, MovingBetweenChartsKeepsPointsAndTellsBoth)
{
    TCountingChart A;
    TCountingChart B;
    auto* S = new TChartSeries(nullptr);
    A.AddSeries(S);
    S->AddXY(1, 2, "p", clRed);
    S->SetSeriesColor(clNavy);
    A.Events.clear();
    S->SetParentChart(&A);
    EXPECT_TRUE(A.Events.empty());

    B.AddSeries(S);
    EXPECT_EQ(A.SeriesCount(), 0);
    EXPECT_EQ(B.SeriesCount(), 1);
    EXPECT_EQ(A.Count(seRemove), 1);
    EXPECT_EQ(B.Count(seAdd), 1);
    EXPECT_EQ(S->GetHorizAxis(), B.BottomAxis());
    EXPECT_EQ(S->Count(), 1);
    EXPECT_EQ(S->XLabel(0), "p");
    EXPECT_EQ(S->InternalColor(0), clRed);
    EXPECT_EQ(S->SeriesColor(), clNavy);

    delete S;
    EXPECT_EQ(B.SeriesCount(), 0);
}

TEST(Series, ElementWritersRepaintOnlyOnChange)
{
    TCountingChart Chart;
    auto* S = new TChartSeries(nullptr);
    Chart.AddSeries(S);
    Chart.Invalidations = 0;
    Chart.Events.clear();
    S->SetActive(true);
    EXPECT_EQ(Chart.Invalidations, 0);
    EXPECT_EQ(Chart.Count(seChangeActive), 1);
    S->SetTitle("Flow");
    S->SetTitle("Flow");
    EXPECT_EQ(Chart.Invalidations, 1);
    EXPECT_EQ(Chart.Count(seChangeTitle), 2);
    S->SetValueFormat(S->ValueFormat());
    S->Pen()->SetWidth(S->Pen()->Width());
    EXPECT_EQ(Chart.Invalidations, 1);
    S->Pen()->SetWidth(3);
    EXPECT_EQ(Chart.Invalidations, 2);

    TComponent NotAChart(nullptr);
    S->SetParentComponent(&NotAChart);
    EXPECT_EQ(S->ParentChart(), &Chart);
    EXPECT_EQ(S->GetParentComponent(), &Chart);

    TChartSeries Alone(nullptr);
    Alone.SetActive(false);
    Alone.SetTitle("t");
    Alone.Repaint();
    EXPECT_FALSE(Alone.Active());
    EXPECT_EQ(Alone.Title(), "t");

    Alone.SetStyle(0xFF);
    EXPECT_EQ(Alone.Style(), ChSeriesStyleMask);
    TChartSeries Copy(nullptr);
    EXPECT_FALSE(Copy.IsStyleStored());
    EXPECT_FALSE(Copy.IsIdentifierStored());
    Alone.SetIdentifier("id");
    Copy.Assign(&Alone);
    EXPECT_EQ(Copy.Title(), "t");
    EXPECT_FALSE(Copy.Active());
    EXPECT_EQ(Copy.Identifier(), "id");
    EXPECT_TRUE(Copy.IsStyleStored());
    TChartValueList NotAnElement(nullptr, "n");
    EXPECT_THROW(Copy.Assign(&NotAnElement), EConvertError);
    delete S;
}

TEST(Series, MarksFollowThePoints)
{
    TChartSeries S(nullptr);
    EXPECT_FALSE(S.Marks()->Visible());
    EXPECT_EQ(S.Marks()->Style(), smsLabel);
    EXPECT_EQ(S.Marks()->DrawEvery(), 1);
    for (double V : {1.0, 2.0, 3.0})
        S.Add(V);
    TSeriesMarkPosition P;
    P.BoxWidth = 7;
    S.Marks()->Positions().Put(2, P);
    EXPECT_TRUE(S.Marks()->Positions().ExistCustom());
    EXPECT_EQ(S.Marks()->Positions().Get(0), nullptr);
    S.Marks()->Items(1)->SetColor(clRed);
    EXPECT_EQ(S.Marks()->MarkItem(0), S.Marks());
    S.Delete(0);
    EXPECT_EQ(S.Marks()->Positions().Get(1)->BoxWidth, 7);
    EXPECT_EQ(S.Marks()->MarkItem(0)->Color(), clRed);
    S.Marks()->Positions().Automatic(1);
    EXPECT_FALSE(S.Marks()->Positions().ExistCustom());
    S.Clear();
    EXPECT_EQ(S.Marks()->Positions().Count(), 0);
    EXPECT_EQ(S.Marks()->ItemsList().Count(), 0);
}

TEST(Series, SortingAListReordersWholePoints)
{
    TChartSeries S(nullptr);
    S.XValues()->SetOrder(loNone);
    S.AddXY(3, 30, "c");
    S.AddXY(1, 10, "a", clRed);
    S.AddXY(2, 20, "b");
    S.XValues()->SetOrder(loAscending);
    S.XValues()->Sort();
    EXPECT_EQ(Xs(S), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(S.YValue(0), 10);
    EXPECT_EQ(S.YValue(2), 30);
    EXPECT_EQ(LabelsOf(S), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(S.InternalColor(0), clRed);
    EXPECT_EQ(S.InternalColor(2), clSeriesDefault);
}
