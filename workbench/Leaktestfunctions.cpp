#include "workbench/Leaktestfunctions.h"

#include "analyzer/Units.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/Classes.h"
#include "platform/StdCtrls.h"
#include "workbench/Plotfunctions.h"

#include <cmath>

// Owns the test's series, which a chart that is freed first frees with its
// other series: the holder then forgets it instead of freeing it twice.
class TLeakTest::TSeriesHolder : public TComponent {
public:
    TSeriesHolder() : TComponent(nullptr), FSeries(new TFastLineSeries(nullptr))
    {
        FSeries->FreeNotification(this);
    }
    ~TSeriesHolder() override
    {
        if (FSeries) {
            FSeries->RemoveFreeNotification(this);
            delete FSeries;
        }
    }
    TFastLineSeries* Series() const { return FSeries; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        if (Operation == opRemove && AComponent == FSeries)
            FSeries = nullptr;
        TComponent::Notification(AComponent, Operation);
    }

private:
    TFastLineSeries* FSeries;
};

namespace {

void SetCaptionOf(TLabel* Label, const std::string& Text)
{
    if (Label)
        Label->SetCaption(Text);
}

std::string LabelCaption(const TLabel* Label)
{
    return Label ? Label->Caption() : std::string();
}

}  // namespace

TLeakTest::TLeakTest()
    : FStartTime(Now())
    , FLastTime(FStartTime)
    , FStartTick(MonotonicMs())
    , FLastTick(FStartTick)
    , FInitialPressure(NoValue)
    , FFinalPressure(NoValue)
    , FVolumeLost(NoValue)
    , FLeakRate(NoValue)
    , FSeries(std::make_unique<TSeriesHolder>())
{
    // A gap point moves the pen instead of drawing to it.
    FSeries->Series()->SetIgnoreNulls(false);
}

TLeakTest::~TLeakTest() = default;

TFastLineSeries* TLeakTest::Series() const
{
    return FSeries->Series();
}

void TLeakTest::SetChart(TChart* Chart, TColor Colour)
{
    FChart = Chart;
    FColour = Colour;
    if (TFastLineSeries* S = Series()) {
        S->SetParentChart(Chart);
        S->SetSeriesColor(Colour);
    }
}

void TLeakTest::SetLabels(TLabel* Title, TLabel* Units, TLabel* Units2, TLabel* Max, TLabel* Min, TLabel* Avg,
                          TLabel* Current)
{
    FTitleLabel = Title;
    FUnitsLabel = Units;
    FUnitsLabel2 = Units2;
    FMaxLabel = Max;
    FMinLabel = Min;
    FAvgLabel = Avg;
    FCurrentLabel = Current;
}

void TLeakTest::Start(const TSignalStats* Source, float Compliance, TDateTime TestTime, TUnitCode Unit)
{
    FSource = Source;
    if (!Source) {
        FRunning = false;
        return;
    }
    FStats = *Source;
    FStats.Setup(Source->LongName(), Source->ShortName(), ucCmH2O, ucCmH2O, Source->Decimals(), -1.0f);
    FStats.Reset();

    FStartTime = Now();
    FLastTime = FStartTime;
    FStartTick = MonotonicMs();
    FLastTick = FStartTick;
    FCompliance = Compliance;
    FInitialPressure = Source->CurrentIn(ucCmH2O);
    FStats.AddSample(FInitialPressure);
    FFinalPressure = NoValue;
    FVolumeLost = NoValue;
    FLeakRate = NoValue;
    FTestTime = TestTime;

    if (TFastLineSeries* S = Series())
        S->Clear();
    FInGap = false;
    FLastY = 0;
    if (FChart) {
        const double Seconds = TestTime * SecsPerDay;
        if (Seconds > 0) {
            FChart->BottomAxis()->SetMinMax(0, Seconds);
            FChart->BottomAxis()->SetDesiredIncrement(0.2 * Seconds);
        }
        // An absent, zero or negative start pressure leaves the axis as it
        // was rather than an empty or inverted range.
        const float Shown = Source->CurrentIn(-1);
        if (Shown != NoValue && Shown > 0)
            FChart->LeftAxis()->SetMinMax(0, 1.05 * Shown);
    }

    FUnit = Unit >= ucCmH2O && Unit <= ucInHg ? Unit : ucCmH2O;
    UpdateTitle();
    FRunning = true;
}

double TLeakTest::ElapsedSeconds() const
{
    return static_cast<double>(FLastTick - FStartTick) * 0.001;
}

void TLeakTest::AddSample()
{
    if (!IsRunning())
        return;
    FLastTime = Now();
    FLastTick = MonotonicMs();
    const double t = ElapsedSeconds();
    const bool Reached = FLastTick - FStartTick >= std::llround(FTestTime * MSecsPerDay);

    float p = FSource->CurrentIn(ucCmH2O);
    FStats.AddSample(p);
    // Until the test time the smoothed pressure counts; the sample that
    // reaches it keeps its raw value.
    if (!Reached)
        p = FStats.Smoothed();

    if (p == NoValue || FInitialPressure == NoValue) {
        FFinalPressure = NoValue;
        FVolumeLost = NoValue;
        FLeakRate = NoValue;
    } else {
        FFinalPressure = p;
        const float d = FInitialPressure - p;
        FVolumeLost = d * FCompliance;
        FLeakRate = t > 0 ? static_cast<float>(d / t) : 0.0f;
    }

    if (Reached)
        FRunning = false;
    UpdatePlot();
}

void TLeakTest::Stop()
{
    if (!IsRunning())
        return;
    AddSample();
    FRunning = false;
}

void TLeakTest::UpdatePlot()
{
    if (!FSource || !FRunning)
        return;
    if (TFastLineSeries* S = Series()) {
        const float Y = FSource->CurrentIn(-1);
        const bool Gap = Y == NoValue;
        AddPointOrGap(*S, ElapsedSeconds(), Gap ? FLastY : Y, Gap, FColour, FInGap);
        if (!Gap)
            FLastY = Y;
    }
    FStats.SetDisplayUnit(FUnit);
    SetCaptionOf(FMinLabel, FStats.FormatMin(false));
    SetCaptionOf(FMaxLabel, FStats.FormatMax(false));
    SetCaptionOf(FAvgLabel, FStats.FormatMean(false));
    SetCaptionOf(FCurrentLabel, FStats.FormatSmoothed(false));
    FStats.SetDisplayUnit(ucCmH2O);
}

std::string TLeakTest::TitleText() const
{
    std::string Title = "Leak Test";
    if (FSource)
        Title += " (" + FSource->LongName() + ")";
    return Title;
}

void TLeakTest::UpdateTitle()
{
    if (FTitleLabel) {
        FTitleLabel->SetCaption(TitleText());
        if (FUnitsLabel)
            FUnitsLabel->SetLeft(FTitleLabel->Left() + FTitleLabel->Width() + 5);
    }
    SetCaptionOf(FUnitsLabel, UnitText());
    SetCaptionOf(FUnitsLabel2, UnitText());
}

std::string TLeakTest::UnitText() const
{
    return UnitName(FSource ? FUnit : ucCmH2O);
}

int TLeakTest::GetDecimals() const
{
    return DecimalsFor(ucCmH2O, FSource ? FSource->DisplayUnit() : ucCmH2O);
}

float TLeakTest::GetInitialPressure() const
{
    return FSource ? ConvertUnits(ucCmH2O, FUnit, FInitialPressure) : FInitialPressure;
}

float TLeakTest::GetFinalPressure() const
{
    return FSource ? ConvertUnits(ucCmH2O, FUnit, FFinalPressure) : FFinalPressure;
}

float TLeakTest::GetLeakRate() const
{
    return FSource ? ConvertUnits(ucCmH2O, FUnit, FLeakRate) : FLeakRate;
}

std::string TLeakTest::InitialPressureText(bool WithUnit) const
{
    std::string Text = FormatNumber(GetDecimals(), GetInitialPressure());
    return WithUnit ? Text + " " + UnitText() : Text;
}

std::string TLeakTest::FinalPressureText(bool WithUnit) const
{
    std::string Text = FormatNumber(GetDecimals(), GetFinalPressure());
    return WithUnit ? Text + " " + UnitText() : Text;
}

std::string TLeakTest::LeakRateText(bool WithUnit) const
{
    std::string Text = FormatNumber(GetDecimals() + 1, GetLeakRate());
    return WithUnit ? Text + " " + UnitText() + "/sec" : Text;
}

std::string TLeakTest::VolumeLostText(bool WithUnit) const
{
    std::string Text = FormatNumber(DecimalsFor(ucML, ucML), FVolumeLost);
    return WithUnit ? Text + " mL" : Text;
}

std::string TLeakTest::ComplianceText(bool WithUnit) const
{
    std::string Text = FormatNumber(DecimalsFor(ucMLPerCmH2O, ucMLPerCmH2O), FCompliance);
    return WithUnit ? Text + " ml/cmH2O" : Text;
}

TDateTime TLeakTest::GetElapsedTime() const
{
    return static_cast<double>(FLastTick - FStartTick) / MSecsPerDay;
}

std::string TLeakTest::ElapsedTimeText() const
{
    return FormatDateTime("hh:mm:ss", GetElapsedTime());
}

std::string TLeakTest::SignalNameText() const
{
    return FSource ? FSource->LongName() : std::string();
}

void TLeakTest::AddReportLines(TStrings* Lines, bool /*SummaryOnly*/) const
{
    Lines->Add("Leak Test on " + SignalNameText() + " (" + UnitText() + ")");
    Lines->Add(" ");
    Lines->Add("Final Pressure:   " + FinalPressureText(true));
    Lines->Add("Initial Pressure: " + InitialPressureText(true));
    Lines->Add("Leak Rate:        " + LeakRateText(true));
    Lines->Add("Test Time:        " + ElapsedTimeText());
    Lines->Add(" ");
    Lines->Add("Compliance:       " + ComplianceText(true));
    Lines->Add("Volume Lost:      " + VolumeLostText(true));
}

TPlotReportRecord TLeakTest::PlotRecord() const
{
    TPlotReportRecord R;
    R.Chart = FChart;
    R.Title = FTitleLabel ? FTitleLabel->Caption() : TitleText();
    R.Units = LabelCaption(FUnitsLabel2);
    R.Current = LabelCaption(FCurrentLabel);
    R.Min = LabelCaption(FMinLabel);
    R.Max = LabelCaption(FMaxLabel);
    R.Avg = LabelCaption(FAvgLabel);
    return R;
}
