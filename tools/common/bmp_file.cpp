#include "bmp_file.h"

namespace bmpfile {

void put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(Bytes& b, std::uint32_t v) {
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

void append(Bytes& b, const Bytes& more) {
    b.insert(b.end(), more.begin(), more.end());
}

std::uint32_t rowStride(int width, int bits) {
    return (static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(bits) + 31) / 32 * 4;
}

Bytes rows24(int width, int height, const std::function<Rgb(int x, int row)>& pixel) {
    const std::uint32_t padding = rowStride(width, 24) - static_cast<std::uint32_t>(width) * 3;
    Bytes b;
    b.reserve(static_cast<std::size_t>(rowStride(width, 24)) * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = pixel(x, row);
            b.insert(b.end(), {c.b, c.g, c.r});
        }
        b.resize(b.size() + padding, 0);
    }
    return b;
}

Bytes Bmp::bytes() const {
    Bytes info;
    if (core) {
        put32(info, 12);
        put16(info, static_cast<std::uint32_t>(width));
        put16(info, static_cast<std::uint32_t>(height));
        put16(info, 1);
        put16(info, bitCount);
    } else {
        put32(info, 40);
        put32(info, static_cast<std::uint32_t>(width));
        put32(info, static_cast<std::uint32_t>(height));
        put16(info, 1);
        put16(info, bitCount);
        put32(info, compression);
        put32(info, imageSize);
        put32(info, 2835);
        put32(info, 2835);
        put32(info, colorsUsed);
        put32(info, 0);
    }
    append(info, masks);
    append(info, table);
    Bytes out;
    if (fileHeader) {
        const auto offset = static_cast<std::uint32_t>(14 + info.size());
        out = {'B', 'M'};
        put32(out, static_cast<std::uint32_t>(offset + data.size()));
        put32(out, 0);
        put32(out, offset);
    }
    append(out, info);
    append(out, data);
    return out;
}

Bytes rgb24File(int width, int height, const std::function<Rgb(int x, int row)>& pixel) {
    Bmp bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.data = rows24(width, height, pixel);
    bmp.imageSize = static_cast<std::uint32_t>(bmp.data.size());
    return bmp.bytes();
}

}  // namespace bmpfile
