#include "Text.h"

#include "Fault.h"

#include <charconv>
#include <cctype>
#include <cmath>
#include <regex>
#include <string>

namespace UpsLink {

std::string PadToWidth(std::string text, int width)
{
    while (static_cast<int>(text.size()) < width) text.insert(text.begin(), '0');
    if (width >= 0 && static_cast<int>(text.size()) > width) text.resize(static_cast<std::size_t>(width));
    return text;
}

std::string HexText(uint64_t value)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), digits[value % 16]);
        value /= 16;
    } while (value != 0);
    return text;
}

std::string HexBytes(std::span<const uint8_t> bytes)
{
    std::string text;
    for (uint8_t byte : bytes) {
        if (!text.empty()) text += ' ';
        text += PadToWidth(HexText(byte), 2);
    }
    return text;
}

uint8_t HexPairValue(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
    unsigned value = 0;
    for (std::size_t read = 0; i < text.size() && read < 2; ++i, ++read) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if (!std::isxdigit(ch)) break;
        value = value * 16 + static_cast<unsigned>(std::isdigit(ch) ? ch - '0' : std::toupper(ch) - 'A' + 10);
    }
    return static_cast<uint8_t>(value);
}

double NumericPrefix(std::string_view text)
{
    // Blanks are ignored wherever they stand, as the classic numeric prefix reader does.
    std::string compact;
    for (char ch : text)
        if (ch != ' ' && ch != '\t' && ch != '\n') compact += ch;

    bool negative = false;
    std::size_t start = 0;
    if (start < compact.size() && (compact[start] == '+' || compact[start] == '-')) negative = compact[start++] == '-';
    auto digitsEnd = [&](std::size_t at) {
        while (at < compact.size() && std::isdigit(static_cast<unsigned char>(compact[at]))) ++at;
        return at;
    };
    std::size_t end = digitsEnd(start);
    bool anyDigit = end > start;
    if (end < compact.size() && compact[end] == '.') {
        const std::size_t fractionEnd = digitsEnd(end + 1);
        anyDigit = anyDigit || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (!anyDigit) return 0;
    std::string number = compact.substr(start, end - start);
    if (end < compact.size() && std::string_view("EeDd").find(compact[end]) != std::string_view::npos) {
        std::size_t exponent = end + 1;
        if (exponent < compact.size() && (compact[exponent] == '+' || compact[exponent] == '-')) ++exponent;
        const std::size_t exponentEnd = digitsEnd(exponent);
        if (exponentEnd > exponent) number += "e" + compact.substr(end + 1, exponentEnd - end - 1);
    }
    // from_chars, not strtod: the decimal point is "." whatever the locale.
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return negative ? -value : value;
}

double RoundedNumber(std::string_view text)
{
    if (!IsNumeric(text)) throw Fault(FaultNo::TypeMismatch);
    return std::nearbyint(NumericPrefix(text));
}

bool IsNumeric(std::string_view text)
{
    static const std::regex number(R"(\s*[+-]?(\d+(\.\d*)?|\.\d+)([eEdD][+-]?\d+)?\s*)");
    return std::regex_match(text.begin(), text.end(), number);
}

}  // namespace UpsLink
