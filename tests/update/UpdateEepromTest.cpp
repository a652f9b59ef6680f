#include <gtest/gtest.h>

#include "Bench.h"
#include "common/Text.h"
#include "config/ScrambledFiles.h"
#include "link/PortControl.h"
#include "ups/Connect.h"
#include "ups/Globals.h"
#include "update/UpdateEeprom.h"

using namespace UpsLink;
using namespace UpsLink::Testing;
using Lines = std::vector<std::string>;

const char* const Block12 = "AB 12 78 0C 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF C7";
const char* const Value13 = "AB 04 78 0D F4 01 D7";
const char* const Closing = "AB 02 78 00 DB";
const char* const Confirm = "[Update EEPROM settings? / Update / OK Cancel]";
const char* const Updating = "Updating configuration...";
const Lines Complete{Confirm, Updating, "0%", "50%", "Configuration update complete"};

// Puts each box, "[text / title]", and each progress value on the board, marked "usable" when
// the window could be used meanwhile.
struct WatchingShell : RecordingShell {
    MsgAnswer MessageBox(const MessageRequest& b) override
    {
        const char* buttons = b.Buttons == MsgButtons::OkCancel ? " / OK Cancel]" : "]";
        Board.push_back("[" + b.Text + " / " + b.Title + buttons + (FormEnabled ? " usable" : ""));
        return RecordingShell::MessageBox(b);
    }
    void SetProgress(int v) override
    {
        Board.push_back(std::to_string(v) + "%" + (FormEnabled || !Busy || !ProgressVisible ? " usable" : ""));
    }
};

// How an update ended, as one line: its end, the record refused, written/total, next, and why.
std::string Described(const UpdateOutcome& o)
{
    static const char* const ends[] = {"not connected", "file refused", "from past end", "declined",
                                       "record failed", "stopped",       "complete",      "fault"};
    return std::string(ends[static_cast<int>(o.End)]) + (o.Record >= 0 ? " #" + std::to_string(o.Record) : "") + " " +
           std::to_string(o.Written) + "/" + std::to_string(o.Total) + " next " + std::to_string(o.Next) +
           (o.Line.empty() ? "" : ": " + o.Line);
}

struct Case {
    const char* why;
    std::string plain = WorkedExample;    // written under title, unless empty
    const char* title = "280_update.pp";
    bool connect = true;
    const char* module = "0";  // nullptr: the unit lacks CE, so the module button is disabled
    int refuse = -1;
    MsgAnswer confirm = MsgAnswer::Ok;
    std::size_t from = 0;
    std::size_t stopBefore = 99;  // the 0-based record before which a stop is asked for
    std::string outcome = "complete 2/2 next 2";
    Lines frames, board = Complete;
    std::vector<double> times;  // ms from the connect's last frame to each frame, the disconnect's last; empty: not checked
};

TEST(UpdateEeprom, WritesEachRecordThenClosesAndLeavesTheWindowUsable)
{
    const Case cases[] = {
        {.why = "module 10 re-selected", .module = "10",
         .frames = {"AB 03 CE 00 0A 7A", Block12, "AB 03 CE 00 0A 7A", Value13, Closing},
         // The connect's last command takes 1,300 ms and ends with 500 ms; the disconnect starts with 20.
         .times = {1800, 3120, 4420, 5740, 7040, 8360}},
        {.why = "no CE", .module = nullptr, .frames = {Block12, Value13, Closing}, .times = {1820, 3140, 4440, 5760}},
        {.why = "value and block forms", .plain = "5,;6,1234;7,12345;8,f;", .module = nullptr,
         .outcome = "complete 4/4 next 4",
         .frames = {"AB 04 78 05 00 00 D4", "AB 04 78 06 34 12 8D",
                    "AB 12 78 07 00 00 00 00 00 00 00 00 00 00 00 00 00 01 23 45 5B", "AB 04 78 08 0F 00 C2", Closing},
         .board = {Confirm, Updating, "0%", "25%", "50%", "75%", "Configuration update complete"}},
        {.why = "record refused", .plain = "11,0001;\r\n13,0002;\r\n15,0003;\r\n", .module = nullptr, .refuse = 13,
         .outcome = "record failed #13 1/3 next 1: Error updating #13",
         .frames = {"AB 04 78 0B 01 00 CD", "AB 04 78 0D 02 00 CA", Closing},
         .board = {Confirm, Updating, "0%", "Error updating #13", "Configuration update Error"}},
        {.why = "fault in the loop", .module = "-1",
         .outcome = "record failed #12 0/2 next 0: 5 Invalid procedure call or argument", .frames = {Closing},
         .board = {Confirm, Updating, "5 Invalid procedure call or argument", "Configuration update Error"}},
        {.why = "stopped before the second record", .module = nullptr, .stopBefore = 1,
         .outcome = "stopped 1/2 next 1", .frames = {Block12, Closing},
         .board = {Confirm, Updating, "0%", "Configuration update Error"}},
        {.why = "resumed at the second record", .module = nullptr, .from = 1, .outcome = "complete 1/2 next 2",
         .frames = {Value13, Closing}, .board = {Confirm, Updating, "50%", "Configuration update complete"}},
        {.why = "resumed past the last record", .from = 2, .outcome = "from past end 0/2 next 2", .board = {}},
        {.why = "confirmation cancelled", .confirm = MsgAnswer::Cancel, .outcome = "declined 0/2 next 0",
         .board = {Confirm}},
        {.why = "file missing", .plain = "", .title = "280_no.pp", .outcome = "file refused 0/0 next 0: Error Loading File",
         .board = {"[53 File not found / Zentrel]", "Error Loading File"}},
        {.why = "other type", .title = "12_update.pp",
         .outcome = "file refused 0/0 next 0: File does not match UPS type",
         .board = {"File does not match UPS type", "File Corrupted"}},
        {.why = "not connected", .connect = false, .outcome = "not connected 0/0 next 0", .board = {"Link Down"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        SimBench<UpsModel, WatchingShell> bench;
        FileFolder folder;
        if (!c.module) bench.unit.Config().Commands = {0x40, 0xA0, 0x36, 0x78, 0xCF, 0xFF};
        bench.unit.Config().RefuseRecord = c.refuse;
        OpenPort();
        ASSERT_TRUE(!c.connect || ConnectUps());
        SelectedModule = c.module ? c.module : "0";
        if (!c.plain.empty()) folder.Write(c.title, Scrambled(c.plain));
        bench.shell.Answers.Queue = {folder.Path(c.title), c.confirm};
        const std::size_t before = bench.port.Frames().size();

        UpdateRun run;
        run.From = c.from;
        run.Stop = [&run, &c] { return run.Next == c.stopBefore; };
        EXPECT_EQ(Described(UpdateEeprom(run)), c.outcome);
        Lines frames;
        for (std::size_t i = before; i < bench.port.Frames().size(); ++i) frames.push_back(HexBytes(bench.port.Frames()[i]));
        EXPECT_EQ(frames, c.frames);
        EXPECT_EQ(bench.shell.Board, c.board);
        EXPECT_EQ(bench.shell.CaptionText, c.frames.empty() ? "Zentrel" : "Zentrel   280_update.pp");
        EXPECT_TRUE(bench.shell.FormEnabled && !bench.shell.Busy && !bench.shell.ProgressVisible);
        EXPECT_EQ(bench.port.OpenCount(), 2);  // the test's open, then the update's reset
        if (c.times.empty()) continue;
        // Back to back with the connect before it and the disconnect after it, so that the pauses
        // that end a command show too: from the connect's last frame to the disconnect's.
        DisconnectUps();
        std::vector<double> times;
        for (std::size_t i = before; i < bench.port.Frames().size(); ++i)
            times.push_back(bench.port.WriteTimes()[i] - bench.port.WriteTimes().at(before - 1));
        EXPECT_EQ(times, c.times);
    }
}
