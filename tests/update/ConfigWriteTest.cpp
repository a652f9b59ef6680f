#include <gtest/gtest.h>

#include "support/HexBytes.h"
#include "update/ConfigWrite.h"

using namespace UpsLink;
using namespace UpsLink::Testing;

TEST(ConfigWritePayload, ValueUpToFourCharactersBlockBeyond)
{
    const struct {
        const char* number;
        std::string data;
        const char* payload;
    } cases[] = {
        {"5", "", "78 05 00 00"},
        {"13", "1F4", "78 0D F4 01"},
        {"7", "F", "78 07 0F 00"},
        {"7", "ab", "78 07 AB 00"},
        {"7", "5G", "78 07 05 00"},
        {"7", "G5", "78 07 00 00"},
        {"99", "12G4", "78 63 00 12"},
        {"0", "12345", "78 00 00 00 00 00 00 00 00 00 00 00 00 00 00 01 23 45"},
        {"1", "0123456789ABCDEF0123456789ABCDEF" + std::string(8, 'F'),
         "78 01 01 23 45 67 89 AB CD EF 01 23 45 67 89 AB CD EF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Hex(ConfigWritePayload(c.number, c.data)), c.payload) << c.number << " \"" << c.data << "\"";
}
