#include <gtest/gtest.h>

#include "Blocks.h"
#include "link/Frame.h"
#include "link/Globals.h"

using namespace UpsLink;
using namespace UpsLink::Testing;

// count bytes from first on, wrapping at 256.
static Bytes Counting(std::size_t count, uint8_t first = 0)
{
    Bytes bytes(count);
    for (uint8_t& b : bytes) b = first++;
    return bytes;
}

// The cases run one after another on the same globals: each must start ReplyData afresh.
TEST(ParseReply, AcceptsOnlyACompleteValidReplyFromIndexZero)
{
    Bytes full, fullData;  // seven blocks of 140, leaving nine bytes of the receive buffer
    for (uint8_t n = 1; n <= 7; ++n) {
        full = full + Block(1, Counting(140, n), n);
        fullData = fullData + Counting(140, n);
    }
    const struct {
        const char* name;
        Bytes reply;
        bool accepted;
        Bytes data;
    } cases[] = {
        {"acknowledgement 31", Hex("AB 09 01 81 31 99"), true, {0x31}},
        {"L = 140", Block(1, Counting(140)), true, Counting(140)},
        {"L = 0", Hex("AB 06 00 81 CE"), false, {0}},
        {"L = 141", Block(1, Counting(141)), false, {0}},
        {"first block numbered 2", Block(6, {7}, 0x82), false, {0}},
        {"bad checksum keeps the data copied", Hex("AB 06 02 81 18 01 B5") /* B3 is right */, false, {0x18, 0x01}},
        {"stray leading byte", Bytes{0x00} + Block(6, {0x18}), false, {0}},
        {"last-block bit missing", Block(6, {0x18, 0x01}, 0x01), false, {0x18, 0x01}},
        {"bytes after the last block ignored", Block(6, {0x18, 0x01}) + Hex("AB 13"), true, {0x18, 0x01}},
        {"three blocks appended whole",
         Block(1, Counting(140, 0x10), 0x01) + Block(1, Counting(140, 0x90), 0x02) + Block(1, {0x40, 0x41}, 0x83),
         true, Counting(140, 0x10) + Counting(140, 0x90) + Bytes{0x40, 0x41}},
        {"second block repeats 1", Block(1, {1, 2}, 0x01) + Block(1, {3, 4}, 0x81), false, {1, 2, 0, 0}},
        {"ends on the buffer's last byte", full + Block(1, {0xA1, 0xA2, 0xA3, 0xA4}, 0x88), true,
         fullData + Bytes{0xA1, 0xA2, 0xA3, 0xA4}},
        {"checksum one past the buffer", full + Block(1, {1, 2, 3, 4, 5}, 0x88), false, {}},
    };
    for (const auto& c : cases) {
        RxBuffer.fill(0);
        std::copy_n(c.reply.begin(), std::min(c.reply.size(), RxBuffer.size()), RxBuffer.begin());
        EXPECT_EQ(ParseReply(), c.accepted) << c.name;
        if (!c.data.empty()) { EXPECT_EQ(ReplyData, c.data) << c.name; }
    }
}
