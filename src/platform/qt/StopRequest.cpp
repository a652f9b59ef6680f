#include "StopRequest.h"

#include <QCoreApplication>
#include <QPointer>
#include <csignal>
#include <vector>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#endif

#ifdef Q_OS_WIN
#include <windows.h>

#include <QWinEventNotifier>
#endif

namespace UpsLink {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

struct StopAction {
    QPointer<QObject> Context;
    std::function<void()> Run;
};
std::vector<StopAction> actions;

// From the event loop, once a request has woken it.
void RunStopActions()
{
    std::erase_if(actions, [](const StopAction& action) { return action.Context.isNull(); });
    // A copy: an action may end its context or add another action.
    const std::vector<StopAction> now = actions;
    for (const StopAction& action : now)
        if (action.Context) action.Run();
}

}  // namespace

// How the platform asks a program to stop plugs in here: each way sets stopRequested at once,
// from whatever context it is asked in, and has RunStopActions run from the event loop.
#ifdef Q_OS_UNIX

namespace {

int wakePipe[2] = {-1, -1};

void OnSignal(int)
{
    const int savedErrno = errno;
    stopRequested = 1;
    const char byte = 0;
    // A full pipe wakes the event loop all the same.
    [[maybe_unused]] const ssize_t written = ::write(wakePipe[1], &byte, 1);
    errno = savedErrno;
}

void CatchPlatformStopRequests()
{
    // Without a pipe the signals keep their default: the program ends at once.
    if (wakePipe[0] != -1 || ::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(wakePipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char bytes[256];
        while (::read(wakePipe[0], bytes, sizeof bytes) > 0) {
        }
        RunStopActions();
    });
    struct sigaction handler {};
    handler.sa_handler = OnSignal;
    sigemptyset(&handler.sa_mask);
    // Reads and pauses of the transaction in flight carry on.
    handler.sa_flags = SA_RESTART;
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signalNumber, &handler, nullptr);
}

}  // namespace

int StopRequestDescriptor() { return wakePipe[0]; }

#elif defined(Q_OS_WIN)

namespace {

HANDLE wakeEvent = nullptr;

// Runs on a thread of its own that the system starts for each console event.
BOOL WINAPI OnConsoleEvent(DWORD event)
{
    stopRequested = 1;
    SetEvent(wakeEvent);
    // Closing the console, logging off and shutting down end the process as soon as this returns:
    // holding it gives the program the few seconds the system allows to stop and disconnect.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) Sleep(INFINITE);
    return TRUE;
}

void CatchPlatformStopRequests()
{
    if (wakeEvent) return;
    wakeEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    auto* notifier = new QWinEventNotifier(wakeEvent, QCoreApplication::instance());
    QObject::connect(notifier, &QWinEventNotifier::activated, notifier, [] { RunStopActions(); });
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

}  // namespace

#endif

void CatchStopRequests() { CatchPlatformStopRequests(); }

bool StopRequested() { return stopRequested != 0; }

void OnStopRequest(QObject* context, std::function<void()> action)
{
    actions.push_back({context, std::move(action)});
}

}  // namespace UpsLink
