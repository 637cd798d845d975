// Bitmap files put together byte by byte, little-endian: for the reader's tests, the benchmark
// and the picture generator.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace bmpfile {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::uint32_t v);
void put32(Bytes& b, std::uint32_t v);
void append(Bytes& b, const Bytes& more);

// Bytes in one stored row of width pixels of bits each: padded to a multiple of four.
std::uint32_t rowStride(int width, int bits);

struct Rgb {
    std::uint8_t r, g, b;
};

// 24-bit pixel rows as stored (blue, green, red, each row padded); pixel(x, row) gives the colour
// of row `row` counted in file order, that is from the bottom row for a positive height.
Bytes rows24(int width, int height, const std::function<Rgb(int x, int row)>& pixel);

// A file put together field by field: a 12-byte (core) or 40-byte info header, then masks,
// colour table and pixel data exactly as given; with fileHeader, the 14-byte "BM" header in
// front with the right size and offset.
struct Bmp {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
    std::uint32_t colorsUsed = 0;
    bool core = false;
    bool fileHeader = true;
    Bytes masks;  // 12 bytes after the header
    Bytes table;  // entries as stored: 4 bytes each, or 3 for a core header
    Bytes data;

    Bytes bytes() const;
};

// A whole 24-bit file (file header, 40-byte header with the image size filled in).
Bytes rgb24File(int width, int height, const std::function<Rgb(int x, int row)>& pixel);

}  // namespace bmpfile
