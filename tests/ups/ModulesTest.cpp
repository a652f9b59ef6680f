#include <gtest/gtest.h>

#include "ScriptedUnit.h"
#include "SimBench.h"
#include "UpsModel.h"
#include "common/Fault.h"
#include "common/Globals.h"
#include "link/PortControl.h"
#include "ups/Modules.h"
#include "ups/Replies.h"

using namespace UpsLink;

namespace {

using Payloads = std::vector<std::vector<uint8_t>>;

struct ModuleBench : SimBench<UpsModel> {
    explicit ModuleBench(bool pathAddressing = false)
    {
        OpenPort();
        CpuVersion[4] = pathAddressing ? 1.02F : 0.0F;
    }
};

}  // namespace

TEST(DiscoverModules, DirectAddressingAsksOnceAndKeepsTheOrder)
{
    ModuleBench bench;
    bench.unit.Config().Modules = {2, 5, 255, 0};
    ASSERT_TRUE(DiscoverModules());
    EXPECT_EQ(bench.unit.ReceivedPayloads(), (Payloads{{0xCE, 0x00, 0xFF}}));
    EXPECT_EQ(ModuleList, (std::vector<int16_t>{2, 5, 255, 0}));
    EXPECT_EQ(ModulePath, std::vector<int16_t>{0});
}

TEST(DiscoverModules, PathAddressingFollowsBothHops)
{
    ModuleBench bench(true);
    bench.unit.Config().FirstHop = 0x06;
    bench.unit.Config().SecondHop = 0x03;
    bench.unit.Config().Modules = {7, 9};
    ASSERT_TRUE(DiscoverModules());
    EXPECT_EQ(bench.unit.ReceivedPayloads(), (Payloads{{0xCE, 0xFF}, {0xCE, 0x06, 0xFF}, {0xCE, 0x06, 0x03, 0xFF}}));
    EXPECT_EQ(ModulePath, (std::vector<int16_t>{0, 6, 3}));
    EXPECT_EQ(ModuleList, (std::vector<int16_t>{7, 9}));
}

TEST(DiscoverModules, UnansweredRequestIsFalse)
{
    ModuleBench bench;
    bench.unit.Config().Silent = true;
    ModuleList = {3};
    EXPECT_FALSE(DiscoverModules());
    EXPECT_EQ(ModuleList, std::vector<int16_t>{3});
    EXPECT_TRUE(bench.shell.Board.empty());
}

TEST(DiscoverModules, PathKeepsTheFirstHopWhenTheSecondGoesUnanswered)
{
    SimBench<ScriptedUnit> bench;
    OpenPort();
    CpuVersion[4] = 2.0F;
    bench.unit.Then(Answer(9, {0x31, 0, 0, 0x04}));
    EXPECT_FALSE(DiscoverModules());
    EXPECT_EQ(ModulePath, (std::vector<int16_t>{0, 4}));
}

TEST(DiscoverModules, ListIsTheReplyFromItsFourthDataByte)
{
    const struct {
        std::vector<uint8_t> reply;
        std::vector<int16_t> modules;
        bool faults;
    } cases[] = {
        {{0x31, 0x00, 0x00, 0x02, 0x05}, {2, 5}, false},
        {{0x31, 0x00, 0x00, 0x09}, {9}, false},
        {{0x31, 0x00, 0x00}, {}, true},
        {{0x31}, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.size());
        SimBench<ScriptedUnit> bench;
        OpenPort();
        bench.unit.Then(Answer(9, c.reply));
        if (c.faults) {
            try {
                DiscoverModules();
                ADD_FAILURE() << "no fault";
            } catch (const Fault& fault) {
                EXPECT_EQ(fault.Number, FaultNo::SubscriptOutOfRange);
            }
        } else {
            EXPECT_TRUE(DiscoverModules());
            EXPECT_EQ(ModuleList, c.modules);
        }
    }
}

TEST(SelectModule, PayloadByAddressingMode)
{
    const struct {
        bool path;
        std::string moduleHex;
        std::vector<uint8_t> payload;
    } cases[] = {
        {false, "A", {0xCE, 0x00, 0x0A}},   {false, "0", {0xCE, 0x00, 0x00}},      {false, "FE", {0xCE, 0x00, 0xFE}},
        {false, "123", {0xCE, 0x00, 0x12}}, {true, "7", {0xCE, 0x04, 0x01, 0x07}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.moduleHex);
        ModuleBench bench(c.path);
        if (c.path) ModulePath = {0, 4, 1};
        EXPECT_TRUE(SelectModule(c.moduleHex));
        EXPECT_EQ(bench.unit.ReceivedPayloads(), Payloads{c.payload});
    }
}

TEST(SelectModule, UnansweredSelectStillSucceeds)
{
    ModuleBench bench;
    bench.unit.Config().Silent = true;
    EXPECT_TRUE(SelectModule("2"));
    EXPECT_EQ(bench.unit.ReceivedPayloads().size(), 6u);
}

TEST(SelectModule, PathWithoutACompleteDiscoveryIsAFault)
{
    for (const auto& path : {std::vector<int16_t>{0}, std::vector<int16_t>{0, 4}}) {
        ModuleBench bench(true);
        ModulePath = path;
        try {
            SelectModule("7");
            ADD_FAILURE() << "no fault";
        } catch (const Fault& fault) {
            EXPECT_EQ(fault.Number, FaultNo::SubscriptOutOfRange);
        }
        EXPECT_TRUE(bench.port.Writes().empty());
    }
}
