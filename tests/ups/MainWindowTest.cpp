// The main window's connection commands on the real window, offscreen: the buttons and menu
// items reach the commands inside the busy wrapper, the board shows their lines, and the window
// is usable afterwards whatever happened.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <set>

#include "RecordingShell.h"
#include "SimPort.h"
#include "VirtualClock.h"
#include "app/AppEnvironment.h"
#include "common/Fault.h"
#include "common/AppTitle.h"
#include "config/Globals.h"
#include "core/InitGlobals.h"
#include "link/Globals.h"
#include "link/Protocol.h"
#include "ups/Globals.h"
#include "frmMain.h"
#include "link/PortControl.h"
#include "platform/Seams.h"
#include "ups/Wire.h"
#include "frmSMSelect.h"

using namespace UpsLink;

namespace {

using Lines = std::vector<std::string>;

const Lines ConnectLines{"Connecting...", "UPS Found", "Done"};
const Lines DisconnectLines{"Disconnecting...", "Complete"};

// A main window whose caption cannot be set, so a fault escapes DisconnectUps.
struct CaptionFaultShell : RecordingShell {
    void SetCaption(const std::string&) override { throw Fault(FaultNo::InvalidCall); }
};

class MainWindowUps : public ::testing::Test {
protected:
    MainWindowUps()
    {
        InitGlobals();
        InstallClock(&clock);
        InstallPort(&port);
        InstallShell(&window);
        window.EndProcess = [this] { portOpenAtEnd = port.PortOpen(); };
        unit.OnFrame = [this] {
            const QCursor* pointer = QApplication::overrideCursor();
            busyAtEveryFrame = busyAtEveryFrame && !window.isEnabled() && pointer && pointer->shape() == Qt::WaitCursor;
        };
        OpenPort();
    }
    ~MainWindowUps() override
    {
        InstallShell(nullptr);
        InstallPort(nullptr);
        InstallClock(nullptr);
    }
    Payloads SentSince(std::size_t first) const { return Since(unit.ReceivedPayloads(), first); }

    VirtualClock clock;
    WatchedModel unit;
    SimPort port{clock, unit};
    ::frmMain window{nullptr};
    bool portOpenAtEnd = true;
    bool busyAtEveryFrame = true;
};

}  // namespace

TEST_F(MainWindowUps, ConnectionCommandsInTurn)
{
    const Lines untouched{"earlier"};
    const Payloads disconnectThenConnect = Payloads{{0xFF}} + FullConnect;
    const std::function<void()> button = [&] { window.cmdConnect->click(); };
    const std::function<void()> menuConnect = [&] { window.mnuConnect->trigger(); };
    const std::function<void()> menuDisconnect = [&] { window.mnuDisconnect->trigger(); };
    const std::function<void()> module = [&] { window.cmdSM->click(); };
    const struct {
        const char* name;
        std::function<void()> command;
        bool struck;
        bool enabled;
        Lines board;
        bool connected;
        Payloads sent;
        int opens;
    } steps[] = {
        {"Connect, port label struck through: nothing", button, true, true, untouched, false, {}, 0},
        {"Module, not connected: only Link Down", module, false, true, {"Link Down"}, false, {}, 0},
        {"Connect", button, false, true, ConnectLines, true, FullConnect, 0},
        {"menu Connect while connected: disconnect first", menuConnect, false, true, ConnectLines, true,
         disconnectThenConnect, 1},
        {"Connect while connected: disconnect", button, false, true, DisconnectLines, false, {{0xFF}}, 1},
        {"menu Disconect, not connected: nothing", menuDisconnect, false, true, untouched, false, {}, 0},
        {"menu Connect ignores the port label", menuConnect, true, true, ConnectLines, true, FullConnect, 0},
        {"menu Disconect", menuDisconnect, false, true, DisconnectLines, false, {{0xFF}}, 1},
        {"menu Connect, window disabled: nothing", menuConnect, false, false, untouched, false, {}, 0},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        window.SetPortLabelStruck(step.struck);
        window.SetEnabled(step.enabled);
        window.BoardClear();
        window.AddToBoard("earlier");
        const std::size_t before = unit.ReceivedPayloads().size();
        const int opens = port.OpenCount();

        step.command();
        EXPECT_EQ(window.BoardLines(), step.board);
        EXPECT_EQ(Connected, step.connected);
        EXPECT_EQ(SentSince(before), step.sent);
        EXPECT_EQ(port.OpenCount(), opens + step.opens);
        EXPECT_EQ(window.cmdConnect->text(), step.connected ? "Disconnect" : "Connect");
        EXPECT_EQ(window.isEnabled(), step.enabled);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_TRUE(busyAtEveryFrame);
}

TEST_F(MainWindowUps, AFaultEscapingDisconnectLeavesTheWindowUsable)
{
    const struct {
        const char* name;
        std::function<void()> command;
        std::string line;
    } cases[] = {
        {"Connect button", [&] { window.cmdConnect->click(); }, "5 Invalid procedure call or argument"},
        {"Disconect menu", [&] { window.mnuDisconnect->trigger(); }, "5 Invalid procedure call or argument"},
        // ConnectUps traps what its own disconnect lets through.
        {"Connect menu", [&] { window.mnuConnect->trigger(); }, "5 Invalid procedure call or argument 6"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CaptionFaultShell shell;
        InstallShell(&shell);
        Connected = true;
        c.command();
        InstallShell(&window);
        EXPECT_TRUE(shell.FormEnabled);
        EXPECT_FALSE(shell.Busy);
        EXPECT_EQ(shell.Board, (Lines{"Disconnecting...", c.line}));
        EXPECT_FALSE(Connected);
    }
}

// The dialog runs modally without an owner over the disabled window; "No" changes nothing but the
// board, "Yes" selects the module and reconnects, leaving Apply for another try if that fails.
TEST_F(MainWindowUps, ModuleButtonWarnsBeforeSelectingAModule)
{
    unit.Config().Modules = {2, 10};
    window.cmdConnect->click();
    ASSERT_TRUE(Connected);
    const Payloads list{{0xCE, 0x00, 0xFF}};
    const Payloads select10 = list + Payloads{{0xCE, 0x00, 0x0A}};
    const struct {
        QString answer;
        int moduleType;
        Payloads sent;
        Lines board;
        int module;
        bool connected;
        bool applyEnabled;
    } cases[] = {
        {"No", 281, list, {}, 0, true, true},
        {"Yes", 281, select10 + FullConnect, {"Connecting...", "Module 10 Found", "Done"}, 10, true, false},
        {"Yes", 282, select10 + RefusedConnect, {"Connecting...", "Invalid UPS Type", "Done"}, 10, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer.toStdString() + " to a module of type " + std::to_string(c.moduleType));
        unit.Config().ModuleTypeCode = c.moduleType;
        AppTest::MessageBoxAnswerer answerer(c.answer);
        const std::size_t before = unit.ReceivedPayloads().size();
        bool dialogSeen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<frmSMSelect*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialogSeen = true;
            EXPECT_EQ(dialog->parentWidget(), nullptr);
            EXPECT_FALSE(window.isEnabled());
            dialog->cmbSM->setCurrentText("10");
            dialog->cmdApply->click();
            EXPECT_EQ(dialog->cmdApply->isEnabled(), c.applyEnabled);
            dialog->cmdExit->click();
        });
        window.cmdSM->click();

        ASSERT_TRUE(dialogSeen);
        ASSERT_EQ(answerer.Shown.size(), 1u);
        const AppTest::ShownBox& box = answerer.Shown[0];
        EXPECT_EQ(box.Title, "Update Configuration");
        EXPECT_EQ(box.Text, "WARNING: You are about to switch to MODULE 10\r\n\r\nContinue? ");
        EXPECT_EQ(std::set<QString>(box.Buttons.begin(), box.Buttons.end()), (std::set<QString>{"Yes", "No"}));
        EXPECT_EQ(box.DefaultButton, "No");
        EXPECT_EQ(box.Icon, QMessageBox::Warning);
        EXPECT_EQ(SentSince(before), c.sent);
        EXPECT_EQ(window.BoardLines(), c.board);
        EXPECT_EQ(unit.SelectedModule(), c.module);
        EXPECT_EQ(SelectedModule, std::to_string(c.module));
        EXPECT_EQ(ReplyTimeout, c.module ? 2 : 3);  // two seconds for the one hop of direct addressing
        EXPECT_EQ(Connected, c.connected);
        EXPECT_TRUE(window.isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_TRUE(busyAtEveryFrame);
}

TEST_F(MainWindowUps, ClosingWhileConnectedDisconnectsAndResetsTheWindowBeforeThePortCloses)
{
    window.cmdConnect->click();
    ASSERT_TRUE(Connected);
    window.SetCaption("Zentrel - 291 UPS.pp");
    ShownFileTitle = "291 UPS.pp";
    window.SetModuleEnabled(false);
    const std::size_t before = unit.ReceivedPayloads().size();

    window.close();
    EXPECT_EQ(SentSince(before), Payloads{{0xFF}});
    EXPECT_EQ(window.BoardLines(), DisconnectLines);
    EXPECT_EQ(window.Caption(), "Zentrel");
    EXPECT_TRUE(window.ModuleEnabled());
    EXPECT_TRUE(ShownFileTitle.empty());
    EXPECT_EQ(UpsType, 0);
    EXPECT_FALSE(portOpenAtEnd);
}
