// A meter updating at 60 Hz repaints its bar and its read-out every time:
// PaintBar of a 200 x 24 LED bar with value and unit must stay under 0.1 ms,
// DrawValue under 0.05 ms. Both paint onto a bitmap as a control's backing
// image would be.
#include "bench/AllocationCount.h"
#include "platform/Application.h"
#include "platform/Graphics.h"
#include "platform/SysUtils.h"
#include "widgets/_IcClassPaint.h"

#include <benchmark/benchmark.h>

namespace {

void BM_PaintBarLed200x24WithValueAndUnit(benchmark::State& State)
{
    EnsureApplication();
    TBitmap Target(240, 60);
    TBarSettings Bar;
    Bar.SetStyle(bsLED_Bar);
    Bar.SetOptions({opValue, opUnit});
    Bar.SetUnitText("%");
    Bar.SetBarRect(Bounds(10, 10, 200, 24));
    Bar.PaintBar(Target.Canvas(), 0);
    int PPT = 0;
    long Allocations = 0;
    for (auto _ : State) {
        PPT = (PPT + 7) % 1001;
        Bar.SetValueText(FormatFloat("##0.0", PPT / 10.0));
        const long Before = AllocationCount();
        Bar.PaintBar(Target.Canvas(), PPT);
        Allocations += AllocationCount() - Before;
    }
    State.counters["allocs/paint"] = benchmark::Counter(static_cast<double>(Allocations) / State.iterations());
}
BENCHMARK(BM_PaintBarLed200x24WithValueAndUnit)->Unit(benchmark::kMicrosecond);

void BM_DrawValue(benchmark::State& State)
{
    EnsureApplication();
    TBitmap Target(200, 100);
    TIcValInd Indicator;
    Indicator.Caption()->SetText("Flow");
    Indicator.Draw(Target.Canvas(), Point(100, 50), toMidCenter);
    double Value = 0;
    long Allocations = 0;
    for (auto _ : State) {
        Value += 0.37;
        if (Value > 999)
            Value = 0;
        const long Before = AllocationCount();
        Indicator.DrawValue(Target.Canvas(), Value);
        Allocations += AllocationCount() - Before;
    }
    State.counters["allocs/draw"] = benchmark::Counter(static_cast<double>(Allocations) / State.iterations());
}
BENCHMARK(BM_DrawValue)->Unit(benchmark::kMicrosecond);

}  // namespace
