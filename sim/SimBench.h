#pragma once

#include "RecordingShell.h"
#include "SimPort.h"
#include "VirtualClock.h"
#include "common/Globals.h"
#include "platform/Seams.h"

namespace UpsLink {

// A whole bench on the virtual clock: fresh globals, a unit on the simulated cable, a recording
// main window, all installed for the life of the bench.
template <class UnitType>
struct SimBench {
    explicit SimBench(double startSecondsSinceMidnight = 12 * 3600.0) : clock(startSecondsSinceMidnight)
    {
        InitGlobals();
        InstallClock(&clock);
        InstallPort(&port);
        InstallShell(&shell);
    }
    ~SimBench()
    {
        InstallShell(nullptr);
        InstallPort(nullptr);
        InstallClock(nullptr);
    }
    SimBench(const SimBench&) = delete;
    SimBench& operator=(const SimBench&) = delete;

    VirtualClock clock;
    UnitType unit;
    SimPort port{clock, unit};
    RecordingShell shell;
};

}  // namespace UpsLink
