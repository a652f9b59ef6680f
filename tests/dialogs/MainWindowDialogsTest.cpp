// The settings dialog, the about box and the help box over the real main window, on the simulated
// port: what each shows, what Apply changes, and how the window's buttons and menus open them.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "AppEnvironment.h"
#include "ScriptedUnit.h"
#include "SimPort.h"
#include "VirtualClock.h"
#include "app/frmAbout.h"
#include "app/frmSettings.h"
#include "common/AppTitle.h"
#include "config/Globals.h"
#include "core/InitGlobals.h"
#include "link/Globals.h"
#include "link/Protocol.h"
#include "ups/Globals.h"
#include "frmMain.h"
#include "link/PortControl.h"
#include "platform/Seams.h"

namespace UpsLink {
namespace {

using Lines = std::vector<std::string>;

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
        port.SetDevices({1, 2});
        OpenPort();
        window.show();
    }
    ~MainWindowDialogs() override
    {
        settings.reset();
        InstallShell(nullptr);
        InstallPort(nullptr);
        InstallClock(nullptr);
    }

    // Opens the settings dialog over the window, without the nested event loop of a modal one.
    void OpenSettings()
    {
        window.AddToBoard("an earlier line");
        settings = std::make_unique<frmSettings>(&window);
        settings->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(settings.get()));
    }
    QWidget* Control(const char* name) { return settings->findChild<QWidget*>(name); }
    QString Text(const char* box) { return settings->findChild<QLineEdit*>(box)->text(); }
    void Type(const char* box, const QString& text)
    {
        settings->findChild<QLineEdit*>(box)->clear();
        QTest::keyClicks(Control(box), text);
    }
    void Apply(const QString& com, const QString& baud)
    {
        Type("txtCOM", com);
        Type("txtBaud", baud);
        QTest::mouseClick(Control("cmdApply"), Qt::LeftButton);
    }
    QString FocusName() { return QApplication::focusWidget()->objectName(); }

    // Runs open, which may show a modal dialog, and hands that dialog to act, which must close it.
    // Returns how many dialogs were seen.
    int WithModal(const std::function<void()>& open, const std::function<void(QDialog&)>& act)
    {
        int seen = 0;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            poll.stop();
            ++seen;
            act(*dialog);
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the dialog stayed open";
                dialog->reject();
            }
        });
        poll.start(5);
        open();
        return seen;
    }

    VirtualClock clock;
    ScriptedUnit unit;
    SimPort port{clock, unit};
    ::frmMain window{nullptr};
    std::unique_ptr<frmSettings> settings;
    int ends = 0;
    bool portOpenAtEnd = true;
};

TEST_F(MainWindowDialogs, SettingsShowTheGlobalsAndThePortsOwnLabelInTheirLayout)
{
    BaudRate = "4800";
    PortNumber = "2";
    window.SetPortLabel("stale");
    OpenSettings();
    EXPECT_EQ(window.lblSettings->text(), " COM1,19200,N,8,1");
    EXPECT_EQ(settings->windowTitle(), "Settings");
    EXPECT_TRUE(settings->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(settings->size(), QSize(246, 94));
    EXPECT_LE((settings->geometry().center() - window.geometry().center()).manhattanLength(), 2);
    const std::pair<const char*, QString> texts[] = {{"txtBaud", "4800"},    {"txtCOM", "2"},
                                                     {"cmdApply", "&Apply"}, {"cmdCancel", "E&xit"},
                                                     {"lblBaud", "Baud"},    {"lblCom", "COM"}};
    for (const auto& [name, text] : texts) EXPECT_EQ(Control(name)->property("text").toString(), text) << name;
    EXPECT_EQ(FocusName(), "cmdCancel");
    for (const char* next : {"txtCOM", "txtBaud", "cmdApply", "cmdCancel"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(FocusName(), next);
    }
    // A sixth baud digit and a second port character cannot be typed.
    Type("txtBaud", "123456");
    Type("txtCOM", "12");
    EXPECT_EQ(Text("txtBaud"), "12345");
    EXPECT_EQ(Text("txtCOM"), "1");
}

TEST_F(MainWindowDialogs, SettingsApplyWithANonNumericBoxMovesTheFocusAndChangesNothing)
{
    const struct {
        QString com;
        QString baud;
        const char* focus;
    } cases[] = {{"", "9600", "txtCOM"}, {"x", "9600", "txtCOM"}, {"+", "9600", "txtCOM"}, {".", "9600", "txtCOM"},
                 {"2", "", "txtBaud"},   {"2", "96k", "txtBaud"}, {"2", "1e", "txtBaud"},  {"2", "1.", "txtBaud"},
                 {"2", ".5", "txtBaud"}, {"2", "2D2", "txtBaud"}, {"2", "9 6", "txtBaud"}};
    Connected = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(("COM '" + c.com + "' baud '" + c.baud + "'").toStdString());
        OpenSettings();
        Apply(c.com, c.baud);
        EXPECT_EQ(FocusName(), c.focus);
        EXPECT_TRUE(window.BoardLines().empty());
        EXPECT_TRUE(Connected);
        EXPECT_EQ(BaudRate, "19200");
        EXPECT_EQ(PortNumber, "1");
        EXPECT_EQ(port.OpenCount(), 1);
    }
}

TEST_F(MainWindowDialogs, SettingsApplyDropsTheConnectionSilentlyAndReopensWithTheTextsAsTyped)
{
    const struct {
        QString com;
        QString baud;
        QString label;
        Lines board;
    } cases[] = {
        {"2", "9600", " COM2,9600,N,8,1", {}},
        {"1", " 4800", " COM1, 4800,N,8,1", {}},
        {"0", "9600", " COM1,9600,N,8,1", {"Invalid port number"}},
        // A refused rate leaves the port holding the old one, and the label shows what it holds.
        {"1", "9.6e3", " COM1,19200,N,8,1", {"Invalid Baud Rate"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(("COM '" + c.com + "' baud '" + c.baud + "'").toStdString());
        InitGlobals();
        OpenPort();
        const int opens = port.OpenCount();
        Connected = true;
        window.ShowConnected(true);
        OpenSettings();
        Apply(c.com, c.baud);
        EXPECT_TRUE(settings->isVisible());
        EXPECT_EQ(PortNumber, c.com.toStdString());
        EXPECT_EQ(BaudRate, c.baud.toStdString());
        EXPECT_EQ(window.lblSettings->text(), c.label);
        EXPECT_EQ(window.PortLabelStruck(), !c.board.empty());
        EXPECT_EQ(window.BoardLines(), c.board);
        EXPECT_EQ(port.PortOpen(), c.board.empty());
        EXPECT_EQ(port.OpenCount(), opens + 1);
        EXPECT_FALSE(Connected);
        EXPECT_EQ(window.cmdConnect->text(), "Connect");
        const QPoint indicator = window.imgConnected->geometry().center();
        EXPECT_EQ(window.centralWidget()->childAt(indicator), window.imgNotConnected);
    }
    EXPECT_TRUE(port.Writes().empty());
}

TEST_F(MainWindowDialogs, SettingsCloseByEscOrExitWithoutApplyingAndEnterDoesNothing)
{
    const struct {
        const char* control;
        Qt::Key key;  // Qt::Key_unknown: a mouse click
        bool closes;
    } cases[] = {{"txtBaud", Qt::Key_Escape, true},
                 {"cmdApply", Qt::Key_Escape, true},
                 {"cmdCancel", Qt::Key_unknown, true},
                 {"txtCOM", Qt::Key_Return, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.control) + " key " + std::to_string(c.key));
        OpenSettings();
        Type("txtBaud", "9600");
        Type("txtCOM", "2");
        if (c.key == Qt::Key_unknown)
            QTest::mouseClick(Control(c.control), Qt::LeftButton);
        else
            QTest::keyClick(Control(c.control), c.key);
        EXPECT_EQ(settings->isVisible(), !c.closes);
        EXPECT_EQ(BaudRate, "19200");
        EXPECT_EQ(PortNumber, "1");
        EXPECT_EQ(port.OpenCount(), 1);
        EXPECT_EQ(window.BoardLines(), Lines{"an earlier line"});
        window.BoardClear();
    }
}

TEST_F(MainWindowDialogs, AboutBoxShowsTheVersionWithItsZeroRevisionAndClosesByOkEnterOrEsc)
{
    EXPECT_EQ(VersionText(BuildVersion()), "Version " ZENTREL_VERSION);
    const std::function<void(frmAbout&)> closers[] = {
        [](frmAbout& box) { QTest::mouseClick(box.findChild<QPushButton*>("cmdOK"), Qt::LeftButton); },
        [](frmAbout& box) { QTest::keyClick(&box, Qt::Key_Return); },
        [](frmAbout& box) { QTest::keyClick(&box, Qt::Key_Escape); },
    };
    for (const auto& close : closers) {
        frmAbout about(&window, {2, 0, 0});
        about.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
        EXPECT_EQ(about.windowTitle(), "About ");
        EXPECT_EQ(about.size(), QSize(325, 134));
        EXPECT_LE((about.geometry().center() - window.geometry().center()).manhattanLength(), 1);
        const auto text = [&](const char* label) { return about.findChild<QLabel*>(label)->text(); };
        EXPECT_EQ(text("lblDescription"),
                  "The Zentrel updates configuration information of the UPS or one of the attached module.");
        EXPECT_EQ(text("lblVersion"), "Version 2.0.0");
        EXPECT_EQ(about.findChild<QPushButton*>("cmdOK")->geometry(), QRect(232, 96, 73, 25));
        close(about);
        EXPECT_FALSE(about.isVisible());
    }
}

TEST_F(MainWindowDialogs, PortPropertiesAndAboutOpenTheirDialogModallyOverTheWindow)
{
    const struct {
        std::function<void()> open;
        const char* dialog;
    } cases[] = {{[this] { QTest::mouseClick(window.cmdPortSettings, Qt::LeftButton); }, "frmSettings"},
                 {[this] { window.mnuSettings->trigger(); }, "frmSettings"},
                 {[this] { window.AboutOption->trigger(); }, "frmAbout"}};
    for (const auto& c : cases) {
        const int seen = WithModal(c.open, [&](QDialog& dialog) {
            EXPECT_EQ(dialog.objectName(), c.dialog);
            EXPECT_EQ(dialog.parentWidget(), &window);
            EXPECT_TRUE(dialog.isModal());
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        EXPECT_EQ(seen, 1) << c.dialog;
    }
    // "&Properties" only while the window is enabled.
    window.SetEnabled(false);
    EXPECT_EQ(WithModal([this] { window.mnuSettings->trigger(); }, [](QDialog&) {}), 0);
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
    EXPECT_EQ(window.BoardLines(), Lines{"kept"});
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
