// The platform layer: the few window-system calls the game relies on, in the vocabulary of the
// Win32 API the game was designed around (message records, WM_ numbers, virtual-key codes).
//
// Two backends implement this header: platform_sdl.cpp (SDL2, the real game) and
// platform_scripted.cpp (no window: replays messages and records calls, for tests and tools).
// Only the backends include SDL headers.
#pragma once

#include <cstdint>

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct PlatformModule;
struct PlatformWindow;
struct PlatformDeviceContext;
struct PlatformGlContext;
using ModuleHandle = PlatformModule*;
using WindowHandle = PlatformWindow*;
using DeviceContextHandle = PlatformDeviceContext*;
using GlContextHandle = PlatformGlContext*;

// One message taken from the queue (MSG).
struct Msg {
    std::uint32_t message;
    WPARAM wParam;
    LPARAM lParam;
};

using WindowProc = LRESULT (*)(WindowHandle window, std::uint32_t message, WPARAM wParam,
                               LPARAM lParam);

inline constexpr std::uint32_t WM_SIZE = 5;
inline constexpr std::uint32_t WM_ACTIVATE = 6;
inline constexpr std::uint32_t WM_CLOSE = 16;
inline constexpr std::uint32_t WM_QUIT = 18;
inline constexpr std::uint32_t WM_KEYDOWN = 256;
inline constexpr std::uint32_t WM_KEYUP = 257;
inline constexpr std::uint32_t WM_SYSKEYDOWN = 260;
inline constexpr std::uint32_t WM_SYSKEYUP = 261;
inline constexpr std::uint32_t WM_SYSCOMMAND = 274;
inline constexpr std::uint32_t WM_MOUSEMOVE = 512;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 513;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 516;

inline constexpr WPARAM SC_SCREENSAVE = 0xF140;
inline constexpr WPARAM SC_MONITORPOWER = 0xF170;

inline constexpr WPARAM VK_RETURN = 13;
inline constexpr WPARAM VK_ESCAPE = 27;
inline constexpr WPARAM VK_SPACE = 32;
inline constexpr WPARAM VK_F1 = 0x70;

// WM_ACTIVATE: the high word of wParam is non-zero while the window is minimised.
inline constexpr WPARAM WA_MINIMIZED_FLAG = 0x10000;

inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;

// A message box with a caption and an OK button; modal, returns when it is dismissed.
// `owner` may be null (no owner window).
void messageBox(WindowHandle owner, const char* text, const char* caption, unsigned type);

// The window that has the keyboard focus, or null.
WindowHandle getFocus();

// The cursor position in screen pixels, and putting the cursor somewhere.
void getCursorPos(int& x, int& y);
void setCursorPos(int x, int y);
