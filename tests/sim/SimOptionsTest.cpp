#include <gtest/gtest.h>

#include "SimFiles.h"
#include "SimOptions.h"
#include "support/HexBytes.h"

using namespace UpsLink;
using UpsLink::Testing::Hex;

namespace {

SimSettings Parsed(QStringList options)
{
    options.prepend(QStringLiteral("zentrel-sim"));
    SimSettings settings;
    const SimOptionsOutcome outcome = ParseSimOptions(options, settings);
    EXPECT_TRUE(outcome.Run) << outcome.Message;
    return settings;
}

std::string Refusal(QStringList options)
{
    options.prepend(QStringLiteral("zentrel-sim"));
    SimSettings settings;
    const SimOptionsOutcome outcome = ParseSimOptions(options, settings);
    EXPECT_FALSE(outcome.Run);
    EXPECT_EQ(outcome.ExitCode, 2);
    return outcome.Message;
}

}  // namespace

// The options of the model itself are shown at work in the model's tests.
TEST(SimOptions, LineAndFileOptions)
{
    const SimSettings defaults = Parsed({});
    EXPECT_EQ(defaults.BaudRate, 19200);
    EXPECT_TRUE(defaults.LogPath.empty() && defaults.EepromPath.empty());
    const SimSettings s = Parsed({"--baud", "9600", "--log", "a.log", "--eeprom", "e.txt"});
    EXPECT_EQ(s.BaudRate, 9600);
    EXPECT_EQ(s.LogPath + " " + s.EepromPath, "a.log e.txt");
}

TEST(SimOptions, BadValuesAreRefusedWithTheReason)
{
    const struct {
        QStringList options;
        std::string message;
    } cases[] = {
        {{"--type", "-1"}, "--type wants a number from 0 to 65535, not \"-1\""},
        {{"--type", "28O"}, "--type wants a number from 0 to 65535, not \"28O\""},
        {{"--modules", "2,256"}, "--modules wants a number from 0 to 255, not \"256\""},
        {{"--cpus", "0123"}, "--cpus wants entries such as 01.23, not \"0123\""},
        {{"--meter-map", "100"}, "--meter-map wants hexadecimal bytes such as 40,A0, not \"100\""},
        {{"--refuse-code", "0x38"}, "--refuse-code wants a number from 52 to 55, not \"0x38\""},
        {{"--late", "-5"}, "--late wants milliseconds from 0 to 3600000, not \"-5\""},
        {{"--stall-after", "3"}, "--stall and --stall-after go together"},
        {{"extra"}, "unexpected argument \"extra\""},
    };
    for (const auto& c : cases) EXPECT_EQ(Refusal(c.options), c.message) << c.options.join(' ').toStdString();
}

TEST(SimFiles, FrameLogLineAndEepromText)
{
    EXPECT_EQ(FrameLogLine(43200.1234, '>', {0xAB, 0x01, 0xFF, 0x55}),
              R"({"t": 43200.123, "dir": ">", "hex": "AB 01 FF 55"})");
    EXPECT_EQ(FrameLogLine(5, '<', {}), R"({"t": 5.000, "dir": "<", "hex": ""})");
    EXPECT_EQ(EepromText({{13, {0xF4, 0x01}}, {2, {0x00, 0xFF}}}), "2: 00 FF\n13: F4 01\n");
}
