#include <gtest/gtest.h>

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

using namespace UpsLink;

namespace {
using Bench = SimBench<ScriptedUnit>;
using Lines = std::vector<std::string>;
}  // namespace

TEST(PortControl, InitPortWithoutSettingsReopensWithTheStoredOnesAndKeepsTheConnection)
{
    Bench bench;
    bench.port.SetDevices({3});
    InitPort("9600", "E", 7, 2, "3");
    Connected = true;

    InitPort("", "", 0, 0, "");

    EXPECT_EQ(bench.shell.PortLabel, " COM3,9600,E,7,2");
    EXPECT_EQ(bench.port.OpenCount(), 2);
    EXPECT_EQ(bench.port.BaudRate(), 9600);
    EXPECT_TRUE(bench.port.PortOpen());
    EXPECT_TRUE(bench.shell.Board.empty());
    // Opening the port is not a connection, nor does it drop one.
    EXPECT_TRUE(Connected);
    EXPECT_TRUE(bench.shell.IndicatorConnected);
}

TEST(PortControl, EveryOpenFailureGivesItsLineAndLeavesThePortClosed)
{
    const struct {
        int openFault;  // 0: the settings below fail instead
        std::string baudRate;
        std::string portNumber;
        std::string line;
        std::string label;
    } cases[] = {
        {FaultNo::DeviceNotOpen, "19200", "1", "Unable to open port", " COM1,19200,N,8,1"},
        {FaultNo::PortAlreadyOpen, "19200", "1", "Port already open", " COM1,19200,N,8,1"},
        {FaultNo::InvalidPortNumber, "19200", "1", "Invalid port number", " COM1,19200,N,8,1"},
        {FaultNo::CouldNotSetCommState, "19200", "1", "Invalid communications parameters", " COM1,19200,N,8,1"},
        {FaultNo::InvalidPropertyValue, "19200", "1", "Invalid Baud Rate", " COM1,19200,N,8,1"},
        {FaultNo::PathFileAccessError, "19200", "1", "75 Path/File access error", " COM1,19200,N,8,1"},
        {0, "19200", "2", "Invalid port number", " COM2,19200,N,8,1"},
        {0, "19200", "0", "Invalid port number", " COM1,19200,N,8,1"},
        {0, "19200", "x", "13 Type mismatch", " COM1,19200,N,8,1"},
        {0, "12345", "1", "Invalid Baud Rate", " COM1,9600,N,8,1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line + " " + c.baudRate + " COM" + c.portNumber);
        Bench bench;
        if (c.openFault) bench.port.FailOpen(1, c.openFault);
        // The window shows a connection that the failed open must drop.
        Connected = true;
        bench.shell.IndicatorConnected = true;

        InitPort(c.baudRate, "N", 8, 1, c.portNumber);

        EXPECT_EQ(bench.shell.Board, Lines{c.line});
        EXPECT_FALSE(bench.port.PortOpen());
        EXPECT_TRUE(bench.shell.PortLabelStruckOut);
        EXPECT_EQ(bench.shell.PortLabel, c.label);
        EXPECT_FALSE(Connected);
        EXPECT_FALSE(bench.shell.IndicatorConnected);
    }
}

TEST(PortControl, FlushDiscardsWaitingBytesOrPostsItsMark2Line)
{
    for (bool fails : {false, true}) {
        SCOPED_TRACE(fails);
        Bench bench;
        InitPort("19200", "N", 8, 1, "1");
        bench.port.Inject(0, {0xAB, 0x09, 0x01, 0x81, 0x31, 0x99});
        bench.clock.Advance(100);
        if (fails) bench.port.FailFrom(100, FaultNo::DeviceNotOpen);
        RxBuffer.fill(0x5A);
        ReplyData = {1, 2, 3};
        Connected = true;

        FlushPort();

        // A failure skips the rest of the flush, the indicator included.
        EXPECT_EQ(bench.shell.Board, fails ? Lines{"8012 The device is not open 2"} : Lines{});
        EXPECT_EQ(RxBuffer[0], fails ? 0x5A : 0);
        EXPECT_EQ(ReplyData.size(), fails ? 3u : 0u);
        EXPECT_EQ(bench.shell.IndicatorConnected, !fails);
        if (!fails) {
            EXPECT_EQ(bench.port.InBufferCount(), 0);
        }
    }
}
