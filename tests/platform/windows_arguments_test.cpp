// Arguments handed to a Windows process must come back from its C library exactly as given.
#include <gtest/gtest.h>

#include "platform/windows/arguments.h"

namespace {

TEST(WindowsArguments, BlanksQuotesAndBackslashesSurviveTheRoundTrip)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"plain", "plain"},
        {"", "\"\""},
        {"C:\\Program Files\\ffmpeg.exe", "\"C:\\Program Files\\ffmpeg.exe\""},
        {"C:\\out\\video.mp4", "C:\\out\\video.mp4"},  // backslashes not before a quote stay single
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"C:\\dir with blank\\", "\"C:\\dir with blank\\\\\""},  // a trailing one would escape the quote
        {"a\\\\\"b", "\"a\\\\\\\\\\\"b\""},
    };
    for (const auto& [argument, expected] : cases) EXPECT_EQ(JoinWindowsArguments({argument}), expected) << argument;
    EXPECT_EQ(JoinWindowsArguments({"ffmpeg", "-i", "pipe:0", "-vf", "pad=ceil(iw/2)*2"}),
              "ffmpeg -i pipe:0 -vf pad=ceil(iw/2)*2");
}

}  // namespace
