#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "common/FilePath.h"

namespace UpsLink::Testing {

// A configuration file's bytes, scrambled with the key written out here, not taken from the code.
inline std::string Scrambled(std::string plain)
{
    for (std::size_t p = 0; p < plain.size(); ++p) plain[p] = static_cast<char>(plain[p] + "K1n4jolt7"[(p + 1) % 9]);
    return plain;
}

// A folder of its own under the system's temporary folder, on any system.
inline std::string FreshFolder()
{
    std::random_device random;
    for (;;) {
        const auto dir = std::filesystem::temp_directory_path() / ("zentrel-" + std::to_string(random()));
        if (std::filesystem::create_directory(dir)) return FileName(dir);
    }
}

// A fresh folder for one test's files, removed with them afterwards. Names are kept as the program
// keeps them (common/FilePath.h).
struct FileFolder {
    std::string Dir = FreshFolder();
    ~FileFolder() { std::filesystem::remove_all(FilePath(Dir)); }
    std::string Path(const std::string& name) const { return FileName(FilePath(Dir) / FilePath(name)); }
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(FilePath(Path(name)), std::ios::binary) << bytes;
        return Path(name);
    }
};

inline const std::string WorkedExample = "12,00FF00FF00FF00FF00FF00FF00FF00FF;\r\n13,1F4;\r\n";

}  // namespace UpsLink::Testing
