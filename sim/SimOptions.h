#pragma once

#include <QStringList>
#include <string>

#include "UpsModel.h"

namespace UpsLink {

// What zentrel-sim is told on its command line.
struct SimSettings {
    UpsModelConfig Model;
    int BaudRate = 19200;
    std::string LogPath;     // frame log, JSON lines; empty: none
    std::string EepromPath;  // the EEPROM's records, rewritten after every record taken; empty: none
};

// The outcome of reading the command line: run, or stop at once with this text and exit code
// (0 after --help or --version, 2 after a bad option).
struct SimOptionsOutcome {
    bool Run = true;
    int ExitCode = 0;
    std::string Message;
};

// arguments[0] is the program name.
SimOptionsOutcome ParseSimOptions(const QStringList& arguments, SimSettings& settings);

}  // namespace UpsLink
