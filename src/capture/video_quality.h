// What a video capture asks of the H.264 encoder: a quality by name (or a CRF or an average rate
// of the user's own), turned into x264's settings for a frame size and rate, with the level that
// frame and rate need and a rate cap that keeps every stretch of the file within that level.
#pragma once

#include <string>

enum class VideoQuality {
    Share,   // small enough to mail or upload: High profile, a quarter of the master's size
    Master,  // the fastest encode, near-transparent, about four times the size
};

// What the command line says about the encoding.
struct VideoEncoding {
    VideoQuality quality = VideoQuality::Share;
    int crf = 0;          // --crf N, 1 to 51; 0 = the quality's own
    int bitrateKbps = 0;  // --bitrate: an average rate in kb/s instead of a constant quality; 0 = none
};

// "share" or "master"; false for any other name.
bool ParseVideoQuality(const std::string& name, VideoQuality& quality);
const char* VideoQualityName(VideoQuality quality);

constexpr int kMinCrf = 1;  // CRF 0 is lossless, which High profile cannot carry
constexpr int kMaxCrf = 51;
constexpr int kMinBitrateKbps = 100;
constexpr int kMaxBitrateKbps = 100000;

// x264's settings for one capture.
struct X264Settings {
    std::string preset, tune;  // tune empty for none
    std::string options;       // x264's own options over the preset's ("key=value:..."), or empty
    bool highProfile = true;   // false: the preset's Constrained Baseline
    int crf = 0;               // 0 when bitrateKbps is set
    int bitrateKbps = 0;
    int maxrateKbps = 0, bufsizeKbits = 0;  // the VBV: the rate cap and its buffer
    int levelIdc = 0;          // 32 for level 3.2; 0 when no level holds the frame size and rate
};

X264Settings ChooseX264(const VideoEncoding& encoding, int width, int height, int fps);

// The lowest H.264 level (its level_idc) whose frame size and macroblock rate hold width x height
// at fps and whose rate and buffer hold maxrateKbps and bufsizeKbits; 0 when none does.
int LevelFor(int width, int height, int fps, int maxrateKbps, int bufsizeKbits, bool highProfile);

// The most bits a stream of that level may carry in any stretch of 'seconds': its buffer plus its
// rate over the stretch (High profile allows a quarter more than Baseline). 0 for an unknown level.
double LevelCapBits(int levelIdc, bool highProfile, double seconds);

// "3.2" for 32.
std::string LevelName(int levelIdc);
