#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace UpsLink::Testing {

// A configuration file's bytes, scrambled with the key written out here, not taken from the code.
inline std::string Scrambled(std::string plain)
{
    for (std::size_t p = 0; p < plain.size(); ++p) plain[p] = static_cast<char>(plain[p] + "K1n4jolt7"[(p + 1) % 9]);
    return plain;
}

// A fresh folder for one test's files, removed with them afterwards.
struct FileFolder {
    std::string Dir = (std::filesystem::temp_directory_path() / "zentrel-XXXXXX").string();
    bool Made = ::mkdtemp(Dir.data()) != nullptr;
    ~FileFolder() { std::filesystem::remove_all(Dir); }
    std::string Path(const std::string& name) const { return Dir + "/" + name; }
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(Path(name), std::ios::binary) << bytes;
        return Path(name);
    }
};

inline const std::string WorkedExample = "12,00FF00FF00FF00FF00FF00FF00FF00FF;\r\n13,1F4;\r\n";

}  // namespace UpsLink::Testing
