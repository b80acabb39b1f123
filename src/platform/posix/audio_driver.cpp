#include "platform/audio_driver.h"

#include <dlfcn.h>

#include <cstring>

namespace {

void SayNothing(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

// SDL has loaded the library already when ALSA is the driver; it is only looked up, never loaded.
void QuietAudioDriver(const char* driver)
{
    if (!driver || std::strcmp(driver, "alsa") != 0) return;
    void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_NOLOAD);
    if (!library) return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    if (auto setHandler = reinterpret_cast<int (*)(Handler)>(dlsym(library, "snd_lib_error_set_handler")))
        setHandler(&SayNothing);
    dlclose(library);
}
