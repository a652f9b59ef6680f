#pragma once

#include <QByteArray>
#include <QTcpSocket>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Rfc2217.h"
#include "platform/Line.h"
#include "platform/Port.h"

namespace UpsLink {

// What a device name says: not a network address at all, a malformed one, or a port served over
// RFC 2217 or as raw TCP, with its host (an IPv6 address without its brackets) and TCP port.
struct NetworkAddress {
    enum Transport { None, Malformed, Rfc2217, Tcp };
    Transport Kind = None;
    std::string Host;
    uint16_t Port = 0;

    // HOST:PORT, as the port's failures name it.
    std::string Shown() const;
    bool operator==(const NetworkAddress&) const = default;
};

// rfc2217://HOST:PORT or tcp://HOST:PORT, HOST a name, an IPv4 address or an IPv6 address in
// brackets, PORT 1 to 65535.
NetworkAddress ParseNetworkAddress(const std::string& device);

// A port served by a console server over TCP, polled as the serial port is: no event loop runs
// while the link waits, so bytes are pulled from the socket before they are counted or read.
class NetworkLine {
public:
    std::optional<LineRefusal> Open(const NetworkAddress& address, const CommSettings& settings);
    void Close();
    void Apply(const CommSettings& settings);
    int Pending();
    std::vector<uint8_t> Read();
    void Write(const std::vector<uint8_t>& bytes);

private:
    void Pull();
    bool Send(const std::vector<uint8_t>& bytes);
    bool Connected() const;
    void RequireLine() const;

    QTcpSocket socket_;
    NetworkAddress::Transport kind_ = NetworkAddress::None;
    Rfc2217::Session session_;
    std::vector<uint8_t> received_;
};

}  // namespace UpsLink
