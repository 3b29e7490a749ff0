// The handheld directory replies and the download of one file.
#include "analyzer/Zrmobfileinfo.h"
#include "tests/analyzer/LinkFakes.h"

#include <gtest/gtest.h>

namespace {

Bytes Entry(uint8_t Valid, uint8_t Index, uint8_t Count, const std::string& Name, uint8_t NameLength,
            uint8_t Month = 6)
{
    Bytes P{'l', Valid, Index, Count, NameLength};
    P.resize(5 + 25, 0);
    std::copy(Name.begin(), Name.begin() + std::min<size_t>(Name.size(), 25), P.begin() + 5);
    for (uint8_t B : {uint8_t(14), uint8_t(30), uint8_t(5), uint8_t(21), Month, uint8_t(24)})
        P.push_back(B);
    return MakeFrame('I', P);
}

Bytes Block(uint8_t File, uint16_t B, uint16_t N, uint8_t Fill)
{
    Bytes P{'d', File, static_cast<uint8_t>(B >> 8), static_cast<uint8_t>(B), static_cast<uint8_t>(N >> 8),
            static_cast<uint8_t>(N)};
    P.resize(6 + 25, Fill);
    return MakeFrame('I', P);
}

}  // namespace

TEST(HandheldDirectory, FillsEntriesAndRefreshesAfterTheLast)
{
    LinkRig R;
    R.Dialog.Infos[1].DateTime = 5;
    R.Receive(Entry(1, 0, 3, std::string("A B\x01") + "C", 5));
    R.Receive(Entry(0, 1, 3, "Ignored", 7));
    EXPECT_EQ(R.Dialog.Updates, 0);
    R.Receive(Entry(1, 2, 3, "Bad Month", 9, 13));
    EXPECT_EQ(R.Dialog.Updates, 1);

    const TZRMobFileInfo* E = R.Dialog.Infos;
    EXPECT_TRUE(E[0].Valid);
    EXPECT_EQ(E[0].Name, "ABC");
    TDateTime D, T;
    TryEncodeDate(2024, 6, 21, D);
    TryEncodeTime(14, 30, 5, 0, T);
    EXPECT_DOUBLE_EQ(E[0].DateTime, D + T);
    EXPECT_FALSE(E[1].Valid);
    EXPECT_EQ(E[1].Index, 1);
    EXPECT_EQ(E[1].Name, "");
    EXPECT_EQ(E[1].DateTime, 5);  // kept
    EXPECT_EQ(E[2].Name, "BadMonth");
    EXPECT_EQ(E[2].DateTime, 0);
    EXPECT_EQ(R.Memo.Lines, (std::vector<std::string>{"FI idx 0", "FI idx 1", "FI idx 2"}));
    EXPECT_FALSE(R.Proto.ReplyReceived());
}

TEST(HandheldDirectory, BoundsOfIndexNameAndCount)
{
    LinkRig R;
    R.Receive(Entry(1, 50, 60, "Beyond", 6));  // not stored, nothing overwritten
    R.Receive(Entry(1, 255, 0, "Beyond", 6));
    for (const auto& E : R.Dialog.Infos)
        EXPECT_FALSE(E.Valid);
    EXPECT_EQ(R.Dialog.Updates, 1);  // count 0: every entry is the last

    R.Receive(Entry(1, 3, 5, std::string(30, 'N'), 200));
    EXPECT_EQ(R.Dialog.Infos[3].Name, std::string(25, 'N'));
    EXPECT_EQ(R.Dialog.Updates, 1);
    R.Receive(Entry(1, 4, 5, "Last", 4));
    EXPECT_EQ(R.Dialog.Updates, 2);
}

TEST(HandheldDownload, StoresBlocksAndIgnoresThemWhenNoDownloadRuns)
{
    LinkRig R;
    FakeProgress Progress;
    std::vector<uint8_t> Buffer(20000, 0xEE);
    R.Port.OnBlock = [&](FakePort& P, const Bytes& Sent) {
        if (Sent[1] != 'I')
            return;
        Bytes Burst{ACK};
        for (const Bytes& B : {Block(2, 3, 640, 'c'), Block(2, 0, 640, 'z'), Block(2, 801, 900, 'z'),
                               Block(3, 4, 640, 'z'), Block(2, 5, 0, 'z'), Block(2, 1, 3, 'a'),
                               Block(2, 2, 3, 'b'), Block(2, 3, 3, 'c')})
            Burst.insert(Burst.end(), B.begin(), B.end());
        P.Deliver(Burst);
    };
    const bool Done = R.Proto.DownloadFile(2, Buffer.data(), Buffer.size(), &Progress);
    EXPECT_TRUE(Done);
    EXPECT_EQ(R.Port.Blocks[0], MakeFrame('I', {'D', 2}));
    EXPECT_EQ(Buffer[0], 'a');
    EXPECT_EQ(Buffer[25], 'b');
    EXPECT_EQ(Buffer[50], 'c');
    EXPECT_EQ(Buffer[74], 'c');
    EXPECT_EQ(Buffer[75], 0);      // cleared first, block 4 was another file's
    EXPECT_EQ(Buffer[19999], 0);
    EXPECT_EQ(Progress.Positions, (std::vector<int>{0, 0, 89, 0, 33, 66, 100}));
    EXPECT_EQ(R.Memo.CountOf("3 of 640"), 1);
    EXPECT_EQ(R.Memo.CountOf("5 of 0"), 1);

    // Unregistered on return: a late block changes nothing.
    R.Receive(Block(2, 1, 3, 'L'));
    EXPECT_EQ(Buffer[0], 'a');
    EXPECT_EQ(Progress.Positions.size(), 7u);
}

TEST(HandheldDownload, FailsWhenABlockIsMissingOrTheLastNamesAnotherFile)
{
    struct Case {
        const char* Name;
        std::vector<Bytes> Blocks;
    } Cases[] = {
        {"missing block", {Block(1, 1, 3, 'a'), Block(1, 3, 3, 'c')}},
        {"other file's last block", {Block(1, 1, 2, 'a'), Block(7, 2, 2, 'b')}},
    };
    for (const Case& C : Cases) {
        LinkRig R;
        std::vector<uint8_t> Buffer(20000);
        R.Port.OnBlock = [&](FakePort& P, const Bytes&) {
            P.Deliver({ACK});
            for (const Bytes& B : C.Blocks)
                P.Deliver(B);
        };
        EXPECT_FALSE(R.Proto.DownloadFile(1, Buffer.data(), Buffer.size(), nullptr)) << C.Name;
        EXPECT_EQ(Buffer[0], 'a') << C.Name;
    }
}

TEST(FileIndexEntry, ClearSetsTheCurrentTime)
{
    SetNowOverride([] { return 45000.5; });
    TZRMobFileInfo E;
    E.Valid = true;
    E.Index = 4;
    E.Name = "x";
    ClearFileIndexEntry(E);
    SetNowOverride(nullptr);
    EXPECT_FALSE(E.Valid);
    EXPECT_EQ(E.Index, 0);
    EXPECT_EQ(E.Name, "");
    EXPECT_EQ(E.DateTime, 45000.5);
}
