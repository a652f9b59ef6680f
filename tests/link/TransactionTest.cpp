#include <gtest/gtest.h>

#include "Blocks.h"
#include "ScriptedUnit.h"
#include "SimBench.h"
#include "common/Fault.h"
#include "common/Globals.h"
#include "link/PortControl.h"
#include "link/Transaction.h"

using namespace UpsLink;
using Blocks::Ack;
using Blocks::Block;
using Blocks::Bytes;

namespace {

// 40 and 78 00, framed.
const Bytes ListFrame{0xAB, 0x01, 0x40, 0x14};
const Bytes EndFrame{0xAB, 0x02, 0x78, 0x00, 0xDB};

// One write on the wire: virtual milliseconds and bytes.
using Wire = std::vector<std::pair<double, Bytes>>;

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

    // The next write is answered with these bytes, starting offsetMs after the frame arrived;
    // no bytes is silence.
    void Answer(const Bytes& bytes, double offsetMs = 100)
    {
        if (bytes.empty())
            unit.ThenSilence();
        else
            unit.Then({{offsetMs, bytes}});
    }
};

Wire Copies(const Bytes& frame, std::initializer_list<double> times)
{
    Wire wire;
    for (double t : times) wire.emplace_back(t, frame);
    return wire;
}

bool SendList()
{
    return SendCommand(1, CommandData = {0x40}, 16, false);
}
bool SendEnd()
{
    return SendCommand(2, CommandData = {0x78, 0x00}, 9, true);
}

}  // namespace

// An answer that is complete before the first poll begins costs the same 1300 ms as silence:
// 500 after the write, one quiet poll, 200 before reading.
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
        double endMs;
    } cases[] = {
        {"ack: code equals expected", true, 9, {Ack(9)}, true, {0}, 1300},
        {"ack: 31", true, 9, {Ack(0x31)}, true, {0}, 1300},
        {"ack: 32", true, 9, {Ack(0x32)}, true, {0}, 1300},
        {"ack: 33 sends again", true, 9, {Ack(0x33), Ack(0x31)}, true, {0, 1300}, 2600},
        {"ack: 34", true, 9, {Ack(0x34)}, false, {0}, 1300},
        {"ack: 35", true, 9, {Ack(0x35)}, false, {0}, 1300},
        {"ack: 36", true, 9, {Ack(0x36)}, false, {0}, 1300},
        {"ack: 37", true, 9, {Ack(0x37)}, false, {0}, 1300},
        {"ack: 30 sends again", true, 9, {Ack(0x30), Ack(0x32)}, true, {0, 1300}, 2600},
        {"ack: 38 sends again", true, 9, {Ack(0x38), Ack(0x34)}, false, {0, 1300}, 2600},
        {"ack: a data reply sends again", true, 9, {data16, Ack(0x31)}, true, {0, 1300}, 2600},
        {"ack: silence sends again", true, 9, {none, Ack(0x31)}, true, {0, 1300}, 2600},
        {"ack: bad checksum still read at offset 4", true, 9, {Blocks::BadChecksum(Ack(0x31))}, true, {0}, 1300},
        {"ack: nothing but type and code checked", true, 9, {{0x00, 0x09, 0x00, 0x00, 0x34}}, false, {0}, 1300},
        {"ack: a stray byte hides the code",
         true,
         9,
         {Blocks::Join({{0x00}, Ack(0x31)}), Ack(0x31)},
         true,
         {0, 1300},
         2600},
        {"data: code equals expected", false, 16, {data16}, true, {0}, 1300},
        {"data: 31", false, 16, {Ack(0x31)}, false, {0}, 1300},
        {"data: 32", false, 16, {Ack(0x32)}, false, {0}, 1300},
        {"data: 33 sends again", false, 16, {Ack(0x33), data16}, true, {0, 1300}, 2600},
        {"data: 34", false, 16, {Ack(0x34)}, false, {0}, 1300},
        {"data: 37", false, 16, {Ack(0x37)}, false, {0}, 1300},
        {"data: another block type sends again", false, 16, {Block(1, {1}), data16}, true, {0, 1300}, 2600},
        {"data: ack 9 is another code", false, 16, {Ack(9), data16}, true, {0, 1300}, 2600},
        {"data: silence sends again", false, 16, {none, data16}, true, {0, 1300}, 2600},
        {"data: bad checksum sends again", false, 16, {Blocks::BadChecksum(data16), data16}, true, {0, 1300}, 2600},
        {"data: expected 31 takes ack 31", false, 0x31, {Ack(0x31)}, true, {0}, 1300},
        {"data: expected 9 refuses ack 31", false, 9, {Ack(0x31)}, false, {0}, 1300},
        {"data: expected 9 takes ack 9", false, 9, {Ack(9)}, true, {0}, 1300},
    };
    for (const auto& c : cases) {
        Bench bench;
        for (const Bytes& answer : c.answers) bench.Answer(answer);
        CommandData = {0x40};

        EXPECT_EQ(SendCommand(1, CommandData, c.expectedCode, c.ackMode), c.result) << c.name;

        Wire expected;
        for (double t : c.writeTimes) expected.emplace_back(t, ListFrame);
        EXPECT_EQ(bench.Writes(), expected) << c.name;
        EXPECT_DOUBLE_EQ(bench.clock.NowMs(), c.endMs) << c.name;
        EXPECT_TRUE(bench.shell.Board.empty()) << c.name;
    }
}

TEST(SendCommand, DataReplyStaysInReplyDataAndAckModeLeavesItEmpty)
{
    {
        Bench bench;
        bench.Answer(Block(16, {0x00, 0x00, 0x40, 0xA0}));
        ASSERT_TRUE(SendList());
        EXPECT_EQ(ReplyData, (Bytes{0x00, 0x00, 0x40, 0xA0}));
        EXPECT_EQ(RxBuffer[1], 16);
    }
    {
        Bench bench;
        bench.Answer(Ack(0x31));
        ASSERT_TRUE(SendEnd());
        EXPECT_TRUE(ReplyData.empty());
        EXPECT_EQ(RxBuffer[4], 0x31);
    }
}

TEST(SendCommand, SilentAndAlwaysBusyUnitsGetTheFrameSixTimes)
{
    const Wire sixCopies = Copies(ListFrame, {0, 1300, 2600, 3900, 5200, 6500});
    for (bool ackMode : {false, true}) {
        {
            Bench bench;
            EXPECT_FALSE(SendCommand(1, CommandData = {0x40}, ackMode ? 9 : 16, ackMode));
            EXPECT_EQ(bench.Writes(), sixCopies) << ackMode;
            EXPECT_DOUBLE_EQ(bench.clock.NowMs(), 7000) << ackMode;
            EXPECT_EQ(bench.unit.Log().size(), 6u);
        }
        {
            Bench bench;
            bench.unit.Always({{100, Ack(0x33)}});
            EXPECT_FALSE(SendCommand(1, CommandData = {0x40}, ackMode ? 9 : 16, ackMode));
            EXPECT_EQ(bench.Writes(), sixCopies) << ackMode;
            EXPECT_DOUBLE_EQ(bench.clock.NowMs(), 7000) << ackMode;
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
    EXPECT_TRUE(ReplyData.empty());
    EXPECT_EQ(RxBuffer[0], 0);
    // The answer is left on the line for the next flush.
    bench.clock.Advance(200);
    EXPECT_EQ(bench.port.InBufferCount(), 6);
}

TEST(SendCommand, LateReplyIsTakenByALaterRead)
{
    Bench bench;
    bench.Answer(Ack(0x31), 2000);
    bench.Answer({});

    EXPECT_TRUE(SendEnd());

    EXPECT_EQ(bench.Writes(), Copies(EndFrame, {0, 1300}));
    EXPECT_DOUBLE_EQ(bench.clock.NowMs(), 3200);
}

TEST(SendCommand, StallShorterThanAPollIsReadWhole)
{
    Bench bench;
    const Bytes reply = Block(1, Blocks::Counting(100));
    const Bytes head(reply.begin(), reply.begin() + 50);
    const Bytes tail(reply.begin() + 50, reply.end());
    const double byteMs = 10000.0 / 19200;
    // The head ends just after the poll at 1100 ms begins; the tail comes 590 ms later.
    bench.unit.Then({{1050, head}, {1050 + 50 * byteMs + 590, tail}});

    EXPECT_TRUE(SendCommand(1, CommandData = {0xA0}, 1, false));

    EXPECT_EQ(ReplyData, Blocks::Counting(100));
    EXPECT_EQ(bench.port.Writes().size(), 1u);
    EXPECT_DOUBLE_EQ(bench.clock.NowMs(), 2500);
}

TEST(SendCommand, LongReplyInSeveralBlocksIsAssembledWhole)
{
    Bench bench;
    const Bytes first = Blocks::Counting(140, 0x20);
    const Bytes second = Blocks::Counting(140, 0xA0);
    const Bytes third = Blocks::Counting(33, 0x05);
    bench.Answer(Blocks::Join({Block(1, first, 0x01), Block(1, second, 0x02), Block(1, third, 0x83)}));

    EXPECT_TRUE(SendCommand(1, CommandData = {0xA0}, 1, false));

    EXPECT_EQ(ReplyData, Blocks::Join({first, second, third}));
}

// Every copy is answered by ten bytes of noise, one every 500 ms, so each read lasts 5 s.
TEST(SendCommand, FifteenSecondWindowStopsTheLoopBetweenReadsButNotAroundMidnight)
{
    std::vector<Emission> trickle;
    for (int i = 0; i < 10; ++i) trickle.push_back({100.0 + 500.0 * i, {0x00}});
    const struct {
        const char* name;
        double start;
        std::vector<double> writeTimes;
        double endMs;
    } cases[] = {
        // The third read starts at 11.5 s and runs past the window; no fourth read.
        {"noon", 12 * 3600.0, {0, 5500, 11000, 16500}, 17000},
        {"one second before midnight", 86399.0, {0, 5500, 11000, 16500, 22000, 27500}, 28000},
    };
    for (const auto& c : cases) {
        Bench bench(c.start);
        bench.unit.Always(trickle);

        EXPECT_FALSE(SendList()) << c.name;

        Wire expected;
        for (double t : c.writeTimes) expected.emplace_back(t, ListFrame);
        EXPECT_EQ(bench.Writes(), expected) << c.name;
        EXPECT_DOUBLE_EQ(bench.clock.NowMs(), c.endMs) << c.name;
        EXPECT_EQ(SendTime, static_cast<int32_t>(c.start)) << c.name;
    }
}

TEST(SendCommand, ReplyOverflowingTheReceiveBufferPostsMark4AndSendsAgain)
{
    Bench bench;
    bench.Answer(Blocks::Join({Block(16, {0x00, 0x00, 0x40}), Bytes(1100, 0x55)}));
    bench.Answer(Block(16, {0x00, 0x00, 0x40}));

    EXPECT_TRUE(SendList());

    EXPECT_EQ(bench.shell.Board, std::vector<std::string>{"9 Subscript out of range 4"});
    EXPECT_EQ(bench.Writes(), Copies(ListFrame, {0, 1900}));
}

TEST(SendCommand, ClosedPortWritesAndPostsNothing)
{
    Bench bench;
    bench.port.FailOpen(1, FaultNo::DeviceNotOpen);
    ResetPort();
    ASSERT_FALSE(bench.port.PortOpen());
    bench.shell.Board.clear();

    EXPECT_FALSE(SendList());
    EXPECT_FALSE(SendEnd());

    EXPECT_TRUE(bench.port.Writes().empty());
    EXPECT_TRUE(bench.shell.Board.empty());
    EXPECT_DOUBLE_EQ(bench.clock.NowMs(), 0);
}

TEST(SendCommand, PortFaultsAreReportedByTheProcedureTheyHappenIn)
{
    const struct {
        const char* name;
        double failFromMs;
        std::vector<std::string> board;
        std::size_t writes;
    } cases[] = {
        {"device gone before the command", 0, {"8012 The device is not open 2", "8012 The device is not open 5"}, 0},
        {"device gone during the first read",
         700,
         {"8012 The device is not open 4", "8012 The device is not open 5"},
         1},
    };
    for (const auto& c : cases) {
        Bench bench;
        bench.port.FailFrom(c.failFromMs, FaultNo::DeviceNotOpen);

        EXPECT_FALSE(SendList()) << c.name;

        EXPECT_EQ(bench.shell.Board, c.board) << c.name;
        EXPECT_EQ(bench.port.Writes().size(), c.writes) << c.name;
    }
}

TEST(SendCommand, PayloadTooLongForAFrameIsAFailureNotAWrongFrame)
{
    Bench bench;
    EXPECT_FALSE(SendCommand(256, CommandData = Bytes(256, 0x01), 9, true));
    EXPECT_EQ(bench.shell.Board, std::vector<std::string>{"6 Overflow 5"});
    EXPECT_TRUE(bench.port.Writes().empty());
}

// A device that never stops sending: each read gives up once more than the longest reply has
// come (about 9.6 s at 19200 baud), so the command ends instead of holding the window.
TEST(SendCommand, EndlessBabbleEndsTheCommand)
{
    Bench bench;
    bench.port.Inject(0, Bytes(60 * 1920, 0x55));

    EXPECT_FALSE(SendList());

    EXPECT_EQ(bench.Writes(), Copies(ListFrame, {0, 10300, 20600}));
    EXPECT_EQ(bench.shell.Board,
              (std::vector<std::string>{"9 Subscript out of range 4", "9 Subscript out of range 4"}));
}

namespace {

struct ReadBench : SimBench<ScriptedUnit> {
    ReadBench() { InitPort("19200", "N", 8, 1, "1"); }
};

}  // namespace

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
        ReadBench bench;
        Bytes sent;
        for (std::size_t i = 0; i < c.byteTimes.size(); ++i) {
            sent.push_back(static_cast<uint8_t>(0xA0 + i));
            bench.port.Inject(c.byteTimes[i], {sent.back()});
        }

        EXPECT_TRUE(ReadReply()) << c.name;

        EXPECT_DOUBLE_EQ(bench.clock.NowMs(), c.endMs) << c.name;
        EXPECT_EQ(Bytes(RxBuffer.begin(), RxBuffer.begin() + static_cast<long>(sent.size())), sent) << c.name;
        EXPECT_EQ(RxBuffer[sent.size()], 0) << c.name;
    }
}

TEST(ReadReply, OverflowKeepsTheFirst1024BytesAndFails)
{
    ReadBench bench;
    bench.port.Inject(0, Blocks::Counting(1100, 1));

    EXPECT_FALSE(ReadReply());

    EXPECT_EQ(Bytes(RxBuffer.begin(), RxBuffer.end()), Blocks::Counting(1024, 1));
    EXPECT_EQ(bench.shell.Board, std::vector<std::string>{"9 Subscript out of range 4"});
    EXPECT_EQ(bench.port.InBufferCount(), 0);
}

TEST(ReadReply, ExactlyAFullBufferIsNoFailure)
{
    ReadBench bench;
    bench.port.Inject(0, Blocks::Counting(1024, 1));
    EXPECT_TRUE(ReadReply());
    EXPECT_EQ(RxBuffer[1023], static_cast<uint8_t>(1024));
    EXPECT_TRUE(bench.shell.Board.empty());
}

TEST(PostToBoard, PostsOnlyWhenShown)
{
    ReadBench bench;
    PostToBoard("Disconnecting...", false);
    PostToBoard("Disconnecting...", true);
    EXPECT_EQ(bench.shell.Board, std::vector<std::string>{"Disconnecting..."});
}
