// Finding ffmpeg.exe the way Windows' command interpreter would.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/command_line.h"
#include "platform/find_on_path.h"
#include "platform/process.h"

namespace {

namespace fs = std::filesystem;

TEST(FindOnPath, SemicolonsQuotesAndTheExeSuffixAsCmdTakesThem)
{
    const fs::path root = fs::temp_directory_path() / "find-on-path-test";
    fs::remove_all(root);
    for (const char* folder : {"empty", "folder\\ffmpeg.exe", "with space"}) fs::create_directories(root / folder);
    std::ofstream(root / "with space" / "ffmpeg.exe") << "MZ";

    // A folder named like the program is passed over; a quoted folder with a blank is searched.
    const std::string path = (root / "empty").string() + ";;" + (root / "folder").string() + ";\"" +
                             (root / "with space").string() + "\"";
    EXPECT_EQ(FindOnPath("ffmpeg", path), (root / "with space" / "ffmpeg.exe").string());
    EXPECT_EQ(FindOnPath("ffmpeg.exe", path), (root / "with space" / "ffmpeg.exe").string());
    EXPECT_EQ(FindOnPath("ffmpeg", (root / "empty").string()), "");
    EXPECT_EQ(FindOnPath("ffmpeg", ""), "");

    // One unzipped beside the program comes before the PATH's.
    const fs::path beside = fs::path(RunningProgram(CommandLineOf(nullptr).executable)).parent_path() / "ffmpeg.exe";
    std::ofstream(beside) << "MZ";
    EXPECT_EQ(FindOnPath("ffmpeg", path), beside.string());
    EXPECT_EQ(FindOnPath("ffmpeg", ""), beside.string());
    fs::remove(beside);
    fs::remove_all(root);
}

}  // namespace
