#include "offscreen.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace offscreen {

namespace {

EGLint attribute(EGLDisplay display, EGLConfig config, EGLint name) {
    EGLint value = 0;
    eglGetConfigAttrib(display, config, name, &value);
    return value;
}

// The config with exactly 8/8/8 colour bits and a 24-bit depth buffer that can draw OpenGL into
// a pbuffer; among those the one with the fewest alpha and stencil bits. Mesa lists 10/10/10
// configs first, which would change the low bits of every picture.
bool chooseConfig(EGLDisplay display, EGLConfig& chosen) {
    EGLint count = 0;
    if (!eglGetConfigs(display, nullptr, 0, &count) || count <= 0) {
        return false;
    }
    std::vector<EGLConfig> configs(static_cast<std::size_t>(count));
    if (!eglGetConfigs(display, configs.data(), count, &count)) {
        return false;
    }
    bool found = false;
    EGLint bestCost = 0;
    for (EGLint i = 0; i < count; ++i) {
        const EGLConfig config = configs[static_cast<std::size_t>(i)];
        if (attribute(display, config, EGL_RED_SIZE) != 8 ||
            attribute(display, config, EGL_GREEN_SIZE) != 8 ||
            attribute(display, config, EGL_BLUE_SIZE) != 8 ||
            attribute(display, config, EGL_DEPTH_SIZE) != 24 ||
            attribute(display, config, EGL_COLOR_BUFFER_TYPE) != EGL_RGB_BUFFER ||
            attribute(display, config, EGL_SAMPLES) != 0 ||
            (attribute(display, config, EGL_SURFACE_TYPE) & EGL_PBUFFER_BIT) == 0 ||
            (attribute(display, config, EGL_RENDERABLE_TYPE) & EGL_OPENGL_BIT) == 0) {
            continue;
        }
        const EGLint cost = attribute(display, config, EGL_ALPHA_SIZE) * 256 +
                            attribute(display, config, EGL_STENCIL_SIZE);
        if (!found || cost < bestCost) {
            found = true;
            bestCost = cost;
            chosen = config;
        }
    }
    return found;
}

}  // namespace

Context::~Context() {
    destroy();
}

void Context::destroy() {
    if (display_ == nullptr) {
        return;
    }
    const auto display = static_cast<EGLDisplay>(display_);
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_ != nullptr) {
        eglDestroyContext(display, static_cast<EGLContext>(context_));
    }
    if (surface_ != nullptr) {
        eglDestroySurface(display, static_cast<EGLSurface>(surface_));
    }
    // The display stays initialised for the rest of the process: terminating it unloads the
    // driver, which leaves blocks behind that leak checkers then report.
    display_ = surface_ = context_ = nullptr;
}

bool Context::create(int width, int height) {
    destroy();
    // The same rasteriser everywhere, whatever graphics card the machine has.
    setenv("GALLIUM_DRIVER", "llvmpipe", 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);

    const EGLDisplay display =
        eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        error_ = "no EGL display on the surfaceless platform";
        return false;
    }
    display_ = display;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error_ = "EGL cannot bind the OpenGL API";
        destroy();
        return false;
    }
    EGLConfig config = nullptr;
    if (!chooseConfig(display, config)) {
        error_ = "no EGL config with 8/8/8 colour, 24-bit depth and pbuffers";
        destroy();
        return false;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    const EGLSurface surface = eglCreatePbufferSurface(display, config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) {
        error_ = "cannot create the pbuffer";
        destroy();
        return false;
    }
    surface_ = surface;
    const EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) {
        error_ = "cannot create an OpenGL context";
        destroy();
        return false;
    }
    context_ = context;
    if (!eglMakeCurrent(display, surface, surface, context)) {
        error_ = "cannot make the OpenGL context current";
        destroy();
        return false;
    }
    width_ = width;
    height_ = height;
    return true;
}

Image Context::read() const {
    Image image;
    image.width = width_;
    image.height = height_;
    const std::size_t row = static_cast<std::size_t>(width_) * 3;
    std::vector<std::uint8_t> bottomUp(row * static_cast<std::size_t>(height_));
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    image.rgb.resize(bottomUp.size());
    for (int y = 0; y < height_; ++y) {
        std::memcpy(&image.rgb[static_cast<std::size_t>(y) * row],
                    &bottomUp[static_cast<std::size_t>(height_ - 1 - y) * row], row);
    }
    return image;
}

void Context::swap() const {
    eglSwapBuffers(static_cast<EGLDisplay>(display_), static_cast<EGLSurface>(surface_));
}

bool writePng(const std::string& path, const Image& image) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    const int ok = png_image_write_to_file(&png, path.c_str(), 0, image.rgb.data(), 0, nullptr);
    png_image_free(&png);
    return ok != 0;
}

bool readPng(const std::string& path, Image& image) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        return false;
    }
    png.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&png);
        return false;
    }
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.rgb = std::move(pixels);
    return true;
}

Difference compare(const Image& expected, const Image& actual, int channelTolerance) {
    Difference difference;
    difference.sameSize = expected.width == actual.width && expected.height == actual.height &&
                          expected.rgb.size() == actual.rgb.size();
    if (!difference.sameSize) {
        return difference;
    }
    for (std::size_t p = 0; p < expected.rgb.size(); p += 3) {
        int largest = 0;
        for (std::size_t c = 0; c < 3; ++c) {
            const int delta = std::abs(int{expected.rgb[p + c]} - int{actual.rgb[p + c]});
            largest = delta > largest ? delta : largest;
        }
        if (largest > channelTolerance) {
            ++difference.pixelsOver;
        }
        if (largest > difference.largestDelta) {
            difference.largestDelta = largest;
        }
    }
    return difference;
}

}  // namespace offscreen
