// The simulator itself: framing, checksums and its answers on the line.
#include "tests/tools/SimLine.h"
#include "tools/analyzer-sim/AnalyzerSim.h"
#include "tools/analyzer-sim/SimEncode.h"

#include <gtest/gtest.h>

using namespace sim;
using namespace simtest;

TEST(SimFrame, BuildsLengthChecksumAndCR)
{
    Bytes F = BuildFrame('J', {});
    EXPECT_EQ(F, (Bytes{':', 'J', 5, static_cast<uint8_t>(':' + 'J' + 5), kCR}));
    F = BuildFrame('M', {'1'});
    EXPECT_EQ(F.size(), 6u);
    EXPECT_EQ(F[2], 6);
    EXPECT_EQ(F[4], static_cast<uint8_t>(':' + 'M' + 6 + '1'));
}

TEST(SimFrame, ReaderSeparatesControlBytesFramesAndJunk)
{
    using E = FrameReader::Event;
    Bytes Good = BuildFrame('Q', {1, 2, 3});
    Bytes BadSum = Good;
    BadSum[6] ^= 0xFF;
    struct Case {
        const char* Name;
        Bytes Input;
        std::vector<E> Events;
    } Cases[] = {
        {"ack then frame", Cat({{kAck}, Good}), {E::Ack, E::Frame}},
        {"nak", {kNak}, {E::Nak}},
        {"junk before a frame", Cat({{'x', 0}, Good}), {E::Garbage, E::Garbage, E::Frame}},
        // The bad frame's bytes are looked at again: they hold no start byte.
        {"bad checksum then good", Cat({BadSum, Good}),
         {E::BadChecksum, E::Garbage, E::Garbage, E::Garbage, E::Garbage, E::Garbage, E::Garbage, E::Garbage,
          E::Frame}},
        {"length below 5", Cat({{':', 'Q', 4}, Good}), {E::BadLength, E::Garbage, E::Garbage, E::Frame}},
        {"length above 100", Cat({{':', 'Q', 101}, Good}), {E::BadLength, E::Garbage, E::Garbage, E::Frame}},
        {"incomplete frame waits", Bytes(Good.begin(), Good.end() - 1), {}},
    };
    for (const Case& C : Cases) {
        FrameReader R;
        std::vector<E> Got;
        R.Feed(C.Input.data(), C.Input.size(), [&](E Ev, const Frame& F) {
            Got.push_back(Ev);
            if (Ev == E::Frame) {
                EXPECT_EQ(F.Type, 'Q') << C.Name;
                EXPECT_EQ(F.Payload, (Bytes{1, 2, 3})) << C.Name;
            }
        });
        EXPECT_EQ(Got, C.Events) << C.Name;
    }
}

TEST(SimFrame, ReaderJoinsAFrameFedOneByteAtATime)
{
    Bytes Good = BuildFrame('P', Bytes(43, 7));
    FrameReader R;
    int Frames = 0;
    for (size_t i = 0; i < Good.size(); ++i) {
        R.Feed(&Good[i], 1, [&](FrameReader::Event E, const Frame& F) {
            EXPECT_EQ(E, FrameReader::Event::Frame);
            EXPECT_EQ(F.Payload.size(), 43u);
            ++Frames;
        });
        EXPECT_EQ(Frames, i + 1 == Good.size() ? 1 : 0);
    }
    EXPECT_EQ(R.Pending(), 0u);
}

TEST(SimEncode, SignAndMagnitudeWithTheNoValueMarker)
{
    struct Case {
        double Value, Divisor;
        uint32_t Magnitude;
        bool Negative;
    } Cases16[] = {
        {-5.0, 100, 500, true}, {-0.5, 1000, 500, true}, {1.25, 10, 13, false},
        {kAbsent, 100, 0x7FFF, false}, {1e9, 10, 0x7FFE, false}, {0, 10, 0, false},
    };
    for (const Case& C : Cases16) {
        Magnitude M = Encode16(C.Value, C.Divisor);
        EXPECT_EQ(M.Value, C.Magnitude) << C.Value;
        EXPECT_EQ(M.Negative, C.Negative) << C.Value;
    }
    EXPECT_EQ(Encode32(kAbsent, 10).Value, 0x80000000u);
    EXPECT_EQ(Encode32(1234.5, 10).Value, 12345u);
}

TEST(SimEncode, WaveformAndParameterFramesHaveTheirLengths)
{
    SimSample S;
    S.Flow = -5;
    S.Breath = true;
    Bytes Short = WaveformPayload(S, 0x1234, false);
    Bytes Long = WaveformPayload(S, 0x1234, true);
    EXPECT_EQ(BuildFrame('?', Short)[2], 25);
    EXPECT_EQ(BuildFrame('?', Long)[2], 30);
    EXPECT_EQ(Short[0] & 0x40, 0x40);  // flow sign
    EXPECT_EQ(Short[1], 0x40);         // breath marker
    EXPECT_EQ(Short[2], 0x01);
    EXPECT_EQ(Short[3], 0xF4);
    EXPECT_EQ(Short[18], 0x12);  // counter at frame offset 21
    EXPECT_EQ(Short[19], 0x34);
    EXPECT_EQ(BuildFrame('P', ParametersPayload({}, false, false))[2], 48);
    EXPECT_EQ(BuildFrame('P', ParametersPayload({}, true, false))[2], 52);
    EXPECT_EQ(BuildFrame('r', StatusPayload({}, '3'))[2], 32);
}

class SimLine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Sim.Start()); }
    AnalyzerSim Sim;
};

TEST_F(SimLine, AnswersTheConnectOnlyAtItsRate)
{
    {
        Line Slow(Sim.SlavePath(), B2400);
        Slow.Write(BuildFrame('G', {}));
        EXPECT_TRUE(Slow.Read(1, 150).empty());
        Sim.SetNakOtherRates(true);   // a line that garbles what it hears
        Slow.Write(BuildFrame('G', {}));
        EXPECT_EQ(Slow.Read(1), Bytes{kNak});
        Sim.SetNakOtherRates(false);
    }
    EXPECT_TRUE(Sim.Received().empty());
    Line L(Sim.SlavePath());
    EXPECT_EQ(Sim.CurrentBaud(), 38400);
    L.Write(BuildFrame('G', {}));
    Bytes Got = L.Read(9);
    EXPECT_EQ(Got, Cat({{kAck}, BuildFrame('g', Bytes(3, 0))}));

    {
        auto Lk = Sim.Lock();
        Sim.Device().Kind = DeviceKind::Handheld;
    }
    L.Write(BuildFrame('G', {}));
    EXPECT_EQ(L.Read(10), Cat({{kAck}, BuildFrame('g', Bytes(4, 0))}));
}

TEST_F(SimLine, AnswersVersionQueriesAndRejectsBadFrames)
{
    Line L(Sim.SlavePath());
    L.Write(BuildFrame('J', {}));
    EXPECT_EQ(L.Read(14), Cat({{kAck}, BuildFrame('j', Bytes{'0', '1', '.', '0', '8', '.', '0', '9'})}));
    L.Write(BuildFrame('V', {'P'}));
    EXPECT_EQ(L.Read(9), Cat({{kAck}, BuildFrame('V', {1, 8, 9})}));

    Bytes Bad = BuildFrame('J', {});
    Bad[3] ^= 1;
    L.Write(Bad);
    EXPECT_EQ(L.Read(1), Bytes{kNak});
    L.Write({':', 'J', 2});  // impossible length
    EXPECT_EQ(L.Read(1), Bytes{kNak});
    EXPECT_EQ(Sim.BadFramesReceived(), 2);
    // An unknown command is still acknowledged and recorded.
    L.Write(BuildFrame('Z', {'F'}));
    EXPECT_EQ(L.Read(1), Bytes{kAck});
    auto R = Sim.Received();
    ASSERT_EQ(R.size(), 3u);
    EXPECT_EQ(R[2].Type, 'Z');
    EXPECT_EQ(R[2].Payload, Bytes{'F'});
}

TEST_F(SimLine, ReadsAndWritesRegistersAndMemory)
{
    Line L(Sim.SlavePath());
    L.Write(BuildFrame('E', {0, 84}));
    EXPECT_EQ(L.Read(10), Cat({{kAck}, BuildFrame('e', {0, 84, 0x00, 0x01})}));
    L.Write(BuildFrame('W', {0, 49, 0x42, 0x41}));
    EXPECT_EQ(L.Read(1), Bytes{kAck});
    L.Write(BuildFrame('E', {0, 49}));
    EXPECT_EQ(L.Read(10), Cat({{kAck}, BuildFrame('e', {0, 49, 0x42, 0x41})}));
    // 9,550 = 0x00254E; two bytes past the text read as zero.
    L.Write(BuildFrame('r', {0x00, 0x25, 0x4E, 11, 'P'}));
    EXPECT_EQ(L.Read(21), Cat({{kAck}, BuildFrame('r', {0x00, 0x25, 0x4E, 11, 'H', 'H', '0', '0', '1', '2', '3', '4',
                                                         '5', 0, 0})}));
}

TEST_F(SimLine, StreamsTheScriptWhileTheSerialModeAsksForIt)
{
    {
        auto Lk = Sim.Lock();
        SimSample A, B;
        A.Flow = 1;
        B.Flow = 2;
        Sim.Device().Waveform = {A, B};
        Sim.Device().WaveformLoop = false;
        Sim.Device().WaveformPeriodMs = 2;
    }
    Line L(Sim.SlavePath());
    EXPECT_TRUE(L.Read(1, 100).empty());  // mode '0': nothing
    L.Write(BuildFrame('M', {'1'}));
    Bytes Got = L.Read(1 + 2 * 30, 1000);
    int Acks = 0;
    auto Frames = FramesIn(Got, &Acks);
    EXPECT_EQ(Acks, 1);
    ASSERT_EQ(Frames.size(), 2u);
    EXPECT_EQ(Frames[0].Payload[3], 100);  // 1.00 L/min
    EXPECT_EQ(Frames[1].Payload[3], 200);
    EXPECT_EQ(Frames[1].Payload[19], Frames[0].Payload[19] + 1);  // counter
    EXPECT_TRUE(L.Read(1, 100).empty());  // the script is done
    L.Write(BuildFrame('A', {}));  // our ACKs are counted
    Sim.SendRaw({kAck});
    L.Write({kAck, kAck, kNak});
    EXPECT_TRUE(AnalyzerSim::WaitFor([&] { return Sim.AcksReceived() == 2 && Sim.NaksReceived() == 1; }, 1000));
}

TEST_F(SimLine, MisbehavesWhenToldTo)
{
    Line L(Sim.SlavePath());
    Sim.SetBadChecksums(1);
    L.Write(BuildFrame('J', {}));
    int Bad = 0;
    Bytes Got = L.Read(14);
    EXPECT_TRUE(FramesIn(Got, nullptr, &Bad).empty());
    EXPECT_EQ(Bad, 1);

    Sim.SetNakFrames(2);
    for (int i = 0; i < 2; ++i) {
        L.Write(BuildFrame('J', {}));
        EXPECT_EQ(L.Read(1), Bytes{kNak});
    }
    Sim.SetGarbage(true);
    Sim.SetSplitWrites(true);
    L.Write(BuildFrame('J', {}));
    Got = L.Read(20);
    EXPECT_GT(Got.size(), 14u);
    EXPECT_EQ(FramesIn(Got).size(), 1u);
    Sim.SetGarbage(false);
    Sim.SetSplitWrites(false);

    Sim.SetSilent(true);
    L.Write(BuildFrame('J', {}));
    EXPECT_TRUE(L.Read(1, 150).empty());
    EXPECT_EQ(Sim.Received().back().Type, 'J');  // heard, not answered
    Sim.SetSilent(false);

    Sim.HangUp();
    L.Read(1, 200);
    EXPECT_TRUE(L.HungUp());
}

TEST_F(SimLine, SendsTheHandheldDirectoryAndFileBlockByBlock)
{
    {
        auto Lk = Sim.Lock();
        SimFile F;
        F.Name = "Test A";
        F.Data.resize(60);
        for (size_t i = 0; i < 60; ++i)
            F.Data[i] = static_cast<uint8_t>(i);
        Sim.Device().Files = {F, F};
    }
    Line L(Sim.SlavePath());
    L.Write(BuildFrame('I', {'L'}));
    Bytes Got = L.Read(1 + 41);
    auto Frames = FramesIn(Got);
    ASSERT_EQ(Frames.size(), 1u);  // the next entry waits for our ACK
    EXPECT_EQ(Frames[0].Payload[0], 'l');
    EXPECT_EQ(Frames[0].Payload[1], 1);
    EXPECT_EQ(Frames[0].Payload[3], 2);
    EXPECT_EQ(std::string(Frames[0].Payload.begin() + 5, Frames[0].Payload.begin() + 11), "Test A");
    L.Write({kAck});
    Frames = FramesIn(L.Read(41));
    ASSERT_EQ(Frames.size(), 1u);
    EXPECT_EQ(Frames[0].Payload[2], 1);
    L.Write({kAck});

    L.Write(BuildFrame('I', {'D', 1}));
    Bytes All;
    for (int b = 1; b <= 3; ++b) {
        Got = L.Read(b == 1 ? 37 : 36);
        Frames = FramesIn(Got);
        ASSERT_EQ(Frames.size(), 1u) << b;
        const Bytes& P = Frames[0].Payload;
        EXPECT_EQ(P[0], 'd');
        EXPECT_EQ(P[1], 1);
        EXPECT_EQ(P[3], b);
        EXPECT_EQ(P[5], 3);
        All.insert(All.end(), P.begin() + 6, P.end());
        L.Write({kAck});
    }
    ASSERT_EQ(All.size(), 75u);
    EXPECT_EQ(All[59], 59);
    EXPECT_EQ(All[60], 0);  // the last block is padded
}
