// Where captured frames go. A sink takes frames in order, top row first, and either finishes (the
// output is complete under its final name) or is abandoned (nothing is left that looks complete).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "capture/frame_layout.h"
#include "capture/video_quality.h"
#include "sound/soundtrack_feed.h"

class FrameSink {
public:
    virtual ~FrameSink() = default;
    virtual bool Write(std::int64_t frameIndex, const std::vector<std::uint8_t>& rgb, int width, int height,
                       std::string& error) = 0;
    // The same for a frame the caller is done with: a sink that queues frames may keep the vector
    // itself and leave another in its place (of any size, possibly empty), saving a copy.
    virtual bool WriteTaking(std::int64_t frameIndex, std::vector<std::uint8_t>& rgb, int width, int height,
                             std::string& error)
    {
        return Write(frameIndex, rgb, width, height, error);
    }
    virtual bool Finish(std::string& error) = 0;
    virtual void Abandon() = 0;
    // After Abandon: what the capture left, for the message that ends the run.
    virtual std::string LeftBehind() const = 0;
    // True when the sink wants its pixels in blue, green, red order (which some encoders convert
    // at a third of the cost); the bytes handed to Write are then in that order.
    virtual bool TakesBgr() const { return false; }
};

// PNG files DIR/frame-NNNNNN.png (NNNNNN = the frame index); the folder is made if missing. Each
// file is written under a temporary name of this process's own and renamed when complete, so the
// frames written before a capture stops are complete files, and are left where they are. With
// sound, DIR/soundtrack.wav too, for the span, written alongside and renamed when the capture finishes.
std::unique_ptr<FrameSink> MakePngFolderSink(const std::string& folder, bool overwrite, std::string& error,
                                             const CaptureSound& sound = {});

// Places each picture into a frame of the layout's size, black bars around it, and hands the frame
// to 'inner'. The bars are drawn once; each frame copies only the picture's rows.
std::unique_ptr<FrameSink> MakeFramedSink(std::unique_ptr<FrameSink> inner, const FrameLayout& layout);

// A video encoded by an ffmpeg process (found on PATH) at a fixed frame rate: H.264 for .mp4, .mkv
// and .mov, VP9 for .webm; its pictures of layout.pictureWidth x pictureHeight placed in frames of
// the layout's size by the encoder, after the conversion to its colour format, so the bars cost
// neither conversion nor transfer. Frames are handed to ffmpeg from a thread of the sink's own, so
// Write returns as soon as the frame is queued. The file appears under its name only once ffmpeg
// has finished it, replacing a file there only with overwrite. Fails, before anything is rendered,
// when ffmpeg is missing or the file cannot be made. With sound, the spans' samples go to ffmpeg's
// second input from a thread of their own. Encoded as 'encoding' asks.
std::unique_ptr<FrameSink> MakeVideoSink(const std::string& path, const FrameLayout& layout, int fps, bool overwrite,
                                         std::string& error, const CaptureSound& sound = {},
                                         const VideoEncoding& encoding = {});

// Writes one picture as a PNG file, atomically, through a temporary name unique to this process.
// False with error set on failure.
bool WritePng(const std::string& path, const std::vector<std::uint8_t>& rgb, int width, int height,
              std::string& error);
