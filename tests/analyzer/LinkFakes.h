// Stand-ins for what the protocol object talks to: a port whose timing the
// test controls, a main window that records every call, the log memo and
// the download dialog.
#pragma once

#include "analyzer/Functions.h"
#include "analyzer/Serialfunctions.h"
#include "platform/SysUtils.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline Bytes MakeFrame(uint8_t Type, const Bytes& Payload)
{
    Bytes F;
    F.reserve(Payload.size() + 5);
    F.push_back(':');
    F.push_back(Type);
    F.push_back(static_cast<uint8_t>(Payload.size() + 5));
    for (uint8_t B : Payload)  // not insert(): GCC 12 misreads its bounds at -O2
        F.push_back(B);
    uint8_t Sum = 0;
    for (uint8_t B : F)
        Sum = static_cast<uint8_t>(Sum + B);
    F.push_back(Sum);
    F.push_back(0x0D);
    return F;
}

inline Bytes Join(std::initializer_list<Bytes> Parts)
{
    Bytes Out;
    for (const Bytes& P : Parts)
        Out.insert(Out.end(), P.begin(), P.end());
    return Out;
}

// A short waveform frame whose sample counter tells it apart.
inline Bytes WaveFrame(uint16_t Counter)
{
    Bytes P(20, 0);
    P[18] = static_cast<uint8_t>(Counter >> 8);
    P[19] = static_cast<uint8_t>(Counter);
    return MakeFrame('?', P);
}

// The component as the protocol sees it. Bytes given to Deliver wait in its
// input buffer until ProcessCommunications hands them on through
// CommPortTriggerAvail, as the real component does.
class FakePort : public TProtocolPort {
public:
    TZEBBSerialProtocol* Proto = nullptr;
    bool IsOpen = true;
    Bytes Written;
    std::vector<Bytes> Blocks;  // each PutBlock
    std::deque<uint8_t> In;
    // The analyzer's side: runs after each PutBlock.
    std::function<void(FakePort&, const Bytes& Block)> OnBlock;
    // Runs at each ProcessCommunications, before delivery.
    std::function<void(FakePort&)> OnProcess;
    // The monotonic clock moves this far at each ProcessCommunications.
    int TickMs = 0;
    // OutBuffUsed reports bytes this many times after each PutChar.
    int DrainPolls = 0;
    int Processes = 0;
    int Flushes = 0;

    void Deliver(const Bytes& B) { In.insert(In.end(), B.begin(), B.end()); }

    bool Open() const override { return IsOpen; }
    void PutBlock(const void* Block, size_t Len) override
    {
        const uint8_t* P = static_cast<const uint8_t*>(Block);
        Blocks.emplace_back(P, P + Len);
        Written.insert(Written.end(), P, P + Len);
        if (OnBlock)
            OnBlock(*this, Blocks.back());
    }
    void PutChar(uint8_t C) override
    {
        Written.push_back(C);
        FDrainLeft = DrainPolls;
    }
    size_t OutBuffUsed() const override
    {
        if (FDrainLeft > 0) {
            --FDrainLeft;
            return 1;
        }
        return 0;
    }
    void ProcessCommunications() override
    {
        ++Processes;
        if (TickMs)
            SetMonotonicOffsetMs(MonotonicOffsetMs() + TickMs);
        if (OnProcess)
            OnProcess(*this);
        if (!In.empty() && Proto)
            Proto->CommPortTriggerAvail(static_cast<uint16_t>(In.size()));
    }
    void FlushInBuffer() override
    {
        ++Flushes;
        In.clear();
    }
    void FlushOutBuffer() override {}
    uint8_t GetChar() override
    {
        const uint8_t B = In.front();
        In.pop_front();
        return B;
    }
    uint16_t InBuffFree() const override { return static_cast<uint16_t>(2048 - In.size()); }

    // The control bytes written (ACK and NAK) in order.
    Bytes Answers() const
    {
        Bytes Out;
        for (uint8_t B : Written)
            if (B == ACK || B == NAK)
                Out.push_back(B);
        return Out;
    }

private:
    mutable int FDrainLeft = 0;
};

// The clock of the tests on a fake port: the monotonic clock, which the
// port's TickMs moves and each sleep of a wait moves on by a millisecond.
// Nothing sleeps in real time, and a wait on a silent port still ends.
class FakeClock : public TProtocolClock {
public:
    int Sleeps = 0;
    int64_t NowMs() override { return MonotonicMs(); }
    void ProcessMessages() override {}
    void WaitUntil(int64_t DeadlineMs) override
    {
        ++Sleeps;
        if (MonotonicMs() < DeadlineMs)
            SetMonotonicOffsetMs(MonotonicOffsetMs() + 1);
    }
};

class FakeMemo : public TProtocolLogMemo {
public:
    std::vector<std::string> Lines;
    int LineCount() const override { return static_cast<int>(Lines.size()); }
    void DeleteFirstLine() override { Lines.erase(Lines.begin()); }
    void AddLine(const std::string& Line) override { Lines.push_back(Line); }
    int CountOf(const std::string& Line) const
    {
        int N = 0;
        for (const auto& L : Lines)
            N += L == Line;
        return N;
    }
};

class FakeMainWindow : public TMainFormLink {
public:
    std::vector<std::string> Calls;  // every call, named with its argument
    std::vector<TWaveformSample> Samples;
    std::vector<TParameterStruct> Params;
    std::vector<Bytes> Recorded;
    TGasProperties Insp{}, Exp{};
    float Ambient = 0, Threshold = 0;
    std::string Version;
    TDeviceKind Kind = dkAnalyzerOldFirmware;

    TDeviceKind DeviceKind() const override { return Kind; }
    void ShowDeviceVersion(const std::string& V) override { Calls.push_back("ShowDeviceVersion " + V); }
    void RecordMessage(int RecordType, uint8_t Length, const uint8_t* Frame) override
    {
        Calls.push_back("RecordMessage " + std::to_string(RecordType) + " " + std::to_string(Length));
        Recorded.emplace_back(Frame, Frame + Length);
    }
    void NewWaveformSample(TWaveformSample Sample) override
    {
        Calls.push_back("NewWaveformSample");
        Samples.push_back(Sample);
    }
    void NewParameters(TParameterStruct P) override
    {
        Calls.push_back("NewParameters");
        Params.push_back(P);
    }
    void ConfigureForDevice(int Kind, const std::string& V) override
    {
        Calls.push_back("ConfigureForDevice " + std::to_string(Kind) + " " + V);
        Version = V;
        // As the main window does.
        this->Kind = Kind == 2 ? dkHandheld : VersionNumber(V) > 10513 ? dkAnalyzer : dkAnalyzerOldFirmware;
    }
    void SetDeviceKind(uint8_t Kind) override
    {
        Calls.push_back("SetDeviceKind " + std::to_string(Kind));
        this->Kind = static_cast<TDeviceKind>(Kind);
    }
    void SetCorrectionMode(int M) override { Calls.push_back("SetCorrectionMode " + std::to_string(M)); }
    void SetInspGas(TGasProperties G) override
    {
        Calls.push_back("SetInspGas");
        Insp = G;
    }
    void SetExpGas(TGasProperties G) override
    {
        Calls.push_back("SetExpGas");
        Exp = G;
    }
    void SetAmbientTemp(float K) override
    {
        Calls.push_back("SetAmbientTemp");
        Ambient = K;
    }
    void SetGasType(int G) override { Calls.push_back("SetGasType " + std::to_string(G)); }
    void SetBreathThreshold(float T) override
    {
        Calls.push_back("SetBreathThreshold");
        Threshold = T;
    }
    void ShowBreathDetectMode(int M) override { Calls.push_back("ShowBreathDetectMode " + std::to_string(M)); }
    void ShowZeroMode(int M) override { Calls.push_back("ShowZeroMode " + std::to_string(M)); }
    void ShowSerialMode(int M) override { Calls.push_back("ShowSerialMode " + std::to_string(M)); }
    void ShowFlowPort(int P) override { Calls.push_back("ShowFlowPort " + std::to_string(P)); }
    void StatusReceived(uint8_t E) override { Calls.push_back("StatusReceived " + std::to_string(E)); }

    std::vector<int> Counters() const
    {
        std::vector<int> Out;
        for (const auto& S : Samples)
            Out.push_back(S.SampleCounter);
        return Out;
    }
};

class FakeDownloadDialog : public TFileDownloadLink {
public:
    int Updates = 0;
    TZRMobFileInfo Infos[HandheldDirectorySize];
    TZRMobFileInfo FileInfo(int Index) const override { return Infos[Index]; }
    void SetFileInfo(int Index, const TZRMobFileInfo& Info) override { Infos[Index] = Info; }
    void UpdateFileList() override { ++Updates; }
};

class FakeProgress : public TProtocolProgressBar {
public:
    std::vector<int> Positions;
    void SetPosition(int P) override { Positions.push_back(P); }
};

// A protocol object on a fake port with every side attached.
struct LinkRig {
    FakePort Port;
    FakeClock Clock;
    FakeMemo Memo;
    FakeMainWindow Window;
    FakeDownloadDialog Dialog;
    TZEBBSerialProtocol Proto{&Port, &Clock};
    LinkRig()
    {
        Port.Proto = &Proto;
        Proto.SetLogMemo(&Memo);
        Proto.SetMainWindow(&Window);
        Proto.SetFileDownloadDialog(&Dialog);
    }
    // Bytes straight into the ring, then one parse, as the data-available
    // handler does.
    void Receive(const Bytes& B)
    {
        for (uint8_t C : B)
            Proto.PutByte(C);
        Proto.ProcessInput(Proto.GetCount());
    }
};
