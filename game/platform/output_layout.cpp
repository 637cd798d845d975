// The game output's mode switch among several outputs (see output_layout.h).
#include "output_layout.h"

#include <SDL_syswm.h>

#include <algorithm>
#include <cmath>

#include "xrandr_layout.h"

namespace {

// The layout of outputs as the game found it, on SDL's X connection.
struct TakenOver {
    Display* display = nullptr;
    xrandrLayout::Layout desktop;
    std::size_t game = 0;  // the game output's CRTC in desktop.crtcs
};

TakenOver taken;
bool takenOver = false;

Display* x11Display(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) ||
        info.subsystem != SDL_SYSWM_X11) {
        return nullptr;
    }
    return info.info.x11.display;
}

// A mode's rate rounded or cut to whole hertz, as SDL lists it: either may be asked for.
bool hasRate(const XRRModeInfo& m, int refreshHz) {
    if (m.hTotal == 0 || m.vTotal == 0) {
        return false;
    }
    const double hz = static_cast<double>(m.dotClock) / (static_cast<double>(m.hTotal) * m.vTotal);
    return std::lround(hz) == refreshHz ||
           static_cast<long>(m.dotClock / (static_cast<unsigned long>(m.hTotal) * m.vTotal)) ==
               refreshHz;
}

const XRRModeInfo* modeInfo(const XRRScreenResources& resources, RRMode id) {
    const XRRModeInfo* begin = resources.modes;
    const XRRModeInfo* end = begin + resources.nmode;
    const XRRModeInfo* found =
        std::find_if(begin, end, [&](const XRRModeInfo& m) { return m.id == id; });
    return found != end ? found : nullptr;
}

// The first mode of the game output's own list of that size and rate (0: any rate); None when
// it lists none.
RRMode findMode(const xrandrLayout::Crtc& game, int width, int height, int refreshHz) {
    Display* d = taken.display;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(d, DefaultRootWindow(d));
    if (resources == nullptr) {
        return None;
    }
    XRROutputInfo* output =
        game.outputs.empty() ? nullptr : XRRGetOutputInfo(d, resources, game.outputs.front());
    RRMode found = None;
    for (int i = 0; output != nullptr && i < output->nmode && found == None; ++i) {
        const XRRModeInfo* m = modeInfo(*resources, output->modes[i]);
        if (m != nullptr && static_cast<int>(m->width) == width &&
            static_cast<int>(m->height) == height && (refreshHz == 0 || hasRate(*m, refreshHz))) {
            found = m->id;
        }
    }
    if (output != nullptr) {
        XRRFreeOutputInfo(output);
    }
    XRRFreeScreenResources(resources);
    return found;
}

}  // namespace

namespace outputLayout {

bool takeOver(SDL_Window* window, const SDL_Rect& bounds) {
    if (takenOver) {
        return true;
    }
    Display* d = x11Display(window);
    xrandrLayout::Layout layout;
    if (d == nullptr || !xrandrLayout::available(d) || !xrandrLayout::save(d, layout)) {
        return false;
    }
    const auto& crtcs = layout.crtcs;
    const auto active = std::count_if(crtcs.begin(), crtcs.end(),
                                      [](const xrandrLayout::Crtc& c) { return c.mode != None; });
    const auto game = std::find_if(crtcs.begin(), crtcs.end(), [&](const xrandrLayout::Crtc& c) {
        return c.mode != None && c.x == bounds.x && c.y == bounds.y &&
               static_cast<int>(c.width) == bounds.w && static_cast<int>(c.height) == bounds.h;
    });
    if (game == crtcs.end() || active < 2) {
        return false;
    }
    taken.game = static_cast<std::size_t>(game - crtcs.begin());
    taken.display = d;
    taken.desktop = std::move(layout);
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
    xrandrLayout::Layout target = taken.desktop;
    xrandrLayout::Crtc& game = target.crtcs[taken.game];
    const RRMode mode = findMode(game, width, height, refreshHz);
    if (mode == None) {
        return false;
    }
    const bool sideways = (game.rotation & (RR_Rotate_90 | RR_Rotate_270)) != 0;
    game.mode = mode;
    game.width = static_cast<unsigned>(sideways ? height : width);
    game.height = static_cast<unsigned>(sideways ? width : height);
    xrandrLayout::fitScreen(taken.display, target);
    if (xrandrLayout::apply(taken.display, target)) {
        return true;
    }
    restore();
    return false;
}

void restore() {
    if (takenOver) {
        xrandrLayout::apply(taken.display, taken.desktop);
    }
}

}  // namespace outputLayout
