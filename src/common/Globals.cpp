#include "Globals.h"

namespace UpsLink {

namespace {
constexpr char FileKeyText[] = "K1n4jolt7";
static_assert(sizeof FileKeyText - 1 == 9, "the file key has nine characters");
}  // namespace

std::string BaudRate;
std::string Parity;
int16_t DataBits;
int16_t StopBits;
std::string PortNumber;

bool Connected;
std::array<uint8_t, RxBufferSize> RxBuffer;
std::vector<uint8_t> ReplyData;
std::vector<uint8_t> CommandData;
int32_t SendTime;
int16_t ReplyTimeout;

int16_t UpsType;
std::array<float, 6> CpuVersion;
int16_t ConfigBlockLength;
std::string SupportedCommands;
std::string SelectedModule;
std::vector<int16_t> ModuleList;
std::vector<int16_t> ModulePath;

std::vector<uint8_t> FileImage;
std::array<uint8_t, 9> FileKey;
int16_t ConfigFileNumber;
std::string ConfigFileTitle;
std::string ShownFileTitle;
std::vector<int16_t> RecordNumbers;
std::vector<std::string> RecordData;

void InitGlobals()
{
    // Start-up passes the same defaults to InitPort again; fixtures rely on these.
    BaudRate = "19200";
    Parity = "N";
    DataBits = 8;
    StopBits = 1;
    PortNumber = "1";

    Connected = false;
    RxBuffer.fill(0);
    ReplyData.assign(1, 0);
    CommandData.clear();
    SendTime = 0;
    ReplyTimeout = 3;

    UpsType = 0;
    CpuVersion.fill(0.0F);
    ConfigBlockLength = 0;
    SupportedCommands.clear();
    SelectedModule = "0";
    ModuleList.clear();
    ModulePath.assign(1, 0);

    FileImage.assign(1, 0);
    for (std::size_t i = 0; i < FileKey.size(); ++i) FileKey[i] = static_cast<uint8_t>(FileKeyText[i]);
    ConfigFileNumber = 0;
    ConfigFileTitle.clear();
    ShownFileTitle.clear();
    RecordNumbers.clear();
    RecordData.clear();
}

}  // namespace UpsLink
