#include "platform/audio_driver.h"

// Windows' audio drivers report through SDL only.
void QuietAudioDriver(const char*) {}
