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
    // On any port (tests); not owned, may be null. The waits run on Clock
    // (not owned) when one is given, else on the event loop's.
    explicit TZEBBSerialProtocol(TProtocolPort* Port, TProtocolClock* Clock = nullptr);
    ~TZEBBSerialProtocol();
    TZEBBSerialProtocol(const TZEBBSerialProtocol&) = delete;
    TZEBBSerialProtocol& operator=(const TZEBBSerialProtocol&) = delete;

    // ----------------------------------------------------- housekeeping
    void SetLogMemo(TProtocolLogMemo* Memo) { FLogMemo = Memo; }
    void SetMainWindow(TMainFormLink* MainWindow) { FMainWindow = MainWindow; }
    void SetFileDownloadDialog(TFileDownloadLink* Dialog) { FFileDownload = Dialog; }
    void Reset();
    void Log(const std::string& Text);
    // Inside a catch handler: What, and what the exception being handled
    // says, as one line of the log.
    void LogCaught(const std::string& What);

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
    // Count payload bytes (at most 47); the result is Acked() afterwards.
    void SendFrame(uint8_t Type, int Count, const uint8_t* Data);
    void WaitForAck();
    void WaitForAckLong();
    void Delay(int Ms);
    // Waits until Flag (a field of this object) has Value or Ms passed.
    bool WaitForFlag(int Ms, const bool& Flag, bool Value);
    static TDateTime MsToDateTime(int Ms);

    // ------------------------------------------------------- dispatch
    // A waveform, parameter or handheld status frame goes to the main
    // window's RecordMessage (before its ACK is sent); others go nowhere.
    void RecordFrame(const uint8_t* Frame);
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

    // ------------------------------------------------------- commands
    // (settings, probes, registers, memory, tables, port opening and search)
    // Each command returns whether the analyzer acknowledged it. A 16-bit
    // field carries the low 16 bits of the value, high byte first; a value
    // outside -32,768..65,535 does not fit and is refused (nothing is sent,
    // the result is false).
    // Channels of the gas commands: 'I' inspiratory, 'E' expiratory,
    // 'A' ambient.
    static constexpr uint8_t ChannelInsp = 'I';
    static constexpr uint8_t ChannelExp = 'E';
    static constexpr uint8_t ChannelAmbient = 'A';

    // True only when the analyzer's connect reply arrived while the probe
    // waited for its acknowledgement.
    bool ProbeConnection();
    bool SendSerialMode(char Mode);           // '0' none, '1', '2', '3' both, 'X' stop
    bool SendFlowPort(char Port);             // '1' low, '2' high
    bool SendZero(char Code);
    bool SendBreathDetectMode(char Mode);     // '0' off, '1' bidirectional, '2', '3'
    bool SendBreathThreshold(int32_t Hundredths);
    bool SendCorrectionLetter(char Letter);
    bool SendCorrectionMode(int32_t Index);   // index in the gas dialogs' list
    bool SendGasLetter(char Letter);
    bool SendGasType(TGasType Gas);
    bool SendGasTemperature(uint8_t Channel, int32_t Kelvin);
    bool SendGasHumidity(uint8_t Channel, int32_t Percent);
    bool SendGasViscosity(uint8_t Channel, int32_t Viscosity);
    bool SendGasMolWeight(uint8_t Channel, int32_t Hundredths);
    // Temperature, humidity, viscosity and molecular weight in turn, each
    // rounded; stops at the first one not acknowledged.
    bool SendGasProperties(uint8_t Channel, double Temperature, double RelHumidity, double Viscosity,
                           double MolWeight);
    // 'B' barometric pressure, 'F' syringe size (with Value); '1' accept,
    // '0' reject (code alone).
    bool SendCalibration(char Code, int32_t Value);
    static char GasTypeLetter(TGasType Gas);
    static char CorrectionLetter(int32_t Index);

    // Registers and memory. ReadRegister gives 0xFFFF when no reply for that
    // register came.
    static constexpr int MaxMemoryRead = 21;  // a longer reply reads as a status frame
    std::string QueryVersion(bool Show);
    uint16_t ReadRegister(uint16_t Register);
    bool WriteRegister(uint16_t Register, uint16_t Value);
    TMemoryReadResult ReadMemory(uint32_t Address, int Count, uint8_t* Destination);
    std::string ReadSerialNumber();
    std::string ReadHandheldSerial();
    void WriteHeaderText(const std::string& Text);

    // Flow linearization tables: '2' the high-flow table, anything else the
    // low-flow table. ReadFlowTable writes the file (replacing it whole)
    // once every register was read, also when the checksum does not match
    // (the result then says so); after a failed read nothing is written.
    // LoadFlowTable is true when all 29 writes were acknowledged.
    TFlowTableReadResult ReadFlowTable(char Table, const std::string& FileName);
    bool LoadFlowTable(char Table, const std::string& FileName);

    // Port opening with a full set of line settings.
    static constexpr int PortCloseWaitMs = 2000;
    TPortSettings GetPortSettings() const;
    TOpenPortResult OpenPort(TPortSettings Settings);
    TOpenPortResult OpenPortAt(int32_t Number, int32_t Baud);
    bool SetBaudIfOpen(int32_t Baud);
    void ClosePort();

    // ------------------------------------------------------- firmware
    // Loads new firmware through the analyzer's boot loader: both files are
    // read and checked first (nothing is sent for a file that cannot be
    // loaded), then the output is stopped, the boot loader woken at 2,400
    // and 19,200 baud, the flash erased and the text file and then the code
    // file sent record by record. flLoaded when every record of both files
    // was acknowledged, flFailed otherwise (no port, a bad file, a record
    // refused five times); Monitor (may be null) hears the progress and why
    // a load failed. The port is left at 19,200 baud.
    static constexpr int FlashRecordTries = 5;
    TFlashLoadResult FlashLoad(const std::string& TextFile, const std::string& CodeFile,
                               TFlashLoadMonitor* Monitor);
    // Sends the records of one loaded file, each up to FlashRecordTries
    // times. Acked, Naks and Sent run on across files. flLoaded when every
    // record was acknowledged, flFailed at the first one that was not (the
    // load stops there).
    TFlashLoadResult SendHexFile(class TFlashFileQueue& Queue, int32_t& Acked, int32_t& Naks, int32_t& Sent,
                                 TFlashLoadMonitor* Monitor);
    // A boot-loader string, sent as it stands (not as a frame).
    void SendRawString(const std::string& Text);

    // ---------------------------------------------------------- state
    // The outcome of the last frame sent, and the reply slots the waiting
    // commands read.
    bool Acked() const { return FAcked; }
    bool Nacked() const { return FNacked; }
    // A reference, so WaitForFlag can watch it.
    const bool& ReplyReceived() const { return FReplyReceived; }
    int32_t ReplyAddress() const { return FReplyAddress; }
    const uint8_t* ReplyData() const { return FReplyData; }
    const std::string& ReplyText() const { return FReplyText; }
    // Empties the reply slots (not the text) before a command that waits
    // for one.
    void ClearReply();
    // True once the analyzer's connect reply ('g') arrived since the last
    // Reset.
    bool ConnectReply() const { return FConnectReply; }
    // The abort flag: set, every wait ends at once and nothing more is sent
    // (the port closes or the program ends); Reset and OpenPort clear it.
    bool Closing() const { return FClosing; }
    void SetClosing(bool Value) { FClosing = Value; }
    TApdComPort* ComPort() const { return FComPort; }

private:
    void WaitForAnswer(int Ms);
    void PumpOnce();
    bool PortGone() const { return FPort == nullptr || FClosing; }
    // After a failed open: the port closed again (a close that fails too is
    // logged) and not opened by itself.
    void AbandonPort();

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
    TProtocolClock* FClock = nullptr;
    TProtocolLogMemo* FLogMemo = nullptr;
    TProtocolProgressBar* FDownloadProgress = nullptr;
    bool FClosing = false;
    const int32_t FMaxSendAttempts = 5;
    const int32_t FNakBackoffMs = 50;
    const int32_t FReplyTimeoutMs = 750;
    bool FConnectReply = false;
    const int32_t FMaxReadAttempts = 5;
    TApdComPort* FComPort = nullptr;  // the serial component, when there is one

    TMainFormLink* FMainWindow = nullptr;
    TFileDownloadLink* FFileDownload = nullptr;

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
