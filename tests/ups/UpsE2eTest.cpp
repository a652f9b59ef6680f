// Connect and module selection end to end: the real port and clock against zentrel-sim on a
// pseudo-terminal, the module select dialog offscreen.

#include <gtest/gtest.h>

#include <cstdlib>

#include "RecordingShell.h"
#include "common/Globals.h"
#include "link/PortControl.h"
#include "platform/Clock.h"
#include "platform/Seams.h"
#include "platform/SerialPort.h"
#include "support/SimProcess.h"
#include "ups/Connect.h"
#include "ups/frmSMSelect.h"

using namespace UpsLink;

TEST(UpsE2e, ConnectThenSelectModule2AndReconnectToIt)
{
    Testing::SimProcess sim({"--modules", "2,5"});
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
    EXPECT_EQ(shell.Board, (std::vector<std::string>{"Connecting...", "UPS Found", "Done"}));
    {
        frmSMSelect dialog;
        dialog.Form_Load();
        dialog.cmbSM->setCurrentText("2");
        shell.MessageAnswers = {MsgAnswer::Yes};
        dialog.cmdApply->click();
    }
    EXPECT_EQ(shell.Board, (std::vector<std::string>{"Connecting...", "Module 2 Found", "Done"}));
    EXPECT_EQ(UpsType, 281);

    port.SetPortOpen(false);
    InstallShell(nullptr);
    InstallPort(nullptr);
    InstallClock(nullptr);
    ::unsetenv("ZENTREL_COM1");
}
