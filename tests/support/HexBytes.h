#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "common/Text.h"

namespace UpsLink::Testing {

// "AB 01 36 1E" to bytes (HexBytes goes back), so expected wire traces read like the trace file.
inline std::vector<uint8_t> Bytes(const std::string& hex)
{
    std::istringstream in(hex);
    std::vector<uint8_t> bytes;
    std::string pair;
    while (in >> pair) bytes.push_back(static_cast<uint8_t>(std::stoul(pair, nullptr, 16)));
    return bytes;
}

}  // namespace UpsLink::Testing
