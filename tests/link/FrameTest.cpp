#include <gtest/gtest.h>

#include "Blocks.h"
#include "common/AppTitle.h"
#include "config/Globals.h"
#include "core/InitGlobals.h"
#include "link/Globals.h"
#include "link/Protocol.h"
#include "ups/Globals.h"
#include "link/Frame.h"

using namespace UpsLink;
using namespace Blocks;

TEST(BuildFrame, ExamplesByteForByte)
{
    const struct {
        int length;
        Bytes data;
        Bytes frame;
    } cases[] = {
        {1, {0xFF}, {0xAB, 0x01, 0xFF, 0x55}},
        {1, {0x36, 0x99}, {0xAB, 0x01, 0x36, 0x1E}},  // only the given length is taken
        {2, {0x78, 0x00}, {0xAB, 0x02, 0x78, 0x00, 0xDB}},
        {0, {}, {0xAB, 0x00, 0x55}},
        {4, {0xFF, 0x06, 0x08, 0x62}, {0xAB, 0x04, 0xFF, 0x06, 0x08, 0x62, 0xE2}},
    };
    for (const auto& c : cases) EXPECT_EQ(BuildFrame(c.length, c.data), c.frame) << c.length;
}

namespace {

// Seven full blocks of 140 data bytes, 1015 bytes that leave nine of the receive buffer; or their data.
Bytes SevenFullBlocks(bool dataOnly = false)
{
    Bytes all;
    for (int n = 1; n <= 7; ++n) {
        const Bytes data = Counting(140, uint8_t(n));
        all = Join({all, dataOnly ? data : Block(1, data, uint8_t(n))});
    }
    return all;
}

}  // namespace

// The cases run one after another on the same globals: each must start ReplyData afresh.
TEST(ParseReply, AcceptsOnlyACompleteValidReplyFromIndexZero)
{
    const Bytes full = SevenFullBlocks();
    const struct {
        const char* name;
        Bytes reply;
        bool accepted;
        Bytes data;
    } cases[] = {
        {"acknowledgement 31", {0xAB, 0x09, 0x01, 0x81, 0x31, 0x99}, true, {0x31}},
        {"L = 140", Block(1, Counting(140)), true, Counting(140)},
        {"L = 0", {0xAB, 0x06, 0x00, 0x81, 0xCE}, false, {0}},
        {"L = 1", Block(6, {0x18}), true, {0x18}},
        {"L = 141", Block(1, Counting(141)), false, {0}},
        {"first block numbered 2", Block(6, {7}, 0x82), false, {0}},
        {"bad checksum keeps the data copied", BadChecksum(Block(6, {0x18, 0x01})), false, {0x18, 0x01}},
        {"stray leading byte", Join({{0x00}, Block(6, {0x18})}), false, {0}},
        {"last-block bit missing, zeros after", Block(6, {0x18, 0x01}, 0x01), false, {0x18, 0x01}},
        {"bytes after the last block ignored", Join({Block(6, {0x18, 0x01}), {0xAB, 0x13}}), true, {0x18, 0x01}},
        {"nothing received", {}, false, {0}},
        {"three blocks appended whole",
         Join({Block(1, Counting(140, 0x10), 0x01), Block(1, Counting(140, 0x90), 0x02), Block(1, {0x40, 0x41}, 0x83)}),
         true, Join({Counting(140, 0x10), Counting(140, 0x90), {0x40, 0x41}})},
        {"second block repeats 1", Join({Block(1, {1, 2}, 0x01), Block(1, {3, 4}, 0x81)}), false, {1, 2, 0, 0}},
        {"second block skips to 3", Join({Block(1, {1, 2}, 0x01), Block(1, {3, 4}, 0x83)}), false, {1, 2, 0, 0}},
        {"second block lacks its marker", Join({Block(1, {1, 2}, 0x01), {0x00, 0x01, 0x02, 0x82}}), false, {1, 2}},
        {"ends on the buffer's last byte", Join({full, Block(1, {0xA1, 0xA2, 0xA3, 0xA4}, 0x88)}), true,
         Join({SevenFullBlocks(true), {0xA1, 0xA2, 0xA3, 0xA4}})},
        {"checksum one past the buffer", Join({full, Block(1, {1, 2, 3, 4, 5}, 0x88)}), false, {}},
        {"sequence byte past the buffer", Join({full, {0xAB, 0x01}}), false, {}},
        {"last bit missing at the buffer's end", Join({full, Block(1, {1, 2, 3, 4}, 0x08)}), false, {}},
    };
    for (const auto& c : cases) {
        RxBuffer.fill(0);
        std::copy_n(c.reply.begin(), std::min(c.reply.size(), RxBuffer.size()), RxBuffer.begin());
        EXPECT_EQ(ParseReply(), c.accepted) << c.name;
        if (!c.data.empty()) {
            EXPECT_EQ(ReplyData, c.data) << c.name;
        }
    }
}
