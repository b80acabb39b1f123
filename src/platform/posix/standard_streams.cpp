#include "platform/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

void OpenStandardStreams()
{
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free number is the one just found closed, as the ones below it are open.
        const int opened = open("/dev/null", O_RDWR);
        if (opened >= 0 && opened != descriptor) dup2(opened, descriptor), close(opened);
    }
}
