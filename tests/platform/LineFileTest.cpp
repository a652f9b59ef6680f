#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "config/ScrambledFiles.h"
#include "platform/LineFile.h"

using namespace UpsLink;
using namespace UpsLink::Testing;

// A line that cannot be written is told once, with the file and the reason; the lines that can be
// written still are.
TEST(LineFile, AWriteFailureIsToldOnceWithTheFileAndTheReason)
{
    const FileFolder folder;
    const struct { std::string path, what, failure, written; } cases[] = {
#ifndef _WIN32
        {"/dev/full", "log", "cannot write log file /dev/full: No space left on device", ""},
        {"/dev/full", "trace", "cannot write trace file /dev/full: No space left on device", ""},
#endif
        {folder.Path("zentrel.log"), "log", "", "first\nsecond\n"},
        {folder.Path("zentrel-Ωμέγα.trace"), "trace", "", "first\nsecond\n"}};
    for (const auto& c : cases) {
        std::string refusal;
        const auto file = LineFile::OpenNamed(c.path, c.what, refusal);
        ASSERT_TRUE(file) << refusal;
        file->WriteLine("first");
        const std::string afterFirst = file->TakeWriteFailure();
        file->WriteLine("second");
        const std::string afterSecond = file->TakeWriteFailure();
        std::stringstream written;
        if (c.failure.empty()) written << std::ifstream(FilePath(c.path)).rdbuf();
        EXPECT_EQ(std::tuple(afterFirst, afterSecond, written.str()), std::tuple(c.failure, "", c.written)) << c.path;
    }
}
