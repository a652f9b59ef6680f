#pragma once

#include <cstdint>
#include <functional>
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
    void SetHandshaking(int mode);
    void SetInBufferSize(int size);
    void SetOutBufferSize(int size);
    void SetInputMode(int mode);
    void SetInputLen(int length);
    void SetRThreshold(int threshold);
    void SetSThreshold(int threshold);

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

protected:
    bool RTSEnable() const { return rtsEnable_; }
    bool DTREnable() const { return dtrEnable_; }

    // Open the device behind port number n with these settings; failures are port faults.
    virtual void OpenDevice(int number, const CommSettings& settings) = 0;
    virtual void CloseDevice() = 0;
    // Apply new settings to the open device.
    virtual void ApplySettings(const CommSettings& settings) = 0;
    virtual int PendingCount() = 0;
    virtual std::vector<uint8_t> ReadPending() = 0;
    virtual void Write(const std::vector<uint8_t>& bytes) = 0;

private:
    void RequireOpen() const;

    bool open_ = false;
    int16_t commPort_ = 1;
    std::string settings_ = "9600,N,8,1";
    bool rtsEnable_ = false;
    bool dtrEnable_ = false;
    TraceHook trace_;
};

}  // namespace UpsLink
