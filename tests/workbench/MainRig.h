// The main window in a folder of its own (settings file and "Signals"
// beside a program name there), optionally connected to the analyzer
// simulator on a pseudo-terminal named as on the command line.
#pragma once

#include "analyzer/Serialfunctions.h"
#include "platform/ActnList.h"
#include "platform/Application.h"
#include "platform/IniFiles.h"
#include "platform/SerialPorts.h"
#include "tests/support/Components.h"
#include "tests/support/ProcessEvents.h"
#include "tests/workbench/MainProbe.h"
#include "tools/analyzer-sim/AnalyzerSim.h"
#include "workbench/Main.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The main window's actions by name, in the order given.
inline std::vector<TAction*> ActionsNamed(TComponent* Form, std::initializer_list<const char*> Names)
{
    std::vector<TAction*> Out;
    for (const char* Name : Names)
        Out.push_back(Find<TAction>(Form, Name));
    return Out;
}

struct MainRig {
    std::string Dir;
    TMainFormOptions Options;
    sim::AnalyzerSim Sim;
    std::unique_ptr<TMainForm> Form;

    MainRig()
    {
        char Template[] = "/tmp/ozwb-XXXXXX";
        Dir = ::mkdtemp(Template);
        Options.ExeName = Dir + "/ozezudo";
    }
    ~MainRig()
    {
        Form.reset();
        Sim.Stop();
        std::error_code Ec;
        std::filesystem::remove_all(Dir, Ec);
    }
    std::string IniName() const { return Dir + "/ozezudo.INI"; }
    // Writes keys into the settings file before the window is built.
    void Ini(const std::string& Section, const std::string& Key, const std::string& Value)
    {
        TIniFile F(IniName());
        F.WriteString(Section, Key, Value);
    }
    std::string IniValue(const std::string& Section, const std::string& Key)
    {
        TIniFile F(IniName());
        return F.ReadString(Section, Key, "<none>");
    }
    // Starts the simulator and names its line as the command line does (a
    // pseudo-terminal in the settings file is not opened).
    void StartSim()
    {
        ASSERT_TRUE(Sim.Start());
        Options.PortOverride = DeviceToPortNumber(Sim.SlavePath());
    }
    void Build()
    {
        Form = std::make_unique<TMainForm>(nullptr, Options);
        MainForm = Form.get();
    }
    // Builds the window and runs the connect handshake as showing it does.
    void Connect()
    {
        Build();
        Find<TAction>(Form.get(), "actnInitCommunications")->Execute();
    }
    // Builds the window and switches the analyzer's output on at its own
    // rate: connected without the slow probes at the other rates.
    void ConnectAtOwnRate()
    {
        Build();
        ZebbSer->SetBaudIfOpen(38400);
        Find<TAction>(Form.get(), "actnSerialModeBoth")->Execute();
    }
    // Starts the simulator, builds the window at 900 x 600 and shows it:
    // showing runs the handshake once the window has painted. True once
    // connected and past sample MinSample.
    bool ShowConnected(int32_t MinSample)
    {
        StartSim();
        Build();
        Form->SetBounds(10, 10, 900, 600);
        Form->Show();
        return ProcessUntil([&] { return Probe(*Form).Connected() && Probe(*Form).SampleTime() > MinSample; }, 15000);
    }
    // Types of the frames the simulator received, as text. A frame resent
    // because its acknowledgement came late (a loaded machine) counts once.
    std::string Types() const
    {
        std::string S;
        const sim::Frame* Last = nullptr;
        const auto Frames = Sim.Received();
        for (const auto& F : Frames) {
            if (!Last || Last->Type != F.Type || Last->Payload != F.Payload)
                S += static_cast<char>(F.Type);
            Last = &F;
        }
        return S;
    }
    std::vector<sim::Frame> Got(char Type) const
    {
        std::vector<sim::Frame> Out;
        for (const auto& F : Sim.Received())
            if (F.Type == static_cast<uint8_t>(Type))
                Out.push_back(F);
        return Out;
    }
};
