#pragma once

#include "InstalledSeams.h"
#include "RecordingShell.h"
#include "platform/qt/SystemClock.h"
#include "platform/qt/SerialPort.h"

namespace UpsLink::Testing {

// The real serial port and clock with a recording main window, installed for the life of the
// bench; COM1's device is the caller's to name.
struct RealBench {
    SystemClock clock;
    SerialPort port;
    RecordingShell shell;
    InstalledSeams seams{port, clock, shell};
};

}  // namespace UpsLink::Testing
