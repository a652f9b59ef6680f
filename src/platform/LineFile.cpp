#include "LineFile.h"

#include <cerrno>
#include <cmath>
#include <cstring>

#include "common/Text.h"

#include "Seams.h"

namespace UpsLink {

std::unique_ptr<LineFile> LineFile::Open(const std::string& path, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (!file) {
        error = std::strerror(errno);
        return nullptr;
    }
    error.clear();
    return std::unique_ptr<LineFile>(new LineFile(file));
}

void LineFile::WriteLine(const std::string& line)
{
    std::fputs(line.c_str(), file_.get());
    std::fputc('\n', file_.get());
    std::fflush(file_.get());
}

std::string TimeOfDayText(double secondsSinceMidnight)
{
    const long long ms = std::llround(secondsSinceMidnight * 1000.0) % (24LL * 3600 * 1000);
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                  ms % 1000);
    return text;
}

std::string TraceLine(double secondsSinceMidnight, char direction, const std::vector<uint8_t>& bytes)
{
    return TimeOfDayText(secondsSinceMidnight) + "  " + direction + "  " + HexBytes(bytes);
}

void TraceWire(Port& port, LineFile& file)
{
    port.SetTrace([&file](char direction, const std::vector<uint8_t>& bytes) {
        file.WriteLine(TraceLine(Timer(), direction, bytes));
    });
}

}  // namespace UpsLink
