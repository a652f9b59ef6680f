#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <functional>

#include "SimBench.h"
#include "UpsModel.h"
#include "common/Fault.h"
#include "common/Globals.h"
#include "link/PortControl.h"
#include "ups/Connect.h"
#include "ups/UpsCommands.h"
#include "ups/frmSMSelect.h"

using namespace UpsLink;

namespace {

using Payloads = std::vector<std::vector<uint8_t>>;
using Lines = std::vector<std::string>;

const Lines ConnectLines{"Connecting...", "UPS Found", "Done"};
const Lines DisconnectLines{"Disconnecting...", "Complete"};

// The model, recording the window's state whenever a frame arrives.
struct WatchedModel : UpsModel {
    std::vector<Emission> Receive(const std::vector<uint8_t>& bytes, double nowMs) override
    {
        if (OnFrame) OnFrame();
        return UpsModel::Receive(bytes, nowMs);
    }
    std::function<void()> OnFrame;
};

struct CommandBench : SimBench<WatchedModel> {
    CommandBench()
    {
        OpenPort();
        unit.OnFrame = [this] {
            busyAtEveryFrame = busyAtEveryFrame && shell.Busy && !shell.FormEnabled;
            ++frames;
        };
    }
    void ExpectIdle() const
    {
        EXPECT_TRUE(shell.FormEnabled);
        EXPECT_FALSE(shell.Busy);
    }
    bool busyAtEveryFrame = true;
    int frames = 0;
};

// A main window whose caption cannot be set, so a fault escapes DisconnectUps.
struct CaptionFaultShell : RecordingShell {
    void SetCaption(const std::string&) override { throw Fault(FaultNo::InvalidCall); }
};

}  // namespace

TEST(ConnectButton, ConnectsThenDisconnectsInsideTheBusyWrapper)
{
    CommandBench bench;
    OnConnectClick();
    EXPECT_EQ(bench.shell.Board, ConnectLines);
    EXPECT_TRUE(Connected);
    OnConnectClick();
    EXPECT_EQ(bench.shell.Board, DisconnectLines);
    EXPECT_FALSE(Connected);
    EXPECT_TRUE(bench.busyAtEveryFrame);
    bench.ExpectIdle();
}

TEST(ConnectButton, DoesNothingWhileThePortLabelIsStruckThrough)
{
    for (bool connected : {false, true}) {
        CommandBench bench;
        bench.shell.PortLabelStruckOut = true;
        bench.shell.Board = {"before"};
        Connected = connected;
        OnConnectClick();
        EXPECT_EQ(bench.frames, 0);
        EXPECT_EQ(bench.shell.Board, Lines{"before"});
        EXPECT_EQ(Connected, connected);
        bench.ExpectIdle();
    }
}

TEST(ConnectMenu, ConnectsEvenWhileConnected)
{
    CommandBench bench;
    OnConnectMenu();
    ASSERT_TRUE(Connected);
    const std::size_t before = bench.unit.ReceivedPayloads().size();
    OnConnectMenu();
    const Payloads all = bench.unit.ReceivedPayloads();
    ASSERT_GT(all.size(), before + 2);
    // The disconnect's FF, then the connect's own.
    EXPECT_EQ(all[before], std::vector<uint8_t>{0xFF});
    EXPECT_EQ(all[before + 1], std::vector<uint8_t>{0xFF});
    EXPECT_EQ(all[before + 2], std::vector<uint8_t>{0x40});
    EXPECT_EQ(bench.shell.Board, ConnectLines);
    EXPECT_TRUE(bench.busyAtEveryFrame);
    bench.ExpectIdle();
}

TEST(ConnectMenu, IgnoresTheLabelButNotADisabledWindow)
{
    CommandBench bench;
    bench.shell.PortLabelStruckOut = true;
    OnConnectMenu();
    EXPECT_EQ(bench.shell.Board, ConnectLines);

    bench.shell.FormEnabled = false;
    bench.shell.Board.clear();
    const int frames = bench.frames;
    OnConnectMenu();
    EXPECT_EQ(bench.frames, frames);
    EXPECT_TRUE(bench.shell.Board.empty());
    EXPECT_FALSE(bench.shell.FormEnabled);
    EXPECT_FALSE(bench.shell.Busy);
}

TEST(DisconnectMenu, DisconnectsOnlyWhenConnected)
{
    CommandBench bench;
    bench.shell.Board = {"before"};
    OnDisconnectMenu();
    EXPECT_EQ(bench.frames, 0);
    EXPECT_EQ(bench.shell.Board, Lines{"before"});

    OnConnectMenu();
    OnDisconnectMenu();
    EXPECT_EQ(bench.shell.Board, DisconnectLines);
    EXPECT_FALSE(Connected);
    EXPECT_TRUE(bench.busyAtEveryFrame);
    bench.ExpectIdle();
}

TEST(DisconnectCommands, AFaultInsideDisconnectLeavesTheWindowUsable)
{
    const struct {
        const char* name;
        std::function<void()> command;
        std::string line;
    } cases[] = {
        {"Connect button", OnConnectClick, "5 Invalid procedure call or argument"},
        {"Disconnect menu", OnDisconnectMenu, "5 Invalid procedure call or argument"},
        // ConnectUps traps what its own disconnect lets through.
        {"Connect menu", OnConnectMenu, "5 Invalid procedure call or argument 6"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CommandBench bench;
        CaptionFaultShell shell;
        InstallShell(&shell);
        Connected = true;
        c.command();
        EXPECT_TRUE(shell.FormEnabled);
        EXPECT_FALSE(shell.Busy);
        EXPECT_EQ(shell.Board, (Lines{"Disconnecting...", c.line}));
        EXPECT_FALSE(Connected);
        InstallShell(&bench.shell);
    }
}

TEST(ModuleButton, ConnectedOpensTheDialogModalWithoutOwner)
{
    CommandBench bench;
    ASSERT_TRUE(ConnectUps());
    bool shown = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        shown = true;
        EXPECT_NE(qobject_cast<frmSMSelect*>(dialog), nullptr);
        EXPECT_EQ(dialog->parentWidget(), nullptr);
        EXPECT_TRUE(dialog->isModal());
        EXPECT_FALSE(bench.shell.FormEnabled);
        EXPECT_EQ(bench.shell.Board, (Lines{"Determining Modules Supported...", "Done"}));
        dialog->close();
    });
    OnModuleClick();
    EXPECT_TRUE(shown);
    EXPECT_EQ(bench.shell.Board, (Lines{"Determining Modules Supported...", "Done"}));
    bench.ExpectIdle();
}
