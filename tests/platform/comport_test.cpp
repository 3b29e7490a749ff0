#include "platform/ApdComPort.h"

#include "platform/Application.h"
#include "platform/SerialPorts.h"
#include "tests/support/PtyPeer.h"
#include "tools/analyzer-sim/AnalyzerSim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Pattern(size_t Len, int Seed = 0)
{
    Bytes b(Len);
    for (size_t i = 0; i < Len; ++i)
        b[i] = static_cast<uint8_t>((i * 7 + static_cast<size_t>(Seed)) % 251);
    return b;
}

Bytes ToBytes(const std::string& S)
{
    return Bytes(S.begin(), S.end());
}

// A port opened on the near end of a pseudo-terminal.
class ComPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Peer.Ok());
        Port = std::make_unique<TApdComPort>(nullptr);
        Port->SetComNumber(DeviceToPortNumber(Peer.DevicePath()));
        Port->SetBaud(38400);
        Port->SetOpen(true);
        ASSERT_TRUE(Port->Open());
    }

    // Runs the event loop (or, with Events false, only the port's own
    // ProcessCommunications) until Done says so or TimeoutMs pass.
    bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs = 2000, bool Events = true)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
        while (!Done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            if (Events)
                Application->ProcessMessages();
            else
                Port->ProcessCommunications();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    void Settle(int Ms = 50)
    {
        PumpUntil([] { return false; }, Ms);
    }

    // Takes everything in the input buffer.
    void Drain(Bytes& Into)
    {
        while (Port->InBuffUsed() > 0)
            Into.push_back(Port->GetChar());
    }

    TPtyPeer Peer;
    std::unique_ptr<TApdComPort> Port;
};

TEST_F(ComPortTest, BytesTravelBothWays)
{
    const Bytes out = Pattern(256);
    Port->PutBlock(out.data(), out.size());
    Port->PutChar(0x06);
    Port->PutString("~2 \n\r");
    Bytes expected = out;
    expected.push_back(0x06);
    for (char c : std::string("~2 \n\r"))
        expected.push_back(static_cast<uint8_t>(c));
    EXPECT_EQ(Peer.Read(expected.size(), 2000), expected);
    EXPECT_EQ(Port->OutBuffUsed(), 0u);

    // Every byte value comes in unchanged, through ProcessCommunications alone.
    const Bytes in = Pattern(600, 3);
    ASSERT_TRUE(Peer.Write(in));
    ASSERT_TRUE(PumpUntil([&] { return Port->InBuffUsed() == in.size(); }, 2000, false));
    EXPECT_EQ(Port->InBuffFree(), TApdComPort::InBuffSize - in.size());
    Bytes got;
    Drain(got);
    EXPECT_EQ(got, in);
    EXPECT_THROW(Port->GetChar(), EBufferIsEmpty);
}

TEST_F(ComPortTest, TriggerAvailFromEventLoopCountsWhatIsBuffered)
{
    Bytes got;
    int badCounts = 0;
    Port->OnTriggerAvail = [&](TObject* CP, uint16_t Count) {
        EXPECT_EQ(CP, Port.get());
        if (Count == 0 || Count != Port->InBuffUsed())
            ++badCounts;
        for (uint16_t i = 0; i < Count; ++i)
            got.push_back(Port->GetChar());
    };
    const Bytes in = Pattern(5000, 1);
    ASSERT_TRUE(Peer.Write(in));
    EXPECT_TRUE(PumpUntil([&] { return got.size() >= in.size(); }));
    Settle();
    EXPECT_EQ(got, in);
    EXPECT_EQ(badCounts, 0);
}

TEST_F(ComPortTest, LineSettingsReachTheDevice)
{
    // A pseudo-terminal shows baud rate and stop bits; data bits and parity
    // are only checked to be taken.
    const struct {
        int Baud, DataBits, StopBits;
        TParity Parity;
    } cases[] = {
        {2400, 8, 1, pNone},
        {19200, 7, 2, pEven},
        {38400, 8, 1, pMark},
    };
    for (bool open : {true, false}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::to_string(c.Baud) + (open ? " open" : " before opening"));
            Port->SetOpen(open);
            Port->SetBaud(c.Baud);
            Port->SetDataBits(c.DataBits);
            Port->SetStopBits(c.StopBits);
            Port->SetParity(c.Parity);
            Port->SetOpen(true);
            ASSERT_TRUE(Port->Open());
            EXPECT_EQ(Peer.Baud(), c.Baud);
            EXPECT_EQ(Peer.StopBits(), c.StopBits);
            EXPECT_EQ(Port->DataBits(), c.DataBits);
            EXPECT_EQ(Port->Parity(), c.Parity);
        }
    }
    EXPECT_THROW(Port->SetDataBits(9), EAPDException);
    EXPECT_THROW(Port->SetStopBits(0), EAPDException);
    EXPECT_THROW(Port->SetBaud(0), EAPDException);
    EXPECT_EQ(Port->DataBits(), 8);
    EXPECT_EQ(Port->Baud(), 38400);
}

TEST_F(ComPortTest, FlowControlAndRtsOnADeviceWithoutRtsAreNoError)
{
    const struct {
        TSWFlowOptions SW;
        THWFlowOptions HW;
    } cases[] = {
        {swfNone, {}},
        {swfNone, {hwfUseRTS}},
        {swfBoth, {}},
    };
    for (const auto& c : cases) {
        Port->SetOpen(false);
        Port->SetSWFlowOptions(c.SW);
        Port->SetHWFlowOptions(c.HW);
        Port->SetRTS(true);
        EXPECT_NO_THROW(Port->SetOpen(true));
        EXPECT_NO_THROW(Port->SetRTS(false));
        EXPECT_NO_THROW(Port->SetRTS(true));
        ASSERT_TRUE(Port->Open());
        Port->PutString("ok");
        EXPECT_EQ(Peer.Read(2, 2000), ToBytes("ok"));
    }
}

TEST_F(ComPortTest, BaudChangeWaitsUntilWrittenBytesHaveLeft)
{
    // More than the pseudo-terminal holds, so most of it is still queued
    // when the baud rate changes; the far end reads as fast as it can.
    const Bytes out = Pattern(512 * 1024, 5);
    Bytes got;
    std::thread reader([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (got.size() < out.size() && std::chrono::steady_clock::now() < deadline) {
            const Bytes part = Peer.Read(out.size() - got.size(), 100);
            got.insert(got.end(), part.begin(), part.end());
        }
    });
    Port->PutBlock(out.data(), out.size());
    Port->SetBaud(19200);
    const size_t leftAfterChange = Port->OutBuffUsed();
    reader.join();
    EXPECT_EQ(leftAfterChange, 0u);
    EXPECT_EQ(got, out);
    EXPECT_EQ(Peer.Baud(), 19200);
}

TEST_F(ComPortTest, FlushInBufferDropsBufferedAndWaitingBytes)
{
    ASSERT_TRUE(Peer.Write(Pattern(3000)));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(PumpUntil([&] { return Port->InBuffUsed() == TApdComPort::InBuffSize; }, 2000, false));
    Port->FlushInBuffer();
    EXPECT_EQ(Port->InBuffUsed(), 0u);
    PumpUntil([] { return false; }, 100, false);
    EXPECT_EQ(Port->InBuffUsed(), 0u);   // the 952 bytes beyond the buffer went too

    ASSERT_TRUE(Peer.Write("abc"));
    ASSERT_TRUE(PumpUntil([&] { return Port->InBuffUsed() == 3; }, 2000, false));
    Bytes got;
    Drain(got);
    EXPECT_EQ(got, ToBytes("abc"));
}

TEST_F(ComPortTest, FlushOutBufferDropsQueuedBytes)
{
    // Nobody reads the far end, so the output stays queued.
    const Bytes out = Pattern(512 * 1024);
    Port->PutBlock(out.data(), out.size());
    ASSERT_GT(Port->OutBuffUsed(), 0u);
    Port->FlushOutBuffer();
    EXPECT_EQ(Port->OutBuffUsed(), 0u);
    Port->PutString("end");
    Bytes got;
    for (Bytes part = Peer.Read(SIZE_MAX, 200); !part.empty(); part = Peer.Read(SIZE_MAX, 200))
        got.insert(got.end(), part.begin(), part.end());
    EXPECT_LT(got.size(), out.size());
    ASSERT_GE(got.size(), 3u);
    EXPECT_EQ(Bytes(got.end() - 3, got.end()), ToBytes("end"));
}

TEST_F(ComPortTest, InputBufferHoldsAtMost2048AndTheRestWaits)
{
    const Bytes in = Pattern(5000, 2);
    ASSERT_TRUE(Peer.Write(in));
    ASSERT_TRUE(PumpUntil([&] { return Port->InBuffFree() == 0; }, 2000, false));
    PumpUntil([] { return false; }, 50, false);
    EXPECT_EQ(Port->InBuffUsed(), TApdComPort::InBuffSize);

    Bytes got;
    for (int i = 0; i < 1000; ++i)
        got.push_back(Port->GetChar());
    ASSERT_TRUE(PumpUntil([&] { return Port->InBuffFree() == 0; }, 2000, false));
    while (got.size() < in.size()) {
        Drain(got);
        if (!PumpUntil([&] { return Port->InBuffUsed() > 0 || got.size() == in.size(); }, 2000, false))
            break;
    }
    EXPECT_EQ(got, in);
}

TEST_F(ComPortTest, NestedProcessCommunicationsDeliversNewBytesOnce)
{
    // The outer handler runs from the event loop (inside Qt's own signal);
    // like the protocol's waits it pumps the port until more bytes come.
    Bytes got;
    int depth = 0;
    int maxDepth = 0;
    int calls = 0;
    Port->OnTriggerAvail = [&](TObject*, uint16_t Count) {
        ++calls;
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        for (uint16_t i = 0; i < Count; ++i)
            got.push_back(Port->GetChar());
        if (depth == 1 && got == ToBytes("first")) {
            EXPECT_TRUE(Peer.Write("second"));
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            while (got.size() < 11 && std::chrono::steady_clock::now() < deadline)
                Port->ProcessCommunications();
        }
        --depth;
    };
    ASSERT_TRUE(Peer.Write("first"));
    ASSERT_TRUE(PumpUntil([&] { return got.size() >= 11; }));
    Settle(100);
    EXPECT_EQ(got, ToBytes("firstsecond"));
    EXPECT_EQ(maxDepth, 2);
    EXPECT_LE(calls, 3);   // "second" may come in one piece or two
}

TEST_F(ComPortTest, HandlerThatPumpsWithoutReadingIsNotReentered)
{
    int calls = 0;
    Port->OnTriggerAvail = [&](TObject*, uint16_t) {
        ++calls;
        Port->ProcessCommunications();
    };
    ASSERT_TRUE(Peer.Write("x"));
    ASSERT_TRUE(PumpUntil([&] { return calls > 0; }, 2000, false));
    EXPECT_EQ(calls, 1);
    Port->ProcessCommunications();   // the byte is still there: offered again
    EXPECT_EQ(calls, 2);
}

TEST_F(ComPortTest, BytesLeftByTheHandlerAreOfferedAgain)
{
    // A handler with room for one byte at a time still gets them all.
    Bytes got;
    Port->OnTriggerAvail = [&](TObject*, uint16_t) { got.push_back(Port->GetChar()); };
    ASSERT_TRUE(Peer.Write("abcdef"));
    EXPECT_TRUE(PumpUntil([&] { return got.size() == 6; }));
    EXPECT_EQ(got, ToBytes("abcdef"));
}

TEST_F(ComPortTest, HangUpClosesThePortAndFiresOnPortClose)
{
    for (bool events : {true, false}) {
        SCOPED_TRACE(events ? "event loop" : "ProcessCommunications alone");
        TPtyPeer peer;
        ASSERT_TRUE(peer.Ok());
        TApdComPort port(nullptr);
        int closes = 0;
        port.OnPortClose = [&](TObject* Sender) {
            EXPECT_EQ(Sender, &port);
            ++closes;
            port.SetPromptForPort(true);
        };
        port.SetComNumber(DeviceToPortNumber(peer.DevicePath()));
        port.SetOpen(true);
        ASSERT_TRUE(port.Open());
        peer.HangUp();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (port.Open() && std::chrono::steady_clock::now() < deadline) {
            if (events)
                Application->ProcessMessages();
            else
                port.ProcessCommunications();
        }
        Application->ProcessMessages();
        EXPECT_FALSE(port.Open());
        EXPECT_EQ(closes, 1);
        EXPECT_TRUE(port.PromptForPort());
        EXPECT_THROW(port.PutChar(0x06), EPortNotOpen);
    }
}

TEST_F(ComPortTest, ClosingFiresOnPortCloseOnceAndReopenWorks)
{
    int closes = 0;
    Port->OnPortClose = [&](TObject*) { ++closes; };
    Port->SetOpen(false);
    Port->SetOpen(false);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(Port->OutBuffUsed(), 0u);
    EXPECT_THROW(Port->PutBlock("x", 1), EPortNotOpen);

    Port->SetOpen(true);
    ASSERT_TRUE(Port->Open());
    Port->PutString("again");
    EXPECT_EQ(Peer.Read(5, 2000), ToBytes("again"));
}

TEST_F(ComPortTest, ClosingAStalledLineDoesNotHang)
{
    // Nobody reads the far end: the queued bytes cannot leave.
    const Bytes out = Pattern(512 * 1024);
    Port->PutBlock(out.data(), out.size());
    const auto start = std::chrono::steady_clock::now();
    Port->SetOpen(false);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_FALSE(Port->Open());
}

TEST(ComPortOpen, MissingOrBusyDeviceFailsCleanly)
{
    TPtyPeer peer;
    ASSERT_TRUE(peer.Ok());
    const int ptyNumber = DeviceToPortNumber(peer.DevicePath());
    int missing = 199;
    while (missing > 100 && std::filesystem::exists(PortNumberToDevice(missing)))
        --missing;

    TApdComPort holder(nullptr);
    holder.SetComNumber(ptyNumber);
    holder.SetOpen(true);
    ASSERT_TRUE(holder.Open());

    const struct {
        const char* What;
        int Number;
        bool BadId;   // else: in use
    } cases[] = {
        {"no number", 0, true},
        {"number outside the rule", 500, true},
        {"device not present", missing, true},
        {"device in use", ptyNumber, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        TApdComPort port(nullptr);
        int closes = 0;
        port.OnPortClose = [&](TObject*) { ++closes; };
        port.SetComNumber(c.Number);
        if (c.BadId)
            EXPECT_THROW(port.SetOpen(true), EBadId);
        else
            EXPECT_THROW(port.SetOpen(true), EAlreadyOpen);
        EXPECT_FALSE(port.Open());
        EXPECT_EQ(closes, 0);
        port.ProcessCommunications();   // harmless on a closed port
        port.FlushInBuffer();
        port.FlushOutBuffer();
    }
    EXPECT_TRUE(holder.Open());
}

TEST(ComPortOwner, OwnerFreesAnOpenPort)
{
    TPtyPeer peer;
    ASSERT_TRUE(peer.Ok());
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* port = new TApdComPort(owner.get());
    port->SetComNumber(DeviceToPortNumber(peer.DevicePath()));
    port->SetOpen(true);
    ASSERT_TRUE(port->Open());
    owner.reset();
    // The device is free again.
    TApdComPort again(nullptr);
    again.SetComNumber(DeviceToPortNumber(peer.DevicePath()));
    EXPECT_NO_THROW(again.SetOpen(true));
}

TEST(ComPortWithSimulator, FramesAreAcknowledgedAndTheSimulatorFollowsTheLine)
{
    sim::AnalyzerSim analyzer;
    ASSERT_TRUE(analyzer.Start());
    TApdComPort port(nullptr);
    Bytes got;
    int closes = 0;
    port.OnTriggerAvail = [&](TObject*, uint16_t Count) {
        for (uint16_t i = 0; i < Count; ++i)
            got.push_back(port.GetChar());
    };
    port.OnPortClose = [&](TObject*) { ++closes; };
    port.SetComNumber(DeviceToPortNumber(analyzer.SlavePath()));
    port.SetBaud(38400);
    port.SetOpen(true);
    ASSERT_TRUE(port.Open());
    EXPECT_TRUE(sim::AnalyzerSim::WaitFor([&] { return analyzer.CurrentBaud() == 38400; }, 2000));

    const auto pump = [&](const std::function<bool()>& Done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!Done() && std::chrono::steady_clock::now() < deadline) {
            Application->ProcessMessages();
            port.ProcessCommunications();
        }
        return Done();
    };
    const Bytes frame = sim::BuildFrame('M', {'X'});   // serial output off
    port.PutBlock(frame.data(), frame.size());
    EXPECT_TRUE(pump([&] { return std::find(got.begin(), got.end(), sim::kAck) != got.end(); }));
    const std::vector<sim::Frame> received = analyzer.Received();
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.back().Type, 'M');
    EXPECT_EQ(received.back().Payload, Bytes{'X'});

    port.SetBaud(19200);
    EXPECT_TRUE(sim::AnalyzerSim::WaitFor([&] { return analyzer.CurrentBaud() == 19200; }, 2000));

    analyzer.HangUp();
    EXPECT_TRUE(pump([&] { return !port.Open(); }));
    EXPECT_EQ(closes, 1);
}

}  // namespace
