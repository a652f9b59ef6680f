#include "FileBytes.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "common/FilePath.h"

namespace ZentrelPack {

namespace {
std::runtime_error FileError(const std::string& what, const std::string& path)
{
    return std::runtime_error("cannot " + what + " " + path + ": " + std::strerror(errno));
}
}  // namespace

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream file(UpsLink::FilePath(path), std::ios::binary);
    if (!file) throw FileError("open", path);
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) throw FileError("read", path);
    return bytes;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(UpsLink::FilePath(path), std::ios::binary | std::ios::trunc);
    if (!file) throw FileError("create", path);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) throw FileError("write", path);
}

}  // namespace ZentrelPack
