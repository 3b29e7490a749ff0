#include "platform/ApdComPort.h"

#include "platform/Application.h"
#include "platform/SerialPorts.h"

#include <QMetaObject>
#include <QSerialPort>

#include <algorithm>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

class TApdComPort::TImpl {
public:
    QSerialPort Port;
    // A second descriptor of the open device, closed only after Qt has
    // closed its own and removed its lock file. Qt closes the device before
    // it removes the lock, so without this a pseudo-terminal whose other end
    // is already gone could be handed to another program while the lock file
    // still names it, and that program's open would fail.
    int HeldFd = -1;

    void ReleaseHeldFd()
    {
        if (HeldFd >= 0)
            ::close(HeldFd);
        HeldFd = -1;
    }
};

namespace {

QSerialPort::Parity ToQtParity(TParity Value)
{
    switch (Value) {
    case pOdd: return QSerialPort::OddParity;
    case pEven: return QSerialPort::EvenParity;
    case pMark: return QSerialPort::MarkParity;
    case pSpace: return QSerialPort::SpaceParity;
    case pNone: break;
    }
    return QSerialPort::NoParity;
}

// The other end hung up or the device went away: a tty in that state
// reports POLLHUP (and reads return nothing).
bool LineHungUp(int Fd)
{
    if (Fd < 0)
        return false;
    pollfd p{Fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
}

// Bytes the driver holds that have not gone out on the line yet.
int DriverOutputQueued(int Fd)
{
    int queued = 0;
    if (Fd < 0 || ::ioctl(Fd, TIOCOUTQ, &queued) != 0)
        return 0;
    return queued;
}

}  // namespace

TApdComPort::TApdComPort(TComponent* AOwner) : TComponent(AOwner), FImpl(std::make_unique<TImpl>())
{
    EnsureApplication();
    QSerialPort& port = FImpl->Port;
    QObject::connect(&port, &QSerialPort::readyRead, &port, [this] {
        if (FPulling)
            return;   // our own pull takes the bytes in
        if (FInPortCall) {
            PostDelivery();
            return;
        }
        DeliverInput();
    });
    QObject::connect(&port, &QSerialPort::errorOccurred, &port,
                     [this](QSerialPort::SerialPortError Error) {
        // Read and write failures of an open device mean it is gone (unplugged,
        // or the other end of a pseudo-terminal hung up). Everything else
        // (a refused RTS, a poll that timed out) is no concern of ours.
        if (!FOpen || FDeviceGone)
            return;
        const bool lost = Error == QSerialPort::ResourceError ||
                          Error == QSerialPort::DeviceNotFoundError ||
                          ((Error == QSerialPort::ReadError || Error == QSerialPort::WriteError) &&
                           LineHungUp(static_cast<int>(FImpl->Port.handle())));
        if (!lost)
            return;
        FDeviceGone = true;
        QMetaObject::invokeMethod(&FImpl->Port, [this] { DeviceLost(); }, Qt::QueuedConnection);
    });
}

TApdComPort::~TApdComPort()
{
    QObject::disconnect(&FImpl->Port, nullptr, nullptr, nullptr);
    if (FOpen)
        FImpl->Port.close();
    FImpl->ReleaseHeldFd();
    FOpen = false;
}

// ------------------------------------------------------------ open and close

void TApdComPort::SetOpen(bool Value)
{
    if (Value == FOpen)
        return;
    if (Value)
        OpenDevice();
    else
        CloseDevice(true);
}

void TApdComPort::OpenDevice()
{
    const std::string device = PortNumberToDevice(FComNumber);
    if (device.empty())
        throw EBadId("No serial port with the number " + std::to_string(FComNumber));
    // Checked here, before Qt takes its lock file, so that programs looking
    // for the same missing device at once do not see each other's locks.
    if (::access(device.c_str(), F_OK) != 0)
        throw EBadId(device + ": no such device");

    QSerialPort& port = FImpl->Port;
    port.setPortName(QString::fromStdString(device));
    ApplySettings();
    ResetInBuffer();
    FDeviceGone = false;
    if (!port.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = port.error();
        const std::string what = device + ": " + port.errorString().toStdString();
        port.clearError();
        switch (error) {
        case QSerialPort::DeviceNotFoundError:
            throw EBadId(what);
        case QSerialPort::PermissionError:
            // Qt reports a device another program holds and a device we may
            // not use alike; only the first is "in use".
            if (::access(device.c_str(), R_OK | W_OK) != 0)
                throw EHardware(what);
            throw EAlreadyOpen(what);
        case QSerialPort::UnknownError:
            throw EAPDException(what);
        default:
            throw EHardware(what);
        }
    }
    FOpen = true;
    FImpl->HeldFd = ::fcntl(static_cast<int>(port.handle()), F_DUPFD_CLOEXEC, 0);
    ApplySettings();   // RTS needs the open device
}

void TApdComPort::CloseDevice(bool Notify)
{
    if (!FOpen)
        return;
    // Queued bytes get a moment to go out, but a stalled line never holds
    // the program up for long.
    if (!FDeviceGone)
        WaitForOutputToLeave(1000);
    FOpen = false;
    FDeviceGone = false;
    FInPortCall = true;
    FImpl->Port.close();
    FImpl->Port.clearError();
    FImpl->ReleaseHeldFd();
    FInPortCall = false;
    ResetInBuffer();
    if (Notify && OnPortClose) {
        const TNotifyEvent handler = OnPortClose;
        InvokeGuarded([&] { handler(this); });
    }
}

void TApdComPort::DeviceLost()
{
    if (!FDeviceGone)
        return;   // handled already (the port may be open again by now)
    if (!FOpen) {
        FDeviceGone = false;
        return;
    }
    CloseDevice(true);
}

// ------------------------------------------------------------ line settings

void TApdComPort::SetComNumber(int Value)
{
    FComNumber = Value;
}

void TApdComPort::SetBaud(int Value)
{
    if (Value <= 0)
        throw EAPDException("Invalid baud rate " + std::to_string(Value));
    if (FOpen)
        WaitForOutputToLeave();
    FBaud = Value;
    ApplySettings();
}

void TApdComPort::SetDataBits(int Value)
{
    if (Value < 5 || Value > 8)
        throw EAPDException("Invalid number of data bits " + std::to_string(Value));
    FDataBits = Value;
    ApplySettings();
}

void TApdComPort::SetStopBits(int Value)
{
    if (Value != 1 && Value != 2)
        throw EAPDException("Invalid number of stop bits " + std::to_string(Value));
    FStopBits = Value;
    ApplySettings();
}

void TApdComPort::SetParity(TParity Value)
{
    FParity = Value;
    ApplySettings();
}

void TApdComPort::SetSWFlowOptions(TSWFlowOptions Value)
{
    FSWFlowOptions = Value;
    ApplySettings();
}

void TApdComPort::SetHWFlowOptions(const THWFlowOptions& Value)
{
    FHWFlowOptions = Value;
    ApplySettings();
}

void TApdComPort::SetRTS(bool Value)
{
    FRTS = Value;
    ApplySettings();
}

// Hands the settings to the device object: a closed one keeps them for the
// open, an open one applies them at once.
void TApdComPort::ApplySettings()
{
    QSerialPort& port = FImpl->Port;
    FInPortCall = true;
    port.setBaudRate(FBaud);
    port.setDataBits(static_cast<QSerialPort::DataBits>(FDataBits));
    port.setStopBits(FStopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    port.setParity(ToQtParity(FParity));
    QSerialPort::FlowControl flow = QSerialPort::NoFlowControl;
    if (FSWFlowOptions != swfNone)
        flow = QSerialPort::SoftwareControl;
    else if (!FHWFlowOptions.empty())
        flow = QSerialPort::HardwareControl;
    port.setFlowControl(flow);
    // With handshaking the driver drives RTS; a pseudo-terminal has no RTS
    // line and refuses, which is fine.
    if (FOpen && flow != QSerialPort::HardwareControl)
        port.setRequestToSend(FRTS);
    port.clearError();
    FInPortCall = false;
}

// Waits (for as long as the queued bytes need on the line, and a little;
// never longer than MaxMs when that is not negative) until what was written
// has left, so a new line setting does not apply to bytes written before it.
void TApdComPort::WaitForOutputToLeave(int MaxMs)
{
    QSerialPort& port = FImpl->Port;
    const int fd = static_cast<int>(port.handle());
    const size_t queued = static_cast<size_t>(port.bytesToWrite()) +
                          static_cast<size_t>(DriverOutputQueued(fd));
    if (queued == 0)
        return;
    using Clock = std::chrono::steady_clock;
    long long waitMs = static_cast<long long>(queued) * 10 * 1000 / std::max(FBaud, 1) + 500;
    if (MaxMs >= 0)
        waitMs = std::min<long long>(waitMs, MaxMs);
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    const auto remainingMs = [&] {
        return static_cast<int>(std::max<long long>(
            0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count()));
    };
    FInPortCall = true;
    while (port.bytesToWrite() > 0 && remainingMs() > 0 && !FDeviceGone)
        port.waitForBytesWritten(remainingMs());
    while (DriverOutputQueued(fd) > 0 && remainingMs() > 0 && !FDeviceGone)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    port.clearError();
    FInPortCall = false;
}

// ------------------------------------------------------------------ output

void TApdComPort::PutBlock(const void* Block, size_t Len)
{
    if (!FOpen)
        throw EPortNotOpen("Port not open");
    if (Len == 0)
        return;
    QSerialPort& port = FImpl->Port;
    FInPortCall = true;
    port.write(static_cast<const char*>(Block), static_cast<qint64>(Len));
    port.flush();   // hand to the driver now, not at the next event
    FInPortCall = false;
}

void TApdComPort::PutChar(uint8_t C)
{
    PutBlock(&C, 1);
}

void TApdComPort::PutString(const std::string& S)
{
    PutBlock(S.data(), S.size());
}

size_t TApdComPort::OutBuffUsed() const
{
    return FOpen ? static_cast<size_t>(FImpl->Port.bytesToWrite()) : 0;
}

void TApdComPort::FlushOutBuffer()
{
    if (!FOpen)
        return;
    FInPortCall = true;
    FImpl->Port.clear(QSerialPort::Output);
    FInPortCall = false;
}

// ------------------------------------------------------------------- input

uint8_t TApdComPort::GetChar()
{
    if (FInCount == 0)
        throw EBufferIsEmpty("Input buffer is empty");
    const uint8_t c = FInBuff[FInHead];
    FInHead = static_cast<uint16_t>((FInHead + 1) % InBuffSize);
    --FInCount;
    ++FProgress;
    return c;
}

void TApdComPort::FlushInBuffer()
{
    ResetInBuffer();
    if (!FOpen)
        return;
    FPulling = true;
    FImpl->Port.clear(QSerialPort::Input);
    FPulling = false;
}

void TApdComPort::ResetInBuffer()
{
    FInHead = 0;
    FInCount = 0;
    ++FProgress;
}

void TApdComPort::ProcessCommunications()
{
    DeliverInput();
}

// Sends what is queued and moves what the device holds into the input
// buffer, as far as it has room. True when bytes were stored.
bool TApdComPort::PullInput()
{
    QSerialPort& port = FImpl->Port;
    FPulling = true;
    if (port.bytesToWrite() > 0)
        port.flush();
    if (port.bytesAvailable() < InBuffFree()) {
        // Reads the driver now; Qt does not signal new bytes while an
        // earlier signal of it is still being handled.
        port.waitForReadyRead(0);
    }
    // A hang-up shows only in poll when Qt is not reading.
    if (LineHungUp(static_cast<int>(port.handle())))
        FDeviceGone = true;
    port.clearError();
    FPulling = false;

    uint16_t stored = 0;
    while (FInCount < InBuffSize) {
        const uint16_t tail = static_cast<uint16_t>((FInHead + FInCount) % InBuffSize);
        const qint64 room = std::min<qint64>(InBuffSize - FInCount, InBuffSize - tail);
        const qint64 n = port.read(reinterpret_cast<char*>(FInBuff + tail), room);
        if (n <= 0)
            break;
        FInCount = static_cast<uint16_t>(FInCount + n);
        stored = static_cast<uint16_t>(stored + n);
    }
    FProgress += stored;
    return stored > 0;
}

void TApdComPort::DeliverInput()
{
    if (!FOpen)
        return;
    PullInput();
    if (FDeviceGone) {
        DeviceLost();
        return;
    }
    if (FInCount == 0 || !OnTriggerAvail)
        return;
    // Inside a handler, fire again only when bytes arrived or were taken
    // since that handler started; otherwise a handler that pumps without
    // reading would recurse without end.
    if (FFireDepth > 0 && FProgress == FFireStamp)
        return;
    FireTriggerAvail();
}

void TApdComPort::FireTriggerAvail()
{
    const TTriggerAvailEvent handler = OnTriggerAvail;
    const uint64_t outerStamp = FFireStamp;
    FFireStamp = FProgress;
    ++FFireDepth;
    InvokeGuarded([&] { handler(this, FInCount); });
    --FFireDepth;
    const bool progressed = FProgress != FFireStamp;
    FFireStamp = outerStamp;
    // Bytes left behind (the handler had no room for all), or waiting in the
    // device for room, are offered again from the event loop while the
    // handler keeps taking some; the device signals only bytes that are new.
    if (FFireDepth == 0 && progressed && FOpen &&
        (FInCount > 0 || FImpl->Port.bytesAvailable() > 0))
        PostDelivery();
}

void TApdComPort::PostDelivery()
{
    if (FRedeliverPosted)
        return;
    FRedeliverPosted = true;
    QMetaObject::invokeMethod(&FImpl->Port, [this] {
        FRedeliverPosted = false;
        DeliverInput();
    }, Qt::QueuedConnection);
}
