// Connecting on the virtual clock: the identification walk by absolute positions, each type code's
// board line and wire trace, and the Module button's rules.

#include <gtest/gtest.h>

#include "ScriptedUnit.h"
#include "SimBench.h"
#include "common/AppTitle.h"
#include "config/Globals.h"
#include "core/InitGlobals.h"
#include "link/Globals.h"
#include "link/Protocol.h"
#include "ups/Globals.h"
#include "link/PortControl.h"
#include "ups/Connect.h"
#include "ups/Identification.h"
#include "ups/Wire.h"

using namespace UpsLink;

namespace {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

const Payloads Unidentified{{0xFF}, {0x40}, Access, {0xA0}};
const Payloads NoUpsConnect = Unidentified + Payloads{{0x36}};

// The seven trailing fields: a byte each at V, V + 2, V + 4, V + 6, V + 7, V + 9 and V + 11.
const Bytes Trailing{0xA1, 0, 0xA2, 0, 0xA3, 0, 0xA4, 0xA5, 0, 0xA6, 0, 0xA7};

// Identification blocks written out byte by byte at their absolute positions.
const Bytes NoProcessors = Bytes{0x00,              // 0: N
                                 0x0A, 0x00, 0x00,  // 1: rating, 2-3 stepped over
                                 0x01, 'X',         // 4: T, text
                                 0x00,              // 6: M
                                 0x01, 0x40,        // 7: A, alarm byte = length low
                                 0x01,              // 9: length high
                                 0x00}              // 10: S, V = 11
                           + Trailing;
const Bytes FourProcessors = Bytes{0x04, 0x02, 0x01, 0, 0, 0, 0, 0, 0,  // N, four entries
                                   0x0A, 0x00, 0x00,                    // 9: rating
                                   0x00,                                // 12: T
                                   0x00,                                // 13: M
                                   0x00,                                // 14: A = 0, also length low
                                   0x02,                                // 15: length high
                                   0x00}                                // 16: S, V = 17
                             + Trailing;
const Bytes SixProcessors = Bytes{0x06, 0x99, 0x09, 0x05, 0x02, 0x00, 0x03,  // N, six entries: 99 09 dropped,
                                  0x10, 0x00, 0x00, 0x3A, 0x01, 0x01,        // 3A a major version byte
                                  0x00, 0xFF, 0xFF, 0x00, 0x00,  // 13: rating 0, extended rating, stepped over
                                  0x02, 'A',  'B',               // 18: T, text
                                  0x01, 0x07,                    // 21: M, meter map
                                  0x01, 0x34,                    // 23: A, length low
                                  0x12,                          // 25: length high
                                  0x02, 0x00, 0x00}              // 26: S, two statistics bytes, V = 29
                            + Trailing;

// NoProcessors with another configuration block length.
Bytes WithLength(uint8_t low, uint8_t high)
{
    Bytes block = NoProcessors;
    block[8] = low;
    block[9] = high;
    return block;
}

// The access request goes unanswered; the identification request gets the block, the type
// request the type data.
struct IdentificationBench : SimBench<ScriptedUnit> {
    IdentificationBench(const Bytes& block, const Bytes& typeData)
    {
        OpenPort();
        unit.ThenSilence();
        unit.Then(Answer(1, block));
        unit.Then(Answer(6, typeData));
    }
};

template <class Unit>
struct Bench : SimBench<Unit> {
    Bench() { OpenPort(); }
};

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

// The type is asked for after every walked block, also one with a length of 0, and only then.
TEST(ReadUpsType, WalksTheIdentificationBlockThenAsksForTheType)
{
    const Bytes shortBlock(NoProcessors.begin(), NoProcessors.end() - 1);
    const struct {
        const char* name;
        Bytes block;
        Bytes typeData;
        bool identified;
        std::array<float, 5> versions;  // CpuVersion(1) to CpuVersion(5)
        int configBlockLength;
        int type;
        Lines board;
    } cases[] = {
        {"no processors, ends exactly at V + 11", NoProcessors, {0x18, 0x01}, true, {}, 0x0140, 280, {}},
        {"four, first 02 01, alarm map 0", FourProcessors, {0x19, 0x01}, true, {0, 0, 0, 1.02F, 0}, 0x0200, 281, {}},
        {"six, 3A, rating 0", SixProcessors, {0x25, 0x01}, true, {1.01F, 310.0F, 0.10F, 3.0F, 2.05F}, 0x1234, 293, {}},
        {"configuration block length 0", WithLength(0, 0), {0x18, 0x01}, true, {}, 0, 0, {}},
        {"one type byte", NoProcessors, {0x18}, true, {}, 0x0140, 0, {"9 Subscript out of range 8"}},
        {"one byte short of V + 11", shortBlock, {}, false, {}, 0, 0, {"9 Subscript out of range 9"}},
        {"length of 32768", WithLength(0x00, 0x80), {}, false, {}, 0, 0, {"6 Overflow 9"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IdentificationBench bench(c.block, c.typeData);
        CpuVersion.fill(9.0F);

        EXPECT_EQ(ReadUpsType(), c.type);
        EXPECT_EQ(bench.shell.Board, c.board);
        EXPECT_EQ(WrittenPayloads(bench.port),
                  (Payloads{Access, {0xA0}} + (c.identified ? Payloads{{0x36}} : Payloads{})));
        // The 500 ms after the unanswered access request, then the 100 ms pause.
        EXPECT_NEAR(bench.port.Writes().at(1).AtMs - bench.port.Writes().at(0).AtMs, 600, 1);
        if (!c.identified) continue;
        for (int i = 1; i <= 5; ++i) EXPECT_FLOAT_EQ(CpuVersion[i], c.versions[i - 1]) << i;
        EXPECT_EQ(ConfigBlockLength, c.configBlockLength);
    }
}

TEST(ConnectUps, BoardLineConnectionAndWireByUnit)
{
    const Lines noUps{"Connecting...", "NO UPS Found", "Done"};
    const Lines invalid{"Connecting...", "Invalid UPS Type", "Done"};
    const Lines found{"Connecting...", "UPS Found", "Done"};
    const struct {
        int type;
        std::string selectedModule;
        Lines board;
        bool accepted;
        Payloads wire;
        int identificationCut = 0;
    } cases[] = {
        {0, "0", noUps, false, NoUpsConnect},
        {1, "0", noUps, false, NoUpsConnect},
        {2, "0", invalid, false, RefusedConnect},
        {279, "0", invalid, false, RefusedConnect},
        {280, "0", found, true, FullConnect},
        {281, "0", {"Connecting...", "Module Found", "Done"}, true, FullConnect},
        {281, "3", {"Connecting...", "Module 3 Found", "Done"}, true, FullConnect},
        {282, "0", invalid, false, RefusedConnect},
        {290, "0", found, true, FullConnect},
        {291, "0", invalid, false, RefusedConnect},
        {293, "3", found, true, FullConnect},
        {294, "0", invalid, false, RefusedConnect},
        {32768, "0", {"Connecting...", "6 Overflow 6"}, false, NoUpsConnect},
        {280, "0", {"Connecting...", "9 Subscript out of range 9", "NO UPS Found", "Done"}, false, Unidentified, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + ": " + c.board[1]);
        Bench<UpsModel> bench;
        bench.unit.Config().TypeCode = c.type;
        bench.unit.Config().IdentificationCut = c.identificationCut;
        SelectedModule = c.selectedModule;

        EXPECT_EQ(ConnectUps(), c.accepted);
        EXPECT_EQ(bench.shell.Board, c.board);
        EXPECT_EQ(Connected, c.accepted);
        if (c.accepted) {
            EXPECT_EQ(UpsType, c.type);
        }
        EXPECT_EQ(bench.unit.ReceivedPayloads(), c.wire);
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
        {"unreadable list keeps it", 280, {0xCE}, true, false, false},
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
