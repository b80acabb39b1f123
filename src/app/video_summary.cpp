#include "app/video_summary.h"

#include <cstdio>

namespace {

std::string SizeText(std::uintmax_t bytes)
{
    char text[32];
    if (bytes < 1000000) std::snprintf(text, sizeof text, "%.0f kB", bytes / 1e3);
    else if (bytes < 10000000) std::snprintf(text, sizeof text, "%.1f MB", bytes / 1e6);
    else std::snprintf(text, sizeof text, "%.0f MB", bytes / 1e6);
    return text;
}

std::string LengthText(std::int64_t frames, int fps)
{
    // Tenths of a second, rounded down: a length is never said to be longer than it is.
    const std::int64_t tenths = frames * 10 / fps;
    char text[32];
    if (tenths % 10 == 0)
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(tenths / 600),
                      static_cast<long long>(tenths / 10 % 60));
    else
        std::snprintf(text, sizeof text, "%lld:%02lld.%lld", static_cast<long long>(tenths / 600),
                      static_cast<long long>(tenths / 10 % 60), static_cast<long long>(tenths % 10));
    return text;
}

}  // namespace

std::string VideoSummary(std::uintmax_t bytes, std::int64_t frames, int fps)
{
    return SizeText(bytes) + ", " + LengthText(frames, fps);
}
