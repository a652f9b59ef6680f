#include <gtest/gtest.h>
#include <termios.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "AppEnvironment.h"
#include "app/frmSettings.h"
#include "link/PortControl.h"
#include "support/Pty.h"
#include "support/RealBench.h"

namespace UpsLink {
namespace {

// COM1 is a pseudo-terminal; COM2 names a device that does not exist.
class SettingsOnPty : public ::testing::Test {
protected:
    SettingsOnPty() { InitPort("19200", "N", 8, 1, "1"); }

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
    Testing::RealBench bench;
    SerialPort& port = bench.port;
    RecordingShell& shell = bench.shell;
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
