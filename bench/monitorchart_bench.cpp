// The full repaint of a monitor chart against the most widely used Qt
// plotting library drawing the same chart in the same process. Each
// iteration runs one repaint of ours and one replot of theirs, one after the
// other, so that the ratio of the two sums is what machine noise does not
// move. The chart: 800 x 250, two line series of 1,500 points over 30 s,
// axis titles "Seconds" and "LPM", 0..30 and -100..100, no antialiasing.
#include "SideBySide.h"
#include "chart/Chart.h"
#include "chart/Series.h"
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

constexpr int Points = 1500;
constexpr double Span = 30;

double Flow(int i) { return 100 * std::sin(i * Span / Points * 2.1); }
double Pressure(int i) { return 60 * std::cos(i * Span / Points * 1.3); }

struct TOurs {
    explicit TOurs(double BottomStep)
    {
        EnsureApplication();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 820, 270);
        Chart = new TChart(Form.get());
        Chart->SetParent(Form.get());
        Chart->SetBounds(0, 0, 800, 250);
        Chart->SetView3D(false);
        Chart->Legend()->SetVisible(false);
        Chart->Title()->SetVisible(false);
        Chart->BottomAxis()->Title()->SetCaption("Seconds");
        Chart->LeftAxis()->Title()->SetCaption("LPM");
        Chart->BottomAxis()->SetMinMax(0, Span);
        Chart->BottomAxis()->SetIncrement(BottomStep);
        Chart->LeftAxis()->SetMinMax(-100, 100);
        Chart->LeftAxis()->SetIncrement(50);
        for (int s = 0; s < 2; ++s) {
            auto* S = new TFastLineSeries(Form.get());
            S->SetSeriesColor(s == 0 ? clRed : clBlue);
            Chart->AddSeries(S);
            for (int i = 0; i < Points; ++i)
                S->AddXY(i * Span / Points, s == 0 ? Flow(i) : Pressure(i));
        }
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
    explicit TTheirs(double BottomStep)
    {
        EnsureApplication();
        Plot.resize(800, 250);
        Plot.setViewport(QRect(0, 0, 800, 250));
        Plot.setNotAntialiasedElements(QCP::aeAll);
        for (int s = 0; s < 2; ++s) {
            QCPGraph* G = Plot.addGraph();
            G->setPen(QPen(s == 0 ? Qt::red : Qt::blue));
            QVector<double> X(Points), Y(Points);
            for (int i = 0; i < Points; ++i) {
                X[i] = i * Span / Points;
                Y[i] = s == 0 ? Flow(i) : Pressure(i);
            }
            G->setData(X, Y, true);
        }
        auto Fixed = [](double Step) {
            QSharedPointer<QCPAxisTickerFixed> T(new QCPAxisTickerFixed);
            T->setTickStep(Step);
            T->setScaleStrategy(QCPAxisTickerFixed::ssNone);
            return T;
        };
        Plot.xAxis->setTicker(Fixed(BottomStep));
        Plot.yAxis->setTicker(Fixed(50));
        Plot.xAxis->setLabel("Seconds");
        Plot.yAxis->setLabel("LPM");
        Plot.xAxis->setRange(0, Span);
        Plot.yAxis->setRange(-100, 100);
        Replot();
    }
    // Every layer drawn again into the plot's pixmap buffers.
    void Replot() { Plot.replot(QCustomPlot::rpImmediateRefresh); }
    QCustomPlot Plot;
};


void Compare(benchmark::State& State, double BottomStep)
{
    TOurs Ours(BottomStep);
    TTheirs Theirs(BottomStep);
    double OursTotal = 0, TheirsTotal = 0;
    std::vector<double> Ratios;
    TAlternation Alternation;
    for (auto _ : State) {
        const auto [A, B] = Alternation.Round([&] { return Seconds([&] { Ours.Repaint(); }); },
                                              [&] { return Seconds([&] { Theirs.Replot(); }); });
        OursTotal += A;
        TheirsTotal += B;
        Ratios.push_back(A / B);
    }
    const double N = static_cast<double>(State.iterations());
    State.counters["ours_us"] = OursTotal / N * 1e6;
    State.counters["qcp_us"] = TheirsTotal / N * 1e6;
    // Each pair ran back to back: the median of their ratios is what a
    // busy machine moves least; the ratio of the sums is shown beside it.
    State.counters["ratio"] = Median(Ratios);
    State.counters["ratio_of_sums"] = OursTotal / TheirsTotal;
}

// The monitor plots' labels every 5 s; the ratio should stay at or below 1.
void BM_MonitorRepaintVsQCustomPlot_Step5(benchmark::State& State) { Compare(State, 5); }
BENCHMARK(BM_MonitorRepaintVsQCustomPlot_Step5)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// The chart's default spacing of one label a second: 31 labels.
void BM_MonitorRepaintVsQCustomPlot_Step1(benchmark::State& State) { Compare(State, 1); }
BENCHMARK(BM_MonitorRepaintVsQCustomPlot_Step1)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

} // namespace
