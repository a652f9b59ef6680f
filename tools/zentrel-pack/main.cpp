// zentrel-pack: prepares and inspects configuration files for the EEPROM update.
#include <charconv>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "CheckReport.h"
#include "FileBytes.h"
#include "common/AppTitle.h"
#include "common/FilePath.h"
#include "config/Globals.h"
#include "config/FileImage.h"
#include "config/Scrambling.h"

namespace {

constexpr int ExitRefused = 1;
constexpr int ExitUsage = 2;

constexpr char Usage[] = R"(Usage:
  zentrel-pack encode PLAIN OUT      scramble the plain text PLAIN into the configuration file OUT
  zentrel-pack decode FILE           print the plain text of the configuration file FILE
  zentrel-pack check FILE [--type N] read FILE as the update does: print the verdict, or every
                                     record with the command frame the update sends for it
  zentrel-pack --help                show this text
  zentrel-pack --version             show the version and the licence

The plain text is a sequence of records "number,data;" (number 0 to 99, data in hexadecimal:
up to 4 digits are a 16-bit value, more are a 16-byte block); line breaks between records are
ignored. The update takes only a file whose name begins with the UPS type, for example
280_demo.pp for type 280; check compares the title with N when --type is given.
check exits with 0 when the update would take the file, 1 when it would refuse it; every
command exits with 2 on a usage or file error.
)";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

int Encode(const std::string& plainPath, const std::string& outPath)
{
    const std::vector<uint8_t> plain = ZentrelPack::ReadBytes(plainPath);
    ZentrelPack::WriteBytes(outPath, UpsLink::Scramble(std::string(plain.begin(), plain.end()), UpsLink::FileKey));
    if (plain.size() > UpsLink::MaxConfigFileBytes)
        std::cerr << "zentrel-pack: warning: " << outPath << " has " << plain.size()
                  << " bytes; the update refuses files over " << UpsLink::MaxConfigFileBytes << "\n";
    return 0;
}

int Decode(const std::string& path)
{
    const std::string plain = UpsLink::Descramble(ZentrelPack::ReadBytes(path), UpsLink::FileKey);
#ifdef _WIN32
    // The bytes as they are: a text-mode stream would put a CR before every LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::cout.write(plain.data(), static_cast<std::streamsize>(plain.size()));
    return 0;
}

int TypeArgument(const std::string& text)
{
    int type = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), type);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw UsageError("--type wants a decimal UPS type, not \"" + text + "\"");
    return type;
}

int Check(const std::vector<std::string>& args)
{
    std::optional<std::string> path;
    std::optional<int> type;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--type") {
            if (i + 1 == args.size()) throw UsageError("--type wants a UPS type");
            type = TypeArgument(args[++i]);
        } else if (args[i].rfind("--type=", 0) == 0) {
            type = TypeArgument(args[i].substr(7));
        } else if (!path && args[i].rfind("--", 0) != 0) {
            path = args[i];
        } else {
            throw UsageError("unexpected argument \"" + args[i] + "\" for check");
        }
    }
    if (!path) throw UsageError("check wants a FILE");
    return ZentrelPack::CheckFile(*path, type, std::cout) ? 0 : ExitRefused;
}

int Run(const std::vector<std::string>& args)
{
    if (args.empty()) throw UsageError("no command given");
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << Usage;
        return 0;
    }
    if (command == "--version") {
        std::cout << "zentrel-pack " ZENTREL_VERSION "\n" << UpsLink::LicenceNotice;
        return 0;
    }
    if (command == "encode") {
        if (rest.size() != 2) throw UsageError("encode wants PLAIN and OUT");
        return Encode(rest[0], rest[1]);
    }
    if (command == "decode") {
        if (rest.size() != 1) throw UsageError("decode wants one FILE");
        return Decode(rest[0]);
    }
    if (command == "check") return Check(rest);
    throw UsageError("unknown command \"" + command + "\"");
}

}  // namespace

#ifdef _WIN32
// Windows hands over every character of a name only in the wide arguments.
int wmain(int argc, wchar_t** argv)
#else
int main(int argc, char** argv)
#endif
{
    try {
        std::vector<std::string> args;
        for (int i = 1; i < argc; ++i) args.push_back(UpsLink::FileName(argv[i]));
        return Run(args);
    } catch (const UsageError& error) {
        std::cerr << "zentrel-pack: " << error.what() << "\n\n" << Usage;
    } catch (const std::exception& error) {
        std::cerr << "zentrel-pack: " << error.what() << "\n";
    }
    return ExitUsage;
}
