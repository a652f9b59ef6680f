#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

// Bytes on the wire as a unit sends them, built here independently of the code under test.
namespace UpsLink::Testing {

using Bytes = std::vector<uint8_t>;

// "AB 01 36 1E" as bytes, so that expected wire traces read like the trace file.
inline Bytes Hex(const std::string& text)
{
    std::istringstream in(text);
    Bytes bytes;
    std::string pair;
    while (in >> pair) bytes.push_back(static_cast<uint8_t>(std::stoul(pair, nullptr, 16)));
    return bytes;
}

// One reply block: AB, type, length, sequence, data, and the two's complement of their sum.
inline Bytes Block(uint8_t type, const Bytes& data, uint8_t sequence = 0x81)
{
    Bytes block{0xAB, type, static_cast<uint8_t>(data.size()), sequence};
    for (uint8_t b : data) block.push_back(b);
    unsigned sum = 0;
    for (uint8_t b : block) sum += b;
    block.push_back(static_cast<uint8_t>(-sum));
    return block;
}

inline Bytes Ack(uint8_t code) { return Block(9, {code}); }

// Frames, payloads or board lines end to end.
template <typename T>
std::vector<T> operator+(std::vector<T> head, const std::vector<T>& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

}  // namespace UpsLink::Testing
