#pragma once

#include <functional>
#include <memory>

class frmMain;

namespace UpsLink {

class Clock;
class Port;

// Loads the main window without showing it (its load handler runs).
using MainWindowLoader = std::function<std::unique_ptr<::frmMain>()>;

// Start-up: gives every global its start value, loads the main window, installs the port, the clock
// and the window as the program's seams, opens the port with the default settings, and shows the
// window. Returns the shown window. When a step fails it shows "N Start: description 1" in a
// message box (except for 8012) and returns nothing; a window that was loaded but not shown is
// unloaded, which ends the process, so no invisible program is left behind.
std::unique_ptr<::frmMain> Main(Port& port, Clock& clock, const MainWindowLoader& load);

}  // namespace UpsLink
