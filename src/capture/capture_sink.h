// The sink a --capture asks for, made once every check on the name and the place has passed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "capture/frame_layout.h"
#include "capture/frame_sink.h"

struct CaptureRequest {
    std::string path;        // a folder for PNG frames, or FILE.mp4/.mkv/.mov/.webm
    bool overwrite = false;  // replace an existing video, or a folder's frames
    FrameLayout layout;      // the picture's place in the captured frames
    int fps = 60;
    VideoEncoding encoding;  // a video's quality
};

// Checks the name and the place (an existing video or frames need overwrite), then makes the
// sink: a video through the encoder, or PNG frames with the bars drawn here, in a folder no other
// capture writes into meanwhile. Null with error set.
std::unique_ptr<FrameSink> MakeCaptureSink(const CaptureRequest& request, const CaptureSound& sound,
                                           std::string& error);

// The sound under the frames a fixed-step run at fps captures between startMs and lastTime, once
// for each pass: every pass hears the span again, in step with its own frames.
CaptureSound SoundOfFrames(const audio::Soundtrack* soundtrack, std::int32_t startMs, std::int32_t lastTime, int fps,
                           int passes = 1);
