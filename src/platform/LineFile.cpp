#include "LineFile.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>

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

std::unique_ptr<LineFile> LineFile::OpenNamed(const std::string& path, const std::string& what, std::string& refusal)
{
    std::string error;
    std::unique_ptr<LineFile> file = Open(path, error);
    refusal = file ? "" : "cannot open " + what + " file " + path + ": " + error;
    return file;
}

void LineFile::WriteLine(const std::string& line)
{
    std::fputs(line.c_str(), file_.get());
    std::fputc('\n', file_.get());
    std::fflush(file_.get());
}

void LogBoardLine(LineFile& file, const std::string& message)
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &local);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "%s.%03d  ", date, static_cast<int>(ms));
    file.WriteLine(stamp + message);
}

void LogBoardClear(LineFile& file) { file.WriteLine(""); }

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
