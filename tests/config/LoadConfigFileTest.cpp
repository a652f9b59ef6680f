#include <gtest/gtest.h>

#include <optional>

#include "Bench.h"
#include "config/ConfigFile.h"
#include "config/ConfigTitle.h"
#include "config/Globals.h"
#include "config/LoadConfigFile.h"
#include "config/ScrambledFiles.h"

using namespace UpsLink;
using namespace UpsLink::Testing;
using Lines = std::vector<std::string>;
using Records = std::vector<std::pair<int, std::string>>;

// In this order on purpose: each file follows one whose leftovers would change its outcome.
TEST(LoadConfigFile, EachFileLoadsOnlyItsOwnRecordsOrSaysWhyNot)
{
    SimBench<> bench;
    FileFolder folder;
    std::filesystem::create_directory(folder.Path("12_folder.pp"));
    std::string largest;  // 6,553 records in 32,765 bytes, the most the loader reads
    while (largest.size() < 32765) largest += "1,AB;";
    const Records three{{1, "0258"}, {2, "01F4"}, {13, "1F4"}};
    const Lines corrupted{"File Corrupted"}, otherType{"File does not match UPS type", "File Corrupted"};
    const struct {
        const char* title;                 // nullptr: the dialog is cancelled
        std::optional<std::string> plain;  // none: nothing written under the title
        Records records;                   // empty: refused
        Lines shown;                       // the board, then "[text / title]" of each box
        int type = 12;
    } rows[] = {
        {"12_missing.pp", {}, {}, {"[53 File not found / Zentrel]"}},
        {"12_folder.pp", {}, {}, {"File Corrupted", "[75 Path/File access error / Zentrel]"}},
        {"12_full.pp", largest, Records(6553, {1, "AB"}), {}},
        {"12_big.pp", largest + "\n", {}, {"File size exceeds 32k limit", "File Corrupted"}},
        {"12_worked.pp", WorkedExample, {{12, "00FF00FF00FF00FF00FF00FF00FF00FF"}, {13, "1F4"}}, {}},
        {"12_Ωμέγα.pp", "7,0102;", {{7, "0102"}}, {}},
        {"13_worked.pp", WorkedExample, {}, otherType},
        {"12.9x.pp", "1,0258;\r2,01F4;\r13,1F4;\r", three, {}},
        {"word.pp", "1,0258;\n\n2,01F4;13,\n1F4;", three, {}, 0},
        {"0120.pp", WorkedExample, {}, otherType},
        {"12_a.pp", "5,7,0102;", {{7, "0102"}}, {}},
        {"12_c.pp", " 7,AB;99,;0,1;", {{7, "AB"}, {99, ""}, {0, "1"}}, {}},
        // Scrambled, these hold CR LF and Ctrl-Z, which a file read as text would change.
        {"12_b.pp", "1,\xD9\xA0;2,\xE3;", {{1, "\xD9\xA0"}, {2, "\xE3"}}, {}},
        {"12_g.pp", "1,0009;2,", {}, corrupted},
        {"12_h.pp", "00FF;13,1F4;", {}, corrupted},
        {"12_i.pp", " 12,00FF;", {}, corrupted},
        {"12_j.pp", ",1;", {}, {"[13 Type mismatch 36 / Zentrel]"}},
        {"12_d.pp", "", {}, corrupted},
        {"12_k.pp", "1,01;-5,00FF;", {}, corrupted},
        {"12_l.pp", "12,00FF\r\n00FF;\r\n", {}, corrupted},
        {nullptr, {}, {}, {}},
    };
    RecordingShell& shell = bench.shell;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.title ? row.title : "dialog cancelled");
        if (row.plain) folder.Write(row.title, Scrambled(*row.plain));
        shell.Board = {"stale line"};
        shell.CaptionText = "stale caption";
        shell.Answers.Messages.clear();
        shell.Answers.Queue = {row.title ? folder.Path(row.title) : std::string()};

        EXPECT_EQ(LoadConfigFile(row.type).Taken, !row.records.empty());
        for (const MessageRequest& box : shell.Answers.Messages)
            shell.Board.push_back("[" + box.Text + " / " + box.Title + "]");
        EXPECT_EQ(shell.Board, row.shown);
        EXPECT_FALSE(ConfigFile.is_open());
        if (row.records.empty()) continue;
        Records loaded;
        for (std::size_t i = 0; i < RecordNumbers.size(); ++i) loaded.emplace_back(RecordNumbers[i], RecordData.at(i));
        EXPECT_EQ(loaded, row.records);
        // The count goes one past the last record for the two bytes read after the file's end.
        EXPECT_EQ(shell.CaptionText, "Zentrel Loading..." + std::to_string(row.records.size() + 1));
    }
    EXPECT_EQ(shell.CaptionText, "Zentrel");
}

// The title is the name without its folder, and on Windows without its drive, however the path
// spells them; elsewhere a backslash or a colon is part of a name.
TEST(LoadConfigFile, TheTitleIsTheNameWithoutItsFolder)
{
    const struct { std::string path, title, windowsTitle; } rows[] = {
        {"/Units/280_a.pp", "280_a.pp", "280_a.pp"},
        {"C:\\Units\\280_a.pp", "C:\\Units\\280_a.pp", "280_a.pp"},
        {"C:280_a.pp", "C:280_a.pp", "280_a.pp"},
        {"D:\\Units/280_Ωμέγα.pp", "280_Ωμέγα.pp", "280_Ωμέγα.pp"}};
    for (const auto& row : rows) {
#ifdef _WIN32
        EXPECT_EQ(FileTitle(row.path), row.windowsTitle);
#else
        EXPECT_EQ(FileTitle(row.path), row.title);
#endif
    }
}
