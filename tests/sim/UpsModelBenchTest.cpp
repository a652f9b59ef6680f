#include <gtest/gtest.h>

#include "SimBench.h"
#include "UpsModel.h"
#include "common/Globals.h"
#include "link/PortControl.h"
#include "link/Transaction.h"
#include "support/HexBytes.h"

using namespace UpsLink;
using UpsLink::Testing::Bytes;
using UpsLink::Testing::Hex;

namespace {

// The model behind the simulated port, talked to by the program's own transaction.
struct ModelBench : SimBench<UpsModel> {
    ModelBench() { InitPort("19200", "N", 8, 1, "1"); }

    bool Send(const std::string& payloadHex, int expectedCode, bool ackMode)
    {
        CommandData = Bytes(payloadHex);
        return SendCommand(static_cast<int>(CommandData.size()), CommandData, expectedCode, ackMode);
    }

    std::vector<std::string> Wire() const
    {
        std::vector<std::string> frames;
        for (const auto& write : port.Writes()) frames.push_back(Hex(write.Bytes));
        return frames;
    }
};

using Frames = std::vector<std::string>;

}  // namespace

TEST(UpsModelBench, TypeRequestAnsweredOnTheFirstRead)
{
    ModelBench bench;
    ASSERT_TRUE(bench.Send("36", 6, false));
    EXPECT_EQ(Hex(ReplyData), "18 01");
    EXPECT_EQ(bench.Wire(), Frames{"AB 01 36 1E"});
    ASSERT_EQ(bench.unit.Log().size(), 2u);
    // The frame reached the unit one line time per byte after it was written.
    EXPECT_NEAR(bench.unit.Log()[0].AtMs - bench.port.Writes()[0].AtMs, 4 * ByteTimeMs(19200), 1e-9);
}

TEST(UpsModelBench, BusyTwiceSucceedsOnTheThirdCopy)
{
    ModelBench bench;
    bench.unit.Config().BusyFirstFrames = 2;
    ASSERT_TRUE(bench.Send("78 0D F4 01", 9, true));
    EXPECT_EQ(bench.Wire(), Frames(3, "AB 04 78 0D F4 01 D7"));
    EXPECT_EQ(Hex(bench.unit.Eeprom().at(13)), "F4 01");
}

TEST(UpsModelBench, RefusedRecordEndsTheTransactionAtOnce)
{
    ModelBench bench;
    bench.unit.Config().RefuseRecord = 13;
    bench.unit.Config().RefuseCode = 0x36;
    EXPECT_FALSE(bench.Send("78 0D F4 01", 9, true));
    EXPECT_EQ(bench.Wire(), Frames{"AB 04 78 0D F4 01 D7"});
}

TEST(UpsModelBench, AlwaysBusyAndSilentUnitsGetSixCopies)
{
    for (bool silent : {false, true}) {
        ModelBench bench;
        bench.unit.Config().BusyAlways = !silent;
        bench.unit.Config().Silent = silent;
        EXPECT_FALSE(bench.Send("A0", 1, false)) << silent;
        EXPECT_EQ(bench.Wire(), Frames(6, "AB 01 A0 B4")) << silent;
    }
}

TEST(UpsModelBench, LongModuleListAssembledWhole)
{
    ModelBench bench;
    std::vector<uint8_t> modules;
    for (int i = 0; i < 200; ++i) modules.push_back(static_cast<uint8_t>(i));
    bench.unit.Config().Modules = modules;
    ASSERT_TRUE(bench.Send("CE 00 FF", 0x31, false));
    std::vector<uint8_t> expected{0x31, 0, 0};
    expected.insert(expected.end(), modules.begin(), modules.end());
    EXPECT_EQ(Hex(ReplyData), Hex(expected));
}

TEST(UpsModelBench, BadChecksumOnTheFirstReplyIsResent)
{
    ModelBench bench;
    bench.unit.Config().BadChecksumReply = 1;
    ASSERT_TRUE(bench.Send("36", 6, false));
    EXPECT_EQ(bench.Wire(), Frames(2, "AB 01 36 1E"));
}

TEST(UpsModelBench, StrayByteBeforeTheReplyIsResent)
{
    ModelBench bench;
    bench.unit.Config().StrayByteReply = 1;
    ASSERT_TRUE(bench.Send("40", 16, false));
    EXPECT_EQ(bench.Wire(), Frames(2, "AB 01 40 14"));
}

// A stall shorter than a poll is waited out; a longer one cuts every reply short.
TEST(UpsModelBench, StallOfAPollOrMoreCutsTheReplyShort)
{
    const struct {
        double stallMs;
        bool result;
        std::size_t copies;
    } cases[] = {{300, true, 1}, {1300, false, 6}};
    for (const auto& c : cases) {
        ModelBench bench;
        bench.unit.Config().StallAfterBytes = 10;
        bench.unit.Config().StallMs = c.stallMs;
        EXPECT_EQ(bench.Send("A0", 1, false), c.result) << c.stallMs;
        EXPECT_EQ(bench.Wire().size(), c.copies) << c.stallMs;
    }
}

TEST(UpsModelBench, LateAnswerIsTakenByALaterRead)
{
    ModelBench bench;
    bench.unit.Config().LateMs = 2000;
    ASSERT_TRUE(bench.Send("36", 6, false));
    EXPECT_EQ(bench.Wire(), Frames(2, "AB 01 36 1E"));
    EXPECT_EQ(Hex(ReplyData), "18 01");
}

TEST(UpsModelBench, ModuleSelectSwitchesTheAnsweringUnit)
{
    ModelBench bench;
    ASSERT_TRUE(bench.Send("CE 00 02", 9, false));
    ASSERT_TRUE(bench.Send("36", 6, false));
    EXPECT_EQ(Hex(ReplyData), "19 01");
    EXPECT_EQ(bench.unit.SelectedModule(), 2);
}
