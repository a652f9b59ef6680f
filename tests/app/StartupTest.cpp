// Start-up in process: the real serial port on a missing device and on a pseudo-terminal, and
// failures while the main window loads and after it loaded.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

#include "AppEnvironment.h"
#include "support/Pty.h"
#include "Main.h"
#include "ScriptedUnit.h"
#include "SimPort.h"
#include "VirtualClock.h"
#include "common/Fault.h"
#include "common/Globals.h"
#include "frmMain.h"
#include "platform/Clock.h"
#include "platform/LineFile.h"
#include "platform/Seams.h"
#include "platform/SerialPort.h"

namespace {

using namespace UpsLink;

std::vector<QWidget*> VisibleWindows()
{
    std::vector<QWidget*> shown;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible()) shown.push_back(widget);
    return shown;
}

class StartupTest : public ::testing::Test {
protected:
    ~StartupTest() override
    {
        InstallShell(nullptr);
        InstallPort(nullptr);
        InstallClock(nullptr);
    }

    // A loader that builds the real window but keeps the process alive when it is unloaded.
    MainWindowLoader Loader()
    {
        return [this] {
            auto window = std::make_unique<::frmMain>(nullptr);
            window->EndProcess = [this] { ++ends; };
            return window;
        };
    }

    int ends = 0;
};

TEST_F(StartupTest, NoDeviceBehindCom1ShowsTheWindowWithTheLabelStruckAndOneLine)
{
    QTemporaryDir dir;
    AppTest::ScopedEnv com1("ZENTREL_COM1", dir.filePath("missing").toLocal8Bit());
    SerialPort port;
    SystemClock clock;
    AppTest::MessageBoxAnswerer answerer;

    const auto window = Main(port, clock, Loader());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->PortLabelStruck());
    EXPECT_EQ(window->lblSettings->text(), " COM1,19200,N,8,1");
    EXPECT_EQ(window->BoardLines(), std::vector<std::string>{"Invalid port number"});
    EXPECT_FALSE(port.PortOpen());
    EXPECT_FALSE(window->ProgressBar1->isVisible());
    EXPECT_EQ(window->cmdConnect->text(), "Connect");
    EXPECT_TRUE(answerer.Shown.empty());
    EXPECT_EQ(&UpsLink::frmMain(), window.get());
}

TEST_F(StartupTest, PseudoTerminalBehindCom1OpensWithTheDefaultSettings)
{
    Pty cable;
    AppTest::ScopedEnv com1("ZENTREL_COM1", QByteArray::fromStdString(cable.SlavePath()));
    SerialPort port;
    SystemClock clock;

    const auto window = Main(port, clock, Loader());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->PortLabelStruck());
    EXPECT_EQ(window->lblSettings->text(), " COM1,19200,N,8,1");
    EXPECT_TRUE(window->BoardLines().empty());
    EXPECT_TRUE(port.PortOpen());
    EXPECT_FALSE(Connected);
    EXPECT_EQ(UpsType, 0);
    EXPECT_EQ(SelectedModule, "0");
    EXPECT_EQ(ReplyTimeout, 3);

    // Unloading it closes the port before the process would end.
    window->close();
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(port.PortOpen());
}

TEST_F(StartupTest, FailureWhileTheWindowLoadsShowsOneMessageAndNoWindow)
{
    struct Case {
        int number;
        QString message;  // empty: no message box
    };
    const Case cases[] = {
        {FaultNo::TypeMismatch, "13 Start: Type mismatch 1"},
        {FaultNo::SubscriptOutOfRange, "9 Start: Subscript out of range 1"},
        {FaultNo::DeviceNotOpen, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        VirtualClock clock;
        ScriptedUnit unit;
        SimPort port{clock, unit};
        AppTest::MessageBoxAnswerer answerer;
        const auto window =
            Main(port, clock, [&]() -> std::unique_ptr<::frmMain> { throw Fault(c.number); });
        EXPECT_EQ(window, nullptr);
        EXPECT_TRUE(VisibleWindows().empty());
        EXPECT_EQ(port.OpenCount(), 0);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(answerer.Shown.empty());
            continue;
        }
        ASSERT_EQ(answerer.Shown.size(), 1u);
        EXPECT_EQ(answerer.Shown[0].Text, c.message);
        EXPECT_EQ(answerer.Shown[0].Title, "Zentrel");
        EXPECT_EQ(answerer.Shown[0].Buttons, std::vector<QString>{"OK"});
        EXPECT_EQ(answerer.Shown[0].Icon, QMessageBox::NoIcon);
    }
}

// A main window that fails as it is shown, after it loaded and the port opened.
class WindowThatCannotShow : public ::frmMain {
public:
    explicit WindowThatCannotShow(int faultNumber) : ::frmMain(nullptr), faultNumber_(faultNumber) {}
    void setVisible(bool visible) override
    {
        if (visible) throw Fault(faultNumber_);
        ::frmMain::setVisible(visible);
    }

private:
    int faultNumber_;
};

TEST_F(StartupTest, FailureAfterTheWindowLoadedEndsTheProcessInsteadOfHidingIt)
{
    for (int number : {int(FaultNo::Overflow), int(FaultNo::DeviceNotOpen)}) {
        SCOPED_TRACE(number);
        VirtualClock clock;
        ScriptedUnit unit;
        SimPort port{clock, unit};
        AppTest::MessageBoxAnswerer answerer;
        bool portOpenAtEnd = true;
        int ended = 0;
        const auto window = Main(port, clock, [&] {
            auto loaded = std::make_unique<WindowThatCannotShow>(number);
            loaded->EndProcess = [&] {
                ++ended;
                portOpenAtEnd = port.PortOpen();
            };
            return loaded;
        });
        EXPECT_EQ(window, nullptr);
        EXPECT_EQ(port.OpenCount(), 1);
        EXPECT_EQ(ended, 1);
        EXPECT_FALSE(portOpenAtEnd);
        EXPECT_TRUE(VisibleWindows().empty());
        if (number == FaultNo::DeviceNotOpen) {
            EXPECT_TRUE(answerer.Shown.empty());
        } else {
            ASSERT_EQ(answerer.Shown.size(), 1u);
            EXPECT_EQ(answerer.Shown[0].Text, "6 Start: Overflow 1");
        }
    }
}

TEST_F(StartupTest, WireTraceRecordsEveryWriteAndReadWithTheTimeOfDay)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("wire.trace");
    std::string error;
    auto trace = LineFile::Open(path.toStdString(), error);
    ASSERT_TRUE(trace) << error;

    VirtualClock clock(10 * 3600.0 + 5 * 60 + 7.25);
    ScriptedUnit unit;
    unit.Then({{10, {0xAB, 0x01, 0x06}}});
    SimPort port{clock, unit};
    InstallClock(&clock);
    TraceWire(port, *trace);
    port.SetPortOpen(true);
    port.Output({0xAB, 0x01, 0xFF, 0x55});
    clock.Sleep(500);
    port.Input();

    EXPECT_EQ(AppTest::FileLines(path),
              (std::vector<std::string>{"10:05:07.250  >  AB 01 FF 55", "10:05:07.750  <  AB 01 06"}));
}

}  // namespace
