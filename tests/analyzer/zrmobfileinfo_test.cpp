// One entry of the handheld unit's file directory: what makes it valid, how
// its name is cleaned and when its date-time is 0 or kept. (Clearing an
// entry is tested with the download.)
#include "analyzer/Zrmobfileinfo.h"

#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// An entry in use: index, name, hour, minute, second, day, month, year - 2000.
std::vector<uint8_t> Entry(uint8_t Index, const std::string& Name, uint8_t H, uint8_t N, uint8_t S, uint8_t D,
                           uint8_t M, uint8_t Y)
{
    std::vector<uint8_t> B(FileIndexEntrySize, 0);
    B[0] = 1;
    B[1] = Index;
    B[2] = 12;
    B[3] = static_cast<uint8_t>(Name.size());
    for (size_t i = 0; i < Name.size() && i < 25; ++i)
        B[4 + i] = static_cast<uint8_t>(Name[i]);
    B[29] = H;
    B[30] = N;
    B[31] = S;
    B[32] = D;
    B[33] = M;
    B[34] = Y;
    return B;
}

constexpr double Untouched = 1234.5;

struct ParseCase {
    const char* What;
    std::vector<uint8_t> Bytes;
    size_t Length;
    bool Valid;
    int Index;
    std::string Name;
    double DateTime;
};

TEST(ParseFileIndexEntry, EntriesAsTheHandheldSendsThem)
{
    const double When = EncodeDate(2023, 11, 5) + EncodeTime(13, 45, 30, 0);
    auto Unused = Entry(3, "X", 1, 2, 3, 4, 5, 6);
    Unused[0] = 0;
    auto Other = Entry(3, "X", 1, 2, 3, 4, 5, 6);
    Other[0] = 2;
    auto LongName = Entry(7, std::string(25, 'N'), 13, 45, 30, 5, 11, 23);
    LongName[3] = 30;   // claims more than the 25 characters there are
    const std::string Control = std::string("a\x01") + "\x7f" + "b~\x1f c";

    const ParseCase Cases[] = {
        {"a plain entry", Entry(0, "TEST01", 13, 45, 30, 5, 11, 23), FileIndexEntrySize, true, 0, "TEST01", When},
        {"blanks are dropped", Entry(4, "AB CD", 13, 45, 30, 5, 11, 23), FileIndexEntrySize, true, 4, "ABCD", When},
        {"control characters and DEL are dropped", Entry(5, Control, 13, 45, 30, 5, 11, 23), FileIndexEntrySize,
         true, 5, "ab~c", When},
        {"a name of more than 25 stops at 25", LongName, FileIndexEntrySize, true, 7, std::string(25, 'N'), When},
        {"hour 25 gives date-time 0", Entry(1, "A", 25, 0, 0, 5, 11, 23), FileIndexEntrySize, true, 1, "A", 0},
        {"minute 60 gives date-time 0", Entry(1, "A", 1, 60, 0, 5, 11, 23), FileIndexEntrySize, true, 1, "A", 0},
        {"month 13 gives date-time 0", Entry(1, "A", 1, 2, 3, 5, 13, 23), FileIndexEntrySize, true, 1, "A", 0},
        {"30 February gives date-time 0", Entry(1, "A", 1, 2, 3, 30, 2, 24), FileIndexEntrySize, true, 1, "A", 0},
        {"29 February of a leap year", Entry(1, "A", 0, 0, 0, 29, 2, 24), FileIndexEntrySize, true, 1, "A",
         EncodeDate(2024, 2, 29)},
        {"not in use", Unused, FileIndexEntrySize, false, 3, "", Untouched},
        {"in-use byte other than 1", Other, FileIndexEntrySize, false, 3, "", Untouched},
        {"index 49 is the last entry", Entry(49, "L", 1, 2, 3, 4, 5, 6), FileIndexEntrySize, true, 49, "L",
         EncodeDate(2006, 5, 4) + EncodeTime(1, 2, 3, 0)},
        {"index 50 is outside the directory", Entry(50, "L", 1, 2, 3, 4, 5, 6), FileIndexEntrySize, false, 50, "",
         Untouched},
        {"index 255 is outside the directory", Entry(255, "L", 1, 2, 3, 4, 5, 6), FileIndexEntrySize, false, 255, "",
         Untouched},
        {"one byte short of the layout", Entry(2, "S", 1, 2, 3, 4, 5, 6), FileIndexEntrySize - 1, false, 2, "",
         Untouched},
        {"only the in-use byte", Entry(2, "S", 1, 2, 3, 4, 5, 6), 1, false, 0, "", Untouched},
    };
    for (const ParseCase& C : Cases) {
        TZRMobFileInfo E;
        E.Name = "old";
        E.Index = 77;
        E.DateTime = Untouched;
        // Exactly Length bytes, so reading past them shows under the sanitizer.
        const std::vector<uint8_t> Bytes(C.Bytes.begin(), C.Bytes.begin() + static_cast<long>(C.Length));
        ParseFileIndexEntry(E, Bytes.data(), Bytes.size());
        EXPECT_EQ(E.Valid, C.Valid) << C.What;
        EXPECT_EQ(E.Index, C.Index) << C.What;
        EXPECT_EQ(E.Name, C.Name) << C.What;
        EXPECT_NEAR(E.DateTime, C.DateTime, 1e-9) << C.What;
    }
}

TEST(ParseFileIndexEntry, NoBytesAtAll)
{
    TZRMobFileInfo E;
    E.Valid = true;
    E.Name = "old";
    ParseFileIndexEntry(E, nullptr, 0);
    EXPECT_FALSE(E.Valid);
    EXPECT_EQ(E.Index, 0);
    EXPECT_EQ(E.Name, "");
}

}  // namespace
