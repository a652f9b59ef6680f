// The real serial port on a pseudo-terminal, with the system clock and a recording window.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <cstdlib>

#include "link/PortControl.h"
#include "support/Pty.h"
#include "support/RealBench.h"

using namespace UpsLink;
using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

namespace {

class PtyPort : public ::testing::Test {
protected:
    // The serial port's notifiers need an application object, as in the program.
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "link_pty_tests";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }

    void SetUp() override { ::setenv("ZENTREL_COM1", pty.SlavePath().c_str(), 1); }
    void TearDown() override { ::unsetenv("ZENTREL_COM1"); }

    // Waits up to two seconds for the port to count this many waiting bytes.
    int WaitForCount(int count)
    {
        for (int i = 0; i < 400 && port.InBufferCount() < count; ++i) QThread::msleep(5);
        return port.InBufferCount();
    }

    Pty pty;
    Testing::RealBench bench;
    SerialPort& port = bench.port;
    RecordingShell& shell = bench.shell;
};

}  // namespace

// The last row reopens the open port unchanged.
TEST_F(PtyPort, OpensWithTheSettingsAsTypedAndReopensSilently)
{
    const struct {
        std::string baudRate;
        int16_t stopBits;
        speed_t speed;
    } cases[] = {{"19200", 1, B19200}, {"2400", 1, B2400}, {"4800", 2, B4800}, {"4800", 2, B4800}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.baudRate);
        InitPort(c.baudRate, "N", 8, c.stopBits, "1");
        EXPECT_TRUE(port.PortOpen());
        EXPECT_EQ(shell.PortLabel, " COM1," + c.baudRate + ",N,8," + std::to_string(c.stopBits));
        EXPECT_FALSE(shell.PortLabelStruckOut);
        const termios line = pty.SlaveSettings();
        EXPECT_EQ(cfgetospeed(&line), c.speed);
        EXPECT_EQ((line.c_cflag & CSTOPB) != 0, c.stopBits == 2);
    }
    EXPECT_TRUE(shell.Board.empty());
}

TEST_F(PtyPort, OpenFailuresGiveTheirLinesAndAClosedPort)
{
    SerialPort holder;
    const struct {
        const char* name;
        std::string device;
        std::string baudRate;
        std::string line;
    } cases[] = {
        {"missing device", "/dev/zentrel-no-such-port", "19200", "Invalid port number"},
        {"no serial device", "/dev/null", "19200", "Unable to open port"},
        {"held by another port", pty.SlavePath(), "19200", "Port already open"},
        {"baud rate 12345", pty.SlavePath(), "12345", "Invalid Baud Rate"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        shell.Board.clear();
        ::setenv("ZENTREL_COM1", c.device.c_str(), 1);
        InitPort("19200", "N", 8, 1, "1");
        if (c.line == "Port already open") {
            // Taken by another program while this port was closed.
            port.SetPortOpen(false);
            holder.SetSettings("19200,N,8,1");
            holder.SetPortOpen(true);
        }
        shell.Board.clear();

        InitPort(c.baudRate, "", 0, 0, "");

        EXPECT_EQ(shell.Board, Lines{c.line});
        EXPECT_FALSE(port.PortOpen());
        EXPECT_TRUE(shell.PortLabelStruckOut);
        if (holder.PortOpen()) holder.SetPortOpen(false);
    }
}

TEST_F(PtyPort, BytesCrossTheLineUnchangedAndFlushDiscardsWhatCame)
{
    const Bytes lineControl{0xAB, 0x0D, 0x0A, 0x11, 0x13, 0xFF, 0x00, 0x7F, 0x03, 0x1C};
    InitPort("19200", "N", 8, 1, "1");

    port.Output(lineControl);
    EXPECT_EQ(pty.Read(lineControl.size(), 2000), lineControl);
    pty.Write(lineControl);
    ASSERT_EQ(WaitForCount(10), 10);
    EXPECT_EQ(port.Input(), lineControl);

    pty.Write({0x01, 0x02, 0x03});
    ASSERT_EQ(WaitForCount(3), 3);
    FlushPort();
    EXPECT_EQ(port.InBufferCount(), 0);
    pty.Write({0x04});
    ASSERT_EQ(WaitForCount(1), 1);
    EXPECT_EQ(port.Input(), Bytes{0x04});
    EXPECT_TRUE(shell.Board.empty());
}
