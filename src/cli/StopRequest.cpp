#include "StopRequest.h"

#include <csignal>
#include <initializer_list>

namespace UpsLink {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnSignal(int) { stopRequested = 1; }

}  // namespace

void CatchStopRequests()
{
    struct sigaction handler {};
    handler.sa_handler = OnSignal;
    sigemptyset(&handler.sa_mask);
    // Reads and pauses of the transaction in flight carry on.
    handler.sa_flags = SA_RESTART;
    for (int signalNumber : {SIGINT, SIGTERM}) ::sigaction(signalNumber, &handler, nullptr);
}

bool StopRequested() { return stopRequested != 0; }

}  // namespace UpsLink
