#pragma once

#include <QSerialPort>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Line.h"
#include "platform/Port.h"

namespace UpsLink {

// A local serial device through Qt's serial port. No event loop runs while the link waits, so
// pending bytes are pulled from the operating system before they are counted or read.
class TtyLine {
public:
    std::optional<LineRefusal> Open(const QString& device, const CommSettings& settings);
    void Close();
    void Apply(const CommSettings& settings);
    // Modem lines: a pseudo-terminal has none, so a refusal here is not a failure of the port.
    void SetModemLines(bool dtr, bool rts);
    int Pending();
    std::vector<uint8_t> Read();
    void Write(const std::vector<uint8_t>& bytes);
    void Discard() { Read(); }

private:
    void PullFromSystem();

    QSerialPort serial_;
};

}  // namespace UpsLink
