// Bench and handheld status frames: the values and the order of the setters.
#include "tests/analyzer/LinkFakes.h"

#include <gtest/gtest.h>

namespace {

Bytes StatusPayload(uint8_t GasByte)
{
    Bytes P(27, 0);
    P[0] = 1;          // flow port
    P[1] = 0;          // zeroing
    P[2] = 3;          // serial mode
    P[3] = 2;          // correction
    P[4] = 3;          // breath detection
    P[5] = 0x00;       // threshold 1.00 L/min
    P[6] = 0x64;
    P[7] = 0x01;       // ambient 296 K
    P[8] = 0x28;
    P[9] = 0x01;       // inspiratory 310 K
    P[10] = 0x36;
    P[11] = 0x00;      // viscosity 183
    P[12] = 0xB7;
    P[13] = 0x0B;      // molecular weight 28.84
    P[14] = 0x44;
    P[15] = 0x00;      // humidity 100
    P[16] = 0x64;
    P[17] = 0x7F;      // expiratory temperature absent
    P[18] = 0xFF;
    P[19] = 0x00;
    P[20] = 0xB0;
    P[21] = 0x0B;
    P[22] = 0x54;
    P[23] = 0x00;
    P[24] = 0x32;
    P[25] = GasByte;
    P[26] = 9;         // for the hook
    return P;
}

}  // namespace

TEST(StatusReports, BenchSettersInTheirOrder)
{
    LinkRig R;
    R.Receive(MakeFrame('r', StatusPayload(4)));
    EXPECT_EQ(R.Window.Calls,
              (std::vector<std::string>{"SetCorrectionMode 2", "SetInspGas", "SetExpGas", "SetAmbientTemp",
                                        "SetGasType 4", "SetBreathThreshold", "ShowBreathDetectMode 3",
                                        "ShowZeroMode 0", "ShowSerialMode 3", "ShowFlowPort 1",
                                        "StatusReceived 9"}));
    EXPECT_FLOAT_EQ(R.Window.Threshold, 1.0f);
    EXPECT_FLOAT_EQ(R.Window.Ambient, 296.0f);
    EXPECT_FLOAT_EQ(R.Window.Insp.Temperature, 310.0f);
    EXPECT_FLOAT_EQ(R.Window.Insp.Viscosity, 183.0f);
    EXPECT_FLOAT_EQ(R.Window.Insp.MolWeight, 28.84f);
    EXPECT_FLOAT_EQ(R.Window.Insp.RelHumidity, 100.0f);
    EXPECT_EQ(R.Window.Exp.Temperature, NoValue);
    EXPECT_FLOAT_EQ(R.Window.Exp.Viscosity, 176.0f);
    EXPECT_FLOAT_EQ(R.Window.Exp.MolWeight, 29.0f);
    EXPECT_FLOAT_EQ(R.Window.Exp.RelHumidity, 50.0f);
}

TEST(StatusReports, HandheldSetsItsKindFirstAndAlwaysManualZero)
{
    LinkRig R;
    Bytes P = StatusPayload(3);
    P[1] = 0;  // automatic in the byte, manual on screen
    R.Receive(MakeFrame(0xF2, P));
    EXPECT_EQ(R.Window.Calls,
              (std::vector<std::string>{"RecordMessage 242 32", "SetDeviceKind 2", "SetCorrectionMode 2",
                                        "SetInspGas", "SetExpGas", "SetAmbientTemp", "SetGasType 7",
                                        "SetBreathThreshold", "ShowBreathDetectMode 3", "ShowSerialMode 3",
                                        "ShowZeroMode 1", "ShowFlowPort 1", "StatusReceived 9"}));
    EXPECT_EQ(R.Window.Kind, dkHandheld);
}

TEST(StatusReports, HandheldGasCodes)
{
    const int Expected[] = {0, 1, 2, 7, 8, 9, 3, 4, 5, 6, 0, 0};
    for (int Code = 0; Code < 12; ++Code) {
        LinkRig R;
        R.Receive(MakeFrame(0xF2, StatusPayload(static_cast<uint8_t>(Code == 11 ? 255 : Code))));
        EXPECT_EQ(R.Window.Calls[6], "SetGasType " + std::to_string(Expected[Code])) << Code;
    }
}

TEST(StatusReports, ShortRFrameIsAMemoryReply)
{
    LinkRig R;
    Bytes P = StatusPayload(0);
    P.resize(25);  // L = 30
    R.Receive(MakeFrame('r', P));
    EXPECT_TRUE(R.Window.Calls.empty());
    EXPECT_TRUE(R.Proto.ReplyReceived());
    P.resize(26);  // L = 31
    R.Receive(MakeFrame('r', P));
    EXPECT_FALSE(R.Window.Calls.empty());
}
