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

TEST(SimOptions, DefaultsAreTheModelsOwn)
{
    const SimSettings settings = Parsed({});
    const UpsModelConfig defaults;
    EXPECT_EQ(settings.Model.TypeCode, defaults.TypeCode);
    EXPECT_EQ(Hex(settings.Model.Commands), Hex(defaults.Commands));
    EXPECT_EQ(settings.BaudRate, 19200);
    EXPECT_TRUE(settings.LogPath.empty());
}

TEST(SimOptions, EveryOptionReachesTheModel)
{
    const SimSettings s = Parsed({"--type",
                                  "0x8000",
                                  "--module-type",
                                  "290",
                                  "--commands",
                                  "40,a0,36",
                                  "--modules",
                                  "1,2,255",
                                  "--first-hop",
                                  "4",
                                  "--second-hop",
                                  "0x01",
                                  "--cpus",
                                  "01.23,3A.00",
                                  "--rating",
                                  "0",
                                  "--extended-rating",
                                  "1000",
                                  "--text",
                                  "UNIT",
                                  "--meter-map",
                                  "1,2",
                                  "--alarm-map",
                                  "",
                                  "--config-length",
                                  "512",
                                  "--statistics-map",
                                  "FF",
                                  "--cut",
                                  "3",
                                  "--busy-first",
                                  "2",
                                  "--busy-always",
                                  "--silent",
                                  "--late",
                                  "2000",
                                  "--stall-after",
                                  "5",
                                  "--stall",
                                  "700.5",
                                  "--bad-checksum",
                                  "4",
                                  "--stray-byte",
                                  "5",
                                  "--refuse-record",
                                  "13",
                                  "--refuse-code",
                                  "0x37",
                                  "--answer-delay",
                                  "0",
                                  "--baud",
                                  "9600",
                                  "--log",
                                  "a.log",
                                  "--eeprom",
                                  "e.txt"});
    const UpsModelConfig& m = s.Model;
    EXPECT_EQ(m.TypeCode, 32768);
    EXPECT_EQ(m.ModuleTypeCode, 290);
    EXPECT_EQ(Hex(m.Commands), "40 A0 36");
    EXPECT_EQ(Hex(m.Modules), "01 02 FF");
    EXPECT_EQ(m.FirstHop, 4);
    EXPECT_EQ(m.SecondHop, 1);
    ASSERT_EQ(m.Cpus.size(), 2u);
    EXPECT_EQ(m.Cpus[0].Major, 0x01);
    EXPECT_EQ(m.Cpus[0].Minor, 0x23);
    EXPECT_EQ(m.Cpus[1].Major, 0x3A);
    EXPECT_EQ(m.Cpus[1].Minor, 0x00);
    EXPECT_EQ(m.Rating, 0);
    EXPECT_EQ(m.ExtendedRating, 1000);
    EXPECT_EQ(m.Text, "UNIT");
    EXPECT_EQ(Hex(m.MeterMap), "01 02");
    EXPECT_TRUE(m.AlarmMap.empty());
    EXPECT_EQ(m.ConfigBlockLength, 512);
    EXPECT_EQ(Hex(m.StatisticsMap), "FF");
    EXPECT_EQ(m.IdentificationCut, 3);
    EXPECT_EQ(m.BusyFirstFrames, 2);
    EXPECT_TRUE(m.BusyAlways);
    EXPECT_TRUE(m.Silent);
    EXPECT_EQ(m.LateMs, 2000);
    EXPECT_EQ(m.StallAfterBytes, 5);
    EXPECT_EQ(m.StallMs, 700.5);
    EXPECT_EQ(m.BadChecksumReply, 4);
    EXPECT_EQ(m.StrayByteReply, 5);
    EXPECT_EQ(m.RefuseRecord, 13);
    EXPECT_EQ(m.RefuseCode, 0x37);
    EXPECT_EQ(m.AnswerDelayMs, 0);
    EXPECT_EQ(s.BaudRate, 9600);
    EXPECT_EQ(s.LogPath, "a.log");
    EXPECT_EQ(s.EepromPath, "e.txt");
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
