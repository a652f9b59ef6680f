#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace UpsLink {

using ScrambleKey = std::array<uint8_t, 9>;

// The file byte at position p is the plain byte plus key byte (p + 1) mod 9, modulo 256.
std::vector<uint8_t> Scramble(std::string_view plain, const ScrambleKey& key);
std::string Descramble(const std::vector<uint8_t>& image, const ScrambleKey& key);

}  // namespace UpsLink
