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
};

// PNG files DIR/frame-NNNNNN.png (NNNNNN = the frame index); the folder is made if missing. Each
// file is written under a temporary name and renamed when complete.
std::unique_ptr<FrameSink> MakePngFolderSink(const std::string& folder, std::string& error);

// Writes one picture as a PNG file, atomically. False with error set on failure.
bool WritePng(const std::string& path, const std::vector<std::uint8_t>& rgb, int width, int height,
              std::string& error);
