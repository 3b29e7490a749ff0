// Firmware files for the flash tests, and a protocol object on the analyzer
// simulator whose long boot-loader delays pass quickly: while the simulated
// boot loader is not waiting on a record, a timer moves the monotonic clock
// on, so the 50-second erase takes well under a second.
#pragma once

#include "analyzer/Serialfunctions.h"
#include "platform/ApdComPort.h"
#include "platform/Application.h"
#include "platform/DialogHook.h"
#include "platform/Forms.h"
#include "platform/SerialPorts.h"
#include "platform/SysUtils.h"
#include "platform/Timer.h"
#include "tools/analyzer-sim/AnalyzerSim.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline std::string HexPairs(const Bytes& B)
{
    std::string Out;
    char Pair[3];
    for (uint8_t V : B) {
        std::snprintf(Pair, sizeof Pair, "%02X", V);
        Out += Pair;
    }
    return Out;
}

// One record: its text line (with CR LF) and its bytes on the wire.
struct HexRecord {
    std::string Line;
    Bytes Wire;
};

inline HexRecord MakeRecord(uint16_t Address, uint8_t Type, const Bytes& Data)
{
    Bytes Body{static_cast<uint8_t>(Data.size()), static_cast<uint8_t>(Address >> 8),
               static_cast<uint8_t>(Address & 0xFF), Type};
    Body.insert(Body.end(), Data.begin(), Data.end());
    uint8_t Sum = 0;
    for (uint8_t V : Body)
        Sum = static_cast<uint8_t>(Sum + V);
    Body.push_back(static_cast<uint8_t>(-Sum));
    HexRecord R;
    R.Line = ":" + HexPairs(Body) + "\r\n";
    R.Wire = Body;
    R.Wire.insert(R.Wire.begin(), ':');
    return R;
}

// Count data records of 1 to 19 bytes from Seed, then the end record.
struct HexFile {
    std::string Text;
    std::vector<Bytes> Wire;
};

inline HexFile MakeHexFile(int Count, uint8_t Seed)
{
    HexFile F;
    uint16_t Address = 0;
    for (int i = 0; i < Count; ++i) {
        Bytes Data(static_cast<size_t>(1 + (i * 7 + Seed) % 19));
        for (size_t k = 0; k < Data.size(); ++k)
            Data[k] = static_cast<uint8_t>(Seed + i * 31 + k * 3);
        const HexRecord R = MakeRecord(Address, 0, Data);
        F.Text += R.Line;
        F.Wire.push_back(R.Wire);
        Address = static_cast<uint16_t>(Address + Data.size());
    }
    const HexRecord End = MakeRecord(0, 1, {});
    F.Text += End.Line;
    F.Wire.push_back(End.Wire);
    return F;
}

// A folder that is removed with everything in it.
class TempDir {
public:
    TempDir()
    {
        std::string Pattern = (std::filesystem::temp_directory_path() / "flash-XXXXXX").string();
        if (::mkdtemp(Pattern.data()))
            FPath = Pattern;
    }
    ~TempDir()
    {
        std::error_code Ec;
        if (!FPath.empty())
            std::filesystem::remove_all(FPath, Ec);
    }
    std::string Write(const std::string& Name, const std::string& Text) const
    {
        const std::string Path = FPath + "/" + Name;
        std::ofstream(Path, std::ios::binary) << Text;
        return Path;
    }
    std::string Path(const std::string& Name) const { return FPath + "/" + Name; }

private:
    std::string FPath;
};

class FlashRig : public ::testing::Test {
protected:
    void SetUp() override
    {
        FOldAnswerer = SetDialogAnswerer([this](const TDialogRequest& Request, TDialogAnswer& Answer) {
            if (Request.Kind == TDialogKind::MessageBox) {
                Messages.push_back(Request.Text);
                Answer.ModalResult = mrOk;
                return true;
            }
            return OnDialog && OnDialog(Request, Answer);
        });
        ASSERT_TRUE(Sim.Start());
        Port.SetComNumber(DeviceToPortNumber(Sim.SlavePath()));
        Port.SetBaud(38400);
        Port.SetOpen(true);
        ASSERT_TRUE(Port.Open());
        Proto = std::make_unique<TZEBBSerialProtocol>(&Port);
        Port.OnTriggerAvail = [this](TObject*, uint16_t Count) { Proto->CommPortTriggerAvail(Count); };
        ASSERT_TRUE(sim::AnalyzerSim::WaitFor([this] { return Sim.CurrentBaud() == 38400; }, 1000));

        Clock = std::make_unique<TTimer>(nullptr);
        Clock->SetInterval(1);
        Clock->OnTimer = [this](TObject*) {
            using P = sim::SimBootLoader::Phase;
            const sim::SimBootLoader& Boot = Sim.BootLoader();
            const P Phase = Boot.CurrentPhase();
            // The erase wait is skipped until the load says it sends records:
            // a record on its way to the boot loader is not skipped past.
            const bool Erasing = Phase == P::Erased && Boot.RecordsReceived() == 0 && !(Sending && Sending());
            // Nor is the wake-up string on its way at 2,400 baud.
            const bool WakingUp = Phase == P::Off && Sim.CurrentBaud() == 2400;
            if ((SkipAlways && !WakingUp) || Phase == P::Woken || Phase == P::Done || Erasing)
                SetMonotonicOffsetMs(MonotonicOffsetMs() + 100);
        };
        Clock->SetEnabled(true);
    }
    void TearDown() override
    {
        Clock.reset();
        ZebbSer = nullptr;
        Port.OnTriggerAvail = nullptr;
        Port.SetOpen(false);
        Sim.Stop();
        SetDialogAnswerer(FOldAnswerer);
    }

    // The text and code files in Dir; the files the boot loader should have
    // received from them, in order.
    void WriteFiles(const HexFile& Text, const HexFile& Code)
    {
        TextPath = Dir.Write("text.hex", Text.Text);
        CodePath = Dir.Write("code.hex", Code.Text);
        Expected = Text.Wire;
        Expected.insert(Expected.end(), Code.Wire.begin(), Code.Wire.end());
    }
    std::vector<std::pair<int, std::string>> Strings(std::initializer_list<int> Which) const
    {
        static const std::pair<int, std::string> All[] = {
            {2400, "~8 \n\r"}, {19200, "~8~1~3 \n\r"}, {19200, "~2 \n\r"}};
        std::vector<std::pair<int, std::string>> Out;
        for (int I : Which)
            Out.push_back(All[I]);
        return Out;
    }

    sim::AnalyzerSim Sim;
    TApdComPort Port{nullptr};
    std::unique_ptr<TZEBBSerialProtocol> Proto;
    std::unique_ptr<TTimer> Clock;
    bool SkipAlways = false;
    // True once the load has started sending records (what the load's
    // monitor shows).
    std::function<bool()> Sending;
    std::vector<std::string> Messages;
    std::function<bool(const TDialogRequest&, TDialogAnswer&)> OnDialog;
    TempDir Dir;
    std::string TextPath, CodePath;
    std::vector<Bytes> Expected;

private:
    TDialogAnswerer FOldAnswerer;
};
