#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace UpsLink {

// A settings string taken apart: baud rate, parity, data bits and stop bits.
struct CommSettings {
    int BaudRate = 0;
    char Parity = 'N';
    int DataBits = 8;
    double StopBits = 1;
};

// Parses "19200,N,8,1" the way the classic serial control checks it; anything else is fault 380.
CommSettings ParseSettings(const std::string& settings);

// Why the last open of a port failed: its fault, the device the port number named, and the
// system's own reason, in the words an engineer acts on.
struct OpenFailure {
    int Number = 0;
    std::string Text;
    std::string Device;
    std::string Reason;
};

// The serial control as the link uses it. The property rules (what may be set while the port is
// open, which values are refused, what a closed port answers) live here once; a concrete port
// only moves bytes.
class Port {
public:
    virtual ~Port() = default;

    bool PortOpen() const { return open_; }
    void SetPortOpen(bool open);
    int16_t CommPort() const { return commPort_; }
    void SetCommPort(int16_t number);
    const std::string& Settings() const { return settings_; }
    void SetSettings(const std::string& settings);

    void SetRTSEnable(bool enable) { rtsEnable_ = enable; }
    void SetDTREnable(bool enable) { dtrEnable_ = enable; }

    // Waiting bytes; a closed port has none.
    int InBufferCount();
    // Only 0 is meaningful: it discards what is waiting.
    void SetInBufferCount(int count);
    // Every waiting byte, in arrival order, removed from the receive side.
    std::vector<uint8_t> Input();
    void Output(const std::vector<uint8_t>& bytes);

    // Sees every write ('>') and every read ('<') of bytes, as they happen.
    using TraceHook = std::function<void(char direction, const std::vector<uint8_t>& bytes)>;
    void SetTrace(TraceHook hook) { trace_ = std::move(hook); }

    // Kept from the last open that failed, until the next open.
    const std::optional<OpenFailure>& LastOpenFailure() const { return openFailure_; }

protected:
    bool RTSEnable() const { return rtsEnable_; }
    bool DTREnable() const { return dtrEnable_; }

    // Open the device behind port number n with these settings; failures are port faults, each
    // told first to NoteOpenFailure.
    virtual void OpenDevice(int number, const CommSettings& settings) = 0;
    virtual void CloseDevice() = 0;
    // Apply new settings to the open device.
    virtual void ApplySettings(const CommSettings& settings) = 0;
    virtual int PendingCount() = 0;
    virtual std::vector<uint8_t> ReadPending() = 0;
    // Drops what is waiting, where the device can do so itself; else by reading it.
    virtual void DiscardPending() { ReadPending(); }
    virtual void Write(const std::vector<uint8_t>& bytes) = 0;

    void NoteOpenFailure(std::string device, std::string reason);

private:
    void RequireOpen() const;

    bool open_ = false;
    int16_t commPort_ = 1;
    std::string settings_ = "9600,N,8,1";
    bool rtsEnable_ = false;
    bool dtrEnable_ = false;
    TraceHook trace_;
    std::optional<OpenFailure> openFailure_;
};

}  // namespace UpsLink
