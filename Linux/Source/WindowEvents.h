// What the show's window makes of the viewer's keys and of its own focus.
#pragma once

#include <SDL2/SDL.h>

#include "DemoSys/Host.h"

enum class WindowKey { kNone, kQuit, kToggleFullscreen };

// Escape ends the show; F11 or Alt+Enter, pressed rather than held down,
// switches fullscreen on or off.
inline WindowKey ActionForKey(SDL_Keycode code, Uint16 modifiers, bool repeat) {
    if (code == SDLK_ESCAPE) return WindowKey::kQuit;
    const bool altEnter = (code == SDLK_RETURN || code == SDLK_KP_ENTER) && (modifiers & KMOD_ALT);
    return (code == SDLK_F11 || altEnter) && !repeat ? WindowKey::kToggleFullscreen : WindowKey::kNone;
}

// The window losing or regaining the focus is the application going
// inactive or active again.
inline void NoteFocus(Uint8 windowEvent, SurfaceEvents& events) {
    if (windowEvent == SDL_WINDOWEVENT_FOCUS_LOST) events.resignedActive = true;
    if (windowEvent == SDL_WINDOWEVENT_FOCUS_GAINED) events.becameActive = true;
}
