// Ctrl+C, SIGTERM and a closed terminal as a request the run loop answers between frames, so a
// capture can stop its encoder and remove the unfinished file instead of dying mid-write.
#pragma once

// Installs the handlers. A second signal, when the first went unanswered, ends the program at once.
void CatchInterrupts();
// The signal that asked to stop, or 0.
int InterruptSignal();
