// The configuration file loader's core over any file bytes: reading the image, descrambling and
// parsing must never fault or read out of bounds, and every file it takes must hold exactly the
// records it reports, each one sendable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "config/Globals.h"
#include "config/FileImage.h"
#include "config/RecordParser.h"
#include "config/Scrambling.h"
#include "update/ConfigWrite.h"

using namespace UpsLink;

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size)
{
    std::istringstream file(std::string(reinterpret_cast<const char*>(bytes), size));
    std::vector<uint8_t> image{0xEE, 0xEE, 0xEE};
    const bool read = ReadImage(file, image);
    Require(read == (size <= static_cast<std::size_t>(MaxConfigFileBytes)));
    if (!read) return 0;
    // The file's bytes, then two zero entries; nothing of the image before.
    Require(image.size() == size + 2);
    Require(std::equal(bytes, bytes + size, image.begin()));
    Require(image[size] == 0 && image[size + 1] == 0);

    const std::string text = Descramble(image, FileKey);
    Require(Scramble(text, FileKey) == image);

    std::vector<int16_t> numbers{42};
    std::vector<std::string> data{"stale"};
    const ParseOutcome outcome = ParseRecords(text, numbers, data);
    if (outcome.StoppedBy) Require(!outcome.Loaded && outcome.StoppedBy->Number == 13);
    if (!outcome.Loaded) return 0;

    // Each record is "number," then line breaks at most, then "data;" in the text, in order;
    // between records only line breaks and unused number fields.
    Require(!numbers.empty() && numbers.size() == data.size());
    std::size_t at = 0;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        Require(numbers[i] >= 0 && numbers[i] <= 99);
        Require(data[i].find_first_of(",;\r\n") == std::string::npos);
        const std::size_t end = text.find(';', at);
        Require(end != std::string::npos && end >= data[i].size());
        const std::size_t start = end - data[i].size();
        Require(text.compare(start, data[i].size(), data[i]) == 0);
        const std::size_t comma = start == 0 ? std::string::npos : text.find_last_not_of("\r\n", start - 1);
        Require(comma != std::string::npos && comma >= at && text[comma] == ',');
        at = end + 1;
        const std::vector<uint8_t> payload = ConfigWritePayload(std::to_string(numbers[i]), data[i]);
        Require(payload.size() == (data[i].size() > 4 ? 18u : 4u));
        Require(payload[0] == 0x78 && payload[1] == numbers[i]);
    }
    // Nothing after the last record but text without a comma.
    Require(text.find(',', at) == std::string::npos);
    return 0;
}
