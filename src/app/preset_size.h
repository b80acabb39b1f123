// The render size the start-up record's preset names, when nothing else names one.
#pragma once

inline void PresetSize(int preset, int& width, int& height)
{
    switch (preset) {
    case 0: width = 640, height = 480; break;
    case 2: width = 1280, height = 720; break;
    default: width = 1024, height = 768; break;
    }
}
