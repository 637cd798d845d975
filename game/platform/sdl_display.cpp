// The SDL backend: video start, the game output, its modes and switch, the pointer.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "display_guardian.h"
#include "display_modes.h"
#include "output_layout.h"

#include "sdl_backend.h"

namespace {

using namespace sdl;

// The display's modes, in SDL's order (largest first, highest rate first within a size).
std::vector<SDL_DisplayMode> displayModes(int display) {
    std::vector<SDL_DisplayMode> modes;
    const int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode m{};
        if (SDL_GetDisplayMode(display, i, &m) == 0) {
            modes.push_back(m);
        }
    }
    return modes;
}

std::vector<ListedMode> listed(const std::vector<SDL_DisplayMode>& modes) {
    std::vector<ListedMode> out;
    out.reserve(modes.size());
    for (const SDL_DisplayMode& m : modes) {
        out.push_back({m.w, m.h, m.refresh_rate});
    }
    return out;
}

// The game output's corner in whole-desktop coordinates: the origin of the game's screen
// pixels.
SDL_Point outputCorner() {
    SDL_Rect bounds{};
    SDL_GetDisplayBounds(kGameDisplay, &bounds);
    return {bounds.x, bounds.y};
}

// The pointer is held for a while once the window is in place: window managers move it in
// answer to the change of the screen, some after they have placed the window (KWin scales its
// position to the new size). One that never puts the window in place does not keep the hand
// still for long.
bool holdIsOver() {
    using std::chrono::milliseconds;
    const auto held = std::chrono::steady_clock::now() - backend.pointerHeldSince;
    return (backend.windowPlaced && held >= milliseconds(300)) || held >= milliseconds(1000);
}

// The warp waits for the server, so the next reading starts from where the game put it.
void releasePointer() {
    backend.pointerHeld = false;
    const SDL_Point corner = outputCorner();
    SDL_WarpMouseGlobal(corner.x + backend.pointerPut.x, corner.y + backend.pointerPut.y);
}

// Where the pointer was on the game's output before the switch, relative to its corner.
SDL_Point pointerBeforeSwitch{};

void rememberPointer() {
    int x = 0;
    int y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    const SDL_Point corner = outputCorner();
    pointerBeforeSwitch = {x - corner.x, y - corner.y};
}

}  // namespace

namespace sdl {

// SDL video, started on first need. The guardian is forked just before, while the process is
// still a single thread with no X connection of its own.
bool ensureVideo() {
    if (backend.videoTried) {
        return backend.videoUp;
    }
    backend.videoTried = true;
    guardian::start();
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Frames go on while another window is in front; only minimising stops them.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // Wayland sessions: the game is an X program there, run through XWayland. Its display modes,
    // the pointer put back every frame and the guardian all need X; a later SDL that preferred
    // its Wayland driver would lose them. A player's own SDL_VIDEODRIVER still decides.
    const char* session = std::getenv("XDG_SESSION_TYPE");
    if (std::getenv("SDL_VIDEODRIVER") == nullptr &&
        (std::getenv("WAYLAND_DISPLAY") != nullptr ||
         (session != nullptr && std::strcmp(session, "wayland") == 0))) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "Vantu: no display: %s\n", SDL_GetError());
        return false;
    }
    backend.videoUp = true;
    // The X events that tell where the window manager has the window (a workspace switch
    // unmaps it without a word to SDL).
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    SDL_ShowCursor(backend.cursorShown ? SDL_ENABLE : SDL_DISABLE);
    return true;
}

// Shows the window full screen in backend.mode, which switches the output; true when the output
// then runs in that mode.
bool showFullscreen() {
    SDL_Window* sdl = backend.window;
    SDL_Rect bounds{};
    SDL_GetDisplayBounds(kGameDisplay, &bounds);
    if (outputLayout::takeOver(sdl, bounds)) {
        // Beside other outputs the switch is ours, and SDL must not switch modes at all (its
        // switch, also on minimising, resizes the whole screen): the window covers the output
        // as a desktop full-screen window, sized by the window manager.
        if (!outputLayout::switchTo(backend.mode.w, backend.mode.h, backend.mode.refresh_rate)) {
            SDL_SetError("the X server refused the output's new mode beside the other outputs");
            return false;
        }
        if (SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            return false;
        }
        SDL_ShowWindow(sdl);
        return SDL_GetWindowDisplayIndex(sdl) == kGameDisplay;
    }
    if (SDL_SetWindowDisplayMode(sdl, &backend.mode) != 0 ||
        SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN) != 0) {
        return false;
    }
    SDL_ShowWindow(sdl);
    SDL_DisplayMode now{};
    return (SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN) != 0 &&
           SDL_GetCurrentDisplayMode(kGameDisplay, &now) == 0 && now.w == backend.mode.w &&
           now.h == backend.mode.h && now.refresh_rate == backend.mode.refresh_rate &&
           SDL_GetWindowDisplayIndex(sdl) == kGameDisplay;
}

// The server may move the pointer while the output changes (onto another output, when the
// game's output shrinks under it), and so may the window manager; it goes back to its place on
// the game's output, clamped inside the new size, as it stays on a single display. The game
// reads it there until the window is in place.
void putPointerBack() {
    // The mode's size: SDL knows nothing of a switch made through the output layout.
    backend.pointerPut = {std::clamp(pointerBeforeSwitch.x, 0, std::max(backend.mode.w - 1, 0)),
                          std::clamp(pointerBeforeSwitch.y, 0, std::max(backend.mode.h - 1, 0))};
    const SDL_Point corner = outputCorner();
    SDL_WarpMouseGlobal(corner.x + backend.pointerPut.x, corner.y + backend.pointerPut.y);
    backend.pointerHeld = true;
    backend.windowPlaced = false;
    backend.pointerHeldSince = std::chrono::steady_clock::now();
}

void windowInPlace() {
    backend.windowPlaced = true;
}

SDL_Rect gameArea() {
    const SDL_Point corner = outputCorner();
    return {corner.x, corner.y, backend.mode.w, backend.mode.h};
}

void leaveFullscreen() {
    outputLayout::restore();
    SDL_SetWindowFullscreen(backend.window, 0);
}

}  // namespace sdl

namespace windowSystem {

using namespace sdl;

// Screen pixels are relative to the game output's corner, so that (320, 240) lies inside the
// game in every layout of outputs.
void cursorPosition(int& x, int& y) {
    if (backend.pointerHeld && holdIsOver()) {
        releasePointer();
    }
    if (backend.pointerHeld) {
        x = backend.pointerPut.x;
        y = backend.pointerPut.y;
    } else if (backend.videoUp) {
        SDL_GetGlobalMouseState(&x, &y);
        const SDL_Point corner = outputCorner();
        x -= corner.x;
        y -= corner.y;
    }
}

void moveCursor(int x, int y) {
    backend.pointerPut = {x, y};
    if (backend.videoUp) {
        const SDL_Point corner = outputCorner();
        SDL_WarpMouseGlobal(corner.x + x, corner.y + y);
    }
}

void cursorCountChanged(int displayCount) {
    backend.cursorShown = displayCount >= 0;
    if (backend.videoUp) {
        SDL_ShowCursor(backend.cursorShown ? SDL_ENABLE : SDL_DISABLE);
    }
}

bool restoreDisplay() {
    if (backend.switched) {
        backend.switched = false;
        backend.pointerHeld = false;
        if (backend.window != nullptr) {
            // Leaving full screen gives the desktop its own mode back; the window is not wanted
            // on the desktop in the meantime.
            leaveFullscreen();
            SDL_HideWindow(backend.window);
        } else {
            outputLayout::restore();
        }
        guardian::displayRestored();
    }
    return true;
}

std::int32_t switchDisplay(const DevMode& mode, std::uint32_t /*flags*/) {
    if (!ensureVideo()) {
        return DISP_CHANGE_FAILED;
    }
    SDL_DisplayMode desktop{};
    SDL_GetDesktopDisplayMode(kGameDisplay, &desktop);
    const int width =
        (mode.dmFields & DM_PELSWIDTH) ? static_cast<int>(mode.dmPelsWidth) : desktop.w;
    const int height =
        (mode.dmFields & DM_PELSHEIGHT) ? static_cast<int>(mode.dmPelsHeight) : desktop.h;
    const int refresh =
        (mode.dmFields & DM_DISPLAYFREQUENCY) ? static_cast<int>(mode.dmDisplayFrequency) : 0;
    if (mode.dmFields & DM_BITSPERPEL) {
        const std::uint32_t bits = mode.dmBitsPerPel;
        if (bits != 16 && bits != 24 && bits != 32) {
            return DISP_CHANGE_BADMODE;
        }
    }
    const std::vector<SDL_DisplayMode> modes = displayModes(kGameDisplay);
    const int index = findListedMode(listed(modes), width, height, refresh, desktop.refresh_rate);
    if (index < 0) {
        std::fprintf(stderr, "%s\n",
                     refusedModeLine(listed(modes), width, height, refresh).c_str());
        return DISP_CHANGE_BADMODE;
    }
    const SDL_DisplayMode found = modes[static_cast<std::size_t>(index)];
    // The switch happens here, with a window of the mode's colour depth and the pixel format the
    // game asks for (setPixelFormat makes a new one should it ask for another); a switch the
    // display then refuses is reported like a mode it does not list.
    rememberPointer();
    guardian::displaySwitched();
    backend.mode = found;
    backend.switched = true;
    FramebufferFormat format;
    format.colourBits = (mode.dmFields & DM_BITSPERPEL) ? static_cast<int>(mode.dmBitsPerPel) : 32;
    bool made = backend.window != nullptr || makeWindow(format, found.w, found.h, "");
    if (!made) {
        // Without OpenGL the switch still shows whether the display takes the mode; the
        // pixel format's own step reports the missing OpenGL.
        format.gl = false;
        made = makeWindow(format, found.w, found.h, "");
    }
    if (!made || !showFullscreen()) {
        std::fprintf(stderr, "Vantu: the display did not switch to %dx%d at %d Hz: %s\n", found.w,
                     found.h, found.refresh_rate, SDL_GetError());
        restoreDisplay();
        if (backend.window != nullptr && !backend.windowIsGame) {
            SDL_DestroyWindow(backend.window);
            backend.window = nullptr;
        }
        return DISP_CHANGE_FAILED;
    }
    putPointerBack();
    return DISP_CHANGE_SUCCESSFUL;
}

}  // namespace windowSystem
