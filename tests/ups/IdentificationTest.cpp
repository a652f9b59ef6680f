#include <gtest/gtest.h>

#include "ScriptedUnit.h"
#include "SimBench.h"
#include "common/Globals.h"
#include "link/PortControl.h"
#include "ups/Identification.h"
#include "ups/Replies.h"

using namespace UpsLink;

namespace {

// The seven trailing fields: a byte each at V, V + 2, V + 4, V + 6, V + 7, V + 9 and V + 11.
const std::vector<uint8_t> Trailing{0xA1, 0, 0xA2, 0, 0xA3, 0, 0xA4, 0xA5, 0, 0xA6, 0, 0xA7};

std::vector<uint8_t> operator+(std::vector<uint8_t> head, const std::vector<uint8_t>& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

std::vector<uint8_t> WithoutLast(std::vector<uint8_t> bytes)
{
    bytes.pop_back();
    return bytes;
}

// Identification blocks written out byte by byte at their absolute positions.
const std::vector<uint8_t> NoProcessors = std::vector<uint8_t>{0x00,              // 0: N
                                                               0x0A, 0x00, 0x00,  // 1: rating, 2-3 stepped over
                                                               0x01, 'X',         // 4: T, text
                                                               0x00,              // 6: M
                                                               0x01, 0x40,        // 7: A, alarm byte = length low
                                                               0x01,              // 9: length high
                                                               0x00} +            // 10: S, V = 11
                                          Trailing;
const std::vector<uint8_t> FourProcessors =
    std::vector<uint8_t>{0x04, 0x02, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // N, four entries
                         0x0A, 0x00, 0x00,                                      // 9: rating
                         0x00,                                                  // 12: T
                         0x00,                                                  // 13: M
                         0x00,                                                  // 14: A = 0, also length low
                         0x02,                                                  // 15: length high
                         0x00} +                                                // 16: S, V = 17
    Trailing;
const std::vector<uint8_t> SixProcessors = std::vector<uint8_t>{0x06, 0x99, 0x09, 0x05, 0x02, 0x00, 0x03, 0x10, 0x00,
                                                                0x00, 0x3A, 0x01, 0x01, 0x0A, 0x00, 0x00,  // 13: rating
                                                                0x00,                                      // 16: T
                                                                0x00,                                      // 17: M
                                                                0x01, 0x34,  // 18: A, length low
                                                                0x12,        // 20: length high
                                                                0x02, 0x00, 0x00}
                                           // 21: S and two statistics bytes, V = 24
                                           + Trailing;
const std::vector<uint8_t> ZeroRating =
    std::vector<uint8_t>{0x01, 0x23, 0x01,              // N, one entry
                         0x00, 0xFF, 0xFF, 0x00, 0x00,  // 3: rating 0, extended rating, stepped over
                         0x02, 'A',  'B',               // 8: T, text
                         0x01, 0x07,                    // 11: M, meter map
                         0x02, 0x05, 0x40,              // 13: A, alarm map, length low
                         0x01,                          // 16: length high
                         0x00} +                        // 17: S, V = 18
    Trailing;

// NoProcessors with another configuration block length.
std::vector<uint8_t> WithLength(uint8_t low, uint8_t high)
{
    std::vector<uint8_t> block = NoProcessors;
    block[8] = low;
    block[9] = high;
    return block;
}

struct IdentificationBench : SimBench<ScriptedUnit> {
    IdentificationBench() { OpenPort(); }

    // The access request goes unanswered; the identification request gets this block.
    void AnswerIdentification(const std::vector<uint8_t>& block)
    {
        unit.ThenSilence();
        unit.Then(Answer(1, block));
    }
};

}  // namespace

TEST(Identification, WalksTheBlockByAbsolutePositions)
{
    const struct {
        const char* name;
        std::vector<uint8_t> block;
        bool accepted;
        std::array<float, 6> versions;
        int configBlockLength;
        std::vector<std::string> board;
    } cases[] = {
        {"no processors", NoProcessors, true, {0, 0, 0, 0, 0, 0}, 0x0140, {}},
        {"four, first 02 01", FourProcessors, true, {0, 0, 0, 0, 1.02F, 0}, 0x0200, {}},
        {"six, first dropped", SixProcessors, true, {0, 1.01F, 310.0F, 0.10F, 3.0F, 2.05F}, 0x1234, {}},
        {"rating 0", ZeroRating, true, {0, 1.23F, 0, 0, 0, 0}, 0x0140, {}},
        {"ends one short of V + 11", WithoutLast(NoProcessors), false, {}, 0x0140, {"9 Subscript out of range 9"}},
        {"text runs past the end",
         std::vector<uint8_t>{0x00, 0x0A, 0x00, 0x00, 0x30, 1, 2, 3},
         false,
         {},
         0,
         {"9 Subscript out of range 9"}},
        {"length of 32768", WithLength(0x00, 0x80), false, {}, 0, {"6 Overflow 9"}},
        {"length of 0", WithLength(0, 0), true, {}, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IdentificationBench bench;
        CpuVersion.fill(9.0F);
        bench.AnswerIdentification(c.block);

        EXPECT_EQ(ReadIdentification(), c.accepted);
        EXPECT_EQ(bench.shell.Board, c.board);
        if (c.accepted) {
            for (int i = 1; i <= 5; ++i) EXPECT_FLOAT_EQ(CpuVersion[i], c.versions[i]) << i;
            EXPECT_EQ(ConfigBlockLength, c.configBlockLength);
        }
    }
}

TEST(Identification, AccessRequestPrecedesTheIdentificationRequest)
{
    IdentificationBench bench;
    bench.AnswerIdentification(NoProcessors);
    ASSERT_TRUE(ReadIdentification());

    const auto writes = bench.port.Writes();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(WrittenPayloads(bench.port),
              (std::vector<std::vector<uint8_t>>{{0xCF, AccessCode[0], AccessCode[1], AccessCode[2]}, {0xA0}}));
    // The 500 ms after the unanswered frame, then the 100 ms pause.
    EXPECT_NEAR(writes[1].AtMs - writes[0].AtMs, 600, 1);
}

TEST(Identification, NoAnswerIsFalseWithoutALine)
{
    IdentificationBench bench;
    EXPECT_FALSE(ReadIdentification());
    EXPECT_TRUE(bench.shell.Board.empty());
    // CF once, A0 six times.
    EXPECT_EQ(bench.port.Writes().size(), 7u);
}

TEST(Identification, VersionDigitsAreTheTwoNibblesInDecimal)
{
    const struct {
        uint8_t b;
        const char* high;
        const char* low;
    } cases[] = {{0x00, "0", "0"}, {0x3A, "3", "10"}, {0xFF, "15", "15"}, {0x90, "9", "0"}, {0x0F, "0", "15"}};
    for (const auto& c : cases) {
        EXPECT_EQ(HighDigit(c.b), c.high) << int(c.b);
        EXPECT_EQ(LowDigit(c.b), c.low) << int(c.b);
    }
}

TEST(ReadUpsType, TypeCodeOnlyAfterAWalkedBlockWithALength)
{
    const std::vector<uint8_t> type280{0x18, 0x01};
    const struct {
        const char* name;
        std::vector<uint8_t> block;
        std::vector<uint8_t> typeData;
        int expected;
        std::vector<std::string> board;
        std::size_t writes;
    } cases[] = {
        {"280", NoProcessors, type280, 280, {}, 3},
        {"293", NoProcessors, {0x25, 0x01}, 293, {}, 3},
        {"65535 fits the result", NoProcessors, {0xFF, 0xFF}, 65535, {}, 3},
        {"type data 00 00", NoProcessors, {0x00, 0x00}, 0, {}, 3},
        {"configuration block length 0", WithLength(0, 0), type280, 0, {}, 3},
        {"one type byte", NoProcessors, {0x18}, 0, {"9 Subscript out of range 8"}, 3},
        {"short block: no type request", WithoutLast(NoProcessors), type280, 0, {"9 Subscript out of range 9"}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IdentificationBench bench;
        ConfigBlockLength = 77;
        bench.AnswerIdentification(c.block);
        bench.unit.Then(Answer(6, c.typeData));

        EXPECT_EQ(ReadUpsType(), c.expected);
        EXPECT_EQ(bench.shell.Board, c.board);
        EXPECT_EQ(bench.port.Writes().size(), c.writes);
        if (c.writes == 3) {
            EXPECT_EQ(WrittenPayloads(bench.port)[2], std::vector<uint8_t>{0x36});
        }
    }
}
