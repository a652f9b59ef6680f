// The module select dialog offscreen on the virtual clock: its form, the list rules of discovery,
// and selection along a path; answers to its warning scripted through the recording shell.

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTest>

#include "ScriptedUnit.h"
#include "SimBench.h"
#include "common/Fault.h"
#include "common/AppTitle.h"
#include "config/Globals.h"
#include "core/InitGlobals.h"
#include "link/Globals.h"
#include "link/Protocol.h"
#include "ups/Globals.h"
#include "link/PortControl.h"
#include "ups/Connect.h"
#include "ups/Modules.h"
#include "ups/Wire.h"
#include "frmSMSelect.h"

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

TEST(frmSMSelect, FormCentredWithFocusMovingExitListApplyAndEscapePressingExit)
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
        {"65 modules are shown", Range(65), false, "64", RangeText(65), "64", true, done},
        {"66 modules show nothing", Range(66), false, "0", {}, "", false, done},
        {"no answer",
         {2},
         true,
         "0",
         {},
         "",
         false,
         {"earlier line", "Determining Modules Supported...", "No modules detected", "Done"}},
        {"empty list: reply too short, Apply kept",
         {},
         false,
         "0",
         {},
         "",
         true,
         {"earlier line", "Determining Modules Supported...", "9 Subscript out of range 15"}},
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

TEST(frmSMSelect, PathAddressingListsAndSelectsAlongBothHopsWithSixSeconds)
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
    Lines boardAtSelect;
    bench.unit.OnFrame = [&] {
        if (boardAtSelect.empty()) boardAtSelect = bench.shell.Board;
    };
    bench.shell.MessageAnswers = {MsgAnswer::Yes};

    dialog.cmdApply->click();
    EXPECT_EQ(bench.SentSince(beforeApply), (Payloads{{0xCE, 0x04, 0x01, 0x07}} + FullConnect));
    EXPECT_EQ(boardAtSelect, Lines{"Selecting Module 7"});
    EXPECT_EQ(ReplyTimeout, 6);
    EXPECT_EQ(SelectedModule, "7");
    EXPECT_EQ(bench.shell.Board, (Lines{"Connecting...", "Module 7 Found", "Done"}));
    EXPECT_FALSE(dialog.cmdApply->isEnabled());
    EXPECT_FALSE(bench.shell.Busy);
}

// Apply reports a path that could not be made instead of selecting along an older one.
TEST(DiscoverModules, AFirstHopTooShortLeavesNoOlderPathToSelectAlong)
{
    SimBench<ScriptedUnit> bench;
    OpenPort();
    CpuVersion[4] = 1.0F;
    ModulePath = {0, 4, 1};
    bench.unit.Then(Answer(BlockType::Ack, {0x31, 0x00, 0x00}));

    EXPECT_THROW(DiscoverModules(), Fault);
    EXPECT_EQ(ModulePath, (std::vector<int16_t>{0, 0}));
    frmSMSelect dialog;
    dialog.cmbSM->addItem("7");
    bench.shell.MessageAnswers = {MsgAnswer::Yes};
    dialog.cmdApply->click();
    EXPECT_EQ(bench.shell.Board, (Lines{"Selecting Module 7", "9 Subscript out of range 14"}));
    EXPECT_FALSE(bench.shell.Busy);
    EXPECT_EQ(WrittenPayloads(bench.port), (Payloads{{0xCE, 0xFF}}));
}
