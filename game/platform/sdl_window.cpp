// The SDL backend: the game window, its pixel format and its GL context; its placement as the
// window manager has it.
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>

#include "sdl_backend.h"

namespace {

using namespace sdl;

struct XWindow {
    Display* display = nullptr;
    Window window = 0;
};

// The game window's X display and window; none without X.
XWindow xWindow() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (gameWindow() == nullptr || !SDL_GetWindowWMInfo(gameWindow(), &info) ||
        info.subsystem != SDL_SYSWM_X11) {
        return {};
    }
    return {info.info.x11.display, info.info.x11.window};
}

Atom atom(Display* d, const char* name) {
    return XInternAtom(d, name, False);  // Xlib keeps the answers
}

// The first 32-bit items of a window property (none when the window has no such property).
struct PropertyItems {
    static constexpr int kCapacity = 32;
    long items[kCapacity] = {};
    int count = 0;
    bool holds(long value) const { return std::find(items, items + count, value) != items + count; }
};

PropertyItems readProperty(Display* d, Window w, Atom property) {
    PropertyItems result;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, property, 0, PropertyItems::kCapacity, False, AnyPropertyType,
                           &type, &format, &count, &after, &data) == Success &&
        data != nullptr) {
        if (format == 32) {
            result.count =
                static_cast<int>(std::min<unsigned long>(count, PropertyItems::kCapacity));
            std::copy_n(reinterpret_cast<const long*>(data), result.count, result.items);
        }
        XFree(data);
    }
    return result;
}

struct PropertyChange {
    Window window;
    Atom property;
};

Bool isPropertyChange(Display* /*display*/, XEvent* e, XPointer wanted) {
    const auto* change = reinterpret_cast<const PropertyChange*>(wanted);
    return static_cast<Bool>(e->type == PropertyNotify && e->xproperty.window == change->window &&
                             e->xproperty.atom == change->property);
}

// The X server's time now: an empty change of a property of the window carries it back.
Time serverTime(const XWindow& x) {
    PropertyChange change{x.window, atom(x.display, "_VANTU_TIME")};
    XChangeProperty(x.display, x.window, change.property, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XEvent e;
    XIfEvent(x.display, &e, isPropertyChange, reinterpret_cast<XPointer>(&change));
    return e.xproperty.time;
}

// A root-window message of EWMH about the game window.
void sendToRoot(const XWindow& x, const char* type, long a, long b, long c) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = x.window;
    e.xclient.message_type = atom(x.display, type);
    e.xclient.format = 32;
    e.xclient.data.l[0] = a;
    e.xclient.data.l[1] = b;
    e.xclient.data.l[2] = c;
    e.xclient.data.l[3] = 1;  // from an application
    XSendEvent(x.display, DefaultRootWindow(x.display), False,
               SubstructureNotifyMask | SubstructureRedirectMask, &e);
    XFlush(x.display);
}

void setGlAttributes(const FramebufferFormat& f) {
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

}  // namespace

namespace sdl {

Backend backend;

SDL_Window* gameWindow() {
    return backend.windowIsGame ? backend.window : nullptr;
}

// Made anew: any earlier window goes, the game's with it (setPixelFormat makes the new one the
// game's).
bool makeWindow(const FramebufferFormat& format, int width, int height, const char* title) {
    if (backend.window != nullptr) {
        SDL_DestroyWindow(backend.window);
        backend.window = nullptr;
        backend.windowIsGame = false;
    }
    setGlAttributes(format);
    const int at = static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(kGameDisplay));
    backend.window = SDL_CreateWindow(
        title, at, at, width, height,
        (format.gl ? SDL_WINDOW_OPENGL : 0) | SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
    if (backend.window == nullptr) {
        return false;
    }
    backend.windowFormat = format;
    return true;
}

bool queryPlacement(Placement& placement) {
    const XWindow x = xWindow();
    XWindowAttributes attributes{};
    if (x.display == nullptr || XGetWindowAttributes(x.display, x.window, &attributes) == 0) {
        return false;
    }
    int rootX = 0;
    int rootY = 0;
    Window child = 0;
    XTranslateCoordinates(x.display, x.window, attributes.root, 0, 0, &rootX, &rootY, &child);
    placement.rect = {rootX, rootY, attributes.width, attributes.height};
    const PropertyItems wmState = readProperty(x.display, x.window, atom(x.display, "WM_STATE"));
    const PropertyItems netState =
        readProperty(x.display, x.window, atom(x.display, "_NET_WM_STATE"));
    placement.fullscreen =
        netState.holds(static_cast<long>(atom(x.display, "_NET_WM_STATE_FULLSCREEN")));
    // The ICCCM state comes first in WM_STATE.
    const bool iconic = wmState.count > 0 && wmState.items[0] == IconicState;
    placement.onScreen =
        attributes.map_state == IsViewable && !iconic &&
        !netState.holds(static_cast<long>(atom(x.display, "_NET_WM_STATE_HIDDEN")));
    return true;
}

// A window manager that shows the window without its full-screen state is asked for it again:
// first to take it away, since one that still counts the window full screen (KWin after a
// minimise) takes a plain request for nothing. One that keeps the state but placed the window
// elsewhere is asked to move it over the output.
void requestFullscreen(const Placement& placement) {
    const XWindow x = xWindow();
    if (x.display == nullptr) {
        return;
    }
    const auto fullscreen = static_cast<long>(atom(x.display, "_NET_WM_STATE_FULLSCREEN"));
    if (!placement.fullscreen) {
        sendToRoot(x, "_NET_WM_STATE", 0, fullscreen, 0);  // _NET_WM_STATE_REMOVE
        sendToRoot(x, "_NET_WM_STATE", 1, fullscreen, 0);  // _NET_WM_STATE_ADD
        return;
    }
    const SDL_Rect area = gameArea();
    XMoveResizeWindow(x.display, x.window, area.x, area.y, static_cast<unsigned>(area.w),
                      static_cast<unsigned>(area.h));
    XFlush(x.display);
}

bool isWindowStateEvent(const SDL_SysWMmsg& msg) {
    const XWindow x = xWindow();
    if (msg.subsystem != SDL_SYSWM_X11 || x.display == nullptr) {
        return false;
    }
    const XEvent& e = msg.msg.x11.event;
    if (e.type == PropertyNotify) {
        return e.xproperty.window == x.window &&
               (e.xproperty.atom == atom(x.display, "WM_STATE") ||
                e.xproperty.atom == atom(x.display, "_NET_WM_STATE"));
    }
    return (e.type == MapNotify || e.type == UnmapNotify || e.type == ConfigureNotify) &&
           e.xany.window == x.window;
}

}  // namespace sdl

// The window system's part of the window calls.
namespace windowSystem {

using namespace sdl;

// Classes, device contexts and the pixel format's choice are the rules' alone on X.
bool registerClass(const WndClass& /*windowClass*/) {
    return true;
}
bool unregisterClass(const char* /*className*/) {
    return true;
}
bool getDC() {
    return true;
}
bool releaseDC() {
    return true;
}
bool choosePixelFormat(const PixelFormatDescriptor& /*descriptor*/) {
    return true;
}

bool createWindow(const WindowRecord& /*window*/) {
    return ensureVideo();
}

bool destroyWindow() {
    if (backend.window != nullptr) {
        SDL_DestroyWindow(backend.window);
        backend.window = nullptr;
    }
    backend.windowIsGame = false;
    return true;
}

bool showWindow() {
    if (gameWindow() == nullptr) {
        return false;
    }
    SDL_ShowWindow(gameWindow());
    if (backend.switched) {
        putPointerBack();  // the last word before the first frame reads it
    }
    return true;
}

// Raised with the server's time: window managers take a request stamped 0 for a buggy client's
// and may answer it in their own way.
bool raiseWindow() {
    if (gameWindow() == nullptr) {
        return false;
    }
    const XWindow x = xWindow();
    if (x.display == nullptr) {
        SDL_RaiseWindow(gameWindow());
        return true;
    }
    XRaiseWindow(x.display, x.window);
    sendToRoot(x, "_NET_ACTIVE_WINDOW", 1, static_cast<long>(serverTime(x)), 0);
    return true;
}

void focusWindow() {
    if (gameWindow() != nullptr) {
        SDL_SetWindowInputFocus(gameWindow());
    }
}

bool setPixelFormat(const PixelFormatDescriptor& descriptor, const WindowRecord& window) {
    FramebufferFormat wanted;
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
    if (backend.window == nullptr || !(backend.windowFormat == wanted)) {
        if (!makeWindow(wanted, window.width, window.height, window.title.c_str())) {
            std::fprintf(stderr, "Vantu: no window with that pixel format: %s\n", SDL_GetError());
            return false;
        }
        if (backend.switched && !showFullscreen()) {
            std::fprintf(stderr, "Vantu: the display did not switch back to the game: %s\n",
                         SDL_GetError());
            return false;
        }
    }
    SDL_SetWindowTitle(backend.window, window.title.c_str());
    backend.windowIsGame = true;
    return true;
}

bool createContext() {
    if (gameWindow() == nullptr) {
        return false;
    }
    backend.context = SDL_GL_CreateContext(gameWindow());
    if (backend.context == nullptr) {
        std::fprintf(stderr, "Vantu: no OpenGL context: %s\n", SDL_GetError());
        return false;
    }
    // SDL makes a new context current; a new rendering context is not current until asked.
    SDL_GL_MakeCurrent(gameWindow(), nullptr);
    return true;
}

bool makeCurrent() {
    if (gameWindow() == nullptr || SDL_GL_MakeCurrent(gameWindow(), backend.context) != 0) {
        return false;
    }
    backend.vsync = SDL_GL_SetSwapInterval(1) == 0;
    backend.lastSwap = std::chrono::steady_clock::now();
    return true;
}

bool makeNoneCurrent() {
    return !backend.videoUp || SDL_GL_MakeCurrent(gameWindow(), nullptr) == 0;
}

bool deleteContext() {
    SDL_GL_DeleteContext(backend.context);
    backend.context = nullptr;
    return true;
}

}  // namespace windowSystem
