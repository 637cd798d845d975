// Controls of the scripted platform backend: what it will report, and what it saw.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform.h"

namespace scripted {

struct MessageBoxCall {
    bool hasOwner;
    std::string text;
    std::string caption;
    unsigned type;
};

// The calls that a test can make fail. Putting the desktop's mode back never fails.
enum class Call {
    RegisterClass,
    ChangeDisplaySettings,  // a switch to a mode the display does not list (DISP_CHANGE_BADMODE)
    DisplaySwitch,          // a switch to a listed mode that then fails (DISP_CHANGE_FAILED)
    CreateWindowEx,
    GetDC,
    ChoosePixelFormat,
    SetPixelFormat,
    WglCreateContext,
    WglMakeCurrent,
    WglDeleteContext,
    ReleaseDC,
    DestroyWindow,
    UnregisterClass,
    SwapBuffers,
};

struct CreateWindowCall {
    std::uint32_t exStyle;
    std::string className;
    std::string title;
    std::uint32_t style;
    int x;
    int y;
    int width;
    int height;
    bool hasParent;
    bool hasMenu;
    ModuleHandle instance;
    bool hasParam;
};

// The wParam of the WM_QUIT that peekMessage makes up when the message script has run out.
inline constexpr WPARAM kScriptEndExitCode = 0x5C;

// Back to the start: cursor at (0, 0), no classes, windows or queued messages, nothing recorded,
// no failures planned.
void reset();

// The position that the next getCursorPos reports (setCursorPos also moves it).
void setCursor(int x, int y);
int cursorX();
int cursorY();

const std::vector<MessageBoxCall>& messageBoxes();

// The message script, one entry per peekMessage: a message, or an empty queue. Messages posted
// by the game (postQuitMessage) come before the script's next entry.
void pushMessage(std::uint32_t message, WPARAM wParam = 0, LPARAM lParam = 0);
void pushIdle(int passes = 1);
bool scriptRanOut();

// Makes the `occurrence`-th call (counting from 1) of `call` fail; 0 makes every call fail. Only
// calls that the platform's rules let through reach the window system and count; of the display
// switches, DisplaySwitch counts only those that ChangeDisplaySettings has not failed.
void failCall(Call call, int occurrence = 0);

// Every platform call in order, one line each ("GetDC", "ShowCursor 0", "MessageBox
// SHUTDOWN ERROR: text", ...), as the rules report it (call_trace.h); a call made to fail ends in
// " failed"; one the rules refuse is recorded as it is.
const std::vector<std::string>& calls();
// Adds a line of the test's own to the call record.
void note(const std::string& line);
// The record's lines that begin with `prefix`.
std::vector<std::string> callsStartingWith(const std::string& prefix);

// What the window system was left with, and what it was last given.
struct Seen {
    int cursorDisplayCount = 0;
    bool displaySwitched = false;
    bool contextCurrent = false;
    std::optional<DevMode> lastDisplayMode;
    std::optional<WndClass> registeredClass;
    std::optional<CreateWindowCall> createdWindow;
    std::optional<PixelFormatDescriptor> chosenPixelFormat;
};
const Seen& seen();

}  // namespace scripted
