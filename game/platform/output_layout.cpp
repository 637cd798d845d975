// The game output's mode switch among several outputs (see output_layout.h).
#include "output_layout.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// The root window's size (x = width, y = height) from the server: Xlib's own figure for the
// screen follows only once the connection has read the server's notice of a change.
SDL_Point rootSize(Display* d, Window root) {
    Window rootReturn = 0;
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    XGetGeometry(d, root, &rootReturn, &x, &y, &width, &height, &border, &depth);
    return {static_cast<int>(width), static_cast<int>(height)};
}

struct Crtc {
    RRCrtc id;
    RRMode mode;
    int x;
    int y;
    unsigned width;
    unsigned height;
    Rotation rotation;
    std::vector<RROutput> outputs;
};

struct Layout {
    Display* display = nullptr;
    Window root = 0;
    int screenWidth = 0;
    int screenHeight = 0;
    int screenWidthMm = 0;
    int screenHeightMm = 0;
    std::vector<Crtc> crtcs;
    std::size_t game = 0;  // index of the game output's CRTC
};

Layout saved;
bool takenOver = false;
bool xError = false;

int noteXError(Display* /*display*/, XErrorEvent* /*event*/) {
    xError = true;
    return 0;
}

// Runs `change` with X errors noted instead of ending the process; true when none came.
template <typename F>
bool withoutXErrors(F change) {
    XSync(saved.display, False);
    xError = false;
    auto* previous = XSetErrorHandler(noteXError);
    change();
    XSync(saved.display, False);
    XSetErrorHandler(previous);
    return !xError;
}

// Sets one CRTC with the screen sized to hold every CRTC as `target` has them (each CRTC of
// `target` that differs from the server's is changed: off, screen size, on).
void apply(const std::vector<Crtc>& target, int width, int height, int widthMm, int heightMm) {
    Display* d = saved.display;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(d, saved.root);
    if (resources == nullptr) {
        xError = true;
        return;
    }
    std::vector<const Crtc*> changed;
    for (const Crtc& c : target) {
        XRRCrtcInfo* info = XRRGetCrtcInfo(d, resources, c.id);
        if (info == nullptr) {
            continue;
        }
        if (info->mode != c.mode || info->x != c.x || info->y != c.y ||
            info->rotation != c.rotation) {
            changed.push_back(&c);
        }
        XRRFreeCrtcInfo(info);
    }
    XGrabServer(d);
    for (const Crtc* c : changed) {
        XRRSetCrtcConfig(d, resources, c->id, CurrentTime, 0, 0, None, RR_Rotate_0, nullptr, 0);
    }
    const SDL_Point root = rootSize(d, saved.root);
    if (width != root.x || height != root.y) {
        XRRSetScreenSize(d, saved.root, width, height, widthMm, heightMm);
    }
    for (const Crtc* c : changed) {
        XRRSetCrtcConfig(d, resources, c->id, CurrentTime, c->x, c->y, c->mode, c->rotation,
                         const_cast<RROutput*>(c->outputs.data()),
                         static_cast<int>(c->outputs.size()));
    }
    XUngrabServer(d);
    XRRFreeScreenResources(resources);
}

int roundedRate(const XRRModeInfo& m) {
    if (m.hTotal == 0 || m.vTotal == 0) {
        return 0;
    }
    const double hz = static_cast<double>(m.dotClock) / (static_cast<double>(m.hTotal) * m.vTotal);
    return static_cast<int>(std::lround(hz));
}

int cutRate(const XRRModeInfo& m) {
    if (m.hTotal == 0 || m.vTotal == 0) {
        return 0;
    }
    return static_cast<int>(m.dotClock / (static_cast<unsigned long>(m.hTotal) * m.vTotal));
}

}  // namespace

namespace outputLayout {

bool takeOver(SDL_Window* window, const SDL_Rect& bounds) {
    if (takenOver) {
        return true;
    }
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) ||
        info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    Display* d = info.info.x11.display;
    int eventBase = 0;
    int errorBase = 0;
    if (XRRQueryExtension(d, &eventBase, &errorBase) == 0) {
        return false;
    }
    Layout layout;
    layout.display = d;
    const int screen = DefaultScreen(d);
    layout.root = RootWindow(d, screen);
    const SDL_Point root = rootSize(d, layout.root);
    layout.screenWidth = root.x;
    layout.screenHeight = root.y;
    layout.screenWidthMm = DisplayWidthMM(d, screen);
    layout.screenHeightMm = DisplayHeightMM(d, screen);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(d, layout.root);
    if (resources == nullptr) {
        return false;
    }
    int active = 0;
    bool found = false;
    for (int i = 0; i < resources->ncrtc; ++i) {
        XRRCrtcInfo* c = XRRGetCrtcInfo(d, resources, resources->crtcs[i]);
        if (c == nullptr) {
            continue;
        }
        if (c->mode != None) {
            ++active;
            if (!found && c->x == bounds.x && c->y == bounds.y &&
                static_cast<int>(c->width) == bounds.w && static_cast<int>(c->height) == bounds.h) {
                layout.game = layout.crtcs.size();
                found = true;
            }
        }
        layout.crtcs.push_back({resources->crtcs[i], c->mode, c->x, c->y, c->width, c->height,
                                c->rotation,
                                std::vector<RROutput>(c->outputs, c->outputs + c->noutput)});
        XRRFreeCrtcInfo(c);
    }
    XRRFreeScreenResources(resources);
    if (!found || active < 2) {
        return false;
    }
    saved = layout;
    takenOver = true;
    return true;
}

bool active() {
    return takenOver;
}

bool switchTo(int width, int height, int refreshHz) {
    if (!takenOver) {
        return false;
    }
    Display* d = saved.display;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(d, saved.root);
    if (resources == nullptr) {
        return false;
    }
    std::vector<Crtc> target = saved.crtcs;
    Crtc& game = target[saved.game];
    // The mode among the output's own whose size matches and whose rate, rounded or cut to
    // whole hertz, is the one asked for (0: the first listed of that size).
    RRMode mode = None;
    XRROutputInfo* output =
        game.outputs.empty() ? nullptr : XRRGetOutputInfo(d, resources, game.outputs.front());
    for (int i = 0; output != nullptr && i < output->nmode && mode == None; ++i) {
        for (int j = 0; j < resources->nmode; ++j) {
            const XRRModeInfo& m = resources->modes[j];
            if (m.id == output->modes[i] && static_cast<int>(m.width) == width &&
                static_cast<int>(m.height) == height &&
                (refreshHz == 0 || roundedRate(m) == refreshHz || cutRate(m) == refreshHz)) {
                mode = m.id;
                break;
            }
        }
    }
    if (output != nullptr) {
        XRRFreeOutputInfo(output);
    }
    XRRFreeScreenResources(resources);
    if (mode == None) {
        return false;
    }
    const bool sideways = (game.rotation & (RR_Rotate_90 | RR_Rotate_270)) != 0;
    game.mode = mode;
    game.width = static_cast<unsigned>(sideways ? height : width);
    game.height = static_cast<unsigned>(sideways ? width : height);
    // The screen holds every active output and nothing more.
    int screenWidth = 0;
    int screenHeight = 0;
    for (const Crtc& c : target) {
        if (c.mode != None) {
            screenWidth = std::max(screenWidth, c.x + static_cast<int>(c.width));
            screenHeight = std::max(screenHeight, c.y + static_cast<int>(c.height));
        }
    }
    int minWidth = 0;
    int minHeight = 0;
    int maxWidth = 0;
    int maxHeight = 0;
    XRRGetScreenSizeRange(d, saved.root, &minWidth, &minHeight, &maxWidth, &maxHeight);
    screenWidth = std::max(screenWidth, minWidth);
    screenHeight = std::max(screenHeight, minHeight);
    // Keep the dots per inch the screen had.
    const int widthMm = saved.screenWidthMm > 0 && saved.screenWidth > 0
                            ? saved.screenWidthMm * screenWidth / saved.screenWidth
                            : screenWidth * 254 / 960;
    const int heightMm = saved.screenHeightMm > 0 && saved.screenHeight > 0
                             ? saved.screenHeightMm * screenHeight / saved.screenHeight
                             : screenHeight * 254 / 960;
    const bool ok = withoutXErrors([&] {
        apply(target, screenWidth, screenHeight, std::max(widthMm, 1), std::max(heightMm, 1));
    });
    if (!ok) {
        restore();
    }
    return ok;
}

void restore() {
    if (!takenOver) {
        return;
    }
    const int widthMm =
        saved.screenWidthMm > 0 ? saved.screenWidthMm : saved.screenWidth * 254 / 960;
    const int heightMm =
        saved.screenHeightMm > 0 ? saved.screenHeightMm : saved.screenHeight * 254 / 960;
    withoutXErrors(
        [&] { apply(saved.crtcs, saved.screenWidth, saved.screenHeight, widthMm, heightMm); });
}

}  // namespace outputLayout
