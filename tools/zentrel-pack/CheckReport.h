#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace ZentrelPack {

// Reads and parses a configuration file exactly as the loader does and writes the loader's
// verdict; for a file the loader takes, every record with the frame the update sends for it, and
// warnings about what the loader takes silently. The title is checked only when upsType is given.
// True when the loader would accept the file; throws std::runtime_error when it cannot be opened.
bool CheckFile(const std::string& path, std::optional<int> upsType, std::ostream& out);

}  // namespace ZentrelPack
