// Which names are videos, and finding ffmpeg the way a shell would.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "host/video_command.h"

namespace {

namespace fs = std::filesystem;

TEST(VideoCommand, VideoNamesGoByTheLastExtensionOfTheFileOnly)
{
    for (const char* video : {"demo.mp4", "DEMO.MKV", "a.b.mov", "out/demo.webm"}) EXPECT_TRUE(IsVideoPath(video)) << video;
    for (const char* folder : {"frames", "mp4", "out.mp4/frames", "demo.mp4.png", "demo."}) EXPECT_FALSE(IsVideoPath(folder)) << folder;
}

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

TEST(VideoCommand, EachContainerGetsItsCodecAndOddSidesArePadded)
{
    auto joined = [](const std::vector<std::string>& arguments) {
        std::string text;
        for (const std::string& argument : arguments) text += argument + " ";
        return text;
    };
    // The video goes to a temporary name first, which says nothing of the format.
    const std::string mp4 = joined(EncoderCommand("ffmpeg", "a.mp4", 1280, 720, 60, "a.mp4.1.part"));
    EXPECT_NE(mp4.find("-f mp4 -y a.mp4.1.part"), std::string::npos) << mp4;
    EXPECT_EQ(mp4.find("pad="), std::string::npos);
    const std::string webm = joined(EncoderCommand("ffmpeg", "a.webm", 97, 71, 25, "t"));
    EXPECT_NE(webm.find("-c:v libvpx-vp9"), std::string::npos) << webm;
    EXPECT_NE(webm.find("pad=ceil(iw/2)*2:ceil(ih/2)*2"), std::string::npos) << webm;
}

TEST(VideoCommand, EveryFileNameReachesFfmpegAsAFile)
{
    // A colon would name a protocol, a leading '-' an option.
    for (const char* name : {"take-12:30.mp4", "file:clip.mp4", "-x.mp4"}) {
        const std::string given = EncoderFileName(name);
        EXPECT_EQ(given, "file:" + (fs::current_path() / name).string()) << name;
    }
}

}  // namespace
