// The encoder's further inputs are named pipes this program serves: nothing can be written into one
// before the encoder has opened it.
#pragma once

#include "platform/platform.h"

// Waits until the reader has opened the pipe, when 'handle' is the serving end of a named pipe;
// true at once for any other handle. False when the reader has come and gone.
bool WaitForPipeReader(HANDLE handle);
