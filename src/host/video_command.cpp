#include "host/video_command.h"

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
                                        int height, int fps, const std::string& output)
{
    const std::string extension = Extension(videoPath);
    // -xerror: an error while writing the file's ending (a full disk) must fail the run; without it
    // ffmpeg logs it and still exits 0.
    std::vector<std::string> arguments = {ffmpeg, "-hide_banner", "-nostdin", "-xerror", "-loglevel", "error",
                                          "-f", "rawvideo", "-pix_fmt", "rgb24",
                                          "-video_size", std::to_string(width) + "x" + std::to_string(height),
                                          "-framerate", std::to_string(fps), "-i", "pipe:0"};
    // 4:2:0 needs even sides; an odd one gets a black line rather than a failed encode.
    std::string filter = "scale=out_color_matrix=bt709:out_range=tv";
    if (width % 2 || height % 2) filter = "pad=ceil(iw/2)*2:ceil(ih/2)*2," + filter;
    arguments.insert(arguments.end(), {"-vf", filter, "-pix_fmt", "yuv420p", "-colorspace", "bt709",
                                       "-color_primaries", "bt709", "-color_trc", "bt709", "-color_range", "tv"});
    if (extension == "webm") {
        arguments.insert(arguments.end(), {"-c:v", "libvpx-vp9", "-crf", "31", "-b:v", "0", "-deadline", "good",
                                           "-cpu-used", "5", "-row-mt", "1", "-f", "webm"});
    } else {
        // veryfast: the encoder shares the cores with the software renderer; a slower preset makes a
        // smaller file but takes its time from the rendering.
        arguments.insert(arguments.end(), {"-c:v", "libx264", "-preset", "veryfast", "-crf", "18"});
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
