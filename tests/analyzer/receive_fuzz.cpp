// Fuzz target: arbitrary bytes through the receive path of the analyzer
// link (data-available handler, ring, parser, ACK/NAK, dispatch, every
// decoder and the handheld download). Built with clang and
// -fsanitize=fuzzer,address,undefined against the platform and analyzer
// libraries; any crash or sanitizer report is a fault.
//
// The first input byte picks the road: even feeds the bytes in chunks as the
// serial component would, odd runs a download that receives them. The waits
// run on a clock of the target's own: a wait that sleeps is woken by the
// next chunk, as by the port's data, or, with the input used up, finds its
// time over at once. Nothing sleeps in real time.
#include "analyzer/Serialfunctions.h"

#include <cstdlib>
#include <vector>

namespace {

class FuzzPort : public TProtocolPort {
public:
    TZEBBSerialProtocol* Proto = nullptr;
    const uint8_t* Data = nullptr;
    size_t Size = 0, Next = 0;
    std::vector<uint8_t> Answers;  // what the analyzer says to our frames, first

    bool Open() const override { return true; }
    void PutBlock(const void* Block, size_t Len) override
    {
        const uint8_t* F = static_cast<const uint8_t*>(Block);
        Answers.push_back(0x06);
        if (Len > 1 && F[1] == 'J') {
            const uint8_t J[13] = {':', 'j', 13, '0', '1', '.', '0', '8', '.', '0', '9', 0, 0x0D};
            uint8_t Sum = 0;
            for (int i = 0; i < 11; ++i)
                Sum = static_cast<uint8_t>(Sum + J[i]);
            Answers.insert(Answers.end(), J, J + 13);
            Answers[Answers.size() - 2] = Sum;
        }
    }
    void PutChar(uint8_t) override {}
    size_t OutBuffUsed() const override { return 0; }
    void ProcessCommunications() override
    {
        if (!Answers.empty()) {
            Deliver = std::move(Answers);
            Answers.clear();
            Taken = 0;
            Proto->CommPortTriggerAvail(static_cast<uint16_t>(Deliver.size()));
            Deliver.clear();
            return;
        }
        if (Next >= Size)
            return;
        const size_t Chunk = 1 + Data[Next] % 64;
        ++Next;
        const size_t Count = Chunk < Size - Next ? Chunk : Size - Next;
        if (Count > 0)
            Proto->CommPortTriggerAvail(static_cast<uint16_t>(Count));
    }
    void FlushInBuffer() override { Next = Size; }
    void FlushOutBuffer() override {}
    uint8_t GetChar() override
    {
        if (Taken < Deliver.size())
            return Deliver[Taken++];
        return Next < Size ? Data[Next++] : 0;
    }
    uint16_t InBuffFree() const override { return 2000; }
    bool HasInput() const { return !Answers.empty() || Next < Size; }

private:
    std::vector<uint8_t> Deliver;
    size_t Taken = 0;
};

class FuzzClock : public TProtocolClock {
public:
    FuzzPort* Port = nullptr;
    int64_t Now = 0;
    int64_t NowMs() override { return Now; }
    void ProcessMessages() override {}
    void WaitUntil(int64_t DeadlineMs) override
    {
        if (Port->HasInput())
            Port->ProcessCommunications();
        else if (Now < DeadlineMs)
            Now = DeadlineMs;
    }
};

class NullWindow : public TMainFormLink {
public:
    TDeviceKind Kind = dkAnalyzerOldFirmware;
    TDeviceKind DeviceKind() const override { return Kind; }
    void ShowDeviceVersion(const std::string&) override {}
    void RecordMessage(int, uint8_t, const uint8_t*) override {}
    void NewWaveformSample(TWaveformSample) override {}
    void NewParameters(TParameterStruct) override {}
    void ConfigureForDevice(int Kind, const std::string&) override
    {
        this->Kind = Kind == 2 ? dkHandheld : dkAnalyzerOldFirmware;
    }
    void SetDeviceKind(uint8_t K) override { Kind = static_cast<TDeviceKind>(K); }
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

class NullDialog : public TFileDownloadLink {
public:
    TZRMobFileInfo Infos[HandheldDirectorySize];
    TZRMobFileInfo FileInfo(int Index) const override { return Infos[Index]; }
    void SetFileInfo(int Index, const TZRMobFileInfo& Info) override { Infos[Index] = Info; }
    void UpdateFileList() override {}
};

class CountingMemo : public TProtocolLogMemo {
public:
    int Lines = 0;
    int LineCount() const override { return Lines; }
    void DeleteFirstLine() override { --Lines; }
    void AddLine(const std::string&) override { ++Lines; }
};

class NullProgress : public TProtocolProgressBar {
public:
    void SetPosition(int) override {}
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size == 0)
        return 0;
    FuzzPort Port;
    FuzzClock Clock;
    Clock.Port = &Port;
    NullWindow Window;
    NullDialog Dialog;
    CountingMemo Memo;
    NullProgress Progress;
    TZEBBSerialProtocol Proto(&Port, &Clock);
    Proto.SetMainWindow(&Window);
    Proto.SetFileDownloadDialog(&Dialog);
    Proto.SetLogMemo(&Memo);
    Port.Proto = &Proto;
    Port.Data = Data + 1;
    Port.Size = Size - 1;
    if (Data[0] % 2 == 0) {
        while (Port.Next < Port.Size)
            Port.ProcessCommunications();
    } else {
        std::vector<uint8_t> Buffer(20000);
        Proto.DownloadFile(Data[0] >> 1, Buffer.data(), Buffer.size(), &Progress);
        // Whatever is left comes after the download.
        while (Port.Next < Port.Size)
            Port.ProcessCommunications();
    }
    return 0;
}
