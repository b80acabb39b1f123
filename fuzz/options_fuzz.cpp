// Any command line: the input split on NUL or newline into arguments. Accepted options must be
// inside the ranges the player relies on; refused ones must say why in one line.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/options.h"
#include "host/timeline.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        const char c = char(data[i]);
        if (c == '\0' || c == '\n')
            arguments.emplace_back();
        else
            arguments.back() += c;
    }
    Options options;
    std::string error;
    if (!ParseOptions(arguments, options, error)) {
        if (error.empty() || error.find('\n') != std::string::npos) std::abort();
        return 0;
    }
    const bool sizeOk = (options.width == 0 && options.height == 0) ||
                        (options.width >= 16 && options.width <= 16384 && options.height >= 16 && options.height <= 16384);
    const bool timesOk = options.startMs >= 0 && options.startMs <= kMaxTimelineTime &&
                         (!options.endMs || (*options.endMs >= options.startMs && *options.endMs <= kMaxTimelineTime));
    const VideoEncoding& encoding = options.encoding;
    const bool encodingOk = (encoding.crf == 0 || (encoding.crf >= kMinCrf && encoding.crf <= kMaxCrf)) &&
                            (encoding.bitrateKbps == 0 || (encoding.bitrateKbps >= kMinBitrateKbps &&
                                                           encoding.bitrateKbps <= kMaxBitrateKbps)) &&
                            (encoding.crf == 0 || encoding.bitrateKbps == 0);
    if (!sizeOk || !timesOk || !encodingOk || options.fps < 1 || options.fps > 1000) std::abort();
    return 0;
}
