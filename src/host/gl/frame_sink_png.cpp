#include <stb_image_write.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "host/gl/frame_sink.h"

namespace {

struct PngFile {
    std::FILE* file;
    int failure;  // the errno of the first failed write, or 0
};

void WriteChunk(void* context, void* data, int size)
{
    auto* png = static_cast<PngFile*>(context);
    if (!png->failure && std::fwrite(data, 1, size_t(size), png->file) != size_t(size)) png->failure = errno ? errno : EIO;
}

}  // namespace

bool WritePng(const std::string& path, const std::vector<std::uint8_t>& rgb, int width, int height,
              std::string& error)
{
    const std::string temporary = path + ".part";
    // stb's own file writer ignores failed writes; a full disk must not leave a cut-off picture
    // under the final name, so every write and the close are checked here.
    PngFile png{std::fopen(temporary.c_str(), "wb"), 0};
    if (!png.file) png.failure = errno;
    else if (!stbi_write_png_to_func(WriteChunk, &png, width, height, 3, rgb.data(), width * 3) && !png.failure)
        png.failure = ENOMEM;
    if (png.file && std::fclose(png.file) != 0 && !png.failure) png.failure = errno;
    if (!png.failure && std::rename(temporary.c_str(), path.c_str()) != 0) png.failure = errno;
    if (png.failure) {
        error = "cannot write " + path + ": " + std::strerror(png.failure);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

namespace {

constexpr const char* kSoundtrackFile = "soundtrack.wav";

class PngFolderSink : public FrameSink {
public:
    explicit PngFolderSink(std::string folder) : folder_(std::move(folder)) {}

    // Starts writing the span's sound as soundtrack.wav, under a temporary name until Finish.
    bool StartSound(const CaptureSound& sound, std::string& error)
    {
        sound_ = SoundtrackFeed::ToWav(*sound.soundtrack, sound.span, folder_ + "/" + kSoundtrackFile, error);
        if (!sound_) error = "--capture: " + error;
        return sound_ != nullptr;
    }

    bool Write(std::int64_t frameIndex, const std::vector<std::uint8_t>& rgb, int width, int height,
               std::string& error) override
    {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(frameIndex));
        return WritePng(folder_ + "/" + name, rgb, width, height, error);
    }
    bool Finish(std::string& error) override
    {
        const bool written = !sound_ || sound_->Finish(error);
        sound_.reset();
        return written;
    }
    // Frames already written are complete files each; the sound, cut short, is removed.
    void Abandon() override { sound_.reset(); }

private:
    std::string folder_;
    std::unique_ptr<SoundtrackFeed> sound_;
};

}  // namespace

std::unique_ptr<FrameSink> MakePngFolderSink(const std::string& folder, std::string& error, const CaptureSound& sound)
{
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    if (code || !std::filesystem::is_directory(folder)) {
        error = "--capture: cannot create the folder " + folder + (code ? ": " + code.message() : "");
        return nullptr;
    }
    // Probe that the folder takes files before any frame is rendered.
    const std::string probe = folder + "/.tarnelvois-write-test";
    std::FILE* file = std::fopen(probe.c_str(), "wb");
    if (!file) {
        error = "--capture: cannot write into " + folder + ": " + std::strerror(errno);
        return nullptr;
    }
    std::fclose(file);
    std::remove(probe.c_str());
    auto sink = std::make_unique<PngFolderSink>(folder);
    if (sound.soundtrack && !sink->StartSound(sound, error)) return nullptr;
    return sink;
}
