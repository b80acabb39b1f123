#include "capture/progress.h"

#include <algorithm>
#include <cmath>

namespace {

// A terminal redraws cheaply but a redraw per frame would cost more than the frame; a log wants
// few lines.
constexpr double kTerminalInterval = 0.25;
constexpr double kLogInterval = 5.0;
constexpr int kBarWidth = 24;

std::string Duration(double seconds)
{
    const long whole = long(std::ceil(seconds));
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

}  // namespace

std::string FormatProgress(std::int64_t done, std::int64_t total, double framesPerSecond)
{
    const std::int64_t left = std::max<std::int64_t>(total, 1) - std::clamp<std::int64_t>(done, 0, total);
    return FormatProgress(done, total, framesPerSecond, framesPerSecond > 0 ? double(left) / framesPerSecond : -1);
}

std::string FormatProgress(std::int64_t done, std::int64_t total, double framesPerSecond, double secondsLeft)
{
    total = std::max<std::int64_t>(total, 1);
    done = std::clamp<std::int64_t>(done, 0, total);
    const double fraction = double(done) / double(total);
    std::string bar(kBarWidth, '.');
    std::fill_n(bar.begin(), int(fraction * kBarWidth), '#');

    char text[160];
    std::snprintf(text, sizeof text, "[%s] %lld/%lld %5.1f%%", bar.c_str(), static_cast<long long>(done),
                  static_cast<long long>(total), fraction * 100.0);
    std::string line = text;
    if (framesPerSecond > 0 && secondsLeft >= 0) {
        std::snprintf(text, sizeof text, "  %.1f fps  %s left", framesPerSecond, Duration(secondsLeft).c_str());
        line += text;
    }
    return line;
}

TimeLeftEstimate::TimeLeftEstimate(const std::vector<double>& frameCosts)
{
    if (frameCosts.empty()) return;
    costBefore_.reserve(frameCosts.size() + 1);
    costBefore_.push_back(0.0);
    for (double cost : frameCosts) costBefore_.push_back(costBefore_.back() + std::max(cost, 0.0));
}

double TimeLeftEstimate::SecondsLeft(std::int64_t framesDone, std::int64_t totalFrames, double elapsedSeconds) const
{
    if (framesDone <= 0 || elapsedSeconds <= 0) return -1;
    framesDone = std::min(framesDone, totalFrames);
    const std::int64_t known = std::int64_t(costBefore_.size()) - 1;
    // Costs that do not describe this run (another length) are not used at all.
    if (known != totalFrames || costBefore_.back() <= 0 || costBefore_[size_t(framesDone)] <= 0)
        return elapsedSeconds * double(totalFrames - framesDone) / double(framesDone);
    const double secondsPerCost = elapsedSeconds / costBefore_[size_t(framesDone)];
    return secondsPerCost * (costBefore_.back() - costBefore_[size_t(framesDone)]);
}

ProgressLine::ProgressLine(std::FILE* out, bool terminal, std::int64_t totalFrames, double startSeconds)
    : out_(out), terminal_(terminal), total_(totalFrames), start_(startSeconds), lastPrint_(startSeconds)
{
}

void ProgressLine::Update(std::int64_t framesDone, double nowSeconds)
{
    if (!out_) return;
    const double interval = terminal_ ? kTerminalInterval : kLogInterval;
    if (nowSeconds - lastPrint_ < interval) return;
    Print(framesDone, nowSeconds, false);
}

void ProgressLine::Finish(std::int64_t framesDone, double nowSeconds)
{
    // A log that never got a line (a short run) gets none: the run's own last message says enough;
    // nor does it get the same line twice.
    if (!out_ || (!terminal_ && (!printed_ || framesDone == lastFrames_))) return;
    Print(framesDone, nowSeconds, true);
}

void ProgressLine::Print(std::int64_t framesDone, double nowSeconds, bool last)
{
    const double elapsed = nowSeconds - start_;
    const double rate = elapsed > 0 && framesDone > 0 ? double(framesDone) / elapsed : 0.0;
    const std::string line = FormatProgress(framesDone, total_, rate, estimate_.SecondsLeft(framesDone, total_, elapsed));
    // \r and clear-to-end keep one line on a terminal, whatever the previous line's length.
    if (terminal_)
        std::fprintf(out_, "\r%s\x1b[K%s", line.c_str(), last ? "\n" : "");
    else
        std::fprintf(out_, "%s\n", line.c_str());
    std::fflush(out_);
    lastPrint_ = nowSeconds;
    lastFrames_ = framesDone;
    printed_ = true;
}
