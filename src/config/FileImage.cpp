#include "FileImage.h"

#include "common/Fault.h"

namespace UpsLink {

bool ReadImage(std::istream& file, std::vector<uint8_t>& image)
{
    image.clear();
    for (int readCount = 1;; ++readCount) {
        if (readCount > MaxConfigFileBytes + 1) return false;
        image.resize(static_cast<std::size_t>(readCount) + 1);
        const auto byte = file.get();
        if (file.bad()) throw Fault(FaultNo::PathFileAccessError);
        if (byte == std::istream::traits_type::eof()) return true;
        image[static_cast<std::size_t>(readCount) - 1] = static_cast<uint8_t>(byte);
    }
}

}  // namespace UpsLink
