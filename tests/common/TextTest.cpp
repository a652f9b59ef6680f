#include <gtest/gtest.h>

#include "common/Fault.h"
#include "common/Text.h"

using namespace UpsLink;

TEST(Text, PadHexAndNumberReaders)
{
    const std::tuple<std::string, int, std::string> pads[] = {
        {"A", 2, "0A"}, {"", 2, "00"}, {"123", 2, "12"}, {"1F4", 4, "01F4"}, {std::string(40, 'F'), 32, std::string(32, 'F')}};
    for (const auto& [in, width, out] : pads) EXPECT_EQ(PadToWidth(in, width), out) << in;
    for (const auto& [value, text] : {std::pair<uint64_t, std::string>{0, "0"}, {10, "A"}, {280, "118"}})
        EXPECT_EQ(HexText(value), text);
    const std::pair<std::string, int> pairs[] = {{"F4", 0xF4}, {"f4", 0xF4}, {"5G", 5}, {"G5", 0}, {"\t\n 7", 7}, {"", 0}};
    for (const auto& [text, value] : pairs) EXPECT_EQ(HexPairValue(text), value) << '"' << text << '"';
    const std::pair<std::string, double> prefixes[] = {{"12 UPS.pp", 12}, {"UPS12.pp", 0}, {"  280_config.pp", 280},
                                                       {"1 2 3", 123},    {"-5x", -5},     {"2.5e1z", 25},
                                                       {"3.75.pp", 3.75}, {".", 0},        {"7e", 7}};
    for (const auto& [text, value] : prefixes) EXPECT_DOUBLE_EQ(NumericPrefix(text), value) << '"' << text << '"';
}

TEST(Text, RoundedNumberHalvesToEvenAndRefusesWhatIsNoNumber)
{
    const std::tuple<std::string, double, int> numbers[] = {  // text, value, fault
        {"2.5", 2, 0}, {"3.5", 4, 0}, {" 7 ", 7, 0}, {"-0.4", 0, 0}, {"1E2", 100, 0}, {"1E999", 0, 0},
        {"", 0, 13},   {"x1", 0, 13}, {"1x", 0, 13}, {" ", 0, 13}};
    for (const auto& [text, value, fault] : numbers) {
        try {
            EXPECT_EQ(RoundedNumber(text), value) << text;
            EXPECT_EQ(fault, 0) << text;
        } catch (const Fault& raised) {
            EXPECT_EQ(raised.Number, fault) << text;
        }
    }
}

TEST(Fault, LineHasNumberDescriptionSeparatorAndMark)
{
    const std::pair<Mark, std::string> lines[] = {{Mark::SendCommand, "8012 The device is not open 5"},
                                                  {Mark::GetReplyCode, "8012 The device is not open35"},
                                                  {Mark::GetAckCode, "8012 The device is not open3"},
                                                  {Mark::Main, "8012 Start: The device is not open 1"}};
    for (const auto& [mark, line] : lines) EXPECT_EQ(FaultLine(Fault(FaultNo::DeviceNotOpen), mark), line);
}
