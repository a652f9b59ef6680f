#pragma once

#include <QtGlobal>

#include "NetworkLine.h"
#include "PortMap.h"
#include "platform/Port.h"

#ifdef Q_OS_WIN
#include "platform/win/ComLine.h"
#else
#include "TtyLine.h"
#endif

namespace UpsLink {

// The real serial port, opening what the port map names for its number: a local serial device,
// or a port behind a console server when that is a network address.
class SerialPort : public Port {
protected:
    void OpenDevice(int number, const CommSettings& settings) override;
    void CloseDevice() override;
    void ApplySettings(const CommSettings& settings) override;
    int PendingCount() override;
    std::vector<uint8_t> ReadPending() override;
    void DiscardPending() override;
    void Write(const std::vector<uint8_t>& bytes) override;

private:
#ifdef Q_OS_WIN
    ComLine local_;
#else
    TtyLine local_;
#endif
    NetworkLine network_;
    bool onNetwork_ = false;
};

}  // namespace UpsLink
