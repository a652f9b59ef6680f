#include <gtest/gtest.h>

#include "UpsModel.h"
#include "link/Frame.h"
#include "support/HexBytes.h"

using namespace UpsLink;
using UpsLink::Testing::Bytes;
using UpsLink::Testing::Hex;

namespace {

std::vector<uint8_t> FrameOf(const std::string& payloadHex)
{
    const std::vector<uint8_t> payload = Bytes(payloadHex);
    return BuildFrame(static_cast<int>(payload.size()), payload);
}

std::string Joined(const std::vector<Emission>& emissions)
{
    std::vector<uint8_t> bytes;
    for (const Emission& e : emissions) bytes.insert(bytes.end(), e.Bytes.begin(), e.Bytes.end());
    return Hex(bytes);
}

// The whole answer to one command, as hexadecimal text ("" when the unit stays silent).
std::string AnswerTo(UpsModel& model, const std::string& payloadHex, double nowMs = 1000)
{
    return Joined(model.Receive(FrameOf(payloadHex), nowMs));
}

// The program's walk over the identification block by absolute positions: the configuration
// block length read back, and the index of the last trailing field (V + 11).
struct Walked {
    int ConfigBlockLength;
    std::size_t LastField;
};

Walked Walk(const std::vector<uint8_t>& data)
{
    const std::size_t n = data.at(0);
    const std::size_t shift = data.at(2 * n + 1) == 0 ? 2 : 0;
    const std::size_t p = 2 * n + 5 + shift + data.at(2 * n + 4 + shift);
    const std::size_t q = p + data.at(p) + 1;
    const std::size_t a = data.at(q);
    const int length = data.at(q + a) + 256 * data.at(q + a + 1);
    const std::size_t r = q + a + 2;
    const std::size_t v = r + data.at(r) + 1;
    return {length, v + 11};
}

std::vector<uint8_t> DataOf(const std::string& replyHex)
{
    std::vector<uint8_t> bytes = Bytes(replyHex);
    return {bytes.begin() + 4, bytes.end() - 1};
}

}  // namespace

TEST(UpsModel, AnswersEachCommandByteForByte)
{
    const struct {
        std::string payload;
        std::string answer;
    } cases[] = {
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
        {"CE 04 02 FF", "AB 09 01 81 35 95"},
        {"78 0D F4 01", "AB 09 01 81 31 99"},
        {"78 0C 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF", "AB 09 01 81 31 99"},
        {"78 00", "AB 09 01 81 31 99"},
        {"78 0D F4", "AB 09 01 81 36 94"},
        {"12", "AB 09 01 81 34 96"},
        {"", "AB 09 01 81 34 96"},
    };
    for (const auto& c : cases) {
        UpsModel model;
        EXPECT_EQ(AnswerTo(model, c.payload), c.answer) << c.payload;
    }
}

TEST(UpsModel, CommandListCarriesTheConfiguredCodesFromIndexTwo)
{
    UpsModel model;
    model.Config().Commands = {0x40, 0xA0};
    EXPECT_EQ(AnswerTo(model, "40"), "AB 10 04 81 02 00 40 A0 DE");
}

TEST(UpsModel, TypeCodeLowByteFirstAndModuleTypeAfterSelect)
{
    UpsModel model;
    model.Config().TypeCode = 32768;
    EXPECT_EQ(Hex(DataOf(AnswerTo(model, "36"))), "00 80");
    EXPECT_EQ(AnswerTo(model, "CE 00 05"), "AB 09 01 81 09 C1");
    EXPECT_EQ(model.SelectedModule(), 5);
    EXPECT_EQ(Hex(DataOf(AnswerTo(model, "36"))), "19 01");
    // A module not fitted is refused and the link stays where it was.
    EXPECT_EQ(AnswerTo(model, "CE 00 07"), "AB 09 01 81 35 95");
    EXPECT_EQ(model.SelectedModule(), 5);
    // Module 0 is the UPS itself.
    EXPECT_EQ(AnswerTo(model, "CE 00 00"), "AB 09 01 81 09 C1");
    EXPECT_EQ(Hex(DataOf(AnswerTo(model, "36"))), "00 80");
}

TEST(UpsModel, PathSelectNeedsBothHops)
{
    UpsModel model;
    model.Config().Modules = {7};
    EXPECT_EQ(AnswerTo(model, "CE 04 02 07"), "AB 09 01 81 35 95");
    EXPECT_EQ(model.SelectedModule(), 0);
    EXPECT_EQ(AnswerTo(model, "CE 04 01 07"), "AB 09 01 81 09 C1");
    EXPECT_EQ(model.SelectedModule(), 7);
}

TEST(UpsModel, IdentificationBlockWalksBackToItsConfiguration)
{
    const struct {
        std::string name;
        std::vector<CpuEntry> cpus;
        uint8_t rating;
        std::string text;
        std::vector<uint8_t> meters, alarms, statistics;
        uint16_t configLength;
        int expectedLength;
    } cases[] = {
        {"defaults", {{0x23, 0x01}}, 10, "ZENTREL SIM UPS", {1, 2, 3}, {4, 5}, {6}, 0x0140, 0x0140},
        {"no processors", {}, 10, "X", {}, {9}, {}, 0x1234, 0x1234},
        {"four processors", {{2, 1}, {0, 0}, {0, 0}, {0, 0}}, 10, "", {1}, {2, 3, 4}, {5, 6}, 0x00FF, 0x00FF},
        {"rating zero", {{0x23, 0x01}}, 0, "AB", {1, 2}, {3}, {4, 5, 6}, 0x7FFF, 0x7FFF},
        {"no alarms: only the high byte comes back", {{1, 1}}, 10, "T", {1}, {}, {2}, 0x0340, 0x0300},
        {"long maps",
         {{1, 1}},
         10,
         std::string(200, 'x'),
         std::vector<uint8_t>(100, 1),
         std::vector<uint8_t>(50, 2),
         std::vector<uint8_t>(30, 3),
         0x0101,
         0x0101},
    };
    for (const auto& c : cases) {
        UpsModel model;
        UpsModelConfig& config = model.Config();
        config.Cpus = c.cpus;
        config.Rating = c.rating;
        config.ExtendedRating = 0xBEEF;
        config.Text = c.text;
        config.MeterMap = c.meters;
        config.AlarmMap = c.alarms;
        config.StatisticsMap = c.statistics;
        config.ConfigBlockLength = c.configLength;
        model.Receive(FrameOf("A0"), 0);
        const std::vector<uint8_t> sent = model.Log().back().Bytes;
        // Reassemble the blocks whole.
        std::vector<uint8_t> data;
        for (std::size_t p = 0; p < sent.size(); p += sent[p + 2] + 5u)
            data.insert(data.end(), sent.begin() + static_cast<std::ptrdiff_t>(p + 4),
                        sent.begin() + static_cast<std::ptrdiff_t>(p + 4 + sent[p + 2]));
        const Walked walked = Walk(data);
        EXPECT_EQ(walked.ConfigBlockLength, c.expectedLength) << c.name;
        EXPECT_EQ(walked.LastField, data.size() - 1) << c.name;
        EXPECT_EQ(data.at(0), c.cpus.size()) << c.name;
        for (std::size_t k = 0; k < c.cpus.size(); ++k) {
            EXPECT_EQ(data.at(2 * k + 1), c.cpus[k].Minor) << c.name;
            EXPECT_EQ(data.at(2 * k + 2), c.cpus[k].Major) << c.name;
        }
        if (c.rating == 0) {
            EXPECT_EQ(Hex({data.at(2 * c.cpus.size() + 2), data.at(2 * c.cpus.size() + 3)}), "EF BE") << c.name;
        }
    }
}

TEST(UpsModel, IdentificationCutDropsBytesFromTheEnd)
{
    UpsModel whole;
    const std::vector<uint8_t> full = DataOf(AnswerTo(whole, "A0"));
    UpsModel cut;
    cut.Config().IdentificationCut = 1;
    const std::vector<uint8_t> shorter = DataOf(AnswerTo(cut, "A0"));
    ASSERT_EQ(shorter.size() + 1, full.size());
    EXPECT_TRUE(std::equal(shorter.begin(), shorter.end(), full.begin()));
    UpsModel all;
    all.Config().IdentificationCut = 1000;
    EXPECT_EQ(AnswerTo(all, "A0"), "AB 01 01 81 01 D1");
}

TEST(UpsModel, LongDataGoesOutInNumberedBlocks)
{
    UpsModel model;
    model.Config().Modules.assign(200, 0x11);
    const std::vector<uint8_t> sent = Bytes(AnswerTo(model, "CE 00 FF"));
    ASSERT_EQ(sent.size(), 145u + 68u);
    EXPECT_EQ(Hex({sent.begin(), sent.begin() + 8}), "AB 09 8C 01 31 00 00 11");
    EXPECT_EQ(Hex({sent.begin() + 145, sent.begin() + 149}), "AB 09 3F 82");
    for (std::size_t start : {0u, 145u}) {
        unsigned sum = 0;
        for (std::size_t i = start; i < start + sent[start + 2] + 5u; ++i) sum += sent[i];
        EXPECT_EQ(sum % 256, 0u) << start;
    }
}

TEST(UpsModel, RecordWritesKeptInTheEepromAndEndCounted)
{
    UpsModel model;
    AnswerTo(model, "78 0C 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF");
    AnswerTo(model, "78 0D F4 01");
    AnswerTo(model, "78 0D 05 00");
    AnswerTo(model, "78 00");
    AnswerTo(model, "78 00");
    ASSERT_EQ(model.Eeprom().size(), 2u);
    EXPECT_EQ(Hex(model.Eeprom().at(12)), "00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF");
    EXPECT_EQ(Hex(model.Eeprom().at(13)), "05 00");
    EXPECT_EQ(model.EndCount(), 2);
}

TEST(UpsModel, RefusedRecordAnswersItsCodeAndIsNotKept)
{
    const struct {
        uint8_t code;
        std::string answer;
    } cases[] = {{0x34, "AB 09 01 81 34 96"},
                 {0x35, "AB 09 01 81 35 95"},
                 {0x36, "AB 09 01 81 36 94"},
                 {0x37, "AB 09 01 81 37 93"}};
    for (const auto& c : cases) {
        UpsModel model;
        model.Config().RefuseRecord = 13;
        model.Config().RefuseCode = c.code;
        EXPECT_EQ(AnswerTo(model, "78 0D F4 01"), c.answer);
        EXPECT_TRUE(model.Eeprom().empty());
        EXPECT_EQ(AnswerTo(model, "78 0C 01 00"), "AB 09 01 81 31 99");
    }
}

TEST(UpsModel, BusyForTheFirstFramesThatWantAnAnswer)
{
    UpsModel model;
    model.Config().BusyFirstFrames = 2;
    EXPECT_EQ(AnswerTo(model, "FF"), "");
    EXPECT_EQ(AnswerTo(model, "78 0D F4 01"), "AB 09 01 81 33 97");
    EXPECT_EQ(AnswerTo(model, "CF 00 00 00"), "");
    EXPECT_EQ(AnswerTo(model, "78 0D F4 01"), "AB 09 01 81 33 97");
    EXPECT_TRUE(model.Eeprom().empty());
    EXPECT_EQ(AnswerTo(model, "78 0D F4 01"), "AB 09 01 81 31 99");
    EXPECT_EQ(model.Eeprom().size(), 1u);
}

TEST(UpsModel, BusyAlwaysAndSilent)
{
    UpsModel busy;
    busy.Config().BusyAlways = true;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(AnswerTo(busy, "36"), "AB 09 01 81 33 97");

    UpsModel silent;
    silent.Config().Silent = true;
    for (const char* payload : {"40", "A0", "36", "CE 00 FF", "78 00"}) EXPECT_EQ(AnswerTo(silent, payload), "");
    EXPECT_EQ(silent.ReceivedPayloads().size(), 5u);
    EXPECT_EQ(silent.EndCount(), 0);
}

TEST(UpsModel, AnswerTimingFollowsDelayLatenessAndLineTime)
{
    UpsModel model;
    model.Config().AnswerDelayMs = 20;
    model.Config().LateMs = 2000;
    model.SetBaudRate(19200);
    std::vector<Emission> first = model.Receive(FrameOf("36"), 100);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_DOUBLE_EQ(first[0].AtMs, 2120);
    // Two frames at once: the second answer waits until the first has left the line.
    std::vector<uint8_t> two = FrameOf("36");
    const std::vector<uint8_t> second = FrameOf("40");
    two.insert(two.end(), second.begin(), second.end());
    std::vector<Emission> both = model.Receive(two, 10000);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_DOUBLE_EQ(both[0].AtMs, 12020);
    EXPECT_DOUBLE_EQ(both[1].AtMs, 12020 + 7 * ByteTimeMs(19200));
}

TEST(UpsModel, StallSplitsTheAnswerInTwo)
{
    UpsModel model;
    model.Config().StallAfterBytes = 3;
    model.Config().StallMs = 700;
    model.Config().AnswerDelayMs = 0;
    model.SetBaudRate(9600);
    const std::vector<Emission> answer = model.Receive(FrameOf("36"), 50);
    ASSERT_EQ(answer.size(), 2u);
    EXPECT_EQ(Hex(answer[0].Bytes), "AB 06 02");
    EXPECT_EQ(Hex(answer[1].Bytes), "81 18 01 B3");
    EXPECT_DOUBLE_EQ(answer[0].AtMs, 50);
    EXPECT_DOUBLE_EQ(answer[1].AtMs, 50 + 3 * ByteTimeMs(9600) + 700);
    EXPECT_EQ(Hex(model.Log().back().Bytes), "AB 06 02 81 18 01 B3");
}

TEST(UpsModel, BadChecksumAndStrayByteOnTheChosenReply)
{
    UpsModel model;
    model.Config().BadChecksumReply = 2;
    model.Config().StrayByteReply = 3;
    EXPECT_EQ(AnswerTo(model, "FF"), "");
    EXPECT_EQ(AnswerTo(model, "36"), "AB 06 02 81 18 01 B3");
    EXPECT_EQ(AnswerTo(model, "36"), "AB 06 02 81 18 01 B4");
    EXPECT_EQ(AnswerTo(model, "36"), "00 AB 06 02 81 18 01 B3");
    EXPECT_EQ(AnswerTo(model, "36"), "AB 06 02 81 18 01 B3");
}

TEST(UpsModel, FramesSplitOrTogetherOrAmidNoise)
{
    UpsModel model;
    EXPECT_EQ(Joined(model.Receive(Bytes("00 11 AB"), 10)), "");
    EXPECT_EQ(Joined(model.Receive(Bytes("01"), 11)), "");
    EXPECT_EQ(Joined(model.Receive(Bytes("36 1E AB 02 78"), 12)), "AB 06 02 81 18 01 B3");
    EXPECT_EQ(Joined(model.Receive(Bytes("00 DB"), 13)), "AB 09 01 81 31 99");
    ASSERT_EQ(model.ReceivedPayloads().size(), 2u);
    EXPECT_EQ(Hex(model.ReceivedPayloads()[0]), "36");
    EXPECT_EQ(Hex(model.ReceivedPayloads()[1]), "78 00");
    EXPECT_DOUBLE_EQ(model.Log()[0].AtMs, 12);
}

TEST(UpsModel, FrameWithBadChecksumIsLoggedButNotAnswered)
{
    UpsModel model;
    EXPECT_EQ(Joined(model.Receive(Bytes("AB 01 36 1F"), 10)), "");
    EXPECT_EQ(Joined(model.Receive(Bytes("AB 04 78 0D F4 01 D6"), 20)), "");
    EXPECT_TRUE(model.Eeprom().empty());
    EXPECT_EQ(Joined(model.Receive(Bytes("AB 01 36 1E"), 30)), "AB 06 02 81 18 01 B3");
    ASSERT_EQ(model.Log().size(), 4u);
    EXPECT_EQ(Hex(model.Log()[0].Bytes), "AB 01 36 1F");
    EXPECT_EQ(model.Log()[0].Direction, '>');
    EXPECT_EQ(model.Log()[3].Direction, '<');
}
