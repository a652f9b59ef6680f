#pragma once

#include "RecordingShell.h"
#include "SimPort.h"
#include "UpsModel.h"
#include "VirtualClock.h"
#include "core/InitGlobals.h"
#include "platform/Seams.h"

namespace UpsLink::Testing {

// Fresh globals and a port, a clock and a main window installed for the life of this object;
// afterwards the port is closed and nothing is left installed, so no test sees another's state.
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

// A whole bench on the virtual clock: a unit on the simulated cable and a main window (the
// recording one unless another is given), installed for the life of the bench.
template <class UnitType = UpsModel, class Window = RecordingShell>
struct SimBench {
    explicit SimBench(double startSecondsSinceMidnight = 12 * 3600.0) : clock(startSecondsSinceMidnight) {}

    VirtualClock clock;
    UnitType unit;
    SimPort port{clock, unit};
    Window shell;
    InstalledSeams seams{port, clock, shell};
};

}  // namespace UpsLink::Testing
