// Connect and module selection end to end: the real port and clock against zentrel-sim on a
// pseudo-terminal, the module select dialog offscreen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>

#include "RecordingShell.h"
#include "common/Globals.h"
#include "link/PortControl.h"
#include "platform/Clock.h"
#include "platform/Seams.h"
#include "platform/SerialPort.h"
#include "support/HexBytes.h"
#include "support/SimLog.h"
#include "support/SimProcess.h"
#include "ups/Connect.h"
#include "ups/Identification.h"
#include "ups/frmSMSelect.h"

using namespace UpsLink;
using namespace UpsLink::Testing;

namespace {

using Lines = std::vector<std::string>;

std::vector<std::string> ReceivedPayloads(const std::vector<LoggedFrame>& log)
{
    std::vector<std::string> payloads;
    for (const auto& frame : FramesIn(log, '>'))
        payloads.push_back(Hex(std::vector<uint8_t>(frame.begin() + 2, frame.end() - 1)));
    return payloads;
}

}  // namespace

TEST(UpsE2e, ConnectThenSelectModule2AndReconnectToIt)
{
    QTemporaryDir dir;
    const std::string logPath = dir.filePath(QStringLiteral("sim.log")).toStdString();
    SimProcess sim({"--modules", "2,5", "--log", logPath});
    {
        InitGlobals();
        ::setenv("ZENTREL_COM1", sim.SlavePath().c_str(), 1);
        SystemClock clock;
        SerialPort port;
        RecordingShell shell;
        InstallClock(&clock);
        InstallPort(&port);
        InstallShell(&shell);
        InitPort("19200", "N", 8, 1, "1");

        EXPECT_TRUE(ConnectUps());
        EXPECT_EQ(shell.Board, (Lines{"Connecting...", "UPS Found", "Done"}));
        {
            frmSMSelect dialog;
            dialog.Form_Load();
            EXPECT_EQ(dialog.cmbSM->count(), 2);
            dialog.cmbSM->setCurrentText("2");
            shell.MessageAnswers = {MsgAnswer::Yes};
            dialog.cmdApply->click();
            EXPECT_FALSE(dialog.cmdApply->isEnabled());
        }
        EXPECT_EQ(shell.Board, (Lines{"Connecting...", "Module 2 Found", "Done"}));
        EXPECT_TRUE(Connected);
        EXPECT_EQ(UpsType, 281);

        port.SetPortOpen(false);
        InstallShell(nullptr);
        InstallPort(nullptr);
        InstallClock(nullptr);
        ::unsetenv("ZENTREL_COM1");
    }
    sim.Stop();

    const std::string access = Hex({0xCF, AccessCode[0], AccessCode[1], AccessCode[2]});
    const std::vector<std::string> connect{"FF", "40", access, "A0", "36", "FF 06 08 62", "40"};
    std::vector<std::string> expected = connect;
    expected.insert(expected.end(), {"CE 00 FF", "CE 00 02"});
    expected.insert(expected.end(), connect.begin(), connect.end());
    EXPECT_EQ(ReceivedPayloads(ReadSimLog(logPath)), expected);
}
