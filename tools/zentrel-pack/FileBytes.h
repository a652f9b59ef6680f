#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ZentrelPack {

// The whole file; throws std::runtime_error naming the file and the reason.
std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace ZentrelPack
