// The few Windows names the program was written against. On Windows they are the system's own;
// elsewhere this header gives them a meaning: the entry point, the instance handle and the GL
// entry-point lookup.
#pragma once

#include <cstdint>

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#else

// Windows' LONG is 32 bits wide on every target; frame times stay in that range.
using LONG = std::int32_t;
using UINT = unsigned int;
using LPSTR = char*;
using PROC = void (*)();

// The instance handle carries the process's command line to the host.
struct PlatformInstance {
    int argumentCount = 0;
    char** arguments = nullptr;
    const char* executablePath = nullptr;
};
using HINSTANCE = PlatformInstance*;

struct PlatformWindow;
using HWND = PlatformWindow*;

#define WINAPI

// The program's entry function, called by the portable main with the instance handle and the
// command line (the arguments after the program name, joined by blanks).
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);

// Looks up a GL entry point by name in the current context; null when the driver has none.
PROC wglGetProcAddress(const char* name);

#endif
