// What the show's window makes of the viewer's keys and of its own focus.
#pragma once

#include <SDL2/SDL.h>

#include "DemoSys/Host.h"
#include "DemoSys/Seeking.h"

enum class WindowKey {
    kNone, kQuit, kToggleFullscreen, kPause, kBack, kForward, kStart, kPictureEarlier, kPictureLater, kGentle
};

// Escape ends the show; F11 or Alt+Enter, pressed rather than held down,
// switches fullscreen on or off. The player's keys: Space pauses and
// resumes, Left and Right go back and forward (again and again while held),
// Home goes to the start; - and + (= on the same key, and the keypad's)
// show the picture earlier and later by the viewer's offset's step. G turns
// the gentle mode on or off.
inline WindowKey ActionForKey(SDL_Keycode code, Uint16 modifiers, bool repeat) {
    if (code == SDLK_ESCAPE) return WindowKey::kQuit;
    if (code == SDLK_LEFT) return WindowKey::kBack;
    if (code == SDLK_RIGHT) return WindowKey::kForward;
    if (code == SDLK_MINUS || code == SDLK_KP_MINUS) return WindowKey::kPictureEarlier;
    if (code == SDLK_PLUS || code == SDLK_EQUALS || code == SDLK_KP_PLUS) return WindowKey::kPictureLater;
    if (repeat) return WindowKey::kNone;
    // Alt+Space and the like are the window manager's.
    if (code == SDLK_SPACE) return modifiers & (KMOD_ALT | KMOD_CTRL | KMOD_GUI) ? WindowKey::kNone : WindowKey::kPause;
    if (code == SDLK_HOME) return WindowKey::kStart;
    if (code == SDLK_g) return WindowKey::kGentle;
    const bool altEnter = (code == SDLK_RETURN || code == SDLK_KP_ENTER) && (modifiers & KMOD_ALT);
    return code == SDLK_F11 || altEnter ? WindowKey::kToggleFullscreen : WindowKey::kNone;
}

// What a player's key asks of the show.
inline void NotePlayerKey(WindowKey key, SurfaceEvents& events) {
    if (key == WindowKey::kPause) events.togglePause = !events.togglePause;
    if (key == WindowKey::kStart) {
        events.toStart = true;
        events.seekBy = 0.0;
    }
    if (key == WindowKey::kBack) events.seekBy -= Seeking::kPlayerStep;
    if (key == WindowKey::kForward) events.seekBy += Seeking::kPlayerStep;
    if (key == WindowKey::kPictureEarlier) --events.offsetSteps;
    if (key == WindowKey::kPictureLater) ++events.offsetSteps;
    if (key == WindowKey::kGentle) events.toggleGentle = !events.toggleGentle;
}

// The window losing or regaining the focus is the application going
// inactive or active again.
inline void NoteFocus(Uint8 windowEvent, SurfaceEvents& events) {
    if (windowEvent == SDL_WINDOWEVENT_FOCUS_LOST) events.resignedActive = true;
    if (windowEvent == SDL_WINDOWEVENT_FOCUS_GAINED) events.becameActive = true;
}
