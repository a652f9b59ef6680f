#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace UpsLink {

// "0" in front while shorter than width; then only the first width characters.
std::string PadToWidth(std::string text, int width);

// Upper-case hexadecimal digits, no prefix, no leading zeros (ten gives "A").
std::string HexText(uint64_t value);

// Bytes as upper-case hexadecimal pairs separated by blanks: "AB 01 FF 55".
std::string HexBytes(std::span<const uint8_t> bytes);

// Two characters read as hexadecimal: leading blanks, tabs and line feeds skipped, then digits
// until the first non-hexadecimal character; no digit gives 0.
uint8_t HexPairValue(std::string_view text);

// The decimal number at the start of a text: blanks skipped, reading stops at the first
// character that cannot continue a number; no number gives 0.
double NumericPrefix(std::string_view text);

// A numeric text converted to a whole number: not numeric is fault 13, and halves go to the even
// neighbour.
double RoundedNumber(std::string_view text);

// Optional blanks around an optional sign, digits, an optional decimal point with digits and an
// optional exponent.
bool IsNumeric(std::string_view text);

}  // namespace UpsLink
