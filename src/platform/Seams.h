#pragma once

#include <chrono>

#include "Clock.h"
#include "Port.h"
#include "Shell.h"

// The one way the logic reaches the outside world. Start-up installs the real ones; test
// fixtures install fakes.
namespace UpsLink {

Port& MSComm1();
Clock& TheClock();
Shell& frmMain();

void InstallPort(Port* port);
void InstallClock(Clock* clock);
void InstallShell(Shell* shell);

// The blocking pause of the program, through the installed clock.
void Sleep(int milliseconds);
inline void Sleep(std::chrono::milliseconds pause) { Sleep(static_cast<int>(pause.count())); }
double Timer();

}  // namespace UpsLink
