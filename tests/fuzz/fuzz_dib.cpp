// Fuzz target: the bitmap reader on arbitrary bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "dib.h"
#include "fuzz_target.h"

namespace {

// Large enough for every kind of picture, small enough to keep each run fast.
constexpr std::uint64_t kFuzzMaxPixelBytes = std::uint64_t{16} << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const DibResult r = decodeDib({data, size}, kFuzzMaxPixelBytes);
    if ((r.image == nullptr) == (r.error == nullptr)) {
        std::abort();
    }
    if (r.image == nullptr) {
        if (std::strcmp(r.error, kDibUnknownFormatMessage) != 0 &&
            std::strcmp(r.error, kDibOutOfMemoryMessage) != 0 &&
            std::strcmp(r.error, kDibConversionErrorMessage) != 0) {
            std::abort();
        }
        return 0;
    }
    const RgbImage& image = *r.image;
    const std::uint64_t rows = static_cast<std::uint64_t>(std::abs(std::int64_t{image.height}));
    const std::uint64_t bytes = static_cast<std::uint64_t>(image.width) * rows * 3;
    if (image.width <= 0 || rows == 0 || bytes > kFuzzMaxPixelBytes) {
        std::abort();
    }
    // Touch the whole buffer: its first and last byte must be inside the allocation.
    volatile std::uint8_t sink = image.pixels[0];
    sink = image.pixels[bytes - 1];
    (void)sink;
    freeRgbImage(r.image);
    return 0;
}
