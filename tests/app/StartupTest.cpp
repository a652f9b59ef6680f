// Start-up in process: the real serial port on a missing device and on a pseudo-terminal, and
// failures while the main window loads and after it loaded.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>

#include "AppEnvironment.h"
#include "Main.h"
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
#include "platform/qt/SystemClock.h"
#include "platform/Seams.h"
#include "platform/qt/SerialPort.h"
#include "support/Pty.h"

namespace {

using namespace UpsLink;

bool AnyWindowVisible()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible()) return true;
    return false;
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

class StartupTest : public ::testing::Test {
protected:
    ~StartupTest() override
    {
        InstallShell(nullptr);
        InstallPort(nullptr);
        InstallClock(nullptr);
    }

    // Builds the real window (or one that cannot show) but records its end instead of ending.
    MainWindowLoader Loader(Port& port, int showFault = 0)
    {
        return [this, &port, showFault]() -> std::unique_ptr<::frmMain> {
            std::unique_ptr<::frmMain> window =
                showFault ? std::make_unique<WindowThatCannotShow>(showFault) : std::make_unique<::frmMain>(nullptr);
            window->EndProcess = [this, &port] {
                ++ends;
                portOpenAtEnd = port.PortOpen();
            };
            return window;
        };
    }

    int ends = 0;
    bool portOpenAtEnd = true;
};

TEST_F(StartupTest, WithNoDeviceOrAPseudoTerminalBehindCom1TheWindowShows)
{
    QTemporaryDir dir;
    Pty cable;
    for (const std::string& device : {dir.filePath("missing").toStdString(), cable.SlavePath()}) {
        const bool missing = device != cable.SlavePath();
        SCOPED_TRACE(device);
        AppTest::ScopedEnv com1("ZENTREL_COM1", QByteArray::fromStdString(device));
        SerialPort port;
        SystemClock clock;
        AppTest::MessageBoxAnswerer answerer;
        UpsType = 5;

        const auto window = Main(port, clock, Loader(port));

        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(&UpsLink::frmMain(), window.get());
        EXPECT_EQ(UpsType, 0);
        EXPECT_EQ(window->lblSettings->text(), " COM1,19200,N,8,1");
        EXPECT_EQ(window->lblSettings->font().strikeOut(), missing);
        EXPECT_EQ(window->BoardLines(),
                  missing ? std::vector<std::string>{"Invalid port number"} : std::vector<std::string>{});
        EXPECT_EQ(port.PortOpen(), !missing);
        EXPECT_TRUE(answerer.Shown.empty());

        // Unloading it closes the port before the process would end.
        window->close();
        EXPECT_EQ(ends, missing ? 1 : 2);
        EXPECT_FALSE(portOpenAtEnd);
    }
}

// A failure while the window loads shows the message and no window; one after it loaded ends
// the process (port closed) instead of leaving an invisible program. 8012 shows no message.
TEST_F(StartupTest, FailureShowsOneMessageAndNoWindow)
{
    const struct {
        int number;
        bool afterLoad;
        QString message;
    } cases[] = {
        {FaultNo::TypeMismatch, false, "13 Start: Type mismatch 1"},
        {FaultNo::DeviceNotOpen, false, ""},
        {FaultNo::Overflow, true, "6 Start: Overflow 1"},
        {FaultNo::DeviceNotOpen, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.number) + (c.afterLoad ? " after load" : " while loading"));
        VirtualClock clock;
        ScriptedUnit unit;
        SimPort port{clock, unit};
        AppTest::MessageBoxAnswerer answerer;
        ends = 0;
        portOpenAtEnd = true;
        const MainWindowLoader failing = [&]() -> std::unique_ptr<::frmMain> { throw Fault(c.number); };

        EXPECT_EQ(Main(port, clock, c.afterLoad ? Loader(port, c.number) : failing), nullptr);

        EXPECT_FALSE(AnyWindowVisible());
        EXPECT_EQ(port.OpenCount(), c.afterLoad ? 1 : 0);
        EXPECT_EQ(ends, c.afterLoad ? 1 : 0);
        EXPECT_EQ(portOpenAtEnd, !c.afterLoad);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(answerer.Shown.empty());
            continue;
        }
        ASSERT_EQ(answerer.Shown.size(), 1u);
        EXPECT_EQ(answerer.Shown[0].Text, c.message);
        EXPECT_EQ(answerer.Shown[0].Title, "Zentrel");
        EXPECT_EQ(answerer.Shown[0].Buttons, std::vector<QString>{"OK"});
    }
}

}  // namespace
