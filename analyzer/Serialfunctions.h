// The analyzer link: one TZEBBSerialProtocol object (global ZebbSer) on the
// main window's serial port. It keeps the receive ring the main window feeds,
// parses and acknowledges frames, sends frames with acknowledgement and
// resend, dispatches received frames to their decoders and the main window,
// and runs the handheld directory and download.
//
// Everything runs on the GUI thread and re-entrantly: every wait processes
// window messages and serial events, so received frames are parsed and
// dispatched while a command waits, and a dispatch may itself send and wait.
#pragma once

#include "analyzer/Mainformlink.h"
#include "analyzer/Parameterstruct.h"
#include "analyzer/Protocolport.h"
#include "analyzer/Types.h"
#include "platform/SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TApdComPort;

constexpr uint8_t ACK = 0x06;
constexpr uint8_t NAK = 0x15;

class TZEBBSerialProtocol {
public:
    static constexpr int RxBufferSize = 2500;
    static constexpr int FrameBufferSize = 100;
    static constexpr int SendBufferSize = 52;
    static constexpr int MinFrameLength = 5;
    static constexpr int ReplyDataSize = 25;
    static constexpr int DownloadBlockSize = 25;

    // On the program's serial component.
    explicit TZEBBSerialProtocol(TApdComPort* Port);
    // On any port (tests); not owned, may be null.
    explicit TZEBBSerialProtocol(TProtocolPort* Port);
    ~TZEBBSerialProtocol();
    TZEBBSerialProtocol(const TZEBBSerialProtocol&) = delete;
    TZEBBSerialProtocol& operator=(const TZEBBSerialProtocol&) = delete;

    // ----------------------------------------------------- housekeeping
    void SetLogMemo(TProtocolLogMemo* Memo) { FLogMemo = Memo; }
    void SetMainWindow(TMainFormLink* MainWindow) { FMainWindow = MainWindow; }
    void SetFileDownloadDialog(TFileDownloadLink* Dialog) { FFileDownload = Dialog; }
    void Reset();
    void Log(const std::string& Text);

    // ------------------------------------------------------ receive ring
    bool IsFull() const { return FRxCount >= RxBufferSize - 1; }
    void PutByte(uint8_t B);
    int GetCount() const { return FRxCount; }
    uint8_t PopByte();
    uint8_t Peek(uint8_t K) const;

    // The main window's data-available handler: moves up to Count bytes from
    // the port into the ring (or flushes a nearly full port buffer) and
    // parses what is complete.
    void CommPortTriggerAvail(uint16_t Count);

    // ------------------------------------------ parsing and answering
    void ProcessInput(int Count);
    void Resync();
    bool VerifyChecksum();
    void SendByte(uint8_t B);

    // -------------------------------------------------- send and wait
    // Count payload bytes (at most 47); the result is FAcked afterwards.
    void SendFrame(uint8_t Type, int Count, const uint8_t* Data);
    void WaitForAck();
    void WaitForAckLong();
    void Delay(int Ms);
    // Waits until Flag (a field of this object) has Value or Ms passed.
    bool WaitForFlag(int Ms, const bool& Flag, bool Value);
    static TDateTime MsToDateTime(int Ms);

    // ------------------------------------------------------- dispatch
    void DispatchFrame(const uint8_t* Frame);
    std::string QueryDeviceVersion();

    // ------------------------------------------------------- decoders
    // They read the frame only (the status decoders call the main window).
    static TWaveformSample DecodeWaveformSample(const uint8_t* Frame);
    static TParameterStruct DecodeParameters(const uint8_t* Frame, bool OldFirmware);
    void DecodeBenchStatus(const uint8_t* Frame);
    void DecodeHandheldStatus(const uint8_t* Frame);

    // ------------------------------------------------------- handheld
    void RequestFileList();
    // Downloads file Index into Buffer (cleared first). True only when every
    // block of that file arrived within 16 s.
    bool DownloadFile(uint8_t Index, uint8_t* Buffer, size_t BufferSize, TProtocolProgressBar* ProgressBar);
    void HandleFileReply(const uint8_t* Payload);

    // ---------------------------------------------------------- state
    uint8_t FRxBuffer[RxBufferSize];
    int32_t FRxCount = 0;
    int32_t FRxRead = 0;
    int32_t FRxWrite = RxBufferSize + 1;
    bool FAcked = false;
    bool FNacked = false;
    bool FReplyReceived = false;
    int32_t FReplyAddress = 0;
    uint8_t FReplyData[ReplyDataSize];
    std::string FReplyText;
    uint8_t* FDownloadBuffer = nullptr;
    TProtocolPort* FPort = nullptr;
    TProtocolLogMemo* FLogMemo = nullptr;
    TProtocolProgressBar* FDownloadProgress = nullptr;
    bool FClosing = false;
    const int32_t FMaxSendAttempts = 5;
    const int32_t FNakBackoffMs = 50;
    const int32_t FReplyTimeoutMs = 750;
    bool FConnectReply = false;
    const int32_t FMaxReadAttempts = 5;

    TMainFormLink* FMainWindow = nullptr;
    TFileDownloadLink* FFileDownload = nullptr;

private:
    void WaitForAnswer(int Ms);
    void PumpOnce();
    bool PortGone() const { return FPort == nullptr || FClosing; }

    std::unique_ptr<TProtocolPort> FOwnedPort;  // the adapter over TApdComPort
    // Set while an ACK or NAK drains: the data-available handler then only
    // stores bytes, since a parse nested there would dispatch later frames
    // before the one being answered. The waits of a command started inside
    // the drain still parse.
    bool FAnswering = false;
    // The running download: its size, file and which blocks arrived.
    size_t FDownloadSize = 0;
    int FDownloadIndex = -1;
    int FDownloadBlockCount = 0;  // as the last block told it
    std::vector<bool> FBlocksSeen;
};

extern TZEBBSerialProtocol* ZebbSer;
