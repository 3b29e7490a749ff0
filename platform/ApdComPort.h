// The serial-port component: one serial device, its line settings, an input
// buffer of its own and the events that tell the program about received
// bytes and a closed port. Everything runs on the GUI thread: the events
// fire while the application processes messages, and ProcessCommunications
// delivers them at once, also from inside an event handler.
//
// Ports are chosen by number (see platform/SerialPorts.h for the devices
// behind the numbers).
#pragma once

#include "platform/Classes.h"
#include "platform/SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>

enum TParity { pNone, pOdd, pEven, pMark, pSpace };

// Software (XON/XOFF) flow control; the device does it in both directions or
// not at all, so swfReceive and swfTransmit act as swfBoth.
enum TSWFlowOptions { swfNone, swfReceive, swfTransmit, swfBoth };

// Hardware flow control: any of these switches RTS/CTS handshaking on.
enum THWFlowOption { hwfUseDTR, hwfUseRTS, hwfRequireDSR, hwfRequireCTS };
using THWFlowOptions = std::set<THWFlowOption>;

using TTriggerAvailEvent = std::function<void(TObject* CP, uint16_t Count)>;

// Errors the component raises.
class EAPDException : public Exception {
public:
    using Exception::Exception;
};
// The device is in use by another program.
class EAlreadyOpen : public EAPDException {
public:
    using EAPDException::EAPDException;
};
// The device exists but cannot be opened or set up.
class EHardware : public EAPDException {
public:
    using EAPDException::EAPDException;
};
// The port number stands for no device, or the device is not there.
class EBadId : public EAPDException {
public:
    using EAPDException::EAPDException;
};
// Bytes were queued on a closed port.
class EPortNotOpen : public EAPDException {
public:
    using EAPDException::EAPDException;
};
// GetChar found the input buffer empty.
class EBufferIsEmpty : public EAPDException {
public:
    using EAPDException::EAPDException;
};

class TApdComPort : public TComponent {
public:
    // Size of the input buffer; bytes beyond it wait in the device until
    // there is room.
    static constexpr uint16_t InBuffSize = 2048;

    explicit TApdComPort(TComponent* AOwner);
    ~TApdComPort() override;

    // Opening raises EBadId, EAlreadyOpen, EHardware or, for anything else,
    // EAPDException; the port then stays closed. Closing fires OnPortClose
    // (queued output gets up to a second to leave first). Settings apply at
    // once to an open port and are kept for the next open of a closed one.
    bool Open() const { return FOpen; }
    void SetOpen(bool Value);

    int ComNumber() const { return FComNumber; }
    void SetComNumber(int Value);   // takes effect at the next open
    int Baud() const { return FBaud; }
    // On an open port, bytes already queued leave at the old rate first.
    void SetBaud(int Value);
    int DataBits() const { return FDataBits; }
    void SetDataBits(int Value);    // 5 to 8
    int StopBits() const { return FStopBits; }
    void SetStopBits(int Value);    // 1 or 2
    TParity Parity() const { return FParity; }
    void SetParity(TParity Value);
    TSWFlowOptions SWFlowOptions() const { return FSWFlowOptions; }
    void SetSWFlowOptions(TSWFlowOptions Value);
    const THWFlowOptions& HWFlowOptions() const { return FHWFlowOptions; }
    void SetHWFlowOptions(const THWFlowOptions& Value);
    // A device without an RTS line (a pseudo-terminal) ignores it.
    bool RTS() const { return FRTS; }
    void SetRTS(bool Value);

    // Kept for the program's use; the port never opens by itself.
    bool AutoOpen() const { return FAutoOpen; }
    void SetAutoOpen(bool Value) { FAutoOpen = Value; }
    // Kept for the program's use (it marks a closed port with it); the
    // component never prompts.
    bool PromptForPort() const { return FPromptForPort; }
    void SetPromptForPort(bool Value) { FPromptForPort = Value; }

    // Output. Raise EPortNotOpen on a closed port.
    void PutBlock(const void* Block, size_t Len);
    void PutChar(uint8_t C);
    void PutString(const std::string& S);
    // Bytes queued and not yet handed to the device.
    size_t OutBuffUsed() const;
    void FlushOutBuffer();

    // Input. GetChar takes the oldest byte of the input buffer and raises
    // EBufferIsEmpty when there is none.
    uint8_t GetChar();
    uint16_t InBuffUsed() const { return FInCount; }
    uint16_t InBuffFree() const { return static_cast<uint16_t>(InBuffSize - FInCount); }
    // Discards the input buffer and whatever the device still holds.
    void FlushInBuffer();

    // Sends what is queued, moves waiting bytes from the device into the
    // input buffer and fires OnTriggerAvail when there are bytes to take;
    // notices a device that has gone. Safe to call from inside the handlers.
    void ProcessCommunications();

    // Bytes are waiting in the input buffer; Count is InBuffUsed. Fires
    // when bytes arrive and, while a handler keeps taking bytes, again for
    // those it left; inside a handler only after bytes came or went.
    TTriggerAvailEvent OnTriggerAvail;
    // The port was closed: by SetOpen(false) or because the device went away.
    TNotifyEvent OnPortClose;

private:
    class TImpl;

    void OpenDevice();
    void CloseDevice(bool Notify);
    void ApplySettings();
    void WaitForOutputToLeave(int MaxMs = -1);
    bool PullInput();
    void DeliverInput();
    void FireTriggerAvail();
    void PostDelivery();
    void DeviceLost();
    void ResetInBuffer();

    std::unique_ptr<TImpl> FImpl;
    bool FOpen = false;
    int FComNumber = 0;
    int FBaud = 19200;
    int FDataBits = 8;
    int FStopBits = 1;
    TParity FParity = pNone;
    TSWFlowOptions FSWFlowOptions = swfNone;
    THWFlowOptions FHWFlowOptions;
    bool FRTS = true;
    bool FAutoOpen = false;
    bool FPromptForPort = false;

    // Input ring.
    uint8_t FInBuff[InBuffSize] = {};
    uint16_t FInHead = 0;    // oldest byte
    uint16_t FInCount = 0;

    // Delivery bookkeeping: every byte stored or taken moves FProgress, so a
    // nested delivery fires only when something changed since the handler
    // around it started.
    uint64_t FProgress = 0;
    uint64_t FFireStamp = 0;
    int FFireDepth = 0;
    bool FPulling = false;      // inside PullInput: it takes the bytes in itself
    bool FInPortCall = false;   // inside another device call: deliver later
    bool FRedeliverPosted = false;
    bool FDeviceGone = false;
};

// The protocol code names the port by its base class.
using TApdCustomComPort = TApdComPort;
