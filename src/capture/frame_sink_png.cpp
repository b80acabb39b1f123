#include <stb_image_write.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "capture/capture_target.h"
#include "capture/frame_sink.h"
#include "platform/files.h"
#include "platform/interrupt.h"
#include "platform/process.h"

namespace {

void Append(void* context, void* data, int size)
{
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(context);
    bytes->insert(bytes->end(), static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
}

}  // namespace

bool WritePng(const std::string& path, const std::vector<std::uint8_t>& rgb, int width, int height,
              std::string& error)
{
    // Encoded first, so the temporary file exists only for the moments its bytes take to write.
    std::vector<std::uint8_t> encoded;
    if (!stbi_write_png_to_func(Append, &encoded, width, height, 3, rgb.data(), width * 3)) {
        error = "cannot write " + path + ": " + std::strerror(ENOMEM);
        return false;
    }
    const std::string temporary = TemporaryNameBeside(path, ProcessId());
    ArmEmergencyCleanup(CleanupSlot::File, 0, temporary.c_str());
    // A full disk must not leave a cut-off picture under the final name: the write and the close
    // are both checked.
    int failure = 0;
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) failure = errno;
    else if (std::fwrite(encoded.data(), 1, encoded.size(), file) != encoded.size()) failure = errno ? errno : EIO;
    if (file && std::fclose(file) != 0 && !failure) failure = errno;
    std::string reason = failure ? std::strerror(failure) : "";
    if (!failure && MoveIntoPlace(temporary, path, true, reason) != Placement::Placed) failure = -1;
    if (failure) std::remove(temporary.c_str());
    DisarmEmergencyCleanup(CleanupSlot::File);
    if (failure) {
        error = "cannot write " + path + ": " + reason;
        return false;
    }
    return true;
}

namespace {

constexpr const char* kSoundtrackFile = "soundtrack.wav";

class PngFolderSink : public FrameSink {
public:
    PngFolderSink(std::string folder, std::unique_ptr<FolderClaim> claim)
        : folder_(std::move(folder)), claim_(std::move(claim))
    {
    }

    // Starts writing the span's sound as soundtrack.wav, under a temporary name until Finish.
    bool StartSound(const CaptureSound& sound, std::string& error)
    {
        sound_ = SoundtrackFeed::ToWav(*sound.soundtrack, sound.spans, folder_ + "/" + kSoundtrackFile, error);
        if (!sound_) error = "--capture: " + error;
        return sound_ != nullptr;
    }

    bool Write(std::int64_t frameIndex, const std::vector<std::uint8_t>& rgb, int width, int height,
               std::string& error) override
    {
        if (!WritePng(folder_ + "/" + Name(frameIndex), rgb, width, height, error)) return false;
        if (written_ == 0) first_ = frameIndex;
        last_ = frameIndex;
        ++written_;
        return true;
    }
    // Every frame is written, and the sound beside them; false with no error when a signal came first.
    bool Finish(std::string& error) override
    {
        const bool written = !sound_ || sound_->Finish(error);
        sound_.reset();
        return written && StopAnsweringInterrupts();
    }
    // Frames already written are complete files each; the sound, cut short, is removed.
    void Abandon() override { sound_.reset(); }
    std::string LeftBehind() const override
    {
        if (written_ == 0) return "no frame written in " + folder_;
        return std::to_string(written_) + " complete frame" + (written_ == 1 ? "" : "s") + " left in " + folder_ +
               " (" + Name(first_) + (written_ == 1 ? "" : " to " + Name(last_)) + ")";
    }

private:
    static std::string Name(std::int64_t frameIndex)
    {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(frameIndex));
        return name;
    }

    std::string folder_;
    std::unique_ptr<FolderClaim> claim_;  // no other capture writes here meanwhile
    std::int64_t written_ = 0, first_ = 0, last_ = 0;
    std::unique_ptr<SoundtrackFeed> sound_;
};

}  // namespace

std::unique_ptr<FrameSink> MakePngFolderSink(const std::string& folder, bool overwrite, std::string& error,
                                             const CaptureSound& sound)
{
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    if (code || !std::filesystem::is_directory(folder)) {
        error = "--capture: cannot create the folder " + folder + (code ? ": " + code.message() : "");
        return nullptr;
    }
    // The folder is claimed before its frames are looked at or removed: a second capture into it
    // must neither mix its frames with the first's nor delete them.
    std::string holder, reason;
    std::unique_ptr<FolderClaim> claim = FolderClaim::Take(folder, holder, reason);
    if (!claim) {
        error = holder.empty() ? "--capture: cannot write into " + folder + ": " + reason
                               : "--capture " + folder + ": another capture (" + holder +
                                     ") is writing into it; wait for it to end, or choose another folder";
        return nullptr;
    }
    if (!CheckCaptureTarget(folder, CaptureKind::PngFolder, overwrite, error)) return nullptr;
    if (overwrite && !RemoveFrames(folder, error)) return nullptr;
    // Probe that the folder takes files before any frame is rendered.
    const std::string probe = TemporaryNameBeside(folder + "/.tarnelvois-write-test", ProcessId());
    std::FILE* file = std::fopen(probe.c_str(), "wb");
    if (!file) {
        error = "--capture: cannot write into " + folder + ": " + std::strerror(errno);
        return nullptr;
    }
    std::fclose(file);
    std::remove(probe.c_str());
    auto sink = std::make_unique<PngFolderSink>(folder, std::move(claim));
    if (sound.soundtrack && !sink->StartSound(sound, error)) return nullptr;
    return sink;
}
