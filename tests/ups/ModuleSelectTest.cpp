#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <functional>

#include "ScriptedUnit.h"
#include "SimBench.h"
#include "UpsModel.h"
#include "common/Globals.h"
#include "link/PortControl.h"
#include "ups/Connect.h"
#include "ups/Identification.h"
#include "ups/Replies.h"
#include "ups/frmSMSelect.h"

using namespace UpsLink;

namespace {

using Payloads = std::vector<std::vector<uint8_t>>;
using Lines = std::vector<std::string>;

const std::vector<uint8_t> Access{0xCF, AccessCode[0], AccessCode[1], AccessCode[2]};
const Payloads Reconnect{{0xFF}, {0x40}, Access, {0xA0}, {0x36}, {0xFF, 0x06, 0x08, 0x62}, {0x40}};

// The model, with a look at the program's state whenever a frame arrives.
struct WatchedModel : UpsModel {
    std::vector<Emission> Receive(const std::vector<uint8_t>& bytes, double nowMs) override
    {
        if (OnFrame) OnFrame();
        return UpsModel::Receive(bytes, nowMs);
    }
    std::function<void()> OnFrame;
};

struct DialogBench : SimBench<WatchedModel> {
    DialogBench() { OpenPort(); }

    Payloads ReceivedSince(std::size_t first) const
    {
        const Payloads all = unit.ReceivedPayloads();
        return {all.begin() + static_cast<std::ptrdiff_t>(first), all.end()};
    }
};

QStringList Items(const QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i) items << box.itemText(i);
    return items;
}

std::vector<uint8_t> Range(int count)
{
    std::vector<uint8_t> modules;
    for (int i = 0; i < count; ++i) modules.push_back(static_cast<uint8_t>(i));
    return modules;
}

QStringList RangeText(int count)
{
    QStringList items;
    for (int i = 0; i < count; ++i) items << QString::number(i);
    return items;
}

}  // namespace

TEST(frmSMSelect, LayoutCaptionsAndWindowKind)
{
    frmSMSelect dialog;
    EXPECT_EQ(dialog.windowTitle(), "Module Select");
    EXPECT_EQ(dialog.size(), QSize(251, 95));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.Label1->text(), "Module Number");
    EXPECT_EQ(dialog.Label1->pos(), QPoint(8, 20));
    EXPECT_EQ(dialog.cmbSM->geometry(), QRect(88, 16, 49, 21));
    EXPECT_FALSE(dialog.cmbSM->isEditable());
    EXPECT_EQ(dialog.cmdApply->text(), "&Apply");
    EXPECT_EQ(dialog.cmdApply->geometry(), QRect(168, 16, 65, 25));
    EXPECT_EQ(dialog.cmdExit->text(), "E&xit");
    EXPECT_EQ(dialog.cmdExit->geometry(), QRect(168, 56, 65, 25));

    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_EQ(dialog.windowType(), Qt::Tool) << "kept out of the task bar";
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(dialog.parentWidget(), nullptr);
}

TEST(frmSMSelect, ShownCentredWithFocusMovingExitListApply)
{
    frmSMSelect dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));

    const QPoint screenCentre = dialog.screen()->availableGeometry().center();
    EXPECT_LE((dialog.frameGeometry().center() - screenCentre).manhattanLength(), 2);

    EXPECT_EQ(QApplication::focusWidget(), dialog.cmdExit);
    QTest::keyClick(&dialog, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog.cmbSM);
    QTest::keyClick(&dialog, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog.cmdApply);
    QTest::keyClick(&dialog, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog.cmdExit);
}

TEST(frmSMSelect, EscapePressesExitAndClosesTheDialog)
{
    frmSMSelect dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy exitClicks(dialog.cmdExit, &QPushButton::clicked);
    QTest::keyClick(dialog.cmbSM, Qt::Key_Escape);
    EXPECT_EQ(exitClicks.count(), 1);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(frmSMSelect, LoadListsTheModulesByTheListRules)
{
    const struct {
        const char* name;
        std::vector<uint8_t> modules;
        std::string selected;
        QStringList items;
        QString current;
    } cases[] = {
        {"255 left out, SelectedModule preselected", {2, 255, 7, 0}, "0", {"2", "7", "0"}, "0"},
        {"preselects 5", {2, 5}, "5", {"2", "5"}, "5"},
        {"not listed: the first item", {2, 5}, "9", {"2", "5"}, "2"},
        {"65 modules are shown", Range(65), "64", RangeText(65), "64"},
        {"66 modules show nothing", Range(66), "0", {}, ""},
        {"only 255", {255, 255}, "0", {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DialogBench bench;
        bench.unit.Config().Modules = c.modules;
        SelectedModule = c.selected;
        bench.shell.Board = {"earlier line"};

        frmSMSelect dialog;
        dialog.Form_Load();
        EXPECT_EQ(Items(*dialog.cmbSM), c.items);
        EXPECT_EQ(dialog.cmbSM->currentText(), c.current);
        EXPECT_EQ(dialog.cmdApply->isEnabled(), !c.items.isEmpty());
        EXPECT_EQ(bench.shell.Board, (Lines{"earlier line", "Determining Modules Supported...", "Done"}));
        EXPECT_EQ(bench.unit.ReceivedPayloads(), (Payloads{{0xCE, 0x00, 0xFF}}));
        EXPECT_TRUE(dialog.isEnabled());
        EXPECT_FALSE(bench.shell.Busy);
    }
}

TEST(frmSMSelect, LoadIsBusyAndDisabledWhileDiscovering)
{
    DialogBench bench;
    frmSMSelect dialog;
    bool seen = false;
    bench.unit.OnFrame = [&] {
        seen = true;
        EXPECT_FALSE(dialog.isEnabled());
        EXPECT_TRUE(bench.shell.Busy);
    };
    dialog.Form_Load();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(dialog.isEnabled());
    EXPECT_FALSE(bench.shell.Busy);
}

TEST(frmSMSelect, LoadWithoutAnswerSaysNoModules)
{
    DialogBench bench;
    bench.unit.Config().Silent = true;
    frmSMSelect dialog;
    dialog.Form_Load();
    EXPECT_EQ(bench.shell.Board, (Lines{"Determining Modules Supported...", "No modules detected", "Done"}));
    EXPECT_EQ(dialog.cmbSM->count(), 0);
    EXPECT_FALSE(dialog.cmdApply->isEnabled());
}

TEST(frmSMSelect, LoadWithATooShortListReportsMark15AndKeepsApply)
{
    SimBench<ScriptedUnit> bench;
    OpenPort();
    bench.unit.Then(Answer(9, {0x31, 0x00, 0x00}));
    frmSMSelect dialog;
    dialog.Form_Load();
    EXPECT_EQ(bench.shell.Board, (Lines{"Determining Modules Supported...", "9 Subscript out of range 15"}));
    EXPECT_EQ(dialog.cmbSM->count(), 0);
    EXPECT_TRUE(dialog.cmdApply->isEnabled());
    EXPECT_TRUE(dialog.isEnabled());
    EXPECT_FALSE(bench.shell.Busy);
}

TEST(frmSMSelect, ApplyAsksFirstAndNoChangesNothingButTheBoard)
{
    DialogBench bench;
    bench.unit.Config().Modules = {2, 5};
    frmSMSelect dialog;
    dialog.Form_Load();
    dialog.cmbSM->setCurrentText("5");
    const std::size_t sent = bench.unit.ReceivedPayloads().size();
    bench.shell.MessageAnswers = {MsgAnswer::No};

    dialog.cmdApply->click();
    ASSERT_EQ(bench.shell.Messages.size(), 1u);
    const MessageRequest& warning = bench.shell.Messages[0];
    EXPECT_EQ(warning.Title, "Update Configuration");
    EXPECT_EQ(warning.Text, "WARNING: You are about to switch to MODULE 5\r\n\r\nContinue? ");
    EXPECT_EQ(warning.Buttons, MsgButtons::YesNo);
    EXPECT_EQ(warning.Icon, MsgIcon::Exclamation);
    EXPECT_EQ(warning.DefaultButton, 1);

    EXPECT_TRUE(bench.shell.Board.empty());
    EXPECT_EQ(bench.unit.ReceivedPayloads().size(), sent);
    EXPECT_EQ(SelectedModule, "0");
    EXPECT_EQ(ReplyTimeout, 3);
    EXPECT_TRUE(dialog.cmdApply->isEnabled());
    EXPECT_FALSE(bench.shell.Busy);
}

TEST(frmSMSelect, YesSelectsModule10AndReconnectsToIt)
{
    DialogBench bench;
    bench.unit.Config().Modules = {2, 10};
    ASSERT_TRUE(ConnectUps());
    frmSMSelect dialog;
    dialog.Form_Load();
    dialog.cmbSM->setCurrentText("10");
    const std::size_t sent = bench.unit.ReceivedPayloads().size();
    Lines boardDuringSelect;
    bench.unit.OnFrame = [&] {
        if (boardDuringSelect.empty()) boardDuringSelect = bench.shell.Board;
    };
    bench.shell.MessageAnswers = {MsgAnswer::Yes};

    dialog.cmdApply->click();
    Payloads expected{{0xCE, 0x00, 0x0A}};
    expected.insert(expected.end(), Reconnect.begin(), Reconnect.end());
    EXPECT_EQ(bench.ReceivedSince(sent), expected);
    EXPECT_EQ(boardDuringSelect, Lines{"Selecting Module 10"});
    EXPECT_EQ(bench.shell.Board, (Lines{"Connecting...", "Module 10 Found", "Done"}));
    EXPECT_EQ(SelectedModule, "10");
    EXPECT_EQ(ReplyTimeout, 2);
    EXPECT_TRUE(Connected);
    EXPECT_EQ(UpsType, 281);
    EXPECT_EQ(bench.unit.SelectedModule(), 10);
    EXPECT_FALSE(dialog.cmdApply->isEnabled());
    EXPECT_FALSE(bench.shell.Busy);
}

TEST(frmSMSelect, PathAddressingSelectsAlongBothHopsWithSixSeconds)
{
    DialogBench bench;
    UpsModelConfig& unit = bench.unit.Config();
    unit.Cpus = {{0x02, 0x01}, {0, 0}, {0, 0}, {0, 0}};
    unit.FirstHop = 0x04;
    unit.SecondHop = 0x01;
    unit.Modules = {3, 7};
    ASSERT_TRUE(ConnectUps());
    ASSERT_FLOAT_EQ(CpuVersion[4], 1.02F);
    const std::size_t beforeLoad = bench.unit.ReceivedPayloads().size();

    frmSMSelect dialog;
    dialog.Form_Load();
    EXPECT_EQ(bench.ReceivedSince(beforeLoad), (Payloads{{0xCE, 0xFF}, {0xCE, 0x04, 0xFF}, {0xCE, 0x04, 0x01, 0xFF}}));
    EXPECT_EQ(Items(*dialog.cmbSM), (QStringList{"3", "7"}));
    dialog.cmbSM->setCurrentText("7");
    const std::size_t beforeApply = bench.unit.ReceivedPayloads().size();
    bench.shell.MessageAnswers = {MsgAnswer::Yes};

    dialog.cmdApply->click();
    const Payloads applied = bench.ReceivedSince(beforeApply);
    ASSERT_FALSE(applied.empty());
    EXPECT_EQ(applied[0], (std::vector<uint8_t>{0xCE, 0x04, 0x01, 0x07}));
    EXPECT_EQ(ReplyTimeout, 6);
    EXPECT_EQ(bench.shell.Board, (Lines{"Connecting...", "Module 7 Found", "Done"}));
}

TEST(frmSMSelect, ApplyOnPathWithoutDiscoveryReportsMark14AndRestoresThePointer)
{
    DialogBench bench;
    CpuVersion[4] = 1.0F;
    frmSMSelect dialog;
    bench.shell.MessageAnswers = {MsgAnswer::Yes};

    dialog.cmdApply_Click();
    EXPECT_EQ(bench.shell.Board, (Lines{"Selecting Module 0", "9 Subscript out of range 14"}));
    EXPECT_TRUE(bench.unit.ReceivedPayloads().empty());
    EXPECT_FALSE(bench.shell.Busy);
}

TEST(frmSMSelect, FailedReconnectKeepsApply)
{
    DialogBench bench;
    bench.unit.Config().Modules = {2};
    bench.unit.Config().ModuleTypeCode = 282;
    frmSMSelect dialog;
    dialog.Form_Load();
    bench.shell.MessageAnswers = {MsgAnswer::Yes};

    dialog.cmdApply->click();
    EXPECT_EQ(bench.shell.Board, (Lines{"Connecting...", "Invalid UPS Type", "Done"}));
    EXPECT_FALSE(Connected);
    EXPECT_TRUE(dialog.cmdApply->isEnabled());
}
