#include <gtest/gtest.h>

#include <filesystem>

#include "platform/command_line.h"
#include "platform/process.h"

namespace {

// Started from another folder, by a bare name or a relative path, the program still finds the
// folder it was unpacked in: the archive is looked for beside it.
TEST(RunningProgram, IsTheModulesOwnFileWhateverTheCommandSaid)
{
    const std::string program = RunningProgram(CommandLineOf(nullptr).executable);
    EXPECT_TRUE(std::filesystem::path(program).is_absolute()) << program;
    EXPECT_EQ(std::filesystem::path(program).filename(), "platform_tests.exe");
    EXPECT_TRUE(std::filesystem::is_regular_file(program)) << program;
}

}  // namespace
