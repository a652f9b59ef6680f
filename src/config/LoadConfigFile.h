#pragma once

namespace UpsLink {

// Chooses, reads, checks against the unit's type code (UpsType) and parses a configuration file
// into RecordNumbers and RecordData; true only when the file was read and parsed. The first step
// of the update command.
bool LoadConfigFile(int upsType);

}  // namespace UpsLink
