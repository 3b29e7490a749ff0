// What the monitor and loop plots share: adding one point to the series
// that receives them, or a gap where a value is absent.
#pragma once

#include "platform/Graphics.h"

class TFastLineSeries;

// Gap false: a point at (X, Y) in Colour; the first point after a gap
// first moves the pen there, so the trace resumes without a line from the
// gap. Gap true: the pen moves to (X, Y) without drawing (the caller passes
// the last good point, so no axis or report meets NoValue). InGap is the
// plot's own flag, kept from one call to the next.
void AddPointOrGap(TFastLineSeries& Series, double X, double Y, bool Gap, TColor Colour, bool& InGap);
