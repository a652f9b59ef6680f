// The main window offscreen: its controls and menus as the form has them, the status board, the
// indicator, the busy wrapper and the shutdown sequence.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <set>

#include "AppEnvironment.h"
#include "Application.h"
#include "Dialogs.h"
#include "ScriptedUnit.h"
#include "SimPort.h"
#include "VirtualClock.h"
#include "common/Fault.h"
#include "common/AppTitle.h"
#include "config/Globals.h"
#include "core/InitGlobals.h"
#include "link/Globals.h"
#include "link/Protocol.h"
#include "ups/Globals.h"
#include "frmMain.h"
#include "platform/Busy.h"
#include "platform/LineFile.h"
#include "platform/Seams.h"

namespace {

using namespace UpsLink;
using Lines = std::vector<std::string>;

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
        InitGlobals();
        InstallClock(&clock);
        InstallPort(&port);
        InstallShell(&window);
    }
    ~MainWindowTest() override
    {
        InstallShell(nullptr);
        InstallPort(nullptr);
        InstallClock(nullptr);
    }

    VirtualClock clock;
    ScriptedUnit unit;
    SimPort port{clock, unit};
    ::frmMain window{nullptr};
};

TEST_F(MainWindowTest, ControlsMenusAndTabOrderAsOnTheForm)
{
    const struct {
        const char* name;
        const char* kind;
        QRect pixels;
        QString caption;
        QString toolTip;
    } controls[] = {
        {"imgNotConnected", "QLabel", {12, 8, 16, 16}, "", "Toggles Port"},
        {"imgConnected", "QLabel", {12, 8, 16, 16}, "", "Toggles Port"},
        {"lblSettings", "QLabel", {48, 8, 241, 17}, "", "Shows COM port, Baud Rate, Parity, Data bits, Stop Bit"},
        {"ProgressBar1", "QProgressBar", {48, 8, 241, 17}, "", ""},
        {"cmdPortSettings", "QPushButton", {8, 32, 65, 25}, "Port", "Change Baud Rate or COM port"},
        {"cmdConnect", "QPushButton", {80, 32, 65, 25}, "Connect", "Establish Communication with UPS"},
        {"cmdSM", "QPushButton", {152, 32, 65, 25}, "Module", "Select UPS Module"},
        {"cmdBattComm", "QPushButton", {224, 32, 65, 25}, "Update", "Update UPS configuration from a File"},
        {"List1", "QListWidget", {8, 64, 281, 95}, "", ""},
        {"Line2", "QFrame", {0, 0, 297, 1}, "", ""},
        {"Line1", "QFrame", {0, 1, 297, 1}, "", ""},
    };
    for (const auto& control : controls) {
        SCOPED_TRACE(control.name);
        QWidget* widget = window.findChild<QWidget*>(control.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->inherits(control.kind));
        EXPECT_EQ(widget->parentWidget(), window.centralWidget());
        EXPECT_EQ(widget->geometry(), control.pixels);
        EXPECT_EQ(widget->toolTip(), control.toolTip);
        const auto* button = qobject_cast<QPushButton*>(widget);
        const auto* label = qobject_cast<QLabel*>(widget);
        EXPECT_EQ(button ? button->text() : label ? label->text() : QString(), control.caption);
    }

    const std::vector<std::pair<QString, std::vector<std::pair<QString, QString>>>> menus = {
        {"FileMenu &File", {{"mnuSettings", "&Properties"}, {"mnuExitOption", "E&xit"}}},
        {"mnuUPS &UPS",
         {{"mnuConnect", "&Connect"}, {"mnuDisconnect", "&Disconect"}, {"mnuUpdateERM", "&Update EEPROM"}}},
        {"HelpMenu &Help", {{"HelpTopics", "&Help Topics"}, {"sep", ""}, {"AboutOption", "&About Zentrel"}}},
    };
    const QList<QAction*> bar = window.menuBar()->actions();
    ASSERT_EQ(bar.size(), 3);
    for (std::size_t m = 0; m < menus.size(); ++m) {
        QMenu* menu = bar[qsizetype(m)]->menu();
        EXPECT_EQ(menu->objectName() + " " + menu->title(), menus[m].first);
        std::vector<std::pair<QString, QString>> items;
        for (QAction* item : menu->actions()) {
            items.emplace_back(item->objectName(), item->text());
            EXPECT_TRUE(item->isEnabled());
            EXPECT_EQ(item->isSeparator(), item->objectName() == "sep");
        }
        EXPECT_EQ(items, menus[m].second) << menus[m].first.toStdString();
    }

    std::vector<QString> order;
    QWidget* widget = window.cmdPortSettings;
    do {
        if (widget->focusPolicy() & Qt::TabFocus) order.push_back(widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget != window.cmdPortSettings);
    EXPECT_EQ(order, (std::vector<QString>{"cmdPortSettings", "cmdConnect", "cmdSM", "cmdBattComm", "List1"}));
}

TEST_F(MainWindowTest, ShownWindowIsFixedWithTheClientAreaUnderTheMenuBar)
{
    window.show();
    EXPECT_EQ(window.centralWidget()->geometry(), QRect(0, window.menuBar()->height(), 297, 166));
    EXPECT_EQ(window.minimumSize(), QSize(297, window.menuBar()->height() + 166));
    EXPECT_EQ(window.maximumSize(), window.minimumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window.ProgressBar1->isVisible());
    EXPECT_EQ(window.List1->palette().color(QPalette::Base), QColor(Qt::black));
    EXPECT_EQ(window.List1->palette().color(QPalette::Text), QColor(0, 255, 0));

    // The indicator in front follows the connection, and so does the Connect caption.
    const QPoint indicator = window.imgConnected->geometry().center();
    for (bool connected : {true, false}) {
        window.ShowConnected(connected);
        EXPECT_EQ(window.centralWidget()->childAt(indicator), connected ? window.imgConnected : window.imgNotConnected);
        EXPECT_EQ(window.cmdConnect->text(), connected ? "Disconnect" : "Connect");
    }
}

// With --log, each line also goes to the file dated, and a clear writes an empty line.
TEST_F(MainWindowTest, BoardTakesLinesExactlyAndLogsThem)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("board.log");
    std::string error;
    auto log = LineFile::Open(path.toStdString(), error);
    ASSERT_TRUE(log) << error;
    ::frmMain logged(log.get());
    logged.show();
    logged.AddToBoard("");
    logged.AddToBoard("  8012 The device is not open 2 ");
    logged.AddToBoard("Temp 25\xB0");
    EXPECT_EQ(logged.BoardLines(), (Lines{"", "  8012 The device is not open 2 ", "Temp 25\xB0"}));
    EXPECT_EQ(logged.List1->item(2)->text(), QString::fromUtf8("Temp 25°"));
    const QRegularExpression stamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}  $)");
    Lines logText;
    for (const std::string& line : AppTest::FileLines(path)) {
        EXPECT_TRUE(stamp.match(QString::fromStdString(line.substr(0, 25))).hasMatch()) << line;
        logText.push_back(line.substr(std::min<std::size_t>(25, line.size())));
    }
    EXPECT_EQ(logText, (Lines{"", "  8012 The device is not open 2 ", "Temp 25\xB0"}));

    // A clear empties the board whole; a long board does not scroll by itself.
    logged.BoardClear();
    for (int i = 0; i < 40; ++i) logged.AddToBoard("line " + std::to_string(i));
    logged.Repaint();
    EXPECT_EQ(logged.BoardLines().front(), "line 0");
    EXPECT_GT(logged.List1->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(logged.List1->verticalScrollBar()->value(), 0);
    EXPECT_EQ(AppTest::FileLines(path).at(3), "");
}

TEST_F(MainWindowTest, ModuleButtonKeepsItsOwnStateWhileTheWindowIsDisabled)
{
    window.SetModuleEnabled(true);
    window.SetEnabled(false);
    EXPECT_FALSE(window.menuBar()->isEnabled());
    EXPECT_TRUE(window.ModuleEnabled());
    window.SetModuleEnabled(false);
    window.SetEnabled(true);
    EXPECT_FALSE(window.ModuleEnabled());
}

TEST_F(MainWindowTest, BusyWrapperGivesTheWindowAndPointerBackWhenTheCommandThrows)
{
    auto& app = static_cast<UpsLink::Application&>(*qApp);
    app.MainWindow = &window;
    window.show();
    QPushButton probe("probe", window.centralWidget());
    bool sawBusy = false;
    QObject::connect(&probe, &QPushButton::clicked, [&] {
        Busy busy;
        // A nested busy command must not leave a pointer behind either.
        window.SetBusyPointer(true);
        sawBusy = !window.isEnabled() && QApplication::overrideCursor() &&
                  QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        throw Fault(FaultNo::TypeMismatch);
    });
    probe.show();
    QTest::mouseClick(&probe, Qt::LeftButton);
    app.MainWindow = nullptr;

    EXPECT_TRUE(sawBusy);
    EXPECT_EQ(window.BoardLines(), Lines{"13 Type mismatch"});
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowTest, CloseExitAndTerminateRunTheShutdownOnce)
{
    const struct {
        const char* name;
        bool portOpen;
        std::function<void(::frmMain&)> close;
    } cases[] = {
        {"close box", true, [](::frmMain& w) { w.close(); }},
        {"Exit", true, [](::frmMain& w) { w.mnuExitOption->trigger(); }},
        {"terminate", true, [](::frmMain& w) { w.Form_Terminate(); }},
        {"close box, port closed", false, [](::frmMain& w) { w.close(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ::frmMain other(nullptr);
        InstallShell(&other);
        int ended = 0;
        bool portOpen = true;
        double at = -1;
        other.EndProcess = [&] {
            ++ended;
            portOpen = port.PortOpen();
            at = clock.NowMs();
        };
        const double start = clock.NowMs();
        if (c.portOpen) port.SetPortOpen(true);
        other.show();

        c.close(other);
        other.close();

        EXPECT_EQ(ended, 1);
        EXPECT_FALSE(portOpen);
        EXPECT_DOUBLE_EQ(at - start, 50);
        EXPECT_FALSE(other.isVisible());
        EXPECT_TRUE(other.BoardLines().empty());
        InstallShell(&window);
    }
}

// The Yes/No box and the OK box of Help are shown by the module and help commands' tests.
TEST_F(MainWindowTest, OkCancelBoxShowsWhatWasAskedAndReturnsTheAnswer)
{
    const struct {
        MessageRequest request;
        QString press;
        MsgAnswer answer;
        QString defaultButton;
    } cases[] = {
        {{"Update EEPROM settings?", "", MsgButtons::OkCancel, MsgIcon::Exclamation, 1},
         "",
         MsgAnswer::Cancel,
         "Cancel"},
        {{"Update EEPROM settings?", "", MsgButtons::OkCancel}, "OK", MsgAnswer::Ok, "OK"},
    };
    window.show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.press.toStdString());
        AppTest::MessageBoxAnswerer answerer(c.press);
        EXPECT_EQ(window.MessageBox(c.request), c.answer);
        ASSERT_EQ(answerer.Shown.size(), 1u);
        const AppTest::ShownBox& shown = answerer.Shown[0];
        EXPECT_EQ(shown.Title, "Zentrel");
        EXPECT_EQ(shown.Text, "Update EEPROM settings?");
        EXPECT_EQ(std::set<QString>(shown.Buttons.begin(), shown.Buttons.end()), (std::set<QString>{"OK", "Cancel"}));
        EXPECT_EQ(shown.DefaultButton, c.defaultButton);
        EXPECT_EQ(shown.Icon, c.request.Icon == MsgIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon);
    }
}

TEST(OpenFileFilters, ClassicFilterBecomesQtNameFilters)
{
    EXPECT_EQ(QtNameFilters("All Files (*.*)|*.*|Zentrel Files (*.pp)|*.pp"),
              (QStringList{"All Files (*)", "Zentrel Files (*.pp)"}));
    EXPECT_EQ(QtNameFilters("Settings|*.pp;*.ee"), QStringList{"Settings (*.pp *.ee)"});
    EXPECT_TRUE(QtNameFilters("Only a name").isEmpty());
}

}  // namespace
