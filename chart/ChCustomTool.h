// The base of the chart tools: told of the chart's drawing steps and of
// the mouse.
#pragma once

#include "chart/ChElement.h"
#include "platform/Controls.h"

#include <string>

enum TChartToolEvent {
    cteAfterDraw, cteBeforeDrawSeries, cteBeforeDraw, cteBeforeDrawAxes, cteAfterDrawSeries, cteMouseLeave
};
enum TChartMouseEvent { cmeDown, cmeMove, cmeUp };

class TChCustomTool : public TCustomChartElement {
    OZ_CLASS(TChCustomTool, TCustomChartElement);

public:
    explicit TChCustomTool(TComponent* AOwner) : TCustomChartElement(AOwner) {}
    ~TChCustomTool() override;
    void SetParentChart(TCustomAxisPanel* Value) override;
    virtual void ChartEvent(TChartToolEvent Event) {}
    virtual void ChartMouseEvent(TChartMouseEvent Event, TMouseButton Button, TShiftState Shift, int X, int Y) {}
    virtual std::string Description() { return {}; }
};
