#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "config/ScrambledFiles.h"

using namespace UpsLink::Testing;

TEST(ZentrelPack, EncodesDecodesAndGivesTheLoadersVerdictWithTheFramesSent)
{
    FileFolder folder;
    auto file = [&](const char* name, const std::string& plain) { return folder.Write(name, Scrambled(plain)); };
    const std::string packed = folder.Path("12_packed.pp"), missing = folder.Path("none.pp");
    // Run in turn, output and errors together: decode reads what encode wrote.
    const struct {
        std::string args;
        int exit;
        std::string out;  // its first line only when the exit code is 2
    } runs[] = {
        {"encode " + folder.Write("worked.txt", WorkedExample) + " " + packed, 0, ""},
        {"decode " + packed, 0, WorkedExample},
        {"check " + file("12_worked.pp", WorkedExample) + " --type 12", 0,
         "Title \"12_worked.pp\" is for UPS type 12\n"
         "File OK: 2 records, written in this order:\n"
         "  #12 \"00FF00FF00FF00FF00FF00FF00FF00FF\"\n"
         "    AB 12 78 0C 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF C7\n"
         "  #13 \"1F4\"\n    AB 04 78 0D F4 01 D7\n"
         "  then the closing command\n    AB 02 78 00 DB\n"},
        {"check " + file("13_worked.pp", WorkedExample) + " --type 12", 1,
         "Title \"13_worked.pp\" is for UPS type 13\nFile does not match UPS type\nFile Corrupted\n"},
        {"check " + file("12.pp", ",00;"), 1, "Title \"12.pp\" is for UPS type 12\nmessage box: 13 Type mismatch 36\n"},
        {"decode " + missing, 2, "zentrel-pack: cannot open " + missing + ": No such file or directory\n"},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.args);
        FILE* pipe = ::popen(("'" ZENTREL_PACK "' " + run.args + " 2>&1").c_str(), "r");
        std::string out(1 << 16, '\0');
        out.resize(std::fread(out.data(), 1, out.size(), pipe));
        const int status = ::pclose(pipe);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, run.exit);
        EXPECT_EQ(run.exit == 2 ? out.substr(0, out.find('\n') + 1) : out, run.out);
    }
}
