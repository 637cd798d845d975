// The SDL backend: the game window, its pixel format and its GL context.
#include <cstdio>

#include "sdl_backend.h"

namespace {

using namespace sdl;

void setGlAttributes(const SurfaceFormat& f) {
    SDL_GL_ResetAttributes();
    const bool deep = f.colourBits > 16;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, deep ? 8 : 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, deep ? 8 : 6);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, deep ? 8 : 5);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, f.alpha);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, f.depth);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, f.stencil);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, f.accum[0]);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, f.accum[1]);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, f.accum[2]);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, f.accum[3]);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, f.doubleBuffer ? 1 : 0);
}

}  // namespace

namespace sdl {

Backend backend;

// A hidden borderless OpenGL window on the game's output, replacing any earlier one.
bool makeSurface(const SurfaceFormat& format, int width, int height, const char* title) {
    if (backend.surface != nullptr) {
        SDL_DestroyWindow(backend.surface);
        backend.surface = nullptr;
    }
    setGlAttributes(format);
    const int at = static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(backend.display));
    backend.surface = SDL_CreateWindow(
        title, at, at, width, height,
        (format.gl ? SDL_WINDOW_OPENGL : 0) | SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
    if (backend.surface == nullptr) {
        return false;
    }
    backend.surfaceFormat = format;
    return true;
}

}  // namespace sdl

// The window system's part of the window calls.
namespace windowSystem {

using namespace sdl;

// Classes, device contexts and the pixel format's choice are the rules' alone on X.
bool registerClass(const WndClass& /*windowClass*/) {
    return true;
}
bool unregisterClass(const char* /*className*/) {
    return true;
}
bool getDC() {
    return true;
}
bool releaseDC() {
    return true;
}
bool choosePixelFormat(const PixelFormatDescriptor& /*descriptor*/) {
    return true;
}

bool createWindow(const WindowRecord& /*window*/) {
    return ensureVideo();
}

bool destroyWindow() {
    if (backend.surface != nullptr) {
        SDL_DestroyWindow(backend.surface);
        backend.surface = nullptr;
    }
    backend.gameWindow = nullptr;
    return true;
}

bool showWindow() {
    if (backend.gameWindow == nullptr) {
        return false;
    }
    SDL_ShowWindow(backend.gameWindow);
    if (backend.switched) {
        putPointerBack();  // the last word before the first frame reads it
    }
    return true;
}

bool raiseWindow() {
    if (backend.gameWindow == nullptr) {
        return false;
    }
    SDL_RaiseWindow(backend.gameWindow);
    return true;
}

void focusWindow() {
    if (backend.gameWindow != nullptr) {
        SDL_SetWindowInputFocus(backend.gameWindow);
    }
}

bool setPixelFormat(const PixelFormatDescriptor& descriptor, const WindowRecord& window) {
    SurfaceFormat wanted;
    wanted.colourBits = descriptor.cColorBits;
    wanted.alpha = descriptor.cAlphaBits;
    wanted.depth = descriptor.cDepthBits;
    wanted.stencil = descriptor.cStencilBits;
    wanted.accum[0] = descriptor.cAccumRedBits;
    wanted.accum[1] = descriptor.cAccumGreenBits;
    wanted.accum[2] = descriptor.cAccumBlueBits;
    wanted.accum[3] = descriptor.cAccumAlphaBits;
    wanted.doubleBuffer = (descriptor.dwFlags & PFD_DOUBLEBUFFER) != 0;
    // The window made by the display switch serves when its format is the one asked for.
    if (backend.surface == nullptr || !(backend.surfaceFormat == wanted)) {
        if (!makeSurface(wanted, window.width, window.height, window.title.c_str())) {
            std::fprintf(stderr, "Vantu: no window with that pixel format: %s\n", SDL_GetError());
            return false;
        }
        if (backend.switched && !showFullscreen()) {
            std::fprintf(stderr, "Vantu: the display did not switch back to the game: %s\n",
                         SDL_GetError());
            return false;
        }
    }
    SDL_SetWindowTitle(backend.surface, window.title.c_str());
    backend.gameWindow = backend.surface;
    return true;
}

bool createContext() {
    if (backend.gameWindow == nullptr) {
        return false;
    }
    backend.context = SDL_GL_CreateContext(backend.gameWindow);
    if (backend.context == nullptr) {
        std::fprintf(stderr, "Vantu: no OpenGL context: %s\n", SDL_GetError());
        return false;
    }
    // SDL makes a new context current; a new rendering context is not current until asked.
    SDL_GL_MakeCurrent(backend.gameWindow, nullptr);
    return true;
}

bool makeCurrent() {
    if (backend.gameWindow == nullptr ||
        SDL_GL_MakeCurrent(backend.gameWindow, backend.context) != 0) {
        return false;
    }
    backend.vsync = SDL_GL_SetSwapInterval(1) == 0;
    backend.lastSwap = std::chrono::steady_clock::now();
    return true;
}

bool makeNoneCurrent() {
    return !backend.videoUp || SDL_GL_MakeCurrent(backend.gameWindow, nullptr) == 0;
}

bool deleteContext() {
    SDL_GL_DeleteContext(backend.context);
    backend.context = nullptr;
    return true;
}

}  // namespace windowSystem
