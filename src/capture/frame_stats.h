// The figures of a --benchmark run: how long each frame took, summed up as percentiles and as the
// one-second stretches of the demo that cost the most, with the effects that were running then.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

struct SlowSecond {
    std::int32_t startMs;       // demo time at which the second begins
    double seconds;             // wall time spent rendering its frames
    int frames;
    std::set<std::string> effects;
};

struct BenchmarkSummary {
    std::int64_t frames = 0;
    double wallSeconds = 0;
    double meanFps = 0;
    double p50Ms = 0, p95Ms = 0, p99Ms = 0, maxMs = 0;
    std::vector<SlowSecond> slowest;  // slowest first
};

class FrameStats {
public:
    // One frame: its demo time, the wall time it took, and the names of the effects it drew.
    void Add(std::int32_t frameTimeMs, double seconds, const std::vector<std::string>& effects);
    BenchmarkSummary Summarise(double wallSeconds, size_t slowestCount = 5) const;

private:
    std::vector<double> durations_;
    std::map<std::int32_t, SlowSecond> seconds_;  // keyed by the whole second of demo time
};

// The printed report, one figure per line, headed by the render size and the frame rate it ran at.
std::string FormatBenchmark(const BenchmarkSummary& summary, int width, int height, int fps);
