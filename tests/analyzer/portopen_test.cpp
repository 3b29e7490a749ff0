// Opening the serial port with its result codes, and the settings it keeps.
#include "tests/analyzer/CommandRig.h"

#include "tests/support/PtyPeer.h"

#include <filesystem>

TEST(PortOpen, ResultCodes)
{
    TPtyPeer Busy;
    ASSERT_TRUE(Busy.Ok());
    TApdComPort Holder(nullptr);
    Holder.SetComNumber(DeviceToPortNumber(Busy.DevicePath()));
    Holder.SetOpen(true);
    ASSERT_TRUE(Holder.Open());
    int Missing = 199;
    while (Missing > 100 && std::filesystem::exists(PortNumberToDevice(Missing)))
        --Missing;

    CommandRig Rig;
    ASSERT_TRUE(Rig.Sim.Start());
    const struct {
        const char* What;
        int Number;
        int Result;
    } Cases[] = {
        {"good device", Rig.SimPort(), 1},
        {"missing device", Missing, -1},
        {"number for no device", 500, -1},
        {"device in use", DeviceToPortNumber(Busy.DevicePath()), -3},
        {"good device again", Rig.SimPort(), 1},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.What);
        Rig.Port.SetAutoOpen(true);
        EXPECT_EQ(Rig.Proto->OpenPortAt(C.Number, 38400), C.Result);
        EXPECT_EQ(Rig.Port.Open(), C.Result == 1);
        EXPECT_FALSE(Rig.Port.AutoOpen());
        EXPECT_EQ(Rig.Proto->GetPortSettings().ComNumber, C.Result == 1 ? C.Number : 0);
    }
    // The line works after the failures.
    EXPECT_TRUE(Rig.Proto->ProbeConnection());
    // Without a serial component there is nothing to open.
    TZEBBSerialProtocol Bare(static_cast<TProtocolPort*>(nullptr));
    EXPECT_EQ(Bare.OpenPortAt(Rig.SimPort(), 38400), 0);
    EXPECT_FALSE(Bare.SetBaudIfOpen(2400));
}

TEST(PortOpen, SettingsGoToTheComponentAndComeBack)
{
    const struct {
        TPortSettings In;
        TParity Parity;
        TSWFlowOptions SW;
        bool RtsFlow;
        TPortSettings Out;
    } Cases[] = {
        {{0, 19200, 7, 2, 2, 1, 0}, pEven, swfNone, true, {0, 19200, 7, 2, 2, 1, 0}},
        {{0, 2400, 8, 1, 4, 2, 0}, pSpace, swfBoth, false, {0, 2400, 8, 1, 4, 2, 0}},
        {{0, 38400, 8, 1, 9, 7, 5}, pNone, swfNone, false, {0, 38400, 8, 1, 0, 0, 0}},
    };
    CommandRig Rig;
    ASSERT_TRUE(Rig.Sim.Start());
    for (const auto& C : Cases) {
        TPortSettings In = C.In;
        In.ComNumber = Rig.SimPort();
        Rig.Port.SetRTS(false);
        ASSERT_EQ(Rig.Proto->OpenPort(In), 1);
        EXPECT_EQ(Rig.Port.Parity(), C.Parity);
        EXPECT_EQ(Rig.Port.SWFlowOptions(), C.SW);
        EXPECT_EQ(Rig.Port.HWFlowOptions(), C.RtsFlow ? THWFlowOptions{hwfUseRTS} : THWFlowOptions{});
        EXPECT_TRUE(Rig.Port.RTS());
        const TPortSettings Got = Rig.Proto->GetPortSettings();
        EXPECT_EQ(Got.ComNumber, Rig.SimPort());
        EXPECT_EQ(Got.Baud, C.Out.Baud);
        EXPECT_EQ(Got.DataBits, C.Out.DataBits);
        EXPECT_EQ(Got.StopBits, C.Out.StopBits);
        EXPECT_EQ(Got.Parity, C.Out.Parity);
        EXPECT_EQ(Got.FlowControl, C.Out.FlowControl);
        EXPECT_EQ(Got.Reserved, 0);
    }
    // Closed: number 0, the rest as set.
    Rig.Proto->ClosePort();
    const TPortSettings Closed = Rig.Proto->GetPortSettings();
    EXPECT_EQ(Closed.ComNumber, 0);
    EXPECT_EQ(Closed.Baud, 38400);
    EXPECT_FALSE(Rig.Port.Open());
}

TEST(PortOpen, ReopeningWaitsForTheCloseThenTheLinkWorksAgain)
{
    CommandRig Rig;
    Rig.Start();
    int Closes = 0;
    Rig.Port.OnPortClose = [&](TObject*) {
        ++Closes;
        Rig.Port.SetPromptForPort(true);
    };
    EXPECT_EQ(Rig.Proto->OpenPortAt(Rig.SimPort(), 38400), 1);
    EXPECT_EQ(Closes, 1);
    EXPECT_FALSE(Rig.Port.PromptForPort());
    EXPECT_TRUE(Rig.Proto->ProbeConnection());

    // Closed by the program: every wait ends; opening again revives the link.
    Rig.Proto->ClosePort();
    EXPECT_TRUE(Rig.Proto->Closing());
    EXPECT_FALSE(Rig.Proto->ProbeConnection());
    EXPECT_EQ(Rig.Proto->OpenPortAt(Rig.SimPort(), 38400), 1);
    EXPECT_TRUE(Rig.Proto->ProbeConnection());

    // No port-closed handler: the wait gives up after its bound.
    Rig.Port.OnPortClose = nullptr;
    const int64_t Start = MonotonicMs();
    EXPECT_EQ(Rig.Proto->OpenPortAt(Rig.SimPort(), 38400), 1);
    const int64_t Took = MonotonicMs() - Start;
    EXPECT_GE(Took, TZEBBSerialProtocol::PortCloseWaitMs - 50);
    EXPECT_LT(Took, TZEBBSerialProtocol::PortCloseWaitMs + 1000);
    EXPECT_TRUE(Rig.Proto->ProbeConnection());
}

TEST(PortOpen, BaudChangesOnlyOnAnOpenPort)
{
    CommandRig Rig;
    Rig.Start();
    EXPECT_TRUE(Rig.Proto->SetBaudIfOpen(2400));
    EXPECT_TRUE(sim::AnalyzerSim::WaitFor([&] { return Rig.Sim.CurrentBaud() == 2400; }, 1000));
    Rig.Proto->ClosePort();
    EXPECT_FALSE(Rig.Proto->SetBaudIfOpen(19200));
    EXPECT_EQ(Rig.Port.Baud(), 2400);
}
