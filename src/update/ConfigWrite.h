#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace UpsLink {

// The configuration write command for one record: 78, the record number, then the value low byte
// first when dataText has at most 4 characters, else 16 data bytes in text order.
std::vector<uint8_t> ConfigWritePayload(const std::string& numberText, const std::string& dataText);
// Builds the write for one record in CommandData and sends it; the result of SendCommand.
bool WriteConfigRecord(const std::string& numberText, const std::string& dataText);
// Sends the configuration write end, 78 00; the result of SendCommand.
bool FinishConfigUpdate();

}  // namespace UpsLink
