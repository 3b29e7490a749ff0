// The commands that change the analyzer's settings and probe for it.
#include "analyzer/Serialfunctions.h"

#include <cmath>

namespace {

// A 16-bit field holds -32,768..65,535 (the low 16 bits go out); anything
// else would arrive as a different number.
bool FitsWord(int64_t Value)
{
    return Value >= -32768 && Value <= 65535;
}

// trunc(X + 0.5) when that fits a 16-bit field.
bool RoundToWord(double X, int32_t& Value)
{
    const double R = std::trunc(X + 0.5);
    if (!std::isfinite(R) || R < -32768.0 || R > 65535.0)
        return false;
    Value = static_cast<int32_t>(R);
    return true;
}

}  // namespace

bool TZEBBSerialProtocol::ProbeConnection()
{
    FConnectReply = false;
    SendFrame('G', 0, nullptr);
    return FConnectReply;
}

bool TZEBBSerialProtocol::SendSerialMode(char Mode)
{
    const uint8_t Data[1] = {static_cast<uint8_t>(Mode)};
    SendFrame('M', 1, Data);
    return FAcked;
}

bool TZEBBSerialProtocol::SendFlowPort(char Port)
{
    const uint8_t Data[1] = {static_cast<uint8_t>(Port)};
    SendFrame('S', 1, Data);
    return FAcked;
}

bool TZEBBSerialProtocol::SendZero(char Code)
{
    const uint8_t Data[1] = {static_cast<uint8_t>(Code)};
    SendFrame('Z', 1, Data);
    return FAcked;
}

bool TZEBBSerialProtocol::SendBreathDetectMode(char Mode)
{
    const uint8_t Data[1] = {static_cast<uint8_t>(Mode)};
    SendFrame('B', 1, Data);
    return FAcked;
}

bool TZEBBSerialProtocol::SendBreathThreshold(int32_t Hundredths)
{
    if (!FitsWord(Hundredths))
        return false;
    const uint8_t Data[2] = {static_cast<uint8_t>(Hundredths >> 8), static_cast<uint8_t>(Hundredths)};
    SendFrame('H', 2, Data);
    return FAcked;
}

bool TZEBBSerialProtocol::SendCorrectionLetter(char Letter)
{
    const uint8_t Data[3] = {static_cast<uint8_t>(Letter), 0, 0};
    SendFrame('O', 3, Data);
    return FAcked;
}

char TZEBBSerialProtocol::CorrectionLetter(int32_t Index)
{
    switch (Index) {
    case 1: return 'B';
    case 2: return 'S';
    case 3: return 'T';
    default: return 'A';
    }
}

bool TZEBBSerialProtocol::SendCorrectionMode(int32_t Index)
{
    return SendCorrectionLetter(CorrectionLetter(Index));
}

bool TZEBBSerialProtocol::SendGasLetter(char Letter)
{
    const uint8_t Data[1] = {static_cast<uint8_t>(Letter)};
    SendFrame('Y', 1, Data);
    return FAcked;
}

char TZEBBSerialProtocol::GasTypeLetter(TGasType Gas)
{
    static const char Letters[10] = {'A', 'O', 'h', 'n', 'H', 'N', 'U', 'C', 'M', 'm'};
    return Gas >= 0 && Gas < 10 ? Letters[Gas] : 'A';
}

bool TZEBBSerialProtocol::SendGasType(TGasType Gas)
{
    return SendGasLetter(GasTypeLetter(Gas));
}

namespace {

// A gas property frame: the channel and a 16-bit value; refused before
// anything is sent when the value does not fit.
bool SendChannelWord(TZEBBSerialProtocol& Protocol, uint8_t Type, uint8_t Channel, int32_t Value)
{
    if (!FitsWord(Value))
        return false;
    const uint8_t Data[3] = {Channel, static_cast<uint8_t>(Value >> 8), static_cast<uint8_t>(Value)};
    Protocol.SendFrame(Type, 3, Data);
    return Protocol.Acked();
}

}  // namespace

bool TZEBBSerialProtocol::SendGasTemperature(uint8_t Channel, int32_t Kelvin)
{
    return SendChannelWord(*this, 'T', Channel, Kelvin);
}

bool TZEBBSerialProtocol::SendGasHumidity(uint8_t Channel, int32_t Percent)
{
    return SendChannelWord(*this, 'U', Channel, Percent);
}

bool TZEBBSerialProtocol::SendGasViscosity(uint8_t Channel, int32_t Viscosity)
{
    return SendChannelWord(*this, 'V', Channel, Viscosity);
}

bool TZEBBSerialProtocol::SendGasMolWeight(uint8_t Channel, int32_t Hundredths)
{
    return SendChannelWord(*this, 'D', Channel, Hundredths);
}

bool TZEBBSerialProtocol::SendGasProperties(uint8_t Channel, double Temperature, double RelHumidity,
                                            double Viscosity, double MolWeight)
{
    int32_t Value = 0;
    if (!RoundToWord(Temperature, Value) || !SendGasTemperature(Channel, Value))
        return false;
    if (!RoundToWord(RelHumidity, Value) || !SendGasHumidity(Channel, Value))
        return false;
    if (!RoundToWord(Viscosity, Value) || !SendGasViscosity(Channel, Value))
        return false;
    return RoundToWord(MolWeight * 100.0, Value) && SendGasMolWeight(Channel, Value);
}

bool TZEBBSerialProtocol::SendCalibration(char Code, int32_t Value)
{
    if (Code == 'F' || Code == 'B') {
        if (!FitsWord(Value))
            return false;
        const uint8_t Data[3] = {static_cast<uint8_t>(Code), static_cast<uint8_t>(Value >> 8),
                                 static_cast<uint8_t>(Value)};
        SendFrame('C', 3, Data);
    } else {
        const uint8_t Data[1] = {static_cast<uint8_t>(Code)};
        SendFrame('C', 1, Data);
    }
    return FAcked;
}
