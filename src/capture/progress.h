// The progress line of a long render: frames done of the total, percent, frames per second and
// the time left. On a terminal one line is rewritten in place; elsewhere (a log, a pipe) a plain
// line is added every few seconds at most, so the log stays readable.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// "[#######.............]  1234/15300  8.1%  61.2 fps  3:50 left"; fps <= 0 means not known yet.
std::string FormatProgress(std::int64_t done, std::int64_t total, double framesPerSecond);
// The same with the time left given; negative means not known yet.
std::string FormatProgress(std::int64_t done, std::int64_t total, double framesPerSecond, double secondsLeft);

// The time left of a run whose frames cost unevenly: the frames still to come are weighed by
// their relative cost, at the rate the frames already done were drawn. Without costs every frame
// weighs the same.
class TimeLeftEstimate {
public:
    explicit TimeLeftEstimate(const std::vector<double>& frameCosts = {});
    double SecondsLeft(std::int64_t framesDone, std::int64_t totalFrames, double elapsedSeconds) const;

private:
    std::vector<double> costBefore_;  // costBefore_[k]: the cost of frames 0 .. k-1
};

class ProgressLine {
public:
    // out null: silent. Times are seconds on any monotonic clock.
    ProgressLine(std::FILE* out, bool terminal, std::int64_t totalFrames, double startSeconds);
    // The relative cost of each frame of the run, for a truer time left.
    void SetFrameCosts(const std::vector<double>& frameCosts) { estimate_ = TimeLeftEstimate(frameCosts); }

    void Update(std::int64_t framesDone, double nowSeconds);
    // Prints the last state once more and ends the line.
    void Finish(std::int64_t framesDone, double nowSeconds);

private:
    void Print(std::int64_t framesDone, double nowSeconds, bool last);

    std::FILE* out_;
    bool terminal_;
    std::int64_t total_;
    double start_;
    double lastPrint_;
    std::int64_t lastFrames_ = 0;
    bool printed_ = false;
    TimeLeftEstimate estimate_;
};
