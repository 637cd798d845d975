// The game window: display mode, pixel format, rendering context, view, render state, release,
// and the window procedure.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>

#include "dice_model.h"
#include "hand_and_view.h"
#include "platform.h"
#include "shell.h"
#include "textures.h"

ShellState shell;

namespace {

constexpr const char* kClassName = "OpenGL";
constexpr const char* kShutdownCaption = "SHUTDOWN ERROR";

void shutdownMessage(const char* text) {
    messageBox(nullptr, text, kShutdownCaption, MB_OK | MB_ICONINFORMATION);
}

int lowWord(std::uintptr_t value) {
    return static_cast<int>(value & 0xFFFF);
}
int highWord(std::uintptr_t value) {
    return static_cast<int>((value >> 16) & 0xFFFF);
}

// Undoes a creation that failed part-way; creation then reports false.
bool failCreation() {
    destroyGameWindow();
    return false;
}

// The "OpenGL" class: the game's window procedure, the stock icon and arrow, no background.
bool registerGameClass() {
    WndClass windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = gameWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = shell.hInstance;
    windowClass.hIcon = loadIcon(nullptr, IDI_WINLOGO);
    windowClass.hCursor = loadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = kClassName;
    return registerClass(windowClass) != 0;
}

// The display in the mode; a rate of 0 leaves the frequency at 0, the display's default, while
// its field is still named.
bool switchDisplay(int width, int height, int bitsPerPixel, int refreshHz) {
    DevMode mode{};
    mode.dmSize = DEVMODE_SIZE;
    mode.dmPelsWidth = static_cast<std::uint32_t>(width);
    mode.dmPelsHeight = static_cast<std::uint32_t>(height);
    mode.dmBitsPerPel = static_cast<std::uint32_t>(bitsPerPixel);
    if (refreshHz != 0) {
        mode.dmDisplayFrequency = static_cast<std::uint32_t>(refreshHz);
    }
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    return changeDisplaySettings(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

// The borderless pop-up window covering the display, into shell.hWnd.
bool createPopupWindow(const char* title, int width, int height) {
    const std::uint32_t exStyle = WS_EX_APPWINDOW;
    const std::uint32_t style = WS_POPUP;
    Rect rect{0, 0, width, height};
    adjustWindowRectEx(rect, style, false, exStyle);
    shell.hWnd = createWindowEx(
        exStyle, kClassName, title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
        rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, shell.hInstance, nullptr);
    return shell.hWnd != nullptr;
}

// The window's device context, a double-buffered RGBA OpenGL pixel format of the mode's colour
// bits with a 16-bit depth buffer, and a current rendering context, into shell.hDC and
// shell.hRC.
bool createRenderingContext(int bitsPerPixel) {
    shell.hDC = getDC(shell.hWnd);
    if (shell.hDC == nullptr) {
        return false;
    }
    PixelFormatDescriptor descriptor{};
    descriptor.nSize = PIXELFORMATDESCRIPTOR_SIZE;
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = static_cast<std::uint8_t>(bitsPerPixel);
    descriptor.cDepthBits = 16;
    descriptor.iLayerType = PFD_MAIN_PLANE;
    const int format = choosePixelFormat(shell.hDC, descriptor);
    if (format == 0 || !setPixelFormat(shell.hDC, format, descriptor)) {
        return false;
    }
    shell.hRC = wglCreateContext(shell.hDC);
    return shell.hRC != nullptr && wglMakeCurrent(shell.hDC, shell.hRC);
}

}  // namespace

bool createGameWindow(const char* title, ModuleHandle hInstance, int width, int height,
                      int bitsPerPixel, int refreshHz) {
    // As designed: the given handle is stored, then replaced by the running program's own.
    shell.hInstance = hInstance;
    shell.hInstance = getModuleHandle(nullptr);
    if (!registerGameClass()) {
        return false;
    }
    // A refused mode leaves the class registered and nothing else made.
    if (!switchDisplay(width, height, bitsPerPixel, refreshHz)) {
        return false;
    }
    showCursor(false);
    if (!createPopupWindow(title, width, height) || !createRenderingContext(bitsPerPixel)) {
        return failCreation();
    }
    showWindow(shell.hWnd, SW_SHOW);
    setForegroundWindow(shell.hWnd);
    setFocus(shell.hWnd);
    resizeView(width, height);
    if (!initRenderState()) {
        return failCreation();
    }
    return true;
}

void destroyGameWindow() {
    // The desktop's own mode comes back before any message can appear.
    changeDisplaySettings(nullptr, 0);
    showCursor(true);

    if (shell.hRC != nullptr) {
        if (!wglMakeCurrent(nullptr, nullptr)) {
            shutdownMessage("Release Of DC And RC Failed.");
        }
        if (!wglDeleteContext(shell.hRC)) {
            shutdownMessage("Release Rendering Context Failed.");
        }
        shell.hRC = nullptr;
    }
    if (shell.hDC != nullptr && releaseDC(shell.hWnd, shell.hDC) == 0) {
        shutdownMessage("Release Device Context Failed.");
    }
    if (shell.hWnd != nullptr && !destroyWindow(shell.hWnd)) {
        shutdownMessage("Could Not Release hWnd.");
    }
    if (!unregisterClass(kClassName, shell.hInstance)) {
        shutdownMessage("Could Not Unregister Class.");
    }
}

void resizeView(int width, int height) {
    if (height == 0) {
        height = 1;
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // The near plane is the single-precision 0.1 widened to double.
    gluPerspective(kFieldOfView, static_cast<double>(width) / static_cast<double>(height),
                   static_cast<double>(0.1f), 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

bool initRenderState() {
    if (!loadTextures()) {
        return false;
    }
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

    // Given while the modelview matrix is the identity: the light stays at (0, 0, 2) in eye
    // space, fixed relative to the viewer.
    const GLfloat ambient[] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat diffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat position[] = {0.0f, 0.0f, 2.0f, 1.0f};
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, position);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);

    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    // Additive; blending itself stays off until the drawing turns it on.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    return true;
}

int reportGlErrors(const char* where) {
    // OpenGL keeps one flag per kind of error; a handful of reads clears them all. The bound
    // keeps a broken context from holding the frame here.
    int count = 0;
    for (GLenum error = glGetError(); error != GL_NO_ERROR && count < 16; error = glGetError()) {
        std::fprintf(stderr, "Vantu: GL error 0x%04X after %s\n", static_cast<unsigned>(error),
                     where);
        ++count;
    }
    return count;
}

LRESULT gameWindowProc(WindowHandle hWnd, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            resizeView(lowWord(static_cast<std::uintptr_t>(lParam)),
                       highWord(static_cast<std::uintptr_t>(lParam)));
            return 0;
        case WM_ACTIVATE:
            // As designed: only the minimised state counts; in the background the game runs on.
            shell.isActive = highWord(wParam) == 0;
            return 0;
        case WM_CLOSE:
            postQuitMessage(0);
            return 0;
        case WM_KEYDOWN:
            if (wParam < 256) {
                shell.keyDown[wParam] = 1;
            }
            return 0;
        case WM_KEYUP:
            if (wParam < 256) {
                shell.keyDown[wParam] = 0;
            }
            return 0;
        case WM_SYSCOMMAND:
            // The screen saver and monitor power-down are kept off. (SDL also keeps the screen
            // saver off while the window lives, and sends neither command.)
            if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) {
                return 0;
            }
            break;
        case WM_MOUSEMOVE:
            // The pointer is polled once a frame instead.
            return 0;
        case WM_LBUTTONDOWN:
            if (allDiceAtRest()) {
                handleLeftClick();
            }
            return 0;
        case WM_RBUTTONDOWN:
            if (allDiceAtRest()) {
                throwDice();
            }
            return 0;
        default:
            break;
    }
    return defWindowProc(hWnd, message, wParam, lParam);
}
