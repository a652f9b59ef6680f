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
        InstallClock(&clock_);
        InstallPort(&port);
        InstallShell(&shell);
        InitPort("19200", "N", 8, 1, "1");
        owner_.show();
    }
    ~SettingsOnPty() override
    {
        dialog_.reset();
        if (port.PortOpen()) port.SetPortOpen(false);
        InstallShell(nullptr);
        InstallPort(nullptr);
        InstallClock(nullptr);
    }

    void Apply(const QString& com, const QString& baud)
    {
        dialog_ = std::make_unique<frmSettings>(&owner_);
        dialog_->show();
        for (auto [name, text] : {std::pair{"txtCOM", com}, std::pair{"txtBaud", baud}}) {
            auto* box = dialog_->findChild<QLineEdit*>(name);
            box->clear();
            QTest::keyClicks(box, text);
        }
        QTest::mouseClick(dialog_->findChild<QPushButton*>("cmdApply"), Qt::LeftButton);
    }
    // The line speed the program left on the pseudo-terminal.
    speed_t SlaveSpeed() const
    {
        const termios now = pty_.SlaveSettings();
        return cfgetospeed(&now);
    }

    Pty pty_;
    AppTest::ScopedEnv com1_{"ZENTREL_COM1", QByteArray::fromStdString(pty_.SlavePath())};
    AppTest::ScopedEnv com2_{"ZENTREL_COM2", "/nonexistent/zentrel-tty"};
    SystemClock clock_;
    SerialPort port;
    RecordingShell shell;
    QWidget owner_;
    std::unique_ptr<frmSettings> dialog_;
};

TEST_F(SettingsOnPty, ApplyingBaud9600ReopensTheRealPortAt9600)
{
    ASSERT_TRUE(port.PortOpen());
    ASSERT_EQ(SlaveSpeed(), B19200);
    Apply("1", "9600");
    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(SlaveSpeed(), B9600);
    EXPECT_EQ(shell.PortLabel, " COM1,9600,N,8,1");
    EXPECT_FALSE(shell.PortLabelStruckOut);
    EXPECT_TRUE(shell.Board.empty());
}

TEST_F(SettingsOnPty, AMissingDeviceIsAnInvalidPortNumber)
{
    Apply("2", "19200");
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(shell.Board, std::vector<std::string>{"Invalid port number"});
    EXPECT_TRUE(shell.PortLabelStruckOut);
    EXPECT_EQ(shell.PortLabel, " COM2,19200,N,8,1");
}

}  // namespace
}  // namespace UpsLink
