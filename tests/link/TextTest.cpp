#include <gtest/gtest.h>

#include "common/Fault.h"
#include "common/Globals.h"
#include "common/Text.h"

using namespace UpsLink;

TEST(PadToWidth, PadsThenCuts)
{
    const struct {
        std::string text;
        int width;
        std::string expected;
    } cases[] = {{"A", 2, "0A"}, {"", 2, "00"}, {"123", 2, "12"}, {"1F4", 4, "01F4"}, {"00FF", 4, "00FF"},
                 {"12345", 32, std::string(27, '0') + "12345"}, {std::string(40, 'F'), 32, std::string(32, 'F')}};
    for (const auto& c : cases) EXPECT_EQ(PadToWidth(c.text, c.width), c.expected) << c.text << " " << c.width;
}

TEST(HexText, UpperCaseWithoutLeadingZeros)
{
    EXPECT_EQ(HexText(0), "0");
    EXPECT_EQ(HexText(10), "A");
    EXPECT_EQ(HexText(255), "FF");
    EXPECT_EQ(HexText(280), "118");
}

TEST(HexPairValue, SkipsBlanksAndStopsAtNonDigit)
{
    const struct {
        std::string text;
        int expected;
    } cases[] = {{"F4", 0xF4}, {"f4", 0xF4}, {"5G", 5}, {"G5", 0}, {" 7", 7}, {"\t\nA", 10}, {"", 0}, {"00", 0},
                 {"FF", 255}};
    for (const auto& c : cases) EXPECT_EQ(HexPairValue(c.text), c.expected) << '"' << c.text << '"';
}

TEST(NumericPrefix, ReadsTheLeadingDecimalNumber)
{
    const struct {
        std::string text;
        double expected;
    } cases[] = {{"12 UPS.pp", 12}, {"012a.pp", 12}, {"UPS12.pp", 0}, {"  280_config.pp", 280}, {"1 2 3", 123},
                 {"-5x", -5},     {"2.5e1z", 25},  {"3.75.pp", 3.75},   {"", 0},        {".", 0}, {"7e", 7}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(NumericPrefix(c.text), c.expected) << '"' << c.text << '"';
}

TEST(IsNumeric, AcceptsTheClassicNumberForms)
{
    for (const char* yes : {"1", " 19200 ", "+3", "-4", "9.6e3", "1.", ".5", "2D2"}) EXPECT_TRUE(IsNumeric(yes)) << yes;
    for (const char* no : {"", " ", "1a", "e3", "1 2", "0x10", "."}) EXPECT_FALSE(IsNumeric(no)) << no;
}

TEST(Fault, LineCarriesNumberDescriptionSeparatorAndMark)
{
    EXPECT_EQ(FaultLine(Fault(FaultNo::DeviceNotOpen), " ", 5), "8012 The device is not open 5");
    EXPECT_EQ(FaultLine(Fault(FaultNo::SubscriptOutOfRange), "", 35), "9 Subscript out of range35");
    EXPECT_THROW(ToInt16(32768), Fault);
    EXPECT_EQ(ToInt16(-32768), -32768);
    std::vector<int> three(3);
    EXPECT_THROW(At(three, 3), Fault);
    EXPECT_THROW(At(three, -1), Fault);
}

TEST(InitGlobals, EveryGlobalHoldsItsStartValue)
{
    UpsType = 5;
    Connected = true;
    RxBuffer[7] = 1;
    ReplyData = {1, 2, 3};
    ModulePath = {0, 4, 1};
    CpuVersion[4] = 1.02F;
    SelectedModule = "7";
    ReplyTimeout = 6;
    InitGlobals();

    EXPECT_FALSE(Connected);
    EXPECT_EQ(UpsType, 0);
    EXPECT_EQ(SelectedModule, "0");
    EXPECT_EQ(ReplyTimeout, 3);
    EXPECT_EQ(ConfigBlockLength, 0);
    EXPECT_EQ(ConfigFileNumber, 0);
    EXPECT_EQ(FileImage, std::vector<uint8_t>{0});
    EXPECT_EQ(ModulePath, std::vector<int16_t>{0});
    EXPECT_EQ(ReplyData, std::vector<uint8_t>{0});
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(CpuVersion[i], 0.0F);
    for (uint8_t b : RxBuffer) ASSERT_EQ(b, 0);
    const std::string key(FileKey.begin(), FileKey.end());
    EXPECT_EQ(key, "K1n4jolt7");
    EXPECT_EQ(BaudRate, "19200");
    EXPECT_EQ(Parity, "N");
    EXPECT_EQ(DataBits, 8);
    EXPECT_EQ(StopBits, 1);
    EXPECT_EQ(PortNumber, "1");
}
