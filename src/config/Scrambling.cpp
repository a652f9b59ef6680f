#include "Scrambling.h"

namespace UpsLink {

namespace {
uint8_t KeyByteAt(const ScrambleKey& key, std::size_t position)
{
    return key[(position + 1) % key.size()];
}
}  // namespace

std::vector<uint8_t> Scramble(std::string_view plain, const ScrambleKey& key)
{
    std::vector<uint8_t> image(plain.size());
    for (std::size_t p = 0; p < plain.size(); ++p)
        image[p] = static_cast<uint8_t>(static_cast<uint8_t>(plain[p]) + KeyByteAt(key, p));
    return image;
}

std::string Descramble(const std::vector<uint8_t>& image, const ScrambleKey& key)
{
    std::string plain(image.size(), '\0');
    for (std::size_t p = 0; p < image.size(); ++p)
        plain[p] = static_cast<char>(static_cast<uint8_t>(image[p] - KeyByteAt(key, p)));
    return plain;
}

}  // namespace UpsLink
