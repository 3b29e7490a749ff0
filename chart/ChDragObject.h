// Dragging a part of a chart (a legend item, a series point, an axis, ...):
// the drag carries the clicked part and shows the library's hand cursor
// over a target that accepts it.
#pragma once

#include "chart/ChAxisPanel.h"
#include "platform/Controls.h"

class TChDragObject : public TDragObject {
public:
    explicit TChDragObject(const TChartClickedPart& APart) : FPart(APart) {}
    const TChartClickedPart& Part() const { return FPart; }
    // crChartHand over a target that accepts the drop, else crNoDrop.
    TCursor GetDragCursor(bool Accepted, int X, int Y) override { return Accepted ? crChartHand : crNoDrop; }
    // Nothing happens at the end of the drag.
    void Finished(TObject* Target, int X, int Y, bool Accepted) override {}

private:
    TChartClickedPart FPart;
};
