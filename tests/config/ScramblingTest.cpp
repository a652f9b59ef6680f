#include <gtest/gtest.h>

#include "ConfigFiles.h"
#include "common/Globals.h"
#include "config/Scrambling.h"

using namespace UpsLink;

TEST(Scrambling, AddsTheKeyByteOfTheNextPositionModulo256WithPeriodNine)
{
    InitGlobals();
    // Key "K1n4jolt7": position 0 takes '1', position 7 takes '7', positions 8 and 17 take 'K'.
    const std::string plain = std::string("12,00;") + "\x01\xC9\xC0" + "12,00;\x01\xC9\xC0";
    const std::vector<uint8_t> file{0x62, 0xA0, 0x60, 0x9A, 0x9F, 0xA7, 0x75, 0x00, 0x0B,
                                    0x62, 0xA0, 0x60, 0x9A, 0x9F, 0xA7, 0x75, 0x00, 0x0B};
    EXPECT_EQ(Scramble(plain, FileKey), file);
    EXPECT_EQ(Descramble(file, FileKey), plain);
}
