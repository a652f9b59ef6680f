#pragma once

#include <QSerialPort>
#include <QString>

#include "NetworkLine.h"
#include "PortMap.h"
#include "platform/Port.h"

namespace UpsLink {

// The real serial port, opening what the port map names for its number, or a port behind a console
// server when that is a network address. No event loop runs while the link waits, so pending bytes
// are pulled from the operating system before they are counted or read.
class SerialPort : public Port {
protected:
    void OpenDevice(int number, const CommSettings& settings) override;
    void CloseDevice() override;
    void ApplySettings(const CommSettings& settings) override;
    int PendingCount() override;
    std::vector<uint8_t> ReadPending() override;
    void Write(const std::vector<uint8_t>& bytes) override;

private:
    void PullFromSystem();
    void OpenNetwork(const NetworkAddress& address, const CommSettings& settings);

    QSerialPort serial_;
    NetworkLine network_;
    bool onNetwork_ = false;
};

}  // namespace UpsLink
