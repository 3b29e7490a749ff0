// Data-file records byte for byte, the field reader, and the recording's
// file: written beside its target and put in place only when complete.
#include "workbench/Filefunctions.h"

#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes BytesOf(const TDataFileRecord& R)
{
    uint8_t B[TDataFileRecord::Size];
    R.ToBytes(B);
    return Bytes(B, B + sizeof B);
}

// 132 bytes: Type, then Payload (zero-filled to 126), reserved 0, Value 0.
Bytes Expected(uint8_t Type, const std::string& Payload)
{
    Bytes B(TDataFileRecord::Size, 0);
    B[0] = Type;
    for (size_t i = 0; i < Payload.size() && i < 126; ++i)
        B[1 + i] = static_cast<uint8_t>(Payload[i]);
    return B;
}

std::string Frame(int Length)
{
    std::string F(static_cast<size_t>(Length), '\0');
    F[0] = ':';
    F[1] = '?';
    F[2] = static_cast<char>(Length);
    for (int i = 3; i < Length; ++i)
        F[static_cast<size_t>(i)] = static_cast<char>(i);
    return F;
}

struct TempDir {
    std::string Path;
    TempDir()
    {
        char Template[] = "/tmp/ozff-XXXXXX";
        Path = ::mkdtemp(Template);
    }
    ~TempDir()
    {
        std::error_code Ec;
        std::filesystem::remove_all(Path, Ec);
    }
};

std::string ReadAll(const std::string& Name)
{
    std::string Data;
    ReadWholeFile(Name, Data);
    return Data;
}

// Points this process's open descriptor on file Name at Device instead: a
// fault no regular file shows. False when no descriptor is open on Name.
bool SwapOpenFileFor(const std::string& Name, const char* Device)
{
    const std::filesystem::path Real = std::filesystem::weakly_canonical(Name);
    for (const auto& Entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code Ec;
        if (std::filesystem::read_symlink(Entry.path(), Ec) != Real)
            continue;
        const int Fd = std::stoi(Entry.path().filename().string());
        const int New = ::open(Device, O_RDWR | O_CLOEXEC);
        const bool Swapped = New >= 0 && ::dup2(New, Fd) == Fd;
        if (New >= 0)
            ::close(New);
        return Swapped;
    }
    return false;
}

}  // namespace

TEST(DataFileRecords, WritersLayOutRecordsByteForByte)
{
    const std::string F30 = Frame(30), F130 = Frame(130);
    const std::string Long(200, 'x');
    struct Case {
        const char* Name;
        TDataFileRecord Record;
        Bytes Want;
        // Fields as read back; frames are not read as fields.
        std::string Field0, Field1, Field2;
        bool IsFrame = false;
    };
    const Case Cases[] = {
        {"marker", MakeMarkerRecord(0), Expected('!', ""), "", "", ""},
        {"subject Bob", MakeTextRecord('J', "Subject:       Bob", 0), Expected('J', "Subject:       Bob"),
         "Subject:       Bob", "", ""},
        {"notes first, second", MakeFieldsRecord('H', "first", "second", "", "", 0),
         Expected('H', std::string("first\0second\0\0\0", 16)), "first", "second", ""},
        {"empty notes", MakeFieldsRecord('H', "", "", "", "", 0), Expected('H', ""), "", "", ""},
        {"frame of 30", MakeDataRecord('W', 30, reinterpret_cast<const uint8_t*>(F30.data()), 0),
         Expected('W', F30), "", "", "", true},
        {"frame of 130, cut to 126", MakeDataRecord('W', 130, reinterpret_cast<const uint8_t*>(F130.data()), 0),
         Expected('W', F130.substr(0, 126)), "", "", "", true},
        {"subject of 200 cut to 125", MakeTextRecord('J', "Subject:       " + Long, 0),
         Expected('J', ("Subject:       " + Long).substr(0, 125)), ("Subject:       " + Long).substr(0, 125), "",
         ""},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        EXPECT_EQ(BytesOf(C.Record), C.Want);
        EXPECT_EQ(C.Record.Value, 0);
        EXPECT_EQ(BytesOf(TDataFileRecord::FromBytes(*reinterpret_cast<const uint8_t(*)[132]>(C.Want.data()))),
                  C.Want);
        if (C.IsFrame)
            continue;
        EXPECT_EQ(GetRecordField(C.Record.Payload, 0), C.Field0);
        EXPECT_EQ(GetRecordField(C.Record.Payload, 1), C.Field1);
        EXPECT_EQ(GetRecordField(C.Record.Payload, 2), C.Field2);
        EXPECT_EQ(GetRecordField(C.Record.Payload, 3), "");
    }
    // Value goes little-endian into the last four bytes.
    const Bytes V = BytesOf(MakeMarkerRecord(0x01020304));
    EXPECT_EQ(Bytes(V.begin() + 127, V.end()), (Bytes{0, 4, 3, 2, 1}));
}

TEST(DataFileRecords, FieldReaderStopsAtThePayloadsEnd)
{
    // Texts without their NULs run to the end of the payload and no further.
    TDataFileRecord R;
    std::memset(R.Payload, 'a', sizeof R.Payload);
    EXPECT_EQ(GetRecordField(R.Payload, 0), std::string(126, 'a'));
    EXPECT_EQ(GetRecordField(R.Payload, 1), "");
    R.Payload[120] = 0;   // f0 of 120, f1 of 5 without NUL
    EXPECT_EQ(GetRecordField(R.Payload, 0), std::string(120, 'a'));
    EXPECT_EQ(GetRecordField(R.Payload, 1), "aaaaa");
    EXPECT_EQ(GetRecordField(R.Payload, 3), "");
    // Numbers other than 1 to 3 read field 0.
    EXPECT_EQ(GetRecordField(R.Payload, 7), std::string(120, 'a'));
    EXPECT_EQ(GetRecordField(R.Payload, -1), std::string(120, 'a'));
}

TEST(DataFileRecords, NoteFieldsAlwaysFitWithTheirFourNuls)
{
    const std::string A(100, 'a'), B(100, 'b');
    const TDataFileRecord R = MakeFieldsRecord('H', A, B, "c", "d", 0);
    // 122 characters of text, then the NULs of the texts that did not fit.
    EXPECT_EQ(GetRecordField(R.Payload, 0), A);
    EXPECT_EQ(GetRecordField(R.Payload, 1), std::string(22, 'b'));
    EXPECT_EQ(GetRecordField(R.Payload, 2), "");
    EXPECT_EQ(GetRecordField(R.Payload, 3), "");
    EXPECT_EQ(R.Payload[100], 0);
    EXPECT_EQ(R.Payload[123], 0);
    EXPECT_EQ(R.Payload[124], 0);
    EXPECT_EQ(R.Payload[125], 0);
}

TEST(DataFileRecords, TextsAreWindows1252)
{
    struct Case {
        std::string Utf8;
        std::string Stored;
        std::string ReadBack;
    };
    const Case Cases[] = {
        {"Müller", "M\xFCller", "Müller"},
        {"5 €", "5 \x80", "5 €"},
        {"“quoted”", "\x93quoted\x94", "“quoted”"},
        {"日本", "??", "??"},           // not in the code page
        {"a\xFF" "b", "a?b", "a?b"},     // not UTF-8
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Utf8);
        const TDataFileRecord R = MakeTextRecord('J', C.Utf8, 0);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(R.Payload)), C.Stored);
        EXPECT_EQ(GetRecordField(R.Payload, 0), C.ReadBack);
    }
    // Cut at 125 characters, not bytes.
    std::string Umlauts;
    for (int i = 0; i < 130; ++i)
        Umlauts += "ü";
    const TDataFileRecord R = MakeTextRecord('J', Umlauts, 0);
    EXPECT_EQ(strnlen(reinterpret_cast<const char*>(R.Payload), 126), 125u);
}

TEST(DataFileRecords, WritersDoNothingWithoutAFile)
{
    const uint8_t F[3] = {':', '?', 3};
    WriteMarkerRecord(0, nullptr);
    WriteTextRecord('T', "x", 0, nullptr);
    WriteDataRecord('W', 3, F, 0, nullptr);
    WriteFieldsRecord('H', "a", "b", "c", "d", 0, nullptr);
}

TEST(RecordFile, WrittenBesideItsTargetAndPutInPlaceWhenClosed)
{
    TempDir D;
    std::string Ignored;
    const std::string Name = D.Path + "/run.zrp";
    ASSERT_TRUE(WriteFileAtomic(Name, "older recording", Ignored));
    std::string Error;
    auto File = TRecordFile::Create(Name, Error);
    ASSERT_NE(File, nullptr) << Error;
    const std::string Part = File->PartName();
    EXPECT_EQ(ExtractFilePath(Part), ExtractFilePath(Name));
    EXPECT_EQ(Part.rfind(Name + ".", 0), 0u) << Part;
    EXPECT_EQ(ExtractFileExt(Part), ".part");
    WriteMarkerRecord(0, File.get());
    WriteTextRecord('T', "12:00:00", 0, File.get());
    // Each record is in the file as soon as it is written; the older file
    // stays whole meanwhile.
    EXPECT_EQ(ReadAll(Part).size(), 264u);
    EXPECT_EQ(ReadAll(Name), "older recording");
    EXPECT_EQ(File->RecordCount(), 2);
    EXPECT_EQ(File->Close(), TRecordCloseResult::rcSaved);
    EXPECT_EQ(File->SavedName(), Name);
    EXPECT_FALSE(FileExists(Part));
    const std::string Data = ReadAll(Name);
    ASSERT_EQ(Data.size(), 264u);
    EXPECT_EQ(Data[0], '!');
    EXPECT_EQ(Data.substr(133, 9), std::string("12:00:00\0", 9));
    EXPECT_EQ(File->Close(), TRecordCloseResult::rcSaved);   // a second close does nothing
}

// What stands at a name the part file could be given is never written
// through: a link placed there, or the part file of a recording whose
// program was killed (the only copy of that recording).
TEST(RecordFile, ALinkOrAnEarlierPartFileBesideTheTargetIsLeftAlone)
{
    struct Case {
        const char* Name;
        bool Link;
    };
    for (const Case& K : {Case{"a link to another file", true}, Case{"an earlier recording's part file", false}}) {
        SCOPED_TRACE(K.Name);
        TempDir D;
        std::string Ignored;
        const std::string Name = D.Path + "/run.zrp";
        const std::string Other = D.Path + "/other";
        ASSERT_TRUE(WriteFileAtomic(Other, "not to be touched", Ignored));
        if (K.Link)
            std::filesystem::create_symlink(Other, Name + ".part");
        else
            ASSERT_TRUE(WriteFileAtomic(Name + ".part", "earlier records", Ignored));
        std::string Error;
        auto File = TRecordFile::Create(Name, Error);
        ASSERT_NE(File, nullptr) << Error;
        EXPECT_NE(File->PartName(), Name + ".part");
        WriteMarkerRecord(0, File.get());
        EXPECT_EQ(File->Close(), TRecordCloseResult::rcSaved);
        EXPECT_EQ(ReadAll(Name).size(), 132u);
        EXPECT_EQ(ReadAll(Other), "not to be touched");
        EXPECT_EQ(ReadAll(Name + ".part"), K.Link ? "not to be touched" : "earlier records");
    }
}

TEST(RecordFile, AFileThatCannotBeMadeSaysWhichAndWhy)
{
    TempDir D;
    std::string Ignored;
    // A folder below a regular file cannot be made, not even by root.
    ASSERT_TRUE(WriteFileAtomic(D.Path + "/plain", "x", Ignored));
    std::string Error;
    EXPECT_EQ(TRecordFile::Create(D.Path + "/plain/run.zrp", Error), nullptr);
    EXPECT_NE(Error.find(D.Path + "/plain/run.zrp"), std::string::npos) << Error;
    EXPECT_NE(Error.find("Not a directory"), std::string::npos) << Error;
}

// A write that fails is what the user is told about; when cutting the file
// back to its whole records fails as well, that is kept apart and said.
TEST(RecordFile, AWriteThatFailsIsToldAndAFailedCutIsKeptApart)
{
    TempDir D;
    const std::string Name = D.Path + "/run.zrp";
    std::string Error;
    auto File = TRecordFile::Create(Name, Error);
    ASSERT_NE(File, nullptr) << Error;
    // A device that takes no data and has no size to cut.
    ASSERT_TRUE(SwapOpenFileFor(File->PartName(), "/dev/full"));
    WriteMarkerRecord(0, File.get());
    EXPECT_TRUE(File->Failed());
    EXPECT_NE(File->ErrorText().find("No space left on device"), std::string::npos) << File->ErrorText();
    EXPECT_FALSE(File->EndsOnWholeRecords());
    EXPECT_NE(File->CutErrorText().find("Cannot set the size of \"" + File->PartName() + "\""), std::string::npos)
        << File->CutErrorText();
    File->Close();
}
