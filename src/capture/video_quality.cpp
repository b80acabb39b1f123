#include "capture/video_quality.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// The H.264 levels' limits: macroblocks a second, macroblocks a frame, the rate (kb/s) and the
// buffer (kbit) for Baseline and Main; High profile may carry a quarter more of both.
struct Level {
    int idc;
    long macroblocksPerSecond;
    int macroblocksPerFrame;
    int rateKbps, bufferKbits;
};
constexpr Level kLevels[] = {
    {10, 1485, 99, 64, 175},          {11, 3000, 396, 192, 500},        {12, 6000, 396, 384, 1000},
    {13, 11880, 396, 768, 2000},      {20, 11880, 396, 2000, 2000},     {21, 19800, 792, 4000, 4000},
    {22, 20250, 1620, 4000, 4000},    {30, 40500, 1620, 10000, 10000},  {31, 108000, 3600, 14000, 14000},
    {32, 216000, 5120, 20000, 20000}, {40, 245760, 8192, 20000, 25000}, {41, 245760, 8192, 50000, 62500},
    {42, 522240, 8704, 50000, 62500}, {50, 589824, 22080, 135000, 135000},
    {51, 983040, 36864, 240000, 240000}, {52, 2073600, 36864, 240000, 240000},
};

double ProfileFactor(bool highProfile) { return highProfile ? 1.25 : 1.0; }

// The rate caps, in bits for each pixel of each frame, so that other sizes and rates scale with
// the work. At 1280x720 and 60 fps the share quality averages about 7 Mb/s over the piece, 17
// over the lattices, and is capped at 20 (level 3.2 holds 25 with High profile); the master
// passes 40 only over the lattices and is capped at 50 (level 4.1).
constexpr double kPixelsPerSecond720p60 = 1280.0 * 720.0 * 60.0;
constexpr double kShareCapBitsPerPixel = 20000000.0 / kPixelsPerSecond720p60;
constexpr double kMasterCapBitsPerPixel = 50000000.0 / kPixelsPerSecond720p60;
// Small frames still get a cap a decoder's buffer smooths: x264 with a cap of a few dozen kb/s
// makes mush of the busiest frames.
constexpr int kMinCapKbps = 1000;

// Each quality's constant quality, measured on the piece's own frames (README, "Capturing a
// video"): the share's keeps an SSIM of 0.95 over every 10 s, the lattices too, and about 0.99 over
// the piece; the master's 0.985 everywhere.
constexpr int kShareCrf = 21;
constexpr int kMasterCrf = 14;

}  // namespace

bool ParseVideoQuality(const std::string& name, VideoQuality& quality)
{
    if (name == "share") quality = VideoQuality::Share;
    else if (name == "master") quality = VideoQuality::Master;
    else return false;
    return true;
}

const char* VideoQualityName(VideoQuality quality) { return quality == VideoQuality::Share ? "share" : "master"; }

X264Settings ChooseX264(const VideoEncoding& encoding, int width, int height, int fps)
{
    X264Settings settings;
    const bool share = encoding.quality == VideoQuality::Share;
    // The master keeps the fastest preset (it shares two cores with the software renderer); its
    // stream is Constrained Baseline. The share adds to that preset what buys the most bits for its
    // time: CABAC, three B-frames in a fixed pattern, the deblocking filter, the 8x8 transform and
    // intra blocks (which make it High profile). Measured on the piece, it comes within 0.001 of
    // superfast's SSIM at the same rate for 30% less of the encoder's time: what superfast adds
    // (sub-pixel motion search, weighted prediction, adaptive B-frames) buys next to nothing here.
    settings.preset = "ultrafast";
    settings.tune = share ? "ssim" : "";
    if (share) settings.options = "cabac=1:bframes=3:b-adapt=0:deblock=0,0:8x8dct=1:partitions=i8x8";
    settings.highProfile = share;
    const double pixelsPerSecond = double(width) * height * fps;
    int capKbps = int(pixelsPerSecond * (share ? kShareCapBitsPerPixel : kMasterCapBitsPerPixel) / 1000.0);
    capKbps = std::max(capKbps, kMinCapKbps);
    if (encoding.bitrateKbps > 0) {
        settings.bitrateKbps = encoding.bitrateKbps;
        capKbps = std::max(capKbps, encoding.bitrateKbps * 3 / 2);
    } else {
        settings.crf = encoding.crf > 0 ? encoding.crf : share ? kShareCrf : kMasterCrf;
    }
    // Past the highest level's rate no level can hold the stream, however small the frame.
    const Level& highest = kLevels[std::size(kLevels) - 1];
    capKbps = std::min(capKbps, int(highest.rateKbps * ProfileFactor(settings.highProfile)));
    settings.maxrateKbps = capKbps;
    settings.bufsizeKbits = capKbps;
    settings.levelIdc = LevelFor(width, height, fps, settings.maxrateKbps, settings.bufsizeKbits, settings.highProfile);
    return settings;
}

int LevelFor(int width, int height, int fps, int maxrateKbps, int bufsizeKbits, bool highProfile)
{
    const long across = (width + 15) / 16, down = (height + 15) / 16;
    const long perFrame = across * down;
    const double factor = ProfileFactor(highProfile);
    for (const Level& level : kLevels) {
        // Neither side may pass the square root of eight times the frame's macroblocks.
        const long longestSide = long(std::sqrt(8.0 * level.macroblocksPerFrame));
        if (perFrame <= level.macroblocksPerFrame && across <= longestSide && down <= longestSide &&
            perFrame * fps <= level.macroblocksPerSecond && maxrateKbps <= level.rateKbps * factor &&
            bufsizeKbits <= level.bufferKbits * factor)
            return level.idc;
    }
    return 0;
}

double LevelCapBits(int levelIdc, bool highProfile, double seconds)
{
    for (const Level& level : kLevels) {
        if (level.idc == levelIdc)
            return 1000.0 * ProfileFactor(highProfile) * (level.bufferKbits + level.rateKbps * seconds);
    }
    return 0;
}

std::string LevelName(int levelIdc) { return std::to_string(levelIdc / 10) + "." + std::to_string(levelIdc % 10); }
