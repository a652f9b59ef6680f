#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace UpsLink {

// The exit statuses of zentrel-cli.
namespace Exit {
constexpr int Ok = 0;
constexpr int Unit = 1;  // the unit did not answer or refused
constexpr int Usage = 2;
constexpr int PortFailed = 3;
constexpr int FileRefused = 4;
constexpr int WriteFailed = 5;  // all went well but a line of --log or --trace was lost
constexpr int Interrupted = 130;
}  // namespace Exit

// What the command line asks for.
struct CliOptions {
    std::string Command;  // ports, identify, modules or update
    std::vector<std::string> Ports{"COM1"};
    std::string Baud = "19200";
    std::string LogPath;
    std::string TracePath;
    bool Json = false;
    bool Quiet = false;
    // update
    std::string File;
    std::optional<int> Module;
    std::size_t From = 1;
    bool Yes = false;
};

// The outcome of reading the command line: run, or stop at once with this text (standard output
// after --help and --version, else standard error) and status.
struct CliParse {
    bool Run = false;
    int Status = Exit::Ok;
    std::string Text;
};

// arguments[0] is the program name.
CliParse ParseCliOptions(const std::vector<std::string>& arguments, CliOptions& options);

}  // namespace UpsLink
