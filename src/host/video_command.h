// What a video capture asks of ffmpeg: which file names are videos, where ffmpeg is, and the
// command line that turns raw RGB frames on its input into the file's format.
#pragma once

#include <string>
#include <vector>

// True for the file names --capture encodes as a video: .mp4, .mkv, .mov, .webm (any case).
bool IsVideoPath(const std::string& path);

// The first executable file of that name in a PATH-style list of folders; empty when none is.
std::string FindOnPath(const std::string& program, const std::string& searchPath);

// ffmpeg's arguments (the program first) for frames of width x height, rgb24, top row first, at
// fps, written to 'output' in the container that videoPath's extension names. withSound adds a
// second input on descriptor 3, 48 kHz stereo 16-bit samples, encoded as AAC (Opus in .webm).
constexpr int kSoundInputDescriptor = 3;
std::vector<std::string> EncoderCommand(const std::string& ffmpeg, const std::string& videoPath, int width,
                                        int height, int fps, const std::string& output, bool withSound = false);
