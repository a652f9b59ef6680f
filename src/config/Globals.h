#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The state of the configuration file loader: the file and its title (written by the loader,
// cleared by disconnect) and the records it parsed (read by the update).
namespace UpsLink {

// The key the files are scrambled with: constant from program start, so the tools need no
// start-up to read a file.
inline constexpr std::array<uint8_t, 9> FileKey = [] {
    constexpr std::string_view text = "K1n4jolt7";
    static_assert(text.size() == 9, "the file key has nine characters");
    std::array<uint8_t, 9> key{};
    for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<uint8_t>(text[i]);
    return key;
}();

extern std::vector<uint8_t> FileImage;
extern int16_t ConfigFileNumber;
extern std::string ConfigFileTitle;
extern std::string ShownFileTitle;
extern std::vector<int16_t> RecordNumbers;
extern std::vector<std::string> RecordData;

void InitConfigGlobals();

}  // namespace UpsLink
