// The page list and the saved-report file: layout, the record walk, coded
// pages, links, damaged files, saving and loading.
#include "tests/report/RpRig.h"

#include "platform/SysUtils.h"
#include "report/RpPageList.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

using namespace rprig;

namespace {

// Record starts of a well-formed file, page 1 first.
std::vector<size_t> RecordStarts(const Bytes& B, size_t Header = 128)
{
    std::vector<size_t> Starts;
    for (size_t R = Header; R + 12 <= B.size(); R = static_cast<size_t>(I32(B, R + 4)))
        Starts.push_back(R);
    return Starts;
}

// True while this process holds Name open.
bool FileIsOpen(const std::string& Name)
{
    const auto Target = std::filesystem::weakly_canonical(Name);
    for (const auto& Fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code Ec;
        if (std::filesystem::read_symlink(Fd.path(), Ec) == Target)
            return true;
    }
    return false;
}

class NowGuard {
public:
    explicit NowGuard(TDateTime T) { SetNowOverride([T] { return T; }); }
    ~NowGuard() { SetNowOverride({}); }
};

}  // namespace

TEST(RpPageList, TwoPlainPagesMakeTheFileByteForByte)
{
    NowGuard Clock(45000.75);
    const auto P1 = MakePage(1), P2 = MakePage(2);
    const Bytes M1 = StoredBytes(P1.get()), M2 = StoredBytes(P2.get());
    ASSERT_NE(M1.size(), M2.size());
    TRpPageList L;
    L.AddPage(P1.get());
    L.AddPage(P2.get());
    L.Finish();
    TTempDir Dir;
    L.SaveToFile(Dir / "two.rpf");
    const Bytes B = ReadFile(Dir / "two.rpf");

    const size_t m1 = M1.size(), m2 = M2.size();
    ASSERT_EQ(B.size(), 152 + m1 + m2);
    EXPECT_EQ(B[0] | B[1] << 8, 3);
    EXPECT_EQ(B[2] | B[3] << 8, 404);
    EXPECT_EQ(I32(B, 8), 2);
    double Stamp = 0;
    std::memcpy(&Stamp, B.data() + 16, 8);
    EXPECT_EQ(Stamp, 45000.75);
    EXPECT_EQ(B[25], 0);
    EXPECT_EQ(I32(B, 128), 1);
    EXPECT_EQ(I32(B, 132), static_cast<int32_t>(140 + m1));
    EXPECT_TRUE(std::equal(M1.begin(), M1.end(), B.begin() + 136));
    EXPECT_EQ(I32(B, 136 + m1), 128);
    EXPECT_EQ(I32(B, 140 + m1), 2);
    EXPECT_EQ(I32(B, 144 + m1), static_cast<int32_t>(B.size()));
    EXPECT_TRUE(std::equal(M2.begin(), M2.end(), B.begin() + 148 + static_cast<long>(m1)));
    EXPECT_EQ(I32(B, B.size() - 4), static_cast<int32_t>(140 + m1));
    // The metafile signature sits where the header-size probe looks for it.
    EXPECT_EQ(std::string(B.begin() + 177, B.begin() + 180), "EMF");

    EXPECT_EQ(PageBytes(L, 1), M1);
    EXPECT_EQ(PageBytes(L, 2), M2);
    EXPECT_EQ(L.GetPage(0), nullptr);
    EXPECT_EQ(L.GetPage(3), nullptr);

    TRpPageList Loaded;
    Loaded.LoadFromFile(Dir / "two.rpf");
    EXPECT_EQ(Loaded.PageCount(), 2);
    EXPECT_EQ(Loaded.FileName(), Dir / "two.rpf");
    EXPECT_EQ(PageBytes(Loaded, 2), M2);
    EXPECT_EQ(PageBytes(Loaded, 1), M1);
}

TEST(RpPageList, AListWithoutPagesKeepsItsHeader)
{
    TTempDir Dir;
    TRpPageList Finished;
    Finished.SetStream(std::make_unique<TRpStream>(RpDefaultMemoryLimit));
    Finished.Finish();
    EXPECT_EQ(Finished.Stream()->Size(), 128);
    TRpPageList NeverStarted;   // no stream at all
    for (TRpPageList* L : {&Finished, &NeverStarted}) {
        L->SaveToFile(Dir / "empty.rpf");
        const Bytes B = ReadFile(Dir / "empty.rpf");
        ASSERT_EQ(B.size(), 128u);
        EXPECT_EQ(I32(B, 8), 0);
        // 128 bytes are too short for the probe: the 128-byte header.
        TRpPageList Loaded;
        Loaded.LoadFromFile(Dir / "empty.rpf");
        EXPECT_EQ(Loaded.PageCount(), 0);
        EXPECT_EQ(Loaded.FileHeaderSize(), 128);
        EXPECT_EQ(Loaded.GetPage(1), nullptr);
    }
}

TEST(RpPageList, SeekToPageWalksBothWays)
{
    auto L = MakeList(5);
    TMemoryStream Copy;
    L->Stream()->SaveToStream(&Copy);
    const Bytes B(Copy.Memory(), Copy.Memory() + Copy.Size());
    const std::vector<size_t> At = RecordStarts(B);
    ASSERT_EQ(At.size(), 5u);
    TRpStream* S = L->Stream();
    const auto Seek = [&](int N) {
        L->SeekToPage(N);
        return static_cast<size_t>(S->Position());
    };
    L->SeekToLast();
    EXPECT_EQ(static_cast<size_t>(S->Position()), At[4]);
    S->Seek(0, soEnd);
    EXPECT_EQ(Seek(1), 128u) << "page 1 from the end goes straight to the first record";
    EXPECT_EQ(Seek(4), At[3]);
    EXPECT_EQ(Seek(2), At[1]);
    EXPECT_EQ(Seek(5), At[4]);
    S->Seek(0, soEnd);
    EXPECT_EQ(Seek(3), At[2]);
    EXPECT_EQ(PageBytes(*L, 3), StoredBytes(MakePage(3).get()));
    EXPECT_EQ(static_cast<size_t>(S->Position()), At[3]) << "a read ends at the next record";
    EXPECT_THROW(L->SeekToPage(6), ERpError);
}

TEST(RpPageList, CodedPagesDecodeToTheOriginals)
{
    TTempDir Dir;
    auto L = MakeList(3, true);
    L->SaveToFile(Dir / "coded.rpf");
    const Bytes B = ReadFile(Dir / "coded.rpf");
    EXPECT_EQ(B[25], 1);
    TRpPageList Loaded;
    Loaded.LoadFromFile(Dir / "coded.rpf");
    EXPECT_TRUE(Loaded.Compression());
    ASSERT_EQ(Loaded.PageCount(), 3);
    for (int N : {2, 3, 1}) {
        const Bytes Original = StoredBytes(MakePage(N).get());
        EXPECT_EQ(PageBytes(Loaded, N), Original);
        // Body: i32 L, then the code.
        const size_t R = RecordStarts(B)[static_cast<size_t>(N - 1)];
        EXPECT_EQ(I32(B, R + 8), static_cast<int32_t>(Original.size()));
        EXPECT_LT(static_cast<size_t>(I32(B, R + 4)) - R, Original.size()) << "coding made it smaller";
    }
    std::unique_ptr<TMetafile> M;
    std::unique_ptr<THyperlinkList> Links;
    Loaded.GetPageEx(2, M, Links);
    EXPECT_NE(M, nullptr);
    EXPECT_EQ(Links, nullptr);
}

TEST(RpPageList, AnOlderFileWithA124ByteHeaderIsRead)
{
    // The same two pages behind the tighter header: every offset 4 less.
    auto L = MakeList(2);
    TMemoryStream Copy;
    L->Stream()->SaveToStream(&Copy);
    const Bytes New(Copy.Memory(), Copy.Memory() + Copy.Size());
    Bytes Old(New.begin() + 4, New.end());
    std::fill(Old.begin(), Old.begin() + 124, 0);
    Old[0] = 3;
    Old[2] = 404 & 0xFF;
    Old[3] = 404 >> 8;
    PutI32(Old, 8, 2);
    for (size_t R : RecordStarts(New)) {
        const size_t E = static_cast<size_t>(I32(New, R + 4));
        PutI32(Old, R - 4 + 4, static_cast<int32_t>(E - 4));
        PutI32(Old, E - 4 - 4, static_cast<int32_t>(R - 4));
    }
    ASSERT_EQ(std::string(Old.begin() + 173, Old.begin() + 177), std::string("EMF\0", 4));
    TTempDir Dir;
    WriteFile(Dir / "old.rpf", Old);
    TRpPageList Loaded;
    Loaded.LoadFromFile(Dir / "old.rpf");
    EXPECT_EQ(Loaded.FileHeaderSize(), 124);
    EXPECT_EQ(Loaded.PageCount(), 2);
    EXPECT_FALSE(Loaded.Compression());
    EXPECT_EQ(PageBytes(Loaded, 1), StoredBytes(MakePage(1).get()));
    EXPECT_EQ(PageBytes(Loaded, 2), StoredBytes(MakePage(2).get()));
}

TEST(RpPageList, LinksTravelWithTheirPage)
{
    THyperlinkList Links;
    Links.push_back(std::make_unique<THyperlink>(Rect(1, 2, 30, 40), "ext:https://example.org"));
    Links.push_back(std::make_unique<THyperlink>(Rect(-5, 0, 5, 9), "INT:Kapitel \xC3\xBC" "ber"));
    TRpPageList L;
    L.AddPageEx(MakePage(1).get(), &Links);
    L.AddPageEx(MakePage(2).get(), nullptr);
    L.AddPage(MakePage(3).get());
    L.Finish();
    TTempDir Dir;
    L.SaveToFile(Dir / "links.rpf");
    TRpPageList Loaded;
    Loaded.LoadFromFile(Dir / "links.rpf");
    std::unique_ptr<TMetafile> M;
    std::unique_ptr<THyperlinkList> Got;
    Loaded.GetPageEx(1, M, Got);
    ASSERT_NE(Got, nullptr);
    ASSERT_EQ(Got->size(), 2u);
    EXPECT_EQ((*Got)[0]->Area(), Rect(1, 2, 30, 40));
    EXPECT_EQ((*Got)[0]->Link(), "ext:https://example.org");
    EXPECT_EQ((*Got)[1]->Area(), Rect(-5, 0, 5, 9));
    EXPECT_EQ((*Got)[1]->Link(), "INT:Kapitel \xC3\xBC" "ber");
    EXPECT_EQ(M->SaveToBytes(), StoredBytes(MakePage(1).get()));
    for (int N : {2, 3}) {
        Loaded.GetPageEx(N, M, Got);
        EXPECT_NE(M, nullptr);
        EXPECT_EQ(Got, nullptr) << N;
    }
    Loaded.GetPageEx(4, M, Got);
    EXPECT_EQ(M, nullptr);
    EXPECT_EQ(PageBytes(Loaded, 1), StoredBytes(MakePage(1).get())) << "GetPage skips the links";
}

TEST(RpPageList, DamagedFilesAreRefusedAndTheLoadedReportStays)
{
    TTempDir Dir;
    // The report being shown.
    auto Good = MakeList(2);
    Good->SaveToFile(Dir / "good.rpf");
    const Bytes GoodPage1 = PageBytes(*Good, 1);
    // Four plain pages with links, and three coded pages.
    THyperlinkList Links;
    Links.push_back(std::make_unique<THyperlink>(Rect(0, 0, 10, 10), "ext:a"));
    TRpPageList Linked;
    for (int N = 1; N <= 4; ++N)
        Linked.AddPageEx(MakePage(N).get(), &Links);
    Linked.Finish();
    Linked.SaveToFile(Dir / "plain.rpf");
    MakeList(3, true)->SaveToFile(Dir / "codedbase.rpf");
    const Bytes Plain = ReadFile(Dir / "plain.rpf"), Coded = ReadFile(Dir / "codedbase.rpf");
    const std::vector<size_t> At = RecordStarts(Plain), CodedAt = RecordStarts(Coded);
    ASSERT_EQ(At.size(), 4u);
    const size_t Last = At[3], End = Plain.size();
    const size_t LastMetafile = StoredBytes(MakePage(4).get()).size();

    struct Case {
        const char* Name;
        bool FromCoded;
        std::function<void(Bytes&)> Damage;
    };
    const Case Cases[] = {
        {"cut header", false, [](Bytes& B) { B.resize(100); }},
        {"cut in the last record", false, [](Bytes& B) { B.resize(B.size() - 10); }},
        {"count above the records", false, [](Bytes& B) { PutI32(B, 8, 5); }},
        {"negative count", false, [](Bytes& B) { PutI32(B, 8, -1); }},
        {"count beyond the file", false, [](Bytes& B) { PutI32(B, 8, 0x7FFFFFFF); }},
        {"count 0 with pages", false, [](Bytes& B) { PutI32(B, 8, 0); }},
        {"end offset past the file", false, [&](Bytes& B) { PutI32(B, At[1] + 4, static_cast<int32_t>(End + 100)); }},
        {"end offset into its own record", false, [&](Bytes& B) { PutI32(B, At[2] + 4, static_cast<int32_t>(At[2] + 4)); }},
        {"last end offset short", false, [&](Bytes& B) { PutI32(B, Last + 4, static_cast<int32_t>(End - 8)); }},
        {"last back link 0", false, [&](Bytes& B) { PutI32(B, End - 4, 0); }},
        {"last back link into the header", false, [&](Bytes& B) { PutI32(B, End - 4, 60); }},
        {"back link 0", false, [&](Bytes& B) { PutI32(B, At[2] - 4, 0); }},
        {"back link to itself", false, [&](Bytes& B) { PutI32(B, At[2] - 4, static_cast<int32_t>(At[2])); }},
        {"skipped page numbers", false,
         [&](Bytes& B) {
             PutI32(B, At[2], 4);
             PutI32(B, At[3], 5);
             PutI32(B, 8, 5);
         }},
        {"first record after the header moved", false, [&](Bytes& B) { PutI32(B, At[1] - 4, 132); }},
        {"metafile longer than its record", false,
         [&](Bytes& B) { PutI32(B, Last + 8 + 48, static_cast<int32_t>(LastMetafile + 200)); }},
        {"metafile that is no picture", false, [&](Bytes& B) { B[Last + 8 + 41] = 'X'; }},
        {"link count longer than its record", false,
         [&](Bytes& B) { PutI32(B, Last + 8 + LastMetafile, 1000); }},
        {"link text longer than its record", false,
         [&](Bytes& B) { PutI32(B, Last + 8 + LastMetafile + 4 + 16, 100000); }},
        {"negative link text", false, [&](Bytes& B) { PutI32(B, Last + 8 + LastMetafile + 4 + 16, -2); }},
        {"coded length the code cannot hold", true,
         [&](Bytes& B) {
             const size_t R = CodedAt[2];
             const int32_t CodeBytes = I32(B, R + 4) - static_cast<int32_t>(R) - 16;
             PutI32(B, R + 8, CodeBytes * 8 + 1);
         }},
        {"coded length beyond all", true, [&](Bytes& B) { PutI32(B, CodedAt[2] + 8, 0x7FFFFFFF); }},
        {"coded length negative", true, [&](Bytes& B) { PutI32(B, CodedAt[2] + 8, -9); }},
        {"code longer than its bytes", true,
         [&](Bytes& B) { PutI32(B, CodedAt[2] + 8, I32(B, CodedAt[2] + 8) + 500); }},
        {"no report at all", false, [](Bytes& B) { B.assign(300, 'x'); }},
    };
    TRpPageList Shown;
    Shown.LoadFromFile(Dir / "good.rpf");
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Bytes B = C.FromCoded ? Coded : Plain;
        C.Damage(B);
        const std::string Bad = Dir / "bad.rpf";
        WriteFile(Bad, B);
        try {
            Shown.LoadFromFile(Bad);
            ADD_FAILURE() << "loaded";
        } catch (const ERpError& E) {
            EXPECT_NE(std::string(E.what()).find(Bad), std::string::npos) << E.what();
        }
        EXPECT_FALSE(FileIsOpen(Bad));
        EXPECT_EQ(Shown.FileName(), Dir / "good.rpf");
        EXPECT_EQ(Shown.PageCount(), 2);
        EXPECT_FALSE(Shown.Compression());
        EXPECT_EQ(PageBytes(Shown, 1), GoodPage1);
    }
    EXPECT_THROW(Shown.LoadFromFile(Dir / "missing.rpf"), ERpError);
    EXPECT_EQ(PageBytes(Shown, 2), PageBytes(*Good, 2));
}

TEST(RpPageList, ADamagedMiddlePageFailsAloneAndTheOthersStillRead)
{
    TTempDir Dir;
    MakeList(3)->SaveToFile(Dir / "three.rpf");
    Bytes B = ReadFile(Dir / "three.rpf");
    B[RecordStarts(B)[1] + 8 + 41] = 'X';   // page 2's metafile signature
    WriteFile(Dir / "three.rpf", B);
    TRpPageList L;
    L.LoadFromFile(Dir / "three.rpf");
    try {
        L.GetPage(2);
        ADD_FAILURE() << "read";
    } catch (const ERpError& E) {
        EXPECT_NE(std::string(E.what()).find("three.rpf"), std::string::npos);
        EXPECT_NE(std::string(E.what()).find("page 2"), std::string::npos) << E.what();
    }
    EXPECT_EQ(PageBytes(L, 3), StoredBytes(MakePage(3).get()));
    EXPECT_EQ(PageBytes(L, 1), StoredBytes(MakePage(1).get()));
}

TEST(RpPageList, SavingOverTheLoadedFileKeepsItsBytes)
{
    TTempDir Dir;
    const std::string Name = Dir / "report.rpf";
    MakeList(5)->SaveToFile(Name);
    const Bytes Before = ReadFile(Name);
    TRpPageList L;
    L.LoadFromFile(Name);
    L.SaveToFile(Name);
    EXPECT_EQ(ReadFile(Name), Before);
    EXPECT_EQ(PageBytes(L, 3), StoredBytes(MakePage(3).get()));
    EXPECT_EQ(Dir.Entries(), std::vector<std::string>{"report.rpf"}) << "no temporary file left";
    TRpPageList Again;
    Again.LoadFromFile(Name);
    EXPECT_EQ(Again.PageCount(), 5);
}

TEST(RpPageList, AFailedSaveLeavesNoHalfFile)
{
    TTempDir Dir;
    auto L = MakeList(2);
    std::filesystem::create_directory(Dir / "taken.rpf");   // the rename cannot replace a folder
    try {
        L->SaveToFile(Dir / "taken.rpf");
        ADD_FAILURE() << "saved";
    } catch (const ERpError& E) {
        EXPECT_NE(std::string(E.what()).find("taken.rpf"), std::string::npos) << E.what();
    }
    EXPECT_EQ(Dir.Entries(), std::vector<std::string>{"taken.rpf"});
    EXPECT_THROW(L->SaveToFile(Dir / "no/such/folder.rpf"), ERpError);
    EXPECT_EQ(PageBytes(*L, 2), StoredBytes(MakePage(2).get()));
}

TEST(RpPageList, ARunCutShortIsSavedWithAllItsPages)
{
    // No Finish: the header still announces the first page only.
    TRpPageList L;
    for (int N = 1; N <= 3; ++N)
        L.AddPage(MakePage(N).get());
    TMemoryStream Copy;
    L.Stream()->SaveToStream(&Copy);
    EXPECT_EQ(I32(Bytes(Copy.Memory(), Copy.Memory() + Copy.Size()), 8), 1);
    TTempDir Dir;
    L.SaveToFile(Dir / "cut.rpf");
    Bytes B = ReadFile(Dir / "cut.rpf");
    EXPECT_EQ(I32(B, 8), 3);
    // A file written that way elsewhere still opens with all its pages.
    PutI32(B, 8, 1);
    WriteFile(Dir / "cut.rpf", B);
    TRpPageList Loaded;
    Loaded.LoadFromFile(Dir / "cut.rpf");
    EXPECT_EQ(Loaded.PageCount(), 3);
    EXPECT_EQ(PageBytes(Loaded, 3), StoredBytes(MakePage(3).get()));
}

TEST(RpPageList, ANewRunAfterClearStartsAfreshAndAFailedPageLeavesNoTrace)
{
    auto L = MakeList(3);
    L->Clear();
    L->AddPage(MakePage(9).get());
    L->Finish();
    const size_t M9 = StoredBytes(MakePage(9).get()).size();
    EXPECT_EQ(L->Stream()->Size(), static_cast<int64_t>(128 + 8 + M9 + 4));
    EXPECT_EQ(L->PageCount(), 1);
    EXPECT_EQ(PageBytes(*L, 1), StoredBytes(MakePage(9).get()));

    // A loaded report is read-only: adding to it fails and changes nothing.
    TTempDir Dir;
    MakeList(2)->SaveToFile(Dir / "ro.rpf");
    TRpPageList Loaded;
    Loaded.LoadFromFile(Dir / "ro.rpf");
    EXPECT_THROW(Loaded.AddPage(MakePage(5).get()), ERpError);
    EXPECT_EQ(Loaded.PageCount(), 2);
    EXPECT_EQ(PageBytes(Loaded, 2), StoredBytes(MakePage(2).get()));
    EXPECT_EQ(PageBytes(Loaded, 1), StoredBytes(MakePage(1).get()));
}

TEST(RpPageList, PagesAddedOnOneThreadReadOnAnother)
{
    TTempDir Dir;
    const char* OldTmp = std::getenv("TMPDIR");
    const std::string Saved = OldTmp ? OldTmp : "";
    ::setenv("TMPDIR", Dir.Path().c_str(), 1);
    TRpPageList L;
    L.SetStream(std::make_unique<TRpStream>(20000));   // moves to a file early on
    std::vector<std::unique_ptr<TMetafile>> Pages;
    std::vector<Bytes> Expected;
    for (int N = 1; N <= 40; ++N) {
        Pages.push_back(MakePage(N));
        Expected.push_back(StoredBytes(Pages.back().get()));
    }
    std::atomic<bool> Done{false};
    std::thread Writer([&] {
        for (const auto& P : Pages)
            L.AddPage(P.get());
        Done = true;
    });
    int Reads = 0;
    bool Mismatch = false;
    while (!Done || Reads == 0) {
        const int Count = L.PageCount();
        for (int N : {Count, 1, Count / 2}) {
            if (N < 1 || N > Count)
                continue;
            Mismatch |= PageBytes(L, N) != Expected[static_cast<size_t>(N - 1)];
            ++Reads;
        }
    }
    Writer.join();
    EXPECT_FALSE(Mismatch);
    EXPECT_FALSE(L.Stream()->InMemory());
    L.Finish();
    EXPECT_EQ(PageBytes(L, 40), Expected[39]);
    if (OldTmp)
        ::setenv("TMPDIR", Saved.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}
