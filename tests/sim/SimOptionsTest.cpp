#include <gtest/gtest.h>

#include "SimOptions.h"

using namespace UpsLink;

// The options of the model itself are shown at work in the model's tests.
TEST(SimOptions, BadValuesAreRefusedWithTheReason)
{
    const struct {
        QStringList options;
        std::string message;
    } cases[] = {
        {{"--type", "-1"}, "--type wants a number from 0 to 65535, not \"-1\""},
        {{"--type", "28O"}, "--type wants a number from 0 to 65535, not \"28O\""},
        {{"--modules", "2,256"}, "--modules wants a number from 0 to 255, not \"256\""},
        {{"--cpus", "0123"}, "--cpus wants entries such as 01.23, not \"0123\""},
        {{"--meter-map", "100"}, "--meter-map wants hexadecimal bytes such as 40,A0, not \"100\""},
        {{"--refuse-code", "0x38"}, "--refuse-code wants a number from 52 to 55, not \"0x38\""},
        {{"--late", "-5"}, "--late wants milliseconds from 0 to 3600000, not \"-5\""},
        {{"--stall-after", "3"}, "--stall and --stall-after go together"},
        {{"extra"}, "unexpected argument \"extra\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        SimSettings settings;
        const SimOptionsOutcome outcome = ParseSimOptions(QStringList{"zentrel-sim"} + c.options, settings);
        EXPECT_FALSE(outcome.Run);
        EXPECT_EQ(outcome.ExitCode, 2);
        EXPECT_EQ(outcome.Message, c.message);
    }
}
