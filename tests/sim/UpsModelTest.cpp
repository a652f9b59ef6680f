// The simulated unit, set up by zentrel-sim's own options: its answers byte for byte, its fault
// knobs and its timing. The program's own code talks to it in the connection and update tests.

#include <gtest/gtest.h>

#include "SimOptions.h"
#include "UpsModel.h"
#include "link/Frame.h"
#include "support/HexBytes.h"

using namespace UpsLink;
using UpsLink::Testing::Bytes;

namespace {

// The model as zentrel-sim would make it from these options (blank-separated).
UpsModelConfig ConfigFrom(const QString& options)
{
    QStringList arguments{"zentrel-sim"};
    arguments << options.split(' ', Qt::SkipEmptyParts);
    SimSettings settings;
    const SimOptionsOutcome outcome = ParseSimOptions(arguments, settings);
    EXPECT_TRUE(outcome.Run) << outcome.Message;
    return settings.Model;
}

std::vector<uint8_t> FrameOf(const std::string& payloadHex)
{
    const std::vector<uint8_t> payload = Bytes(payloadHex);
    return BuildFrame(static_cast<int>(payload.size()), payload);
}

std::string Joined(const std::vector<Emission>& emissions)
{
    std::vector<uint8_t> bytes;
    for (const Emission& e : emissions) bytes.insert(bytes.end(), e.Bytes.begin(), e.Bytes.end());
    return HexBytes(bytes);
}

// The whole answer to one command, as hexadecimal text ("" when the unit stays silent).
std::string AnswerTo(UpsModel& model, const std::string& payloadHex)
{
    return Joined(model.Receive(FrameOf(payloadHex), 1000));
}

}  // namespace

TEST(UpsModel, AnswersEachCommandByteForByte)
{
    const std::pair<std::string, std::string> cases[] = {
        {"FF", ""},
        {"CF 12 34 56", ""},
        {"FF 06 08 62", ""},
        {"40", "AB 10 09 81 07 00 40 A0 36 CE 78 CF FF 8A"},
        {"A0",
         "AB 01 2C 81 01 23 01 0A 00 00 0F 5A 45 4E 54 52 45 4C 20 53 49 4D 20 55 50 53 03 01 02 03 02 04 40 01 01 06 "
         "01 00 02 00 03 00 04 05 00 06 00 07 B1"},
        {"36", "AB 06 02 81 18 01 B3"},
        {"CE 00 FF", "AB 09 05 81 31 00 00 02 05 8E"},
        {"CE FF", "AB 09 04 81 31 00 00 04 92"},
        {"CE 04 FF", "AB 09 04 81 31 00 00 01 95"},
        {"CE 04 01 FF", "AB 09 05 81 31 00 00 02 05 8E"},
        {"CE 07 FF", "AB 09 01 81 35 95"},
        {"78 0D F4 01", "AB 09 01 81 31 99"},
        {"78 0C 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF", "AB 09 01 81 31 99"},
        {"78 00", "AB 09 01 81 31 99"},
        {"78 0D F4", "AB 09 01 81 36 94"},
        {"12", "AB 09 01 81 34 96"},
    };
    for (const auto& [payload, answer] : cases) {
        UpsModel model;
        EXPECT_EQ(AnswerTo(model, payload), answer) << payload;
    }
}

// Each option, shown by a conversation: payloads and the answers to them, in order.
TEST(UpsModel, OptionsShowInTheConversation)
{
    const struct {
        QString options;
        std::vector<std::pair<std::string, std::string>> talk;
    } cases[] = {
        {"--commands 40,A0", {{"40", "AB 10 04 81 02 00 40 A0 DE"}}},
        // Low byte first; 281 after a module select; a module not fitted is refused; 0 is the UPS.
        {"--type 0x8000",
         {{"36", "AB 06 02 81 00 80 4C"},
          {"CE 00 05", "AB 09 01 81 09 C1"},
          {"36", "AB 06 02 81 19 01 B2"},
          {"CE 00 07", "AB 09 01 81 35 95"},
          {"36", "AB 06 02 81 19 01 B2"},
          {"CE 00 00", "AB 09 01 81 09 C1"},
          {"36", "AB 06 02 81 00 80 4C"}}},
        {"--modules 7 --first-hop 6 --second-hop 3 --module-type 290",
         {{"CE 06 FF", "AB 09 04 81 31 00 00 03 93"},
          {"CE 06 01 07", "AB 09 01 81 35 95"},
          {"36", "AB 06 02 81 18 01 B3"},
          {"CE 06 03 07", "AB 09 01 81 09 C1"},
          {"36", "AB 06 02 81 22 01 A9"}}},
        {"--refuse-record 13 --refuse-code 0x37",
         {{"78 0D F4 01", "AB 09 01 81 37 93"}, {"78 0C 01 00", "AB 09 01 81 31 99"}}},
        {"--busy-first 2",
         {{"FF", ""},
          {"78 0D F4 01", "AB 09 01 81 33 97"},
          {"CF 00 00 00", ""},
          {"36", "AB 09 01 81 33 97"},
          {"36", "AB 06 02 81 18 01 B3"}}},
        {"--busy-always", {{"36", "AB 09 01 81 33 97"}, {"40", "AB 09 01 81 33 97"}}},
        {"--silent", {{"40", ""}, {"A0", ""}, {"78 0D F4 01", ""}}},
        {"--bad-checksum 2 --stray-byte 3",
         {{"FF", ""},
          {"36", "AB 06 02 81 18 01 B3"},
          {"36", "AB 06 02 81 18 01 B4"},
          {"36", "00 AB 06 02 81 18 01 B3"},
          {"36", "AB 06 02 81 18 01 B3"}}},
        {"--cut 1000", {{"A0", "AB 01 01 81 01 D1"}}},
        {"--modules " + QString("17,").repeated(137) + "17",
         {{"CE 00 FF", "AB 09 8C 01 31 00 00 " + HexBytes(std::vector<uint8_t>(137, 0x11)) + " 75 AB 09 01 82 11 B8"}}},
    };
    for (const auto& c : cases) {
        UpsModel model(ConfigFrom(c.options));
        for (const auto& [payload, answer] : c.talk)
            EXPECT_EQ(AnswerTo(model, payload), answer) << c.options.toStdString() << ": " << payload;
    }
}

// The identification walk by absolute positions reads back the configured processors, the
// extended rating and the length, and ends on the block's last byte.
TEST(UpsModel, IdentificationBlockWalksBackToItsConfiguration)
{
    const struct {
        QString options;
        std::string cpus;  // minor, major of each entry
        int extendedRating;
        int configLength;
    } cases[] = {
        {"", "23 01", -1, 0x0140},
        {"--cpus= --alarm-map 09 --config-length 0x1234", "", -1, 0x1234},
        {"--cpus 01.02,00.00,00.00,00.00 --rating 0 --extended-rating 0xBEEF --alarm-map 2,3,4 --config-length 255",
         "02 01 00 00 00 00 00 00", 0xBEEF, 0x00FF},
        {"--alarm-map= --config-length 0x0340 --text T --meter-map= --statistics-map 1,2", "23 01", -1, 0x0300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.toStdString());
        UpsModel model(ConfigFrom(c.options));
        const std::vector<uint8_t> sent = Bytes(AnswerTo(model, "A0"));
        const std::vector<uint8_t> data(sent.begin() + 4, sent.end() - 1);

        const std::size_t n = data.at(0);
        EXPECT_EQ(HexBytes({data.begin() + 1, data.begin() + long(2 * n + 1)}), c.cpus);
        const std::size_t shift = data.at(2 * n + 1) == 0 ? 2 : 0;
        if (c.extendedRating >= 0) {
            EXPECT_EQ(data.at(2 * n + 2) + 256 * data.at(2 * n + 3), c.extendedRating);
        }
        const std::size_t p = 2 * n + 5 + shift + data.at(2 * n + 4 + shift);
        const std::size_t q = p + data.at(p) + 1;
        const std::size_t a = data.at(q);
        EXPECT_EQ(data.at(q + a) + 256 * data.at(q + a + 1), c.configLength);
        const std::size_t r = q + a + 2;
        EXPECT_EQ(r + data.at(r) + 1 + 11, data.size() - 1);
    }
}

TEST(UpsModel, AnswerTimingFollowsDelayLatenessStallsAndLineTime)
{
    UpsModel model(ConfigFrom("--answer-delay 20 --late 2000"));
    const std::vector<Emission> first = model.Receive(FrameOf("36"), 100);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_DOUBLE_EQ(first[0].AtMs, 2120);
    // Two frames at once: the second answer waits until the first has left the line.
    std::vector<uint8_t> two = FrameOf("36");
    const std::vector<uint8_t> second = FrameOf("40");
    two.insert(two.end(), second.begin(), second.end());
    const std::vector<Emission> both = model.Receive(two, 10000);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_DOUBLE_EQ(both[0].AtMs, 12020);
    EXPECT_DOUBLE_EQ(both[1].AtMs, 12020 + 7 * ByteTimeMs(19200));

    UpsModel stalling(ConfigFrom("--stall-after 3 --stall 700 --answer-delay 0"));
    stalling.SetBaudRate(9600);
    const std::vector<Emission> answer = stalling.Receive(FrameOf("36"), 50);
    ASSERT_EQ(answer.size(), 2u);
    EXPECT_EQ(HexBytes(answer[0].Bytes) + " | " + HexBytes(answer[1].Bytes), "AB 06 02 | 81 18 01 B3");
    EXPECT_DOUBLE_EQ(answer[0].AtMs, 50);
    EXPECT_DOUBLE_EQ(answer[1].AtMs, 50 + 3 * ByteTimeMs(9600) + 700);
    EXPECT_EQ(HexBytes(stalling.Log().back().Bytes), "AB 06 02 81 18 01 B3");
}

TEST(UpsModel, FramesSplitTogetherAmidNoiseOrWithABadChecksum)
{
    UpsModel model;
    EXPECT_EQ(Joined(model.Receive(Bytes("00 11 AB"), 10)), "");
    EXPECT_EQ(Joined(model.Receive(Bytes("01"), 11)), "");
    EXPECT_EQ(Joined(model.Receive(Bytes("36 1E AB 02 78"), 12)), "AB 06 02 81 18 01 B3");
    EXPECT_EQ(Joined(model.Receive(Bytes("00 DB AB 04 78 0D F4 01 D6"), 13)), "AB 09 01 81 31 99");
    EXPECT_TRUE(model.Eeprom().empty());
    ASSERT_EQ(model.Log().size(), 5u);
    EXPECT_EQ(model.Log()[0].AtMs, 12);
    EXPECT_EQ(std::string() + model.Log()[0].Direction + model.Log()[1].Direction, "><");
    EXPECT_EQ(HexBytes(model.Log()[4].Bytes), "AB 04 78 0D F4 01 D6");
}
