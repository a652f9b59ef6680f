// Connect and module selection end to end: the real port and clock against zentrel-sim on a
// pseudo-terminal, the module select dialog offscreen.

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/AppTitle.h"
#include "config/Globals.h"
#include "core/InitGlobals.h"
#include "link/Globals.h"
#include "link/Protocol.h"
#include "ups/Globals.h"
#include "link/PortControl.h"
#include "support/RealBench.h"
#include "support/SimProcess.h"
#include "ups/Connect.h"
#include "frmSMSelect.h"

using namespace UpsLink;

TEST(UpsE2e, ConnectThenSelectModule2AndReconnectToIt)
{
    Testing::SimProcess sim({"--modules", "2,5"});
    ::setenv("ZENTREL_COM1", sim.SlavePath().c_str(), 1);
    Testing::RealBench bench;
    RecordingShell& shell = bench.shell;
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
    ::unsetenv("ZENTREL_COM1");
}
