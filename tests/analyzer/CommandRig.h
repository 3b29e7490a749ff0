// The protocol object on the real serial component, opened on the analyzer
// simulator's pseudo-terminal, with the main window's two port handlers as
// the program has them.
#pragma once

#include "analyzer/Serialfunctions.h"
#include "platform/ApdComPort.h"
#include "platform/Application.h"
#include "platform/SerialPorts.h"
#include "tests/analyzer/LinkFakes.h"
#include "tools/analyzer-sim/AnalyzerSim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

struct CommandRig {
    sim::AnalyzerSim Sim;
    TApdComPort Port{nullptr};
    FakeMemo Memo;
    FakeMainWindow Window;
    std::unique_ptr<TZEBBSerialProtocol> Proto;

    CommandRig()
    {
        Proto = std::make_unique<TZEBBSerialProtocol>(&Port);
        Proto->SetLogMemo(&Memo);
        Proto->SetMainWindow(&Window);
        Port.OnTriggerAvail = [this](TObject*, uint16_t Count) { Proto->CommPortTriggerAvail(Count); };
        Port.OnPortClose = [this](TObject*) { Port.SetPromptForPort(true); };
    }
    ~CommandRig()
    {
        Port.OnTriggerAvail = nullptr;
        Port.OnPortClose = nullptr;
        Port.SetOpen(false);
        Sim.Stop();
    }
    int SimPort() const { return DeviceToPortNumber(Sim.SlavePath()); }
    // Starts the simulator (handlers installed before) and opens its line at
    // the rate it listens to.
    void Start()
    {
        ASSERT_TRUE(Sim.Start());
        ASSERT_EQ(Proto->OpenPortAt(SimPort(), 38400), 1);
        ASSERT_TRUE(sim::AnalyzerSim::WaitFor([this] { return Sim.CurrentBaud() == 38400; }, 1000));
    }
    // The frames the simulator received of the given types, in order.
    std::vector<sim::Frame> Got(const std::string& Types = "") const
    {
        std::vector<sim::Frame> Out;
        for (const auto& F : Sim.Received())
            if (Types.empty() || Types.find(static_cast<char>(F.Type)) != std::string::npos)
                Out.push_back(F);
        return Out;
    }
    uint16_t Register(uint16_t R)
    {
        auto L = Sim.Lock();
        auto It = Sim.Device().Registers.find(R);
        return It == Sim.Device().Registers.end() ? 0 : It->second;
    }
    void SetRegister(uint16_t R, uint16_t V)
    {
        auto L = Sim.Lock();
        Sim.Device().Registers[R] = V;
    }
};

// Frame payload as text for readable failures: printable bytes as they
// are, others as <hex>.
inline std::string Shown(const sim::Bytes& B)
{
    std::string S;
    for (uint8_t C : B) {
        if (C >= 32 && C < 127) {
            S += static_cast<char>(C);
        } else {
            char Hex[8];
            std::snprintf(Hex, sizeof Hex, "<%02X>", C);
            S += Hex;
        }
    }
    return S;
}
