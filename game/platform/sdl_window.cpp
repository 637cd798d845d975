// The SDL backend: window classes, the window, device context, pixel format and GL context.
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

using namespace sdl;

WindowHandle getFocus() {
    if (backend.videoUp && backend.window.sdl != nullptr &&
        SDL_GetKeyboardFocus() == backend.window.sdl) {
        return windowHandle();
    }
    return nullptr;
}

ModuleHandle getModuleHandle(const char* name) {
    return name == nullptr ? reinterpret_cast<ModuleHandle>(&moduleObject) : nullptr;
}

IconHandle loadIcon(ModuleHandle /*module*/, int /*id*/) {
    return reinterpret_cast<IconHandle>(&iconObject);
}

CursorHandle loadCursor(ModuleHandle /*module*/, int /*id*/) {
    return reinterpret_cast<CursorHandle>(&cursorObject);
}

std::uint16_t registerClass(const WndClass& windowClass) {
    if (windowClass.lpszClassName == nullptr || windowClass.lpfnWndProc == nullptr) {
        return 0;
    }
    for (const ClassEntry& entry : backend.classes) {
        if (entry.name == windowClass.lpszClassName) {
            return 0;
        }
    }
    backend.classes.push_back({windowClass.lpszClassName, windowClass});
    return static_cast<std::uint16_t>(0xC000 + backend.classes.size());
}

bool unregisterClass(const char* className, ModuleHandle /*instance*/) {
    if (className == nullptr || (backend.window.alive && backend.window.className == className)) {
        return false;
    }
    for (auto it = backend.classes.begin(); it != backend.classes.end(); ++it) {
        if (it->name == className) {
            backend.classes.erase(it);
            return true;
        }
    }
    return false;
}

bool adjustWindowRectEx(Rect& /*rect*/, std::uint32_t /*style*/, bool /*hasMenu*/,
                        std::uint32_t /*exStyle*/) {
    // The window manager draws frames on X; the client rectangle is the window's size.
    return true;
}

WindowHandle createWindowEx(std::uint32_t /*exStyle*/, const char* className, const char* title,
                            std::uint32_t style, int x, int y, int width, int height,
                            WindowHandle /*parent*/, const void* /*menu*/,
                            ModuleHandle /*instance*/, void* /*param*/) {
    if (backend.window.alive || className == nullptr || !ensureVideo()) {
        return nullptr;
    }
    const ClassEntry* entry = nullptr;
    for (const ClassEntry& candidate : backend.classes) {
        if (candidate.name == className) {
            entry = &candidate;
        }
    }
    if (entry == nullptr) {
        return nullptr;
    }
    GameWindow& w = backend.window;
    w = GameWindow{};
    w.alive = true;
    w.className = className;
    w.title = title != nullptr ? title : "";
    w.style = style;
    w.x = x;
    w.y = y;
    w.width = width;
    w.height = height;
    w.proc = entry->windowClass.lpfnWndProc;
    return windowHandle();
}

bool destroyWindow(WindowHandle window) {
    if (!isGameWindow(window)) {
        return false;
    }
    if (backend.surface != nullptr) {
        SDL_DestroyWindow(backend.surface);
        backend.surface = nullptr;
    }
    backend.window = GameWindow{};
    return true;
}

bool showWindow(WindowHandle window, int /*command*/) {
    if (!isGameWindow(window) || backend.window.sdl == nullptr) {
        return false;
    }
    const bool wasVisible = (SDL_GetWindowFlags(backend.window.sdl) & SDL_WINDOW_SHOWN) != 0;
    SDL_ShowWindow(backend.window.sdl);
    if (backend.switched) {
        putPointerBack();  // the last word before the first frame reads it
    }
    return wasVisible;
}

bool setForegroundWindow(WindowHandle window) {
    if (!isGameWindow(window) || backend.window.sdl == nullptr) {
        return false;
    }
    SDL_RaiseWindow(backend.window.sdl);
    return true;
}

WindowHandle setFocus(WindowHandle window) {
    WindowHandle before = getFocus();
    if (isGameWindow(window) && backend.window.sdl != nullptr) {
        SDL_SetWindowInputFocus(backend.window.sdl);
    }
    return before;
}

DeviceContextHandle getDC(WindowHandle window) {
    if (!isGameWindow(window) || backend.window.dcHeld) {
        return nullptr;
    }
    backend.window.dcHeld = true;
    return dcHandle();
}

int releaseDC(WindowHandle window, DeviceContextHandle dc) {
    if (!isGameWindow(window) || dc != dcHandle() || !backend.window.dcHeld) {
        return 0;
    }
    backend.window.dcHeld = false;
    return 1;
}

int choosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor& descriptor) {
    const std::uint32_t needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (dc != dcHandle() || !backend.window.dcHeld || (descriptor.dwFlags & needed) != needed ||
        descriptor.iPixelType != PFD_TYPE_RGBA) {
        return 0;
    }
    return 1;
}

bool setPixelFormat(DeviceContextHandle dc, int format, const PixelFormatDescriptor& descriptor) {
    GameWindow& w = backend.window;
    if (dc != dcHandle() || !w.dcHeld || format != 1 || w.pixelFormat != 0) {
        return false;
    }
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
        if (!makeSurface(wanted, w.width, w.height, w.title.c_str())) {
            std::fprintf(stderr, "Vantu: no window with that pixel format: %s\n", SDL_GetError());
            return false;
        }
        if (backend.switched && !showFullscreen()) {
            std::fprintf(stderr, "Vantu: the display did not switch back to the game: %s\n",
                         SDL_GetError());
            return false;
        }
    }
    SDL_SetWindowTitle(backend.surface, w.title.c_str());
    w.sdl = backend.surface;
    w.pixelFormat = format;
    return true;
}

GlContextHandle wglCreateContext(DeviceContextHandle dc) {
    if (dc != dcHandle() || backend.window.sdl == nullptr || backend.context != nullptr) {
        return nullptr;
    }
    backend.context = SDL_GL_CreateContext(backend.window.sdl);
    if (backend.context == nullptr) {
        std::fprintf(stderr, "Vantu: no OpenGL context: %s\n", SDL_GetError());
        return nullptr;
    }
    // SDL makes a new context current; a new rendering context is not current until asked.
    SDL_GL_MakeCurrent(backend.window.sdl, nullptr);
    return contextHandle();
}

bool wglMakeCurrent(DeviceContextHandle dc, GlContextHandle context) {
    if (dc == nullptr && context == nullptr) {
        return !backend.videoUp || SDL_GL_MakeCurrent(backend.window.sdl, nullptr) == 0;
    }
    if (dc != dcHandle() || context == nullptr || context != contextHandle() ||
        backend.window.sdl == nullptr) {
        return false;
    }
    if (SDL_GL_MakeCurrent(backend.window.sdl, backend.context) != 0) {
        return false;
    }
    backend.vsync = SDL_GL_SetSwapInterval(1) == 0;
    backend.lastSwap = std::chrono::steady_clock::now();
    return true;
}

bool wglDeleteContext(GlContextHandle context) {
    if (context == nullptr || context != contextHandle()) {
        return false;
    }
    SDL_GL_DeleteContext(backend.context);
    backend.context = nullptr;
    return true;
}
