#pragma once

#include <vector>

#include "Blocks.h"

// What a connect puts on the cable, payload by payload.
namespace UpsLink::Testing {

using Payloads = std::vector<Bytes>;

inline const Bytes Access = Hex("CF 5A C3 17");
inline const Payloads Unidentified{{0xFF}, {0x40}, Access, {0xA0}};
inline const Payloads NoUpsConnect{{0xFF}, {0x40}, Access, {0xA0}, {0x36}};
inline const Payloads RefusedConnect{{0xFF}, {0x40}, Access, {0xA0}, {0x36}, {0x40}};
inline const Payloads FullConnect{{0xFF}, {0x40}, Access, {0xA0}, {0x36}, Hex("FF 06 08 62"), {0x40}};

}  // namespace UpsLink::Testing
