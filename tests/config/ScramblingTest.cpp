#include <gtest/gtest.h>

#include "ConfigFiles.h"
#include "common/Globals.h"
#include "config/Scrambling.h"

using namespace UpsLink;

TEST(Scrambling, AddsTheKeyByteOfTheNextPosition)
{
    InitGlobals();
    // Key "K1n4jolt7": position 0 takes '1', position 7 takes '7', position 8 takes 'K'.
    const std::string plain = std::string("12,00;") + "\x01" + "\xC9" + "\xC0";
    const std::vector<uint8_t> file{0x62, 0xA0, 0x60, 0x9A, 0x9F, 0xA7, 0x75, 0x00, 0x0B};
    EXPECT_EQ(Scramble(plain, FileKey), file);
    EXPECT_EQ(Descramble(file, FileKey), plain);
}

TEST(Scrambling, RepeatsWithPeriodNine)
{
    InitGlobals();
    const std::vector<uint8_t> file = Scramble("A12345678A1", FileKey);
    EXPECT_EQ(file[0], file[9]);
    EXPECT_EQ(file[1], file[10]);
    EXPECT_NE(file[0], Scramble("xA", FileKey)[1]);
    EXPECT_EQ(file, Testing::ScrambledBytes("A12345678A1"));
}
