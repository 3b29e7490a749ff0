// The flow linearization tables and their ".zrb" files: 28 unsigned decimal
// numbers, one a line (identifier, checksum, row A, row B).
#include "analyzer/Serialfunctions.h"

#include <cctype>
#include <cstdio>

namespace {

constexpr int RowLength = 13;
constexpr int TableNumbers = 2 + 2 * RowLength;  // identifier, checksum, two rows

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
bool NextNumber(const std::string& Text, size_t& Pos, uint64_t Max, uint64_t& Value)
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
    std::string Text;
    if (!FileExists(FileName) || !ReadWholeFile(FileName, Text))
        return false;
    // Every number has to be there and fit its register before anything is
    // sent: a half-written table would leave the analyzer measuring wrong.
    uint64_t Numbers[TableNumbers];
    size_t Pos = 0;
    for (int i = 0; i < TableNumbers; ++i)
        if (!NextNumber(Text, Pos, i == 0 ? 0xFFFFFFFFu : 0xFFFFu, Numbers[i]))
            return false;

    const TFlowTableRegisters& R = TableRegisters(Table);
    const uint32_t Identifier = static_cast<uint32_t>(Numbers[0]);
    bool AllAcked = true;
    auto Write = [&](uint16_t Register, uint64_t Value) {
        AllAcked = WriteRegister(Register, static_cast<uint16_t>(Value)) && AllAcked;
    };
    Write(R.IdHigh, Identifier >> 16);
    Write(R.IdLow, Identifier & 0xFFFF);
    Write(R.Checksum, Numbers[1]);
    for (int i = 0; i < RowLength; ++i)
        Write(static_cast<uint16_t>(R.RowA + i), Numbers[2 + i]);
    for (int i = 0; i < RowLength; ++i)
        Write(static_cast<uint16_t>(R.RowB + i), Numbers[2 + RowLength + i]);
    return AllAcked;
}
