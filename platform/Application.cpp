#include "platform/Application.h"

#include "platform/DialogHook.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QMetaObject>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <clocale>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include <unistd.h>

// The one application object; never freed, so it can be reached from any
// static code until the process ends.
TApplication* Application = new TApplication(nullptr);

namespace {

// ------------------------------------------------ the Qt application itself

std::unique_ptr<QApplication>& ownedQApp()
{
    static std::unique_ptr<QApplication> app;
    return app;
}

// Thread that created the application object's statics: the one main runs on.
const std::thread::id gMainThreadId = std::this_thread::get_id();

// --------------------------------------------------- calls from other threads

// A call queued from any thread. A synchronised one carries the state its
// waiting thread watches.
struct TSyncState {
    enum State { Waiting, Running, Done, Cancelled };
    State S = Waiting;
};

struct TQueuedCall {
    std::function<void()> Call;
    std::shared_ptr<TSyncState> Sync;   // null for QueueToMainThread
};

std::mutex gQueueMutex;
std::condition_variable gQueueChanged;
std::deque<TQueuedCall> gQueue;
bool gShuttingDown = false;
bool gDrainPosted = false;

// Lives on the GUI thread; queued calls are drained through it.
QPointer<QObject> gQueueContext;

void drainQueue();

// With gQueueMutex held: makes sure the GUI thread will drain the queue.
void postDrainLocked()
{
    if (gDrainPosted || !gQueueContext)
        return;
    gDrainPosted = true;
    QMetaObject::invokeMethod(gQueueContext.data(), &drainQueue, Qt::QueuedConnection);
}

void drainQueue()
{
    for (;;) {
        TQueuedCall next;
        {
            std::lock_guard<std::mutex> lock(gQueueMutex);
            gDrainPosted = false;
            if (gQueue.empty())
                return;
            next = std::move(gQueue.front());
            gQueue.pop_front();
            if (next.Sync) {
                if (next.Sync->S != TSyncState::Waiting)
                    continue;   // the waiting thread gave up
                next.Sync->S = TSyncState::Running;
            }
            // A call that runs a nested event loop must not starve the others.
            if (!gQueue.empty())
                postDrainLocked();
        }
        InvokeGuarded(next.Call);
        if (next.Sync) {
            std::lock_guard<std::mutex> lock(gQueueMutex);
            next.Sync->S = TSyncState::Done;
            gQueueChanged.notify_all();
        }
    }
}

// Releases every thread waiting in SynchronizeWithMainThread.
void cancelWaitingCalls(bool dropAll)
{
    std::lock_guard<std::mutex> lock(gQueueMutex);
    gShuttingDown = true;
    std::deque<TQueuedCall> keep;
    for (TQueuedCall& c : gQueue) {
        if (c.Sync)
            c.Sync->S = TSyncState::Cancelled;
        else if (!dropAll)
            keep.push_back(std::move(c));
    }
    gQueue.swap(keep);
    gQueueChanged.notify_all();
}

void createQueueContext()
{
    if (gQueueContext)
        return;
    gQueueContext = new QObject(QCoreApplication::instance());
    std::lock_guard<std::mutex> lock(gQueueMutex);
    if (!gQueue.empty())
        postDrainLocked();
}

std::string messageOf(const std::exception& E)
{
    // The class library's message box ends the message with a full stop.
    std::string msg = E.what();
    while (!msg.empty() && (msg.back() == ' ' || msg.back() == '\n' || msg.back() == '\r'))
        msg.pop_back();
    if (!msg.empty() && static_cast<unsigned char>(msg.back()) > '.')
        msg += '.';
    return msg;
}

}  // namespace

// ----------------------------------------------------------------- lifetime

void InitApplication(int argc, char** argv)
{
    if (QCoreApplication::instance()) {
        createQueueContext();
        return;
    }
    // QApplication keeps a reference to argc.
    static int sArgc;
    sArgc = argc;
    ownedQApp() = std::make_unique<QApplication>(sArgc, argv);
    // Qt switched the C library to the user's locale; numbers read and
    // written through it keep '.' whatever that locale says.
    std::setlocale(LC_NUMERIC, "C");
    QCoreApplication::setApplicationName(QString::fromStdString(Application->Title()));
    createQueueContext();
}

void EnsureApplication()
{
    if (QCoreApplication::instance()) {
        createQueueContext();
        return;
    }
    static char sName[] = "ozezudo";
    static char* sArgv[] = {sName, nullptr};
    InitApplication(1, sArgv);
}

void DoneApplication()
{
    cancelWaitingCalls(true);
    while (Application->ComponentCount() > 0)
        delete Application->Components(Application->ComponentCount() - 1);
    delete gQueueContext.data();
    ownedQApp().reset();
}

bool IsMainThread()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        return QThread::currentThread() == app->thread();
    return std::this_thread::get_id() == gMainThreadId;
}

// ----------------------------------------------------------- TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner)
{
}

TApplication::~TApplication() = default;

void TApplication::SetTitle(const std::string& Value)
{
    FTitle = Value;
    if (QCoreApplication::instance())
        QCoreApplication::setApplicationName(QString::fromStdString(Value));
}

std::string TApplication::ExeName() const
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath().toStdString();
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

void TApplication::ProcessMessages()
{
    // The window messages belong to the GUI thread; a worker has none.
    if (!IsMainThread())
        return;
    EnsureApplication();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::HandleMessage()
{
    EnsureApplication();
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void TApplication::HandleMessage(int TimeoutMs)
{
    if (!IsMainThread()) {
        if (TimeoutMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return;
    }
    EnsureApplication();
    if (TimeoutMs <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // The loop sleeps until an event comes; this timer is the one that comes
    // when nothing else does.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(TimeoutMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void TApplication::Run()
{
    EnsureApplication();
    while (!FTerminated)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void TApplication::Terminate()
{
    FTerminated = true;
    cancelWaitingCalls(false);
    // Wake Run when it sleeps waiting for events.
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [] {}, Qt::QueuedConnection);
}

void TApplication::HandleException(const std::exception& E)
{
    if (OnException) {
        OnException(this, E);
        return;
    }
    TDialogRequest request;
    request.Kind = TDialogKind::MessageBox;
    request.Caption = FTitle;
    request.Text = messageOf(E);
    request.Buttons = 0x10;   // OK button, stop icon
    TDialogAnswer answer;
    if (AnswerDialog(request, answer))
        return;
    EnsureApplication();
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        // Nobody could click the box away: say it and go on.
        std::fprintf(stderr, "%s: %s\n", FTitle.c_str(), request.Text.c_str());
        return;
    }
    QMessageBox::critical(nullptr, QString::fromStdString(FTitle),
                          QString::fromStdString(request.Text));
}

// -------------------------------------------------------- guarded calls

void InvokeGuarded(const std::function<void()>& Call)
{
    // Destructors of components that need no application (data sets) run
    // handlers this way too; without an application the error goes to stderr.
    try {
        Call();
    } catch (const std::exception& e) {
        if (Application)
            Application->HandleException(e);
        else
            std::fprintf(stderr, "%s\n", e.what());
    } catch (...) {
        if (Application)
            Application->HandleException(std::runtime_error("Unknown error"));
        else
            std::fprintf(stderr, "Unknown error\n");
    }
}

void QueueToMainThread(std::function<void()> Call)
{
    if (!Call)
        return;
    std::lock_guard<std::mutex> lock(gQueueMutex);
    gQueue.push_back({std::move(Call), nullptr});
    postDrainLocked();
}

bool SynchronizeWithMainThread(std::function<void()> Call, int TimeoutMs)
{
    if (!Call)
        return true;
    if (IsMainThread()) {
        Call();
        return true;
    }
    auto sync = std::make_shared<TSyncState>();
    std::unique_lock<std::mutex> lock(gQueueMutex);
    if (gShuttingDown)
        return false;
    gQueue.push_back({std::move(Call), sync});
    postDrainLocked();
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs < 0 ? 0 : TimeoutMs);
    const bool settled = gQueueChanged.wait_until(lock, deadline, [&] {
        return sync->S == TSyncState::Done || sync->S == TSyncState::Cancelled;
    });
    if (!settled && sync->S == TSyncState::Waiting)
        sync->S = TSyncState::Cancelled;   // the GUI thread will skip it
    if (sync->S == TSyncState::Running)   // started in time: let it finish
        gQueueChanged.wait(lock, [&] { return sync->S == TSyncState::Done; });
    return sync->S == TSyncState::Done;
}
