#include "UpsModel.h"

#include <algorithm>

#include "link/Protocol.h"

namespace UpsLink {

namespace {

constexpr uint8_t StrayByte = 0x00;


// The unit's own sum, written apart from the program's so that each checks the other.
uint8_t SumComplement(const uint8_t* bytes, std::size_t count)
{
    unsigned sum = 0;
    for (std::size_t i = 0; i < count; ++i) sum += bytes[i];
    return static_cast<uint8_t>(0x100 - (sum & 0xFF));
}

// The seven trailing fields of the identification block, 12 bytes from V to V + 11.
constexpr uint8_t TrailingFields[] = {0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x05, 0x00, 0x06, 0x00, 0x07};

uint8_t Low(int value)
{
    return static_cast<uint8_t>(value & 0xFF);
}
uint8_t High(int value)
{
    return static_cast<uint8_t>((value >> 8) & 0xFF);
}

// A length byte followed by at most 255 bytes.
template <class Bytes>
void AppendCounted(std::vector<uint8_t>& block, const Bytes& bytes)
{
    const std::size_t count = std::min<std::size_t>(bytes.size(), 0xFF);
    block.push_back(static_cast<uint8_t>(count));
    block.insert(block.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

// The reply as blocks of at most 140 data bytes, numbered from 1, the last one marked.
std::vector<uint8_t> Blocks(uint8_t type, const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> bytes;
    std::size_t offset = 0;
    uint8_t number = 1;
    do {
        const std::size_t length = std::min<std::size_t>(MaxBlockData, data.size() - offset);
        const std::size_t start = bytes.size();
        const bool last = offset + length == data.size();
        bytes.insert(bytes.end(), {StartMarker, type, static_cast<uint8_t>(length),
                                   static_cast<uint8_t>(number | (last ? LastBlockBit : 0))});
        bytes.insert(bytes.end(), data.begin() + static_cast<std::ptrdiff_t>(offset),
                     data.begin() + static_cast<std::ptrdiff_t>(offset + length));
        bytes.push_back(SumComplement(bytes.data() + start, bytes.size() - start));
        offset += length;
        ++number;
    } while (offset < data.size());
    return bytes;
}

bool WantsAnswer(const std::vector<uint8_t>& payload)
{
    return payload.empty() || (payload[0] != Command::Opening && payload[0] != Command::Access);
}

}  // namespace

UpsModel::UpsModel(UpsModelConfig config) : config_(std::move(config)) {}

void UpsModel::SetBaudRate(int baudRate)
{
    baudRate_ = baudRate;
}

std::vector<Emission> UpsModel::Receive(const std::vector<uint8_t>& bytes, double nowMs)
{
    partial_.insert(partial_.end(), bytes.begin(), bytes.end());
    std::vector<Emission> emissions;
    for (;;) {
        const auto start = std::find(partial_.begin(), partial_.end(), StartMarker);
        partial_.erase(partial_.begin(), start);
        if (partial_.size() < 2) break;
        const std::size_t frameSize = partial_[1] + 3u;
        if (partial_.size() < frameSize) break;
        const std::vector<uint8_t> frame(partial_.begin(), partial_.begin() + static_cast<std::ptrdiff_t>(frameSize));
        partial_.erase(partial_.begin(), partial_.begin() + static_cast<std::ptrdiff_t>(frameSize));
        TakeFrame(frame, nowMs, emissions);
    }
    return emissions;
}

void UpsModel::TakeFrame(const std::vector<uint8_t>& frame, double nowMs, std::vector<Emission>& emissions)
{
    log_.push_back({nowMs, '>', frame});
    if (SumComplement(frame.data(), frame.size() - 1) != frame.back()) return;
    const std::vector<uint8_t> payload(frame.begin() + 2, frame.end() - 1);
    if (!WantsAnswer(payload) || config_.Silent) return;
    ++framesWantingAnswer_;
    const bool busy =
        config_.BusyAlways || framesWantingAnswer_ <= config_.BusyFirstFrames || Draw(config_.BusyPercent);
    const Reply reply = busy ? Reply{BlockType::Ack, {AckCode::Busy}} : Perform(payload);
    Send(Blocks(reply.Type, reply.Data), nowMs, emissions);
}

UpsModel::Reply UpsModel::Perform(const std::vector<uint8_t>& payload)
{
    switch (payload.empty() ? 0 : payload[0]) {
        case Command::CommandList: {
            std::vector<uint8_t> data{static_cast<uint8_t>(std::min<std::size_t>(config_.Commands.size(), 0xFF)), 0};
            data.insert(data.end(), config_.Commands.begin(), config_.Commands.end());
            return {BlockType::CommandList, data};
        }
        case Command::Identification: return {BlockType::Identification, IdentificationBlock()};
        case Command::TypeCode: {
            const int code = selected_ ? config_.ModuleTypeCode : config_.TypeCode;
            return {BlockType::TypeCode, {Low(code), High(code)}};
        }
        case Command::Module: return ModuleRequest(payload);
        case Command::ConfigWrite: return ConfigWrite(payload);
        default: return {BlockType::Ack, {AckCode::Unrecognized}};
    }
}

// CE, the path, then FF for the list or a module number for a select. The path is 00 in direct
// addressing; in path addressing it is empty for the first hop, the first hop address for the
// second, and both addresses for the module list and the select.
UpsModel::Reply UpsModel::ModuleRequest(const std::vector<uint8_t>& payload)
{
    if (payload.size() < 2) return {BlockType::Ack, {AckCode::Invalid}};
    const std::vector<uint8_t> path(payload.begin() + 1, payload.end() - 1);
    const std::vector<uint8_t> direct{0};
    const std::vector<uint8_t> fullPath{config_.FirstHop, config_.SecondHop};
    const uint8_t last = payload.back();

    if (last == Command::ListModules) {
        std::vector<uint8_t> data{AckCode::Accepted, 0, 0};
        if (path == direct || path == fullPath)
            data.insert(data.end(), config_.Modules.begin(), config_.Modules.end());
        else if (path.empty())
            data.push_back(config_.FirstHop);
        else if (path == std::vector<uint8_t>{config_.FirstHop})
            data.push_back(config_.SecondHop);
        else
            return {BlockType::Ack, {AckCode::OutOfRange}};
        return {BlockType::Ack, data};
    }
    if (path != direct && path != fullPath) return {BlockType::Ack, {AckCode::OutOfRange}};
    const bool fitted = std::find(config_.Modules.begin(), config_.Modules.end(), last) != config_.Modules.end();
    if (last != 0 && !fitted) return {BlockType::Ack, {AckCode::OutOfRange}};
    selected_ = last;
    return {BlockType::Ack, {AckCode::Selected}};
}

// 78 00 ends an update; 78, record number and 2 or 16 data bytes write one record.
UpsModel::Reply UpsModel::ConfigWrite(const std::vector<uint8_t>& payload)
{
    if (payload.size() == 2 && payload[1] == Command::ConfigWriteEnd) {
        ++endCount_;
        return {BlockType::Ack, {AckCode::Accepted}};
    }
    if (payload.size() != 4 && payload.size() != 18) return {BlockType::Ack, {AckCode::Invalid}};
    const int record = payload[1];
    if (record == config_.RefuseRecord) return {BlockType::Ack, {config_.RefuseCode}};
    eeprom_[record].assign(payload.begin() + 2, payload.end());
    return {BlockType::Ack, {AckCode::Accepted}};
}

// Laid out for the program's walk: N, the processor entries (minor, major), the rating (and an
// extended rating when it is 0), two spare bytes, the text, the meter map, the alarm map, the
// configuration block length, the statistics map and the seven trailing fields.
std::vector<uint8_t> UpsModel::IdentificationBlock() const
{
    std::vector<uint8_t> block;
    block.push_back(static_cast<uint8_t>(std::min<std::size_t>(config_.Cpus.size(), 0xFF)));
    for (std::size_t i = 0; i < block[0]; ++i)
        block.insert(block.end(), {config_.Cpus[i].Minor, config_.Cpus[i].Major});
    block.push_back(config_.Rating);
    if (config_.Rating == 0) block.insert(block.end(), {Low(config_.ExtendedRating), High(config_.ExtendedRating)});
    block.insert(block.end(), {0, 0});
    AppendCounted(block, config_.Text);
    AppendCounted(block, config_.MeterMap);

    // The walk reads the configuration block length's low byte where the alarm map ends: at its
    // last byte, or at the map's length byte when the map is empty. So the last alarm byte sent
    // is the length's low byte (the configured one is not sent), and with an empty map the
    // length read back is 256 times its high byte.
    const std::size_t alarms = std::min<std::size_t>(config_.AlarmMap.size(), 0xFF);
    block.push_back(static_cast<uint8_t>(alarms));
    if (alarms > 0) {
        block.insert(block.end(), config_.AlarmMap.begin(),
                     config_.AlarmMap.begin() + static_cast<std::ptrdiff_t>(alarms - 1));
        block.push_back(Low(config_.ConfigBlockLength));
    }
    block.push_back(High(config_.ConfigBlockLength));

    AppendCounted(block, config_.StatisticsMap);
    block.insert(block.end(), std::begin(TrailingFields), std::end(TrailingFields));
    // A block cut short still carries one byte, so it is still a valid reply.
    const std::size_t cut =
        static_cast<std::size_t>(std::clamp<int>(config_.IdentificationCut, 0, static_cast<int>(block.size()) - 1));
    block.resize(block.size() - cut);
    return block;
}

void UpsModel::Send(std::vector<uint8_t> bytes, double nowMs, std::vector<Emission>& emissions)
{
    ++answersSent_;
    if (answersSent_ == config_.BadChecksumReply) ++bytes[4 + bytes[2]];
    if (answersSent_ == config_.StrayByteReply) bytes.insert(bytes.begin(), StrayByte);

    const double byteMs = ByteTimeMs(baudRate_);
    const double start = std::max(nowMs + config_.AnswerDelayMs + LatenessMs(), lineFreeAtMs_);
    log_.push_back({start, '<', bytes});
    const auto split = static_cast<std::size_t>(std::max(config_.StallAfterBytes, 0));
    if (config_.StallMs > 0 && split > 0 && split < bytes.size()) {
        const double resume = start + byteMs * static_cast<double>(split) + config_.StallMs;
        emissions.push_back({start, {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(split)}});
        emissions.push_back({resume, {bytes.begin() + static_cast<std::ptrdiff_t>(split), bytes.end()}});
        lineFreeAtMs_ = resume + byteMs * static_cast<double>(bytes.size() - split);
    } else {
        emissions.push_back({start, bytes});
        lineFreeAtMs_ = start + byteMs * static_cast<double>(bytes.size());
    }
}

// Only a share strictly between none and all takes a draw, so the knobs left alone do not move
// the sequence of the others.
bool UpsModel::Draw(double percent)
{
    if (percent <= 0 || percent >= 100) return percent >= 100;
    return std::bernoulli_distribution(percent / 100)(Random());
}

double UpsModel::LatenessMs()
{
    if (!config_.LatePercent) return config_.LateMs;
    if (config_.LateMs <= 0 || !Draw(*config_.LatePercent)) return 0;
    return std::uniform_real_distribution<double>(0, config_.LateMs)(Random());
}

std::mt19937& UpsModel::Random()
{
    if (!random_) random_.emplace(config_.Seed);
    return *random_;
}

std::vector<std::vector<uint8_t>> UpsModel::ReceivedPayloads() const
{
    std::vector<std::vector<uint8_t>> payloads;
    for (const LogEntry& entry : log_)
        if (entry.Direction == '>') payloads.emplace_back(entry.Bytes.begin() + 2, entry.Bytes.end() - 1);
    return payloads;
}

}  // namespace UpsLink
