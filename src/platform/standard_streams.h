// A program started with its standard input, output or error closed (as some service managers
// and careless scripts do) would hand those numbers to the next files it opens: a pipe into the
// encoder could become "standard error", and every message would land in the video.
#pragma once

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed. Call before opening anything.
void OpenStandardStreams();
