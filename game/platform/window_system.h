// What a backend supplies to the platform layer: the window system's own part of each call.
//
// platform_rules.cpp implements platform.h once, for every backend. It keeps the rules: handles,
// window classes, the one window, its keyboard focus, device context, pixel format and rendering
// context, the cursor count and the message queue. It calls a backend only for a call that the
// rules allow, and changes its own records only when the backend's part succeeds. Each backend
// (sdl_*.cpp, platform_scripted.cpp) defines every function here, and knows nothing of the
// trace of calls that tests read (call_trace.h).
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "platform.h"

// The game window as the rules know it: what createWindowEx was given, and its state.
struct WindowRecord {
    bool alive = false;
    std::string className;
    std::string title;
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    ModuleHandle instance = nullptr;
    WindowProc proc = nullptr;  // its class's procedure
    bool visible = false;
    bool focused = false;  // given the keyboard by setFocus
    bool dcHeld = false;
    int pixelFormat = 0;  // 0 until set
};

// Back to no classes, no window, no context, an empty queue and a cursor count of 0 (for the
// scripted backend's reset between tests).
void resetWindowRules();

namespace windowSystem {

void startup();
void shutdown();

bool registerClass(const WndClass& windowClass);
bool unregisterClass(const char* className);

// The display: a switch to `mode` (a DISP_CHANGE_ result), and back to the desktop's mode.
std::int32_t switchDisplay(const DevMode& mode, std::uint32_t flags);
bool restoreDisplay();
void cursorPosition(int& x, int& y);
void moveCursor(int x, int y);
// The cursor count has changed; the cursor shows while it is >= 0.
void cursorCountChanged(int displayCount);

// The game window, made by createWindowEx, given its pixel format, shown, raised, given the
// keyboard (which the rules count as done at once).
bool createWindow(const WindowRecord& window);
bool destroyWindow();
bool showWindow();
bool raiseWindow();
void focusWindow();

bool getDC();
bool releaseDC();
bool choosePixelFormat(const PixelFormatDescriptor& descriptor);
bool setPixelFormat(const PixelFormatDescriptor& descriptor, const WindowRecord& window);

bool createContext();
bool makeCurrent();
bool makeNoneCurrent();
bool deleteContext();
bool swapBuffers();

// Appends what the window system has now (zero or more messages); called when nothing is
// pending.
void fillMessages(std::deque<Msg>& pending);

// `owned`: the box belongs to the game window.
void messageBox(bool owned, const char* text, const char* caption, unsigned type);

}  // namespace windowSystem
