// Encoding of the analyzer's stream and status frames.
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

// A breathing pattern for when no waveform script is set.
SimSample SyntheticSample(uint16_t Counter);

}  // namespace sim
