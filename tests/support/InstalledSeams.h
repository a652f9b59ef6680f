#pragma once

#include "common/AppTitle.h"
#include "config/Globals.h"
#include "core/InitGlobals.h"
#include "link/Globals.h"
#include "link/Protocol.h"
#include "ups/Globals.h"
#include "core/InitGlobals.h"
#include "platform/Seams.h"

namespace UpsLink {

// Fresh globals and a port, a clock and a main window installed for the life of this object;
// the port is closed and nothing is left installed afterwards, so no test sees another's state.
class InstalledSeams {
public:
    InstalledSeams(Port& port, Clock& clock, Shell& shell) : port_(port)
    {
        InitGlobals();
        InstallClock(&clock);
        InstallPort(&port);
        InstallShell(&shell);
    }
    ~InstalledSeams()
    {
        if (port_.PortOpen()) port_.SetPortOpen(false);
        InstallShell(nullptr);
        InstallPort(nullptr);
        InstallClock(nullptr);
    }
    InstalledSeams(const InstalledSeams&) = delete;
    InstalledSeams& operator=(const InstalledSeams&) = delete;

private:
    Port& port_;
};

}  // namespace UpsLink
