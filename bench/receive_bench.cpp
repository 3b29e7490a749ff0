// The receive path of the analyzer link: bytes from the port into the ring,
// parse, checksum, ACK, dispatch and decode into a waveform sample.
// At 38,400 baud the analyzer sends about 150 frames a second; one frame
// must cost well under a microsecond and allocate nothing.
#include "analyzer/Serialfunctions.h"
#include "bench/AllocationCount.h"

#include <benchmark/benchmark.h>

namespace {

// A port that serves a fixed run of bytes and swallows what is sent.
class ReplayPort : public TProtocolPort {
public:
    const uint8_t* Data = nullptr;
    size_t Size = 0, Next = 0;
    size_t Sent = 0;

    bool Open() const override { return true; }
    void PutBlock(const void*, size_t Len) override { Sent += Len; }
    void PutChar(uint8_t) override { ++Sent; }
    size_t OutBuffUsed() const override { return 0; }
    void ProcessCommunications() override {}
    void FlushInBuffer() override { Next = Size; }
    void FlushOutBuffer() override {}
    uint8_t GetChar() override { return Data[Next++]; }
    uint16_t InBuffFree() const override { return 2048; }
};

// A main window that keeps the last sample and nothing else.
class SinkWindow : public TMainFormLink {
public:
    TWaveformSample Last;
    long Samples = 0;
    TDeviceKind DeviceKind() const override { return dkAnalyzer; }
    void ShowDeviceVersion(const std::string&) override {}
    void RecordMessage(int, uint8_t, const uint8_t*) override {}
    void NewWaveformSample(TWaveformSample S) override
    {
        Last = S;
        ++Samples;
    }
    void NewParameters(TParameterStruct) override {}
    void ConfigureForDevice(int, const std::string&) override {}
    void SetDeviceKind(uint8_t) override {}
    void SetCorrectionMode(int) override {}
    void SetInspGas(TGasProperties) override {}
    void SetExpGas(TGasProperties) override {}
    void SetAmbientTemp(float) override {}
    void SetGasType(int) override {}
    void SetBreathThreshold(float) override {}
    void ShowBreathDetectMode(int) override {}
    void ShowZeroMode(int) override {}
    void ShowSerialMode(int) override {}
    void ShowFlowPort(int) override {}
    void StatusReceived(uint8_t) override {}
};

// An extended waveform frame with every field set.
void BuildWaveformFrame(uint8_t* F, uint16_t Counter)
{
    const uint8_t Payload[25] = {0x40, 0x40, 0x01, 0xF4, 0x00, 0x00, 0x30, 0x39, 0x00, 0xCD, 0x00, 0xC8, 0x00,
                                 0x93, 0x1D, 0xB0, 0x00, 0xD1, static_cast<uint8_t>(Counter >> 8),
                                 static_cast<uint8_t>(Counter), 0x00, 0x01, 0xC7, 0x0B, 0xA5};
    F[0] = ':';
    F[1] = '?';
    F[2] = 30;
    for (int i = 0; i < 25; ++i)
        F[3 + i] = Payload[i];
    uint8_t Sum = 0;
    for (int i = 0; i < 28; ++i)
        Sum = static_cast<uint8_t>(Sum + F[i]);
    F[28] = Sum;
    F[29] = 0x0D;
}

constexpr int FrameLength = 30;

// The protocol object on a port that replays Frames waveform frames.
template <int Frames>
struct Rig {
    uint8_t Stream[FrameLength * Frames];
    ReplayPort Port;
    SinkWindow Window;
    TZEBBSerialProtocol Proto{&Port};
    Rig()
    {
        for (int i = 0; i < Frames; ++i)
            BuildWaveformFrame(Stream + i * FrameLength, static_cast<uint16_t>(i));
        Port.Data = Stream;
        Port.Size = sizeof Stream;
        Proto.SetMainWindow(&Window);
    }
};

void BM_ReceiveWaveformFrame(benchmark::State& State)
{
    static Rig<64> R;
    ReplayPort& Port = R.Port;
    SinkWindow& Window = R.Window;
    TZEBBSerialProtocol& Proto = R.Proto;
    Window.Samples = 0;

    const long AllocationsBefore = AllocationCount();
    for (auto _ : State) {
        if (Port.Next >= Port.Size)
            Port.Next = 0;
        Proto.CommPortTriggerAvail(FrameLength);  // one frame, as the port delivers it
        benchmark::DoNotOptimize(Window.Last);
    }
    const long Allocated = AllocationCount() - AllocationsBefore;
    if (Window.Samples != static_cast<long>(State.iterations()))
        State.SkipWithError("a frame was not dispatched");
    State.counters["allocs_per_frame"] =
        benchmark::Counter(static_cast<double>(Allocated), benchmark::Counter::kAvgIterations);
    State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_ReceiveWaveformFrame);

// Bytes arriving in 8-byte chunks: partial frames wait in the ring.
void BM_ReceiveWaveformFrameInChunks(benchmark::State& State)
{
    static Rig<8> R;
    ReplayPort& Port = R.Port;
    SinkWindow& Window = R.Window;
    TZEBBSerialProtocol& Proto = R.Proto;
    for (auto _ : State) {
        for (int Left = FrameLength; Left > 0; Left -= 8) {
            if (Port.Next >= Port.Size)
                Port.Next = 0;
            const int Chunk = Left < 8 ? Left : 8;
            const size_t Room = Port.Size - Port.Next;
            Proto.CommPortTriggerAvail(static_cast<uint16_t>(static_cast<size_t>(Chunk) < Room ? Chunk : Room));
        }
        benchmark::DoNotOptimize(Window.Last);
    }
    State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_ReceiveWaveformFrameInChunks);

}  // namespace
