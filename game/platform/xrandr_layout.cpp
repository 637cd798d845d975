// The layout of an X screen's outputs (see xrandr_layout.h).
#include "xrandr_layout.h"

#include <algorithm>

namespace {

using xrandrLayout::Crtc;
using xrandrLayout::Layout;

// The root window's size from the server: Xlib's own figure for the screen follows only once
// the connection has read the server's notice of a change.
void rootSize(Display* display, int& width, int& height) {
    Window root = 0;
    int x = 0;
    int y = 0;
    unsigned w = 0;
    unsigned h = 0;
    unsigned border = 0;
    unsigned depth = 0;
    XGetGeometry(display, DefaultRootWindow(display), &root, &x, &y, &w, &h, &border, &depth);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
}

// The server refuses a size of 0 mm: 96 dots per inch where the layout has none.
int millimetres(int pixels, int mm) {
    return std::max(mm > 0 ? mm : pixels * 254 / 960, 1);
}

bool matches(const Crtc& crtc, const XRRCrtcInfo& now) {
    return now.mode == crtc.mode && now.x == crtc.x && now.y == crtc.y &&
           now.rotation == crtc.rotation &&
           std::vector<RROutput>(now.outputs, now.outputs + now.noutput) == crtc.outputs;
}

// The CRTCs of `target` that the server has otherwise now.
std::vector<const Crtc*> changedCrtcs(Display* display, XRRScreenResources* resources,
                                      const Layout& target) {
    std::vector<const Crtc*> changed;
    for (const Crtc& crtc : target.crtcs) {
        XRRCrtcInfo* now = XRRGetCrtcInfo(display, resources, crtc.id);
        if (now == nullptr) {
            continue;
        }
        if (!matches(crtc, *now)) {
            changed.push_back(&crtc);
        }
        XRRFreeCrtcInfo(now);
    }
    return changed;
}

// Off, screen size, on: a CRTC never lies outside the screen, whichever way the screen changes.
void setLayout(Display* display, XRRScreenResources* resources, const Layout& target) {
    const std::vector<const Crtc*> changed = changedCrtcs(display, resources, target);
    for (const Crtc* crtc : changed) {
        XRRSetCrtcConfig(display, resources, crtc->id, CurrentTime, 0, 0, None, RR_Rotate_0,
                         nullptr, 0);
    }
    int width = 0;
    int height = 0;
    rootSize(display, width, height);
    if (width != target.width || height != target.height) {
        XRRSetScreenSize(display, DefaultRootWindow(display), target.width, target.height,
                         millimetres(target.width, target.widthMm),
                         millimetres(target.height, target.heightMm));
    }
    for (const Crtc* crtc : changed) {
        if (crtc->mode != None) {
            XRRSetCrtcConfig(display, resources, crtc->id, CurrentTime, crtc->x, crtc->y,
                             crtc->mode, crtc->rotation,
                             const_cast<RROutput*>(crtc->outputs.data()),
                             static_cast<int>(crtc->outputs.size()));
        }
    }
}

bool xError = false;

int noteXError(Display* /*display*/, XErrorEvent* /*event*/) {
    xError = true;
    return 0;
}

}  // namespace

namespace xrandrLayout {

bool available(Display* display) {
    int eventBase = 0;
    int errorBase = 0;
    return XRRQueryExtension(display, &eventBase, &errorBase) != 0;
}

bool save(Display* display, Layout& layout) {
    XRRScreenResources* resources =
        XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (resources == nullptr) {
        return false;
    }
    layout = Layout{};
    rootSize(display, layout.width, layout.height);
    layout.widthMm = DisplayWidthMM(display, DefaultScreen(display));
    layout.heightMm = DisplayHeightMM(display, DefaultScreen(display));
    for (int i = 0; i < resources->ncrtc; ++i) {
        XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
        if (info == nullptr) {
            continue;
        }
        layout.crtcs.push_back(
            {resources->crtcs[i], info->mode, info->x, info->y, info->width, info->height,
             info->rotation, std::vector<RROutput>(info->outputs, info->outputs + info->noutput)});
        XRRFreeCrtcInfo(info);
    }
    XRRFreeScreenResources(resources);
    return true;
}

void fitScreen(Display* display, Layout& layout) {
    int minWidth = 0;
    int minHeight = 0;
    int maxWidth = 0;
    int maxHeight = 0;
    XRRGetScreenSizeRange(display, DefaultRootWindow(display), &minWidth, &minHeight, &maxWidth,
                          &maxHeight);
    int width = minWidth;
    int height = minHeight;
    for (const Crtc& crtc : layout.crtcs) {
        if (crtc.mode != None) {
            width = std::max(width, crtc.x + static_cast<int>(crtc.width));
            height = std::max(height, crtc.y + static_cast<int>(crtc.height));
        }
    }
    // The same dots per inch (0 mm stays unknown).
    layout.widthMm = layout.width > 0 ? layout.widthMm * width / layout.width : 0;
    layout.heightMm = layout.height > 0 ? layout.heightMm * height / layout.height : 0;
    layout.width = width;
    layout.height = height;
}

bool apply(Display* display, const Layout& target) {
    XSync(display, False);
    xError = false;
    auto* previous = XSetErrorHandler(noteXError);
    XGrabServer(display);
    XRRScreenResources* resources =
        XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (resources != nullptr) {
        setLayout(display, resources, target);
        XRRFreeScreenResources(resources);
    }
    XUngrabServer(display);
    XSync(display, False);
    XSetErrorHandler(previous);
    return resources != nullptr && !xError;
}

}  // namespace xrandrLayout
