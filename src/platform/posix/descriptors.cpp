#include "platform/descriptors.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

bool WriteAllTo(int descriptor, const std::uint8_t* bytes, std::size_t size, std::string& reason)
{
    while (size > 0) {
        const ssize_t written = write(descriptor, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            reason = std::strerror(written < 0 ? errno : EIO);
            return false;
        }
        bytes += written, size -= size_t(written);
    }
    return true;
}

void CloseDescriptor(int descriptor) { close(descriptor); }
