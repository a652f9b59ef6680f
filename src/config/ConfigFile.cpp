#include "ConfigFile.h"

#include "common/Globals.h"

namespace UpsLink {

std::ifstream ConfigFile;

void CloseConfigFile()
{
    if (ConfigFileNumber <= 0) return;
    if (ConfigFile.is_open()) ConfigFile.close();
    ConfigFileNumber = 0;
    ConfigFileTitle.clear();
}

}  // namespace UpsLink
