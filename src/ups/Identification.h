#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace UpsLink {

// The type code of the unit on the link, or 0 when none answered or its block was unusable.
int32_t ReadUpsType();
// Asks for the identification block and walks it, keeping the processor versions.
bool ReadIdentification();
// Walks the identification block in ReplyData, keeping the processor versions and the
// configuration block length; a block too short is fault 9, a length of 32768 or more fault 6.
void WalkIdentificationBlock();
// The access request, a pause, then the identification request; its answer is in ReplyData.
bool RequestIdentification();
// The type request; its answer is in ReplyData.
bool RequestTypeBlock();

// Decimal text of the high and of the low four bits of b.
std::string HighDigit(uint8_t b);
std::string LowDigit(uint8_t b);

}  // namespace UpsLink
