#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Fault.h"

namespace UpsLink {

struct ParseOutcome {
    // True when the text held records and every one was complete and well numbered.
    bool Loaded = false;
    // The fault that stopped the scan (a record number that is empty or not numeric); the
    // loader shows it in a message box with the mark 36.
    std::optional<Fault> StoppedBy;
};

// Splits the plain text of a configuration file into records "number,data;", in file order,
// into numbers and data (emptied first). Line breaks between records are ignored; text after the
// last ";" without a "," is ignored. A number field longer than two characters, a number outside
// 0 to 99, a ";" that ends no record, a line break after data text or a last record without its
// ";" leaves Loaded false. onRecordShown is told the 1-based record count whenever it changes
// while the text is scanned.
ParseOutcome ParseRecords(std::string_view text, std::vector<int16_t>& numbers, std::vector<std::string>& data,
                          const std::function<void(int)>& onRecordShown = {});

}  // namespace UpsLink
