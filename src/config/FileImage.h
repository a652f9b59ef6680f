#pragma once

#include <cstdint>
#include <istream>
#include <vector>

namespace UpsLink {

// The largest configuration file the loader reads.
constexpr int MaxConfigFileBytes = 32765;

// Reads the file byte by byte into image, from empty. The end of the file is met only by a read
// that finds no byte, so a file of n bytes leaves n + 2 entries: its bytes, then two zeros.
// False when the file is longer than MaxConfigFileBytes; a failed read is fault 75.
bool ReadImage(std::istream& file, std::vector<uint8_t>& image);

}  // namespace UpsLink
