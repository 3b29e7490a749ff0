#include "workbench/Monitorfunctions.h"

#include "analyzer/Types.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/StdCtrls.h"
#include "workbench/Plotfunctions.h"

namespace {

// One sample-counter tick in seconds.
constexpr float TickSeconds = 0.02f;

// A plot's labels are optional.
void SetCaptionOf(TLabel* Label, const std::string& Text)
{
    if (Label)
        Label->SetCaption(Text);
}

}  // namespace

void TMonitorPlotInfo::Attach(TChart* Chart, TFastLineSeries* SeriesA, TFastLineSeries* SeriesB)
{
    FChart = Chart;
    FSeriesA = SeriesA;
    FSeriesB = SeriesB;
    FActiveSeries = SeriesA;
    FInactiveSeries = SeriesB;
    FSwapped = true;
    for (TFastLineSeries* S : {SeriesA, SeriesB}) {
        if (!S)
            continue;
        S->SetAutoRepaint(false);
        S->SetFastPen(true);
        // A gap point moves the pen instead of drawing to it.
        S->SetIgnoreNulls(false);
    }
    Clear(true);
}

void TMonitorPlotInfo::AttachLabels(TLabel* Title, TLabel* Units, TLabel* Units2, TLabel* Max, TLabel* Min,
                                    TLabel* Avg, TLabel* Current)
{
    FTitleLabel = Title;
    FUnitsLabel = Units;
    FUnitsLabel2 = Units2;
    FMaxLabel = Max;
    FMinLabel = Min;
    FAvgLabel = Avg;
    FCurrentLabel = Current;
}

void TMonitorPlotInfo::SetColours(TColor Active, TColor Shadow)
{
    FActiveColour = Active;
    if (Shadow != clNone)
        FShadowColour = Shadow;
}

bool TMonitorPlotInfo::AddPoint(float Y, int32_t Counter)
{
    if (!FActiveSeries || !FInactiveSeries)
        return false;
    int32_t Delta = Counter - FLastCounter;
    if (Delta <= 0)
        Delta = 1;
    FLastCounter = Counter;

    ++FPointsSinceRepaint;
    FActiveSeries->SetAutoRepaint(false);
    FInactiveSeries->SetAutoRepaint(false);

    FSweepPos += Delta;
    const bool Wrapped = FSweepPos > FTimeSpan * 50;
    if (Wrapped)
        FSweepPos = 0;
    const double X = FSweepPos * TickSeconds;

    if (FActiveSeries->SeriesColor() != FActiveColour)
        FActiveSeries->SetSeriesColor(FActiveColour);

    if (Wrapped) {
        FActiveSeries->SetSeriesColor(FShadowColour);
        FSwapped = !FSwapped;
        FInactiveSeries = FActiveSeries;
        FActiveSeries = FSwapped ? FSeriesA : FSeriesB;
        if (FChart) {
            TChartSeriesList& List = FChart->SeriesList();
            if (List.Count() >= 2) {
                List.Put(0, FInactiveSeries);
                List.Put(1, FActiveSeries);
            }
        }
        FActiveSeries->SetActive(true);
        if (!FShowPrevious)
            FInactiveSeries->SetActive(false);
        FActiveSeries->SetSeriesColor(FActiveColour);
        FActiveSeries->Clear();
        // The new sweep starts where the old one ended, unless that end
        // was a gap.
        FActiveSeries->AddXY(X, FLastY, "", FInGap ? clNone : FActiveColour);
    }

    if (FPointsSinceRepaint >= 100) {
        FActiveSeries->SetAutoRepaint(true);
        FPointsSinceRepaint = 0;
    }

    // A gap keeps the last good value, so nothing scales or prints to
    // NoValue.
    const bool Gap = Y == NoValue;
    AddPointOrGap(*FActiveSeries, X, Gap ? FLastY : Y, Gap, FActiveColour, FInGap);
    if (!Gap)
        FLastY = Y;

    if (FChart && FChart->BottomAxis()->Maximum() != FTimeSpan)
        FChart->BottomAxis()->SetMaximum(FTimeSpan);
    return Wrapped;
}

void TMonitorPlotInfo::Clear(bool ResetPosition)
{
    FLastY = 0;
    FInGap = false;
    if (ResetPosition) {
        FSweepPos = 0;
        FLastCounter = 0xFFFF;
    }
    if (FSeriesA)
        FSeriesA->Clear();
    if (FSeriesB)
        FSeriesB->Clear();
}

void TMonitorPlotInfo::SetYRange(float A, float B, bool ClearPlot)
{
    if (A == B)
        return;
    const float Lo = A < B ? A : B;
    const float Hi = A < B ? B : A;
    if (!FChart)
        return;
    const float M = (Hi - Lo) * 0.05f;
    FChart->LeftAxis()->SetMinMax(Lo - M, Hi + M);
    FChart->LeftAxis()->SetDesiredIncrement(M * 0.2f);
    if (ClearPlot)
        Clear(true);
}

void TMonitorPlotInfo::SetTimeSpan(float Seconds, bool ClearPlot)
{
    if (Seconds > 0)
        FTimeSpan = Seconds;
    if (FChart) {
        FChart->BottomAxis()->SetMinMax(0, FTimeSpan);
        FChart->BottomAxis()->SetDesiredIncrement(FTimeSpan * 0.2);
    }
    if (ClearPlot)
        Clear(true);
}

void TMonitorPlotInfo::SetCurrentText(const std::string& Text)
{
    SetCaptionOf(FCurrentLabel, Text);
}

void TMonitorPlotInfo::SetMinText(const std::string& Text)
{
    SetCaptionOf(FMinLabel, Text);
}

void TMonitorPlotInfo::SetMaxText(const std::string& Text)
{
    SetCaptionOf(FMaxLabel, Text);
}

void TMonitorPlotInfo::SetAvgText(const std::string& Text)
{
    SetCaptionOf(FAvgLabel, Text);
}

void TMonitorPlotInfo::SetTitle(const std::string& Text)
{
    if (!FTitleLabel)
        return;
    FTitleLabel->SetCaption(Text);
    if (FUnitsLabel)
        FUnitsLabel->SetLeft(FTitleLabel->Left() + FTitleLabel->Width() + 5);
}

void TMonitorPlotInfo::SetUnits(const std::string& Text)
{
    SetCaptionOf(FUnitsLabel, Text);
    SetCaptionOf(FUnitsLabel2, Text);
}
