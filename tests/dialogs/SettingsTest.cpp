#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ScriptedUnit.h"
#include "SimBench.h"
#include "app/frmSettings.h"
#include "common/Globals.h"
#include "link/PortControl.h"

namespace UpsLink {
namespace {

class SettingsDialog : public ::testing::Test {
protected:
    SettingsDialog()
    {
        OpenPort();
        owner.setGeometry(200, 150, 297, 166);
        owner.show();
    }

    // Opens the dialog the way the main window does, but without a nested event loop.
    void Open()
    {
        bench.shell.Board = {"an earlier line"};
        dialog = std::make_unique<frmSettings>(&owner);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }
    QWidget* Control(const char* name) { return dialog->findChild<QWidget*>(name); }
    QString Text(const char* box) { return dialog->findChild<QLineEdit*>(box)->text(); }
    void Type(const char* box, const QString& text)
    {
        dialog->findChild<QLineEdit*>(box)->clear();
        QTest::keyClicks(Control(box), text);
    }
    // Types both boxes and clicks Apply.
    void Apply(const QString& com, const QString& baud)
    {
        Type("txtCOM", com);
        Type("txtBaud", baud);
        QTest::mouseClick(Control("cmdApply"), Qt::LeftButton);
    }

    SimBench<ScriptedUnit> bench;
    QWidget owner;
    std::unique_ptr<frmSettings> dialog;
};

TEST_F(SettingsDialog, LoadShowsTheGlobalsAndRewritesThePortLabelFromThePort)
{
    BaudRate = "4800";
    PortNumber = "3";
    bench.shell.PortLabel = "stale";
    Open();
    EXPECT_EQ(Text("txtBaud"), "4800");
    EXPECT_EQ(Text("txtCOM"), "3");
    EXPECT_EQ(bench.shell.PortLabel, " COM1,19200,N,8,1");
    EXPECT_EQ(QApplication::focusWidget(), Control("cmdCancel"));
}

TEST_F(SettingsDialog, LayoutLimitsAndTabOrder)
{
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Settings");
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(dialog->size(), QSize(246, 94));
    EXPECT_LE((dialog->geometry().center() - owner.geometry().center()).manhattanLength(), 1);
    const struct {
        const char* name;
        QRect rect;
        QString text;
    } controls[] = {{"txtBaud", {56, 18, 57, 19}, "19200"},    {"txtCOM", {56, 58, 33, 19}, "1"},
                    {"cmdApply", {168, 15, 65, 25}, "&Apply"}, {"cmdCancel", {168, 55, 65, 25}, "E&xit"},
                    {"lblBaud", {16, 21, 0, 0}, "Baud"},       {"lblCom", {16, 61, 0, 0}, "COM"}};
    for (const auto& c : controls) {
        QWidget* control = Control(c.name);
        if (c.rect.width() > 0)
            EXPECT_EQ(control->geometry(), c.rect) << c.name;
        else
            EXPECT_EQ(control->pos(), c.rect.topLeft()) << c.name;
        EXPECT_EQ(control->property("text").toString(), c.text) << c.name;
    }
    for (const char* next : {"txtCOM", "txtBaud", "cmdApply", "cmdCancel"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), next);
    }
    // A sixth baud digit and a second port character cannot be typed.
    Type("txtBaud", "123456");
    Type("txtCOM", "12");
    EXPECT_EQ(Text("txtBaud"), "12345");
    EXPECT_EQ(Text("txtCOM"), "1");
}

TEST_F(SettingsDialog, ApplyWithANonNumericBoxMovesTheFocusAndChangesNothing)
{
    const struct {
        QString com;
        QString baud;
        const char* focus;
    } cases[] = {{"", "9600", "txtCOM"}, {"x", "9600", "txtCOM"}, {"+", "9600", "txtCOM"}, {".", "9600", "txtCOM"},
                 {"2", "", "txtBaud"},   {"2", "96k", "txtBaud"}, {"2", "1e", "txtBaud"},  {"2", "1.", "txtBaud"},
                 {"2", ".5", "txtBaud"}, {"2", "2D2", "txtBaud"}, {"2", "9 6", "txtBaud"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(("COM '" + c.com + "' baud '" + c.baud + "'").toStdString());
        Connected = true;
        const int opens = bench.port.OpenCount();
        Open();
        Apply(c.com, c.baud);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), c.focus);
        EXPECT_TRUE(bench.shell.Board.empty());
        EXPECT_TRUE(Connected);
        EXPECT_EQ(BaudRate, "19200");
        EXPECT_EQ(PortNumber, "1");
        EXPECT_EQ(bench.port.OpenCount(), opens);
    }
}

TEST_F(SettingsDialog, ApplyStoresTheTextsAsTypedAndReopensThePort)
{
    bench.port.SetDevices({1, 2});
    const struct {
        QString com;
        QString baud;
        std::string label;
        std::vector<std::string> board;
    } cases[] = {
        {"2", "9600", " COM2,9600,N,8,1", {}},
        {"1", " 4800", " COM1, 4800,N,8,1", {}},
        {"0", "9600", " COM1,9600,N,8,1", {"Invalid port number"}},
        // A refused rate leaves the port holding the old one, and the label shows what it holds.
        {"1", "12345", " COM1,19200,N,8,1", {"Invalid Baud Rate"}},
        {"1", "9.6e3", " COM1,19200,N,8,1", {"Invalid Baud Rate"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(("COM '" + c.com + "' baud '" + c.baud + "'").toStdString());
        InitGlobals();
        OpenPort();
        Open();
        Apply(c.com, c.baud);
        EXPECT_EQ(PortNumber, c.com.toStdString());
        EXPECT_EQ(BaudRate, c.baud.toStdString());
        EXPECT_EQ(bench.shell.PortLabel, c.label);
        EXPECT_EQ(bench.shell.PortLabelStruckOut, !c.board.empty());
        EXPECT_EQ(bench.port.PortOpen(), c.board.empty());
        EXPECT_EQ(bench.shell.Board, c.board);
        EXPECT_TRUE(dialog->isVisible());
    }
}

TEST_F(SettingsDialog, OnlyApplyApplies)
{
    const struct {
        const char* control;
        Qt::Key key;  // Qt::Key_unknown: a mouse click
        bool closes;
    } cases[] = {
        {"cmdCancel", Qt::Key_Escape, true}, {"txtCOM", Qt::Key_Escape, true},     {"txtBaud", Qt::Key_Escape, true},
        {"cmdApply", Qt::Key_Escape, true},  {"cmdCancel", Qt::Key_unknown, true}, {"txtCOM", Qt::Key_Return, false},
        {"txtBaud", Qt::Key_Return, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.control) + " key " + std::to_string(c.key));
        const int opens = bench.port.OpenCount();
        Open();
        Type("txtBaud", "9600");
        Type("txtCOM", "2");
        if (c.key == Qt::Key_unknown)
            QTest::mouseClick(Control(c.control), Qt::LeftButton);
        else
            QTest::keyClick(Control(c.control), c.key);
        EXPECT_EQ(dialog->isVisible(), !c.closes);
        EXPECT_EQ(BaudRate, "19200");
        EXPECT_EQ(PortNumber, "1");
        EXPECT_EQ(bench.port.OpenCount(), opens);
        EXPECT_EQ(bench.shell.Board, std::vector<std::string>{"an earlier line"});
    }
}

}  // namespace
}  // namespace UpsLink
