#include "Globals.h"

namespace UpsLink {

std::vector<uint8_t> FileImage;
int16_t ConfigFileNumber;
std::string ConfigFileTitle;
std::string ShownFileTitle;
std::vector<int16_t> RecordNumbers;
std::vector<std::string> RecordData;

void InitConfigGlobals()
{
    FileImage.assign(1, 0);
    ConfigFileNumber = 0;
    ConfigFileTitle.clear();
    ShownFileTitle.clear();
    RecordNumbers.clear();
    RecordData.clear();
}

}  // namespace UpsLink
