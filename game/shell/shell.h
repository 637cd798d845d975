// The application shell: start-up, main loop and shutdown; the full-screen window with its
// display mode, pixel format and rendering context; the view, the fixed render state and the
// window procedure.
#pragma once

#include <cstdint>

#include "platform.h"

// The shell's globals, one instance for the program's life.
struct ShellState {
    ModuleHandle hInstance = nullptr;
    WindowHandle hWnd = nullptr;
    DeviceContextHandle hDC = nullptr;
    GlContextHandle hRC = nullptr;
    bool isActive = true;            // false while the window is minimised
    std::uint8_t keyDown[256] = {};  // 1 while the key with that virtual-key code is down
};

extern ShellState shell;

// The entry point: seeds the dice, opens the window, runs the main loop, releases everything.
// Returns the process exit code.
int WinMain(ModuleHandle hInstance, ModuleHandle hPrevInstance, const char* commandLine,
            int showCommand);

// One frame: pointer, dice step, drawing. Always true.
bool runFrame();

// Creates the window in the display mode of "KPX.cfg"; on failure shows the creation-failure
// message and returns false.
bool openGameWindow(const char* title, ModuleHandle hInstance);

// Switches the display, creates the window and its rendering context, sets up the view and the
// render state. On false, whatever was made is released again (a refused display mode leaves
// the class registered and nothing else changed).
bool createGameWindow(const char* title, ModuleHandle hInstance, int width, int height,
                      int bitsPerPixel, int refreshHz);

// Puts the desktop's display mode back and releases context, device context, window and class,
// each step reporting its own failure. Safe after a creation that failed part-way.
void destroyGameWindow();

// The projection's vertical field of view, in degrees.
inline constexpr double kFieldOfView = 33.0;

// Viewport and projection for a client area of width x height pixels.
void resizeView(int width, int height);

// Loads the textures, then sets the fixed OpenGL state and the light. False only when texture
// loading fails.
bool initRenderState();

// Takes every OpenGL error flag that is set, reports each on standard error as
// "Vantu: GL error 0x0500 after WHERE" and returns how many there were. Test builds (Debug,
// VANTU_GL_CHECKS) call it after every frame; release frames never do.
int reportGlErrors(const char* where);

LRESULT gameWindowProc(WindowHandle hWnd, std::uint32_t message, WPARAM wParam, LPARAM lParam);
