// Drawing without a window: an EGL pbuffer on Mesa's surfaceless platform, and PNG files for the
// pictures it makes. Used by the rendering tests, the benchmarks and vantu-snapshot.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace offscreen {

// An RGB picture, top row first, three bytes per pixel.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    const std::uint8_t* at(int x, int y) const {
        return &rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(x)) *
                    3];
    }
};

// A current OpenGL (compatibility) context drawing into a width x height pbuffer with exactly
// 8 bits per colour channel and a 24-bit depth buffer, so that pictures repeat bit for bit.
// Mesa's software rasteriser (llvmpipe) is asked for before the display is opened.
class Context {
  public:
    Context() = default;
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    ~Context();

    // False, with the reason in error(), when no such context can be made.
    bool create(int width, int height);
    const std::string& error() const { return error_; }

    int width() const { return width_; }
    int height() const { return height_; }

    // Waits for the drawing to finish and reads the whole pbuffer.
    Image read() const;

    // Presents the pbuffer (eglSwapBuffers) as a window's frame would be.
    void swap() const;

  private:
    void destroy();

    void* display_ = nullptr;
    void* surface_ = nullptr;
    void* context_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    std::string error_;
};

// PNG files: 8-bit RGB. Reading accepts any PNG and turns it into 8-bit RGB.
bool writePng(const std::string& path, const Image& image);
bool readPng(const std::string& path, Image& image);

struct Difference {
    bool sameSize = false;
    int pixelsOver = 0;    // pixels where some channel differs by more than the tolerance
    int largestDelta = 0;  // largest difference of any channel in any pixel
};

Difference compare(const Image& expected, const Image& actual, int channelTolerance);

}  // namespace offscreen
