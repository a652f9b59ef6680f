#pragma once

#include <cstdint>
#include <vector>

#include "Unit.h"
#include "link/Frame.h"

namespace UpsLink {

// One last block of the given type carrying data, as the unit sends it.
inline std::vector<uint8_t> ReplyBlock(uint8_t type, const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> block{StartMarker, type, static_cast<uint8_t>(data.size()), 0x81};
    block.insert(block.end(), data.begin(), data.end());
    block.push_back(Checksum(block.data(), block.size()));
    return block;
}

// The unit starts answering 20 ms after the frame arrived.
inline std::vector<Emission> Answer(uint8_t type, const std::vector<uint8_t>& data)
{
    return {{20, ReplyBlock(type, data)}};
}

// The payloads of the frames the program wrote, in order.
template <class Port>
std::vector<std::vector<uint8_t>> WrittenPayloads(const Port& port)
{
    std::vector<std::vector<uint8_t>> payloads;
    for (const auto& write : port.Writes()) payloads.emplace_back(write.Bytes.begin() + 2, write.Bytes.end() - 1);
    return payloads;
}

}  // namespace UpsLink
