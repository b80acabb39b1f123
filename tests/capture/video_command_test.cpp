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

std::string Joined(const std::vector<std::string>& arguments)
{
    std::string text;
    for (const std::string& argument : arguments) text += argument + " ";
    return text;
}

std::string Command(const char* path, int width, int height, int fps, const VideoEncoding& encoding)
{
    return Joined(EncoderCommand("ffmpeg", path, width, height, fps, "t", false, encoding));
}

TEST(VideoCommand, EachQualityDeclaresItsProfileAndLevelAndCapsTheRateWithinIt)
{
    const VideoEncoding share{VideoQuality::Share}, master{VideoQuality::Master};
    // The default video: 1280x720 at 60 fps.
    const std::string shared = Command("a.mp4", 1280, 720, 60, share);
    for (const char* part : {"-pix_fmt yuv420p", "-preset ultrafast -tune ssim -x264-params cabac=1:bframes=3:b-adapt=0:"
                             "deblock=0,0:8x8dct=1:partitions=i8x8 -profile:v high -level:v 3.2 -crf 21 "
                             "-maxrate 20000k -bufsize 20000k", "-movflags +faststart"})
        EXPECT_NE(shared.find(part), std::string::npos) << part << " in " << shared;
    const std::string mastered = Command("a.mov", 1280, 720, 60, master);
    EXPECT_NE(mastered.find("-preset ultrafast -level:v 4.1 -crf 14 -maxrate 50000k -bufsize 50000k"), std::string::npos)
        << mastered;
    EXPECT_EQ(mastered.find("-profile:v"), std::string::npos) << "ultrafast's stream is Constrained Baseline";
    EXPECT_EQ(mastered.find("-x264-params"), std::string::npos) << mastered;
    EXPECT_EQ(Command("a.mkv", 1280, 720, 60, share).find("faststart"), std::string::npos) << "an mp4 and mov flag only";

    // The cap and the level follow the frame's size and rate.
    EXPECT_NE(Command("a.mp4", 1920, 1080, 60, share).find("-level:v 4.2 -crf 21 -maxrate 45000k"), std::string::npos);
    EXPECT_NE(Command("a.mp4", 1920, 1080, 30, share).find("-level:v 4.0 -crf 21 -maxrate 22500k"), std::string::npos);
    EXPECT_NE(Command("a.mp4", 640, 480, 30, share).find("-level:v 3.0 -crf 21 -maxrate 3333k"), std::string::npos);
    // A tiny frame still gets a cap its busiest frames fit in.
    EXPECT_NE(Command("a.mp4", 64, 48, 10, share).find("-maxrate 1000k -bufsize 1000k"), std::string::npos);
    // Beyond every level: no level is claimed, but the rate is still capped.
    const std::string huge = Command("a.mp4", 8192, 8192, 1000, master);
    EXPECT_EQ(huge.find("-level"), std::string::npos) << huge;
    EXPECT_NE(huge.find("-maxrate"), std::string::npos) << huge;
}

TEST(VideoCommand, ACrfOrARateOfTheUsersOwnKeepsTheLevelsCap)
{
    const std::string crf = Command("a.mp4", 1280, 720, 60, {VideoQuality::Share, 1, 0});
    EXPECT_NE(crf.find("-level:v 3.2 -crf 1 -maxrate 20000k -bufsize 20000k"), std::string::npos) << crf;
    // A rate within the quality's cap keeps the cap; a higher one raises it, and the level with it.
    const std::string rate = Command("a.mp4", 1280, 720, 60, {VideoQuality::Share, 0, 6000});
    EXPECT_NE(rate.find("-level:v 3.2 -b:v 6000k -maxrate 20000k"), std::string::npos) << rate;
    EXPECT_EQ(rate.find("-crf"), std::string::npos) << rate;
    const std::string high = Command("a.mp4", 1280, 720, 60, {VideoQuality::Share, 0, 40000});
    EXPECT_NE(high.find("-level:v 4.1 -b:v 40000k -maxrate 60000k -bufsize 60000k"), std::string::npos) << high;
    const std::string webm = Command("a.webm", 1280, 720, 60, {VideoQuality::Master, 25, 0});
    EXPECT_NE(webm.find("-c:v libvpx-vp9 -crf 25 -b:v 0"), std::string::npos) << webm;
}

TEST(VideoQuality, EveryChosenLevelHoldsTheFrameTheRateAndTheCap)
{
    // Over sizes and rates from the smallest to the largest the options allow, whatever level is
    // chosen must hold the frame and the cap; only a frame no level holds may go without one.
    for (const VideoQuality quality : {VideoQuality::Share, VideoQuality::Master}) {
        for (const int side : {16, 100, 320, 720, 1080, 2160, 4096, 8192}) {
            for (const int fps : {1, 24, 30, 60, 120, 1000}) {
                const int width = side * 16 / 9 / 2 * 2 > 8192 ? 8192 : side * 16 / 9 / 2 * 2;
                const X264Settings x264 = ChooseX264({quality}, width, side, fps);
                const std::string where = std::to_string(width) + "x" + std::to_string(side) + "@" + std::to_string(fps);
                if (x264.levelIdc == 0) {
                    EXPECT_EQ(LevelFor(width, side, fps, 1000, 1000, x264.highProfile), 0) << where << ": the cap cost it its level";
                    continue;
                }
                EXPECT_EQ(LevelFor(width, side, fps, x264.maxrateKbps, x264.bufsizeKbits, x264.highProfile), x264.levelIdc);
                // The cap over one second is the buffer plus a second of the rate.
                EXPECT_LE(1000.0 * (x264.maxrateKbps + x264.bufsizeKbits), LevelCapBits(x264.levelIdc, x264.highProfile, 1.0))
                    << where;
                EXPECT_GE(x264.maxrateKbps, 1000) << where;
            }
        }
    }
    // The limits themselves: 1280x720 at 60 fps is exactly level 3.2's macroblock rate.
    EXPECT_EQ(LevelFor(1280, 720, 60, 1000, 1000, true), 32);
    EXPECT_EQ(LevelFor(1280, 720, 61, 1000, 1000, true), 40);
    EXPECT_EQ(LevelFor(1280, 720, 60, 25000, 25000, true), 32);
    EXPECT_EQ(LevelFor(1280, 720, 60, 25000, 25000, false), 41) << "Baseline carries a fifth less than High";
    EXPECT_EQ(LevelFor(8192, 16, 1, 1000, 1000, true), 51) << "a long thin frame needs a level for its longest side";
    EXPECT_DOUBLE_EQ(LevelCapBits(32, true, 10.0), 1.25 * (20000 + 200000) * 1000);
    EXPECT_DOUBLE_EQ(LevelCapBits(33, true, 1.0), 0);
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
