// Small helpers shared by the chart tests: reading a bitmap's pixels, a
// chart that counts what it is told, and a chart on a form.
#pragma once

#include "chart/Chart.h"
#include "chart/ChProcs.h"
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
    // The chart rectangle a layout would have given.
    void LayOut(const TRect& R)
    {
        FChartRect = R;
        ReCalcWidthHeight();
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

// A panel with a coloured background, a framed box, a diagonal line and
// (unless asked not to) a text, so that fills, pens and fonts all show.
class TPicturePanel : public TCustomChPanelExtended {
public:
    explicit TPicturePanel(bool WithText = true)
        : TCustomChPanelExtended(nullptr), Box(this), FWithText(WithText)
    {
        SetColor(RGB(230, 240, 255));
        Box.SetColor(clYellow);
        Box.Pen()->SetColor(clNavy);
        Box.Pen()->SetWidth(2);
    }
    void InternalDraw(const TRect& R) override
    {
        PanelPaint(R);
        Box.ShapeBounds = {ChartRect.Left + 20, ChartRect.Top + 20, ChartRect.Left + 80, ChartRect.Top + 60};
        Box.Draw();
        TCanvas3D* C = ChartCanvas();
        C->Pen->SetColor(clRed);
        C->Pen->SetWidth(1);
        C->Line(ChartRect.Left, ChartRect.Bottom - 1, ChartRect.Right - 1, ChartRect.Top);
        if (!FWithText)
            return;
        C->Brush->SetStyle(bsClear);
        C->Font->SetName("Arial");
        C->Font->SetSize(10);
        C->TextOut(ChartRect.Left + 100, ChartRect.Top + 30, "Flow");
    }
    TChShape Box;

private:
    bool FWithText;
};
