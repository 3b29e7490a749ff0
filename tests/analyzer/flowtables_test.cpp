// Flow linearization tables between the simulator's registers and ".zrb"
// files.
#include "tests/analyzer/CommandRig.h"

#include "analyzer/Flowtables.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

struct TableLayout {
    char Table;
    uint16_t IdHigh, IdLow, Checksum, RowA, RowB;
};

const TableLayout LowTable{'1', 194, 195, 197, 140, 153};
const TableLayout HighTable{'2', 192, 193, 196, 166, 179};

// The registers of Layout in the order the load writes them.
std::vector<uint16_t> WriteOrder(const TableLayout& T)
{
    std::vector<uint16_t> R{T.IdHigh, T.IdLow, T.Checksum};
    for (int i = 0; i < 13; ++i)
        R.push_back(static_cast<uint16_t>(T.RowA + i));
    for (int i = 0; i < 13; ++i)
        R.push_back(static_cast<uint16_t>(T.RowB + i));
    return R;
}

std::string TempPath(const std::string& Name)
{
    const auto Dir = std::filesystem::path(OZ_TEST_ARTIFACTS) / "flowtables";
    std::filesystem::create_directories(Dir);
    return (Dir / Name).string();
}

std::string ReadText(const std::string& Path)
{
    std::ifstream In(Path, std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
}

void WriteText(const std::string& Path, const std::string& Text)
{
    std::ofstream(Path, std::ios::binary) << Text;
}

// Identifier 131,075 (2 and 3), rows 2,000 + 100 i and 3,000 + 100 i; their
// sum passes 65,535, so the checksum wraps.
struct SampleTable {
    uint16_t Rows[26];
    uint16_t Checksum = 0;
    SampleTable()
    {
        uint32_t Sum = 0;
        for (int i = 0; i < 26; ++i) {
            Rows[i] = static_cast<uint16_t>((i < 13 ? 2000 : 3000) + 100 * (i % 13));
            Sum += Rows[i];
        }
        Checksum = static_cast<uint16_t>(Sum);
    }
    std::string File() const
    {
        std::string S = "131075\n" + std::to_string(Checksum) + "\n";
        for (uint16_t V : Rows)
            S += std::to_string(V) + "\n";
        return S;
    }
};

void PutTable(CommandRig& Rig, const TableLayout& T, const SampleTable& S)
{
    Rig.SetRegister(T.IdHigh, 2);
    Rig.SetRegister(T.IdLow, 3);
    Rig.SetRegister(T.Checksum, S.Checksum);
    for (int i = 0; i < 13; ++i) {
        Rig.SetRegister(static_cast<uint16_t>(T.RowA + i), S.Rows[i]);
        Rig.SetRegister(static_cast<uint16_t>(T.RowB + i), S.Rows[13 + i]);
    }
}

}  // namespace

TEST(FlowTables, ReadIntoAFileAndLoadBack)
{
    const SampleTable Sample;
    ASSERT_EQ(Sample.Checksum, (2000 * 13 + 3000 * 13 + 2 * 7800) % 65536);
    ASSERT_GT(2000 * 13 + 3000 * 13 + 2 * 7800, 65535);  // the sum wraps
    const struct {
        char Table;
        const TableLayout& Layout;
    } Cases[] = {{'1', LowTable}, {'2', HighTable}, {'x', LowTable}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Table);
        CommandRig Rig;
        Rig.Start();
        PutTable(Rig, C.Layout, Sample);
        const std::string Path = TempPath(std::string("table ") + C.Table + ".zrb");
        EXPECT_EQ(Rig.Proto->ReadFlowTable(C.Table, Path), ftWritten);
        EXPECT_EQ(ReadText(Path), Sample.File());
        // Each register was asked for once, in file order.
        std::vector<uint16_t> Asked;
        for (const auto& F : Rig.Got("E"))
            Asked.push_back(static_cast<uint16_t>(F.Payload[0] << 8 | F.Payload[1]));
        EXPECT_EQ(Asked, WriteOrder(C.Layout));

        {
            auto L = Rig.Sim.Lock();
            Rig.Sim.Device().Registers.clear();
        }
        Rig.Sim.ClearReceived();
        EXPECT_TRUE(Rig.Proto->LoadFlowTable(C.Table, Path));
        std::vector<uint16_t> Written;
        for (const auto& F : Rig.Got("W"))
            Written.push_back(static_cast<uint16_t>(F.Payload[0] << 8 | F.Payload[1]));
        EXPECT_EQ(Written, WriteOrder(C.Layout));
        EXPECT_EQ(Rig.Register(C.Layout.IdHigh), 2);
        EXPECT_EQ(Rig.Register(C.Layout.IdLow), 3);
        EXPECT_EQ(Rig.Register(C.Layout.Checksum), Sample.Checksum);
        EXPECT_EQ(Rig.Register(C.Layout.RowB + 12), Sample.Rows[25]);
    }
}

TEST(FlowTables, ChecksumIsTheRowSumModulo65536)
{
    CommandRig Rig;
    Rig.Start();
    // 26 values summing to 70,000: checksum 4,464 matches, 70,000 does not fit.
    Rig.SetRegister(197, 4464);
    for (int i = 0; i < 26; ++i)
        Rig.SetRegister(static_cast<uint16_t>(140 + i), i < 25 ? 2700 : 2500);
    const std::string Path = TempPath("sum.zrb");
    std::filesystem::remove(Path);
    EXPECT_EQ(Rig.Proto->ReadFlowTable('1', Path), ftWritten);
    EXPECT_EQ(ReadText(Path).substr(0, 7), "0\n4464\n");
    // The load writes the file's checksum unchanged, without checking it.
    std::string Ones;
    for (int i = 0; i < 26; ++i)
        Ones += "1\n";
    WriteText(Path, "0\n4465\n" + Ones);
    EXPECT_TRUE(Rig.Proto->LoadFlowTable('1', Path));
    EXPECT_EQ(Rig.Register(197), 4465);
    // A file that cannot be made, or a folder for a file, fails.
    EXPECT_EQ(Rig.Proto->ReadFlowTable('1', TempPath("no such folder/sum.zrb")), ftWriteFailed);
    EXPECT_FALSE(Rig.Proto->LoadFlowTable('1', TempPath("")));
}

TEST(FlowTables, AFailedReadWritesNothing)
{
    CommandRig Rig;
    // As the standard handler, except for register 150, which never answers.
    Rig.Sim.OnCommand('E', [](sim::AnalyzerSim& S, const sim::Frame& F) {
        const uint16_t R = static_cast<uint16_t>(F.Payload[0] << 8 | F.Payload[1]);
        if (R != 150)
            S.Reply('e', {F.Payload[0], F.Payload[1], 0, 0});
    });
    Rig.Start();
    // The silent register reads as 0xFFFF, and the checksum would match it.
    Rig.SetRegister(197, 0xFFFF);
    const std::string Path = TempPath("kept.zrb");
    WriteText(Path, "old table\n");
    EXPECT_EQ(Rig.Proto->ReadFlowTable('1', Path), ftReadFailed);
    EXPECT_EQ(ReadText(Path), "old table\n");
    EXPECT_EQ(Rig.Got("E").size(), 29u);  // the read goes on to the end
    EXPECT_EQ(Rig.Memo.Lines.back(), "ERROR Reading Linearization Table");
}

TEST(FlowTables, AChecksumMismatchStillWritesTheFileAndSaysSo)
{
    CommandRig Rig;
    Rig.Start();
    const SampleTable Sample;
    PutTable(Rig, LowTable, Sample);
    Rig.SetRegister(LowTable.Checksum, static_cast<uint16_t>(Sample.Checksum + 1));
    const std::string Path = TempPath("mismatch.zrb");
    WriteText(Path, "old table\n");

    EXPECT_EQ(Rig.Proto->ReadFlowTable('1', Path), ftChecksumMismatch);

    // The file holds what the analyzer holds, its checksum included.
    std::string Expected = Sample.File();
    const std::string Right = "\n" + std::to_string(Sample.Checksum) + "\n";
    const size_t At = Expected.find(Right);
    ASSERT_NE(At, std::string::npos);
    Expected.replace(At, Right.size(), "\n" + std::to_string(Sample.Checksum + 1) + "\n");
    EXPECT_EQ(ReadText(Path), Expected);
    EXPECT_EQ(Rig.Memo.Lines.back(), "Linearization Table Checksum Mismatch:  Calc " +
                                         std::to_string(Sample.Checksum) + " != Table " +
                                         std::to_string(Sample.Checksum + 1));
}

TEST(FlowTables, UnusableFilesSendNothing)
{
    const SampleTable Sample;
    std::string Short;
    {
        std::istringstream In(Sample.File());
        std::string Line;
        for (int i = 0; i < 27 && std::getline(In, Line); ++i)
            Short += Line + "\n";
    }
    std::string Lines = Sample.File();
    const struct {
        const char* What;
        std::string Text;
    } Cases[] = {
        {"27 numbers", Short},
        {"empty", ""},
        {"text for a number", "131075\nabc\n" + Lines.substr(Lines.find('\n', 7) + 1)},
        {"number glued to text", "131075x\n" + Lines.substr(7)},
        {"negative value", "131075\n-1\n" + Lines.substr(Lines.find('\n', 7) + 1)},
        {"row value above 65,535", Short + "65536\n"},
        {"identifier above 32 bits", "4294967296\n" + Lines.substr(7)},
    };
    CommandRig Rig;
    Rig.Start();
    const std::string Path = TempPath("bad.zrb");
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.What);
        WriteText(Path, C.Text);
        EXPECT_FALSE(Rig.Proto->LoadFlowTable('2', Path));
    }
    std::filesystem::remove(Path);
    EXPECT_FALSE(Rig.Proto->LoadFlowTable('2', Path));  // missing
    EXPECT_TRUE(Rig.Got().empty());

    // The largest values that fit are taken.
    WriteText(Path, "4294967295\n65535\n" + Short.substr(Short.find('\n', 7) + 1) + "65535\n");
    EXPECT_TRUE(Rig.Proto->LoadFlowTable('2', Path));
    EXPECT_EQ(Rig.Register(192), 0xFFFF);
    EXPECT_EQ(Rig.Register(193), 0xFFFF);
    EXPECT_EQ(Rig.Register(191), 0xFFFF);
}

TEST(FlowTables, UnacknowledgedWriteDoesNotStopTheLoad)
{
    const SampleTable Sample;
    CommandRig Rig;
    Rig.Start();
    const std::string Path = TempPath("nak.zrb");
    WriteText(Path, Sample.File());
    Rig.Sim.SetNakFrames(5);  // the identifier's high half, all five attempts
    EXPECT_FALSE(Rig.Proto->LoadFlowTable('1', Path));
    EXPECT_EQ(Rig.Register(194), 0);
    EXPECT_EQ(Rig.Register(195), 3);
    EXPECT_EQ(Rig.Register(165), Sample.Rows[25]);
}

// The file parser alone: a text past 64 KiB is not a table, even when it
// starts with one; nothing is sent for such a file.
TEST(FlowTables, OversizedFileRefused)
{
    const SampleTable Sample;
    TFlowTableFile Table;
    ASSERT_TRUE(ParseFlowTable(Sample.File(), Table));
    EXPECT_EQ(Table.Values[25], Sample.Rows[25]);
    std::string Big = Sample.File();
    Big.resize(MaxFlowTableFileSize + 1, ' ');
    EXPECT_FALSE(ParseFlowTable(Big, Table));

    CommandRig Rig;
    Rig.Start();
    const std::string Path = TempPath("big.zrb");
    WriteText(Path, Big);
    EXPECT_FALSE(Rig.Proto->LoadFlowTable('1', Path));
    EXPECT_TRUE(Rig.Got().empty());
    std::filesystem::remove(Path);
}
