// Encoding of the analyzer's stream and status frames and of the handheld
// unit's saved records.
#pragma once

#include "tools/analyzer-sim/SimDevice.h"
#include "tools/analyzer-sim/SimFrame.h"

namespace sim {

// Sign-and-magnitude value: magnitude round(|Value| * Divisor), Negative set
// for values below zero. kAbsent gives the "no value" magnitude.
struct Magnitude {
    uint32_t Value = 0;
    bool Negative = false;
};
Magnitude Encode16(double Value, double Divisor);
Magnitude Encode32(double Value, double Divisor);

void PutWord(Bytes& B, uint16_t Value);  // big-endian
void PutLong(Bytes& B, uint32_t Value);  // big-endian

// Payloads (frame bytes 3 .. L-3).
Bytes WaveformPayload(const SimSample& S, uint16_t Counter, bool Extended);
Bytes ParametersPayload(const SimParameters& P, bool Extended, bool OldFirmware);
Bytes StatusPayload(const SimStatus& S, char SerialMode);

// A breathing pattern for when no waveform script is set: 12 breaths a
// minute at the analyzer's 50 samples a second, 250 samples a breath.
SimSample SyntheticSample(uint16_t Counter);

// ------------------------------------------------------ handheld records
//
// The image of a saved record, 16,000 bytes, every number little-endian;
// "with mark" values store kAbsent as 0x7FFF (16 bits) or 0x7FFFFFFF
// (32 bits), all others are two's complement unless said otherwise:
//   0       header flag            1..3  header bytes      4  header flag
//   5       pressure mode (3: the stored pressure is low pressure)
//   10      name length n, 11..: n name bytes (at most 29)
//   40..42  hour, minute, second; 43..45 day, month, year - 2000
//   75      16 bits unsigned with mark, tenths; 77 16 bits with mark, tenths
//   100..   statistics blocks of 34 bytes (table in SimEncode.cpp): 32-bit minimum at
//           +0, maximum at +4, mean at +8, last value at +24, with mark
//   754..791 the last breath (table in SimEncode.cpp)
//   990     sample count, 16 bits unsigned; 992 a further count
//   1000 + 10 k  sample k < 1,500: flow 16 bits /100, volume 32 bits /10 at
//           +2, pressure 16 bits /10 at +6, high pressure 16 bits /100 at +8
constexpr size_t kHandheldImageSize = 16000;
constexpr size_t kHandheldSampleRoom = 1500;
constexpr size_t kHandheldSamplesAt = 1000;
constexpr size_t kHandheldSampleSize = 10;

Bytes HandheldImage(const SimHandheldRecord& R);
// The record as the handheld's directory lists it, with its image.
SimFile HandheldFile(const SimHandheldRecord& R);

// Little-endian values at a fixed place of an image.
void SetWordLE(Bytes& B, size_t Offset, uint16_t Value);
void SetLongLE(Bytes& B, size_t Offset, uint32_t Value);
// A value with the "no value" mark: round(Value * Divisor) as 16 or 32 bits
// (two's complement, or unsigned when Signed is false), the mark for
// kAbsent; values out of range are held at the largest or smallest number
// that is not the mark.
uint16_t HandheldWord(double Value, double Divisor, bool Signed = true);
uint32_t HandheldLong(double Value, double Divisor);

}  // namespace sim
