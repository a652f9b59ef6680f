#pragma once

#include "InstalledSeams.h"
#include "RecordingShell.h"
#include "SimPort.h"
#include "VirtualClock.h"

namespace UpsLink {

// A whole bench on the virtual clock: fresh globals, a unit on the simulated cable, a recording
// main window, all installed for the life of the bench.
template <class UnitType>
struct SimBench {
    explicit SimBench(double startSecondsSinceMidnight = 12 * 3600.0) : clock(startSecondsSinceMidnight) {}

    VirtualClock clock;
    UnitType unit;
    SimPort port{clock, unit};
    RecordingShell shell;
    InstalledSeams seams{port, clock, shell};
};

}  // namespace UpsLink
