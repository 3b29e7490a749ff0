// Register reads and writes and memory reads.
#include "tools/analyzer-sim/AnalyzerSim.h"
#include "tools/analyzer-sim/SimEncode.h"

namespace sim {

void InstallMemoryCommands(AnalyzerSim& Sim)
{
    // Read register: 'e' with the register and its value (0 when unset).
    Sim.OnCommand('E', [](AnalyzerSim& S, const Frame& F) {
        if (F.Payload.size() < 2)
            return;
        const uint16_t Register = static_cast<uint16_t>(F.Payload[0] << 8 | F.Payload[1]);
        uint16_t Value = 0;
        {
            auto L = S.Lock();
            auto It = S.Device().Registers.find(Register);
            if (It != S.Device().Registers.end())
                Value = It->second;
        }
        Bytes P;
        PutWord(P, Register);
        PutWord(P, Value);
        S.Reply('e', P);
    });
    // Write register: the ACK is the whole answer.
    Sim.OnCommand('W', [](AnalyzerSim& S, const Frame& F) {
        if (F.Payload.size() < 4)
            return;
        auto L = S.Lock();
        S.Device().Registers[static_cast<uint16_t>(F.Payload[0] << 8 | F.Payload[1])] =
            static_cast<uint16_t>(F.Payload[2] << 8 | F.Payload[3]);
    });
    // Read memory: address (3 bytes), count, 'P'; the short 'r' reply
    // carries the address, the count and the bytes (0 where unset).
    Sim.OnCommand('r', [](AnalyzerSim& S, const Frame& F) {
        if (F.Payload.size() < 4)
            return;
        const uint32_t Address = static_cast<uint32_t>(F.Payload[0] << 16 | F.Payload[1] << 8 | F.Payload[2]);
        const uint8_t Count = F.Payload[3] > 25 ? 25 : F.Payload[3];
        Bytes P{F.Payload[0], F.Payload[1], F.Payload[2], Count};
        {
            auto L = S.Lock();
            const auto& M = S.Device().Memory;
            for (uint32_t i = 0; i < Count; ++i) {
                auto It = M.find(Address + i);
                P.push_back(It == M.end() ? 0 : It->second);
            }
        }
        S.Reply('r', P);
    });
}

}  // namespace sim
