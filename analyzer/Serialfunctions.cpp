#include "analyzer/Serialfunctions.h"

#include "platform/Application.h"
#include "platform/ScopeGuard.h"

#include <cstring>

TZEBBSerialProtocol* ZebbSer = nullptr;

namespace {

// The program's clock: the monotonic clock, and the application's event
// loop to sleep in. A wait wakes for the port's data, a timer, a window
// message or its own end, never to look around.
class TEventLoopClock : public TProtocolClock {
public:
    int64_t NowMs() override { return MonotonicMs(); }
    void ProcessMessages() override { Application->ProcessMessages(); }
    void WaitUntil(int64_t DeadlineMs) override
    {
        const int64_t Left = DeadlineMs - MonotonicMs();
        if (Left > 0)
            Application->HandleMessage(static_cast<int>(Left < 0x7FFFFFFF ? Left : 0x7FFFFFFF));
    }
};

TEventLoopClock EventLoopClock;

}  // namespace

TZEBBSerialProtocol::TZEBBSerialProtocol(TProtocolPort* Port, TProtocolClock* Clock)
    : FPort(Port), FClock(Clock ? Clock : &EventLoopClock)
{
    std::memset(FRxBuffer, 0, sizeof FRxBuffer);
    std::memset(FReplyData, 0, sizeof FReplyData);
    Reset();
}

TZEBBSerialProtocol::~TZEBBSerialProtocol() = default;

void TZEBBSerialProtocol::Reset()
{
    FRxCount = 0;
    FRxRead = 0;
    FRxWrite = RxBufferSize + 1;
    FConnectReply = false;
    FClosing = false;
    if (FPort && FPort->Open()) {
        FPort->FlushInBuffer();
        FPort->FlushOutBuffer();
    }
}

void TZEBBSerialProtocol::ClearReply()
{
    FReplyReceived = false;
    FReplyAddress = 0;
    std::memset(FReplyData, 0, sizeof FReplyData);
}

void TZEBBSerialProtocol::Log(const std::string& Text)
{
    if (!FLogMemo)
        return;
    if (FLogMemo->LineCount() > 1000)
        FLogMemo->DeleteFirstLine();
    FLogMemo->AddLine(Text);
}

void TZEBBSerialProtocol::LogCaught(const std::string& What)
{
    std::string Why;
    try {
        throw;
    } catch (const std::exception& E) {
        Why = E.what();
    } catch (...) {
        Why = "an exception of no standard type";
    }
    Log(What + ":  " + Why);
}

// ------------------------------------------------------------- receive ring

void TZEBBSerialProtocol::PutByte(uint8_t B)
{
    if (IsFull())
        return;
    ++FRxCount;
    if (++FRxWrite >= RxBufferSize)
        FRxWrite = 0;
    FRxBuffer[FRxWrite] = B;
}

uint8_t TZEBBSerialProtocol::PopByte()
{
    if (FRxCount <= 0)
        return 0;
    --FRxCount;
    const uint8_t B = FRxBuffer[FRxRead];
    FRxBuffer[FRxRead] = 0;
    if (++FRxRead >= RxBufferSize)
        FRxRead = 0;
    return B;
}

uint8_t TZEBBSerialProtocol::Peek(uint8_t K) const
{
    if (K >= FRxCount)
        return 0;
    return FRxBuffer[(FRxRead + K) % RxBufferSize];
}

void TZEBBSerialProtocol::CommPortTriggerAvail(uint16_t Count)
{
    if (!FPort)
        return;
    if (FPort->InBuffFree() <= 9) {
        FPort->FlushInBuffer();
    } else {
        if (FClosing)
            return;
        for (uint16_t i = 0; i < Count && !IsFull(); ++i)
            PutByte(FPort->GetChar());
    }
    // While an ACK or NAK drains, the frame it answers is not dispatched yet;
    // the parse that sent it goes on with these bytes afterwards, in order.
    if (GetCount() > 0 && !FAnswering)
        ProcessInput(GetCount());
}

// --------------------------------------------------- parsing and answering

void TZEBBSerialProtocol::Resync()
{
    while (FRxCount > 0) {
        const uint8_t B = Peek(0);
        if (B == ':' || B == ACK || B == NAK)
            return;
        PopByte();
    }
}

bool TZEBBSerialProtocol::VerifyChecksum()
{
    const int L = Peek(2);
    const int C = (L + 3 - 5) & 0xFF;
    uint8_t Sum = 0;
    for (int i = 0; i < C; ++i)
        Sum = static_cast<uint8_t>(Sum + Peek(static_cast<uint8_t>(i)));
    const uint8_t Actual = Peek(static_cast<uint8_t>(C));
    if (Sum == Actual)
        return true;
    Log("Checksum Rejected:  " + IntToStr(Peek(1)) + "  Calc " + IntToStr(Sum) + " != Actual " + IntToStr(Actual));
    return false;
}

void TZEBBSerialProtocol::ProcessInput(int Count)
{
    if (Count <= 0)
        return;
    for (;;) {
        if (FRxCount <= 0)
            return;
        Resync();
        if (FRxCount <= 0)
            return;
        const uint8_t Head = Peek(0);
        if (Head == ACK) {
            FAcked = true;
            FNacked = false;
            PopByte();
            continue;
        }
        if (Head == NAK) {
            FAcked = false;
            FNacked = true;
            PopByte();
            Log("NACK Recieved");
            continue;
        }
        // Head is ':'.
        if (FRxCount < 3)
            return;
        const int L = Peek(2);
        if (L < MinFrameLength || L > FrameBufferSize) {
            // No frame of ours is this long or this short: reject it like a
            // bad checksum and look for the next start after this one.
            PopByte();
            SendByte(NAK);
            continue;
        }
        if (FRxCount < L)
            return;
        if (!VerifyChecksum()) {
            PopByte();
            SendByte(NAK);
            continue;
        }
        // The frame leaves the ring before it is answered and dispatched, and
        // this pass dispatches its own copy: a nested pass can neither see it
        // again nor overwrite it.
        uint8_t Frame[FrameBufferSize] = {};
        for (int i = 0; i < L; ++i)
            Frame[i] = PopByte();
        // A frame that belongs in a recording is handed over before it is
        // acknowledged: once the analyzer has its ACK it will not resend it.
        RecordFrame(Frame);
        SendByte(ACK);
        DispatchFrame(Frame);
    }
}

void TZEBBSerialProtocol::SendByte(uint8_t B)
{
    if (!FPort || !FPort->Open())
        return;
    try {
        FPort->PutChar(B);
    } catch (...) {
        // A control byte that cannot be queued is lost; the sender resends.
    }
    const TValueRollback<bool> Answering(FAnswering, true);
    while (FPort && FPort->OutBuffUsed() != 0) {
        FClock->ProcessMessages();
        if (PortGone())
            break;
        FPort->ProcessCommunications();
    }
}

// ------------------------------------------------------------ send and wait

void TZEBBSerialProtocol::SendFrame(uint8_t Type, int Count, const uint8_t* Data)
{
    FAcked = false;
    FNacked = false;
    if (!FPort || !FPort->Open())
        return;
    if (Count < 0 || Count > SendBufferSize - MinFrameLength)
        return;
    int Attempt = 0;
    do {
        ++Attempt;
        uint8_t Buffer[SendBufferSize];
        const int L = Count + MinFrameLength;
        Buffer[0] = ':';
        Buffer[1] = Type;
        Buffer[2] = static_cast<uint8_t>(L);
        if (Count > 0)
            std::memcpy(Buffer + 3, Data, static_cast<size_t>(Count));
        uint8_t Sum = 0;
        for (int i = 0; i < L - 2; ++i)
            Sum = static_cast<uint8_t>(Sum + Buffer[i]);
        Buffer[L - 2] = Sum;
        Buffer[L - 1] = 0x0D;
        if (PortGone() || !FPort->Open())
            return;
        FPort->PutBlock(Buffer, static_cast<size_t>(L));
        FAcked = false;
        FNacked = false;
        FClock->ProcessMessages();
        if (PortGone() || !FPort->Open())
            return;
        FPort->ProcessCommunications();
        if (GetCount() > 0)
            ProcessInput(GetCount());
        WaitForAck();
        if (FAcked) {
            Log("Ack-ed. " + IntToStr(Attempt));
        } else if (FNacked) {
            Log("Nack-ed.  Resending. " + IntToStr(Attempt));
            Delay(FNakBackoffMs);
        } else {
            Log("Timed Out.  Resending. " + IntToStr(Attempt));
        }
    } while (!FClosing && !FAcked && Attempt < FMaxSendAttempts);
}

// One round of a wait: serial events and received frames.
void TZEBBSerialProtocol::PumpOnce()
{
    FPort->ProcessCommunications();
    if (GetCount() > 0)
        ProcessInput(GetCount());
}

// Each wait below handles what is there, then sleeps on the clock until
// something comes or its time is up: bytes that arrive while it sleeps are
// parsed by the data-available handler inside that sleep, and a round that
// stored bytes in the ring looks again at once.
void TZEBBSerialProtocol::WaitForAnswer(int Ms)
{
    if (!FPort)
        return;
    const int64_t Deadline = FClock->NowMs() + Ms;
    while (!FAcked && !FNacked && FClock->NowMs() < Deadline) {
        FClock->ProcessMessages();
        if (PortGone())
            return;
        const int Before = GetCount();
        PumpOnce();
        if (!FAcked && !FNacked && GetCount() == Before)
            FClock->WaitUntil(Deadline);
    }
}

void TZEBBSerialProtocol::WaitForAck()
{
    WaitForAnswer(FReplyTimeoutMs);
}

void TZEBBSerialProtocol::WaitForAckLong()
{
    WaitForAnswer(2000);
}

void TZEBBSerialProtocol::Delay(int Ms)
{
    if (!FPort)
        return;
    const int64_t Deadline = FClock->NowMs() + Ms;
    while (FClock->NowMs() < Deadline) {
        FClock->ProcessMessages();
        if (PortGone())
            return;
        FClock->WaitUntil(Deadline);
    }
}

bool TZEBBSerialProtocol::WaitForFlag(int Ms, const bool& Flag, bool Value)
{
    if (!FPort)
        return false;
    const int64_t Deadline = FClock->NowMs() + Ms;
    for (;;) {
        if (Flag == Value || FClock->NowMs() >= Deadline)
            return Flag == Value;
        FClock->ProcessMessages();
        if (PortGone())
            return false;
        const int Before = GetCount();
        PumpOnce();
        if (Flag != Value && GetCount() == Before)
            FClock->WaitUntil(Deadline);
    }
}

TDateTime TZEBBSerialProtocol::MsToDateTime(int Ms)
{
    const int Hours = Ms / 3600000;
    const int Minutes = (Ms / 60000) % 60;
    const int Seconds = (Ms / 1000) % 60;
    const int MSecs = Ms % 1000;
    return (((Hours * 60.0 + Minutes) * 60.0 + Seconds) * 1000.0 + MSecs) / MSecsPerDay;
}
