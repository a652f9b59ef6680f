#include <gtest/gtest.h>

#include "SimBench.h"
#include "UpsModel.h"
#include "common/AppTitle.h"
#include "config/Globals.h"
#include "core/InitGlobals.h"
#include "link/Globals.h"
#include "link/Protocol.h"
#include "ups/Globals.h"
#include "config/ConfigFiles.h"
#include "link/PortControl.h"
#include "support/HexBytes.h"
#include "update/UpdateEeprom.h"

using namespace UpsLink;
using namespace UpsLink::Testing;
using Lines = std::vector<std::string>;

namespace {

const std::string BlockFrame12 = "AB 12 78 0C 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF C7";
const std::string ValueFrame13 = "AB 04 78 0D F4 01 D7";
const std::string ClosingFrame = "AB 02 78 00 DB";

// What the window looked like at the moments that matter.
class ObservingShell : public RecordingShell {
public:
    MsgAnswer MessageBox(const MessageRequest& request) override
    {
        EnabledOrBusyAtBox.push_back(FormEnabled || Busy);
        return RecordingShell::MessageBox(request);
    }
    void SetProgress(int value) override
    {
        EXPECT_TRUE(ProgressVisible);
        RecordingShell::SetProgress(value);
    }
    std::vector<bool> EnabledOrBusyAtBox;
};

class UpdateEepromTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallShell(&shell);
        UpsType = 12;
        Connected = true;
        shell.ModuleButtonEnabled = false;
        OpenPort();
        opensBefore = bench.port.OpenCount();
    }
    void TearDown() override
    {
        // However the command ended, the window is usable again and the port reopened.
        EXPECT_TRUE(shell.FormEnabled);
        EXPECT_FALSE(shell.Busy);
        EXPECT_FALSE(shell.ProgressVisible);
        EXPECT_EQ(bench.port.OpenCount(), opensBefore + runs);
        EXPECT_TRUE(bench.port.PortOpen());
    }

    void Update(const std::string& plain)
    {
        shell.FileAnswers.push_back(folder.WriteConfig("12_example.pp", plain));
        Run();
    }
    void Run()
    {
        ++runs;
        UpdateEeprom();
    }

    Lines Wire() const
    {
        Lines frames;
        for (const auto& write : bench.port.Writes()) frames.push_back(HexBytes(write.Bytes));
        return frames;
    }

    SimBench<UpsModel> bench;
    ObservingShell shell;
    FileFolder folder;
    int opensBefore = 0;
    int runs = 0;
};

TEST_F(UpdateEepromTest, WorkedExampleWritesBothRecordsThenTheClosingCommand)
{
    Update(WorkedExample);

    EXPECT_EQ(Wire(), (Lines{BlockFrame12, ValueFrame13, ClosingFrame}));
    // Each write: 20 ms pause, then 500 ms after the frame and 800 ms of reading the answer.
    std::vector<double> times;
    for (const auto& write : bench.port.Writes()) times.push_back(write.AtMs);
    EXPECT_EQ(times, (std::vector<double>{20, 1340, 2640}));
    EXPECT_EQ(shell.Board, (Lines{"Updating configuration...", "Configuration update complete"}));
    EXPECT_EQ(shell.CaptionText, "Zentrel   12_example.pp");
    EXPECT_EQ(shell.ProgressValues, (std::vector<int>{0, 50}));

    ASSERT_EQ(shell.Messages.size(), 1u);
    const MessageRequest& confirm = shell.Messages[0];
    EXPECT_EQ(confirm.Text, "Update EEPROM settings?");
    EXPECT_EQ(confirm.Title, "Update");
    EXPECT_EQ(confirm.Buttons, MsgButtons::OkCancel);
    EXPECT_EQ(confirm.Icon, MsgIcon::None);
    EXPECT_EQ(confirm.DefaultButton, 0);
    EXPECT_EQ(shell.EnabledOrBusyAtBox, std::vector<bool>{false});
}

TEST_F(UpdateEepromTest, SelectedModuleIsSelectedInHexadecimalBeforeEveryWrite)
{
    shell.ModuleButtonEnabled = true;
    for (const auto& [module, select] : {std::pair{"2", "AB 03 CE 00 02 82"}, std::pair{"10", "AB 03 CE 00 0A 7A"}}) {
        SCOPED_TRACE(module);
        SelectedModule = module;
        const std::size_t before = Wire().size();
        Update(WorkedExample);
        const Lines wire = Wire();
        EXPECT_EQ(Lines(wire.begin() + static_cast<long>(before), wire.end()),
                  (Lines{select, BlockFrame12, select, ValueFrame13, ClosingFrame}));
        EXPECT_EQ(shell.Board, (Lines{"Updating configuration...", "Configuration update complete"}));
    }
}

TEST_F(UpdateEepromTest, FirstRefusedRecordEndsTheWritesButNotTheClosingCommand)
{
    bench.unit.Config().RefuseRecord = 13;
    Update("11,0001;\r\n13,0002;\r\n15,0003;\r\n17,0004;\r\n19,0005;\r\n");

    EXPECT_EQ(Wire(), (Lines{"AB 04 78 0B 01 00 CD", "AB 04 78 0D 02 00 CA", ClosingFrame}));
    EXPECT_EQ(shell.Board, (Lines{"Updating configuration...", "Error updating #13", "Configuration update Error"}));
    EXPECT_EQ(shell.ProgressValues, std::vector<int>{0});
}

TEST_F(UpdateEepromTest, FaultInTheLoopEndsItLikeARefusedRecord)
{
    // Path addressing before any discovery: the module path has no hops to select along.
    CpuVersion[4] = 1;
    shell.ModuleButtonEnabled = true;
    Update(WorkedExample);
    EXPECT_EQ(shell.Board,
              (Lines{"Updating configuration...", "9 Subscript out of range", "Configuration update Error"}));
    EXPECT_EQ(Wire(), Lines{ClosingFrame});
}

TEST_F(UpdateEepromTest, DataTextLengthChoosesTheFormAndProgressFollowsTheRecords)
{
    Update("5,;6,1234;7,12345;8,f;");
    EXPECT_EQ(Wire(), (Lines{"AB 04 78 05 00 00 D4", "AB 04 78 06 34 12 8D",
                             "AB 12 78 07 00 00 00 00 00 00 00 00 00 00 00 00 00 01 23 45 5B", "AB 04 78 08 0F 00 C2",
                             ClosingFrame}));
    EXPECT_EQ(shell.ProgressValues, (std::vector<int>{0, 25, 50, 75}));
}

TEST_F(UpdateEepromTest, NothingIsSentWithoutTheLinkALoadedFileAndAConfirmation)
{
    Connected = false;
    shell.Board = {"earlier line"};
    Run();
    EXPECT_EQ(shell.Board, Lines{"Link Down"});
    EXPECT_TRUE(shell.FileRequests.empty());

    Connected = true;
    const struct {
        const char* why;
        std::string file;  // "" cancels the dialog
        MsgAnswer confirm;
        Lines board;
        Lines boxes;
    } cases[] = {
        {"dialog cancelled", "", MsgAnswer::Ok, {}, {}},
        {"file fails to open",
         folder.Path("12_missing.pp"),
         MsgAnswer::Ok,
         {"Error Loading File"},
         {"53 File not found"}},
        {"file refused",
         folder.WriteConfig("13_other.pp", WorkedExample),
         MsgAnswer::Ok,
         {"File does not match UPS type", "File Corrupted"},
         {}},
        {"confirmation cancelled",
         folder.WriteConfig("12_example.pp", WorkedExample),
         MsgAnswer::Cancel,
         {},
         {"Update EEPROM settings?"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        shell.Board = {"earlier line"};
        shell.Messages.clear();
        shell.MessageAnswers = {c.confirm};
        if (!c.file.empty()) shell.FileAnswers.push_back(c.file);
        Run();
        EXPECT_EQ(shell.Board, c.board);
        Lines boxes;
        for (const MessageRequest& box : shell.Messages) boxes.push_back(box.Text);
        EXPECT_EQ(boxes, c.boxes);
        EXPECT_EQ(shell.CaptionText, "Zentrel");
    }
    EXPECT_EQ(shell.FileRequests.size(), 4u);
    EXPECT_TRUE(Wire().empty());
}

TEST_F(UpdateEepromTest, CutOffLastRecordSendsNothingAfterALongerFile)
{
    Update("1,0001;2,0002;3,0003;");
    const std::size_t sent = bench.port.Writes().size();
    Update("1,0009;2,");
    EXPECT_EQ(shell.Board, Lines{"File Corrupted"});
    EXPECT_EQ(bench.port.Writes().size(), sent);
}

}  // namespace
