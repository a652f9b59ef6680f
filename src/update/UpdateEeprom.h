#pragma once

#include <cstddef>
#include <functional>

namespace UpsLink {

// Where one update starts and how far it got. The window writes every record; the command line
// may resume at a later record and stop between records.
struct UpdateRun {
    // The 0-based index, in file order, of the first record written.
    std::size_t From = 0;
    // Asked before each record; true leaves the writing, as a refused record does.
    std::function<bool()> Stop;
    // The index of the first record not yet acknowledged; kept up to date while the records are written.
    std::size_t Next = 0;
};

// The update command of the "Update" button: loads a configuration file, asks for confirmation
// and writes every record into the EEPROM of the UPS or of the selected module, then sends the
// closing command. The port is reset and the window enabled again however it ends.
void UpdateEeprom();
void UpdateEeprom(UpdateRun& run);

}  // namespace UpsLink
