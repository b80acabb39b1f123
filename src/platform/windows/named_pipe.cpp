#include "platform/windows/named_pipe.h"

bool WaitForPipeReader(HANDLE handle)
{
    // Any other handle (an unnamed pipe, a file) is refused as not a serving end: its writes decide.
    if (ConnectNamedPipe(handle, nullptr)) return true;
    return GetLastError() != ERROR_NO_DATA;
}
