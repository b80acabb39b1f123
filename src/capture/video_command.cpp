#include "capture/video_command.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "capture/video_quality.h"
#include "platform/encoder_process.h"

namespace {

std::string Extension(const std::string& path)
{
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    return extension;
}

// x264's part of the command: the quality's preset and rate control, capped so that every stretch of
// the file stays within the level it declares.
void AddX264(std::vector<std::string>& arguments, const X264Settings& x264)
{
    arguments.insert(arguments.end(), {"-c:v", "libx264", "-preset", x264.preset});
    if (!x264.tune.empty()) arguments.insert(arguments.end(), {"-tune", x264.tune});
    if (!x264.options.empty()) arguments.insert(arguments.end(), {"-x264-params", x264.options});
    if (x264.highProfile) arguments.insert(arguments.end(), {"-profile:v", "high"});
    if (x264.levelIdc > 0) arguments.insert(arguments.end(), {"-level:v", LevelName(x264.levelIdc)});
    if (x264.bitrateKbps > 0) arguments.insert(arguments.end(), {"-b:v", std::to_string(x264.bitrateKbps) + "k"});
    else arguments.insert(arguments.end(), {"-crf", std::to_string(x264.crf)});
    arguments.insert(arguments.end(), {"-maxrate", std::to_string(x264.maxrateKbps) + "k", "-bufsize",
                                       std::to_string(x264.bufsizeKbits) + "k"});
}

void AddVp9(std::vector<std::string>& arguments, const VideoEncoding& encoding)
{
    const int crf = encoding.crf > 0 ? encoding.crf : encoding.quality == VideoQuality::Share ? 31 : 20;
    arguments.insert(arguments.end(), {"-c:v", "libvpx-vp9"});
    if (encoding.bitrateKbps > 0) arguments.insert(arguments.end(), {"-b:v", std::to_string(encoding.bitrateKbps) + "k"});
    else arguments.insert(arguments.end(), {"-crf", std::to_string(crf), "-b:v", "0"});
    arguments.insert(arguments.end(), {"-deadline", "good", "-cpu-used", "5", "-row-mt", "1", "-f", "webm"});
}

}  // namespace

std::vector<std::string> EncoderCommand(const std::string& ffmpeg, const std::string& videoPath, int width,
                                        int height, int fps, const std::string& output, bool withSound,
                                        const VideoEncoding& encoding)
{
    return EncoderCommand(ffmpeg, videoPath, FitPicture(width, height, width, height), fps, output, withSound,
                          encoding);
}

std::vector<std::string> EncoderCommand(const std::string& ffmpeg, const std::string& videoPath,
                                        const FrameLayout& layout, int fps, const std::string& output,
                                        bool withSound, const VideoEncoding& encoding)
{
    const std::string extension = Extension(videoPath);
    const std::string pictureSize = std::to_string(layout.pictureWidth) + "x" + std::to_string(layout.pictureHeight);
    // -xerror: an error while writing the file's ending (a full disk) must fail the run; without it
    // ffmpeg logs it and still exits 0.
    std::vector<std::string> arguments = {ffmpeg, "-hide_banner", "-nostdin", "-xerror", "-loglevel", "error",
                                          "-f", "rawvideo", "-pix_fmt", "bgr24",
                                          "-video_size", pictureSize,
                                          "-framerate", std::to_string(fps), "-i", "pipe:0"};
    if (withSound) {
        arguments.insert(arguments.end(), {"-f", "s16le", "-ar", "48000", "-ac", "2", "-i",
                                           EncoderInputName(1), "-map", "0:v:0", "-map",
                                           "1:a:0", "-c:a", extension == "webm" ? "libopus" : "aac", "-b:a", "192k"});
    }
    // The bars are added after the conversion to YUV, where they are a fill, not pixels to convert.
    // 4:2:0 needs even sides; an odd one gets a black line rather than a failed encode.
    std::string filter = "scale=out_color_matrix=bt709:out_range=tv,format=yuv420p";
    const int paddedWidth = (layout.frameWidth + 1) / 2 * 2, paddedHeight = (layout.frameHeight + 1) / 2 * 2;
    if (paddedWidth != layout.pictureWidth || paddedHeight != layout.pictureHeight)
        filter += ",pad=" + std::to_string(paddedWidth) + ":" + std::to_string(paddedHeight) + ":" +
                  std::to_string(layout.left) + ":" + std::to_string(layout.top) + ":black";
    arguments.insert(arguments.end(), {"-vf", filter, "-pix_fmt", "yuv420p", "-colorspace", "bt709",
                                       "-color_primaries", "bt709", "-color_trc", "bt709", "-color_range", "tv"});
    if (extension == "webm") {
        AddVp9(arguments, encoding);
    } else {
        AddX264(arguments, ChooseX264(encoding, paddedWidth, paddedHeight, fps));
        if (extension == "mkv") arguments.insert(arguments.end(), {"-f", "matroska"});
        else arguments.insert(arguments.end(), {"-movflags", "+faststart", "-f", extension == "mov" ? "mov" : "mp4"});
    }
    arguments.insert(arguments.end(), {"-y", output});
    return arguments;
}

bool IsVideoPath(const std::string& path)
{
    const std::string extension = Extension(path);
    return extension == "mp4" || extension == "mkv" || extension == "mov" || extension == "webm";
}

std::string EncoderFileName(const std::string& path)
{
    std::error_code ignored;
    return "file:" + std::filesystem::absolute(path, ignored).string();
}
