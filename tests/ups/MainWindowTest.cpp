// The main window's connection commands on the real window, offscreen: the buttons and menu
// items reach the commands, the board shows their lines, the window is usable afterwards.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <set>

#include "SimPort.h"
#include "UpsModel.h"
#include "VirtualClock.h"
#include "app/AppEnvironment.h"
#include "common/Globals.h"
#include "frmMain.h"
#include "link/PortControl.h"
#include "platform/Seams.h"
#include "ups/frmSMSelect.h"

using namespace UpsLink;

namespace {

using Lines = std::vector<std::string>;
using Payloads = std::vector<std::vector<uint8_t>>;

class MainWindowUps : public ::testing::Test {
protected:
    MainWindowUps()
    {
        InitGlobals();
        InstallClock(&clock);
        InstallPort(&port);
        InstallShell(&window);
        window.EndProcess = [this] { portOpenAtEnd = port.PortOpen(); };
        OpenPort();
    }
    ~MainWindowUps() override
    {
        InstallShell(nullptr);
        InstallPort(nullptr);
        InstallClock(nullptr);
    }
    void ExpectIdle()
    {
        EXPECT_TRUE(window.isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    VirtualClock clock;
    UpsModel unit;
    SimPort port{clock, unit};
    ::frmMain window{nullptr};
    bool portOpenAtEnd = true;
};

}  // namespace

TEST_F(MainWindowUps, ConnectButtonConnectsAndDisconnects)
{
    window.cmdConnect->click();
    EXPECT_EQ(window.BoardLines(), (Lines{"Connecting...", "UPS Found", "Done"}));
    EXPECT_EQ(window.cmdConnect->text(), "Disconnect");
    ExpectIdle();

    window.cmdConnect->click();
    EXPECT_EQ(window.BoardLines(), (Lines{"Disconnecting...", "Complete"}));
    EXPECT_EQ(window.cmdConnect->text(), "Connect");
    EXPECT_FALSE(Connected);
    ExpectIdle();
}

TEST_F(MainWindowUps, ConnectButtonDoesNothingWithThePortClosed)
{
    window.SetPortLabelStruck(true);
    window.cmdConnect->click();
    EXPECT_TRUE(window.BoardLines().empty());
    EXPECT_TRUE(port.Writes().empty());
    ExpectIdle();
}

TEST_F(MainWindowUps, UpsMenuConnectsWhileConnectedAndDisconnects)
{
    window.mnuConnect->trigger();
    ASSERT_TRUE(Connected);
    window.mnuConnect->trigger();
    EXPECT_EQ(window.BoardLines(), (Lines{"Connecting...", "UPS Found", "Done"}));
    const Payloads sent = unit.ReceivedPayloads();
    // FF 06 08 62 and 40 close the first connect; the second begins with the disconnect's FF.
    ASSERT_GE(sent.size(), 10u);
    EXPECT_EQ(sent[6], std::vector<uint8_t>{0x40});
    EXPECT_EQ(sent[7], std::vector<uint8_t>{0xFF});
    EXPECT_EQ(sent[8], std::vector<uint8_t>{0xFF});
    EXPECT_EQ(sent[9], std::vector<uint8_t>{0x40});

    window.mnuDisconnect->trigger();
    EXPECT_EQ(window.BoardLines(), (Lines{"Disconnecting...", "Complete"}));
    const std::size_t after = unit.ReceivedPayloads().size();
    window.mnuDisconnect->trigger();
    EXPECT_EQ(unit.ReceivedPayloads().size(), after);
    ExpectIdle();
}

TEST_F(MainWindowUps, ModuleButtonNotConnectedSaysLinkDown)
{
    window.AddToBoard("earlier");
    window.cmdSM->click();
    EXPECT_EQ(window.BoardLines(), Lines{"Link Down"});
    ExpectIdle();
}

TEST_F(MainWindowUps, ModuleButtonSelectsAModuleAfterTheWarning)
{
    unit.Config().Modules = {2, 5};
    window.cmdConnect->click();
    ASSERT_TRUE(Connected);

    AppTest::MessageBoxAnswerer answerer(QStringLiteral("Yes"));
    bool dialogSeen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<frmSMSelect*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialogSeen = true;
        EXPECT_EQ(dialog->parentWidget(), nullptr);
        EXPECT_FALSE(window.isEnabled());
        dialog->cmbSM->setCurrentText("5");
        dialog->cmdApply->click();
        EXPECT_FALSE(dialog->cmdApply->isEnabled());
        dialog->cmdExit->click();
    });
    window.cmdSM->click();

    ASSERT_TRUE(dialogSeen);
    ASSERT_EQ(answerer.Shown.size(), 1u);
    const AppTest::ShownBox& box = answerer.Shown[0];
    EXPECT_EQ(box.Title, "Update Configuration");
    EXPECT_EQ(box.Text, "WARNING: You are about to switch to MODULE 5\r\n\r\nContinue? ");
    EXPECT_EQ(std::set<QString>(box.Buttons.begin(), box.Buttons.end()), (std::set<QString>{"Yes", "No"}));
    EXPECT_EQ(box.DefaultButton, "No");
    EXPECT_EQ(box.Icon, QMessageBox::Warning);

    EXPECT_EQ(window.BoardLines(), (Lines{"Connecting...", "Module 5 Found", "Done"}));
    EXPECT_EQ(unit.SelectedModule(), 5);
    ExpectIdle();
}

TEST_F(MainWindowUps, ClosingWhileConnectedDisconnectsBeforeThePortCloses)
{
    window.cmdConnect->click();
    ASSERT_TRUE(Connected);
    const std::size_t before = unit.ReceivedPayloads().size();
    window.close();
    const Payloads sent = unit.ReceivedPayloads();
    ASSERT_EQ(sent.size(), before + 1);
    EXPECT_EQ(sent.back(), std::vector<uint8_t>{0xFF});
    EXPECT_EQ(window.BoardLines(), (Lines{"Disconnecting...", "Complete"}));
    EXPECT_FALSE(portOpenAtEnd);
}
