#include "capture/video_command.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

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

}  // namespace

std::vector<std::string> EncoderCommand(const std::string& ffmpeg, const std::string& videoPath, int width,
                                        int height, int fps, const std::string& output, bool withSound)
{
    return EncoderCommand(ffmpeg, videoPath, FitPicture(width, height, width, height), fps, output, withSound);
}

std::vector<std::string> EncoderCommand(const std::string& ffmpeg, const std::string& videoPath,
                                        const FrameLayout& layout, int fps, const std::string& output,
                                        bool withSound)
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
                                           "pipe:" + std::to_string(kSoundInputDescriptor), "-map", "0:v:0", "-map",
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
        arguments.insert(arguments.end(), {"-c:v", "libvpx-vp9", "-crf", "31", "-b:v", "0", "-deadline", "good",
                                           "-cpu-used", "5", "-row-mt", "1", "-f", "webm"});
    } else {
        // The encoder shares two cores with the software renderer: the fastest preset, with a lower
        // CRF making up its quality (an SSIM of 0.98 even over the busiest stretch, the lattices in
        // the snow), costs a third of veryfast's time, for a larger file.
        arguments.insert(arguments.end(), {"-c:v", "libx264", "-preset", "ultrafast", "-crf", "14"});
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
