// Zeroing and calibration. The analyzer keeps what they change and shows it
// in its stream: a zero command clears its sensor's offset, the barometric
// pressure it is told is the one it streams, and a syringe size starts the
// strokes whose volumes the correction then puts right.
#include "tools/analyzer-sim/AnalyzerSim.h"

namespace sim {

namespace {

uint16_t WordAt(const Frame& F, size_t Pos)
{
    return static_cast<uint16_t>(F.Payload[Pos] << 8 | F.Payload[Pos + 1]);
}

}  // namespace

void InstallCalibrationCommands(AnalyzerSim& Sim)
{
    // Zeroing: '1' automatic and '0' manual mode (the status reports 0
    // automatic); the other codes zero a sensor; '2' and 'b', sent one after
    // the other to zero all, each zero flow, volume and both pressures.
    Sim.OnCommand('Z', [](AnalyzerSim& S, const Frame& F) {
        if (F.Payload.empty())
            return;
        auto L = S.Lock();
        SimDevice& D = S.Device();
        SimOffsets& O = D.Offsets;
        switch (F.Payload[0]) {
        case '1': D.Status.ZeroMode = 0; break;
        case '0': D.Status.ZeroMode = 1; break;
        case 'F': O.Flow = 0; break;
        case 'V': O.Volume = 0; break;
        case 'L': O.LowPressure = 0; break;
        case 'H': O.HighPressure = 0; break;
        case 'O': O.Oxygen21 = 0; break;
        case 'C': O.Oxygen100 = 0; break;
        case '2':
        case 'b':
            O.Flow = 0;
            O.Volume = 0;
            O.LowPressure = 0;
            O.HighPressure = 0;
            break;
        default: break;
        }
    });
    // Calibration: 'B' and 'F' carry a 16-bit value (the barometric
    // pressure in mmHg, the syringe size in mL); '1' accepts and '0'
    // rejects the syringe calibration.
    Sim.OnCommand('C', [](AnalyzerSim& S, const Frame& F) {
        if (F.Payload.empty())
            return;
        const uint8_t Code = F.Payload[0];
        if ((Code == 'B' || Code == 'F') && F.Payload.size() < 3)
            return;
        auto L = S.Lock();
        SimDevice& D = S.Device();
        SimSyringe& Syr = D.Syringe;
        switch (Code) {
        case 'B': D.BaroPressure = WordAt(F, 1); break;
        case 'F':
            Syr.Size = WordAt(F, 1);
            Syr.Active = true;
            Syr.Phase = 0;
            Syr.Strokes = 0;
            break;
        case '1': Syr.Corrected = true; break;
        case '0': Syr.Corrected = false; break;
        default: break;
        }
    });
}

}  // namespace sim
