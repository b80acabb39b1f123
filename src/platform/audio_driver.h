// What the system's sound libraries need from the program beyond SDL's own calls.
#pragma once

// Stops the audio driver SDL chose (its name, as SDL_GetCurrentAudioDriver gives it) from writing
// its own complaints to the standard error: on Linux ALSA writes eight lines on a machine without
// a sound card, where the program's one line says it all. Nothing to do elsewhere.
void QuietAudioDriver(const char* driver);
