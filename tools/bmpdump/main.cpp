// vantu-bmpdump FILE [--ppm OUT]: decodes FILE with the game's bitmap reader.
//
// Prints "ok WIDTH HEIGHT SHA256" (SHA-256 of the pixel buffer: bottom row first, red, green,
// blue, no padding) and exits 0, or "error MESSAGE" with the message the player would see and
// exits 1. With --ppm also writes the picture as a binary PPM (top row first) to OUT.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dib.h"
#include "sha256_hex.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: vantu-bmpdump FILE [--ppm OUT]\n");
    return 2;
}

bool writePpm(const char* path, const RgbImage& image) {
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr) {
        return false;
    }
    const std::size_t rows = static_cast<std::size_t>(std::abs(image.height));
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
    bool ok = std::fprintf(out, "P6\n%d %zu\n255\n", image.width, rows) > 0;
    for (std::size_t r = rows; ok && r-- > 0;) {
        ok = std::fwrite(image.pixels + r * rowBytes, 1, rowBytes, out) == rowBytes;
    }
    return std::fclose(out) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    const char* file = nullptr;
    const char* ppm = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ppm") == 0 && i + 1 < argc) {
            ppm = argv[++i];
        } else if (file == nullptr && argv[i][0] != '-') {
            file = argv[i];
        } else {
            return usage();
        }
    }
    if (file == nullptr) {
        return usage();
    }

    DibFileResult loaded = loadDibImage(file);
    RgbImage* image = loaded.image;
    if (image == nullptr) {
        std::string& message = loaded.error;
        if (message.empty() || message.back() != '\n') {
            message += '\n';
        }
        std::printf("error %s", message.c_str());
        return 1;
    }
    const std::size_t size = static_cast<std::size_t>(image->width) *
                             static_cast<std::size_t>(std::abs(image->height)) * 3;
    std::printf("ok %d %d %s\n", image->width, image->height,
                sha256Hex({image->pixels, size}).c_str());
    int status = 0;
    if (ppm != nullptr && !writePpm(ppm, *image)) {
        std::fprintf(stderr, "vantu-bmpdump: cannot write %s\n", ppm);
        status = 1;
    }
    freeRgbImage(image);
    return status;
}
