// Small helpers shared by the chart tests: reading a bitmap's pixels, a
// chart that counts what it is told, and a chart on a form.
#pragma once

#include "chart/Chart.h"
#include "platform/Application.h"
#include "platform/Forms.h"

#include <cstdint>
#include <memory>
#include <vector>

inline TColor PixelOf(const TBitmap& B, int X, int Y)
{
    const uint32_t P = B.ScanLine(Y)[X];
    return RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF);
}

// An axis panel that counts its invalidations and records the series events
// it hears.
class TCountingChart : public TCustomAxisPanel, public IChEventListener {
public:
    TCountingChart() : TCustomAxisPanel(nullptr)
    {
        Listeners.Add(this);
        Invalidations = 0;
    }
    ~TCountingChart() override { Listeners.Remove(this); }
    void Invalidate() override
    {
        ++Invalidations;
        TCustomAxisPanel::Invalidate();
    }
    void ReceiveEvent(TChEvent* Event) override
    {
        if (auto* E = dynamic_cast<TChSeriesEvent*>(Event))
            Events.push_back(E->Event);
    }
    int Count(TChartSeriesEvent Kind) const
    {
        int N = 0;
        for (TChartSeriesEvent E : Events)
            N += E == Kind;
        return N;
    }
    int Invalidations = 0;
    std::vector<TChartSeriesEvent> Events;
};

// A 2-D chart of 400 x 300 without a legend on a form of 420 x 320.
struct TFormChartRig {
    TFormChartRig()
    {
        EnsureApplication();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 420, 320);
        Chart = new TChart(Form.get());
        Chart->SetParent(Form.get());
        Chart->SetBounds(0, 0, 400, 300);
        Chart->SetView3D(false);
        Chart->Legend()->SetVisible(false);
    }
    int PX(double X) { return Chart->BottomAxis()->CalcXPosValue(X); }
    int PY(double Y) { return Chart->LeftAxis()->CalcYPosValue(Y); }

    std::unique_ptr<TForm> Form;
    TChart* Chart = nullptr;
};
