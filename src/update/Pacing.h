#pragma once

#include <chrono>
#include <cstddef>

namespace UpsLink {

// How long an update of this many records takes at the program's own pauses when the unit
// answers at once, the closing command included; with reselect, a module select goes before each
// record. Each command waits after its frame, polls once for a quiet line and pauses before
// reading; line time hides in those waits.
std::chrono::milliseconds PacedUpdateTime(std::size_t records, bool reselect);

}  // namespace UpsLink
