// Little-endian 32-bit integers in the report library's stored layouts
// (page files, outlines).
#pragma once

#include <cstdint>

inline void RpPutI32(uint8_t* P, int32_t Value)
{
    const uint32_t V = static_cast<uint32_t>(Value);
    for (int K = 0; K < 4; ++K)
        P[K] = static_cast<uint8_t>(V >> (8 * K));
}

inline int32_t RpGetI32(const uint8_t* P)
{
    return static_cast<int32_t>(static_cast<uint32_t>(P[0]) | static_cast<uint32_t>(P[1]) << 8 |
                                static_cast<uint32_t>(P[2]) << 16 | static_cast<uint32_t>(P[3]) << 24);
}
