// The setting commands and the connect probe, against the simulator.
#include "tests/analyzer/CommandRig.h"

#include <cmath>
#include <functional>

namespace {

using P = TZEBBSerialProtocol;

struct CommandCase {
    const char* What;
    std::function<bool(P&)> Send;
    uint8_t Type;
    sim::Bytes Payload;
};

}  // namespace

TEST(Commands, EachCommandSendsItsFrameAndReportsTheAck)
{
    const CommandCase Cases[] = {
        {"serial mode both", [](P& L) { return L.SendSerialMode('3'); }, 'M', {'3'}},
        {"serial mode stop", [](P& L) { return L.SendSerialMode('X'); }, 'M', {'X'}},
        {"high flow port", [](P& L) { return L.SendFlowPort('2'); }, 'S', {'2'}},
        {"zero all, second frame", [](P& L) { return L.SendZero('b'); }, 'Z', {'b'}},
        {"breath detect expiratory", [](P& L) { return L.SendBreathDetectMode('3'); }, 'B', {'3'}},
        {"threshold 2.50 L/min", [](P& L) { return L.SendBreathThreshold(250); }, 'H', {0x00, 0xFA}},
        {"threshold 655.35 L/min", [](P& L) { return L.SendBreathThreshold(65535); }, 'H', {0xFF, 0xFF}},
        {"correction BTPS by letter", [](P& L) { return L.SendCorrectionLetter('B'); }, 'O', {'B', 0, 0}},
        {"correction STPD0 by index", [](P& L) { return L.SendCorrectionMode(2); }, 'O', {'S', 0, 0}},
        {"correction STPD21 by index", [](P& L) { return L.SendCorrectionMode(3); }, 'O', {'T', 0, 0}},
        {"correction out of list", [](P& L) { return L.SendCorrectionMode(9); }, 'O', {'A', 0, 0}},
        {"gas heliox", [](P& L) { return L.SendGasType(2); }, 'Y', {'h'}},
        {"gas N2O", [](P& L) { return L.SendGasType(9); }, 'Y', {'m'}},
        {"gas out of list", [](P& L) { return L.SendGasType(10); }, 'Y', {'A'}},
        {"gas letter", [](P& L) { return L.SendGasLetter('U'); }, 'Y', {'U'}},
        {"ambient temperature", [](P& L) { return L.SendGasTemperature('A', 296); }, 'T', {'A', 0x01, 0x28}},
        {"humidity", [](P& L) { return L.SendGasHumidity('E', 50); }, 'U', {'E', 0x00, 0x32}},
        {"viscosity", [](P& L) { return L.SendGasViscosity('I', 181); }, 'V', {'I', 0x00, 0xB5}},
        {"molecular weight", [](P& L) { return L.SendGasMolWeight('I', 2884); }, 'D', {'I', 0x0B, 0x44}},
        {"negative value, two's complement", [](P& L) { return L.SendGasTemperature('I', -2); }, 'T',
         {'I', 0xFF, 0xFE}},
        {"syringe size", [](P& L) { return L.SendCalibration('F', 3000); }, 'C', {'F', 0x0B, 0xB8}},
        {"barometric pressure", [](P& L) { return L.SendCalibration('B', 760); }, 'C', {'B', 0x02, 0xF8}},
        {"accept calibration", [](P& L) { return L.SendCalibration('1', 0); }, 'C', {'1'}},
        {"reject calibration ignores the value", [](P& L) { return L.SendCalibration('0', 99999); }, 'C',
         {'0'}},
    };
    CommandRig Rig;
    Rig.Start();
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.What);
        Rig.Sim.ClearReceived();
        EXPECT_TRUE(C.Send(*Rig.Proto));
        const auto Got = Rig.Got();
        ASSERT_EQ(Got.size(), 1u);
        EXPECT_EQ(Got[0].Type, C.Type);
        EXPECT_EQ(Shown(Got[0].Payload), Shown(C.Payload));
    }
}

TEST(Commands, SettingsReachTheAnalyzersStatus)
{
    CommandRig Rig;
    Rig.Start();
    P& L = *Rig.Proto;
    EXPECT_TRUE(L.SendFlowPort('1'));
    EXPECT_TRUE(L.SendZero('0'));
    EXPECT_TRUE(L.SendBreathDetectMode('2'));
    EXPECT_TRUE(L.SendBreathThreshold(150));
    EXPECT_TRUE(L.SendCorrectionMode(3));
    EXPECT_TRUE(L.SendGasType(7));
    EXPECT_TRUE(L.SendGasProperties('E', 305, 60, 170, 30));
    // The version query shares 'V' with the viscosity and still answers.
    EXPECT_EQ(L.QueryVersion(false), "1.08.09");
    auto Lock = Rig.Sim.Lock();
    const sim::SimStatus& S = Rig.Sim.Device().Status;
    EXPECT_EQ(S.FlowPort, 0);
    EXPECT_EQ(S.ZeroMode, 1);
    EXPECT_EQ(S.BreathDetect, 2);
    EXPECT_DOUBLE_EQ(S.BreathThreshold, 1.5);
    EXPECT_EQ(S.Correction, 3);
    EXPECT_EQ(S.GasType, 7);
    EXPECT_DOUBLE_EQ(S.ExpGas.Temperature, 305);
    EXPECT_DOUBLE_EQ(S.ExpGas.RelHumidity, 60);
    EXPECT_DOUBLE_EQ(S.ExpGas.Viscosity, 170);
    EXPECT_DOUBLE_EQ(S.ExpGas.MolWeight, 30);
}

TEST(Commands, GasRecordGoesOutRoundedInOrder)
{
    CommandRig Rig;
    Rig.Start();
    EXPECT_TRUE(Rig.Proto->SendGasProperties('E', 310.15, 50.4, 180.6, 28.96));
    const auto Got = Rig.Got();
    ASSERT_EQ(Got.size(), 4u);
    const sim::Frame Want[4] = {
        {'T', {'E', 0x01, 0x36}}, {'U', {'E', 0x00, 50}}, {'V', {'E', 0x00, 181}}, {'D', {'E', 0x0B, 0x50}}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Got[i].Type, Want[i].Type);
        EXPECT_EQ(Shown(Got[i].Payload), Shown(Want[i].Payload));
    }
}

TEST(Commands, GasRecordStopsAtTheFirstRefusedValue)
{
    CommandRig Rig;
    // The analyzer refuses every attempt at the humidity: it NAKs the five
    // frames after the temperature.
    Rig.Sim.OnCommand('T', [](sim::AnalyzerSim& S, const sim::Frame&) { S.SetNakFrames(5); });
    Rig.Start();
    EXPECT_FALSE(Rig.Proto->SendGasProperties('E', 310.15, 50.4, 180.6, 28.96));
    const auto Got = Rig.Got();
    ASSERT_EQ(Got.size(), 6u);
    EXPECT_EQ(Got[0].Type, 'T');
    for (size_t i = 1; i < Got.size(); ++i)
        EXPECT_EQ(Got[i].Type, 'U');
    EXPECT_EQ(Rig.Memo.CountOf("Nack-ed.  Resending. 5"), 1);
}

TEST(Commands, ValuesTooLargeForTheirFieldAreRefusedNotWrapped)
{
    CommandRig Rig;
    Rig.Start();
    P& L = *Rig.Proto;
    EXPECT_FALSE(L.SendBreathThreshold(65536));     // 655.36 L/min
    EXPECT_FALSE(L.SendBreathThreshold(-32769));
    EXPECT_FALSE(L.SendCalibration('F', 65536));    // syringe of 65,536 mL
    EXPECT_FALSE(L.SendCalibration('B', 100000));
    EXPECT_FALSE(L.SendGasTemperature('I', 70000));
    EXPECT_FALSE(L.SendGasProperties('I', NAN, 50, 180, 28.96));
    EXPECT_TRUE(Rig.Got().empty());
    // A molecular weight of 700 is 70,000 hundredths: the first three go.
    EXPECT_FALSE(L.SendGasProperties('I', 300, 50, 180, 700));
    EXPECT_EQ(Rig.Got().size(), 3u);
    EXPECT_EQ(Rig.Got("D").size(), 0u);
}

TEST(Commands, CommandOnAClosedPortFailsAtOnce)
{
    CommandRig Rig;
    Rig.Start();
    Rig.Proto->ClosePort();
    const int64_t Start = MonotonicMs();
    EXPECT_FALSE(Rig.Proto->SendSerialMode('3'));
    EXPECT_FALSE(Rig.Proto->ProbeConnection());
    EXPECT_LT(MonotonicMs() - Start, 100);
}

TEST(ConnectProbe, AckAloneIsNoAnswer)
{
    CommandRig Rig;
    Rig.Sim.OnCommand('G', [](sim::AnalyzerSim&, const sim::Frame&) {});
    Rig.Start();
    EXPECT_FALSE(Rig.Proto->ProbeConnection());
    EXPECT_TRUE(Rig.Proto->Acked());
    EXPECT_EQ(Rig.Got("G").size(), 1u);
}

TEST(ConnectProbe, AnswersOnlyAtTheAnalyzersRate)
{
    for (int Baud : {2400, 19200, 38400}) {
        SCOPED_TRACE(Baud);
        CommandRig Rig;
        {
            auto L = Rig.Sim.Lock();
            Rig.Sim.Device().ConnectBaud = Baud;
        }
        ASSERT_TRUE(Rig.Sim.Start());
        ASSERT_EQ(Rig.Proto->OpenPortAt(Rig.SimPort(), Baud), 1);
        EXPECT_TRUE(Rig.Proto->ProbeConnection());
        EXPECT_EQ(Rig.Window.Calls, std::vector<std::string>{"ConfigureForDevice 1 01.08.09"});
    }
    // At another rate the analyzer hears noise: five silent attempts.
    CommandRig Rig;
    Rig.Start();
    ASSERT_TRUE(Rig.Proto->SetBaudIfOpen(19200));
    EXPECT_FALSE(Rig.Proto->ProbeConnection());
    EXPECT_EQ(Rig.Memo.CountOf("Timed Out.  Resending. 5"), 1);
    EXPECT_TRUE(Rig.Got().empty());
}
