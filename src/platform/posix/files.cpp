#include "platform/files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

int FlushToDisk(const std::string& path)
{
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return errno;
    const int result = fsync(descriptor) == 0 ? 0 : errno;
    close(descriptor);
    return result == EINVAL ? 0 : result;  // a file system without fsync has nothing to flush
}

bool MoveIntoPlace(const std::string& from, const std::string& to, std::string& reason)
{
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    reason = std::strerror(errno);
    return false;
}
