#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <functional>

#include "SimBench.h"
#include "common/Fault.h"
#include "common/Globals.h"
#include "link/PortControl.h"
#include "ScriptedUnit.h"
#include "ups/Connect.h"
#include "ups/Modules.h"
#include "ups/Wire.h"
#include "ups/frmSMSelect.h"

using namespace UpsLink;

namespace {

using Lines = std::vector<std::string>;

struct DialogBench : SimBench<WatchedModel> {
    DialogBench() { OpenPort(); }
    Payloads SentSince(std::size_t first) const { return Since(unit.ReceivedPayloads(), first); }
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
    EXPECT_EQ(dialog.windowType(), Qt::Tool) << "kept out of the task bar";
    EXPECT_FALSE(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
}

TEST(frmSMSelect, CentredWithFocusMovingExitListApplyAndEscapePressingExit)
{
    frmSMSelect dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    const QPoint screenCentre = dialog.screen()->availableGeometry().center();
    EXPECT_LE((dialog.frameGeometry().center() - screenCentre).manhattanLength(), 2);

    for (QWidget* next :
         std::initializer_list<QWidget*>{dialog.cmdExit, dialog.cmbSM, dialog.cmdApply, dialog.cmdExit}) {
        EXPECT_EQ(QApplication::focusWidget(), next);
        QTest::keyClick(&dialog, Qt::Key_Tab);
    }
    bool exitClicked = false;
    QObject::connect(dialog.cmdExit, &QPushButton::clicked, [&] { exitClicked = true; });
    QTest::keyClick(dialog.cmbSM, Qt::Key_Escape);
    EXPECT_TRUE(exitClicked);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(frmSMSelect, LoadListsTheModulesByTheListRules)
{
    const Lines done{"earlier line", "Determining Modules Supported...", "Done"};
    const Lines none{"earlier line", "Determining Modules Supported...", "No modules detected", "Done"};
    const Lines mark15{"earlier line", "Determining Modules Supported...", "9 Subscript out of range 15"};
    const struct {
        const char* name;
        std::vector<uint8_t> modules;
        bool silent;
        std::string selected;
        QStringList items;
        QString current;
        bool applyEnabled;
        Lines board;
    } cases[] = {
        {"255 left out, SelectedModule preselected", {2, 255, 7, 0}, false, "0", {"2", "7", "0"}, "0", true, done},
        {"not listed: the first item", {2, 5}, false, "9", {"2", "5"}, "2", true, done},
        {"one module", {9}, false, "0", {"9"}, "9", true, done},
        {"65 modules are shown", Range(65), false, "64", RangeText(65), "64", true, done},
        {"66 modules show nothing", Range(66), false, "0", {}, "", false, done},
        {"only 255", {255, 255}, false, "0", {}, "", false, done},
        {"no answer", {2}, true, "0", {}, "", false, none},
        {"empty list: reply too short, Apply kept", {}, false, "0", {}, "", true, mark15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DialogBench bench;
        bench.unit.Config().Modules = c.modules;
        bench.unit.Config().Silent = c.silent;
        SelectedModule = c.selected;
        bench.shell.Board = {"earlier line"};
        frmSMSelect dialog;
        bool busyAtEveryFrame = true;
        bench.unit.OnFrame = [&] { busyAtEveryFrame = busyAtEveryFrame && bench.shell.Busy && !dialog.isEnabled(); };

        dialog.Form_Load();
        EXPECT_EQ(Items(*dialog.cmbSM), c.items);
        EXPECT_EQ(dialog.cmbSM->currentText(), c.current);
        EXPECT_EQ(dialog.cmdApply->isEnabled(), c.applyEnabled);
        EXPECT_EQ(bench.shell.Board, c.board);
        EXPECT_EQ(bench.unit.ReceivedPayloads().front(), (std::vector<uint8_t>{0xCE, 0x00, 0xFF}));
        EXPECT_TRUE(busyAtEveryFrame);
        EXPECT_TRUE(dialog.isEnabled());
        EXPECT_FALSE(bench.shell.Busy);
    }
}

TEST(frmSMSelect, ApplyAsksFirstNoChangesNothingYesSelectsModule10AndReconnects)
{
    DialogBench bench;
    bench.unit.Config().Modules = {2, 10};
    ASSERT_TRUE(ConnectUps());
    frmSMSelect dialog;
    dialog.Form_Load();
    dialog.cmbSM->setCurrentText("10");
    const std::size_t sent = bench.unit.ReceivedPayloads().size();

    bench.shell.MessageAnswers = {MsgAnswer::No};
    dialog.cmdApply->click();
    ASSERT_EQ(bench.shell.Messages.size(), 1u);
    const MessageRequest& warning = bench.shell.Messages[0];
    EXPECT_EQ(warning.Title, "Update Configuration");
    EXPECT_EQ(warning.Text, "WARNING: You are about to switch to MODULE 10\r\n\r\nContinue? ");
    EXPECT_EQ(warning.Buttons, MsgButtons::YesNo);
    EXPECT_EQ(warning.Icon, MsgIcon::Exclamation);
    EXPECT_EQ(warning.DefaultButton, 1);
    EXPECT_TRUE(bench.shell.Board.empty());
    EXPECT_EQ(bench.unit.ReceivedPayloads().size(), sent);
    EXPECT_EQ(SelectedModule, "0");
    EXPECT_EQ(ReplyTimeout, 3);
    EXPECT_TRUE(dialog.cmdApply->isEnabled());
    EXPECT_FALSE(bench.shell.Busy);

    Lines boardDuringSelect;
    bench.unit.OnFrame = [&] {
        if (boardDuringSelect.empty()) boardDuringSelect = bench.shell.Board;
    };
    bench.shell.MessageAnswers = {MsgAnswer::Yes};
    dialog.cmdApply->click();
    EXPECT_EQ(bench.SentSince(sent), (Payloads{{0xCE, 0x00, 0x0A}} + FullConnect));
    EXPECT_EQ(boardDuringSelect, Lines{"Selecting Module 10"});
    EXPECT_EQ(bench.shell.Board, (Lines{"Connecting...", "Module 10 Found", "Done"}));
    EXPECT_EQ(SelectedModule, "10");
    EXPECT_EQ(ReplyTimeout, 2);
    EXPECT_TRUE(Connected);
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
    const std::size_t beforeLoad = bench.unit.ReceivedPayloads().size();

    frmSMSelect dialog;
    dialog.Form_Load();
    EXPECT_EQ(bench.SentSince(beforeLoad), (Payloads{{0xCE, 0xFF}, {0xCE, 0x04, 0xFF}, {0xCE, 0x04, 0x01, 0xFF}}));
    EXPECT_EQ(Items(*dialog.cmbSM), (QStringList{"3", "7"}));
    dialog.cmbSM->setCurrentText("7");
    const std::size_t beforeApply = bench.unit.ReceivedPayloads().size();
    bench.shell.MessageAnswers = {MsgAnswer::Yes};

    dialog.cmdApply->click();
    const Payloads applied = bench.SentSince(beforeApply);
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

TEST(DiscoverModules, AFirstHopTooShortLeavesNoOlderPathToSelectAlong)
{
    SimBench<ScriptedUnit> bench;
    OpenPort();
    CpuVersion[4] = 1.0F;
    ModulePath = {0, 4, 1};
    bench.unit.Then(Answer(AckBlockType, {0x31, 0x00, 0x00}));

    EXPECT_THROW(DiscoverModules(), Fault);
    EXPECT_EQ(ModulePath, (std::vector<int16_t>{0, 0}));
    EXPECT_THROW(SelectModule("7"), Fault);
    EXPECT_EQ(WrittenPayloads(bench.port), (Payloads{{0xCE, 0xFF}}));
}

TEST(frmSMSelect, FailedReconnectKeepsApply)
{
    DialogBench bench;
    bench.unit.Config().ModuleTypeCode = 282;
    frmSMSelect dialog;
    dialog.Form_Load();
    bench.shell.MessageAnswers = {MsgAnswer::Yes};

    dialog.cmdApply->click();
    EXPECT_EQ(bench.shell.Board, (Lines{"Connecting...", "Invalid UPS Type", "Done"}));
    EXPECT_TRUE(dialog.cmdApply->isEnabled());
}
