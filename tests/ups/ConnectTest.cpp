#include <gtest/gtest.h>

#include "SimBench.h"
#include "UpsModel.h"
#include "common/Globals.h"
#include "link/PortControl.h"
#include "ups/Connect.h"
#include "ups/Identification.h"
#include "ups/Replies.h"

using namespace UpsLink;

namespace {

using Payloads = std::vector<std::vector<uint8_t>>;

const std::vector<uint8_t> Access{0xCF, AccessCode[0], AccessCode[1], AccessCode[2]};
const Payloads FullConnect{{0xFF}, {0x40}, Access, {0xA0}, {0x36}, {0xFF, 0x06, 0x08, 0x62}, {0x40}};
const Payloads RefusedConnect{{0xFF}, {0x40}, Access, {0xA0}, {0x36}, {0x40}};
const Payloads NoUpsConnect{{0xFF}, {0x40}, Access, {0xA0}, {0x36}};

struct UpsBench : SimBench<UpsModel> {
    UpsBench() { OpenPort(); }
    Payloads Received() const { return unit.ReceivedPayloads(); }
};

// A unit that answers its command list once only: every later 40 goes unanswered.
struct ListOnce : UpsModel {
    std::vector<Emission> Receive(const std::vector<uint8_t>& bytes, double nowMs) override
    {
        std::vector<Emission> emissions = UpsModel::Receive(bytes, nowMs);
        if (bytes.size() > 2 && bytes[2] == 0x40 && ++lists > 1) return {};
        return emissions;
    }
    int lists = 0;
};

}  // namespace

TEST(ConnectUps, Unit280SendsTheWholeSequenceAndLeavesThreeLines)
{
    UpsBench bench;
    EXPECT_TRUE(ConnectUps());
    EXPECT_EQ(bench.Received(), FullConnect);
    EXPECT_EQ(WrittenPayloads(bench.port), FullConnect);
    EXPECT_EQ(bench.shell.Board, (std::vector<std::string>{"Connecting...", "UPS Found", "Done"}));
    EXPECT_TRUE(Connected);
    EXPECT_EQ(UpsType, 280);
    EXPECT_FLOAT_EQ(CpuVersion[1], 1.23F);
    EXPECT_TRUE(bench.shell.IndicatorConnected);
}

TEST(ConnectUps, WhileConnectedDisconnectsFirstAndKeepsOnlyTheConnectLines)
{
    UpsBench bench;
    ASSERT_TRUE(ConnectUps());
    const int opens = bench.port.OpenCount();
    const std::size_t before = bench.Received().size();

    EXPECT_TRUE(ConnectUps());
    const Payloads all = bench.Received();
    Payloads second(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    Payloads expected{{0xFF}};
    expected.insert(expected.end(), FullConnect.begin(), FullConnect.end());
    EXPECT_EQ(second, expected);
    EXPECT_EQ(bench.port.OpenCount(), opens + 1);
    EXPECT_EQ(bench.shell.Board, (std::vector<std::string>{"Connecting...", "UPS Found", "Done"}));
    EXPECT_TRUE(Connected);
}

TEST(ConnectUps, BoardLineAndConnectionByTypeCode)
{
    const struct {
        int type;
        std::string selectedModule;
        std::string line;
        bool accepted;
        Payloads wire;
    } cases[] = {
        {0, "0", "NO UPS Found", false, NoUpsConnect},
        {1, "0", "NO UPS Found", false, NoUpsConnect},
        {2, "0", "Invalid UPS Type", false, RefusedConnect},
        {279, "0", "Invalid UPS Type", false, RefusedConnect},
        {280, "0", "UPS Found", true, FullConnect},
        {281, "0", "Module Found", true, FullConnect},
        {281, "3", "Module 3 Found", true, FullConnect},
        {282, "0", "Invalid UPS Type", false, RefusedConnect},
        {290, "0", "UPS Found", true, FullConnect},
        {291, "0", "Invalid UPS Type", false, RefusedConnect},
        {293, "3", "UPS Found", true, FullConnect},
        {294, "0", "Invalid UPS Type", false, RefusedConnect},
        {32767, "0", "Invalid UPS Type", false, RefusedConnect},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        UpsBench bench;
        bench.unit.Config().TypeCode = c.type;
        SelectedModule = c.selectedModule;

        EXPECT_EQ(ConnectUps(), c.accepted);
        EXPECT_EQ(bench.shell.Board, (std::vector<std::string>{"Connecting...", c.line, "Done"}));
        EXPECT_EQ(Connected, c.accepted);
        EXPECT_EQ(UpsType, c.type);
        EXPECT_EQ(bench.Received(), c.wire);
    }
}

TEST(ConnectUps, TypeCodeOf32768OrMoreIsAnOverflowWithoutDone)
{
    for (int type : {32768, 65535}) {
        SCOPED_TRACE(type);
        UpsBench bench;
        bench.unit.Config().TypeCode = type;
        bench.shell.ModuleButtonEnabled = false;

        EXPECT_FALSE(ConnectUps());
        EXPECT_EQ(bench.shell.Board, (std::vector<std::string>{"Connecting...", "6 Overflow 6"}));
        EXPECT_FALSE(Connected);
        EXPECT_EQ(bench.Received(), NoUpsConnect);
        EXPECT_FALSE(bench.shell.ModuleButtonEnabled);
    }
}

TEST(ConnectUps, SilentUnitIsNoUps)
{
    UpsBench bench;
    bench.unit.Config().Silent = true;
    EXPECT_FALSE(ConnectUps());
    EXPECT_EQ(bench.shell.Board, (std::vector<std::string>{"Connecting...", "NO UPS Found", "Done"}));
    EXPECT_FALSE(Connected);
    EXPECT_EQ(UpsType, 0);
}

TEST(ConnectUps, ShortIdentificationBlockIsNoUps)
{
    UpsBench bench;
    bench.unit.Config().IdentificationCut = 1;
    EXPECT_FALSE(ConnectUps());
    EXPECT_EQ(bench.shell.Board,
              (std::vector<std::string>{"Connecting...", "9 Subscript out of range 9", "NO UPS Found", "Done"}));
    // No type request after a failed walk.
    EXPECT_EQ(bench.Received(), (Payloads{{0xFF}, {0x40}, Access, {0xA0}}));
}

TEST(ConnectUps, ModuleButtonFollowsTheSecondCommandList)
{
    const struct {
        const char* name;
        int type;
        std::vector<uint8_t> commands;
        bool enabledBefore;
        bool enabledAfter;
    } cases[] = {
        {"CE first", 280, {0xCE, 0x40, 0xA0}, false, true},
        {"CE last", 280, {0x40, 0xA0, 0x36, 0xCE}, false, true},
        {"without CE", 280, {0x40, 0xA0, 0x36, 0x78}, true, false},
        {"refused type still reads the list", 291, {0x40, 0xCE}, false, true},
        {"refused type without CE", 291, {0x40, 0x36}, true, false},
        {"empty list keeps it on", 280, {}, true, true},
        {"empty list keeps it off", 280, {}, false, false},
        {"type 0 skips the second read", 0, {0x40, 0xA0}, true, true},
        {"type 1 skips the second read", 1, {0xCE}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UpsBench bench;
        bench.unit.Config().TypeCode = c.type;
        bench.unit.Config().Commands = c.commands;
        bench.shell.ModuleButtonEnabled = c.enabledBefore;

        ConnectUps();
        EXPECT_EQ(bench.shell.ModuleButtonEnabled, c.enabledAfter);
        const std::string expected(c.commands.begin(), c.commands.end());
        if (c.type > 1) {
            EXPECT_EQ(SupportedCommands, expected);
        }
    }
}

TEST(ConnectUps, UnreadableSecondListKeepsTheModuleButton)
{
    for (bool enabled : {false, true}) {
        SimBench<ListOnce> bench;
        OpenPort();
        bench.unit.Config().Commands = enabled ? std::vector<uint8_t>{0x40} : std::vector<uint8_t>{0xCE};
        bench.shell.ModuleButtonEnabled = enabled;

        EXPECT_TRUE(ConnectUps());
        EXPECT_EQ(bench.shell.ModuleButtonEnabled, enabled);
        EXPECT_TRUE(SupportedCommands.empty());
        EXPECT_EQ(bench.shell.Board, (std::vector<std::string>{"Connecting...", "UPS Found", "Done"}));
    }
}

TEST(ReadSupportedCommands, OneCharacterPerCodeFromTheThirdDataByte)
{
    UpsBench bench;
    bench.unit.Config().Commands = {0x40, 0x00, 0xFF, 0xCE};
    SupportedCommands = "stale";
    EXPECT_TRUE(ReadSupportedCommands());
    EXPECT_EQ(SupportedCommands, std::string("\x40\x00\xFF\xCE", 4));

    bench.unit.Config().Silent = true;
    EXPECT_FALSE(ReadSupportedCommands());
    EXPECT_TRUE(SupportedCommands.empty());
}

TEST(DisconnectUps, SendsFfReopensThePortAndResetsTheWindow)
{
    for (bool connectedFirst : {true, false}) {
        SCOPED_TRACE(connectedFirst);
        UpsBench bench;
        if (connectedFirst) {
            ASSERT_TRUE(ConnectUps());
        }
        bench.shell.ModuleButtonEnabled = false;
        bench.shell.CaptionText = "Zentrel - 280 UPS.pp";
        ShownFileTitle = "280 UPS.pp";
        const std::size_t before = bench.Received().size();
        const int opens = bench.port.OpenCount();

        EXPECT_TRUE(DisconnectUps());
        const Payloads all = bench.Received();
        EXPECT_EQ(Payloads(all.begin() + static_cast<std::ptrdiff_t>(before), all.end()), Payloads{{0xFF}});
        EXPECT_EQ(bench.shell.Board, (std::vector<std::string>{"Disconnecting...", "Complete"}));
        EXPECT_EQ(bench.shell.CaptionText, "Zentrel");
        EXPECT_TRUE(bench.shell.ModuleButtonEnabled);
        EXPECT_TRUE(ShownFileTitle.empty());
        EXPECT_FALSE(Connected);
        EXPECT_EQ(UpsType, 0);
        EXPECT_EQ(bench.port.OpenCount(), opens + 1);
        EXPECT_TRUE(bench.port.PortOpen());
        EXPECT_FALSE(bench.shell.IndicatorConnected);
    }
}

TEST(ConnectUps, ClosedPortEndsInNoUpsWithoutWriting)
{
    UpsBench bench;
    MSComm1().SetPortOpen(false);
    EXPECT_FALSE(ConnectUps());
    EXPECT_TRUE(bench.port.Writes().empty());
    EXPECT_EQ(bench.shell.Board, (std::vector<std::string>{"Connecting...", "NO UPS Found", "Done"}));
}
