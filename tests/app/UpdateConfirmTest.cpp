// The window while the update asks to go ahead: the file's title in the caption, and a close
// request that waits for the update to end and then runs the whole shutdown.
#include "ScriptedWindow.h"
#include "config/ScrambledFiles.h"
#include "ups/Connect.h"

namespace UpsLink::Testing {

// Connected, with an update of file name that is answered Cancel at its confirmation; AtConfirm
// runs while the confirmation is up.
struct UpdateToConfirm {
    struct Window : ScriptedWindow {
        MsgAnswer MessageBox(const MessageRequest& request) override
        {
            AtConfirm();
            return ScriptedWindow::MessageBox(request);
        }
        std::function<void()> AtConfirm;
    };

    void Run(const std::string& name, std::function<void()> atConfirm)
    {
        OpenPort();
        ConnectUps();
        bench.shell.AtConfirm = std::move(atConfirm);
        bench.shell.Answers.Queue = {folder.Write(name, Scrambled(WorkedExample)), MsgAnswer::Cancel};
        bench.shell.cmdBattComm->click();
    }

    SimBench<UpsModel, Window> bench;
    FileFolder folder;
};

TEST(UpdateConfirm, AFileTitleBeyondAsciiAsTheFileSystemSpellsIt)
{
    UpdateToConfirm u;
    QString caption;
    u.Run("280_B\xC3\xBCro.pp", [&] { caption = u.bench.shell.windowTitle(); });
    EXPECT_EQ(caption, QString::fromUtf8("Zentrel   280_B\xC3\xBCro.pp"));
}

// As the close box or a signal would ask.
TEST(UpdateConfirm, ACloseRequestRunsTheShutdownOnceTheUpdateHasEnded)
{
    UpdateToConfirm u;
    ScriptedWindow& w = u.bench.shell;
    std::size_t endsAtConfirm = 99;
    u.Run("280_hold.pp", [&] { w.close(), endsAtConfirm = w.Ends.size(); });
    EXPECT_EQ(std::tuple(endsAtConfirm, w.Ends.size(), Connected), std::tuple(0u, 0u, true));
    QCoreApplication::processEvents();
    EXPECT_EQ(w.Ends, std::vector<bool>{false});
    EXPECT_FALSE(Connected);
    EXPECT_EQ(w.BoardLines(), Lines({"Disconnecting...", "Complete"}));
}

}  // namespace UpsLink::Testing
