// The repaint of an 800 x 400 2-D chart of one 100,000-point series against
// the most widely used Qt plotting library drawing the same data at the
// same size in the same process: a line (ours as the line series and as the
// fast line series drawing all points, theirs with its default adaptive
// sampling), an area (theirs filled to the zero line) and points (theirs as
// squares of the pointer's size). Each iteration runs one repaint of ours
// and one replot of theirs back to back; "ratio" is the median of the
// ratios of the pairs, "allocs/repaint" the heap allocations of ours.
#include "AllocationCount.h"
#include "SideBySide.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "chart/SeriesArea.h"
#include "chart/SeriesLine.h"
#include "platform/Application.h"
#include "platform/Forms.h"

#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int PointCount = 100000;
constexpr int Width = 800, Height = 400;

double XOf(int i) { return i * 0.001; }
double YOf(int i) { return 100 * std::sin(XOf(i) * 3) + 20 * std::sin(XOf(i) * 47); }

enum TKind { kLine, kFastLine, kArea, kPoint };

TChartSeries* NewSeries(TKind Kind, TComponent* Owner)
{
    switch (Kind) {
    case kLine: return new TLineSeries(Owner);
    case kFastLine: {
        auto* S = new TFastLineSeries(Owner);
        S->SetDrawAllPoints(true);
        return S;
    }
    case kArea: return new TAreaSeries(Owner);
    case kPoint: return new TPointSeries(Owner);
    }
    return nullptr;
}

struct TOurs {
    explicit TOurs(TKind Kind)
    {
        EnsureApplication();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, Width + 20, Height + 20);
        Chart = new TChart(Form.get());
        Chart->SetParent(Form.get());
        Chart->SetBounds(0, 0, Width, Height);
        Chart->SetView3D(false);
        Chart->Legend()->SetVisible(false);
        Chart->Title()->SetVisible(false);
        TChartSeries* S = NewSeries(Kind, Form.get());
        S->SetSeriesColor(clRed);
        for (int i = 0; i < PointCount; ++i)
            S->AddXY(XOf(i), YOf(i));
        Chart->AddSeries(S);
        Repaint();
    }
    void Repaint()
    {
        Chart->Invalidate();
        Chart->Draw();
    }
    std::unique_ptr<TForm> Form;
    TChart* Chart = nullptr;
};

struct TTheirs {
    explicit TTheirs(TKind Kind)
    {
        EnsureApplication();
        Plot.resize(Width, Height);
        Plot.setViewport(QRect(0, 0, Width, Height));
        Plot.setNotAntialiasedElements(QCP::aeAll);
        QCPGraph* G = Plot.addGraph();
        G->setPen(QPen(Qt::red));
        if (Kind == kArea)
            G->setBrush(QBrush(Qt::red));
        if (Kind == kPoint) {
            G->setLineStyle(QCPGraph::lsNone);
            // The pointer: a 9 x 9 red square with a black outline.
            G->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssSquare, QPen(Qt::black), QBrush(Qt::red), 9));
        }
        QVector<double> X(PointCount), Y(PointCount);
        for (int i = 0; i < PointCount; ++i) {
            X[i] = XOf(i);
            Y[i] = YOf(i);
        }
        G->setData(X, Y, true);
        Plot.rescaleAxes();
        Replot();
    }
    // Every layer drawn again into the plot's pixmap buffers.
    void Replot() { Plot.replot(QCustomPlot::rpImmediateRefresh); }
    QCustomPlot Plot;
};


void Compare(benchmark::State& State, TKind Kind)
{
    TOurs Ours(Kind);
    TTheirs Theirs(Kind);
    double OursTotal = 0, TheirsTotal = 0;
    long Allocations = 0;
    std::vector<double> Ratios;
    TAlternation Alternation;
    for (auto _ : State) {
        const auto [A, B] = Alternation.Round(
            [&] {
                const long Before = AllocationCount();
                const double T = Seconds([&] { Ours.Repaint(); });
                Allocations += AllocationCount() - Before;
                return T;
            },
            [&] { return Seconds([&] { Theirs.Replot(); }); });
        OursTotal += A;
        TheirsTotal += B;
        Ratios.push_back(A / B);
    }
    const double N = static_cast<double>(State.iterations());
    State.counters["ours_us"] = OursTotal / N * 1e6;
    State.counters["qcp_us"] = TheirsTotal / N * 1e6;
    State.counters["allocs/repaint"] = static_cast<double>(Allocations) / N;
    State.counters["ratio"] = Median(Ratios);
}

void BM_LineVsQCustomPlot(benchmark::State& State) { Compare(State, kLine); }
void BM_FastLineVsQCustomPlot(benchmark::State& State) { Compare(State, kFastLine); }
void BM_AreaVsQCustomPlot(benchmark::State& State) { Compare(State, kArea); }
void BM_PointVsQCustomPlot(benchmark::State& State) { Compare(State, kPoint); }
BENCHMARK(BM_LineVsQCustomPlot)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_FastLineVsQCustomPlot)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_AreaVsQCustomPlot)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_PointVsQCustomPlot)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace
