// The simulator keeps what the zeroing and calibration commands change and
// shows it in its stream: zero offsets, the barometric pressure, syringe
// strokes and their correction.
#include "tests/tools/SimLine.h"
#include "tools/analyzer-sim/AnalyzerSim.h"
#include "tools/analyzer-sim/SimScripts.h"

#include <gtest/gtest.h>

#include <memory>

using namespace sim;
using namespace simtest;

namespace {

class SimCalibration : public ::testing::Test {
protected:
    void SetUp() override
    {
        {
            auto L = Sim.Lock();
            SimDevice& D = Sim.Device();
            SimSample S;
            S.Flow = 10;
            S.Volume = 100;
            S.AirwayPressure = 5;
            S.LowPressure = 5;
            S.HighPressure = 2;
            S.Oxygen = 40.75;  // a quarter of the way from 21 % to 100 %
            S.BaroPressure = 750;
            S.HighRes = true;
            D.Waveform = {S};
            D.WaveformPeriodMs = 2;
            D.SerialMode = '1';
        }
        ASSERT_TRUE(Sim.Start());
        Wire = std::make_unique<Line>(Sim.SlavePath());
        Tap = std::make_unique<FrameTap>(*Wire);
    }
    // Sends a command and returns the first waveform sample made after the
    // simulator acknowledged it.
    Wave After(uint8_t Type, const Bytes& Payload)
    {
        Wire->Write(BuildFrame(Type, Payload));
        EXPECT_TRUE(Tap->Acked());
        Frame F;
        EXPECT_TRUE(Tap->Next('?', F));
        return F.Payload.empty() ? Wave{} : WaveOf(F.Payload);
    }
    // The next record (payload) of type 'P' within TimeoutMs.
    Record NextRecord(int TimeoutMs = 2000)
    {
        Frame F;
        EXPECT_TRUE(Tap->Next('P', F, TimeoutMs));
        return F.Payload.empty() ? Record{} : RecordOf(F.Payload);
    }

    AnalyzerSim Sim;
    std::unique_ptr<Line> Wire;
    std::unique_ptr<FrameTap> Tap;
};

}  // namespace

// Each zero code clears its own sensor's offset, and only that; the stream
// shows the sensors' readings with what is left.
TEST_F(SimCalibration, ZeroCodesClearTheirSensorsOffsets)
{
    const SimOffsets Drifted{1.5, 20, 0.8, 0.25, 0.7, -2.0};
    struct Case {
        char Code;
        bool Flow, Volume, Low, High, Oxygen21, Oxygen100;  // cleared
    } Cases[] = {
        {'F', true, false, false, false, false, false},  {'V', false, true, false, false, false, false},
        {'L', false, false, true, false, false, false},  {'H', false, false, false, true, false, false},
        {'O', false, false, false, false, true, false},  {'C', false, false, false, false, false, true},
        {'2', true, true, true, true, false, false},     {'b', true, true, true, true, false, false},
        {'1', false, false, false, false, false, false}, {'x', false, false, false, false, false, false},
    };
    for (const Case& C : Cases) {
        {
            auto L = Sim.Lock();
            Sim.Device().Offsets = Drifted;
        }
        const Wave W = After('Z', {static_cast<uint8_t>(C.Code)});
        SimOffsets O;
        {
            auto L = Sim.Lock();
            O = Sim.Device().Offsets;
        }
        SCOPED_TRACE(std::string("zero code ") + C.Code);
        EXPECT_EQ(O.Flow, C.Flow ? 0 : Drifted.Flow);
        EXPECT_EQ(O.Volume, C.Volume ? 0 : Drifted.Volume);
        EXPECT_EQ(O.LowPressure, C.Low ? 0 : Drifted.LowPressure);
        EXPECT_EQ(O.HighPressure, C.High ? 0 : Drifted.HighPressure);
        EXPECT_EQ(O.Oxygen21, C.Oxygen21 ? 0 : Drifted.Oxygen21);
        EXPECT_EQ(O.Oxygen100, C.Oxygen100 ? 0 : Drifted.Oxygen100);
        EXPECT_NEAR(W.Flow, 10 + O.Flow, 0.006);
        EXPECT_NEAR(W.Volume, 100 + O.Volume, 0.06);
        EXPECT_NEAR(W.Low, 5 + O.LowPressure, 0.06);
        EXPECT_NEAR(W.Airway, 5 + O.LowPressure, 0.06);  // the same sensor
        EXPECT_NEAR(W.High, 2 + O.HighPressure, 0.006);
        // A quarter of the way from 21 % to 100 %: that share of each
        // calibration point's error.
        EXPECT_NEAR(W.Oxygen, 40.75 + 0.75 * O.Oxygen21 + 0.25 * O.Oxygen100, 0.006);
        EXPECT_NEAR(W.Baro, 750, 0.06);
    }
    // The mode codes still set the zeroing mode the status reports.
    After('Z', {'0'});
    {
        auto L = Sim.Lock();
        EXPECT_EQ(Sim.Device().Status.ZeroMode, 1);
    }
    After('Z', {'1'});
    auto L = Sim.Lock();
    EXPECT_EQ(Sim.Device().Status.ZeroMode, 0);
}

// A breath record carries the oxygen its waveform reads, offset and all, so
// the program's two oxygen readings agree; zeroing the sensor changes both.
TEST_F(SimCalibration, BreathRecordsCarryTheOxygenTheWaveformReads)
{
    {
        auto L = Sim.Lock();
        SimDevice& D = Sim.Device();
        D.Offsets.Oxygen21 = 0.6;
        D.ParameterPeriodMs = 5;
        D.SerialMode = '3';
    }
    // 'x' zeroes nothing, 'O' the oxygen sensor at 21 %.
    for (const char Code : {'x', 'O'}) {
        SCOPED_TRACE(Code);
        const Wave W = After('Z', {static_cast<uint8_t>(Code)});
        const Record R = NextRecord();
        EXPECT_NEAR(W.Oxygen, 40.75 + (Code == 'x' ? 0.75 * 0.6 : 0), 0.006);
        EXPECT_NEAR(R.Oxygen, W.Oxygen, 0.051);  // the record in tenths
    }
}

TEST_F(SimCalibration, BarometricPressureCommandSetsTheStreamedPressure)
{
    // Without its value the command changes nothing.
    EXPECT_NEAR(After('C', {'B', 0x02}).Baro, 750, 0.06);
    {
        auto L = Sim.Lock();
        EXPECT_FALSE(Sim.Device().BaroPressure.has_value());
    }
    EXPECT_NEAR(After('C', {'B', 0x02, 0xF8}).Baro, 760, 0.06);
    {
        auto L = Sim.Lock();
        ASSERT_TRUE(Sim.Device().BaroPressure.has_value());
        EXPECT_EQ(*Sim.Device().BaroPressure, 760);
    }
    // A zero command leaves it alone.
    EXPECT_NEAR(After('Z', {'2'}).Baro, 760, 0.06);
}

// 'C' 'F' with 3000 mL and strokes 1 % short: flow half-waves with a breath
// marker where the flow starts in, one record per stroke reading 2970 mL in
// both directions and no timed records; 'C' '1' makes later strokes read the
// size, 'C' '0' drops the correction again.
TEST_F(SimCalibration, SyringeStrokesMissTheSizeUntilCorrected)
{
    {
        auto L = Sim.Lock();
        SimDevice& D = Sim.Device();
        D.Syringe.ErrorPercent = -1;
        D.WaveformPeriodMs = 1;
        D.ParameterPeriodMs = 5;
        D.SerialMode = '3';
    }
    After('C', {'F', 0x0B, 0xB8});
    {
        auto L = Sim.Lock();
        const SimSyringe& S = Sim.Device().Syringe;
        EXPECT_TRUE(S.Active);
        EXPECT_EQ(S.Size, 3000);
        EXPECT_FALSE(S.Corrected);
    }
    // One whole stroke, marker to marker.
    Frame F;
    Wave W{};
    do {
        ASSERT_TRUE(Tap->Next('?', F));
        W = WaveOf(F.Payload);
    } while (!W.Breath);
    std::vector<Wave> Stroke;
    do {
        Stroke.push_back(W);
        ASSERT_TRUE(Tap->Next('?', F));
        W = WaveOf(F.Payload);
        ASSERT_EQ(W.Counter, (Stroke.back().Counter + 1) & 0xFFFF);
    } while (!W.Breath);
    ASSERT_EQ(Stroke.size(), 200u);  // 75 in, 25 still, 75 out, 25 still
    double In = 0, Out = 0, Peak = 0;
    for (size_t i = 0; i < Stroke.size(); ++i) {
        const double Flow = Stroke[i].Flow;
        if (i < 75) {
            EXPECT_GT(Flow, 0) << i;
            In += Flow;
        } else if (i >= 100 && i < 175) {
            EXPECT_LT(Flow, 0) << i;
            Out -= Flow;
        } else {
            EXPECT_EQ(Flow, 0) << i;
        }
        Peak = std::max(Peak, Flow);
    }
    // L/min over 0.02 s steps, in mL.
    EXPECT_NEAR(In * 0.02 / 60 * 1000, 2970, 1);
    EXPECT_NEAR(Out * 0.02 / 60 * 1000, 2970, 1);
    EXPECT_NEAR(Stroke[74].Volume, 2970, 0.06);
    EXPECT_NEAR(Stroke[199].Volume, 0, 0.06);

    const Record R = NextRecord();
    EXPECT_EQ(R.TidalInsp, 2970);
    EXPECT_EQ(R.TidalExp, 2970);
    EXPECT_GE(R.PeakInsp, Peak);
    EXPECT_LT(R.PeakInsp, Peak + 1);
    EXPECT_EQ(R.InspTime, 2);
    EXPECT_EQ(R.ExpTime, 2);

    Wire->Write(BuildFrame('C', {'1'}));
    ASSERT_TRUE(Tap->Acked());
    EXPECT_EQ(NextRecord().TidalInsp, 3000);
    {
        auto L = Sim.Lock();
        EXPECT_TRUE(Sim.Device().Syringe.Corrected);
        EXPECT_GE(Sim.Device().Syringe.Strokes, 2);
    }
    Wire->Write(BuildFrame('C', {'0'}));
    ASSERT_TRUE(Tap->Acked());
    const Record Dropped = NextRecord();
    EXPECT_EQ(Dropped.TidalInsp, 2970);
    EXPECT_EQ(Dropped.TidalExp, 2970);
    auto L = Sim.Lock();
    EXPECT_FALSE(Sim.Device().Syringe.Corrected);
}

// A syringe too large to stroke in 1.5 s is stroked more slowly, so its
// flow still fits the frame, and its record still reads its size.
TEST(SimSyringe, LargeSyringesAreStrokedSlowly)
{
    SimSyringe S;
    S.Size = 60000;
    S.Corrected = true;
    double In = 0, Peak = 0;
    int Samples = 0;
    SyringeStep Step;
    for (S.Phase = 0; !(Step = SyringeStroke(S)).Ends; ++S.Phase) {
        if (Step.Sample.Flow > 0) {
            In += Step.Sample.Flow;
            ++Samples;
        }
        Peak = std::max(Peak, Step.Sample.Flow);
        ASSERT_LT(S.Phase, 100000);
    }
    EXPECT_GT(Samples, 75);
    EXPECT_LE(Peak, 251);
    EXPECT_NEAR(In * 0.02 / 60 * 1000, 60000, 1);
    EXPECT_EQ(Step.Record.TidalVolumeB, 60000);
}
