#include "workbench/Filefunctions.h"

#include "platform/SysUtils.h"

#include <algorithm>
#include <cstring>

namespace {

// Code points of Windows-1252 bytes 0x80 to 0x9F; 0 where the code page
// has no character.
constexpr char32_t Cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The code point of the well-formed UTF-8 sequence of Size bytes at S, or
// a value past Unicode when it is not one.
char32_t DecodeUtf8(const unsigned char* S, size_t Size)
{
    switch (Size) {
    case 1: return S[0] < 0x80 ? S[0] : 0x110000;
    case 2: return (char32_t(S[0] & 0x1F) << 6) | (S[1] & 0x3F);
    case 3: return (char32_t(S[0] & 0x0F) << 12) | (char32_t(S[1] & 0x3F) << 6) | (S[2] & 0x3F);
    case 4:
        return (char32_t(S[0] & 0x07) << 18) | (char32_t(S[1] & 0x3F) << 12) | (char32_t(S[2] & 0x3F) << 6) |
               (S[3] & 0x3F);
    default: return 0x110000;
    }
}

char ToWindows1252(char32_t C)
{
    if (C == 0)
        return '?';   // a NUL would end the text early
    if (C < 0x80 || (C >= 0xA0 && C <= 0xFF))
        return static_cast<char>(C);
    for (int i = 0; i < 32; ++i)
        if (Cp1252High[i] != 0 && Cp1252High[i] == C)
            return static_cast<char>(0x80 + i);
    return '?';
}

void AppendUtf8(std::string& Out, char32_t C)
{
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

void PutInt32(uint8_t* P, int32_t Value)
{
    const auto U = static_cast<uint32_t>(Value);
    for (int i = 0; i < 4; ++i)
        P[i] = static_cast<uint8_t>(U >> (8 * i));
}

int32_t GetInt32(const uint8_t* P)
{
    uint32_t U = 0;
    for (int i = 0; i < 4; ++i)
        U |= uint32_t(P[i]) << (8 * i);
    return static_cast<int32_t>(U);
}

void Append(const TDataFileRecord& Record, TRecordFile* File)
{
    if (File)
        File->Write(Record);
}

}  // namespace

// ------------------------------------------------------------ code page

std::string Utf8ToWindows1252(const std::string& Text, size_t MaxChars)
{
    std::string Out;
    Out.reserve(std::min(Text.size(), MaxChars == std::string::npos ? Text.size() : MaxChars));
    size_t Pos = 0;
    while (Pos < Text.size() && Out.size() < MaxChars) {
        const size_t Size = Utf8CharSize(Text, Pos);
        Out += ToWindows1252(DecodeUtf8(reinterpret_cast<const unsigned char*>(Text.data()) + Pos, Size));
        Pos += Size;
    }
    return Out;
}

std::string Windows1252ToUtf8(const char* Text, size_t Length)
{
    std::string Out;
    Out.reserve(Length);
    for (size_t i = 0; i < Length; ++i) {
        const auto B = static_cast<unsigned char>(Text[i]);
        if (B >= 0x80 && B < 0xA0)
            AppendUtf8(Out, Cp1252High[B - 0x80] != 0 ? Cp1252High[B - 0x80] : U'?');
        else
            AppendUtf8(Out, B);
    }
    return Out;
}

// -------------------------------------------------------------- records

void TDataFileRecord::ToBytes(uint8_t (&Bytes)[Size]) const
{
    Bytes[0] = RecordType;
    std::memcpy(Bytes + 1, Payload, PayloadSize);
    Bytes[127] = Reserved;
    PutInt32(Bytes + 128, Value);
}

TDataFileRecord TDataFileRecord::FromBytes(const uint8_t (&Bytes)[Size])
{
    TDataFileRecord R;
    R.RecordType = Bytes[0];
    std::memcpy(R.Payload, Bytes + 1, PayloadSize);
    R.Reserved = Bytes[127];
    R.Value = GetInt32(Bytes + 128);
    return R;
}

void CopyTextToRecord(const std::string& Text, TDataFileRecord& Record)
{
    const std::string Coded = Utf8ToWindows1252(Text, TDataFileRecord::MaxTextLength);
    std::memset(Record.Payload, 0, TDataFileRecord::PayloadSize);
    std::memcpy(Record.Payload, Coded.data(), Coded.size());
}

TDataFileRecord MakeMarkerRecord(int32_t Value)
{
    TDataFileRecord R;
    R.RecordType = drtMarker;
    R.Value = Value;
    return R;
}

TDataFileRecord MakeTextRecord(uint8_t Type, const std::string& Text, int32_t Value)
{
    TDataFileRecord R;
    R.RecordType = Type;
    CopyTextToRecord(Text, R);
    R.Value = Value;
    return R;
}

TDataFileRecord MakeDataRecord(uint8_t Type, uint8_t Length, const uint8_t* Data, int32_t Value)
{
    TDataFileRecord R;
    R.RecordType = Type;
    const int N = std::min<int>(Length, TDataFileRecord::PayloadSize);
    if (Data && N > 0)
        std::memcpy(R.Payload, Data, static_cast<size_t>(N));
    R.Value = Value;
    return R;
}

TDataFileRecord MakeFieldsRecord(uint8_t Type, const std::string& S1, const std::string& S2,
                                 const std::string& S3, const std::string& S4, int32_t Value)
{
    TDataFileRecord R;
    R.RecordType = Type;
    R.Value = Value;
    // Room for the texts: the payload less the four NULs.
    size_t Room = TDataFileRecord::PayloadSize - 4;
    size_t Pos = 0;
    for (const std::string* S : {&S1, &S2, &S3, &S4}) {
        const std::string Coded = Utf8ToWindows1252(*S, Room);
        std::memcpy(R.Payload + Pos, Coded.data(), Coded.size());
        Pos += Coded.size() + 1;   // and its NUL, already zero
        Room -= Coded.size();
    }
    return R;
}

void WriteMarkerRecord(int32_t Value, TRecordFile* File)
{
    if (File)
        Append(MakeMarkerRecord(Value), File);
}

void WriteTextRecord(uint8_t Type, const std::string& Text, int32_t Value, TRecordFile* File)
{
    if (File)
        Append(MakeTextRecord(Type, Text, Value), File);
}

void WriteDataRecord(uint8_t Type, uint8_t Length, const uint8_t* Data, int32_t Value, TRecordFile* File)
{
    if (File)
        Append(MakeDataRecord(Type, Length, Data, Value), File);
}

void WriteFieldsRecord(uint8_t Type, const std::string& S1, const std::string& S2, const std::string& S3,
                       const std::string& S4, int32_t Value, TRecordFile* File)
{
    if (File)
        Append(MakeFieldsRecord(Type, S1, S2, S3, S4, Value), File);
}

std::string GetRecordField(const uint8_t (&Payload)[TDataFileRecord::PayloadSize], int N)
{
    const int Wanted = N >= 1 && N <= 3 ? N : 0;
    const auto* Text = reinterpret_cast<const char*>(Payload);
    size_t Pos = 0;
    for (int Field = 0;; ++Field) {
        const size_t Length = strnlen(Text + Pos, TDataFileRecord::PayloadSize - Pos);
        if (Field == Wanted)
            return Windows1252ToUtf8(Text + Pos, Length);
        Pos += Length + 1;
        if (Pos >= TDataFileRecord::PayloadSize)
            return std::string();
    }
}

// ---------------------------------------------------------- TRecordFile

std::unique_ptr<TRecordFile> TRecordFile::Create(const std::string& FileName, std::string& Error)
{
    const std::string PartName = FileName + ".part";
    try {
        auto File = std::make_unique<TFileStream>(PartName, fmCreate);
        return std::unique_ptr<TRecordFile>(new TRecordFile(FileName, PartName, std::move(File)));
    } catch (const EStreamError& E) {
        Error = E.what();
        return nullptr;
    }
}

TRecordFile::TRecordFile(std::string FileName, std::string PartName, std::unique_ptr<TFileStream> File)
    : FFileName(std::move(FileName)), FPartName(std::move(PartName)), FSavedName(FPartName), FFile(std::move(File))
{
}

TRecordFile::~TRecordFile() = default;   // an unclosed file stays as ".part"

void TRecordFile::Fail(const std::string& What)
{
    FFailed = true;
    FErrorText = What;
    // A record written in part is cut off: the file ends on a whole record.
    try {
        if (FFile)
            FFile->SetSize(FRecordCount * TDataFileRecord::Size);
    } catch (const EStreamError&) {
    }
}

bool TRecordFile::Write(const TDataFileRecord& Record)
{
    if (FFailed || !FFile)
        return false;
    uint8_t Bytes[TDataFileRecord::Size];
    Record.ToBytes(Bytes);
    try {
        if (FFile->Write(Bytes, sizeof Bytes) != static_cast<int64_t>(sizeof Bytes)) {
            Fail("Cannot write file \"" + FPartName + "\": the file cannot grow");
            return false;
        }
    } catch (const EStreamError& E) {
        Fail(E.what());
        return false;
    }
    ++FRecordCount;
    return true;
}

TRecordCloseResult TRecordFile::Close()
{
    if (FClosed)
        return FCloseResult;
    FClosed = true;
    if (!FFailed) {
        try {
            FFile->Flush();
        } catch (const EStreamError& E) {
            Fail(E.what());
        }
    }
    FFile.reset();
    if (!FFailed) {
        if (RenameFile(FPartName, FFileName)) {
            FSavedName = FFileName;
            FCloseResult = TRecordCloseResult::rcSaved;
        } else {
            FErrorText = "Cannot rename \"" + FPartName + "\" to \"" + FFileName + "\"";
            FCloseResult = TRecordCloseResult::rcFailed;
        }
        return FCloseResult;
    }
    // Cut short: an older file of that name is worth more than a part of
    // this one.
    if (!FileExists(FFileName) && !DirectoryExists(FFileName) && RenameFile(FPartName, FFileName)) {
        FSavedName = FFileName;
        FCloseResult = TRecordCloseResult::rcCutShort;
    } else {
        FCloseResult = TRecordCloseResult::rcKeptAsPart;
    }
    return FCloseResult;
}
