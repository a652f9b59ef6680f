#include <gtest/gtest.h>

#include "common/Fault.h"
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
        {"7", "00FF", "78 07 FF 00"},
        {"7", "ab", "78 07 AB 00"},
        {"7", "5G", "78 07 05 00"},
        {"7", "G5", "78 07 00 00"},
        {"99", "12G4", "78 63 00 12"},
        {"0", "12345", "78 00 00 00 00 00 00 00 00 00 00 00 00 00 00 01 23 45"},
        {"12", "00FF00FF00FF00FF00FF00FF00FF00FF", "78 0C 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF"},
        {"1", "0123456789ABCDEF0123456789ABCDEF" + std::string(8, 'F'),
         "78 01 01 23 45 67 89 AB CD EF 01 23 45 67 89 AB CD EF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Hex(ConfigWritePayload(c.number, c.data)), c.payload) << c.number << " \"" << c.data << "\"";
}

TEST(ConfigWritePayload, RecordNumberMustFitOneByte)
{
    EXPECT_EQ(Hex(ConfigWritePayload("255", "")), "78 FF 00 00");
    for (const char* number : {"256", "-1"}) {
        try {
            ConfigWritePayload(number, "");
            ADD_FAILURE() << number;
        } catch (const Fault& fault) {
            EXPECT_EQ(fault.Number, FaultNo::Overflow) << number;
        }
    }
}
