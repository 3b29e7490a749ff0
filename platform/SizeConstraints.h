// The bounds of a control's size (TControl::Constraints).
#pragma once

#include "platform/Classes.h"

// Minimum and maximum width and height in pixels; 0 sets no bound, and a
// negative value counts as 0. A maximum below the minimum pulls the minimum
// down to it, a minimum above the maximum pushes the maximum up: the bounds
// never cross. OnChange runs after every change.
class TSizeConstraints : public TPersistent {
    OZ_CLASS(TSizeConstraints, TPersistent);

public:
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);

    // Width and Height brought within the bounds.
    void Constrain(int& Width, int& Height) const;

    void Assign(TPersistent* Source) override;
    static void Publish(TPublisher<TSizeConstraints>& P);   // platform/PublishedProps.cpp

    TNotifyEvent OnChange;

private:
    void Change();

    int FMaxHeight = 0;
    int FMaxWidth = 0;
    int FMinHeight = 0;
    int FMinWidth = 0;
};
