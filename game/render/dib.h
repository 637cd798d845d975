// Reading pictures in the Windows bitmap format (BMP files and bare DIBs) as 24-bit RGB rows.
//
// decodeDib works on bytes already in memory, so tests, tools and the fuzzer call it directly;
// loadDibImage reads a file with it. Neither shows anything: a failure comes back as the message
// for the player, and the caller shows it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

// A decoded picture. The record and its pixel buffer are two separate blocks from the C heap;
// freeRgbImage releases both (the buffer first, then the record).
struct RgbImage {
    std::int32_t width;    // as stored in the header
    std::int32_t height;   // as stored in the header: negative for a top-down file
    std::uint8_t* pixels;  // |height| rows of width red-green-blue triplets, bottom row first,
                           // no padding between rows
};

inline constexpr const char* kDibUnknownFormatMessage = "Unknown DIB file format.";
inline constexpr const char* kDibOutOfMemoryMessage = "Out of memory.";
inline constexpr const char* kDibConversionErrorMessage = "Image file conversion error.";

// Pictures whose pixel buffer would exceed this many bytes are refused as out of memory.
inline constexpr std::uint64_t kDibMaxPixelBytes = std::uint64_t{1} << 30;

// Exactly one of the two is set.
struct DibResult {
    RgbImage* image;
    const char* error;  // one of the messages above
};

// Decodes a BMP file (starting with "BM") or a bare DIB. Headers of 12 and 40 bytes; 1, 4 and 8
// bits with a colour table, 16 (5-5-5 or bit fields), 24 and 32 bits (plain or bit fields), RLE8
// and RLE4; bottom-up and top-down rows. Nothing outside `bytes` is ever read.
DibResult decodeDib(std::span<const std::uint8_t> bytes,
                    std::uint64_t maxPixelBytes = kDibMaxPixelBytes);

void freeRgbImage(RgbImage* image);

// Exactly one of the two is set.
struct DibFileResult {
    RgbImage* image;
    // One of the messages above, or "Failed to open DIB file PATH.\n" when the file cannot be
    // opened or mapped.
    std::string error;
};

// Maps the file read-only and decodes it.
DibFileResult loadDibImage(const char* path);
