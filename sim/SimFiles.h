#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace UpsLink {

// One line of zentrel-sim's frame log, compact JSON: {"dir": ">" received or "<" sent, "hex": the
// bytes in upper-case hexadecimal separated by blanks, "t": seconds since midnight to the ms}.
std::string FrameLogLine(double secondsSinceMidnight, char direction, const std::vector<uint8_t>& bytes);

// The EEPROM as text: one line per record in record order, "12: 00 FF 00 FF".
std::string EepromText(const std::map<int, std::vector<uint8_t>>& eeprom);

}  // namespace UpsLink
