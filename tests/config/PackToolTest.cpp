#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "ConfigFiles.h"

using namespace UpsLink::Testing;

namespace {

struct Result {
    int Exit = -1;
    std::string Out;
    std::string Err;
};

std::string ReadAll(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class PackToolTest : public ::testing::Test {
protected:
    Result Pack(const std::vector<std::string>& args)
    {
        // The test's own names and paths hold no quote.
        std::string command = "'" ZENTREL_PACK "'";
        for (const std::string& arg : args) command += " '" + arg + "'";
        const std::string out = folder.Path("stdout");
        const std::string err = folder.Path("stderr");
        const int status = std::system((command + " >'" + out + "' 2>'" + err + "'").c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(out), ReadAll(err)};
    }

    FileFolder folder;
};

TEST_F(PackToolTest, EncodeDecodeAndCheckTheWorkedExample)
{
    const std::string packed = folder.Path("12_example.pp");
    const Result encoded = Pack({"encode", folder.Write("example.txt", WorkedExample), packed});
    EXPECT_EQ(encoded.Exit, 0) << encoded.Err;
    EXPECT_EQ(ReadAll(packed), Scrambled(WorkedExample));

    const Result decoded = Pack({"decode", packed});
    EXPECT_EQ(decoded.Exit, 0);
    EXPECT_EQ(decoded.Out, WorkedExample);

    const Result checked = Pack({"check", packed, "--type", "12"});
    EXPECT_EQ(checked.Exit, 0);
    EXPECT_EQ(checked.Out,
              "Title \"12_example.pp\" is for UPS type 12\n"
              "File OK: 2 records, written in this order:\n"
              "  #12 \"00FF00FF00FF00FF00FF00FF00FF00FF\"\n"
              "    AB 12 78 0C 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF C7\n"
              "  #13 \"1F4\"\n"
              "    AB 04 78 0D F4 01 D7\n"
              "  then the closing command\n"
              "    AB 02 78 00 DB\n");
}

TEST_F(PackToolTest, CheckGivesTheLoadersVerdict)
{
    const struct {
        std::string file;
        std::string verdict;
    } cases[] = {
        {folder.WriteConfig("13_a.pp", WorkedExample), "File does not match UPS type\nFile Corrupted\n"},
        {folder.Write("12_big.pp", std::string(32766, 'x')), "File size exceeds 32k limit\nFile Corrupted\n"},
        {folder.WriteConfig("12_c.pp", "12,00;13,1F4"), "File Corrupted\n"},
        {folder.WriteConfig("12_e.pp", ",00;"), "message box: 13 Type mismatch 36\n"},
    };
    for (const auto& c : cases) {
        const Result checked = Pack({"check", c.file, "--type", "12"});
        EXPECT_EQ(checked.Exit, 1) << c.file;
        EXPECT_EQ(checked.Out.substr(checked.Out.find('\n') + 1), c.verdict);
    }
}

TEST_F(PackToolTest, CheckWarnsAboutWhatTheLoaderTakesSilently)
{
    const std::string file =
        folder.WriteConfig("12_w.pp", "5,12G4;\r\n7," + std::string(40, 'F') + ";\r\n5,0001;\r\n9,00;\r\n5,0002;\r\n");
    const Result checked = Pack({"check", file});
    EXPECT_EQ(checked.Exit, 0);
    const std::string warnings = checked.Out.substr(checked.Out.find("warning:"));
    EXPECT_EQ(warnings,
              "warning: #5 data \"12G4\" holds characters that are not hexadecimal digits; it is sent as 00 12\n"
              "warning: #7 data has 40 characters; only its first 32 are sent\n"
              "warning: #5 appears 3 times (records 1, 3, 5); each is written in turn\n");
    EXPECT_NE(checked.Out.find("AB 12 78 07 FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF D4\n"), std::string::npos);
}

TEST_F(PackToolTest, BadUseIsExplainedWithANonZeroExit)
{
    const Result help = Pack({"--help"});
    EXPECT_EQ(help.Exit, 0);
    EXPECT_NE(help.Out.find("zentrel-pack encode PLAIN OUT"), std::string::npos);

    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{}, "zentrel-pack: no command given"},
        {{"pack", "x"}, "zentrel-pack: unknown command \"pack\""},
        {{"encode", "only-one"}, "zentrel-pack: encode wants PLAIN and OUT"},
        {{"check", "x.pp", "--type", "twelve"}, "zentrel-pack: --type wants a decimal UPS type, not \"twelve\""},
        {{"check", folder.Path("missing.pp")},
         "zentrel-pack: cannot open " + folder.Path("missing.pp") + ": No such file or directory"},
    };
    for (const auto& c : cases) {
        const Result failed = Pack(c.args);
        EXPECT_EQ(failed.Exit, 2) << c.message;
        EXPECT_EQ(failed.Err.substr(0, failed.Err.find('\n')), c.message);
        EXPECT_TRUE(failed.Out.empty());
    }
}

}  // namespace
