// The simulator's scripts: the synthetic breath, a pressure decay with a
// gap, tidal volumes with an absent one, as they cross the line.
#include "tests/tools/SimLine.h"
#include "tools/analyzer-sim/AnalyzerSim.h"
#include "tools/analyzer-sim/SimEncode.h"
#include "tools/analyzer-sim/SimScripts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace sim;
using namespace simtest;

TEST(SimScripts, SyntheticBreathIsTwelveBreathsAMinuteAtTheAnalyzersRate)
{
    std::vector<int> Markers;
    double Peak = 0, MaxVolume = 0;
    for (int k = 0; k < 3000; ++k) {
        const SimSample S = SyntheticSample(static_cast<uint16_t>(k));
        if (S.Breath)
            Markers.push_back(k);
        Peak = std::max(Peak, S.Flow);
        MaxVolume = std::max(MaxVolume, S.Volume);
    }
    // One breath every 250 samples: 5 s at 50 samples a second.
    ASSERT_EQ(Markers.size(), 12u);
    for (size_t i = 0; i < Markers.size(); ++i)
        EXPECT_EQ(Markers[i], static_cast<int>(250 * i));
    EXPECT_NEAR(Peak, 40, 0.1);
    EXPECT_NEAR(MaxVolume, 500, 0.1);
    EXPECT_EQ(kAnalyzerSamplePeriodMs * 50, 1000);
}

TEST(SimScripts, PressureDecayRunsFromStartToEnd)
{
    struct Case {
        double From, To, Seconds;
        size_t Samples;
        bool Exponential;
    } Cases[] = {
        {30, 20, 10, 501, true},    // through a leak: the same share lost every step
        {40, 34, 20, 1001, true},
        {40, 0, 2, 101, false},     // down to nothing: a straight line
        {30, 30, 1, 51, true},      // steady
        {5, 10, 0.001, 2, true},    // shorter than a sample: start and end
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(std::to_string(C.From) + " to " + std::to_string(C.To));
        const std::vector<SimSample> S = PressureDecay(C.From, C.To, C.Seconds);
        ASSERT_EQ(S.size(), C.Samples);
        EXPECT_DOUBLE_EQ(S.front().LowPressure, C.From);
        EXPECT_NEAR(S.back().LowPressure, C.To, 1e-9);
        for (size_t i = 0; i < S.size(); ++i) {
            EXPECT_EQ(S[i].AirwayPressure, S[i].LowPressure);
            EXPECT_EQ(S[i].Flow, 0);
            EXPECT_EQ(S[i].Volume, 0);
        }
        const size_t Mid = (S.size() - 1) / 2;
        if (S.size() > 2) {
            EXPECT_NEAR(S[Mid].LowPressure,
                        C.Exponential ? std::sqrt(C.From * C.To) : (C.From + C.To) / 2, 1e-9);
        }
    }
}

TEST(SimScripts, TidalVolumeDriftLeavesTheFivePercentBandAndComesBack)
{
    const std::vector<double> V = TidalVolumeDrift(500, 8, 24);
    ASSERT_EQ(V.size(), 24u);
    EXPECT_EQ(V[0], 500);
    EXPECT_EQ(*std::max_element(V.begin(), V.end()), 540);
    EXPECT_EQ(*std::min_element(V.begin(), V.end()), 460);
    int Inside = 0, Above = 0, Below = 0;
    for (double X : V)
        (X > 525 ? Above : X < 475 ? Below : Inside)++;
    EXPECT_GE(Inside, 8);
    EXPECT_GE(Above, 4);
    EXPECT_GE(Below, 4);

    const std::vector<SimParameters> P = TidalVolumeRecords({500, kAbsent});
    ASSERT_EQ(P.size(), 2u);
    EXPECT_EQ(P[0].TidalVolumeA, 500);
    EXPECT_EQ(P[0].TidalVolumeB, 500);
    EXPECT_DOUBLE_EQ(P[0].MinuteVolume, 500 * P[0].Rate / 1000);
    EXPECT_TRUE(std::isnan(P[1].TidalVolumeA) && std::isnan(P[1].TidalVolumeB) && std::isnan(P[1].MinuteVolume));
}

namespace {

class SimScriptLine : public ::testing::Test {
protected:
    void Start()
    {
        ASSERT_TRUE(Sim.Start());
        Wire = std::make_unique<Line>(Sim.SlavePath());
        Tap = std::make_unique<FrameTap>(*Wire);
    }
    // The frames of Type until none came for 200 ms.
    std::vector<Frame> All(uint8_t Type)
    {
        std::vector<Frame> Out;
        Frame F;
        while (Tap->Next(Type, F, 200))
            Out.push_back(F);
        return Out;
    }
    AnalyzerSim Sim;
    std::unique_ptr<Line> Wire;
    std::unique_ptr<FrameTap> Tap;
};

}  // namespace

// The trend test's records: an absent tidal volume crosses the line as the
// "no value" magnitude, and a script that does not loop ends.
TEST_F(SimScriptLine, ParameterScriptCarriesAbsentValuesAndEnds)
{
    const std::vector<double> Volumes = {500, 525, 525.1, kAbsent, 474.9, 490};
    {
        auto L = Sim.Lock();
        SimDevice& D = Sim.Device();
        D.Parameters = TidalVolumeRecords(Volumes);
        D.ParametersLoop = false;
        D.ParameterPeriodMs = 2;
        D.SerialMode = '2';
    }
    Start();
    const std::vector<Frame> Got = All('P');
    ASSERT_EQ(Got.size(), Volumes.size());
    for (size_t i = 0; i < Got.size(); ++i) {
        const Record R = RecordOf(Got[i].Payload);
        SCOPED_TRACE(i);
        if (std::isnan(Volumes[i])) {
            EXPECT_TRUE(std::isnan(R.TidalInsp));
            EXPECT_TRUE(std::isnan(R.TidalExp));
            EXPECT_EQ(Got[i].Payload[3], 0x80);  // minute volume absent too
        } else {
            EXPECT_NEAR(R.TidalInsp, Volumes[i], 1e-9);
            EXPECT_NEAR(R.TidalExp, Volumes[i], 1e-9);
        }
    }
    auto L = Sim.Lock();
    EXPECT_EQ(Sim.Device().ParametersNext, Volumes.size());
}

// The leak test's samples: a decay with an absent sample in it, in order,
// counting by one, then nothing more.
TEST_F(SimScriptLine, WaveformScriptCarriesADecayWithAGap)
{
    std::vector<SimSample> Decay = PressureDecay(40, 34, 0.2);
    Decay[3].LowPressure = kAbsent;
    {
        auto L = Sim.Lock();
        SimDevice& D = Sim.Device();
        D.Waveform = Decay;
        D.WaveformLoop = false;
        D.WaveformPeriodMs = 2;
        D.SerialMode = '1';
    }
    Start();
    const std::vector<Frame> Got = All('?');
    ASSERT_EQ(Got.size(), Decay.size());
    double Last = 1e9;
    for (size_t i = 0; i < Got.size(); ++i) {
        const Wave W = WaveOf(Got[i].Payload);
        SCOPED_TRACE(i);
        EXPECT_EQ(W.Counter, static_cast<int>(i));
        if (i == 3) {
            EXPECT_TRUE(std::isnan(W.Low));
            EXPECT_NEAR(W.Airway, Decay[3].AirwayPressure, 0.051);
            continue;
        }
        EXPECT_NEAR(W.Low, Decay[i].LowPressure, 0.051);
        EXPECT_LE(W.Low, Last);
        Last = W.Low;
    }
    EXPECT_EQ(WaveOf(Got.front().Payload).Low, 40);
    EXPECT_EQ(WaveOf(Got.back().Payload).Low, 34);
}
