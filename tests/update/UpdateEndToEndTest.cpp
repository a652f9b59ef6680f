// The whole road of an update in real time: zentrel-pack scrambles the worked example, the real
// main window (offscreen, its boxes and dialog answered by the test) connects to zentrel-sim on
// a pseudo-terminal and updates it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <cstdlib>
#include <fstream>

#include "ScriptedWindow.h"
#include "common/AppTitle.h"
#include "config/Globals.h"
#include "core/InitGlobals.h"
#include "link/Globals.h"
#include "link/Protocol.h"
#include "ups/Globals.h"
#include "config/ConfigFiles.h"
#include "platform/qt/SystemClock.h"
#include "platform/Seams.h"
#include "platform/qt/SerialPort.h"
#include "support/HexBytes.h"
#include "support/SimLog.h"
#include "support/SimProcess.h"

using namespace UpsLink;
using namespace UpsLink::Testing;
using Lines = std::vector<std::string>;

namespace {

TEST(UpdateEndToEnd, WorkedExampleReachesTheSimulatedEeprom)
{
    int argc = 1;
    char name[] = "update_e2e_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    FileFolder folder;
    const std::string plain = folder.Write("worked example.txt", WorkedExample);
    const std::string packed = folder.Path("280_example.pp");
    const std::string encode = std::string("'") + ZENTREL_PACK + "' encode '" + plain + "' '" + packed + "'";
    ASSERT_EQ(std::system(encode.c_str()), 0);

    const std::string eeprom = folder.Path("eeprom.txt");
    const std::string log = folder.Path("frames.log");
    SimProcess sim({"--eeprom", eeprom, "--log", log});
    ::setenv("ZENTREL_COM1", sim.SlavePath().c_str(), 1);
    struct Seams {
        ~Seams()
        {
            InstallShell(nullptr);
            InstallPort(nullptr);
            InstallClock(nullptr);
            ::unsetenv("ZENTREL_COM1");
        }
    } seams;
    SerialPort port;
    SystemClock clock;
    const auto window = StartScripted(port, clock);
    ASSERT_NE(window, nullptr);

    window->cmdConnect->click();
    ASSERT_TRUE(Connected) << ::testing::PrintToString(window->BoardLines());
    window->FileAnswers.push_back(packed);
    window->cmdBattComm->click();

    EXPECT_EQ(window->BoardLines(), (Lines{"Updating configuration...", "Configuration update complete"}));
    EXPECT_EQ(window->windowTitle().toStdString(), "Zentrel   280_example.pp");
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(window->ProgressBar1->isVisible());
    ASSERT_EQ(window->Messages.size(), 1u);
    EXPECT_EQ(window->Messages[0].Text, "Update EEPROM settings?");

    sim.Stop();
    std::ifstream written(eeprom);
    Lines records;
    for (std::string line; std::getline(written, line);) records.push_back(line);
    EXPECT_EQ(records, (Lines{"12: 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF", "13: F4 01"}));

    // The simulated UPS lists the module select command, so the Module button is enabled and each
    // write follows a select of SelectedModule "0", the UPS itself.
    const auto received = FramesIn(ReadSimLog(log), '>');
    ASSERT_GE(received.size(), 5u);
    Lines update;
    for (std::size_t i = received.size() - 5; i < received.size(); ++i) update.push_back(HexBytes(received[i]));
    EXPECT_EQ(update, (Lines{"AB 03 CE 00 00 84", "AB 12 78 0C 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF C7",
                             "AB 03 CE 00 00 84", "AB 04 78 0D F4 01 D7", "AB 02 78 00 DB"}));
}

}  // namespace
