// What the simulated analyzer streams next: syringe strokes while they run,
// else the waveform script, else the synthetic breath; parameter records
// from the script (or the default record) unless strokes bring their own.
// Every sample leaves as its sensors read it: with the device's zero
// offsets and the barometric pressure it was told; a breath record carries
// the oxygen the waveform reads at that moment. Call with the device lock
// held.
#pragma once

#include "tools/analyzer-sim/SimDevice.h"

#include <optional>

namespace sim {

// The next sample into Sample and, when a syringe stroke ended with it, the
// stroke's record into StrokeRecord. False when the script is done.
bool NextWaveform(SimDevice& D, SimSample& Sample, std::optional<SimParameters>& StrokeRecord);
// The next timed record; false when a script that does not loop is done.
bool NextParameters(SimDevice& D, SimParameters& Record);
// The sample as the device's sensors read it.
SimSample Measured(const SimDevice& D, const SimSample& True);

}  // namespace sim
