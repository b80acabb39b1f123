#include "capture/frame_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The nearest-rank percentile: a frame time that some frame really took, never an interpolation.
double Percentile(const std::vector<double>& sorted, double percent)
{
    if (sorted.empty()) return 0;
    const size_t rank = size_t(std::ceil(percent / 100.0 * double(sorted.size())));
    return sorted[std::clamp<size_t>(rank, 1, sorted.size()) - 1];
}

}  // namespace

void FrameStats::Add(std::int32_t frameTimeMs, double seconds, const std::vector<std::string>& effects)
{
    durations_.push_back(seconds);
    SlowSecond& second = seconds_[frameTimeMs / 1000];
    second.startMs = frameTimeMs / 1000 * 1000;
    second.seconds += seconds;
    ++second.frames;
    second.effects.insert(effects.begin(), effects.end());
}

BenchmarkSummary FrameStats::Summarise(double wallSeconds, size_t slowestCount) const
{
    BenchmarkSummary summary;
    summary.frames = std::int64_t(durations_.size());
    summary.wallSeconds = wallSeconds;
    summary.meanFps = wallSeconds > 0 ? double(summary.frames) / wallSeconds : 0;
    std::vector<double> sorted = durations_;
    std::sort(sorted.begin(), sorted.end());
    summary.p50Ms = Percentile(sorted, 50) * 1000;
    summary.p95Ms = Percentile(sorted, 95) * 1000;
    summary.p99Ms = Percentile(sorted, 99) * 1000;
    summary.maxMs = sorted.empty() ? 0 : sorted.back() * 1000;

    for (const auto& entry : seconds_) summary.slowest.push_back(entry.second);
    std::stable_sort(summary.slowest.begin(), summary.slowest.end(),
                     [](const SlowSecond& a, const SlowSecond& b) { return a.seconds > b.seconds; });
    if (summary.slowest.size() > slowestCount) summary.slowest.resize(slowestCount);
    return summary;
}

std::string FormatBenchmark(const BenchmarkSummary& summary, int width, int height, int fps)
{
    char line[256];
    std::string text;
    auto add = [&](const char* format, auto... values) {
        std::snprintf(line, sizeof line, format, values...);
        text += line;
    };
    add("size: %dx%d, %d frames a second of demo time\n", width, height, fps);
    add("frames: %lld\n", static_cast<long long>(summary.frames));
    add("wall time: %.2f s\n", summary.wallSeconds);
    add("mean: %.1f fps\n", summary.meanFps);
    add("frame time: p50 %.2f ms, p95 %.2f ms, p99 %.2f ms, max %.2f ms\n", summary.p50Ms, summary.p95Ms,
        summary.p99Ms, summary.maxMs);
    text += "slowest seconds of the demo (time to render all of that second's frames):\n";
    for (const SlowSecond& second : summary.slowest) {
        std::string names;
        for (const std::string& name : second.effects) names += (names.empty() ? "" : " ") + name;
        add("  %7.3f s  %7.1f ms for %d frame%s (%.1f ms each)  %s\n", second.startMs / 1000.0,
            second.seconds * 1000, second.frames, second.frames == 1 ? "" : "s",
            second.frames > 0 ? second.seconds * 1000 / second.frames : 0.0, names.empty() ? "(nothing)" : names.c_str());
    }
    return text;
}
