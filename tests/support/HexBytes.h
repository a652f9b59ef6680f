#pragma once

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace UpsLink::Testing {

// "AB 01 36 1E" to bytes and back, so expected wire traces read like the trace file.
inline std::vector<uint8_t> Bytes(const std::string& hex)
{
    std::istringstream in(hex);
    std::vector<uint8_t> bytes;
    std::string pair;
    while (in >> pair) bytes.push_back(static_cast<uint8_t>(std::stoul(pair, nullptr, 16)));
    return bytes;
}

inline std::string Hex(const std::vector<uint8_t>& bytes)
{
    std::string text;
    char pair[4];
    for (uint8_t byte : bytes) {
        std::snprintf(pair, sizeof pair, text.empty() ? "%02X" : " %02X", byte);
        text += pair;
    }
    return text;
}

}  // namespace UpsLink::Testing
