#pragma once

namespace UpsLink {

// The update command of the "Update" button: loads a configuration file, asks for confirmation
// and writes every record into the EEPROM of the UPS or of the selected module, then sends the
// closing command. The port is reset and the window enabled again however it ends.
void UpdateEeprom();

}  // namespace UpsLink
