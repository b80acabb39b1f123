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
    // std::filesystem's rename replaces an older frame of that name on Windows too, where the C
    // library's refuses to.
    std::error_code renamed;
    if (!png.failure) std::filesystem::rename(temporary, path, renamed);
    if (png.failure || renamed) {
        error = "cannot write " + path + ": " + (png.failure ? std::strerror(png.failure) : renamed.message());
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

namespace {

class PngFolderSink : public FrameSink {
public:
    explicit PngFolderSink(std::string folder) : folder_(std::move(folder)) {}

    bool Write(std::int64_t frameIndex, const std::vector<std::uint8_t>& rgb, int width, int height,
               std::string& error) override
    {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(frameIndex));
        return WritePng(folder_ + "/" + name, rgb, width, height, error);
    }
    bool Finish(std::string&) override { return true; }
    // Frames already written are complete files each; nothing half-written remains.
    void Abandon() override {}

private:
    std::string folder_;
};

}  // namespace

std::unique_ptr<FrameSink> MakePngFolderSink(const std::string& folder, std::string& error)
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
    return std::make_unique<PngFolderSink>(folder);
}
