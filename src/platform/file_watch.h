// Notices that a file changed on disk, by its modification time and size, looked at no more than
// twice a second so a frame loop can ask every frame.
#pragma once

#include <cstdint>
#include <string>

class FileWatch {
public:
    // Remembers how the file is now; a later change is reported once.
    FileWatch(std::string path, std::uint64_t nowMs);
    // True once per change seen since the last call (a file removed and put back counts as one).
    bool Changed(std::uint64_t nowMs);
    const std::string& Path() const { return path_; }

private:
    struct Stamp {
        bool exists = false;
        std::int64_t modified = 0;  // nanoseconds
        std::int64_t size = 0;
        bool operator!=(const Stamp& other) const
        {
            return exists != other.exists || modified != other.modified || size != other.size;
        }
    };
    Stamp Look() const;

    std::string path_;
    Stamp seen_;
    std::uint64_t lastLookMs_;
};
