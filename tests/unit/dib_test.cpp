#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bmp_file.h"
#include "dib.h"
#include "platform.h"
#include "platform_scripted.h"
#include "scratch_folder.h"
#include "textures.h"

namespace {

using bmpfile::append;
using bmpfile::Bmp;
using bmpfile::Bytes;
using bmpfile::put16;
using bmpfile::put32;

struct ImageDeleter {
    void operator()(RgbImage* image) const { freeRgbImage(image); }
};
using ImagePtr = std::unique_ptr<RgbImage, ImageDeleter>;

struct Decoded {
    ImagePtr image;
    std::string error;
    Bytes pixels;
};

// Decodes from a heap block of exactly the file's size, so that AddressSanitizer sees any read
// past its end.
Decoded decode(const Bytes& file, std::uint64_t maxPixelBytes = kDibMaxPixelBytes) {
    auto exact = std::make_unique<std::uint8_t[]>(file.size());
    std::copy(file.begin(), file.end(), exact.get());
    const DibResult r = decodeDib({exact.get(), file.size()}, maxPixelBytes);
    Decoded d{ImagePtr(r.image), r.error ? r.error : "", {}};
    if (r.image != nullptr) {
        EXPECT_EQ(r.error, nullptr);
        const auto size = static_cast<std::size_t>(r.image->width) *
                          static_cast<std::size_t>(std::abs(r.image->height)) * 3;
        d.pixels.assign(r.image->pixels, r.image->pixels + size);
    }
    return d;
}

// Four-byte colour table entries from red-green-blue triplets.
Bytes table4(const std::vector<std::array<std::uint8_t, 3>>& rgb) {
    Bytes t;
    for (const auto& c : rgb) {
        append(t, {c[2], c[1], c[0], 0});
    }
    return t;
}

// 5 x 2 pixels at 24 bits: stored rows of 15 bytes plus 1 byte of padding, bottom row first.
Bmp fiveByTwo24() {
    Bmp b;
    b.width = 5;
    b.height = 2;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 5; ++x) {
            append(b.data,
                   {static_cast<std::uint8_t>(10 * x + y), static_cast<std::uint8_t>(100 + y),
                    static_cast<std::uint8_t>(200 + x)});  // blue, green, red
        }
        b.data.push_back(0xee);  // padding
    }
    return b;
}

Bytes fiveByTwoExpected() {
    Bytes rgb;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 5; ++x) {
            append(rgb, {static_cast<std::uint8_t>(200 + x), static_cast<std::uint8_t>(100 + y),
                         static_cast<std::uint8_t>(10 * x + y)});
        }
    }
    return rgb;
}

TEST(DibDecode, TwentyFourBitRowsLosePaddingAndSwapToRgbBottomRowFirst) {
    const Decoded d = decode(fiveByTwo24().bytes());
    ASSERT_TRUE(d.image) << d.error;
    EXPECT_EQ(d.image->width, 5);
    EXPECT_EQ(d.image->height, 2);
    EXPECT_EQ(d.pixels.size(), 30u);  // two rows of exactly 15 bytes
    EXPECT_EQ(d.pixels, fiveByTwoExpected());
}

TEST(DibDecode, TopDownRowsComeOutBottomRowFirstWithTheStoredHeight) {
    Bmp b = fiveByTwo24();
    b.height = -2;
    Bytes swapped(b.data.begin() + 16, b.data.end());
    swapped.insert(swapped.end(), b.data.begin(), b.data.begin() + 16);
    b.data = swapped;
    const Decoded d = decode(b.bytes());
    ASSERT_TRUE(d.image) << d.error;
    EXPECT_EQ(d.image->height, -2);
    EXPECT_EQ(d.pixels, fiveByTwoExpected());
}

TEST(DibDecode, ColourTablePicturesLookUpEveryBitDepth) {
    const auto pal = table4({{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 8, 7}});
    // 8 bits, 256 entries (the rest black), 3 pixels wide: one byte of padding per row.
    Bmp b8;
    b8.width = 3;
    b8.height = 1;
    b8.bitCount = 8;
    b8.table = pal;
    b8.table.resize(256 * 4, 0x55);
    b8.data = {3, 0, 2, 0};
    Bytes expected = {9, 8, 7, 255, 0, 0, 0, 0, 255};
    Decoded d = decode(b8.bytes());
    ASSERT_TRUE(d.image) << d.error;
    EXPECT_EQ(d.pixels, expected);

    Bmp b4 = b8;
    b4.bitCount = 4;
    b4.table.resize(16 * 4);
    b4.data = {0x30, 0x20, 0, 0};
    d = decode(b4.bytes());
    ASSERT_TRUE(d.image) << d.error;
    EXPECT_EQ(d.pixels, expected);

    Bmp b1 = b8;
    b1.bitCount = 1;
    b1.width = 10;  // crosses a byte boundary
    b1.table.resize(2 * 4);
    b1.data = {0b10100000, 0b01000000, 0, 0};
    d = decode(b1.bytes());
    ASSERT_TRUE(d.image) << d.error;
    Bytes ones;
    for (int bit : {1, 0, 1, 0, 0, 0, 0, 0, 0, 1}) {
        append(ones, bit ? Bytes{0, 255, 0} : Bytes{255, 0, 0});
    }
    EXPECT_EQ(d.pixels, ones);
}

TEST(DibDecode, IndicesPastAShortTableAreBlack) {
    Bmp b;
    b.width = 4;
    b.height = 1;
    b.bitCount = 8;
    b.colorsUsed = 2;
    b.table = table4({{1, 2, 3}, {4, 5, 6}});
    b.data = {1, 2, 255, 0};
    const Decoded d = decode(b.bytes());
    ASSERT_TRUE(d.image) << d.error;
    EXPECT_EQ(d.pixels, (Bytes{4, 5, 6, 0, 0, 0, 0, 0, 0, 1, 2, 3}));
}

TEST(DibDecode, CoreHeaderAndBareDibGiveTheSamePicture) {
    Bmp info;
    info.width = 3;
    info.height = 2;
    info.bitCount = 8;
    info.table = table4({{10, 20, 30}, {40, 50, 60}, {70, 80, 90}});
    info.table.resize(256 * 4);
    info.data = {0, 1, 2, 0, 2, 1, 0, 0};
    const Decoded reference = decode(info.bytes());
    ASSERT_TRUE(reference.image) << reference.error;

    Bmp core = info;
    core.core = true;
    core.table.clear();
    for (std::size_t i = 0; i < 256; ++i) {
        append(core.table, {info.table[i * 4], info.table[i * 4 + 1], info.table[i * 4 + 2]});
    }
    const Decoded fromCore = decode(core.bytes());
    ASSERT_TRUE(fromCore.image) << fromCore.error;
    EXPECT_EQ(fromCore.image->width, 3);
    EXPECT_EQ(fromCore.image->height, 2);
    EXPECT_EQ(fromCore.pixels, reference.pixels);

    for (Bmp bare : {info, core}) {
        bare.fileHeader = false;
        const Decoded d = decode(bare.bytes());
        ASSERT_TRUE(d.image) << d.error;
        EXPECT_EQ(d.pixels, reference.pixels);
    }

    // A core header's sizes are unsigned: 40000 rows is not a top-down picture.
    core.width = 1;
    core.height = 40000;
    core.data.assign(4 * 40000, 1);
    const Decoded tall = decode(core.bytes());
    ASSERT_TRUE(tall.image) << tall.error;
    EXPECT_EQ(tall.image->height, 40000);
}

TEST(DibDecode, SixteenAndThirtyTwoBitsPlainAndWithBitFields) {
    Bmp b;
    b.width = 2;
    b.height = 1;
    b.bitCount = 16;
    b.data = {0xff, 0xff, 0x21, 0x04};  // 5-5-5 with the top bit set, then (1, 1, 1)
    Decoded d = decode(b.bytes());
    ASSERT_TRUE(d.image) << d.error;
    EXPECT_EQ(d.pixels, (Bytes{255, 255, 255, 8, 8, 8}));

    b.compression = 3;
    put32(b.masks, 0xf800);
    put32(b.masks, 0x07e0);
    put32(b.masks, 0x001f);
    b.data = {0xff, 0xff, 0x21, 0x08};  // 5-6-5: white, then (1, 1, 1)
    d = decode(b.bytes());
    ASSERT_TRUE(d.image) << d.error;
    EXPECT_EQ(d.pixels, (Bytes{255, 255, 255, 8, 4, 8}));

    Bmp w;
    w.width = 1;
    w.height = 1;
    w.bitCount = 32;
    w.data = {1, 2, 3, 4};  // blue, green, red, unused
    d = decode(w.bytes());
    ASSERT_TRUE(d.image) << d.error;
    EXPECT_EQ(d.pixels, (Bytes{3, 2, 1}));

    w.compression = 3;
    put32(w.masks, 0x000000ff);  // red in the low byte
    put32(w.masks, 0xff000000);
    put32(w.masks, 0x00ff0000);
    d = decode(w.bytes());
    ASSERT_TRUE(d.image) << d.error;
    EXPECT_EQ(d.pixels, (Bytes{1, 4, 3}));
}

TEST(DibDecode, RunLengthPicturesFollowRunsDeltasAndEndCodes) {
    Bmp b;
    b.width = 4;
    b.height = 4;
    b.bitCount = 8;
    b.compression = 1;
    b.colorsUsed = 4;
    b.table = table4({{0, 0, 9}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}});
    b.data = {
        6, 1,              // run of 6 on a row of 4: cut at the row's end
        0, 0,              // end of line
        0, 3, 2, 3, 1, 0,  // absolute run of 3, padded to an even length
        0, 0,              // end of line
        1, 0,              // one pixel
        0, 2, 2, 1,        // delta: 2 right, 1 up
        1, 3,              // one pixel
        0, 1,              // end of picture
        5, 2,              // ignored
    };
    b.imageSize = static_cast<std::uint32_t>(b.data.size());
    const Bytes expected = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,   // bottom row
                            2, 2, 2, 3, 3, 3, 1, 1, 1, 0, 0, 0,   // pixels never reached: black
                            0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0,   //
                            0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 3, 3};  // top row
    Decoded d = decode(b.bytes());
    ASSERT_TRUE(d.image) << d.error;
    EXPECT_EQ(d.pixels, expected);

    // The same with four-bit indices: runs alternate the high and the low nibble.
    Bmp b4 = b;
    b4.bitCount = 4;
    b4.compression = 2;
    b4.data = {6, 0x11, 0, 0, 0, 3, 0x23, 0x10, 0, 0, 1, 0x00, 0, 2, 2, 1, 1, 0x33, 0, 1};
    b4.imageSize = 0;  // no stated size: the stream runs to the end of the file
    d = decode(b4.bytes());
    ASSERT_TRUE(d.image) << d.error;
    EXPECT_EQ(d.pixels, expected);
}

TEST(DibDecode, RefusalsCarryTheMessageThePlayerSees) {
    const Bytes good = fiveByTwo24().bytes();
    auto messageFor = [](const Bytes& file) { return decode(file).error; };

    EXPECT_EQ(messageFor({}), kDibUnknownFormatMessage);
    EXPECT_EQ(messageFor({'B', 'M', 1}), kDibUnknownFormatMessage);
    Bytes v4 = good;
    v4[14] = 108;  // a later header version
    EXPECT_EQ(messageFor(v4), kDibUnknownFormatMessage);
    EXPECT_EQ(messageFor(Bytes{'n', 'o', 't', ' ', 'a', ' ', 'b', 'i', 't', 'm', 'a', 'p'}),
              kDibUnknownFormatMessage);

    // Sizes that no buffer can hold are refused before anything is read or allocated.
    for (std::int32_t w : {0, -5}) {
        Bmp b = fiveByTwo24();
        b.width = w;
        EXPECT_EQ(messageFor(b.bytes()), kDibOutOfMemoryMessage) << w;
    }
    Bmp flat = fiveByTwo24();
    flat.height = 0;
    EXPECT_EQ(messageFor(flat.bytes()), kDibOutOfMemoryMessage);
    Bmp huge = fiveByTwo24();
    huge.width = 0x7fffffff;
    huge.height = static_cast<std::int32_t>(0x80000000u);
    EXPECT_EQ(messageFor(huge.bytes()), kDibOutOfMemoryMessage);
    EXPECT_EQ(decode(good, 29).error, kDibOutOfMemoryMessage);
    EXPECT_TRUE(decode(good, 30).image);

    // Files that claim more than they hold.
    EXPECT_EQ(messageFor(Bytes(good.begin(), good.end() - 1)), kDibConversionErrorMessage);
    EXPECT_EQ(messageFor(Bytes(good.begin(), good.begin() + 30)), kDibConversionErrorMessage);
    Bytes farOffset = good;
    farOffset[10] = 0xff;
    farOffset[13] = 0x7f;
    EXPECT_EQ(messageFor(farOffset), kDibConversionErrorMessage);
    Bmp longTable;
    longTable.width = 1;
    longTable.height = 1;
    longTable.bitCount = 8;
    longTable.colorsUsed = 0xffff;
    longTable.data = {0, 0, 0, 0};
    EXPECT_EQ(messageFor(longTable.bytes()), kDibConversionErrorMessage);
    Bmp rle;
    rle.width = 4;
    rle.height = 1;
    rle.bitCount = 8;
    rle.compression = 1;
    rle.colorsUsed = 1;
    rle.table = {0, 0, 0, 0};
    rle.data = {0, 1};
    rle.imageSize = 3;
    EXPECT_EQ(messageFor(rle.bytes()), kDibConversionErrorMessage);
    rle.imageSize = 2;
    EXPECT_TRUE(decode(rle.bytes()).image);

    // Kinds that the conversion does not take.
    rle.height = -1;
    EXPECT_EQ(messageFor(rle.bytes()), kDibConversionErrorMessage);
    for (auto [bits, compression] : {std::pair{2, 0}, {0, 0}, {64, 0}, {24, 3}, {8, 2}, {8, 4}}) {
        Bmp b = fiveByTwo24();
        b.bitCount = static_cast<std::uint16_t>(bits);
        b.compression = static_cast<std::uint32_t>(compression);
        b.data.resize(1024);
        EXPECT_EQ(messageFor(b.bytes()), kDibConversionErrorMessage) << bits << " " << compression;
    }
    for (std::array<std::uint32_t, 3> m : {std::array<std::uint32_t, 3>{0xf800, 0x07e0, 0},
                                           {0xf800, 0x0fe0, 0x1f},
                                           {0xf800, 0x07e0, 0x0015},
                                           {0x1f0000, 0x7e0, 0x1f}}) {
        Bmp b;
        b.width = 2;
        b.height = 1;
        b.bitCount = 16;
        b.compression = 3;
        for (std::uint32_t mask : m) {
            put32(b.masks, mask);
        }
        b.data = {0, 0, 0, 0};
        EXPECT_EQ(messageFor(b.bytes()), kDibConversionErrorMessage) << std::hex << m[2];
    }
}

TEST(DibDecode, EveryCutOfAFileDecodesOrRefusesWithoutReadingPastIt) {
    Bmp rle;
    rle.width = 7;
    rle.height = 3;
    rle.bitCount = 4;
    rle.compression = 2;
    rle.colorsUsed = 3;
    rle.table = table4({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    rle.data = {3, 0x12, 0, 5, 0x12, 0x01, 0x20, 0, 0, 0, 0, 2, 1, 1, 9, 0x21, 0, 1};
    Bmp fields;
    fields.width = 3;
    fields.height = -2;
    fields.bitCount = 32;
    fields.compression = 3;
    for (std::uint32_t mask : {0xffe00000u, 0x001ffc00u, 0x000003ffu}) {
        put32(fields.masks, mask);
    }
    fields.data.assign(24, 0xa5);
    Bmp core = fiveByTwo24();
    core.core = true;
    for (const Bmp& b : {fiveByTwo24(), rle, fields, core}) {
        const Bytes whole = b.bytes();
        ASSERT_TRUE(decode(whole).image);
        for (std::size_t cut = 0; cut < whole.size(); ++cut) {
            const Decoded d = decode(Bytes(whole.begin(), whole.begin() + cut));
            EXPECT_TRUE(d.image || !d.error.empty());
        }
    }
}

class DibFile : public ::testing::Test {
  protected:
    void SetUp() override { scripted::reset(); }

    std::string write(const std::string& name, const Bytes& bytes) const {
        const std::string path = (dir_ / name).string();
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    ScratchFolder dir_{"dib"};
};

TEST_F(DibFile, AValidFileLoadsWithoutAMessage) {
    DibFileResult loaded = loadDibImage(write("ok.bmp", fiveByTwo24().bytes()).c_str());
    ImagePtr image(loaded.image);
    ASSERT_TRUE(image);
    EXPECT_EQ(Bytes(image->pixels, image->pixels + 30), fiveByTwoExpected());
    EXPECT_EQ(loaded.error, "");
}

TEST_F(DibFile, EachFailureGivesItsMessage) {
    const std::string missing = (dir_ / "missing.bmp").string();
    const std::string empty = write("empty.bmp", {});
    const std::string text = write("text.bmp", Bytes{'h', 'e', 'l', 'l', 'o', '\n'});
    const Bytes good = fiveByTwo24().bytes();
    const std::string cut = write("cut.bmp", Bytes(good.begin(), good.end() - 2));
    struct Case {
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {missing, "Failed to open DIB file " + missing + ".\n"},
        {empty, "Failed to open DIB file " + empty + ".\n"},
        {dir_.path().string(), "Failed to open DIB file " + dir_.path().string() + ".\n"},
        {text, kDibUnknownFormatMessage},
        {cut, kDibConversionErrorMessage}};
    for (const Case& c : cases) {
        const DibFileResult loaded = loadDibImage(c.path.c_str());
        EXPECT_EQ(loaded.image, nullptr) << c.path;
        EXPECT_EQ(loaded.error, c.message);
    }
}

// loadBitmap shows the reader's message: one box each, caption "Error", an OK button, owned by
// the window with the keyboard focus.
TEST_F(DibFile, LoadBitmapSkipsAMissingFileSilentlyAndShowsTheReadersMessage) {
    EXPECT_EQ(loadBitmap((dir_ / "missing.bmp").string().c_str()), nullptr);
    EXPECT_TRUE(scripted::messageBoxes().empty());

    EXPECT_EQ(loadBitmap(write("text.bmp", Bytes{'x', 'y', 'z', 'w'}).c_str()), nullptr);
    ASSERT_EQ(scripted::messageBoxes().size(), 1u);
    EXPECT_EQ(scripted::messageBoxes()[0].text, kDibUnknownFormatMessage);
    EXPECT_EQ(scripted::messageBoxes()[0].caption, "Error");
    EXPECT_EQ(scripted::messageBoxes()[0].type, MB_OK);
    EXPECT_FALSE(scripted::messageBoxes()[0].hasOwner);  // no window has the focus

    WndClass windowClass{};
    windowClass.lpszClassName = "DibTest";
    ASSERT_NE(registerClass(windowClass), 0);
    WindowHandle window = createWindowEx(0, "DibTest", "", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                                         nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    setFocus(window);
    const std::string empty = write("empty.bmp", {});
    EXPECT_EQ(loadBitmap(empty.c_str()), nullptr);
    ASSERT_EQ(scripted::messageBoxes().size(), 2u);
    EXPECT_EQ(scripted::messageBoxes()[1].text, "Failed to open DIB file " + empty + ".\n");
    EXPECT_EQ(scripted::messageBoxes()[1].caption, "Error");
    EXPECT_TRUE(scripted::messageBoxes()[1].hasOwner);

    ImagePtr image(loadBitmap(write("ok.bmp", fiveByTwo24().bytes()).c_str()));
    EXPECT_TRUE(image);
    EXPECT_EQ(scripted::messageBoxes().size(), 2u);
}

}  // namespace
