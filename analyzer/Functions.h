// Small pure functions several parts of the program share: water-vapour
// pressure, time-of-day conversions, the minimum span of a plot axis, percent
// differences and the firmware version number.
#pragma once

#include "platform/SysUtils.h"

#include <string>

// Saturation vapour pressure of water in mmHg at a temperature in deg C.
float SaturationPressureH2O(float Temperature);
// Partial pressure of water vapour in mmHg at RelHumidity % and deg C.
float WaterVapourPressure(float RelHumidity, float Temperature);

// Seconds since midnight of the time of day of T, milliseconds included.
// A negative T (a difference taken the wrong way round) counts by its
// absolute value.
float TimeOfDaySeconds(TDateTime T);
// Reads "h:m:s" (three decimal numbers, any one character between them) as a
// time of day. False, with Result untouched, when the text does not hold
// three numbers or the time does not exist (hours above 23, minutes or
// seconds above 59).
bool ParseTime(const std::string& Text, TDateTime& Result);
// The time of day of T as "h:nn:ss".
std::string FormatTime(TDateTime T);

// Widens Lower..Upper about its centre to Span when Span > 0 and the pair is
// narrower than that.
void EnsureMinSpan(float& Lower, float& Upper, float Span);

// (Value - Reference) * 100 / Reference; NoValue when either is NoValue or
// Reference is 0.
float PercentDifference(float Reference, float Value);
// The percent difference in the FormatFloat pattern Fmt, "%" appended when
// WithPercent is set; "-----" when there is none.
std::string FormatPercentDifference(float Reference, float Value, const std::string& Fmt,
                                    bool WithPercent);

// "a.b.c" (any one character between the numbers) as a * 10000 + b * 100 + c;
// 0 for a text that does not hold three numbers.
int VersionNumber(const std::string& Text);
