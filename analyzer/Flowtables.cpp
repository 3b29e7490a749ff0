// The flow linearization tables and their ".zrb" files: 28 unsigned decimal
// numbers, one a line (identifier, checksum, row A, row B).
#include "analyzer/Flowtables.h"

#include "analyzer/Serialfunctions.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

constexpr int RowLength = FlowTableRowLength;

struct TFlowTableRegisters {
    uint16_t IdHigh;
    uint16_t IdLow;
    uint16_t Checksum;
    uint16_t RowA;  // first of 13
    uint16_t RowB;  // first of 13
};

const TFlowTableRegisters& TableRegisters(char Table)
{
    static const TFlowTableRegisters Low{194, 195, 197, 140, 153};
    static const TFlowTableRegisters High{192, 193, 196, 166, 179};
    return Table == '2' ? High : Low;
}

// The next unsigned decimal number of Text from Pos on, after white space;
// false at the end of the text, for anything that is not a number, or for a
// number above Max.
bool NextNumber(std::string_view Text, size_t& Pos, uint64_t Max, uint64_t& Value)
{
    while (Pos < Text.size() && std::isspace(static_cast<unsigned char>(Text[Pos])))
        ++Pos;
    if (Pos >= Text.size() || !std::isdigit(static_cast<unsigned char>(Text[Pos])))
        return false;
    Value = 0;
    while (Pos < Text.size() && std::isdigit(static_cast<unsigned char>(Text[Pos]))) {
        Value = Value * 10 + static_cast<uint64_t>(Text[Pos] - '0');
        if (Value > Max)
            return false;
        ++Pos;
    }
    return Pos >= Text.size() || std::isspace(static_cast<unsigned char>(Text[Pos]));
}

}  // namespace

bool ParseFlowTable(std::string_view Text, TFlowTableFile& Table)
{
    if (Text.size() > MaxFlowTableFileSize)
        return false;
    size_t Pos = 0;
    uint64_t Number = 0;
    TFlowTableFile Parsed;
    if (!NextNumber(Text, Pos, 0xFFFFFFFFu, Number))
        return false;
    Parsed.Identifier = static_cast<uint32_t>(Number);
    if (!NextNumber(Text, Pos, 0xFFFFu, Number))
        return false;
    Parsed.Checksum = static_cast<uint16_t>(Number);
    for (uint16_t& V : Parsed.Values) {
        if (!NextNumber(Text, Pos, 0xFFFFu, Number))
            return false;
        V = static_cast<uint16_t>(Number);
    }
    Table = Parsed;
    return true;
}

TFlowTableReadResult TZEBBSerialProtocol::ReadFlowTable(char Table, const std::string& FileName)
{
    const TFlowTableRegisters& R = TableRegisters(Table);
    bool AllRead = true;
    auto Read = [&](uint16_t Register) {
        const uint16_t Value = ReadRegister(Register);
        AllRead = AllRead && FReplyReceived && FReplyAddress == Register;
        return Value;
    };
    const uint32_t IdHigh = Read(R.IdHigh);
    const uint32_t Identifier = IdHigh * 65536u + Read(R.IdLow);
    const uint16_t Checksum = Read(R.Checksum);
    uint16_t Values[2 * RowLength];
    for (int i = 0; i < RowLength; ++i)
        Values[i] = Read(static_cast<uint16_t>(R.RowA + i));
    for (int i = 0; i < RowLength; ++i)
        Values[RowLength + i] = Read(static_cast<uint16_t>(R.RowB + i));
    // A register that did not answer would go into the file as 65,535:
    // nothing is written then.
    if (!AllRead) {
        Log("ERROR Reading Linearization Table");
        return ftReadFailed;
    }

    // The file keeps what the analyzer holds, whether its checksum matches
    // or not; the mismatch is reported.
    uint16_t Sum = 0;
    for (uint16_t V : Values)
        Sum = static_cast<uint16_t>(Sum + V);

    char Line[16];
    std::snprintf(Line, sizeof Line, "%u\n", Identifier);
    std::string Data = Line;
    std::snprintf(Line, sizeof Line, "%u\n", static_cast<unsigned>(Checksum));
    Data += Line;
    for (uint16_t V : Values) {
        std::snprintf(Line, sizeof Line, "%u\n", static_cast<unsigned>(V));
        Data += Line;
    }
    std::string Error;
    if (!WriteFileAtomic(FileName, Data, Error)) {
        Log("ERROR Writing Linearization Table:  " + Error);
        return ftWriteFailed;
    }
    if (Sum != Checksum) {
        Log("Linearization Table Checksum Mismatch:  Calc " + IntToStr(Sum) + " != Table " + IntToStr(Checksum));
        return ftChecksumMismatch;
    }
    return ftWritten;
}

bool TZEBBSerialProtocol::LoadFlowTable(char Table, const std::string& FileName)
{
    // Every number has to be there and fit its register before anything is
    // sent: a half-written table would leave the analyzer measuring wrong.
    std::error_code Ec;
    const auto Size = std::filesystem::file_size(FileName, Ec);
    std::string Text;
    TFlowTableFile File;
    if (Ec || Size > MaxFlowTableFileSize || !ReadWholeFile(FileName, Text) || !ParseFlowTable(Text, File))
        return false;

    const TFlowTableRegisters& R = TableRegisters(Table);
    bool AllAcked = true;
    auto Write = [&](uint16_t Register, uint32_t Value) {
        AllAcked = WriteRegister(Register, static_cast<uint16_t>(Value)) && AllAcked;
    };
    Write(R.IdHigh, File.Identifier >> 16);
    Write(R.IdLow, File.Identifier & 0xFFFF);
    Write(R.Checksum, File.Checksum);
    for (int i = 0; i < RowLength; ++i)
        Write(static_cast<uint16_t>(R.RowA + i), File.Values[i]);
    for (int i = 0; i < RowLength; ++i)
        Write(static_cast<uint16_t>(R.RowB + i), File.Values[RowLength + i]);
    return AllAcked;
}
