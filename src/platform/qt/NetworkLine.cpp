#include "NetworkLine.h"

#include <QElapsedTimer>
#include <charconv>
#include <string_view>
#include <utility>

#include "common/Fault.h"

namespace UpsLink {

namespace {

constexpr int ConnectTimeoutMs = 3000;
constexpr int RefusalWatchMs = 100;
constexpr int WriteTimeoutMs = 2000;

// The refusal as the server wrote it, on one line.
std::string RefusalText(const std::vector<uint8_t>& bytes)
{
    std::string text;
    for (uint8_t b : bytes) text += b >= 0x20 && b < 0x7F ? static_cast<char>(b) : ' ';
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "the server closed the connection";
    return text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

}  // namespace

std::string NetworkAddress::Shown() const
{
    const std::string host = Host.find(':') == std::string::npos ? Host : "[" + Host + "]";
    return host + ":" + std::to_string(Port);
}

NetworkAddress ParseNetworkAddress(const std::string& device)
{
    NetworkAddress address;
    std::string_view rest = device;
    if (rest.starts_with("rfc2217://"))
        address.Kind = NetworkAddress::Rfc2217, rest.remove_prefix(10);
    else if (rest.starts_with("tcp://"))
        address.Kind = NetworkAddress::Tcp, rest.remove_prefix(6);
    else
        return address;

    NetworkAddress malformed{NetworkAddress::Malformed, {}, 0};
    std::string_view host, port;
    if (rest.starts_with('[')) {
        const auto close = rest.find(']');
        if (close == std::string_view::npos || rest.substr(close + 1, 1) != ":") return malformed;
        host = rest.substr(1, close - 1);
        port = rest.substr(close + 2);
        if (host.find(':') == std::string_view::npos || host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string_view::npos)
            return malformed;
    } else {
        const auto colon = rest.rfind(':');
        if (colon == std::string_view::npos) return malformed;
        host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
        if (host.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-._") != std::string_view::npos)
            return malformed;
    }
    int number = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), number);
    if (host.empty() || port.empty() || port.front() == '-' || error != std::errc() || end != port.data() + port.size() ||
        number < 1 || number > 65535)
        return malformed;
    address.Host = std::string(host);
    address.Port = static_cast<uint16_t>(number);
    return address;
}

std::optional<LineRefusal> NetworkLine::Open(const NetworkAddress& address, const CommSettings& settings)
{
    socket_.abort();
    kind_ = address.Kind;
    session_ = {};
    received_.clear();
    socket_.connectToHost(QString::fromStdString(address.Host), address.Port);
    if (!socket_.waitForConnected(ConnectTimeoutMs)) {
        const auto error = socket_.error();
        const std::string reason = error == QAbstractSocket::SocketTimeoutError ? "no connection within 3 s"
                                                                                 : socket_.errorString().toStdString();
        socket_.abort();
        return LineRefusal{error == QAbstractSocket::HostNotFoundError ? FaultNo::InvalidPortNumber : FaultNo::DeviceNotOpen,
                           reason};
    }
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (kind_ == NetworkAddress::Rfc2217) {
        std::vector<uint8_t> opening = session_.Start();
        for (const auto& more : {Rfc2217::SettingsCommands(settings), Rfc2217::PurgeCommand()})
            opening.insert(opening.end(), more.begin(), more.end());
        if (!Send(opening)) socket_.abort();
    }
    // A console server that will not serve the port (in use, its device failed) writes why as
    // plain text and hangs up at once, while the unit never speaks unasked: a hang-up within
    // RefusalWatchMs of connecting is a refusal, and the text before it is the reason. Anything
    // else that arrives meanwhile is dropped, as the flush at open drops it.
    QElapsedTimer watch;
    watch.start();
    while (Connected() && watch.elapsed() < RefusalWatchMs) {
        socket_.waitForReadyRead(static_cast<int>(RefusalWatchMs - watch.elapsed()));
        Pull();
    }
    if (!Connected()) {
        const std::string reason = RefusalText(received_);
        Close();
        return LineRefusal{FaultNo::DeviceNotOpen, reason};
    }
    received_.clear();
    return std::nullopt;
}

void NetworkLine::Close()
{
    socket_.abort();
    received_.clear();
}

void NetworkLine::Apply(const CommSettings& settings)
{
    if (kind_ != NetworkAddress::Rfc2217) return;
    RequireLine();
    if (!Send(Rfc2217::SettingsCommands(settings))) throw Fault(FaultNo::CouldNotSetCommState);
}

void NetworkLine::Pull()
{
    while (socket_.waitForReadyRead(0)) {
    }
    // A hang-up leaves what came before it readable.
    const QByteArray raw = socket_.readAll();
    const std::vector<uint8_t> bytes(raw.begin(), raw.end());
    if (kind_ == NetworkAddress::Tcp) {
        received_.insert(received_.end(), bytes.begin(), bytes.end());
        return;
    }
    const Rfc2217::Session::Taken taken = session_.Feed(bytes);
    received_.insert(received_.end(), taken.Data.begin(), taken.Data.end());
    if (!taken.Answer.empty() && Connected()) Send(taken.Answer);
}

int NetworkLine::Pending()
{
    Pull();
    if (received_.empty()) RequireLine();
    return static_cast<int>(received_.size());
}

std::vector<uint8_t> NetworkLine::Read()
{
    Pull();
    if (received_.empty()) RequireLine();
    return std::exchange(received_, {});
}

void NetworkLine::Write(const std::vector<uint8_t>& bytes)
{
    RequireLine();
    if (!Send(kind_ == NetworkAddress::Rfc2217 ? Rfc2217::Escape(bytes) : bytes)) throw Fault(FaultNo::DeviceNotOpen);
}

bool NetworkLine::Send(const std::vector<uint8_t>& bytes)
{
    const auto size = static_cast<qint64>(bytes.size());
    if (socket_.write(reinterpret_cast<const char*>(bytes.data()), size) != size) return false;
    while (socket_.bytesToWrite() > 0)
        if (!socket_.waitForBytesWritten(WriteTimeoutMs)) return false;
    return true;
}

bool NetworkLine::Connected() const { return socket_.state() == QAbstractSocket::ConnectedState; }

// The line is gone once the server has hung up: the port's device is no longer open.
void NetworkLine::RequireLine() const
{
    if (!Connected()) throw Fault(FaultNo::DeviceNotOpen);
}

}  // namespace UpsLink
