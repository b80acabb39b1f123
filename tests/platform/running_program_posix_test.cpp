#include <gtest/gtest.h>

#include <filesystem>

#include "platform/process.h"

namespace {

TEST(RunningProgram, IsTheFileNotTheLinkItWasCalledBy)
{
    // This test program reached through /proc: the resolved file, whatever argv[0] says.
    EXPECT_EQ(RunningProgram("/some/link/name"), std::filesystem::read_symlink("/proc/self/exe").string());
}

}  // namespace
