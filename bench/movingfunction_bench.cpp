// Recalculating a moving function of period 10 over a source of 1,000,000
// points, as an editor does when the period changes. Must stay under 500 ms.
#include "AllocationCount.h"
#include "chart/ChFunctions.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/Application.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

class TMovingAverage : public TChMovingFunction {
    OZ_CLASS(TMovingAverage, TChMovingFunction);

public:
    explicit TMovingAverage(TComponent* AOwner) : TChMovingFunction(AOwner) {}
    double Calculate(TChartSeries* Source, int First, int Last) override
    {
        const TChartValueList* Y = Source->YValues();
        double Sum = 0;
        for (int i = First; i <= Last; ++i)
            Sum += Y->Value(i);
        return Sum / (Last - First + 1);
    }
};

void BM_MovingFunctionPeriodChange(benchmark::State& State)
{
    EnsureApplication();
    auto Chart = std::make_unique<TChart>(nullptr);
    auto* Source = new TFastLineSeries(Chart.get());
    auto* Target = new TFastLineSeries(Chart.get());
    Chart->AddSeries(Source);
    Chart->AddSeries(Target);
    const int N = static_cast<int>(State.range(0));
    Source->BeginUpdate();
    for (int i = 0; i < N; ++i)
        Source->AddXY(i, std::sin(i * 0.001) * 100);
    Source->EndUpdate();
    auto* F = new TMovingAverage(nullptr);
    Target->SetFunction(F);
    Target->SetDataSource(Source);
    bool Odd = false;
    for (auto _ : State) {
        // Alternate between two periods that both round to 10 points.
        F->SetPeriod(Odd ? 10.2 : 9.8);
        Odd = !Odd;
        benchmark::DoNotOptimize(Target->Count());
    }
    State.counters["points"] = Target->Count();
}
BENCHMARK(BM_MovingFunctionPeriodChange)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
