#include <gtest/gtest.h>
#include <termios.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "AppEnvironment.h"
#include "RecordingShell.h"
#include "app/frmSettings.h"
#include "common/Globals.h"
#include "link/PortControl.h"
#include "platform/Clock.h"
#include "platform/Seams.h"
#include "platform/SerialPort.h"
#include "support/Pty.h"

namespace UpsLink {
namespace {

// COM1 is a pseudo-terminal; COM2 names a device that does not exist.
class SettingsOnPty : public ::testing::Test {
protected:
    SettingsOnPty()
    {
        InitGlobals();
        InstallClock(&clock);
        InstallPort(&port);
        InstallShell(&shell);
        InitPort("19200", "N", 8, 1, "1");
    }
    ~SettingsOnPty() override
    {
        if (port.PortOpen()) port.SetPortOpen(false);
        InstallShell(nullptr);
        InstallPort(nullptr);
        InstallClock(nullptr);
    }

    void Apply(const QString& com, const QString& baud)
    {
        frmSettings dialog(nullptr);
        dialog.show();
        for (auto [name, text] : {std::pair{"txtCOM", com}, std::pair{"txtBaud", baud}}) {
            dialog.findChild<QLineEdit*>(name)->clear();
            QTest::keyClicks(dialog.findChild<QLineEdit*>(name), text);
        }
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdApply"), Qt::LeftButton);
    }
    // The line speed the program left on the pseudo-terminal.
    speed_t SlaveSpeed() const
    {
        const termios now = pty.SlaveSettings();
        return cfgetospeed(&now);
    }

    Pty pty;
    AppTest::ScopedEnv com1{"ZENTREL_COM1", QByteArray::fromStdString(pty.SlavePath())};
    AppTest::ScopedEnv com2{"ZENTREL_COM2", "/nonexistent/zentrel-tty"};
    SystemClock clock;
    SerialPort port;
    RecordingShell shell;
};

TEST_F(SettingsOnPty, ApplyReopensTheRealPortOrStrikesTheLabelOfAMissingDevice)
{
    ASSERT_EQ(SlaveSpeed(), B19200);
    Apply("1", "9600");
    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(SlaveSpeed(), B9600);
    EXPECT_EQ(shell.PortLabel, " COM1,9600,N,8,1");
    EXPECT_FALSE(shell.PortLabelStruckOut);
    EXPECT_TRUE(shell.Board.empty());

    Apply("2", "19200");
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(shell.Board, std::vector<std::string>{"Invalid port number"});
    EXPECT_TRUE(shell.PortLabelStruckOut);
    EXPECT_EQ(shell.PortLabel, " COM2,19200,N,8,1");
}

}  // namespace
}  // namespace UpsLink
