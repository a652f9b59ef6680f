#pragma once

#include "CliOptions.h"

namespace UpsLink {

class TerminalShell;

// ports: the serial ports of the machine and the COM number that reaches each.
int ListPorts(const CliOptions& options);

// identify, modules or update on options.Ports[0], with the port, clock and shell already
// installed: opens the port as start-up does, runs the command and gives its exit status.
int RunCommand(const CliOptions& options, TerminalShell& shell);

// RunCommand on the serial port and the system clock, with shell installed as the program's Shell.
int RunOnPort(const CliOptions& options, TerminalShell& shell);

}  // namespace UpsLink
