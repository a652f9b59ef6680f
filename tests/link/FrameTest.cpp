#include <gtest/gtest.h>

#include "Blocks.h"
#include "common/Fault.h"
#include "common/Globals.h"
#include "link/Frame.h"

using namespace UpsLink;
using Blocks::Bytes;

TEST(BuildFrame, ExamplesByteForByte)
{
    const struct {
        Bytes payload;
        Bytes frame;
    } cases[] = {
        {{0xFF}, {0xAB, 0x01, 0xFF, 0x55}},
        {{0x36}, {0xAB, 0x01, 0x36, 0x1E}},
        {{0x78, 0x00}, {0xAB, 0x02, 0x78, 0x00, 0xDB}},
        {{}, {0xAB, 0x00, 0x55}},
        {{0xFF, 0x06, 0x08, 0x62}, {0xAB, 0x04, 0xFF, 0x06, 0x08, 0x62, 0xE2}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuildFrame(static_cast<int>(c.payload.size()), c.payload), c.frame) << c.payload.size();
}

TEST(BuildFrame, TakesOnlyTheGivenLengthOfTheData)
{
    EXPECT_EQ(BuildFrame(1, {0x36, 0x99, 0x98}), (Bytes{0xAB, 0x01, 0x36, 0x1E}));
}

TEST(BuildFrame, LongestPayloadSumsToZero)
{
    const Bytes payload = Blocks::Counting(255, 1);
    const Bytes frame = BuildFrame(255, payload);
    ASSERT_EQ(frame.size(), 258u);
    EXPECT_EQ(frame[1], 0xFF);
    unsigned sum = 0;
    for (uint8_t b : frame) sum += b;
    EXPECT_EQ(sum % 256, 0u);
}

TEST(BuildFrame, RefusesLengthsThatDoNotFitOrDataThatIsMissing)
{
    const struct {
        int length;
        std::size_t dataSize;
        int fault;
    } cases[] = {{256, 256, FaultNo::Overflow}, {-1, 4, FaultNo::Overflow}, {3, 2, FaultNo::SubscriptOutOfRange}};
    for (const auto& c : cases) {
        try {
            BuildFrame(c.length, Bytes(c.dataSize, 0x11));
            ADD_FAILURE() << "length " << c.length << " was framed";
        } catch (const Fault& fault) {
            EXPECT_EQ(fault.Number, c.fault) << c.length;
        }
    }
}

namespace {

class ParseReplyTest : public ::testing::Test {
protected:
    void SetUp() override { InitGlobals(); }

    static void Receive(const Bytes& bytes, std::size_t at = 0)
    {
        RxBuffer.fill(0);
        for (std::size_t i = 0; i < bytes.size() && at + i < RxBuffer.size(); ++i) RxBuffer[at + i] = bytes[i];
    }
};

// Seven full blocks of 140 data bytes: 1015 bytes, leaving nine of the receive buffer.
Bytes SevenFullBlocks()
{
    Bytes all;
    for (int n = 1; n <= 7; ++n) {
        const Bytes block = Blocks::Block(1, Blocks::Counting(140, static_cast<uint8_t>(n)), static_cast<uint8_t>(n));
        all.insert(all.end(), block.begin(), block.end());
    }
    return all;
}

}  // namespace

TEST_F(ParseReplyTest, SingleBlocks)
{
    using Blocks::Block;
    const struct {
        const char* name;
        Bytes reply;
        bool accepted;
        Bytes data;
    } cases[] = {
        {"acknowledgement 31", {0xAB, 0x09, 0x01, 0x81, 0x31, 0x99}, true, {0x31}},
        {"five data bytes", Block(6, {1, 2, 3, 4, 5}), true, {1, 2, 3, 4, 5}},
        {"L = 1", Block(6, {0x18}), true, {0x18}},
        {"L = 140", Block(1, Blocks::Counting(140)), true, Blocks::Counting(140)},
        {"L = 0", {0xAB, 0x06, 0x00, 0x81, 0xCE}, false, {0}},
        {"L = 141", Block(1, Blocks::Counting(141)), false, {0}},
        {"first block numbered 2", Block(6, {7}, 0x82), false, {0}},
        {"first block numbered 0", Block(6, {7}, 0x80), false, {0}},
        {"bad checksum", Blocks::BadChecksum(Block(6, {0x18, 0x01})), false, {0x18, 0x01}},
        {"stray leading byte", Blocks::Join({{0x00}, Block(6, {0x18})}), false, {0}},
        {"no start marker", {0xAA, 0x09, 0x01, 0x81, 0x31, 0x9A}, false, {0}},
        {"last-block bit missing, zeros after", Block(6, {0x18, 0x01}, 0x01), false, {0x18, 0x01}},
        {"bytes after the last block ignored",
         Blocks::Join({Block(6, {0x18, 0x01}), {0xAB, 0x13, 0x77}}),
         true,
         {0x18, 0x01}},
        {"nothing received", {}, false, {0}},
    };
    for (const auto& c : cases) {
        Receive(c.reply);
        EXPECT_EQ(ParseReply(), c.accepted) << c.name;
        EXPECT_EQ(ReplyData, c.data) << c.name;
    }
}

TEST_F(ParseReplyTest, FurtherBlocksAreAppendedWhole)
{
    const Bytes first = Blocks::Counting(140, 0x10);
    const Bytes second = Blocks::Counting(140, 0x90);
    const Bytes third = Blocks::Counting(17, 0x40);
    Receive(
        Blocks::Join({Blocks::Block(1, first, 0x01), Blocks::Block(1, second, 0x02), Blocks::Block(1, third, 0x83)}));

    ASSERT_TRUE(ParseReply());
    EXPECT_EQ(ReplyData, Blocks::Join({first, second, third}));
}

TEST_F(ParseReplyTest, BlockNumberingFaultsRefuseTheReply)
{
    using Blocks::Block;
    const struct {
        const char* name;
        Bytes reply;
        Bytes dataKept;
    } cases[] = {
        {"second block repeats 1", Blocks::Join({Block(1, {1, 2}, 0x01), Block(1, {3, 4}, 0x81)}), {1, 2, 0, 0}},
        {"second block skips to 3", Blocks::Join({Block(1, {1, 2}, 0x01), Block(1, {3, 4}, 0x83)}), {1, 2, 0, 0}},
        {"second block lacks its marker", Blocks::Join({Block(1, {1, 2}, 0x01), {0x00, 0x01, 0x02, 0x82}}), {1, 2}},
        {"second block has a bad checksum",
         Blocks::Join({Block(1, {1, 2}, 0x01), Blocks::BadChecksum(Block(1, {3, 4}, 0x82))}),
         {1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        Receive(c.reply);
        EXPECT_FALSE(ParseReply()) << c.name;
        EXPECT_EQ(ReplyData, c.dataKept) << c.name;
    }
}

TEST_F(ParseReplyTest, ReplyEndingOnTheLastByteOfTheBufferIsAccepted)
{
    const Bytes reply = Blocks::Join({SevenFullBlocks(), Blocks::Block(1, {0xA1, 0xA2, 0xA3, 0xA4}, 0x88)});
    ASSERT_EQ(reply.size(), RxBufferSize);
    Receive(reply);

    ASSERT_TRUE(ParseReply());
    ASSERT_EQ(ReplyData.size(), 7u * 140 + 4);
    EXPECT_EQ(ReplyData.back(), 0xA4);
}

TEST_F(ParseReplyTest, RunningOffTheEndOfTheBufferRefusesTheReply)
{
    const Bytes head = SevenFullBlocks();
    const struct {
        const char* name;
        Bytes tail;
    } cases[] = {
        {"checksum one past the end", Blocks::Block(1, {1, 2, 3, 4, 5}, 0x88)},
        {"data past the end", Blocks::Block(1, Blocks::Counting(140), 0x88)},
        {"sequence byte past the end", {0xAB, 0x01}},
    };
    for (const auto& c : cases) {
        Receive(Blocks::Join({head, c.tail}));
        EXPECT_FALSE(ParseReply()) << c.name;
    }
    // A last block with its bit missing at the very end runs off the buffer too.
    Receive(Blocks::Join({head, Blocks::Block(1, {1, 2, 3, 4}, 0x08)}));
    EXPECT_FALSE(ParseReply());
}

TEST_F(ParseReplyTest, StartsAgainFromNothingOnEveryCall)
{
    Receive(Blocks::Block(1, Blocks::Counting(50)));
    ASSERT_TRUE(ParseReply());
    Receive(Blocks::Ack(0x33));
    ASSERT_TRUE(ParseReply());
    EXPECT_EQ(ReplyData, Bytes{0x33});
}
