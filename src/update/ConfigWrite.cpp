#include "ConfigWrite.h"

#include <cmath>

#include "common/Fault.h"
#include "common/Globals.h"
#include "common/Text.h"
#include "link/Transaction.h"

namespace UpsLink {

namespace {

constexpr uint8_t ConfigWriteCommand = 0x78;
constexpr int ValueTextWidth = 4;
constexpr int BlockTextWidth = 32;
constexpr int AckExpected = 9;

// The record number as one byte: not numeric is fault 13, outside 0 to 255 fault 6.
uint8_t RecordNumberByte(const std::string& numberText)
{
    if (!IsNumeric(numberText)) throw Fault(FaultNo::TypeMismatch);
    const double value = std::nearbyint(NumericPrefix(numberText));
    if (value < 0 || value > 255) throw Fault(FaultNo::Overflow);
    return static_cast<uint8_t>(value);
}

}  // namespace

std::vector<uint8_t> ConfigWritePayload(const std::string& numberText, const std::string& dataText)
{
    std::vector<uint8_t> payload{ConfigWriteCommand, RecordNumberByte(numberText)};
    if (static_cast<int>(dataText.size()) > ValueTextWidth) {
        const std::string block = PadToWidth(dataText, BlockTextWidth);
        for (std::size_t p = 0; p < block.size(); p += 2) payload.push_back(HexPairValue(block.substr(p, 2)));
    } else {
        const std::string value = PadToWidth(dataText, ValueTextWidth);
        payload.push_back(HexPairValue(value.substr(2, 2)));
        payload.push_back(HexPairValue(value.substr(0, 2)));
    }
    return payload;
}

bool WriteConfigRecord(const std::string& numberText, const std::string& dataText)
{
    CommandData = ConfigWritePayload(numberText, dataText);
    return SendCommand(static_cast<int>(CommandData.size()), CommandData, AckExpected, true);
}

bool FinishConfigUpdate()
{
    CommandData = {ConfigWriteCommand, 0x00};
    return SendCommand(static_cast<int>(CommandData.size()), CommandData, AckExpected, true);
}

}  // namespace UpsLink
