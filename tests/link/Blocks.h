#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

// Reply blocks as a unit sends them, built here independently of the code under test.
namespace Blocks {

using Bytes = std::vector<uint8_t>;

inline uint8_t SumComplement(const Bytes& bytes)
{
    unsigned sum = 0;
    for (uint8_t b : bytes) sum += b;
    return static_cast<uint8_t>(-sum);
}

// One block: AB, type, L, sequence, data, checksum.
inline Bytes Block(uint8_t type, const Bytes& data, uint8_t sequence = 0x81)
{
    Bytes block{0xAB, type, static_cast<uint8_t>(data.size()), sequence};
    block.insert(block.end(), data.begin(), data.end());
    block.push_back(SumComplement(block));
    return block;
}

inline Bytes Ack(uint8_t code)
{
    return Block(9, {code});
}

inline Bytes BadChecksum(Bytes block)
{
    block.back() ^= 0x01;
    return block;
}

inline Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// count bytes 0, 1, 2, ... from a starting value, wrapping at 256.
inline Bytes Counting(std::size_t count, uint8_t first = 0)
{
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(first + i);
    return bytes;
}

}  // namespace Blocks
