#pragma once

#include <fstream>
#include <string>

namespace UpsLink {

// The configuration file open under ConfigFileNumber, read as raw bytes.
extern std::ifstream ConfigFile;

// Shows the open dialog and opens the chosen file; true only when a file was opened now.
bool ChooseConfigFile();
// The loader's message box: text, in a box titled like the window.
void ShowFileBox(const std::string& text);
// Closes the open configuration file, if any, and forgets its title.
void CloseConfigFile();

}  // namespace UpsLink
