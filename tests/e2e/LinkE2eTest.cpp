#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "RecordingShell.h"
#include "common/Globals.h"
#include "link/PortControl.h"
#include "link/Transaction.h"
#include "platform/Clock.h"
#include "platform/LineFile.h"
#include "platform/Seams.h"
#include "platform/SerialPort.h"
#include "support/HexBytes.h"
#include "support/SimLog.h"
#include "support/SimProcess.h"

using namespace UpsLink;
using namespace UpsLink::Testing;

namespace {

using Frames = std::vector<std::vector<uint8_t>>;

// The program's link on the real port and clock, COM1 pointed at the simulator's terminal, and
// every byte through the port written to a wire trace the way zentrel --trace writes it.
struct RealLink {
    RealLink(const std::string& device, const std::string& tracePath)
    {
        InitGlobals();
        ::setenv("ZENTREL_COM1", device.c_str(), 1);
        InstallClock(&clock);
        InstallPort(&port);
        InstallShell(&shell);
        std::string error;
        trace = LineFile::Open(tracePath, error);
        if (!trace) throw std::runtime_error("cannot write the trace: " + error);
        port.SetTrace([this](char direction, const std::vector<uint8_t>& bytes) {
            trace->WriteLine(TraceLine(Timer(), direction, bytes));
        });
        InitPort("19200", "N", 8, 1, "1");
    }
    ~RealLink()
    {
        if (port.PortOpen()) port.SetPortOpen(false);
        InstallShell(nullptr);
        InstallPort(nullptr);
        InstallClock(nullptr);
        ::unsetenv("ZENTREL_COM1");
    }

    bool Send(const std::string& payloadHex, int expectedCode, bool ackMode)
    {
        CommandData = Bytes(payloadHex);
        return SendCommand(static_cast<int>(CommandData.size()), CommandData, expectedCode, ackMode);
    }

    SystemClock clock;
    SerialPort port;
    RecordingShell shell;
    std::unique_ptr<LineFile> trace;
};

struct Traced {
    Frames written;
    std::vector<uint8_t> read;
};

// Reads a wire trace, checking every line's form: time of day with milliseconds, two blanks,
// the direction, two blanks, upper-case hexadecimal bytes separated by blanks.
Traced ReadTrace(const std::string& path)
{
    static const std::regex form(R"(\d\d:\d\d:\d\d\.\d\d\d  ([<>])  ([0-9A-F]{2}(?: [0-9A-F]{2})*))");
    std::ifstream in(path);
    Traced traced;
    std::string line;
    std::smatch match;
    while (std::getline(in, line)) {
        EXPECT_TRUE(std::regex_match(line, match, form)) << line;
        if (match.empty()) continue;
        const std::vector<uint8_t> bytes = Bytes(match[2]);
        if (match[1] == ">")
            traced.written.push_back(bytes);
        else
            traced.read.insert(traced.read.end(), bytes.begin(), bytes.end());
    }
    return traced;
}

std::vector<uint8_t> Joined(const Frames& frames)
{
    std::vector<uint8_t> bytes;
    for (const auto& frame : frames) bytes.insert(bytes.end(), frame.begin(), frame.end());
    return bytes;
}

std::vector<std::string> HexFrames(const Frames& frames)
{
    std::vector<std::string> texts;
    for (const auto& frame : frames) texts.push_back(Hex(frame));
    return texts;
}

bool ExitedCleanly(int status)
{
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string FileText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The wire trace and the simulator's frame log tell the same story, byte for byte.
void ExpectTraceMatchesSimLog(const Traced& traced, const std::vector<LoggedFrame>& log)
{
    EXPECT_EQ(HexFrames(traced.written), HexFrames(FramesIn(log, '>')));
    EXPECT_EQ(Hex(traced.read), Hex(Joined(FramesIn(log, '<'))));
}

}  // namespace

class LinkE2e : public ::testing::Test {
protected:
    std::string PathOf(const char* name) const { return dir.filePath(QLatin1String(name)).toStdString(); }
    QTemporaryDir dir;
};

TEST_F(LinkE2e, DataRequestAndAcknowledgedWriteSucceed)
{
    SimProcess sim({"--log", PathOf("sim.log"), "--eeprom", PathOf("eeprom.txt")});
    {
        RealLink link(sim.SlavePath(), PathOf("trace.txt"));
        ASSERT_TRUE(link.port.PortOpen());
        ASSERT_TRUE(link.Send("36", 6, false));
        EXPECT_EQ(Hex(ReplyData), "18 01");
        ASSERT_TRUE(link.Send("78 0D F4 01", 9, true));
        EXPECT_TRUE(link.shell.Board.empty());
    }
    EXPECT_TRUE(ExitedCleanly(sim.Stop()));

    const std::vector<LoggedFrame> log = ReadSimLog(PathOf("sim.log"));
    EXPECT_EQ(HexFrames(FramesIn(log, '>')), (std::vector<std::string>{"AB 01 36 1E", "AB 04 78 0D F4 01 D7"}));
    EXPECT_EQ(HexFrames(FramesIn(log, '<')), (std::vector<std::string>{"AB 06 02 81 18 01 B3", "AB 09 01 81 31 99"}));
    EXPECT_EQ(FileText(PathOf("eeprom.txt")), "13: F4 01\n");
    ExpectTraceMatchesSimLog(ReadTrace(PathOf("trace.txt")), log);
}

TEST_F(LinkE2e, BusyTwiceSucceedsOnTheThirdCopy)
{
    SimProcess sim({"--busy-first", "2", "--log", PathOf("sim.log")});
    {
        RealLink link(sim.SlavePath(), PathOf("trace.txt"));
        ASSERT_TRUE(link.Send("36", 6, false));
        EXPECT_EQ(Hex(ReplyData), "18 01");
    }
    EXPECT_TRUE(ExitedCleanly(sim.Stop()));

    const std::vector<LoggedFrame> log = ReadSimLog(PathOf("sim.log"));
    EXPECT_EQ(HexFrames(FramesIn(log, '>')), std::vector<std::string>(3, "AB 01 36 1E"));
    EXPECT_EQ(HexFrames(FramesIn(log, '<')),
              (std::vector<std::string>{"AB 09 01 81 33 97", "AB 09 01 81 33 97", "AB 06 02 81 18 01 B3"}));
    ExpectTraceMatchesSimLog(ReadTrace(PathOf("trace.txt")), log);
}

// At 1200 baud a byte takes 8.3 ms: the 49-byte identification answer cannot arrive faster.
TEST_F(LinkE2e, AnswersArePacedAtTheLineSpeed)
{
    SimProcess sim({"--baud", "1200"});
    const int fd = ::open(sim.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios raw{};
    ::tcgetattr(fd, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(fd, TCSANOW, &raw);
    const std::vector<uint8_t> frame = Bytes("AB 01 A0 B4");
    ASSERT_EQ(::write(fd, frame.data(), frame.size()), 4);

    using Clock = std::chrono::steady_clock;
    std::vector<uint8_t> answer;
    Clock::time_point first, last;
    while (answer.size() < 49) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 3000) <= 0) break;
        uint8_t chunk[64];
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n <= 0) break;
        if (answer.empty()) first = Clock::now();
        last = Clock::now();
        answer.insert(answer.end(), chunk, chunk + n);
    }
    ::close(fd);
    ASSERT_EQ(answer.size(), 49u);
    const double spreadMs = std::chrono::duration<double, std::milli>(last - first).count();
    EXPECT_GE(spreadMs, 0.9 * 48 * 10000.0 / 1200);
}

TEST(SimProgram, HelpAndRefusedOptions)
{
    const struct {
        std::string options;
        int exitCode;
        std::string expected;
    } cases[] = {
        {"--help", 0, "--busy-first <K>"},
        {"--type 70000", 2, "--type wants a number from 0 to 65535, not \"70000\""},
        {"--refuse-code 0x33", 2, "--refuse-code wants a number from 52 to 55"},
        {"--commands 40,XYZ", 2, "--commands wants hexadecimal bytes"},
        {"--stall 700", 2, "--stall and --stall-after go together"},
        {"--no-such-option", 2, "no-such-option"},
        {"--log /nonexistent-dir/log.txt", 2, "cannot open the log /nonexistent-dir/log.txt"},
    };
    for (const auto& c : cases) {
        std::FILE* pipe = ::popen((SimProgram() + " " + c.options + " 2>&1").c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string output;
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
        const int status = ::pclose(pipe);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.exitCode) << c.options << "\n" << output;
        EXPECT_NE(output.find(c.expected), std::string::npos) << c.options << "\n" << output;
    }
}
