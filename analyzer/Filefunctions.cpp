#include "analyzer/Filefunctions.h"

#include "platform/SysUtils.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr size_t MaxRecordDigits = 2 * (5 + 255);  // the longest record the length field allows

bool IsHexDigit(int C)
{
    return (C >= '0' && C <= '9') || (C >= 'A' && C <= 'F') || (C >= 'a' && C <= 'f');
}

// Line ends, blanks and the end-of-file mark (Ctrl-Z) some tools write.
bool IsBlank(int C)
{
    return C == ' ' || C == '\t' || C == '\r' || C == '\n' || C == '\f' || C == '\v' || C == 0x1A;
}

std::string Describe(int C)
{
    if (C > 0x20 && C < 0x7F)
        return std::string("'") + static_cast<char>(C) + "'";
    char Code[8];
    std::snprintf(Code, sizeof Code, "0x%02X", C & 0xFF);
    return std::string("character ") + Code;
}

struct TFileCloser {
    std::FILE* F;
    ~TFileCloser()
    {
        if (F)
            std::fclose(F);
    }
};

}  // namespace

TFlashFileQueue::TFlashFileQueue()
{
    std::memset(FRecords, 0, sizeof FRecords);
    Clear();
}

void TFlashFileQueue::Clear()
{
    FWriteIndex = 0;
    FReadIndex = 0;
    FCount = 0;
}

int TFlashFileQueue::HexDigitValue(char C)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    return 0;
}

bool TFlashFileQueue::Fail(const std::string& Text)
{
    Clear();
    FErrorText = Text;
    return false;
}

bool TFlashFileQueue::FailAt(int Line, const std::string& Reason)
{
    return Fail("Flash File " + FFileName + ", line " + IntToStr(Line) + ": " + Reason + ".");
}

int32_t TFlashFileQueue::LoadFromFile(const std::string& FileName)
{
    Clear();
    FFileName = FileName;
    FErrorText.clear();
    if (!FileExists(FileName)) {
        Fail("Flash File " + FileName + " does not exist.");
        return 0;
    }
    TFileCloser File{std::fopen(FileName.c_str(), "rb")};
    if (!File.F) {
        Fail("Flash File " + FileName + " cannot be opened.");
        return 0;
    }

    // A record is the ':' and everything up to the next ':' or the end of
    // the file: its digit pairs, then nothing but line ends and blanks.
    int Line = 1;
    bool InRecord = false;
    bool DigitsDone = false;  // a blank or line end came after the digits
    int RecordLine = 0;
    std::string Digits;
    Digits.reserve(MaxRecordDigits);
    for (;;) {
        const int C = std::getc(File.F);
        if (C == EOF)
            break;
        if (C == ':') {
            if (InRecord && !AddRecord(Digits, RecordLine))
                return 0;
            InRecord = true;
            DigitsDone = false;
            RecordLine = Line;
            Digits.clear();
            continue;
        }
        if (IsBlank(C)) {
            if (InRecord && !Digits.empty())
                DigitsDone = true;
            if (C == '\n')
                ++Line;
            continue;
        }
        if (!InRecord) {
            FailAt(Line, Describe(C) + " outside a record");
            return 0;
        }
        if (DigitsDone) {
            FailAt(Line, Describe(C) + " after the end of the record");
            return 0;
        }
        if (!IsHexDigit(C)) {
            FailAt(Line, Describe(C) + " is not a hexadecimal digit");
            return 0;
        }
        if (Digits.size() >= MaxRecordDigits) {
            FailAt(RecordLine, "the record is too long");
            return 0;
        }
        Digits.push_back(static_cast<char>(C));
    }
    if (std::ferror(File.F)) {
        Fail("Flash File " + FileName + " cannot be read.");
        return 0;
    }
    if (InRecord && !AddRecord(Digits, RecordLine))
        return 0;
    if (FCount == 0) {
        Fail("Flash File " + FileName + " holds no records.");
        return 0;
    }
    return FCount;
}

bool TFlashFileQueue::AddRecord(const std::string& Digits, int Line)
{
    if (Digits.size() % 2 != 0)
        return FailAt(Line, "odd number of hexadecimal digits");
    if (Digits.size() < 10)
        return FailAt(Line, "the record is too short");
    uint8_t Bytes[MaxRecordDigits / 2];
    const size_t Count = Digits.size() / 2;
    uint8_t Sum = 0;
    for (size_t i = 0; i < Count; ++i) {
        Bytes[i] = static_cast<uint8_t>(HexDigitValue(Digits[2 * i]) * 16 + HexDigitValue(Digits[2 * i + 1]));
        Sum = static_cast<uint8_t>(Sum + Bytes[i]);
    }
    const int N = Bytes[0];
    if (N > MaxDataBytes)
        return FailAt(Line, "the record holds " + IntToStr(N) + " data bytes, more than " + IntToStr(MaxDataBytes));
    if (Count != static_cast<size_t>(N) + 5)
        return FailAt(Line, "the record's length does not match its " + IntToStr(N) + " data bytes");
    if (Sum != 0)
        return FailAt(Line, "checksum error");
    if (FCount >= MaxRecords)
        return Fail("Flash File " + FFileName + " is too large.");

    uint8_t* Slot = FRecords[FWriteIndex];
    Slot[0] = ':';
    std::memcpy(Slot + 1, Bytes, Count);
    ++FCount;
    if (++FWriteIndex >= QueueSize)
        FWriteIndex = 0;
    return true;
}

bool TFlashFileQueue::GetRecord(uint8_t* Destination) const
{
    if (FReadIndex == FWriteIndex)
        return false;
    const uint8_t* Slot = FRecords[FReadIndex];
    std::memcpy(Destination, Slot, static_cast<size_t>(Slot[1]) + 6);
    return true;
}

bool TFlashFileQueue::Next()
{
    if (FReadIndex == FWriteIndex)
        return false;
    if (++FReadIndex >= QueueSize)
        FReadIndex = 0;
    return FReadIndex != FWriteIndex;
}
