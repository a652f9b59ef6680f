#include "Seams.h"

#include <cassert>

namespace UpsLink {

namespace {
Port* installedPort = nullptr;
Clock* installedClock = nullptr;
Shell* installedShell = nullptr;
}  // namespace

Port& MSComm1()
{
    assert(installedPort);
    return *installedPort;
}

Clock& TheClock()
{
    assert(installedClock);
    return *installedClock;
}

Shell& frmMain()
{
    assert(installedShell);
    return *installedShell;
}

void InstallPort(Port* port) { installedPort = port; }
void InstallClock(Clock* clock) { installedClock = clock; }
void InstallShell(Shell* shell) { installedShell = shell; }

void Sleep(int milliseconds) { TheClock().Sleep(milliseconds); }
double Timer() { return TheClock().Timer(); }

}  // namespace UpsLink
