// The layout of an X screen's outputs, through XRandR: each CRTC's mode, place, rotation and
// outputs, and the size of the screen around them. Saved once, and later set again in one
// sequence under a server grab: every CRTC that differs off, the screen's new size, those CRTCs
// on. The game's switch beside other outputs (output_layout.cpp) and the guardian
// (display_guardian.cpp) both save and put back layouts with it, each on its own X connection.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <vector>

namespace xrandrLayout {

struct Crtc {
    RRCrtc id = None;
    RRMode mode = None;  // None: the CRTC is off
    int x = 0;
    int y = 0;
    unsigned width = 0;  // its size on the screen (rotation applied)
    unsigned height = 0;
    Rotation rotation = RR_Rotate_0;
    std::vector<RROutput> outputs;
};

struct Layout {
    int width = 0;  // the screen, in pixels and in millimetres (0 mm: the server gave none)
    int height = 0;
    int widthMm = 0;
    int heightMm = 0;
    std::vector<Crtc> crtcs;
};

// Whether the server has XRandR.
bool available(Display* display);

// The default screen's layout now; false when the server gives no screen resources.
bool save(Display* display, Layout& layout);

// Sizes the screen of `layout` to hold its active CRTCs and nothing more (no smaller than the
// server allows), at the dots per inch it had.
void fitScreen(Display* display, Layout& layout);

// Makes the server's layout `target`, changing only what differs; true when the server took
// every change (X errors are caught, not fatal).
bool apply(Display* display, const Layout& target);

}  // namespace xrandrLayout
