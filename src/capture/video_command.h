// What a video capture asks of ffmpeg: which file names are videos, where ffmpeg is, and the
// command line that turns raw BGR frames on its input into the file's format.
#pragma once

#include <string>
#include <vector>

#include "capture/frame_layout.h"
#include "capture/video_quality.h"

// True for the file names --capture encodes as a video: .mp4, .mkv, .mov, .webm (any case).
bool IsVideoPath(const std::string& path);

// How to name a file to ffmpeg so that it is read as that file whatever it is called: a name
// with a colon is not a protocol ("take-12:30.mp4", "file:clip.mp4"), one with a leading '-' not an
// option. The "file:" protocol with an absolute path.
std::string EncoderFileName(const std::string& path);

// ffmpeg's arguments (the program first) for frames of width x height, bgr24, top row first, at
// fps, written to 'output' in the container that videoPath's extension names. withSound adds a
// second input (the encoder's input 1, see EncoderInputName), 48 kHz stereo 16-bit samples, encoded
// as AAC (Opus in .webm).
// 'encoding' chooses the video's quality: x264 with a level and a rate cap (VP9 in .webm).
std::vector<std::string> EncoderCommand(const std::string& ffmpeg, const std::string& videoPath, int width,
                                        int height, int fps, const std::string& output, bool withSound = false,
                                        const VideoEncoding& encoding = {});

// The same for pictures of layout.pictureWidth x pictureHeight, placed by ffmpeg in frames of the
// layout's size with black bars, after their conversion to YUV.
std::vector<std::string> EncoderCommand(const std::string& ffmpeg, const std::string& videoPath,
                                        const FrameLayout& layout, int fps, const std::string& output,
                                        bool withSound = false, const VideoEncoding& encoding = {});
