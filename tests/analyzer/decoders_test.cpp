// The analyzer's value formats and the waveform and breath-parameter frames.
#include "analyzer/Devicevalues.h"
#include "tests/analyzer/LinkFakes.h"

#include <gtest/gtest.h>

TEST(DeviceValues, SignAndMagnitude)
{
    struct Case {
        Bytes Data;
        int Size;
        float Divisor;
        int Negative;
        float Expected;
    } Cases[] = {
        {{0x01, 0xF4}, 2, 100, 0x40, -5.0f},
        {{0x01, 0xF4}, 2, 1000, 1, -0.5f},
        {{0x7F, 0xFF}, 2, 100, 0, NoValue},
        {{0x7F, 0xFF}, 2, 100, 0x40, NoValue},
        {{0xFF, 0xFF}, 2, 0, 0, 65535.0f},  // unsigned magnitude, no divisor
        {{0x00, 0x0A}, 2, -1, 0, 10.0f},    // a divisor below 0 divides nothing
        {{0x80, 0x00, 0x00, 0x00}, 4, 10, 0, NoValue},
        {{0x80, 0x00, 0x00, 0x00}, 4, 10, 1, NoValue},
        {{0x00, 0x00, 0x30, 0x39}, 4, 10, 0, 1234.5f},
        {{0x00, 0x00, 0x30, 0x39}, 4, 10, 0x20, -1234.5f},
        // Compared after the conversion to float: this magnitude rounds to 2^31.
        {{0x7F, 0xFF, 0xFF, 0xFF}, 4, 0, 0, NoValue},
        {{0x00, 0x01, 0x00, 0x00}, 4, 0, 0, 65536.0f},
    };
    for (const Case& C : Cases)
        EXPECT_FLOAT_EQ(DecodeValue(C.Data.data(), 0, C.Size, C.Divisor, C.Negative), C.Expected)
            << int(C.Data[0]) << " size " << C.Size;
}

TEST(DeviceValues, LittleEndianRecords)
{
    struct Case {
        Bytes Data;
        int Size;
        float Divisor;
        bool CheckNoValue, Signed;
        float Expected;
    } Cases[] = {
        {{0xFF, 0x7F}, 2, 0, true, false, NoValue},
        {{0xFF, 0x7F}, 2, 0, false, false, 32767.0f},
        {{0xFE, 0xFF}, 2, 0, false, true, -2.0f},
        {{0xFE, 0xFF}, 2, 0, false, false, 65534.0f},
        {{0xFF, 0xFF, 0xFF, 0x7F}, 4, 0, true, true, NoValue},
        {{0x9C, 0xFF, 0xFF, 0xFF}, 4, 10, false, true, -10.0f},
        {{0x39, 0x30, 0x00, 0x00}, 4, 10, true, false, 1234.5f},
    };
    for (const Case& C : Cases)
        EXPECT_FLOAT_EQ(DecodeValueLE(C.Data.data(), 0, C.Size, C.Divisor, C.CheckNoValue, C.Signed), C.Expected);
    const uint8_t W[4] = {0x12, 0x34, 0x56, 0x78};
    EXPECT_EQ(ReadWord(W, 1), 0x3456);
    EXPECT_EQ(ReadWord(W, 1, true), 0x5634);
    EXPECT_EQ(ReadLong(W, 0), 0x12345678u);
    EXPECT_EQ(ReadLong(W, 0, true), 0x78563412u);
}

namespace {

// A frame buffer as the parser hands it on: 100 bytes, zero beyond the frame.
struct FrameBuffer {
    uint8_t B[100] = {};
    explicit FrameBuffer(uint8_t Type, uint8_t L)
    {
        B[0] = ':';
        B[1] = Type;
        B[2] = L;
    }
    void Word(int Offset, uint16_t V)
    {
        B[Offset] = static_cast<uint8_t>(V >> 8);
        B[Offset + 1] = static_cast<uint8_t>(V);
    }
    void Long(int Offset, uint32_t V)
    {
        Word(Offset, static_cast<uint16_t>(V >> 16));
        Word(Offset + 2, static_cast<uint16_t>(V));
    }
};

}  // namespace

TEST(WaveformDecoder, ShortAndExtendedFrames)
{
    FrameBuffer F('?', 25);
    F.B[3] = 0x40;  // flow negative
    F.Word(5, 0x01F4);
    F.Long(7, 12345);
    F.Word(11, 205);
    F.Word(13, 0x7FFF);
    F.Word(15, 147);
    F.Word(17, 7600);
    F.Word(19, 209);
    F.Word(21, 0xFFFE);
    F.B[23] = 0x80;  // beyond a short frame: not read
    F.B[4] = 0x40;   // breath marker
    TWaveformSample S = TZEBBSerialProtocol::DecodeWaveformSample(F.B);
    EXPECT_FLOAT_EQ(S.Flow, -5.0f);
    EXPECT_FLOAT_EQ(S.Volume, 1234.5f);
    EXPECT_FLOAT_EQ(S.AirwayPressure, 20.5f);
    EXPECT_EQ(S.LowPressure, NoValue);
    EXPECT_FLOAT_EQ(S.HighPressure, 14.7f);
    EXPECT_FLOAT_EQ(S.BaroPressure, 760.0f);
    EXPECT_FLOAT_EQ(S.Oxygen, 20.9f);
    EXPECT_EQ(S.SampleCounter, 65534);
    EXPECT_EQ(S.Temperature, NoValue);
    EXPECT_EQ(S.RelHumidity, NoValue);
    EXPECT_EQ(S.Flags[0], 1);
    EXPECT_EQ(S.Flags[1], 0);
    EXPECT_EQ(S.Flags[2], 0);

    F.B[2] = 30;
    F.B[3] = 0xC0 | 0x04 | 0x01;  // high-resolution flow, negative high pressure and oxygen
    F.B[23] = 0x80 | 0x01;        // high resolution, negative temperature
    F.Word(24, 455);
    F.Word(26, 2981);
    S = TZEBBSerialProtocol::DecodeWaveformSample(F.B);
    EXPECT_FLOAT_EQ(S.Flow, -0.5f);
    EXPECT_EQ(S.Flags[1], 1);
    EXPECT_FLOAT_EQ(S.HighPressure, -1.47f);
    EXPECT_FLOAT_EQ(S.Oxygen, -2.09f);
    EXPECT_EQ(S.Flags[2], 1);
    EXPECT_FLOAT_EQ(S.RelHumidity, 45.5f);
    EXPECT_FLOAT_EQ(S.Temperature, -298.1f);
}

namespace {

FrameBuffer ParameterFrame(uint8_t L)
{
    FrameBuffer F('P', L);
    F.Long(6, 6000);     // 6.000 L/min
    F.Long(10, 5000);    // 500.0 mL
    F.Long(14, 4800);    // 480.0 mL
    F.Word(18, 200);     // 2.00
    F.Word(20, 4000);
    F.Word(22, 3500);
    F.Word(24, 200);     // 20.0
    F.Word(26, 50);
    F.Word(28, 180);
    F.Word(30, 100);
    F.Word(32, 0x0096);  // rate
    F.Word(34, 20);
    F.Word(36, 10);
    F.Word(38, 100);     // Ti
    F.Word(40, 200);     // Te
    F.Word(42, 500);
    F.Word(44, 210);
    F.Word(46, 40);
    F.Word(48, 20);
    return F;
}

}  // namespace

TEST(ParameterDecoder, SlotsScalingAndExtendedFields)
{
    FrameBuffer F = ParameterFrame(52);
    TParameterStruct P = TZEBBSerialProtocol::DecodeParameters(F.B, false);
    const float Expected[24] = {480, 500, 6, 40, 35, 2, 20, 5, 10, 18, 4, 2, 15, 1, 2, 0.2f, 0.1f, -2, 50, NoValue,
                                NoValue, 21, NoValue, NoValue};
    for (int i = 0; i < 24; ++i)
        EXPECT_FLOAT_EQ(P.Slot(i), Expected[i]) << "slot " << i;

    TParameterStruct Old = TZEBBSerialProtocol::DecodeParameters(F.B, true);
    EXPECT_FLOAT_EQ(Old.Slot(12), 150);
    EXPECT_FLOAT_EQ(Old.Slot(13), 10);
    EXPECT_FLOAT_EQ(Old.Slot(14), 20);
    EXPECT_FLOAT_EQ(Old.Slot(15), 2);
    EXPECT_FLOAT_EQ(Old.Slot(6), 20);  // pressures keep their scaling

    FrameBuffer Short = ParameterFrame(48);
    P = TZEBBSerialProtocol::DecodeParameters(Short.B, false);
    EXPECT_EQ(P.Slot(10), NoValue);
    EXPECT_EQ(P.Slot(11), NoValue);
}

TEST(ParameterDecoder, TidalVolumeSwapAndFill)
{
    struct Case {
        const char* Name;
        uint32_t A, B;  // offsets 10 and 14
        uint8_t SC;
        float Slot0, Slot1;
    } Cases[] = {
        {"plain", 5000, 4800, 0, 480, 500},
        {"swapped", 5000, 4800, 0x80, 500, 480},
        {"second absent", 5000, 0x80000000u, 0, 500, 500},
        {"first absent", 0x80000000u, 4800, 0, 480, 480},
        {"swapped, one absent", 0x80000000u, 4800, 0x80, 480, 480},
        {"both absent", 0x80000000u, 0x80000000u, 0, NoValue, NoValue},
    };
    for (const Case& C : Cases) {
        FrameBuffer F = ParameterFrame(52);
        F.Long(10, C.A);
        F.Long(14, C.B);
        F.B[5] = C.SC;
        TParameterStruct P = TZEBBSerialProtocol::DecodeParameters(F.B, false);
        EXPECT_FLOAT_EQ(P.Slot(0), C.Slot0) << C.Name;
        EXPECT_FLOAT_EQ(P.Slot(1), C.Slot1) << C.Name;
    }
}

TEST(ParameterDecoder, IERatioSign)
{
    struct Case {
        uint16_t Ti, Te;
        float IE;
    } Cases[] = {
        {100, 200, -2.0f}, {200, 100, 2.0f}, {150, 150, -1.0f}, {100, 0, NoValue}, {0, 100, NoValue},
        {0x7FFF, 100, NoValue}, {100, 0x7FFF, NoValue},
    };
    for (const Case& C : Cases) {
        FrameBuffer F = ParameterFrame(52);
        F.Word(38, C.Ti);
        F.Word(40, C.Te);
        TParameterStruct P = TZEBBSerialProtocol::DecodeParameters(F.B, false);
        EXPECT_FLOAT_EQ(P.Slot(17), C.IE) << C.Ti << " " << C.Te;
    }
}

TEST(ParameterDecoder, SignBits)
{
    FrameBuffer F = ParameterFrame(52);
    F.B[3] = 0x80 | 0x04;          // minute volume, base flow
    F.B[4] = 0x80 | 0x08 | 0x02;   // PIP and assist, compliance, minimum airway
    F.B[5] = 0x40;                 // inspiratory hold
    TParameterStruct P = TZEBBSerialProtocol::DecodeParameters(F.B, false);
    EXPECT_FLOAT_EQ(P.Slot(2), -6);
    EXPECT_FLOAT_EQ(P.Slot(5), -2);
    EXPECT_FLOAT_EQ(P.Slot(6), -20);
    EXPECT_FLOAT_EQ(P.Slot(11), -2);
    EXPECT_FLOAT_EQ(P.Slot(18), -50);
    EXPECT_FLOAT_EQ(P.Slot(10), -4);
    EXPECT_FLOAT_EQ(P.Slot(15), -0.2f);
    EXPECT_FLOAT_EQ(P.Slot(3), 40);  // untouched by the others
}
