#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace UpsLink {

class Port;

// A text file opened for appending, each line flushed as it is written so nothing is lost if
// the program is killed. A line that cannot be written (a full disk) does not stop the program:
// the first failure is kept for it to tell.
class LineFile {
public:
    // A --log or --trace file ("log", "trace"). Empty refusal means opened; otherwise it says
    // "cannot open log file PATH: reason".
    static std::unique_ptr<LineFile> OpenNamed(const std::string& path, const std::string& what,
                                               std::string& refusal);
    void WriteLine(const std::string& line);
    // Why a line could not be written, "cannot write log file PATH: reason", the first time it is
    // asked after the first failure; empty otherwise, so that each file's failure is told once.
    std::string TakeWriteFailure();
    // TakeWriteFailure of each file given (absent ones skipped): the failures not yet told.
    static std::vector<std::string> TakeWriteFailures(std::initializer_list<LineFile*> files);

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    LineFile(std::FILE* file, std::string name) : file_(file), name_(std::move(name)) {}
    std::unique_ptr<std::FILE, Closer> file_;
    std::string name_;  // "log file PATH"
    std::string failure_;  // why the first line was lost
    bool told_ = false;
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
