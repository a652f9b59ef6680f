#include <gtest/gtest.h>

#include "Blocks.h"
#include "ScriptedUnit.h"
#include "SimBench.h"
#include "common/Fault.h"
#include "common/Globals.h"
#include "link/PortControl.h"

using namespace UpsLink;

namespace {

using Bench = SimBench<ScriptedUnit>;

void OpenWithDefaults()
{
    InitPort("19200", "N", 8, 1, "1");
}

}  // namespace

TEST(PortControl, DefaultsOpenCom1)
{
    Bench bench;
    OpenWithDefaults();

    EXPECT_TRUE(bench.port.PortOpen());
    EXPECT_EQ(bench.port.CommPort(), 1);
    EXPECT_EQ(bench.port.Settings(), "19200,N,8,1");
    EXPECT_EQ(bench.port.BaudRate(), 19200);
    EXPECT_EQ(bench.shell.PortLabel, " COM1,19200,N,8,1");
    EXPECT_FALSE(bench.shell.PortLabelStruckOut);
    EXPECT_FALSE(bench.shell.IndicatorConnected);
    EXPECT_TRUE(bench.shell.Board.empty());
    EXPECT_FALSE(Connected);
}

TEST(PortControl, InitPortKeepsSettingsForEmptyArguments)
{
    Bench bench;
    bench.port.SetDevices({1, 3});
    InitPort("9600", "E", 7, 2, "3");
    ASSERT_EQ(bench.shell.PortLabel, " COM3,9600,E,7,2");

    InitPort("", "", 0, 0, "");

    EXPECT_EQ(BaudRate, "9600");
    EXPECT_EQ(Parity, "E");
    EXPECT_EQ(DataBits, 7);
    EXPECT_EQ(StopBits, 2);
    EXPECT_EQ(PortNumber, "3");
    EXPECT_EQ(bench.port.OpenCount(), 2);
    EXPECT_TRUE(bench.port.PortOpen());
    EXPECT_EQ(bench.shell.PortLabel, " COM3,9600,E,7,2");
    EXPECT_TRUE(bench.shell.Board.empty());
}

TEST(PortControl, EveryOpenFailureGivesItsLineAndLeavesThePortClosed)
{
    const struct {
        const char* name;
        int openFault;  // 0: no open fault, the settings below fail instead
        std::string baudRate;
        std::string portNumber;
        std::string line;
        std::string label;
    } cases[] = {
        {"8012", FaultNo::DeviceNotOpen, "19200", "1", "Unable to open port", " COM1,19200,N,8,1"},
        {"8005", FaultNo::PortAlreadyOpen, "19200", "1", "Port already open", " COM1,19200,N,8,1"},
        {"8002", FaultNo::InvalidPortNumber, "19200", "1", "Invalid port number", " COM1,19200,N,8,1"},
        {"8015", FaultNo::CouldNotSetCommState, "19200", "1", "Invalid communications parameters", " COM1,19200,N,8,1"},
        {"380", FaultNo::InvalidPropertyValue, "19200", "1", "Invalid Baud Rate", " COM1,19200,N,8,1"},
        {"other", FaultNo::PathFileAccessError, "19200", "1", "75 Path/File access error", " COM1,19200,N,8,1"},
        {"no device behind COM2", 0, "19200", "2", "Invalid port number", " COM2,19200,N,8,1"},
        {"port number 0", 0, "19200", "0", "Invalid port number", " COM1,19200,N,8,1"},
        {"port number not a number", 0, "19200", "x", "13 Type mismatch", " COM1,19200,N,8,1"},
        {"baud rate 12345", 0, "12345", "1", "Invalid Baud Rate", " COM1,9600,N,8,1"},
        {"baud rate with a fraction", 0, "9600.5", "1", "Invalid Baud Rate", " COM1,9600,N,8,1"},
    };
    for (const auto& c : cases) {
        Bench bench;
        if (c.openFault) bench.port.FailOpen(1, c.openFault);
        // The window shows a connection that the failed open must drop.
        Connected = true;
        bench.shell.IndicatorConnected = true;

        InitPort(c.baudRate, "N", 8, 1, c.portNumber);

        EXPECT_EQ(bench.shell.Board, std::vector<std::string>{c.line}) << c.name;
        EXPECT_FALSE(bench.port.PortOpen()) << c.name;
        EXPECT_TRUE(bench.shell.PortLabelStruckOut) << c.name;
        EXPECT_EQ(bench.shell.PortLabel, c.label) << c.name;
        EXPECT_FALSE(Connected) << c.name;
        EXPECT_FALSE(bench.shell.IndicatorConnected) << c.name;
    }
}

TEST(PortControl, ReopeningAnOpenPortPostsNothing)
{
    Bench bench;
    OpenWithDefaults();
    Connected = true;

    ResetPort();

    EXPECT_TRUE(bench.port.PortOpen());
    EXPECT_EQ(bench.port.OpenCount(), 2);
    EXPECT_TRUE(bench.shell.Board.empty());
    EXPECT_FALSE(bench.shell.PortLabelStruckOut);
    // Opening the port is not a connection: the flag stays as it was.
    EXPECT_TRUE(Connected);
    EXPECT_TRUE(bench.shell.IndicatorConnected);
}

TEST(PortControl, RefusedBaudRateLeavesThePortClosedThoughTheOldSettingsWork)
{
    Bench bench;
    OpenWithDefaults();
    BaudRate = "12345";

    ResetPort();

    EXPECT_EQ(bench.shell.Board, std::vector<std::string>{"Invalid Baud Rate"});
    EXPECT_FALSE(bench.port.PortOpen());
    // The label shows what the port still holds.
    EXPECT_EQ(bench.shell.PortLabel, " COM1,19200,N,8,1");
    EXPECT_TRUE(bench.shell.PortLabelStruckOut);

    BaudRate = "9600";
    ResetPort();
    EXPECT_TRUE(bench.port.PortOpen());
    EXPECT_EQ(bench.port.BaudRate(), 9600);
    EXPECT_EQ(bench.shell.PortLabel, " COM1,9600,N,8,1");
    EXPECT_FALSE(bench.shell.PortLabelStruckOut);
}

TEST(PortControl, FlushDiscardsWaitingBytesAndClearsTheBuffers)
{
    Bench bench;
    OpenWithDefaults();
    bench.port.Inject(0, {0xAB, 0x09, 0x01, 0x81, 0x31, 0x99});
    bench.clock.Advance(100);
    RxBuffer.fill(0x5A);
    ReplyData = {1, 2, 3};
    Connected = true;

    FlushPort();

    EXPECT_EQ(bench.port.InBufferCount(), 0);
    EXPECT_EQ(std::count(RxBuffer.begin(), RxBuffer.end(), 0), static_cast<long>(RxBufferSize));
    EXPECT_TRUE(ReplyData.empty());
    EXPECT_TRUE(bench.shell.IndicatorConnected);
    EXPECT_TRUE(bench.shell.Board.empty());
}

TEST(PortControl, FlushOfAClosedPortOnlyClearsTheBuffers)
{
    Bench bench;
    ReplyData = {7};
    FlushPort();
    EXPECT_TRUE(ReplyData.empty());
    EXPECT_TRUE(bench.shell.Board.empty());
}

TEST(PortControl, PortFaultDuringFlushPostsTheMark2LineAndSkipsTheRest)
{
    Bench bench;
    OpenWithDefaults();
    bench.port.FailFrom(0, FaultNo::DeviceNotOpen);
    RxBuffer.fill(0x5A);
    ReplyData = {1, 2, 3};
    Connected = true;

    FlushPort();

    EXPECT_EQ(bench.shell.Board, std::vector<std::string>{"8012 The device is not open 2"});
    EXPECT_EQ(RxBuffer[0], 0x5A);
    EXPECT_EQ(ReplyData, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_FALSE(bench.shell.IndicatorConnected);
}

TEST(PortControl, SettingsStringFromTheSettings)
{
    InitGlobals();
    EXPECT_EQ(SettingsString(), "19200,N,8,1");
    BaudRate = "2400";
    Parity = "O";
    DataBits = 7;
    StopBits = 2;
    EXPECT_EQ(SettingsString(), "2400,O,7,2");
}
