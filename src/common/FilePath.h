#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace UpsLink {

// The program keeps a file name as a std::string: UTF-8 on Windows, whose narrow names reach only
// the characters of one code page; the file system's own bytes elsewhere.

// The path a kept name stands for.
std::filesystem::path FilePath(const std::string& name);
// A path, or a part of one, as a kept name.
std::string FileName(const std::filesystem::path& path);
// std::fopen of a kept name.
std::FILE* OpenFile(const std::string& name, const char* mode);

}  // namespace UpsLink
