#include "tools/analyzer-sim/SimStream.h"

#include "tools/analyzer-sim/SimEncode.h"
#include "tools/analyzer-sim/SimScripts.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

// Adds an offset to a value that is present.
double Off(double Value, double Offset)
{
    return std::isnan(Value) ? Value : Value + Offset;
}

// The oxygen the sensor reads at the stream's present sample: the
// analyzer's breath records carry that reading, as its waveform does.
double OxygenReading(const SimDevice& D)
{
    SimSample True;
    if (D.Syringe.Active)
        True = SyringeStroke(D.Syringe).Sample;
    else if (D.Waveform.empty())
        True = SyntheticSample(D.SampleCounter);
    else
        True = D.Waveform[std::min(D.WaveformNext > 0 ? D.WaveformNext - 1 : 0, D.Waveform.size() - 1)];
    return Measured(D, True).Oxygen;
}

}  // namespace

SimSample Measured(const SimDevice& D, const SimSample& True)
{
    const SimOffsets& O = D.Offsets;
    SimSample S = True;
    S.Flow = Off(S.Flow, O.Flow);
    S.Volume = Off(S.Volume, O.Volume);
    S.AirwayPressure = Off(S.AirwayPressure, O.LowPressure);
    S.LowPressure = Off(S.LowPressure, O.LowPressure);
    S.HighPressure = Off(S.HighPressure, O.HighPressure);
    // A two-point error: Oxygen21 at 21 %, Oxygen100 at 100 %, a straight
    // line through both.
    const double Share = (S.Oxygen - 21) / 79;
    S.Oxygen = Off(S.Oxygen, O.Oxygen21 * (1 - Share) + O.Oxygen100 * Share);
    if (D.BaroPressure)
        S.BaroPressure = *D.BaroPressure;
    return S;
}

bool NextWaveform(SimDevice& D, SimSample& Sample, std::optional<SimParameters>& StrokeRecord)
{
    StrokeRecord.reset();
    SimSample True;
    if (D.Syringe.Active) {
        SyringeStep Step = SyringeStroke(D.Syringe);
        True = Step.Sample;
        ++D.Syringe.Phase;
        if (Step.Ends) {
            D.Syringe.Phase = 0;
            ++D.Syringe.Strokes;
            StrokeRecord = Step.Record;
        }
    } else if (D.Waveform.empty()) {
        True = SyntheticSample(D.SampleCounter);
    } else if (D.WaveformNext < D.Waveform.size()) {
        True = D.Waveform[D.WaveformNext++];
        if (D.WaveformNext >= D.Waveform.size() && D.WaveformLoop)
            D.WaveformNext = 0;
    } else {
        return false;  // the script is done
    }
    Sample = Measured(D, True);
    if (StrokeRecord && !std::isnan(StrokeRecord->Oxygen))
        StrokeRecord->Oxygen = Sample.Oxygen;
    return true;
}

bool NextParameters(SimDevice& D, SimParameters& Record)
{
    if (D.Parameters.empty()) {
        Record = SimParameters();
    } else {
        if (!D.ParametersLoop && D.ParametersNext >= D.Parameters.size())
            return false;
        Record = D.Parameters[D.ParametersNext++ % D.Parameters.size()];
    }
    if (!std::isnan(Record.Oxygen))
        Record.Oxygen = OxygenReading(D);
    return true;
}

}  // namespace sim
