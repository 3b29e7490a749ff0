// The handheld unit's saved records: the image the simulator builds, read
// back at the places of the unit's image layout, and the records served
// through the directory and download commands.
#include "tests/tools/SimLine.h"
#include "tools/analyzer-sim/AnalyzerSim.h"
#include "tools/analyzer-sim/SimEncode.h"
#include "tools/analyzer-sim/SimScripts.h"

#include <gtest/gtest.h>

#include <string>

using namespace sim;
using namespace simtest;

namespace {

uint32_t U32(const Bytes& I, size_t At)
{
    return static_cast<uint32_t>(I.at(At) | I.at(At + 1) << 8 | I.at(At + 2) << 16) |
           static_cast<uint32_t>(I.at(At + 3)) << 24;
}
uint16_t U16(const Bytes& I, size_t At)
{
    return static_cast<uint16_t>(I.at(At) | I.at(At + 1) << 8);
}
int32_t S32(const Bytes& I, size_t At)
{
    return static_cast<int32_t>(U32(I, At));
}
int16_t S16(const Bytes& I, size_t At)
{
    return static_cast<int16_t>(U16(I, At));
}

// The statistics blocks: where each is, its divisor, what it holds.
struct Block {
    size_t At;
    int Divisor;
    SimHandheldStats SimHandheldRecord::*Stats;
};
const Block kBlocks[] = {
    {100, 100, &SimHandheldRecord::Flow},         {134, 10, &SimHandheldRecord::Pressure},
    {168, 100, &SimHandheldRecord::HighPressure}, {202, 10, &SimHandheldRecord::Volume},
    {236, 10, &SimHandheldRecord::Temperature},   {270, 10, &SimHandheldRecord::RelHumidity},
    {304, 100, &SimHandheldRecord::Oxygen},       {350, 10, &SimHandheldRecord::TidalVolume},
    {384, 1000, &SimHandheldRecord::MinuteVolume}, {418, 100, &SimHandheldRecord::PeakInspFlow},
    {452, 100, &SimHandheldRecord::PeakExpFlow},  {486, 10, &SimHandheldRecord::PIP},
    {520, 10, &SimHandheldRecord::PEEP},          {554, 10, &SimHandheldRecord::MeanAirway},
    {588, 10, &SimHandheldRecord::PausePressure}, {622, 10, &SimHandheldRecord::Rate},
    {656, 100, &SimHandheldRecord::InspTime},     {690, 100, &SimHandheldRecord::ExpTime},
};

Bytes DirectoryRequest()
{
    return BuildFrame('I', {'L'});
}

}  // namespace

TEST(HandheldImage, LaysOutTheRecordLittleEndianWithNoValueMarks)
{
    SimHandheldRecord R;
    const uint8_t Flags[5] = {1, 0xA5, 0x5A, 7, 0};
    std::copy(std::begin(Flags), std::end(Flags), R.HeaderFlags);
    R.PressureMode = 3;
    R.Name = "Run.1";
    R.Hour = 9;
    R.Minute = 30;
    R.Second = 15;
    R.Day = 10;
    R.Month = 6;
    R.Year = 24;
    R.AuxValue1 = 12.3;
    R.AuxValue2 = -4.5;
    R.AuxCount = 513;
    // Each block different: minimum -(k + 1), maximum k + 2.5, mean k + 0.5,
    // last k + 1 in base units; the last value of block 3 absent.
    for (size_t k = 0; k < std::size(kBlocks); ++k) {
        SimHandheldStats& S = R.*kBlocks[k].Stats;
        S = {-(k + 1.0), k + 2.5, k + 0.5, k == 3 ? kAbsent : k + 1.0};
    }
    R.LastBreath.Rate = 15.5;
    R.LastBreath.InspTime = 1;
    R.LastBreath.ExpTime = 2;
    R.LastBreath.MinuteVolume = 7.75;
    R.LastBreath.TidalVolumeInsp = 500.5;
    R.LastBreath.TidalVolumeExp = -12.5;
    R.LastBreath.PEEP = -0.5;
    R.Samples = {{1.5, 250.5, 20.5, 50.25}, {kAbsent, kAbsent, kAbsent, kAbsent}, {-1.5, -0.5, -2, -0.01}};

    const Bytes I = HandheldImage(R);
    ASSERT_EQ(I.size(), 16000u);
    EXPECT_EQ(Bytes(I.begin(), I.begin() + 6), (Bytes{1, 0xA5, 0x5A, 7, 0, 3}));
    EXPECT_EQ(I[10], 5);
    EXPECT_EQ(std::string(I.begin() + 11, I.begin() + 16), "Run.1");
    EXPECT_EQ(I[16], 0);
    EXPECT_EQ(Bytes(I.begin() + 40, I.begin() + 46), (Bytes{9, 30, 15, 10, 6, 24}));
    EXPECT_EQ(U16(I, 75), 123);
    EXPECT_EQ(S16(I, 77), -45);
    for (size_t k = 0; k < std::size(kBlocks); ++k) {
        const Block& B = kBlocks[k];
        SCOPED_TRACE("block at " + std::to_string(B.At));
        const int K = static_cast<int>(k);
        EXPECT_EQ(S32(I, B.At), -(K + 1) * B.Divisor);
        EXPECT_EQ(S32(I, B.At + 4), (2 * K + 5) * B.Divisor / 2);
        EXPECT_EQ(S32(I, B.At + 8), (2 * K + 1) * B.Divisor / 2);
        if (k == 3)
            EXPECT_EQ(U32(I, B.At + 24), 0x7FFFFFFFu);
        else
            EXPECT_EQ(S32(I, B.At + 24), (K + 1) * B.Divisor);
        EXPECT_EQ(Bytes(I.begin() + B.At + 12, I.begin() + B.At + 24), Bytes(12, 0));
        EXPECT_EQ(Bytes(I.begin() + B.At + 28, I.begin() + B.At + 34), Bytes(6, 0));
    }
    // The last breath: present values signed and scaled, the rest marked.
    EXPECT_EQ(S16(I, 754), 155);
    EXPECT_EQ(S16(I, 756), 100);
    EXPECT_EQ(S16(I, 758), 200);
    EXPECT_EQ(U16(I, 760), 0x7FFF);
    EXPECT_EQ(U16(I, 762), 0x7FFF);
    EXPECT_EQ(S32(I, 764), 7750);
    EXPECT_EQ(S32(I, 768), 5005);
    EXPECT_EQ(S32(I, 772), -125);
    for (size_t At : {776u, 778u, 782u, 784u, 790u})
        EXPECT_EQ(U16(I, At), 0x7FFF) << At;
    EXPECT_EQ(S16(I, 788), -5);
    EXPECT_EQ(U16(I, 990), 3);
    EXPECT_EQ(U16(I, 992), 513);
    // Samples from 1000, ten bytes each.
    EXPECT_EQ(S16(I, 1000), 150);
    EXPECT_EQ(S32(I, 1002), 2505);
    EXPECT_EQ(S16(I, 1006), 205);
    EXPECT_EQ(S16(I, 1008), 5025);
    EXPECT_EQ(U16(I, 1010), 0x7FFF);
    EXPECT_EQ(U32(I, 1012), 0x7FFFFFFFu);
    EXPECT_EQ(U16(I, 1016), 0x7FFF);
    EXPECT_EQ(U16(I, 1018), 0x7FFF);
    EXPECT_EQ(S16(I, 1020), -150);
    EXPECT_EQ(S32(I, 1022), -5);
    EXPECT_EQ(S16(I, 1026), -20);
    EXPECT_EQ(S16(I, 1028), -1);
    EXPECT_EQ(Bytes(I.begin() + 1030, I.end()), Bytes(16000 - 1030, 0));
}

// What a test needs to build an image the reader must survive: more samples
// than fit, a count beyond them, a long name, values out of range.
TEST(HandheldImage, KeepsWithinTheImage)
{
    SimHandheldRecord R;
    R.Name = std::string(40, 'N');
    R.Samples.resize(1600);
    for (size_t k = 0; k < R.Samples.size(); ++k)
        R.Samples[k].Flow = static_cast<double>(k);
    R.Samples[0].Flow = 400;      // 40,000 hundredths do not fit 16 bits
    R.Samples[1].Flow = -400;
    R.Samples[2].Flow = 327.67;   // lands on the mark
    R.Samples[3].Volume = 1e12;
    const Bytes Full = HandheldImage(R);
    ASSERT_EQ(Full.size(), 16000u);
    EXPECT_EQ(Full[10], 29);
    EXPECT_EQ(std::string(Full.begin() + 11, Full.begin() + 40), std::string(29, 'N'));
    EXPECT_EQ(Full[40], 12);  // the hour follows the name's room
    EXPECT_EQ(U16(Full, 990), 1600);
    EXPECT_EQ(S16(Full, 1000 + 10 * 1499), 32766);  // 1,499 L/min held at the largest number
    EXPECT_EQ(S16(Full, 1000 + 10 * 300), 30000);
    EXPECT_EQ(S16(Full, 1000), 32766);
    EXPECT_EQ(S16(Full, 1010), -32768);
    EXPECT_EQ(S16(Full, 1020), 32766);
    EXPECT_EQ(S32(Full, 1032), 2147483646);

    R.SampleCount = 5000;
    EXPECT_EQ(U16(HandheldImage(R), 990), 5000);
    R.SampleCount = 0;
    EXPECT_EQ(U16(HandheldImage(R), 990), 0);
}

// The three records the handheld serves by default: breathing with airway
// pressure twice, a leak check on low pressure; statistics from their own
// samples, absent where the record has no breaths.
TEST(HandheldImage, DemoRecordsHoldWhatTheyShow)
{
    const char* Names[] = {"Vent Test 1", "Vent Test 2", "Leak Check"};
    for (int n = 0; n < 3; ++n) {
        SCOPED_TRACE(Names[n]);
        const SimHandheldRecord R = DemoHandheldRecord(n);
        const SimFile F = HandheldFile(R);
        EXPECT_EQ(F.Name, Names[n]);
        EXPECT_EQ(F.Day, 10 + n);
        EXPECT_EQ(F.Month, 6);
        EXPECT_EQ(F.Year, 24);
        EXPECT_EQ(F.Hour, 9 + n);
        EXPECT_EQ(F.Minute, 0);
        ASSERT_EQ(F.Data, HandheldImage(R));
        const Bytes& I = F.Data;
        EXPECT_EQ(I[5], n == 2 ? 3 : 0);
        EXPECT_EQ(Bytes(I.begin() + 40, I.begin() + 46), (Bytes{static_cast<uint8_t>(9 + n), 0, 0,
                                                                  static_cast<uint8_t>(10 + n), 6, 24}));
        EXPECT_EQ(U16(I, 990), 1500);
        int32_t Min = INT32_MAX, Max = INT32_MIN;
        for (size_t k = 0; k < 1500; ++k) {
            Min = std::min<int32_t>(Min, S16(I, 1000 + 10 * k + 6));
            Max = std::max<int32_t>(Max, S16(I, 1000 + 10 * k + 6));
        }
        // The pressure block (tenths, in 32 bits) agrees with the samples.
        EXPECT_NEAR(S32(I, 134), Min, 1);
        EXPECT_NEAR(S32(I, 138), Max, 1);
        if (n == 2) {
            EXPECT_EQ(S16(I, 1006), 300);            // 30 cmH2O ...
            EXPECT_EQ(S16(I, 1000 + 10 * 1499 + 6), 200);  // ... falling to 20
            EXPECT_EQ(U32(I, 350), 0x7FFFFFFFu);    // no breaths: no tidal volume
            EXPECT_EQ(U16(I, 754), 0x7FFF);
        } else {
            EXPECT_NEAR(S32(I, 350 + 8), 5000 * (1 + 0.3 * n), 50);  // mean tidal volume, tenths
            EXPECT_NE(U16(I, 754), 0x7FFF);
        }
    }
}

class SimHandheld : public ::testing::Test {
protected:
    void SetUp() override
    {
        {
            auto L = Sim.Lock();
            SimDevice& D = Sim.Device();
            D.Kind = DeviceKind::Handheld;
            for (int n = 0; n < 3; ++n)
                D.Files.push_back(HandheldFile(DemoHandheldRecord(n)));
            // What a test adds: a name that is no file name, a date that does
            // not exist, blocks that never come.
            SimHandheldRecord Odd = DemoHandheldRecord(0);
            Odd.Name = "../x/y";
            Odd.Day = 31;
            Odd.Month = 13;
            D.Files.push_back(HandheldFile(Odd));
            D.Files.back().DropBlocks = {2, 640};
        }
        ASSERT_TRUE(Sim.Start());
        Wire = std::make_unique<Line>(Sim.SlavePath());
    }
    // Every directory entry, each acknowledged as the program does.
    std::vector<Bytes> Directory()
    {
        Wire->Write(DirectoryRequest());
        std::vector<Bytes> Out;
        for (int i = 0; i < 10; ++i) {
            auto Frames = FramesIn(Wire->Read(i == 0 ? 42 : 41, 500));
            if (Frames.empty())
                break;
            Out.push_back(Frames[0].Payload);
            Wire->Write({kAck});
            if (Out.back().size() > 3 && Out.size() >= Out.back()[3])
                break;  // the count of entries announced
        }
        return Out;
    }
    // The blocks of a download, each acknowledged; stops after the last
    // block or when none comes for a while.
    std::vector<Bytes> Download(uint8_t Index)
    {
        Wire->Write(BuildFrame('I', {'D', Index}));
        std::vector<Bytes> Out;
        FrameReader Reader;
        for (;;) {
            std::vector<Bytes> Got;
            const Bytes B = Wire->Read(1, 200);
            Reader.Feed(B.data(), B.size(), [&](FrameReader::Event E, const Frame& F) {
                if (E == FrameReader::Event::Frame)
                    Got.push_back(F.Payload);
            });
            if (B.empty())
                return Out;
            for (Bytes& P : Got) {
                Out.push_back(std::move(P));
                Wire->Write({kAck});
                const Bytes& Last = Out.back();
                if (Last.size() > 5 && (Last[2] << 8 | Last[3]) == (Last[4] << 8 | Last[5]))
                    return Out;
            }
        }
    }

    AnalyzerSim Sim;
    std::unique_ptr<Line> Wire;
};

TEST_F(SimHandheld, DirectoryListsTheRecordsAsGiven)
{
    const std::vector<Bytes> Entries = Directory();
    ASSERT_EQ(Entries.size(), 4u);
    const char* Names[] = {"Vent Test 1", "Vent Test 2", "Leak Check", "../x/y"};
    for (size_t i = 0; i < Entries.size(); ++i) {
        const Bytes& P = Entries[i];
        SCOPED_TRACE(Names[i]);
        ASSERT_EQ(P.size(), 36u);
        EXPECT_EQ(P[0], 'l');
        EXPECT_EQ(P[1], 1);
        EXPECT_EQ(P[2], i);
        EXPECT_EQ(P[3], 4);
        EXPECT_EQ(std::string(P.begin() + 5, P.begin() + 5 + P[4]), Names[i]);
    }
    EXPECT_EQ(Bytes(Entries[0].begin() + 30, Entries[0].end()), (Bytes{9, 0, 0, 10, 6, 24}));
    EXPECT_EQ(Bytes(Entries[3].begin() + 30, Entries[3].end()), (Bytes{9, 0, 0, 31, 13, 24}));
}

TEST_F(SimHandheld, DownloadsTheImageAndLeavesOutDroppedBlocks)
{
    const std::vector<Bytes> Blocks = Download(1);
    ASSERT_EQ(Blocks.size(), 640u);
    Bytes Image;
    for (size_t b = 0; b < Blocks.size(); ++b) {
        const Bytes& P = Blocks[b];
        ASSERT_EQ(P.size(), 31u);
        EXPECT_EQ(P[1], 1);
        EXPECT_EQ(P[2] << 8 | P[3], static_cast<int>(b + 1));
        EXPECT_EQ(P[4] << 8 | P[5], 640);
        Image.insert(Image.end(), P.begin() + 6, P.end());
    }
    EXPECT_EQ(Image, HandheldImage(DemoHandheldRecord(1)));

    // The added record: its own dropped blocks only.
    const std::vector<Bytes> Odd = Download(3);
    ASSERT_EQ(Odd.size(), 638u);
    EXPECT_EQ(Odd[0][3], 1);
    EXPECT_EQ(Odd[1][3], 3);
    EXPECT_EQ(Odd.back()[2] << 8 | Odd.back()[3], 639);
    const Bytes OddImage = [&] {
        auto L = Sim.Lock();
        return Sim.Device().Files[3].Data;
    }();
    EXPECT_EQ(OddImage[43], 31);
    EXPECT_EQ(OddImage[44], 13);
    EXPECT_EQ(std::string(OddImage.begin() + 11, OddImage.begin() + 17), "../x/y");
}
