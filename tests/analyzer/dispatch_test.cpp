// What each received frame does: callbacks, reply slots, log lines, and the
// connect reply with its nested version query.
#include "tests/analyzer/LinkFakes.h"

#include <algorithm>

#include <gtest/gtest.h>

TEST(Dispatch, ReplySlots)
{
    LinkRig R;
    R.Receive(MakeFrame('e', {0x00, 0x54, 0x12, 0x34}));
    EXPECT_TRUE(R.Proto.ReplyReceived());
    EXPECT_EQ(R.Proto.ReplyAddress(), 84);
    EXPECT_EQ(R.Proto.ReplyData()[0], 0x12);
    EXPECT_EQ(R.Proto.ReplyData()[1], 0x34);

    R.Proto.ClearReply();
    R.Receive(MakeFrame('r', {0x00, 0x25, 0x4E, 3, 'A', 'B', 'C'}));
    EXPECT_TRUE(R.Proto.ReplyReceived());
    EXPECT_EQ(R.Proto.ReplyAddress(), 9550);
    EXPECT_EQ(std::string(R.Proto.ReplyData(), R.Proto.ReplyData() + 3), "ABC");

    R.Proto.ClearReply();
    R.Receive(MakeFrame('V', {1, 5, 7}));
    EXPECT_TRUE(R.Proto.ReplyReceived());
    EXPECT_EQ(R.Proto.ReplyText(), "1.05.07");
    EXPECT_EQ(R.Memo.Lines.back(), "Version:  1.05.07");

    R.Receive(MakeFrame('j', {'0', '1', '.', '0', '8', '.', '0', '9'}));
    EXPECT_EQ(R.Proto.ReplyText(), "01.08.09");
    EXPECT_TRUE(R.Window.Calls.empty());
}

TEST(Dispatch, MemoryReplyCountBeyondTheSlotStopsAt25)
{
    LinkRig R;
    Bytes P{0x00, 0x00, 0x10, 200};
    for (int i = 0; i < 21; ++i)  // L = 30: still a memory reply
        P.push_back(static_cast<uint8_t>(i + 1));
    R.Receive(MakeFrame('j', {'k', 'e', 'p', 't', 0, 0, 0, 0}));
    R.Receive(MakeFrame('r', P));
    EXPECT_EQ(R.Proto.ReplyAddress(), 16);
    EXPECT_EQ(R.Proto.ReplyData()[20], 21);
    EXPECT_EQ(R.Proto.ReplyData()[22], 0x0D);  // what follows in the frame buffer
    EXPECT_EQ(R.Proto.ReplyText(), "kept");  // the next field is intact
}

TEST(Dispatch, StreamFramesAreRecordedBeforeTheyAreDecoded)
{
    LinkRig R;
    Bytes Status(27, 0);
    R.Receive(Join({WaveFrame(5), MakeFrame('P', Bytes(43, 0)), MakeFrame(0xF2, Status), MakeFrame('r', Status)}));
    const std::vector<std::string> Head = {"RecordMessage 87 25", "NewWaveformSample", "RecordMessage 112 48",
                                           "NewParameters", "RecordMessage 242 32", "SetDeviceKind 2"};
    ASSERT_GE(R.Window.Calls.size(), Head.size());
    EXPECT_EQ(std::vector<std::string>(R.Window.Calls.begin(), R.Window.Calls.begin() + 6), Head);
    // The bench status is decoded but not recorded.
    int Records = 0;
    for (const auto& C : R.Window.Calls)
        Records += C.rfind("RecordMessage", 0) == 0;
    EXPECT_EQ(Records, 3);
    EXPECT_EQ(R.Window.Calls.back(), "StatusReceived 0");
    EXPECT_EQ(R.Window.Recorded[0], WaveFrame(5));
}

TEST(Dispatch, OldFirmwareScalingFollowsTheDeviceKind)
{
    Bytes P(43, 0);
    P[29] = 0x00;
    P[30] = 0x96;  // rate at frame offset 32
    for (TDeviceKind Kind : {dkAnalyzerOldFirmware, dkAnalyzer, dkHandheld}) {
        LinkRig R;
        R.Window.Kind = Kind;
        R.Receive(MakeFrame('P', P));
        ASSERT_EQ(R.Window.Params.size(), 1u);
        EXPECT_FLOAT_EQ(R.Window.Params[0].Slot(12), Kind == dkAnalyzerOldFirmware ? 150.0f : 15.0f);
    }
}

TEST(Dispatch, OtherFramesAreLogged)
{
    LinkRig R;
    SetNowOverride([] {
        TDateTime D, T;
        TryEncodeDate(2026, 3, 4, D);
        TryEncodeTime(9, 5, 7, 0, T);
        return D + T;
    });
    R.Receive(MakeFrame('Q', {1}));
    R.Receive(MakeFrame('f', {1, 2}));
    R.Receive(MakeFrame('i', {25, 12, 24, 3, 7, 14}));
    SetNowOverride(nullptr);
    EXPECT_EQ(R.Memo.Lines, (std::vector<std::string>{"String Recieved 81", "Comp Time:  3/4/2026  9:05:07",
                                                      "Dev Time:   12/25/2024  14:07:03"}));
    EXPECT_EQ(R.Port.Answers(), Bytes(3, ACK));
}

TEST(Dispatch, ConnectReplyAsksTheVersionAndConfiguresTheDevice)
{
    struct Case {
        uint8_t PayloadBytes;
        bool VersionAnswered;
        std::string Call;
    } Cases[] = {
        {3, true, "ConfigureForDevice 1 01.08.09"},
        {4, true, "ConfigureForDevice 2 01.08.09"},
        {3, false, "ConfigureForDevice 1 "},
    };
    for (const Case& C : Cases) {
        LinkRig R;
        R.Port.TickMs = 0;
        int VersionQueries = 0;
        R.Port.OnBlock = [&](FakePort& P, const Bytes& Block) {
            if (Block[1] != 'J')
                return;
            ++VersionQueries;
            if (C.VersionAnswered)
                P.Deliver(Join({{ACK}, MakeFrame('j', {'0', '1', '.', '0', '8', '.', '0', '9'})}));
        };
        // A waveform frame right behind the connect reply is dispatched
        // once, during the nested query.
        R.Port.Deliver(Join({MakeFrame('g', Bytes(C.PayloadBytes, 0)), WaveFrame(42)}));
        if (!C.VersionAnswered) {
            // Without an answer the query runs its five attempts; keep it short.
            R.Port.TickMs = 50;
        }
        const int64_t Offset = MonotonicOffsetMs();
        R.Port.ProcessCommunications();
        SetMonotonicOffsetMs(Offset);
        EXPECT_TRUE(R.Proto.ConnectReply());
        EXPECT_EQ(R.Window.Counters(), std::vector<int>{42});
        ASSERT_FALSE(R.Window.Calls.empty());
        EXPECT_EQ(R.Window.Calls.back(), C.Call);
        EXPECT_EQ(VersionQueries, C.VersionAnswered ? 1 : 5);
    }
}

TEST(Dispatch, StreamFramesAreRecordedBeforeTheirAckGoesOut)
{
    // What the analyzer has acknowledged it never sends again: the frame must
    // already be with the recorder by then.
    struct AckWatcher : FakeMainWindow {
        const FakePort* Port = nullptr;
        std::vector<size_t> AcksBefore;
        void RecordMessage(int RecordType, uint8_t Length, const uint8_t* Frame) override
        {
            AcksBefore.push_back(static_cast<size_t>(std::count(Port->Written.begin(), Port->Written.end(), ACK)));
            FakeMainWindow::RecordMessage(RecordType, Length, Frame);
        }
    };
    LinkRig R;
    AckWatcher W;
    W.Port = &R.Port;
    R.Proto.SetMainWindow(&W);
    R.Receive(Join({WaveFrame(1), MakeFrame('P', Bytes(43, 0)), WaveFrame(2)}));
    EXPECT_EQ(W.AcksBefore, (std::vector<size_t>{0, 1, 2}));
    EXPECT_EQ(std::count(R.Port.Written.begin(), R.Port.Written.end(), ACK), 3);
    R.Proto.SetMainWindow(&R.Window);
}
