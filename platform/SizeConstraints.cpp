#include "platform/SizeConstraints.h"

#include <algorithm>

namespace {

// Value within Min and Max; a Max of 0 bounds nothing.
int Bounded(int Value, int Min, int Max)
{
    if (Max > 0)
        Value = std::min(Value, Max);
    return std::max(Value, Min);
}

}  // namespace

void TSizeConstraints::SetMaxHeight(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FMaxHeight)
        return;
    FMaxHeight = Value;
    if (Value > 0 && Value < FMinHeight)
        FMinHeight = Value;
    Change();
}

void TSizeConstraints::SetMaxWidth(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FMaxWidth)
        return;
    FMaxWidth = Value;
    if (Value > 0 && Value < FMinWidth)
        FMinWidth = Value;
    Change();
}

void TSizeConstraints::SetMinHeight(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FMinHeight)
        return;
    FMinHeight = Value;
    if (FMaxHeight > 0 && Value > FMaxHeight)
        FMaxHeight = Value;
    Change();
}

void TSizeConstraints::SetMinWidth(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FMinWidth)
        return;
    FMinWidth = Value;
    if (FMaxWidth > 0 && Value > FMaxWidth)
        FMaxWidth = Value;
    Change();
}

void TSizeConstraints::Constrain(int& Width, int& Height) const
{
    Width = Bounded(Width, FMinWidth, FMaxWidth);
    Height = Bounded(Height, FMinHeight, FMaxHeight);
}

void TSizeConstraints::Assign(TPersistent* Source)
{
    if (auto* C = dynamic_cast<TSizeConstraints*>(Source)) {
        if (C == this)
            return;
        FMaxHeight = C->FMaxHeight;
        FMaxWidth = C->FMaxWidth;
        FMinHeight = C->FMinHeight;
        FMinWidth = C->FMinWidth;
        Change();
        return;
    }
    TPersistent::Assign(Source);
}

void TSizeConstraints::Change()
{
    if (OnChange)
        OnChange(this);
}
