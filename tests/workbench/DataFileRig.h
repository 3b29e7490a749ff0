// Hand-made data files: frames as the analyzer sends them, wrapped in
// records, written record after record.
#pragma once

#include "workbench/Filefunctions.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

namespace datafile {

// A waveform frame as the analyzer sends it (L 30), whose sample counter
// and flow tell it apart.
inline Bytes Wave(uint16_t Counter, int16_t FlowHundredths = 0)
{
    Bytes F(30, 0);
    F[0] = ':';
    F[1] = '?';
    F[2] = 30;
    const bool Negative = FlowHundredths < 0;
    const uint16_t Flow = static_cast<uint16_t>(Negative ? -FlowHundredths : FlowHundredths);
    F[3] = Negative ? 0x40 : 0;
    F[5] = static_cast<uint8_t>(Flow >> 8);
    F[6] = static_cast<uint8_t>(Flow);
    F[21] = static_cast<uint8_t>(Counter >> 8);
    F[22] = static_cast<uint8_t>(Counter);
    F[29] = 0x0D;
    return F;
}

inline TDataFileRecord WaveRecord(uint16_t Counter, int16_t FlowHundredths = 0)
{
    const Bytes F = Wave(Counter, FlowHundredths);
    return MakeDataRecord(drtWaveform, static_cast<uint8_t>(F.size()), F.data(), 0);
}

// A parameter frame (L 52) with the inspiratory and expiratory times in
// hundredths of a second and a breath rate in tenths.
inline TDataFileRecord ParamRecord(uint8_t Type, uint16_t Ti, uint16_t Te, uint16_t Rate = 0)
{
    Bytes F(52, 0);
    F[0] = ':';
    F[1] = 'P';
    F[2] = 52;
    auto Put = [&F](int At, uint16_t V) {
        F[static_cast<size_t>(At)] = static_cast<uint8_t>(V >> 8);
        F[static_cast<size_t>(At) + 1] = static_cast<uint8_t>(V);
    };
    Put(32, Rate);
    Put(38, Ti);
    Put(40, Te);
    F[51] = 0x0D;
    return MakeDataRecord(Type, static_cast<uint8_t>(F.size()), F.data(), 0);
}

// A status frame; byte 6 is the correction mode.
inline TDataFileRecord StatusRecord(uint8_t Type, uint8_t Correction)
{
    Bytes F(31, 0);
    F[0] = ':';
    F[1] = Type == drtHandheldStatus ? 0xF2 : 'S';
    F[2] = 31;
    F[6] = Correction;
    F[30] = 0x0D;
    return MakeDataRecord(Type, static_cast<uint8_t>(F.size()), F.data(), 0);
}

inline void WriteRecords(const std::string& Name, const std::vector<TDataFileRecord>& Records, size_t ExtraBytes = 0)
{
    std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
    for (const TDataFileRecord& R : Records) {
        uint8_t B[TDataFileRecord::Size];
        R.ToBytes(B);
        Out.write(reinterpret_cast<const char*>(B), sizeof B);
    }
    const std::string Tail(ExtraBytes, 'W');
    Out.write(Tail.data(), static_cast<std::streamsize>(Tail.size()));
}

}  // namespace datafile
