// The program's link on the real port and the system clock against zentrel-sim on a
// pseudo-terminal, in real time, with the wire trace that zentrel --trace writes.

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <QTemporaryDir>
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

using Texts = std::vector<std::string>;

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
        TraceWire(port, *trace);
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

// The frames written and all bytes read, as the trace records them; every line's form is checked:
// time of day with milliseconds, two blanks, the direction, two blanks, upper-case hexadecimal.
std::pair<Texts, std::string> ReadTrace(const std::string& path)
{
    static const std::regex form(R"(\d\d:\d\d:\d\d\.\d\d\d  ([<>])  ([0-9A-F]{2}(?: [0-9A-F]{2})*))");
    std::ifstream in(path);
    std::pair<Texts, std::vector<uint8_t>> traced;
    std::string line;
    std::smatch match;
    while (std::getline(in, line)) {
        if (!std::regex_match(line, match, form)) {
            ADD_FAILURE() << line;
            continue;
        }
        const std::vector<uint8_t> bytes = Bytes(match[2]);
        if (match[1] == ">")
            traced.first.push_back(Hex(bytes));
        else
            traced.second.insert(traced.second.end(), bytes.begin(), bytes.end());
    }
    return {traced.first, Hex(traced.second)};
}

Texts HexFrames(const std::vector<std::vector<uint8_t>>& frames)
{
    Texts texts;
    for (const auto& frame : frames) texts.push_back(Hex(frame));
    return texts;
}

bool ExitedCleanly(int status)
{
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class LinkE2e : public ::testing::Test {
protected:
    std::string PathOf(const char* name) const { return dir.filePath(QLatin1String(name)).toStdString(); }

    // The simulator saw these frames and answered with these; the wire trace tells the same story.
    void ExpectLogged(const Texts& received, const Texts& sent)
    {
        const std::vector<LoggedFrame> log = ReadSimLog(PathOf("sim.log"));
        EXPECT_EQ(HexFrames(FramesIn(log, '>')), received);
        EXPECT_EQ(HexFrames(FramesIn(log, '<')), sent);
        std::vector<uint8_t> allSent;
        for (const std::string& frame : sent) {
            const std::vector<uint8_t> bytes = Bytes(frame);
            allSent.insert(allSent.end(), bytes.begin(), bytes.end());
        }
        EXPECT_EQ(ReadTrace(PathOf("trace.txt")), std::make_pair(received, Hex(allSent)));
    }

    QTemporaryDir dir;
};

}  // namespace

TEST_F(LinkE2e, DataRequestAndAcknowledgedWriteSucceed)
{
    SimProcess sim({"--log", PathOf("sim.log"), "--eeprom", PathOf("eeprom.txt")});
    {
        RealLink link(sim.SlavePath(), PathOf("trace.txt"));
        ASSERT_TRUE(link.Send("36", 6, false));
        EXPECT_EQ(Hex(ReplyData), "18 01");
        ASSERT_TRUE(link.Send("78 0D F4 01", 9, true));
        EXPECT_TRUE(link.shell.Board.empty());
    }
    EXPECT_TRUE(ExitedCleanly(sim.Stop()));

    ExpectLogged({"AB 01 36 1E", "AB 04 78 0D F4 01 D7"}, {"AB 06 02 81 18 01 B3", "AB 09 01 81 31 99"});
    std::ifstream eeprom(PathOf("eeprom.txt"));
    std::stringstream text;
    text << eeprom.rdbuf();
    EXPECT_EQ(text.str(), "13: F4 01\n");
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

    ExpectLogged(Texts(3, "AB 01 36 1E"), {"AB 09 01 81 33 97", "AB 09 01 81 33 97", "AB 06 02 81 18 01 B3"});
}

TEST(SimProgram, HelpAndRefusals)
{
    const struct {
        std::string options;
        int exitCode;
        std::string expected;
    } cases[] = {
        {"--help", 0, "--busy-first <K>"},
        {"--type 70000", 2, "--type wants a number from 0 to 65535, not \"70000\""},
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
