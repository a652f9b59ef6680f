// Runs under Wine through com_peer.py: ZENTREL_TEST_COM names a COM port whose far end echoes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "common/Fault.h"
#include "platform/win/ComLine.h"

using namespace UpsLink;

namespace {

constexpr uint8_t AskSettings = 0xFE;
constexpr uint8_t HangUp = 0xFD;

std::wstring PeerPort()
{
    const char* com = std::getenv("ZENTREL_TEST_COM");
    return com ? std::wstring(com, com + std::strlen(com)) : L"COM0";
}

// What arrives within two seconds, up to count bytes.
std::vector<uint8_t> ReadUpTo(ComLine& line, std::size_t count)
{
    std::vector<uint8_t> bytes;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (bytes.size() < count && std::chrono::steady_clock::now() < limit) {
        const std::vector<uint8_t> more = line.Read();
        bytes.insert(bytes.end(), more.begin(), more.end());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return bytes;
}

// The open's refusal, if any, as one line for a failed expectation.
std::string Refusal(ComLine& line, const char* settings)
{
    const auto refusal = line.Open(PeerPort(), ParseSettings(settings));
    return refusal ? std::to_string(refusal->Number) + " " + refusal->Reason : "";
}

std::string HeldSettings(ComLine& line)
{
    line.Write({AskSettings});
    std::string text;
    for (uint8_t byte : ReadUpTo(line, 10)) text += static_cast<char>(byte);
    return text.substr(0, text.find('\n'));
}

}  // namespace

// What the terminal behind the port holds, read at the far end, for the settings given at open
// and for settings changed while open. A pseudo-terminal keeps the rate and the stop bits only:
// Linux holds it at eight data bits without parity.
TEST(ComLine, TheDeviceHoldsTheSettingsGiven)
{
    const std::pair<const char*, const char*> rows[] = {{"19200,N,8,1", "19200 8N1"}, {"9600,N,8,2", "9600 8N2"}};
    for (const auto& [opened, held] : rows) {
        ComLine line;
        ASSERT_EQ(Refusal(line, opened), "") << opened;
        EXPECT_EQ(HeldSettings(line), held) << opened;
        line.Apply(ParseSettings("38400,N,8,1"));
        EXPECT_EQ(HeldSettings(line), "38400 8N1") << "after " << opened;
    }
}

// Every byte comes back as it was sent: none replaced, dropped or taken as flow control, and no
// line end or end-of-file mark given a meaning. A discard leaves nothing waiting.
TEST(ComLine, BytesPassUnchangedAndADiscardDropsWhatWaits)
{
    ComLine line;
    ASSERT_EQ(Refusal(line, "19200,N,8,1"), "");
    std::vector<uint8_t> all;
    for (int byte = 0; byte < HangUp; ++byte) all.push_back(static_cast<uint8_t>(byte));
    line.Write(all);
    EXPECT_EQ(ReadUpTo(line, all.size() + 1), all);

    line.Write({'s', 't', 'a', 'l', 'e'});
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (line.Pending() < 5 && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(line.Pending(), 5);
    line.Discard();
    EXPECT_EQ(line.Pending(), 0);
    line.Write({'A'});
    EXPECT_EQ(ReadUpTo(line, 2), std::vector<uint8_t>{'A'});
}

// An open that fails says why in the port's faults. (Wine lets a second program open a port that
// is held, so "in use by another program" shows only on Windows itself.)
TEST(ComLine, RefusedOpensNameTheirFault)
{
    const std::tuple<std::wstring, int, const char*> rows[] = {
        {L"COM250", FaultNo::InvalidPortNumber, "no such device"}, {L"\\\\.\\NUL", FaultNo::CouldNotSetCommState,
        "the device refused the port's settings"}};
    for (const auto& [device, number, reason] : rows) {
        ComLine line;
        const auto refusal = line.Open(device, ParseSettings("19200,N,8,1"));
        ASSERT_TRUE(refusal) << number;
        EXPECT_EQ(refusal->Number, number);
        EXPECT_EQ(refusal->Reason, reason);
    }
}

// A far end that goes away mid-command is a port fault, not a hang or a silent success.
TEST(ComLine, AVanishedDeviceIsAPortFault)
{
    ComLine line;
    ASSERT_EQ(Refusal(line, "19200,N,8,1"), "");
    line.Write({HangUp});
    int fault = 0;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (fault == 0 && std::chrono::steady_clock::now() < limit) {
        try {
            line.Write({'x'});
            line.Read();
        } catch (const Fault& caught) {
            fault = caught.Number;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(fault, FaultNo::DeviceNotOpen);
}
