#include <gtest/gtest.h>

#include <filesystem>

#include "ConfigFiles.h"
#include "ScriptedUnit.h"
#include "SimBench.h"
#include "common/AppTitle.h"
#include "config/Globals.h"
#include "core/InitGlobals.h"
#include "link/Globals.h"
#include "link/Protocol.h"
#include "ups/Globals.h"
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
    void SetUp() override
    {
        InstallShell(&shell);
        UpsType = 12;
    }

    bool Load(const std::string& path)
    {
        shell.Board = {"stale line"};
        shell.Messages.clear();
        shell.FileAnswers.push_back(path);
        return LoadConfigFile(UpsType);
    }
    bool Load(const std::string& name, std::string_view plain) { return Load(folder.WriteConfig(name, plain)); }

    static Records Loaded()
    {
        Records records;
        for (std::size_t i = 0; i < RecordNumbers.size(); ++i) records.emplace_back(RecordNumbers[i], RecordData.at(i));
        return records;
    }

    SimBench<ScriptedUnit> bench;
    CaptionCountingShell shell;
    FileFolder folder;
};

TEST_F(LoadConfigFileTest, EveryFailureShowsItsLinesOrBoxAndLeavesNoFileOpen)
{
    std::filesystem::create_directory(folder.Path("12_folder.pp"));
    const struct {
        const char* name;
        std::string path;  // "" cancels the dialog
        Lines board;
        std::string box;
    } rows[] = {
        {"dialog cancelled", "", {}, ""},
        {"file cannot be opened", folder.Path("12_missing.pp"), {}, "53 File not found"},
        {"title of another type",
         folder.WriteConfig("13_other.pp", WorkedExample),
         {"File does not match UPS type", "File Corrupted"},
         ""},
        {"longer than 32,765 bytes",
         folder.WriteConfig("12_big.pp", LargestFile() + "\n"),
         {"File size exceeds 32k limit", "File Corrupted"},
         ""},
        {"read failure", folder.Path("12_folder.pp"), {"File Corrupted"}, "75 Path/File access error"},
        {"no comma", folder.WriteConfig("12_a.pp", "12;13;\r\n"), {"File Corrupted"}, ""},
        {"number field of three characters", folder.WriteConfig("12_b.pp", " 12,00FF;"), {"File Corrupted"}, ""},
        {"empty number field", folder.WriteConfig("12_c.pp", "1,01;,00FF;"), {}, "13 Type mismatch 36"},
        {"number field not numeric", folder.WriteConfig("12_d.pp", "1x,00FF;"), {}, "13 Type mismatch 36"},
        {"negative record number", folder.WriteConfig("12_f.pp", "1,01;-5,00FF;"), {"File Corrupted"}, ""},
        {"line break after data text", folder.WriteConfig("12_g.pp", "12,00FF\r\n00FF;\r\n"), {"File Corrupted"}, ""},
        {"last record without its semicolon",
         folder.WriteConfig("12_h.pp", "12,00FF;\r\n13,1F4"),
         {"File Corrupted"},
         ""},
        {"data that ends no record", folder.WriteConfig("12_i.pp", "1,01;;2,02;"), {"File Corrupted"}, ""},
        {"empty file", folder.Write("12_j.pp", ""), {"File Corrupted"}, ""},
        {"one-byte file", folder.WriteConfig("12_k.pp", "5"), {"File Corrupted"}, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(Load(row.path));
        EXPECT_EQ(shell.Board, row.board);
        ASSERT_EQ(shell.Messages.size(), row.box.empty() ? 0u : 1u);
        if (!row.box.empty()) {
            EXPECT_EQ(shell.Messages[0].Text, row.box);
            EXPECT_EQ(shell.Messages[0].Title, "Zentrel");
            EXPECT_EQ(shell.Messages[0].Buttons, MsgButtons::OkOnly);
        }
        EXPECT_FALSE(ConfigFile.is_open());
        // Only a failed open leaves its title, which tells the update to say "Error Loading File".
        EXPECT_EQ(ConfigFileTitle, row.box == "53 File not found" ? "12_missing.pp" : "");
    }
    EXPECT_TRUE(bench.port.Writes().empty());
}

TEST_F(LoadConfigFileTest, WorkedExampleLoadsTwoRecordsFromAnOpenDialogForZentrelFiles)
{
    ASSERT_TRUE(Load("12_example.pp", WorkedExample));
    EXPECT_EQ(Loaded(), (Records{{12, "00FF00FF00FF00FF00FF00FF00FF00FF"}, {13, "1F4"}}));
    EXPECT_EQ(shell.CaptionText, "Zentrel Loading...3");
    EXPECT_EQ(ShownFileTitle, "12_example.pp");
    EXPECT_TRUE(shell.Board.empty());
    EXPECT_FALSE(ConfigFile.is_open());

    ASSERT_EQ(shell.FileRequests.size(), 1u);
    const OpenFileRequest& dialog = shell.FileRequests[0];
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
    } cases[] = {{"12 word.pp", 12, true}, {"012A.pp", 12, true}, {"word.pp", 0, true},       {"word.pp", 12, false},
                 {"12.pp", 13, false},     {"1.9x.pp", 1, true},  {"0280 demo.pp", 28, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        UpsType = static_cast<int16_t>(c.type);
        EXPECT_EQ(Load(c.title, WorkedExample), c.loads);
    }
}

TEST_F(LoadConfigFileTest, RecordsAreTheTextsBetweenSeparators)
{
    const Records three{{1, "0258"}, {2, "01F4"}, {13, "1F4"}};
    const struct {
        const char* text;
        Records records;
    } cases[] = {
        {"1,0258;\r\n2,01F4;\r\n13,1F4;\r\n", three},
        {"1,0258;\n2,01F4;\n13,1F4;\n", three},
        {"1,0258;\r2,01F4;\r13,1F4;\r", three},
        {"1,0258;\r\n\r\n2,01F4;\n\n13,1F4;", three},
        {"1,0258;2,01F4;13,\r\n1F4;", three},
        {"12,00FF;", {{12, "00FF"}}},
        {"5,7,0102;", {{7, "0102"}}},
        {" 7,AB;99,;0,1;", {{7, "AB"}, {99, ""}, {0, "1"}}},
        {"12,00FF;\r\nend of file", {{12, "00FF"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(Load("12_a.pp", c.text));
        EXPECT_EQ(Loaded(), c.records);
    }
}

TEST_F(LoadConfigFileTest, Reads32765BytesWithACaptionPerRecordAndNoMore)
{
    ASSERT_TRUE(Load("12_full.pp", LargestFile()));
    EXPECT_EQ(RecordNumbers.size(), 6553u);
    // Records 1 to 6553, then 6554 for the characters after the last one.
    EXPECT_EQ(shell.CaptionSets, 6554);
    EXPECT_EQ(shell.CaptionText, "Zentrel Loading...6554");
}

TEST_F(LoadConfigFileTest, NothingOfAnEarlierChoiceLeaksIntoALaterOne)
{
    EXPECT_FALSE(Load(folder.Path("12_missing.pp")));
    ASSERT_TRUE(Load("12_good.pp", "1,0001;2,0002;3,0003;"));
    EXPECT_EQ(Loaded(), (Records{{1, "0001"}, {2, "0002"}, {3, "0003"}}));
    EXPECT_EQ(ShownFileTitle, "12_good.pp");

    const struct {
        const char* why;
        const char* earlier;
        const char* later;
    } cases[] = {
        {"a cut-off last record in a slot a longer file filled", "1,0001;2,0002;3,0003;", "1,0009;2,"},
        {"a one-byte file after one whose next bytes would complete it", "5,;", "7"},
        {"data before any record after a file whose number would pair with it", "1,0001;", "00FF;13,1F4;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        ASSERT_TRUE(Load("12_earlier.pp", c.earlier));
        EXPECT_FALSE(Load("12_later.pp", c.later));
        EXPECT_EQ(shell.Board, Lines{"File Corrupted"});
    }
}

}  // namespace
