// Finding ffmpeg the way a shell would.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/find_on_path.h"

namespace {

namespace fs = std::filesystem;

TEST(VideoCommand, FindsTheFirstExecutableFileOnThePath)
{
    const fs::path root = fs::temp_directory_path() / ("video-command-" + std::to_string(getpid()));
    fs::remove_all(root);
    for (const char* folder : {"plain", "folder/ffmpeg", "real"}) fs::create_directories(root / folder);
    std::ofstream(root / "plain/ffmpeg") << "not executable";
    std::ofstream(root / "real/ffmpeg") << "#!/bin/sh\n";
    fs::permissions(root / "real/ffmpeg", fs::perms::owner_all);

    // A file without the execute bit and a folder of that name are passed over, as a shell does.
    const std::string path = (root / "plain").string() + "::" + (root / "folder").string() + ":" + (root / "real").string();
    EXPECT_EQ(FindOnPath("ffmpeg", path), (root / "real/ffmpeg").string());
    EXPECT_EQ(FindOnPath("ffmpeg", (root / "plain").string()), "");
    EXPECT_EQ(FindOnPath("ffmpeg", ""), FindOnPath("ffmpeg", ".")) << "an empty PATH entry is the working folder";
    fs::remove_all(root);
}

}  // namespace
