#pragma once

namespace UpsLink {

// Chooses, reads, checks and parses a configuration file into RecordNumbers and RecordData;
// true only when the file was read and parsed. The first step of the update command.
bool LoadConfigFile();

}  // namespace UpsLink
