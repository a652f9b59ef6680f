#include "ConfigWrite.h"

#include "common/Fault.h"
#include "common/Text.h"
#include "link/Protocol.h"
#include "link/Transaction.h"

namespace UpsLink {

namespace {

// The record number as one byte: not numeric is fault 13, outside 0 to 255 fault 6.
uint8_t RecordNumberByte(const std::string& numberText)
{
    const double value = RoundedNumber(numberText);
    if (value < 0 || value > 255) throw Fault(FaultNo::Overflow);
    return static_cast<uint8_t>(value);
}

}  // namespace

std::vector<uint8_t> ConfigWritePayload(const std::string& numberText, const std::string& dataText)
{
    std::vector<uint8_t> payload{Command::ConfigWrite, RecordNumberByte(numberText)};
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
    return Send(ConfigWritePayload(numberText, dataText), BlockType::Ack, true);
}

bool FinishConfigUpdate()
{
    return Send({Command::ConfigWrite, Command::ConfigWriteEnd}, BlockType::Ack, true);
}

}  // namespace UpsLink
