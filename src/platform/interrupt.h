// Ctrl+C, SIGTERM and a closed terminal as a request the run loop answers between frames, so a
// capture can stop its encoder and remove the unfinished file instead of dying mid-write.
#pragma once

// Installs the handlers, leaving alone a signal the program was started with ignored (nohup, a
// script's `cmd &`). A write to a closed pipe comes back as an error instead of ending the program.
// A second signal, when the first went unanswered, ends the program at once, after the emergency
// clean-up below.
void CatchInterrupts();
// The signal that asked to stop, or 0.
int InterruptSignal();

// What must be undone even when the program cannot end in order (a second Ctrl+C, a library
// calling exit): the encoder's process group is killed and the temporary file removed. Both are
// optional (0, nullptr); the path is copied. One slot for the video encoder and its file, one for
// a single file being written (a PNG frame, a screenshot), so the two never clear each other.
// Disarmed once the output is finished or removed.
enum class CleanupSlot { Encoder, File };
void ArmEmergencyCleanup(CleanupSlot slot, int processGroup, const char* temporaryPath);
void DisarmEmergencyCleanup(CleanupSlot slot);

// Called when the output is complete and about to get its final name: from here a signal can no
// longer stop the capture, so later ones are ignored and the run ends normally. False when a
// signal came first (the output must then be thrown away).
bool StopAnsweringInterrupts();
