#pragma once

#include <QtGlobal>
#include <functional>

class QObject;

namespace UpsLink {

// A request from outside to stop the program: Ctrl+C, kill, or the terminal closing (SIGINT,
// SIGTERM, SIGHUP; on Windows Ctrl+C, Ctrl+Break and the console closing). It is noted at once,
// so that a command stops at its next safe point instead of in the middle of a transaction, and
// the actions given to OnStopRequest run from the event loop. Call CatchStopRequests once the application object exists.
void CatchStopRequests();
bool StopRequested();

// action runs from the event loop after each request, as long as context lives; requests that
// come before the event loop looks run it once.
void OnStopRequest(QObject* context, std::function<void()> action);

#ifdef Q_OS_UNIX
// Readable from the first request on: for a loop that waits on descriptors, not in the event loop.
int StopRequestDescriptor();
#endif

}  // namespace UpsLink
