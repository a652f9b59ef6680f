#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace UpsLink::Testing {

// Configuration files as an engineer would prepare them, scrambled here with the key written out
// again, independently of the code under test.
inline std::vector<uint8_t> ScrambledBytes(std::string_view plain)
{
    static constexpr char key[] = "K1n4jolt7";
    std::vector<uint8_t> bytes(plain.size());
    for (std::size_t p = 0; p < plain.size(); ++p)
        bytes[p] = static_cast<uint8_t>(static_cast<uint8_t>(plain[p]) + static_cast<uint8_t>(key[(p + 1) % 9]));
    return bytes;
}

// A fresh folder for one test's files, removed with everything in it afterwards.
class FileFolder {
public:
    FileFolder()
    {
        path_ = std::filesystem::temp_directory_path() /
                ("zentrel-config-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        std::filesystem::create_directories(path_);
    }
    ~FileFolder() { std::filesystem::remove_all(path_); }
    FileFolder(const FileFolder&) = delete;
    FileFolder& operator=(const FileFolder&) = delete;

    std::string Path(const std::string& name) const { return (path_ / name).string(); }

    std::string WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        std::ofstream file(Path(name), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return Path(name);
    }
    std::string WriteConfig(const std::string& name, std::string_view plain) const
    {
        return WriteBytes(name, ScrambledBytes(plain));
    }

private:
    static inline int counter_ = 0;
    std::filesystem::path path_;
};

// The worked example: record 12 with 00FF eight times, record 13 with 1F4, CR LF line breaks.
inline const std::string WorkedExample = "12,00FF00FF00FF00FF00FF00FF00FF00FF;\r\n13,1F4;\r\n";

}  // namespace UpsLink::Testing
