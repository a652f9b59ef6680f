#include "TerminateRequest.h"

#include <QCoreApplication>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace UpsLink {

#ifdef Q_OS_UNIX

namespace {

int requestPipe[2] = {-1, -1};

void OnSignal(int signalNumber)
{
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(requestPipe[0], &byte, 1);
}

}  // namespace

void OnTerminateRequest(std::function<void()> action)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, requestPipe) != 0) return;
    auto* notifier = new QSocketNotifier(requestPipe[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [action = std::move(action)] {
        char byte;
        if (::read(requestPipe[1], &byte, 1) == 1) action();
    });
    struct sigaction handler {};
    handler.sa_handler = OnSignal;
    sigemptyset(&handler.sa_mask);
    handler.sa_flags = SA_RESTART;
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signalNumber, &handler, nullptr);
}

#else

void OnTerminateRequest(std::function<void()>) {}

#endif

}  // namespace UpsLink
