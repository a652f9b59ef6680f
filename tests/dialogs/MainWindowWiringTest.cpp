// The main window's "Port", "&Properties", "&Help Topics" and "&About Zentrel" through the real
// window: each opens what it should, modal and owned by the window, and the shutdown unloads an
// open settings dialog.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "AppEnvironment.h"
#include "ScriptedUnit.h"
#include "SimPort.h"
#include "VirtualClock.h"
#include "common/Globals.h"
#include "frmMain.h"
#include "link/PortControl.h"
#include "platform/Seams.h"

namespace UpsLink {
namespace {

class MainWindowDialogs : public ::testing::Test {
protected:
    MainWindowDialogs()
    {
        InitGlobals();
        InstallClock(&clock);
        InstallPort(&port);
        InstallShell(&window);
        window.EndProcess = [this] {
            ++ends;
            portOpenAtEnd = port.PortOpen();
        };
        OpenPort();
        window.show();
    }
    ~MainWindowDialogs() override
    {
        InstallShell(nullptr);
        InstallPort(nullptr);
        InstallClock(nullptr);
    }

    // Runs open, which may show a modal dialog, and hands that dialog to act once it is up; act
    // must close it. Returns how many dialogs were seen.
    int WithModal(const std::function<void()>& open, const std::function<void(QDialog&)>& act)
    {
        auto alive = std::make_shared<bool>(true);
        int seen = 0;
        auto poll = std::make_shared<std::function<void()>>();
        *poll = [&, alive, weak = std::weak_ptr(poll)] {
            if (!*alive) return;
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ++seen;
                act(*dialog);
                if (dialog->isVisible()) {
                    ADD_FAILURE() << "the dialog stayed open";
                    dialog->reject();
                }
                return;
            }
            if (auto again = weak.lock()) QTimer::singleShot(5, qApp, *again);
        };
        QTimer::singleShot(0, qApp, *poll);
        open();
        *alive = false;
        return seen;
    }

    static void Type(QDialog& dialog, const char* box, const QString& text)
    {
        auto* edit = dialog.findChild<QLineEdit*>(box);
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    static void Click(QDialog& dialog, const char* button)
    {
        QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
    }

    VirtualClock clock;
    ScriptedUnit unit;
    SimPort port{clock, unit};
    ::frmMain window{nullptr};
    int ends = 0;
    bool portOpenAtEnd = true;
};

TEST_F(MainWindowDialogs, PortAndPropertiesOpenTheSettingsDialogOwnedByTheWindow)
{
    const std::function<void()> openers[] = {[this] { QTest::mouseClick(window.cmdPortSettings, Qt::LeftButton); },
                                             [this] { window.mnuSettings->trigger(); }};
    for (const auto& open : openers) {
        const int seen = WithModal(open, [&](QDialog& dialog) {
            EXPECT_EQ(dialog.objectName(), "frmSettings");
            EXPECT_EQ(dialog.parentWidget(), &window);
            EXPECT_TRUE(dialog.isModal());
            Click(dialog, "cmdCancel");
        });
        EXPECT_EQ(seen, 1);
    }
    // "&Properties" only while the window is enabled.
    window.SetEnabled(false);
    EXPECT_EQ(WithModal([this] { window.mnuSettings->trigger(); }, [](QDialog&) {}), 0);
}

TEST_F(MainWindowDialogs, ApplyWhileConnectedShowsTheDisconnectedWindow)
{
    Connected = true;
    window.ShowConnected(true);
    window.AddToBoard("UPS Found");
    WithModal([this] { window.cmdPortSettings->click(); },
              [](QDialog& dialog) {
                  Type(dialog, "txtBaud", "9600");
                  Click(dialog, "cmdApply");
                  EXPECT_TRUE(dialog.isVisible());
                  Click(dialog, "cmdCancel");
              });
    EXPECT_FALSE(Connected);
    EXPECT_TRUE(port.Writes().empty());
    EXPECT_EQ(window.cmdConnect->text(), "Connect");
    const QPoint indicator = window.imgConnected->geometry().center();
    EXPECT_EQ(window.centralWidget()->childAt(indicator), window.imgNotConnected);
    EXPECT_EQ(port.OpenCount(), 2);
    EXPECT_EQ(port.BaudRate(), 9600);
    EXPECT_EQ(window.lblSettings->text(), " COM1,9600,N,8,1");
    EXPECT_FALSE(window.PortLabelStruck());
    EXPECT_TRUE(window.BoardLines().empty());
}

TEST_F(MainWindowDialogs, AboutOpensTheAboutBoxWithTheProgramVersion)
{
    window.SetCaption("Zentrel - 280 unit.pp");
    QString version;
    const int seen = WithModal([this] { window.AboutOption->trigger(); },
                               [&](QDialog& dialog) {
                                   EXPECT_EQ(dialog.objectName(), "frmAbout");
                                   EXPECT_EQ(dialog.parentWidget(), &window);
                                   EXPECT_EQ(dialog.windowTitle(), "About ");
                                   version = dialog.findChild<QLabel*>("lblVersion")->text();
                                   QTest::keyClick(&dialog, Qt::Key_Return);
                               });
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(version, "Version " ZENTREL_VERSION);
}

TEST_F(MainWindowDialogs, HelpTopicsSaysComingSoonEveryTimeAndChangesNothing)
{
    window.AddToBoard("kept");
    AppTest::MessageBoxAnswerer answerer;
    window.HelpTopics->trigger();
    window.SetEnabled(false);
    window.HelpTopics->trigger();
    window.SetEnabled(true);

    ASSERT_EQ(answerer.Shown.size(), 2u);
    for (const AppTest::ShownBox& shown : answerer.Shown) {
        EXPECT_EQ(shown.Title, "Help");
        EXPECT_EQ(shown.Text, "Coming Soon...");
        EXPECT_EQ(shown.Buttons, std::vector<QString>{"OK"});
        EXPECT_EQ(shown.Icon, QMessageBox::NoIcon);
    }
    EXPECT_EQ(window.BoardLines(), std::vector<std::string>{"kept"});
    EXPECT_EQ(window.windowTitle(), "Zentrel");
    EXPECT_TRUE(port.PortOpen());
}

TEST_F(MainWindowDialogs, ShutdownUnloadsAnOpenSettingsDialog)
{
    QPointer<QDialog> open;
    WithModal([this] { window.cmdPortSettings->click(); },
              [&](QDialog& dialog) {
                  open = &dialog;
                  window.close();
                  EXPECT_FALSE(dialog.isVisible());
              });
    EXPECT_TRUE(open.isNull());
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(portOpenAtEnd);
}

}  // namespace
}  // namespace UpsLink
