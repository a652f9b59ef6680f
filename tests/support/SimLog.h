#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace UpsLink::Testing {

// One line of zentrel-sim's frame log.
struct LoggedFrame {
    double Seconds;  // since midnight
    char Direction;  // '>' received, '<' sent
    std::vector<uint8_t> Bytes;
};

// Every line of a frame log; a line that is not a well-formed entry throws std::runtime_error.
std::vector<LoggedFrame> ReadSimLog(const std::string& path);

// The bytes of the frames logged in one direction, one entry per frame.
std::vector<std::vector<uint8_t>> FramesIn(const std::vector<LoggedFrame>& log, char direction);

}  // namespace UpsLink::Testing
