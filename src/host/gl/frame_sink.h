// Where captured frames go. A sink takes frames in order, top row first, and either finishes (the
// output is complete under its final name) or is abandoned (nothing is left that looks complete).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FrameSink {
public:
    virtual ~FrameSink() = default;
    virtual bool Write(std::int64_t frameIndex, const std::vector<std::uint8_t>& rgb, int width, int height,
                       std::string& error) = 0;
    virtual bool Finish(std::string& error) = 0;
    virtual void Abandon() = 0;
    // After Abandon: what the capture left, for the message that ends the run.
    virtual std::string LeftBehind() const = 0;
};

// PNG files DIR/frame-NNNNNN.png (NNNNNN = the frame index); the folder is made if missing. Each
// file is written under a temporary name of this process's own and renamed when complete, so the
// frames written before a capture stops are complete files, and are left where they are.
std::unique_ptr<FrameSink> MakePngFolderSink(const std::string& folder, std::string& error);

// A video encoded by an ffmpeg process (found on PATH) at a fixed frame rate: H.264 for .mp4, .mkv
// and .mov, VP9 for .webm. Frames are handed to ffmpeg from a thread of the sink's own, so Write
// returns as soon as the frame is queued. The file appears under its name only once ffmpeg has
// finished it. Fails, before anything is rendered, when ffmpeg is missing or the file cannot be made.
std::unique_ptr<FrameSink> MakeVideoSink(const std::string& path, int width, int height, int fps,
                                         std::string& error);

// Writes one picture as a PNG file, atomically, through a temporary name unique to this process.
// False with error set on failure.
bool WritePng(const std::string& path, const std::vector<std::uint8_t>& rgb, int width, int height,
              std::string& error);
