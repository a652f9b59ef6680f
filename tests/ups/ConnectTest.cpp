#include <gtest/gtest.h>

#include "Bench.h"
#include "ScriptedUnit.h"
#include "Wire.h"
#include "link/Globals.h"
#include "link/PortControl.h"
#include "ups/Connect.h"
#include "ups/Globals.h"
#include "ups/Identification.h"

using namespace UpsLink;
using namespace UpsLink::Testing;
using Lines = std::vector<std::string>;

namespace {

// The seven trailing fields: a byte each at V, V + 2, V + 4, V + 6, V + 7, V + 9 and V + 11.
const Bytes Trailing = Hex("A1 00 A2 00 A3 00 A4 A5 00 A6 00 A7");
// Identification blocks written out byte by byte at their absolute positions.
const Bytes NoProcessors = Hex("00  0A 00 00  01 58  00  01 40  01  00") + Trailing;
//                              N   rating    T  text M  A  low  high S: V = 11
const Bytes FourProcessors = Hex("04 02 01 00 00 00 00 00 00  0A 00 00  00  00  00  02  00") + Trailing;
//                                N  four entries, first 02 01  rating    T   M   A=low high S: V = 17
const Bytes SixProcessors =
    Hex("06 99 09 05 02 00 03 10 00 00 3A 01 01  00 FF FF 00 00  02 41 42  01 07  01 34  12  02 00 00") + Trailing;
//       N  six entries: 99 09 dropped, 3A a major  rating 0 + extended  T text  M map  A low high S two

}  // namespace

// The type is asked for after every walked block, also one with a length of 0, and only then.
TEST(ReadUpsType, WalksTheIdentificationBlockThenAsksForTheType)
{
    const struct {
        const char* name;
        Bytes block, typeData;
        std::array<float, 5> versions;  // CpuVersion(1) to CpuVersion(5)
        int configBlockLength, type;
        Lines board;
    } cases[] = {
        {"no processors, ends exactly at V + 11", NoProcessors, {0x18, 0x01}, {}, 0x0140, 280, {}},
        {"four, first 02 01, alarm map 0", FourProcessors, {0x19, 0x01}, {0, 0, 0, 1.02F, 0}, 0x0200, 281, {}},
        {"six, 3A, rating 0", SixProcessors, {0x25, 0x01}, {1.01F, 310.0F, 0.10F, 3.0F, 2.05F}, 0x1234, 293, {}},
        {"configuration block length 0", Hex("00 0A 00 00 01 58 00 01 00 00 00") + Trailing, {0x18, 0x01}, {}, 0, 0, {}},
        {"one type byte", NoProcessors, {0x18}, {}, 0x0140, 0, {"9 Subscript out of range 8"}},
        {"one byte short of V + 11", Bytes(NoProcessors.begin(), NoProcessors.end() - 1), {}, {}, 0, 0,
         {"9 Subscript out of range 9"}},
        {"length of 32768", Hex("00 0A 00 00 01 58 00 01 00 80 00") + Trailing, {}, {}, 0, 0, {"6 Overflow 9"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimBench<ScriptedUnit> bench;
        OpenPort();
        bench.unit.Then({});
        bench.unit.Then({{20, Block(1, c.block)}});
        bench.unit.Then({{20, Block(6, c.typeData)}});
        CpuVersion.fill(9.0F);

        EXPECT_EQ(ReadUpsType(), c.type);
        EXPECT_EQ(bench.shell.Board, c.board);
        const bool identified = c.board.empty() || c.board[0].back() == '8';
        EXPECT_EQ(bench.port.Payloads(), (Payloads{Access, {0xA0}} + (identified ? Payloads{{0x36}} : Payloads{})));
        // The 500 ms after the unanswered access request, then the 100 ms pause.
        EXPECT_DOUBLE_EQ(bench.port.WriteTimes().at(1) - bench.port.WriteTimes().at(0), 600);
        if (!identified) continue;
        for (int i = 1; i <= 5; ++i) EXPECT_FLOAT_EQ(CpuVersion[i], c.versions[i - 1]) << i;
        EXPECT_EQ(ConfigBlockLength, c.configBlockLength);
    }
}

TEST(ConnectUps, BoardLineConnectionAndWireByUnit)
{
    const Lines noUps{"Connecting...", "NO UPS Found", "Done"};
    const Lines invalid{"Connecting...", "Invalid UPS Type", "Done"};
    const Lines found{"Connecting...", "UPS Found", "Done"};
    using enum ConnectEnd;
    const std::tuple<int, std::string, Lines, Payloads, int, ConnectEnd> cases[] = {
        // type code, SelectedModule, board, wire, bytes cut off the identification block, outcome
        {0, "0", noUps, NoUpsConnect, 0, NoUps},
        {1, "0", noUps, NoUpsConnect, 0, NoUps},
        {2, "0", invalid, RefusedConnect, 0, TypeRefused},
        {279, "0", invalid, RefusedConnect, 0, TypeRefused},
        {280, "0", found, FullConnect, 0, Accepted},
        {281, "0", {"Connecting...", "Module Found", "Done"}, FullConnect, 0, Accepted},
        {281, "3", {"Connecting...", "Module 3 Found", "Done"}, FullConnect, 0, Accepted},
        {282, "0", invalid, RefusedConnect, 0, TypeRefused},
        {290, "0", found, FullConnect, 0, Accepted},
        {291, "0", invalid, RefusedConnect, 0, TypeRefused},
        {293, "3", found, FullConnect, 0, Accepted},
        {294, "0", invalid, RefusedConnect, 0, TypeRefused},
        {32768, "0", {"Connecting...", "6 Overflow 6"}, NoUpsConnect, 0, Fault},
        {280, "0", {"Connecting...", "9 Subscript out of range 9", "NO UPS Found", "Done"}, Unidentified, 1, NoUps},
    };
    for (const auto& [type, selected, board, wire, cut, end] : cases) {
        SCOPED_TRACE(std::to_string(type) + ": " + board[1]);
        SimBench<> bench;
        OpenPort();
        bench.unit.Config().TypeCode = type;
        bench.unit.Config().IdentificationCut = cut;
        SelectedModule = selected;
        UpsType = 7;

        EXPECT_EQ(ConnectUps().End, end);
        EXPECT_EQ(bench.shell.Board, board);
        EXPECT_EQ(Connected, end == Accepted);
        EXPECT_EQ(UpsType, type == 32768 || cut ? 0 : type);
        EXPECT_EQ(bench.unit.ReceivedPayloads(), wire);
        // 100 ms before the opening command; 500 ms after "Done".
        EXPECT_DOUBLE_EQ(bench.port.WriteTimes().at(0), 200);
    }
}

TEST(ConnectUps, ModuleButtonFollowsTheSecondCommandList)
{
    const std::tuple<const char*, int, Bytes, bool, bool> cases[] = {
        // type code, command list, enabled before, after
        {"CE first", 280, {0xCE, 0x40, 0xA0}, false, true},
        {"CE last", 280, {0x40, 0xA0, 0x36, 0xCE}, false, true},
        {"without CE", 280, {0x40, 0xA0, 0x36, 0x78}, true, false},
        {"refused type still reads the list", 291, {0x40, 0xCE}, false, true},
        {"empty list keeps it", 280, {}, true, true},
        {"type 1 skips the second read", 1, {0x40}, true, true},
    };
    for (const auto& [name, type, commands, before, after] : cases) {
        SimBench<> bench;
        OpenPort();
        bench.unit.Config().TypeCode = type;
        bench.unit.Config().Commands = commands;
        bench.shell.ModuleButtonEnabled = before;
        ConnectUps();
        EXPECT_EQ(bench.shell.ModuleButtonEnabled, after) << name;
    }
}
