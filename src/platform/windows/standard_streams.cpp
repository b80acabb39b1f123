// A program started from the desktop has no standard streams at all: each missing one is opened
// on NUL, so the numbers 0, 1 and 2 are never handed to the files the program opens later.
#include "platform/standard_streams.h"

#include <fcntl.h>
#include <io.h>

void OpenStandardStreams()
{
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (_get_osfhandle(descriptor) != -1) continue;
        const int opened = _open("NUL", _O_RDWR | _O_BINARY);
        if (opened >= 0 && opened != descriptor) _dup2(opened, descriptor), _close(opened);
    }
}
