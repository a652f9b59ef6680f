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
        bench.shell.Board = {"an earlier line"};
        owner.setGeometry(200, 150, 297, 166);
        owner.show();
    }

    // Opens the dialog the way the main window does, but without a nested event loop.
    frmSettings& Open()
    {
        dialog = std::make_unique<frmSettings>(&owner);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        return *dialog;
    }
    QLineEdit* Box(const char* name) { return dialog->findChild<QLineEdit*>(name); }
    QPushButton* Button(const char* name) { return dialog->findChild<QPushButton*>(name); }
    void Type(const char* name, const QString& text)
    {
        Box(name)->clear();
        QTest::keyClicks(Box(name), text);
    }
    void Apply() { QTest::mouseClick(Button("cmdApply"), Qt::LeftButton); }
    std::size_t WireBytes() const
    {
        std::size_t count = 0;
        for (const auto& write : bench.port.Writes()) count += write.Bytes.size();
        return count;
    }

    SimBench<ScriptedUnit> bench;
    QWidget owner;
    std::unique_ptr<frmSettings> dialog;
};

TEST_F(SettingsDialog, LoadShowsTheCurrentSettingsAndRewritesThePortLabelFromThePort)
{
    // The globals differ from what the port holds: the boxes show the globals, the label the port.
    BaudRate = "4800";
    PortNumber = "3";
    bench.shell.PortLabel = "stale";
    Open();
    EXPECT_EQ(Box("txtBaud")->text(), "4800");
    EXPECT_EQ(Box("txtCOM")->text(), "3");
    EXPECT_EQ(bench.shell.PortLabel, " COM1,19200,N,8,1");
    EXPECT_EQ(bench.shell.Board, std::vector<std::string>{"an earlier line"});
    EXPECT_EQ(QApplication::focusWidget(), Button("cmdCancel"));
}

TEST_F(SettingsDialog, LayoutCaptionAndTabOrder)
{
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Settings");
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(dialog->size(), QSize(246, 94));
    EXPECT_LE((dialog->geometry().center() - owner.geometry().center()).manhattanLength(), 1);
    const struct {
        const char* name;
        QRect rect;
    } controls[] = {{"txtBaud", {56, 18, 57, 19}},
                    {"txtCOM", {56, 58, 33, 19}},
                    {"cmdApply", {168, 15, 65, 25}},
                    {"cmdCancel", {168, 55, 65, 25}}};
    for (const auto& c : controls) EXPECT_EQ(dialog->findChild<QWidget*>(c.name)->geometry(), c.rect) << c.name;
    EXPECT_EQ(dialog->findChild<QLabel*>("lblBaud")->text(), "Baud");
    EXPECT_EQ(dialog->findChild<QLabel*>("lblCom")->text(), "COM");
    EXPECT_EQ(Button("cmdApply")->text(), "&Apply");
    EXPECT_EQ(Button("cmdCancel")->text(), "E&xit");

    const char* tabOrder[] = {"txtCOM", "txtBaud", "cmdApply", "cmdCancel"};
    for (const char* next : tabOrder) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), next);
    }
}

TEST_F(SettingsDialog, BoxesTakeNoMoreThanTheirLengthLimit)
{
    Open();
    Type("txtBaud", "123456");
    Type("txtCOM", "12");
    EXPECT_EQ(Box("txtBaud")->text(), "12345");
    EXPECT_EQ(Box("txtCOM")->text(), "1");
}

TEST_F(SettingsDialog, ApplyWithANonNumericBoxMovesTheFocusAndChangesNothing)
{
    const struct {
        QString com;
        QString baud;
        const char* focus;
    } cases[] = {{"", "9600", "txtCOM"},  {"x", "9600", "txtCOM"}, {"", "", "txtCOM"},      {"2", "", "txtBaud"},
                 {"2", "96k", "txtBaud"}, {"2", ".", "txtBaud"},   {"+", "9600", "txtCOM"}, {"2", "1e", "txtBaud"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(("COM '" + c.com + "' baud '" + c.baud + "'").toStdString());
        Connected = true;
        bench.shell.Board = {"an earlier line"};
        const int opens = bench.port.OpenCount();
        Open();
        Type("txtCOM", c.com);
        Type("txtBaud", c.baud);
        Apply();
        EXPECT_EQ(QApplication::focusWidget()->objectName(), c.focus);
        EXPECT_TRUE(bench.shell.Board.empty());
        EXPECT_TRUE(Connected);
        EXPECT_EQ(BaudRate, "19200");
        EXPECT_EQ(PortNumber, "1");
        EXPECT_EQ(bench.port.OpenCount(), opens);
        EXPECT_TRUE(dialog->isVisible());
    }
}

TEST_F(SettingsDialog, ApplyStoresTheTextsAsTypedAndReopensThePort)
{
    bench.port.SetDevices({1, 2});
    const struct {
        QString com;
        QString baud;
        std::string label;
        bool struck;
        std::vector<std::string> board;
    } cases[] = {
        {"2", "9600", " COM2,9600,N,8,1", false, {}},
        {"1", " 4800", " COM1, 4800,N,8,1", false, {}},
        {"0", "9600", " COM1,9600,N,8,1", true, {"Invalid port number"}},
        {"3", "9600", " COM3,9600,N,8,1", true, {"Invalid port number"}},
        // A refused rate leaves the port holding the old one, and the label shows what it holds.
        {"1", "12345", " COM1,19200,N,8,1", true, {"Invalid Baud Rate"}},
        {"1", "9.6e3", " COM1,19200,N,8,1", true, {"Invalid Baud Rate"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(("COM '" + c.com + "' baud '" + c.baud + "'").toStdString());
        InitGlobals();
        OpenPort();
        bench.shell.Board = {"an earlier line"};
        Open();
        Type("txtCOM", c.com);
        Type("txtBaud", c.baud);
        Apply();
        EXPECT_EQ(PortNumber, c.com.toStdString());
        EXPECT_EQ(BaudRate, c.baud.toStdString());
        EXPECT_EQ(bench.shell.PortLabel, c.label);
        EXPECT_EQ(bench.shell.PortLabelStruckOut, c.struck);
        EXPECT_EQ(bench.port.PortOpen(), !c.struck);
        EXPECT_EQ(bench.shell.Board, c.board);
        EXPECT_TRUE(dialog->isVisible());
    }
}

TEST_F(SettingsDialog, ApplyWhileConnectedForgetsTheConnectionWithoutTraffic)
{
    Connected = true;
    bench.shell.ShowConnected(true);
    const std::size_t wireBytes = WireBytes();
    const int opens = bench.port.OpenCount();
    Open();
    Type("txtBaud", "9600");
    Apply();
    EXPECT_FALSE(Connected);
    EXPECT_EQ(WireBytes(), wireBytes);
    EXPECT_TRUE(bench.unit.Log().empty());
    EXPECT_EQ(bench.port.OpenCount(), opens + 1);
    EXPECT_TRUE(bench.port.PortOpen());
    EXPECT_EQ(bench.port.BaudRate(), 9600);
    EXPECT_FALSE(bench.shell.IndicatorConnected);
    EXPECT_EQ(bench.shell.PortLabel, " COM1,9600,N,8,1");
    EXPECT_TRUE(bench.shell.Board.empty());
}

TEST_F(SettingsDialog, EachApplyClearsTheBoardFirst)
{
    Open();
    Type("txtCOM", "0");
    Apply();
    EXPECT_EQ(bench.shell.Board, std::vector<std::string>{"Invalid port number"});
    EXPECT_TRUE(bench.shell.PortLabelStruckOut);
    Type("txtCOM", "1");
    Apply();
    EXPECT_TRUE(bench.shell.Board.empty());
    EXPECT_FALSE(bench.shell.PortLabelStruckOut);
    EXPECT_TRUE(bench.port.PortOpen());
    EXPECT_EQ(bench.shell.Clears, 2);
}

TEST_F(SettingsDialog, EscAnywhereClosesWithoutApplying)
{
    for (const char* control : {"cmdCancel", "txtCOM", "txtBaud", "cmdApply"}) {
        SCOPED_TRACE(control);
        const int opens = bench.port.OpenCount();
        Open();
        Type("txtBaud", "9600");
        Type("txtCOM", "2");
        QTest::keyClick(dialog->findChild<QWidget*>(control), Qt::Key_Escape);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(BaudRate, "19200");
        EXPECT_EQ(PortNumber, "1");
        EXPECT_EQ(bench.port.OpenCount(), opens);
        EXPECT_EQ(bench.shell.Clears, 0);
    }
}

TEST_F(SettingsDialog, ExitClosesWithoutApplying)
{
    Open();
    Type("txtBaud", "9600");
    QTest::mouseClick(Button("cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(BaudRate, "19200");
    EXPECT_EQ(bench.shell.Clears, 0);
}

TEST_F(SettingsDialog, EnterPressesNoButton)
{
    for (const char* control : {"txtCOM", "txtBaud"}) {
        SCOPED_TRACE(control);
        Open();
        Type("txtBaud", "9600");
        QTest::keyClick(Box(control), Qt::Key_Return);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(BaudRate, "19200");
        EXPECT_EQ(bench.shell.Clears, 0);
    }
}

}  // namespace
}  // namespace UpsLink
