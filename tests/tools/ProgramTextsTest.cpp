// What each program says about itself: its --version, and its manual page beside its --help.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <utility>

#include "common/AppTitle.h"

namespace {

const struct Program {
    std::string VersionName;  // the first word of --version
    std::string Binary;
    std::string Page;  // under packaging/man
} Programs[] = {
    {"Zentrel", ZENTREL_BINARY, "zentrel.1.in"},
    {"zentrel-cli", ZENTREL_CLI, "zentrel-cli.1.in"},
    {"zentrel-sim", ZENTREL_SIM_PATH, "zentrel-sim.1.in"},
    {"zentrel-pack", ZENTREL_PACK, "zentrel-pack.1.in"},
};

// Exit status and standard output.
std::pair<int, std::string> Output(const std::string& binary, const std::string& argument)
{
    FILE* pipe = ::popen(("'" + binary + "' " + argument + " 2>/dev/null").c_str(), "r");
    std::string out(1 << 16, '\0');
    out.resize(std::fread(out.data(), 1, out.size(), pipe));
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

using Names = std::set<std::string>;

// Every option a text names, such as -h or --help-all; a dash inside a word (zentrel-cli) is none.
Names Options(const std::string& text)
{
    static const std::regex option(R"((?:^|[\s,\[|(])(--?[A-Za-z][A-Za-z-]*))");
    Names found;
    for (auto i = std::sregex_iterator(text.begin(), text.end(), option); i != std::sregex_iterator(); ++i)
        found.insert((*i)[1]);
    return found;
}

// A roff line as it reads: no font changes, \- a dash, no leading macro.
std::string Plain(std::string line)
{
    line = std::regex_replace(line, std::regex(R"(\\f[BIRP])"), "");
    line = std::regex_replace(line, std::regex(R"(\\-)"), "-");
    line = std::regex_replace(line, std::regex(R"(\\&)"), "");
    return std::regex_replace(line, std::regex(R"(^\.[A-Z]+)"), "");
}

struct Page {
    Names Synopsis;     // every option of the SYNOPSIS
    Names OptionHeads;  // every option that heads an item of OPTIONS
};

Page ReadPage(const std::string& name)
{
    std::ifstream file(ZENTREL_MAN_DIR "/" + name);
    EXPECT_TRUE(file.is_open()) << name;
    Page page;
    std::string section, line, previous;
    for (; std::getline(file, line); previous = line) {
        if (line.rfind(".SH ", 0) == 0)
            section = line.substr(4);
        else if (section == "SYNOPSIS")
            page.Synopsis.merge(Options(Plain(line)));
        else if (section == "OPTIONS" && previous == ".TP")
            page.OptionHeads.merge(Options(Plain(line)));
    }
    return page;
}

TEST(Programs, VersionIsTheNameAndVersionThenTheLicence)
{
    for (const Program& program : Programs)
        EXPECT_EQ(Output(program.Binary, "--version"),
                  std::pair(0, program.VersionName + " " ZENTREL_VERSION "\n" + UpsLink::LicenceNotice))
            << program.Binary;
}

// The page heads an item with every option that --help lists and with no other, and its
// synopsis names no option that --help does not list.
TEST(Programs, ManualPageDescribesTheOptionsOfHelp)
{
    for (const Program& program : Programs) {
        SCOPED_TRACE(program.Page);
        const auto [status, help] = Output(program.Binary, "--help");
        ASSERT_EQ(status, 0);
        const Names accepted = Options(help);
        const Page page = ReadPage(program.Page);
        EXPECT_EQ(page.OptionHeads, accepted);
        Names stray;
        std::set_difference(page.Synopsis.begin(), page.Synopsis.end(), accepted.begin(), accepted.end(),
                            std::inserter(stray, stray.end()));
        EXPECT_EQ(stray, Names{});
    }
}

}  // namespace
