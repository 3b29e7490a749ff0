#include "tools/analyzer-sim/SimEncode.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

Magnitude EncodeWith(double Value, double Divisor, uint32_t NoValue, uint32_t Largest)
{
    Magnitude M;
    if (std::isnan(Value)) {
        M.Value = NoValue;
        return M;
    }
    M.Negative = Value < 0;
    double Scaled = std::round(std::fabs(Value) * (Divisor > 0 ? Divisor : 1.0));
    M.Value = static_cast<uint32_t>(std::min(Scaled, static_cast<double>(Largest)));
    return M;
}

}  // namespace

Magnitude Encode16(double Value, double Divisor)
{
    return EncodeWith(Value, Divisor, 0x7FFF, 0x7FFE);
}

Magnitude Encode32(double Value, double Divisor)
{
    return EncodeWith(Value, Divisor, 0x80000000u, 0x7FFFFFFFu);
}

void PutWord(Bytes& B, uint16_t Value)
{
    B.push_back(static_cast<uint8_t>(Value >> 8));
    B.push_back(static_cast<uint8_t>(Value));
}

void PutLong(Bytes& B, uint32_t Value)
{
    PutWord(B, static_cast<uint16_t>(Value >> 16));
    PutWord(B, static_cast<uint16_t>(Value));
}

namespace {

// Appends a 16-bit magnitude and sets Bit in Status when it is negative.
void Put16(Bytes& B, double Value, double Divisor, uint8_t& Status, uint8_t Bit)
{
    Magnitude M = Encode16(Value, Divisor);
    PutWord(B, static_cast<uint16_t>(M.Value));
    if (M.Negative)
        Status |= Bit;
}

void Put32(Bytes& B, double Value, double Divisor, uint8_t& Status, uint8_t Bit)
{
    Magnitude M = Encode32(Value, Divisor);
    PutLong(B, M.Value);
    if (M.Negative)
        Status |= Bit;
}

}  // namespace

Bytes WaveformPayload(const SimSample& S, uint16_t Counter, bool Extended)
{
    uint8_t S1 = 0, S2 = 0, S3 = 0;
    Bytes B(2);  // S1 and S2 are filled in at the end
    if (S.FlowHighRes)
        S1 |= 0x80;
    if (S.Breath)
        S2 |= 0x40;
    const bool HighRes = Extended && S.HighRes;
    if (HighRes)
        S3 |= 0x80;
    Put16(B, S.Flow, S.FlowHighRes ? 1000 : 100, S1, 0x40);
    Put32(B, S.Volume, 10, S1, 0x20);
    Put16(B, S.AirwayPressure, 10, S1, 0x10);
    Put16(B, S.LowPressure, 10, S1, 0x08);
    Put16(B, S.HighPressure, HighRes ? 100 : 10, S1, 0x04);
    Put16(B, S.BaroPressure, 10, S1, 0x02);
    Put16(B, S.Oxygen, HighRes ? 100 : 10, S1, 0x01);
    PutWord(B, Counter);
    if (Extended) {
        B.push_back(0);  // S3
        Put16(B, S.RelHumidity, 10, S3, 0x02);
        Put16(B, S.Temperature, 10, S3, 0x01);
        B[20] = S3;
    }
    B[0] = S1;
    B[1] = S2;
    return B;
}

Bytes ParametersPayload(const SimParameters& P, bool Extended, bool OldFirmware)
{
    uint8_t SA = 0, SB = 0, SC = 0;
    Bytes B(3);
    Put32(B, P.MinuteVolume, 1000, SA, 0x80);
    Put32(B, P.TidalVolumeA, 10, SA, 0x40);
    Put32(B, P.TidalVolumeB, 10, SA, 0x20);
    Put16(B, P.BaseFlow, 100, SA, 0x04);
    Put16(B, P.PeakInspFlow, 100, SA, 0x08);
    Put16(B, P.PeakExpFlow, 100, SA, 0x10);
    Put16(B, P.PIP, 10, SB, 0x80);
    Put16(B, P.PEEP, 10, SB, 0x40);
    Put16(B, P.PausePressure, 10, SB, 0x20);
    Put16(B, P.MeanAirway, 10, SB, 0x10);
    const double RateDiv = OldFirmware ? 1 : 10;
    const double TimeDiv = OldFirmware ? 10 : 100;
    Put16(B, P.Rate, RateDiv, SC, 0x80);
    Put16(B, P.InspHold, TimeDiv, SC, 0x40);
    Put16(B, P.ExpHold, TimeDiv, SC, 0x20);
    Put16(B, P.InspTime, TimeDiv, SC, 0x10);
    Put16(B, P.ExpTime, TimeDiv, SC, 0x08);
    Put16(B, P.Compliance, 10, SB, 0x08);
    Put16(B, P.Oxygen, 10, SB, 0x04);
    if (Extended) {
        Put16(B, P.MinAirway, 10, SB, 0x02);
        Put16(B, P.Assist, 10, SB, 0x80);
    }
    if (P.SwapTidal)
        SC |= 0x80;
    B[0] = SA;
    B[1] = SB;
    B[2] = SC;
    return B;
}

Bytes StatusPayload(const SimStatus& S, char SerialMode)
{
    uint8_t Unused = 0;
    Bytes B;
    B.push_back(S.FlowPort);
    B.push_back(S.ZeroMode);
    B.push_back(static_cast<uint8_t>(SerialMode >= '0' && SerialMode <= '3' ? SerialMode - '0' : 0));
    B.push_back(S.Correction);
    B.push_back(S.BreathDetect);
    Put16(B, S.BreathThreshold, 100, Unused, 0);
    Put16(B, S.AmbientTemp, 1, Unused, 0);
    for (const SimGas* G : {&S.InspGas, &S.ExpGas}) {
        Put16(B, G->Temperature, 1, Unused, 0);
        Put16(B, G->Viscosity, 1, Unused, 0);
        Put16(B, G->MolWeight, 100, Unused, 0);
        Put16(B, G->RelHumidity, 1, Unused, 0);
    }
    B.push_back(S.GasType);
    B.push_back(S.Extra);
    return B;
}

SimSample SyntheticSample(uint16_t Counter)
{
    // Inspiration the first third of each 250-sample breath. The counter
    // wraps at 65,536, which is no multiple of 250: the breath that spans
    // the wrap is cut short, as a real pattern would not be whole either.
    const int Phase = Counter % 250;
    const double Pi = 3.14159265358979;
    SimSample S;
    if (Phase < 83) {
        S.Flow = 40 * std::sin(Pi * Phase / 83.0);
        S.AirwayPressure = 5 + 15 * std::sin(Pi * Phase / 166.0);
    } else {
        S.Flow = -30 * std::sin(Pi * (Phase - 83) / 167.0);
        S.AirwayPressure = 5 + 15 * std::exp(-(Phase - 83) / 20.0);
    }
    S.Volume = 250 * (1 - std::cos(2 * Pi * Phase / 250.0));
    S.LowPressure = S.AirwayPressure;
    S.HighPressure = 14.7;
    S.Breath = Phase == 0;
    return S;
}

}  // namespace sim

// ------------------------------------------------------ handheld records

namespace sim {

namespace {

constexpr size_t kNameLengthAt = 10;
constexpr size_t kNameAt = 11;
constexpr size_t kNameRoom = 29;  // up to the time at 40
constexpr size_t kTimeAt = 40;
constexpr size_t kSampleCountAt = 990;
constexpr size_t kAuxCountAt = 992;

// Where each statistics block is stored and its divisor.
struct StatsPlace {
    size_t Offset;
    double Divisor;
    SimHandheldStats SimHandheldRecord::*Stats;
};
constexpr StatsPlace kStatsBlocks[] = {
    {100, 100, &SimHandheldRecord::Flow},
    {134, 10, &SimHandheldRecord::Pressure},
    {168, 100, &SimHandheldRecord::HighPressure},
    {202, 10, &SimHandheldRecord::Volume},
    {236, 10, &SimHandheldRecord::Temperature},
    {270, 10, &SimHandheldRecord::RelHumidity},
    {304, 100, &SimHandheldRecord::Oxygen},
    {350, 10, &SimHandheldRecord::TidalVolume},
    {384, 1000, &SimHandheldRecord::MinuteVolume},
    {418, 100, &SimHandheldRecord::PeakInspFlow},
    {452, 100, &SimHandheldRecord::PeakExpFlow},
    {486, 10, &SimHandheldRecord::PIP},
    {520, 10, &SimHandheldRecord::PEEP},
    {554, 10, &SimHandheldRecord::MeanAirway},
    {588, 10, &SimHandheldRecord::PausePressure},
    {622, 10, &SimHandheldRecord::Rate},
    {656, 100, &SimHandheldRecord::InspTime},
    {690, 100, &SimHandheldRecord::ExpTime},
};

// Where each value of the last breath is stored, its width and divisor.
struct BreathPlace {
    size_t Offset;
    int Width;
    double Divisor;
    double SimHandheldRecord::Breath::*Value;
};
using Br = SimHandheldRecord::Breath;
constexpr BreathPlace kLastBreath[] = {
    {754, 2, 10, &Br::Rate},           {756, 2, 100, &Br::InspTime},         {758, 2, 100, &Br::ExpTime},
    {760, 2, 100, &Br::InspHold},      {762, 2, 100, &Br::ExpHold},          {764, 4, 1000, &Br::MinuteVolume},
    {768, 4, 10, &Br::TidalVolumeInsp}, {772, 4, 10, &Br::TidalVolumeExp}, {776, 2, 100, &Br::PeakInspFlow},
    {778, 2, 100, &Br::PeakExpFlow},   {782, 2, 10, &Br::MeanAirway},        {784, 2, 10, &Br::PIP},
    {788, 2, 10, &Br::PEEP},           {790, 2, 10, &Br::PausePressure},
};

}  // namespace

void SetWordLE(Bytes& B, size_t Offset, uint16_t Value)
{
    B.at(Offset) = static_cast<uint8_t>(Value);
    B.at(Offset + 1) = static_cast<uint8_t>(Value >> 8);
}

void SetLongLE(Bytes& B, size_t Offset, uint32_t Value)
{
    SetWordLE(B, Offset, static_cast<uint16_t>(Value));
    SetWordLE(B, Offset + 2, static_cast<uint16_t>(Value >> 16));
}

uint16_t HandheldWord(double Value, double Divisor, bool Signed)
{
    if (std::isnan(Value))
        return 0x7FFF;
    const double Low = Signed ? -32768.0 : 0.0;
    const double High = Signed ? 32766.0 : 65535.0;
    const double Scaled = std::clamp(std::round(Value * Divisor), Low, High);
    uint16_t W = static_cast<uint16_t>(static_cast<int32_t>(Scaled));
    if (W == 0x7FFF)
        W = 0x7FFE;  // only an unsigned value can land on the mark
    return W;
}

uint32_t HandheldLong(double Value, double Divisor)
{
    if (std::isnan(Value))
        return 0x7FFFFFFFu;
    const double Scaled = std::clamp(std::round(Value * Divisor), -2147483648.0, 2147483646.0);
    return static_cast<uint32_t>(static_cast<int64_t>(Scaled));
}

Bytes HandheldImage(const SimHandheldRecord& R)
{
    Bytes B(kHandheldImageSize, 0);
    std::copy(std::begin(R.HeaderFlags), std::end(R.HeaderFlags), B.begin());
    B[5] = R.PressureMode;
    const size_t N = std::min(R.Name.size(), kNameRoom);
    B[kNameLengthAt] = static_cast<uint8_t>(N);
    std::copy_n(R.Name.begin(), N, B.begin() + kNameAt);
    const uint8_t When[6] = {R.Hour, R.Minute, R.Second, R.Day, R.Month, R.Year};
    std::copy(std::begin(When), std::end(When), B.begin() + kTimeAt);
    SetWordLE(B, 75, HandheldWord(R.AuxValue1, 10, false));
    SetWordLE(B, 77, HandheldWord(R.AuxValue2, 10));
    for (const StatsPlace& P : kStatsBlocks) {
        const SimHandheldStats& S = R.*P.Stats;
        SetLongLE(B, P.Offset, HandheldLong(S.Min, P.Divisor));
        SetLongLE(B, P.Offset + 4, HandheldLong(S.Max, P.Divisor));
        SetLongLE(B, P.Offset + 8, HandheldLong(S.Mean, P.Divisor));
        SetLongLE(B, P.Offset + 24, HandheldLong(S.Last, P.Divisor));
    }
    for (const BreathPlace& P : kLastBreath) {
        const double V = R.LastBreath.*P.Value;
        if (P.Width == 4)
            SetLongLE(B, P.Offset, HandheldLong(V, P.Divisor));
        else
            SetWordLE(B, P.Offset, HandheldWord(V, P.Divisor));
    }
    const size_t Stored = std::min(R.Samples.size(), kHandheldSampleRoom);
    const int Count = R.SampleCount >= 0 ? R.SampleCount : static_cast<int>(R.Samples.size());
    SetWordLE(B, kSampleCountAt, static_cast<uint16_t>(std::clamp(Count, 0, 0xFFFF)));
    SetWordLE(B, kAuxCountAt, R.AuxCount);
    for (size_t k = 0; k < Stored; ++k) {
        const SimHandheldSample& S = R.Samples[k];
        const size_t At = kHandheldSamplesAt + kHandheldSampleSize * k;
        SetWordLE(B, At, HandheldWord(S.Flow, 100));
        SetLongLE(B, At + 2, HandheldLong(S.Volume, 10));
        SetWordLE(B, At + 6, HandheldWord(S.Pressure, 10));
        SetWordLE(B, At + 8, HandheldWord(S.HighPressure, 100));
    }
    return B;
}

SimFile HandheldFile(const SimHandheldRecord& R)
{
    SimFile F;
    F.Name = R.Name;
    F.Hour = R.Hour;
    F.Minute = R.Minute;
    F.Second = R.Second;
    F.Day = R.Day;
    F.Month = R.Month;
    F.Year = R.Year;
    F.Data = HandheldImage(R);
    return F;
}

}  // namespace sim
