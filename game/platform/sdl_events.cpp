// The SDL backend: SDL events turned into window messages; the game window followed off the
// screen and back.
#include <SDL_syswm.h>

#include <cstdio>

#include "sdl_backend.h"

namespace {

using namespace sdl;

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

void pushActivate(WPARAM how, std::deque<Msg>& pending) {
    pending.push_back({WM_ACTIVATE, how | (backend.away ? WA_MINIMIZED_FLAG : 0), 0});
}

// The view follows the size the window has; WM_SIZE only when it changed.
void pushSize(int width, int height, std::deque<Msg>& pending) {
    if (width != backend.viewWidth || height != backend.viewHeight) {
        backend.viewWidth = width;
        backend.viewHeight = height;
        pending.push_back({WM_SIZE, 0, pointLParam(width, height)});
    }
}

bool covers(const SDL_Rect& outer, const SDL_Rect& inner) {
    return outer.x <= inner.x && outer.y <= inner.y && outer.x + outer.w >= inner.x + inner.w &&
           outer.y + outer.h >= inner.y + inner.h;
}

// The game window left the screen: frames stop and the desktop gets its mode back.
void goAway(std::deque<Msg>& pending) {
    backend.away = true;
    leaveFullscreen();
    pushActivate(WA_INACTIVE, pending);
}

// The game window is back: the game's mode again, full screen, the pointer held on its place
// until the window covers the output. When the display does not switch back, the game stays
// away (no frames in the desktop's mode) and its window is minimised again; the window's next
// return tries again.
void comeBack(std::deque<Msg>& pending) {
    if (!showFullscreen()) {
        std::fprintf(stderr,
                     "Vantu: the display did not switch back to the game: %s; the game waits "
                     "until its window comes back again\n",
                     SDL_GetError());
        leaveFullscreen();
        SDL_MinimizeWindow(gameWindow());
        backend.switchBackFailed = true;
        pushActivate(WA_INACTIVE, pending);
        return;
    }
    backend.away = false;
    backend.placementChecks = 3;
    putPointerBack();
    pushActivate(WA_ACTIVE, pending);
}

// The game window as the window manager has it now, whatever SDL was told: away or back, its
// placement corrected, and the view the size of the window. After a return that could not
// switch back, only a later one (the window off the screen first) tries again.
void followGameWindow(std::deque<Msg>& pending) {
    Placement placement;
    if (!queryPlacement(placement)) {
        return;
    }
    if (!placement.onScreen) {
        backend.switchBackFailed = false;
    }
    if (placement.onScreen && backend.away && !backend.switchBackFailed) {
        comeBack(pending);
        queryPlacement(placement);
    } else if (!placement.onScreen && !backend.away) {
        goAway(pending);
        return;
    }
    if (!backend.away) {
        const bool inPlace = placement.fullscreen && covers(placement.rect, gameArea());
        if (inPlace || backend.placementChecks == 0) {
            windowInPlace();
        } else {
            --backend.placementChecks;
            requestFullscreen(placement);
        }
    }
    pushSize(placement.rect.w, placement.rect.h, pending);
}

bool followsGameWindow() {
    return gameWindow() != nullptr && backend.switched;
}

// A window event of a window that is not the switched game window's (none yet, or a test's).
void windowEventAlone(const SDL_WindowEvent& w, std::deque<Msg>& pending) {
    if (w.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        pushSize(w.data1, w.data2, pending);
    } else if (w.event == SDL_WINDOWEVENT_MINIMIZED) {
        backend.away = true;
    } else if (w.event == SDL_WINDOWEVENT_RESTORED) {
        backend.away = false;
    }
}

void windowEvent(const SDL_WindowEvent& w, std::deque<Msg>& pending) {
    if (w.event == SDL_WINDOWEVENT_CLOSE) {
        pending.push_back({WM_CLOSE, 0, 0});
        return;
    }
    if (followsGameWindow()) {
        followGameWindow(pending);
    } else {
        windowEventAlone(w, pending);
    }
    switch (w.event) {
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
            pushActivate(WA_INACTIVE, pending);
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            pushActivate(WA_ACTIVE, pending);
            break;
        default:
            break;
    }
}

// Keys with Alt, Alt itself and F10 are system keys; keys without a virtual-key code give none.
void keyEvent(const SDL_KeyboardEvent& key, std::deque<Msg>& pending) {
    const WPARAM vk = virtualKey(key.keysym.sym);
    if (vk == 0) {
        return;
    }
    const bool down = key.type == SDL_KEYDOWN;
    const bool system = (key.keysym.mod & KMOD_ALT) != 0 || vk == VK_MENU || vk == VK_F10;
    std::uint32_t message = down ? WM_KEYDOWN : WM_KEYUP;
    if (system) {
        message = down ? WM_SYSKEYDOWN : WM_SYSKEYUP;
    }
    pending.push_back({message, vk, key.repeat ? 0x40000000 : 0});
}

// The left and right buttons; the others give no message.
void buttonEvent(const SDL_MouseButtonEvent& button, std::deque<Msg>& pending) {
    const bool down = button.type == SDL_MOUSEBUTTONDOWN;
    std::uint32_t message = 0;
    if (button.button == SDL_BUTTON_LEFT) {
        message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    } else if (button.button == SDL_BUTTON_RIGHT) {
        message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    }
    if (message != 0) {
        pending.push_back({message, buttonFlags(SDL_GetMouseState(nullptr, nullptr)),
                           pointLParam(button.x, button.y)});
    }
}

}  // namespace

namespace sdl {

// Zero or more messages for one SDL event.
void translate(const SDL_Event& e, std::deque<Msg>& pending) {
    switch (e.type) {
        case SDL_QUIT:
            pending.push_back({WM_CLOSE, 0, 0});
            break;
        case SDL_WINDOWEVENT:
            windowEvent(e.window, pending);
            break;
        case SDL_SYSWMEVENT:
            if (followsGameWindow() && isWindowStateEvent(*e.syswm.msg)) {
                followGameWindow(pending);
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            keyEvent(e.key, pending);
            break;
        case SDL_MOUSEMOTION:
            pending.push_back(
                {WM_MOUSEMOVE, buttonFlags(e.motion.state), pointLParam(e.motion.x, e.motion.y)});
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            buttonEvent(e.button, pending);
            break;
        default:
            break;
    }
}

}  // namespace sdl

namespace windowSystem {

using namespace sdl;

// What SDL has now: a close request from a signal, then its events until one gives a message.
void fillMessages(std::deque<Msg>& pending) {
    if (backend.closeRequestsSent != closeRequests) {
        backend.closeRequestsSent = closeRequests;
        pending.push_back({WM_CLOSE, 0, 0});
    }
    if (backend.videoUp && pending.empty()) {
        // Pump and peek rather than SDL_PollEvent, whose end-of-poll marker would report an
        // empty queue ahead of events that came in after the last pump.
        SDL_PumpEvents();
        SDL_Event e;
        while (pending.empty() &&
               SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
            translate(e, pending);
        }
    }
}

}  // namespace windowSystem
