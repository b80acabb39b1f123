#include "platform/descriptors.h"

#include <io.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/windows/named_pipe.h"

bool WriteAllTo(int descriptor, const std::uint8_t* bytes, std::size_t size, std::string& reason)
{
    if (!WaitForPipeReader(reinterpret_cast<HANDLE>(_get_osfhandle(descriptor)))) {
        reason = "the reader closed the pipe";
        return false;
    }
    while (size > 0) {
        const int written = _write(descriptor, bytes, unsigned(std::min<std::size_t>(size, 1u << 30)));
        if (written <= 0) {
            reason = std::strerror(written < 0 ? errno : EIO);
            return false;
        }
        bytes += written, size -= std::size_t(written);
    }
    return true;
}

void CloseDescriptor(int descriptor) { _close(descriptor); }
