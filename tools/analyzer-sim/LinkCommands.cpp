// Connect reply, version queries and the serial output mode.
#include "tools/analyzer-sim/AnalyzerSim.h"

namespace sim {

void InstallLinkCommands(AnalyzerSim& Sim)
{
    // Connect: the reply follows the ACK in one burst. The handheld's reply
    // carries one byte more than the bench analyzer's.
    Sim.OnCommand('G', [](AnalyzerSim& S, const Frame&) {
        bool Handheld;
        {
            auto L = S.Lock();
            Handheld = S.Device().Kind == DeviceKind::Handheld;
        }
        S.Reply('g', Bytes(Handheld ? 4 : 3, 0));
    });
    // Device version text: eight characters.
    Sim.OnCommand('J', [](AnalyzerSim& S, const Frame&) {
        std::string Text;
        {
            auto L = S.Lock();
            Text = S.Device().VersionText;
        }
        Text.resize(8, ' ');
        S.Reply('j', Bytes(Text.begin(), Text.end()));
    });
    // Version numbers.
    Sim.OnCommand('V', [](AnalyzerSim& S, const Frame&) {
        Bytes V;
        {
            auto L = S.Lock();
            V.assign(std::begin(S.Device().Version), std::end(S.Device().Version));
        }
        S.Reply('V', V);
    });
    // Serial output mode: '0' none, '1' waveform, '2' parameters, '3' both,
    // 'X' stop.
    Sim.OnCommand('M', [](AnalyzerSim& S, const Frame& F) {
        if (F.Payload.empty())
            return;
        char Mode = static_cast<char>(F.Payload[0]);
        if (Mode == 'X')
            Mode = '0';
        if (Mode < '0' || Mode > '3')
            return;
        auto L = S.Lock();
        S.Device().SerialMode = Mode;
    });
}

}  // namespace sim
