#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace UpsLink {

// One thing the update shows when it refuses a configuration file: a board line, or the text of a
// message box titled like the window.
struct Refusal {
    std::string Text;
    bool InBox = false;

    bool operator==(const Refusal&) const = default;
};

// What the update makes of a configuration file: taken, or its refusals in the order they are shown.
struct FileVerdict {
    bool Taken = false;
    std::vector<Refusal> Shown;
};

// Called while a file is judged: before its records are parsed, and with the 1-based record
// count whenever it changes during the parse.
struct VerdictSteps {
    std::function<void()> BeforeParse;
    std::function<void(int)> OnRecordShown;
};

// The one reading of a configuration file, for the loader and for zentrel-pack: the title checked
// against upsType when there is one, the file read into image (at most MaxConfigFileBytes),
// descrambled with FileKey and parsed into numbers and data.
FileVerdict JudgeConfigFile(std::istream& file, std::string_view title, std::optional<int> upsType,
                            std::vector<uint8_t>& image, std::vector<int16_t>& numbers, std::vector<std::string>& data,
                            const VerdictSteps& steps = {});

}  // namespace UpsLink
