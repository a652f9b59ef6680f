#include "FilePath.h"

namespace UpsLink {

std::filesystem::path FilePath(const std::string& name)
{
#ifdef _WIN32
    return std::u8string(name.begin(), name.end());
#else
    return name;
#endif
}

std::string FileName(const std::filesystem::path& path)
{
#ifdef _WIN32
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
#else
    return path.string();
#endif
}

std::FILE* OpenFile(const std::string& name, const char* mode)
{
#ifdef _WIN32
    // Through the wide name: the narrow one would be read in the code page.
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return ::_wfopen(FilePath(name).c_str(), wideMode.c_str());
#else
    return std::fopen(name.c_str(), mode);
#endif
}

}  // namespace UpsLink
