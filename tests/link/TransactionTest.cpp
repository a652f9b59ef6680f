#include <gtest/gtest.h>

#include "Blocks.h"
#include "ScriptedUnit.h"
#include "SimBench.h"
#include "common/Fault.h"
#include "common/AppTitle.h"
#include "config/Globals.h"
#include "core/InitGlobals.h"
#include "link/Globals.h"
#include "link/Protocol.h"
#include "ups/Globals.h"
#include "link/PortControl.h"
#include "link/Transaction.h"

using namespace UpsLink;
using namespace Blocks;
using Lines = std::vector<std::string>;

namespace {

// 40, framed.
const Bytes ListFrame{0xAB, 0x01, 0x40, 0x14};

// One write on the wire: virtual milliseconds and bytes.
using Wire = std::vector<std::pair<double, Bytes>>;

Wire Copies(const Bytes& frame, const std::vector<double>& times)
{
    Wire wire;
    for (double t : times) wire.emplace_back(t, frame);
    return wire;
}

struct Bench : SimBench<ScriptedUnit> {
    explicit Bench(double startSecondsSinceMidnight = 12 * 3600.0) : SimBench(startSecondsSinceMidnight)
    {
        InitPort("19200", "N", 8, 1, "1");
    }

    Wire Writes() const
    {
        Wire wire;
        for (const auto& w : port.Writes()) wire.emplace_back(w.AtMs, w.Bytes);
        return wire;
    }

    // The next write is answered with these bytes 100 ms after the frame arrived; none is silence.
    void Answer(const Bytes& bytes)
    {
        if (bytes.empty())
            unit.ThenSilence();
        else
            unit.Then({{100, bytes}});
    }
};

bool SendList(int expectedCode = 16, bool ackMode = false)
{
    return SendCommand(1, CommandData = {0x40}, expectedCode, ackMode);
}

}  // namespace

// An answer that is complete before the first poll begins costs 1300 ms: 500 after the write,
// one quiet poll, 200 before reading. A resend follows at once.
TEST(SendCommand, OutcomeTableInBothModes)
{
    const Bytes data16 = Block(16, {0x00, 0x00, 0x40, 0xA0, 0x36});
    const Bytes none;
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
        {"ack: silence sends again", true, 9, {none, Ack(0x31)}, true, {0, 1300}},
        {"ack: bad checksum still read at offset 4", true, 9, {BadChecksum(Ack(0x31))}, true, {0}},
        {"ack: nothing but type and code checked", true, 9, {{0x00, 0x09, 0x00, 0x00, 0x34}}, false, {0}},
        {"ack: a stray byte hides the code", true, 9, {Join({{0x00}, Ack(0x31)}), Ack(0x31)}, true, {0, 1300}},
        {"data: code equals expected", false, 16, {data16}, true, {0}},
        {"data: 31", false, 16, {Ack(0x31)}, false, {0}},
        {"data: 32", false, 16, {Ack(0x32)}, false, {0}},
        {"data: 33 sends again", false, 16, {Ack(0x33), data16}, true, {0, 1300}},
        {"data: 34", false, 16, {Ack(0x34)}, false, {0}},
        {"data: 37", false, 16, {Ack(0x37)}, false, {0}},
        {"data: another block type sends again", false, 16, {Block(1, {1}), data16}, true, {0, 1300}},
        {"data: silence sends again", false, 16, {none, data16}, true, {0, 1300}},
        {"data: bad checksum sends again", false, 16, {BadChecksum(data16), data16}, true, {0, 1300}},
        {"data: expected 31 takes ack 31", false, 0x31, {Ack(0x31)}, true, {0}},
        {"data: expected 9 refuses ack 31", false, 9, {Ack(0x31)}, false, {0}},
        {"data: expected 9 takes ack 9", false, 9, {Ack(9)}, true, {0}},
    };
    for (const auto& c : cases) {
        Bench bench;
        for (const Bytes& answer : c.answers) bench.Answer(answer);

        EXPECT_EQ(SendList(c.expectedCode, c.ackMode), c.result) << c.name;

        EXPECT_EQ(bench.Writes(), Copies(ListFrame, c.writeTimes)) << c.name;
        EXPECT_DOUBLE_EQ(bench.clock.NowMs(), c.writeTimes.back() + 1300) << c.name;
        EXPECT_TRUE(bench.shell.Board.empty()) << c.name;
        // A data reply stays in ReplyData; acknowledgement mode leaves it empty.
        const Bytes& last = c.answers.back();
        if (c.ackMode || c.result) {
            EXPECT_EQ(ReplyData, c.ackMode ? Bytes{} : Bytes(last.begin() + 4, last.end() - 1)) << c.name;
        }
    }
}

TEST(SendCommand, SilentAndAlwaysBusyUnitsGetTheFrameSixTimes)
{
    for (bool ackMode : {false, true}) {
        for (bool busy : {false, true}) {
            SCOPED_TRACE(std::string(ackMode ? "ack" : "data") + (busy ? ", busy" : ", silent"));
            Bench bench;
            if (busy) bench.unit.Always({{100, Ack(0x33)}});
            EXPECT_FALSE(SendList(ackMode ? 9 : 16, ackMode));
            // The answer to the sixth copy is never read.
            EXPECT_EQ(bench.Writes(), Copies(ListFrame, {0, 1300, 2600, 3900, 5200, 6500}));
            EXPECT_DOUBLE_EQ(bench.clock.NowMs(), 7000);
            EXPECT_TRUE(bench.shell.Board.empty());
        }
    }
}

TEST(SendCommand, UnawaitedCommandWritesOnceAndReadsNothing)
{
    Bench bench;
    bench.Answer(Ack(0x31));

    EXPECT_TRUE(SendCommand(1, CommandData = {0xFF}, 0, false));

    EXPECT_EQ(bench.Writes(), Copies({0xAB, 0x01, 0xFF, 0x55}, {0}));
    EXPECT_DOUBLE_EQ(bench.clock.NowMs(), 500);
    EXPECT_EQ(RxBuffer[0], 0);
    // The answer is left on the line for the next flush.
    bench.clock.Advance(200);
    EXPECT_EQ(bench.port.InBufferCount(), 6);
}

TEST(SendCommand, ReplyStartingTwoSecondsLateIsTakenByALaterRead)
{
    Bench bench;
    bench.unit.Then({{2000, Ack(0x31)}});
    bench.Answer({});

    EXPECT_TRUE(SendCommand(2, CommandData = {0x78, 0x00}, 9, true));

    // The first read ends empty at 1300 and the copy goes out; the late answer is there for the
    // second read, which ends 600 ms after the poll that saw it.
    EXPECT_EQ(bench.Writes(), Copies({0xAB, 0x02, 0x78, 0x00, 0xDB}, {0, 1300}));
    EXPECT_DOUBLE_EQ(bench.clock.NowMs(), 3200);
}

// Every copy is answered by ten bytes of noise, one every 500 ms, so each read lasts 5 s.
TEST(SendCommand, FifteenSecondWindowStopsTheLoopBetweenReadsButNotAroundMidnight)
{
    std::vector<Emission> trickle;
    for (int i = 0; i < 10; ++i) trickle.push_back({100.0 + 500.0 * i, {0x00}});
    const struct {
        double start;
        std::vector<double> writeTimes;
    } cases[] = {
        // The third read starts at 11.5 s and runs past the window; no fourth read.
        {12 * 3600.0, {0, 5500, 11000, 16500}},
        {86399.0, {0, 5500, 11000, 16500, 22000, 27500}},
    };
    for (const auto& c : cases) {
        Bench bench(c.start);
        bench.unit.Always(trickle);

        EXPECT_FALSE(SendList()) << c.start;

        EXPECT_EQ(bench.Writes(), Copies(ListFrame, c.writeTimes)) << c.start;
        EXPECT_DOUBLE_EQ(bench.clock.NowMs(), c.writeTimes.back() + 500) << c.start;
        EXPECT_EQ(SendTime, static_cast<int32_t>(c.start)) << c.start;
    }
}

TEST(SendCommand, ReplyOverflowingTheReceiveBufferPostsMark4AndSendsAgain)
{
    Bench bench;
    bench.Answer(Join({Block(16, {0x00, 0x00, 0x40}), Bytes(1100, 0x55)}));
    bench.Answer(Block(16, {0x00, 0x00, 0x40}));

    EXPECT_TRUE(SendList());

    EXPECT_EQ(bench.shell.Board, Lines{"9 Subscript out of range 4"});
    EXPECT_EQ(bench.Writes(), Copies(ListFrame, {0, 1900}));
}

TEST(SendCommand, ClosedPortWritesAndPostsNothing)
{
    Bench bench;
    bench.port.FailOpen(1, FaultNo::DeviceNotOpen);
    ResetPort();
    bench.shell.Board.clear();

    EXPECT_FALSE(SendList());
    EXPECT_FALSE(SendList(9, true));

    EXPECT_TRUE(bench.port.Writes().empty());
    EXPECT_TRUE(bench.shell.Board.empty());
    EXPECT_DOUBLE_EQ(bench.clock.NowMs(), 0);
}

TEST(SendCommand, FaultsAreReportedByTheProcedureTheyHappenIn)
{
    const std::string gone = "8012 The device is not open ";
    const struct {
        const char* name;
        double failFromMs;  // the device is gone from then on; negative: never
        int payloadLength;
        Lines board;
        std::size_t writes;
    } cases[] = {
        {"device gone before the command", 0, 1, {gone + "2", gone + "5"}, 0},
        {"device gone during the first read", 700, 1, {gone + "4", gone + "5"}, 1},
        {"payload too long for a frame", -1, 256, {"6 Overflow 5"}, 0},
    };
    for (const auto& c : cases) {
        Bench bench;
        if (c.failFromMs >= 0) bench.port.FailFrom(c.failFromMs, FaultNo::DeviceNotOpen);

        EXPECT_FALSE(SendCommand(c.payloadLength, CommandData = Bytes(256, 0x40), 16, false)) << c.name;

        EXPECT_EQ(bench.shell.Board, c.board) << c.name;
        EXPECT_EQ(bench.port.Writes().size(), c.writes) << c.name;
    }
}

// A device that never stops sending: each read gives up once more than the longest reply has
// come (about 9.6 s at 19200 baud), so the command ends instead of holding the window.
TEST(SendCommand, ALineThatNeverFallsQuietEndsTheCommandWithinTheWindow)
{
    const struct {
        const char* name;
        double everyMs;
        Lines board;
    } cases[] = {
        {"babble at line speed", 10000.0 / 19200, {"9 Subscript out of range 4"}},
        {"a byte dripping in every poll", 500, {}},
    };
    for (const auto& c : cases) {
        Bench bench;
        for (double at = 0; at < 600000; at += c.everyMs) bench.port.Inject(at, {0x55});

        EXPECT_FALSE(SendList()) << c.name;

        EXPECT_EQ(bench.Writes(), Copies(ListFrame, {0, 15700})) << c.name;
        EXPECT_EQ(bench.shell.Board, c.board) << c.name;
    }
}

TEST(ReadReply, EndsSixHundredMillisecondsAfterTheLastPollThatSawBytes)
{
    const struct {
        const char* name;
        std::vector<double> byteTimes;
        double endMs;
    } cases[] = {
        {"nothing comes: at least 800 ms", {}, 800},
        {"one byte in the first poll", {100}, 1400},
        {"bytes in two polls; one in the last 200 ms is taken too", {100, 700, 1900}, 2000},
        {"bytes past the time limit keep the read going", {100, 600, 1100, 1600, 2100, 2600, 3100, 3600, 4100}, 5000},
    };
    for (const auto& c : cases) {
        Bench bench;
        Bytes sent;
        for (std::size_t i = 0; i < c.byteTimes.size(); ++i) {
            sent.push_back(static_cast<uint8_t>(0xA0 + i));
            bench.port.Inject(c.byteTimes[i], {sent.back()});
        }

        EXPECT_TRUE(ReadReply()) << c.name;

        EXPECT_DOUBLE_EQ(bench.clock.NowMs(), c.endMs) << c.name;
        EXPECT_EQ(Bytes(RxBuffer.begin(), RxBuffer.begin() + long(sent.size()) + 1), Join({sent, {0}})) << c.name;
    }
}

TEST(ReadReply, KeepsTheFirst1024BytesAndFailsOnlyWhenMoreCame)
{
    for (std::size_t count : {1024u, 1025u}) {
        Bench bench;
        bench.port.Inject(0, Counting(count, 1));

        EXPECT_EQ(ReadReply(), count == 1024) << count;

        EXPECT_EQ(Bytes(RxBuffer.begin(), RxBuffer.end()), Counting(1024, 1)) << count;
        EXPECT_EQ(bench.shell.Board, count == 1024 ? Lines{} : Lines{"9 Subscript out of range 4"}) << count;
        EXPECT_EQ(bench.port.InBufferCount(), 0) << count;
    }
}
