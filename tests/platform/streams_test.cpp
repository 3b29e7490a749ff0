// Byte streams: memory, files, temporary files and files replaced whole.
#include "platform/Streams.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

class TempFolder {
public:
    TempFolder()
    {
        std::string T = (std::filesystem::temp_directory_path() / "streamsXXXXXX").string();
        FPath = ::mkdtemp(T.data());
    }
    ~TempFolder() { std::filesystem::remove_all(FPath); }
    std::string operator/(const std::string& Name) const { return FPath + "/" + Name; }
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> Names;
        for (const auto& E : std::filesystem::directory_iterator(FPath))
            Names.push_back(E.path().filename().string());
        return Names;
    }

private:
    std::string FPath;
};

std::string Content(const std::string& Name)
{
    std::ifstream In(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(Streams, MemoryAndFileStreamsReadWriteSeekAlike)
{
    TempFolder Dir;
    TMemoryStream Mem;
    TFileStream File(Dir / "data.bin", fmCreate);
    for (TStream* S : {static_cast<TStream*>(&Mem), static_cast<TStream*>(&File)}) {
        S->WriteInt32(-2);
        S->WriteBuffer("abcdef", 6);
        EXPECT_EQ(S->Size(), 10);
        S->Seek(-3, soEnd);
        char C[3];
        S->ReadBuffer(C, 3);
        EXPECT_EQ(std::string(C, 3), "def");
        EXPECT_EQ(S->Read(C, 3), 0) << "nothing past the end";
        EXPECT_THROW(S->ReadBuffer(C, 1), EReadError);
        S->SetPosition(0);
        EXPECT_EQ(S->ReadInt32(), -2);
        EXPECT_THROW(S->Seek(-1, soBeginning), EStreamError);
        S->SetSize(4);
        EXPECT_EQ(S->Size(), 4);
        EXPECT_EQ(S->Position(), 4);
    }
    EXPECT_EQ(Content(Dir / "data.bin"), std::string("\xFE\xFF\xFF\xFF", 4));
    try {
        TFileStream Missing(Dir / "missing.bin", fmOpenRead);
        ADD_FAILURE();
    } catch (const EFOpenError& E) {
        EXPECT_NE(std::string(E.what()).find("missing.bin"), std::string::npos);
        EXPECT_EQ(E.ErrorCode(), ENOENT);
    }
}

TEST(Streams, ATemporaryFileIsMadeExclusivelyAndGoesWithItsStream)
{
    TempFolder Dir;
    const char* Old = std::getenv("TMPDIR");
    const std::string Saved = Old ? Old : "";
    ::setenv("TMPDIR", (Dir / "").c_str(), 1);
    std::string A, B;
    {
        auto T1 = TFileStream::CreateTemporary("RPF");
        auto T2 = TFileStream::CreateTemporary("RPF");
        A = T1->FileName();
        B = T2->FileName();
        EXPECT_NE(A, B);
        EXPECT_EQ(ExtractFileName(A).substr(0, 3), "RPF");
        EXPECT_TRUE(FileExists(A));
        T1->WriteBuffer("x", 1);
        EXPECT_EQ(T1->Size(), 1);
        // A picture read by its file name: the file made is the one named.
        auto Png = TFileStream::CreateTemporary("chpicture", ".png");
        const std::string Name = ExtractFileName(Png->FileName());
        EXPECT_EQ(Name.substr(0, 9), "chpicture");
        EXPECT_EQ(ExtractFileExt(Name), ".png");
        EXPECT_EQ(Png->Size(), 0);
        struct stat St {};
        ASSERT_EQ(::stat(Png->FileName().c_str(), &St), 0);
        EXPECT_EQ(St.st_mode & 0777, 0600u) << "for its owner only";
    }
    EXPECT_FALSE(FileExists(A));
    EXPECT_FALSE(FileExists(B));
    EXPECT_TRUE(Dir.Entries().empty());
    if (Old)
        ::setenv("TMPDIR", Saved.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

TEST(Streams, AFileWrittenWholeReplacesItsTargetOnlyOnCommit)
{
    TempFolder Dir;
    const std::string Name = Dir / "kept.txt";
    { std::ofstream(Name) << "old"; }
    ::chmod(Name.c_str(), 0640);
    TFileStream Reader(Name, fmOpenRead);
    {
        TAtomicFileStream Out(Name);
        Out.WriteBuffer("new!", 4);
        EXPECT_EQ(Content(Name), "old");
    }   // not committed
    EXPECT_EQ(Content(Name), "old");
    EXPECT_EQ(Dir.Entries().size(), 1u);
    {
        TAtomicFileStream Out(Name);
        Out.WriteBuffer("new!", 4);
        Out.Commit();
    }
    EXPECT_EQ(Content(Name), "new!");
    struct stat St {};
    ::stat(Name.c_str(), &St);
    EXPECT_EQ(St.st_mode & 0777, 0640u);
    char Old[3];
    Reader.ReadBuffer(Old, 3);
    EXPECT_EQ(std::string(Old, 3), "old") << "an open reader keeps the former bytes";
    // A rename that cannot happen leaves no temporary file.
    std::filesystem::create_directory(Dir / "folder");
    TAtomicFileStream Out(Dir / "folder");
    Out.WriteBuffer("x", 1);
    EXPECT_THROW(Out.Commit(), EWriteError);
    EXPECT_EQ(Dir.Entries().size(), 2u);
    EXPECT_THROW(TAtomicFileStream(Dir / "no/such.txt"), EFCreateError);
}

// A file made beside a target, to be renamed onto it, keeps within the
// limit of one name whatever the target's length: the part taken from the
// target's name is shortened, on a character boundary.
TEST(Streams, FilesMadeBesideATargetFitTheNameLimitWhateverItsLength)
{
    TempFolder Dir;
    std::string Accents = "x";
    for (int i = 0; i < 127; ++i)
        Accents += "\xC3\xA9";   // two bytes, one character
    struct Case {
        const char* Name;
        std::string Target;
    };
    const Case Cases[] = {
        {"short", "run.zrp"},
        {"246 bytes", std::string(242, 'a') + ".zrp"},
        {"250 bytes", std::string(246, 'b') + ".zrp"},
        {"252 bytes", std::string(248, 'c') + ".zrp"},
        {"255 bytes", std::string(251, 'd') + ".zrp"},
        {"255 bytes of two-byte characters", Accents},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.Name);
        const std::string Target = Dir / K.Target;
        ASSERT_LE(K.Target.size(), 255u);
        for (const char* Suffix : {".part", ".tmp"}) {
            const auto File = TFileStream::CreateBeside(Target, Suffix);
            const std::string Made = File->FileName();
            EXPECT_EQ(ExtractFilePath(Made), ExtractFilePath(Target));
            const std::string Name = ExtractFileName(Made);
            EXPECT_LE(Name.size(), 255u) << Name;
            ASSERT_GT(Name.size(), std::strlen(Suffix));
            EXPECT_EQ(Name.substr(Name.size() - std::strlen(Suffix)), Suffix);
            // It starts with the target's name, or as much of it as fits
            // ending on a whole character; the rest is plain ASCII.
            const std::string Stem = K.Target + ".";
            const size_t Kept = static_cast<size_t>(
                std::mismatch(Name.begin(), Name.end(), Stem.begin(), Stem.end()).first - Name.begin());
            EXPECT_GE(Kept, std::min<size_t>(Stem.size(), 200)) << Name;
            if (Kept < Stem.size()) {
                EXPECT_NE(static_cast<unsigned char>(Stem[Kept]) & 0xC0, 0x80) << Name;
            }
            EXPECT_TRUE(std::all_of(Name.begin() + static_cast<std::ptrdiff_t>(Kept), Name.end(),
                                    [](char C) { return static_cast<unsigned char>(C) < 0x80; }))
                << Name;
            EXPECT_EQ(Content(Made), "");
            ::unlink(Made.c_str());
        }
        // The writers that put a whole file in place through such a file.
        {
            TAtomicFileStream Out(Target);
            Out.WriteBuffer("stream", 6);
            Out.Commit();
        }
        EXPECT_EQ(Content(Target), "stream");
        std::string Error;
        EXPECT_TRUE(WriteFileAtomic(Target, "whole", Error)) << Error;
        EXPECT_EQ(Content(Target), "whole");
        EXPECT_EQ(Dir.Entries(), std::vector<std::string>{K.Target});
        ::unlink(Target.c_str());
    }
}

