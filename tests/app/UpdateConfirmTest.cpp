// The window while the update asks to go ahead: the file's title in the caption, and a close
// request that waits for the update to end and then runs the whole shutdown.
#include "ScriptedWindow.h"
#include "config/ScrambledFiles.h"
#include "ups/Connect.h"

namespace UpsLink::Testing {

struct ClosedAtConfirm : ScriptedWindow {
    MsgAnswer MessageBox(const MessageRequest& request) override
    {
        caption = windowTitle();
        close();  // as the close box or a signal would ask
        endsAtConfirm = Ends.size();
        return ScriptedWindow::MessageBox(request);
    }
    QString caption;
    std::size_t endsAtConfirm = 99;
};

TEST(UpdateConfirm, CaptionAsTheFileSystemSpellsItAndACloseRequestWaitsForTheUpdateToEnd)
{
    SimBench<UpsModel, ClosedAtConfirm> b;
    FileFolder folder;
    OpenPort();
    ConnectUps();
    b.shell.Answers.Queue = {folder.Write("280_B\xC3\xBCro.pp", Scrambled(WorkedExample)), MsgAnswer::Cancel};
    b.shell.cmdBattComm->click();
    EXPECT_EQ(std::tuple(b.shell.caption, b.shell.endsAtConfirm, b.shell.Ends.size(), Connected),
              std::tuple(QString::fromUtf8("Zentrel   280_B\xC3\xBCro.pp"), 0u, 0u, true));
    QCoreApplication::processEvents();
    EXPECT_EQ(std::tuple(b.shell.Ends, Connected, b.shell.BoardLines()),
              std::tuple(std::vector<bool>{false}, false, Lines({"Disconnecting...", "Complete"})));
}

}  // namespace UpsLink::Testing
