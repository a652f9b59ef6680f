#include <gtest/gtest.h>

#include "Blocks.h"
#include "common/Fault.h"
#include "platform/qt/NetworkLine.h"
#include "platform/qt/Rfc2217.h"
#include "platform/qt/SerialPort.h"

using namespace UpsLink;
using namespace UpsLink::Testing;

// Every form a device name may take: not a network address, a malformed one, or its parts.
TEST(NetworkAddress, Forms)
{
    using A = NetworkAddress;
    const struct {
        const char* Device;
        A::Transport Kind;
        const char* Host;
        int Port;
        const char* Shown;
    } rows[] = {
        {"rfc2217://127.0.0.1:2000", A::Rfc2217, "127.0.0.1", 2000, "127.0.0.1:2000"},
        {"tcp://localhost:1", A::Tcp, "localhost", 1, "localhost:1"},
        {"tcp://[::1]:65535", A::Tcp, "::1", 65535, "[::1]:65535"},
        {"rfc2217://[fe80::1:2]:7000", A::Rfc2217, "fe80::1:2", 7000, "[fe80::1:2]:7000"},
        {"rfc2217://console-3.lab_a.example:4001", A::Rfc2217, "console-3.lab_a.example", 4001,
         "console-3.lab_a.example:4001"},
        {"/dev/ttyUSB0", A::None, "", 0, ":0"},
        {"COM3", A::None, "", 0, ":0"},
        {"tcp:/host:1", A::None, "", 0, ":0"},
        {"TCP://host:1", A::None, "", 0, ":0"},
        {"tcp://host", A::Malformed, "", 0, ":0"},
        {"tcp://host:", A::Malformed, "", 0, ":0"},
        {"tcp://:2000", A::Malformed, "", 0, ":0"},
        {"rfc2217://", A::Malformed, "", 0, ":0"},
        {"tcp://host:0", A::Malformed, "", 0, ":0"},
        {"tcp://host:65536", A::Malformed, "", 0, ":0"},
        {"tcp://host:99999999999", A::Malformed, "", 0, ":0"},
        {"tcp://host:-1", A::Malformed, "", 0, ":0"},
        {"tcp://host:+1", A::Malformed, "", 0, ":0"},
        {"tcp://host:12a", A::Malformed, "", 0, ":0"},
        {"tcp://host:2000/", A::Malformed, "", 0, ":0"},
        {"tcp://ho st:1", A::Malformed, "", 0, ":0"},
        {"tcp://::1:2000", A::Malformed, "", 0, ":0"},
        {"tcp://[::1]2000", A::Malformed, "", 0, ":0"},
        {"tcp://[::1]:", A::Malformed, "", 0, ":0"},
        {"tcp://[::1:2000", A::Malformed, "", 0, ":0"},
        {"tcp://[]:2000", A::Malformed, "", 0, ":0"},
        {"tcp://[host]:2000", A::Malformed, "", 0, ":0"},
        {"tcp://[127.0.0.1]:2000", A::Malformed, "", 0, ":0"},
    };
    for (const auto& row : rows) {
        const NetworkAddress parsed = ParseNetworkAddress(row.Device);
        EXPECT_EQ(std::tuple(parsed.Kind, parsed.Host, static_cast<int>(parsed.Port), parsed.Shown()),
                  std::tuple(row.Kind, std::string(row.Host), row.Port, std::string(row.Shown)))
            << row.Device;
    }
}

// What the line writes: the unit's bytes with 0xFF doubled, the far port's settings, the purge.
TEST(Rfc2217, Written)
{
    const std::string Off = "FF FA 2C ", End = " FF F0 ";
    const struct {
        const char* Name;
        Bytes Got;
        std::string Want;
    } rows[] = {
        {"plain data", Rfc2217::Escape(Hex("AB 01 40 14")), "AB 01 40 14"},
        {"0xFF doubled", Rfc2217::Escape(Hex("FF 00 FF FF")), "FF FF 00 FF FF FF FF"},
        {"nothing", Rfc2217::Escape({}), ""},
        {"19200 N 8 1", Rfc2217::SettingsCommands({19200, 'N', 8, 1}),
         Off + "01 00 00 4B 00" + End + Off + "02 08" + End + Off + "03 01" + End + Off + "04 01 FF F0"},
        {"9600 E 7 2", Rfc2217::SettingsCommands({9600, 'E', 7, 2}),
         Off + "01 00 00 25 80" + End + Off + "02 07" + End + Off + "03 03" + End + Off + "04 02 FF F0"},
        {"110 O 5 1.5", Rfc2217::SettingsCommands({110, 'O', 5, 1.5}),
         Off + "01 00 00 00 6E" + End + Off + "02 05" + End + Off + "03 02" + End + Off + "04 03 FF F0"},
        {"115200 M 8 1", Rfc2217::SettingsCommands({115200, 'M', 8, 1}),
         Off + "01 00 01 C2 00" + End + Off + "02 08" + End + Off + "03 04" + End + Off + "04 01 FF F0"},
        {"300 S 6 1", Rfc2217::SettingsCommands({300, 'S', 6, 1}),
         Off + "01 00 00 01 2C" + End + Off + "02 06" + End + Off + "03 05" + End + Off + "04 01 FF F0"},
        {"0xFF in a rate doubled", Rfc2217::SettingsCommands({65535, 'N', 8, 1}),
         Off + "01 00 00 FF FF FF FF" + End + Off + "02 08" + End + Off + "03 01" + End + Off + "04 01 FF F0"},
        {"purge both buffers", Rfc2217::PurgeCommand(), "FF FA 2C 0C 03 FF F0"},
        {"the offer", Rfc2217::Session().Start(), "FF FB 00 FF FD 00 FF FB 03 FF FD 03 FF FB 2C"},
    };
    for (const auto& row : rows) EXPECT_EQ(row.Got, Hex(row.Want)) << row.Name;
}

// What the server sends, read by one session in the pieces it came in: the unit's bytes, and the
// answers to the server's requests.
TEST(Rfc2217, Read)
{
    const struct {
        const char* Name;
        std::vector<std::string> Reads;
        std::string Data;
        std::string Answer;
    } rows[] = {
        {"plain data", {"AB 04 20 00 00 34"}, "AB 04 20 00 00 34", ""},
        {"0xFF undoubled", {"01 FF FF 02 FF FF FF FF"}, "01 FF 02 FF FF", ""},
        {"0xFF split across reads", {"01 FF", "FF 02"}, "01 FF 02", ""},
        {"line state dropped", {"41 FF FA 2C 6A 60 FF F0 42"}, "41 42", ""},
        {"modem state split three ways", {"41 FF FA 2C", "6B 30 FF", "F0 42"}, "41 42", ""},
        {"reply to a rate with 0xFF in it", {"FF FA 2C 65 00 00 FF FF FF", "FF FF F0 43"}, "43", ""},
        {"the server's opening", {"FF FB 03 FF FD 03 FF FB 01 FF FE 01 FF FD 00 FF FB 00 FF FD 2C"}, "", "FF FE 01"},
        {"the server's opening, then its refusal",
         {"FF FB 03 FF FD 03 FF FB 01 FF FE 01 FF FD 00 FF FB 00 FF FD 2C 50 6F 72 74 0D 0A"}, "50 6F 72 74 0D 0A",
         "FF FE 01"},
        {"no-operation and go-ahead dropped", {"FF F1 41 FF F9"}, "41", ""},
        {"an option we do not do refused", {"FF", "FD", "18"}, "", "FF FC 18"},
        {"an option the server would do refused", {"FF FB 05 41"}, "41", "FF FE 05"},
        {"binary dropped and taken up again", {"FF FE 00 FF FD 00"}, "", "FF FC 00 FF FB 00"},
        {"the server stops binary and starts again", {"FF FC 00 FF FB 00"}, "", "FF FE 00 FF FD 00"},
        {"a refusal of what we do not do left unanswered", {"FF FE 18 FF FC 18"}, "", ""},
    };
    for (const auto& row : rows) {
        Rfc2217::Session session;
        session.Start();
        Bytes data, answer;
        for (const std::string& read : row.Reads) {
            const Rfc2217::Session::Taken taken = session.Feed(Hex(read));
            data.insert(data.end(), taken.Data.begin(), taken.Data.end());
            answer.insert(answer.end(), taken.Answer.begin(), taken.Answer.end());
        }
        EXPECT_EQ(std::tuple(data, answer), std::tuple(Hex(row.Data), Hex(row.Answer))) << row.Name;
    }
}

// A network port that does not open: the port's fault, and the device and reason it notes.
TEST(NetworkLine, OpenFailures)
{
    const struct {
        const char* Device;
        int Number;
        const char* Text;
        const char* Shown;
        const char* Reason;
    } rows[] = {
        {"tcp://host", 8002, "Invalid port number", "tcp://host",
         "not a network address rfc2217://HOST:PORT or tcp://HOST:PORT"},
        {"rfc2217://[::1]:0", 8002, "Invalid port number", "rfc2217://[::1]:0",
         "not a network address rfc2217://HOST:PORT or tcp://HOST:PORT"},
        {"rfc2217://no-such-host.invalid:2000", 8002, "Invalid port number", "no-such-host.invalid:2000", "Host not found"},
        {"tcp://127.0.0.1:1", 8012, "Unable to open port", "127.0.0.1:1", "Connection refused"},
        {"rfc2217://[::1]:1", 8012, "Unable to open port", "[::1]:1", "Connection refused"},
    };
    for (const auto& row : rows) {
        NamePort(9, QString::fromLatin1(row.Device));
        SerialPort port;
        port.SetCommPort(9);
        int number = 0;
        std::string text;
        try {
            port.SetPortOpen(true);
        } catch (const Fault& fault) {
            number = fault.Number;
            text = fault.Description;
        }
        const OpenFailure failure = port.LastOpenFailure().value_or(OpenFailure{});
        EXPECT_EQ(std::tuple(number, text, port.PortOpen(), failure.Number, failure.Device, failure.Reason),
                  std::tuple(row.Number, std::string(row.Text), false, row.Number, std::string(row.Shown),
                             std::string(row.Reason)))
            << row.Device;
    }
}
