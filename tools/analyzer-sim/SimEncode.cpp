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
    // 12 breaths a minute at 100 samples a second: 500 samples a breath,
    // inspiration the first third.
    const int Phase = Counter % 500;
    const double Pi = 3.14159265358979;
    SimSample S;
    if (Phase < 167) {
        S.Flow = 40 * std::sin(Pi * Phase / 167.0);
        S.AirwayPressure = 5 + 15 * std::sin(Pi * Phase / 334.0);
    } else {
        S.Flow = -30 * std::sin(Pi * (Phase - 167) / 333.0);
        S.AirwayPressure = 5 + 15 * std::exp(-(Phase - 167) / 40.0);
    }
    S.Volume = 250 * (1 - std::cos(2 * Pi * Phase / 500.0));
    S.LowPressure = S.AirwayPressure;
    S.HighPressure = 14.7;
    S.Breath = Phase == 0;
    return S;
}

}  // namespace sim
