// Platform backend over SDL2: one game window, full screen in an exact display mode, an OpenGL
// context, and SDL's events turned into window messages.
//
// Differences from Win32 that the game never sees:
// - The display switch belongs to the full-screen window in SDL. changeDisplaySettings checks
//   the mode against the display's list and keeps it; the window made by setPixelFormat (the
//   point where the pixel format, and so the X visual, is known) goes full screen in it, and
//   showing that window switches the display.
// - Colour depth: Linux desktops keep their own depth, so the mode's bits per pixel only choose
//   the colour bits of the GL framebuffer.
// - SIGTERM, SIGINT and SIGHUP arrive as a close request (WM_CLOSE).
#include <SDL.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "display_guardian.h"
#include "display_modes.h"
#include "output_layout.h"
#include "platform.h"

namespace {

struct ClassEntry {
    std::string name;
    WndClass windowClass;
};

struct GameWindow {
    bool alive = false;
    std::string className;
    std::string title;
    std::uint32_t style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    WindowProc proc = nullptr;
    bool dcHeld = false;
    int pixelFormat = 0;
    SDL_Window* sdl = nullptr;
};

// The framebuffer that a pixel format asks for; the X visual of a window depends on it.
struct SurfaceFormat {
    int colourBits = 32;
    int alpha = 0;
    int depth = 16;
    int stencil = 0;
    int accum[4] = {};
    bool doubleBuffer = true;
    bool gl = true;  // false: a plain window, only for the switch (no OpenGL to be had then)
    bool operator==(const SurfaceFormat&) const = default;
};

struct Backend {
    bool videoTried = false;
    bool videoUp = false;
    // The game's output, chosen once: XRandR's primary (SDL lists it first), else display 0.
    int display = 0;
    // The SDL window: made by the display switch (the switch belongs to a full-screen window
    // in SDL) or by setPixelFormat, whichever comes first; the game window's surface from
    // setPixelFormat on.
    SDL_Window* surface = nullptr;
    SurfaceFormat surfaceFormat;
    std::vector<ClassEntry> classes;
    GameWindow window;
    SDL_GLContext context = nullptr;
    bool vsync = false;
    std::chrono::steady_clock::time_point lastSwap{};

    bool switched = false;
    SDL_DisplayMode mode{};  // the mode the display is switched to while `switched`

    int cursorCount = 0;

    std::deque<Msg> posted;
    std::deque<Msg> pending;  // translated from SDL events, not taken yet
    bool minimised = false;
    bool pressedSinceIdle[256] = {};
    int closeRequestsSent = 0;
};

Backend backend;
volatile std::sig_atomic_t closeRequests = 0;

char moduleObject;
char iconObject;
char cursorObject;
char dcObject;

WindowHandle windowHandle() {
    return reinterpret_cast<WindowHandle>(&backend.window);
}
DeviceContextHandle dcHandle() {
    return reinterpret_cast<DeviceContextHandle>(&dcObject);
}
GlContextHandle contextHandle() {
    return reinterpret_cast<GlContextHandle>(backend.context);
}
bool isGameWindow(WindowHandle window) {
    return backend.window.alive && window == windowHandle();
}

void onTerminationSignal(int /*sig*/) {
    closeRequests = closeRequests + 1;
}

// SDL draws a message box in a process of its own, forked from the game, and waits for it.
// That process must not outlive the game: after a crash or SIGKILL it would keep the box on
// the screen with no game behind it. It is told to die with the game, and the signals that ask
// the game to end close its box as they would a program's.
bool forkingForBox = false;
pid_t boxOwner = 0;

void onForkInChild() {
    if (!forkingForBox) {
        return;
    }
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != boxOwner) {
        _exit(1);  // the game died before it could be watched
    }
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
}

// Minimising gives the desktop its mode back, and restoring brings the game's back; where the
// switch is done through the output layout, it is done here, before SDL, which then finds the
// mode already set.
int followMinimising(void* /*unused*/, SDL_Event* e) {
    if (e->type != SDL_WINDOWEVENT || !backend.switched || !outputLayout::active()) {
        return 0;
    }
    if (e->window.event == SDL_WINDOWEVENT_MINIMIZED) {
        outputLayout::restore();
    } else if (e->window.event == SDL_WINDOWEVENT_RESTORED ||
               e->window.event == SDL_WINDOWEVENT_SHOWN) {
        outputLayout::switchTo(backend.mode.w, backend.mode.h, backend.mode.refresh_rate);
    }
    return 0;
}

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
    SDL_AddEventWatch(followMinimising, nullptr);
    SDL_ShowCursor(backend.cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return true;
}

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
    for (const SDL_DisplayMode& m : modes) {
        out.push_back({m.w, m.h, m.refresh_rate});
    }
    return out;
}

// The game output's corner in whole-desktop coordinates: the origin of the game's screen
// pixels.
SDL_Point outputCorner() {
    SDL_Rect bounds{};
    SDL_GetDisplayBounds(backend.display, &bounds);
    return {bounds.x, bounds.y};
}

void setGlAttributes(const SurfaceFormat& f) {
    SDL_GL_ResetAttributes();
    const bool deep = f.colourBits > 16;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, deep ? 8 : 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, deep ? 8 : 6);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, deep ? 8 : 5);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, f.alpha);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, f.depth);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, f.stencil);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, f.accum[0]);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, f.accum[1]);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, f.accum[2]);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, f.accum[3]);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, f.doubleBuffer ? 1 : 0);
}

// A hidden borderless OpenGL window on the game's output, replacing any earlier one.
bool makeSurface(const SurfaceFormat& format, int width, int height, const char* title) {
    if (backend.surface != nullptr) {
        SDL_DestroyWindow(backend.surface);
        backend.surface = nullptr;
    }
    setGlAttributes(format);
    const int at = static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(backend.display));
    backend.surface = SDL_CreateWindow(
        title, at, at, width, height,
        (format.gl ? SDL_WINDOW_OPENGL : 0) | SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
    if (backend.surface == nullptr) {
        return false;
    }
    backend.surfaceFormat = format;
    return true;
}

// Shows the surface full screen in backend.mode, which switches the output; true when the
// output then runs in that mode.
bool showFullscreen() {
    SDL_Window* sdl = backend.surface;
    SDL_Rect bounds{};
    SDL_GetDisplayBounds(backend.display, &bounds);
    if (outputLayout::takeOver(sdl, bounds) &&
        !outputLayout::switchTo(backend.mode.w, backend.mode.h, backend.mode.refresh_rate)) {
        SDL_SetError("the X server refused the output's new mode beside the other outputs");
        return false;
    }
    if (SDL_SetWindowDisplayMode(sdl, &backend.mode) != 0 ||
        SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN) != 0) {
        return false;
    }
    SDL_ShowWindow(sdl);
    SDL_DisplayMode now{};
    return (SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN) != 0 &&
           SDL_GetCurrentDisplayMode(backend.display, &now) == 0 && now.w == backend.mode.w &&
           now.h == backend.mode.h && now.refresh_rate == backend.mode.refresh_rate &&
           SDL_GetWindowDisplayIndex(sdl) == backend.display;
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

// The server may move the pointer while the output changes (onto another output, when the
// game's output shrinks under it); it goes back to its place on the game's output, clamped
// inside the new size, as it stays on a single display.
void putPointerBack() {
    SDL_Rect bounds{};
    SDL_GetDisplayBounds(backend.display, &bounds);
    const int x = std::clamp(pointerBeforeSwitch.x, 0, std::max(bounds.w - 1, 0));
    const int y = std::clamp(pointerBeforeSwitch.y, 0, std::max(bounds.h - 1, 0));
    SDL_WarpMouseGlobal(bounds.x + x, bounds.y + y);
}

WPARAM virtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<WPARAM>('A') + static_cast<WPARAM>(key - SDLK_a);
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<WPARAM>(key);
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return VK_F1 + static_cast<WPARAM>(key - SDLK_F1);
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        return 0x61 + static_cast<WPARAM>(key - SDLK_KP_1);
    }
    switch (key) {
        case SDLK_KP_0:
            return 0x60;
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return VK_CONTROL;
        case SDLK_LALT:
        case SDLK_RALT:
            return VK_MENU;
        case SDLK_PAUSE:
            return 0x13;
        case SDLK_CAPSLOCK:
            return 0x14;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_PAGEUP:
            return 0x21;
        case SDLK_PAGEDOWN:
            return 0x22;
        case SDLK_END:
            return 0x23;
        case SDLK_HOME:
            return 0x24;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_INSERT:
            return 0x2D;
        case SDLK_DELETE:
            return 0x2E;
        default:
            return 0;
    }
}

LPARAM pointLParam(int x, int y) {
    return static_cast<LPARAM>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                               static_cast<std::uint32_t>(x & 0xFFFF));
}

WPARAM buttonFlags(std::uint32_t state) {
    WPARAM flags = 0;
    if (state & SDL_BUTTON_LMASK) {
        flags |= 0x1;  // MK_LBUTTON
    }
    if (state & SDL_BUTTON_RMASK) {
        flags |= 0x2;  // MK_RBUTTON
    }
    return flags;
}

void pushActivate(WPARAM how) {
    backend.pending.push_back({WM_ACTIVATE, how | (backend.minimised ? WA_MINIMIZED_FLAG : 0), 0});
}

// Zero or more messages for one SDL event.
void translate(const SDL_Event& e) {
    switch (e.type) {
        case SDL_QUIT:
            backend.pending.push_back({WM_CLOSE, 0, 0});
            break;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    backend.pending.push_back(
                        {WM_SIZE, 0, pointLParam(e.window.data1, e.window.data2)});
                    break;
                case SDL_WINDOWEVENT_MINIMIZED:
                    backend.minimised = true;
                    pushActivate(WA_INACTIVE);
                    break;
                case SDL_WINDOWEVENT_RESTORED:
                    backend.minimised = false;
                    pushActivate(WA_ACTIVE);
                    break;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    pushActivate(WA_ACTIVE);
                    break;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    pushActivate(WA_INACTIVE);
                    break;
                case SDL_WINDOWEVENT_CLOSE:
                    backend.pending.push_back({WM_CLOSE, 0, 0});
                    break;
                default:
                    break;
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const WPARAM vk = virtualKey(e.key.keysym.sym);
            if (vk == 0) {
                break;
            }
            const bool down = e.type == SDL_KEYDOWN;
            // Keys with Alt, Alt itself and F10 are system keys.
            const bool system = (e.key.keysym.mod & KMOD_ALT) != 0 || vk == VK_MENU || vk == VK_F10;
            std::uint32_t message = down ? WM_KEYDOWN : WM_KEYUP;
            if (system) {
                message = down ? WM_SYSKEYDOWN : WM_SYSKEYUP;
            }
            backend.pending.push_back({message, vk, e.key.repeat ? 0x40000000 : 0});
            break;
        }
        case SDL_MOUSEMOTION:
            backend.pending.push_back(
                {WM_MOUSEMOVE, buttonFlags(e.motion.state), pointLParam(e.motion.x, e.motion.y)});
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const bool down = e.type == SDL_MOUSEBUTTONDOWN;
            std::uint32_t message = 0;
            if (e.button.button == SDL_BUTTON_LEFT) {
                message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            } else if (e.button.button == SDL_BUTTON_RIGHT) {
                message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            }
            if (message != 0) {
                backend.pending.push_back({message,
                                           buttonFlags(SDL_GetMouseState(nullptr, nullptr)),
                                           pointLParam(e.button.x, e.button.y)});
            }
            break;
        }
        default:
            break;
    }
}

// Waits out the rest of one refresh period of the current mode since the last swap: the pacing
// that vsync gives where the driver cannot sync.
void waitForRefresh() {
    SDL_DisplayMode current{};
    int hz = 60;
    if (SDL_GetCurrentDisplayMode(backend.display, &current) == 0 && current.refresh_rate > 0) {
        hz = current.refresh_rate;
    }
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) / hz;
    const auto due = backend.lastSwap + period;
    const auto now = Clock::now();
    if (now < due) {
        std::this_thread::sleep_until(due);
        backend.lastSwap = due;
    } else {
        backend.lastSwap = now;
    }
}

}  // namespace

void platformStartup() {
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    guardian::installCrashHandlers();
}

void platformShutdown() {
    if (backend.switched) {
        changeDisplaySettings(nullptr, 0);
    }
    if (backend.videoUp) {
        SDL_Quit();
    }
}

void messageBox(WindowHandle owner, const char* text, const char* caption, unsigned type) {
    std::uint32_t flags = SDL_MESSAGEBOX_INFORMATION;
    if ((type & 0xF0) == MB_ICONERROR) {
        flags = SDL_MESSAGEBOX_ERROR;
    } else if ((type & 0xF0) == MB_ICONWARNING) {
        flags = SDL_MESSAGEBOX_WARNING;
    }
    // Also on standard error, for a player who started the game from a terminal, and for a
    // display where no box can be shown.
    std::fprintf(stderr, "%s: %s\n", caption, text);
    SDL_Window* parent = isGameWindow(owner) ? backend.window.sdl : nullptr;
    static const bool watched = pthread_atfork(nullptr, nullptr, onForkInChild) == 0;
    (void)watched;
    boxOwner = getpid();
    forkingForBox = true;
    SDL_ShowSimpleMessageBox(flags, caption, text, parent);
    forkingForBox = false;
}

WindowHandle getFocus() {
    if (backend.videoUp && backend.window.sdl != nullptr &&
        SDL_GetKeyboardFocus() == backend.window.sdl) {
        return windowHandle();
    }
    return nullptr;
}

// Screen pixels are relative to the game output's corner, so that (320, 240) lies inside the
// game in every layout of outputs.
void getCursorPos(int& x, int& y) {
    if (backend.videoUp) {
        SDL_GetGlobalMouseState(&x, &y);
        const SDL_Point corner = outputCorner();
        x -= corner.x;
        y -= corner.y;
    }
}

void setCursorPos(int x, int y) {
    if (backend.videoUp) {
        const SDL_Point corner = outputCorner();
        SDL_WarpMouseGlobal(corner.x + x, corner.y + y);
    }
}

int showCursor(bool show) {
    backend.cursorCount += show ? 1 : -1;
    if (backend.videoUp) {
        SDL_ShowCursor(backend.cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    }
    return backend.cursorCount;
}

ModuleHandle getModuleHandle(const char* name) {
    return name == nullptr ? reinterpret_cast<ModuleHandle>(&moduleObject) : nullptr;
}

IconHandle loadIcon(ModuleHandle /*module*/, int /*id*/) {
    return reinterpret_cast<IconHandle>(&iconObject);
}

CursorHandle loadCursor(ModuleHandle /*module*/, int /*id*/) {
    return reinterpret_cast<CursorHandle>(&cursorObject);
}

std::uint16_t registerClass(const WndClass& windowClass) {
    if (windowClass.lpszClassName == nullptr || windowClass.lpfnWndProc == nullptr) {
        return 0;
    }
    for (const ClassEntry& entry : backend.classes) {
        if (entry.name == windowClass.lpszClassName) {
            return 0;
        }
    }
    backend.classes.push_back({windowClass.lpszClassName, windowClass});
    return static_cast<std::uint16_t>(0xC000 + backend.classes.size());
}

bool unregisterClass(const char* className, ModuleHandle /*instance*/) {
    if (className == nullptr || (backend.window.alive && backend.window.className == className)) {
        return false;
    }
    for (auto it = backend.classes.begin(); it != backend.classes.end(); ++it) {
        if (it->name == className) {
            backend.classes.erase(it);
            return true;
        }
    }
    return false;
}

std::int32_t changeDisplaySettings(const DevMode* mode, std::uint32_t /*flags*/) {
    if (mode == nullptr) {
        if (backend.switched) {
            backend.switched = false;
            outputLayout::restore();
            if (backend.surface != nullptr) {
                // Leaving full screen gives the desktop its own mode back; the window is not
                // wanted on the desktop in the meantime.
                SDL_SetWindowFullscreen(backend.surface, 0);
                SDL_HideWindow(backend.surface);
            }
            guardian::displayRestored();
        }
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (!ensureVideo()) {
        return DISP_CHANGE_FAILED;
    }
    SDL_DisplayMode desktop{};
    SDL_GetDesktopDisplayMode(backend.display, &desktop);
    const int width =
        (mode->dmFields & DM_PELSWIDTH) ? static_cast<int>(mode->dmPelsWidth) : desktop.w;
    const int height =
        (mode->dmFields & DM_PELSHEIGHT) ? static_cast<int>(mode->dmPelsHeight) : desktop.h;
    const int refresh =
        (mode->dmFields & DM_DISPLAYFREQUENCY) ? static_cast<int>(mode->dmDisplayFrequency) : 0;
    if (mode->dmFields & DM_BITSPERPEL) {
        const std::uint32_t bits = mode->dmBitsPerPel;
        if (bits != 16 && bits != 24 && bits != 32) {
            return DISP_CHANGE_BADMODE;
        }
    }
    const std::vector<SDL_DisplayMode> modes = displayModes(backend.display);
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
    SurfaceFormat format;
    format.colourBits =
        (mode->dmFields & DM_BITSPERPEL) ? static_cast<int>(mode->dmBitsPerPel) : 32;
    bool made = backend.surface != nullptr || makeSurface(format, found.w, found.h, "");
    if (!made) {
        // Without OpenGL the switch still shows whether the display takes the mode; the
        // pixel format's own step reports the missing OpenGL.
        format.gl = false;
        made = makeSurface(format, found.w, found.h, "");
    }
    if (!made || !showFullscreen()) {
        std::fprintf(stderr, "Vantu: the display did not switch to %dx%d at %d Hz: %s\n", found.w,
                     found.h, found.refresh_rate, SDL_GetError());
        changeDisplaySettings(nullptr, 0);
        if (!backend.window.alive && backend.surface != nullptr) {
            SDL_DestroyWindow(backend.surface);
            backend.surface = nullptr;
        }
        return DISP_CHANGE_FAILED;
    }
    putPointerBack();
    return DISP_CHANGE_SUCCESSFUL;
}

bool adjustWindowRectEx(Rect& /*rect*/, std::uint32_t /*style*/, bool /*hasMenu*/,
                        std::uint32_t /*exStyle*/) {
    // The window manager draws frames on X; the client rectangle is the window's size.
    return true;
}

WindowHandle createWindowEx(std::uint32_t /*exStyle*/, const char* className, const char* title,
                            std::uint32_t style, int x, int y, int width, int height,
                            WindowHandle /*parent*/, const void* /*menu*/,
                            ModuleHandle /*instance*/, void* /*param*/) {
    if (backend.window.alive || className == nullptr || !ensureVideo()) {
        return nullptr;
    }
    const ClassEntry* entry = nullptr;
    for (const ClassEntry& candidate : backend.classes) {
        if (candidate.name == className) {
            entry = &candidate;
        }
    }
    if (entry == nullptr) {
        return nullptr;
    }
    GameWindow& w = backend.window;
    w = GameWindow{};
    w.alive = true;
    w.className = className;
    w.title = title != nullptr ? title : "";
    w.style = style;
    w.x = x;
    w.y = y;
    w.width = width;
    w.height = height;
    w.proc = entry->windowClass.lpfnWndProc;
    return windowHandle();
}

bool destroyWindow(WindowHandle window) {
    if (!isGameWindow(window)) {
        return false;
    }
    if (backend.surface != nullptr) {
        SDL_DestroyWindow(backend.surface);
        backend.surface = nullptr;
    }
    backend.window = GameWindow{};
    return true;
}

bool showWindow(WindowHandle window, int /*command*/) {
    if (!isGameWindow(window) || backend.window.sdl == nullptr) {
        return false;
    }
    const bool wasVisible = (SDL_GetWindowFlags(backend.window.sdl) & SDL_WINDOW_SHOWN) != 0;
    SDL_ShowWindow(backend.window.sdl);
    if (backend.switched) {
        putPointerBack();  // the last word before the first frame reads it
    }
    return wasVisible;
}

bool setForegroundWindow(WindowHandle window) {
    if (!isGameWindow(window) || backend.window.sdl == nullptr) {
        return false;
    }
    SDL_RaiseWindow(backend.window.sdl);
    return true;
}

WindowHandle setFocus(WindowHandle window) {
    WindowHandle before = getFocus();
    if (isGameWindow(window) && backend.window.sdl != nullptr) {
        SDL_SetWindowInputFocus(backend.window.sdl);
    }
    return before;
}

DeviceContextHandle getDC(WindowHandle window) {
    if (!isGameWindow(window) || backend.window.dcHeld) {
        return nullptr;
    }
    backend.window.dcHeld = true;
    return dcHandle();
}

int releaseDC(WindowHandle window, DeviceContextHandle dc) {
    if (!isGameWindow(window) || dc != dcHandle() || !backend.window.dcHeld) {
        return 0;
    }
    backend.window.dcHeld = false;
    return 1;
}

int choosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor& descriptor) {
    const std::uint32_t needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (dc != dcHandle() || !backend.window.dcHeld || (descriptor.dwFlags & needed) != needed ||
        descriptor.iPixelType != PFD_TYPE_RGBA) {
        return 0;
    }
    return 1;
}

bool setPixelFormat(DeviceContextHandle dc, int format, const PixelFormatDescriptor& descriptor) {
    GameWindow& w = backend.window;
    if (dc != dcHandle() || !w.dcHeld || format != 1 || w.pixelFormat != 0) {
        return false;
    }
    SurfaceFormat wanted;
    wanted.colourBits = descriptor.cColorBits;
    wanted.alpha = descriptor.cAlphaBits;
    wanted.depth = descriptor.cDepthBits;
    wanted.stencil = descriptor.cStencilBits;
    wanted.accum[0] = descriptor.cAccumRedBits;
    wanted.accum[1] = descriptor.cAccumGreenBits;
    wanted.accum[2] = descriptor.cAccumBlueBits;
    wanted.accum[3] = descriptor.cAccumAlphaBits;
    wanted.doubleBuffer = (descriptor.dwFlags & PFD_DOUBLEBUFFER) != 0;
    // The window made by the display switch serves when its format is the one asked for.
    if (backend.surface == nullptr || !(backend.surfaceFormat == wanted)) {
        if (!makeSurface(wanted, w.width, w.height, w.title.c_str())) {
            std::fprintf(stderr, "Vantu: no window with that pixel format: %s\n", SDL_GetError());
            return false;
        }
        if (backend.switched && !showFullscreen()) {
            std::fprintf(stderr, "Vantu: the display did not switch back to the game: %s\n",
                         SDL_GetError());
            return false;
        }
    }
    SDL_SetWindowTitle(backend.surface, w.title.c_str());
    w.sdl = backend.surface;
    w.pixelFormat = format;
    return true;
}

GlContextHandle wglCreateContext(DeviceContextHandle dc) {
    if (dc != dcHandle() || backend.window.sdl == nullptr || backend.context != nullptr) {
        return nullptr;
    }
    backend.context = SDL_GL_CreateContext(backend.window.sdl);
    if (backend.context == nullptr) {
        std::fprintf(stderr, "Vantu: no OpenGL context: %s\n", SDL_GetError());
        return nullptr;
    }
    // SDL makes a new context current; a new rendering context is not current until asked.
    SDL_GL_MakeCurrent(backend.window.sdl, nullptr);
    return contextHandle();
}

bool wglMakeCurrent(DeviceContextHandle dc, GlContextHandle context) {
    if (dc == nullptr && context == nullptr) {
        return !backend.videoUp || SDL_GL_MakeCurrent(backend.window.sdl, nullptr) == 0;
    }
    if (dc != dcHandle() || context == nullptr || context != contextHandle() ||
        backend.window.sdl == nullptr) {
        return false;
    }
    if (SDL_GL_MakeCurrent(backend.window.sdl, backend.context) != 0) {
        return false;
    }
    backend.vsync = SDL_GL_SetSwapInterval(1) == 0;
    backend.lastSwap = std::chrono::steady_clock::now();
    return true;
}

bool wglDeleteContext(GlContextHandle context) {
    if (context == nullptr || context != contextHandle()) {
        return false;
    }
    SDL_GL_DeleteContext(backend.context);
    backend.context = nullptr;
    return true;
}

bool swapBuffers(DeviceContextHandle dc) {
    if (dc != dcHandle() || backend.window.sdl == nullptr) {
        return false;
    }
    if (!backend.vsync) {
        waitForRefresh();
    }
    SDL_GL_SwapWindow(backend.window.sdl);
    return true;
}

bool peekMessage(Msg& msg, WindowHandle /*window*/, std::uint32_t /*filterMin*/,
                 std::uint32_t /*filterMax*/, std::uint32_t remove) {
    if (!backend.posted.empty()) {
        msg = backend.posted.front();
        if (remove & PM_REMOVE) {
            backend.posted.pop_front();
        }
        return true;
    }
    if (backend.closeRequestsSent != closeRequests) {
        backend.closeRequestsSent = closeRequests;
        backend.pending.push_back({WM_CLOSE, 0, 0});
    }
    if (backend.videoUp && backend.pending.empty()) {
        // Pump and peek rather than SDL_PollEvent, whose end-of-poll marker would report an
        // empty queue ahead of events that came in after the last pump.
        SDL_PumpEvents();
        SDL_Event e;
        while (backend.pending.empty() &&
               SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
            translate(e);
        }
    }
    if (backend.pending.empty()) {
        std::memset(backend.pressedSinceIdle, 0, sizeof backend.pressedSinceIdle);
        return false;
    }
    const Msg next = backend.pending.front();
    // A key released in the same breath as it was pressed (quicker than one frame, as synthetic
    // input does) still gets one frame with the key down: an empty queue is reported first.
    if (next.message == WM_KEYUP && next.wParam < 256 && backend.pressedSinceIdle[next.wParam]) {
        std::memset(backend.pressedSinceIdle, 0, sizeof backend.pressedSinceIdle);
        return false;
    }
    if (!(remove & PM_REMOVE)) {
        msg = next;
        return true;
    }
    backend.pending.pop_front();
    if (next.message == WM_KEYDOWN && next.wParam < 256) {
        backend.pressedSinceIdle[next.wParam] = true;
    }
    msg = next;
    return true;
}

bool translateMessage(const Msg& /*msg*/) {
    return false;
}

LRESULT dispatchMessage(const Msg& msg) {
    if (!backend.window.alive || backend.window.proc == nullptr) {
        return 0;
    }
    return backend.window.proc(windowHandle(), msg.message, msg.wParam, msg.lParam);
}

void postQuitMessage(int exitCode) {
    backend.posted.push_back({WM_QUIT, static_cast<WPARAM>(exitCode), 0});
}

LRESULT defWindowProc(WindowHandle /*window*/, std::uint32_t /*message*/, WPARAM /*wParam*/,
                      LPARAM /*lParam*/) {
    return 0;
}
