#pragma once

#include <cstdint>
#include <vector>

namespace UpsLink {

// The two's complement of the 8-bit sum of the bytes.
uint8_t Checksum(const uint8_t* bytes, std::size_t count);

// 0xAB, length, the first payloadLength bytes of data, checksum. A length outside 0..255 is fault 6.
std::vector<uint8_t> BuildFrame(int payloadLength, const std::vector<uint8_t>& data);

// Checks the reply in RxBuffer and assembles its data into ReplyData; true only for a complete,
// valid reply starting at index 0.
bool ParseReply();

}  // namespace UpsLink
