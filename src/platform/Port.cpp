#include "Port.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "common/Fault.h"

namespace UpsLink {

namespace {

constexpr std::array<int, 14> ClassicBaudRates{110,   300,   600,   1200,  2400,  4800,  9600,
                                               14400, 19200, 28800, 38400, 56000, 57600, 115200};

[[noreturn]] void RefuseProperty() { throw Fault(FaultNo::InvalidPropertyValue); }

int WholeNumber(const std::string& field)
{
    if (field.empty() || field.find_first_not_of("0123456789") != std::string::npos) RefuseProperty();
    int value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size()) RefuseProperty();
    return value;
}

}  // namespace

CommSettings ParseSettings(const std::string& settings)
{
    std::vector<std::string> fields(1);
    for (char ch : settings) {
        if (ch == ',')
            fields.emplace_back();
        else if (ch != ' ')
            fields.back() += ch;
    }
    if (fields.size() != 4) RefuseProperty();

    CommSettings parsed;
    parsed.BaudRate = WholeNumber(fields[0]);
    if (std::find(ClassicBaudRates.begin(), ClassicBaudRates.end(), parsed.BaudRate) == ClassicBaudRates.end())
        RefuseProperty();
    if (fields[1].size() != 1 || std::string("NEOMSneoms").find(fields[1][0]) == std::string::npos) RefuseProperty();
    parsed.Parity = static_cast<char>(std::toupper(static_cast<unsigned char>(fields[1][0])));
    parsed.DataBits = WholeNumber(fields[2]);
    if (parsed.DataBits < 4 || parsed.DataBits > 8) RefuseProperty();
    if (fields[3] == "1")
        parsed.StopBits = 1;
    else if (fields[3] == "1.5")
        parsed.StopBits = 1.5;
    else if (fields[3] == "2")
        parsed.StopBits = 2;
    else
        RefuseProperty();
    return parsed;
}

void Port::SetPortOpen(bool open)
{
    if (open == open_) {
        if (open) throw Fault(FaultNo::PortAlreadyOpen);
        return;
    }
    if (open) {
        openFailure_.reset();
        try {
            OpenDevice(commPort_, ParseSettings(settings_));
        } catch (const Fault& fault) {
            if (!openFailure_) openFailure_.emplace();
            openFailure_->Number = fault.Number;
            openFailure_->Text = fault.Description;
            throw;
        }
        open_ = true;
    } else {
        open_ = false;
        CloseDevice();
    }
}

void Port::SetCommPort(int16_t number)
{
    if (open_) throw Fault(FaultNo::PortAlreadyOpen);
    if (number < 1) throw Fault(FaultNo::InvalidPortNumber);
    commPort_ = number;
}

void Port::SetSettings(const std::string& settings)
{
    const CommSettings parsed = ParseSettings(settings);
    if (open_) ApplySettings(parsed);
    settings_ = settings;
}

int Port::InBufferCount() { return open_ ? PendingCount() : 0; }

void Port::SetInBufferCount(int count)
{
    if (count != 0) RefuseProperty();
    if (open_) DiscardPending();
}

std::vector<uint8_t> Port::Input()
{
    RequireOpen();
    std::vector<uint8_t> bytes = ReadPending();
    if (trace_ && !bytes.empty()) trace_('<', bytes);
    return bytes;
}

void Port::Output(const std::vector<uint8_t>& bytes)
{
    RequireOpen();
    Write(bytes);
    if (trace_) trace_('>', bytes);
}

void Port::NoteOpenFailure(std::string device, std::string reason)
{
    openFailure_ = OpenFailure{0, {}, std::move(device), std::move(reason)};
}

void Port::RequireOpen() const
{
    if (!open_) throw Fault(FaultNo::DeviceNotOpen);
}

}  // namespace UpsLink
