#pragma once

#include <fstream>

namespace UpsLink {

// The configuration file open under ConfigFileNumber, read as raw bytes.
extern std::ifstream ConfigFile;

// Closes the open configuration file, if any, and forgets its title.
void CloseConfigFile();

}  // namespace UpsLink
