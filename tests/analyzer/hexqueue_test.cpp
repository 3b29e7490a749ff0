// Reading firmware HEX files into the record queue: what is taken byte for
// byte and what refuses the whole file, with the line it names.
#include "analyzer/Filefunctions.h"
#include "tests/analyzer/FlashRig.h"

#include <gtest/gtest.h>

#include <cctype>
#include <memory>

namespace {

std::vector<Bytes> Drain(TFlashFileQueue& Q)
{
    std::vector<Bytes> Out;
    uint8_t Record[TFlashFileQueue::SlotSize];
    while (Q.GetRecord(Record)) {
        Out.emplace_back(Record, Record + Record[1] + 6);
        Q.Next();
    }
    return Out;
}

std::string Repeat(const std::string& S, int N)
{
    std::string Out;
    Out.reserve(S.size() * static_cast<size_t>(N));
    for (int i = 0; i < N; ++i)
        Out += S;
    return Out;
}

}  // namespace

TEST(HexDigitValue, DecodesBothCasesAndCountsOthersAsZero)
{
    const struct {
        char C;
        int Value;
    } Cases[] = {{'0', 0}, {'9', 9}, {'A', 10}, {'F', 15}, {'a', 10}, {'f', 15}, {'G', 0}, {'g', 0}, {' ', 0}, {':', 0}};
    for (const auto& C : Cases)
        EXPECT_EQ(TFlashFileQueue::HexDigitValue(C.C), C.Value) << C.C;
}

TEST(FlashFileQueue, GoodFilesLoadByteForByte)
{
    const Bytes Example{0x3A, 0x04, 0x00, 0x10, 0x00, 0x11, 0x22, 0x33, 0x44, 0x42};
    Bytes Nineteen(19);
    for (size_t i = 0; i < Nineteen.size(); ++i)
        Nineteen[i] = static_cast<uint8_t>(0xE0 + i);
    const HexRecord Full = MakeRecord(0xFFF0, 0, Nineteen);
    const HexRecord Letters = MakeRecord(0xABCD, 0, {0xEF, 0xFA});
    std::string Lower = Letters.Line;
    for (char& Ch : Lower)
        Ch = static_cast<char>(std::tolower(static_cast<unsigned char>(Ch)));
    const struct {
        const char* Name;
        std::string Text;
        std::vector<Bytes> Records;
    } Cases[] = {
        {"the example record", ":0400100011223344" "42\r\n", {Example}},
        {"lower-case digits", Lower, {Letters.Wire}},
        {"no line end, text before the first record blank", "\r\n  \n:0400100011223344" "42", {Example}},
        {"19 data bytes", Full.Line, {Full.Wire}},
        {"records back to back", ":0400100011223344" "42:0400100011223344" "42", {Example, Example}},
        {"end record", ":00000001FF\r\n", {{0x3A, 0, 0, 0, 1, 0xFF}}},
        {"end-of-file mark after the last record", ":00000001FF\r\n\x1A", {{0x3A, 0, 0, 0, 1, 0xFF}}},
    };
    TempDir Dir;
    for (const auto& C : Cases) {
        auto Q = std::make_unique<TFlashFileQueue>();
        const std::string Path = Dir.Write("good.hex", C.Text);
        EXPECT_EQ(Q->LoadFromFile(Path), static_cast<int>(C.Records.size())) << C.Name << ": " << Q->ErrorText();
        EXPECT_EQ(Q->GetRecordCount(), static_cast<int>(C.Records.size())) << C.Name;
        EXPECT_EQ(Drain(*Q), C.Records) << C.Name;
    }
}

TEST(FlashFileQueue, BadFilesAreRefusedNamingFileAndLine)
{
    const std::string Good = ":0400100011223344" "42\r\n";
    Bytes Twenty(20, 0x55);
    const HexRecord TooLong = MakeRecord(0, 0, Twenty);
    const struct {
        const char* Name;
        std::string Text;
        std::string Error;  // after "Flash File <path>"
    } Cases[] = {
        {"bad checksum", Good + ":0400100011223344" "43\r\n", ", line 2: checksum error."},
        {"odd digit count", Good + Good + ":040010001122334442" "1\r\n", ", line 3: odd number of hexadecimal digits."},
        {"non-hex character", ":04001000112G3344" "42\r\n", ", line 1: 'G' is not a hexadecimal digit."},
        {"20 data bytes", Good + TooLong.Line, ", line 2: the record holds 20 data bytes, more than 19."},
        {"length field larger than the data", ":0500100011223344" "41\r\n",
         ", line 1: the record's length does not match its 5 data bytes."},
        {"digits cut short", ":0400\r\n", ", line 1: the record is too short."},
        {"junk after a record", Good + "hello\r\n" + Good, ", line 2: 'h' after the end of the record."},
        {"junk before the first record", "HEX\r\n" + Good, ", line 1: 'H' outside a record."},
        {"blank inside the digits", ":04001000 11223344" "42\r\n", ", line 1: '1' after the end of the record."},
        {"empty file", "", " holds no records."},
        {"no records at all", "\r\n\r\n", " holds no records."},
    };
    TempDir Dir;
    for (const auto& C : Cases) {
        auto Q = std::make_unique<TFlashFileQueue>();
        const std::string Path = Dir.Write("bad.hex", C.Text);
        EXPECT_EQ(Q->LoadFromFile(Path), 0) << C.Name;
        EXPECT_EQ(Q->ErrorText(), "Flash File " + Path + C.Error) << C.Name;
        // Nothing of a refused file is left to send.
        EXPECT_EQ(Q->GetRecordCount(), 0) << C.Name;
        uint8_t Record[TFlashFileQueue::SlotSize];
        EXPECT_FALSE(Q->GetRecord(Record)) << C.Name;
    }
    auto Q = std::make_unique<TFlashFileQueue>();
    EXPECT_EQ(Q->LoadFromFile(Dir.Path("missing.hex")), 0);
    EXPECT_EQ(Q->ErrorText(), "Flash File " + Dir.Path("missing.hex") + " does not exist.");
}

TEST(FlashFileQueue, HoldsAFileAtItsSizeAndRefusesALargerOne)
{
    TempDir Dir;
    const HexRecord R = MakeRecord(0x0010, 0, {0x11, 0x22, 0x33, 0x44});
    auto Q = std::make_unique<TFlashFileQueue>();

    const std::string AtSize = Dir.Write("at.hex", Repeat(R.Line, TFlashFileQueue::MaxRecords));
    EXPECT_EQ(TFlashFileQueue::MaxRecords, 24999);
    EXPECT_EQ(Q->LoadFromFile(AtSize), 24999) << Q->ErrorText();
    EXPECT_EQ(Drain(*Q).size(), 24999u);

    const std::string Over = Dir.Write("over.hex", Repeat(R.Line, TFlashFileQueue::MaxRecords + 1));
    EXPECT_EQ(Q->LoadFromFile(Over), 0);
    EXPECT_EQ(Q->ErrorText(), "Flash File " + Over + " is too large.");
    EXPECT_EQ(Q->GetRecordCount(), 0);

    // A good file after a refused one loads in full.
    EXPECT_EQ(Q->LoadFromFile(AtSize), 24999);
}
