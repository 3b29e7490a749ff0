#pragma once

#include "chart/ChCanvas.h"

#include <utility>

// The grid pen of an axis: dotted grey, on the ticks or between them, and
// drawn at its own depth in 3-D.
class TAxisGridPen : public TDottedGrayPen {
public:
    explicit TAxisGridPen(TNotifyEvent OnChange = nullptr) : TDottedGrayPen(std::move(OnChange)) {}
    void Assign(TPersistent* Source) override;
    double ZPosition() const { return FZPosition; }
    void SetZ(double Value);
    bool Centered() const { return FCentered; }
    void SetCentered(bool Value);
    double UnstoredZ = 0;
    bool IsZStored() const { return FZPosition != UnstoredZ; }

private:
    double FZPosition = 0;
    bool FCentered = false;
};
