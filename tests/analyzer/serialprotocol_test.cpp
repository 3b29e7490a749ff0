// The frame layer: receive ring, parser, ACK/NAK answers, sending with
// resend, the waits and the log.
#include "tests/analyzer/LinkFakes.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class MonotonicGuard {
public:
    MonotonicGuard() : FSaved(MonotonicOffsetMs()) {}
    ~MonotonicGuard() { SetMonotonicOffsetMs(FSaved); }

private:
    int64_t FSaved;
};

}  // namespace

TEST(ReceiveRing, HoldsAtMost2499BytesAndWraps)
{
    TZEBBSerialProtocol P(static_cast<TProtocolPort*>(nullptr));
    EXPECT_EQ(P.PopByte(), 0);
    EXPECT_EQ(P.Peek(0), 0);
    for (int i = 0; i < 2499; ++i)
        P.PutByte(static_cast<uint8_t>(i));
    EXPECT_TRUE(P.IsFull());
    P.PutByte(0xEE);  // dropped
    EXPECT_EQ(P.GetCount(), 2499);
    EXPECT_EQ(P.Peek(255), 255);
    // Empty it part way and refill across the end of the array.
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(P.PopByte(), static_cast<uint8_t>(i));
    for (int i = 0; i < 1500; ++i)
        P.PutByte(static_cast<uint8_t>(i + 7));
    EXPECT_EQ(P.GetCount(), 1999);
    EXPECT_EQ(P.Peek(0), static_cast<uint8_t>(2000));
    EXPECT_EQ(P.Peek(255), static_cast<uint8_t>(2255));
    for (int i = 2000; i < 2499; ++i)
        ASSERT_EQ(P.PopByte(), static_cast<uint8_t>(i));
    for (int i = 0; i < 1500; ++i)
        ASSERT_EQ(P.PopByte(), static_cast<uint8_t>(i + 7));
    EXPECT_EQ(P.GetCount(), 0);
    P.PutByte(9);
    EXPECT_EQ(P.Peek(1), 0);  // k equal to the count
    EXPECT_EQ(P.Peek(0), 9);
}

TEST(FrameParser, AnswersAndDispatchesWhatTheRingHolds)
{
    const Bytes Good = WaveFrame(7);
    Bytes BadSum = WaveFrame(8);
    BadSum[BadSum.size() - 2] ^= 0x01;
    struct Case {
        const char* Name;
        Bytes Input;
        Bytes Answers;                // control bytes sent back
        std::vector<int> Dispatched;  // sample counters
        int Left;                     // bytes left in the ring
        int Rejections;               // "Checksum Rejected" lines
    } Cases[] = {
        {"ACK then a good frame", Join({{ACK}, Good}), {ACK}, {7}, 0, 0},
        {"partial frame waits", Bytes(Good.begin(), Good.end() - 1), {}, {}, 24, 0},
        {"bad checksum then a good frame", Join({BadSum, Good}), {NAK, ACK}, {7}, 0, 1},
        {"garbage before a frame", Join({{0x00, 'x', 0x0D, 0xFF}, Good}), {ACK}, {7}, 0, 0},
        {"length byte 4", Join({{':', '?', 4, 0, 0}, Good}), {NAK, ACK}, {7}, 0, 0},
        {"length byte 101", Join({{':', '?', 101, 1, 2, 3}, Good}), {NAK, ACK}, {7}, 0, 0},
        {"two frames in one burst", Join({WaveFrame(1), {ACK}, WaveFrame(2)}), {ACK, ACK}, {1, 2}, 0, 0},
        {"header only", {':', '?'}, {}, {}, 2, 0},
    };
    for (const Case& C : Cases) {
        LinkRig R;
        R.Receive(C.Input);
        EXPECT_EQ(R.Port.Answers(), C.Answers) << C.Name;
        EXPECT_EQ(R.Window.Counters(), C.Dispatched) << C.Name;
        EXPECT_EQ(R.Proto.GetCount(), C.Left) << C.Name;
        int Rejections = 0;
        for (const auto& L : R.Memo.Lines)
            Rejections += L.rfind("Checksum Rejected:  ", 0) == 0;
        EXPECT_EQ(Rejections, C.Rejections) << C.Name;
    }
}

TEST(FrameParser, CompletesAPartialFrameOnTheNextEvent)
{
    LinkRig R;
    const Bytes F = WaveFrame(3);
    R.Port.Deliver(Bytes(F.begin(), F.begin() + 10));
    R.Port.ProcessCommunications();
    EXPECT_TRUE(R.Window.Samples.empty());
    EXPECT_EQ(R.Proto.GetCount(), 10);
    R.Port.Deliver(Bytes(F.begin() + 10, F.end()));
    R.Port.ProcessCommunications();
    EXPECT_EQ(R.Window.Counters(), std::vector<int>{3});
    EXPECT_EQ(R.Proto.GetCount(), 0);
}

TEST(FrameParser, LogsTheRejectedChecksumAndControlBytes)
{
    LinkRig R;
    // ':' '?' 5 sums to 126; the checksum byte says 127.
    R.Receive({':', '?', 5, 127, 0x0D, ACK, NAK});
    ASSERT_EQ(R.Memo.Lines.size(), 2u);
    EXPECT_EQ(R.Memo.Lines[0], "Checksum Rejected:  63  Calc 126 != Actual 127");
    EXPECT_EQ(R.Memo.Lines[1], "NACK Recieved");
    EXPECT_FALSE(R.Proto.Acked());
    EXPECT_TRUE(R.Proto.Nacked());
    R.Receive({ACK});
    EXPECT_TRUE(R.Proto.Acked());
    EXPECT_FALSE(R.Proto.Nacked());
}

TEST(FrameParser, ReentryWhileTheAckDrainsKeepsFramesInOrderAndOnce)
{
    LinkRig R;
    R.Port.DrainPolls = 3;  // every ACK takes a few rounds to leave
    int Extra = 0;
    R.Port.OnProcess = [&](FakePort& P) {
        if (Extra < 2)
            P.Deliver(WaveFrame(static_cast<uint16_t>(10 + Extra++)));
    };
    R.Port.Deliver(Join({WaveFrame(1), WaveFrame(2)}));
    R.Port.ProcessCommunications();
    R.Port.ProcessCommunications();
    EXPECT_EQ(R.Window.Counters(), (std::vector<int>{1, 2, 10, 11}));
    EXPECT_EQ(R.Port.Answers(), Bytes(4, ACK));
}

TEST(FrameParser, ACommandStartedWhileTheAckDrainsStillSeesItsAnswer)
{
    LinkRig R;
    R.Port.DrainPolls = 2;
    bool Nested = false, NestedAcked = false;
    R.Port.OnBlock = [](FakePort& P, const Bytes&) { P.Deliver({ACK}); };
    R.Port.OnProcess = [&](FakePort&) {
        if (Nested)
            return;
        Nested = true;  // a user command run from the message loop
        R.Proto.SendFrame('J', 0, nullptr);
        NestedAcked = R.Proto.Acked();
    };
    R.Receive(WaveFrame(1));
    EXPECT_TRUE(Nested);
    EXPECT_TRUE(NestedAcked);
    EXPECT_EQ(R.Memo.Lines, std::vector<std::string>{"Ack-ed. 1"});
    EXPECT_EQ(R.Window.Counters(), std::vector<int>{1});
}

TEST(DataAvailable, FlushesANearlyFullPortAndStopsAtAFullRing)
{
    LinkRig R;
    const int Flushes = R.Port.Flushes;
    R.Port.Deliver(Bytes(2040, 'x'));  // 8 bytes free
    R.Proto.CommPortTriggerAvail(2040);
    EXPECT_EQ(R.Port.Flushes, Flushes + 1);
    EXPECT_EQ(R.Proto.GetCount(), 0);

    for (int i = 0; i < 2495; ++i)
        R.Proto.PutByte('y');
    R.Port.Deliver(Bytes(20, 'y'));
    R.Proto.CommPortTriggerAvail(20);
    EXPECT_EQ(R.Port.In.size(), 16u);  // four fitted; the rest waits in the port
    EXPECT_EQ(R.Proto.GetCount(), 0);  // and the junk was dropped

    LinkRig Closing;
    Closing.Proto.SetClosing(true);
    Closing.Port.Deliver(WaveFrame(1));
    Closing.Proto.CommPortTriggerAvail(25);
    EXPECT_EQ(Closing.Proto.GetCount(), 0);
    EXPECT_EQ(Closing.Port.In.size(), 25u);
}

TEST(SendFrame, BuildsTheFrame)
{
    LinkRig R;
    R.Port.OnBlock = [](FakePort& P, const Bytes&) { P.Deliver({ACK}); };
    const uint8_t Data[2] = {0x00, 0xFA};
    R.Proto.SendFrame('H', 2, Data);
    EXPECT_TRUE(R.Proto.Acked());
    ASSERT_EQ(R.Port.Blocks.size(), 1u);
    EXPECT_EQ(R.Port.Blocks[0], MakeFrame('H', {0x00, 0xFA}));
    EXPECT_EQ(R.Memo.Lines, std::vector<std::string>{"Ack-ed. 1"});
}

TEST(SendFrame, ResendsAfterNaksUntilAcknowledged)
{
    LinkRig R;
    Bytes Answers{NAK, NAK, ACK};
    size_t Next = 0;
    R.Port.OnBlock = [&](FakePort& P, const Bytes&) { P.Deliver({Answers[Next++]}); };
    R.Proto.SendFrame('J', 0, nullptr);
    EXPECT_TRUE(R.Proto.Acked());
    EXPECT_EQ(R.Port.Blocks.size(), 3u);
    EXPECT_EQ(R.Memo.Lines, (std::vector<std::string>{"NACK Recieved", "Nack-ed.  Resending. 1", "NACK Recieved",
                                                      "Nack-ed.  Resending. 2", "Ack-ed. 3"}));
}

TEST(SendFrame, GivesUpAfterFiveTimeOuts)
{
    MonotonicGuard Clock;
    LinkRig R;
    R.Port.TickMs = 10;
    const int64_t Start = MonotonicMs();
    R.Proto.SendFrame('J', 0, nullptr);
    const int64_t Elapsed = MonotonicMs() - Start;
    EXPECT_FALSE(R.Proto.Acked());
    EXPECT_EQ(R.Port.Blocks.size(), 5u);
    std::vector<std::string> Expected;
    for (int i = 1; i <= 5; ++i)
        Expected.push_back("Timed Out.  Resending. " + std::to_string(i));
    EXPECT_EQ(R.Memo.Lines, Expected);
    EXPECT_GE(Elapsed, 5 * 750);
    EXPECT_LT(Elapsed, 5 * 750 + 500);
}

TEST(SendFrame, ClosingInsideTheWaitEndsIt)
{
    LinkRig R;
    R.Port.OnProcess = [&](FakePort& P) {
        if (P.Processes == 3)
            R.Proto.SetClosing(true);
    };
    const int64_t Start = MonotonicMs();
    R.Proto.SendFrame('J', 0, nullptr);
    EXPECT_FALSE(R.Proto.Acked());
    EXPECT_EQ(R.Port.Blocks.size(), 1u);
    EXPECT_LT(MonotonicMs() - Start, 500);
    // Nothing is sent while closing; Reset clears the flag.
    R.Proto.SendFrame('J', 0, nullptr);
    EXPECT_EQ(R.Port.Blocks.size(), 1u);
    R.Proto.Reset();
    EXPECT_FALSE(R.Proto.Closing());
}

TEST(SendFrame, DoesNothingOnAClosedOrMissingPort)
{
    LinkRig R;
    R.Port.IsOpen = false;
    R.Receive({ACK});
    ASSERT_TRUE(R.Proto.Acked());
    R.Proto.SendFrame('J', 0, nullptr);
    EXPECT_FALSE(R.Proto.Acked());
    EXPECT_TRUE(R.Port.Written.empty());
    TZEBBSerialProtocol NoPort(static_cast<TProtocolPort*>(nullptr));
    NoPort.SendFrame('J', 0, nullptr);
    EXPECT_FALSE(NoPort.Acked());
    EXPECT_FALSE(NoPort.WaitForFlag(1000, NoPort.ReplyReceived(), true));
}

TEST(SendByte, SwallowsAnExceptionOfThePort)
{
    struct ThrowingPort : FakePort {
        void PutChar(uint8_t) override { throw std::runtime_error("port gone"); }
    } Port;
    TZEBBSerialProtocol P(&Port);
    EXPECT_NO_THROW(P.SendByte(ACK));
}

TEST(WaitForFlag, SeesAFlagSetByAFrameParsedDuringTheWait)
{
    MonotonicGuard Clock;
    LinkRig R;
    R.Port.TickMs = 5;
    R.Port.OnProcess = [](FakePort& P) {
        if (P.Processes == 4)
            P.Deliver(MakeFrame('e', {0, 84, 0x12, 0x34}));
    };
    R.Proto.ClearReply();
    EXPECT_TRUE(R.Proto.WaitForFlag(750, R.Proto.ReplyReceived(), true));
    EXPECT_EQ(R.Proto.ReplyAddress(), 84);
    R.Proto.ClearReply();
    R.Port.OnProcess = nullptr;
    const int64_t Start = MonotonicMs();
    EXPECT_FALSE(R.Proto.WaitForFlag(750, R.Proto.ReplyReceived(), true));
    EXPECT_GE(MonotonicMs() - Start, 750);
}

TEST(ProtocolLog, KeepsAtMost1001Lines)
{
    LinkRig R;
    for (int i = 0; i < 1000; ++i)
        R.Memo.Lines.push_back(std::to_string(i));
    R.Proto.Log("a");
    EXPECT_EQ(R.Memo.Lines.size(), 1001u);
    EXPECT_EQ(R.Memo.Lines.front(), "0");
    R.Proto.Log("b");
    EXPECT_EQ(R.Memo.Lines.size(), 1001u);
    EXPECT_EQ(R.Memo.Lines.front(), "1");
    EXPECT_EQ(R.Memo.Lines.back(), "b");
}

// What a handler swallows goes to the log with the exception's message.
TEST(ProtocolLog, NamesTheExceptionCaught)
{
    LinkRig R;
    try {
        throw std::runtime_error("line gone");
    } catch (...) {
        R.Proto.LogCaught("Port not closed");
    }
    try {
        throw 7;
    } catch (...) {
        R.Proto.LogCaught("Output not stopped");
    }
    EXPECT_EQ(R.Memo.Lines, (std::vector<std::string>{"Port not closed:  line gone",
                                                      "Output not stopped:  an exception of no standard type"}));
}

TEST(ProtocolTime, MsToDateTime)
{
    EXPECT_DOUBLE_EQ(TZEBBSerialProtocol::MsToDateTime(750), 750 / MSecsPerDay);
    EXPECT_DOUBLE_EQ(TZEBBSerialProtocol::MsToDateTime(3723004), 3723004 / MSecsPerDay);
}
