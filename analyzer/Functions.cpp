#include "analyzer/Functions.h"

#include "analyzer/Types.h"
#include "analyzer/Units.h"

#include <cmath>
#include <cstdint>

float SaturationPressureH2O(float Temperature)
{
    const double T = Temperature;
    return static_cast<float>(0.03041 * T * T + 5.931);
}

float WaterVapourPressure(float RelHumidity, float Temperature)
{
    return static_cast<float>(static_cast<double>(SaturationPressureH2O(Temperature)) * RelHumidity * 0.01);
}

float TimeOfDaySeconds(TDateTime T)
{
    uint16_t Hour = 0;
    uint16_t Min = 0;
    uint16_t Sec = 0;
    uint16_t MSec = 0;
    DecodeTime(std::fabs(T), Hour, Min, Sec, MSec);
    return static_cast<float>(((Hour * 60 + Min) * 60 + Sec) + MSec * 0.001);
}

namespace {

// Reads three unsigned decimal numbers separated by exactly one character
// each, with nothing but blanks around them. Numbers above 999999999 are
// refused so nothing overflows.
bool ReadThreeNumbers(const std::string& Text, int64_t (&Numbers)[3])
{
    const std::string S = Trim(Text);
    size_t Pos = 0;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (Pos >= S.size())
                return false;
            ++Pos;   // the separator, whatever it is
        }
        const size_t Start = Pos;
        int64_t Value = 0;
        while (Pos < S.size() && S[Pos] >= '0' && S[Pos] <= '9') {
            if (Pos - Start >= 9)
                return false;
            Value = Value * 10 + (S[Pos] - '0');
            ++Pos;
        }
        if (Pos == Start)
            return false;
        Numbers[i] = Value;
    }
    return Pos == S.size();
}

}   // namespace

bool ParseTime(const std::string& Text, TDateTime& Result)
{
    int64_t Numbers[3] = {0, 0, 0};
    if (!ReadThreeNumbers(Text, Numbers))
        return false;
    if (Numbers[0] > 23 || Numbers[1] > 59 || Numbers[2] > 59)
        return false;
    return TryEncodeTime(static_cast<uint16_t>(Numbers[0]), static_cast<uint16_t>(Numbers[1]),
                         static_cast<uint16_t>(Numbers[2]), 0, Result);
}

std::string FormatTime(TDateTime T)
{
    return FormatDateTime("h:nn:ss", T);
}

void EnsureMinSpan(float& Lower, float& Upper, float Span)
{
    if (Span > 0 && Upper - Lower < Span) {
        const float Centre = (Upper + Lower) * 0.5f;
        const float Half = Span * 0.5f;
        Lower = Centre - Half;
        Upper = Centre + Half;
    }
}

float PercentDifference(float Reference, float Value)
{
    if (Reference == NoValue || Value == NoValue || Reference == 0)
        return NoValue;
    const float Difference = Value - Reference;
    const float Hundredfold = Difference * 100.0f;
    return Hundredfold / Reference;
}

std::string FormatPercentDifference(float Reference, float Value, const std::string& Fmt,
                                    bool WithPercent)
{
    const float Difference = PercentDifference(Reference, Value);
    if (Difference == NoValue)
        return NoValueText;
    std::string Text = FormatFloat(Fmt, Difference);
    if (WithPercent)
        Text += "%";
    return Text;
}

int VersionNumber(const std::string& Text)
{
    int64_t Numbers[3] = {0, 0, 0};
    if (!ReadThreeNumbers(Text, Numbers))
        return 0;
    const int64_t Number = Numbers[0] * 10000 + Numbers[1] * 100 + Numbers[2];
    return Number > INT32_MAX ? 0 : static_cast<int>(Number);
}
