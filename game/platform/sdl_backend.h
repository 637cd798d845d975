// Internal to the SDL backend: its state and the helpers its files share.
//
// Differences from Win32 that the game never sees:
// - The display switch belongs to a full-screen window in SDL. changeDisplaySettings makes a
//   hidden window for it (of the mode's colour depth) and shows it full screen, which switches
//   the game's output; setPixelFormat takes that window over, or makes one of another format.
// - The game's output is the primary one (XRandR's; SDL lists it first); screen pixels count
//   from its corner. Beside other outputs the switch goes through outputLayout.
// - Colour depth: Linux desktops keep their own depth, so the mode's bits per pixel only choose
//   the colour bits of the GL framebuffer.
// - SIGTERM, SIGINT and SIGHUP arrive as a close request (WM_CLOSE).
#pragma once

#include <SDL.h>

#include <chrono>
#include <csignal>
#include <deque>

#include "platform.h"
#include "window_system.h"

namespace sdl {

// The game's output: SDL lists XRandR's primary output first (the first output where none is
// marked primary). Screen pixels count from its corner.
constexpr int kGameDisplay = 0;

// The framebuffer a window is made with (its X visual depends on it): the pixel format's, or
// for the display switch the mode's colour bits.
struct FramebufferFormat {
    int colourBits = 32;
    int alpha = 0;
    int depth = 16;
    int stencil = 0;
    int accum[4] = {};
    bool doubleBuffer = true;
    bool gl = true;  // false: a plain window, only for the switch (no OpenGL to be had then)
    bool operator==(const FramebufferFormat&) const = default;
};

struct Backend {
    // The backend's one SDL window. The display switch makes it, hidden, when it comes first (in
    // SDL the switch belongs to a full-screen window); setPixelFormat takes it over as the game
    // window, or replaces it with one of the format asked for.
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    std::chrono::steady_clock::time_point lastSwap{};  // for the pacing without vsync
    // While held, the pointer reads where the game last put it: moves that the window system
    // makes around a switch or a return (not the player) never reach the hand.
    std::chrono::steady_clock::time_point pointerHeldSince{};
    SDL_DisplayMode mode{};          // the mode the display is switched to while `switched`
    FramebufferFormat windowFormat;  // what `window` was made with
    SDL_Point pointerPut{};          // relative to the game output's corner

    int placementChecks = 0;  // full-screen requests still allowed since the last return
    int viewWidth = 0;        // the size last sent with WM_SIZE
    int viewHeight = 0;
    int closeRequestsSent = 0;  // termination signals already sent on as WM_CLOSE

    bool videoTried = false;  // SDL's video was started, or tried (ensureVideo)
    bool videoUp = false;
    bool windowIsGame = false;  // `window` is the game window (its pixel format is set)
    bool vsync = false;         // the driver waits for the refresh at each swap
    bool switched = false;      // switched by the game, not restored yet (also while away)
    bool cursorShown = true;    // the rules' cursor count is >= 0
    bool pointerHeld = false;   // see pointerHeldSince
    bool windowPlaced = false;  // the window covers the output since the hold began
    // Away: the game window is off the screen (minimised, unmapped by a workspace switch,
    // hidden by the compositor), or back on it but the display did not switch back to the
    // game's mode; the desktop has its own mode meanwhile.
    bool away = false;
    bool switchBackFailed = false;  // the last return did not switch; set until the window leaves
};

// Where the window system has the game window now.
struct Placement {
    bool onScreen = false;  // viewable, neither iconic nor hidden
    bool fullscreen = false;
    SDL_Rect rect{};  // in whole-desktop coordinates
};

extern Backend backend;
// Termination signals received (written by the signal handler).
extern volatile std::sig_atomic_t closeRequests;

// The game window: backend.window once setPixelFormat has made it the game's; null before.
SDL_Window* gameWindow();

// Video (sdl_display.cpp): started on first need; false when there is no display.
bool ensureVideo();
// Shows backend.window full screen in backend.mode; true when the output runs in it.
bool showFullscreen();
// The pointer back at its place on the game's output after a switch; it stays held there
// until the window is in place.
void putPointerBack();
// The window covers the output: the pointer may go with the player's motion again soon.
void windowInPlace();
// The game output's area in the game's mode, in whole-desktop coordinates.
SDL_Rect gameArea();

// The window (sdl_window.cpp): backend.window made anew, hidden and borderless on the game's
// output, in `format`.
bool makeWindow(const FramebufferFormat& format, int width, int height, const char* title);
// The game window's placement, asked of the X server; false without an X window.
bool queryPlacement(Placement& placement);
// Asks the window manager again for full screen over the game output in its mode.
void requestFullscreen(const Placement& placement);
// Leaves full screen, which gives the desktop its mode back (sdl_display.cpp).
void leaveFullscreen();

// Input (sdl_keys.cpp, sdl_events.cpp): the virtual-key code of an SDL key (0: none), and the
// messages of one SDL event appended to `pending`.
WPARAM virtualKey(SDL_Keycode key);
void translate(const SDL_Event& e, std::deque<Msg>& pending);
// Whether an X event concerns the game window's state as the window manager sees it.
bool isWindowStateEvent(const SDL_SysWMmsg& msg);

}  // namespace sdl
