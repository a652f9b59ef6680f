// A whole command against a unit whose answers are the fuzzer's bytes, on the virtual clock:
// nothing may crash, the command must end, and it may only succeed on an answer that says so.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "Bench.h"
#include "ScriptedUnit.h"
#include "link/Globals.h"
#include "link/PortControl.h"
#include "link/Transaction.h"

using namespace UpsLink;
using namespace UpsLink::Testing;

namespace {

// Reads the fuzzer's bytes front to back; past the end it gives zeros.
class Input {
public:
    Input(const uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
    uint8_t Byte() { return at_ < size_ ? bytes_[at_++] : 0; }
    int Word() { return Byte() | Byte() << 8; }
    std::vector<uint8_t> Take(std::size_t count)
    {
        count = std::min(count, size_ - at_);
        std::vector<uint8_t> taken(bytes_ + at_, bytes_ + at_ + count);
        at_ += count;
        return taken;
    }
    bool Done() const { return at_ >= size_; }

private:
    const uint8_t* bytes_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size)
{
    Input input(bytes, size);
    SimBench<ScriptedUnit> bench;
    InitPort("19200", "N", 8, 1, "1");

    const bool ackMode = input.Byte() & 1;
    const int expectedCode = ackMode ? 9 : input.Byte();
    // Up to six answers of up to four pieces, each at its own offset (up to 8 s) after the write.
    for (int copy = 0; copy < 6 && !input.Done(); ++copy) {
        std::vector<Emission> answer;
        for (int piece = input.Byte() % 5; piece > 0; --piece) {
            const double offsetMs = input.Word() % 8000;
            answer.push_back({offsetMs, input.Take(static_cast<std::size_t>(input.Word() % 1500))});
        }
        bench.unit.Then(std::move(answer));
    }

    const bool accepted = Send({0x78, 0x01, 0x00, 0x10}, expectedCode, ackMode);

    const auto& writes = bench.port.Frames();
    if (writes.empty() || writes.size() > 6) std::abort();
    for (const auto& frame : writes)
        if (frame != std::vector<uint8_t>{0xAB, 0x04, 0x78, 0x01, 0x00, 0x10, 0xC8}) std::abort();
    for (const std::string& line : bench.shell.Board)
        if (line != "9 Subscript out of range 4") std::abort();
    if (accepted) {
        const int code =
            ackMode ? (RxBuffer[1] == 9 ? RxBuffer[4] : 0) : (RxBuffer[1] == 9 ? ReplyData.at(0) : RxBuffer[1]);
        const bool success = code == expectedCode || (ackMode && (code == 0x31 || code == 0x32));
        if (!success) std::abort();
    }
    return 0;
}
