// Waveform, breath-parameter and status frames into values in base units.
#include "analyzer/Devicevalues.h"
#include "analyzer/Serialfunctions.h"

#include <utility>

TWaveformSample TZEBBSerialProtocol::DecodeWaveformSample(const uint8_t* Frame)
{
    TWaveformSample S;
    const uint8_t L = Frame[2];
    const uint8_t S1 = Frame[3];
    const uint8_t S2 = Frame[4];
    float FlowDivisor = 100;
    if (S1 & 0x80) {
        FlowDivisor = 1000;
        S.Flags[1] = 1;
    }
    S.Flow = DecodeValue(Frame, 5, 2, FlowDivisor, S1 & 0x40);
    S.Volume = DecodeValue(Frame, 7, 4, 10, S1 & 0x20);
    S.AirwayPressure = DecodeValue(Frame, 11, 2, 10, S1 & 0x10);
    S.LowPressure = DecodeValue(Frame, 13, 2, 10, S1 & 0x08);
    S.HighPressure = DecodeValue(Frame, 15, 2, 10, S1 & 0x04);
    S.BaroPressure = DecodeValue(Frame, 17, 2, 10, S1 & 0x02);
    S.Oxygen = DecodeValue(Frame, 19, 2, 10, S1 & 0x01);
    S.SampleCounter = ReadWord(Frame, 21);
    S.Flags[0] = (S2 & 0x40) ? 1 : 0;
    if (L >= 30) {
        const uint8_t S3 = Frame[23];
        if (S3 & 0x80) {
            S.HighPressure = DecodeValue(Frame, 15, 2, 100, S1 & 0x04);
            S.Oxygen = DecodeValue(Frame, 19, 2, 100, S1 & 0x01);
            S.Flags[2] = 1;
        }
        S.RelHumidity = DecodeValue(Frame, 24, 2, 10, S3 & 0x02);
        S.Temperature = DecodeValue(Frame, 26, 2, 10, S3 & 0x01);
    } else {
        S.RelHumidity = NoValue;
        S.Temperature = NoValue;
    }
    return S;
}

TParameterStruct TZEBBSerialProtocol::DecodeParameters(const uint8_t* Frame, bool OldFirmware)
{
    TParameterStruct R;
    float V[ParameterSlotCount];
    for (int i = 0; i < ParameterSlotCount; ++i)
        V[i] = R.Slot(i);
    const uint8_t L = Frame[2];
    const uint8_t SA = Frame[3];
    const uint8_t SB = Frame[4];
    const uint8_t SC = Frame[5];
    V[2] = DecodeValue(Frame, 6, 4, 1000, SA & 0x80);
    V[1] = DecodeValue(Frame, 10, 4, 10, SA & 0x40);
    V[0] = DecodeValue(Frame, 14, 4, 10, SA & 0x20);
    V[5] = DecodeValue(Frame, 18, 2, 100, SA & 0x04);
    V[3] = DecodeValue(Frame, 20, 2, 100, SA & 0x08);
    V[4] = DecodeValue(Frame, 22, 2, 100, SA & 0x10);
    V[6] = DecodeValue(Frame, 24, 2, 10, SB & 0x80);
    V[7] = DecodeValue(Frame, 26, 2, 10, SB & 0x40);
    V[9] = DecodeValue(Frame, 28, 2, 10, SB & 0x20);
    V[8] = DecodeValue(Frame, 30, 2, 10, SB & 0x10);
    if (SC & 0x80)
        std::swap(V[0], V[1]);
    // A single tidal volume is found in both slots.
    if (V[0] == NoValue)
        V[0] = V[1];
    if (V[1] == NoValue)
        V[1] = V[0];
    const float RateDivisor = OldFirmware ? 1 : 10;
    const float TimeDivisor = OldFirmware ? 10 : 100;
    V[12] = DecodeValue(Frame, 32, 2, RateDivisor, SC & 0x80);
    V[15] = DecodeValue(Frame, 34, 2, TimeDivisor, SC & 0x40);
    V[16] = DecodeValue(Frame, 36, 2, TimeDivisor, SC & 0x20);
    V[13] = DecodeValue(Frame, 38, 2, TimeDivisor, SC & 0x10);
    V[14] = DecodeValue(Frame, 40, 2, TimeDivisor, SC & 0x08);
    V[18] = DecodeValue(Frame, 42, 2, 10, SB & 0x08);
    V[21] = DecodeValue(Frame, 44, 2, 10, SB & 0x04);
    if (L >= 52) {
        V[10] = DecodeValue(Frame, 46, 2, 10, SB & 0x02);
        V[11] = DecodeValue(Frame, 48, 2, 10, SB & 0x80);
    } else {
        V[10] = NoValue;
        V[11] = NoValue;
    }
    const float Ti = V[13];
    const float Te = V[14];
    if (Ti != 0 && Te != 0 && Ti != NoValue && Te != NoValue)
        V[17] = Ti > Te ? Ti / Te : -(Te / Ti);
    for (int i = 0; i < ParameterSlotCount; ++i)
        R.SetSlot(i, V[i]);
    return R;
}

namespace {

// The fields both status frames share.
struct TStatusFields {
    float Threshold, Ambient;
    TGasProperties Insp, Exp;
};

TStatusFields DecodeStatusFields(const uint8_t* Frame)
{
    TStatusFields F;
    F.Threshold = DecodeValue(Frame, 8, 2, 100, 0);
    F.Ambient = DecodeValue(Frame, 10, 2, 0, 0);
    F.Insp.Temperature = DecodeValue(Frame, 12, 2, 0, 0);
    F.Insp.Viscosity = DecodeValue(Frame, 14, 2, 0, 0);
    F.Insp.MolWeight = DecodeValue(Frame, 16, 2, 100, 0);
    F.Insp.RelHumidity = DecodeValue(Frame, 18, 2, 0, 0);
    F.Exp.Temperature = DecodeValue(Frame, 20, 2, 0, 0);
    F.Exp.Viscosity = DecodeValue(Frame, 22, 2, 0, 0);
    F.Exp.MolWeight = DecodeValue(Frame, 24, 2, 100, 0);
    F.Exp.RelHumidity = DecodeValue(Frame, 26, 2, 0, 0);
    return F;
}

}  // namespace

void TZEBBSerialProtocol::DecodeBenchStatus(const uint8_t* Frame)
{
    if (!FMainWindow)
        return;
    const TStatusFields F = DecodeStatusFields(Frame);
    TMainFormLink* W = FMainWindow;
    W->SetCorrectionMode(Frame[6]);
    W->SetInspGas(F.Insp);
    W->SetExpGas(F.Exp);
    W->SetAmbientTemp(F.Ambient);
    W->SetGasType(Frame[28]);
    W->SetBreathThreshold(F.Threshold);
    W->ShowBreathDetectMode(Frame[7]);
    W->ShowZeroMode(Frame[4]);
    W->ShowSerialMode(Frame[5]);
    W->ShowFlowPort(Frame[3]);
    W->StatusReceived(Frame[29]);
}

void TZEBBSerialProtocol::DecodeHandheldStatus(const uint8_t* Frame)
{
    if (!FMainWindow)
        return;
    const TStatusFields F = DecodeStatusFields(Frame);
    const TGasType Gas = DeviceGasToGasIndex(Frame[28]);
    TMainFormLink* W = FMainWindow;
    W->SetDeviceKind(dkHandheld);
    W->SetCorrectionMode(Frame[6]);
    W->SetInspGas(F.Insp);
    W->SetExpGas(F.Exp);
    W->SetAmbientTemp(F.Ambient);
    W->SetGasType(Gas);
    W->SetBreathThreshold(F.Threshold);
    W->ShowBreathDetectMode(Frame[7]);
    W->ShowSerialMode(Frame[5]);
    W->ShowZeroMode(1);
    W->ShowFlowPort(Frame[3]);
    W->StatusReceived(Frame[29]);
}
