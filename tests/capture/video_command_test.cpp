// Which names are videos, and the command line ffmpeg is given.
#include <gtest/gtest.h>

#include <filesystem>

#include "capture/video_command.h"

namespace {

namespace fs = std::filesystem;

TEST(VideoCommand, VideoNamesGoByTheLastExtensionOfTheFileOnly)
{
    for (const char* video : {"demo.mp4", "DEMO.MKV", "a.b.mov", "out/demo.webm"}) EXPECT_TRUE(IsVideoPath(video)) << video;
    for (const char* folder : {"frames", "mp4", "out.mp4/frames", "demo.mp4.png", "demo."}) EXPECT_FALSE(IsVideoPath(folder)) << folder;
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
    EXPECT_NE(webm.find("-video_size 97x71"), std::string::npos) << webm;
    EXPECT_NE(webm.find("format=yuv420p,pad=98:72:0:0:black"), std::string::npos) << webm;
}

TEST(VideoCommand, TheEncoderTakesThePictureAndAddsTheBarsAfterConverting)
{
    std::string text;
    for (const std::string& argument : EncoderCommand("ffmpeg", "a.mp4", FitPicture(960, 720, 1280, 720), 60, "t"))
        text += argument + " ";
    // Only the picture crosses the pipe; the bars are a fill in YUV, where they cost nothing to convert.
    EXPECT_NE(text.find("-video_size 960x720"), std::string::npos) << text;
    const size_t converted = text.find("format=yuv420p"), padded = text.find("pad=1280:720:160:0:black");
    ASSERT_NE(padded, std::string::npos) << text;
    EXPECT_LT(converted, padded) << text;
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
