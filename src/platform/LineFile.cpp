#include "LineFile.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>

#include "common/FilePath.h"
#include "common/Text.h"

#include "Seams.h"

namespace UpsLink {

std::unique_ptr<LineFile> LineFile::OpenNamed(const std::string& path, const std::string& what, std::string& refusal)
{
    const std::string name = what + " file " + path;
    std::FILE* file = OpenFile(path, "a");
    if (!file) {
        refusal = "cannot open " + name + ": " + std::strerror(errno);
        return nullptr;
    }
    refusal.clear();
    return std::unique_ptr<LineFile>(new LineFile(file, name));
}

void LineFile::WriteLine(const std::string& line)
{
    if (std::fputs(line.c_str(), file_.get()) >= 0 && std::fputc('\n', file_.get()) != EOF &&
        std::fflush(file_.get()) == 0)
        return;
    if (failure_.empty()) failure_ = "cannot write " + name_ + ": " + std::strerror(errno);
}

std::string LineFile::TakeWriteFailure()
{
    if (failure_.empty() || told_) return "";
    told_ = true;
    return failure_;
}

std::vector<std::string> LineFile::TakeWriteFailures(std::initializer_list<LineFile*> files)
{
    std::vector<std::string> failures;
    for (LineFile* file : files)
        if (file)
            if (std::string failure = file->TakeWriteFailure(); !failure.empty()) failures.push_back(std::move(failure));
    return failures;
}

void LogBoardLine(LineFile& file, const std::string& message)
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
#ifdef _WIN32
    ::localtime_s(&local, &seconds);  // Windows' reentrant form, its arguments the other way round
#else
    ::localtime_r(&seconds, &local);
#endif
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
