#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/LineFile.h"

using namespace UpsLink;

// A line that cannot be written is told once, with the file and the reason; the lines that can be
// written still are.
TEST(LineFile, AWriteFailureIsToldOnceWithTheFileAndTheReason)
{
    const std::string kept = ::testing::TempDir() + "zentrel-linefile-test.log";
    std::remove(kept.c_str());
    const struct { std::string path, what, failure, written; } cases[] = {
        {"/dev/full", "log", "cannot write log file /dev/full: No space left on device", ""},
        {"/dev/full", "trace", "cannot write trace file /dev/full: No space left on device", ""},
        {kept, "log", "", "first\nsecond\n"}};
    for (const auto& c : cases) {
        std::string refusal;
        const auto file = LineFile::OpenNamed(c.path, c.what, refusal);
        ASSERT_TRUE(file) << refusal;
        file->WriteLine("first");
        const std::string afterFirst = file->TakeWriteFailure();
        file->WriteLine("second");
        const std::string afterSecond = file->TakeWriteFailure();
        std::stringstream written;
        if (c.path == kept) written << std::ifstream(kept).rdbuf();
        EXPECT_EQ(std::tuple(afterFirst, afterSecond, written.str()), std::tuple(c.failure, "", c.written)) << c.path;
    }
    std::remove(kept.c_str());
}
