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

// The pointer is held for 0.3 s, and on until the window is in place: window managers move it
// in answer to the change of the screen, some just after they have placed the window (KWin
// scales its position to the new size). One that never puts the window in place does not keep
// the hand still for more than a second.
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

// The mode a DEVMODE asks for: the desktop's size where it gives none, the display's default
// rate (0) where it gives no rate, 32 bits where it gives no colour depth.
struct WantedMode {
    int width;
    int height;
    int refresh;
    int bits;
};

WantedMode wantedMode(const DevMode& mode) {
    SDL_DisplayMode desktop{};
    SDL_GetDesktopDisplayMode(kGameDisplay, &desktop);
    const auto given = [&](std::uint32_t field, std::uint32_t value, int otherwise) {
        return (mode.dmFields & field) != 0 ? static_cast<int>(value) : otherwise;
    };
    return {given(DM_PELSWIDTH, mode.dmPelsWidth, desktop.w),
            given(DM_PELSHEIGHT, mode.dmPelsHeight, desktop.h),
            given(DM_DISPLAYFREQUENCY, mode.dmDisplayFrequency, 0),
            given(DM_BITSPERPEL, mode.dmBitsPerPel, 32)};
}

// The game output's listed mode for `wanted`; false, with a line on standard error that says
// what the display offers, when it lists none.
bool findDisplayMode(const WantedMode& wanted, SDL_DisplayMode& found) {
    SDL_DisplayMode desktop{};
    SDL_GetDesktopDisplayMode(kGameDisplay, &desktop);
    const std::vector<SDL_DisplayMode> modes = displayModes(kGameDisplay);
    const int index = findListedMode(listed(modes), wanted.width, wanted.height, wanted.refresh,
                                     desktop.refresh_rate);
    if (index < 0) {
        std::fprintf(
            stderr, "%s\n",
            refusedModeLine(listed(modes), wanted.width, wanted.height, wanted.refresh).c_str());
        return false;
    }
    found = modes[static_cast<std::size_t>(index)];
    return true;
}

// Switches the game's output to `found` with the window shown full screen in it: the switch's
// own window, of the mode's colour depth, unless there is one already (setPixelFormat makes a
// new one should the game ask for another format). True when the output runs in the mode.
bool switchOutput(const SDL_DisplayMode& found, int bits) {
    rememberPointer();
    guardian::displaySwitched();
    backend.mode = found;
    backend.switched = true;
    FramebufferFormat format;
    format.colourBits = bits;
    bool made = backend.window != nullptr || makeWindow(format, found.w, found.h, "");
    if (!made) {
        // Without OpenGL the switch still shows whether the display takes the mode; the
        // pixel format's own step reports the missing OpenGL.
        format.gl = false;
        made = makeWindow(format, found.w, found.h, "");
    }
    return made && showFullscreen();
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
    const WantedMode wanted = wantedMode(mode);
    SDL_DisplayMode found{};
    if (!(wanted.bits == 16 || wanted.bits == 24 || wanted.bits == 32) ||
        !findDisplayMode(wanted, found)) {
        return DISP_CHANGE_BADMODE;
    }
    // The switch happens here: a listed mode whose switch then fails is DISP_CHANGE_FAILED, with
    // nothing left switched.
    if (!switchOutput(found, wanted.bits)) {
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
