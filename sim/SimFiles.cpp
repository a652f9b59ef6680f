#include "SimFiles.h"

#include <cstdio>

#include "common/Text.h"

namespace UpsLink {

std::string FrameLogLine(double secondsSinceMidnight, char direction, const std::vector<uint8_t>& bytes)
{
    char time[32];
    std::snprintf(time, sizeof time, "%.3f", secondsSinceMidnight);
    return std::string("{\"t\": ") + time + ", \"dir\": \"" + direction + "\", \"hex\": \"" + HexBytes(bytes) + "\"}";
}

std::string EepromText(const std::map<int, std::vector<uint8_t>>& eeprom)
{
    std::string text;
    for (const auto& [record, data] : eeprom) text += std::to_string(record) + ": " + HexBytes(data) + "\n";
    return text;
}

}  // namespace UpsLink
