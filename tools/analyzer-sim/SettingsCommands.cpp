// The setting commands: the analyzer keeps what they set, so its status
// frame reports it afterwards. Zeroing and calibration are in
// CalibrationCommands.cpp.
#include "tools/analyzer-sim/AnalyzerSim.h"

#include <cstring>

namespace sim {

namespace {

uint16_t WordAt(const Frame& F, size_t Pos)
{
    return static_cast<uint16_t>(F.Payload[Pos] << 8 | F.Payload[Pos + 1]);
}

// The gas a channel byte names; null for the ambient channel or junk.
SimGas* GasOf(SimStatus& S, uint8_t Channel)
{
    if (Channel == 'I')
        return &S.InspGas;
    if (Channel == 'E')
        return &S.ExpGas;
    return nullptr;
}

}  // namespace

void InstallSettingsCommands(AnalyzerSim& Sim)
{
    // Flow port: '1' low, '2' high (the status reports 0 low, 1 high).
    Sim.OnCommand('S', [](AnalyzerSim& S, const Frame& F) {
        if (F.Payload.size() < 1 || (F.Payload[0] != '1' && F.Payload[0] != '2'))
            return;
        auto L = S.Lock();
        S.Device().Status.FlowPort = F.Payload[0] == '2' ? 1 : 0;
    });
    // Breath detection: '0' off, '1' bidirectional, '2' inspiratory, '3'
    // expiratory.
    Sim.OnCommand('B', [](AnalyzerSim& S, const Frame& F) {
        if (F.Payload.size() < 1 || F.Payload[0] < '0' || F.Payload[0] > '3')
            return;
        auto L = S.Lock();
        S.Device().Status.BreathDetect = static_cast<uint8_t>(F.Payload[0] - '0');
    });
    // Breath threshold in hundredths of L/min.
    Sim.OnCommand('H', [](AnalyzerSim& S, const Frame& F) {
        if (F.Payload.size() < 2)
            return;
        auto L = S.Lock();
        S.Device().Status.BreathThreshold = WordAt(F, 0) / 100.0;
    });
    // Correction letter (and two spare bytes): 'A' ATP, 'S' STPD0, 'B'
    // BTPS, 'T' STPD21.
    Sim.OnCommand('O', [](AnalyzerSim& S, const Frame& F) {
        if (F.Payload.size() < 1)
            return;
        const char* Letters = "ASBT";
        const char* P = std::strchr(Letters, F.Payload[0]);
        if (!P || F.Payload[0] == 0)
            return;
        auto L = S.Lock();
        S.Device().Status.Correction = static_cast<uint8_t>(P - Letters);
    });
    // Gas type letter, in the order of the gas lists.
    Sim.OnCommand('Y', [](AnalyzerSim& S, const Frame& F) {
        if (F.Payload.size() < 1)
            return;
        const char* Letters = "AOhnHNUCMm";
        const char* P = std::strchr(Letters, F.Payload[0]);
        if (!P || F.Payload[0] == 0)
            return;
        auto L = S.Lock();
        S.Device().Status.GasType = static_cast<uint8_t>(P - Letters);
    });
    // Gas temperature; channel 'A' is the ambient temperature.
    Sim.OnCommand('T', [](AnalyzerSim& S, const Frame& F) {
        if (F.Payload.size() < 3)
            return;
        auto L = S.Lock();
        SimStatus& St = S.Device().Status;
        if (F.Payload[0] == 'A')
            St.AmbientTemp = WordAt(F, 1);
        else if (SimGas* G = GasOf(St, F.Payload[0]))
            G->Temperature = WordAt(F, 1);
    });
    Sim.OnCommand('U', [](AnalyzerSim& S, const Frame& F) {
        if (F.Payload.size() < 3)
            return;
        auto L = S.Lock();
        if (SimGas* G = GasOf(S.Device().Status, F.Payload[0]))
            G->RelHumidity = WordAt(F, 1);
    });
    Sim.OnCommand('D', [](AnalyzerSim& S, const Frame& F) {
        if (F.Payload.size() < 3)
            return;
        auto L = S.Lock();
        if (SimGas* G = GasOf(S.Device().Status, F.Payload[0]))
            G->MolWeight = WordAt(F, 1) / 100.0;
    });
    // 'V' is two commands: 'P' asks for the version numbers, a channel and a
    // value set the viscosity. This handler takes over both.
    Sim.OnCommand('V', [](AnalyzerSim& S, const Frame& F) {
        if (F.Payload.size() >= 3) {
            auto L = S.Lock();
            if (SimGas* G = GasOf(S.Device().Status, F.Payload[0]))
                G->Viscosity = WordAt(F, 1);
            return;
        }
        Bytes V;
        {
            auto L = S.Lock();
            V.assign(std::begin(S.Device().Version), std::end(S.Device().Version));
        }
        S.Reply('V', V);
    });
}

}  // namespace sim
