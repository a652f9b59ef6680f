#include <gtest/gtest.h>

#include "Bench.h"
#include "ScriptedUnit.h"
#include "Wire.h"
#include "common/Fault.h"
#include "link/PortControl.h"
#include "ups/Globals.h"
#include "ups/Modules.h"

using namespace UpsLink;
using namespace UpsLink::Testing;

// A fourth processor means the modules sit behind two hops, reached along ModulePath.
TEST(Modules, DiscoverAndSelectDirectlyOrAlongThePath)
{
    const struct {
        const char* name;
        float cpu4;
        Bytes modules;
        Payloads discovery;
        std::vector<int16_t> list, path;
        std::string moduleHex;
        Bytes select;
    } cases[] = {
        {"direct", 0, {2, 255, 7}, {Hex("CE 00 FF")}, {2, 255, 7}, {0}, "7", Hex("CE 00 07")},
        {"direct, one digit padded", 0, {0x0A}, {Hex("CE 00 FF")}, {10}, {0}, "A", Hex("CE 00 0A")},
        {"path", 1.02F, {3, 7}, {Hex("CE FF"), Hex("CE 04 FF"), Hex("CE 04 01 FF")}, {3, 7}, {0, 4, 1}, "7",
         Hex("CE 04 01 07")},
        {"path, two digits", 1.02F, {0x12}, {Hex("CE FF"), Hex("CE 04 FF"), Hex("CE 04 01 FF")}, {0x12}, {0, 4, 1},
         "12", Hex("CE 04 01 12")},
    };
    for (const auto& c : cases) {
        SimBench<> bench;
        OpenPort();
        bench.unit.Config().Modules = c.modules;
        CpuVersion[4] = c.cpu4;

        EXPECT_TRUE(DiscoverModules()) << c.name;
        EXPECT_EQ(ModuleList, c.list) << c.name;
        EXPECT_EQ(ModulePath, c.path) << c.name;
        EXPECT_TRUE(SelectModule(c.moduleHex)) << c.name;
        EXPECT_EQ(bench.unit.ReceivedPayloads(), c.discovery + Payloads{c.select}) << c.name;
        EXPECT_EQ(bench.unit.SelectedModule(), c.select.back()) << c.name;
    }
}

TEST(Modules, AnUnansweredOrTooShortListLeavesNothingOldBehind)
{
    SimBench<> silent;
    OpenPort();
    silent.unit.Config().Silent = true;
    EXPECT_FALSE(DiscoverModules());
    EXPECT_EQ(silent.port.Payloads(), Payloads(6, Hex("CE 00 FF")));

    SimBench<ScriptedUnit> bench;
    OpenPort();
    CpuVersion[4] = 1.0F;
    ModulePath = {0, 4, 1};
    bench.unit.Then({{20, Block(9, {0x31, 0x00, 0x00})}});
    // The path is remade before its first hop is read: a select can never follow an older one.
    EXPECT_THROW(DiscoverModules(), Fault);
    EXPECT_EQ(ModulePath, (std::vector<int16_t>{0, 0}));
    EXPECT_THROW(SelectModule("7"), Fault);
}
