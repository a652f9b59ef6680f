#include <gtest/gtest.h>

#include <functional>

#include "ConfigFiles.h"
#include "ScriptedUnit.h"
#include "SimBench.h"
#include "common/Globals.h"
#include "config/ConfigFile.h"
#include "config/LoadConfigFile.h"

using namespace UpsLink;
using namespace UpsLink::Testing;
using Records = std::vector<std::pair<int, std::string>>;
using Lines = std::vector<std::string>;

namespace {

// Counts the captions the window was given, so a long file cannot retitle it per character.
class CaptionCountingShell : public RecordingShell {
public:
    void SetCaption(const std::string& caption) override
    {
        ++CaptionSets;
        RecordingShell::SetCaption(caption);
    }
    int CaptionSets = 0;
};

class LoadConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override { UpsType = 12; }

    bool Load(const std::string& path)
    {
        bench.shell.FileAnswers.push_back(path);
        return LoadConfigFile();
    }

    static Records Loaded()
    {
        Records records;
        for (std::size_t i = 0; i < RecordNumbers.size(); ++i) records.emplace_back(RecordNumbers[i], RecordData.at(i));
        return records;
    }

    Lines Boxes() const
    {
        Lines texts;
        for (const MessageRequest& box : bench.shell.Messages) texts.push_back(box.Text);
        return texts;
    }

    SimBench<ScriptedUnit> bench;
    FileFolder folder;
};

TEST_F(LoadConfigFileTest, EveryFailureShowsItsLinesOrBoxAndLeavesNoFileOpen)
{
    const struct {
        const char* name;
        std::function<std::string(const FileFolder&)> file;  // "" cancels the dialog
        Lines board;
        Lines boxes;
    } rows[] = {
        {"dialog cancelled", [](const FileFolder&) { return std::string(); }, {}, {}},
        {"file cannot be opened",
         [](const FileFolder& f) { return f.Path("12_missing.pp"); },
         {},
         {"53 File not found"}},
        {"title of another type",
         [](const FileFolder& f) { return f.WriteConfig("13_other.pp", WorkedExample); },
         {"File does not match UPS type", "File Corrupted"},
         {}},
        {"longer than 32,765 bytes",
         [](const FileFolder& f) { return f.WriteBytes("12_big.pp", std::vector<uint8_t>(32766, 'x')); },
         {"File size exceeds 32k limit", "File Corrupted"},
         {}},
        {"read failure",
         [](const FileFolder& f) {
             std::filesystem::create_directory(f.Path("12_folder.pp"));
             return f.Path("12_folder.pp");
         },
         {"File Corrupted"},
         {"75 Path/File access error"}},
        {"no comma",
         [](const FileFolder& f) { return f.WriteConfig("12_a.pp", "12;13;\r\n"); },
         {"File Corrupted"},
         {}},
        {"number field of three characters",
         [](const FileFolder& f) { return f.WriteConfig("12_a.pp", "123,00FF;"); },
         {"File Corrupted"},
         {}},
        {"empty number field",
         [](const FileFolder& f) { return f.WriteConfig("12_a.pp", "1,01;,00FF;"); },
         {},
         {"13 Type mismatch 36"}},
        {"number field not numeric",
         [](const FileFolder& f) { return f.WriteConfig("12_a.pp", "1x,00FF;"); },
         {},
         {"13 Type mismatch 36"}},
        {"negative record number",
         [](const FileFolder& f) { return f.WriteConfig("12_a.pp", "1,01;-5,00FF;"); },
         {"File Corrupted"},
         {}},
        {"line break inside a data text",
         [](const FileFolder& f) { return f.WriteConfig("12_a.pp", "12,00FF00FF\r\n00FF00FF;\r\n"); },
         {"File Corrupted"},
         {}},
        {"last record without its semicolon",
         [](const FileFolder& f) { return f.WriteConfig("12_a.pp", "12,00FF;\r\n13,1F4"); },
         {"File Corrupted"},
         {}},
        {"data that ends no record",
         [](const FileFolder& f) { return f.WriteConfig("12_a.pp", "1,01;;2,02;"); },
         {"File Corrupted"},
         {}},
        {"empty file", [](const FileFolder& f) { return f.WriteBytes("12_a.pp", {}); }, {"File Corrupted"}, {}},
        {"one-byte file", [](const FileFolder& f) { return f.WriteConfig("12_a.pp", "5"); }, {"File Corrupted"}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SimBench<ScriptedUnit> fresh;
        UpsType = 12;
        const std::string path = row.file(folder);
        fresh.shell.Board.push_back("stale line");
        if (!path.empty()) fresh.shell.FileAnswers.push_back(path);

        EXPECT_FALSE(LoadConfigFile());
        EXPECT_EQ(fresh.shell.Board, row.board);
        Lines boxes;
        for (const MessageRequest& box : fresh.shell.Messages) {
            boxes.push_back(box.Text);
            EXPECT_EQ(box.Title, "Zentrel");
            EXPECT_EQ(box.Buttons, MsgButtons::OkOnly);
        }
        EXPECT_EQ(boxes, row.boxes);
        EXPECT_FALSE(ConfigFile.is_open());
        if (row.boxes == Lines{"53 File not found"}) {
            // The stale title tells the update that the chosen file failed to open.
            EXPECT_EQ(ConfigFileTitle, "12_missing.pp");
        } else {
            EXPECT_EQ(ConfigFileNumber, 0);
            EXPECT_EQ(ConfigFileTitle, "");
        }
        EXPECT_TRUE(fresh.port.Writes().empty());
    }
}

TEST_F(LoadConfigFileTest, WorkedExampleLoadsTwoRecords)
{
    ASSERT_TRUE(Load(folder.WriteConfig("12_example.pp", WorkedExample)));
    EXPECT_EQ(Loaded(), (Records{{12, "00FF00FF00FF00FF00FF00FF00FF00FF"}, {13, "1F4"}}));
    EXPECT_EQ(bench.shell.CaptionText, "Zentrel Loading...3");
    EXPECT_EQ(ShownFileTitle, "12_example.pp");
    EXPECT_TRUE(bench.shell.Board.empty());
    EXPECT_EQ(bench.shell.Clears, 1);
    EXPECT_EQ(ConfigFileNumber, 0);
    EXPECT_FALSE(ConfigFile.is_open());
}

TEST_F(LoadConfigFileTest, DialogIsSetUpAsAnOpenDialogForZentrelFiles)
{
    Load("");
    ASSERT_EQ(bench.shell.FileRequests.size(), 1u);
    const OpenFileRequest& dialog = bench.shell.FileRequests[0];
    EXPECT_EQ(dialog.Title, "Open");
    EXPECT_TRUE(dialog.HideReadOnly);
    EXPECT_EQ(dialog.Filter, "All Files (*.*)|*.*|Zentrel Files (*.pp)|*.pp");
    EXPECT_EQ(dialog.FilterIndex, 2);
    EXPECT_EQ(dialog.DefaultExt, "ee");
}

TEST_F(LoadConfigFileTest, TitleMustBeginWithTheUpsType)
{
    const struct {
        const char* title;
        int type;
        bool loads;
    } cases[] = {{"12 word.pp", 12, true}, {"012A.pp", 12, true},      {"word.pp", 0, true},
                 {"word.pp", 12, false},   {"12.pp", 13, false},       {"280_demo.pp", 280, true},
                 {"1.9x.pp", 1, true},     {"0280 demo.pp", 28, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        UpsType = static_cast<int16_t>(c.type);
        EXPECT_EQ(Load(folder.WriteConfig(c.title, WorkedExample)), c.loads);
    }
}

TEST_F(LoadConfigFileTest, LineBreaksOfEveryKindLoadTheSameRecords)
{
    const Records expected{{1, "0258"}, {2, "01F4"}, {13, "1F4"}};
    for (const char* text :
         {"1,0258;\r\n2,01F4;\r\n13,1F4;\r\n", "1,0258;\n2,01F4;\n13,1F4;\n", "1,0258;\r2,01F4;\r13,1F4;\r",
          "1,0258;\r\n\r\n2,01F4;\n\n13,1F4;", "1,0258;2,01F4;13,1F4;"}) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(Load(folder.WriteConfig("12_breaks.pp", text)));
        EXPECT_EQ(Loaded(), expected);
    }
}

TEST_F(LoadConfigFileTest, NumberFieldIsTheTextBetweenTheLastSeparatorAndTheComma)
{
    EXPECT_FALSE(Load(folder.WriteConfig("12_a.pp", " 12,00FF;")));
    EXPECT_EQ(bench.shell.Board, Lines{"File Corrupted"});

    ASSERT_TRUE(Load(folder.WriteConfig("12_a.pp", "12,00FF;")));
    EXPECT_EQ(Loaded(), (Records{{12, "00FF"}}));

    ASSERT_TRUE(Load(folder.WriteConfig("12_a.pp", "5,7,0102;")));
    EXPECT_EQ(Loaded(), (Records{{7, "0102"}}));

    ASSERT_TRUE(Load(folder.WriteConfig("12_a.pp", " 7,AB;99,;0,1;")));
    EXPECT_EQ(Loaded(), (Records{{7, "AB"}, {99, ""}, {0, "1"}}));
}

TEST_F(LoadConfigFileTest, TextAfterTheLastSemicolonWithoutACommaIsIgnored)
{
    ASSERT_TRUE(Load(folder.WriteConfig("12_a.pp", "12,00FF;\r\nend of file")));
    EXPECT_EQ(Loaded(), (Records{{12, "00FF"}}));
}

TEST_F(LoadConfigFileTest, ReadsUpTo32765Bytes)
{
    std::string largest;
    while (largest.size() < 32765) largest += "1,AB;";
    ASSERT_EQ(largest.size(), 32765u);

    ASSERT_TRUE(Load(folder.WriteConfig("12_full.pp", largest)));
    EXPECT_EQ(RecordNumbers.size(), 6553u);

    EXPECT_FALSE(Load(folder.WriteConfig("12_full.pp", largest + "\n")));
    EXPECT_EQ(bench.shell.Board, (Lines{"File size exceeds 32k limit", "File Corrupted"}));
}

TEST_F(LoadConfigFileTest, CaptionChangesOncePerRecordNotPerCharacter)
{
    CaptionCountingShell shell;
    InstallShell(&shell);
    std::string largest;
    while (largest.size() < 32765) largest += "1,AB;";
    shell.FileAnswers.push_back(folder.WriteConfig("12_full.pp", largest));

    ASSERT_TRUE(LoadConfigFile());
    // The records 1 to 6553, then 6554 for the characters after the last record.
    EXPECT_EQ(shell.CaptionSets, 6554);
    EXPECT_EQ(shell.CaptionText, "Zentrel Loading...6554");
    InstallShell(&bench.shell);
}

TEST_F(LoadConfigFileTest, FailedOpenDoesNotSpoilTheNextChoice)
{
    EXPECT_FALSE(Load(folder.Path("12_missing.pp")));
    ASSERT_TRUE(Load(folder.WriteConfig("12_good.pp", WorkedExample)));
    EXPECT_EQ(Loaded(), (Records{{12, "00FF00FF00FF00FF00FF00FF00FF00FF"}, {13, "1F4"}}));
    EXPECT_EQ(ShownFileTitle, "12_good.pp");
    EXPECT_EQ(ConfigFileTitle, "");
}

TEST_F(LoadConfigFileTest, NothingOfAnEarlierFileLeaksIntoALaterOne)
{
    // A cut-off last record, right after a longer file filled that slot.
    ASSERT_TRUE(Load(folder.WriteConfig("12_long.pp", "1,0001;2,0002;3,0003;")));
    EXPECT_FALSE(Load(folder.WriteConfig("12_cut.pp", "1,0009;2,")));
    EXPECT_EQ(bench.shell.Board, Lines{"File Corrupted"});

    // A one-byte file after a file whose next bytes would complete it.
    ASSERT_TRUE(Load(folder.WriteConfig("12_short.pp", "5,;")));
    EXPECT_FALSE(Load(folder.WriteConfig("12_one.pp", "7")));
    EXPECT_EQ(bench.shell.Board, Lines{"File Corrupted"});

    // Data before any record, after a file whose record number would otherwise pair with it.
    ASSERT_TRUE(Load(folder.WriteConfig("12_long.pp", "1,0001;2,0002;")));
    EXPECT_FALSE(Load(folder.WriteConfig("12_stray.pp", "00FF;13,1F4;")));
    EXPECT_EQ(bench.shell.Board, Lines{"File Corrupted"});
}

}  // namespace
