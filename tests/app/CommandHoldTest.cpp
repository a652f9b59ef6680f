// A close request during a command waits for the command's end, then runs the whole shutdown.
#include "ScriptedWindow.h"
#include "config/ScrambledFiles.h"
#include "ups/Connect.h"

namespace UpsLink::Testing {

// Asks the window to close while the update's confirmation is up, as the close box or a signal would.
struct ClosedAtConfirm : ScriptedWindow {
    MsgAnswer MessageBox(const MessageRequest& request) override
    {
        close();
        EndsAtConfirm = Ends.size();
        return ScriptedWindow::MessageBox(request);
    }
    std::size_t EndsAtConfirm = 99;
};

TEST(CommandHold, ACloseDuringAnUpdateRunsTheShutdownOnceTheUpdateHasEnded)
{
    SimBench<UpsModel, ClosedAtConfirm> b;
    FileFolder folder;
    OpenPort();
    ConnectUps();
    b.shell.Answers.Queue = {folder.Write("280_hold.pp", Scrambled(WorkedExample)), MsgAnswer::Cancel};
    b.shell.cmdBattComm->click();
    EXPECT_EQ(std::tuple(b.shell.EndsAtConfirm, b.shell.Ends.size(), Connected), std::tuple(0u, 0u, true));
    QCoreApplication::processEvents();
    EXPECT_EQ(b.shell.Ends, std::vector<bool>{false});
    EXPECT_FALSE(Connected);
    EXPECT_EQ(b.shell.BoardLines(), Lines({"Disconnecting...", "Complete"}));
}

}  // namespace UpsLink::Testing
