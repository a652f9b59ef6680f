#include "CheckReport.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <stdexcept>

#include "common/Fault.h"
#include "common/FilePath.h"
#include "common/Text.h"
#include "config/ConfigTitle.h"
#include "config/FileVerdict.h"
#include "link/Frame.h"
#include "link/Protocol.h"
#include "update/ConfigWrite.h"

namespace ZentrelPack {

using namespace UpsLink;

namespace {

// A data text as it stands, with bytes that would not print shown as \xNN.
std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (const char ch : text) {
        const auto byte = static_cast<uint8_t>(ch);
        if (byte >= 0x20 && byte < 0x7F && ch != '"' && ch != '\\')
            quoted += ch;
        else
            quoted += "\\x" + PadToWidth(HexText(byte), 2);
    }
    return quoted + "\"";
}

bool AllHexDigits(const std::string& text)
{
    for (const char ch : text)
        if (!std::isxdigit(static_cast<unsigned char>(ch))) return false;
    return true;
}

void ListRecords(const std::vector<int16_t>& numbers, const std::vector<std::string>& data, std::ostream& out)
{
    out << "File OK: " << numbers.size() << (numbers.size() == 1 ? " record" : " records")
        << ", written in this order:\n";
    std::vector<std::string> warnings;
    std::map<int, std::vector<std::size_t>> entries;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const std::string number = std::to_string(numbers[i]);
        const std::vector<uint8_t> payload = ConfigWritePayload(number, data[i]);
        out << "  #" << number << " " << Quoted(data[i]) << "\n"
            << "    " << HexBytes(BuildFrame(static_cast<int>(payload.size()), payload)) << "\n";
        entries[numbers[i]].push_back(i + 1);
        if (!AllHexDigits(data[i]))
            warnings.push_back("#" + number + " data " + Quoted(data[i]) +
                               " holds characters that are not hexadecimal digits; it is sent as " +
                               HexBytes({payload.begin() + 2, payload.end()}));
        if (data[i].size() > static_cast<std::size_t>(BlockTextWidth))
            warnings.push_back("#" + number + " data has " + std::to_string(data[i].size()) +
                               " characters; only its first 32 are sent");
    }
    const std::vector<uint8_t> closing{Command::ConfigWrite, Command::ConfigWriteEnd};
    out << "  then the closing command\n    " << HexBytes(BuildFrame(2, closing)) << "\n";
    for (const auto& [number, places] : entries) {
        if (places.size() < 2) continue;
        std::string list;
        for (const std::size_t place : places) list += (list.empty() ? "" : ", ") + std::to_string(place);
        warnings.push_back("#" + std::to_string(number) + " appears " + std::to_string(places.size()) +
                           " times (records " + list + "); each is written in turn");
    }
    for (const std::string& warning : warnings) out << "warning: " << warning << "\n";
}

}  // namespace

bool CheckFile(const std::string& path, std::optional<int> upsType, std::ostream& out)
{
    std::ifstream file(FilePath(path), std::ios::binary);
    if (!file) throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
    const std::string title = FileTitle(path);
    out << "Title " << Quoted(title) << " is for UPS type " << static_cast<long long>(std::floor(NumericPrefix(title)))
        << "\n";
    std::vector<uint8_t> image;
    std::vector<int16_t> numbers;
    std::vector<std::string> data;
    const FileVerdict verdict = JudgeConfigFile(file, title, upsType, image, numbers, data);
    for (const Refusal& refusal : verdict.Shown) out << (refusal.InBox ? "message box: " : "") << refusal.Text << "\n";
    if (!verdict.Taken) return false;
    ListRecords(numbers, data, out);
    return true;
}

}  // namespace ZentrelPack
