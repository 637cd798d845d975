// A trace of the platform's calls, for tests: the rules report each call the game makes, with
// the arguments a record of it shows and how it ended. The scripted backend listens and keeps
// the record; the real backends know nothing of it, and without a listener (the game) a report
// costs one test of a null pointer.
#pragma once

#include <cstdint>
#include <optional>

#include "platform.h"

namespace callTrace {

enum class End : std::uint8_t {
    Done,     // allowed, and the window system did its part (or has none)
    Refused,  // the rules kept it from the window system
    Failed,   // the window system failed it
};

// createWindowEx's arguments, as the game gave them.
struct WindowArguments {
    std::uint32_t exStyle;
    const char* className;
    const char* title;
    std::uint32_t style;
    int x;
    int y;
    int width;
    int height;
    WindowHandle parent;
    const void* menu;
    ModuleHandle instance;
    void* param;
};

// One call: its Win32 name and what a record of it shows after the name, in this order.
struct Report {
    const char* call;  // "GetDC", "ChangeDisplaySettings", ...
    End end = End::Done;
    const char* words = nullptr;  // a class name, "restore", "none"; a message box's caption
    const char* text = nullptr;   // a message box's text
    // ShowCursor: 1 to show, 0 to hide; ShowWindow: the command; SetPixelFormat: the format;
    // DispatchMessage, DefWindowProc: the message; PostQuitMessage: the exit code.
    std::optional<std::int64_t> number = std::nullopt;
    const DevMode* mode = nullptr;  // ChangeDisplaySettings to a mode, with its flags
    std::uint32_t flags = 0;
    const WindowArguments* window = nullptr;  // CreateWindowEx
};

using Listener = void (*)(const Report& report);

// From now on every call is reported to `listener` (nullptr: to nobody).
void listen(Listener listener);

}  // namespace callTrace
