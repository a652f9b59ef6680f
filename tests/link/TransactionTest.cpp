#include <gtest/gtest.h>

#include "Bench.h"
#include "Blocks.h"
#include "ScriptedUnit.h"
#include "common/Fault.h"
#include "link/Globals.h"
#include "link/PortControl.h"
#include "link/Transaction.h"

using namespace UpsLink;
using namespace UpsLink::Testing;
using Lines = std::vector<std::string>;

namespace {

const Bytes ListFrame = Hex("AB 01 40 14");

struct Bench : SimBench<ScriptedUnit> {
    explicit Bench(double start = 12 * 3600.0) : SimBench(start) { InitPort("19200", "N", 8, 1, "1"); }
    // The next write is answered with these bytes 100 ms after the frame arrived; none is silence.
    void Answer(const Bytes& bytes) { unit.Then(bytes.empty() ? std::vector<Emission>{} : std::vector<Emission>{{100, bytes}}); }
    // The frames written must all be copies of one frame, at these virtual times.
    void ExpectWrites(const Bytes& frame, const std::vector<double>& times, const char* name) const
    {
        EXPECT_EQ(port.Frames(), std::vector<Bytes>(times.size(), frame)) << name;
        EXPECT_EQ(port.WriteTimes(), times) << name;
    }
};

bool SendList(int expectedCode = 16, bool ackMode = false) { return Send({0x40}, expectedCode, ackMode); }

}  // namespace

// An answer complete before the first poll costs 1300 ms: 500 after the write, one quiet poll of
// 600, 200 before reading. A resend follows at once.
TEST(SendCommand, OutcomeTableInBothModes)
{
    const Bytes data16 = Block(16, {0x00, 0x00, 0x40, 0xA0, 0x36});
    const Bytes badData16 = Hex("AB 10 05 81 00 00 40 A0 36 A8");  // its checksum is A9
    const struct {
        const char* name;
        bool ackMode;
        int expectedCode;
        std::vector<Bytes> answers;
        bool result;
        std::vector<double> writeTimes;
    } cases[] = {
        {"ack: code equals expected", true, 9, {Ack(9)}, true, {0}},
        {"ack: 31", true, 9, {Ack(0x31)}, true, {0}},
        {"ack: 32", true, 9, {Ack(0x32)}, true, {0}},
        {"ack: 33 sends again", true, 9, {Ack(0x33), Ack(0x31)}, true, {0, 1300}},
        {"ack: 34", true, 9, {Ack(0x34)}, false, {0}},
        {"ack: 37", true, 9, {Ack(0x37)}, false, {0}},
        {"ack: 30 sends again", true, 9, {Ack(0x30), Ack(0x36)}, false, {0, 1300}},
        {"ack: 38 sends again", true, 9, {Ack(0x38), Ack(0x35)}, false, {0, 1300}},
        {"ack: a data reply sends again", true, 9, {data16, Ack(0x31)}, true, {0, 1300}},
        {"ack: silence sends again", true, 9, {{}, Ack(0x31)}, true, {0, 1300}},
        {"ack: only type and code are read", true, 9, {Hex("00 09 00 00 34")}, false, {0}},
        {"data: code equals expected", false, 16, {data16}, true, {0}},
        {"data: 31", false, 16, {Ack(0x31)}, false, {0}},
        {"data: 33 sends again", false, 16, {Ack(0x33), data16}, true, {0, 1300}},
        {"data: another block type sends again", false, 16, {Block(1, {1}), data16}, true, {0, 1300}},
        {"data: bad checksum sends again", false, 16, {badData16, data16}, true, {0, 1300}},
        {"data: expected 31 takes ack 31", false, 0x31, {Ack(0x31)}, true, {0}},
        {"data: expected 9 takes ack 9", false, 9, {Ack(9)}, true, {0}},
    };
    for (const auto& c : cases) {
        Bench bench;
        for (const Bytes& answer : c.answers) bench.Answer(answer);

        EXPECT_EQ(SendList(c.expectedCode, c.ackMode), c.result) << c.name;

        bench.ExpectWrites(ListFrame, c.writeTimes, c.name);
        EXPECT_DOUBLE_EQ(bench.clock.NowMs(), c.writeTimes.back() + 1300) << c.name;
        EXPECT_TRUE(bench.shell.Board.empty()) << c.name;
        const Bytes& last = c.answers.back();
        if (!c.ackMode && c.result) { EXPECT_EQ(ReplyData, Bytes(last.begin() + 4, last.end() - 1)) << c.name; }
    }
}

TEST(SendCommand, SilentAndAlwaysBusyUnitsGetTheFrameSixTimes)
{
    for (bool ackMode : {false, true}) {
        for (bool busy : {false, true}) {
            Bench bench;
            if (busy) bench.unit.Always({{100, Ack(0x33)}});
            EXPECT_FALSE(SendList(ackMode ? 9 : 16, ackMode));
            // The answer to the sixth copy is never read.
            bench.ExpectWrites(ListFrame, {0, 1300, 2600, 3900, 5200, 6500}, busy ? "busy" : "silent");
            EXPECT_DOUBLE_EQ(bench.clock.NowMs(), 7000);
        }
    }
}

// Noise that keeps each read going: ten bytes a copy 500 ms apart make each read last 5 s, and the
// window stops the loop between reads, but not around midnight; noise in each of 22 polls ends the
// first read at 14.5 s, so the check after the copy falls exactly on the window's end, outside it.
// A line that never falls quiet ends each read once a full buffer's line time has passed, and 2 s
// more: at 300 baud that is 36.1 s, past the window.
TEST(SendCommand, FifteenSecondWindowEndsTheCommandHoweverLongTheNoise)
{
    const auto every = [](int count, double firstMs, double stepMs) {
        std::vector<Emission> noise;
        for (int i = 0; i < count; ++i) noise.push_back({firstMs + stepMs * i, {0x00}});
        return noise;
    };
    const struct { const char* name; double start; std::vector<Emission> always, first; double injectEveryMs;
                   std::vector<double> writes; Lines board; const char* settings = "19200,N,8,1"; } cases[] = {
        {"noon", 12 * 3600.0, every(10, 100, 500), {}, 0, {0, 5500, 11000, 16500}, {}},
        {"midnight", 86399.0, every(10, 100, 500), {}, 0, {0, 5500, 11000, 16500, 22000, 27500}, {}},
        {"a check at 15 s", 12 * 3600.0, {}, every(22, 800, 600), 0, {0, 14500}, {}},
        {"babble at line speed", 12 * 3600.0, {}, {}, 10000.0 / 19200, {0, 15700}, {"9 Subscript out of range 4"}},
        {"a byte dripping in every poll", 12 * 3600.0, {}, {}, 500, {0, 15700}, {}},
        {"a byte dripping in every poll at 300 baud", 12 * 3600.0, {}, {}, 500, {0, 37300}, {}, "300,N,8,1"},
    };
    for (const auto& c : cases) {
        Bench bench(c.start);
        bench.port.SetSettings(c.settings);
        bench.unit.Always(c.always);
        if (!c.first.empty()) bench.unit.Then(c.first);
        for (double at = 0; c.injectEveryMs > 0 && at < 600000; at += c.injectEveryMs) bench.port.Inject(at, {0x55});
        EXPECT_FALSE(SendList()) << c.name;
        bench.ExpectWrites(ListFrame, c.writes, c.name);
        EXPECT_EQ(std::tuple(bench.shell.Board, SendTime), std::tuple(c.board, int32_t(c.start))) << c.name;
    }
}

TEST(SendCommand, FaultsAreReportedByTheProcedureTheyHappenIn)
{
    const std::string gone = "8012 The device is not open ";
    const std::tuple<const char*, double, int, Lines, std::size_t> cases[] = {
        // the device is gone from this moment (negative: never), payload length, board, writes
        {"device gone before the command", 0, 1, {gone + "2", gone + "5"}, 0},
        {"device gone during the first read", 700, 1, {gone + "4", gone + "5"}, 1},
        {"payload too long for a frame", -1, 256, {"6 Overflow 5"}, 0},
    };
    for (const auto& [name, failFrom, length, board, writes] : cases) {
        Bench bench;
        if (failFrom >= 0) bench.port.FailFrom(failFrom, FaultNo::DeviceNotOpen);
        EXPECT_FALSE(SendCommand(length, CommandData = Bytes(256, 0x40), 16, false)) << name;
        EXPECT_EQ(bench.shell.Board, board) << name;
        EXPECT_EQ(bench.port.Frames().size(), writes) << name;
    }
}
