// Firmware loading through the analyzer's boot loader.
#include "analyzer/Filefunctions.h"
#include "analyzer/Serialfunctions.h"

#include <memory>

namespace {

// Boot-loader strings, sent raw.
const std::string WakeUpString = "~8 \n\r";
const std::string EraseString = "~8~1~3 \n\r";
const std::string EndString = "~2 \n\r";

constexpr int WakeUpBaud = 2400;
constexpr int LoadBaud = 19200;
constexpr int EraseSeconds = 50;

class TNoMonitor : public TFlashLoadMonitor {
public:
    void ShowStatus(const std::string&) override {}
    void ShowProgress(int, int) override {}
    void ShowCounts(int32_t, int32_t, int32_t) override {}
    void LoadFailed(const std::string&) override {}
};

}  // namespace

void TZEBBSerialProtocol::SendRawString(const std::string& Text)
{
    if (PortGone() || !FPort->Open())
        return;
    FPort->PutBlock(Text.data(), Text.size());
}

TFlashLoadResult TZEBBSerialProtocol::FlashLoad(const std::string& TextFile, const std::string& CodeFile,
                                                TFlashLoadMonitor* Monitor)
{
    TNoMonitor Quiet;
    TFlashLoadMonitor& Show = Monitor ? *Monitor : Quiet;
    constexpr int EraseMax = 120;
    int Position = 0;
    Show.ShowStatus("Erasing Flash");
    Show.ShowProgress(Position, EraseMax);

    // An erased analyzer needs a complete firmware: both files are read and
    // checked before anything is sent to it.
    auto TextQueue = std::make_unique<TFlashFileQueue>();
    auto CodeQueue = std::make_unique<TFlashFileQueue>();
    for (TFlashFileQueue* Queue : {TextQueue.get(), CodeQueue.get()}) {
        const std::string& Name = Queue == TextQueue.get() ? TextFile : CodeFile;
        if (Queue->LoadFromFile(Name) == 0) {
            Show.LoadFailed(Queue->ErrorText());
            return flFailed;
        }
    }

    SendSerialMode('X');
    SendSerialMode('X');
    if (PortGone() || !FPort->Open()) {
        Show.LoadFailed("The analyzer is not connected; no firmware was loaded.");
        return flFailed;
    }

    FPort->SetBaud(WakeUpBaud);
    Delay(500);
    SendRawString(WakeUpString);
    Delay(1000);
    if (!PortGone())
        FPort->SetBaud(LoadBaud);
    Delay(2000);
    Position = 20;
    Show.ShowProgress(Position, EraseMax);
    SendRawString(EraseString);
    for (int i = 0; i < EraseSeconds; ++i) {
        Delay(1000);
        Position += 2;
        Show.ShowProgress(Position, EraseMax);
    }

    int32_t Acked = 0;
    int32_t Naks = 0;
    int32_t Sent = 0;
    const struct {
        const char* Status;
        TFlashFileQueue* Queue;
    } Files[] = {{"Flashing Text File", TextQueue.get()}, {"Flashing Code File", CodeQueue.get()}};
    for (const auto& File : Files) {
        Show.ShowStatus(File.Status);
        const int32_t SentBefore = Sent;
        if (SendHexFile(*File.Queue, Acked, Naks, Sent, &Show) != flLoaded) {
            // The flash now holds part of the firmware: going on would only
            // hide that, so the load stops and says which record failed.
            Show.LoadFailed("Flash File " + File.Queue->FileName() + ": record " + IntToStr(Sent - SentBefore) +
                            " was not acknowledged. " + "The firmware load was stopped.");
            return flFailed;
        }
    }
    SendRawString(EndString);
    Delay(500);
    return flLoaded;
}

TFlashLoadResult TZEBBSerialProtocol::SendHexFile(TFlashFileQueue& Queue, int32_t& Acked, int32_t& Naks,
                                                  int32_t& Sent, TFlashLoadMonitor* Monitor)
{
    TNoMonitor Quiet;
    TFlashLoadMonitor& Show = Monitor ? *Monitor : Quiet;
    const int32_t Count = Queue.GetRecordCount();
    Show.ShowProgress(0, Count);
    uint8_t Record[TFlashFileQueue::SlotSize];
    for (int32_t i = 0; i < Count; ++i) {
        if (!Queue.GetRecord(Record))
            break;
        const size_t Length = static_cast<size_t>(Record[1]) + 6;
        bool Accepted = false;
        for (int Try = 0; Try < FlashRecordTries && !Accepted; ++Try) {
            if (PortGone() || !FPort->Open())
                break;
            FAcked = false;
            FNacked = false;
            FPort->PutBlock(Record, Length);
            WaitForAckLong();
            if (FAcked) {
                ++Acked;
                Accepted = true;
            } else if (FNacked) {
                ++Naks;
            }
        }
        Queue.Next();
        ++Sent;
        Show.ShowProgress(i + 1, Count);
        Show.ShowCounts(Naks, Acked, Sent);
        if (!Accepted)
            return flFailed;
    }
    return flLoaded;
}
