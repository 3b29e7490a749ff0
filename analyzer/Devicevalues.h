// The analyzer's number formats: big-endian words and longs, the
// sign-and-magnitude values of its frames, the little-endian values of the
// handheld's stored records, and the handheld's gas codes.
#pragma once

#include "analyzer/Types.h"

#include <cstdint>

uint16_t ReadWord(const uint8_t* Data, int Offset, bool LittleEndian = false);
uint32_t ReadLong(const uint8_t* Data, int Offset, bool LittleEndian = false);

// Size 4: a 32-bit magnitude, else 16 bits; 0x7FFF or 0x80000000 give
// NoValue. Negated when Negative is non-zero, divided when Divisor > 0.
float DecodeValue(const uint8_t* Data, int Offset, int Size, float Divisor, int Negative);
// Size 4: 32 bits, else 16, little-endian. With CheckNoValue 0x7FFFFFFF or
// 0x7FFF give NoValue; Signed reads two's complement.
float DecodeValueLE(const uint8_t* Data, int Offset, int Size, float Divisor, bool CheckNoValue, bool Signed);

// The handheld's gas code as a TGasType index (Air for unknown codes).
TGasType DeviceGasToGasIndex(int Code);
