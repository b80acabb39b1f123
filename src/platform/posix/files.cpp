#include "platform/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kClaimFile = "/.tarnelvois-capture.lock";

}  // namespace

int FlushToDisk(const std::string& path)
{
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return errno;
    const int result = fsync(descriptor) == 0 ? 0 : errno;
    close(descriptor);
    return result == EINVAL ? 0 : result;  // a file system without fsync has nothing to flush
}

Placement MoveIntoPlace(const std::string& from, const std::string& to, bool replace, std::string& reason)
{
    if (replace) {
        if (std::rename(from.c_str(), to.c_str()) == 0) return Placement::Placed;
        reason = std::strerror(errno);
        return Placement::Failed;
    }
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return Placement::Placed;
    if (errno == EEXIST) return Placement::TargetExists;
    // A file system that cannot rename without replacing: a second name made only if none is
    // there, then the first one dropped.
    if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP) {
        if (link(from.c_str(), to.c_str()) == 0) {
            unlink(from.c_str());
            return Placement::Placed;
        }
        if (errno == EEXIST) return Placement::TargetExists;
    }
    reason = std::strerror(errno);
    return Placement::Failed;
}

std::unique_ptr<FolderClaim> FolderClaim::Take(const std::string& folder, std::string& holder, std::string& reason)
{
    const std::string path = folder + kClaimFile;
    const int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        reason = std::strerror(errno);
        return nullptr;
    }
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        char text[32] = {};
        const ssize_t got = pread(descriptor, text, sizeof text - 1, 0);
        const long other = got > 0 ? std::strtol(text, nullptr, 10) : 0;
        holder = other > 0 ? "process " + std::to_string(other) : "another process";
        close(descriptor);
        return nullptr;
    }
    const std::string self = std::to_string(long(getpid())) + "\n";
    if (ftruncate(descriptor, 0) != 0 || pwrite(descriptor, self.data(), self.size(), 0) < 0) {
        // The claim holds without the number; only the message of a refused capture is poorer.
    }
    return std::unique_ptr<FolderClaim>(new FolderClaim(path, descriptor));
}

FolderClaim::~FolderClaim()
{
    unlink(path_.c_str());
    close(int(handle_));
}
