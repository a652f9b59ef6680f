// The window while the update asks to go ahead: the file's title in the caption, and a close
// request that waits for the update to end and then runs the whole shutdown.
#include <QProgressBar>
#include <new>
#include <stdexcept>

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

// Something other than a fault escapes a command (the update while it asks, the connect while it
// repaints): the scope guards give the window back, the board names it, and a later close request
// is not held.
struct ThrowsWhenArmed : ScriptedWindow {
    MsgAnswer MessageBox(const MessageRequest& request) override
    {
        if (Armed == "box") throw std::runtime_error("unexpected");
        return ScriptedWindow::MessageBox(request);
    }
    void Repaint() override
    {
        if (Armed == "repaint") throw std::bad_alloc();
        ScriptedWindow::Repaint();
    }
    std::string Armed;
};

TEST(UpdateConfirm, AnythingEscapingACommandLeavesTheWindowUsableAndClosable)
{
    const struct { const char* armed; QPushButton* ScriptedWindow::*button; const char* line; } cases[] = {
        {"box", &ScriptedWindow::cmdBattComm, "51 Internal error"},
        {"repaint", &ScriptedWindow::cmdConnect, "7 Out of memory"},
    };
    for (const auto& c : cases) {
        SimBench<UpsModel, ThrowsWhenArmed> b;
        FileFolder folder;
        OpenPort();
        ConnectUps();
        b.shell.Answers.Queue = {folder.Write("280_demo.pp", Scrambled(WorkedExample))};
        b.shell.Armed = c.armed;
        (b.shell.*c.button)->click();
        b.shell.Armed.clear();
        EXPECT_EQ(std::tuple(b.shell.BoardLines().back(), b.shell.isEnabled(), QApplication::overrideCursor() == nullptr,
                             b.shell.ProgressBar1->isVisible()),
                  std::tuple(c.line, true, true, false))
            << c.armed;
        b.shell.close();
        EXPECT_EQ(b.shell.Ends, std::vector<bool>{false}) << c.armed;
    }
}

}  // namespace UpsLink::Testing
