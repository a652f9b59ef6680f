#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "Unit.h"

namespace UpsLink {

// One processor entry of the identification block, as the unit sends it.
struct CpuEntry {
    uint8_t Minor = 0;
    uint8_t Major = 0;
};

// Everything a simulated unit can be told to be or to do wrong.
struct UpsModelConfig {
    // Identity.
    int TypeCode = 280;        // answer to 36 while the link talks to the UPS
    int ModuleTypeCode = 281;  // answer to 36 after a module select
    std::vector<uint8_t> Commands{0x40, 0xA0, 0x36, 0xCE, 0x78, 0xCF, 0xFF};  // reply to 40, from data index 2
    std::vector<CpuEntry> Cpus{{0x23, 0x01}};  // in block order: the first goes to CpuVersion(N)
    uint8_t Rating = 10;                       // 0: an extended rating follows
    uint16_t ExtendedRating = 0;
    std::string Text = "ZENTREL SIM UPS";
    std::vector<uint8_t> MeterMap{1, 2, 3};
    std::vector<uint8_t> AlarmMap{4, 5};  // its last byte is sent as ConfigBlockLength's low byte
    uint16_t ConfigBlockLength = 0x0140;  // with an empty alarm map only the high byte comes back
    std::vector<uint8_t> StatisticsMap{6};
    int IdentificationCut = 0;  // bytes left off the end of the identification block

    // Modules behind the UPS (any number; an empty list answers 31 00 00 alone), and the hop
    // addresses of path addressing.
    std::vector<uint8_t> Modules{2, 5};
    uint8_t FirstHop = 0x04;
    uint8_t SecondHop = 0x01;

    // Faults.
    int BusyFirstFrames = 0;  // answer 0x33 to the first k frames that want an answer
    bool BusyAlways = false;
    bool Silent = false;        // never answer anything
    double BusyPercent = 0;     // answer 0x33 to about this share of them, drawn from Seed
    double LateMs = 0;          // every answer starts this much later, or, with LatePercent, ...
    std::optional<double> LatePercent;  // ... about this share of them up to this much, drawn from Seed
    unsigned Seed = 1;          // of the busy and late draws, so that a run can be repeated
    int StallAfterBytes = 0;    // pause after this many bytes of an answer ...
    double StallMs = 0;         // ... for this long
    int BadChecksumReply = 0;   // 1-based number of the answer sent with a wrong checksum
    int StrayByteReply = 0;     // 1-based number of the answer preceded by a stray byte
    int RefuseRecord = -1;      // this record number is refused ...
    uint8_t RefuseCode = 0x34;  // ... with this code (0x34 to 0x37)
    double AnswerDelayMs = 20;  // the unit's own turnaround before it starts answering
};

// The far end of the cable: parses command frames, answers as the protocol says, keeps an
// EEPROM of written records, switches to a module after a module select, and logs every frame.
//
// Frames may arrive split or several at once; bytes before a start marker are line noise and
// dropped; a frame with a wrong checksum is logged and not answered. FF, CF and FF 06 08 62 are
// never answered. A command byte the unit does not know gets 0x34; a module request with an
// unknown path, or a select of a module not fitted, gets 0x35; a configuration write of the wrong
// length gets 0x36. The command list reported to 40 is only data: every command is answered
// whether listed or not. A module select (of a fitted module, or 0 for the UPS itself) is
// answered with an acknowledgement carrying 9, the code the program awaits, so a select costs
// one read. The EEPROM holds the records written, whichever unit took them. Answers never
// overlap: each starts after the previous one has left the line.
class UpsModel : public Unit {
public:
    struct LogEntry {
        double AtMs;
        char Direction;  // '>' received from the program, '<' sent to it
        std::vector<uint8_t> Bytes;
    };

    explicit UpsModel(UpsModelConfig config = {});

    std::vector<Emission> Receive(const std::vector<uint8_t>& bytes, double nowMs) override;
    void SetBaudRate(int baudRate) override;

    UpsModelConfig& Config() { return config_; }
    const std::vector<LogEntry>& Log() const { return log_; }
    // Frames received, in order (those with a wrong checksum too): the payloads only.
    std::vector<std::vector<uint8_t>> ReceivedPayloads() const;
    const std::map<int, std::vector<uint8_t>>& Eeprom() const { return eeprom_; }
    int EndCount() const { return endCount_; }        // 78 00 frames taken
    int SelectedModule() const { return selected_; }  // 0: the UPS itself

private:
    struct Reply {
        uint8_t Type;
        std::vector<uint8_t> Data;
    };

    void TakeFrame(const std::vector<uint8_t>& frame, double nowMs, std::vector<Emission>& emissions);
    Reply Perform(const std::vector<uint8_t>& payload);
    Reply ModuleRequest(const std::vector<uint8_t>& payload);
    Reply ConfigWrite(const std::vector<uint8_t>& payload);
    std::vector<uint8_t> IdentificationBlock() const;
    void Send(std::vector<uint8_t> bytes, double nowMs, std::vector<Emission>& emissions);
    bool Draw(double percent);
    std::mt19937& Random();
    double LatenessMs();

    UpsModelConfig config_;
    std::vector<LogEntry> log_;
    std::map<int, std::vector<uint8_t>> eeprom_;
    std::vector<uint8_t> partial_;  // bytes of a frame not yet complete
    int selected_ = 0;
    int endCount_ = 0;
    int answersSent_ = 0;
    int framesWantingAnswer_ = 0;
    int baudRate_ = 19200;
    double lineFreeAtMs_ = 0;  // when the last answer has left the line
    std::optional<std::mt19937> random_;  // seeded at the first draw, so Config() may still set Seed
};

}  // namespace UpsLink
