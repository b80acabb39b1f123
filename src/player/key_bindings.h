// The player's keys: which key does what, and which of them the start-up record allows.
#pragma once

#include <SDL2/SDL.h>

#include "host/demogl.h"

enum class PlayerAction {
    None,
    Quit,           // Escape or Q
    Pause,          // Space
    Fullscreen,     // F or Alt+Enter
    Screenshot,     // F12
    SeekBack,       // Left: 10 s back
    SeekForward,    // Right: 10 s on
    SeekStart,      // Home: the beginning
    ToggleOverlay,  // Tab: the maker's overlay
};

// What a key press asks for; None for other events, held-key repeats and keys that are off.
PlayerAction ActionForEvent(const SDL_Event& event, const SStartupDat& startup);
