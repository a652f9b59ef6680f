#pragma once

#include <QTemporaryDir>
#include <fstream>
#include <string>
#include <string_view>

namespace UpsLink::Testing {

// A configuration file's bytes as an engineer would prepare them, scrambled here with the key
// written out again, independently of the code under test.
inline std::string Scrambled(std::string_view plain)
{
    static constexpr char key[] = "K1n4jolt7";
    std::string bytes(plain);
    for (std::size_t p = 0; p < bytes.size(); ++p) bytes[p] = static_cast<char>(bytes[p] + key[(p + 1) % 9]);
    return bytes;
}

// A fresh folder for one test's files, removed with everything in it afterwards.
class FileFolder {
public:
    std::string Path(const std::string& name) const
    {
        return dir_.filePath(QString::fromStdString(name)).toStdString();
    }
    std::string Write(const std::string& name, std::string_view bytes) const
    {
        std::ofstream(Path(name), std::ios::binary) << bytes;
        return Path(name);
    }
    std::string WriteConfig(const std::string& name, std::string_view plain) const
    {
        return Write(name, Scrambled(plain));
    }

private:
    QTemporaryDir dir_;
};

// The worked example: record 12 with 00FF eight times, record 13 with 1F4, CR LF line breaks.
inline const std::string WorkedExample = "12,00FF00FF00FF00FF00FF00FF00FF00FF;\r\n13,1F4;\r\n";

// The largest file the loader reads: 32,765 bytes of 6,553 records.
inline std::string LargestFile()
{
    std::string text;
    while (text.size() < 32765) text += "1,AB;";
    return text;
}

}  // namespace UpsLink::Testing
