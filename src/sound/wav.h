// Writes 16-bit stereo 48 kHz WAV files, streamed: samples go out as they come, and the file
// appears under its name only once it is whole (Close), so a run stopped half-way never leaves a
// WAV that looks complete.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace audio {

class WavWriter {
public:
    WavWriter() = default;
    ~WavWriter();  // without Close, removes what was written
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // On failure these return false with error set to one line naming the file.
    // Writes under temporary (path + ".part" when empty) until Close names it path.
    bool Open(const std::string& path, std::string& error, const std::string& temporary = "");
    // frames interleaved stereo frames (2 * frames values).
    bool Write(const std::int16_t* samples, std::int64_t frames, std::string& error);
    bool Close(std::string& error);

private:
    void Discard();
    std::string path_;
    std::string temporary_;
    std::FILE* file_ = nullptr;
    std::int64_t frames_ = 0;
};

}  // namespace audio
