#include <gtest/gtest.h>

#include "Bench.h"
#include "Blocks.h"
#include "ScriptedUnit.h"
#include "common/Fault.h"
#include "link/Globals.h"
#include "link/PortControl.h"

using namespace UpsLink;
using namespace UpsLink::Testing;
using Lines = std::vector<std::string>;

TEST(PortControl, InitPortStoresTheGivenSettingsAndReopensWithTheStoredOnes)
{
    SimBench<ScriptedUnit> bench;
    bench.port.SetDevices({3});
    InitPort("9600", "E", 7, 2, "3");
    Connected = true;

    InitPort("", "", 0, 0, "");

    EXPECT_EQ(bench.shell.PortLabel, " COM3,9600,E,7,2");
    EXPECT_EQ(bench.port.OpenCount(), 2);
    EXPECT_TRUE(bench.port.PortOpen() && bench.shell.Board.empty());
    // Opening the port is not a connection, nor does it drop one.
    EXPECT_TRUE(Connected && bench.shell.IndicatorConnected);
}

TEST(PortControl, EveryOpenFailureGivesItsLineAndLeavesThePortClosed)
{
    const std::tuple<int, std::string, std::string, std::string, std::string> cases[] = {
        // open fault (0: the settings fail instead), baud rate, port number, line, label
        {FaultNo::DeviceNotOpen, "19200", "1", "Unable to open port", " COM1,19200,N,8,1"},
        {FaultNo::PortAlreadyOpen, "19200", "1", "Port already open", " COM1,19200,N,8,1"},
        {FaultNo::CouldNotSetCommState, "19200", "1", "Invalid communications parameters", " COM1,19200,N,8,1"},
        {FaultNo::PathFileAccessError, "19200", "1", "75 Path/File access error", " COM1,19200,N,8,1"},
        {0, "19200", "2", "Invalid port number", " COM2,19200,N,8,1"},
        {0, "19200", "0", "Invalid port number", " COM1,19200,N,8,1"},
        {0, "19200", "x", "13 Type mismatch", " COM1,19200,N,8,1"},
        {0, "12345", "1", "Invalid Baud Rate", " COM1,9600,N,8,1"},
    };
    for (const auto& [openFault, baud, number, line, label] : cases) {
        SCOPED_TRACE(line + " " + baud + " COM" + number);
        SimBench<ScriptedUnit> bench;
        if (openFault) bench.port.FailOpen(1, openFault);
        Connected = bench.shell.IndicatorConnected = true;

        InitPort(baud, "N", 8, 1, number);

        EXPECT_EQ(bench.shell.Board, Lines{line});
        EXPECT_FALSE(bench.port.PortOpen());
        EXPECT_TRUE(bench.shell.PortLabelStruckOut);
        EXPECT_EQ(bench.shell.PortLabel, label);
        // The window never shows a connection that was just dropped.
        EXPECT_FALSE(Connected || bench.shell.IndicatorConnected);
    }
}

TEST(PortControl, FlushDiscardsWaitingBytesOrPostsItsMark2Line)
{
    for (bool fails : {false, true}) {
        SCOPED_TRACE(fails);
        SimBench<ScriptedUnit> bench;
        InitPort("19200", "N", 8, 1, "1");
        bench.port.Inject(0, Ack(0x31));
        bench.clock.Sleep(100);
        if (fails) bench.port.FailFrom(100, FaultNo::DeviceNotOpen);
        RxBuffer.fill(0x5A);
        ReplyData = {1, 2, 3};
        Connected = true;

        FlushPort();

        EXPECT_EQ(bench.shell.Board, fails ? Lines{"8012 The device is not open 2"} : Lines{});
        EXPECT_EQ(RxBuffer[0], fails ? 0x5A : 0);
        EXPECT_EQ(ReplyData.size(), fails ? 3u : 0u);
        EXPECT_EQ(bench.shell.IndicatorConnected, !fails);
        if (!fails) { EXPECT_EQ(bench.port.InBufferCount(), 0); }
    }
}
