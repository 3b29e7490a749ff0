#include "platform/Signals.h"

#include "platform/Application.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int WatchedSignals[] = {SIGTERM, SIGINT, SIGHUP};

int gSignalPipe[2] = {-1, -1};
TTerminationSignalEvent gHandler;
QSocketNotifier* gNotifier = nullptr;

extern "C" void OnTerminationSignal(int Signal)
{
    const int Saved = errno;
    const unsigned char Byte = static_cast<unsigned char>(Signal);
    // A full pipe drops the byte: a signal is already waiting to be handled.
    [[maybe_unused]] const ssize_t N = ::write(gSignalPipe[1], &Byte, 1);
    errno = Saved;
}

void ReadSignals()
{
    unsigned char Bytes[16];
    for (;;) {
        const ssize_t N = ::read(gSignalPipe[0], Bytes, sizeof Bytes);
        if (N <= 0)
            return;
        for (ssize_t i = 0; i < N; ++i) {
            if (gHandler)
                InvokeGuarded([Signal = Bytes[i]] { gHandler(Signal); });
        }
        if (Application->Terminated())
            QCoreApplication::exit(0);   // ends nested dialog loops too
    }
}

bool OpenPipe()
{
    if (gSignalPipe[0] >= 0)
        return true;
    if (::pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        gSignalPipe[0] = gSignalPipe[1] = -1;
        return false;
    }
    EnsureApplication();
    gNotifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(gNotifier, &QSocketNotifier::activated, [] { ReadSignals(); });
    return true;
}

}  // namespace

void SetTerminationSignalHandler(TTerminationSignalEvent Handler)
{
    gHandler = std::move(Handler);
    struct sigaction Action {};
    sigemptyset(&Action.sa_mask);
    if (gHandler && OpenPipe()) {
        Action.sa_handler = OnTerminationSignal;
        Action.sa_flags = SA_RESTART;
    } else {
        Action.sa_handler = SIG_DFL;
    }
    for (int Signal : WatchedSignals)
        ::sigaction(Signal, &Action, nullptr);
}
