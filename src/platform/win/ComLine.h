#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Line.h"
#include "platform/Port.h"

namespace UpsLink {

// A serial port of Windows itself (COMn, or a \\.\ device name), polled: reads return at once with
// what is waiting, and the link asks for the count of waiting bytes before it reads. Failures on
// an open line are port faults.
class ComLine {
public:
    ComLine() = default;
    ~ComLine() { Close(); }
    ComLine(const ComLine&) = delete;
    ComLine& operator=(const ComLine&) = delete;

    std::optional<LineRefusal> Open(const std::wstring& device, const CommSettings& settings);
    void Close();
    void Apply(const CommSettings& settings);
    // DTR and RTS held as given, now and through later settings.
    void SetModemLines(bool dtr, bool rts);
    int Pending();
    std::vector<uint8_t> Read();
    void Write(const std::vector<uint8_t>& bytes);
    // Drops what has arrived and not been read.
    void Discard();

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    bool dtr_ = false;
    bool rts_ = false;
};

}  // namespace UpsLink
