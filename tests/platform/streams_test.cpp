// Byte streams: memory, files, temporary files and files replaced whole.
#include "platform/Streams.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>
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
    }
    EXPECT_FALSE(FileExists(A));
    EXPECT_FALSE(FileExists(B));
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
