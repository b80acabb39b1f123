#include "capture/capture_target.h"

#include <filesystem>

#include "capture/video_command.h"

namespace fs = std::filesystem;

namespace {

// The extension of the last part of the path, without the dot; none for ".hidden" or "name.".
std::string Extension(const std::string& path)
{
    const std::string name = fs::path(path).filename().string();
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return "";
    return name.substr(dot + 1);
}

bool HoldsFrames(const std::string& folder)
{
    std::error_code code;
    for (fs::directory_iterator entry(folder, code), end; !code && entry != end; entry.increment(code))
        if (IsFrameName(entry->path().filename().string())) return true;
    return false;
}

}  // namespace

bool IsFrameName(const std::string& name)
{
    const std::string prefix = "frame-", suffix = ".png";
    if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < name.size() - suffix.size(); ++i)
        if (name[i] < '0' || name[i] > '9') return false;
    return true;
}

bool CheckCaptureName(const std::string& path, CaptureKind& kind, std::string& error)
{
    kind = IsVideoPath(path) ? CaptureKind::Video : CaptureKind::PngFolder;
    std::error_code code;
    if (kind == CaptureKind::Video || path.back() == '/' || Extension(path).empty() || fs::is_directory(path, code))
        return true;
    error = "--capture " + path + ": ." + Extension(path) +
            " is not a video format this program writes; use .mp4, .mkv, .mov or .webm, or a folder name "
            "(no extension, or ending in '/') for PNG frames";
    return false;
}

bool CheckCaptureTarget(const std::string& path, CaptureKind kind, bool overwrite, std::string& error)
{
    std::error_code code;
    const fs::file_status status = fs::status(path, code);
    if (!fs::exists(status)) return true;
    if (kind == CaptureKind::Video) {
        if (!fs::is_regular_file(status)) {
            error = "--capture " + path + ": there is a " + (fs::is_directory(status) ? "folder" : "non-file") +
                    " of that name; a video needs a file name";
            return false;
        }
        if (!overwrite) {
            error = "--capture " + path + ": the file exists; add --overwrite to replace it, or choose another name";
            return false;
        }
        return true;
    }
    if (fs::is_directory(status) && !overwrite && HoldsFrames(path)) {
        error = "--capture " + path + ": the folder already holds frames; add --overwrite to replace them, or "
                "choose another folder";
        return false;
    }
    return true;
}

bool RemoveFrames(const std::string& folder, std::string& error)
{
    std::error_code code;
    for (fs::directory_iterator entry(folder, code), end; !code && entry != end; entry.increment(code)) {
        if (!IsFrameName(entry->path().filename().string())) continue;
        if (!fs::remove(entry->path(), code)) break;
    }
    if (code && code != std::errc::no_such_file_or_directory) {
        error = "--capture " + folder + ": cannot remove the earlier frames: " + code.message();
        return false;
    }
    return true;
}

std::string TemporaryNameBeside(const std::string& path, long processId, std::size_t nameLimit)
{
    const std::string suffix = "." + std::to_string(processId) + ".part";
    const std::size_t slash = path.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string name = path.substr(nameStart);
    if (name.size() + suffix.size() > nameLimit) {
        name.resize(nameLimit > suffix.size() ? nameLimit - suffix.size() : 0);
        // Never keep half of a UTF-8 character: find where the last one starts and whether it is whole.
        std::size_t lead = name.size();
        while (lead > 0 && (static_cast<unsigned char>(name[lead - 1]) & 0xC0) == 0x80) --lead;
        if (lead > 0 && static_cast<unsigned char>(name[lead - 1]) >= 0xC0) {
            const unsigned char first = static_cast<unsigned char>(name[--lead]);
            const std::size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : 2;
            if (name.size() - lead < length) name.resize(lead);
        }
    }
    return path.substr(0, nameStart) + name + suffix;
}
