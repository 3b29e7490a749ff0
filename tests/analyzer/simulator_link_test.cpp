// The protocol object on the real serial component, end to end against the
// analyzer simulator on a pseudo-terminal.
#include "platform/ApdComPort.h"
#include "platform/Application.h"
#include "platform/SerialPorts.h"
#include "tests/analyzer/LinkFakes.h"
#include "tools/analyzer-sim/AnalyzerSim.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

class SimulatorLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Sim.Start());
        Port.SetComNumber(DeviceToPortNumber(Sim.SlavePath()));
        Port.SetBaud(38400);
        Port.SetOpen(true);
        ASSERT_TRUE(Port.Open());
        Proto = std::make_unique<TZEBBSerialProtocol>(&Port);
        Proto->SetLogMemo(&Memo);
        Proto->SetMainWindow(&Window);
        Proto->SetFileDownloadDialog(&Dialog);
        Port.OnTriggerAvail = [this](TObject*, uint16_t Count) { Proto->CommPortTriggerAvail(Count); };
        Port.OnPortClose = [this](TObject*) { ++PortCloses; };
        ASSERT_TRUE(sim::AnalyzerSim::WaitFor([this] { return Sim.CurrentBaud() == 38400; }, 1000));
    }
    void TearDown() override
    {
        Port.OnTriggerAvail = nullptr;
        Port.OnPortClose = nullptr;
        Port.SetOpen(false);
        Sim.Stop();
    }
    // Runs the program's side (events and the data-available handler)
    // until Pred holds or TimeoutMs passed.
    bool PumpUntil(const std::function<bool()>& Pred, int TimeoutMs = 2000)
    {
        const int64_t End = MonotonicMs() + TimeoutMs;
        while (!Pred()) {
            if (MonotonicMs() >= End)
                return false;
            Application->ProcessMessages();
            Port.ProcessCommunications();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    void Connect()
    {
        Proto->SendFrame('G', 0, nullptr);
        ASSERT_TRUE(Proto->ConnectReply());
    }
    void Stream(char Mode)
    {
        const uint8_t M[1] = {static_cast<uint8_t>(Mode)};
        Proto->SendFrame('M', 1, M);
        ASSERT_TRUE(Proto->Acked());
    }

    sim::AnalyzerSim Sim;
    TApdComPort Port{nullptr};
    FakeMemo Memo;
    FakeMainWindow Window;
    FakeDownloadDialog Dialog;
    std::unique_ptr<TZEBBSerialProtocol> Proto;
    int PortCloses = 0;
};

}  // namespace

TEST_F(SimulatorLink, ConnectIdentifiesBenchAndHandheld)
{
    for (sim::DeviceKind Kind : {sim::DeviceKind::Bench, sim::DeviceKind::Handheld}) {
        {
            auto L = Sim.Lock();
            Sim.Device().Kind = Kind;
        }
        Window.Calls.clear();
        Proto->Reset();  // clears the connect reply
        Proto->SendFrame('G', 0, nullptr);
        EXPECT_TRUE(Proto->Acked());
        // The reply came with the ACK and was dispatched while the send waited.
        EXPECT_TRUE(Proto->ConnectReply());
        const std::string Kind1or2 = Kind == sim::DeviceKind::Bench ? "1" : "2";
        EXPECT_EQ(Window.Calls, std::vector<std::string>{"ConfigureForDevice " + Kind1or2 + " 01.08.09"});
    }
    auto Received = Sim.Received();
    ASSERT_EQ(Received.size(), 4u);
    EXPECT_EQ(Received[1].Type, 'J');
}

TEST_F(SimulatorLink, WaveformAndParameterStreamsArriveDecoded)
{
    {
        auto L = Sim.Lock();
        sim::SimDevice& D = Sim.Device();
        sim::SimSample A, B;
        A.Flow = -5;
        A.Volume = 1234.5;
        A.Temperature = 310.2;
        A.Breath = true;
        B.Flow = -0.5;
        B.FlowHighRes = true;
        B.HighRes = true;
        B.Oxygen = 99.87;
        B.LowPressure = sim::kAbsent;
        D.Waveform = {A, B, A};
        D.WaveformLoop = false;
        D.WaveformPeriodMs = 2;
        D.SampleCounter = 65534;
        sim::SimParameters P;
        P.TidalVolumeB = sim::kAbsent;
        P.InspTime = 1;
        P.ExpTime = 2;
        D.Parameters = {P};
        D.ParameterPeriodMs = 20;
    }
    Connect();
    EXPECT_EQ(Window.Kind, dkAnalyzer);
    Stream('3');
    ASSERT_TRUE(PumpUntil([&] { return Window.Samples.size() >= 3 && !Window.Params.empty(); }));
    const auto& S = Window.Samples;
    EXPECT_EQ(Window.Counters(), (std::vector<int>{65534, 65535, 0}));
    EXPECT_FLOAT_EQ(S[0].Flow, -5.0f);
    EXPECT_FLOAT_EQ(S[0].Volume, 1234.5f);
    EXPECT_FLOAT_EQ(S[0].Temperature, 310.2f);
    EXPECT_EQ(S[0].Flags[0], 1);
    EXPECT_FLOAT_EQ(S[1].Flow, -0.5f);
    EXPECT_EQ(S[1].Flags[1], 1);
    EXPECT_FLOAT_EQ(S[1].Oxygen, 99.87f);
    EXPECT_EQ(S[1].LowPressure, NoValue);
    const TParameterStruct& P = Window.Params[0];
    EXPECT_FLOAT_EQ(P.Slot(0), 500.0f);  // the single tidal volume in both slots
    EXPECT_FLOAT_EQ(P.Slot(1), 500.0f);
    EXPECT_FLOAT_EQ(P.Slot(17), -2.0f);
    EXPECT_FLOAT_EQ(P.Slot(12), 12.0f);
    // Each stream frame was recorded and acknowledged.
    EXPECT_TRUE(PumpUntil([&] { return Sim.AcksReceived() >= 5; }));
    EXPECT_EQ(Window.Recorded[0].size(), 30u);
}

TEST_F(SimulatorLink, OldFirmwareParametersKeepTheirScale)
{
    {
        auto L = Sim.Lock();
        sim::SimDevice& D = Sim.Device();
        D.VersionText = "01.05.13";
        D.OldFirmwareScaling = true;
        D.ParameterPeriodMs = 5;
    }
    Connect();
    EXPECT_EQ(Window.Kind, dkAnalyzerOldFirmware);
    Stream('2');
    ASSERT_TRUE(PumpUntil([&] { return !Window.Params.empty(); }));
    EXPECT_FLOAT_EQ(Window.Params[0].Slot(12), 12.0f);
    EXPECT_FLOAT_EQ(Window.Params[0].Slot(13), 1.5f);
}

TEST_F(SimulatorLink, StatusFramesReachTheSetters)
{
    {
        auto L = Sim.Lock();
        Sim.Device().Status.GasType = 3;
        Sim.Device().Status.BreathThreshold = 2.5;
        Sim.Device().Kind = sim::DeviceKind::Handheld;
    }
    Sim.SendStatus();
    ASSERT_TRUE(PumpUntil([&] { return !Window.Calls.empty() && Window.Calls.back().rfind("StatusReceived", 0) == 0; }));
    EXPECT_EQ(Window.Calls[1], "SetDeviceKind 2");
    EXPECT_EQ(Window.Calls[6], "SetGasType 7");  // the handheld's CO2
    EXPECT_FLOAT_EQ(Window.Threshold, 2.5f);
    EXPECT_FLOAT_EQ(Window.Insp.MolWeight, 28.96f);
}

TEST_F(SimulatorLink, SurvivesAMisbehavingAnalyzer)
{
    {
        auto L = Sim.Lock();
        sim::SimSample A;
        Sim.Device().Waveform = {A, A, A, A, A, A};
        Sim.Device().WaveformLoop = false;
    }
    Sim.SetGarbage(true);
    Sim.SetSplitWrites(true);
    Sim.SetBadChecksums(2);
    Stream('1');
    ASSERT_TRUE(PumpUntil([&] { return Window.Samples.size() >= 4; }));
    // The two spoilt frames were NAK-ed and logged, the others decoded.
    EXPECT_TRUE(PumpUntil([&] { return Sim.NaksReceived() == 2; }));
    int Rejected = 0;
    for (const auto& L : Memo.Lines)
        Rejected += L.rfind("Checksum Rejected:  ", 0) == 0;
    EXPECT_EQ(Rejected, 2);

    Sim.SetGarbage(false);
    Sim.SetSplitWrites(false);
    Sim.SetNakFrames(2);
    Memo.Lines.clear();
    Sim.ClearReceived();
    Proto->SendFrame('J', 0, nullptr);
    EXPECT_TRUE(Proto->Acked());
    EXPECT_EQ(Sim.Received().size(), 3u);
    EXPECT_EQ(Memo.CountOf("Nack-ed.  Resending. 1"), 1);
    EXPECT_EQ(Memo.CountOf("Nack-ed.  Resending. 2"), 1);
    EXPECT_EQ(Memo.CountOf("Ack-ed. 3"), 1);
}

TEST_F(SimulatorLink, HangUpEndsTheSend)
{
    Sim.SetSilent(true);
    Sim.HangUp();
    const int64_t Start = MonotonicMs();
    Proto->SendFrame('J', 0, nullptr);
    EXPECT_FALSE(Proto->Acked());
    EXPECT_LT(MonotonicMs() - Start, 2000);
    EXPECT_TRUE(PumpUntil([&] { return PortCloses > 0; }));
    EXPECT_FALSE(Port.Open());
}

TEST_F(SimulatorLink, HandheldDirectoryAndDownload)
{
    std::vector<uint8_t> Image(16000);
    for (size_t i = 0; i < Image.size(); ++i)
        Image[i] = static_cast<uint8_t>(i * 13 + 1);
    {
        auto L = Sim.Lock();
        sim::SimDevice& D = Sim.Device();
        D.Kind = sim::DeviceKind::Handheld;
        for (const char* Name : {"Vent 1", "Vent 2"}) {
            sim::SimFile F;
            F.Name = Name;
            F.Day = 21;
            F.Month = 6;
            F.Data = Image;
            D.Files.push_back(F);
        }
    }
    Proto->RequestFileList();
    EXPECT_TRUE(Proto->Acked());
    ASSERT_TRUE(PumpUntil([&] { return Dialog.Updates == 1; }));
    EXPECT_EQ(Dialog.Infos[0].Name, "Vent1");
    EXPECT_EQ(Dialog.Infos[1].Name, "Vent2");
    EXPECT_FALSE(Dialog.Infos[2].Valid);

    FakeProgress Progress;
    std::vector<uint8_t> Buffer(20000, 0xAA);
    ASSERT_TRUE(Proto->DownloadFile(1, Buffer.data(), Buffer.size(), &Progress));
    EXPECT_TRUE(std::equal(Image.begin(), Image.end(), Buffer.begin()));
    EXPECT_EQ(Buffer[16000], 0);
    EXPECT_EQ(Progress.Positions.back(), 100);
    EXPECT_EQ(Memo.Lines.back(), "640 of 640");

    {
        auto L = Sim.Lock();
        Sim.Device().DropBlocks = {17};
    }
    EXPECT_FALSE(Proto->DownloadFile(0, Buffer.data(), Buffer.size(), nullptr));
    EXPECT_EQ(Buffer[16 * 25], 0);  // block 17 never came
    EXPECT_EQ(Buffer[17 * 25], Image[17 * 25]);
}
