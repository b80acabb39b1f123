// Prints what the soundtrack costs on this machine, in CPU seconds of this thread: reading the
// score, synthesizing the whole piece front to back (and how much the master's limiter did), and the warm-up of a jump (the first 10 ms rendered after
// jumping to each of a set of moments, worst and mean).
//
//   soundtrack_bench SCORE TIMELINE
#include <ctime>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "sound/soundtrack.h"

namespace {

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

std::string ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: soundtrack_bench SCORE TIMELINE\n");
        return 1;
    }
    Timeline timeline;
    std::string error;
    if (!ParseTimeline(ReadFile(argv[2]), argv[2], timeline, error)) { std::fprintf(stderr, "%s\n", error.c_str()); return 1; }
    const double parseStart = CpuSeconds();
    const auto soundtrack = audio::Soundtrack::Parse(ReadFile(argv[1]), argv[1], timeline, error);
    std::printf("parse: %.2f s CPU\n", CpuSeconds() - parseStart);
    if (!soundtrack) { std::fprintf(stderr, "%s\n", error.c_str()); return 1; }
    for (const std::string& warning : soundtrack->score().warnings) std::printf("warning: %s\n", warning.c_str());
    std::printf("notes: %zu\n", soundtrack->score().notes.size());

    constexpr std::int64_t kChunk = 4800;
    std::vector<std::int16_t> samples(kChunk * audio::kChannels);
    {
        audio::SoundtrackRenderer renderer(*soundtrack);
        const double start = CpuSeconds();
        for (std::int64_t at = 0; at < soundtrack->Frames(); at += kChunk) renderer.Render(at, kChunk, samples.data());
        const double seconds = CpuSeconds() - start;
        std::printf("whole piece (%.0f s of sound): %.2f s CPU, %.1fx real time\n",
                    double(soundtrack->Frames()) / audio::kSampleRate, seconds,
                    soundtrack->Frames() / double(audio::kSampleRate) / seconds);
        const audio::SoundtrackRenderer::Limiting limited = renderer.Limited();
        std::printf("limiter: turned down %lld frames (%.3f%% of the piece), at most %.2f dB\n",
                    static_cast<long long>(limited.frames), 100.0 * limited.frames / soundtrack->Frames(), -limited.deepestDb);
    }
    // Jumps to every 3.7 s: they land at every phase of the effects' segments.
    audio::SoundtrackRenderer renderer(*soundtrack);
    double worst = 0, total = 0;
    int jumps = 0;
    for (std::int64_t ms = 1000; ms < timeline.endTime; ms += 3700, ++jumps) {
        const double start = CpuSeconds();
        renderer.Render(ms * audio::kSampleRate / 1000, 480, samples.data());
        const double seconds = CpuSeconds() - start;
        worst = std::max(worst, seconds);
        total += seconds;
    }
    std::printf("jump warm-up over %d jumps: worst %.3f s CPU, mean %.3f s CPU\n", jumps, worst, total / jumps);
    return 0;
}
