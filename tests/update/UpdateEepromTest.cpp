#include <gtest/gtest.h>

#include "SimBench.h"
#include "UpsModel.h"
#include "common/Globals.h"
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
const std::string SelectModule2 = "AB 03 CE 00 02 82";

// What the window looked like at the moments that matter.
class ObservingShell : public RecordingShell {
public:
    MsgAnswer MessageBox(const MessageRequest& request) override
    {
        EnabledAtBox.push_back(FormEnabled);
        BusyAtBox.push_back(Busy);
        return RecordingShell::MessageBox(request);
    }
    void SetProgress(int value) override
    {
        VisibleAtProgress.push_back(ProgressVisible);
        RecordingShell::SetProgress(value);
    }
    std::vector<bool> EnabledAtBox;
    std::vector<bool> BusyAtBox;
    std::vector<bool> VisibleAtProgress;
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

    void Update(const std::string& plain, const std::string& title = "12_example.pp")
    {
        shell.FileAnswers.push_back(folder.WriteConfig(title, plain));
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
        for (const auto& write : bench.port.Writes()) frames.push_back(Hex(write.Bytes));
        return frames;
    }
    std::vector<double> WriteTimes() const
    {
        std::vector<double> times;
        for (const auto& write : bench.port.Writes()) times.push_back(write.AtMs);
        return times;
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
    EXPECT_EQ(WriteTimes(), (std::vector<double>{20, 1340, 2640}));
    EXPECT_EQ(shell.Board, (Lines{"Updating configuration...", "Configuration update complete"}));
    EXPECT_EQ(bench.unit.Eeprom(),
              (std::map<int, std::vector<uint8_t>>{{12, Bytes("00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF")},
                                                   {13, Bytes("F4 01")}}));
    EXPECT_EQ(bench.unit.EndCount(), 1);
    EXPECT_EQ(shell.CaptionText, "Zentrel   12_example.pp");
    EXPECT_EQ(shell.ProgressValues, (std::vector<int>{0, 50}));
    EXPECT_EQ(shell.VisibleAtProgress, (std::vector<bool>{true, true}));

    ASSERT_EQ(shell.Messages.size(), 1u);
    const MessageRequest& confirm = shell.Messages[0];
    EXPECT_EQ(confirm.Text, "Update EEPROM settings?");
    EXPECT_EQ(confirm.Title, "Update");
    EXPECT_EQ(confirm.Buttons, MsgButtons::OkCancel);
    EXPECT_EQ(confirm.Icon, MsgIcon::None);
    EXPECT_EQ(confirm.DefaultButton, 0);
    EXPECT_EQ(shell.EnabledAtBox, std::vector<bool>{false});
    EXPECT_EQ(shell.BusyAtBox, std::vector<bool>{false});
}

TEST_F(UpdateEepromTest, SelectedModuleIsSelectedAgainBeforeEveryWrite)
{
    shell.ModuleButtonEnabled = true;
    SelectedModule = "2";
    Update(WorkedExample);

    EXPECT_EQ(Wire(), (Lines{SelectModule2, BlockFrame12, SelectModule2, ValueFrame13, ClosingFrame}));
    EXPECT_EQ(WriteTimes(), (std::vector<double>{0, 1320, 2620, 3940, 5240}));
    EXPECT_EQ(bench.unit.SelectedModule(), 2);
    EXPECT_EQ(shell.Board, (Lines{"Updating configuration...", "Configuration update complete"}));
}

TEST_F(UpdateEepromTest, ModuleNumberIsSentInHexadecimal)
{
    shell.ModuleButtonEnabled = true;
    SelectedModule = "10";
    Update("13,1F4;");
    ASSERT_FALSE(Wire().empty());
    EXPECT_EQ(Wire()[0], "AB 03 CE 00 0A 7A");
}

TEST_F(UpdateEepromTest, FirstRefusedRecordEndsTheWritesButNotTheClosingCommand)
{
    bench.unit.Config().RefuseRecord = 13;
    Update("11,0001;\r\n13,0002;\r\n15,0003;\r\n17,0004;\r\n19,0005;\r\n");

    EXPECT_EQ(Wire(), (Lines{"AB 04 78 0B 01 00 CD", "AB 04 78 0D 02 00 CA", ClosingFrame}));
    EXPECT_EQ(shell.Board, (Lines{"Updating configuration...", "Error updating #13", "Configuration update Error"}));
    EXPECT_EQ(bench.unit.Eeprom().size(), 1u);
    EXPECT_EQ(bench.unit.EndCount(), 1);
    EXPECT_EQ(shell.ProgressValues, std::vector<int>{0});
}

TEST_F(UpdateEepromTest, SilentUnitFailsTheRecordAndStillGetsTheClosingCommand)
{
    bench.unit.Config().Silent = true;
    Update(WorkedExample);

    const Lines wire = Wire();
    ASSERT_GE(wire.size(), 2u);
    EXPECT_EQ(wire.back(), ClosingFrame);
    for (std::size_t i = 0; i + 1 < wire.size(); ++i) EXPECT_NE(wire[i], ValueFrame13);
    EXPECT_EQ(wire.front(), BlockFrame12);
    EXPECT_EQ(shell.Board, (Lines{"Updating configuration...", "Error updating #12", "Configuration update Error"}));
}

TEST_F(UpdateEepromTest, DataTextLengthChoosesTheForm)
{
    Update("5,;6,1234;7,12345;");
    EXPECT_EQ(Wire(), (Lines{"AB 04 78 05 00 00 D4", "AB 04 78 06 34 12 8D",
                             "AB 12 78 07 00 00 00 00 00 00 00 00 00 00 00 00 00 01 23 45 5B", ClosingFrame}));
}

TEST_F(UpdateEepromTest, ProgressFollowsTheAcknowledgedRecords)
{
    Update("1,01;2,02;3,03;4,04;");
    EXPECT_EQ(shell.ProgressValues, (std::vector<int>{0, 25, 50, 75}));

    shell.ProgressValues.clear();
    Update("1,01;");
    EXPECT_EQ(shell.ProgressValues, std::vector<int>{0});
}

TEST_F(UpdateEepromTest, LinkDownSendsNothing)
{
    Connected = false;
    Run();
    EXPECT_EQ(shell.Board, Lines{"Link Down"});
    EXPECT_TRUE(shell.FileRequests.empty());
    EXPECT_TRUE(Wire().empty());
}

TEST_F(UpdateEepromTest, CancelAtTheDialogSendsNothing)
{
    shell.Board.push_back("earlier line");
    Run();
    EXPECT_EQ(shell.FileRequests.size(), 1u);
    EXPECT_TRUE(shell.Board.empty());
    EXPECT_TRUE(shell.Messages.empty());
    EXPECT_TRUE(Wire().empty());
}

TEST_F(UpdateEepromTest, CancelAtTheConfirmationSendsNothing)
{
    shell.MessageAnswers.push_back(MsgAnswer::Cancel);
    Update(WorkedExample);
    EXPECT_EQ(shell.Messages.size(), 1u);
    EXPECT_EQ(shell.CaptionText, "Zentrel");
    EXPECT_TRUE(shell.Board.empty());
    EXPECT_TRUE(Wire().empty());
}

TEST_F(UpdateEepromTest, FileThatFailsToOpenIsReportedAfterItsBox)
{
    shell.FileAnswers.push_back(folder.Path("12_missing.pp"));
    Run();
    ASSERT_EQ(shell.Messages.size(), 1u);
    EXPECT_EQ(shell.Messages[0].Text, "53 File not found");
    EXPECT_EQ(shell.Board, Lines{"Error Loading File"});
    EXPECT_TRUE(Wire().empty());
}

TEST_F(UpdateEepromTest, FileRefusedByTheLoaderIsNotConfirmedOrSent)
{
    Update(WorkedExample, "13_other.pp");
    EXPECT_EQ(shell.Board, (Lines{"File does not match UPS type", "File Corrupted"}));
    EXPECT_TRUE(shell.Messages.empty());
    EXPECT_TRUE(Wire().empty());
}

TEST_F(UpdateEepromTest, CutOffLastRecordSendsNothingAfterALongerFile)
{
    Update("1,0001;2,0002;3,0003;");
    const std::size_t sent = bench.port.Writes().size();
    Update("1,0009;2,");
    EXPECT_EQ(shell.Board, Lines{"File Corrupted"});
    EXPECT_EQ(bench.port.Writes().size(), sent);
    EXPECT_EQ(bench.unit.Eeprom().at(1), Bytes("01 00"));
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

}  // namespace
