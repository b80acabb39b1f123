// The picture decoder compiled with this build's sanitizers, in place of the system library.
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
