// The bitmap reader: header parsing, colour tables, plain, bit-field and run-length pixel data.
//
// Every offset and count taken from the file is checked against the bytes really there, and all
// size arithmetic is done in 64 bits, before anything is read or allocated.
#include "dib.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <array>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionRle8 = 1;
constexpr std::uint32_t kCompressionRle4 = 2;
constexpr std::uint32_t kCompressionBitFields = 3;

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;

using Bytes = std::span<const std::uint8_t>;

std::uint16_t u16At(Bytes b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t u32At(Bytes b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// Bytes [offset, offset + length) lie inside the file.
bool holds(Bytes b, std::uint64_t offset, std::uint64_t length) {
    return offset <= b.size() && length <= b.size() - offset;
}

// What the headers say, in the 40-byte form, and where they lie.
struct Header {
    bool hasFileHeader;
    std::size_t infoAt;  // the info header's offset
    std::uint32_t size;  // the info header's: 12 or 40
    std::int64_t width;
    std::int64_t height;  // negative: top-down
    std::uint32_t bitCount;
    std::uint32_t compression;
    std::uint32_t imageSize;
    std::uint32_t entries;  // colour table entries

    std::int64_t rows() const { return height < 0 ? -height : height; }
};

// One colour channel of a bit-field picture.
struct Channel {
    std::uint32_t mask;
    int shift;
    int bits;
};

Channel channelOf(std::uint32_t mask) {
    return {mask, std::countr_zero(mask), std::popcount(mask)};
}

// Masks must be non-empty, contiguous, disjoint and inside the pixel.
bool validChannels(const std::array<Channel, 3>& c, std::uint32_t bitCount) {
    const std::uint64_t pixelMask = (std::uint64_t{1} << bitCount) - 1;
    std::uint32_t seen = 0;
    for (const Channel& ch : c) {
        if (ch.mask == 0 || (ch.mask & ~pixelMask) != 0 || (ch.mask & seen) != 0) {
            return false;
        }
        if (((ch.mask >> ch.shift) & ((ch.mask >> ch.shift) + 1)) != 0) {
            return false;  // holes in the mask
        }
        seen |= ch.mask;
    }
    return true;
}

// A channel value narrowed to its top 8 bits, or widened by shifting it up and repeating its
// bits once below (5 bits: v << 3 | v >> 2).
std::uint8_t scaleChannel(std::uint32_t pixel, const Channel& ch) {
    const std::uint32_t v = (pixel & ch.mask) >> ch.shift;
    if (ch.bits >= 8) {
        return static_cast<std::uint8_t>(v >> (ch.bits - 8));
    }
    const std::uint32_t high = v << (8 - ch.bits);
    return static_cast<std::uint8_t>(high | (high >> ch.bits));
}

// The colour table, each entry red | green << 8 | blue << 16; indices past the table are black.
using Palette = std::array<std::uint32_t, 256>;

struct Output {
    std::uint8_t* pixels;
    std::int64_t width;
    std::int64_t rows;
    bool topDown;

    // Row y of the stored data (first stored row = 0) in the bottom-up output.
    std::uint8_t* row(std::int64_t y) const {
        const std::int64_t r = topDown ? rows - 1 - y : y;
        return pixels + static_cast<std::size_t>(r * width * 3);
    }
};

void putIndex(std::uint8_t* dst, const Palette& pal, unsigned index) {
    const std::uint32_t c = pal[index];
    dst[0] = static_cast<std::uint8_t>(c);
    dst[1] = static_cast<std::uint8_t>(c >> 8);
    dst[2] = static_cast<std::uint8_t>(c >> 16);
}

// 8-bit rows, the hot path of colour-table pictures: each pixel is stored as a whole word whose
// fourth byte the next pixel overwrites; the row's last pixel is stored byte by byte.
void convertIndex8Row(const std::uint8_t* src, std::uint8_t* dst, std::int64_t width,
                      const Palette& pal) {
    static_assert(std::endian::native == std::endian::little);
    for (std::int64_t x = 0; x + 1 < width; ++x) {
        std::memcpy(dst + x * 3, &pal[src[x]], 4);
    }
    putIndex(dst + (width - 1) * 3, pal, src[width - 1]);
}

void convertIndexedRow(const std::uint8_t* src, std::uint8_t* dst, std::int64_t width,
                       std::uint32_t bitCount, const Palette& pal) {
    switch (bitCount) {
        case 1:
            for (std::int64_t x = 0; x < width; ++x) {
                putIndex(dst + x * 3, pal, (src[x >> 3] >> (7 - (x & 7))) & 1u);
            }
            break;
        case 4:
            for (std::int64_t x = 0; x < width; ++x) {
                putIndex(dst + x * 3, pal, (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15u);
            }
            break;
        default:
            convertIndex8Row(src, dst, width, pal);
            break;
    }
}

// Blue-green-red pixels of 3 bytes, or of 4 with an unused fourth byte.
template <int kPixelBytes>
void convertBgrRow(const std::uint8_t* src, std::uint8_t* dst, std::int64_t width) {
    for (std::int64_t x = 0; x < width; ++x) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
        src += kPixelBytes;
        dst += 3;
    }
}

void convertFieldsRow(const std::uint8_t* src, std::uint8_t* dst, std::int64_t width,
                      std::uint32_t bitCount, const std::array<Channel, 3>& c) {
    const int step = bitCount == 16 ? 2 : 4;
    for (std::int64_t x = 0; x < width; ++x) {
        std::uint32_t p = src[0] | (src[1] << 8);
        if (step == 4) {
            p |= (static_cast<std::uint32_t>(src[2]) << 16) |
                 (static_cast<std::uint32_t>(src[3]) << 24);
        }
        dst[0] = scaleChannel(p, c[0]);
        dst[1] = scaleChannel(p, c[1]);
        dst[2] = scaleChannel(p, c[2]);
        src += step;
        dst += 3;
    }
}

// Run-length data: pixels it never reaches stay black; runs and deltas that go past the end of a
// row are cut there; data past the last row or past the end of the stream is ignored.
void decodeRle(Bytes s, const Output& out, bool fourBit, const Palette& pal) {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::size_t pos = 0;
    auto put = [&](unsigned index) {
        if (x < out.width && y < out.rows) {
            putIndex(out.row(y) + x * 3, pal, index);
        }
        ++x;
    };
    while (pos + 2 <= s.size() && y < out.rows) {
        const std::uint8_t count = s[pos];
        const std::uint8_t value = s[pos + 1];
        pos += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count && x < out.width; ++i) {
                put(fourBit ? ((i & 1) ? value & 15u : value >> 4) : value);
            }
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of picture
            break;
        } else if (value == 2) {  // delta
            if (pos + 2 > s.size()) {
                break;
            }
            x += s[pos];
            y += s[pos + 1];
            pos += 2;
        } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
            const std::size_t length = fourBit ? (value + 1u) / 2 : value;
            const std::size_t available = std::min(length, s.size() - pos);
            for (unsigned i = 0; i < value; ++i) {
                const std::size_t at = fourBit ? i / 2 : i;
                if (at >= available) {
                    break;
                }
                const std::uint8_t b = s[pos + at];
                put(fourBit ? ((i & 1) ? b & 15u : b >> 4) : b);
            }
            pos += (length + 1) & ~std::size_t{1};
        }
    }
}

// Which bit counts go with which compression.
bool supportedKind(std::uint32_t bitCount, std::uint32_t compression) {
    switch (compression) {
        case kCompressionNone:
            return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
                   bitCount == 24 || bitCount == 32;
        case kCompressionRle8:
            return bitCount == 8;
        case kCompressionRle4:
            return bitCount == 4;
        case kCompressionBitFields:
            return bitCount == 16 || bitCount == 32;
        default:
            return false;
    }
}

bool isRunLength(const Header& h) {
    return h.compression == kCompressionRle8 || h.compression == kCompressionRle4;
}

// The headers: where the info header lies, its size, its fields and the number of colour table
// entries; and whether a 24-bit picture of that size is possible and a kind the reader converts.
// The message for the player, or null.
const char* readHeader(Bytes bytes, std::uint64_t maxPixelBytes, Header& h) {
    h.hasFileHeader = bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
    h.infoAt = h.hasFileHeader ? kFileHeaderSize : 0;
    if (!holds(bytes, h.infoAt, 4)) {
        return kDibUnknownFormatMessage;
    }
    h.size = u32At(bytes, h.infoAt);
    if (h.size != kCoreHeaderSize && h.size != kInfoHeaderSize) {
        return kDibUnknownFormatMessage;
    }
    if (!holds(bytes, h.infoAt, h.size)) {
        return kDibConversionErrorMessage;
    }
    const std::size_t at = h.infoAt;
    if (h.size == kCoreHeaderSize) {
        h.width = u16At(bytes, at + 4);
        h.height = u16At(bytes, at + 6);
        h.bitCount = u16At(bytes, at + 10);
    } else {
        h.width = static_cast<std::int32_t>(u32At(bytes, at + 4));
        h.height = static_cast<std::int32_t>(u32At(bytes, at + 8));
        h.bitCount = u16At(bytes, at + 14);
        h.compression = u32At(bytes, at + 16);
        h.imageSize = u32At(bytes, at + 20);
        h.entries = u32At(bytes, at + 32) & 0xffffu;
    }
    if (h.entries == 0) {
        h.entries = h.bitCount == 1 ? 2 : h.bitCount == 4 ? 16 : h.bitCount == 8 ? 256 : 0;
    }
    // The 24-bit picture must be possible before any pixel is looked at.
    if (h.width <= 0 || h.rows() == 0 ||
        static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.rows()) * 3 >
            maxPixelBytes) {
        return kDibOutOfMemoryMessage;
    }
    if (!supportedKind(h.bitCount, h.compression) || (isRunLength(h) && h.height < 0)) {
        return kDibConversionErrorMessage;
    }
    return nullptr;
}

// How the pixels become colours: the channel masks and the colour table.
struct Colours {
    std::array<Channel, 3> channels;
    Palette palette;
    std::size_t end;  // where the colour table ends
};

// The bit-field masks, which follow a 40-byte header, and the colour table after them. The
// message for the player, or null.
const char* readColours(Bytes bytes, const Header& h, Colours& c) {
    std::size_t tableAt = h.infoAt + h.size;
    c.channels = {channelOf(0x7c00), channelOf(0x03e0), channelOf(0x001f)};
    if (h.bitCount == 32) {
        c.channels = {channelOf(0xff0000), channelOf(0x00ff00), channelOf(0x0000ff)};
    }
    if (h.compression == kCompressionBitFields) {
        if (!holds(bytes, tableAt, 12)) {
            return kDibConversionErrorMessage;
        }
        c.channels = {channelOf(u32At(bytes, tableAt)), channelOf(u32At(bytes, tableAt + 4)),
                      channelOf(u32At(bytes, tableAt + 8))};
        if (!validChannels(c.channels, h.bitCount)) {
            return kDibConversionErrorMessage;
        }
        tableAt += 12;
    }
    const std::size_t entrySize = h.size == kCoreHeaderSize ? 3 : 4;
    const std::uint64_t tableBytes = std::uint64_t{h.entries} * entrySize;
    if (!holds(bytes, tableAt, tableBytes)) {
        return kDibConversionErrorMessage;
    }
    c.palette = {};
    for (std::uint32_t i = 0; i < h.entries && i < 256; ++i) {
        const std::size_t at = tableAt + i * entrySize;
        c.palette[i] = bytes[at + 2] | (bytes[at + 1] << 8) | (std::uint32_t{bytes[at]} << 16);
    }
    c.end = tableAt + static_cast<std::size_t>(tableBytes);
    return nullptr;
}

std::uint64_t rowStride(const Header& h) {
    return (static_cast<std::uint64_t>(h.width) * h.bitCount + 31) / 32 * 4;
}

// The pixel data: at the offset the file header gives, or right after the colour table of a
// bare DIB; as much as the picture needs, or for run-length data the size the header states
// (up to the end of the file when it states none). The message for the player, or null.
const char* findPixelData(Bytes bytes, const Header& h, std::size_t tableEnd, Bytes& data) {
    const std::uint64_t dataAt = h.hasFileHeader ? u32At(bytes, 10) : tableEnd;
    if (dataAt > bytes.size()) {
        return kDibConversionErrorMessage;
    }
    const std::uint64_t available = bytes.size() - dataAt;
    std::uint64_t dataBytes = 0;
    if (isRunLength(h)) {
        dataBytes = h.imageSize == 0 ? available : h.imageSize;
    } else {
        const std::uint64_t stride = rowStride(h);
        if (static_cast<std::uint64_t>(h.rows()) > available / stride) {
            return kDibConversionErrorMessage;
        }
        dataBytes = stride * static_cast<std::uint64_t>(h.rows());
    }
    if (dataBytes > available) {
        return kDibConversionErrorMessage;
    }
    data = bytes.subspan(static_cast<std::size_t>(dataAt), static_cast<std::size_t>(dataBytes));
    return nullptr;
}

// Every stored row into the bottom-up 24-bit output.
void convertRows(Bytes data, const Header& h, const Colours& c, const Output& out) {
    const std::uint64_t stride = rowStride(h);
    const bool fields =
        h.bitCount == 16 || (h.bitCount == 32 && h.compression == kCompressionBitFields);
    for (std::int64_t y = 0; y < out.rows; ++y) {
        const std::uint8_t* src = data.data() + static_cast<std::size_t>(y) * stride;
        std::uint8_t* dst = out.row(y);
        if (h.bitCount <= 8) {
            convertIndexedRow(src, dst, h.width, h.bitCount, c.palette);
        } else if (h.bitCount == 24) {
            convertBgrRow<3>(src, dst, h.width);
        } else if (fields) {
            convertFieldsRow(src, dst, h.width, h.bitCount, c.channels);
        } else {
            convertBgrRow<4>(src, dst, h.width);
        }
    }
}

// The picture's record and its pixels, converted from the data.
DibResult convert(Bytes data, const Header& h, const Colours& c) {
    const std::size_t pixelBytes = static_cast<std::size_t>(h.width * h.rows() * 3);
    const bool rle = isRunLength(h);
    auto* pixels =
        static_cast<std::uint8_t*>(rle ? std::calloc(pixelBytes, 1) : std::malloc(pixelBytes));
    auto* image = static_cast<RgbImage*>(std::malloc(sizeof(RgbImage)));
    if (pixels == nullptr || image == nullptr) {
        std::free(pixels);
        std::free(image);
        return {nullptr, kDibOutOfMemoryMessage};
    }
    const Output out{pixels, h.width, h.rows(), h.height < 0};
    if (rle) {
        decodeRle(data, out, h.compression == kCompressionRle4, c.palette);
    } else {
        convertRows(data, h, c, out);
    }
    image->width = static_cast<std::int32_t>(h.width);
    image->height = static_cast<std::int32_t>(h.height);
    image->pixels = pixels;
    return {image, nullptr};
}

// Maps the whole file read-only and hands its bytes to `use`; false when the file cannot be
// opened or mapped (an empty file and a folder included). The reader's only access to files.
template <typename Use>
bool withMappedFile(const char* path, Use use) {
#ifdef _WIN32
    HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER size{};
    HANDLE mapping = nullptr;
    if (::GetFileSizeEx(file, &size) && size.QuadPart > 0) {
        mapping = ::CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    }
    const void* view =
        mapping != nullptr ? ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (view != nullptr) {
        use(Bytes{static_cast<const std::uint8_t*>(view), static_cast<std::size_t>(size.QuadPart)});
        ::UnmapViewOfFile(view);
    }
    if (mapping != nullptr) {
        ::CloseHandle(mapping);
    }
    ::CloseHandle(file);
    return view != nullptr;
#else
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    void* view = MAP_FAILED;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        view = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    }
    if (view == MAP_FAILED) {
        ::close(fd);
        return false;
    }
    const auto size = static_cast<std::size_t>(st.st_size);
    use(Bytes{static_cast<const std::uint8_t*>(view), size});
    ::munmap(view, size);
    ::close(fd);
    return true;
#endif
}

}  // namespace

DibResult decodeDib(std::span<const std::uint8_t> bytes, std::uint64_t maxPixelBytes) {
    Header header{};
    Colours colours{};
    Bytes data;
    const char* error = readHeader(bytes, maxPixelBytes, header);
    if (error == nullptr) {
        error = readColours(bytes, header, colours);
    }
    if (error == nullptr) {
        error = findPixelData(bytes, header, colours.end, data);
    }
    if (error != nullptr) {
        return {nullptr, error};
    }
    return convert(data, header, colours);
}

void freeRgbImage(RgbImage* image) {
    if (image != nullptr) {
        std::free(image->pixels);
        std::free(image);
    }
}

DibFileResult loadDibImage(const char* path) {
    DibResult result{nullptr, nullptr};
    if (!withMappedFile(path, [&](Bytes bytes) { result = decodeDib(bytes); })) {
        // As designed: the message ends in a line break.
        return {nullptr, std::string("Failed to open DIB file ") + path + ".\n"};
    }
    if (result.error != nullptr) {
        return {nullptr, result.error};
    }
    return {result.image, {}};
}
