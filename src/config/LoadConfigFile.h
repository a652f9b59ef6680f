#pragma once

#include "FileVerdict.h"

namespace UpsLink {

// Chooses, reads, checks against the unit's type code and parses a configuration file into
// RecordNumbers and RecordData, showing each refusal on the board or in a box. Taken only when
// the file was read and parsed; no refusal shown when no file was chosen or it could not be opened
// (that box is shown by the choice). The first step of the update command.
FileVerdict LoadConfigFile(int upsType);

}  // namespace UpsLink
