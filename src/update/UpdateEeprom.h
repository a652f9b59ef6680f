#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace UpsLink {

// Where one update starts and how far it got. The window writes every record; the command line
// may resume at a later record and stop between records.
struct UpdateRun {
    // The 0-based index, in file order, of the first record written.
    std::size_t From = 0;
    // Asked before each record; true leaves the writing, as a refused record does.
    std::function<bool()> Stop;
    // The index of the first record not yet acknowledged, and the file's records; kept up to date
    // while the records are written.
    std::size_t Next = 0;
    std::size_t Total = 0;
};

// How an update ended.
enum class UpdateEnd {
    NotConnected,  // "Link Down"
    FileRefused,   // no file chosen, or one not taken
    FromPastEnd,   // the run starts past the file's last record: nothing asked, nothing written
    Declined,      // the confirmation answered with anything but OK
    RecordFailed,  // a record not acknowledged, or a fault while writing it
    Stopped,       // asked to stop between two records
    Complete,
    Fault,         // a fault outside the writing of the records
};

struct UpdateOutcome {
    UpdateEnd End = UpdateEnd::NotConnected;
    // The line that said why it ended short: the refusal of the file, "Error updating #n", a fault.
    std::string Line;
    // RecordFailed: the number of the record that was not written.
    int Record = -1;
    // Records acknowledged in this run, the file's records, and the index of the first one not written.
    std::size_t Written = 0;
    std::size_t Total = 0;
    std::size_t Next = 0;
};

// The update command of the "Update" button: loads a configuration file, asks for confirmation
// and writes every record into the EEPROM of the UPS or of the selected module, then sends the
// closing command. The port is reset and the window enabled again however it ends.
UpdateOutcome UpdateEeprom();
UpdateOutcome UpdateEeprom(UpdateRun& run);

}  // namespace UpsLink
