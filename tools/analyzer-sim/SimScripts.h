// Ready-made scripts for the simulated analyzer: a pressure decay for the
// leak test, tidal volumes for the trend test, syringe strokes and the
// handheld unit's saved records. Samples are spaced as the analyzer's, one
// every kAnalyzerSamplePeriodMs.
#pragma once

#include "tools/analyzer-sim/SimDevice.h"

#include <vector>

namespace sim {

constexpr double kAnalyzerSampleSeconds = kAnalyzerSamplePeriodMs / 1000.0;

// Low and airway pressure falling from From to To cmH2O over Seconds, the
// first sample at From and the last at To: exponentially, as through a
// leak, when both are above 0, else in a straight line. No flow, no volume.
std::vector<SimSample> PressureDecay(double From, double To, double Seconds);

// One record for each volume, both tidal volumes set to it (kAbsent: the
// record has none) and the minute volume following at the record's rate.
std::vector<SimParameters> TidalVolumeRecords(const std::vector<double>& Volumes);

// Count volumes wandering around Base by up to Percent, one sine cycle.
std::vector<double> TidalVolumeDrift(double Base, double Percent, int Count);

// Sample S.Phase of the current syringe stroke; on its last sample Ends is
// set and Record holds the stroke's parameters.
struct SyringeStep {
    SimSample Sample;
    bool Ends = false;
    SimParameters Record;
};
SyringeStep SyringeStroke(const SimSyringe& S);
// The volume the strokes read now: the size, missed by the error while the
// correction is not applied.
double SyringeMeasuredVolume(const SimSyringe& S);

// Minimum, maximum, mean and last of the values present (kAbsent skipped);
// all absent when none is.
SimHandheldStats StatsOf(const std::vector<double>& Values);

// The records the simulated handheld holds: 0 "Vent Test 1" and 1 "Vent
// Test 2", breathing recorded with airway pressure; 2 "Leak Check", a
// pressure decay on low pressure without breaths. Their statistics are
// those of their samples and breaths.
SimHandheldRecord DemoHandheldRecord(int Index);

}  // namespace sim
