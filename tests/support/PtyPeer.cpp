#include "tests/support/PtyPeer.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

int RemainingMs(std::chrono::steady_clock::time_point Deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        Deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

bool SlaveSettings(int Fd, termios& T)
{
    return Fd >= 0 && ::tcgetattr(Fd, &T) == 0;
}

}  // namespace

TPtyPeer::TPtyPeer()
{
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return;
    char name[128] = {};
    if (::ttyname_r(slave, name, sizeof name) != 0) {
        ::close(master);
        ::close(slave);
        return;
    }
    // Raw from the start, so no byte is changed before the code under test
    // sets the line up.
    termios t{};
    if (::tcgetattr(slave, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(slave, TCSANOW, &t);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    FMaster = master;
    FSlave = slave;
    FDevicePath = name;
}

TPtyPeer::~TPtyPeer()
{
    HangUp();
}

bool TPtyPeer::Write(const void* Data, size_t Len, int TimeoutMs)
{
    if (FMaster < 0)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
    const auto* p = static_cast<const uint8_t*>(Data);
    while (Len > 0) {
        const ssize_t n = ::write(FMaster, p, Len);
        if (n > 0) {
            p += n;
            Len -= static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        const int left = RemainingMs(deadline);
        if (left == 0)
            return false;
        pollfd pfd{FMaster, POLLOUT, 0};
        ::poll(&pfd, 1, left);
    }
    return true;
}

bool TPtyPeer::Write(const std::string& Bytes, int TimeoutMs)
{
    return Write(Bytes.data(), Bytes.size(), TimeoutMs);
}

bool TPtyPeer::Write(const std::vector<uint8_t>& Bytes, int TimeoutMs)
{
    return Write(Bytes.data(), Bytes.size(), TimeoutMs);
}

std::vector<uint8_t> TPtyPeer::Read(size_t MaxLen, int TimeoutMs)
{
    std::vector<uint8_t> got;
    if (FMaster < 0)
        return got;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
    uint8_t buf[4096];
    while (got.size() < MaxLen) {
        const size_t want = std::min(sizeof buf, MaxLen - got.size());
        const ssize_t n = ::read(FMaster, buf, want);
        if (n > 0) {
            got.insert(got.end(), buf, buf + n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            break;   // EIO: the device side is closed
        const int left = RemainingMs(deadline);
        if (left == 0)
            break;
        pollfd pfd{FMaster, POLLIN, 0};
        ::poll(&pfd, 1, left);
    }
    return got;
}

std::vector<uint8_t> TPtyPeer::ReadAvailable()
{
    return Read(SIZE_MAX, 0);
}

int TPtyPeer::Baud() const
{
    termios t{};
    if (!SlaveSettings(FSlave, t))
        return 0;
    struct TSpeed {
        speed_t Code;
        int Rate;
    };
    static const TSpeed speeds[] = {
        {B300, 300},       {B600, 600},       {B1200, 1200},     {B2400, 2400},
        {B4800, 4800},     {B9600, 9600},     {B19200, 19200},   {B38400, 38400},
        {B57600, 57600},   {B115200, 115200}, {B230400, 230400}, {B460800, 460800},
        {B921600, 921600},
    };
    const speed_t code = ::cfgetospeed(&t);
    for (const TSpeed& s : speeds) {
        if (s.Code == code)
            return s.Rate;
    }
    return 0;
}

int TPtyPeer::StopBits() const
{
    termios t{};
    if (!SlaveSettings(FSlave, t))
        return 0;
    return (t.c_cflag & CSTOPB) ? 2 : 1;
}

void TPtyPeer::HangUp()
{
    if (FMaster >= 0)
        ::close(FMaster);
    if (FSlave >= 0)
        ::close(FSlave);
    FMaster = -1;
    FSlave = -1;
}
