// The serial port as the protocol object sees it: exactly the operations it
// uses of the serial-port component. TApdPortAdapter drives the program's
// TApdComPort through it; tests put a port of their own behind it.
#pragma once

#include <cstddef>
#include <cstdint>

class TApdComPort;

class TProtocolPort {
public:
    virtual ~TProtocolPort() = default;
    virtual bool Open() const = 0;
    virtual void PutBlock(const void* Block, size_t Len) = 0;
    virtual void PutChar(uint8_t C) = 0;  // may raise
    virtual size_t OutBuffUsed() const = 0;
    virtual void ProcessCommunications() = 0;
    virtual void FlushInBuffer() = 0;
    virtual void FlushOutBuffer() = 0;
    virtual uint8_t GetChar() = 0;
    virtual uint16_t InBuffFree() const = 0;
    // The line's rate; what is queued goes out at the old rate first. A port
    // without a rate of its own ignores it.
    virtual void SetBaud(int Baud) {}
};

// The time the protocol's waits measure and how a wait passes it. The
// program's clock reads the monotonic clock and sleeps in the event loop
// until an event comes (serial data, a timer, a window message) or the wait
// is over. A test or fuzz target that moves a clock of its own hands it to
// the protocol object, and no wait sleeps in real time.
class TProtocolClock {
public:
    virtual ~TProtocolClock() = default;
    // Milliseconds; never goes back.
    virtual int64_t NowMs() = 0;
    // Handles the window messages and serial events waiting now.
    virtual void ProcessMessages() = 0;
    // Sleeps until an event comes or NowMs() reaches DeadlineMs, whichever
    // is first, and handles what came.
    virtual void WaitUntil(int64_t DeadlineMs) = 0;
};

class TApdPortAdapter : public TProtocolPort {
public:
    explicit TApdPortAdapter(TApdComPort* Port) : FPort(Port) {}
    bool Open() const override;
    void PutBlock(const void* Block, size_t Len) override;
    void PutChar(uint8_t C) override;
    size_t OutBuffUsed() const override;
    void ProcessCommunications() override;
    void FlushInBuffer() override;
    void FlushOutBuffer() override;
    uint8_t GetChar() override;
    uint16_t InBuffFree() const override;
    void SetBaud(int Baud) override;

private:
    TApdComPort* FPort;
};
