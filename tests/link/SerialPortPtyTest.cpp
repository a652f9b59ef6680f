#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <cstdlib>
#include <thread>

#include "RecordingShell.h"
#include "common/Globals.h"
#include "link/PortControl.h"
#include "link/Transaction.h"
#include "platform/Seams.h"
#include "platform/SerialPort.h"
#include "support/Pty.h"

using namespace UpsLink;
using Bytes = std::vector<uint8_t>;

namespace {

// The real port, the system clock and a recording window, with COM1 on a pseudo-terminal.
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

    void SetUp() override
    {
        InitGlobals();
        ::setenv("ZENTREL_COM1", pty.SlavePath().c_str(), 1);
        InstallClock(&clock);
        InstallPort(&port);
        InstallShell(&shell);
    }

    void TearDown() override
    {
        if (port.PortOpen()) port.SetPortOpen(false);
        InstallShell(nullptr);
        InstallPort(nullptr);
        InstallClock(nullptr);
        ::unsetenv("ZENTREL_COM1");
    }

    // Waits up to two seconds for the port to count this many waiting bytes.
    int WaitForCount(int count)
    {
        for (int i = 0; i < 400 && port.InBufferCount() < count; ++i) QThread::msleep(5);
        return port.InBufferCount();
    }

    void OpenWithDefaults() { InitPort("19200", "N", 8, 1, "1"); }

    Pty pty;
    SystemClock clock;
    SerialPort port;
    RecordingShell shell;
};

const Bytes LineControlBytes{0xAB, 0x0D, 0x0A, 0x11, 0x13, 0xFF, 0x00, 0x7F, 0x03, 0x1C};

}  // namespace

TEST_F(PtyPort, DefaultOpenSucceeds)
{
    OpenWithDefaults();

    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(shell.PortLabel, " COM1,19200,N,8,1");
    EXPECT_FALSE(shell.PortLabelStruckOut);
    EXPECT_TRUE(shell.Board.empty());
    const termios line = pty.SlaveSettings();
    EXPECT_EQ(cfgetospeed(&line), static_cast<speed_t>(B19200));
    EXPECT_EQ(line.c_cflag & CSTOPB, 0u);
}

TEST_F(PtyPort, SettingsCarryTheBaudRateAsTyped)
{
    const struct {
        std::string baudRate;
        int16_t stopBits;
        speed_t speed;
    } cases[] = {{"2400", 1, B2400}, {"4800", 2, B4800}, {"38400", 1, B38400}};
    for (const auto& c : cases) {
        InitPort(c.baudRate, "", 0, c.stopBits, "");

        EXPECT_EQ(SettingsString(), c.baudRate + ",N,8," + std::to_string(c.stopBits));
        EXPECT_EQ(shell.PortLabel, " COM1," + c.baudRate + ",N,8," + std::to_string(c.stopBits));
        EXPECT_TRUE(port.PortOpen()) << c.baudRate;
        const termios line = pty.SlaveSettings();
        EXPECT_EQ(cfgetospeed(&line), c.speed) << c.baudRate;
        EXPECT_EQ((line.c_cflag & CSTOPB) != 0, c.stopBits == 2) << c.baudRate;
    }
    EXPECT_TRUE(shell.Board.empty());
}

TEST_F(PtyPort, MissingDeviceIsAnInvalidPortNumber)
{
    ::setenv("ZENTREL_COM1", "/dev/zentrel-no-such-port", 1);

    OpenWithDefaults();

    EXPECT_EQ(shell.Board, std::vector<std::string>{"Invalid port number"});
    EXPECT_FALSE(port.PortOpen());
    EXPECT_TRUE(shell.PortLabelStruckOut);
}

TEST_F(PtyPort, FileThatIsNoSerialDeviceCannotBeOpened)
{
    ::setenv("ZENTREL_COM1", "/dev/null", 1);

    OpenWithDefaults();

    EXPECT_EQ(shell.Board, std::vector<std::string>{"Unable to open port"});
    EXPECT_FALSE(port.PortOpen());
    EXPECT_TRUE(shell.PortLabelStruckOut);
}

TEST_F(PtyPort, UnsupportedBaudRateIsRefusedAndThePortStaysClosed)
{
    OpenWithDefaults();
    BaudRate = "12345";

    ResetPort();

    EXPECT_EQ(shell.Board, std::vector<std::string>{"Invalid Baud Rate"});
    EXPECT_FALSE(port.PortOpen());
    EXPECT_TRUE(shell.PortLabelStruckOut);
    EXPECT_EQ(shell.PortLabel, " COM1,19200,N,8,1");
}

TEST_F(PtyPort, PortHeldByAnotherIsAlreadyOpen)
{
    SerialPort other;
    other.SetCommPort(1);
    other.SetSettings("19200,N,8,1");
    other.SetPortOpen(true);

    OpenWithDefaults();

    EXPECT_EQ(shell.Board, std::vector<std::string>{"Port already open"});
    EXPECT_FALSE(port.PortOpen());
}

TEST_F(PtyPort, ReopeningAnOpenPortPostsNothingAndTheLineStillWorks)
{
    OpenWithDefaults();
    ResetPort();

    EXPECT_TRUE(shell.Board.empty());
    ASSERT_TRUE(port.PortOpen());
    port.Output({0xAB, 0x01, 0xFF, 0x55});
    EXPECT_EQ(pty.Read(4, 2000), (Bytes{0xAB, 0x01, 0xFF, 0x55}));
}

TEST_F(PtyPort, BytesCrossTheLineUnchanged)
{
    OpenWithDefaults();

    port.Output(LineControlBytes);
    EXPECT_EQ(pty.Read(LineControlBytes.size(), 2000), LineControlBytes);

    pty.Write(LineControlBytes);
    EXPECT_EQ(WaitForCount(static_cast<int>(LineControlBytes.size())), static_cast<int>(LineControlBytes.size()));
    EXPECT_EQ(port.Input(), LineControlBytes);
    EXPECT_EQ(port.InBufferCount(), 0);
}

TEST_F(PtyPort, FlushDiscardsWhatTheOtherSideWrote)
{
    OpenWithDefaults();
    pty.Write({0x01, 0x02, 0x03});
    ASSERT_EQ(WaitForCount(3), 3);

    FlushPort();

    EXPECT_EQ(port.InBufferCount(), 0);
    pty.Write({0x04});
    ASSERT_EQ(WaitForCount(1), 1);
    EXPECT_EQ(port.Input(), Bytes{0x04});
    EXPECT_TRUE(shell.Board.empty());
}

TEST_F(PtyPort, AcknowledgedCommandInRealTime)
{
    OpenWithDefaults();
    std::thread unit([this] {
        const Bytes frame = pty.Read(5, 3000);
        if (frame == Bytes{0xAB, 0x02, 0x78, 0x00, 0xDB}) pty.Write({0xAB, 0x09, 0x01, 0x81, 0x31, 0x99});
    });

    const bool accepted = SendCommand(2, CommandData = {0x78, 0x00}, 9, true);
    unit.join();

    EXPECT_TRUE(accepted);
    EXPECT_EQ(RxBuffer[4], 0x31);
    EXPECT_TRUE(shell.Board.empty());
}
