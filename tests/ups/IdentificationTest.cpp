#include <gtest/gtest.h>

#include "ScriptedUnit.h"
#include "SimBench.h"
#include "common/Globals.h"
#include "link/PortControl.h"
#include "ups/Identification.h"
#include "ups/Wire.h"

using namespace UpsLink;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes operator+(Bytes head, const Bytes& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// The seven trailing fields: a byte each at V, V + 2, V + 4, V + 6, V + 7, V + 9 and V + 11.
const Bytes Trailing{0xA1, 0, 0xA2, 0, 0xA3, 0, 0xA4, 0xA5, 0, 0xA6, 0, 0xA7};

// Identification blocks written out byte by byte at their absolute positions.
const Bytes NoProcessors = Bytes{0x00,              // 0: N
                                 0x0A, 0x00, 0x00,  // 1: rating, 2-3 stepped over
                                 0x01, 'X',         // 4: T, text
                                 0x00,              // 6: M
                                 0x01, 0x40,        // 7: A, alarm byte = length low
                                 0x01,              // 9: length high
                                 0x00}              // 10: S, V = 11
                           + Trailing;
const Bytes FourProcessors = Bytes{0x04, 0x02, 0x01, 0, 0, 0, 0, 0, 0,  // N, four entries
                                   0x0A, 0x00, 0x00,                    // 9: rating
                                   0x00,                                // 12: T
                                   0x00,                                // 13: M
                                   0x00,                                // 14: A = 0, also length low
                                   0x02,                                // 15: length high
                                   0x00}                                // 16: S, V = 17
                             + Trailing;
const Bytes SixProcessors =
    Bytes{0x06, 0x99, 0x09, 0x05, 0x02, 0x00, 0x03, 0x10, 0x00, 0x00, 0x3A, 0x01, 0x01, 0x0A, 0x00, 0x00,  // 13: rating
          0x00,                                                                                            // 16: T
          0x00,                                                                                            // 17: M
          0x01, 0x34,        // 18: A, length low
          0x12,              // 20: length high
          0x02, 0x00, 0x00}  // 21: S, two statistics bytes, V = 24
    + Trailing;
const Bytes ZeroRating = Bytes{0x01, 0x23, 0x01,              // N, one entry
                               0x00, 0xFF, 0xFF, 0x00, 0x00,  // 3: rating 0, extended rating, stepped over
                               0x02, 'A',  'B',               // 8: T, text
                               0x01, 0x07,                    // 11: M, meter map
                               0x02, 0x05, 0x40,              // 13: A, alarm map, length low
                               0x01,                          // 16: length high
                               0x00}                          // 17: S, V = 18
                         + Trailing;

Bytes WithoutLast(Bytes bytes)
{
    bytes.pop_back();
    return bytes;
}

// NoProcessors with another configuration block length.
Bytes WithLength(uint8_t low, uint8_t high)
{
    Bytes block = NoProcessors;
    block[8] = low;
    block[9] = high;
    return block;
}

// The access request goes unanswered; the identification request gets the block, the type
// request the type data.
struct IdentificationBench : SimBench<ScriptedUnit> {
    IdentificationBench(const Bytes& block, const Bytes& typeData)
    {
        OpenPort();
        unit.ThenSilence();
        unit.Then(Answer(1, block));
        unit.Then(Answer(6, typeData));
    }
};

}  // namespace

TEST(ReadIdentification, WalksTheBlockByAbsolutePositions)
{
    const struct {
        const char* name;
        Bytes block;
        std::array<float, 6> versions;
        int configBlockLength;
        std::vector<std::string> board;
    } cases[] = {
        {"no processors, ends exactly at V + 11", NoProcessors, {}, 0x0140, {}},
        {"four, first 02 01, alarm map length 0", FourProcessors, {0, 0, 0, 0, 1.02F, 0}, 0x0200, {}},
        {"six, first dropped, version byte 3A", SixProcessors, {0, 1.01F, 310.0F, 0.10F, 3.0F, 2.05F}, 0x1234, {}},
        {"rating 0", ZeroRating, {0, 1.23F, 0, 0, 0, 0}, 0x0140, {}},
        {"one byte short of V + 11", WithoutLast(NoProcessors), {}, 0, {"9 Subscript out of range 9"}},
        {"length of 32768", WithLength(0x00, 0x80), {}, 0, {"6 Overflow 9"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IdentificationBench bench(c.block, {});
        CpuVersion.fill(9.0F);

        EXPECT_EQ(ReadIdentification(), c.board.empty());
        EXPECT_EQ(bench.shell.Board, c.board);
        if (c.board.empty()) {
            for (int i = 1; i <= 5; ++i) EXPECT_FLOAT_EQ(CpuVersion[i], c.versions[i]) << i;
            EXPECT_EQ(ConfigBlockLength, c.configBlockLength);
        }
    }
}

TEST(ReadIdentification, AccessRequestThenAPauseThenTheRequest)
{
    IdentificationBench bench(NoProcessors, {});
    ASSERT_TRUE(ReadIdentification());
    const auto& writes = bench.port.Writes();
    EXPECT_EQ(WrittenPayloads(bench.port), (Payloads{Access, {0xA0}}));
    // The 500 ms after the unanswered frame, then the 100 ms pause.
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_NEAR(writes[1].AtMs - writes[0].AtMs, 600, 1);
}

// The type request is sent after every walked block, also one with a length of 0.
TEST(ReadUpsType, TypeCodeOnlyAfterAWalkedBlockWithALength)
{
    const struct {
        const char* name;
        Bytes block;
        Bytes typeData;
        int expected;
        std::vector<std::string> board;
    } cases[] = {
        {"18 01", NoProcessors, {0x18, 0x01}, 280, {}},
        {"configuration block length 0", WithLength(0, 0), {0x18, 0x01}, 0, {}},
        {"one type byte", NoProcessors, {0x18}, 0, {"9 Subscript out of range 8"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IdentificationBench bench(c.block, c.typeData);
        ConfigBlockLength = 77;

        EXPECT_EQ(ReadUpsType(), c.expected);
        EXPECT_EQ(bench.shell.Board, c.board);
        EXPECT_EQ(WrittenPayloads(bench.port), (Payloads{Access, {0xA0}, {0x36}}));
    }
}
