// The main window offscreen: its controls and menus as the form has them, the status board, the
// indicator and port label, the busy wrapper and the shutdown sequence.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFrame>
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

#include "AppEnvironment.h"
#include "Application.h"
#include "Dialogs.h"
#include "ScriptedUnit.h"
#include "SimPort.h"
#include "VirtualClock.h"
#include "common/Fault.h"
#include "common/Globals.h"
#include "frmMain.h"
#include "platform/Busy.h"
#include "platform/LineFile.h"
#include "platform/Seams.h"

namespace {

using namespace UpsLink;

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
        InitGlobals();
        InstallClock(&clock);
        InstallPort(&port);
        InstallShell(&window);
        window.EndProcess = [this] {
            ++ends;
            portOpenAtEnd = port.PortOpen();
            msAtEnd = clock.NowMs();
        };
    }
    ~MainWindowTest() override
    {
        InstallShell(nullptr);
        InstallPort(nullptr);
        InstallClock(nullptr);
    }

    template <class T>
    T* Find(const char* name)
    {
        return window.findChild<T*>(name);
    }

    VirtualClock clock;
    ScriptedUnit unit;
    SimPort port{clock, unit};
    ::frmMain window{nullptr};
    int ends = 0;
    bool portOpenAtEnd = true;
    double msAtEnd = -1;
};

TEST_F(MainWindowTest, ControlsHaveTheirNamesKindsCaptionsToolTipsAndPlaces)
{
    struct Control {
        const char* name;
        const char* kind;
        QRect pixels;
        QString caption;
        QString toolTip;
    };
    const Control controls[] = {
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
    for (const Control& control : controls) {
        SCOPED_TRACE(control.name);
        QWidget* widget = Find<QWidget>(control.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->inherits(control.kind));
        EXPECT_EQ(widget->parentWidget(), window.centralWidget());
        EXPECT_EQ(widget->geometry(), control.pixels);
        EXPECT_EQ(widget->toolTip(), control.toolTip);
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            EXPECT_EQ(button->text(), control.caption);
        }
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            EXPECT_EQ(label->text(), control.caption);
        }
    }
    EXPECT_EQ(Find<QLabel>("imgConnected")->pixmap().size(), QSize(16, 16));
    EXPECT_EQ(Find<QLabel>("imgNotConnected")->pixmap().size(), QSize(16, 16));
}

TEST_F(MainWindowTest, WindowIsFixedWithItsClientAreaUnderTheMenuBar)
{
    window.show();
    EXPECT_EQ(window.centralWidget()->size(), QSize(297, 166));
    EXPECT_EQ(window.centralWidget()->y(), window.menuBar()->height());
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.height(), window.menuBar()->height() + 166);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window.windowTitle(), "Zentrel");
    EXPECT_FALSE(window.windowIcon().pixmap(16, 16).isNull());
}

TEST_F(MainWindowTest, BoardIsBlackWithGreenTextAndTheRuleIsEtched)
{
    const QPalette board = window.List1->palette();
    EXPECT_EQ(board.color(QPalette::Base), QColor(Qt::black));
    EXPECT_EQ(board.color(QPalette::Text), QColor(0, 255, 0));
    EXPECT_EQ(window.Line1->palette().color(QPalette::Window), QColor(224, 224, 224));
    EXPECT_EQ(window.Line2->palette().color(QPalette::Window), QApplication::palette().color(QPalette::Dark));
    EXPECT_EQ(window.centralWidget()->palette().color(QPalette::Window),
              QApplication::palette().color(QPalette::Mid));
    EXPECT_TRUE(window.centralWidget()->autoFillBackground());
}

TEST_F(MainWindowTest, TabGoesThroughTheButtonsThenTheBoard)
{
    std::vector<QString> order;
    QWidget* widget = window.cmdPortSettings;
    do {
        if (widget->focusPolicy() & Qt::TabFocus) order.push_back(widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget != window.cmdPortSettings);
    EXPECT_EQ(order, (std::vector<QString>{"cmdPortSettings", "cmdConnect", "cmdSM", "cmdBattComm", "List1"}));
}

TEST_F(MainWindowTest, MenusHaveTheirNamesAndCaptions)
{
    struct Menu {
        const char* name;
        QString title;
        std::vector<std::pair<QString, QString>> items;  // name, caption ("-" for a separator)
    };
    const std::vector<Menu> menus = {
        {"FileMenu", "&File", {{"mnuSettings", "&Properties"}, {"mnuExitOption", "E&xit"}}},
        {"mnuUPS",
         "&UPS",
         {{"mnuConnect", "&Connect"}, {"mnuDisconnect", "&Disconect"}, {"mnuUpdateERM", "&Update EEPROM"}}},
        {"HelpMenu", "&Help", {{"HelpTopics", "&Help Topics"}, {"sep", "-"}, {"AboutOption", "&About Zentrel"}}},
    };
    const QList<QAction*> bar = window.menuBar()->actions();
    ASSERT_EQ(bar.size(), 3);
    for (std::size_t m = 0; m < menus.size(); ++m) {
        SCOPED_TRACE(menus[m].name);
        QMenu* menu = bar[qsizetype(m)]->menu();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->objectName(), menus[m].name);
        EXPECT_EQ(menu->title(), menus[m].title);
        const QList<QAction*> items = menu->actions();
        ASSERT_EQ(items.size(), qsizetype(menus[m].items.size()));
        for (qsizetype i = 0; i < items.size(); ++i) {
            const auto& [name, caption] = menus[m].items[std::size_t(i)];
            EXPECT_EQ(items[i]->objectName(), name);
            if (caption == "-") {
                EXPECT_TRUE(items[i]->isSeparator());
            } else {
                EXPECT_EQ(items[i]->text(), caption);
            }
            EXPECT_TRUE(items[i]->isEnabled());
        }
    }
}

TEST_F(MainWindowTest, UpdateEepromItemDoesNothing)
{
    window.show();
    window.mnuUpdateERM->trigger();
    EXPECT_TRUE(window.BoardLines().empty());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(ends, 0);
}

TEST_F(MainWindowTest, ProgressBarIsHiddenFromLoadAndRunsFrom0To100)
{
    window.show();
    EXPECT_FALSE(window.ProgressBar1->isVisible());
    EXPECT_EQ(window.ProgressBar1->minimum(), 0);
    EXPECT_EQ(window.ProgressBar1->maximum(), 100);
    window.SetProgressVisible(true);
    window.SetProgress(75);
    EXPECT_TRUE(window.ProgressBar1->isVisible());
    EXPECT_EQ(window.ProgressBar1->value(), 75);
    try {
        window.SetProgress(101);
        ADD_FAILURE() << "a value past the range was taken";
    } catch (const Fault& fault) {
        EXPECT_EQ(fault.Number, 380);
    }
    EXPECT_EQ(window.ProgressBar1->value(), 75);
}

TEST_F(MainWindowTest, BoardTakesLinesExactlyAndClearsWhole)
{
    window.AddToBoard("");
    window.AddToBoard("Link Down");
    window.AddToBoard("Link Down");
    window.AddToBoard("  8012 The device is not open 2 ");
    window.AddToBoard("Temp 25\xB0");
    EXPECT_EQ(window.BoardLines(), (std::vector<std::string>{"", "Link Down", "Link Down",
                                                             "  8012 The device is not open 2 ", "Temp 25\xB0"}));
    EXPECT_EQ(window.List1->item(4)->text(), QString::fromUtf8("Temp 25°"));

    window.BoardClear();
    EXPECT_EQ(window.List1->count(), 0);
    window.AddToBoard("Connecting...");
    EXPECT_EQ(window.BoardLines(), std::vector<std::string>{"Connecting..."});
}

TEST_F(MainWindowTest, BoardDoesNotScrollByItself)
{
    window.show();
    for (int i = 0; i < 40; ++i) window.AddToBoard("line " + std::to_string(i));
    window.Repaint();
    EXPECT_GT(window.List1->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(window.List1->verticalScrollBar()->value(), 0);
}

TEST_F(MainWindowTest, BoardLogGetsDatedLinesAndAnEmptyLineForAClear)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("board.log");
    std::string error;
    auto log = LineFile::Open(path.toStdString(), error);
    ASSERT_TRUE(log) << error;
    ::frmMain logged(log.get());
    logged.AddToBoard("Invalid port number");
    logged.BoardClear();
    logged.AddToBoard("");
    logged.AddToBoard("Link Down");

    const auto lines = AppTest::FileLines(path);
    ASSERT_EQ(lines.size(), 4u);
    const QRegularExpression stamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}  )");
    const std::string texts[] = {"Invalid port number", "", "", "Link Down"};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        if (i == 1) {
            EXPECT_EQ(lines[i], "");  // the clear
            continue;
        }
        const QString line = QString::fromStdString(lines[i]);
        const auto match = stamp.match(line);
        ASSERT_TRUE(match.hasMatch()) << lines[i];
        EXPECT_EQ(line.mid(match.capturedLength()).toStdString(), texts[i]);
    }
}

TEST_F(MainWindowTest, PortLabelStrikeThroughIsReadBackFromItsFont)
{
    window.SetPortLabel(" COM1,19200,N,8,1");
    window.SetPortLabelStruck(true);
    EXPECT_EQ(window.lblSettings->text(), " COM1,19200,N,8,1");
    EXPECT_TRUE(window.lblSettings->font().strikeOut());
    EXPECT_TRUE(window.PortLabelStruck());
    window.SetPortLabelStruck(false);
    EXPECT_FALSE(window.lblSettings->font().strikeOut());
    EXPECT_FALSE(window.PortLabelStruck());
}

TEST_F(MainWindowTest, IndicatorAndConnectCaptionFollowTheConnection)
{
    window.show();
    const QPoint indicator = window.imgConnected->geometry().center();
    for (bool connected : {true, false, true, false}) {
        SCOPED_TRACE(connected);
        window.ShowConnected(connected);
        EXPECT_EQ(window.centralWidget()->childAt(indicator), connected ? window.imgConnected : window.imgNotConnected);
        EXPECT_EQ(window.cmdConnect->text(), connected ? "Disconnect" : "Connect");
    }
}

TEST_F(MainWindowTest, CaptionAndModuleButtonKeepTheirOwnState)
{
    window.SetCaption("Zentrel - 280 unit.pp");
    EXPECT_EQ(window.Caption(), "Zentrel - 280 unit.pp");
    EXPECT_EQ(window.windowTitle(), "Zentrel - 280 unit.pp");

    window.SetModuleEnabled(false);
    EXPECT_FALSE(window.ModuleEnabled());
    window.SetModuleEnabled(true);
    // Disabling the whole window around a command does not change what the button records.
    window.SetEnabled(false);
    EXPECT_FALSE(window.Enabled());
    EXPECT_FALSE(window.menuBar()->isEnabled());
    EXPECT_TRUE(window.ModuleEnabled());
    window.SetEnabled(true);
    EXPECT_TRUE(window.Enabled());
}

TEST_F(MainWindowTest, BusyPointerDoesNotStackAndClearsToTheDefault)
{
    window.SetBusyPointer(true);
    window.SetBusyPointer(true);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    window.SetBusyPointer(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowTest, BusyWrapperGivesTheWindowAndPointerBackWhenTheCommandThrows)
{
    window.show();
    try {
        Busy busy;
        EXPECT_FALSE(window.isEnabled());
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        throw Fault(FaultNo::SubscriptOutOfRange);
    } catch (const Fault&) {
    }
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowTest, FaultEscapingAClickIsReportedOnTheBoardAndTheWindowStaysUsable)
{
    auto& app = static_cast<UpsLink::Application&>(*qApp);
    app.MainWindow = &window;
    window.show();
    QPushButton probe("probe", window.centralWidget());
    QObject::connect(&probe, &QPushButton::clicked, [] {
        Busy busy;
        throw Fault(FaultNo::TypeMismatch);
    });
    probe.show();
    QTest::mouseClick(&probe, Qt::LeftButton);
    app.MainWindow = nullptr;
    EXPECT_EQ(window.BoardLines(), std::vector<std::string>{"13 Type mismatch"});
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowTest, ShutdownClosesThePortWaits50MsAndThenEnds)
{
    port.SetPortOpen(true);
    window.show();
    window.close();
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(portOpenAtEnd);
    EXPECT_EQ(msAtEnd, 50);
    EXPECT_TRUE(window.BoardLines().empty());

    // The sequence runs once, whatever closes the window again.
    window.close();
    EXPECT_EQ(ends, 1);
}

TEST_F(MainWindowTest, ExitAndTerminateBothRunTheShutdown)
{
    for (bool byExit : {true, false}) {
        SCOPED_TRACE(byExit ? "Exit" : "terminate");
        ::frmMain other(nullptr);
        InstallShell(&other);
        bool portOpen = true;
        int ended = 0;
        other.EndProcess = [&] {
            ++ended;
            portOpen = port.PortOpen();
        };
        port.SetPortOpen(true);
        other.show();
        if (byExit)
            other.mnuExitOption->trigger();
        else
            other.Form_Terminate();
        EXPECT_EQ(ended, 1);
        EXPECT_FALSE(portOpen);
        EXPECT_FALSE(other.isVisible());
        InstallShell(&window);
    }
}

TEST_F(MainWindowTest, ShutdownWithThePortClosedStillEnds)
{
    window.close();
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(window.BoardLines().empty());
}

TEST_F(MainWindowTest, MessageBoxShowsWhatWasAskedAndReturnsTheAnswer)
{
    struct Case {
        MessageRequest request;
        QString press;
        MsgAnswer answer;
        std::vector<QString> buttons;
        QString defaultButton;
        QString title;
    };
    const Case cases[] = {
        {{"Coming Soon...", "Help", MsgButtons::OkOnly}, "", MsgAnswer::Ok, {"OK"}, "OK", "Help"},
        {{"Update EEPROM settings?", "", MsgButtons::OkCancel, MsgIcon::Exclamation, 1},
         "",
         MsgAnswer::Cancel,
         {"OK", "Cancel"},
         "Cancel",
         "Zentrel"},
        {{"Update EEPROM settings?", "", MsgButtons::OkCancel}, "OK", MsgAnswer::Ok, {"OK", "Cancel"}, "OK",
         "Zentrel"},
        {{"Switch?", "Module", MsgButtons::YesNo}, "No", MsgAnswer::No, {"Yes", "No"}, "Yes", "Module"},
    };
    window.show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request.Text);
        AppTest::MessageBoxAnswerer answerer(c.press);
        EXPECT_EQ(window.MessageBox(c.request), c.answer);
        ASSERT_EQ(answerer.Shown.size(), 1u);
        const AppTest::ShownBox& shown = answerer.Shown[0];
        EXPECT_EQ(shown.Title, c.title);
        EXPECT_EQ(shown.Text, QString::fromStdString(c.request.Text));
        auto buttons = shown.Buttons;
        std::sort(buttons.begin(), buttons.end());
        auto expected = c.buttons;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(buttons, expected);
        EXPECT_EQ(shown.DefaultButton, c.defaultButton);
        EXPECT_EQ(shown.Icon, c.request.Icon == MsgIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon);
    }
}

TEST(OpenFileFilters, ClassicFilterBecomesQtNameFilters)
{
    EXPECT_EQ(QtNameFilters("All Files (*.*)|*.*|Zentrel Files (*.pp)|*.pp"),
              (QStringList{"All Files (*)", "Zentrel Files (*.pp)"}));
    EXPECT_EQ(QtNameFilters("Settings|*.pp;*.ee"), QStringList{"Settings (*.pp *.ee)"});
    EXPECT_EQ(QtNameFilters("Text (*.txt)|*.log"), QStringList{"Text (*.log)"});
    EXPECT_TRUE(QtNameFilters("").isEmpty());
    EXPECT_TRUE(QtNameFilters("Only a name").isEmpty());
}

}  // namespace
