// The WAV container: a RIFF header whose sizes are filled in once the samples are all written.
#include "sound/wav.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "sound/soundtrack.h"

namespace audio {
namespace {

constexpr std::int64_t kHeaderBytes = 44;
// RIFF sizes are 32-bit: about 6 hours of stereo 48 kHz 16-bit.
constexpr std::int64_t kMaxDataBytes = 0xFFFFFFFFll - kHeaderBytes;

void Put16(std::vector<unsigned char>& bytes, std::uint32_t value) {
    bytes.push_back(value & 0xFF);
    bytes.push_back((value >> 8) & 0xFF);
}
void Put32(std::vector<unsigned char>& bytes, std::uint32_t value) {
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, value >> 16);
}
void PutTag(std::vector<unsigned char>& bytes, const char* tag) { bytes.insert(bytes.end(), tag, tag + 4); }

std::vector<unsigned char> Header(std::int64_t frames) {
    const auto dataBytes = static_cast<std::uint32_t>(frames * kChannels * 2);
    std::vector<unsigned char> bytes;
    PutTag(bytes, "RIFF");
    Put32(bytes, dataBytes + kHeaderBytes - 8);
    PutTag(bytes, "WAVE");
    PutTag(bytes, "fmt ");
    Put32(bytes, 16);
    Put16(bytes, 1);  // PCM
    Put16(bytes, kChannels);
    Put32(bytes, kSampleRate);
    Put32(bytes, kSampleRate * kChannels * 2);
    Put16(bytes, kChannels * 2);
    Put16(bytes, 16);
    PutTag(bytes, "data");
    Put32(bytes, dataBytes);
    return bytes;
}

std::string Reason() { return std::strerror(errno); }

}  // namespace

WavWriter::~WavWriter() { Discard(); }

void WavWriter::Discard() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    if (!temporary_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
        temporary_.clear();
    }
}

bool WavWriter::Open(const std::string& path, std::string& error, const std::string& temporary) {
    Discard();
    path_ = path;
    temporary_ = temporary.empty() ? path + ".part" : temporary;
    frames_ = 0;
    file_ = std::fopen(temporary_.c_str(), "wb");
    if (file_ == nullptr) {
        error = "cannot write " + path + ": " + Reason();
        temporary_.clear();
        return false;
    }
    const std::vector<unsigned char> header = Header(0);
    if (std::fwrite(header.data(), 1, header.size(), file_) != header.size()) {
        error = "cannot write " + path + ": " + Reason();
        Discard();
        return false;
    }
    return true;
}

bool WavWriter::Write(const std::int16_t* samples, std::int64_t frames, std::string& error) {
    if (file_ == nullptr) { error = "cannot write " + path_ + ": not open"; return false; }
    if ((frames_ + frames) * kChannels * 2 > kMaxDataBytes) {
        error = "cannot write " + path_ + ": longer than a WAV file can hold";
        Discard();
        return false;
    }
    // Little-endian on disk whatever the machine.
    std::vector<unsigned char> bytes(static_cast<std::size_t>(frames) * kChannels * 2);
    for (std::size_t i = 0; i < static_cast<std::size_t>(frames) * kChannels; ++i) {
        const auto value = static_cast<std::uint16_t>(samples[i]);
        bytes[2 * i] = value & 0xFF;
        bytes[2 * i + 1] = value >> 8;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        error = "cannot write " + path_ + ": " + Reason();
        Discard();
        return false;
    }
    frames_ += frames;
    return true;
}

bool WavWriter::Close(std::string& error) {
    if (file_ == nullptr) { error = "cannot write " + path_ + ": not open"; return false; }
    const std::vector<unsigned char> header = Header(frames_);
    const bool written = std::fseek(file_, 0, SEEK_SET) == 0 &&
                         std::fwrite(header.data(), 1, header.size(), file_) == header.size();
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!written || !closed) {
        error = "cannot write " + path_ + ": " + Reason();
        Discard();
        return false;
    }
    std::error_code renameError;
    std::filesystem::rename(temporary_, path_, renameError);
    if (renameError) {
        error = "cannot write " + path_ + ": " + renameError.message();
        Discard();
        return false;
    }
    temporary_.clear();
    return true;
}

}  // namespace audio
