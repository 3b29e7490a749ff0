// The ".zrb" flow linearization table file: 28 unsigned decimal numbers,
// one a line (the 32-bit identifier, the 16-bit checksum, then two rows of
// 13 16-bit values).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

constexpr int FlowTableRowLength = 13;
// A table file is a few hundred bytes; anything past this is not one.
constexpr size_t MaxFlowTableFileSize = 64 * 1024;

struct TFlowTableFile {
    uint32_t Identifier = 0;
    uint16_t Checksum = 0;
    uint16_t Values[2 * FlowTableRowLength] = {};  // row A, then row B
};

// True when Text holds the 28 numbers, each within its width (white space
// around them, anything after the last is ignored); Table is then filled.
// A text longer than MaxFlowTableFileSize is refused.
bool ParseFlowTable(std::string_view Text, TFlowTableFile& Table);
