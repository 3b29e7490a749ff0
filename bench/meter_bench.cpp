// A live meter repaints at up to 60 Hz. With the tests' 200 x 200 round
// meter: a value update (the base's value change with its hint, the face
// copied from its cached bitmap, value box, bar and needle) must stay under
// 0.3 ms, a full face (round bevel, scale with labels, sector band) under
// 2 ms. The parts of an update are measured one by one to show where the
// time goes.
#include "bench/AllocationCount.h"
#include "platform/Application.h"
#include "platform/Graphics.h"
#include "tests/widgets/TestMeters.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

struct TMeter {
    TWinControl Owner{nullptr};
    TTestRoundMeter* Round;

    TMeter()
    {
        EnsureApplication();
        Round = new TTestRoundMeter(&Owner);
        Round->SignalSettings()->SetValueUnit("mbar");
        Round->Loaded();
        Round->PaintControl();
    }
};

// Values sweeping the range back and forth, never the same twice running.
float NextValue(float& V, float& Step)
{
    V += Step;
    if (V > 100.0f || V < 0.0f) {
        Step = -Step;
        V += 2 * Step;
    }
    return V;
}

template <class F>
void Measured(benchmark::State& State, F Work)
{
    long Allocations = 0;
    for (auto _ : State) {
        const long Before = AllocationCount();
        Work();
        Allocations += AllocationCount() - Before;
    }
    State.counters["allocs/op"] = benchmark::Counter(static_cast<double>(Allocations) / State.iterations());
}

void BM_RoundMeterValueUpdate(benchmark::State& State)
{
    TMeter M;
    float V = 50, Step = 0.37f;
    Measured(State, [&] { M.Round->SetValue(NextValue(V, Step)); });
}
BENCHMARK(BM_RoundMeterValueUpdate)->Unit(benchmark::kMicrosecond);

void BM_RoundMeterFullFace(benchmark::State& State)
{
    TMeter M;
    Measured(State, [&] { M.Round->DrawFace(); });
}
BENCHMARK(BM_RoundMeterFullFace)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------- parts of a face

void BM_FacePartRoundBevel(benchmark::State& State)
{
    EnsureApplication();
    TBitmap Face(200, 200);
    TIcSBevel Bevel;
    Bevel.SetRound(true);
    Bevel.SetWidth(6);
    Bevel.SetSpacing(4);
    Measured(State, [&] {
        TRect R = Rect(0, 0, 200, 200);
        Bevel.PaintRoundBevel(Face.Canvas(), R, 0, 0);
    });
}
BENCHMARK(BM_FacePartRoundBevel)->Unit(benchmark::kMicrosecond);

void BM_FacePartScaleWithLabels(benchmark::State& State)
{
    EnsureApplication();
    TBitmap Face(200, 200);
    TScaleSettings Scale;
    Scale.Font()->SetSize(8);
    Scale.SetSubSteps(4);
    Measured(State, [&] {
        TRect R = Rect(10, 10, 190, 190);
        Scale.CalcRSize(Face.Canvas(), 0, 100);
        Scale.RoundScala(Face.Canvas(), R, TTestRoundMeter::StartAngle, TTestRoundMeter::Sweep);
    });
}
BENCHMARK(BM_FacePartScaleWithLabels)->Unit(benchmark::kMicrosecond);

void BM_FacePartSectorBand(benchmark::State& State)
{
    EnsureApplication();
    TBitmap Face(200, 200);
    TCanvas* C = Face.Canvas();
    const TRect Arc = Rect(40, 40, 160, 160);
    TRect Inner = Arc;
    IcBorder(Inner, 7);
    Measured(State, [&] {
        const TColor Colors[] = {clYellow, clGreen, clRed};
        for (int N = 0; N < 3; ++N) {
            C->Pen()->SetColor(Colors[N]);
            C->Brush()->SetColor(Colors[N]);
            IcRoundSector(C, Arc, TTestRoundMeter::AngleOf(N * 333), TTestRoundMeter::Sweep / 3.0f);
        }
        C->Pen()->SetColor(clWhite);
        C->Brush()->SetColor(clWhite);
        C->Ellipse(Inner);
    });
}
BENCHMARK(BM_FacePartSectorBand)->Unit(benchmark::kMicrosecond);

// ------------------------------------------------------- parts of an update

// The display base alone: digit, position, sectors, limits, minimum and
// maximum, texts and the hint, with nothing drawn.
void BM_PartValueChangeWithoutDrawing(benchmark::State& State)
{
    EnsureApplication();
    TWinControl Owner(nullptr);
    auto* G = new TIcAnalogGControl(&Owner);
    G->Loaded();
    float V = 50, Step = 0.37f;
    Measured(State, [&] { G->SetValue(NextValue(V, Step)); });
}
BENCHMARK(BM_PartValueChangeWithoutDrawing)->Unit(benchmark::kMicrosecond);

// The face onto the control's canvas through Draw, and through CopyRect
// from the face bitmap's canvas.
void BM_PartFaceDraw(benchmark::State& State)
{
    TMeter M;
    TCanvas* C = M.Round->Canvas();
    Measured(State, [&] { C->Draw(0, 0, M.Round->Face()); });
}
BENCHMARK(BM_PartFaceDraw)->Unit(benchmark::kMicrosecond);

void BM_PartFaceCopyRect(benchmark::State& State)
{
    TMeter M;
    TCanvas* C = M.Round->Canvas();
    const TRect R = M.Round->ClientRect();
    Measured(State, [&] { C->CopyRect(R, M.Round->Face()->Canvas(), R); });
}
BENCHMARK(BM_PartFaceCopyRect)->Unit(benchmark::kMicrosecond);

// The other way: the control's picture into a bitmap (a background save),
// once with the control's canvas idle and once right after drawing on it.
void BM_PartControlCopyRectToBitmap(benchmark::State& State)
{
    TMeter M;
    TBitmap Save(200, 200);
    const TRect R = M.Round->ClientRect();
    const bool AfterDrawing = State.range(0) != 0;
    float V = 50, Step = 0.37f;
    for (auto _ : State) {
        if (AfterDrawing) {
            State.PauseTiming();
            M.Round->SetValue(NextValue(V, Step));
            State.ResumeTiming();
        }
        Save.Canvas()->CopyRect(R, M.Round->Canvas(), R);
    }
}
BENCHMARK(BM_PartControlCopyRectToBitmap)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_PartNeedle(benchmark::State& State)
{
    TMeter M;
    TCanvas* C = M.Round->Canvas();
    const TPoint Ce = M.Round->Center();
    const int L = M.Round->NeedleLength();
    std::array<TPoint, 5> Src{}, Dst{};
    IcArrowSettings(Src[0], 4, 4, 0, 0, 0);
    Src[1] = Ce;
    Src[2] = Point(Ce.X, Ce.Y - L);
    Src[3] = Point(Ce.X + 4, Ce.Y + 12);
    Src[4] = Point(Ce.X - 4, Ce.Y + 12);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clRed);
    C->Pen()->SetColor(clRed);
    int PPT = 0;
    Measured(State, [&] {
        PPT = (PPT + 7) % 1001;
        IcArrowDraw(C, TTestRoundMeter::AngleOf(PPT), Src, Dst, true);
    });
}
BENCHMARK(BM_PartNeedle)->Unit(benchmark::kMicrosecond);

void BM_PartValueBox(benchmark::State& State)
{
    TMeter M;
    TCanvas* C = M.Round->Canvas();
    TIcValInd Box;
    Box.Caption()->SetVisible(false);
    Box.Font()->SetSize(9);
    Box.Draw(C, Point(100, 140), toMidCenter);
    double V = 0;
    Measured(State, [&] {
        V += 0.37;
        Box.DrawValue(C, V);
    });
}
BENCHMARK(BM_PartValueBox)->Unit(benchmark::kMicrosecond);

void BM_PartSmallLedBar(benchmark::State& State)
{
    TMeter M;
    TCanvas* C = M.Round->Canvas();
    TBarSettings Bar;
    Bar.SetStyle(bsLED_Bar);
    Bar.SetOptions({opUseSectorCol});
    Bar.SetBarRect(M.Round->BarRect());
    Bar.SetSectorColor(clGreen);
    int PPT = 0;
    Measured(State, [&] {
        PPT = (PPT + 7) % 1001;
        Bar.PaintBar(C, PPT);
    });
}
BENCHMARK(BM_PartSmallLedBar)->Unit(benchmark::kMicrosecond);

// The bar meter's update: its value change and the 200-pixel bar with the
// value text.
void BM_BarMeterValueUpdate(benchmark::State& State)
{
    EnsureApplication();
    TWinControl Owner(nullptr);
    auto* B = new TTestBarMeter(&Owner);
    B->Loaded();
    B->PaintControl();
    float V = 50, Step = 0.37f;
    Measured(State, [&] { B->SetValue(NextValue(V, Step)); });
}
BENCHMARK(BM_BarMeterValueUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace
