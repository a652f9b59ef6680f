#pragma once

#include <fstream>
#include <string>

namespace UpsLink {

// The configuration file open under ConfigFileNumber, read as raw bytes.
extern std::ifstream ConfigFile;

// Shows the open dialog and opens the chosen file; true only when a file was opened now.
bool ChooseConfigFile();
// Checks the open file's title against the unit's type code (UpsType), reads, descrambles and
// closes it; the plain text, or "" on any failure.
std::string ReadConfigFile(int upsType);
// Reads the open file into FileImage; true when the whole file was read.
bool LoadFileImage();
// Closes the open configuration file, if any, and forgets its title.
void CloseConfigFile();

}  // namespace UpsLink
