// Fuzz target: arbitrary text through the flow-table file parser. Built with
// clang and -fsanitize=fuzzer,address,undefined; any crash or sanitizer
// report is a fault, and so is a table accepted from an oversized text or
// one that does not read back the same when written out again.
#include "analyzer/Flowtables.h"

#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    TFlowTableFile Table;
    if (!ParseFlowTable(Text, Table))
        return 0;
    if (Size > MaxFlowTableFileSize)
        __builtin_trap();
    std::string Again = std::to_string(Table.Identifier) + "\n" + std::to_string(Table.Checksum) + "\n";
    for (uint16_t V : Table.Values)
        Again += std::to_string(V) + "\n";
    TFlowTableFile Back;
    if (!ParseFlowTable(Again, Back) || Back.Identifier != Table.Identifier || Back.Checksum != Table.Checksum)
        __builtin_trap();
    for (int i = 0; i < 2 * FlowTableRowLength; ++i)
        if (Back.Values[i] != Table.Values[i])
            __builtin_trap();
    return 0;
}
