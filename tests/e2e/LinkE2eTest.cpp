// The program's link on the real port and the system clock against zentrel-sim on a
// pseudo-terminal, in real time, with the wire trace that zentrel --trace writes.

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>

#include "common/AppTitle.h"
#include "config/Globals.h"
#include "core/InitGlobals.h"
#include "link/Globals.h"
#include "link/Protocol.h"
#include "ups/Globals.h"
#include "link/PortControl.h"
#include "link/Transaction.h"
#include "platform/LineFile.h"
#include "support/HexBytes.h"
#include "support/RealBench.h"
#include "support/SimLog.h"
#include "support/SimProcess.h"

using namespace UpsLink;
using namespace UpsLink::Testing;

namespace {

using Texts = std::vector<std::string>;

// The frames written and all bytes read, as the trace records them; every line's form is checked:
// time of day with milliseconds, two blanks, the direction, two blanks, upper-case hexadecimal.
std::pair<Texts, std::string> ReadTrace(const std::string& path)
{
    static const std::regex form(R"(\d\d:\d\d:\d\d\.\d\d\d  ([<>])  ([0-9A-F]{2}(?: [0-9A-F]{2})*))");
    std::ifstream in(path);
    std::pair<Texts, std::string> traced;
    std::smatch match;
    for (std::string line; std::getline(in, line);) {
        if (!std::regex_match(line, match, form))
            ADD_FAILURE() << line;
        else if (match[1] == ">")
            traced.first.push_back(match[2]);
        else
            traced.second += (traced.second.empty() ? "" : " ") + match[2].str();
    }
    return traced;
}

Texts HexFrames(const std::vector<std::vector<uint8_t>>& frames)
{
    Texts texts;
    for (const auto& frame : frames) texts.push_back(HexBytes(frame));
    return texts;
}

bool Send(const std::string& payloadHex, int expectedCode, bool ackMode)
{
    CommandData = Bytes(payloadHex);
    return SendCommand(static_cast<int>(CommandData.size()), CommandData, expectedCode, ackMode);
}

}  // namespace

// A unit busy for its first two frames: the data request succeeds on the third copy, then an
// acknowledged write goes through; the simulator's log and the wire trace tell the same story.
TEST(LinkE2e, BusyTwiceThenADataRequestAndAnAcknowledgedWrite)
{
    QTemporaryDir dir;
    const std::string simLog = dir.filePath("sim.log").toStdString();
    const std::string tracePath = dir.filePath("trace.txt").toStdString();
    std::string error;
    const std::unique_ptr<LineFile> trace = LineFile::Open(tracePath, error);
    ASSERT_TRUE(trace) << error;
    SimProcess sim({"--busy-first", "2", "--log", simLog});
    {
        ::setenv("ZENTREL_COM1", sim.SlavePath().c_str(), 1);
        RealBench bench;
        TraceWire(bench.port, *trace);
        InitPort("19200", "N", 8, 1, "1");

        EXPECT_TRUE(Send("36", 6, false));
        EXPECT_EQ(HexBytes(ReplyData), "18 01");
        EXPECT_TRUE(Send("78 0D F4 01", 9, true));
        EXPECT_TRUE(bench.shell.Board.empty());
    }
    ::unsetenv("ZENTREL_COM1");
    const int status = sim.Stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    const Texts received{"AB 01 36 1E", "AB 01 36 1E", "AB 01 36 1E", "AB 04 78 0D F4 01 D7"};
    const Texts sent{"AB 09 01 81 33 97", "AB 09 01 81 33 97", "AB 06 02 81 18 01 B3", "AB 09 01 81 31 99"};
    const std::vector<LoggedFrame> log = ReadSimLog(simLog);
    EXPECT_EQ(HexFrames(FramesIn(log, '>')), received);
    EXPECT_EQ(HexFrames(FramesIn(log, '<')), sent);
    std::string allSent;
    for (const std::string& frame : sent) allSent += (allSent.empty() ? "" : " ") + frame;
    EXPECT_EQ(ReadTrace(tracePath), std::make_pair(received, allSent));
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
        std::FILE* pipe = ::popen((std::string(ZENTREL_SIM_PATH " ") + c.options + " 2>&1").c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string output;
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
        const int status = ::pclose(pipe);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.exitCode) << c.options << "\n" << output;
        EXPECT_NE(output.find(c.expected), std::string::npos) << c.options << "\n" << output;
    }
}
