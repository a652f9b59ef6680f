#include "SimFiles.h"

#include <cstdio>

namespace UpsLink {

namespace {

std::string HexBytes(const std::vector<uint8_t>& bytes)
{
    std::string text;
    char pair[4];
    for (uint8_t byte : bytes) {
        std::snprintf(pair, sizeof pair, text.empty() ? "%02X" : " %02X", byte);
        text += pair;
    }
    return text;
}

}  // namespace

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
