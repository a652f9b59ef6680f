#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "SimBench.h"
#include "common/Globals.h"
#include "link/PortControl.h"
#include "ups/Connect.h"
#include "ups/Wire.h"

using namespace UpsLink;

namespace {

using Lines = std::vector<std::string>;

const Payloads RefusedConnect{{0xFF}, {0x40}, Access, {0xA0}, {0x36}, {0x40}};
const Payloads NoUpsConnect{{0xFF}, {0x40}, Access, {0xA0}, {0x36}};

template <class Unit>
struct Bench : SimBench<Unit> {
    Bench() { OpenPort(); }
};
using UpsBench = Bench<UpsModel>;

// A unit that can answer its command list once only, leaving every later 40 unanswered.
struct ListOnce : UpsModel {
    std::vector<Emission> Receive(const std::vector<uint8_t>& bytes, double nowMs) override
    {
        std::vector<Emission> emissions = UpsModel::Receive(bytes, nowMs);
        if (answersOnce && bytes.size() > 2 && bytes[2] == 0x40 && ++lists > 1) return {};
        return emissions;
    }
    bool answersOnce = false;
    int lists = 0;
};

}  // namespace

TEST(ConnectUps, BoardLineConnectionAndWireByTypeCode)
{
    const Lines overflow{"Connecting...", "6 Overflow 6"};
    const struct {
        int type;
        std::string selectedModule;
        Lines board;
        bool accepted;
        Payloads wire;
    } cases[] = {
        {0, "0", {"Connecting...", "NO UPS Found", "Done"}, false, NoUpsConnect},
        {1, "0", {"Connecting...", "NO UPS Found", "Done"}, false, NoUpsConnect},
        {2, "0", {"Connecting...", "Invalid UPS Type", "Done"}, false, RefusedConnect},
        {279, "0", {"Connecting...", "Invalid UPS Type", "Done"}, false, RefusedConnect},
        {280, "0", {"Connecting...", "UPS Found", "Done"}, true, FullConnect},
        {281, "0", {"Connecting...", "Module Found", "Done"}, true, FullConnect},
        {281, "3", {"Connecting...", "Module 3 Found", "Done"}, true, FullConnect},
        {282, "0", {"Connecting...", "Invalid UPS Type", "Done"}, false, RefusedConnect},
        {290, "0", {"Connecting...", "UPS Found", "Done"}, true, FullConnect},
        {291, "0", {"Connecting...", "Invalid UPS Type", "Done"}, false, RefusedConnect},
        {293, "3", {"Connecting...", "UPS Found", "Done"}, true, FullConnect},
        {294, "0", {"Connecting...", "Invalid UPS Type", "Done"}, false, RefusedConnect},
        {32767, "0", {"Connecting...", "Invalid UPS Type", "Done"}, false, RefusedConnect},
        {32768, "0", overflow, false, NoUpsConnect},
        {65535, "0", overflow, false, NoUpsConnect},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        UpsBench bench;
        bench.unit.Config().TypeCode = c.type;
        SelectedModule = c.selectedModule;

        EXPECT_EQ(ConnectUps(), c.accepted);
        EXPECT_EQ(bench.shell.Board, c.board);
        EXPECT_EQ(Connected, c.accepted);
        if (c.board != overflow) {
            EXPECT_EQ(UpsType, c.type);
        }
        EXPECT_EQ(bench.unit.ReceivedPayloads(), c.wire);
    }
}

TEST(ConnectUps, UnidentifiedUnitIsNoUpsWithoutATypeRequest)
{
    const Lines noUps{"Connecting...", "NO UPS Found", "Done"};
    const Lines shortBlock{"Connecting...", "9 Subscript out of range 9", "NO UPS Found", "Done"};
    const struct {
        const char* name;
        std::function<void(UpsBench&)> arrange;
        Lines board;
    } cases[] = {
        {"silent unit", [](UpsBench& b) { b.unit.Config().Silent = true; }, noUps},
        {"short block", [](UpsBench& b) { b.unit.Config().IdentificationCut = 1; }, shortBlock},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UpsBench bench;
        c.arrange(bench);
        EXPECT_FALSE(ConnectUps());
        EXPECT_EQ(bench.shell.Board, c.board);
        const Payloads sent = bench.unit.ReceivedPayloads();
        EXPECT_EQ(std::count(sent.begin(), sent.end(), std::vector<uint8_t>{0x36}), 0);
    }
}

TEST(ConnectUps, ModuleButtonFollowsTheSecondCommandList)
{
    const struct {
        const char* name;
        int type;
        std::vector<uint8_t> commands;
        bool secondListUnanswered;
        bool enabledBefore;
        bool enabledAfter;
    } cases[] = {
        {"CE first", 280, {0xCE, 0x40, 0xA0}, false, false, true},
        {"CE last", 280, {0x40, 0xA0, 0x36, 0xCE}, false, false, true},
        {"without CE", 280, {0x40, 0xA0, 0x36, 0x78}, false, true, false},
        {"refused type still reads the list", 291, {0x40, 0xCE}, false, false, true},
        {"empty list keeps it", 280, {}, false, true, true},
        {"unreadable list keeps it on", 280, {0x40}, true, true, true},
        {"unreadable list keeps it off", 280, {0xCE}, true, false, false},
        {"type 1 skips the second read", 1, {0x40}, false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bench<ListOnce> bench;
        bench.unit.Config().TypeCode = c.type;
        bench.unit.Config().Commands = c.commands;
        bench.unit.answersOnce = c.secondListUnanswered;
        bench.shell.ModuleButtonEnabled = c.enabledBefore;
        ConnectUps();
        EXPECT_EQ(bench.shell.ModuleButtonEnabled, c.enabledAfter);
    }
}

TEST(DisconnectUps, WhileNothingIsOpenStillSendsFfReopensThePortAndResetsTheWindow)
{
    UpsBench bench;
    UpsType = 291;
    bench.shell.ModuleButtonEnabled = false;
    bench.shell.CaptionText = "Zentrel - 291 UPS.pp";
    ShownFileTitle = "291 UPS.pp";
    const int opens = bench.port.OpenCount();

    EXPECT_TRUE(DisconnectUps());
    EXPECT_EQ(bench.unit.ReceivedPayloads(), Payloads{{0xFF}});
    EXPECT_EQ(bench.shell.Board, (Lines{"Disconnecting...", "Complete"}));
    EXPECT_EQ(bench.shell.CaptionText, "Zentrel");
    EXPECT_TRUE(bench.shell.ModuleButtonEnabled);
    EXPECT_TRUE(ShownFileTitle.empty());
    EXPECT_EQ(UpsType, 0);
    EXPECT_EQ(bench.port.OpenCount(), opens + 1);
}
