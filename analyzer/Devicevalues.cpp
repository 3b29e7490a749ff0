#include "analyzer/Devicevalues.h"

uint16_t ReadWord(const uint8_t* Data, int Offset, bool LittleEndian)
{
    const uint8_t* P = Data + Offset;
    return LittleEndian ? static_cast<uint16_t>(P[0] | (P[1] << 8)) : static_cast<uint16_t>((P[0] << 8) | P[1]);
}

uint32_t ReadLong(const uint8_t* Data, int Offset, bool LittleEndian)
{
    const uint8_t* P = Data + Offset;
    if (LittleEndian)
        return static_cast<uint32_t>(P[0]) | (static_cast<uint32_t>(P[1]) << 8) |
               (static_cast<uint32_t>(P[2]) << 16) | (static_cast<uint32_t>(P[3]) << 24);
    return (static_cast<uint32_t>(P[0]) << 24) | (static_cast<uint32_t>(P[1]) << 16) |
           (static_cast<uint32_t>(P[2]) << 8) | static_cast<uint32_t>(P[3]);
}

float DecodeValue(const uint8_t* Data, int Offset, int Size, float Divisor, int Negative)
{
    float Value;
    if (Size == 4) {
        Value = static_cast<float>(ReadLong(Data, Offset));
        if (Value == 2147483648.0f)
            return NoValue;
    } else {
        const uint16_t W = ReadWord(Data, Offset);
        if (W == 0x7FFF)
            return NoValue;
        Value = static_cast<float>(W);
    }
    if (Negative != 0)
        Value = -Value;
    if (Divisor > 0)
        Value = Value / Divisor;
    return Value;
}

float DecodeValueLE(const uint8_t* Data, int Offset, int Size, float Divisor, bool CheckNoValue, bool Signed)
{
    float Value;
    if (Size == 4) {
        const uint32_t L = ReadLong(Data, Offset, true);
        if (CheckNoValue && L == 0x7FFFFFFFu)
            return NoValue;
        Value = Signed ? static_cast<float>(static_cast<int32_t>(L)) : static_cast<float>(L);
    } else {
        const uint16_t W = ReadWord(Data, Offset, true);
        if (CheckNoValue && W == 0x7FFF)
            return NoValue;
        Value = Signed ? static_cast<float>(static_cast<int16_t>(W)) : static_cast<float>(W);
    }
    if (Divisor > 0)
        Value = Value / Divisor;
    return Value;
}

TGasType DeviceGasToGasIndex(int Code)
{
    switch (Code) {
    case 1: return 1;  // O2
    case 2: return 2;  // Heliox
    case 3: return 7;  // CO2
    case 4: return 8;  // N2
    case 5: return 9;  // N2O
    case 6: return 3;  // N2O Bal O2
    case 7: return 4;  // He Bal O2
    case 8: return 5;  // N2 Bal O2
    case 9: return 6;  // User Defined
    default: return 0; // Air
    }
}
