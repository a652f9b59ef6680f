#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace UpsLink {

class Port;

// A text file opened for appending, each line flushed as it is written so nothing is lost if
// the program is killed.
class LineFile {
public:
    // Empty error means opened; otherwise the reason it could not be.
    static std::unique_ptr<LineFile> Open(const std::string& path, std::string& error);
    // The same for a --log or --trace file ("log", "trace"): on failure refusal says
    // "cannot open log file PATH: reason".
    static std::unique_ptr<LineFile> OpenNamed(const std::string& path, const std::string& what,
                                               std::string& refusal);
    void WriteLine(const std::string& line);

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    explicit LineFile(std::FILE* file) : file_(file) {}
    std::unique_ptr<std::FILE, Closer> file_;
};

// --log: a board line after the date and time it was posted, "yyyy-MM-dd hh:mm:ss.zzz  line";
// a clear of the board is an empty line.
void LogBoardLine(LineFile& file, const std::string& message);
void LogBoardClear(LineFile& file);

// "hh:mm:ss.zzz" of a count of seconds since midnight.
std::string TimeOfDayText(double secondsSinceMidnight);

// One wire record line: time of day, '>' written or '<' read, the bytes in hexadecimal.
std::string TraceLine(double secondsSinceMidnight, char direction, const std::vector<uint8_t>& bytes);

// zentrel --trace: every write to the port and every read from it goes to file as one line, with
// the time of day from the installed clock. file must outlive the port's use.
void TraceWire(Port& port, LineFile& file);

}  // namespace UpsLink
