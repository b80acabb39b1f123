#include "player/key_bindings.h"

PlayerAction ActionForEvent(const SDL_Event& event, const SStartupDat& startup)
{
    // A held key repeats; a held Space must not pause and resume in turn.
    if (event.type != SDL_KEYDOWN || event.key.repeat || !startup.enableKeys) return PlayerAction::None;
    const bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
    switch (event.key.keysym.sym) {
    case SDLK_ESCAPE:
    case SDLK_q: return startup.quitOnEscape ? PlayerAction::Quit : PlayerAction::None;
    case SDLK_SPACE: return startup.pauseOnSpace ? PlayerAction::Pause : PlayerAction::None;
    case SDLK_f: return PlayerAction::Fullscreen;
    case SDLK_RETURN: return alt ? PlayerAction::Fullscreen : PlayerAction::None;
    case SDLK_F12: return PlayerAction::Screenshot;
    case SDLK_LEFT: return PlayerAction::SeekBack;
    case SDLK_RIGHT: return PlayerAction::SeekForward;
    case SDLK_HOME: return PlayerAction::SeekStart;
    case SDLK_TAB: return PlayerAction::ToggleOverlay;
    default: return PlayerAction::None;
    }
}
