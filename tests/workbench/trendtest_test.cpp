// The trend test on scripted breath-parameter records: limits, incidents,
// their store and report, the elapsed time, and the dialog that proposes
// the limits from the live value.
#include "workbench/Trendtestfunctions.h"
#include "workbench/TrendTestSettings.h"

#include "analyzer/Units.h"
#include "platform/Classes.h"
#include "platform/StdCtrls.h"
#include "reports/Reportfunctions.h"
#include "tests/support/Components.h"
#include "tests/workbench/TestClocks.h"
#include "widgets/IcNumEdit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

TParameterStruct Record(int32_t Id, float Value)
{
    TParameterStruct P;
    P.SetSlot(TParameterStruct::SlotOf(Id), Value);
    return P;
}

std::vector<std::string> ReportOf(const TTrendTest& T, bool SummaryOnly)
{
    TStringList L;
    T.AddReportLines(&L, SummaryOnly);
    std::vector<std::string> Out;
    for (int i = 0; i < L.Count(); ++i)
        Out.push_back(L.Get(i));
    return Out;
}

}  // namespace

TEST(TrendTest, IncidentsOutsideTheLimits)
{
    auto T = std::make_unique<TTrendTest>();
    EXPECT_FALSE(T->IsRunning());
    EXPECT_FALSE(T->AddParameters(Record(parTidalVolume2, 1000)));
    EXPECT_EQ(T->TestCount(), 0);

    T->Start(parTidalVolume2, 475, 525, Record(parTidalVolume2, 500));
    EXPECT_TRUE(T->IsRunning());
    EXPECT_EQ(T->InitialValue(), 500);
    const struct {
        float Value;
        bool Incident;
    } Records[] = {{500, false}, {525, false}, {525.1f, true}, {NoValue, true}, {474.9f, true}, {490, false}};
    for (const auto& R : Records)
        EXPECT_EQ(T->AddParameters(Record(parTidalVolume2, R.Value)), R.Incident) << R.Value;
    EXPECT_EQ(T->TestCountText(), "6");
    EXPECT_EQ(T->IncidentCountText(), "3");
    EXPECT_EQ(T->LastIncident(), 2);
    EXPECT_FLOAT_EQ(T->Incident(0).GetValue(parTidalVolume2), 525.1f);
    EXPECT_EQ(T->Incident(1).GetValue(parTidalVolume2), NoValue);
    EXPECT_EQ(T->MinLimitText(), "475.0");
    EXPECT_EQ(T->MaxLimitText(), "525.0");
    EXPECT_EQ(T->InitialValueText(-1, false), "500.0");
    EXPECT_EQ(T->CurrentValueText(-1, true), "490.0 mL");
    EXPECT_EQ(T->PercentDifferenceText(-1, true), "-2.0 %");
    EXPECT_EQ(T->PercentDifferenceText(-1, false), "-2.0");
    EXPECT_EQ(T->ParameterNameText(), "Tidal Volume");
    EXPECT_EQ(T->ParameterShortNameText(), "TV");

    EXPECT_TRUE(T->Stop());
    EXPECT_FALSE(T->IsRunning());
    EXPECT_FALSE(T->AddParameters(Record(parTidalVolume2, 0)));
    EXPECT_EQ(T->TestCount(), 6);

    const auto Lines = ReportOf(*T, false);
    ASSERT_EQ(Lines.size(), 7u + 3 * 14);
    EXPECT_EQ(Lines[0], "Trend Test on Tidal Volume");
    EXPECT_EQ(Lines[1], "Values accepted between 525.0 and 475.0");
    EXPECT_EQ(Lines[2], "3 incidents in 6 tests");
    for (int i = 3; i < 7; ++i)
        EXPECT_EQ(Lines[static_cast<size_t>(i)], " ");
    EXPECT_EQ(Lines[7], "Incident 1 of 3");
    TStringList Block;
    AddParameterBlock(&Block, T->Incident(0), false);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(Lines[8 + static_cast<size_t>(i)], Block.Get(i));
    EXPECT_EQ(Lines[20], " ");
    EXPECT_EQ(Lines[21], "Incident 2 of 3");
    EXPECT_EQ(ReportOf(*T, true), std::vector<std::string>(Lines.begin(), Lines.begin() + 7));

    // A new start counts afresh.
    T->Start(parPIP, 5, 10, Record(parPIP, 7));
    EXPECT_EQ(T->IncidentCount(), 0);
    EXPECT_EQ(T->LastIncident(), -1);
    EXPECT_FALSE(T->Stop());
    EXPECT_EQ(ReportOf(*T, false).size(), 7u);
    EXPECT_EQ(ReportOf(*T, false)[1], "Values accepted between 10.0 and 5.0");
}

TEST(TrendTest, PercentDifferenceWithoutAReference)
{
    TTrendTest T;
    for (float Initial : {0.0f, NoValue}) {
        T.Start(parPIP, 0, 100, Record(parPIP, Initial));
        T.AddParameters(Record(parPIP, 20));
        EXPECT_EQ(T.GetPercentDifference(-1), NoValue);
        EXPECT_EQ(T.PercentDifferenceText(-1, true), "----- %");
        EXPECT_EQ(T.PercentDifferenceText(-1, false), "-----");
    }
}

TEST(TrendTest, ThousandIncidentsStoredAllCountedAllListed)
{
    TTrendTest T;
    T.Start(parPIP, 10, 20, Record(parPIP, 15));
    for (int i = 0; i < 1001; ++i)
        EXPECT_TRUE(T.AddParameters(Record(parPIP, static_cast<float>(100 + i))));
    EXPECT_EQ(T.IncidentCount(), 1001);
    EXPECT_EQ(T.LastIncident(), 999);
    EXPECT_FLOAT_EQ(T.Incident(999).GetValue(parPIP), 1099);

    const auto Lines = ReportOf(T, false);
    EXPECT_EQ(Lines[2], "1001 incidents in 1001 tests");
    ASSERT_EQ(Lines.size(), 7u + 1000 * 14);
    EXPECT_EQ(Lines[7 + 999 * 14], "Incident 1000 of 1001");
}

TEST(TrendTest, ElapsedTimeOnTheMonotonicClock)
{
    MonotonicClock Clock(MonotonicClock::Held);
    WallClock Wall(EncodeDate(2026, 10, 25) + EncodeTime(2, 30, 0, 0));
    TTrendTest T;
    T.Start(parPIP, 10, 20, Record(parPIP, 15));
    EXPECT_EQ(T.StartTimeText(), "02:30:00");
    // The wall clock goes back an hour: the running time does not.
    Wall.Set(Wall.Get() - 1.0 / 24);
    Clock.Advance(90'000);
    EXPECT_NEAR(T.GetElapsedTime() * SecsPerDay, 90, 0.1);
    EXPECT_EQ(T.ElapsedTimeText(), "00:01:30");

    // Over 24 hours the time shows modulo 24 hours.
    Clock.Advance(int64_t(25) * 3600 * 1000);
    Wall.Set(Wall.Get() + 25.0 / 24);
    T.Stop();
    EXPECT_EQ(T.ElapsedTimeText(), "01:01:30");
    EXPECT_EQ(T.EndTimeText(), "02:30:00");
    // Stopped: the time stands.
    Clock.Advance(60'000);
    EXPECT_EQ(T.ElapsedTimeText(), "01:01:30");
}

// ------------------------------------------------------------------ dialog

namespace {

struct TrendDialogRig {
    std::unique_ptr<TdlgTrendTest> Dlg = std::make_unique<TdlgTrendTest>(nullptr);
    TIcNumSpin* Min() { return Find<TIcNumSpin>(Dlg.get(), "eMin"); }
    TIcNumSpin* Max() { return Find<TIcNumSpin>(Dlg.get(), "eMax"); }
    TIcNumSpin* Percent() { return Find<TIcNumSpin>(Dlg.get(), "ePercent"); }
    TComboBox* Param() { return Find<TComboBox>(Dlg.get(), "cbTrendParam"); }
    std::string Current() { return Find<TLabel>(Dlg.get(), "eCurrentValue")->Caption(); }
};

}  // namespace

TEST(TrendTestDialog, ProposesLimitsFromTheLiveValue)
{
    TrendDialogRig R;
    EXPECT_EQ(R.Param()->Items()->Count(), 14);
    EXPECT_EQ(R.Current(), "-----");
    EXPECT_EQ(R.Percent()->Text(), "5");

    std::string Shown, MinText, MaxText;
    {
        DialogAnswers Answers(
            [&](TObject*) {
                Shown = R.Current();
                MinText = R.Min()->Text();
                MaxText = R.Max()->Text();
            },
            mrOk);
        ASSERT_TRUE(R.Dlg->Execute(parTidalVolume2, Record(parTidalVolume2, 500)));
    }
    EXPECT_EQ(R.Param()->Text(), "Tidal Volume");
    EXPECT_EQ(Shown, "500.0 mL");
    EXPECT_EQ(R.Min()->FormatStr(), "##0.0#");
    EXPECT_EQ(MinText, "475.0");
    EXPECT_EQ(MaxText, "525.0");
    EXPECT_EQ(R.Dlg->ParamId(), parTidalVolume2);
    EXPECT_FLOAT_EQ(R.Dlg->MinLimit(), 475);
    EXPECT_FLOAT_EQ(R.Dlg->MaxLimit(), 525);

    // The limits follow the live value until one is edited.
    R.Dlg->UpdateDisplay(Record(parTidalVolume2, 600));
    EXPECT_EQ(R.Min()->Text(), "570.0");
    EXPECT_EQ(R.Max()->Text(), "630.0");
    EXPECT_FALSE(R.Dlg->MinEdited());
    R.Min()->SetValue(550);
    EXPECT_TRUE(R.Dlg->MinEdited());
    R.Dlg->UpdateDisplay(Record(parTidalVolume2, 700));
    EXPECT_EQ(R.Min()->Text(), "550.0");
    EXPECT_EQ(R.Max()->Text(), "735.0");
    EXPECT_EQ(R.Current(), "700.0 mL");

    // An absent value proposes nothing: the limits stay as they are.
    R.Dlg->UpdateDisplay(Record(parTidalVolume2, NoValue));
    EXPECT_EQ(R.Current(), "----- mL");
    EXPECT_EQ(R.Min()->Text(), "550.0");
    EXPECT_EQ(R.Max()->Text(), "735.0");
    EXPECT_GT(R.Max()->Value(), 0);

    // A parameter without decimals: whole limits; a new percentage or
    // parameter proposes both limits afresh (while the dialog is open).
    {
        DialogAnswers Answers(
            [&](TObject*) {
                R.Min()->SetValue(1);
                Pick(R.Param(), 9);   // Breath Rate
                MinText = R.Min()->Text();
                R.Percent()->SetValue(10);
                MaxText = R.Max()->Text();
            },
            mrOk);
        TParameterStruct P = Record(parRespiratoryRate, 20);
        ASSERT_TRUE(R.Dlg->Execute(parPIP, P));
    }
    EXPECT_EQ(R.Dlg->ParamId(), parRespiratoryRate);
    EXPECT_EQ(R.Min()->FormatStr(), NumberFormat(TParameterStruct::GetDecimals(parRespiratoryRate)) == "0"
                                        ? std::string("##0")
                                        : "##" + NumberFormat(TParameterStruct::GetDecimals(parRespiratoryRate)) + "#");
    EXPECT_FLOAT_EQ(R.Dlg->MinLimit(), 18);
    EXPECT_FLOAT_EQ(R.Dlg->MaxLimit(), 22);
    EXPECT_NE(MinText, "");
}

TEST(TrendTestDialog, RowsAndParameterIds)
{
    const struct {
        int32_t Id;
        int Row;
    } ToRow[] = {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {8, 7}, {14, 13}, {15, 1}, {21, 1}, {-1, 1}};
    for (const auto& C : ToRow)
        EXPECT_EQ(TdlgTrendTest::ParamToComboIndex(C.Id), C.Row) << C.Id;
    const int32_t Ids[14] = {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    for (int Row = 0; Row < 14; ++Row)
        EXPECT_EQ(TdlgTrendTest::ComboIndexToParam(Row), Ids[Row]) << Row;
    EXPECT_FLOAT_EQ(TdlgTrendTest::ApplyPercent(500, -5), 475);
    EXPECT_FLOAT_EQ(TdlgTrendTest::ApplyPercent(500, 5), 525);

    // Cancel takes nothing back.
    TrendDialogRig R;
    DialogAnswers Answers([&](TObject*) { Pick(R.Param(), 5); }, mrCancel);
    EXPECT_FALSE(R.Dlg->Execute(parTidalVolume1, Record(parTidalVolume2, 500)));
    EXPECT_EQ(R.Dlg->ParamId(), parTidalVolume2);
    EXPECT_EQ(R.Dlg->MinLimit(), 0);
}
