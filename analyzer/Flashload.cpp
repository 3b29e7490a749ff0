// Firmware loading through the analyzer's boot loader.
#include "analyzer/Filefunctions.h"
#include "analyzer/Serialfunctions.h"
#include "platform/ComCtrls.h"
#include "platform/Dialogs.h"
#include "platform/StdCtrls.h"

#include <memory>

namespace {

// Boot-loader strings, sent raw.
const std::string WakeUpString = "~8 \n\r";
const std::string EraseString = "~8~1~3 \n\r";
const std::string EndString = "~2 \n\r";

constexpr int WakeUpBaud = 2400;
constexpr int LoadBaud = 19200;
constexpr int EraseSeconds = 50;

void ShowText(TLabel* Label, const std::string& Text)
{
    if (Label)
        Label->SetCaption(Text);
}

void ReportFailure(TLabel* StatusLabel, const std::string& Message)
{
    ShowText(StatusLabel, "Flash Load Failed");
    MessageDlg(Message, mtError, TMsgDlgButtons{mbOK});
}

}  // namespace

void TZEBBSerialProtocol::SendRawString(const std::string& Text)
{
    if (PortGone() || !FPort->Open())
        return;
    FPort->PutBlock(Text.data(), Text.size());
}

int TZEBBSerialProtocol::FlashLoad(const std::string& TextFile, const std::string& CodeFile,
                                   TProgressBar* ProgressBar, TLabel* StatusLabel, TLabel* NakLabel,
                                   TLabel* LinesLabel, TLabel* TimeLabel)
{
    ShowText(StatusLabel, "Erasing Flash");
    if (ProgressBar) {
        ProgressBar->SetMax(120);
        ProgressBar->SetMin(0);
        ProgressBar->SetPosition(0);
    }
    ShowText(NakLabel, "0");
    ShowText(LinesLabel, "0");
    ShowText(TimeLabel, "");

    // An erased analyzer needs a complete firmware: both files are read and
    // checked before anything is sent to it.
    auto TextQueue = std::make_unique<TFlashFileQueue>();
    auto CodeQueue = std::make_unique<TFlashFileQueue>();
    for (TFlashFileQueue* Queue : {TextQueue.get(), CodeQueue.get()}) {
        const std::string& Name = Queue == TextQueue.get() ? TextFile : CodeFile;
        if (Queue->LoadFromFile(Name) == 0) {
            ReportFailure(StatusLabel, Queue->ErrorText());
            return 0;
        }
    }

    SendSerialMode('X');
    SendSerialMode('X');
    if (PortGone() || !FPort->Open()) {
        ReportFailure(StatusLabel, "The analyzer is not connected; no firmware was loaded.");
        return 0;
    }

    FPort->SetBaud(WakeUpBaud);
    Delay(500);
    SendRawString(WakeUpString);
    Delay(1000);
    if (!PortGone())
        FPort->SetBaud(LoadBaud);
    Delay(2000);
    if (ProgressBar)
        ProgressBar->SetPosition(20);
    SendRawString(EraseString);
    for (int i = 0; i < EraseSeconds; ++i) {
        Delay(1000);
        if (ProgressBar)
            ProgressBar->SetPosition(ProgressBar->Position() + 2);
    }

    int32_t Acked = 0;
    int32_t Naks = 0;
    int32_t Sent = 0;
    const struct {
        const char* Status;
        TFlashFileQueue* Queue;
    } Files[] = {{"Flashing Text File", TextQueue.get()}, {"Flashing Code File", CodeQueue.get()}};
    for (const auto& File : Files) {
        ShowText(StatusLabel, File.Status);
        const int32_t SentBefore = Sent;
        if (SendHexFile(*File.Queue, Acked, Naks, Sent, ProgressBar, NakLabel, LinesLabel) != 1) {
            // The flash now holds part of the firmware: going on would only
            // hide that, so the load stops and says which record failed.
            ReportFailure(StatusLabel, "Flash File " + File.Queue->FileName() + ": record " +
                                           IntToStr(Sent - SentBefore) + " was not acknowledged. " +
                                           "The firmware load was stopped.");
            return 0;
        }
    }
    SendRawString(EndString);
    Delay(500);
    return 1;
}

int TZEBBSerialProtocol::SendHexFile(TFlashFileQueue& Queue, int32_t& Acked, int32_t& Naks, int32_t& Sent,
                                     TProgressBar* ProgressBar, TLabel* NakLabel, TLabel* LinesLabel)
{
    const int32_t Count = Queue.GetRecordCount();
    if (ProgressBar) {
        ProgressBar->SetPosition(0);
        ProgressBar->SetMax(Count);
    }
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
        if (ProgressBar)
            ProgressBar->SetPosition(ProgressBar->Position() + 1);
        ShowText(NakLabel, IntToStr(Naks));
        ShowText(LinesLabel, IntToStr(Acked) + " " + IntToStr(Sent));
        if (!Accepted)
            return 0;
    }
    return 1;
}
