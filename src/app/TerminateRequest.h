#pragma once

#include <functional>

namespace UpsLink {

// Runs action from the event loop when the process is asked to end (SIGTERM, SIGINT, SIGHUP),
// so that it ends through the main window like any other close. Call once, after the application
// object exists.
void OnTerminateRequest(std::function<void()> action);

}  // namespace UpsLink
